// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/CropSettings.h"

#include "common/Paths.h"
#include "project/IniFile.h"

namespace dazo {

void WriteCropSettings(const std::string& projectFile, const std::string& measurementFile, CropSettings crop)
{
    if (crop.count >= 0 && crop.count < crop.schroederStart) // a negative count keeps all samples
        crop.schroederStart = crop.count;
    IniFile(projectFile).ReplaceSection(BareFileName(measurementFile),
        {{"MPA", std::to_string(crop.start)}, {"MPE", std::to_string(crop.count)}, {"MPS", std::to_string(crop.schroederStart)}});
}

void EraseCropSettings(const std::string& projectFile, const std::string& measurementFile)
{
    IniFile(projectFile).EraseSection(BareFileName(measurementFile));
}

} // namespace dazo
