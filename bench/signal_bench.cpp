// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a 480,000-sample time record (10 s at 48 kHz).

#include "signal/MData.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>

namespace {

std::string WriteLongRecord()
{
    constexpr int kSamples = 480000;
    std::vector<float> samples(kSamples);
    for (int i = 0; i < kSamples; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<float>(std::exp(-i / 48000.0) * std::sin(i * 0.1));
    dazo::TCalcData data;
    data.SampleInterval = static_cast<float>(1000.0 / 48000.0);
    data.SetSamples(std::move(samples));
    const auto path = std::filesystem::temp_directory_path() / ("dazo-bench-" + std::to_string(getpid()) + ".tim");
    data.SaveTim(path.string());
    return path.string();
}

void BM_LoadTimeRecord480k(benchmark::State& state)
{
    const std::string path = WriteLongRecord();
    for (auto _ : state) {
        dazo::TCalcData data;
        data.LoadFromFile(path);
        benchmark::DoNotOptimize(data.Samples());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadTimeRecord480k)->Unit(benchmark::kMillisecond);

} // namespace
