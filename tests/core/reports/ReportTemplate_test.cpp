// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportTemplate.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "reports/DefaultReports.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

using test::TempDir;

TEST(ReportTemplate, EveryDefaultLayoutSurvivesSaveAndLoad)
{
    TempDir dir;
    for (const ReportKind kind : {ReportKind::Table, ReportKind::Diagram, ReportKind::Test, ReportKind::Measurement}) {
        const ReportLayout layout = DefaultLayout(kind);
        const std::string file = dir.File(TemplateName(kind));
        SaveTemplate(layout, file);
        EXPECT_EQ(LoadTemplate(file), layout) << TemplateName(kind);
        EXPECT_EQ(test::ReadBytes(file).substr(0, 28), "{\r\n  \"format\": \"dazo-report\"");
    }
}

TEST(ReportTemplate, ChangedLayoutKeepsEveryProperty)
{
    ReportLayout layout;
    layout.Page = {148, 210, 1.5, 2.25, 3, 4, ReportPasses::Two};
    layout.MainPipeline = "PData";
    layout.Band(BandKind::PageHeader).PrintOnFirstPage = false;
    ReportElement e;
    e.Kind = ElementKind::RichText;
    e.Name = Ansi("Text\xC3\xA4");
    e.Left = -1.25;
    e.Top = 0.1;
    e.Width = 33.3;
    e.Height = 7;
    e.Font = {"Times New Roman", 11.5, true, true, true, 0x123abc};
    e.Alignment = TextAlignment::Center;
    e.Visible = false;
    e.Text = Ansi("{\\rtf1 \xC3\xA4 \"x\"\n\t}");
    e.Stretch = true;
    e.MailMerge = true;
    e.FollowElement = "Andere";
    layout.Band(BandKind::Title).Elements.push_back(e);
    e.Kind = ElementKind::Rectangle;
    e.Name = "r";
    e.Font = {};
    e.Alignment = TextAlignment::Left;
    e.Text.clear();
    e.Stretch = e.MailMerge = false;
    e.FollowElement.clear();
    e.PenWidth = 3.5;
    e.PenColor = 0xff0000;
    e.Filled = true;
    e.FillColor = 0x00ff00;
    layout.Band(BandKind::PageFooter).Elements.push_back(e);
    EXPECT_EQ(ParseTemplate(TemplateText(layout)), layout);
}

TEST(ReportTemplate, MissingOptionalKeysTakeDefaultsUnknownKeysAreIgnored)
{
    const ReportLayout layout = ParseTemplate(R"({"format": "dazo-report", "version": 1, "later": [1, {"x": 2}],
        "bands": [{"kind": "detail", "elements": [{"kind": "label", "name": "L", "text": "Hz", "new": true}]}]})");
    ReportLayout expected;
    ReportElement label;
    label.Name = "L";
    label.Text = "Hz";
    expected.Band(BandKind::Detail).Elements.push_back(label);
    EXPECT_EQ(layout, expected);
}

TEST(ReportTemplate, DamagedFileNamesTheTemplate)
{
    TempDir dir;
    const std::string good = TemplateText(DefaultLayout(ReportKind::Table));
    const std::string prefix = R"({"format": "dazo-report", "version": 1, "bands": [)";
    const std::string damaged[] = {
        good.substr(0, good.size() / 2),
        "",
        "\x89PNG\r\n\x1a\n",
        R"({"format": "fremd", "version": 1, "bands": []})",
        R"({"format": "dazo-report", "version": 2, "bands": []})",
        R"({"format": "dazo-report", "version": 1})",
        R"({"format": "dazo-report", "version": 1, "bands": [], "page": {"left": 150, "right": 60}})",
        R"({"format": "dazo-report", "version": 1, "bands": [], "page": {"passes": 3}})",
        prefix + R"({"kind": "detail"}, {"kind": "detail"}]})",
        prefix + R"({"kind": "seitenmitte"}]})",
        prefix + R"({"height": 5}]})",
        prefix + R"({"kind": "detail", "elements": [{"kind": "barcode", "name": "x"}]}]})",
        prefix + R"({"kind": "detail", "elements": [{"kind": "label"}]}]})",
        prefix + R"({"kind": "detail", "elements": [{"kind": "label", "name": "x", "width": -1}]}]})",
        prefix + R"({"kind": "detail", "elements": [{"kind": "label", "name": "x", "width": "5"}]}]})",
        prefix + R"({"kind": "detail", "elements": [{"kind": "line", "name": "x", "penColor": "red"}]}]})",
        prefix + R"({"kind": "detail", "elements": [{"kind": "label", "name": "x", "font": {"size": 0}}]}]})",
        prefix + std::string(5000, '[') + std::string(5000, ']') + "]}",
    };
    for (const std::string& text : damaged) {
        const std::string file = dir.Write("tabelle.rtm", text);
        try {
            LoadTemplate(file);
            ADD_FAILURE() << text.substr(0, 200);
        } catch (const DazoError& e) {
            EXPECT_EQ(e.what(), "Vorlage " + file + Ansi(" ist beschädigt")) << text.substr(0, 200);
        }
    }
    EXPECT_THROW(LoadTemplate(dir.File("fehlt.rtm")), DazoError);
}

} // namespace
} // namespace dazo
