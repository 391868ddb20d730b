// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/CsvExport.h"

#include "analysis/Series.h"
#include "common/AtomicFile.h"
#include "project/UserNumbers.h"


namespace dazo {

namespace {

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(";\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

std::string CsvNumber(double x, FormatSettings format)
{
    return UserFloatToText(x, format);
}

void WriteCsv(const std::string& path, const CsvRows& rows)
{
    std::string content;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i)
                content += kCsvSeparator;
            content += CsvField(row[i]);
        }
        content += "\r\n";
    }
    ReplaceFileContent(path, content, kCannotCreate);
}

CsvRows CurveRows(const std::string& valueTitle, const TLineSeries& shown, const TLineSeries& schroeder, FormatSettings format)
{
    CsvRows rows{{"t [ms]", valueTitle, "Schroeder [dB]"}};
    const auto xs = shown.Xs();
    const auto ys = shown.Ys();
    const auto levels = schroeder.Ys();
    for (std::size_t i = 0; i < xs.size(); ++i)
        rows.push_back({CsvNumber(xs[i], format), CsvNumber(ys[i], format), i < levels.size() ? CsvNumber(levels[i], format) : std::string()});
    return rows;
}

} // namespace dazo
