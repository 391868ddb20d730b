// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportLayout.h"

namespace dazo {

ReportLayout::ReportLayout()
{
    for (int kind = 0; kind < kBandKindCount; ++kind)
        Bands[static_cast<std::size_t>(kind)].Kind = static_cast<BandKind>(kind);
}

ReportElement* ReportLayout::FindElement(std::string_view name)
{
    return const_cast<ReportElement*>(static_cast<const ReportLayout&>(*this).FindElement(name));
}

const ReportElement* ReportLayout::FindElement(std::string_view name) const
{
    for (const auto& band : Bands)
        for (const auto& element : band.Elements)
            if (element.Name == name)
                return &element;
    return nullptr;
}

std::string ReportLayout::UniqueName(std::string_view prefix) const
{
    for (int number = 1;; ++number) {
        std::string name = std::string(prefix) + std::to_string(number);
        if (!FindElement(name))
            return name;
    }
}

std::string_view ElementNamePrefix(ElementKind kind)
{
    switch (kind) {
    case ElementKind::Label: return "ppLabel";
    case ElementKind::Memo: return "ppMemo";
    case ElementKind::RichText: return "ppRichText";
    case ElementKind::DataText: return "ppDBText";
    case ElementKind::SystemVariable: return "ppSystemVariable";
    case ElementKind::Variable: return "ppVariable";
    case ElementKind::Line: return "ppLine";
    case ElementKind::Rectangle: return "ppShape";
    case ElementKind::Image: return "ppImage";
    }
    return "ppElement";
}

} // namespace dazo
