// SPDX-License-Identifier: GPL-3.0-or-later
#include "signal/MeasurementReaders.h"

#include "common/Paths.h"

#include <map>

namespace dazo {
namespace {

std::map<std::string, MeasurementReader>& Registry()
{
    static std::map<std::string, MeasurementReader> readers;
    return readers;
}

} // namespace

void RegisterMeasurementReader(const std::string& extension, MeasurementReader reader)
{
    Registry()[ExtensionLower(extension)] = std::move(reader);
}

MeasurementReader FindMeasurementReader(const std::string& extensionLower)
{
    const auto& readers = Registry();
    const auto found = readers.find(extensionLower);
    return found == readers.end() ? MeasurementReader{} : found->second;
}

} // namespace dazo
