// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the analyses and representation builders on a 10 s measurement at
// 48 kHz (480,000 samples), the size the main window must handle at once.
#include "analysis/uHallCalcer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace dazo {
namespace {

constexpr double kRate = 48000.0;
constexpr int kSamples = 480000;

// Silence, then noise decaying 60 dB in 1.5 s.
const TCalcData& Measurement()
{
    static const TCalcData data = [] {
        std::mt19937 random(1);
        std::uniform_real_distribution<double> noise(-1.0, 1.0);
        std::vector<float> v(kSamples, 0.0f);
        for (int i = 100; i < kSamples; ++i)
            v[static_cast<std::size_t>(i)] = static_cast<float>(noise(random) * std::pow(10.0, -2.0 * (i - 100) / kRate));
        TCalcData d;
        d.FileName = "bench.tim";
        d.SampleInterval = static_cast<float>(1000.0 / kRate);
        d.SetSamples(std::move(v));
        return d;
    }();
    return data;
}

// A project file of its own, so no run reads the results of the one before.
class ScratchProject {
public:
    ScratchProject()
        : dir_(std::filesystem::temp_directory_path() / ("dazo-bench-" + std::to_string(std::random_device{}())))
    {
        std::filesystem::create_directories(dir_);
    }
    ~ScratchProject() { std::filesystem::remove_all(dir_); }
    std::string File() const { return (dir_ / "bench.npj").string(); }
    void Forget() const { std::filesystem::remove(dir_ / "bench.npj"); }

private:
    std::filesystem::path dir_;
};

// Each run analyses a fresh calculator against an empty cache.
template <typename Analysis>
void RunAnalysis(benchmark::State& state, int32_t calcFunction, Analysis analyse)
{
    const ScratchProject project;
    for (auto _ : state) {
        state.PauseTiming();
        project.Forget();
        auto calcer = std::make_unique<THallCalcer>(project.File(), Measurement());
        calcer->SampleRate = kRate;
        calcer->SetCalcFunction(calcFunction);
        state.ResumeTiming();
        analyse(*calcer);
        benchmark::DoNotOptimize(calcer->RTRecords);
        state.PauseTiming();
        calcer.reset();
        state.ResumeTiming();
    }
}

void BM_AnalyseBroadband(benchmark::State& state)
{
    RunAnalysis(state, 1, [](THallCalcer& c) { c.AnalyseBroadband(); });
}
BENCHMARK(BM_AnalyseBroadband)->Unit(benchmark::kMillisecond);

void BM_AnalyseBand1000(benchmark::State& state)
{
    RunAnalysis(state, 7, [](THallCalcer& c) { c.AnalyseBand(1000); });
}
BENCHMARK(BM_AnalyseBand1000)->Unit(benchmark::kMillisecond);

void BM_FilterBand1000(benchmark::State& state)
{
    RunAnalysis(state, 7, [](THallCalcer& c) { c.FilterBand(1000, kRate); });
}
BENCHMARK(BM_FilterBand1000)->Unit(benchmark::kMillisecond);

// The representation builders on the unfiltered curve.
template <typename Build>
void RunBuilder(benchmark::State& state, Build build)
{
    const ScratchProject project;
    THallCalcer calcer(project.File(), Measurement());
    calcer.SampleRate = kRate;
    calcer.SetCalcFunction(1);
    calcer.AnalyseBroadband();
    for (auto _ : state) {
        build(calcer);
        benchmark::DoNotOptimize(calcer.DisplaySeries.Ys().data());
    }
}

void BM_BuildSquare(benchmark::State& state)
{
    RunBuilder(state, [](THallCalcer& c) { c.BuildSquare(); });
}
BENCHMARK(BM_BuildSquare)->Unit(benchmark::kMillisecond);

void BM_BuildSpl(benchmark::State& state)
{
    RunBuilder(state, [](THallCalcer& c) { c.BuildSpl(); });
}
BENCHMARK(BM_BuildSpl)->Unit(benchmark::kMillisecond);

void BM_BuildLogSquare(benchmark::State& state)
{
    RunBuilder(state, [](THallCalcer& c) { c.BuildLogSquare(); });
}
BENCHMARK(BM_BuildLogSquare)->Unit(benchmark::kMillisecond);

void BM_BuildHilbert(benchmark::State& state)
{
    RunBuilder(state, [](THallCalcer& c) { c.BuildEnvelope(false); });
}
BENCHMARK(BM_BuildHilbert)->Unit(benchmark::kMillisecond);

void BM_BuildEtc(benchmark::State& state)
{
    RunBuilder(state, [](THallCalcer& c) { c.BuildEnvelope(true); });
}
BENCHMARK(BM_BuildEtc)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace dazo
