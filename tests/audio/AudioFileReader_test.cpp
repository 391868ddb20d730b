// SPDX-License-Identifier: GPL-3.0-or-later
// Audio-file impulse responses, written here by libsndfile itself and read back
// through TCalcData::LoadFromFile.

#include "audio/AudioFileReader.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "evaluation/MeasurementLoading.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace dazo {
namespace {

using test::TempDir;

constexpr int kFrames = 10000; // more than one read block of the reader

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const DazoError& e) {
        return e.what();
    }
    return "(kein Fehler)";
}

struct AudioSpec {
    int format;      // libsndfile major format and subtype
    int rate;
    int channels;
    int resolution;  // bits of a PCM subtype; 0 for floating point
    std::string title; // UTF-8 title tag; none when empty
};

// Integer samples are written as 32-bit words with nothing below the file's
// resolution, so word / 2^31 is exactly what the file holds.
int32_t PcmWord(const AudioSpec& audio, int i)
{
    if (i == 1)
        return INT32_MIN; // negative full scale
    const double fullScale = std::ldexp(1.0, audio.resolution - 1);
    const int64_t level = std::lround(std::sin(0.05 * i) * (fullScale - 1));
    return static_cast<int32_t>(level * (int64_t{1} << (32 - audio.resolution)));
}

// The first channel as the reader should give it. Floating-point samples go in
// as they are, also beyond full scale.
std::vector<float> FirstChannelOf(const AudioSpec& audio)
{
    std::vector<float> v(kFrames);
    for (int i = 0; i < kFrames; ++i)
        v[static_cast<std::size_t>(i)] = audio.resolution == 0
                                           ? (i == 1 ? -1.0f : static_cast<float>(1.5 * std::sin(0.05 * i)))
                                           : static_cast<float>(PcmWord(audio, i) / 2147483648.0);
    return v;
}

// Writes the file with libsndfile; the further channels carry other signals.
void WriteAudio(const std::string& path, const AudioSpec& audio)
{
    SF_INFO info{};
    info.samplerate = audio.rate;
    info.channels = audio.channels;
    info.format = audio.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    if (!audio.title.empty())
        sf_set_string(file, SF_STR_TITLE, audio.title.c_str());
    const bool pcm = audio.resolution > 0;
    const std::vector<float> first = FirstChannelOf(audio);
    const int channels = audio.channels;
    std::vector<float> floats(pcm ? 0 : first.size() * static_cast<std::size_t>(channels));
    std::vector<int> words(pcm ? first.size() * static_cast<std::size_t>(channels) : 0);
    for (int i = 0; i < kFrames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const auto at = static_cast<std::size_t>(i * channels + c);
            if (pcm)
                words[at] = c == 0 ? PcmWord(audio, i) : -(c << 24);
            else
                floats[at] = c == 0 ? first[static_cast<std::size_t>(i)] : 0.25f * static_cast<float>(c);
        }
    }
    const sf_count_t written =
        pcm ? sf_writef_int(file, words.data(), kFrames) : sf_writef_float(file, floats.data(), kFrames);
    EXPECT_EQ(written, kFrames);
    sf_close(file);
}

class AudioFileTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterAudioReaders(); }
    TempDir dir_;
};

TEST_F(AudioFileTest, FormatsReadBackTheirSamplesIntervalAndTexts)
{
    const struct {
        const char* name;
        AudioSpec audio;
        float interval;
        const char* title; // UTF-8
        const char* comment;
    } cases[] = {
        {"r16.wav", {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 16, ""}, 1000.0f / 48000, "r16.wav",
         "Audiodatei WAV 48000 Hz"},
        {"r24.wav", {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 96000, 1, 24, "Saal Süd"}, 1000.0f / 96000, "Saal Süd",
         "Audiodatei WAV 96000 Hz"},
        {"rf.wav", {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, 0, ""}, 1000.0f / 44100, "rf.wav",
         "Audiodatei WAV 44100 Hz"},
        {"r.flac", {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1, 16, "Kirche"}, 1000.0f / 44100, "Kirche",
         "Audiodatei FLAC 44100 Hz"},
        {"r24.flac", {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 48000, 1, 24, ""}, 1000.0f / 48000, "r24.flac",
         "Audiodatei FLAC 48000 Hz"},
        {"r.aiff", {SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 8000, 1, 16, ""}, 1000.0f / 8000, "r.aiff",
         "Audiodatei AIFF 8000 Hz"},
        {"r.aif", {SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 22050, 1, 24, ""}, 1000.0f / 22050, "r.aif",
         "Audiodatei AIFF 22050 Hz"},
        // Upper- and mixed-case extensions; several channels give the first.
        {"STEREO.WAV", {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 16, ""}, 1000.0f / 48000, "STEREO.WAV",
         "Audiodatei WAV 48000 Hz, Kanal 1 von 2"},
        {"vier.Flac", {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 48000, 4, 24, ""}, 1000.0f / 48000, "vier.Flac",
         "Audiodatei FLAC 48000 Hz, Kanal 1 von 4"},
        {"mehr.AIF", {SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 44100, 3, 0, ""}, 1000.0f / 44100, "mehr.AIF",
         "Audiodatei AIFF 44100 Hz, Kanal 1 von 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_.File(c.name);
        WriteAudio(path, c.audio);
        TCalcData data;
        data.SchroederStart = 7;
        data.TimTrailer.text1 = "alt";
        data.LoadFromFile(path);
        EXPECT_EQ(data.FileName, path);
        EXPECT_EQ(data.SampleInterval, c.interval);
        EXPECT_EQ(data.Title, Ansi(c.title));
        EXPECT_EQ(data.Comment, c.comment);
        EXPECT_EQ(data.SchroederStart, 0);
        EXPECT_EQ(data.TimTrailer, TTimTrailer{});
        const std::vector<float> expected = FirstChannelOf(c.audio);
        ASSERT_EQ(data.Count, kFrames);
        EXPECT_EQ(std::vector<float>(data.Samples(), data.Samples() + data.Count), expected);
    }
}

TEST_F(AudioFileTest, LongTitleIsCutToItsField)
{
    const std::string path = dir_.File("lang.wav");
    WriteAudio(path, {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 16, std::string(100, 'T')});
    TCalcData data;
    data.LoadFromFile(path);
    EXPECT_EQ(data.Title, std::string(80, 'T'));
}

TEST_F(AudioFileTest, UnreadableAndEmptyFilesAreRefused)
{
    const std::string invalid = Ansi("ungültiges Dateiformat");
    const std::string empty = dir_.File("leer.wav");
    {
        SF_INFO info{};
        info.samplerate = 48000;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        sf_close(sf_open(empty.c_str(), SFM_WRITE, &info)); // a header without samples
    }
    WriteAudio(dir_.File("richtig.wav"), {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 16, ""});
    std::filesystem::copy_file(dir_.File("richtig.wav"), dir_.File("richtig.au"));
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {empty, invalid},
        {dir_.Write("text.wav", "RIFF, aber kein WAVE"), invalid},
        {dir_.Write("null.flac", ""), invalid},
        {dir_.Write("zufall.aiff", std::string(5000, '\x5A')), invalid},
        // A format libsndfile reads, but under an extension nobody registered.
        {dir_.File("richtig.au"), invalid},
        {dir_.File("fehlt.wav"), Ansi("Datei ") + dir_.File("fehlt.wav") + Ansi(" kann nicht geöffnet werden")},
    };
    for (const auto& c : cases) {
        TCalcData data;
        EXPECT_EQ(ErrorOf([&] { data.LoadFromFile(c.path); }), c.message) << c.path;
        EXPECT_EQ(data.FileName, "") << c.path;
        EXPECT_EQ(data.Count, 0) << c.path;
    }
}

TEST_F(AudioFileTest, CropSettingsAndExportWorkAsForTimeRecords)
{
    const AudioSpec audio{SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2, 24, "Saal"};
    const std::string path = dir_.File("r01.wav");
    WriteAudio(path, audio);
    const std::string project = dir_.Write("p.npj", "[r01.wav]\r\nMPA=100\r\nMPE=500\r\nMPS=50\r\n");

    const auto data = LoadMeasurement(path, project);
    const std::vector<float> file = FirstChannelOf(audio);
    ASSERT_EQ(data->Count, 500);
    EXPECT_EQ(std::vector<float>(data->Samples(), data->Samples() + 500),
              std::vector<float>(file.begin() + 100, file.begin() + 600));
    EXPECT_EQ(data->SchroederStart, 50);

    const std::string exported = dir_.File("export.tim");
    data->SaveTim(exported);
    TCalcData back;
    back.LoadFromFile(exported);
    EXPECT_EQ(back.Count, 500);
    EXPECT_EQ(back.SampleInterval, data->SampleInterval);
    EXPECT_EQ(std::vector<float>(back.Samples(), back.Samples() + 500),
              std::vector<float>(data->Samples(), data->Samples() + 500));
    EXPECT_EQ(back.Title, "Saal");
    EXPECT_EQ(back.Comment, "Audiodatei WAV 48000 Hz, Kanal 1 von 2");
}

} // namespace
} // namespace dazo
