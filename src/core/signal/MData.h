// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One loaded measurement: the sampled room impulse response and its two own
// file formats, the MLSSA time record (".tim") and the QEL text file (".qel").
// Further formats come through registered readers.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dazo {

// The 104 trailing bytes of a time record; carried from reading to export,
// interpreted by nobody.
struct TTimTrailer {
    // The 28 numeric fields in file order as raw values (2-byte fields
    // zero-extended); their sizes are fixed by the file layout.
    std::array<uint32_t, 28> Numbers{};
    std::string text1;                 // 11-byte text at offset 60
    std::string text2;                 // 11-byte text at offset 79
    bool operator==(const TTimTrailer&) const = default;
};

class TCalcData {
public:
    TCalcData() = default;

    int32_t Count = 0;
    float SampleInterval = 0.0f; // ms
    int32_t SchroederStart = 0;
    std::string FileName;
    std::string Title;   // at most 80 bytes
    std::string Comment; // at most 60 bytes
    TTimTrailer TimTrailer;

    // Reads ".tim" or ".qel", or a format of a registered reader
    // (signal/MeasurementReaders.h); the extension is compared without regard
    // to case.
    void LoadFromFile(const std::string& path);
    void ReadTim(const std::string& path);
    void ReadQel(const std::string& path);
    void SaveTim(const std::string& path) const;
    void Crop(int32_t start, int32_t newCount);

    double GetValue(int32_t index) const;
    void SetValue(int32_t index, double value);
    void CheckIndex(int32_t index) const;

    // Unchecked access for the inner loops of the analysis.
    const float* Samples() const { return Samples_.empty() ? nullptr : Samples_.data(); }
    float* MutableSamples() { return Samples_.empty() ? nullptr : Samples_.data(); }
    void SetSamples(std::vector<float> samples);

private:
    void Reset();
    std::vector<float> Samples_;
};

} // namespace dazo
