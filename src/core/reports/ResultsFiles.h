// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The report data files: the results file of one or all measurements (fields
// separated by ";"), the measurement-points file and the one-line data records
// of the project and the company (fields separated by TAB).

#include "common/FormatSettings.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dazo {

class TTextPipeline;

// The general float text (shortest form, up to 15 significant digits) with
// the user's decimal separator.
std::string GeneralFloatText(double x, const FormatSettings& format);

// Reads a whole number text written with the user's decimal separator (blanks
// around it allowed); anything else throws "'<text>' ist kein gültiger
// Gleitkommawert".
double GeneralFloatValue(std::string_view text, const FormatSettings& format);

// Appends the ten band lines (bands 1..10) of one measurement, taken from the
// result cache in the project file. An RT record with fewer than six fields
// throws "Fehler in Dateiaufbau".
void AppendBandLines(const std::string& projectFile, const std::string& measurementFileName,
                     std::vector<std::string>& lines, const FormatSettings& format);

// Replaces the lines by one line per band name (first appearance order):
// field 0 the number of lines merged, every further field the mean.
void AverageBandLines(std::vector<std::string>& lines, const FormatSettings& format);

// The value of one field of every octave-band line of a results file, with
// the band's centre frequency (the unfiltered line is left out). A value
// that is no number throws.
std::vector<std::pair<double, double>> OctaveBandValues(const std::vector<std::string>& lines, std::size_t field,
                                                        const FormatSettings& format);

// The measurement-points file: one TAB-separated line per point of the project.
void WritePointsFile(const std::string& projectFile, const std::string& targetFile, const FormatSettings& format);

// Writes section "DATA" of the INI file as one TAB-separated record into the
// INI file's name with ".$$$" and binds the pipeline to it, one string field per
// entry. A missing INI file throws "Datei nicht vorhanden".
void BindDataSection(const std::string& iniFileName, TTextPipeline& pipeline);

} // namespace dazo
