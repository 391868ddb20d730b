// SPDX-License-Identifier: GPL-3.0-or-later
#include "signal/MData.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace dazo {
namespace {

using test::TempDir;

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const DazoError& e) {
        return e.what();
    }
    return "(no error)";
}

TCalcData Signal(std::vector<float> samples, float interval = 0.1f)
{
    TCalcData data;
    data.SampleInterval = interval;
    data.SetSamples(std::move(samples));
    return data;
}

std::vector<float> Ramp(int n)
{
    std::vector<float> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<float>(i);
    return v;
}

TEST(TimeRecord, SaveAndReadReproduceEveryField)
{
    TempDir dir;
    TCalcData original = Signal({0.5f, -1.25f, 3e-7f, 0.0f}, 0.0208333f);
    original.Title = std::string("Saal \xE4 ") + std::string(70, 'x'); // 80 bytes exactly: no NUL
    original.Comment = "Kommentar";
    for (std::size_t i = 0; i < original.TimTrailer.Numbers.size(); ++i)
        original.TimTrailer.Numbers[i] = static_cast<uint32_t>(i * 1000 + 7) & (i % 3 ? 0xFFFF : 0xFFFFFFFF);
    original.TimTrailer.text1 = "abc";
    original.TimTrailer.text2 = "12345678901";
    const std::string path = dir.File("r01.tim");
    original.SaveTim(path);

    const std::string bytes = test::ReadBytes(path);
    EXPECT_EQ(bytes.size(), 258u + 4 * 4);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\xCD\xAB\xFF\xFF\0\0", 6));

    TCalcData read;
    read.LoadFromFile(path);
    EXPECT_EQ(read.FileName, path);
    EXPECT_EQ(read.Count, 4);
    EXPECT_EQ(read.SampleInterval, original.SampleInterval);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(read.GetValue(i), original.GetValue(i));
    EXPECT_EQ(read.Title, original.Title);
    EXPECT_EQ(read.Comment, original.Comment);
    EXPECT_EQ(read.TimTrailer, original.TimTrailer);

    // Saving what was read reproduces the file byte for byte.
    read.SaveTim(dir.File("again.tim"));
    EXPECT_EQ(test::ReadBytes(dir.File("again.tim")), bytes);
}

TEST(TimeRecord, LongTextsAreCutToTheirFields)
{
    TempDir dir;
    TCalcData data = Signal({1.0f});
    data.Title = std::string(100, 'T');
    data.SaveTim(dir.File("a.tim"));
    TCalcData read;
    read.LoadFromFile(dir.File("a.tim"));
    EXPECT_EQ(read.Title, std::string(80, 'T'));
}

TEST(TimeRecord, DamagedFilesAreRefused)
{
    TempDir dir;
    Signal(Ramp(10)).SaveTim(dir.File("good.tim"));
    const std::string good = test::ReadBytes(dir.File("good.tim"));
    const auto withCount = [&](int32_t count) {
        std::string b = good;
        std::memcpy(b.data() + 10, &count, 4);
        return b;
    };
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"wrong first magic", "\x00\xAB" + good.substr(2)},
        {"wrong second magic", good.substr(0, 2) + "\xFF\xFE" + good.substr(4)},
        {"truncated samples", good.substr(0, good.size() - 250)},
        {"truncated trailer", good.substr(0, good.size() - 1)},
        {"header only", good.substr(0, 14)},
        {"empty", ""},
        {"negative count", withCount(-1)},
        {"count larger than the file", withCount(11)},
        {"absurd count", withCount(0x7FFFFFFF)},
    };
    for (const auto& c : cases) {
        TCalcData data;
        const std::string file = dir.Write("bad.tim", c.bytes);
        EXPECT_EQ(ErrorOf([&] { data.LoadFromFile(file); }), "falsches Datenformat (*.tim)") << c.name;
        EXPECT_EQ(data.FileName, "") << c.name;
    }
}

TEST(QelFile, ReadsIntervalCountSamplesAndTitle)
{
    TempDir dir;
    const std::string file = dir.Write("m.QeL",
        " 0 \r\n0.1\r\n7\r\n0,5\n-0.25\r1e-3\r\n2\r\n3\r\n4\r\nLetzte Zeile");
    TCalcData data;
    data.LoadFromFile(file);
    EXPECT_EQ(data.Count, 7);
    EXPECT_EQ(data.SampleInterval, 0.1f);
    EXPECT_EQ(data.Comment, "QEL Export Datei");
    EXPECT_DOUBLE_EQ(data.GetValue(0), 0.5);
    EXPECT_DOUBLE_EQ(data.GetValue(1), -0.25);
    EXPECT_FLOAT_EQ(static_cast<float>(data.GetValue(2)), 1e-3f);
    // Exactly ten lines: the last sample's line is also the title.
    EXPECT_EQ(data.Title, "Letzte Zeile");
    EXPECT_EQ(data.GetValue(6), 0.0);
}

TEST(QelFile, NumbersTakeTheirValidLeadingPart)
{
    TempDir dir;
    const std::string file = dir.Write("m.qel", "0\n0,1\n8\n1.5abc\n\nx\n2,5,7\n-\n3\n4\n5\nTitel\n");
    TCalcData data;
    data.LoadFromFile(file);
    EXPECT_EQ(data.SampleInterval, 0.0f); // a comma is no decimal point on line 2
    const double expected[] = {1.5, 0.0, 0.0, 2.5, 0.0, 3.0, 4.0, 5.0};
    for (int i = 0; i < 8; ++i)
        EXPECT_DOUBLE_EQ(data.GetValue(i), expected[i]) << i;
}

TEST(QelFile, MalformedFilesAreRefused)
{
    TempDir dir;
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"fewer than ten lines", "0\n0.1\n2\n1\n2\n3\n4\n5\nT\n"},
        {"first line not 0", "1\n0.1\n2\n1\n2\n3\n4\n5\n6\nT\n"},
        {"count beyond the lines", "0\n0.1\n8\n1\n2\n3\n4\n5\n6\nT\n"},
        {"negative count", "0\n0.1\n-3\n1\n2\n3\n4\n5\n6\nT\n"},
        {"huge count", "0\n0.1\n99999999999999\n1\n2\n3\n4\n5\n6\nT\n"},
    };
    for (const auto& c : cases) {
        TCalcData data;
        const std::string file = dir.Write("bad.qel", c.text);
        EXPECT_EQ(ErrorOf([&] { data.LoadFromFile(file); }), Ansi("ungültiges Dateiformat")) << c.name;
        EXPECT_EQ(data.FileName, "") << c.name;
    }
}

TEST(LoadFromFile, ChoosesTheReaderByExtension)
{
    TempDir dir;
    Signal({1.0f}).SaveTim(dir.File("x.TIM"));
    TCalcData data;
    EXPECT_NO_THROW(data.LoadFromFile(dir.File("x.TIM")));
    const std::string other = dir.Write("x.wav", "RIFF");
    TCalcData refused;
    EXPECT_EQ(ErrorOf([&] { refused.LoadFromFile(other); }), Ansi("ungültiges Dateiformat"));
    EXPECT_EQ(ErrorOf([&] { refused.LoadFromFile(dir.File("no-extension")); }), Ansi("ungültiges Dateiformat"));
    EXPECT_EQ(refused.FileName, "");
    EXPECT_NE(ErrorOf([&] { refused.LoadFromFile(dir.File("missing.tim")); }), "(no error)");
}

TEST(Crop, KeepsMovesAndShortensAsStated)
{
    const struct {
        int32_t start, newCount, count, first;
    } cases[] = {
        {0, -1, 1000, 0},     // the defaults change nothing
        {100, 500, 500, 100}, // samples 100..599 remain
        {0, 2000, 1000, 0},   // a count beyond the signal keeps all
        {100, 50, 1000, 100}, // moved, but the count stays
        {-10, -5, 1000, 0},   // nonsense from a hand-edited file keeps the signal whole
    };
    for (const auto& c : cases) {
        TCalcData data = Signal(Ramp(1000));
        data.Crop(c.start, c.newCount);
        EXPECT_EQ(data.Count, c.count) << c.start << "," << c.newCount;
        EXPECT_EQ(data.GetValue(0), c.first) << c.start << "," << c.newCount;
    }
    TCalcData moved = Signal(Ramp(1000));
    moved.Crop(100, 50);
    EXPECT_EQ(moved.GetValue(899), 999.0);
    EXPECT_EQ(moved.GetValue(900), 900.0); // the tail keeps its old values
}

TEST(SampleAccess, ChecksTheIndex)
{
    TCalcData data = Signal(Ramp(3));
    data.SetValue(2, 0.1);
    EXPECT_EQ(data.GetValue(2), static_cast<double>(0.1f)); // stored as float32
    EXPECT_EQ(ErrorOf([&] { data.GetValue(3); }), "out of range");
    EXPECT_EQ(ErrorOf([&] { data.GetValue(-1); }), "out of range");
    TCalcData empty;
    EXPECT_EQ(ErrorOf([&] { empty.GetValue(0); }), "data is nil");
}

} // namespace
} // namespace dazo
