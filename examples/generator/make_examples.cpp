// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the bundled example measurements and project: synthetic room impulse
// responses (direct sound after a short pre-delay, an exponential decay whose
// time differs by octave band like a real hall, a noise floor), a stereo
// recording of the same hall as a 48 kHz WAV file outside the project, and the
// real clap recording converted to a time record. The project carries its
// project data as saved from the window, a floor-plan sketch and a results
// text, so that every report can be made from it.
//
//   make_examples OUTPUT_DIR [CLAP_WAV]

#include "audio/AudioFileReader.h"
#include "common/Encoding.h"
#include "common/Paths.h"
#include "project/IniFile.h"
#include "project/uMessPunkt.h"
#include "signal/MData.h"

#include <sndfile.h>

#include <cmath>
#include <fstream>
#include <iostream>
#include <numbers>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace dazo;

struct Band {
    double centre;
    double decaySeconds;
};

// A hall whose decay falls from the bass to the treble.
constexpr Band kHall[] = {{31.5, 1.6}, {63, 1.55}, {125, 1.45}, {250, 1.35}, {500, 1.25},
                          {1000, 1.15}, {2000, 1.0}, {4000, 0.85}, {8000, 0.7}};

struct Recording {
    double rate;  // Hz
    int samples;
    int preDelay; // samples before the decay starts
};

constexpr Recording kTimeRecords = {25000.0, 40000, 150}; // 0.04 ms, 1.6 s, 6 ms
constexpr Recording kStereoWav = {48000.0, 72000, 288};   // 1.5 s, 6 ms

// Second-order band-pass (constant 0 dB peak gain) with an octave's bandwidth.
class Resonator {
public:
    Resonator(double centre, double rate)
    {
        const double w = 2 * std::numbers::pi * centre / rate;
        const double q = std::sqrt(2.0); // one octave
        const double alpha = std::sin(w) / (2 * q);
        const double a0 = 1 + alpha;
        b0_ = alpha / a0;
        b2_ = -alpha / a0;
        a1_ = -2 * std::cos(w) / a0;
        a2_ = (1 - alpha) / a0;
    }
    double Step(double x)
    {
        const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double b0_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

std::vector<float> HallResponse(const Recording& recording, unsigned seed, double decayScale, double distanceDelay)
{
    const int n = recording.samples;
    const int preDelay = recording.preDelay;
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> sum(static_cast<std::size_t>(n), 0.0);
    for (const Band& band : kHall) {
        Resonator filter(band.centre, recording.rate);
        const double decayPerSample = 3.0 * std::log(10.0) / (band.decaySeconds * decayScale * recording.rate);
        for (int i = 0; i < n; ++i) {
            const double excitation = i >= preDelay ? noise(random) : 0.0;
            const double envelope = i >= preDelay ? std::exp(-decayPerSample * (i - preDelay)) : 0.0;
            sum[static_cast<std::size_t>(i)] += filter.Step(excitation) * envelope;
        }
    }
    double peak = 0;
    for (const double v : sum)
        peak = std::max(peak, std::fabs(v));
    std::vector<float> samples(static_cast<std::size_t>(n));
    const int direct = preDelay + static_cast<int>(distanceDelay);
    for (int i = 0; i < n; ++i) {
        double v = 0.3 * sum[static_cast<std::size_t>(i)] / peak;
        if (i == direct)
            v += 1.0;
        v += 3e-4 * noise(random); // noise floor about 60 dB below the direct sound
        samples[static_cast<std::size_t>(i)] = static_cast<float>(v);
    }
    return samples;
}

void WriteTim(const std::string& path, std::vector<float> samples, float interval, const std::string& title,
              const std::string& comment)
{
    TCalcData data;
    data.SampleInterval = interval;
    data.SetSamples(std::move(samples));
    data.Title = title;
    data.Comment = comment;
    data.SaveTim(path);
}

void WriteQel(const std::string& path, const std::vector<float>& samples, float interval, const std::string& title)
{
    std::ofstream out(path, std::ios::binary);
    out << "0\r\n" << interval << "\r\n" << samples.size() << "\r\n";
    for (const float v : samples)
        out << v << "\r\n";
    out << title << "\r\n";
}

// Two microphones a little apart: each channel its own diffuse field and its
// own distance to the source. Half scale, so the direct sound on top of the
// decay stays within the 16-bit range.
void WriteStereoWav(const std::string& path)
{
    const auto left = HallResponse(kStereoWav, 11, 1.0, 40.0);
    const auto right = HallResponse(kStereoWav, 12, 1.0, 52.0);
    std::vector<float> frames(left.size() * 2);
    for (std::size_t i = 0; i < left.size(); ++i) {
        frames[2 * i] = 0.5f * left[i];
        frames[2 * i + 1] = 0.5f * right[i];
    }
    SF_INFO info{};
    info.samplerate = static_cast<int>(kStereoWav.rate);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        throw std::runtime_error(path + ": " + sf_strerror(nullptr));
    sf_set_string(file, SF_STR_TITLE, "Stadthalle, Stereomikrofon");
    const auto count = static_cast<sf_count_t>(left.size());
    const bool complete = sf_writef_float(file, frames.data(), count) == count;
    sf_close(file);
    if (!complete)
        throw std::runtime_error("cannot write " + path);
}

struct PointSpec {
    const char* name;
    const char* micPos;
    double micHeight;
    double micWall;
    std::vector<std::string> files;
    const char* note;
};

// Everything the project-data window saves, in its order, as a consultant
// fills it in; memos with their line breaks escaped.
constexpr std::pair<const char*, const char*> kProjectData[] = {
    {"eOName", "Stadthalle Musterstadt"}, {"eOStrasse", "Marktplatz 1"}, {"eOOrt", "12345 Musterstadt"},
    {"cONutzung", "Stadthalle"}, {"cONutzungsart", "A2 Sprache/Vortrag"}, {"cOLage", "EG"},
    {"eOVon", "01.12.2026"}, {"eOBis", "01.12.2026"}, {"eOPruefer", "Beispiel"}, {"eOPruefNr", "2026-001"},
    {"eAFirma", "Stadt Musterstadt"}, {"eAStrasse", "Rathausplatz 2"}, {"eAOrt", "12345 Musterstadt"},
    {"EATel", "01234 5678-0"}, {"eAFax", ""}, {"eAEMail", "bauamt@musterstadt.example"},
    {"eRVLaenge", "28"}, {"eRVBreite", "16"}, {"eRVHoehe", "9"}, {"eRVQBM", "4032,00"}, {"eRVNote", ""},
    {"eRNSitze", "450"}, {"cRNSitzeTyp", "Klappstuhl mit Sitzkissen"}, {"cRNSitzePolster", ""},
    {"cRNSitzeMat", "porös"}, {"cRNSitzeArt", "abgesenkt"}, {"cRNSitzeTeile", "Sitzfläche"},
    {"mRNNote", "Konzerte, Vorträge%nund Versammlungen"},
    {"cRMForm", "rechteckig"}, {"cRMSwand", "Wand mit Holzverkleidung"}, {"eRMSWandHT", "40"},
    {"cRMVWand", "Wand mit Bühnenöffnung"}, {"eRMVWandHT", ""}, {"cRMRWand", "Wand mit Akustikelementen"},
    {"eRMRWandHT", "100"}, {"cRMDecke", "Akustikdecke"}, {"eRMDeckeHT", "300"}, {"cRMFussboden", "Holzfußboden"},
    {"eRBPersonen", "450"}, {"eRBPersMes", "3"}, {"eRBPersProzent", "0,666666666666667"},
    {"mRBNote", "Messung im unbesetzten Saal"},
    {"cRZVorhangBuehne", "offen"}, {"cRZVorhangEisen", ""}, {"cRZVorhangBStoff", "nein"},
    {"cRZVorhangSStoff", "nein"}, {"cRZNachhallSys", "nein"}, {"cRZBAnlage", "nicht aktiv"},
    {"mRZNote1", "Bühne leer, Vorhang geöffnet"}, {"mRZNote2", ""},
    {"eRKTemp", "20"}, {"cRKTempEinheit", "°C"}, {"eRKLuftfeuchte", "45"}, {"eRKLuftDruck", "1013"},
    {"PBeschall", ""},
    {"eSHersteller", ""}, {"eSTyp", ""}, {"eSLAnz", ""}, {"eSRFakor", ""}, {"eSPegel", ""}, {"eSAbSpl", ""},
    {"mSNote", ""},
    {"eSLHersteller", "Musterlabor"}, {"eSLTyp", "DL 12"}, {"cSLOmni", "ja"}, {"eSMPegel", "100"},
    {"eSMAbSpl", "1"}, {"eSLRFaktor", ""},
    {"cSSSignal", "Sinussweep"}, {"mSSNote", "Anregung über den Dodekaeder-Lautsprecher%nzwei Wiederholungen je Messpunkt"},
    {"eOMasstab", "1:200"}, {"eSkizze", "Stadthalle.svg"},
    {"eGMicHer", "Beispielwerk"}, {"eGMicTyp", "46AE"}, {"eGMicSnr", "123456"},
    {"eGVHer", "Beispielwerk"}, {"eGVTyp", "12AA"}, {"eGVSnr", "2345"},
    {"eGMGHer", "Musterlabor"}, {"eGMGTyp", "MLS 4"}, {"eGMGSnr", "A-0815"},
    {"eGSPHer", ""}, {"eGSPTyp", ""}, {"eGSPSnr", ""},
    {"eGFHer", ""}, {"eGFTyp", ""}, {"eGFSnr", ""},
    {"eGPHer", ""}, {"eGPTyp", ""}, {"eGPSnr", ""},
    {"eGAHer", "Musterlabor"}, {"eGATyp", "Notebook"}, {"eGASnr", ""},
    {"eGM1Name", "Dodekaeder"}, {"eGM1Her", "Musterlabor"}, {"eGM1Typ", "DL 12"}, {"eGM1Snr", "77"},
    {"eGM2Name", ""}, {"eGM2Her", ""}, {"eGM2Typ", ""}, {"eGM2Snr", ""},
    {"eGM3Name", ""}, {"eGM3Her", ""}, {"eGM3Typ", ""}, {"eGM3Snr", ""},
    {"eGM4Name", ""}, {"eGM4Her", ""}, {"eGM4Typ", ""}, {"eGM4Snr", ""},
};

// The floor plan at 1:200 (28 m x 16 m hall, 1 mm drawn = 0.2 m), with the
// source on the stage and the three measurement points.
constexpr const char* kSketch = R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="160mm" height="100mm" viewBox="0 0 160 100">
  <rect x="10" y="10" width="140" height="80" fill="none" stroke="black" stroke-width="1"/>
  <rect x="10" y="25" width="25" height="50" fill="#e8e8e8" stroke="black" stroke-width="0.5"/>
  <text x="14" y="22" font-family="Arial" font-size="4">Bühne</text>
  <circle cx="25" cy="50" r="3" fill="red"/>
  <text x="20" y="58" font-family="Arial" font-size="4">Quelle</text>
  <circle cx="80" cy="50" r="2" fill="blue"/>
  <text x="84" y="51.5" font-family="Arial" font-size="4">MP 1 (Raummitte)</text>
  <circle cx="138" cy="20" r="2" fill="blue"/>
  <text x="112" y="30" font-family="Arial" font-size="4">MP 2 (Rang)</text>
  <circle cx="118" cy="70" r="2" fill="blue"/>
  <text x="96" y="80" font-family="Arial" font-size="4">MP 3 (Mischpult)</text>
  <line x1="10" y1="96" x2="150" y2="96" stroke="black" stroke-width="0.3"/>
  <text x="72" y="95" font-family="Arial" font-size="3.5">28 m</text>
</svg>
)";

// The consultant's verbal result, as the rich-text editor saves it.
constexpr const char* kResultsText =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Sans Serif;}}\n"
    "\\pard\\f0\\fs18 Die gemessene Nachhallzeit des unbesetzten Saales liegt bei mittleren Frequenzen "
    "bei etwa 1,2 s.\\par\n"
    "\\pard\\f0\\fs18 Für die Nutzung als Saal für Sprache und Vortrag (Nutzungsart A2) wird der "
    "Toleranzbereich nach DIN 18041 in allen Oktaven von 125 Hz bis 4000 Hz eingehalten.\\par\n"
    "\\pard\\f0\\fs18 Im besetzten Zustand ist eine etwas kürzere Nachhallzeit zu erwarten.\\par\n}";

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void WriteProject(const std::string& dir)
{
    const std::string project = JoinPath(dir, "Stadthalle.npj");
    std::remove(project.c_str());
    const PointSpec points[] = {
        {"Messpunkt 1", "Raummitte", 1.2, 6.5, {"mp1_a.tim", "mp1_b.tim"}, "Mikrofon auf Stativ\r\nReihe 12, Platz 8"},
        {"Messpunkt 2", "Rang", 1.2, 2.0, {"mp2_a.tim", "mp2_b.tim"}, ""},
        {"Messpunkt 3", "vor dem Mischpult", 1.5, 3.5, {"mp3_a.qel"}, ""},
    };
    std::vector<std::unique_ptr<TMessPunkt>> owned;
    std::vector<const TMessPunkt*> order;
    int measurements = 0;
    unsigned seed = 1;
    for (const PointSpec& pointSpec : points) {
        auto point = std::make_unique<TMessPunkt>();
        point->Name = pointSpec.name;
        point->MicPos = pointSpec.micPos;
        point->MicRichtung = "zur Schallquelle";
        point->MicAbBoden = pointSpec.micHeight;
        point->MicAbWand = pointSpec.micWall;
        point->Lautpos = "Auf der B\xFChne";
        point->LautAbBoden = 1.6;
        point->LautAbWand = 2.0;
        point->Note = pointSpec.note;
        for (const std::string& file : pointSpec.files) {
            const double scale = 0.95 + 0.05 * (seed % 3);
            const auto samples = HallResponse(kTimeRecords, seed, scale, 20.0 * seed);
            ++seed;
            const std::string path = JoinPath(dir, file);
            if (ExtensionLower(file) == ".qel")
                WriteQel(path, samples, static_cast<float>(1000.0 / kTimeRecords.rate), "Stadthalle " + file);
            else
                WriteTim(path, samples, static_cast<float>(1000.0 / kTimeRecords.rate), "Stadthalle " + file,
                         "Beispielmessung (synthetisch)");
            if (!point->Files.empty())
                point->Files += ",";
            point->Files += "\"" + file + "\"";
            ++measurements;
        }
        order.push_back(point.get());
        owned.push_back(std::move(point));
    }
    IniFile ini(project);
    SavePointList(ini, order, measurements);
    for (const auto& [key, value] : kProjectData)
        ini.WriteString("DATA", key, Ansi(value));
    WriteText(JoinPath(dir, "Stadthalle.svg"), kSketch);
    WriteText(JoinPath(dir, "Stadthalle.rtf"), Ansi(kResultsText));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: make_examples OUTPUT_DIR [CLAP_WAV]\n";
        return 1;
    }
    const std::string dir = argv[1];
    try {
        WriteProject(dir);
        WriteStereoWav(JoinPath(dir, "stadthalle_stereo.wav"));
        if (argc > 2) {
            RegisterAudioReaders();
            TCalcData clap;
            clap.LoadFromFile(argv[2]);
            WriteTim(JoinPath(dir, "rir_clap.tim"), std::vector<float>(clap.Samples(), clap.Samples() + clap.Count),
                     clap.SampleInterval, "Seminarraum, Klappe", "Echte Messung (CC0)");
        }
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
