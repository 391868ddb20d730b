// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Report templates: a layout as readable JSON text of our own,
// {"format": "dazo-report", "version": 1, "page": ..., "bands": [...]}, in
// UTF-8. Unknown keys are ignored, so later versions can add to it.

#include "reports/ReportLayout.h"

#include <string>
#include <string_view>

namespace dazo {

inline constexpr const char* kTemplateFormat = "dazo-report";
inline constexpr int kTemplateVersion = 1;

std::string TemplateText(const ReportLayout& layout);

// Anything but a complete layout of a known version throws a DazoError.
ReportLayout ParseTemplate(std::string_view text);

// Written to a new file beside the target and renamed over it.
void SaveTemplate(const ReportLayout& layout, const std::string& fileName);

// An unreadable file throws "Datei <file> kann nicht geöffnet werden", a
// damaged one "Vorlage <file> ist beschädigt".
ReportLayout LoadTemplate(const std::string& fileName);

} // namespace dazo
