// SPDX-License-Identifier: GPL-3.0-or-later
// Comma text: any bytes split without a crash, in one pass; quoted fields
// joined by commas split back into exactly those fields.

#include "FuzzSupport.h"
#include "project/CommaText.h"

#include <algorithm>
#include <vector>

using namespace dazo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> fields = SplitCommaText(text);
    std::size_t bytes = 0;
    for (const std::string& field : fields) {
        fuzz::Require(field.find('\0') == std::string::npos, "NUL inside a field");
        bytes += field.size();
    }
    fuzz::Require(bytes <= size && fields.size() <= size + 1, "split made more than the text holds");

    // The input's lines as field texts (a NUL ends a comma text, so none here).
    std::vector<std::string> texts;
    std::string current;
    for (const char c : text) {
        if (c == '\n') {
            texts.push_back(current);
            current.clear();
        } else if (c != '\0') {
            current += c;
        }
    }
    texts.push_back(current);

    std::string joined;
    for (const std::string& field : texts)
        joined += QuoteField(field) + ',';
    joined.pop_back();
    fuzz::Require(SplitCommaText(joined) == texts, "quoted fields do not split back");
    std::vector<std::string> withEmpty = texts;
    withEmpty.emplace_back();
    fuzz::Require(SplitCommaText(joined + ',') == withEmpty, "trailing comma does not give one empty field");
    return 0;
}
