// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/MeasurementLoading.h"

#include "common/Paths.h"
#include "project/IniFile.h"

namespace dazo {

std::string ProjectFileFor(const std::string& path)
{
    return ChangeExtension(path, ".npj");
}

CropSettings ReadCropSettings(const std::string& projectFile, const std::string& measurementFile)
{
    const IniFile project(projectFile);
    const std::string section = BareFileName(measurementFile);
    CropSettings crop;
    crop.start = project.ReadInteger(section, "MPA", 0);
    crop.count = project.ReadInteger(section, "MPE", -1);
    crop.schroederStart = project.ReadInteger(section, "MPS", 0);
    return crop;
}

std::unique_ptr<TCalcData> LoadMeasurement(const std::string& measurementFile, const std::string& projectFile)
{
    auto data = std::make_unique<TCalcData>();
    data->LoadFromFile(measurementFile);
    const CropSettings crop = ReadCropSettings(projectFile, measurementFile);
    data->Crop(crop.start, crop.count);
    data->SchroederStart = crop.schroederStart;
    return data;
}

} // namespace dazo
