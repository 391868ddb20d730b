// SPDX-License-Identifier: GPL-3.0-or-later
// "results": the results file of the loaded measurement or of the whole
// project, made as the main window makes it for the report windows.

#include "CommandLine.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "common/Paths.h"
#include "common/ProgramPaths.h"
#include "evaluation/EvaluationCore.h"
#include "evaluation/MeasurementLoading.h"
#include "project/uMessPunkt.h"
#include "reports/LineFiles.h"
#include "reports/ResultsFiles.h"

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

// The evaluation runs as if the program lived in a fresh directory of its own,
// so its temporary report files never touch an installation.
class PrivateDataDirectory {
public:
    PrivateDataDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "dazo-eval-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            FailWith("Verzeichnis %s kann nicht angelegt werden", pattern);
        path_ = pattern;
    }
    ~PrivateDataDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    PrivateDataDirectory(const PrivateDataDirectory&) = delete;
    PrivateDataDirectory& operator=(const PrivateDataDirectory&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

class TerminalProgress : public Progress {
public:
    void Start(int maximum, const std::string& caption) override
    {
        maximum_ = std::max(maximum, 0);
        done_ = 0;
        caption_ = caption.empty() ? "Berechnen" : Utf8(caption);
        Draw();
    }
    void Step() override
    {
        ++done_;
        Draw();
    }
    void Finish() override { std::cerr << "\n"; }

private:
    void Draw() const
    {
        constexpr int kWidth = 30;
        const int filled = maximum_ > 0 ? std::min(done_, maximum_) * kWidth / maximum_ : kWidth;
        std::cerr << "\r" << caption_ << " [" << std::string(static_cast<std::size_t>(filled), '#')
                  << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << done_ << "/"
                  << maximum_ << std::flush;
    }

    int maximum_ = 0;
    int done_ = 0;
    std::string caption_;
};

// The measurement the program loads first: the first file of the first point
// that has measurements.
std::string FirstMeasurement(const std::vector<std::string>& pointLines)
{
    for (const auto& line : pointLines) {
        TMessPunkt point;
        if (const auto files = ReadPointLine(point, line); !files.empty())
            return files.front();
    }
    Fail("Das Projekt enthält keine Messung");
}

struct Column {
    const char* name;
    const char* unit;
    std::size_t field; // position in the results file
};

// CVar (field 9) is the parameter of Cxx, not a result.
constexpr std::array<Column, 11> kColumns = {{
    {"EDT", "s", 2}, {"RT20", "s", 3}, {"RT30", "s", 4}, {"RTxx", "s", 5},
    {"C35", "dB", 6}, {"C50", "dB", 7}, {"C80", "dB", 8}, {"Cxx", "dB", 10},
    {"D50", "-", 11}, {"D80", "-", 12}, {"Ts", "ms", 13},
}};

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

void PrintTable(const std::vector<std::string>& lines, bool averaged, const FormatSettings& format)
{
    std::ostringstream out;
    out << std::left << std::setw(12) << "Band [Hz]" << std::right;
    for (const auto& column : kColumns)
        out << std::setw(10) << (std::string(column.name) + " [" + column.unit + "]");
    out << "\n";
    for (const auto& line : lines) {
        const auto fields = SplitFields(line);
        out << std::left << std::setw(12) << Utf8(fields.size() > 1 ? fields[1] : "") << std::right;
        for (const auto& column : kColumns)
            out << std::setw(10) << TwoDecimals(fields, column.field, format);
        out << "\n";
    }
    if (averaged)
        out << "Messungen: " << (lines.empty() ? "0" : SplitFields(lines.front()).front()) << "\n";
    std::cout << out.str();
}

} // namespace

int RunResults(CommandLine& args)
{
    // Flags first: a word after a flag belongs to the positionals again.
    const bool all = args.Flag("all");
    const bool raw = args.Flag("raw");
    const FormatSettings format = args.Flag("decimal-comma") ? FormatSettings::German() : FormatSettings::English();
    args.RequireAllUsed();
    if (args.Positional().size() != 1)
        Fail("genau ein Projekt oder eine Messdatei angeben");
    const std::string path = args.Positional().front();

    const PrivateDataDirectory dataDirectory;
    TEvaluationCore core(ProgramPaths(JoinPath(dataDirectory.Path(), "dazo-eval")), format);
    const std::string project = ProjectFileFor(path);
    core.SetProjectFile(project);
    core.LoadMeasurementFile(JoinPath(DirectoryOf(project), FirstMeasurement(TEvaluationCore::PointListFor(path))));

    TerminalProgress terminal;
    Progress* progress = all && ::isatty(STDERR_FILENO) ? &terminal : nullptr;
    core.HandleMessage(all ? WM_RESULTS_ALL : WM_RESULTS_CURRENT, progress);

    const auto lines = ReadLines(core.Paths().ResultsFile());
    if (raw) {
        for (const auto& line : lines)
            std::cout << Utf8(line) << "\n";
    } else {
        PrintTable(lines, all, format);
    }
    return 0;
}

} // namespace dazo::cli
