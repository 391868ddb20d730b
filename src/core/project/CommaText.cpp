// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/CommaText.h"

namespace dazo {
namespace {

bool IsSeparatorBlank(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

} // namespace

std::vector<std::string> SplitCommaText(std::string_view text)
{
    // Nothing after a NUL counts: without this cut a NUL would end every field
    // without being skipped, and the split would never move on.
    text = text.substr(0, text.find('\0'));

    std::vector<std::string> fields;
    std::size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && IsSeparatorBlank(text[pos]))
            ++pos;
    };

    skipBlanks();
    while (pos < text.size()) {
        std::string field;
        if (text[pos] == '"') {
            ++pos;
            while (pos < text.size()) {
                if (text[pos] == '"') {
                    if (pos + 1 < text.size() && text[pos + 1] == '"') {
                        field += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                field += text[pos++];
            }
        } else {
            const std::size_t begin = pos;
            while (pos < text.size() && text[pos] != ','
                   && static_cast<unsigned char>(text[pos]) > 32)
                ++pos;
            field.assign(text, begin, pos - begin);
        }
        fields.push_back(std::move(field));
        skipBlanks();
        if (pos < text.size() && text[pos] == ',') {
            if (pos + 1 == text.size())
                fields.emplace_back();
            ++pos;
            skipBlanks();
        }
    }
    return fields;
}

std::string QuoteField(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

} // namespace dazo
