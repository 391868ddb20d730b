// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Mail merge of the report texts: "<FieldName>" is replaced by the text of
// that field in the current record of the report's main pipeline.

#include "reports/DisplayFormat.h"

#include <string>
#include <string_view>

namespace dazo {

class TTextPipeline;

// Whether a rich text is RTF (else it is plain text).
bool IsRtf(std::string_view text);

// Every "<Name>" whose Name is a field of the pipeline (letter case ignored)
// becomes the field's text with the escapes of the data files undone (a memo's
// "%n" is a line break again); other text in angle brackets stays as written.
// In RTF the value is written as RTF text, so its braces, backslashes and
// accented letters cannot break the document. "<Name|suffix>" adds the suffix
// (a unit, as written in the text) only after a value that is not empty;
// "<Name:format>" prints a value that reads as a number (with "." or ",") in
// the display format ("0.0"), with the given separators.
std::string MailMerge(std::string_view text, const TTextPipeline& pipeline, const NumberDisplaySettings& numbers = {});

// A Windows-1252 text as RTF body text: "\", "{", "}" escaped, letters above
// 127 as \'xx, TAB as \tab and line breaks as \line.
std::string RtfEscaped(std::string_view text);

} // namespace dazo
