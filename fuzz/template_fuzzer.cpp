// SPDX-License-Identifier: GPL-3.0-or-later
// Report templates: any text is a layout or refused with a message; a layout
// that is read is written and read back unchanged, through text and file.

#include "FuzzSupport.h"
#include "reports/ReportTemplate.h"

using namespace dazo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ReportLayout layout;
    try {
        layout = ParseTemplate(text);
    } catch (const DazoError& e) {
        fuzz::RequireMessage(e);
        return 0;
    }
    fuzz::Require(ParseTemplate(TemplateText(layout)) == layout, "layout changed by writing and reading it");

    const std::string file = fuzz::ScratchFile("saved.rtm");
    SaveTemplate(layout, file);
    fuzz::Require(LoadTemplate(file) == layout, "saved template loads differently");
    return 0;
}
