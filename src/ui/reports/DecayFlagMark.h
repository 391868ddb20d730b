// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

namespace dazo::ui {

// The background of a decay time whose band does not carry it (too little
// dynamic range, curved decay); the reason goes into the tooltip.
inline const QColor kDecayFlagColour{255, 214, 214};

} // namespace dazo::ui
