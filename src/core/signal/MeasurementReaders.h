// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Readers of further measurement formats, chosen by file extension. The core
// reads ".tim" and ".qel" itself and registers nothing here; a program adds
// the readers of the libraries it links (the audio formats) at start-up.

#include <functional>
#include <string>

namespace dazo {

class TCalcData;

// Fills a fresh measurement from the file at path, or raises with a German
// message. FileName is set by the caller.
using MeasurementReader = std::function<void(TCalcData&, const std::string&)>;

// extension with its dot (".wav"); letter case does not matter. A later
// registration for the same extension replaces the earlier one; ".tim" and
// ".qel" are always read by the core.
void RegisterMeasurementReader(const std::string& extension, MeasurementReader reader);

// The reader of a lower-case extension with its dot; empty when none is registered.
MeasurementReader FindMeasurementReader(const std::string& extensionLower);

} // namespace dazo
