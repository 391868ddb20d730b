// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/MailMerge.h"

#include "common/DazoError.h"
#include "reports/ResultsFiles.h"
#include "reports/TextPipeline.h"
#include "signal/uconst.h"

namespace dazo {
namespace {

// "<Name>", "<Name|suffix>", "<Name:format>", "<Name:format|suffix>".
struct Placeholder {
    std::string_view name;
    std::string_view format;
    std::string_view suffix;
};

Placeholder ParsePlaceholder(std::string_view inside)
{
    Placeholder placeholder;
    const auto bar = inside.find('|');
    if (bar != std::string_view::npos) {
        placeholder.suffix = inside.substr(bar + 1);
        inside = inside.substr(0, bar);
    }
    const auto colon = inside.find(':');
    if (colon != std::string_view::npos) {
        placeholder.format = inside.substr(colon + 1);
        inside = inside.substr(0, colon);
    }
    placeholder.name = inside;
    return placeholder;
}

// A value typed on screen may carry either decimal separator; what reads as
// no number is printed as written.
std::string NumberInFormat(const std::string& value, std::string_view format, const NumberDisplaySettings& numbers)
{
    const char separator = value.find(',') != std::string::npos ? ',' : '.';
    try {
        return FormatDisplayNumber(GeneralFloatValue(Trim(value), FormatSettings{separator}), format, numbers);
    } catch (const DazoError&) {
        return value;
    }
}

} // namespace

bool IsRtf(std::string_view text)
{
    const auto start = text.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && text.substr(start, 5) == "{\\rtf";
}

std::string RtfEscaped(std::string_view text)
{
    constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "\\line ";
        } else if (c >= 0x80) {
            out += "\\'";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string MailMerge(std::string_view text, const TTextPipeline& pipeline, const NumberDisplaySettings& numbers)
{
    const bool rtf = IsRtf(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto open = text.find('<', pos);
        const auto close = open == std::string_view::npos ? open : text.find('>', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        // The last "<" before the ">" starts the name, so "a < b <Name>" works.
        const auto start = text.rfind('<', close);
        out.append(text.substr(pos, start - pos));
        const Placeholder placeholder = ParsePlaceholder(text.substr(start + 1, close - start - 1));
        if (!placeholder.name.empty() && pipeline.FieldPosition(placeholder.name) >= 0) {
            std::string value = UnescapeText(pipeline.Value(placeholder.name));
            if (!placeholder.format.empty())
                value = NumberInFormat(value, placeholder.format, numbers);
            out += rtf ? RtfEscaped(value) : value;
            if (!value.empty())
                out.append(placeholder.suffix);
        } else {
            out.append(text.substr(start, close - start + 1));
        }
        pos = close + 1;
    }
    return out;
}

} // namespace dazo
