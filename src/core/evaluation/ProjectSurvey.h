// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a test report says about how a project was measured besides the values:
// points and measurements, sample rates, whether the decays were compensated
// for noise, and which decay times fall short of ISO 3382-1 (DecayQuality).

#include "evaluation/EvaluationCore.h"

#include <array>
#include <vector>

namespace dazo {

// Per band key 1 ... 10 (index band - 1): whether EDT, RT20 and RT30 are
// flagged in at least one of the measurements looked at.
using DecayFlags = std::array<std::array<bool, 3>, kCalcerCount - 1>;

struct ProjectSurvey {
    int Points = 0;
    int Measurements = 0;
    std::vector<double> SampleRates; // Hz, each once, ascending
    bool Compensated = false;        // Lundeby noise compensation
    DecayFlags Flags{};
};

// Adds the flags of the loaded measurement's bands.
void AddDecayFlags(TEvaluationCore& core, DecayFlags& flags);

// Loads every measurement of the project in turn; the measurement loaded
// before is loaded again in any case. Errors of loading are passed on.
ProjectSurvey SurveyProject(TEvaluationCore& core);

} // namespace dazo
