// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

namespace dazo {

// Recursive digital filter designed from an analogue Butterworth or Chebyshev
// prototype by the prewarped bilinear transform; band-passes come from the
// low-pass prototype by the classical low-pass-to-band-pass transformation.
// The octave-band analysis uses it as a 6th-order Butterworth band-pass and
// runs the difference equation y[n] = sum b[k] x[n-k] - sum(k>=1) a[k] y[n-k]
// itself.
class TIIRFilter {
public:
    static constexpr int32_t MaxOrder = 20;
    static constexpr int32_t Butterworth = 4;
    static constexpr int32_t Chebyshev = 5;
    static constexpr int32_t LowPass = 1;
    static constexpr int32_t HighPass = 2;
    static constexpr int32_t BandPass = 3; // needs an even Order

    TIIRFilter();

    int32_t Order = 6;        // number of poles, 1 ... MaxOrder
    int32_t Prototype = Butterworth;
    int32_t Kind = BandPass;
    int32_t FreqPoints = 250; // intervals of the gain normalisation grid
    long double LowEdge = 717;  // Hz, band-pass and high-pass
    long double HighEdge = 1414; // Hz, band-pass and low-pass
    long double Nyquist;        // Hz, half the sample rate
    long double Ripple = 1;     // dB, pass-band ripple of the Chebyshev prototype
    long double DefaultRate = 8000;
    // Indices 1 ... Order are used. Poles come in pairs (1, 2), (3, 4), ...,
    // or (2, 3), (4, 5), ... after the real pole at index 1 of an odd Order:
    // a conjugate pair with the positive imaginary part first, or the two real
    // poles a wide band-pass can have. B and A use 0 ... Order, A[0] = 1.
    std::array<long double, MaxOrder + 1> PoleRe{}, PoleIm{}, Zeros{}, B{}, A{};

    void SetRate(long double rate);

    // PlacePoles, ExpandCoefficients, NormalizeGain. A band reaching above
    // Nyquist is not refused here but yields poles outside the unit circle;
    // the caller decides. Settings outside the ranges above throw.
    void Design();
    void PlacePoles();
    void ExpandCoefficients();
    // Scales B so the largest gain is 0 dB: searched on a grid of
    // FreqPoints + 1 frequencies and, for a band-pass, at its centre.
    void NormalizeGain();

    // Magnitude response in dB of the designed filter at frequency (Hz).
    // Throws where the level is not finite.
    long double GainDb(long double frequency) const;

private:
    void CheckSettings() const;
    void PlaceLowPassPrototype(int32_t n);
    void TransformToBandPass(int32_t n);
    long double BandPassAlpha() const;
    // Stores re + j|im| at index j and its conjugate at j + 1.
    void StorePolePair(int32_t j, long double re, long double im);
    long double GainDbAt(long double omega) const;
};

struct OctaveBandEdges {
    long double low, high;
};

// centre / sqrt 2 and centre * sqrt 2, computed through the exponential.
OctaveBandEdges OctaveEdges(long double centre);

} // namespace dazo
