// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/FloatChecks.h"

#include "common/DazoError.h"

#include <cmath>

namespace dazo {

long double CheckedDivide(long double numerator, long double denominator)
{
    if (std::isnan(numerator) || std::isnan(denominator))
        Fail("Ungültige Gleitkommaoperation");
    if (denominator == 0.0L) {
        if (numerator == 0.0L)
            Fail("Ungültige Gleitkommaoperation");
        Fail("Gleitkommadivision durch Null");
    }
    return CheckedFinite(numerator / denominator);
}

long double CheckedFinite(long double value)
{
    if (std::isnan(value))
        Fail("Ungültige Gleitkommaoperation");
    if (std::isinf(value))
        Fail("Gleitkommaüberlauf");
    return value;
}

long long CheckedIntDivide(long long numerator, long long denominator)
{
    if (denominator == 0)
        Fail("Division durch Null");
    return numerator / denominator;
}

} // namespace dazo
