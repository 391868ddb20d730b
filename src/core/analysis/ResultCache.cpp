// SPDX-License-Identifier: GPL-3.0-or-later
// The result cache: one section per measurement file in the project file,
// one C record and seven RT records per calculation function.
#include "analysis/ResultCache.h"
#include "analysis/uHallCalcer.h"

#include "common/DazoError.h"
#include "common/Paths.h"
#include "project/CommaText.h"
#include "signal/uconst.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace dazo {
namespace {

constexpr std::size_t kCFieldCount = 8;
constexpr std::size_t kRTFieldCount = 6;

std::string JoinFields(std::initializer_list<std::string> fields)
{
    std::string line;
    for (const std::string& field : fields)
        line += field + ',';
    line.pop_back();
    return line;
}

} // namespace

std::string CRecordKey(int band)
{
    return "C." + std::to_string(band) + ".Values";
}

std::string RTRecordKey(int band, int kind)
{
    return "RT." + std::to_string(band) + "." + std::to_string(kind) + ".Values";
}

std::string THallCalcer::SectionName() const
{
    return BareFileName(CalcData.FileName);
}

bool THallCalcer::ReadCRecord()
{
    const std::string section = SectionName();
    if (section.empty())
        return false;
    const auto f = SplitCommaText(ProjectIni.ReadString(section, CRecordKey(CalcFunction)));
    if (f.size() < kCFieldCount)
        return false;
    // Converted in full before anything is taken, so a bad field changes nothing.
    const int32_t cVar = TextToInteger(f[3]);
    C35 = TextToFloat(f[0]);
    C50 = TextToFloat(f[1]);
    C80 = TextToFloat(f[2]);
    CVar = cVar;
    Cxx = TextToFloat(f[4]);
    D50 = TextToFloat(f[5]);
    D80 = TextToFloat(f[6]);
    Ts = TextToFloat(f[7]);
    return true;
}

KeyValue THallCalcer::CRecordEntry() const
{
    return {CRecordKey(CalcFunction),
        JoinFields({FloatToText(C35), FloatToText(C50), FloatToText(C80), std::to_string(CVar), FloatToText(Cxx),
            FloatToText(D50), FloatToText(D80), FloatToText(Ts)})};
}

KeyValue THallCalcer::RTRecordEntry(int kind) const
{
    const TRTRecord& r = RTRecords.at(static_cast<std::size_t>(kind));
    return {RTRecordKey(CalcFunction, kind),
        JoinFields({std::to_string(r.StartIndex), std::to_string(r.EndIndex), FloatToText(r.LevelStart),
            FloatToText(r.LevelEnd), FloatToText(r.Correlation), FloatToText(r.RT)})};
}

void THallCalcer::WriteRecords(const std::vector<KeyValue>& entries)
{
    const std::string section = SectionName();
    if (!section.empty())
        ProjectIni.WriteStrings(section, entries);
}

void THallCalcer::WriteCRecord()
{
    WriteRecords({CRecordEntry()});
}

void THallCalcer::WriteRTRecords(bool withCRecord)
{
    std::vector<KeyValue> entries;
    if (withCRecord)
        entries.push_back(CRecordEntry());
    for (int kind = 0; kind < kRTKindCount; ++kind)
        entries.push_back(RTRecordEntry(kind));
    WriteRecords(entries);
}

bool THallCalcer::ReadRTRecord(int kind)
{
    TRTRecord& target = RTRecordOf(kind);
    const std::string section = SectionName();
    if (section.empty())
        return false;
    const auto f = SplitCommaText(ProjectIni.ReadString(section, RTRecordKey(CalcFunction, kind)));
    if (f.size() < kRTFieldCount)
        return false;
    TRTRecord record;
    record.StartIndex = TextToInteger(f[0]);
    record.EndIndex = TextToInteger(f[1]);
    record.LevelStart = TextToFloat(f[2]);
    record.LevelEnd = TextToFloat(f[3]);
    record.Correlation = TextToFloat(f[4]);
    record.RT = TextToFloat(f[5]);
    target = record;
    return true;
}

void THallCalcer::WriteRTRecord(int kind)
{
    RTRecordOf(kind); // raises "falscher Cursor" for a kind outside 0..6
    WriteRecords({RTRecordEntry(kind)});
}

} // namespace dazo
