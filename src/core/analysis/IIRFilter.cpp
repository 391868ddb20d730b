// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/IIRFilter.h"

#include "common/DazoError.h"
#include "common/FloatChecks.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace dazo {

namespace {

constexpr long double Pi = std::numbers::pi_v<long double>;

// Principal square root by the half-angle formulas; a negative real argument
// (where the imaginary part would be 0/0) gives the purely imaginary root.
std::complex<long double> SquareRoot(std::complex<long double> d)
{
    const long double sr = std::sqrt((std::abs(d) + d.real()) / 2);
    if (sr == 0)
        return {0, std::sqrt(-d.real())};
    return {sr, d.imag() / (2 * sr)};
}

// coefficients *= (1 + c1 z^-1 + c2 z^-2), truncated after index order.
// Runs downwards so every step still reads the old lower coefficients.
void MultiplyBySection(std::array<long double, TIIRFilter::MaxOrder + 1>& coefficients,
                       long double c1, long double c2, int32_t order)
{
    for (int32_t k = order; k >= 2; --k)
        coefficients[k] = coefficients[k] + c1 * coefficients[k - 1] + c2 * coefficients[k - 2];
    coefficients[1] = c1 * coefficients[0] + coefficients[1];
}

} // namespace

TIIRFilter::TIIRFilter()
{
    Nyquist = DefaultRate * 0.5L;
}

void TIIRFilter::SetRate(long double rate)
{
    Nyquist = rate * 0.5L;
}

void TIIRFilter::Design()
{
    PlacePoles();
    ExpandCoefficients();
    NormalizeGain();
}

// Every step indexes the fixed arrays by Order, so each one refuses settings
// that would run past them or have no defined meaning.
void TIIRFilter::CheckSettings() const
{
    if (Order < 1 || Order > MaxOrder || (Kind == BandPass && Order % 2 != 0))
        Fail("ungültige Filterordnung");
    if ((Prototype != Butterworth && Prototype != Chebyshev) || Kind < LowPass || Kind > BandPass)
        Fail("ungültiger Filtertyp");
    if (FreqPoints < 1)
        Fail("ungültige Anzahl Frequenzpunkte");
    if (!std::isfinite(Nyquist) || Nyquist <= 0)
        Fail("ungültige Abtastrate");
    if (!std::isfinite(LowEdge) || !std::isfinite(HighEdge))
        Fail("ungültige Bandgrenzen");
    if (Prototype == Chebyshev && (!std::isfinite(Ripple) || Ripple <= 0))
        Fail("ungültige Welligkeit");
}

void TIIRFilter::PlacePoles()
{
    CheckSettings();
    std::fill(PoleRe.begin() + 1, PoleRe.begin() + Order + 1, 0.0L);
    std::fill(PoleIm.begin() + 1, PoleIm.begin() + Order + 1, 0.0L);

    const int32_t n = Kind == BandPass ? Order / 2 : Order;
    PlaceLowPassPrototype(n);
    switch (Kind) {
    case LowPass:
        std::fill(Zeros.begin() + 1, Zeros.begin() + n + 1, -1.0L);
        break;
    case HighPass:
        // z -> -z mirrors the low-pass of cut-off Nyquist - LowEdge.
        for (int32_t i = 1; i <= n; ++i)
            PoleRe[i] = -PoleRe[i];
        std::fill(Zeros.begin() + 1, Zeros.begin() + n + 1, 1.0L);
        break;
    case BandPass:
        std::fill(Zeros.begin() + 1, Zeros.begin() + n + 1, 1.0L);
        std::fill(Zeros.begin() + n + 1, Zeros.begin() + 2 * n + 1, -1.0L);
        TransformToBandPass(n);
        break;
    }
}

// The n z-plane poles of the low-pass prototype at indices 1 ... n: for odd n
// the real pole first, then conjugate pairs.
void TIIRFilter::PlaceLowPassPrototype(int32_t n)
{
    const int32_t odd = n % 2;
    const long double bandwidth = Kind == LowPass    ? HighEdge
                                  : Kind == HighPass ? Nyquist - LowEdge
                                                     : HighEdge - LowEdge;
    const long double T = std::tan(Pi / 2 * bandwidth / Nyquist);

    // Butterworth poles lie on a circle; Chebyshev squeezes it into an ellipse.
    long double sh = 1;
    long double ch = 1;
    if (Prototype == Chebyshev) {
        const long double q = 1 - std::pow(10.0L, -Ripple / 20);
        const long double inverseEpsilon = 1 / std::sqrt(1 / ((1 - q) * (1 - q)) - 1);
        const long double v =
            std::pow(inverseEpsilon + std::sqrt(inverseEpsilon * inverseEpsilon + 1), 1.0L / n);
        sh = (v - 1 / v) / 2;
        ch = (v + 1 / v) / 2;
    }

    // Poles of the left half s-plane below the real axis, mapped by the
    // bilinear transform z = (1 + p) / (1 - p).
    const int32_t lastPair = (3 * n + odd) / 2 - 1;
    for (int32_t e = n + odd; e <= lastPair; ++e) {
        const long double theta = (2 * e + 1 - odd) * Pi / (2 * n);
        const long double re = T * sh * std::cos(theta);
        const long double im = T * ch * std::sin(theta);
        const long double d = (1 - re) * (1 - re) + im * im;
        StorePolePair(odd + 2 * (lastPair - e) + 1, 2 * (1 - re) / d - 1, 2 * im / d);
    }
    if (odd == 1) {
        PoleRe[1] = Prototype == Chebyshev ? 2 / (1 + sh * T) - 1 : (1 - T * T) / (1 + 2 * T + T * T);
        PoleIm[1] = 0;
    }
}

// Each prototype pole p becomes the roots of z^2 - alpha (1 + p) z + p = 0.
// One member of every conjugate prototype pair suffices (the other gives the
// conjugate roots); it is the one at the odd indices 1, 3, 5, ...
void TIIRFilter::TransformToBandPass(int32_t n)
{
    const long double alpha = BandPassAlpha();
    const auto prototypeRe = PoleRe;
    const auto prototypeIm = PoleIm;

    int32_t j = 1;
    for (int32_t i = 1; i <= n; i += 2) {
        if (std::fabs(prototypeIm[i]) < 0.0001L) {
            const long double p = prototypeRe[i];
            const long double c = alpha * (1 + p) / 2;
            const long double D = c * c - p;
            // A wide band (low edge far below the high one, or a band reaching
            // above Nyquist) gives two real poles, stored side by side.
            if (D > 0) {
                PoleRe[j] = c + std::sqrt(D);
                PoleRe[j + 1] = c - std::sqrt(D);
                PoleIm[j] = PoleIm[j + 1] = 0;
            } else
                StorePolePair(j, c, std::sqrt(std::fabs(D)));
            j += 2;
        } else {
            const std::complex<long double> p(prototypeRe[i], prototypeIm[i]);
            const std::complex<long double> c = alpha * (1.0L + p) / 2.0L;
            const std::complex<long double> root = SquareRoot(c * c - p);
            const std::complex<long double> first = c + root;
            const std::complex<long double> second = c - root;
            StorePolePair(j, first.real(), first.imag());
            StorePolePair(j + 2, second.real(), second.imag());
            j += 4;
        }
    }
}

// cos of the band-pass frequency onto which the prototype's DC is mapped.
long double TIIRFilter::BandPassAlpha() const
{
    const long double w1 = Pi / 2 * LowEdge / Nyquist;
    const long double w2 = Pi / 2 * HighEdge / Nyquist;
    return std::cos(w1 + w2) / std::cos(w2 - w1);
}

void TIIRFilter::StorePolePair(int32_t j, long double re, long double im)
{
    PoleRe[j] = re;
    PoleIm[j] = std::fabs(im);
    PoleRe[j + 1] = re;
    PoleIm[j + 1] = -std::fabs(im);
}

// Multiplies out the zeros and poles into B and A; an odd order starts with
// the first-order section of the real pole at index 1.
void TIIRFilter::ExpandCoefficients()
{
    CheckSettings();
    B.fill(0);
    A.fill(0);
    B[0] = 1;
    A[0] = 1;
    int32_t firstPair = 1;
    if (Order % 2 != 0) {
        B[1] = -Zeros[1];
        A[1] = -PoleRe[1];
        firstPair = 2;
    }
    for (int32_t j = firstPair; j < Order; j += 2) {
        MultiplyBySection(B, -(Zeros[j] + Zeros[j + 1]), Zeros[j] * Zeros[j + 1], Order);
        // For a conjugate pair this is -2 Re p and |p|^2 to the last bit.
        MultiplyBySection(A, -(PoleRe[j] + PoleRe[j + 1]),
                          PoleRe[j] * PoleRe[j + 1] - PoleIm[j] * PoleIm[j + 1], Order);
    }
}

void TIIRFilter::NormalizeGain()
{
    CheckSettings();
    const int32_t M = FreqPoints;
    long double peak = -100;
    for (int32_t i = 0; i <= M; ++i) {
        // The ends stay off 0 and pi, where the zeros of a band-pass sit.
        const long double omega = i == 0 ? Pi / 10000 : i == M ? Pi - Pi / 10000 : i * Pi / M;
        peak = std::max(peak, GainDbAt(omega));
    }
    // A narrow band can slip between the grid points (31.5 Hz at 48 kHz would
    // come out 35 dB too loud), so the band-pass is also measured where it
    // peaks: at the image of the prototype's DC. A band reaching above Nyquist
    // has no such frequency.
    if (Kind == BandPass) {
        const long double alpha = BandPassAlpha();
        if (std::fabs(alpha) < 1)
            peak = std::max(peak, GainDbAt(std::acos(alpha)));
    }
    const long double scale = std::pow(10.0L, -peak / 20);
    for (int32_t k = 0; k <= Order; ++k)
        B[k] *= scale;
}

long double TIIRFilter::GainDb(long double frequency) const
{
    CheckSettings();
    return GainDbAt(Pi * frequency / Nyquist);
}

long double TIIRFilter::GainDbAt(long double omega) const
{
    long double br = 0;
    long double bi = 0;
    long double ar = 0;
    long double ai = 0;
    for (int32_t k = 0; k <= Order; ++k) {
        const long double c = std::cos(k * omega);
        const long double s = std::sin(k * omega);
        br += B[k] * c;
        bi += B[k] * s;
        ar += A[k] * c;
        ai += A[k] * s;
    }
    return CheckedFinite(10 * std::log10(CheckedDivide(br * br + bi * bi, ar * ar + ai * ai)));
}

OctaveBandEdges OctaveEdges(long double centre)
{
    const long double halfOctave = std::numbers::ln2_v<long double> / 2;
    return {centre * std::exp(-halfOctave), centre * std::exp(halfOctave)};
}

} // namespace dazo
