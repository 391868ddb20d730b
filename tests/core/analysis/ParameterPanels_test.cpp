// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/ParameterPanels.h"

#include "common/DazoError.h"
#include "common/Encoding.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

std::array<TRTRecord, kRTKindCount> Records()
{
    std::array<TRTRecord, kRTKindCount> records{};
    for (int kind = 0; kind < kRTKindCount; ++kind) {
        records[static_cast<std::size_t>(kind)].RT = 1.0 + kind / 10.0;
        records[static_cast<std::size_t>(kind)].Correlation = 0.9 + kind / 100.0;
    }
    return records;
}

TEST(ParameterPanels, TimesOfUntrustedFitsShowADash)
{
    TRTRecord record;
    record.RT = 1.234;
    for (const auto& [correlation, text] : {std::pair{0.59, "-"}, {0.5999999, "-"}, {0.6, "1,23"}, {0.99, "1,23"}}) {
        record.Correlation = correlation;
        EXPECT_EQ(RTValueText(record, FormatSettings::German()), text) << correlation;
    }
}

TEST(ParameterPanels, ReverberationLabelsFollowThePressedButton)
{
    auto records = Records();
    records[kRt30Custom].Correlation = 0.3;
    const FormatSettings en = FormatSettings::English();
    const RTPanelTexts rt20 = RTPanelTextsFor(records, kRt20Custom, en);
    EXPECT_EQ(rt20.lbEDT, "1.10");
    EXPECT_EQ(rt20.lbRT20, "1.20");
    EXPECT_EQ(rt20.lbRT30, "1.40");
    EXPECT_EQ(rt20.lcEDT, "1.00");
    EXPECT_EQ(rt20.lcRT20, "1.30");
    EXPECT_EQ(rt20.lcRT30, "-");
    EXPECT_EQ(rt20.lcRtxx, "1.60");
    EXPECT_EQ(rt20.lbRSelect, "0.92");
    EXPECT_EQ(rt20.lcRSelect, "0.93");

    // The correlation column shows the value even below the trust limit.
    const RTPanelTexts rt30 = RTPanelTextsFor(records, kRt30Custom, en);
    EXPECT_EQ(rt30.lbRSelect, "0.94");
    EXPECT_EQ(rt30.lcRSelect, "0.30");
    const RTPanelTexts rtxx = RTPanelTextsFor(records, kRtxxCustom, en);
    EXPECT_EQ(rtxx.lbRSelect, "-");
    EXPECT_EQ(rtxx.lcRSelect, "0.96");
    EXPECT_EQ(RTPanelTextsFor(records, kEdtCustom, en).lbRSelect, "0.91");
}

TEST(ParameterPanels, EnergyLabelsAndTheCxxCaption)
{
    TCalcData data;
    THallCalcer calcer("", data);
    calcer.C35 = -1.234;
    calcer.C50 = 2.0;
    calcer.C80 = 3.456;
    calcer.Cxx = 0.0;
    calcer.D50 = 0.4567;
    calcer.D80 = 0.8;
    calcer.Ts = 75.126;
    EnergyPanelTexts texts = EnergyPanelTextsFor(calcer, FormatSettings::German());
    EXPECT_EQ(texts.lC35, "-1,23");
    EXPECT_EQ(texts.lC50, "2,00");
    EXPECT_EQ(texts.lC80, "3,46");
    EXPECT_EQ(texts.LCCustIn, "C xx");
    EXPECT_EQ(texts.LCCust, "0,00");
    EXPECT_EQ(texts.lD50, "0,46");
    EXPECT_EQ(texts.LD80, "0,80");
    EXPECT_EQ(texts.lCenterTime, "75,13");
    for (const auto& [cvar, caption] : {std::pair{-5, "C xx"}, {0, "C xx"}, {1, "C 1"}, {120, "C 120"}}) {
        calcer.CVar = cvar;
        EXPECT_EQ(EnergyPanelTextsFor(calcer, FormatSettings::German()).LCCustIn, caption);
    }
}

TEST(ParameterPanels, IntegersTypedByTheUser)
{
    EXPECT_EQ(IntegerFromText("50"), 50);
    EXPECT_EQ(IntegerFromText(" -7 "), -7);
    EXPECT_EQ(IntegerFromText("+2147483647"), 2147483647);
    for (const char* text : {"", "abc", "1,5", "1.0", "12a", "2147483648", "- 3"}) {
        try {
            IntegerFromText(text);
            ADD_FAILURE() << text;
        } catch (const DazoError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + Ansi("' ist kein gültiger Integerwert"));
        }
    }
}

} // namespace
} // namespace dazo
