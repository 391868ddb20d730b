// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the cursor readouts show and where a typed cursor position leads: the
// three cursors' positions and distances in milliseconds, in metres of sound
// travel or in decibels of decay, and the value under the free cursor.

#include "common/FormatSettings.h"

#include <array>
#include <optional>
#include <string>

namespace dazo {

class TCalcer;
class TLineSeries;
class TXChartCursor;

inline constexpr double kMetresPerMs = 0.344; // sound travels 344 m/s

// The unit buttons "ms", "Meter" and "dB".
enum class DistanceUnit { Milliseconds, Metres, Decibels };

struct CursorReadout {
    std::array<double, 3> positions{}; // of cursors 0, 1, 2
    std::array<double, 3> distances{}; // 0 to 1, 0 to 2, 1 to 2
};

// xs: the cursors' times (ms); levels: their decays (dB below the start).
CursorReadout ComputeCursorReadout(DistanceUnit unit, const std::array<double, 3>& xs, const std::array<double, 3>& levels);

// The decay under each position: the absolute Schroeder level there, 0 for a
// position beyond the Schroeder curve.
std::array<double, 3> CursorLevels(const TLineSeries& schroeder, const std::array<int, 3>& positions);

// The first point that has decayed by at least drop dB; the curve's last point
// when none has; none for an empty curve.
std::optional<int> FirstIndexDecayedBy(const TLineSeries& schroeder, double drop);

// The time (ms) a value typed in the unit stands for; none when a decay cannot
// be placed on the calculator's curves.
std::optional<double> TypedCursorTime(DistanceUnit unit, double value, const TCalcer& calcer);

// The curve choice of the free-cursor readout.
enum class FreeCursorCurve { ImpulseResponse, Schroeder };

// "x/value" with four decimals: on the impulse response the signal in the
// representation h(t) (view 1) and the representation curve otherwise; on the
// Schroeder curve its level. "-" where the position lies beyond that curve.
std::string FreeCursorText(const TCalcer& calcer, int view, FreeCursorCurve curve, int position, double x, FormatSettings format);

// A keyboard step limited so that the cursor stays within its index range
// (0 .. PointCount - 1): a step beyond the range ends at its first or last point.
int BoundedStep(const TXChartCursor& cursor, long long step);

} // namespace dazo
