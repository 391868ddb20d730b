// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/RtfTokenizer.h"

#include "common/Encoding.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

namespace dazo::ui {
namespace {

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The code page table taken from the core's conversion, so both agree.
std::array<char16_t, 256> MakeWindows1252Table()
{
    std::array<char16_t, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        const std::string utf8 = Utf8(std::string(1, static_cast<char>(byte)));
        const auto unit = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
        char16_t cp = unit(0);
        if (utf8.size() == 2)
            cp = static_cast<char16_t>(((unit(0) & 0x1F) << 6) | (unit(1) & 0x3F));
        else if (utf8.size() == 3)
            cp = static_cast<char16_t>(((unit(0) & 0x0F) << 12) | ((unit(1) & 0x3F) << 6) | (unit(2) & 0x3F));
        table[byte] = cp;
    }
    return table;
}

const std::array<char16_t, 256>& Windows1252Table()
{
    static const std::array<char16_t, 256> table = MakeWindows1252Table();
    return table;
}

RtfToken Token(RtfToken::Kind kind)
{
    RtfToken token;
    token.kind = kind;
    return token;
}

} // namespace

char16_t Windows1252ToUnicode(unsigned char byte)
{
    return Windows1252Table()[byte];
}

int UnicodeToWindows1252(char16_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return character;
    const auto& table = Windows1252Table();
    for (int byte = 0x80; byte < 0xA0; ++byte)
        if (table[byte] == character && character != 0xFFFD)
            return byte;
    return -1;
}

RtfToken RtfTokenizer::Next()
{
    if (pos_ >= input_.size())
        return {};
    switch (input_[pos_]) {
    case '{':
        ++pos_;
        return Token(RtfToken::Kind::GroupStart);
    case '}':
        ++pos_;
        return Token(RtfToken::Kind::GroupEnd);
    case '\\':
        return ReadControl();
    default:
        return ReadText();
    }
}

RtfToken RtfTokenizer::ReadControl()
{
    ++pos_; // the backslash
    if (pos_ >= input_.size())
        return {};
    const char c = input_[pos_];
    if (IsLetter(c))
        return ReadControlWord();
    if (c == '\'')
        return ReadHexByte();
    ++pos_;
    RtfToken token = Token(RtfToken::Kind::ControlSymbol);
    token.symbol = c;
    return token;
}

RtfToken RtfTokenizer::ReadControlWord()
{
    const std::size_t start = pos_;
    while (pos_ < input_.size() && IsLetter(input_[pos_]))
        ++pos_;
    RtfToken token = Token(RtfToken::Kind::ControlWord);
    token.text = input_.substr(start, pos_ - start);

    const bool negative = pos_ + 1 < input_.size() && input_[pos_] == '-' && IsDigit(input_[pos_ + 1]);
    if (negative)
        ++pos_;
    if (pos_ < input_.size() && IsDigit(input_[pos_])) {
        // Any number of digits is read, the value held within 32 bits.
        constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
        std::int64_t value = 0;
        while (pos_ < input_.size() && IsDigit(input_[pos_])) {
            value = std::min(value * 10 + (input_[pos_] - '0'), kLimit + 1);
            ++pos_;
        }
        token.hasParameter = true;
        token.parameter = static_cast<std::int32_t>(negative ? -value : std::min(value, kLimit));
    }
    if (pos_ < input_.size() && input_[pos_] == ' ')
        ++pos_; // the delimiter belongs to the word
    if (token.text == "bin")
        SkipBinary(token.hasParameter ? token.parameter : 0);
    return token;
}

RtfToken RtfTokenizer::ReadHexByte()
{
    ++pos_; // the apostrophe
    const int high = pos_ < input_.size() ? HexValue(input_[pos_]) : -1;
    const int low = pos_ + 1 < input_.size() ? HexValue(input_[pos_ + 1]) : -1;
    if (high < 0 || low < 0) { // a broken escape stands for nothing
        RtfToken token = Token(RtfToken::Kind::ControlSymbol);
        token.symbol = '\'';
        return token;
    }
    pos_ += 2;
    RtfToken token = Token(RtfToken::Kind::HexByte);
    token.byte = static_cast<unsigned char>(high * 16 + low);
    return token;
}

RtfToken RtfTokenizer::ReadText()
{
    const std::size_t start = pos_;
    while (pos_ < input_.size() && input_[pos_] != '{' && input_[pos_] != '}' && input_[pos_] != '\\')
        ++pos_;
    RtfToken token = Token(RtfToken::Kind::Text);
    token.text = input_.substr(start, pos_ - start);
    return token;
}

void RtfTokenizer::SkipBinary(std::int32_t count)
{
    if (count > 0)
        pos_ += std::min(static_cast<std::size_t>(count), input_.size() - pos_);
}

} // namespace dazo::ui
