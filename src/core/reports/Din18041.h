// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The assessment of a room's reverberation time after DIN 18041 (2016): the
// target time T_soll of the usage class at the room's volume, the tolerance
// corridor of T/T_soll per octave band, and the verdict per band.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dazo {

// "Nutzungsart": A1 Musik, A2 Sprache/Vortrag, A3 Unterricht/Kommunikation,
// A4 Unterricht/Kommunikation inklusiv, A5 Sport.
enum class UsageClass { A1, A2, A3, A4, A5 };

// The class a text names by its first two letters ("A2", "a2 Sprache/Vortrag"),
// or none.
std::optional<UsageClass> UsageClassOf(std::string_view text);
// "A1 Musik" … "A5 Sport", as the project data offer them (Windows-1252).
std::string UsageClassName(UsageClass usage);

// The volume text of the project data ("4032,00", "4032.00", "4032"), or none
// when it is empty or no number.
std::optional<double> RoomVolumeOf(std::string_view text);

// Where the formula of a class holds, as printed: "50 m³ <= V < 5000 m³".
std::string ValidityRange(UsageClass usage);

// T_soll in seconds, rounded to two decimals; none outside the class's
// validity range (the formula is not extrapolated).
std::optional<double> TargetTime(UsageClass usage, double volume);

// The permitted ratio T/T_soll in one octave band.
struct Tolerance {
    double Lower = 0;
    double Upper = 0;
};

// The corridor of the class in the octave band of that centre frequency
// (63 … 8000 Hz): music for A1, speech for A2 to A5; none for other bands.
std::optional<Tolerance> ToleranceOf(UsageClass usage, double centreHz);

enum class Verdict { Met, Exceeded, Undershot };

// Met when lower <= T/T_soll <= upper.
Verdict Assess(double time, double target, Tolerance tolerance);
// "eingehalten", "überschritten", "unterschritten" (Windows-1252).
std::string VerdictText(Verdict verdict);

// The usage class and the volume a project's data give (keys "cONutzungsart"
// and "eRVQBM" of section "DATA"); none when missing or not readable.
std::optional<UsageClass> ProjectUsageClass(const std::string& projectFile);
std::optional<double> ProjectVolume(const std::string& projectFile);

// One octave band of an assessment; Tolerance and Verdict are none outside the
// corridor's bands, the verdict also without T_soll.
struct BandAssessment {
    double CentreHz = 0;
    double Time = 0; // s
    std::optional<Tolerance> Limits;
    std::optional<Verdict> Result;
};

struct RoomAssessment {
    UsageClass Usage = UsageClass::A1;
    double Volume = 0;           // m³
    std::optional<double> Target; // T_soll, none outside the validity range
    std::vector<BandAssessment> Bands;
};

// Assesses the reverberation times (centre frequency in Hz, time in s).
RoomAssessment AssessRoom(UsageClass usage, double volume, const std::vector<std::pair<double, double>>& bandTimes);

// The assessment of the project data's class and volume; none while either
// is missing.
std::optional<RoomAssessment> AssessProjectData(const std::string& projectFile,
                                                const std::vector<std::pair<double, double>>& bandTimes);

// "T_soll = 1,19 s (50 m³ <= V < 5000 m³)" or, outside the range,
// "T_soll: V = 6000 m³ liegt außerhalb des Gültigkeitsbereichs 50 m³ <= V < 5000 m³";
// numbers with the given decimal separator (Windows-1252).
std::string TargetText(const RoomAssessment& assessment, char decimalSeparator);

} // namespace dazo
