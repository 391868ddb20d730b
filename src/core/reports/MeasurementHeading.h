// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The lines over a table of one measurement's results that say whose it is:
// project, room, measurement point, file and the date of measuring.

#include <string>

namespace dazo {

// "Projekt: Stadthalle.npj    Raum: Stadthalle Musterstadt",
// "Messpunkt: Messpunkt 1    Datei: mp1_a.tim", "Messdatum: 01.12.2026"
// (Windows-1252, lines separated by "\n"). What the project does not say is
// left out; a missing project file gives the file's line only.
std::string MeasurementHeading(const std::string& projectFile, const std::string& measurementFile);

} // namespace dazo
