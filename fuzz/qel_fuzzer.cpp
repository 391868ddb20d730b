// SPDX-License-Identifier: GPL-3.0-or-later
// QEL text files: any bytes load or are refused with a message, and what loads
// holds exactly the samples its count line promises.

#include "FuzzSupport.h"
#include "signal/MData.h"

using namespace dazo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = fuzz::WriteScratch("input.qel", {reinterpret_cast<const char*>(data), size});
    TCalcData loaded;
    try {
        loaded.ReadQel(input);
    } catch (const DazoError& e) {
        fuzz::RequireMessage(e);
        return 0;
    }
    fuzz::Require(loaded.Count >= 0 && static_cast<std::size_t>(loaded.Count) <= size, "more samples than bytes");
    for (int32_t i = 0; i < loaded.Count; ++i)
        (void)loaded.GetValue(i);
    fuzz::Require(loaded.Comment == "QEL Export Datei", "comment of a QEL file");
    return 0;
}
