// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/uCalcChart.h"

#include "common/DazoError.h"
#include "common/Encoding.h"

#include <iterator>
#include <string>

namespace dazo {

TCalcChart::TCalcChart(const std::string& projectFileName, const TCalcData& calcData)
    : THallCalcer(projectFileName, calcData)
{
}

TCalcChart::~TCalcChart()
{
    // Destruction runs while a measurement is closed or the program ends; an
    // exception leaving a destructor would terminate the program. A record that
    // cannot be written (project file read-only or gone) is lost instead.
    try {
        SaveRTRecords();
    } catch (...) {
    }
}

void TCalcChart::Calculate()
{
    Calculated = false;
    SignalSeries.Clear();
    SchroederSeries.Clear();
    DisplaySeries.Clear();
    if (CalcFunction == 0)
        FillRaw();
    else if (CalcFunction == 1)
        AnalyseBroadband();
    else
        AnalyseBand(BandCentre(CalcFunction));
    Calculated = true;
}

void TCalcChart::Reset()
{
    SaveRTRecords();
    SignalSeries.Clear();
    SchroederSeries.Clear();
    DisplaySeries.Clear();
    Calculated = false;
}

void TCalcChart::SaveRTRecords()
{
    if (!Calculated)
        return;
    WriteRTRecords(false);
}

void TCalcChart::StoreCursorPos(int index, double x)
{
    if (index < 0 || index >= static_cast<int>(FreeCursorPos.size()))
        throw DazoError(Ansi("Listenindex überschreitet das Maximum (") + std::to_string(index) + ")");
    FreeCursorPos[static_cast<std::size_t>(index)] = x;
}

double BandCentre(int32_t calcFunction)
{
    static constexpr double kCentres[] = {31.5, 63, 125, 250, 500, 1000, 2000, 4000, 8000};
    constexpr int32_t kFirstBand = 2;
    constexpr int32_t kLastBand = kFirstBand + static_cast<int32_t>(std::size(kCentres)) - 1;
    if (calcFunction < kFirstBand || calcFunction > kLastBand)
        Fail("Programierfehler: in Methode SetCalcFunction");
    return kCentres[calcFunction - kFirstBand];
}

} // namespace dazo
