// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/uAusgabeDlg.h"

#include "common/Encoding.h"
#include "project/DialogHelpers.h"
#include "reports/DecayFlagMark.h"
#include "reports/DecayFlagText.h"
#include "reports/EditGrid.h"
#include "reports/EditGridModel.h"
#include "reports/EvaluationProject.h"
#include "reports/ReportPageCommon.h"
#include "reports/ResultsFiles.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace dazo::ui {
namespace {

using test::CloseNextMessageBox;
using test::EvaluationProject;

const QStringList kColumns = {"", "EDT [s]", "RT20 [s]", "RT30 [s]", "RTxx [s]", "C35 [dB]", "C50 [dB]", "C80 [dB]", "Cxx [dB]", "D50 [–]", "D80 [–]", "Ts [ms]"};
const QStringList kRows = {"", "ungefiltert", "31.5 Hz", "63 Hz", "125 Hz", "250 Hz",
                           "500 Hz", "1000 Hz", "2000 Hz", "4000 Hz", "8000 Hz"};

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (c == ';')
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

class AusgabeDlgTest : public testing::TestWithParam<FormatSettings> {
protected:
    void ExpectFrame() const
    {
        ASSERT_EQ(dlg.Grid->ColCount(), 12);
        ASSERT_EQ(dlg.Grid->RowCount(), 11);
        EXPECT_EQ(dlg.Grid->FixedCols(), 1);
        EXPECT_EQ(dlg.Grid->FixedRows(), 1);
        for (int col = 0; col < 12; ++col)
            EXPECT_EQ(dlg.Grid->Cell(col, 0), kColumns[col]);
        for (int row = 0; row < 11; ++row)
            EXPECT_EQ(dlg.Grid->Cell(0, row), kRows[row]);
    }

    // Every cell shows its value of the results file with two decimals.
    void ExpectValuesOf(const std::vector<std::string>& results) const
    {
        ASSERT_EQ(results.size(), 10u);
        for (int row = 1; row <= 10; ++row) {
            const auto fields = Split(results[static_cast<std::size_t>(row - 1)]);
            ASSERT_EQ(fields.size(), 14u);
            for (int col = 1; col <= 11; ++col) {
                const std::size_t field = static_cast<std::size_t>(col < 8 ? col + 1 : col + 2); // CVar skipped
                const std::string expected = TwoDecimals(GeneralFloatValue(fields[field], GetParam()), GetParam());
                EXPECT_EQ(dlg.Grid->Model().Cell(col, row), expected) << col << "," << row;
            }
        }
    }

    bool ReportButtonsEnabled() const { return dlg.bPrint->isEnabled() && dlg.bPreview->isEnabled(); }

    EvaluationProject project{GetParam(), {"m1.tim", "m2.tim"}};
    TAusgabeDlg dlg{project.Paths(), GetParam()};
};

TEST_P(AusgabeDlgTest, ShowFillsTheTableFromTheResultsOfTheLoadedMeasurement)
{
    EXPECT_FALSE(dlg.bCalc->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.Panel1->Caption->text(), "Ausgabe Tabellarisch");
    EXPECT_EQ(dlg.Grid->Alignment(), TAlignment::RightJustify);
    EXPECT_EQ(dlg.Grid->ColWidth(0), 80);
    EXPECT_EQ(dlg.TemplateFile(), project.Paths().TemplateFile("tabelle.rtm"));

    std::vector<int> requests;
    dlg.RequestResults = [&](int message) {
        requests.push_back(message);
        EXPECT_FALSE(ReportButtonsEnabled());
        project.Requests()(message);
    };
    dlg.show();
    EXPECT_EQ(requests, std::vector<int>{WM_RESULTS_CURRENT});
    ExpectFrame();
    ExpectValuesOf(project.Results());
    EXPECT_EQ(dlg.Grid->Cell(0, 0), "");
    EXPECT_FALSE(dlg.PipeData.Active());
    EXPECT_TRUE(ReportButtonsEnabled());
    const QString separator(QChar(GetParam().decimalSeparator));
    EXPECT_TRUE(dlg.Grid->Cell(2, 6).contains(separator)) << dlg.Grid->Cell(2, 6).toStdString();

    // Shown again for another measurement: only the new values.
    dlg.hide();
    const auto first = project.Results();
    project.Core().LoadMeasurementFile(project.Dir().File("m2.tim"));
    dlg.show();
    ExpectFrame();
    ASSERT_NE(project.Results(), first);
    ExpectValuesOf(project.Results());
}

TEST_P(AusgabeDlgTest, FlaggedDecayTimesOfABandArePaleRedWithTheirReason)
{
    dlg.RequestResults = project.Requests();
    std::vector<std::optional<DecayQuality>> qualities(10);
    qualities[0] = JudgeDecay(40.0, 5.0); // RT30 short of range
    qualities[4] = JudgeDecay(60.0, 20.0); // 250 Hz: RT20 and RT30 curved
    dlg.DecayQualities = [&] { return qualities; };
    dlg.show();

    const auto background = [&](int col, int row) {
        QFont font;
        TAlignment alignment = TAlignment::LeftJustify;
        QColor colour = Qt::white;
        QString text;
        dlg.Grid->OnGetDrawValues(*dlg.Grid, col, row, font, alignment, colour, text);
        return colour;
    };
    for (int row = 1; row < 11; ++row)
        for (int col = 1; col < 12; ++col) {
            const bool flagged = (row == 1 && col == 3) || (row == 5 && (col == 2 || col == 3));
            EXPECT_EQ(background(col, row), flagged ? kDecayFlagColour : QColor(Qt::white)) << col << "," << row;
            EXPECT_EQ(dlg.DecayFlagHint(col, row).isEmpty(), !flagged) << col << "," << row;
        }
    EXPECT_EQ(dlg.DecayFlagHint(3, 1), FromAnsi(DecayFlagReason(*qualities[0], DecayTime::RT30, GetParam())));
    EXPECT_TRUE(dlg.DecayFlagHint(2, 5).startsWith(QString::fromUtf8("Krümmung 20")));
}

TEST_P(AusgabeDlgTest, TableExportWritesTheCellsAsShown)
{
    dlg.RequestResults = project.Requests();
    dlg.show();
    const std::string file = project.Dir().File("tabelle.csv");
    dlg.AskCsvFileName = [&] { return QString::fromStdString(file); };
    dlg.Grid->findChild<QAction*>("TabelleExportieren1")->trigger();
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], ";EDT [s];RT20 [s];RT30 [s];RTxx [s];C35 [dB];C50 [dB];C80 [dB];Cxx [dB];D50 [\x96];D80 [\x96];"
                        "Ts [ms]\r");
    EXPECT_EQ(lines[1].substr(0, 12), "ungefiltert;");
    EXPECT_EQ(Split(lines[6])[2], ToAnsi(dlg.Grid->Cell(2, 6))); // the user's decimal separator, as shown
}

TEST_P(AusgabeDlgTest, RequestThatWritesNothingLeavesAnEmptyFrame)
{
    project.Core().ReleaseMeasurement(); // the request writes no file
    dlg.RequestResults = project.Requests();
    dlg.show();
    ExpectFrame();
    for (int col = 1; col < 12; ++col)
        for (int row = 1; row < 11; ++row)
            EXPECT_EQ(dlg.Grid->Cell(col, row), "");
    EXPECT_FALSE(ReportButtonsEnabled());
}

TEST_P(AusgabeDlgTest, ValueThatIsNoNumberEndsTheFillKeepingTheRowsSoFar)
{
    const char sep = GetParam().decimalSeparator;
    const auto value = [&](const char* number) {
        std::string text = number;
        std::replace(text.begin(), text.end(), '.', sep);
        return text;
    };
    const std::string full = ";" + value("1.5") + ";1;1;1;1;1;1;80;1;" + value("0.5") + ";1;" + value("99.126");
    const struct {
        const char* name;
        std::vector<std::string> lines;
        const char* message;
    } cases[] = {
        {"non-number", {"a.tim;ungefiltert" + full, "a.tim;31.5;" + value("2.25") + ";x1;1;1;1;1;1;80;1;1;1;1"},
         "'x1' ist kein gültiger Gleitkommawert"},
        {"short line", {"a.tim;ungefiltert" + full, "a.tim;31.5;" + value("2.25")}, "'' ist kein gültiger Gleitkommawert"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dlg.RequestResults = [&](int) { project.WriteResults(c.lines); };
        const auto message = CloseNextMessageBox();
        dlg.show();
        EXPECT_EQ(ToAnsi(*message), Ansi(c.message));
        ExpectFrame();
        EXPECT_EQ(dlg.Grid->Model().Cell(1, 1), value("1.50"));
        EXPECT_EQ(dlg.Grid->Model().Cell(8, 1), value("1.00")); // Cxx, after CVar
        EXPECT_EQ(dlg.Grid->Model().Cell(9, 1), value("0.50"));
        EXPECT_EQ(dlg.Grid->Model().Cell(11, 1), value("99.13"));
        EXPECT_EQ(dlg.Grid->Model().Cell(1, 2), value("2.25"));
        EXPECT_EQ(dlg.Grid->Cell(2, 2), "");
        EXPECT_FALSE(dlg.PipeData.Active());
        EXPECT_FALSE(ReportButtonsEnabled());
        dlg.hide();
    }
}

TEST_P(AusgabeDlgTest, ReportButtonsCallTheirHooksOnceEnabled)
{
    dlg.RequestResults = project.Requests();
    std::vector<std::string> calls;
    dlg.OnPrint = [&] { calls.push_back("print"); };
    dlg.OnPreview = [&] { calls.push_back("preview"); };
    dlg.OnDesign = [&] { calls.push_back("design"); };
    dlg.show();
    dlg.bPrint->click();
    dlg.bPreview->click();
    dlg.bDesign->click();
    EXPECT_EQ(calls, (std::vector<std::string>{"print", "preview", "design"}));
}

INSTANTIATE_TEST_SUITE_P(Separators, AusgabeDlgTest,
                         testing::Values(FormatSettings::English(), FormatSettings::German()),
                         [](const auto& info) { return info.param.decimalSeparator == '.' ? "Point" : "Comma"; });

} // namespace
} // namespace dazo::ui
