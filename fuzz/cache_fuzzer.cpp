// SPDX-License-Identifier: GPL-3.0-or-later
// Result-cache records: any values in a project file read as a record, as
// "no record", or are refused with a message; the records written back read
// again as the very same values.

#include "FuzzSupport.h"
#include "analysis/uHallCalcer.h"
#include "signal/MData.h"

using namespace dazo;

namespace {

// Reads the C record and the seven RT records; false when one was refused.
// Records that are missing or short keep the calculator's values.
bool ReadAll(THallCalcer& calcer, bool mustFindAll)
{
    try {
        bool found = calcer.ReadCRecord();
        for (int kind = 0; kind < kRTKindCount; ++kind)
            found = calcer.ReadRTRecord(kind) && found;
        fuzz::Require(found || !mustFindAll, "record written but not found");
        return true;
    } catch (const DazoError& e) {
        fuzz::RequireMessage(e);
        fuzz::Require(!mustFindAll, "record written but refused");
        return false;
    }
}

// The records as the project file holds them.
std::string Describe(const THallCalcer& c)
{
    std::string text = std::to_string(c.CVar);
    for (const double v : {c.C35, c.C50, c.C80, c.Cxx, c.D50, c.D80, c.Ts})
        text += ' ' + FloatToText(v);
    for (const TRTRecord& r : c.RTRecords) {
        text += ';' + std::to_string(r.StartIndex) + ' ' + std::to_string(r.EndIndex);
        for (const double v : {r.LevelStart, r.LevelEnd, r.Correlation, r.RT})
            text += ' ' + FloatToText(v);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string project = fuzz::WriteScratch("input.npj", {reinterpret_cast<const char*>(data), size});
    TCalcData measurement;
    measurement.FileName = fuzz::ScratchFile("r01.tim");
    for (int32_t function = 0; function <= 10; ++function) {
        THallCalcer calcer(project, measurement);
        calcer.SetCalcFunction(function);
        if (!ReadAll(calcer, false))
            continue;
        calcer.WriteRTRecords(true);
        THallCalcer again(project, measurement);
        again.SetCalcFunction(function);
        ReadAll(again, true);
        fuzz::Require(Describe(again) == Describe(calcer), "record changed by writing it back");
    }
    return 0;
}
