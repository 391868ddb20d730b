// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether the decay of a band carries its decay times: the dynamic range of the
// band signal (envelope peak to noise level, by the Lundeby estimate on the
// filtered signal) and the curvature of the decay (T30 against T20), judged by
// the limits of ISO 3382-1. Assessing changes nothing stored.

#include <optional>

namespace dazo {

class THallCalcer;

// Least dynamic range (dB) each decay time needs.
inline constexpr double kEdtMinRange = 25.0;
inline constexpr double kRt20MinRange = 35.0;
inline constexpr double kRt30MinRange = 45.0;
// Largest curvature (%) at which T20 and T30 still count as one straight decay.
inline constexpr double kMaxCurvature = 10.0;

struct DecayQuality {
    double dynamicRange = 0.0; // dB from the envelope peak to the noise; 0 without a noise estimate
    double curvature = 0.0;    // %, 100 (T30 / T20 - 1); 0 when either has no fit
    bool edtFlag = false;      // range below 25 dB
    bool rt20Flag = false;     // range below 35 dB, or curvature above 10 % or not measurable
    bool rt30Flag = false;     // range below 45 dB, or curvature above 10 % or not measurable
};

// The decision alone. curvature is absent when T20 or T30 has no fit.
DecayQuality JudgeDecay(double dynamicRange, std::optional<double> curvature);

// The quality of an analysed calculator (octave band or unfiltered): the
// Lundeby estimate on its signal and the curvature of its computed RT20 and
// RT30 records (kinds 2 and 4, the fixed level ranges; the own ranges are
// whatever the user chose). A signal without a noise estimate (too short,
// silent) has no dynamic range and is flagged throughout.
DecayQuality AssessDecay(const THallCalcer& calcer);

} // namespace dazo
