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
#include "project/uMessPunkt.h"
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

// Per band key 1 ... 10, whether the decay does not carry EDT, RT20 and RT30
// (DecayQuality) in at least one of the measurements evaluated.
using DecayFlags = std::array<std::array<bool, 3>, kCalcerCount - 1>;

void AddFlagsOfLoadedMeasurement(TEvaluationCore& core, DecayFlags& flags)
{
    const auto qualities = core.AssessBands();
    for (std::size_t band = 0; band < qualities.size(); ++band) {
        if (const auto& q = qualities[band]) {
            flags[band][0] = flags[band][0] || q->edtFlag;
            flags[band][1] = flags[band][1] || q->rt20Flag;
            flags[band][2] = flags[band][2] || q->rt30Flag;
        }
    }
}

DecayFlags FlagsOf(TEvaluationCore& core, bool all)
{
    DecayFlags flags{};
    if (!all) {
        AddFlagsOfLoadedMeasurement(core, flags);
        return flags;
    }
    std::vector<std::string> files;
    ReadMeasurementFileList(core.ProjectFile(), files);
    for (const auto& file : files) {
        if (file.empty())
            continue;
        core.LoadMeasurementFile(JoinPath(DirectoryOf(core.ProjectFile()), file));
        AddFlagsOfLoadedMeasurement(core, flags);
    }
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

std::string FlagLegend(bool averaged)
{
    std::ostringstream legend;
    legend << "! Dynamikbereich kleiner als nach ISO 3382-1 nötig (EDT " << kEdtMinRange << " dB, RT20 "
           << kRt20MinRange << " dB, RT30 " << kRt30MinRange << " dB) oder Krümmung über " << kMaxCurvature << " %";
    if (averaged)
        legend << ", in mindestens einer Messung";
    return legend.str();
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
        out << FlagLegend(averaged) << "\n";
    std::cout << out.str();
}

} // namespace

int RunResults(CommandLine& args)
{
    // Flags first: a word after a flag belongs to the positionals again.
    const bool all = args.Flag("all");
    const bool raw = args.Flag("raw");
    const bool lundeby = args.Flag("lundeby");
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
    return 0;
}

} // namespace dazo::cli
