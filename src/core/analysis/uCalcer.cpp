// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/uCalcer.h"

namespace dazo {

TCalcer::TCalcer(const TCalcData& calcData)
    : CalcData(calcData)
{
}

} // namespace dazo
