// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/DefaultReports.h"

#include "common/Encoding.h"
#include "common/DazoError.h"
#include "reports/DecayFlagText.h"
#include "reports/MailMerge.h"
#include "reports/ParameterHeadings.h"
#include "reports/ResultsFiles.h"
#include "reports/TextPipeline.h"
#include "signal/uconst.h"

#include <algorithm>

#include <array>

namespace dazo {
namespace {

constexpr const char* kTwoDecimals = "#,0.00;-#,0.00";
constexpr double kRow = 4.5; // height of a 10 point line

ReportFont Arial(double size = 10, bool bold = false, std::uint32_t color = 0x000000)
{
    ReportFont font;
    font.Size = size;
    font.Bold = bold;
    font.Color = color;
    return font;
}

struct Box {
    double left;
    double top;
    double width;
    double height;
};

// Adds the elements of one band; every element gets a name of its kind
// unless the program needs to find it by a name of its own.
class BandWriter {
public:
    BandWriter(ReportLayout& layout, BandKind kind, double height)
        : layout_(layout)
        , kind_(kind)
    {
        layout_.Band(kind_).Height = height;
    }

    ReportElement& Label(std::string_view utf8, Box box, ReportFont font = {}, TextAlignment alignment = TextAlignment::Left)
    {
        ReportElement& e = Add(ElementKind::Label, box);
        e.Text = Ansi(utf8);
        e.Font = font;
        e.Alignment = alignment;
        return e;
    }

    ReportElement& Data(const char* pipeline, const char* field, Box box, ReportFont font = {},
                        TextAlignment alignment = TextAlignment::Left, const char* format = "")
    {
        ReportElement& e = Add(ElementKind::DataText, box);
        e.Pipeline = pipeline;
        e.Field = field;
        e.Font = font;
        e.Alignment = alignment;
        e.DisplayFormat = format;
        return e;
    }

    ReportElement& System(SystemVariableKind kind, Box box, ReportFont font = {}, TextAlignment alignment = TextAlignment::Left)
    {
        ReportElement& e = Add(ElementKind::SystemVariable, box);
        e.SystemVariable = kind;
        e.Font = font;
        e.Alignment = alignment;
        return e;
    }

    ReportElement& Variable(const char* name, Box box, ReportFont font, TextAlignment alignment)
    {
        ReportElement& e = Add(ElementKind::Variable, box, name);
        e.DisplayFormat = kTwoDecimals;
        e.Font = font;
        e.Alignment = alignment;
        return e;
    }

    // A line along the top of a 1 mm high frame.
    ReportElement& HorizontalLine(double left, double top, double width, double penWidth = 0.75, std::uint32_t color = 0)
    {
        ReportElement& e = Add(ElementKind::Line, {left, top, width, 1});
        e.Side = LineSide::Top;
        e.PenWidth = penWidth;
        e.PenColor = color;
        return e;
    }

    // A line along the bottom of its frame, closing the band.
    ReportElement& BottomLine(double left, double bottom, double width, double penWidth, std::uint32_t color = 0)
    {
        ReportElement& e = HorizontalLine(left, bottom - 1, width, penWidth, color);
        e.Side = LineSide::Bottom;
        return e;
    }

    ReportElement& VerticalLine(double left, double top, double height, double penWidth = 0.75)
    {
        ReportElement& e = Add(ElementKind::Line, {left, top, 1, height});
        e.Side = LineSide::Left;
        e.PenWidth = penWidth;
        return e;
    }

    ReportElement& Frame(Box box, double penWidth = 1)
    {
        ReportElement& e = Add(ElementKind::Rectangle, box);
        e.PenWidth = penWidth;
        return e;
    }

    // Plain text with "<Field>" placeholders of the main pipeline, growing with its lines.
    ReportElement& Memo(std::string_view text, Box box, ReportFont font)
    {
        ReportElement& e = Add(ElementKind::Memo, box);
        e.Text = Ansi(text);
        e.Font = font;
        e.Stretch = true;
        e.MailMerge = true;
        return e;
    }

    ReportElement& Image(const char* name, Box box, bool keepProportion)
    {
        ReportElement& e = Add(ElementKind::Image, box, name);
        e.KeepProportion = keepProportion;
        return e;
    }

    ReportElement& RichText(const char* name, std::string text, Box box)
    {
        ReportElement& e = Add(ElementKind::RichText, box, name);
        e.Text = std::move(text);
        e.Stretch = true;
        return e;
    }

private:
    ReportElement& Add(ElementKind kind, Box box, const char* name = nullptr)
    {
        ReportElement e;
        e.Kind = kind;
        e.Name = name ? std::string(name) : layout_.UniqueName(ElementNamePrefix(kind));
        e.Left = box.left;
        e.Top = box.top;
        e.Width = box.width;
        e.Height = box.height;
        auto& elements = layout_.Band(kind_).Elements;
        elements.push_back(std::move(e));
        return elements.back();
    }

    ReportLayout& layout_;
    BandKind kind_;
};

// The formatted texts of the test report: bold headings and indented lines
// "label : <Field> unit", as RTF for Arial 10. Second entries of a line and
// the table columns sit on tab stops.
class RtfWriter {
public:
    RtfWriter& Heading(std::string_view utf8)
    {
        body_ += "\\pard\\sb160\\b " + Escaped(utf8) + "\\b0\\par\n";
        return *this;
    }
    // An indented line.
    RtfWriter& Line(std::string_view utf8)
    {
        body_ += "\\pard\\li567 " + Escaped(utf8) + "\\par\n";
        return *this;
    }
    // "label : <Field> unit"
    RtfWriter& Field(std::string_view label, std::string_view field, std::string_view unit = {})
    {
        return Line(Entry(label, field, unit));
    }
    // Two entries on one line, the second at the second tab stop.
    RtfWriter& Fields(std::string_view label, std::string_view field, std::string_view unit,
                      std::string_view label2, std::string_view field2, std::string_view unit2)
    {
        body_ += "\\pard\\li567\\tx5103 " + Escaped(Entry(label, field, unit)) + "\\tab "
               + Escaped(Entry(label2, field2, unit2)) + "\\par\n";
        return *this;
    }
    // A row of the four-column table of section 13.
    RtfWriter& Row(std::array<std::string_view, 4> cells, bool underlined = false)
    {
        body_ += "\\pard\\li567\\tx3402\\tx6237\\tx8504 ";
        body_ += underlined ? "\\ul " : "";
        for (std::size_t i = 0; i < cells.size(); ++i)
            body_ += (i ? "\\tab " : "") + Escaped(cells[i]);
        body_ += underlined ? "\\ul0\\par\n" : "\\par\n";
        return *this;
    }
    // One line of cells on tab stops of its own (twips from the text's left
    // edge, aligned left, right or centred); the first cell starts at the indent.
    struct Tab {
        int twips;
        char kind; // 'l', 'r' or 'c'
    };
    RtfWriter& Cells(const std::vector<Tab>& tabs, const std::vector<std::string>& utf8Cells, int halfPoints = 20,
                     std::string_view style = {})
    {
        body_ += "\\pard\\li567\\fs" + std::to_string(halfPoints);
        for (const Tab& tab : tabs)
            body_ += std::string(tab.kind == 'r' ? "\\tqr" : tab.kind == 'c' ? "\\tqc" : "") + "\\tx" + std::to_string(tab.twips);
        body_ += " " + std::string(style);
        for (std::size_t i = 0; i < utf8Cells.size(); ++i)
            body_ += (i ? "\\tab " : "") + Escaped(utf8Cells[i]);
        body_ += (style.empty() ? "" : "\\plain\\f0") + std::string("\\fs20\\par\n");
        return *this;
    }
    // Raw RTF of a heading that needs line breaks and tabs of its own.
    RtfWriter& Raw(std::string_view rtf)
    {
        body_ += rtf;
        return *this;
    }

    std::string Text() const
    {
        return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\n\\f0\\fs20\n" + body_ + "}";
    }

    static std::string Escaped(std::string_view utf8) { return RtfEscaped(Ansi(utf8)); }

private:
    // The unit only follows a value: an empty field leaves its label alone.
    static std::string Entry(std::string_view label, std::string_view field, std::string_view unit)
    {
        std::string text = std::string(label) + " : <" + std::string(field);
        if (!unit.empty())
            text += "| " + std::string(unit);
        return text + ">";
    }

    std::string body_;
};

constexpr const char* kPointRule =
    "Für die Auswertung der Nachhallzeit mit der Schröder-Integration (Scharmittelwert) müßen 18 Meßpunkte mit "
    "jeweils mind. 1 Messung durchgeführt werden, für andere Messsignale sind mind. 6 Meßpunkte mit je 3 Messungen "
    "erforderlich.";

std::string SectionOneText()
{
    return RtfWriter()
        .Heading("1. Name und Lage des Raumes ")
        .Line("Adresse ")
        .Field("Name", "OName")
        .Field("Straße", "OStrasse")
        .Field("Plz/Ort", "OOrt")
        .Field("Nutzung", "ONutzung")
        .Field("Lage", "OLage")
        .Text();
}

std::string SectionsThreeToFifteenText()
{
    RtfWriter text;
    text.Heading("3. Raumvolumen")
        .Field("Länge", "RVLaenge", "m")
        .Field("Breite", "RVBreite", "m")
        .Field("Höhe", "RVHoehe", "m")
        .Field("Raumvolumen", "RVQBM", "m³")
        .Line("Wenn es sich nicht um einen vollständig geschlossenen Raum handelt Erläuterung :")
        .Line("<RVNote>");
    text.Heading("4. Raum dient für Sprach- und Musikdarbietungen ")
        .Line("Ist nur ausgefüllt falls Raum für Sprach- und Musikdarbietungen:")
        .Field("Anzahl der Sitze", "RNSitze", "Stk.")
        .Field("Typ der Sitze", "RNSitzeTyp")
        .Field("Polsterdicke", "RNSitzePolster", "mm")
        .Field("Material", "RNSitzeMat")
        .Field("Ausführung", "RNSitzeArt")
        .Field("Sitzpolsterung", "RNSitzeTeile");
    text.Heading("5. Beschreibung der Form des Raumes und des Materials der Wände und Decken/Böden")
        .Field("Raumform", "RMForm")
        .Line("Materialangaben: ")
        .Fields("Seitenwände", "RMSwand", "", "Hohlraumtiefe", "RMSWandHT", "mm")
        .Fields("Vorderwand", "RMVWand", "", "Hohlraumtiefe", "RMVWandHT", "mm")
        .Fields("Rückwandwand", "RMRWand", "", "Hohlraumtiefe", "RMRWandHT", "mm")
        .Fields("Decke", "RMDecke", "", "Hohlraumtiefe", "RMDeckeHT", "mm")
        .Field("Fußboden", "RMFussboden");
    text.Heading("6. Besetzungs-Zustand während der Messsung/Messungen")
        .Field("maximale mögliche. Anzahl", "RBPersonen", "Personen")
        .Field("während der Messung", "RBPersMes", "Personen")
        .Field("entspricht", "RBPersProzent:0.0", "%")
        .Line("bei 80-100% kann der Raum als besetzt angesehen werden ")
        .Field("Kommentar", "RBNote");
    text.Heading("7. Zustand der veränderlichen Ausstattung (z.B. in Theaterräumen)")
        .Field("Bühnenvorhang", "RZVorhangBuehne")
        .Field("Eisener Vorhang", "RZVorhangEisen")
        .Field("Vorhangstoffe auf der Bühne", "RZVorhangBStoff")
        .Field("Vorhangstoffe im Saal", "RZVorhangSStoff")
        .Field("Nachhallverlängerungssysteme", "RZNachhallSys")
        .Field("Beschallungsanlage", "RZBAnlage")
        .Field("Kommentar", "RZNote2");
    text.Raw("\\pard\\sb160\\li567\\fi-567\\tx567\\b " + RtfWriter::Escaped("8.") + "\\tab "
             + RtfWriter::Escaped("Beschreibung der Bühnenausstattung während der Messung in Theatern und ") + "\\line "
             + RtfWriter::Escaped("Mehrzweckräumen evtl. einschließlich Konzertzimmeraufbaus") + "\\b0\\par\n")
        .Line("<RZNote1>");
    text.Heading("9. Angaben zum Raumklima")
        .Line("Temperatur : <RKTemp| ><RKTempEinheit>")
        .Field("relative Luftfeuchte", "RKLuftfeuchte", "%")
        .Field("relativer Luftdruck", "RKLuftDruck", "mbar");
    text.Heading("10. Typ und Aufstellung der Schallquelle/Schallquellen")
        .Line("Angaben für eigene Meßschallquelle")
        .Field("Hersteller", "SLHersteller")
        .Field("Typ", "SLTyp")
        .Field("Omidirektional", "SLOmni")
        .Field("falls nein Richtungsfaktor", "SLRFaktor")
        .Fields("SPL-Wert", "SMPegel", "dB", "Abstand", "SMABSPL", "m")
        .Line("Angaben für vorhandene Beschallungsanlage :")
        .Field("Hersteller", "SHersteller")
        .Field("Typ", "STyp")
        .Field("Anzahl", "SLAnz")
        .Field("Richtungsfaktor", "SRFakor")
        .Fields("SPL-Wert", "SPegel", "dB", "Abstand", "SABSPL", "m")
        .Line("weitere Angaben: <SNote>");
    text.Heading("11. Beschreibung des Meßsignales ")
        .Field("Signal", "SSSignal")
        .Field("Kommentar", "SSNote");
    text.Heading("12. Mikrofonstellung, Meßpunktdichte")
        .Line("Die Nachhallzeit wurde an mehreren Meßpunkten mit jeweils einer oder mehreren Messungen bestimmt:")
        .Field("Anzahl Meßpunkte", "AnzMesspunkte")
        .Field("Gesamtanzahl Messsungen", "AnzMessungen")
        .Line(kPointRule)
        .Line("Die Meßpunkte und ihre Messungen sind im Anhang (Meßbericht) aufgeführt, ihre Lage ist im Grundriß "
              "eingezeichnet.");
    text.Heading("13. Beschreibung der Meßgeräte und der Meßapparatur")
        .Row({"Schallquelle", "Hersteller", "Typ", "Ser.Nr."}, true)
        .Row({"Mikrofon", "<GMicHer>", "<GMicTyp>", "<GMicSnr>"})
        .Row({"Verstärker", "<GVHer>", "<GVTyp>", "<GVSnr>"})
        .Row({"Meßgerät", "<GMGHer>", "<GMGTyp>", "<GMGSnr>"})
        .Row({"Schallpegelmesser", "<GSPHer>", "<GSPTyp>", "<GSPSnr>"})
        .Row({"Filter", "<GFHer>", "<GFTyp>", "<GFSnr>"})
        .Row({"Pegelschreiber", "<GPHer>", "<GPTyp>", "<GPSnr>"})
        .Row({"Aufzeichnungsgerät", "<GAHer>", "<GATyp>", "<GASnr>"})
        .Row({"<GM1Name>", "<GM1Her>", "<GM1Typ>", "<GM1Snr>"})
        .Row({"<GM2Name>", "<GM2Her>", "<GM2Typ>", "<GM2Snr>"})
        .Row({"<GM3Name>", "<GM3Her>", "<GM3Typ>", "<GM3Snr>"})
        .Row({"<GM4Name>", "<GM4Her>", "<GM4Typ>", "<GM4Snr>"});
    text.Heading("14. Datum der Messung und Bezeichnung der Prüfstelle")
        .Line("Datum der Messung:")
        .Field("am/von", "OVon")
        .Field("am/bis", "OBis")
        .Field("Prüfer", "OPruefer");
    text.Heading("15. Ergebnisse");
    return text.Text();
}

std::string MeasurementIntroText()
{
    return RtfWriter()
        .Raw("\\pard\\b " + RtfWriter::Escaped("Meßbericht") + "\\b0\\par\n")
        .Raw("\\pard " + RtfWriter::Escaped("Im folgendem werden alle Meßpunkte mit deren Messungen aufgeführt. ") + "\\par\n")
        .Raw("\\pard " + RtfWriter::Escaped(kPointRule) + "\\par\n")
        .Text();
}

// Print date, page number and count, and the executing company: the foot of
// the test and measurement reports, in a band of the printable width.
void WriteTestFooter(ReportLayout& layout, double width)
{
    BandWriter footer(layout, BandKind::PageFooter, 24);
    footer.HorizontalLine(0, 0, width);
    footer.Label("Prüfberichtsnr.:", {3, 2, 27, kRow});
    footer.Data(kPData, "OPruefNr", {31, 2, 60, kRow});
    footer.Label("Prüfer:", {3, 7, 27, kRow});
    footer.Data(kPData, "OPruefer", {31, 7, 60, kRow});
    footer.Label("Datum:", {3, 12, 27, kRow});
    footer.System(SystemVariableKind::PrintDate, {31, 12, 60, kRow});
    footer.Label("Seite:", {3, 17, 27, kRow});
    footer.System(SystemVariableKind::PageNumberOfCount, {31, 17, 60, kRow});
    footer.Label("Ausführende Firma", {100, 2, width - 103, kRow}, Arial(10, true));
    footer.Data(kLData, "LFirma", {100, 7, width - 103, kRow});
    footer.Data(kLData, "LStrasse", {100, 12, width - 103, kRow});
    footer.Data(kLData, "LOrt", {100, 17, width - 103, kRow});
}

void WritePageFrame(ReportLayout& layout)
{
    const PageSetup& page = layout.Page;
    BandWriter(layout, BandKind::PageBackground, page.PrintableHeight())
        .Frame({0, 0, page.PrintableWidth(), page.PrintableHeight()});
}

ReportLayout TableLayout()
{
    ReportLayout layout;
    layout.Page = {210, 297, 6.35, 6.35, 6.35, 6.35, ReportPasses::Two};
    layout.MainPipeline = kPipeData;
    const double width = layout.Page.PrintableWidth();
    constexpr std::array<const char*, 12> kColumns = {"Hz", "EDT", "RT20", "RT30", "RTxx", "C35",
                                                      "C50", "C80", "Cxx", "D50", "D80", "Ts"};
    const double column = width / static_cast<double>(kColumns.size());

    // The heading says whose values these are: the program puts in the lines.
    BandWriter title(layout, BandKind::Title, 30);
    title.Label("Werte in Tabellenform", {0, 0, width, 11}, Arial(24, true, kTeal));
    title.RichText(kMeasurementText, "", {0, 14, width, 14});

    BandWriter header(layout, BandKind::PageHeader, 10);
    header.HorizontalLine(0, 0, width, 2, kTeal);
    BandWriter detail(layout, BandKind::Detail, 6);
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        const Box title{static_cast<double>(i) * column, 2.5, column - 1, kRow};
        header.Label(i == 0 ? "Hz" : Utf8(ParameterHeading(kColumns[i])), title, Arial(9, true),
                     i == 0 ? TextAlignment::Left : TextAlignment::Right);
        const Box value{static_cast<double>(i) * column, 0.5, column - 1, kRow};
        detail.Data(kPipeData, kColumns[i], value, {}, TextAlignment::Right, i == 0 ? "" : kTwoDecimals);
    }
    header.BottomLine(0, 10, width, 2, kTeal);
    detail.BottomLine(0, 6, width, 0.5);

    BandWriter footer(layout, BandKind::PageFooter, 8);
    footer.System(SystemVariableKind::PrintDate, {0, 3, 60, 4}, Arial(9));
    footer.Label("Seite", {width - 60, 3, 34, 4}, Arial(9), TextAlignment::Right);
    footer.System(SystemVariableKind::PageNumberOfCount, {width - 25, 3, 25, 4}, Arial(9));
    return layout;
}

ReportLayout DiagramLayout()
{
    ReportLayout layout;
    layout.Page = {210, 297, 25.4, 6.35, 10, 10, ReportPasses::One};
    layout.MainPipeline = kPipeValues;
    const double width = layout.Page.PrintableWidth();
    const double height = layout.Page.PrintableHeight();
    constexpr std::array<const char*, 10> kColumns = {"Hz", "EDT", "RT20", "RT30", "C35",
                                                      "C50", "C80", "D50", "D80", "Ts"};
    const double column = (width - 6) / static_cast<double>(kColumns.size());

    BandWriter background(layout, BandKind::PageBackground, height);
    background.Frame({0, 0, width, height});
    background.Label("Nachhallzeit nach DIN EN ISO 3382", {3, 3, 140, kRow}, Arial(10, true));
    background.Label("Antragsteller :", {3, 9, 25, kRow});
    background.Data(kPData, "AFirma", {28, 9, 115, kRow});
    background.HorizontalLine(0, 15, width);
    background.VerticalLine(width - 30, 0, 15);
    // The diagram and its caption in the middle, the room data to the left.
    background.Label("ø RT 20 ", {49, 111, 40, kRow});
    ReportElement& diagram = background.Image(kDiagramImage, {49, 116, 124.6, 86.3}, true);
    diagram.AutoSize = true;
    background.Label("Raumdaten", {3, 116, 44, kRow}, Arial(10, true));
    background.Label("Volumen ", {3, 121.5, 16, kRow});
    background.Data(kPData, "RVQBM", {19, 121.5, 18, kRow}, {}, TextAlignment::Right);
    background.Label("m³", {38, 121.5, 8, kRow});
    background.Label("weitere Daten siehe Prüfbericht", {3, 127, 44, 4}, Arial(8));
    background.Label("Nachhallzeiten Mittelwert", {3, 139, 44, kRow}, Arial(10, true));
    background.Label("(berechnet aus 500, 1000 Hz)", {3, 144, 44, 4}, Arial(8));
    constexpr std::array<std::pair<const char*, const char*>, 3> kMeans = {
        {{"EDT =", "veEDT"}, {"RT 20 =", "veRT20"}, {"RT 30 =", "veRT30"}}};
    for (std::size_t i = 0; i < kMeans.size(); ++i) {
        const double top = 150 + static_cast<double>(i) * 5.5;
        background.Label(kMeans[i].first, {3, top, 18, kRow}, Arial(10, true));
        background.Variable(kMeans[i].second, {21, top, 18, kRow}, Arial(10, true), TextAlignment::Right);
    }
    // The band values in a box, one column per band; 8000 Hz is kept but hidden.
    constexpr double kBoxTop = 208;
    constexpr double kSlot = 21;
    background.Frame({3, kBoxTop, width - 6, 14}, 0.75);
    background.Label("T in s", {5, kBoxTop + 7, 22, kRow});
    constexpr std::array<std::pair<const char*, const char*>, 7> kBands = {
        {{"125 Hz", "v125"}, {"250 Hz", "v250"}, {"500 Hz", "v500"}, {"1000 Hz", "v1000"},
         {"2000 Hz", "v2000"}, {"4000 Hz", "v4000"}, {"8000 Hz", "v8000"}}};
    for (std::size_t i = 0; i < kBands.size(); ++i) {
        const bool shown = i + 1 < kBands.size();
        const double left = 28 + static_cast<double>(i) * kSlot;
        background.Label(kBands[i].first, {left, kBoxTop + 1.5, kSlot, kRow}, {}, TextAlignment::Center).Visible = shown;
        background.Variable(kBands[i].second, {left, kBoxTop + 7, kSlot, kRow}, Arial(10, true), TextAlignment::Center)
            .Visible = shown;
        if (shown)
            background.VerticalLine(left, kBoxTop, 14);
    }
    // The DIN 18041 verdicts under the band values, put in by the program.
    background.RichText(kAssessmentText, "", {3, kBoxTop + 15, width - 6, 12}).Stretch = false;
    // The foot: report number, examiner, date and page; the executing company.
    constexpr double kFoot = 236;
    background.HorizontalLine(0, kFoot, width);
    background.Label("Prüfberichtsnr.:", {3, kFoot + 3, 28, kRow});
    background.Data(kPData, "OPruefNr", {32, kFoot + 3, 60, kRow});
    background.Label("Prüfer :", {3, kFoot + 8.5, 28, kRow});
    background.Data(kPData, "OPruefer", {32, kFoot + 8.5, 60, kRow});
    background.Label("Datum:", {3, kFoot + 14, 28, kRow});
    background.System(SystemVariableKind::PrintDate, {32, kFoot + 14, 60, kRow});
    background.Label("Seite:", {3, kFoot + 19.5, 28, kRow});
    background.System(SystemVariableKind::PageNumberOfCount, {32, kFoot + 19.5, 60, kRow});
    background.Label("Ausführende Firma:", {100, kFoot + 3, width - 103, kRow}, Arial(10, true));
    background.Data(kLData, "LFirma", {100, kFoot + 8.5, width - 103, kRow});
    background.Data(kLData, "LStrasse", {100, kFoot + 14, width - 103, kRow});
    background.Data(kLData, "LOrt", {100, kFoot + 19.5, width - 103, kRow});

    // Below the background's heading: the place and the table of averages.
    BandWriter header(layout, BandKind::PageHeader, 58);
    header.Label("Messort:", {3, 17, 40, kRow}, Arial(10, true));
    header.Data(kPData, "OName", {3, 21.5, 120, kRow});
    header.Data(kPData, "OStrasse", {3, 26, 120, kRow});
    header.Data(kPData, "OOrt", {3, 30.5, 120, kRow});
    header.Data(kPData, "ONutzung", {3, 35, 60, kRow});
    header.Data(kPData, "OLage", {65, 35, 60, kRow});
    header.Label("Ergebnisse Tabellarisch:", {3, 41, 48, kRow}, Arial(10, true));
    header.Label("(Durchschnittswerte über alle Messungen)", {53, 41.4, 80, 4}, Arial(8));
    header.Label("Anzahl Messpunkte:", {3, 46, 36, kRow});
    header.Data(kPData, "AnzMesspunkte", {40, 46, 15, kRow});
    header.Label("Anzahl Messungen:", {60, 46, 36, kRow});
    header.Data(kPData, "AnzMessungen", {97, 46, 15, kRow});
    header.HorizontalLine(0, 51.5, width);
    BandWriter detail(layout, BandKind::Detail, 5);
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        const double left = 3 + static_cast<double>(i) * column;
        header.Label(i == 0 ? "Hz" : Utf8(ParameterHeading(kColumns[i])), {left, 52.5, column - 1, kRow}, Arial(9, true),
                     i == 0 ? TextAlignment::Left : TextAlignment::Right);
        detail.Data(kPipeValues, kColumns[i], {left, 0.5, column - 1, kRow}, {},
                    i == 0 ? TextAlignment::Left : TextAlignment::Right, i == 0 ? "" : kTwoDecimals);
    }
    header.BottomLine(0, 58, width, 0.75);
    detail.BottomLine(0, 5, width, 0.5);
    return layout;
}

ReportLayout TestLayout()
{
    ReportLayout layout;
    layout.Page = {210, 297, 25, 8, 10, 15, ReportPasses::One};
    layout.MainPipeline = kPData;
    const double width = layout.Page.PrintableWidth();
    WritePageFrame(layout);

    BandWriter header(layout, BandKind::PageHeader, 17);
    header.Label("Prüfbericht für die Messung der Nachhallzeit nach DIN EN ISO 3382", {3, 2.5, width - 36, kRow},
                 Arial(10, true));
    header.Label("Antragsteller:", {3, 8.5, 25, kRow});
    header.Data(kPData, "AFirma", {28, 8.5, width - 64, kRow});
    header.VerticalLine(width - 30, 0, 15);
    header.HorizontalLine(0, 15, width);

    const double text = width - 6;
    BandWriter detail(layout, BandKind::Detail, 296);
    detail.RichText("ppAbschnitt1", SectionOneText(), {3, 2, text, 30}).MailMerge = true;
    detail.Label("2. Grundriß", {3, 35, 60, kRow}, Arial(10, true));
    detail.Image(kSketchImage, {3, 41, 167.6, 111.3}, true);
    detail.Label("Maßstab:", {3, 154, 20, kRow});
    detail.Data(kPData, "OMasstab", {23, 154, 80, kRow});
    detail.RichText(kTestText, SectionsThreeToFifteenText(), {3, 161, text, 20}).MailMerge = true;
    // Section 15: the averaged values and conditions, the diagram, the consultant's text.
    detail.RichText(kResultsSection, "", {3, 183, text, 10}).FollowElement = kTestText;
    detail.Image(kTestDiagramImage, {22, 195, 124.6, 86.3}, true).FollowElement = kResultsSection;
    detail.RichText(kResultsText, "", {13, 284, text - 10, 10}).FollowElement = kTestDiagramImage;

    WriteTestFooter(layout, width);
    return layout;
}

ReportLayout MeasurementLayout()
{
    ReportLayout layout;
    layout.Page = {210, 297, 25, 8, 10, 15, ReportPasses::Two};
    layout.MainPipeline = kMessPunktPipe;
    const double width = layout.Page.PrintableWidth();
    WritePageFrame(layout);

    const auto writeHeading = [&](BandWriter& band) {
        band.Label("Meßbericht ", {3, 2.5, 25, kRow}, Arial(10, true));
        band.Label("Anhang zum Prüfbericht  nach DIN EN ISO 3382", {28, 2.5, width - 31, kRow}, Arial(10, true));
        band.Label("Antragsteller:", {3, 8.5, 25, kRow});
        band.Data(kPData, "AFirma", {28, 8.5, width - 31, kRow});
        band.HorizontalLine(0, 15, width);
    };

    BandWriter title(layout, BandKind::Title, 56);
    writeHeading(title);
    title.RichText("ppMessText", MeasurementIntroText(), {3, 18, width - 6, 20});
    title.Label("Anzahl Messpunkte im Projekt:", {3, 42, 55, kRow});
    title.Data(kPData, "AnzMesspunkte", {58, 42, 20, kRow}, Arial(10, true));
    title.Label("Gesamtanzahl Messungen:", {3, 47.5, 55, kRow});
    title.Data(kPData, "AnzMessungen", {58, 47.5, 20, kRow}, Arial(10, true));
    title.HorizontalLine(0, 54, width);

    BandWriter header(layout, BandKind::PageHeader, 17);
    layout.Band(BandKind::PageHeader).PrintOnFirstPage = false;
    writeHeading(header);

    const ReportFont label = Arial(11, true);
    const ReportFont value = Arial(11);
    constexpr double kLine = 5.5;
    constexpr double kMic = 58;
    constexpr double kSpeaker = 118;
    BandWriter detail(layout, BandKind::Detail, 57);
    const auto row = [](int i) { return 2 + i * kLine; };
    detail.Label("Messpunktbezeichnung", {3, row(0), 54, kLine}, label);
    detail.Data(kMessPunktPipe, "Name", {kMic, row(0), width - kMic - 3, kLine}, value);
    detail.Label("Anzahl Messungen", {3, row(1), 54, kLine}, label);
    detail.Data(kMessPunktPipe, "AnzMessungen", {kMic, row(1), 30, kLine}, value);
    detail.Label("Meßdateien", {3, row(2), 54, kLine}, label);
    // Long file lists wrap; the remark keeps its line breaks.
    detail.Memo("<Files>", {kMic, row(2), width - kMic - 3, kLine}, value);
    detail.Label("Mikrofon", {kMic, row(3) + 1, 55, kLine}, label);
    detail.Label("Lautsprecher", {kSpeaker, row(3) + 1, 55, kLine}, label);
    detail.Label("Position ", {3, row(4) + 1, 54, kLine}, label);
    detail.Data(kMessPunktPipe, "MicPos", {kMic, row(4) + 1, 58, kLine}, value);
    detail.Data(kMessPunktPipe, "Lautpos", {kSpeaker, row(4) + 1, width - kSpeaker - 3, kLine}, value);
    detail.Label("Ausrichtung", {3, row(5) + 1, 54, kLine}, label);
    detail.Data(kMessPunktPipe, "MicRichtung", {kMic, row(5) + 1, 58, kLine}, value);
    detail.Label("Abstand zum Boden", {3, row(6) + 1, 54, kLine}, label);
    detail.Data(kMessPunktPipe, "MicAbBoden", {kMic, row(6) + 1, 20, kLine}, value, TextAlignment::Right);
    detail.Label("m", {kMic + 21, row(6) + 1, 6, kLine}, value);
    detail.Data(kMessPunktPipe, "LautAbBoden", {kSpeaker, row(6) + 1, 20, kLine}, value, TextAlignment::Right);
    detail.Label("m", {kSpeaker + 21, row(6) + 1, 6, kLine}, value);
    detail.Label("Abstand zur Wand", {3, row(7) + 1, 54, kLine}, label);
    detail.Data(kMessPunktPipe, "MicAbWand", {kMic, row(7) + 1, 20, kLine}, value, TextAlignment::Right);
    detail.Label("m", {kMic + 21, row(7) + 1, 6, kLine}, value);
    detail.Data(kMessPunktPipe, "LautAbWand", {kSpeaker, row(7) + 1, 20, kLine}, value, TextAlignment::Right);
    detail.Label("m", {kSpeaker + 21, row(7) + 1, 6, kLine}, value);
    detail.Label("Bemerkung", {3, row(8) + 1, 54, kLine}, label);
    detail.Memo("<Note>", {kMic, row(8) + 1, width - kMic - 3, kLine}, value);
    detail.BottomLine(0, 57, width, 0.75);

    WriteTestFooter(layout, width);
    return layout;
}

constexpr double kTwipsPerMm = 1440 / 25.4;

int Twips(double mm)
{
    return static_cast<int>(mm * kTwipsPerMm + 0.5);
}

std::string Number(double value, const char* format, const NumberDisplaySettings& numbers)
{
    return Utf8(FormatDisplayNumber(value, format, numbers));
}

// The columns of the averaged results: field, flag index into DecayFlags.
struct ResultColumn {
    const char* field;
    std::size_t position; // in the results file
    int flag;
};
constexpr std::array<ResultColumn, 7> kTestColumns = {{{"EDT", 2, 0}, {"RT20", 3, 1}, {"RT30", 4, 2}, {"C50", 7, -1},
                                                        {"C80", 8, -1}, {"D50", 11, -1}, {"Ts", 13, -1}}};

std::vector<std::string> SplitResultsLine(std::string_view line)
{
    std::vector<std::string> fields;
    for (;;) {
        const auto end = line.find(';');
        fields.emplace_back(line.substr(0, end));
        if (end == std::string_view::npos)
            return fields;
        line.remove_prefix(end + 1);
    }
}

std::string SampleRatesText(const std::vector<double>& rates, const NumberDisplaySettings& numbers)
{
    std::string text;
    for (const double rate : rates)
        text += (text.empty() ? "" : ", ") + Number(rate, "0", numbers) + " Hz";
    return text.empty() ? "-" : text;
}

const BandAssessment* BandOf(const std::optional<RoomAssessment>& assessment, double centre)
{
    if (!assessment)
        return nullptr;
    for (const BandAssessment& band : assessment->Bands)
        if (band.CentreHz == centre)
            return &band;
    return nullptr;
}

void WriteAssessment(RtfWriter& text, const std::optional<RoomAssessment>& assessment, const NumberDisplaySettings& numbers)
{
    text.Line("Bewertung nach DIN 18041 (2016):");
    if (!assessment) {
        text.Line("Für die Bewertung fehlen in den Projektdaten die Nutzungsart oder das Raumvolumen.");
        return;
    }
    text.Line("Nutzungsart : " + Utf8(UsageClassName(assessment->Usage)))
        .Line("Raumvolumen : " + Number(assessment->Volume, "0", numbers) + " m³")
        .Line(Utf8(TargetText(*assessment, numbers.decimalSeparator)));
    if (assessment->Target)
        text.Line("Bewertet ist die Nachhallzeit RT20 im Verhältnis T/T_soll zum Toleranzbereich der Nutzungsart "
                  "(Spalte DIN 18041).");
}

} // namespace

std::string TestResultsText(const std::vector<std::string>& averagedLines, const ProjectSurvey& survey,
                            const std::optional<RoomAssessment>& assessment, const NumberDisplaySettings& numbers)
{
    RtfWriter text;
    text.Line("Gemittelte Ergebnisse aller Messungen je Oktavband:");
    // Hz at the indent, the values right-aligned, the verdict left-aligned.
    std::vector<RtfWriter::Tab> tabs;
    for (std::size_t i = 0; i < kTestColumns.size(); ++i)
        tabs.push_back({Twips(40 + 16 * static_cast<double>(i)), 'r'});
    tabs.push_back({Twips(141), 'l'});
    std::vector<std::string> heading = {"Hz"};
    for (const ResultColumn& column : kTestColumns)
        heading.push_back(Utf8(ParameterHeading(column.field)));
    heading.push_back("DIN 18041");
    text.Cells(tabs, heading, 16, "\\b\\ul ");
    bool anyFlag = false;
    for (const std::string& line : averagedLines) {
        const auto fields = SplitResultsLine(line);
        if (fields.size() < 14)
            continue;
        const auto band = std::find(BandLabels.begin(), BandLabels.end(), fields[1]);
        const std::size_t key = static_cast<std::size_t>(band - BandLabels.begin());
        std::vector<std::string> cells = {Utf8(fields[1])};
        for (const ResultColumn& column : kTestColumns) {
            std::string value;
            try {
                value = Number(GeneralFloatValue(fields[column.position], numbers.Decimal()), "0.00", numbers);
            } catch (const DazoError&) {
                value = "-";
            }
            const bool flagged = column.flag >= 0 && band != BandLabels.end() && key < survey.Flags.size()
                              && survey.Flags[key][static_cast<std::size_t>(column.flag)];
            anyFlag = anyFlag || flagged;
            cells.push_back(value + (flagged ? " !" : ""));
        }
        double centre = 0;
        try {
            centre = GeneralFloatValue(fields[1], FormatSettings::English());
        } catch (const DazoError&) {
        }
        const BandAssessment* assessed = BandOf(assessment, centre);
        cells.push_back(assessed && assessed->Result ? Utf8(VerdictText(*assessed->Result)) : "");
        text.Cells(tabs, cells, 18);
    }
    if (anyFlag)
        text.Cells({}, {Utf8(DecayFlagLegend(true))}, 16);

    text.Line("").Line("Meßbedingungen:")
        .Line("Anzahl Meßpunkte : " + std::to_string(survey.Points))
        .Line("Anzahl Messungen : " + std::to_string(survey.Measurements))
        .Line("Abtastrate : " + SampleRatesText(survey.SampleRates, numbers))
        .Line(std::string("Kompensation des Grundrauschens (Lundeby) : ") + (survey.Compensated ? "ein" : "aus"))
        .Line(std::string("Qualitätskennzeichen : ")
              + (anyFlag ? "siehe \"!\" in der Tabelle" : "alle Abklingzeiten ohne Beanstandung"));
    text.Line("");
    WriteAssessment(text, assessment, numbers);
    return text.Text();
}

std::string DiagramAssessmentText(const RoomAssessment& assessment, const NumberDisplaySettings& numbers,
                                  const std::vector<double>& bandCentresMm)
{
    RtfWriter text;
    std::vector<RtfWriter::Tab> tabs;
    std::vector<std::string> cells = {"DIN 18041"};
    for (std::size_t i = 0; i < bandCentresMm.size() && i < assessment.Bands.size(); ++i) {
        tabs.push_back({Twips(bandCentresMm[i]), 'c'});
        const auto& result = assessment.Bands[i].Result;
        cells.push_back(result ? Utf8(VerdictText(*result)) : "-");
    }
    text.Cells(tabs, cells, 16);
    text.Cells({}, {Utf8(UsageClassName(assessment.Usage)) + ", " + Utf8(TargetText(assessment, numbers.decimalSeparator))},
               16);
    return text.Text();
}

const char* TemplateName(ReportKind kind)
{
    switch (kind) {
    case ReportKind::Table: return "tabelle.rtm";
    case ReportKind::Diagram: return "diagram.rtm";
    case ReportKind::Test: return "Pruefbericht.rtm";
    case ReportKind::Measurement: return "Messbericht.rtm";
    }
    return "";
}

ReportLayout DefaultLayout(ReportKind kind)
{
    switch (kind) {
    case ReportKind::Table: return TableLayout();
    case ReportKind::Diagram: return DiagramLayout();
    case ReportKind::Test: return TestLayout();
    case ReportKind::Measurement: return MeasurementLayout();
    }
    return {};
}

void DeclareResultsFields(TTextPipeline& pipeline)
{
    constexpr std::array<const char*, 14> kNames = {"Datei", "Hz",  "EDT",  "RT20", "RT30", "RTxx", "C35",
                                                    "C50",   "C80", "CVar", "Cxx",  "D50",  "D80",  "Ts"};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const TFieldType type = i < 2 ? TFieldType::String : TFieldType::Double;
        pipeline.DeclareField(kNames[i], static_cast<int>(i), type, kNames[i] == std::string_view("D80") ? 10 : 30);
    }
    pipeline.Delimiter = ';';
}

void DeclarePointsFields(TTextPipeline& pipeline)
{
    constexpr std::array<const char*, 14> kNames = {"Id",          "Name",    "MicPos",       "MicRichtung", "MicAbBoden",
                                                    "MicAbWand",   "Lautpos", "LautAbBoden",  "LautAbWand",  "Note",
                                                    "nn1",         "nn2",     "AnzMessungen", "Files"};
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        const TFieldType type = kNames[i] == std::string_view("AnzMessungen") ? TFieldType::Integer : TFieldType::String;
        pipeline.DeclareField(kNames[i], static_cast<int>(i), type, 10);
    }
    pipeline.Delimiter = '\t';
}

} // namespace dazo
