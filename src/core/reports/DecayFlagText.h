// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Why a decay time of a band is flagged, as the note shown beside the value.

#include "analysis/DecayQuality.h"
#include "common/FormatSettings.h"

#include <string>

namespace dazo {

enum class DecayTime { EDT, RT20, RT30 };

// Empty when the value is not flagged; otherwise the reasons, one a line
// ("Dynamikbereich 30,0 dB < nötig 35 dB", "Krümmung 12,3 % > 10 %").
std::string DecayFlagReason(const DecayQuality& quality, DecayTime time, FormatSettings format);

// What the "!" beside a decay time means, for the legend under a table;
// averaged: the table shows means, and one flagged measurement marks the mean.
std::string DecayFlagLegend(bool averaged);

} // namespace dazo
