// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Turns a measurement into the curves the room-acoustic parameters are read
// from (the signal, raw or one octave band, its Schroeder decay curve, and the
// derived representations shown on the chart), derives the parameters, and
// keeps them in the result cache of the project file.

#include "analysis/uCalcer.h"
#include "project/IniFile.h"
#include "signal/uconst.h"

#include <array>
#include <cstdint>
#include <string>

namespace dazo {

// Common logarithm whose argument 0 reads as 1e-7: silent energy is -70 dB,
// silent amplitude -140 dB.
double Lg10(double x);

// One evaluation of a decay range on the Schroeder curve.
struct TRTRecord {
    int32_t StartIndex = 0;
    int32_t EndIndex = 0;
    double LevelStart = 0.0;  // dB, regression line at StartIndex
    double LevelEnd = 0.0;    // dB, regression line at EndIndex
    double Correlation = 0.0; // |r| of the fit
    double RT = 0.0;          // s, extrapolated to 60 dB
    bool operator==(const TRTRecord&) const = default;
};

// RT record kinds: own ranges set with the cursors and computed ranges.
enum RTKind : int {
    kEdtCustom = 0,
    kEdtComputed = 1,
    kRt20Computed = 2,
    kRt20Custom = 3,
    kRt30Computed = 4,
    kRt30Custom = 5,
    kRtxxCustom = 6,
};
inline constexpr int kRTKindCount = 7;

class THallCalcer : public TCalcer {
public:
    THallCalcer(const std::string& projectFileName, const TCalcData& calcData);

    int32_t CalcFunction = 0; // 0 input, 1 unfiltered, 2..10 octave bands
    double SampleRate = 0.0;  // Hz
    int32_t PeakIndex = 0;
    IniFile ProjectIni;

    // Energy parameters: clarities in dB, definitions as ratios, Ts in ms.
    double C35 = 0.0, C50 = 0.0, C80 = 0.0, Cxx = 0.0;
    int32_t CVar = 0; // ms
    double D50 = 0.0, D80 = 0.0, Ts = 0.0;
    std::array<TRTRecord, kRTKindCount> RTRecords{};

    void SetCalcFunction(int32_t n) { CalcFunction = n; }

    // Curves.
    int IntegrationLength() const;
    void FillRaw();
    void AnalyseBroadband();
    void IntegrateSchroeder();
    void UpdatePeakIndex();
    void BuildSquare();
    void BuildSpl();
    void BuildLogSquare();
    void BuildEnvelope(bool etc);

    // Octave bands.
    void AnalyseBand(double centre);
    void FilterBand(double centre, double rate);

    // Parameters.
    int Onset() const;
    double Clarity(double te) const;
    void Definition();
    double CentreTime() const;
    int FindLevelIndex(int from, double drop) const;
    void Regression(int s, int e, TRTRecord& record) const;
    void ComputeRT(int kind, double dropStart, double dropEnd);
    void UpdateResults();
    void SetRTRange(int kind, int startIndex, int endIndex);
    void ResetRTKind(int kind);
    void SetCustomTime(int32_t ms);

    // Result cache in the measurement's section of the project file.
    std::string SectionName() const; // bare measurement file name
    bool ReadCRecord();
    void WriteCRecord();
    bool ReadRTRecord(int kind);
    void WriteRTRecord(int kind);
    // All seven RT records (and the C record first when asked) in one write.
    void WriteRTRecords(bool withCRecord);

private:
    // The record of an RT kind; a kind outside 0..6 raises "falscher Cursor".
    TRTRecord& RTRecordOf(int kind);
    KeyValue CRecordEntry() const;
    KeyValue RTRecordEntry(int kind) const;
    void WriteRecords(const std::vector<KeyValue>& entries);
    // Clears DisplaySeries and reserves it for one point per sample.
    void StartDisplay();
    // DisplaySeries := (x, value(y)) for every point of the signal.
    template <typename Value>
    void BuildFromSignal(Value&& value);
};

} // namespace dazo
