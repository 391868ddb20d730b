// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Loading a measurement the way the program does: the file, then the crop
// settings "MPA", "MPE" and "MPS" stored for it in the project file.

#include "signal/MData.h"

#include <memory>
#include <string>

namespace dazo {

struct CropSettings {
    int32_t start = 0;          // "MPA": first sample kept
    int32_t count = -1;         // "MPE": samples kept from there, -1 all
    int32_t schroederStart = 0; // "MPS"
};

// The project file that belongs to a file: the project itself, or for a single
// measurement file the same name with ".npj".
std::string ProjectFileFor(const std::string& path);

CropSettings ReadCropSettings(const std::string& projectFile, const std::string& measurementFile);

std::unique_ptr<TCalcData> LoadMeasurement(const std::string& measurementFile, const std::string& projectFile);

} // namespace dazo
