// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/CursorReadouts.h"

#include "analysis/ChartCursors.h"
#include "analysis/uCalcer.h"
#include "project/UserNumbers.h"

#include <algorithm>
#include <cmath>

namespace dazo {

CursorReadout ComputeCursorReadout(DistanceUnit unit, const std::array<double, 3>& xs, const std::array<double, 3>& levels)
{
    std::array<double, 3> v = xs;
    if (unit == DistanceUnit::Metres)
        for (double& x : v)
            x *= kMetresPerMs;
    else if (unit == DistanceUnit::Decibels)
        v = levels;
    return {v, {v[1] - v[0], v[2] - v[0], v[2] - v[1]}};
}

std::array<double, 3> CursorLevels(const TLineSeries& schroeder, const std::array<int, 3>& positions)
{
    std::array<double, 3> levels{};
    for (std::size_t k = 0; k < positions.size(); ++k)
        if (positions[k] >= 0 && positions[k] < schroeder.Count())
            levels[k] = std::fabs(schroeder.Y(positions[k]));
    return levels;
}

std::optional<int> FirstIndexDecayedBy(const TLineSeries& schroeder, double drop)
{
    if (schroeder.Empty())
        return std::nullopt;
    const auto levels = schroeder.Ys();
    const auto found = std::find_if(levels.begin(), levels.end(), [drop](double level) { return std::fabs(level) >= drop; });
    return found == levels.end() ? schroeder.Count() - 1 : static_cast<int>(found - levels.begin());
}

std::optional<double> TypedCursorTime(DistanceUnit unit, double value, const TCalcer& calcer)
{
    switch (unit) {
    case DistanceUnit::Milliseconds:
        return value;
    case DistanceUnit::Metres:
        return value / kMetresPerMs;
    case DistanceUnit::Decibels:
        break;
    }
    const std::optional<int> index = FirstIndexDecayedBy(calcer.SchroederSeries, value);
    if (!index || *index >= calcer.SignalCount())
        return std::nullopt;
    return calcer.SignalX(*index);
}

std::string FreeCursorText(const TCalcer& calcer, int view, FreeCursorCurve curve, int position, double x, FormatSettings format)
{
    const TLineSeries& series = curve == FreeCursorCurve::Schroeder ? calcer.SchroederSeries
        : view == 1                                                 ? calcer.SignalSeries
                                                                    : calcer.DisplaySeries;
    if (position < 0 || position >= series.Count())
        return "-";
    return UserFixedText(x, 4, format) + '/' + UserFixedText(series.Y(position), 4, format);
}

int BoundedStep(const TXChartCursor& cursor, long long step)
{
    const long long position = cursor.Position();
    const long long last = std::max(cursor.PointCount - 1, 0);
    return static_cast<int>(std::clamp(position + step, 0LL, std::max(last, position)) - position);
}

} // namespace dazo
