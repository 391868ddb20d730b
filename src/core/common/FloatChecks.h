// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace dazo {

// Arithmetic that would produce NaN or infinity throws the German runtime
// message instead, so no such value ever reaches a curve, the cache or a file:
// x/0 "Gleitkommadivision durch Null", 0/0 "Ungültige Gleitkommaoperation",
// a non-finite result "Gleitkommaüberlauf".
long double CheckedDivide(long double numerator, long double denominator);

// Throws "Gleitkommaüberlauf" unless value is finite (NaN: "Ungültige
// Gleitkommaoperation"); returns value.
long double CheckedFinite(long double value);

// Integer division that throws "Division durch Null".
long long CheckedIntDivide(long long numerator, long long denominator);

} // namespace dazo
