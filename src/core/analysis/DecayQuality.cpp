// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/DecayQuality.h"

#include "analysis/lundeby.h"
#include "analysis/uHallCalcer.h"
#include "common/DazoError.h"

namespace dazo {

DecayQuality JudgeDecay(double dynamicRange, std::optional<double> curvature)
{
    const bool curved = !curvature || *curvature > kMaxCurvature;
    return DecayQuality{
        .dynamicRange = dynamicRange,
        .curvature = curvature.value_or(0.0),
        .edtFlag = dynamicRange < kEdtMinRange,
        .rt20Flag = dynamicRange < kRt20MinRange || curved,
        .rt30Flag = dynamicRange < kRt30MinRange || curved,
    };
}

DecayQuality AssessDecay(const THallCalcer& calcer)
{
    double dynamicRange = 0.0;
    try {
        dynamicRange = -LundebyEstimate(calcer.SignalSeries.Ys(), calcer.CalcData.SampleInterval).noiseLevel;
    } catch (const DazoError&) {
        // No noise estimate: the range stays 0 and every decay time is flagged.
    }
    const double rt20 = calcer.RTRecords[kRt20Computed].RT;
    const double rt30 = calcer.RTRecords[kRt30Computed].RT;
    std::optional<double> curvature;
    if (rt20 > 0.0 && rt30 > 0.0)
        curvature = 100.0 * (rt30 / rt20 - 1.0);
    return JudgeDecay(dynamicRange, curvature);
}

} // namespace dazo
