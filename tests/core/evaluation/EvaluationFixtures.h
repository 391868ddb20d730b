// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "signal/MData.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace dazo::test {

// An impulse response the whole analysis accepts: 40 samples of silence, then
// noise decaying by 60 dB in rtSeconds. Deterministic for a given seed.
inline void WriteImpulseResponse(const std::string& file, int count = 8000, float intervalMs = 0.04f,
                                 double rtSeconds = 0.25, unsigned seed = 1)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::vector<float> samples(static_cast<std::size_t>(count));
    constexpr int kSilence = 40;
    for (int i = kSilence; i < count; ++i) {
        const double t = (i - kSilence) * intervalMs / 1000.0;
        samples[static_cast<std::size_t>(i)] = static_cast<float>(noise(random) * std::pow(10.0, -3.0 * t / rtSeconds));
    }
    if (count > kSilence)
        samples[kSilence] = 1.0f;
    TCalcData data;
    data.SampleInterval = intervalMs;
    data.SetSamples(std::move(samples));
    data.SaveTim(file);
}

// A point line as the measurement manager writes it.
inline std::string PointLine(int number, const std::vector<std::string>& files)
{
    std::string line = "MP" + std::to_string(number) + "=\"Messpunkt " + std::to_string(number)
                     + "\",\"\",\"\",0,0,\"\",0,0,\"\",\"\",\"\",";
    for (const auto& file : files)
        line += "\"" + file + "\",";
    return line;
}

} // namespace dazo::test
