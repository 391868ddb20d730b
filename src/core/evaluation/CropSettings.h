// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Storing and removing the crop of a measurement ("MPA", "MPE", "MPS" in its
// section of the project file). Both erase the section first: the cached
// results there were computed from the old crop and must be computed anew.

#include "evaluation/MeasurementLoading.h"

#include <string>

namespace dazo {

// A Schroeder start beyond the samples kept moves to their end (a negative
// count keeps them all).
void WriteCropSettings(const std::string& projectFile, const std::string& measurementFile, CropSettings crop);

// The next load uses the whole file.
void EraseCropSettings(const std::string& projectFile, const std::string& measurementFile);

} // namespace dazo
