// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Keys of the result cache in a measurement's section of the project file.

#include <string>

namespace dazo {

std::string CRecordKey(int band);            // "C.<band>.Values"
std::string RTRecordKey(int band, int kind); // "RT.<band>.<kind>.Values"

} // namespace dazo
