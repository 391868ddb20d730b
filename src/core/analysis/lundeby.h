// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// First iteration of Lundeby's method: where the decay of a measurement sinks
// into the background noise. The energy envelope of the samples (in dB re
// its maximum) is averaged over 1 ms blocks from the peak on; the noise level
// is the mean of the last tenth of the blocks, the crossing block the first
// within 5 dB of it, and a straight line is fitted to the decay up to there.

#include "signal/MData.h"

#include <optional>
#include <span>
#include <vector>

namespace dazo {

struct LundebyResult {
    double noiseLevel;  // dB re the envelope maximum
    int crossingBlock;  // first block not above noise + 5 dB, counted from the peak
    double slope;       // dB per block of the decay line; 0 when the decay has fewer than two blocks
    double intercept;   // dB at block 0; 0 when the decay has fewer than two blocks
    int blockLength;    // samples per block (those in 1 ms)
    // First sample of the crossing block, counted from the start of the signal
    // (peak index + crossingBlock * blockLength): where the decay meets the
    // noise, usable as a Schroeder start.
    int crossingSample;
};

// Raises "Fehler" when there is no envelope maximum (empty measurement) or no
// block reaches the noise; a sample interval of 2 ms or more gives blocks of no
// samples ("Division durch Null"), 5 blocks or fewer no noise blocks and an
// all-zero measurement no envelope maximum ("Ungültige Gleitkommaoperation").
// Runs on the raw samples of a measurement or on any signal sampled at the
// interval (ms), such as a calculator's band-filtered signal (float and double
// samples).
template <typename Sample>
LundebyResult LundebyEstimate(std::span<const Sample> samples, float interval);
LundebyResult LundebyEstimate(const TCalcData& calcData);

// The 65-tap Hilbert envelope of the samples, one value per sample, as
// 20 lg(e / max e): 0 dB at the maximum.
template <typename Sample>
void EnvelopeDb(std::span<const Sample> samples, std::vector<double>& envelope);
void EnvelopeDb(const TCalcData& calcData, std::vector<double>& envelope);

struct LineFit {
    long double slope, intercept;
};

// Least squares of levels[i] against i for i = first ... last; nothing with
// fewer than 2 points. A range reaching outside levels raises the list-index
// error.
std::optional<LineFit> BlockRegression(const std::vector<double>& levels, int first, int last);

} // namespace dazo
