// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/EvaluationCore.h"

#include "analysis/ResultCache.h"
#include "analysis/lundeby.h"
#include "common/DazoError.h"
#include "common/FloatChecks.h"
#include "common/Paths.h"
#include "evaluation/MeasurementLoading.h"
#include "project/IniFile.h"
#include "project/uMessPunkt.h"
#include "reports/LineFiles.h"
#include "reports/ResultsFiles.h"

namespace dazo {
namespace {

// Closes the progress display however the work ends.
class ProgressScope {
public:
    ProgressScope(Progress* progress, int maximum)
        : progress_(progress)
    {
        if (progress_)
            progress_->Start(maximum, {});
    }
    ~ProgressScope()
    {
        if (progress_)
            progress_->Finish();
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    void Step()
    {
        if (progress_)
            progress_->Step();
    }

private:
    Progress* progress_;
};

// A band counts as evaluated when its computed EDT record and its C record are
// in the cache.
bool BandCached(const IniFile& project, const std::string& section, int band)
{
    return !project.ReadString(section, RTRecordKey(band, kEdtComputed)).empty()
        && !project.ReadString(section, CRecordKey(band)).empty();
}

// The Schroeder start where the decay meets the noise. A measurement the
// estimate cannot handle keeps the start stored for it.
void StartSchroederAtNoise(TCalcData& data)
{
    try {
        data.SchroederStart = LundebyEstimate(data).crossingSample;
    } catch (const DazoError&) {
    }
}

} // namespace

TEvaluationCore::TEvaluationCore(ProgramPaths paths, FormatSettings format)
    : paths_(std::move(paths))
    , format_(format)
{
}

TEvaluationCore::~TEvaluationCore()
{
    ReleaseMeasurement();
}

std::vector<std::string> TEvaluationCore::PointListFor(const std::string& fileName)
{
    if (ExtensionLower(fileName) == ".npj")
        return IniFile(fileName).ReadSectionValues(kMeasurementsSection);
    return {SingleMeasurementPointList(BareFileName(fileName))};
}

const std::string& TEvaluationCore::ResultCacheFile() const
{
    return LundebyCompensated() ? compensationCache_ : projectFile_;
}

void TEvaluationCore::LoadMeasurementFile(const std::string& fileName)
{
    ReleaseMeasurement();
    try {
        calcData_ = LoadMeasurement(fileName, projectFile_);
        if (LundebyCompensated())
            StartSchroederAtNoise(*calcData_);
        const auto sampleRate = static_cast<double>(CheckedDivide(1000.0L, calcData_->SampleInterval));
        for (int i = 0; i < kCalcerCount; ++i) {
            auto calcer = std::make_unique<TCalcChart>(ResultCacheFile(), *calcData_);
            calcer->SampleRate = sampleRate;
            calcer->SetCalcFunction(i);
            calcers_[static_cast<std::size_t>(i)] = std::move(calcer);
        }
    } catch (...) {
        ReleaseMeasurement();
        throw;
    }
    if (OnMeasurementLoaded)
        OnMeasurementLoaded();
}

void TEvaluationCore::ReleaseMeasurement()
{
    // The calculators read the measurement until they are gone.
    for (auto& calcer : calcers_)
        calcer.reset();
    calcData_.reset();
}

TCalcChart* TEvaluationCore::Calcer(int calcFunction) const
{
    if (calcFunction < 0 || calcFunction >= kCalcerCount)
        return nullptr;
    return calcers_[static_cast<std::size_t>(calcFunction)].get();
}

void TEvaluationCore::CalcAllBands(Progress* progress)
{
    if (!HasMeasurement())
        return;
    ProgressScope scope(progress, kCalcerCount);
    const IniFile project(ResultCacheFile());
    const std::string section = BareFileName(calcData_->FileName);
    for (int i = 0; i < kCalcerCount; ++i) {
        TCalcChart* calcer = Calcer(i);
        if (calcer && !BandCached(project, section, i)) {
            calcer->Reset();
            try {
                calcer->Calculate(); // writes the C record
            } catch (const DazoError&) {
                // A band that cannot be analysed shows up as missing records
                // when the results are read.
            }
            calcer->Reset(); // writes the seven RT records
        }
        scope.Step();
    }
}

std::array<std::optional<DecayQuality>, kCalcerCount - 1> TEvaluationCore::AssessBands()
{
    std::array<std::optional<DecayQuality>, kCalcerCount - 1> qualities;
    if (!HasMeasurement())
        return qualities;
    for (int band = 1; band < kCalcerCount; ++band) {
        TCalcChart* calcer = Calcer(band);
        calcer->Reset();
        try {
            calcer->Calculate();
            qualities[static_cast<std::size_t>(band - 1)] = AssessDecay(*calcer);
        } catch (const DazoError&) {
            // A band that cannot be analysed has no decay to judge.
        }
        calcer->Reset();
    }
    return qualities;
}

void TEvaluationCore::SaveResults(const std::vector<std::string>& lines) const
{
    WriteLines(paths_.ResultsFile(), lines);
}

void TEvaluationCore::ResultsCurrent(Progress* progress)
{
    // A request that ends without a file must not leave the previous request's
    // file looking current.
    DeleteFileIfExists(paths_.ResultsFile());
    if (!HasMeasurement())
        return;
    CalcAllBands(progress);
    std::vector<std::string> lines;
    AppendBandLines(ResultCacheFile(), calcData_->FileName, lines, format_);
    SaveResults(lines);
}

void TEvaluationCore::ResultsAll(Progress* progress)
{
    DeleteFileIfExists(paths_.ResultsFile());
    if (projectFile_.empty() || !HasMeasurement())
        return;
    const std::string previous = calcData_->FileName;
    try {
        std::vector<std::string> files;
        ReadMeasurementFileList(projectFile_, files);
        const std::string directory = DirectoryOf(projectFile_);
        std::vector<std::string> lines;
        {
            ProgressScope scope(progress, static_cast<int>(files.size()));
            for (const auto& file : files) {
                if (!file.empty()) {
                    LoadMeasurementFile(JoinPath(directory, file));
                    CalcAllBands(nullptr);
                    AppendBandLines(ResultCacheFile(), file, lines, format_);
                }
                scope.Step();
            }
        }
        AverageBandLines(lines, format_);
        SaveResults(lines);
    } catch (...) {
        try {
            LoadMeasurementFile(previous);
        } catch (const DazoError&) {
            // The request's own error is the one to report; the core is then
            // without a measurement, which the window shows.
        }
        throw;
    }
    LoadMeasurementFile(previous);
}

bool TEvaluationCore::HandleMessage(int message, Progress* progress)
{
    switch (message) {
    case WM_RESULTS_CURRENT:
        ResultsCurrent(progress);
        return true;
    case WM_RESULTS_ALL:
        ResultsAll(progress);
        return true;
    default:
        return false;
    }
}

void TEvaluationCore::DeleteTemporaryFiles() const
{
    if (!projectFile_.empty())
        DeleteFileIfExists(ChangeExtension(projectFile_, ".$$$"));
    DeleteFileIfExists(paths_.ResultsFile());
    DeleteFileIfExists(paths_.PointsFile());
    DeleteFileIfExists(paths_.CompanyDataFile());
}

} // namespace dazo
