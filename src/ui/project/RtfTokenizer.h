// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Splits RTF bytes into groups, control words, control symbols, hex bytes and
// runs of plain text. Knows nothing of what the words mean, except \bin, whose
// binary data it steps over because that data is not RTF.

#include <cstdint>
#include <string_view>

namespace dazo::ui {

struct RtfToken {
    enum class Kind { GroupStart, GroupEnd, ControlWord, ControlSymbol, HexByte, Text, End };

    Kind kind = Kind::End;
    std::string_view text; // the control word's name, or the plain text
    bool hasParameter = false;
    std::int32_t parameter = 0; // saturated at the bounds of 32 bits
    char symbol = 0;            // control symbol
    unsigned char byte = 0;     // \'xx
};

class RtfTokenizer {
public:
    explicit RtfTokenizer(std::string_view input) : input_(input) {}

    RtfToken Next();

private:
    RtfToken ReadControl();
    RtfToken ReadControlWord();
    RtfToken ReadHexByte();
    RtfToken ReadText();
    void SkipBinary(std::int32_t count);

    std::string_view input_;
    std::size_t pos_ = 0;
};

// Windows-1252, the code page of \'xx bytes and of plain text files.
char16_t Windows1252ToUnicode(unsigned char byte);
// The byte of a character in Windows-1252, or -1 when the code page lacks it.
int UnicodeToWindows1252(char16_t character);

} // namespace dazo::ui
