// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/uHallCalcer.h"
#include "common/DazoError.h"
#include "common/Encoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace dazo::test {

inline TCalcData MakeSignal(std::vector<float> samples, float interval, std::string fileName = {})
{
    TCalcData data;
    data.SampleInterval = interval;
    data.FileName = std::move(fileName);
    data.SetSamples(std::move(samples));
    return data;
}

// Energy falling 60 dB per second at 10 kHz, 3 s long: far longer than the decay time.
inline std::vector<float> ExponentialDecay()
{
    std::vector<float> v(30000);
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<float>(std::pow(10.0, -3.0 * static_cast<double>(i) / 10000.0));
    return v;
}

// Runs action and expects the German message utf8Message.
inline void ExpectFailure(const std::function<void()>& action, const std::string& utf8Message)
{
    try {
        action();
        ADD_FAILURE() << "no error, expected " << utf8Message;
    } catch (const DazoError& e) {
        EXPECT_EQ(std::string(e.what()), Ansi(utf8Message));
    }
}

} // namespace dazo::test
