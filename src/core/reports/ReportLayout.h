// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The layout of a banded report: the page setup, five bands and the elements
// placed on them, all measures in millimetres. The layout says what goes
// where; ReportPagination decides which page each piece lands on, and the
// window layer draws it.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dazo {

// In the order a page is built: background first, footer last.
enum class BandKind { PageBackground, Title, PageHeader, Detail, PageFooter };
inline constexpr int kBandKindCount = 5;

enum class ElementKind { Label, Memo, RichText, DataText, SystemVariable, Variable, Line, Rectangle, Image };
inline constexpr int kElementKindCount = 9;

enum class TextAlignment { Left, Center, Right };

// Print date ("01.12.2026"), page number with its word ("Seite 3"), page
// number with the page count ("3 von 5", beside a label "Seite:").
enum class SystemVariableKind { PrintDate, PageNumber, PageNumberOfCount };

// The edge of its frame along which a line element is drawn.
enum class LineSide { Top, Bottom, Left, Right };

struct ReportFont {
    std::string Family = "Arial";
    double Size = 10; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    std::uint32_t Color = 0x000000; // 0xRRGGBB

    bool operator==(const ReportFont&) const = default;
};

inline constexpr std::uint32_t kTeal = 0x008080;

struct ReportElement {
    ElementKind Kind = ElementKind::Label;
    std::string Name;
    double Left = 0; // mm from the band's top left corner
    double Top = 0;
    double Width = 0;
    double Height = 0;
    ReportFont Font;
    TextAlignment Alignment = TextAlignment::Left;
    bool Visible = true;

    std::string Text;          // label, memo; rich text as RTF or plain text
    std::string Pipeline;      // data text: the pipeline's name
    std::string Field;         // data text: the field's name
    std::string DisplayFormat; // data text, variable: "#,0.00;-#,0.00" and the like
    SystemVariableKind SystemVariable = SystemVariableKind::PrintDate;

    LineSide Side = LineSide::Top;  // line
    double PenWidth = 0.75;         // line, rectangle: points
    std::uint32_t PenColor = 0x000000;
    bool Filled = false;            // rectangle
    std::uint32_t FillColor = 0xFFFFFF;

    bool KeepProportion = true; // image: fitted keeping its proportion, else filling the frame
    bool AutoSize = false;      // image: the frame takes the size of the picture put in
    std::string PictureFile;    // image: a picture file, used when the program puts none in

    bool Stretch = false;      // memo, rich text: the height follows the content
    std::string FollowElement; // placed below this element of its band, wherever that ends
    bool MailMerge = false;    // memo, rich text: <Field> replaced by the main pipeline's value

    double Bottom() const { return Top + Height; }
    bool IsText() const { return Kind == ElementKind::Memo || Kind == ElementKind::RichText; }
    bool Stretches() const { return IsText() && Stretch; }

    bool operator==(const ReportElement&) const = default;
};

struct ReportBand {
    BandKind Kind = BandKind::Detail;
    double Height = 0;            // mm; the background always covers the printable area
    bool PrintOnFirstPage = true; // page header: false leaves the first page to the title
    std::vector<ReportElement> Elements;

    bool operator==(const ReportBand&) const = default;
};

enum class ReportPasses { One = 1, Two = 2 };

struct PageSetup {
    double Width = 210; // A4 portrait
    double Height = 297;
    double Left = 6.35;
    double Right = 6.35;
    double Top = 6.35;
    double Bottom = 6.35;
    // Kept with the template. The engine lays out every page before drawing
    // the first, so the page count is known whichever is chosen.
    ReportPasses Passes = ReportPasses::One;

    double PrintableWidth() const { return Width - Left - Right; }
    double PrintableHeight() const { return Height - Top - Bottom; }
    bool operator==(const PageSetup&) const = default;
};

struct ReportLayout {
    ReportLayout();

    PageSetup Page;
    std::string MainPipeline; // one detail band per record; empty: one detail band
    std::array<ReportBand, kBandKindCount> Bands;

    ReportBand& Band(BandKind kind) { return Bands[static_cast<std::size_t>(kind)]; }
    const ReportBand& Band(BandKind kind) const { return Bands[static_cast<std::size_t>(kind)]; }

    // The first element of that name in any band (nullptr if there is none).
    ReportElement* FindElement(std::string_view name);
    const ReportElement* FindElement(std::string_view name) const;
    // A name not yet taken: prefix followed by the lowest free number.
    std::string UniqueName(std::string_view prefix) const;

    bool operator==(const ReportLayout&) const = default;
};

// The name prefix of new elements of a kind ("ppLabel" for "ppLabel1").
std::string_view ElementNamePrefix(ElementKind kind);

// Points to millimetres (1 pt = 1/72 inch).
inline constexpr double kMmPerPoint = 25.4 / 72.0;

} // namespace dazo
