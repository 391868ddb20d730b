// SPDX-License-Identifier: GPL-3.0-or-later
// "results": the results file of the loaded measurement or of the whole
// project, made as the main window makes it for the report windows.

#include "CommandLine.h"
#include "EvaluationSetup.h"

#include "analysis/DecayQuality.h"
#include "common/DazoError.h"
#include "common/Encoding.h"
#include "common/Paths.h"
#include "common/ProgramPaths.h"
#include "evaluation/EvaluationCore.h"
#include "evaluation/MeasurementLoading.h"
#include "evaluation/ProjectSurvey.h"
#include "project/uMessPunkt.h"
#include "reports/DecayFlagText.h"
#include "reports/Din18041.h"
#include "reports/LineFiles.h"
#include "reports/ResultsFiles.h"
#include "signal/uconst.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <sstream>

namespace dazo::cli {
namespace {

DecayFlags FlagsOf(TEvaluationCore& core, bool all)
{
    if (all)
        return SurveyProject(core).Flags;
    DecayFlags flags{};
    AddDecayFlags(core, flags);
    return flags;
}

struct Column {
    const char* name;
    const char* unit;
    std::size_t field; // position in the results file
    int flag;          // index into DecayFlags, -1 for values without one
};

// CVar (field 9) is the parameter of Cxx, not a result.
constexpr std::array<Column, 11> kColumns = {{
    {"EDT", "s", 2, 0}, {"RT20", "s", 3, 1}, {"RT30", "s", 4, 2}, {"RTxx", "s", 5, -1},
    {"C35", "dB", 6, -1}, {"C50", "dB", 7, -1}, {"C80", "dB", 8, -1}, {"Cxx", "dB", 10, -1},
    {"D50", "-", 11, -1}, {"D80", "-", 12, -1}, {"Ts", "ms", 13, -1},
}};

// The flags of a results line, found by its band name.
const std::array<bool, 3>* FlagsOfLine(const DecayFlags& flags, const std::vector<std::string>& fields)
{
    if (fields.size() < 2)
        return nullptr;
    const auto label = std::find(BandLabels.begin(), BandLabels.end(), fields[1]);
    return label == BandLabels.end() ? nullptr : &flags[static_cast<std::size_t>(label - BandLabels.begin())];
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ';');)
        fields.push_back(field);
    if (!line.empty() && line.back() == ';')
        fields.emplace_back();
    return fields;
}

// Two decimals with the file's decimal separator; "-" for a missing value.
std::string TwoDecimals(const std::vector<std::string>& fields, std::size_t index, const FormatSettings& format)
{
    if (index >= fields.size())
        return "-";
    double value = 0;
    try {
        value = GeneralFloatValue(fields[index], format);
    } catch (const DazoError&) {
        return "-";
    }
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2).ptr;
    std::string text(buffer, end);
    std::replace(text.begin(), text.end(), '.', format.decimalSeparator);
    return text;
}

// Flagged decay times carry a "!" in the place kept free after each of them.
void PrintTable(const std::vector<std::string>& lines, bool averaged, bool compensated, const DecayFlags& flags,
                const FormatSettings& format)
{
    std::ostringstream out;
    out << std::left << std::setw(12) << "Band [Hz]" << std::right;
    for (const auto& column : kColumns)
        out << std::setw(column.flag < 0 ? 10 : 9) << (std::string(column.name) + " [" + column.unit + "]")
            << (column.flag < 0 ? "" : " ");
    out << "\n";
    bool anyFlag = false;
    for (const auto& line : lines) {
        const auto fields = SplitFields(line);
        const auto* lineFlags = FlagsOfLine(flags, fields);
        out << std::left << std::setw(12) << Utf8(fields.size() > 1 ? fields[1] : "") << std::right;
        for (const auto& column : kColumns) {
            const std::string value = TwoDecimals(fields, column.field, format);
            if (column.flag < 0) {
                out << std::setw(10) << value;
                continue;
            }
            const bool flagged = value != "-" && lineFlags && (*lineFlags)[static_cast<std::size_t>(column.flag)];
            anyFlag = anyFlag || flagged;
            out << std::setw(9) << value << (flagged ? "!" : " ");
        }
        out << "\n";
    }
    if (averaged)
        out << "Messungen: " << (lines.empty() ? "0" : SplitFields(lines.front()).front()) << "\n";
    if (compensated)
        out << "Schröder-Integration ab dem Schnittpunkt mit dem Grundrauschen (Lundeby)\n";
    if (anyFlag)
        out << Utf8(DecayFlagLegend(averaged)) << "\n";
    std::cout << out.str();
}

bool IsUsageClass(const std::string& word)
{
    return UsageClassOf(word).has_value();
}

std::string Fixed(double value, int decimals, const FormatSettings& format)
{
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << value;
    std::string out = text.str();
    std::replace(out.begin(), out.end(), '.', format.decimalSeparator);
    return out;
}

// The class named on the command line, else the one of the project data.
RoomAssessment AssessProject(const std::string& project, const std::string& classWord,
                             const std::vector<std::string>& lines, const FormatSettings& format)
{
    const auto usage = classWord.empty() ? ProjectUsageClass(project) : UsageClassOf(classWord);
    if (!usage)
        Fail("Nutzungsart nach DIN 18041 fehlt: --din18041 A1 … A5 angeben oder in den Projektdaten eintragen");
    const auto volume = ProjectVolume(project);
    if (!volume)
        FailWith("Raumvolumen fehlt in den Projektdaten von %s", project);
    constexpr std::size_t kRT20Field = 3;
    return AssessRoom(*usage, *volume, OctaveBandValues(lines, kRT20Field, format));
}

// T_soll, the corridor and the verdict per band, compared on RT20 as the
// diagram shows it; raw as ";"-separated lines.
void PrintAssessment(const RoomAssessment& assessment, bool raw, const FormatSettings& format)
{
    std::ostringstream out;
    if (raw) {
        out << "DIN18041;" << Utf8(UsageClassName(assessment.Usage)) << ";" << Fixed(assessment.Volume, 2, format) << ";"
            << (assessment.Target ? Fixed(*assessment.Target, 2, format) : "") << "\n";
    } else {
        out << "\nDIN 18041 (2016), Nutzungsart " << Utf8(UsageClassName(assessment.Usage)) << "\n"
            << "Raumvolumen aus den Projektdaten: " << Fixed(assessment.Volume, 2, format) << " m³\n"
            << Utf8(TargetText(assessment, format.decimalSeparator)) << "\n"
            << std::left << std::setw(12) << "Band [Hz]" << std::right << std::setw(10) << "RT20 [s]" << std::setw(10)
            << "T/T_soll" << "   " << std::left << std::setw(14) << "Toleranz" << "Bewertung\n";
    }
    for (const BandAssessment& band : assessment.Bands) {
        if (!band.Limits)
            continue;
        const std::string ratio = assessment.Target ? Fixed(band.Time / *assessment.Target, 2, format) : "-";
        const std::string verdict = band.Result ? Utf8(VerdictText(*band.Result)) : "-";
        const std::string hz = Fixed(band.CentreHz, 0, format);
        if (raw) {
            out << hz << ";" << Fixed(band.Time, 2, format) << ";" << ratio << ";" << Fixed(band.Limits->Lower, 2, format)
                << ";" << Fixed(band.Limits->Upper, 2, format) << ";" << verdict << "\n";
            continue;
        }
        out << std::left << std::setw(12) << hz << std::right << std::setw(10) << Fixed(band.Time, 2, format)
            << std::setw(10) << ratio << "   " << std::left << std::setw(14)
            << (Fixed(band.Limits->Lower, 2, format) + " - " + Fixed(band.Limits->Upper, 2, format)) << verdict << "\n";
    }
    std::cout << out.str();
}

} // namespace

int RunResults(CommandLine& args)
{
    // Flags first: a word after a flag belongs to the positionals again.
    const bool all = args.Flag("all");
    const bool raw = args.Flag("raw");
    const bool lundeby = args.Flag("lundeby");
    const auto din18041 = args.OptionalValue("din18041", IsUsageClass);
    const FormatSettings format = args.Flag("decimal-comma") ? FormatSettings::German() : FormatSettings::English();
    args.RequireAllUsed();
    if (args.Positional().size() != 1)
        Fail("genau ein Projekt oder eine Messdatei angeben");
    const std::string path = args.Positional().front();

    const PrivateDataDirectory dataDirectory;
    TEvaluationCore core(ProgramPaths(JoinPath(dataDirectory.Path(), "dazo-eval")), format);
    const std::string project = ProjectFileFor(path);
    core.SetProjectFile(project);
    // The compensated results are cached in the private directory, so the
    // project's own cache never sees them and is not read for them.
    if (lundeby)
        core.SetLundebyCompensation(JoinPath(dataDirectory.Path(), "lundeby.npj"));
    core.LoadMeasurementFile(JoinPath(DirectoryOf(project), FirstMeasurement(TEvaluationCore::PointListFor(path))));

    TerminalProgress terminal;
    Progress* progress = all ? ProgressOnTerminal(terminal) : nullptr;
    core.HandleMessage(all ? WM_RESULTS_ALL : WM_RESULTS_CURRENT, progress);

    const auto lines = ReadLines(core.Paths().ResultsFile());
    if (raw) {
        for (const auto& line : lines)
            std::cout << Utf8(line) << "\n";
    } else {
        PrintTable(lines, all, lundeby, FlagsOf(core, all), format);
    }
    if (din18041)
        PrintAssessment(AssessProject(project, *din18041, lines, format), raw, format);
    return 0;
}

} // namespace dazo::cli
