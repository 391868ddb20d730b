// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportTemplate.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "reports/JsonText.h"
#include "reports/LineFiles.h"

#include <array>
#include <charconv>
#include <filesystem>

namespace dazo {
namespace {

constexpr std::uintmax_t kMaxTemplateBytes = 16u << 20;
constexpr double kMaxMeasure = 10000; // mm

template <typename Enum, std::size_t N>
using Names = std::array<std::pair<Enum, const char*>, N>;

constexpr Names<BandKind, kBandKindCount> kBandNames = {{{BandKind::PageBackground, "pageBackground"},
                                                         {BandKind::Title, "title"},
                                                         {BandKind::PageHeader, "pageHeader"},
                                                         {BandKind::Detail, "detail"},
                                                         {BandKind::PageFooter, "pageFooter"}}};
constexpr Names<ElementKind, kElementKindCount> kKindNames = {{{ElementKind::Label, "label"},
                                                               {ElementKind::Memo, "memo"},
                                                               {ElementKind::RichText, "richText"},
                                                               {ElementKind::DataText, "dataText"},
                                                               {ElementKind::SystemVariable, "systemVariable"},
                                                               {ElementKind::Variable, "variable"},
                                                               {ElementKind::Line, "line"},
                                                               {ElementKind::Rectangle, "rectangle"},
                                                               {ElementKind::Image, "image"}}};
constexpr Names<TextAlignment, 3> kAlignmentNames = {
    {{TextAlignment::Left, "left"}, {TextAlignment::Center, "center"}, {TextAlignment::Right, "right"}}};
constexpr Names<SystemVariableKind, 3> kSystemVariableNames = {{{SystemVariableKind::PrintDate, "printDate"},
                                                                {SystemVariableKind::PageNumber, "pageNumber"},
                                                                {SystemVariableKind::PageNumberOfCount, "pageNumberOfCount"}}};
constexpr Names<LineSide, 4> kSideNames = {
    {{LineSide::Top, "top"}, {LineSide::Bottom, "bottom"}, {LineSide::Left, "left"}, {LineSide::Right, "right"}}};

template <typename Enum, std::size_t N>
const char* NameOf(const Names<Enum, N>& names, Enum value)
{
    for (const auto& [v, name] : names)
        if (v == value)
            return name;
    return "";
}

std::string ColorText(std::uint32_t color)
{
    constexpr char kHex[] = "0123456789abcdef";
    std::string text = "#";
    for (int shift = 20; shift >= 0; shift -= 4)
        text += kHex[(color >> shift) & 0xF];
    return text;
}

// Lines, rectangles and pictures have no text, so no font and alignment.
bool HasFont(ElementKind kind)
{
    return kind != ElementKind::Line && kind != ElementKind::Rectangle && kind != ElementKind::Image;
}

// --- writing ---------------------------------------------------------------

JsonValue Text(const std::string& ansi)
{
    return JsonValue::String(Utf8(ansi));
}

JsonValue FontValue(const ReportFont& font)
{
    JsonValue value = JsonValue::Object();
    value.Set("family", Text(font.Family));
    value.Set("size", JsonValue::Number(font.Size));
    value.Set("bold", JsonValue::Boolean(font.Bold));
    value.Set("italic", JsonValue::Boolean(font.Italic));
    value.Set("underline", JsonValue::Boolean(font.Underline));
    value.Set("color", JsonValue::String(ColorText(font.Color)));
    return value;
}

JsonValue ElementValue(const ReportElement& e)
{
    JsonValue value = JsonValue::Object();
    value.Set("kind", JsonValue::String(NameOf(kKindNames, e.Kind)));
    value.Set("name", Text(e.Name));
    value.Set("left", JsonValue::Number(e.Left));
    value.Set("top", JsonValue::Number(e.Top));
    value.Set("width", JsonValue::Number(e.Width));
    value.Set("height", JsonValue::Number(e.Height));
    value.Set("visible", JsonValue::Boolean(e.Visible));
    if (HasFont(e.Kind)) {
        value.Set("font", FontValue(e.Font));
        value.Set("alignment", JsonValue::String(NameOf(kAlignmentNames, e.Alignment)));
    }
    switch (e.Kind) {
    case ElementKind::Label: value.Set("text", Text(e.Text)); break;
    case ElementKind::Memo:
    case ElementKind::RichText:
        value.Set("text", Text(e.Text));
        value.Set("stretch", JsonValue::Boolean(e.Stretch));
        value.Set("mailMerge", JsonValue::Boolean(e.MailMerge));
        break;
    case ElementKind::DataText:
        value.Set("pipeline", Text(e.Pipeline));
        value.Set("field", Text(e.Field));
        value.Set("displayFormat", Text(e.DisplayFormat));
        break;
    case ElementKind::SystemVariable:
        value.Set("systemVariable", JsonValue::String(NameOf(kSystemVariableNames, e.SystemVariable)));
        break;
    case ElementKind::Variable: value.Set("displayFormat", Text(e.DisplayFormat)); break;
    case ElementKind::Line:
        value.Set("side", JsonValue::String(NameOf(kSideNames, e.Side)));
        value.Set("penWidth", JsonValue::Number(e.PenWidth));
        value.Set("penColor", JsonValue::String(ColorText(e.PenColor)));
        break;
    case ElementKind::Rectangle:
        value.Set("penWidth", JsonValue::Number(e.PenWidth));
        value.Set("penColor", JsonValue::String(ColorText(e.PenColor)));
        value.Set("filled", JsonValue::Boolean(e.Filled));
        value.Set("fillColor", JsonValue::String(ColorText(e.FillColor)));
        break;
    case ElementKind::Image:
        value.Set("keepProportion", JsonValue::Boolean(e.KeepProportion));
        value.Set("autoSize", JsonValue::Boolean(e.AutoSize));
        value.Set("pictureFile", Text(e.PictureFile));
        break;
    }
    if (!e.FollowElement.empty())
        value.Set("followElement", Text(e.FollowElement));
    return value;
}

// --- reading ---------------------------------------------------------------

// Every check of a template's content; a failure is a damaged template.
[[noreturn]] void Damaged()
{
    Fail("falsches Datenformat");
}

const JsonValue& Required(const JsonValue& object, std::string_view key)
{
    const JsonValue* value = object.Find(key);
    if (!value)
        Damaged();
    return *value;
}

double Number(const JsonValue& object, std::string_view key, double fallback, double minimum, double maximum)
{
    const JsonValue* value = object.Find(key);
    const double number = value ? value->AsNumber() : fallback;
    if (number < minimum || number > maximum)
        Damaged();
    return number;
}

bool Boolean(const JsonValue& object, std::string_view key, bool fallback)
{
    const JsonValue* value = object.Find(key);
    return value ? value->AsBool() : fallback;
}

std::string AnsiText(const JsonValue& object, std::string_view key, const std::string& fallback)
{
    const JsonValue* value = object.Find(key);
    return value ? Ansi(value->AsString()) : fallback;
}

template <typename Enum, std::size_t N>
Enum EnumValue(const JsonValue& object, std::string_view key, const Names<Enum, N>& names, Enum fallback)
{
    const JsonValue* value = object.Find(key);
    if (!value)
        return fallback;
    for (const auto& [v, name] : names)
        if (value->AsString() == name)
            return v;
    Damaged();
}

std::uint32_t Color(const JsonValue& object, std::string_view key, std::uint32_t fallback)
{
    const JsonValue* value = object.Find(key);
    if (!value)
        return fallback;
    const std::string& text = value->AsString();
    std::uint32_t color = 0;
    if (text.size() != 7 || text[0] != '#')
        Damaged();
    const auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), color, 16);
    if (error != std::errc() || end != text.data() + text.size())
        Damaged();
    return color;
}

ReportFont ReadFont(const JsonValue& object)
{
    ReportFont font;
    font.Family = AnsiText(object, "family", font.Family);
    font.Size = Number(object, "size", font.Size, 1, 500);
    font.Bold = Boolean(object, "bold", font.Bold);
    font.Italic = Boolean(object, "italic", font.Italic);
    font.Underline = Boolean(object, "underline", font.Underline);
    font.Color = Color(object, "color", font.Color);
    return font;
}

ReportElement ReadElement(const JsonValue& object)
{
    ReportElement e;
    Required(object, "kind");
    e.Kind = EnumValue(object, "kind", kKindNames, e.Kind);
    e.Name = Ansi(Required(object, "name").AsString());
    e.Left = Number(object, "left", 0, -kMaxMeasure, kMaxMeasure);
    e.Top = Number(object, "top", 0, -kMaxMeasure, kMaxMeasure);
    e.Width = Number(object, "width", 0, 0, kMaxMeasure);
    e.Height = Number(object, "height", 0, 0, kMaxMeasure);
    e.Visible = Boolean(object, "visible", e.Visible);
    // Only what the element's kind uses is read, as only that is written: a
    // key of another kind is ignored like any unknown key.
    if (HasFont(e.Kind)) {
        if (const JsonValue* font = object.Find("font"))
            e.Font = ReadFont(*font);
        e.Alignment = EnumValue(object, "alignment", kAlignmentNames, e.Alignment);
    }
    switch (e.Kind) {
    case ElementKind::Label: e.Text = AnsiText(object, "text", e.Text); break;
    case ElementKind::Memo:
    case ElementKind::RichText:
        e.Text = AnsiText(object, "text", e.Text);
        e.Stretch = Boolean(object, "stretch", e.Stretch);
        e.MailMerge = Boolean(object, "mailMerge", e.MailMerge);
        break;
    case ElementKind::DataText:
        e.Pipeline = AnsiText(object, "pipeline", e.Pipeline);
        e.Field = AnsiText(object, "field", e.Field);
        e.DisplayFormat = AnsiText(object, "displayFormat", e.DisplayFormat);
        break;
    case ElementKind::SystemVariable:
        e.SystemVariable = EnumValue(object, "systemVariable", kSystemVariableNames, e.SystemVariable);
        break;
    case ElementKind::Variable: e.DisplayFormat = AnsiText(object, "displayFormat", e.DisplayFormat); break;
    case ElementKind::Line:
        e.Side = EnumValue(object, "side", kSideNames, e.Side);
        e.PenWidth = Number(object, "penWidth", e.PenWidth, 0, 100);
        e.PenColor = Color(object, "penColor", e.PenColor);
        break;
    case ElementKind::Rectangle:
        e.PenWidth = Number(object, "penWidth", e.PenWidth, 0, 100);
        e.PenColor = Color(object, "penColor", e.PenColor);
        e.Filled = Boolean(object, "filled", e.Filled);
        e.FillColor = Color(object, "fillColor", e.FillColor);
        break;
    case ElementKind::Image:
        e.KeepProportion = Boolean(object, "keepProportion", e.KeepProportion);
        e.AutoSize = Boolean(object, "autoSize", e.AutoSize);
        e.PictureFile = AnsiText(object, "pictureFile", e.PictureFile);
        break;
    }
    e.FollowElement = AnsiText(object, "followElement", e.FollowElement);
    return e;
}

PageSetup ReadPage(const JsonValue& object)
{
    PageSetup page;
    page.Width = Number(object, "width", page.Width, 10, kMaxMeasure);
    page.Height = Number(object, "height", page.Height, 10, kMaxMeasure);
    page.Left = Number(object, "left", page.Left, 0, kMaxMeasure);
    page.Right = Number(object, "right", page.Right, 0, kMaxMeasure);
    page.Top = Number(object, "top", page.Top, 0, kMaxMeasure);
    page.Bottom = Number(object, "bottom", page.Bottom, 0, kMaxMeasure);
    const double passes = Number(object, "passes", static_cast<double>(page.Passes), 1, 2);
    if (passes != 1 && passes != 2)
        Damaged();
    page.Passes = static_cast<ReportPasses>(static_cast<int>(passes));
    if (page.PrintableWidth() < 1 || page.PrintableHeight() < 1)
        Damaged();
    return page;
}

} // namespace

std::string TemplateText(const ReportLayout& layout)
{
    JsonValue root = JsonValue::Object();
    root.Set("format", JsonValue::String(kTemplateFormat));
    root.Set("version", JsonValue::Number(kTemplateVersion));
    JsonValue& page = root.Set("page", JsonValue::Object());
    page.Set("width", JsonValue::Number(layout.Page.Width));
    page.Set("height", JsonValue::Number(layout.Page.Height));
    page.Set("left", JsonValue::Number(layout.Page.Left));
    page.Set("right", JsonValue::Number(layout.Page.Right));
    page.Set("top", JsonValue::Number(layout.Page.Top));
    page.Set("bottom", JsonValue::Number(layout.Page.Bottom));
    page.Set("passes", JsonValue::Number(static_cast<int>(layout.Page.Passes)));
    root.Set("mainPipeline", Text(layout.MainPipeline));
    JsonValue& bands = root.Set("bands", JsonValue::Array());
    for (const ReportBand& band : layout.Bands) {
        JsonValue& value = bands.Add(JsonValue::Object());
        value.Set("kind", JsonValue::String(NameOf(kBandNames, band.Kind)));
        value.Set("height", JsonValue::Number(band.Height));
        if (band.Kind == BandKind::PageHeader)
            value.Set("printOnFirstPage", JsonValue::Boolean(band.PrintOnFirstPage));
        JsonValue& elements = value.Set("elements", JsonValue::Array());
        for (const ReportElement& element : band.Elements)
            elements.Add(ElementValue(element));
    }
    return WriteJson(root);
}

ReportLayout ParseTemplate(std::string_view text)
{
    const JsonValue root = ReadJson(text);
    if (Required(root, "format").AsString() != kTemplateFormat || Required(root, "version").AsNumber() != kTemplateVersion)
        Damaged();
    ReportLayout layout;
    if (const JsonValue* page = root.Find("page"))
        layout.Page = ReadPage(*page);
    layout.MainPipeline = AnsiText(root, "mainPipeline", "");
    std::array<bool, kBandKindCount> seen{};
    for (const JsonValue& value : Required(root, "bands").Items()) {
        Required(value, "kind");
        const BandKind kind = EnumValue(value, "kind", kBandNames, BandKind::Detail);
        auto& once = seen[static_cast<std::size_t>(kind)];
        if (once)
            Damaged();
        once = true;
        ReportBand& band = layout.Band(kind);
        band.Height = Number(value, "height", 0, 0, kMaxMeasure);
        if (kind == BandKind::PageHeader) // the only band that leaves a page out
            band.PrintOnFirstPage = Boolean(value, "printOnFirstPage", true);
        if (const JsonValue* elements = value.Find("elements"))
            for (const JsonValue& element : elements->Items())
                band.Elements.push_back(ReadElement(element));
    }
    return layout;
}

void SaveTemplate(const ReportLayout& layout, const std::string& fileName)
{
    // Written as lines so the file is replaced atomically like every other.
    const std::string text = TemplateText(layout);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    WriteLines(fileName, lines);
}

ReportLayout LoadTemplate(const std::string& fileName)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(fileName, error);
    if (!error && size > kMaxTemplateBytes)
        FailWith("Vorlage %s ist beschädigt", fileName);
    std::string text;
    for (const auto& line : ReadLines(fileName))
        text += line + "\n";
    try {
        return ParseTemplate(text);
    } catch (const DazoError&) {
        FailWith("Vorlage %s ist beschädigt", fileName);
    }
}

} // namespace dazo
