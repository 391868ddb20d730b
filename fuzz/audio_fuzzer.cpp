// SPDX-License-Identifier: GPL-3.0-or-later
// Audio files: any bytes load or are refused with a message, and what loads
// is a usable measurement.

#include "FuzzSupport.h"
#include "audio/AudioFileReader.h"

#include <cmath>

using namespace dazo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = fuzz::WriteScratch("input.wav", {reinterpret_cast<const char*>(data), size});
    TCalcData loaded;
    try {
        ReadAudioFile(loaded, input);
    } catch (const DazoError& e) {
        fuzz::RequireMessage(e);
        return 0;
    }
    fuzz::Require(loaded.Count > 0 && loaded.Samples() != nullptr, "measurement without samples");
    fuzz::Require(std::isfinite(loaded.SampleInterval) && loaded.SampleInterval > 0, "unusable sample interval");
    fuzz::Require(loaded.Title.size() <= 80 && loaded.Comment.size() <= 60, "text beyond its field");
    return 0;
}
