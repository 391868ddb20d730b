// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/DecayFlagText.h"

#include "common/Encoding.h"
#include "project/UserNumbers.h"

namespace dazo {

namespace {

struct Limits {
    bool flagged;
    double minRange;
    bool curvatureMatters;
};

Limits LimitsOf(const DecayQuality& quality, DecayTime time)
{
    switch (time) {
    case DecayTime::EDT:
        return {quality.edtFlag, kEdtMinRange, false};
    case DecayTime::RT20:
        return {quality.rt20Flag, kRt20MinRange, true};
    case DecayTime::RT30:
        break;
    }
    return {quality.rt30Flag, kRt30MinRange, true};
}

} // namespace

std::string DecayFlagReason(const DecayQuality& quality, DecayTime time, FormatSettings format)
{
    const Limits limits = LimitsOf(quality, time);
    if (!limits.flagged)
        return {};
    std::string reason;
    const auto addLine = [&reason](const std::string& line) { reason += (reason.empty() ? "" : "\n") + line; };
    if (quality.dynamicRange < limits.minRange)
        addLine(Ansi("Dynamikbereich ") + UserFixedText(quality.dynamicRange, 1, format) + Ansi(" dB < nötig ") +
                UserFixedText(limits.minRange, 0, format) + " dB");
    if (limits.curvatureMatters && quality.curvature > kMaxCurvature)
        addLine(Ansi("Krümmung ") + UserFixedText(quality.curvature, 1, format) + " % > " + UserFixedText(kMaxCurvature, 0, format) + " %");
    if (reason.empty()) // flagged for a curvature that could not be measured
        reason = Ansi("Krümmung nicht messbar");
    return reason;
}

std::string DecayFlagLegend(bool averaged)
{
    const auto whole = [](double value) { return std::to_string(static_cast<int>(value)); };
    std::string legend = Ansi("! Dynamikbereich kleiner als nach ISO 3382-1 nötig (EDT ") + whole(kEdtMinRange)
                       + " dB, RT20 " + whole(kRt20MinRange) + " dB, RT30 " + whole(kRt30MinRange)
                       + Ansi(" dB) oder Krümmung über ") + whole(kMaxCurvature) + " %";
    if (averaged)
        legend += ", in mindestens einer Messung";
    return legend;
}

} // namespace dazo
