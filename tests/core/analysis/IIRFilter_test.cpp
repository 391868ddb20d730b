// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/IIRFilter.h"

#include "common/DazoError.h"
#include "common/Encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <string>

namespace dazo {
namespace {

constexpr long double Pi = std::numbers::pi_v<long double>;

TIIRFilter DesignedFilter(int32_t kind, int32_t prototype, int32_t order, long double low,
                          long double high, long double rate, long double ripple = 1)
{
    TIIRFilter filter;
    filter.Kind = kind;
    filter.Prototype = prototype;
    filter.Order = order;
    filter.LowEdge = low;
    filter.HighEdge = high;
    filter.Ripple = ripple;
    filter.SetRate(rate);
    filter.Design();
    return filter;
}

// The way the octave-band analysis sets the filter up.
TIIRFilter OctaveFilter(long double centre, long double rate)
{
    const OctaveBandEdges edges = OctaveEdges(centre);
    return DesignedFilter(TIIRFilter::BandPass, TIIRFilter::Butterworth, 6, edges.low, edges.high,
                          rate);
}

long double LargestPoleMagnitude(const TIIRFilter& filter)
{
    long double largest = 0;
    for (int32_t k = 1; k <= filter.Order; ++k)
        largest = std::max(largest, std::hypot(filter.PoleRe[k], filter.PoleIm[k]));
    return largest;
}

// b0 * prod |1 - z_k e^-jw| / prod |1 - p_k e^-jw|: the response of the
// factored form, independent of how the coefficients were multiplied out.
long double GainDbFromPolesAndZeros(const TIIRFilter& filter, long double frequency)
{
    const std::complex<long double> delay = std::polar(1.0L, -Pi * frequency / filter.Nyquist);
    long double magnitude = std::fabs(filter.B[0]);
    for (int32_t k = 1; k <= filter.Order; ++k) {
        const std::complex<long double> pole(filter.PoleRe[k], filter.PoleIm[k]);
        magnitude *= std::abs(1.0L - filter.Zeros[k] * delay) / std::abs(1.0L - pole * delay);
    }
    return 20 * std::log10(magnitude);
}

// Closed-form magnitude of the bilinear Butterworth / Chebyshev designs: x is
// the prototype's frequency relative to its cut-off, reached through the
// prewarped low-pass, the mirrored high-pass or the band-pass mapping
// x = (cos w - alpha) / (sin w tan(w2 - w1)).
long double ReferenceGainDb(const TIIRFilter& filter, long double frequency)
{
    const long double w = Pi * frequency / filter.Nyquist;
    const long double w1 = Pi / 2 * filter.LowEdge / filter.Nyquist;
    const long double w2 = Pi / 2 * filter.HighEdge / filter.Nyquist;
    long double x = 0;
    int32_t n = filter.Order;
    switch (filter.Kind) {
    case TIIRFilter::LowPass:
        x = std::tan(w / 2) / std::tan(w2);
        break;
    case TIIRFilter::HighPass:
        x = std::tan((Pi - w) / 2) / std::tan(Pi / 2 - w1);
        break;
    default:
        x = (std::cos(w) - std::cos(w1 + w2) / std::cos(w2 - w1)) / (std::sin(w) * std::tan(w2 - w1));
        n /= 2;
    }
    if (filter.Prototype == TIIRFilter::Butterworth)
        return -10 * std::log10(1 + std::pow(x, 2 * n));
    const long double ax = std::fabs(x);
    const long double chebyshev = ax <= 1 ? std::cos(n * std::acos(ax)) : std::cosh(n * std::acosh(ax));
    const long double epsilonSquared = std::pow(10.0L, filter.Ripple / 10) - 1;
    return -10 * std::log10(1 + epsilonSquared * chebyshev * chebyshev);
}

TEST(IIRFilterTest, DefaultsAndSetRate)
{
    TIIRFilter filter;
    EXPECT_EQ(filter.Order, 6);
    EXPECT_EQ(filter.Prototype, 4);
    EXPECT_EQ(filter.Kind, 3);
    EXPECT_EQ(filter.FreqPoints, 250);
    EXPECT_EQ(filter.LowEdge, 717);
    EXPECT_EQ(filter.HighEdge, 1414);
    EXPECT_EQ(filter.Nyquist, 4000);
    EXPECT_EQ(filter.Ripple, 1);
    EXPECT_EQ(filter.DefaultRate, 8000);

    filter.SetRate(44100);
    EXPECT_EQ(filter.Nyquist, 22050);
    EXPECT_EQ(filter.DefaultRate, 8000);
}

TEST(IIRFilterTest, OctaveEdgesLieHalfAnOctaveEitherSide)
{
    const OctaveBandEdges edges = OctaveEdges(1000);
    EXPECT_NEAR(edges.low, 1000 / std::sqrt(2.0L), 1e-12L);
    EXPECT_NEAR(edges.high, 1000 * std::sqrt(2.0L), 1e-12L);
}

TEST(IIRFilterTest, Octave1000HzAt10kHz)
{
    const TIIRFilter filter = OctaveFilter(1000, 10000);

    const long double numerator[] = {1, 0, -3, 0, 3, 0, -1};
    for (int32_t k = 0; k <= 6; ++k)
        EXPECT_NEAR(filter.B[k] / filter.B[0], numerator[k], 1e-12L) << "b[" << k << "]";
    EXPECT_EQ(filter.A[0], 1);
    EXPECT_LT(LargestPoleMagnitude(filter), 1);

    EXPECT_NEAR(filter.GainDb(500), -19, 1);  // -19.15 dB
    EXPECT_NEAR(filter.GainDb(2000), -22, 1); // -21.88 dB
}

TEST(IIRFilterTest, OctaveBandsPassTheCentreAndCutTheEdgesBy3dB)
{
    struct Band {
        long double centre, rate;
    };
    // 31.5 Hz at 48 kHz falls between the points of the normalisation grid.
    for (const Band band : {Band{1000, 10000}, Band{125, 10000}, Band{31.5, 48000},
                            Band{63, 44100}, Band{8000, 48000}}) {
        SCOPED_TRACE(testing::Message() << band.centre << " Hz at " << band.rate << " Hz");
        const TIIRFilter filter = OctaveFilter(band.centre, band.rate);
        EXPECT_LT(LargestPoleMagnitude(filter), 1);
        EXPECT_NEAR(filter.GainDb(band.centre), 0, 0.05);
        EXPECT_NEAR(filter.GainDb(band.centre / std::sqrt(2.0L)), -3.01, 0.1);
        EXPECT_NEAR(filter.GainDb(band.centre * std::sqrt(2.0L)), -3.01, 0.1);
    }
}

TEST(IIRFilterTest, BandReachingAboveNyquistGetsPolesOutsideTheUnitCircle)
{
    // The upper edge 5657 Hz lies above 5000 Hz; the octave-band analysis
    // refuses such bands instead of running this unstable filter.
    EXPECT_NEAR(LargestPoleMagnitude(OctaveFilter(4000, 10000)), 1.34, 0.01);
}

TEST(IIRFilterTest, DesignsFollowTheirClosedFormResponse)
{
    using F = TIIRFilter;
    struct Case {
        const char* name;
        int32_t kind, prototype, order;
        long double low, high, rate, ripple;
    };
    const Case cases[] = {
        {"Butterworth low-pass 4", F::LowPass, F::Butterworth, 4, 0, 1000, 8000, 1},
        {"Butterworth low-pass 5", F::LowPass, F::Butterworth, 5, 0, 1000, 8000, 1},
        {"Butterworth high-pass 4", F::HighPass, F::Butterworth, 4, 1000, 0, 8000, 1},
        {"Butterworth high-pass 3", F::HighPass, F::Butterworth, 3, 1000, 0, 8000, 1},
        {"Butterworth band-pass 6", F::BandPass, F::Butterworth, 6, 700, 1400, 10000, 1},
        // So wide that the real prototype pole turns into two real poles.
        {"Butterworth band-pass 6 wide", F::BandPass, F::Butterworth, 6, 10, 1000, 10000, 1},
        {"Chebyshev band-pass 6 wide", F::BandPass, F::Chebyshev, 6, 50, 2000, 10000, 1},
        {"Chebyshev low-pass 4", F::LowPass, F::Chebyshev, 4, 0, 1000, 8000, 1},
        {"Chebyshev low-pass 5", F::LowPass, F::Chebyshev, 5, 0, 1000, 8000, 0.5},
        {"Chebyshev high-pass 4", F::HighPass, F::Chebyshev, 4, 1000, 0, 8000, 1},
        {"Chebyshev band-pass 6", F::BandPass, F::Chebyshev, 6, 700, 1400, 10000, 1},
        {"Chebyshev band-pass 8", F::BandPass, F::Chebyshev, 8, 700, 1400, 10000, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TIIRFilter filter = DesignedFilter(c.kind, c.prototype, c.order, c.low, c.high, c.rate, c.ripple);
        EXPECT_LT(LargestPoleMagnitude(filter), 1);

        // Anchors of the reference itself: the level at the cut-off edge.
        const long double edgeLevel = c.prototype == F::Butterworth ? -3.0103L : -c.ripple;
        if (c.kind != F::HighPass) {
            EXPECT_NEAR(filter.GainDb(c.high), edgeLevel, 0.005);
        }
        if (c.kind != F::LowPass) {
            EXPECT_NEAR(filter.GainDb(c.low), edgeLevel, 0.005);
        }

        const long double passLow = c.kind == F::LowPass ? 0 : c.low;
        const long double passHigh = c.kind == F::HighPass ? filter.Nyquist : c.high;
        for (int32_t i = 1; i < 100; ++i) {
            const long double frequency = filter.Nyquist * i / 100;
            const long double gain = filter.GainDb(frequency);
            const long double reference = ReferenceGainDb(filter, frequency);
            SCOPED_TRACE(testing::Message() << frequency << " Hz");
            if (reference > -100) {
                EXPECT_NEAR(gain, reference, 0.005);
            }
            EXPECT_NEAR(gain, GainDbFromPolesAndZeros(filter, frequency), 1e-6);
            if (frequency >= passLow && frequency <= passHigh) {
                EXPECT_LE(gain, 0.005);
                EXPECT_GE(gain, edgeLevel - 0.005);
            }
        }
    }
}

TEST(IIRFilterTest, SettingsWithoutMeaningAreRefused)
{
    struct Case {
        std::function<void(TIIRFilter&)> change;
        const char* message;
    };
    const Case cases[] = {
        {[](TIIRFilter& f) { f.Order = 21; }, "ungültige Filterordnung"},
        {[](TIIRFilter& f) { f.Order = 0; }, "ungültige Filterordnung"},
        {[](TIIRFilter& f) { f.Order = 5; }, "ungültige Filterordnung"}, // band-pass needs even
        {[](TIIRFilter& f) { f.Prototype = 3; }, "ungültiger Filtertyp"},
        {[](TIIRFilter& f) { f.Kind = 4; }, "ungültiger Filtertyp"},
        {[](TIIRFilter& f) { f.FreqPoints = 0; }, "ungültige Anzahl Frequenzpunkte"},
        {[](TIIRFilter& f) { f.SetRate(0); }, "ungültige Abtastrate"},
        {[](TIIRFilter& f) { f.HighEdge = NAN; }, "ungültige Bandgrenzen"},
        {[](TIIRFilter& f) { f.Prototype = 5; f.Ripple = 0; }, "ungültige Welligkeit"},
    };
    for (const Case& c : cases) {
        TIIRFilter filter;
        c.change(filter);
        try {
            filter.Design();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const DazoError& error) {
            EXPECT_EQ(error.what(), Ansi(c.message));
        }
    }
}

} // namespace
} // namespace dazo
