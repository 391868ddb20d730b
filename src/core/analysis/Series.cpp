// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/Series.h"

#include "common/DazoError.h"
#include "common/Encoding.h"

#include <algorithm>
#include <string>

namespace dazo {

void TLineSeries::Reserve(std::size_t n)
{
    X_.reserve(n);
    Y_.reserve(n);
}

void TLineSeries::Clear()
{
    // Give the memory back: a reset calculator must not keep its curves'
    // storage (the RAM-saving mode and the all-band evaluation rely on it).
    std::vector<double>().swap(X_);
    std::vector<double>().swap(Y_);
}

void TLineSeries::CheckIndex(int i) const
{
    if (i < 0 || i >= Count())
        throw DazoError(Ansi("Listenindex überschreitet das Maximum (") + std::to_string(i) + ")");
}

double TLineSeries::X(int i) const
{
    CheckIndex(i);
    return X_[static_cast<std::size_t>(i)];
}

double TLineSeries::Y(int i) const
{
    CheckIndex(i);
    return Y_[static_cast<std::size_t>(i)];
}

void TLineSeries::SetY(int i, double y)
{
    CheckIndex(i);
    Y_[static_cast<std::size_t>(i)] = y;
}

double TLineSeries::MaxY() const
{
    return Y_.empty() ? 0.0 : *std::max_element(Y_.begin(), Y_.end());
}

double TLineSeries::MinY() const
{
    return Y_.empty() ? 0.0 : *std::min_element(Y_.begin(), Y_.end());
}

} // namespace dazo
