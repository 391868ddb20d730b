// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioFileReader.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "common/Paths.h"
#include "signal/MeasurementReaders.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <vector>

namespace dazo {
namespace {

constexpr std::size_t kTitleSize = 80;
constexpr std::size_t kCommentSize = 60;
// Samples of all channels read at once: the read block has the same size
// whatever channel count a header claims.
constexpr std::size_t kSamplesPerRead = 65536;
// A room impulse response lasts seconds. Longer files are refused before
// decoding: a few kilobytes of compressed silence can claim 2^31 frames, and
// the analysis needs about 70 bytes per sample (2^24 samples: 6 minutes at
// 48 kHz, about 1 GB while all bands are evaluated).
constexpr sf_count_t kMaxFrames = sf_count_t{1} << 24;

struct CloseAudioFile {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using AudioFile = std::unique_ptr<SNDFILE, CloseAudioFile>;

[[noreturn]] void BadFormat()
{
    Fail("ungültiges Dateiformat");
}

AudioFile Open(const std::string& path, SF_INFO& info)
{
    info = SF_INFO{};
    AudioFile file(sf_open(path.c_str(), SFM_READ, &info));
    if (file)
        return file;
    // A file that is not there is reported as the time-record reader does;
    // everything else is a format libsndfile does not read.
    if (sf_error(nullptr) == SF_ERR_SYSTEM)
        FailWith("Datei %s kann nicht geöffnet werden", path);
    BadFormat();
}

// "WAV", "FLAC", "AIFF": the usual extension of the container libsndfile found
// (by its content, whatever the file is called).
std::string ContainerName(int format)
{
    SF_FORMAT_INFO info{};
    info.format = format & SF_FORMAT_TYPEMASK;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.extension)
        return "?";
    std::string name = info.extension;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

std::string Cut(std::string text, std::size_t size)
{
    if (text.size() > size)
        text.resize(size);
    return text;
}

// The first channel; the other channels of each frame are skipped. The frame
// count of the header is only a claim (a few bytes can claim 2^31 frames), so
// memory grows with the samples actually decoded, never ahead of them.
std::vector<float> FirstChannel(SNDFILE* file, const SF_INFO& info)
{
    const auto frames = static_cast<std::size_t>(info.frames);
    const auto channels = static_cast<std::size_t>(info.channels);
    const auto framesPerRead = static_cast<sf_count_t>(std::max<std::size_t>(kSamplesPerRead / channels, 1));
    std::vector<float> samples;
    std::vector<float> block(static_cast<std::size_t>(framesPerRead) * channels);
    while (samples.size() < frames) {
        const auto wanted = std::min<sf_count_t>(framesPerRead, static_cast<sf_count_t>(frames - samples.size()));
        const sf_count_t read = sf_readf_float(file, block.data(), wanted);
        for (sf_count_t i = 0; i < read; ++i)
            samples.push_back(block[static_cast<std::size_t>(i) * channels]);
        // A file shorter than its header says ends here, with what it holds.
        if (read < wanted)
            break;
    }
    return samples;
}

} // namespace

void ReadAudioFile(TCalcData& data, const std::string& path)
{
    SF_INFO info;
    const AudioFile file = Open(path, info);
    if (info.frames <= 0 || info.channels <= 0 || info.samplerate <= 0)
        BadFormat();
    if (info.frames > kMaxFrames)
        FailWith("Die Audiodatei %s ist zu lang (mehr als 16777216 Abtastwerte)", path);
    std::vector<float> samples = FirstChannel(file.get(), info);
    if (samples.empty())
        BadFormat();

    const char* title = sf_get_string(file.get(), SF_STR_TITLE);
    std::string comment = "Audiodatei " + ContainerName(info.format) + " " + std::to_string(info.samplerate) + " Hz";
    if (info.channels > 1)
        comment += ", Kanal 1 von " + std::to_string(info.channels);

    data = TCalcData{}; // every field is replaced by what the file gives
    data.SetSamples(std::move(samples));
    data.SampleInterval = static_cast<float>(1000.0 / info.samplerate);
    data.Title = Cut(title && *title ? Ansi(title) : BareFileName(path), kTitleSize);
    data.Comment = Cut(comment, kCommentSize);
}

void RegisterAudioReaders()
{
    for (const char* extension : {".wav", ".flac", ".aif", ".aiff"})
        RegisterMeasurementReader(extension, ReadAudioFile);
}

} // namespace dazo
