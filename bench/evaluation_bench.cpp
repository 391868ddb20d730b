// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the main window's evaluation: all bands of a 10 s measurement at
// 48 kHz into the cache, and the averaged results of a project of 54
// measurements, cold (nothing cached) and fully cached.
#include "evaluation/EvaluationCore.h"

#include "common/Paths.h"
#include "common/ProgramPaths.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace dazo {
namespace {

namespace fs = std::filesystem;

// Silence, then noise decaying 60 dB in rtSeconds.
void WriteMeasurement(const std::string& file, int count, double rate, double rtSeconds, unsigned seed)
{
    constexpr int kSilence = 100;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::vector<float> v(static_cast<std::size_t>(count), 0.0f);
    for (int i = kSilence; i < count; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<float>(noise(random) * std::pow(10.0, -3.0 * (i - kSilence) / rate / rtSeconds));
    TCalcData data;
    data.SampleInterval = static_cast<float>(1000.0 / rate);
    data.SetSamples(std::move(v));
    data.SaveTim(file);
}

class ScratchDirectory {
public:
    ScratchDirectory()
        : dir_(fs::temp_directory_path() / ("dazo-evalbench-" + std::to_string(std::random_device{}())))
    {
        fs::create_directories(dir_);
    }
    ~ScratchDirectory() { fs::remove_all(dir_); }
    std::string File(const std::string& name) const { return (dir_ / name).string(); }

private:
    fs::path dir_;
};

// Process peak resident memory in MB.
double PeakMegabytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_CalcAllBands(benchmark::State& state)
{
    const ScratchDirectory dir;
    const std::string measurement = dir.File("r01.tim");
    WriteMeasurement(measurement, 480000, 48000.0, 1.5, 1);
    TEvaluationCore core(ProgramPaths(dir.File("dazo")), FormatSettings::English());
    core.SetProjectFile(dir.File("p.npj"));
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(dir.File("p.npj"));
        core.LoadMeasurementFile(measurement);
        state.ResumeTiming();
        core.CalcAllBands(nullptr);
    }
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_CalcAllBands)->Unit(benchmark::kMillisecond)->Iterations(5);

// 54 measurements of 65,536 samples at 0.04 ms, nine points of six each.
class ProjectOf54 {
public:
    ProjectOf54()
    {
        for (int point = 1; point <= 9; ++point) {
            std::string line = "MP" + std::to_string(point) + "=\"Messpunkt " + std::to_string(point)
                             + "\",\"\",\"\",0,0,\"\",0,0,\"\",\"\",\"\",";
            for (int k = 1; k <= 6; ++k) {
                const std::string name = "m" + std::to_string(point) + "_" + std::to_string(k) + ".tim";
                WriteMeasurement(dir_.File(name), 65536, 25000.0, 0.8, static_cast<unsigned>(point * 10 + k));
                line += "\"" + name + "\",";
            }
            points_ += line + "\r\n";
        }
    }
    std::string Project() const { return dir_.File("p.npj"); }
    // The project file with its point list only: nothing cached.
    void WriteFreshProject() const { std::ofstream(Project(), std::ios::binary) << "[Messungen]\r\n" << points_; }
    std::string FirstMeasurement() const { return dir_.File("m1_1.tim"); }
    std::string ProgramPath() const { return dir_.File("dazo"); }

private:
    ScratchDirectory dir_;
    std::string points_;
};

void BM_ResultsAllCold(benchmark::State& state)
{
    const ProjectOf54 project;
    TEvaluationCore core(ProgramPaths(project.ProgramPath()), FormatSettings::English());
    core.SetProjectFile(project.Project());
    for (auto _ : state) {
        state.PauseTiming();
        project.WriteFreshProject();
        core.LoadMeasurementFile(project.FirstMeasurement());
        state.ResumeTiming();
        core.ResultsAll(nullptr);
    }
}
BENCHMARK(BM_ResultsAllCold)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ResultsAllCached(benchmark::State& state)
{
    const ProjectOf54 project;
    TEvaluationCore core(ProgramPaths(project.ProgramPath()), FormatSettings::English());
    core.SetProjectFile(project.Project());
    project.WriteFreshProject();
    core.LoadMeasurementFile(project.FirstMeasurement());
    core.ResultsAll(nullptr); // fills the cache
    for (auto _ : state)
        core.ResultsAll(nullptr);
}
BENCHMARK(BM_ResultsAllCached)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace dazo
