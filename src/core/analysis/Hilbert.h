// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The 65-tap transversal Hilbert transformer shared by the ETC and H{h(t)}
// representations and the noise estimate. The 32-sample delay of the filter is
// not compensated: the value at sample i describes the signal at i - 32.

#include <array>
#include <cmath>
#include <numbers>
#include <span>

namespace dazo {

inline constexpr int kHilbertTaps = 65;
inline constexpr int kHilbertCentre = 32;

// h[k] = (1 - cos(pi (k-32))) / (pi (k-32)): 2 / (pi (k-32)) for odd k-32, else 0.
inline const std::array<double, kHilbertTaps>& HilbertCoefficients()
{
    static const std::array<double, kHilbertTaps> h = [] {
        std::array<double, kHilbertTaps> c{};
        for (int k = 0; k < kHilbertTaps; ++k) {
            const int d = k - kHilbertCentre;
            c[static_cast<std::size_t>(k)] = (d % 2 != 0) ? 2.0 / (std::numbers::pi * d) : 0.0;
        }
        return c;
    }();
    return h;
}

// Runs the transformer over x and calls sink(i, s, e) for every sample, where
// s is the Hilbert transform and e = sqrt(s^2 + x[i-32]^2) the envelope.
template <typename Sample, typename Sink>
void RunHilbert(std::span<const Sample> x, Sink&& sink)
{
    const auto& h = HilbertCoefficients();
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(x.size());
    const auto at = [&](std::ptrdiff_t j) { return j >= 0 ? static_cast<double>(x[static_cast<std::size_t>(j)]) : 0.0; };
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        double s = 0.0;
        // Only the odd offsets from the centre carry weight; summed in tap order.
        // Past the first taps the window lies inside the signal and the loop
        // needs no bounds test.
        if (i >= kHilbertTaps) {
            const Sample* window = x.data() + i;
            for (int k = 1; k < kHilbertTaps; k += 2)
                s += h[static_cast<std::size_t>(k)] * static_cast<double>(window[-k]);
        } else {
            for (int k = 1; k < kHilbertTaps; k += 2)
                s += h[static_cast<std::size_t>(k)] * at(i - k);
        }
        const double direct = at(i - kHilbertCentre);
        sink(static_cast<std::size_t>(i), s, std::sqrt(s * s + direct * direct));
    }
}

} // namespace dazo
