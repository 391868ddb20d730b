// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace dazo::cli {

class CommandLine;

// "report KIND PATH --pdf OUT": one of the four printed reports as a PDF
// file, made without a display through the evaluation windows' own code.
int RunReport(CommandLine& args);

} // namespace dazo::cli
