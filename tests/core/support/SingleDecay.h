// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Room responses with one decay time in every band: white noise decaying by
// 60 dB in the decay time, after 10 ms of silence, over a steady white noise
// floor 50 dB below the decay's initial level. Signal and floor are both
// white, so every octave band sees the same decay over the same floor. Fixed
// seed, own Gaussian draw: the same samples on every platform.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace dazo::test {

inline std::vector<float> SingleDecay(double rate, double lengthSeconds, double decaySeconds)
{
    const auto count = static_cast<int>(std::lround(rate * lengthSeconds));
    const auto preDelay = static_cast<int>(std::lround(rate * 0.01));
    constexpr double kLevel = 0.1; // RMS at the start of the decay
    const double floor = kLevel * std::pow(10.0, -50.0 / 20.0);
    std::mt19937 random(20260101);
    const auto uniform = [&] { return (static_cast<double>(random()) + 0.5) / 4294967296.0; };
    const auto gaussian = [&] {
        return std::sqrt(-2.0 * std::log(uniform())) * std::cos(2.0 * std::numbers::pi * uniform());
    };
    std::vector<float> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        double value = floor * gaussian();
        if (i >= preDelay)
            value += kLevel * std::pow(10.0, -3.0 * (i - preDelay) / rate / decaySeconds) * gaussian();
        v[static_cast<std::size_t>(i)] = static_cast<float>(value);
    }
    return v;
}

inline constexpr double kSingleDecayRate = 48000.0;
inline constexpr double kSingleDecaySeconds = 1.5;

// 5 s at 48 kHz decaying in 1.5 s; computed once per test program.
inline const std::vector<float>& SingleDecayResponse()
{
    static const std::vector<float> samples = SingleDecay(kSingleDecayRate, 5.0, kSingleDecaySeconds);
    return samples;
}

} // namespace dazo::test
