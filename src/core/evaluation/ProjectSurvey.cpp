// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/ProjectSurvey.h"

#include "common/Paths.h"
#include "project/uMessPunkt.h"

#include <algorithm>
#include <cmath>

namespace dazo {
namespace {

// Reloads the measurement loaded before, however the survey ends.
class ReloadScope {
public:
    explicit ReloadScope(TEvaluationCore& core)
        : core_(core)
        , previous_(core.HasMeasurement() ? core.CalcData()->FileName : std::string())
    {
    }
    ~ReloadScope()
    {
        if (previous_.empty())
            return;
        try {
            core_.LoadMeasurementFile(previous_);
        } catch (...) {
            // The survey's own error is the one to report.
        }
    }
    ReloadScope(const ReloadScope&) = delete;
    ReloadScope& operator=(const ReloadScope&) = delete;

private:
    TEvaluationCore& core_;
    std::string previous_;
};

void AddSampleRate(std::vector<double>& rates, float sampleIntervalMs)
{
    if (!(sampleIntervalMs > 0))
        return;
    const double rate = std::round(1000.0 / sampleIntervalMs);
    if (std::find(rates.begin(), rates.end(), rate) == rates.end()) {
        rates.push_back(rate);
        std::sort(rates.begin(), rates.end());
    }
}

} // namespace

void AddDecayFlags(TEvaluationCore& core, DecayFlags& flags)
{
    const auto qualities = core.AssessBands();
    for (std::size_t band = 0; band < qualities.size(); ++band) {
        if (const auto& q = qualities[band]) {
            flags[band][0] = flags[band][0] || q->edtFlag;
            flags[band][1] = flags[band][1] || q->rt20Flag;
            flags[band][2] = flags[band][2] || q->rt30Flag;
        }
    }
}

ProjectSurvey SurveyProject(TEvaluationCore& core)
{
    ProjectSurvey survey;
    survey.Compensated = core.LundebyCompensated();
    TMesspunkte points;
    LoadMeasurementPoints(core.ProjectFile(), points);
    survey.Points = points.Count();

    ReloadScope reload(core);
    std::vector<std::string> files;
    ReadMeasurementFileList(core.ProjectFile(), files);
    const std::string directory = DirectoryOf(core.ProjectFile());
    for (const auto& file : files) {
        if (file.empty())
            continue;
        core.LoadMeasurementFile(JoinPath(directory, file));
        ++survey.Measurements;
        AddSampleRate(survey.SampleRates, core.CalcData()->SampleInterval);
        AddDecayFlags(core, survey.Flags);
    }
    return survey;
}

} // namespace dazo
