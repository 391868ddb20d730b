// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's model: the open project, the one loaded measurement with
// its eleven calculators, filling the result cache for all bands, and the two
// result requests of the report windows. The window adds nothing but windows.

#include "analysis/DecayQuality.h"
#include "analysis/uCalcChart.h"
#include "common/FormatSettings.h"
#include "common/ProgramPaths.h"
#include "evaluation/Progress.h"
#include "signal/MData.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dazo {

// Requests of the report windows (the values of the window messages).
inline constexpr int WM_RESULTS_CURRENT = 1125;
inline constexpr int WM_RESULTS_ALL = 1126;

inline constexpr int kCalcerCount = 11; // calculation functions 0..10

class TEvaluationCore {
public:
    TEvaluationCore(ProgramPaths paths, FormatSettings format);
    ~TEvaluationCore();
    TEvaluationCore(const TEvaluationCore&) = delete;
    TEvaluationCore& operator=(const TEvaluationCore&) = delete;

    // Called after every successful load, including the reloads of ResultsAll.
    std::function<void()> OnMeasurementLoaded;

    const ProgramPaths& Paths() const { return paths_; }
    const FormatSettings& Format() const { return format_; }

    // The key=value point lines of a project file (".npj", any letter case), or
    // the one-point list of a single measurement file.
    static std::vector<std::string> PointListFor(const std::string& fileName);

    void SetProjectFile(const std::string& projectFile) { projectFile_ = projectFile; }
    const std::string& ProjectFile() const { return projectFile_; }

    // Noise-compensated evaluation: after the crop, the Schroeder integration
    // of every measurement loaded from now on starts where its decay meets the
    // noise (the crossing of the Lundeby estimate on its samples) instead of
    // at its "MPS"; a measurement without an estimate keeps its "MPS". Its
    // results are cached in cacheFile, never in the project file, so
    // compensated and plain values never share a cache. An empty name returns
    // to the plain evaluation.
    void SetLundebyCompensation(const std::string& cacheFile) { compensationCache_ = cacheFile; }
    bool LundebyCompensated() const { return !compensationCache_.empty(); }
    // Where the calculators keep their results: the project file, or the
    // compensated evaluation's own cache.
    const std::string& ResultCacheFile() const;

    // Loads the file with its crop settings and builds the calculators (nothing
    // calculated). On any error the core is left without a measurement and the
    // error is passed on.
    void LoadMeasurementFile(const std::string& fileName);
    // Destroys the calculators (which write their records to the cache), then
    // the measurement.
    void ReleaseMeasurement();

    bool HasMeasurement() const { return calcData_ != nullptr; }
    const TCalcData* CalcData() const { return calcData_.get(); }
    TCalcChart* Calcer(int calcFunction) const;

    // Makes sure every band of the loaded measurement has its results in the
    // cache; only bands without their records are calculated. Errors of a
    // band's calculation are not reported here (the results reader finds the
    // missing records).
    void CalcAllBands(Progress* progress);

    // The decay quality of bands 1 ... 10 of the loaded measurement (index
    // band - 1); a band that cannot be analysed has none. Each band is
    // analysed afresh and reset afterwards.
    std::array<std::optional<DecayQuality>, kCalcerCount - 1> AssessBands();

    // The results file of the loaded measurement.
    void ResultsCurrent(Progress* progress);
    // The averaged results file of every measurement of the project; the
    // measurement loaded before is loaded again in any case.
    void ResultsAll(Progress* progress);
    // Dispatches the two requests; false for any other message.
    bool HandleMessage(int message, Progress* progress);

    // The report data files: the project's ".$$$", the results and points files
    // and the company-data file, each if it exists.
    void DeleteTemporaryFiles() const;

private:
    void SaveResults(const std::vector<std::string>& lines) const;

    ProgramPaths paths_;
    FormatSettings format_;
    std::string projectFile_;
    std::string compensationCache_;
    std::unique_ptr<TCalcData> calcData_;
    std::array<std::unique_ptr<TCalcChart>, kCalcerCount> calcers_;
};

} // namespace dazo
