// SPDX-License-Identifier: GPL-3.0-or-later
#include "signal/MData.h"

#include "common/AtomicFile.h"
#include "common/DazoError.h"
#include "common/Paths.h"
#include "signal/MeasurementReaders.h"
#include "signal/uconst.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <iterator>

namespace dazo {
namespace {

static_assert(std::endian::native == std::endian::little, "time records are little-endian");

constexpr uint16_t kTimMagic1 = 0xABCD;
constexpr uint16_t kTimMagic2 = 0xFFFF;
constexpr std::size_t kTimHeaderSize = 14;
constexpr std::size_t kTitleSize = 80;
constexpr std::size_t kCommentSize = 60;
constexpr std::size_t kTrailerSize = 104;
constexpr std::size_t kTrailerTextSize = 11;
// Bytes after the samples: title, comment and trailer.
constexpr std::size_t kTimFooterSize = kTitleSize + kCommentSize + kTrailerSize;

// Trailer layout in file order: a positive entry is a numeric field of that many
// bytes, 0 stands for one of the two 11-byte texts.
constexpr std::array<uint8_t, 30> kTrailerLayout = {
    4, 2, 4, 4, 4, 2, 4, 2, 2, 4, 2, 4, 2, 4, 2, 2, 2, 2, 2, 2, 4, // offsets 0..59
    0, 4, 4, 0,                                                    // 60..89
    2, 2, 2, 4, 4};                                                // 90..103

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        FailWith("Datei %s kann nicht geöffnet werden", path);
    const std::streamoff size = in.tellg();
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(size, 0)), '\0');
    in.seekg(0);
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        FailWith("Datei %s kann nicht gelesen werden", path);
    return bytes;
}

// Text of a fixed-size field: up to its first NUL, never beyond the field.
std::string FieldText(const char* field, std::size_t size)
{
    const char* end = static_cast<const char*>(std::memchr(field, 0, size));
    return std::string(field, end ? static_cast<std::size_t>(end - field) : size);
}

void PutFieldText(std::string& out, const std::string& text, std::size_t size)
{
    const std::size_t n = std::min(text.size(), size);
    out.append(text, 0, n);
    out.append(size - n, '\0');
}

template <typename T>
T ReadLE(const char* p)
{
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

template <typename T>
void PutLE(std::string& out, T value)
{
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

// Splits at CR, LF or CR LF. A final line break does not open an empty line.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// The count line of a QEL file: an optional sign and decimal digits after blanks.
// A count the file cannot hold is refused by the line check that follows.
long long ParseCount(std::string_view s)
{
    s = Trim(s);
    bool negative = false;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    long long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > (1LL << 40))
            break;
    }
    return negative ? -value : value;
}

} // namespace

void TCalcData::Reset()
{
    Count = 0;
    Samples_.clear();
    Samples_.shrink_to_fit();
    SampleInterval = 0.0f;
    SchroederStart = 0;
    FileName.clear();
    Title.clear();
    Comment.clear();
    TimTrailer = TTimTrailer{};
}

void TCalcData::SetSamples(std::vector<float> samples)
{
    Samples_ = std::move(samples);
    Count = static_cast<int32_t>(Samples_.size());
}

void TCalcData::LoadFromFile(const std::string& path)
{
    FileName.clear();
    const std::string ext = ExtensionLower(path);
    if (ext == ".tim") {
        ReadTim(path);
    } else if (ext == ".qel") {
        ReadQel(path);
    } else if (const MeasurementReader reader = FindMeasurementReader(ext)) {
        // Read into a fresh object, so every field is replaced by what the
        // file gives and a failed read changes no sample.
        TCalcData loaded;
        reader(loaded, path);
        *this = std::move(loaded);
    } else {
        Fail("ungültiges Dateiformat");
    }
    FileName = path;
}

void TCalcData::ReadTim(const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    const auto badFormat = [] { Fail("falsches Datenformat (*.tim)"); };
    if (bytes.size() < kTimHeaderSize + kTimFooterSize)
        badFormat();
    const char* p = bytes.data();
    if (ReadLE<uint16_t>(p) != kTimMagic1 || ReadLE<uint16_t>(p + 2) != kTimMagic2)
        badFormat();
    const float interval = ReadLE<float>(p + 6);
    const int32_t count = ReadLE<int32_t>(p + 10);
    // The count must fit what the file holds; a negative or absurd count, or a
    // file shorter than its count says, is refused before anything is allocated.
    if (count < 0 || static_cast<uint64_t>(count) * 4 > bytes.size() - kTimHeaderSize - kTimFooterSize)
        badFormat();

    Reset();
    SampleInterval = interval;
    Samples_.resize(static_cast<std::size_t>(count));
    if (count > 0)
        std::memcpy(Samples_.data(), p + kTimHeaderSize, static_cast<std::size_t>(count) * 4);
    Count = count;

    // Bytes beyond the trailer are ignored, as the fields are read in order.
    const char* footer = p + kTimHeaderSize + static_cast<std::size_t>(count) * 4;
    Title = FieldText(footer, kTitleSize);
    Comment = FieldText(footer + kTitleSize, kCommentSize);
    const char* trailer = footer + kTitleSize + kCommentSize;
    std::size_t numberIndex = 0;
    bool firstText = true;
    for (const uint8_t size : kTrailerLayout) {
        if (size == 0) {
            (firstText ? TimTrailer.text1 : TimTrailer.text2) = FieldText(trailer, kTrailerTextSize);
            firstText = false;
            trailer += kTrailerTextSize;
            continue;
        }
        TimTrailer.Numbers[numberIndex++] = size == 4 ? ReadLE<uint32_t>(trailer) : ReadLE<uint16_t>(trailer);
        trailer += size;
    }
}

void TCalcData::ReadQel(const std::string& path)
{
    Reset();
    const std::string text = ReadWholeFile(path);
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.size() < 10)
        Fail("ungültiges Dateiformat");
    Comment = "QEL Export Datei";
    if (Trim(lines[0]) != "0")
        Fail("ungültiges Dateiformat");
    SampleInterval = static_cast<float>(TextToFloat(lines[1]));
    const long long count = ParseCount(lines[2]);
    if (count < 0 || static_cast<unsigned long long>(count) + 3 > lines.size())
        Fail("ungültiges Dateiformat");

    Samples_.resize(static_cast<std::size_t>(count));
    Count = static_cast<int32_t>(count);
    std::string sample;
    for (int32_t i = 0; i < Count; ++i) {
        sample.assign(lines[static_cast<std::size_t>(i) + 3]);
        if (const auto comma = sample.find(','); comma != std::string::npos)
            sample[comma] = '.';
        SetValue(i, TextToFloat(sample));
    }
    Title = std::string(lines.back());
}

void TCalcData::SaveTim(const std::string& path) const
{
    std::string out;
    out.reserve(kTimHeaderSize + static_cast<std::size_t>(std::max(Count, 0)) * 4 + kTimFooterSize);
    PutLE<uint16_t>(out, kTimMagic1);
    PutLE<uint16_t>(out, kTimMagic2);
    PutLE<uint16_t>(out, 0);
    PutLE<float>(out, SampleInterval);
    PutLE<int32_t>(out, std::max(Count, 0));
    if (Count > 0)
        out.append(reinterpret_cast<const char*>(Samples_.data()), static_cast<std::size_t>(Count) * 4);
    PutFieldText(out, Title, kTitleSize);
    PutFieldText(out, Comment, kCommentSize);
    std::size_t numberIndex = 0;
    bool firstText = true;
    for (const uint8_t size : kTrailerLayout) {
        if (size == 0) {
            PutFieldText(out, firstText ? TimTrailer.text1 : TimTrailer.text2, kTrailerTextSize);
            firstText = false;
        } else if (size == 4) {
            PutLE<uint32_t>(out, TimTrailer.Numbers[numberIndex++]);
        } else {
            PutLE<uint16_t>(out, static_cast<uint16_t>(TimTrailer.Numbers[numberIndex++]));
        }
    }

    ReplaceFileContent(path, out, kCannotCreate);
}

void TCalcData::Crop(int32_t start, int32_t newCount)
{
    const int32_t c = Count;
    if (newCount > c - 1)
        newCount = c;
    if (start > 0 && start <= c - 1)
        std::copy(Samples_.begin() + start, Samples_.begin() + c, Samples_.begin());
    // A negative count from a hand-edited project file would leave the signal
    // with a negative length; such a value keeps the length instead.
    if (start < newCount && newCount >= 0)
        Count = newCount;
}

double TCalcData::GetValue(int32_t index) const
{
    CheckIndex(index);
    return Samples_[static_cast<std::size_t>(index)];
}

void TCalcData::SetValue(int32_t index, double value)
{
    CheckIndex(index);
    Samples_[static_cast<std::size_t>(index)] = static_cast<float>(value);
}

void TCalcData::CheckIndex(int32_t index) const
{
    if (Samples_.empty())
        throw DazoError("data is nil");
    if (index < 0 || index >= Count)
        throw DazoError("out of range");
}

} // namespace dazo
