// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/Din18041.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "project/IniFile.h"
#include "project/UserNumbers.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cmath>
#include <limits>

namespace dazo {
namespace {

struct ClassRule {
    UsageClass usage;
    const char* name; // UTF-8
    double slope;     // T_soll = slope lg V + offset
    double offset;
    double minimum; // validity: minimum <= V < maximum
    double maximum;
};

constexpr std::array<ClassRule, 5> kRules = {{
    {UsageClass::A1, "A1 Musik", 0.45, 0.07, 30, 1000},
    {UsageClass::A2, "A2 Sprache/Vortrag", 0.37, -0.14, 50, 5000},
    {UsageClass::A3, "A3 Unterricht/Kommunikation", 0.32, -0.17, 30, 5000},
    {UsageClass::A4, "A4 Unterricht/Kommunikation inklusiv", 0.26, -0.14, 30, 500},
    {UsageClass::A5, "A5 Sport", 0.75, -1.00, 200, 10000},
}};

// Above its formula's range a sports hall keeps 2.0 s.
constexpr double kSportLargeHall = 2.0;

const ClassRule& RuleOf(UsageClass usage)
{
    return kRules[static_cast<std::size_t>(usage)];
}

// T/T_soll per octave band 63 … 8000 Hz; the sources are named in the README.
struct Corridor {
    double centre;
    Tolerance music;
    Tolerance speech;
};

constexpr std::array<Corridor, 8> kCorridor = {{
    {63, {1.22, 1.83}, {0.50, 1.70}},
    {125, {1.01, 1.52}, {0.65, 1.45}},
    {250, {0.80, 1.20}, {0.80, 1.20}},
    {500, {0.80, 1.20}, {0.80, 1.20}},
    {1000, {0.80, 1.20}, {0.80, 1.20}},
    {2000, {0.80, 1.20}, {0.80, 1.20}},
    {4000, {0.65, 1.20}, {0.65, 1.20}},
    {8000, {0.50, 1.20}, {0.50, 1.20}},
}};

double RoundedToHundredths(double seconds)
{
    return std::round(seconds * 100) / 100;
}

std::string Number(double value)
{
    return std::to_string(static_cast<long long>(value));
}

} // namespace

std::optional<UsageClass> UsageClassOf(std::string_view text)
{
    const auto start = text.find_first_not_of(' ');
    if (start == std::string_view::npos || text.size() < start + 2)
        return std::nullopt;
    const std::string code = AsciiLower(text.substr(start, 2));
    for (const ClassRule& rule : kRules)
        if (AsciiLower(std::string_view(rule.name).substr(0, 2)) == code)
            return rule.usage;
    return std::nullopt;
}

std::string UsageClassName(UsageClass usage)
{
    return Ansi(RuleOf(usage).name);
}

std::optional<double> RoomVolumeOf(std::string_view text)
{
    const FormatSettings format =
        text.find(',') != std::string_view::npos ? FormatSettings::German() : FormatSettings::English();
    try {
        const double volume = UserTextToFloat(text, format);
        if (std::isfinite(volume) && volume > 0)
            return volume;
    } catch (const DazoError&) {
    }
    return std::nullopt;
}

std::string ValidityRange(UsageClass usage)
{
    const ClassRule& rule = RuleOf(usage);
    if (usage == UsageClass::A5)
        return Ansi("V >= " + Number(rule.minimum) + " m³");
    return Ansi(Number(rule.minimum) + " m³ <= V < " + Number(rule.maximum) + " m³");
}

std::optional<double> TargetTime(UsageClass usage, double volume)
{
    const ClassRule& rule = RuleOf(usage);
    if (!(volume >= rule.minimum))
        return std::nullopt;
    if (volume >= rule.maximum)
        return usage == UsageClass::A5 ? std::optional<double>(kSportLargeHall) : std::nullopt;
    return RoundedToHundredths(rule.slope * std::log10(volume) + rule.offset);
}

std::optional<Tolerance> ToleranceOf(UsageClass usage, double centreHz)
{
    for (const Corridor& band : kCorridor)
        if (std::fabs(band.centre - centreHz) < 1)
            return usage == UsageClass::A1 ? band.music : band.speech;
    return std::nullopt;
}

Verdict Assess(double time, double target, Tolerance tolerance)
{
    // Compared on the ratio as printed: two decimals, so that a printed
    // 1,20 at the upper bound of 1,20 reads as met.
    const double ratio = std::round(time / target * 100) / 100;
    if (ratio > tolerance.Upper)
        return Verdict::Exceeded;
    if (ratio < tolerance.Lower)
        return Verdict::Undershot;
    return Verdict::Met;
}

std::string VerdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Met: return "eingehalten";
    case Verdict::Exceeded: return Ansi("überschritten");
    case Verdict::Undershot: return "unterschritten";
    }
    return {};
}

std::optional<UsageClass> ProjectUsageClass(const std::string& projectFile)
{
    return UsageClassOf(IniFile(projectFile).ReadString("DATA", "cONutzungsart"));
}

std::optional<double> ProjectVolume(const std::string& projectFile)
{
    return RoomVolumeOf(IniFile(projectFile).ReadString("DATA", "eRVQBM"));
}

RoomAssessment AssessRoom(UsageClass usage, double volume, const std::vector<std::pair<double, double>>& bandTimes)
{
    RoomAssessment assessment;
    assessment.Usage = usage;
    assessment.Volume = volume;
    assessment.Target = TargetTime(usage, volume);
    for (const auto& [centre, time] : bandTimes) {
        BandAssessment band;
        band.CentreHz = centre;
        band.Time = time;
        band.Limits = ToleranceOf(usage, centre);
        if (band.Limits && assessment.Target)
            band.Result = Assess(time, *assessment.Target, *band.Limits);
        assessment.Bands.push_back(band);
    }
    return assessment;
}

std::optional<RoomAssessment> AssessProjectData(const std::string& projectFile,
                                                const std::vector<std::pair<double, double>>& bandTimes)
{
    const auto usage = ProjectUsageClass(projectFile);
    const auto volume = ProjectVolume(projectFile);
    if (!usage || !volume)
        return std::nullopt;
    return AssessRoom(*usage, *volume, bandTimes);
}

std::string TargetText(const RoomAssessment& assessment, char decimalSeparator)
{
    const auto fixed = [decimalSeparator](double value, int decimals) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
        std::string text(buffer);
        std::replace(text.begin(), text.end(), '.', decimalSeparator);
        return text;
    };
    const std::string range = ValidityRange(assessment.Usage);
    if (assessment.Target)
        return "T_soll = " + fixed(*assessment.Target, 2) + " s (" + range + ")";
    return Ansi("T_soll: V = ") + fixed(assessment.Volume, 0) + Ansi(" m³ liegt außerhalb des Gültigkeitsbereichs ")
         + range;
}

} // namespace dazo
