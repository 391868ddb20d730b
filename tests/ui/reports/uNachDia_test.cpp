// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/uNachDia.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "project/DialogHelpers.h"
#include "reports/EditGrid.h"
#include "reports/EditGridModel.h"
#include "reports/EvaluationProject.h"
#include "reports/ReportPageCommon.h"
#include "reports/ResultsFiles.h"

#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace dazo::ui {
namespace {

using test::CloseNextMessageBox;
using test::EvaluationProject;

const char* const kBands[] = {"ungefiltert", "31.5", "63", "125", "250", "500", "1000", "2000", "4000", "8000"};

class NachhallDiaDlgTest : public testing::TestWithParam<FormatSettings> {
protected:
    NachhallDiaDlgTest() { dlg.SetProjectFile(project.ProjectFile()); }

    std::string Local(std::string text) const
    {
        std::replace(text.begin(), text.end(), '.', GetParam().decimalSeparator);
        return text;
    }

    // An averaged results file whose RT20 of the seven bands from 125 Hz are
    // the given texts; EDT is 1.004 s everywhere, RT30 the band's number / 1000.
    std::vector<std::string> AveragedResults(const std::vector<std::string>& rt20) const
    {
        std::vector<std::string> lines;
        for (std::size_t b = 0; b < 10; ++b) {
            const std::string rt = b < 3 ? "0.5" : rt20[b - 3];
            lines.push_back("2;" + std::string(kBands[b]) + ";" + Local("1.004;" + rt + ";0." + std::to_string(b)
                            + ";1;-2.5;0;3;80;1;0.45;0.6;75.25"));
        }
        return lines;
    }

    void CalculateFrom(const std::vector<std::string>& lines)
    {
        dlg.RequestResults = [&](int message) {
            EXPECT_EQ(message, WM_RESULTS_ALL);
            project.WriteResults(lines);
        };
        dlg.bCalcClick();
    }

    std::string Label(const char* name) const { return ToAnsi(dlg.findChild<QLabel*>(name)->text()); }
    std::string Cell(int col, int row) const { return dlg.Grid->Model().Cell(col, row); }
    bool ReportButtonsEnabled() const { return dlg.bPrint->isEnabled() && dlg.bPreview->isEnabled(); }

    EvaluationProject project{GetParam(), {"m1.tim", "m2.tim"}};
    TNachhallDiaDlg dlg{project.Paths(), GetParam()};
};

TEST_P(NachhallDiaDlgTest, PagesPanelsAndButtonsAsNamed)
{
    const struct {
        const char* name;
        const char* hint;
    } buttons[] = {{"bCalc", "Berechnung der Nachhallzeit"}, {"bPrint", "Drucken der Nachhallzeit"},
        {"bPreview", "Vorschau der Nachhallzeit"}, {"bDesign", "Ausgabe bearbeiten"},
        {"bPrintPruef", "Drucken des Prüfberichts"}, {"bPreviewPrint", "Vorschau des Prüfberichts"},
        {"bDesignPrint", "Ausgabe bearbeiten"}, {"bMessPrint", "Drucken des Meßberichts"},
        {"bMessPreview", "Vorschau des Meßberichts"}, {"bMessDesign", "Ausgabe bearbeiten"}};
    for (const auto& button : buttons) {
        const auto* control = dlg.findChild<QToolButton*>(button.name);
        ASSERT_NE(control, nullptr) << button.name;
        EXPECT_EQ(ToAnsi(control->toolTip()), Ansi(button.hint)) << button.name;
    }
    EXPECT_EQ(dlg.PageControl1->tabText(0), "Nachhallzeit");
    EXPECT_EQ(dlg.PageControl1->tabText(1), QStringLiteral("Prüfbericht"));
    EXPECT_EQ(dlg.PageControl1->tabText(2), QStringLiteral("Meßbericht"));
    EXPECT_EQ(dlg.Panel1->Caption->text(), "Nachhallzeit nach DIN EN ISO 3382");
    EXPECT_EQ(dlg.Panel2->Caption->text(), QStringLiteral("Prüfbericht nach DIN EN ISO 3382"));
    EXPECT_EQ(dlg.Panel3->Caption->text(), QStringLiteral("Meßbericht (Anhang zum Prüfbericht)"));
    EXPECT_EQ(dlg.NachhallPage->tabText(0), "Grafik");
    EXPECT_EQ(dlg.NachhallPage->tabText(1), "Tabelle");
    for (const char* label : {"l125", "l250", "l500", "l1000", "l2000", "l4000", "l8000"})
        EXPECT_EQ(Label(label), "0") << label;
    EXPECT_EQ(dlg.Chart1->xAxis->label(), "Frequenz [Hz]");
    EXPECT_EQ(dlg.Chart1->yAxis->label(), "Nachhallzeit [s]");
    EXPECT_EQ(dlg.Chart1->interactions(), QCP::Interactions());
}

TEST_P(NachhallDiaDlgTest, ShowResetsAndBindsProjectAndCompanyData)
{
    WriteLines(project.Paths().SettingsFile(), {"[DATA]", Ansi("eLFirma=Akustikbüro"), "eLOrt=Kassel"});
    dlg.NachhallPage->show();
    dlg.PageControl1->setCurrentIndex(2);
    dlg.show();
    dlg.hide();
    dlg.show(); // a second show does not shift the axis again
    EXPECT_EQ(dlg.Chart1->xAxis->range(), QCPRange(-1, 6));
    EXPECT_FALSE(dlg.NachhallPage->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.PageControl1->currentIndex(), 0);
    EXPECT_FALSE(ReportButtonsEnabled());

    dlg.PData.Open();
    EXPECT_EQ(dlg.PData.Value("OName"), "Stadthalle");
    EXPECT_EQ(dlg.PData.FileName, project.Dir().File("p.$$$"));
    dlg.LData.Open();
    EXPECT_EQ(dlg.LData.Value("LFirma"), Ansi("Akustikbüro"));
    EXPECT_EQ(dlg.LData.Value("LOrt"), "Kassel");
}

TEST_P(NachhallDiaDlgTest, TheButtonBarStaysOnTopBeforeAndAfterCalculating)
{
    dlg.resize(800, 600);
    dlg.show();
    QApplication::processEvents();
    const QRect bar = dlg.Panel1->geometry();
    EXPECT_LT(bar.top(), 10);
    EXPECT_LT(bar.height(), 80);
    CalculateFrom(AveragedResults({"1", "1", "1", "1", "1", "1", "1"}));
    QApplication::processEvents();
    EXPECT_EQ(dlg.Panel1->geometry(), bar);
    EXPECT_GT(dlg.NachhallPage->height(), 400);
}

TEST_P(NachhallDiaDlgTest, MissingProjectFileIsReportedOnShow)
{
    dlg.SetProjectFile(project.Dir().File("fehlt.npj"));
    const auto message = CloseNextMessageBox();
    dlg.show();
    EXPECT_EQ(ToAnsi(*message), "Datei nicht vorhanden");
}

TEST_P(NachhallDiaDlgTest, AveragesTwoMeasurementsFromTheCache)
{
    auto requests = project.Requests();
    requests(WM_RESULTS_ALL); // fills the cache of both measurements
    project.SetCachedRT("m1.tim", 6, 3, "1.2");
    project.SetCachedRT("m2.tim", 6, 3, "1.4");
    dlg.RequestResults = requests;
    dlg.show();
    dlg.bCalcClick();

    EXPECT_NEAR(dlg.BandValues()[2], 1.3, 1e-12);
    EXPECT_EQ(Label("l500"), Local("1.30"));
    EXPECT_EQ(Cell(2, 6), Local("1.30"));
    EXPECT_DOUBLE_EQ(dlg.Chart1->graph(0)->data()->at(2)->value, dlg.BandValues()[2]);
    EXPECT_TRUE(dlg.NachhallPage->isVisibleTo(&dlg));
    EXPECT_EQ(dlg.NachhallPage->currentIndex(), 0);
    EXPECT_TRUE(ReportButtonsEnabled());

    // The seven values are field 3 of lines 4 to 10 of the averaged file.
    const auto results = project.Results();
    ASSERT_EQ(results.size(), 10u);
    for (std::size_t i = 0; i < 7; ++i) {
        const std::string& line = results[i + 3];
        const auto start = line.find(';', line.find(';', line.find(';') + 1) + 1) + 1;
        EXPECT_EQ(TwoDecimals(dlg.BandValues()[i], GetParam()),
                  TwoDecimals(GeneralFloatValue(line.substr(start, line.find(';', start) - start), GetParam()),
                              GetParam()));
    }
    // Means of the 500 Hz and 1000 Hz cells as displayed.
    const auto mean = [&](int col) {
        return (GeneralFloatValue(Cell(col, 6), GetParam()) + GeneralFloatValue(Cell(col, 7), GetParam())) / 2;
    };
    EXPECT_DOUBLE_EQ(dlg.Means().EDT, mean(1));
    EXPECT_DOUBLE_EQ(dlg.Means().RT20, mean(2));
    EXPECT_DOUBLE_EQ(dlg.Means().RT30, mean(3));
}

TEST_P(NachhallDiaDlgTest, DiagramLabelsTableAndMeans)
{
    dlg.show();
    CalculateFrom(AveragedResults({"0.8", "1.1", "1.2", "1.74", "1.3", "0.9", "0.7"}));

    ASSERT_EQ(dlg.Chart1->graph(0)->data()->size(), 7);
    const auto ticker = qSharedPointerDynamicCast<QCPAxisTickerText>(dlg.Chart1->xAxis->ticker());
    ASSERT_TRUE(ticker);
    const QStringList texts = {"125", "250", "500", "1000", "2000", "4000", ""};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(dlg.Chart1->graph(0)->data()->at(i)->key, i);
        EXPECT_EQ(ticker->ticks().value(i), texts[i]);
    }
    EXPECT_EQ(ticker->ticks().size(), 7);
    EXPECT_DOUBLE_EQ(dlg.Chart1->graph(0)->data()->at(6)->value, 0.7); // drawn, though unlabelled
    EXPECT_EQ(dlg.Chart1->yAxis->range(), QCPRange(0, 2));
    EXPECT_EQ(dlg.Chart1->xAxis->range(), QCPRange(-1, 6));
    EXPECT_EQ(Label("l1000"), Local("1.74"));
    EXPECT_EQ(Label("l8000"), Local("0.70"));

    EXPECT_EQ(ToAnsi(dlg.Grid->Cell(0, 0)), Ansi("ø"));
    EXPECT_EQ(Cell(0, 1), "ungefiltert");
    EXPECT_EQ(Cell(0, 2), "31.5 Hz");
    EXPECT_EQ(Cell(0, 10), "8000 Hz");
    EXPECT_EQ(dlg.Grid->ColCount(), 12);
    EXPECT_EQ(dlg.Grid->RowCount(), 11);
    EXPECT_EQ(dlg.Grid->FixedCols(), 1);
    EXPECT_EQ(dlg.Grid->FixedRows(), 1);
    EXPECT_EQ(Cell(8, 0), "Cxx [dB]");
    EXPECT_EQ(Cell(11, 4), Local("75.25"));

    // Means from the displayed cells: EDT 1.004 shows as 1.00.
    EXPECT_DOUBLE_EQ(dlg.Means().EDT, 1.0);
    EXPECT_DOUBLE_EQ(dlg.Means().RT20, (1.2 + 1.74) / 2);
    EXPECT_DOUBLE_EQ(dlg.Means().RT30, (0.5 + 0.6) / 2);

    CalculateFrom(AveragedResults({"0.8", "1.1", "2.0", "1.9", "1.3", "0.9", "0.7"}));
    EXPECT_EQ(dlg.Chart1->yAxis->range(), QCPRange(0, 3));
}

TEST_P(NachhallDiaDlgTest, FailedCalculationTouchesNothing)
{
    dlg.show();
    auto shortFile = AveragedResults({"1", "1", "1", "1", "1", "1", "1"});
    shortFile.resize(5);
    auto noNumber = AveragedResults({"1", "1", "1", "1", "x", "1", "1"});
    const struct {
        const char* name;
        std::vector<std::string> lines;
        const char* message;
    } cases[] = {
        {"short file", shortFile, "Listenindex überschreitet das Maximum (5)"},
        {"empty file", {}, "Listenindex überschreitet das Maximum (3)"},
        {"no number", noNumber, "'x' ist kein gültiger Gleitkommawert"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto message = CloseNextMessageBox();
        CalculateFrom(c.lines);
        EXPECT_EQ(ToAnsi(*message), Ansi(c.message));
        EXPECT_EQ(Label("l500"), "0");
        EXPECT_EQ(dlg.BandValues()[0], 0.0);
        EXPECT_EQ(dlg.Grid->ColCount(), 1);
        EXPECT_EQ(dlg.Chart1->graph(0)->data()->size(), 0);
        EXPECT_FALSE(dlg.NachhallPage->isVisibleTo(&dlg));
        EXPECT_FALSE(ReportButtonsEnabled());
    }

    // A request that wrote nothing: no message, nothing changed.
    project.Core().ReleaseMeasurement();
    dlg.RequestResults = project.Requests();
    dlg.bCalcClick();
    EXPECT_EQ(Label("l500"), "0");
    EXPECT_FALSE(ReportButtonsEnabled());
}

TEST_P(NachhallDiaDlgTest, ReportButtonsCallTheirHooks)
{
    std::vector<std::string> calls;
    const auto output = [&](const char* report) {
        return [&calls, report](bool printer) { calls.push_back(std::string(report) + (printer ? " Drucker" : " Bildschirm")); };
    };
    dlg.OnOutputDiagramReport = output("Diagramm");
    dlg.OnOutputTestReport = output("Prüfbericht");
    dlg.OnOutputMeasurementReport = output("Meßbericht");
    dlg.OnDesign = [&](int which) { calls.push_back("Entwurf " + std::to_string(which)); };
    dlg.show();
    CalculateFrom(AveragedResults({"1", "1", "1", "1", "1", "1", "1"}));
    for (QToolButton* button : {dlg.bPrint, dlg.bPreview, dlg.bDesign, dlg.bPrintPruef, dlg.bPreviewPrint,
                                dlg.bDesignPrint, dlg.bMessPrint, dlg.bMessPreview, dlg.bMessDesign})
        button->click();
    EXPECT_EQ(calls, (std::vector<std::string>{"Diagramm Drucker", "Diagramm Bildschirm", "Entwurf 0",
                                               "Prüfbericht Drucker", "Prüfbericht Bildschirm", "Entwurf 1",
                                               "Meßbericht Drucker", "Meßbericht Bildschirm", "Entwurf 2"}));

    // A report's error is shown, not thrown out of the click.
    dlg.OnOutputTestReport = [](bool) { Fail("Bitte zuerst Projektdaten eingeben"); };
    const auto message = CloseNextMessageBox();
    dlg.bPrintPruef->click();
    EXPECT_EQ(ToAnsi(*message), "Bitte zuerst Projektdaten eingeben");
}

INSTANTIATE_TEST_SUITE_P(Separators, NachhallDiaDlgTest,
                         testing::Values(FormatSettings::English(), FormatSettings::German()),
                         [](const auto& info) { return info.param.decimalSeparator == '.' ? "Point" : "Comma"; });

} // namespace
} // namespace dazo::ui
