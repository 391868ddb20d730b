// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts of the reverberation and energy panels of the main window, from a
// calculator's records and values, in the user's number format.

#include "analysis/uHallCalcer.h"
#include "common/FormatSettings.h"

#include <array>
#include <string>
#include <string_view>

namespace dazo {

// A fit whose correlation is below this is not trusted: its time shows "-".
inline constexpr double kMinimumCorrelation = 0.6;

// The standard kind shown beside a button's own kind: EDT 0 -> 1, RT 20 3 -> 2,
// RT 30 5 -> 4; -1 for RTxx (6), which has none, and for anything else.
int StandardKindOf(int ownKind);

// "-" for an untrusted fit, else the time "%.2f".
std::string RTValueText(const TRTRecord& record, FormatSettings format);

// The labels of the reverberation panel, named by their controls.
struct RTPanelTexts {
    std::string lbEDT, lbRT20, lbRT30;         // standard kinds 1, 2, 4
    std::string lcEDT, lcRT20, lcRT30, lcRtxx; // own kinds 0, 3, 5, 6
    std::string lbRSelect, lcRSelect;          // correlations of the pressed button's kinds
};

// pressedKind is the own kind of the pressed button (0, 3, 5 or 6).
RTPanelTexts RTPanelTextsFor(const std::array<TRTRecord, kRTKindCount>& records, int pressedKind, FormatSettings format);

// The labels of the energy panel, named by their controls.
struct EnergyPanelTexts {
    std::string lC35, lC50, lC80, LCCustIn, LCCust, lD50, LD80, lCenterTime;
};

EnergyPanelTexts EnergyPanelTextsFor(const THallCalcer& calcer, FormatSettings format);

// A whole number typed by the user (blanks around it and a sign allowed);
// anything else, or a number beyond 32 bits, throws
// "'<text>' ist kein gültiger Integerwert".
int IntegerFromText(std::string_view text);

} // namespace dazo
