// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Tables for a spreadsheet: fields separated by ";", numbers with the user's
// decimal separator, lines ending in CR LF, Windows-1252 text.

#include "common/FormatSettings.h"

#include <string>
#include <vector>

namespace dazo {

class TLineSeries;

using CsvRows = std::vector<std::vector<std::string>>;

inline constexpr char kCsvSeparator = ';';

// Up to 15 significant digits with the user's decimal separator.
std::string CsvNumber(double x, FormatSettings format);

// Replaces the file as a whole (a temporary file renamed over it), so a failed
// write leaves the old file. A field holding the separator, a quote or a line
// break is quoted. Raises "Datei <path> kann nicht erstellt werden" or "In
// <path> kann nicht geschrieben werden".
void WriteCsv(const std::string& path, const CsvRows& rows);

// A header ("t [ms]", the value title, "Schroeder [dB]") and a row per point of
// the shown curve beside the Schroeder curve on the same sample grid; the
// Schroeder column stays empty where that curve has ended.
CsvRows CurveRows(const std::string& valueTitle, const TLineSeries& shown, const TLineSeries& schroeder, FormatSettings format);

} // namespace dazo
