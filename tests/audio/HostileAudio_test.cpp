// SPDX-License-Identifier: GPL-3.0-or-later
// Audio files whose headers claim more than they hold: the reader takes what
// the file holds, reserves no memory for the claim and refuses claims longer
// than any impulse response.

#include "audio/AudioFileReader.h"

#include "common/DazoError.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace dazo {
namespace {

using test::InChild;
using test::ReadBytes;
using test::TempDir;

void WriteAudio(const std::string& path, int format, int channels, int frames)
{
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const std::vector<float> samples(static_cast<std::size_t>(frames * channels), 0.25f);
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
}

// The FLAC STREAMINFO total-sample count (36 bits at byte 21, after "fLaC",
// the block header and 13 bytes of sizes, rate, channels and resolution).
void ClaimFlacFrames(const std::string& path, uint64_t frames)
{
    std::string bytes = ReadBytes(path);
    ASSERT_EQ(bytes.compare(0, 4, "fLaC"), 0);
    uint64_t field = 0;
    for (int i = 18; i < 26; ++i)
        field = field << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    field = (field & ~((uint64_t{1} << 36) - 1)) | frames;
    for (int i = 25; i >= 18; --i, field >>= 8)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>(field & 0xFF);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Reads the file in a child that may map 1 GB more than it has: what loaded
// ("<count> Werte") or the message.
std::string LoadWithLittleMemory(const std::string& path)
{
    return InChild([&] {
        const long pages = [] {
            long size = 0;
            std::ifstream("/proc/self/statm") >> size;
            return size;
        }();
        const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (rlim_t{1} << 30);
        const rlimit addressSpace{limit, limit};
        ::setrlimit(RLIMIT_AS, &addressSpace);
        TCalcData data;
        try {
            ReadAudioFile(data, path);
        } catch (const DazoError& e) {
            return std::string(e.what());
        }
        return std::to_string(data.Count) + " Werte";
    });
}

TEST(HostileAudio, FrameCountOfTheHeaderIsNotTakenAtItsWord)
{
    TempDir dir;
    const std::string flac = dir.File("claim.flac");
    WriteAudio(flac, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 64);
    ClaimFlacFrames(flac, 0x7FFFFFFF); // 8 GB of samples, in 170 bytes
    EXPECT_EQ(LoadWithLittleMemory(flac), "Die Audiodatei " + flac + " ist zu lang (mehr als 16777216 Abtastwerte)");
    ClaimFlacFrames(flac, 1 << 24);
    EXPECT_EQ(LoadWithLittleMemory(flac), "64 Werte");
}

} // namespace
} // namespace dazo
