// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportLayout.h"
#include "reports/ReportPagination.h"

#include "common/DazoError.h"
#include "reports/TextPipeline.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace dazo {
namespace {

// Every line of a text is 5 mm high; lines are separated by "\n".
class LineMeasurer : public ReportTextMeasurer {
public:
    double ContentHeight(const ReportElement&, const std::string& text) override { return 5.0 * Lines(text); }
    double BreakHeight(const ReportElement& e, const std::string& text, double limit) override
    {
        return std::min(std::floor(limit / 5.0) * 5.0, ContentHeight(e, text));
    }
    static int Lines(const std::string& text)
    {
        return text.empty() ? 0 : 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
};

std::string LinesOf(int count)
{
    std::string text = "1";
    for (int i = 2; i <= count; ++i)
        text += "\n" + std::to_string(i);
    return text;
}

ReportElement Element(ElementKind kind, std::string name, double top, double height, double left = 0)
{
    ReportElement e;
    e.Kind = kind;
    e.Name = std::move(name);
    e.Left = left;
    e.Top = top;
    e.Width = 40;
    e.Height = height;
    return e;
}

ReportElement Stretching(std::string name, double top, double height, std::string text)
{
    ReportElement e = Element(ElementKind::Memo, std::move(name), top, height);
    e.Stretch = true;
    e.Text = std::move(text);
    return e;
}

// A 100 x 100 mm page with 10 mm margins: 80 x 80 mm to print on.
ReportLayout SmallPage()
{
    ReportLayout layout;
    layout.Page = {100, 100, 10, 10, 10, 10, ReportPasses::Two};
    return layout;
}

class Pagination : public testing::Test {
protected:
    // A results-like pipeline of n records "1" .. "n".
    void Records(int n)
    {
        std::string text;
        for (int i = 1; i <= n; ++i)
            text += "r;" + std::to_string(i) + "\r\n";
        pipe.FileName = dir.Write("temp.$$$", text);
        pipe.DeclareField("Datei", 0, TFieldType::String, 30);
        pipe.DeclareField("Hz", 1, TFieldType::String, 30);
        pipe.Open();
        pipelines = {{"PipeData", "PipeData", &pipe}};
    }

    std::vector<ReportPage> Paginate(const ReportLayout& layout)
    {
        return PaginateReport(layout, {&pipelines, NumberDisplaySettings{}}, measurer);
    }

    static const PlacedElement* Find(const ReportPage& page, const std::string& name)
    {
        for (const auto& placed : page.Elements)
            if (placed.Element->Name == name)
                return &placed;
        return nullptr;
    }

    static std::vector<std::string> Texts(const ReportPage& page, const std::string& name)
    {
        std::vector<std::string> texts;
        for (const auto& placed : page.Elements)
            if (placed.Element->Name == name)
                texts.push_back(placed.Text);
        return texts;
    }

    test::TempDir dir;
    TTextPipeline pipe;
    ReportPipelines pipelines;
    LineMeasurer measurer;
};

TEST_F(Pagination, DetailBandsFillEachPageBetweenHeaderAndFooter)
{
    Records(10);
    ReportLayout layout = SmallPage();
    layout.MainPipeline = "PipeData";
    layout.Band(BandKind::PageHeader) = {BandKind::PageHeader, 10, true, {Element(ElementKind::Label, "head", 0, 5)}};
    ReportElement hz = Element(ElementKind::DataText, "hz", 0, 5);
    hz.Pipeline = "PipeData";
    hz.Field = "HZ";
    layout.Band(BandKind::Detail) = {BandKind::Detail, 15, true, {hz}};
    ReportElement page = Element(ElementKind::SystemVariable, "page", 2, 5);
    page.SystemVariable = SystemVariableKind::PageNumberOfCount;
    layout.Band(BandKind::PageFooter) = {BandKind::PageFooter, 10, true, {page}};
    layout.Band(BandKind::PageBackground).Elements = {Element(ElementKind::Rectangle, "frame", 0, 80)};

    const auto pages = Paginate(layout);
    // 60 mm between header and footer hold four 15 mm records.
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(Texts(pages[0], "hz"), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(Texts(pages[2], "hz"), (std::vector<std::string>{"9", "10"}));
    std::vector<double> tops;
    for (const auto& placed : pages[1].Elements)
        if (placed.Element->Name == "hz")
            tops.push_back(placed.Top);
    EXPECT_EQ(tops, (std::vector<double>{20, 35, 50, 65}));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        ASSERT_NE(Find(pages[i], "frame"), nullptr);
        EXPECT_EQ(Find(pages[i], "frame")->Top, 10);
        EXPECT_EQ(Find(pages[i], "head")->Top, 10);
        const PlacedElement& footer = *Find(pages[i], "page");
        EXPECT_EQ(footer.Top, 82);
        PageTextContext context{static_cast<int>(i) + 1, static_cast<int>(pages.size()), "01.12.2026", nullptr, {}};
        EXPECT_EQ(PrintedText(footer, context), std::to_string(i + 1) + " von 3");
    }
    EXPECT_TRUE(pipe.Eof());
}

TEST_F(Pagination, TitleOnFirstPageHeaderFromTheSecondOn)
{
    Records(6);
    ReportLayout layout = SmallPage();
    layout.MainPipeline = "PipeData";
    layout.Band(BandKind::Title) = {BandKind::Title, 20, true, {Element(ElementKind::Label, "title", 0, 10)}};
    layout.Band(BandKind::PageHeader) = {BandKind::PageHeader, 10, false, {Element(ElementKind::Label, "head", 0, 5)}};
    layout.Band(BandKind::Detail) = {BandKind::Detail, 15, true, {Element(ElementKind::Label, "row", 0, 5)}};

    const auto pages = Paginate(layout);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(Find(pages[0], "title"), nullptr);
    EXPECT_EQ(Find(pages[0], "head"), nullptr);
    EXPECT_EQ(Texts(pages[0], "row").size(), 4u); // 80 - 20 title
    EXPECT_EQ(Find(pages[0], "row")->Top, 30);
    EXPECT_EQ(Find(pages[1], "title"), nullptr);
    EXPECT_EQ(Find(pages[1], "head")->Top, 10);
    EXPECT_EQ(Find(pages[1], "row")->Top, 20);
    EXPECT_EQ(Texts(pages[1], "row").size(), 2u);

    // With the header on the first page too, it follows the title.
    pipe.Close();
    pipe.Open();
    layout.Band(BandKind::PageHeader).PrintOnFirstPage = true;
    EXPECT_EQ(Find(Paginate(layout)[0], "head")->Top, 30);
}

TEST_F(Pagination, StretchingTextsPushWhatLiesBelowAndTheirFollowers)
{
    ReportLayout layout = SmallPage();
    ReportElement follower = Element(ElementKind::Label, "E", 30, 4);
    follower.FollowElement = "D";
    layout.Band(BandKind::Detail) = {BandKind::Detail, 40, true,
                                     {Stretching("A", 0, 10, LinesOf(4)), Element(ElementKind::Label, "B", 12, 4),
                                      Element(ElementKind::Label, "C", 0, 4, 50), Stretching("D", 20, 5, "x"), follower}};
    auto page = Paginate(layout).at(0);
    // A grows by 10 mm: B and D below it move down, C beside it stays, E keeps its gap to D.
    EXPECT_EQ(Find(page, "A")->Height, 20);
    EXPECT_EQ(Find(page, "B")->Top, 10 + 22);
    EXPECT_EQ(Find(page, "C")->Top, 10 + 0);
    EXPECT_EQ(Find(page, "D")->Top, 10 + 30);
    EXPECT_EQ(Find(page, "E")->Top, 10 + 40);

    // A shrinks to one line: C beside it holds everything below in place;
    // without C all below moves up.
    layout.Band(BandKind::Detail).Elements[0].Text = "x";
    page = Paginate(layout).at(0);
    EXPECT_EQ(Find(page, "B")->Top, 10 + 12);
    EXPECT_EQ(Find(page, "D")->Top, 10 + 20);
    EXPECT_EQ(Find(page, "E")->Top, 10 + 30);
    layout.Band(BandKind::Detail).Elements[2].Visible = false;
    page = Paginate(layout).at(0);
    EXPECT_EQ(Find(page, "B")->Top, 10 + 7);
    EXPECT_EQ(Find(page, "D")->Top, 10 + 15);
    EXPECT_EQ(Find(page, "E")->Top, 10 + 25);
    layout.Band(BandKind::Detail).Elements[2].Visible = true;

    // Hidden elements take no room and push nothing.
    layout.Band(BandKind::Detail).Elements[0].Text = LinesOf(4);
    layout.Band(BandKind::Detail).Elements[0].Visible = false;
    page = Paginate(layout).at(0);
    EXPECT_EQ(Find(page, "A"), nullptr);
    EXPECT_EQ(Find(page, "B")->Top, 10 + 12);
}

TEST_F(Pagination, LongTextContinuesOnTheNextPagesBetweenLines)
{
    ReportLayout layout = SmallPage();
    layout.Page.Bottom = 12; // 78 mm to print on: a page holds no whole number of lines
    ReportElement after = Element(ElementKind::Label, "after", 12, 4);
    after.FollowElement = "text";
    layout.Band(BandKind::Detail) = {BandKind::Detail, 16, true,
                                     {Element(ElementKind::Label, "before", 0, 5), Stretching("text", 5, 5, LinesOf(40)), after}};
    const auto pages = Paginate(layout);
    ASSERT_EQ(pages.size(), 3u);
    const PlacedElement& first = *Find(pages[0], "text");
    EXPECT_EQ(first.Top, 15);
    EXPECT_EQ(first.Height, 70); // 14 whole lines below "before"
    EXPECT_EQ(first.ContentOffset, 0);
    const PlacedElement& second = *Find(pages[1], "text");
    EXPECT_EQ(second.Top, 10);
    EXPECT_EQ(second.ContentOffset, 70);
    EXPECT_EQ(second.Height, 75);
    const PlacedElement& third = *Find(pages[2], "text");
    EXPECT_EQ(third.ContentOffset, 145);
    EXPECT_EQ(third.Height, 55);
    EXPECT_EQ(Find(pages[2], "after")->Top, 10 + 55 + 2);
    EXPECT_EQ(Find(pages[0], "before")->Top, 10);
    EXPECT_EQ(Find(pages[1], "before"), nullptr);
}

TEST_F(Pagination, OversizedContentEndsWithoutLooping)
{
    ReportLayout layout = SmallPage();
    // A picture taller than a page, then a text with a line taller than a page.
    ReportElement tall = Stretching("tall", 100, 5, "x");
    layout.Band(BandKind::Detail) = {BandKind::Detail, 105, true, {Element(ElementKind::Image, "big", 0, 90), tall}};
    class HugeLine : public LineMeasurer {
        double ContentHeight(const ReportElement&, const std::string&) override { return 200; }
        double BreakHeight(const ReportElement&, const std::string&, double) override { return 0; }
    } huge;
    const auto pages = PaginateReport(layout, {&pipelines, {}}, huge);
    ASSERT_LE(pages.size(), 5u);
    double shown = 0;
    int pictures = 0;
    for (const auto& page : pages) {
        for (const auto& placed : page.Elements) {
            shown += placed.Element->Name == "tall" ? placed.Height : 0;
            pictures += placed.Element->Name == "big" ? 1 : 0;
        }
    }
    EXPECT_EQ(shown, 200); // all of it, cut hard where no line fits
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(Find(pages[0], "big")->Height, 90);

    // A header that leaves no room puts everything on one page.
    layout.Band(BandKind::PageHeader) = {BandKind::PageHeader, 95, true, {}};
    EXPECT_EQ(PaginateReport(layout, {&pipelines, {}}, huge).size(), 1u);
}

TEST_F(Pagination, DataTextsVariablesAndUnknownPipelines)
{
    TTextPipeline values;
    values.FileName = dir.Write("v.$$$", "x;1234,5;n.a.\r\n");
    values.DeclareField("Datei", 0, TFieldType::String, 30);
    values.DeclareField("EDT", 1, TFieldType::Double, 30);
    values.DeclareField("RT20", 2, TFieldType::Double, 30);
    values.Open();
    pipelines = {{"PipeValues", "PipeValues", &values}, {"PData", "Projektdaten", &values}};
    const ReportData german{&pipelines, NumberDisplaySettings::For(FormatSettings::German())};
    ReportElement e = Element(ElementKind::DataText, "d", 0, 5);
    e.Pipeline = "PipeValues";
    e.Field = "edt";
    e.DisplayFormat = "#,0.00;-#,0.00";
    EXPECT_EQ(DataText(e, german), "1.234,50");
    e.Field = "RT20";
    EXPECT_EQ(DataText(e, german), "n.a."); // not a number: as written
    e.Field = "Ts";
    EXPECT_EQ(DataText(e, german), "");
    e.Pipeline = "Projektdaten"; // the user name works too
    e.Field = "EDT";
    EXPECT_EQ(DataText(e, german), "1.234,50");

    ReportElement variable = Element(ElementKind::Variable, "v500", 0, 5);
    variable.DisplayFormat = "#,0.00;-#,0.00";
    const std::map<std::string, double> set = {{"v500", 1.3}};
    PlacedElement placed{&variable, 0, 0, 0, 0, 0, ""};
    EXPECT_EQ(PrintedText(placed, {1, 1, "", &set, german.Numbers}), "1,30");
    variable.Name = "v8000";
    EXPECT_EQ(PrintedText(placed, {1, 1, "", &set, german.Numbers}), "");
    ReportElement word = Element(ElementKind::SystemVariable, "s", 0, 5);
    word.SystemVariable = SystemVariableKind::PageNumber;
    placed.Element = &word;
    EXPECT_EQ(PrintedText(placed, {3, 5, "", nullptr, {}}), "Seite 3");

    ReportLayout layout = SmallPage();
    layout.MainPipeline = "Fehlt";
    try {
        Paginate(layout);
        FAIL();
    } catch (const DazoError& error) {
        EXPECT_STREQ(error.what(), "Datenquelle Fehlt nicht gefunden");
    }
}

} // namespace
} // namespace dazo
