// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter panels of the main window and the commands behind them.

#include "MainFormFixture.h"
#include "MetafileWalker.h"

#include "analysis/ParameterPanels.h"
#include "analysis/DecayQuality.h"
#include "analysis/ResultCache.h"
#include "analysis/lundeby.h"
#include "project/IniFile.h"
#include "reports/DecayFlagMark.h"
#include "reports/DecayFlagText.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QWheelEvent>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace dazo::test {
namespace {

namespace fs = std::filesystem;

using PanelsTest = MainFormFixture;

QString RTText(const TRTRecord& record)
{
    return ui::FromAnsi(RTValueText(record, ui::UserFormat()));
}

// ---- Reverberation panel -------------------------------------------------------

TEST_F(PanelsTest, RTButtonsPutTheCursorsOnTheirRangeAndBerechnetRestoresTheStandardRange)
{
    Open(MakeProject());
    TCalcChart& c = Shown();
    // EDT is down at start: cursors on the own EDT range, values of both rows.
    EXPECT_EQ(Position(0), c.RTRecords[kEdtCustom].StartIndex);
    EXPECT_EQ(Position(1), c.RTRecords[kEdtCustom].EndIndex);
    EXPECT_EQ(Label("lbEDT"), RTText(c.RTRecords[kEdtComputed]));
    EXPECT_EQ(Label("lcRT30"), RTText(c.RTRecords[kRt30Custom]));
    EXPECT_EQ(Label("lbRSelect"), Fixed(c.RTRecords[kEdtComputed].Correlation, 2));
    EXPECT_EQ(Label("lcRtxx"), "-"); // RTxx starts unfitted

    Click("bRT20");
    EXPECT_EQ(c.CurrentRTKind, kRt20Custom);
    EXPECT_EQ(Position(0), c.RTRecords[kRt20Custom].StartIndex);
    EXPECT_EQ(Position(1), c.RTRecords[kRt20Custom].EndIndex);
    EXPECT_TRUE(Cursors().RegressionLineVisible());
    EXPECT_EQ(Cursors().RegressionLine().Y(0), c.RTRecords[kRt20Custom].LevelStart);

    // RT 30: move cursor 1 by 20 points with the keyboard, then "berechnet".
    Click("bRT30");
    const TRTRecord standard = c.RTRecords[kRt30Computed];
    form->Chart()->setFocus();
    Key(QEvent::KeyPress, Qt::Key_Up); // selects cursor 0
    Key(QEvent::KeyPress, Qt::Key_Up); // cursor 1
    Key(QEvent::KeyRelease, Qt::Key_Up);
    Press(Qt::Key_Right, Qt::ControlModifier);
    Press(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(c.RTRecords[kRt30Custom].EndIndex, standard.EndIndex + 20);
    EXPECT_EQ(c.RTRecords[kRt30Computed], standard);
    Click("bRTRecall");
    EXPECT_EQ(c.RTRecords[kRt30Custom], standard);
    EXPECT_EQ(Position(1), standard.EndIndex);

    // RTxx: no standard kind; "berechnet" copies RT 30's standard record.
    Click("bRTxx");
    EXPECT_EQ(Label("lbRSelect"), "-");
    EXPECT_EQ(Label("lcRtxx"), "-");
    Click("bRTRecall");
    EXPECT_EQ(c.RTRecords[kRtxxCustom], standard);
    EXPECT_EQ(Label("lcRtxx"), RTText(standard));
    EXPECT_EQ(Label("lcRSelect"), Fixed(standard.Correlation, 2));
    // Written to the cache at once (the standard records when the calculator goes).
    const IniFile project(dir.File("halle.npj"));
    const std::string cachedRtxx = project.ReadString("r01.tim", RTRecordKey(1, kRtxxCustom));
    EXPECT_FALSE(cachedRtxx.empty());
    form->ReleaseMeasurement();
    EXPECT_EQ(cachedRtxx, project.ReadString("r01.tim", RTRecordKey(1, kRt30Computed)));
    EXPECT_TRUE(messages.empty());
}

TEST_F(PanelsTest, TimesOfFitsBelowCorrelationPointSixShowADash)
{
    Open(MakeProject());
    TCalcChart& c = Shown();
    c.RTRecords[kRt20Computed].Correlation = 0.59;
    c.RTRecords[kRt20Custom].Correlation = 0.6;
    c.RTRecords[kRt20Custom].RT = 1.25;
    Click("bRT20");
    EXPECT_EQ(Label("lbRT20"), "-");
    EXPECT_EQ(Label("lcRT20"), Fixed(1.25, 2));
    EXPECT_EQ(Label("lbRSelect"), Fixed(0.59, 2));
    EXPECT_EQ(Label("lcRSelect"), Fixed(0.6, 2));
}

// ---- Energy panel ---------------------------------------------------------------

TEST_F(PanelsTest, SetAsksForTheCustomTimeAndGivesItToEveryCalculator)
{
    Open(MakeProject());
    EXPECT_EQ(Label("LCCustIn"), "C xx");
    EXPECT_EQ(Label("lC80"), Fixed(Shown().C80, 2));
    EXPECT_EQ(Label("lCenterTime"), Fixed(Shown().Ts, 2));

    typedAnswer = " 50 ";
    Click("bSetCCust");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], (std::pair<QString, QString>{QString::fromUtf8("Energie-Zeit-Maß eingeben"), QString::fromUtf8("Energie-Zeit-Maß [ms]|0")}));
    for (int i = 0; i < kCalcerCount; ++i)
        EXPECT_EQ(form->Core().Calcer(i)->CVar, 50) << i;
    EXPECT_EQ(Label("LCCustIn"), "C 50");
    EXPECT_NE(Shown().Cxx, 0.0);
    EXPECT_EQ(Label("LCCust"), Fixed(Shown().Cxx, 2));
    // A calculator not yet drawn takes the time for its first calculation.
    ShowNode(kBand500Node);
    EXPECT_EQ(Label("LCCustIn"), "C 50");
    EXPECT_EQ(Label("LCCust"), Fixed(Shown().Cxx, 2));

    for (const char* bad : {"5,5", "abc", ""}) {
        typedAnswer = QString::fromUtf8(bad);
        Click("bSetCCust");
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back(), QString::fromUtf8("'%1' ist kein gültiger Integerwert").arg(bad));
        EXPECT_EQ(Shown().CVar, 50);
    }
    typedAnswer.reset(); // cancelled
    Click("bSetCCust");
    EXPECT_EQ(Shown().CVar, 50);

    typedAnswer = "0";
    Click("bSetCCust");
    EXPECT_EQ(questions.back().second, QString::fromUtf8("Energie-Zeit-Maß [ms]|50"));
    EXPECT_EQ(Label("LCCustIn"), "C xx");
    EXPECT_EQ(Label("LCCust"), Fixed(0.0, 2));
}

// ---- Cursor readouts and typed positions -----------------------------------------------

TEST_F(PanelsTest, TypedPositionsInMillisecondsMetresAndDecibels)
{
    Open(MakeProject());
    Click("bRT30"); // cursor 0 at -5 dB, cursor 1 at -35 dB
    TCalcChart& c = Shown();
    const TXChartCursors& cursors = Cursors();

    Click("bMeter");
    EXPECT_EQ(EditText("eC1"), Fixed(cursors.Items(0).X() * 0.344, 2));
    EXPECT_EQ(Label("LAb12"), Fixed((cursors.Items(1).X() - cursors.Items(0).X()) * 0.344, 2));
    Type("eC2", Fixed(17.2, 1));
    EXPECT_EQ(cursors.SelectedIndex(), 1);
    EXPECT_EQ(Position(1), 1250); // 50 ms
    EXPECT_EQ(EditText("eC2"), Fixed(50.0 * 0.344, 2));
    EXPECT_EQ(c.RTRecords[kRt30Custom].EndIndex, 1250); // refitted
    EXPECT_EQ(Label("lcRT30"), RTText(c.RTRecords[kRt30Custom]));

    Click("bms");
    Type("eC3", "30");
    EXPECT_EQ(cursors.SelectedIndex(), 2);
    EXPECT_EQ(Position(2), 750);
    EXPECT_EQ(EditText("eC3"), Fixed(30.0, 2));
    EXPECT_EQ(Label("LAb23"), Fixed(30.0 - 50.0, 2));

    Click("bdB");
    Type("eC1", "10");
    int first10dB = 0;
    while (std::fabs(c.SchroederY(first10dB)) < 10.0)
        ++first10dB;
    EXPECT_EQ(Position(0), first10dB);
    EXPECT_EQ(EditText("eC1"), Fixed(std::fabs(c.SchroederY(first10dB)), 2));
    EXPECT_EQ(Label("LAb12"), Fixed(std::fabs(c.SchroederY(1250)) - std::fabs(c.SchroederY(first10dB)), 2));
    EXPECT_EQ(c.RTRecords[kRt30Custom].StartIndex, first10dB);
    // A decay the curve never reaches: its last point.
    Type("eC3", "900");
    EXPECT_EQ(Position(2), c.SchroederCount() - 1);

    // Moves that break the neighbour rule and texts that are no numbers leave
    // the cursor and show its position again.
    Click("bms");
    const int before = Position(0);
    Type("eC1", Fixed(cursors.Items(1).X(), 2));
    EXPECT_EQ(Position(0), before);
    EXPECT_EQ(EditText("eC1"), Fixed(cursors.Items(0).X(), 2));
    EXPECT_TRUE(messages.empty());
    Type("eC2", "12x");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QString::fromUtf8("'12x' ist kein gültiger Gleitkommawert"));
    EXPECT_EQ(Position(1), 1250);
    EXPECT_EQ(EditText("eC2"), Fixed(50.0, 2));
}

TEST_F(PanelsTest, FreeCursorReadoutOnTheImpulseResponseOrTheSchroederCurve)
{
    Open(MakeProject(8000, "[r01.tim]\nMPS=3000\n")); // the Schroeder curve ends at 120 ms
    TCalcChart& c = Shown();
    ASSERT_EQ(c.SchroederCount(), 3001);
    Type("eC3", "40");
    EXPECT_EQ(Label("lFreeCursorPos"), Fixed(40.0, 4) + '/' + Fixed(c.SignalY(1000), 4));
    Find<QComboBox>("cCurMessKurve")->setCurrentIndex(1);
    EXPECT_EQ(Label("lFreeCursorPos"), Fixed(40.0, 4) + '/' + Fixed(c.SchroederY(1000), 4));
    Type("eC3", "200");
    EXPECT_EQ(Label("lFreeCursorPos"), "-");
    Find<QComboBox>("cCurMessKurve")->setCurrentIndex(0);
    form->findChild<QAction*>("log1")->trigger(); // another representation
    Settle();
    EXPECT_EQ(Label("lFreeCursorPos"), Fixed(200.0, 4) + '/' + Fixed(Shown().DisplayY(5000), 4));
}

// ---- Crop, reset, Lundeby ------------------------------------------------------------------

TEST_F(PanelsTest, CropSettingsGoThroughTheProjectFileAndApplyAtTheNextLoad)
{
    const std::string projectFile = MakeProject();
    Open(projectFile);
    const IniFile project(projectFile);
    ASSERT_FALSE(project.ReadString("r01.tim", CRecordKey(1)).empty());
    Click("bMessSchnitt");
    EXPECT_FALSE(Find<QWidget>("SchnittPanel")->isHidden());
    Click("bMessSchnitt");
    EXPECT_TRUE(Find<QWidget>("SchnittPanel")->isHidden());

    // "No" changes nothing.
    Type("eC3", "240"); // point 6000
    answerYes = false;
    Click("bSetE");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].first, "Graph beschneiden");
    EXPECT_EQ(questions[0].second, QString::fromUtf8("ACHTUNG: Alle Cursoreinstellungen gehen verloren\n\rAktuelles Diagramm beim weißen Cursor beschneiden?"));
    EXPECT_EQ(EditText("eMessE"), "8000");
    EXPECT_TRUE(form->Core().HasMeasurement());

    answerYes = true;
    Click("bSetE");
    // The section was erased with the cached results, and the project opened anew.
    EXPECT_EQ(project.ReadSectionValues("r01.tim"), (std::vector<std::string>{"MPA=0", "MPE=6000", "MPS=0"}));
    EXPECT_EQ(form->ShownSeries(), nullptr);
    EXPECT_EQ(form->findChild<QTreeWidget*>("TreeView1")->currentItem(), form->TreeNode(1));
    ASSERT_TRUE(form->Core().HasMeasurement());
    EXPECT_EQ(form->Core().CalcData()->Count, 6000);
    EXPECT_EQ(EditText("eMessE"), "6000");

    // The Schroeder start, on the curve as now cropped.
    ShowNode(kUnfilteredNode);
    Type("eC3", "80"); // point 2000
    Click("bSetS");
    EXPECT_EQ(questions.back().first, QString::fromUtf8("Schröderplott"));
    EXPECT_EQ(questions.back().second, QString::fromUtf8("ACHTUNG: Alle Cursoreinstellungen gehen verloren\n\rSchröder Integration beim weißen Cursor beginnen?"));
    EXPECT_EQ(project.ReadString("r01.tim", "MPS"), "2000");
    ShowNode(kUnfilteredNode);
    EXPECT_EQ(Shown().SchroederCount(), 2001);
    EXPECT_EQ(EditText("EMessS"), "2000");

    // The start: the cursor's index, from the start of the file.
    Type("eC3", "20"); // point 500
    Click("bSetA");
    EXPECT_EQ(project.ReadSectionValues("r01.tim"), (std::vector<std::string>{"MPA=500", "MPE=6000", "MPS=2000"}));
    TCalcData file;
    file.LoadFromFile(dir.File("r01.tim"));
    EXPECT_EQ(form->Core().CalcData()->GetValue(0), file.GetValue(500));
    EXPECT_EQ(EditText("eMessA"), "500");

    // "Reset" asks, then the whole file is used and every band is computed anew.
    answerYes = false;
    Click("bReset");
    EXPECT_EQ(questions.back().first, "Reset Messung");
    EXPECT_EQ(questions.back().second, QString::fromUtf8("ACHTUNG: Alle Einstellungen gehen verloren\n\rReset durchführen?"));
    EXPECT_TRUE(project.SectionExists("r01.tim"));
    answerYes = true;
    Click("bReset");
    EXPECT_FALSE(project.SectionExists("r01.tim"));
    EXPECT_EQ(form->Core().CalcData()->Count, 8000);
    EXPECT_EQ(EditText("eMessA"), "0");
    EXPECT_EQ(EditText("eMessE"), "8000");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PanelsTest, CompPutsTheWhiteCursorOnPoint5000OrTheCurvesEndAndReportsLundebyErrors)
{
    Open(MakeProject(3000));
    answerYes = false; // keep the whole file for the signal below
    Click("bCompress");
    EXPECT_EQ(Position(2), 2999);
    EXPECT_EQ(EditText("eC3"), Fixed(2999 * 0.04, 2));
    EXPECT_TRUE(messages.empty());

    // A signal that only rises has its maximum last: no blocks to estimate from.
    TCalcData rising;
    rising.SampleInterval = 0.04f;
    std::vector<float> samples(6000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(i);
    rising.SetSamples(std::move(samples));
    rising.SaveTim(dir.File("r01.tim"));
    form->OpenProject(QString::fromStdString(dir.File("halle.npj")));
    ShowNode(kUnfilteredNode);
    messages.clear();
    Click("bCompress");
    EXPECT_EQ(Position(2), 5000);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QString::fromUtf8("Ungültige Gleitkommaoperation"));
}

TEST_F(PanelsTest, CompOffersTheNoiseCrossingAsSchroederStart)
{
    const std::string project = MakeProject(8000, "[r01.tim]\nMPS=100\n");
    TCalcData file;
    file.LoadFromFile(dir.File("r01.tim"));
    const LundebyResult estimate = LundebyEstimate(file);
    Open(project);
    const auto projectText = [&] {
        std::ifstream in(project, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = projectText();

    answerYes = false;
    Click("bCompress");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].first, QString::fromUtf8("Schröderplott"));
    EXPECT_EQ(questions[0].second,
              QString::fromUtf8("ACHTUNG: Alle Cursoreinstellungen gehen verloren\n\rGeschätzter Rauschpegel: %1 dB\n\r"
                                "Schnittpunkt mit dem Rauschen: %2 ms\n\rSchröder Integration beim Schnittpunkt beginnen?")
                  .arg(Fixed(estimate.noiseLevel, 1), Fixed(estimate.crossingSample * 0.04, 2)));
    EXPECT_EQ(projectText(), before);
    EXPECT_EQ(EditText("EMessS"), "100");

    answerYes = true;
    Click("bCompress");
    // The section was erased with the cached results, and the project opened anew.
    EXPECT_EQ(IniFile(project).ReadSectionValues("r01.tim"),
              (std::vector<std::string>{"MPA=0", "MPE=8000", "MPS=" + std::to_string(estimate.crossingSample)}));
    ASSERT_TRUE(form->Core().HasMeasurement());
    EXPECT_EQ(EditText("EMessS"), QString::number(estimate.crossingSample));
    EXPECT_TRUE(messages.empty());
}

TEST_F(PanelsTest, FlaggedDecayTimesArePaleRedWithTheirReason)
{
    Open(MakeProject(3000)); // cut off 36 dB down the decay: too little range for RT30
    const DecayQuality quality = AssessDecay(Shown());
    ASSERT_FALSE(quality.edtFlag);
    ASSERT_TRUE(quality.rt30Flag);
    const std::pair<DecayTime, std::array<const char*, 2>> rows[] = {
        {DecayTime::EDT, {"lbEDT", "lcEDT"}}, {DecayTime::RT20, {"lbRT20", "lcRT20"}}, {DecayTime::RT30, {"lbRT30", "lcRT30"}}};
    for (const auto& [time, names] : rows) {
        const QString reason = ui::FromAnsi(DecayFlagReason(quality, time, ui::UserFormat()));
        for (const char* name : names) {
            auto* label = Find<QLabel>(name);
            EXPECT_EQ(label->toolTip(), reason) << name;
            EXPECT_EQ(label->autoFillBackground() && label->palette().color(QPalette::Window) == ui::kDecayFlagColour, !reason.isEmpty())
                << name;
        }
    }
    EXPECT_TRUE(Find<QLabel>("lcRT30")->toolTip().startsWith("Dynamikbereich"));

    // The results table gets the quality of the calculated bands only.
    const auto qualities = form->CalculatedBandQualities();
    ASSERT_EQ(qualities.size(), 10u);
    EXPECT_TRUE(qualities[0] && qualities[0]->rt30Flag);
    EXPECT_FALSE(qualities[5]);
}

// ---- Export, chart picture, printing ------------------------------------------------------

TEST_F(PanelsTest, DataExportWritesTheShownCurveAndTheSchroederCurve)
{
    Open(MakeProject(2000));
    chartFileName = QString::fromStdString(dir.File("daten.csv"));
    form->findChild<QAction*>("DatenExportieren1")->trigger();
    std::ifstream in(dir.File("daten.csv"), std::ios::binary);
    std::string header;
    std::getline(in, header);
    EXPECT_EQ(header, ui::ToAnsi("t [ms];" + form->Chart()->yAxis->label() + ";Schroeder [dB]\r"));
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        ++lines;
    EXPECT_EQ(lines, form->ShownSeries()->Count());
    EXPECT_TRUE(messages.empty());
}

TEST_F(PanelsTest, ExportWritesExportTimBesideTheMeasurement)
{
    Open(MakeProject(8000, "[r01.tim]\nMPA=100\nMPE=5000\n"));
    Click("SpeedButton2");
    TCalcData exported;
    exported.LoadFromFile(dir.File("export.tim"));
    EXPECT_EQ(exported.Count, 5000);
    EXPECT_EQ(exported.GetValue(0), form->Core().CalcData()->GetValue(0));
    EXPECT_TRUE(messages.empty());

    fs::remove(dir.File("export.tim"));
    fs::create_directory(dir.File("export.tim"));
    Click("SpeedButton2");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QString::fromStdString("In " + dir.File("export.tim") + " kann nicht geschrieben werden"));
    EXPECT_TRUE(fs::is_directory(dir.File("export.tim")));
}

TEST_F(PanelsTest, SavingTheChartWritesTheFormatOfTheExtension)
{
    Open(MakeProject());
    auto* save = Find<QFileDialog>("SaveDialog1");
    EXPECT_EQ(save->defaultSuffix(), "bmp");
    EXPECT_EQ(save->nameFilters().mid(0, 3), (QStringList{"Bitmap (*.bmp)", "Windows Metafile (*.wmf)", "Windows Metafile (*.emf)"}));

    const QSize chartSize = form->Chart()->size();
    for (const char* name : {"c.bmp", "c.png", "c.EMF", "c.wmf", "c.svg", "c.pdf"}) {
        chartFileName = QString::fromStdString(dir.File(name));
        form->findChild<QAction*>("Speichern1")->trigger();
        ASSERT_TRUE(fs::exists(dir.File(name))) << name;
    }
    const QImage bitmap(QString::fromStdString(dir.File("c.bmp")));
    EXPECT_EQ(bitmap.size(), chartSize);
    EXPECT_EQ(bitmap.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(QImage(QString::fromStdString(dir.File("c.png"))).size(), chartSize);

    const EmfWalk emf = WalkEmf(QByteArray::fromStdString(ReadBytes(dir.File("c.EMF"))));
    EXPECT_TRUE(emf.faults.empty()) << emf.faults.front();
    EXPECT_GT(emf.records.size(), 50u);
    const WmfWalk wmf = WalkWmf(QByteArray::fromStdString(ReadBytes(dir.File("c.wmf"))));
    EXPECT_TRUE(wmf.faults.empty()) << wmf.faults.front();
    EXPECT_GT(wmf.records.size(), 50u);
    EXPECT_TRUE(messages.empty());

    chartFileName = QString::fromStdString(dir.File("c.jpg"));
    form->findChild<QAction*>("Speichern1")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QString::fromUtf8("falsches Datenformat \r\nnur *.bmp, *.wmf, *.emf, *.png, *.svg, *.pdf zulässig"));
    EXPECT_FALSE(fs::exists(dir.File("c.jpg")));
    chartFileName.clear(); // cancelled
    form->findChild<QAction*>("Speichern1")->trigger();
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(PanelsTest, SavedAndPrintedChartsAreLightWithACaptionAndPrintsAreNamedAfterTheirContent)
{
    Open(MakeProject(), kBand500Node);
    chartFileName = QString::fromStdString(dir.File("c.svg"));
    form->findChild<QAction*>("Speichern1")->trigger();
    const QString svg = QString::fromUtf8(QByteArray::fromStdString(ReadBytes(dir.File("c.svg"))));
    const QString caption = QString::fromUtf8("Projekt: halle.npj – Messung: r01.tim (Messpunkt 1 (1)) – 500 Hz – h(t) – ")
                            + QDate::currentDate().toString("dd.MM.yyyy");
    EXPECT_TRUE(svg.contains(caption.toHtmlEscaped())) << svg.left(2000).toStdString();

    chartFileName = QString::fromStdString(dir.File("c.png"));
    form->findChild<QAction*>("Speichern1")->trigger();
    const QImage picture(chartFileName);
    ASSERT_FALSE(picture.isNull());
    int dark = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            dark += qGray(picture.pixel(x, y)) < 64;
    EXPECT_LT(dark, picture.width() * picture.height() / 20); // lines and text only
    // The screen keeps its dark plot.
    EXPECT_EQ(form->Chart()->axisRect()->backgroundBrush().color(), QColor(32, 32, 32));
    EXPECT_EQ(form->Chart()->plotLayout()->rowCount(), 1);

    QString docName;
    form->Dialogs.AskPrinter = [&](QPrinter& printer) {
        docName = printer.docName();
        return false;
    };
    form->findChild<QAction*>("Drucken1")->trigger();
    EXPECT_EQ(docName, "r01 500 Hz h(t)");
    EXPECT_TRUE(messages.empty());
}

TEST_F(PanelsTest, TheChartNamesItsCurvesAndTheSchroederAxisAndZoomsAroundTheWheel)
{
    Open(MakeProject(), kBand500Node);
    ui::TChartView& chart = *form->Chart();
    EXPECT_EQ(chart.yAxis2->label(), "Schroederplot [dB]");
    ASSERT_EQ(chart.legend->itemCount(), 2);
    QStringList names;
    for (int i = 0; i < chart.legend->itemCount(); ++i)
        names << static_cast<QCPPlottableLegendItem*>(chart.legend->item(i))->plottable()->name();
    EXPECT_EQ(names, (QStringList{"h(t)", "Schroederplot"}));

    const QPoint at = chart.PlotRect().center() + QPoint(60, -30);
    const double x = chart.XValueAt(at.x());
    const double level = chart.YValueAt(at.y(), ChartAxis::Right);
    const double width = chart.xAxis->range().size();
    QWheelEvent wheel(QPointF(at), chart.mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&chart, &wheel);
    Settle();
    EXPECT_TRUE(chart.Zoomed());
    EXPECT_NEAR(chart.xAxis->range().size(), 0.85 * width, 1e-9 * width);
    EXPECT_NEAR(chart.XValueAt(at.x()), x, 1e-6 * width);
    EXPECT_NEAR(chart.YValueAt(at.y(), ChartAxis::Right), level, 1e-6 * std::abs(chart.yAxis2->range().size()));
    Press(Qt::Key_Space); // the zoom goes back as before
    Settle();
    EXPECT_FALSE(chart.Zoomed());
    EXPECT_NEAR(chart.xAxis->range().size(), width, 1e-9 * width);
}

TEST_F(PanelsTest, ALoadClearsTheReadoutsOfThePreviousMeasurement)
{
    Open(MakeProject());
    Mouse(QEvent::MouseMove, form->Chart()->PlotRect().center(), Qt::NoButton);
    ASSERT_FALSE(Label("lPos").isEmpty());
    ASSERT_FALSE(EditText("eC1").isEmpty());
    form->LoadMeasurementFile(QString::fromStdString(dir.File("r01.tim")));
    for (const char* label : {"lPos", "lFreeCursorPos", "LAb12"})
        EXPECT_TRUE(Label(label).isEmpty()) << label;
    EXPECT_TRUE(EditText("eC1").isEmpty());
}

TEST_F(PanelsTest, PrintingPutsTheChartOnALandscapePageAndThePreviewShowsIt)
{
    Open(MakeProject());
    const std::string pdf = dir.File("druck.pdf");
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    form->Dialogs.AskPrinter = [&](QPrinter& printer) {
        orientation = printer.pageLayout().orientation();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    form->findChild<QAction*>("Drucken1")->trigger();
    EXPECT_EQ(orientation, QPageLayout::Landscape);
    const std::string bytes = ReadBytes(pdf);
    EXPECT_EQ(bytes.substr(0, 4), "%PDF");
    const std::size_t box = bytes.find("/MediaBox [0 0 ");
    ASSERT_NE(box, std::string::npos);
    double width = 0.0, height = 0.0;
    ASSERT_EQ(std::sscanf(bytes.c_str() + box, "/MediaBox [0 0 %lf %lf", &width, &height), 2);
    EXPECT_GT(width, height);

    int pages = -1;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
        preview->reject();
    });
    form->findChild<QAction*>("Druckvorschau1")->trigger();
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace dazo::test
