// SPDX-License-Identifier: GPL-3.0-or-later
// Time records: any bytes load or are refused with a message; what loads is
// exported and read back unchanged.

#include "FuzzSupport.h"
#include "signal/MData.h"

#include <cstring>

using namespace dazo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = fuzz::WriteScratch("input.tim", {reinterpret_cast<const char*>(data), size});
    TCalcData loaded;
    try {
        loaded.ReadTim(input);
    } catch (const DazoError& e) {
        fuzz::RequireMessage(e);
        return 0;
    }
    fuzz::Require(loaded.Title.size() <= 80 && loaded.Comment.size() <= 60, "text beyond its field");

    const std::string exported = fuzz::ScratchFile("export.tim");
    loaded.SaveTim(exported);
    TCalcData again;
    again.ReadTim(exported);
    fuzz::Require(again.Count == loaded.Count, "count changed by export");
    fuzz::Require(std::memcmp(&again.SampleInterval, &loaded.SampleInterval, sizeof(float)) == 0,
                  "interval changed by export");
    fuzz::Require(loaded.Count == 0
                      || std::memcmp(again.Samples(), loaded.Samples(), static_cast<std::size_t>(loaded.Count) * 4) == 0,
                  "samples changed by export");
    fuzz::Require(again.Title == loaded.Title && again.Comment == loaded.Comment, "texts changed by export");
    fuzz::Require(again.TimTrailer == loaded.TimTrailer, "trailer changed by export");
    return 0;
}
