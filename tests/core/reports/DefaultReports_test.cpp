// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/DefaultReports.h"

#include "common/Encoding.h"
#include "reports/TextPipeline.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

std::vector<std::string> Labels(const ReportBand& band)
{
    std::vector<std::string> texts;
    for (const auto& e : band.Elements)
        if (e.Kind == ElementKind::Label)
            texts.push_back(Utf8(e.Text));
    return texts;
}

std::vector<std::string> Fields(const ReportBand& band)
{
    std::vector<std::string> fields;
    for (const auto& e : band.Elements)
        if (e.Kind == ElementKind::DataText)
            fields.push_back(e.Pipeline + "." + e.Field);
    return fields;
}

TEST(DefaultReports, PageSetupsAndTemplateNames)
{
    const struct {
        ReportKind kind;
        const char* file;
        PageSetup page;
        const char* main;
    } cases[] = {
        {ReportKind::Table, "tabelle.rtm", {210, 297, 6.35, 6.35, 6.35, 6.35, ReportPasses::Two}, "PipeData"},
        {ReportKind::Diagram, "diagram.rtm", {210, 297, 25.4, 6.35, 10, 10, ReportPasses::One}, "PipeValues"},
        {ReportKind::Test, "Pruefbericht.rtm", {210, 297, 25, 8, 10, 15, ReportPasses::One}, "PData"},
        {ReportKind::Measurement, "Messbericht.rtm", {210, 297, 25, 8, 10, 15, ReportPasses::Two}, "MessPunktPipe"},
    };
    for (const auto& c : cases) {
        const ReportLayout layout = DefaultLayout(c.kind);
        EXPECT_STREQ(TemplateName(c.kind), c.file);
        EXPECT_EQ(layout.Page, c.page) << c.file;
        EXPECT_EQ(layout.MainPipeline, c.main);
        for (const auto& band : layout.Bands) {
            for (const auto& e : band.Elements) {
                EXPECT_EQ(layout.FindElement(e.Name), &e) << c.file << " " << e.Name; // names are unique
                EXPECT_EQ(e.Font.Family, "Arial");
            }
        }
    }
}

TEST(DefaultReports, TableReport)
{
    const ReportLayout layout = DefaultLayout(ReportKind::Table);
    const ReportElement& title = layout.Band(BandKind::Title).Elements.at(0);
    EXPECT_EQ(title.Text, "Werte in Tabellenform");
    EXPECT_EQ(title.Font, (ReportFont{"Arial", 24, true, false, false, kTeal}));
    EXPECT_EQ(Labels(layout.Band(BandKind::PageHeader)),
              (std::vector<std::string>{"Hz", "EDT [s]", "RT20 [s]", "RT30 [s]", "RTxx [s]", "C35 [dB]", "C50 [dB]",
                                        "C80 [dB]", "Cxx [dB]", "D50 [–]", "D80 [–]", "Ts [ms]"}));
    // The program names project, room, point and file over the table.
    EXPECT_NE(layout.FindElement(kMeasurementText), nullptr);
    const auto& detail = layout.Band(BandKind::Detail).Elements;
    EXPECT_EQ(Fields(layout.Band(BandKind::Detail)).size(), 12u);
    for (const auto& e : detail) {
        if (e.Kind == ElementKind::DataText) {
            EXPECT_EQ(e.Alignment, TextAlignment::Right);
            EXPECT_EQ(e.DisplayFormat, e.Field == "Hz" ? "" : "#,0.00;-#,0.00");
        }
    }
    const auto& footer = layout.Band(BandKind::PageFooter).Elements;
    ASSERT_EQ(footer.size(), 3u);
    EXPECT_EQ(footer[1].Text, "Seite");
    EXPECT_EQ(footer[2].SystemVariable, SystemVariableKind::PageNumberOfCount);
    EXPECT_EQ(footer[2].Font.Size, 9);
}

TEST(DefaultReports, DiagramReport)
{
    const ReportLayout layout = DefaultLayout(ReportKind::Diagram);
    const ReportElement* diagram = layout.FindElement("NachDiagramm");
    ASSERT_NE(diagram, nullptr);
    EXPECT_EQ(diagram->Width, 124.6);
    EXPECT_EQ(diagram->Height, 86.3);
    EXPECT_TRUE(diagram->AutoSize);
    for (const char* name : {"v125", "v250", "v500", "v1000", "v2000", "v4000", "v8000", "veEDT", "veRT20", "veRT30"}) {
        const ReportElement* v = layout.FindElement(name);
        ASSERT_NE(v, nullptr) << name;
        EXPECT_EQ(v->Kind, ElementKind::Variable);
        EXPECT_EQ(v->Visible, std::string(name) != "v8000") << name;
    }
    const auto background = Labels(layout.Band(BandKind::PageBackground));
    const std::vector<std::string> expected = {"Nachhallzeit nach DIN EN ISO 3382", "Antragsteller :", "ø RT 20 ",
        "Raumdaten", "Volumen ", "m³", "weitere Daten siehe Prüfbericht", "Nachhallzeiten Mittelwert",
        "(berechnet aus 500, 1000 Hz)", "EDT =", "RT 20 =", "RT 30 =", "T in s", "125 Hz", "250 Hz", "500 Hz",
        "1000 Hz", "2000 Hz", "4000 Hz", "8000 Hz", "Prüfberichtsnr.:", "Prüfer :", "Datum:", "Seite:",
        "Ausführende Firma:"};
    EXPECT_EQ(background, expected);
    EXPECT_EQ(Labels(layout.Band(BandKind::PageHeader)),
              (std::vector<std::string>{"Messort:", "Ergebnisse Tabellarisch:", "(Durchschnittswerte über alle Messungen)",
                                        "Anzahl Messpunkte:", "Anzahl Messungen:", "Hz", "EDT [s]", "RT20 [s]",
                                        "RT30 [s]", "C35 [dB]", "C50 [dB]", "C80 [dB]", "D50 [–]", "D80 [–]",
                                        "Ts [ms]"}));
    EXPECT_NE(layout.FindElement(kAssessmentText), nullptr);
    EXPECT_EQ(Fields(layout.Band(BandKind::Detail)),
              (std::vector<std::string>{"PipeValues.Hz", "PipeValues.EDT", "PipeValues.RT20", "PipeValues.RT30",
                                        "PipeValues.C35", "PipeValues.C50", "PipeValues.C80", "PipeValues.D50",
                                        "PipeValues.D80", "PipeValues.Ts"}));
}

TEST(DefaultReports, TestReportTextsInOrderWithPlaceholders)
{
    const ReportLayout layout = DefaultLayout(ReportKind::Test);
    const ReportElement* sketch = layout.FindElement("ppImage1");
    ASSERT_NE(sketch, nullptr);
    EXPECT_EQ(sketch->Width, 167.6);
    EXPECT_EQ(sketch->Height, 111.3);
    EXPECT_TRUE(sketch->KeepProportion);
    const ReportElement* sections = layout.FindElement("ppPruefText");
    const ReportElement* results = layout.FindElement("ppErgRTF");
    ASSERT_TRUE(sections && results);
    // Section 15 follows the sections, then the diagram, then the consultant's text.
    const ReportElement* values = layout.FindElement(kResultsSection);
    const ReportElement* diagram = layout.FindElement(kTestDiagramImage);
    ASSERT_TRUE(values && diagram);
    EXPECT_EQ(values->FollowElement, "ppPruefText");
    EXPECT_EQ(diagram->FollowElement, kResultsSection);
    EXPECT_EQ(results->FollowElement, kTestDiagramImage);
    EXPECT_TRUE(sections->Stretch && results->Stretch && sections->MailMerge);

    // Headings 3 .. 15 in order, and every placeholder a field name in brackets.
    std::size_t at = 0;
    for (int section = 3; section <= 15; ++section) {
        const auto found = sections->Text.find("\\b " + std::to_string(section) + ".", at);
        ASSERT_NE(found, std::string::npos) << section;
        at = found;
    }
    // A unit follows only a value; the occupancy prints one decimal.
    for (const char* placeholder : {"<SMABSPL| m>", "<RVQBM| m\\'b3>", "<GM4Snr>", "<OPruefer>", "<RZNote1>",
                                    "<RKTempEinheit>", "<RNSitzePolster| mm>", "<RBPersProzent:0.0| %>"})
        EXPECT_NE(sections->Text.find(placeholder), std::string::npos) << placeholder;
    EXPECT_NE(sections->Text.find("m\\'b3"), std::string::npos); // m³ in the code page of the RTF
    const ReportElement* first = layout.FindElement("ppAbschnitt1");
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first->Text.find("Name : <OName>"), std::string::npos);
    EXPECT_EQ(Labels(layout.Band(BandKind::Detail)), (std::vector<std::string>{"2. Grundriß", "Maßstab:"}));
    EXPECT_EQ(Labels(layout.Band(BandKind::PageFooter)),
              (std::vector<std::string>{"Prüfberichtsnr.:", "Prüfer:", "Datum:", "Seite:", "Ausführende Firma"}));
}

TEST(DefaultReports, MeasurementReport)
{
    const ReportLayout layout = DefaultLayout(ReportKind::Measurement);
    EXPECT_FALSE(layout.Band(BandKind::PageHeader).PrintOnFirstPage);
    EXPECT_EQ(Labels(layout.Band(BandKind::Title)).at(1), "Anhang zum Prüfbericht  nach DIN EN ISO 3382");
    EXPECT_EQ(Fields(layout.Band(BandKind::Detail)),
              (std::vector<std::string>{"MessPunktPipe.Name", "MessPunktPipe.AnzMessungen", "MessPunktPipe.MicPos",
                                        "MessPunktPipe.Lautpos", "MessPunktPipe.MicRichtung", "MessPunktPipe.MicAbBoden",
                                        "MessPunktPipe.LautAbBoden", "MessPunktPipe.MicAbWand",
                                        "MessPunktPipe.LautAbWand"}));
    // The file list wraps and the remark keeps its line breaks: growing memos.
    std::vector<std::string> memos;
    for (const auto& e : layout.Band(BandKind::Detail).Elements)
        if (e.Kind == ElementKind::Memo && e.Stretch && e.MailMerge)
            memos.push_back(e.Text);
    EXPECT_EQ(memos, (std::vector<std::string>{"<Files>", "<Note>"}));
    for (const auto& e : layout.Band(BandKind::Detail).Elements) {
        if (e.Kind == ElementKind::Label) {
            EXPECT_EQ(e.Font.Size, 11);
        }
    }
}

TEST(DefaultReports, PipelineDeclarations)
{
    TTextPipeline results;
    DeclareResultsFields(results);
    EXPECT_EQ(results.FieldCount(), 14);
    EXPECT_EQ(results.FieldPosition("CVar"), 9);
    EXPECT_EQ(results.Field(12).Length, 10);
    TTextPipeline points;
    DeclarePointsFields(points);
    EXPECT_EQ(points.Delimiter, '\t');
    EXPECT_EQ(points.FieldPosition("files"), 13);
}

} // namespace
} // namespace dazo
