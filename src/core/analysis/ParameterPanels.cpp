// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ParameterPanels.h"

#include "common/DazoError.h"
#include "project/UserNumbers.h"
#include "signal/uconst.h"

#include <optional>

namespace dazo {
namespace {

std::string Fixed2(double x, FormatSettings format)
{
    return UserFixedText(x, 2, format);
}

bool IsOwnKind(int kind)
{
    return kind == kEdtCustom || kind == kRt20Custom || kind == kRt30Custom || kind == kRtxxCustom;
}

} // namespace

int StandardKindOf(int ownKind)
{
    switch (ownKind) {
    case kEdtCustom: return kEdtComputed;
    case kRt20Custom: return kRt20Computed;
    case kRt30Custom: return kRt30Computed;
    default: return -1;
    }
}

std::string RTValueText(const TRTRecord& record, FormatSettings format)
{
    return record.Correlation < kMinimumCorrelation ? "-" : Fixed2(record.RT, format);
}

RTPanelTexts RTPanelTextsFor(const std::array<TRTRecord, kRTKindCount>& records, int pressedKind, FormatSettings format)
{
    const auto value = [&](int kind) { return RTValueText(records[static_cast<std::size_t>(kind)], format); };
    const auto correlation = [&](int kind) {
        return kind < 0 ? std::string("-") : Fixed2(records[static_cast<std::size_t>(kind)].Correlation, format);
    };
    RTPanelTexts texts;
    texts.lbEDT = value(kEdtComputed);
    texts.lbRT20 = value(kRt20Computed);
    texts.lbRT30 = value(kRt30Computed);
    texts.lcEDT = value(kEdtCustom);
    texts.lcRT20 = value(kRt20Custom);
    texts.lcRT30 = value(kRt30Custom);
    texts.lcRtxx = value(kRtxxCustom);
    texts.lbRSelect = correlation(StandardKindOf(pressedKind));
    texts.lcRSelect = correlation(IsOwnKind(pressedKind) ? pressedKind : -1);
    return texts;
}

EnergyPanelTexts EnergyPanelTextsFor(const THallCalcer& calcer, FormatSettings format)
{
    EnergyPanelTexts texts;
    texts.lC35 = Fixed2(calcer.C35, format);
    texts.lC50 = Fixed2(calcer.C50, format);
    texts.lC80 = Fixed2(calcer.C80, format);
    texts.LCCustIn = calcer.CVar <= 0 ? "C xx" : "C " + std::to_string(calcer.CVar);
    texts.LCCust = Fixed2(calcer.Cxx, format);
    texts.lD50 = Fixed2(calcer.D50, format);
    texts.LD80 = Fixed2(calcer.D80, format);
    texts.lCenterTime = Fixed2(calcer.Ts, format);
    return texts;
}

int IntegerFromText(std::string_view text)
{
    const std::optional<int32_t> number = ParseInteger(Trim(text));
    if (!number)
        FailWith("'%s' ist kein gültiger Integerwert", text);
    return *number;
}

} // namespace dazo
