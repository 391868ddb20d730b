// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/uMain.h"

#include "analysis/ChartCursors.h"
#include "analysis/uCalcChart.h"
#include "app/ChartView.h"
#include "bridge/AnsiText.h"
#include "common/Encoding.h"
#include "evaluation/EvaluationCore.h"
#include "project/IniFile.h"
#include "project/ProjekdatenDlg.h"
#include "project/UserNumbers.h"
#include "project/uMesManDlg.h"
#include "signal/MData.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

namespace dazo::ui {
namespace {

namespace fs = std::filesystem;

enum Node { kProjektdaten = 0, kMessung = 1, kEingang = 2, kUngefiltert = 3, k125 = 6, k250 = 7, k500 = 8, k4000 = 11, kTabelle = 13, kAuswertung = 14 };

// A room impulse response decaying by 60 dB in 0.2 s over a faint noise floor.
void WriteMeasurement(const std::string& path, float intervalMs, int count, const char* comment)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<float> samples(static_cast<std::size_t>(count));
    const double tau = 0.2 / std::log(1000.0); // s
    for (int i = 0; i < count; ++i) {
        const double t = i * intervalMs / 1000.0;
        const double decay = i < 25 ? 0.0 : std::exp(-(t - 25 * intervalMs / 1000.0) / tau);
        samples[static_cast<std::size_t>(i)] = static_cast<float>(noise(random) * (decay + 1e-6));
    }
    TCalcData data;
    data.SampleInterval = intervalMs;
    data.SetSamples(std::move(samples));
    data.Title = "Test";
    data.Comment = Ansi(comment);
    data.SaveTim(path);
}

// Answers every message box that turns up and keeps its text.
class MessageCatcher {
public:
    MessageCatcher()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts.push_back(box->text());
                box->accept();
            }
        });
        timer_.start();
    }
    std::vector<QString> texts;

private:
    QTimer timer_;
};

class MainFormTest : public ::testing::Test {
protected:
    MainFormTest()
        : paths(dir.File("dazo"))
    {
    }

    ~MainFormTest() override
    {
        projectData.reset();
        manager.reset();
        form.reset();
    }

    void Start()
    {
        form = std::make_unique<TMainForm>(paths);
        manager = std::make_unique<TMesManDlg>(nullptr, FormatSettings::English());
        projectData = std::make_unique<TProjectDlg>(nullptr, FormatSettings::English());
        form->SetCompanionWindows(manager.get(), projectData.get());
        form->show();
    }

    // A project with two measurements of point 1, the first at 0.04 ms.
    std::string MakeProject(float secondInterval = 0.04f)
    {
        WriteMeasurement(dir.File("r01.tim"), 0.04f, 8000, "Saalmitte ä");
        WriteMeasurement(dir.File("r02.tim"), secondInterval, 4000, "zweite");
        return dir.Write("halle.npj", "[Messungen]\nMP1=\"Messpunkt 1\",,,0,0,,0,0,,,,\"r01.tim\",\"r02.tim\",\n");
    }

    template <class W>
    W* Find(const char* name) const
    {
        W* widget = form->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString LabelText(const char* name) const { return Find<QLabel>(name)->text(); }
    void Select(int node) const { form->findChild<QTreeWidget*>("TreeView1")->setCurrentItem(form->TreeNode(node)); }
    QWidget* CurrentPage() const { return Find<QStackedWidget>("PageControl")->currentWidget(); }
    TCalcChart& Calcer(int i) const { return *form->Core().Calcer(i); }
    QString Fixed(double x, int decimals) const { return FromAnsi(UserFixedText(x, decimals, UserFormat())); }
    std::vector<bool> ParameterTabsVisible() const
    {
        auto* tabs = Find<QTabWidget>("ParamPages");
        return {tabs->isTabVisible(0), tabs->isTabVisible(1), tabs->isTabVisible(2), tabs->isTabVisible(3)};
    }

    dazo::test::TempDir dir;
    ProgramPaths paths;
    MessageCatcher messages;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TMesManDlg> manager;
    std::unique_ptr<TProjectDlg> projectData;
};

// ---- Start-up and shut-down ------------------------------------------------

TEST_F(MainFormTest, FirstStartWritesTheCompanyKeysAndClosingAddsOnlyTheBounds)
{
    const std::string settingsFile = dir.File("dazo.dat");
    ASSERT_FALSE(fs::exists(settingsFile));
    Start();
    const IniFile settings(settingsFile);
    EXPECT_TRUE(settings.FileExists());
    EXPECT_EQ(settings.ReadSection("DATA").size(), 6u);
    EXPECT_EQ(Find<QFileDialog>("OpenDialog1")->directory().absolutePath(), QString::fromStdString(dir.Path().string()));

    form->close();
    EXPECT_FALSE(settings.ReadString("PROG", "WINPOS").empty());
    EXPECT_FALSE(settings.ValueExists("PROG", "PATH"));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(MainFormTest, StoredBoundsAndDirectoryApplyAtStartUp)
{
    const std::string projects = dir.File("projekte");
    fs::create_directory(projects);
    struct Case {
        const char* winpos;
        bool applied;
    };
    // The window fits the test screen as stored.
    for (const Case& c : {Case{"10,20,780,500", true}, Case{"10,20,800", false}}) {
        dir.Write("dazo.dat", "[PROG]\nPATH=" + projects + "\nWINPOS=" + c.winpos + "\n");
        Start();
        EXPECT_EQ(Find<QFileDialog>("OpenDialog1")->directory().absolutePath(), QString::fromStdString(projects));
        if (c.applied) {
            EXPECT_EQ(form->geometry(), QRect(10, 20, 780, 500));
        } else {
            EXPECT_EQ(form->size(), QSize(778, 609)) << c.winpos;
        }
        form->close();
    }
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(MainFormTest, StoredBoundsOutsideTheScreenAreFittedIntoIt)
{
    for (const char* winpos : {"10,20,-5,99999", "-3000,-2259,600,400", "5000,4000,600,400", "0,0,9000,9000"}) {
        dir.Write("dazo.dat", std::string("[PROG]\nWINPOS=") + winpos + "\n");
        Start();
        const QRect screen = form->screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(form->geometry())) << winpos << " " << form->geometry().x() << "," << form->geometry().y() << ","
                                                       << form->width() << "," << form->height() << " in " << screen.width() << "x" << screen.height();
        EXPECT_GE(form->width(), std::min(form->minimumSizeHint().width(), screen.width())) << winpos;
        form->close();
        const std::string stored = IniFile(dir.File("dazo.dat")).ReadString("PROG", "WINPOS");
        const QRect shown = form->geometry();
        EXPECT_EQ(stored, QStringLiteral("%1,%2,%3,%4").arg(shown.x()).arg(shown.y()).arg(shown.width()).arg(shown.height()).toStdString());
    }
}

TEST_F(MainFormTest, FiveStartsAndClosesLeaveTheStoredBoundsAsTheyWere)
{
    dir.Write("dazo.dat", "[PROG]\nWINPOS=10,30,780,520\n");
    for (int run = 0; run < 5; ++run) {
        Start();
        form->close();
        EXPECT_EQ(IniFile(dir.File("dazo.dat")).ReadString("PROG", "WINPOS"), "10,30,780,520") << run;
    }
}

TEST_F(MainFormTest, StartsWithAnInactiveTreeAndTheWindowLayout)
{
    Start();
    EXPECT_EQ(form->windowTitle(), "DAZO Rudozudoveva");
    auto* tree = Find<QTreeWidget>("TreeView1");
    EXPECT_FALSE(form->TreeActive());
    EXPECT_EQ(tree->palette().color(QPalette::Text), QColor(192, 192, 192));
    EXPECT_FALSE(Find<QCheckBox>("cGrid")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>("cCursor")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("cGrid")->isChecked());
    EXPECT_EQ(CurrentPage(), Find<QWidget>("DataSheet"));
    EXPECT_EQ(LabelText("LCaption"), "");

    const char* const nodes[] = {"Projektdaten", "Messung", "Eingangsfunktion", "ungefiltert", "31,5 Hz", "63 Hz", "125 Hz", "250 Hz",
                                 "500 Hz", "1000 Hz", "2000 Hz", "4000 Hz", "8000 Hz", "Tabelle", "Auswertung"};
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(form->TreeNode(i)->text(0), QString::fromUtf8(nodes[i])) << i;
    EXPECT_EQ(form->TreeNode(k125)->parent(), form->TreeNode(kMessung));
    EXPECT_EQ(form->TreeNode(kTabelle)->parent(), form->TreeNode(kMessung));
    EXPECT_EQ(form->TreeNode(kAuswertung)->parent(), nullptr);

    struct Entry {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
    };
    for (const Entry& e : {Entry{"Load1", "Messung öffnen...", QKeySequence("Ctrl+O")}, Entry{"Exit1", "Beenden", QKeySequence("Alt+F4")},
                           Entry{"Impulsantwort1", "h(t)", {}}, Entry{"ht1", "h²(t)", {}}, Entry{"log1", "log  h²(t)", {}},
                           Entry{"SPL1", "SPL", {}}, Entry{"ETC1", "ETC", {}}, Entry{"Hht1", "H{h(t)}", {}},
                           Entry{"Firmendaten1", "Firmendaten", {}}, Entry{"HauptspeichersparModus1", "RAM-Spar-Modus", {}},
                           Entry{"Info1", "Info...", {}}, Entry{"Drucken1", "Diagramm drucken", {}},
                           Entry{"Speichern1", "Diagramm speichern...", {}}, Entry{"Druckvorschau1", "Druckvorschau", {}}}) {
        auto* action = Find<QAction>(e.name);
        EXPECT_EQ(action->text(), QString::fromUtf8(e.caption));
        EXPECT_EQ(action->shortcut(), e.shortcut) << e.name;
    }
    EXPECT_TRUE(Find<QAction>("Impulsantwort1")->isChecked());
    EXPECT_TRUE(Find<QAction>("HauptspeichersparModus1")->isCheckable());
    EXPECT_EQ(Find<QMenu>("PopupMenu1")->actions().size(), 4);
    EXPECT_EQ(Find<QAction>("DatenExportieren1")->text(), "Daten exportieren...");
    // QFileDialog collapses the two blanks of the first filter's text.
    auto* open = Find<QFileDialog>("OpenDialog1");
    EXPECT_EQ(open->nameFilters(), (QStringList{"Nachhallzeit Projekt (*.npj)", "MLSSA (*.tim)", "QEL (*.qel)", "Audio (*.wav *.flac *.aif *.aiff)",
                                                QString::fromUtf8("Alle unterstützten Dateien (*.npj *.tim *.qel *.wav *.flac *.aif *.aiff)")}));
    EXPECT_EQ(open->selectedNameFilter(), "Nachhallzeit Projekt (*.npj)");

    auto* tabs = Find<QTabWidget>("ParamPages");
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->tabText(2), QString::fromUtf8("Energie-Zeit-Maße"));
    for (const char* name : {"LComment", "LAbtast", "LKHz", "LDataCount", "lPos", "lbEDT", "lbRT20", "lbRT30", "lcEDT", "lcRT20", "lcRT30",
                             "lcRtxx", "lbRSelect", "lcRSelect", "LAb12", "LAb13", "LAb23", "lC35", "lC50", "lC80", "LCCustIn", "LCCust",
                             "lD50", "LD80", "lCenterTime", "lFreeCursorPos"})
        Find<QLabel>(name);
    for (const char* name : {"eC1", "eC2", "eC3", "eMessA", "eMessE", "EMessS"})
        Find<QLineEdit>(name);
    EXPECT_TRUE(Find<QToolButton>("bEDT")->isChecked());
    EXPECT_TRUE(Find<QToolButton>("bms")->isChecked());
    EXPECT_EQ(Find<QToolButton>("bRTxx")->group(), Find<QToolButton>("bEDT")->group());
    EXPECT_EQ(Find<QToolButton>("bRT30")->text(), "RT 30");
    EXPECT_EQ(Find<QComboBox>("cCurMessKurve")->currentText(), "Impulsantwort");
    EXPECT_TRUE(Find<QWidget>("SchnittPanel")->isHidden());
    EXPECT_EQ(Find<QWidget>("bCompress")->toolTip(), QString::fromUtf8("Rauschunterdrückung nach dem Verfahren von Lundeby"));

    // The inactive tree ignores selection.
    Select(k125);
    EXPECT_EQ(CurrentPage(), Find<QWidget>("DataSheet"));
    EXPECT_EQ(LabelText("LCaption"), "");
}

TEST_F(MainFormTest, ClosingWithAProjectOpenDeletesTheTemporaryFilesAndSavesTheProject)
{
    const std::string project = MakeProject();
    Start();
    form->OpenProject(QString::fromStdString(project));
    const std::vector<std::string> temporary = {dir.File("halle.$$$"), dir.File("temp.$$$"), dir.File("temp1.$$$"), dir.File("dazo.$$$")};
    for (const std::string& file : temporary)
        dir.Write(fs::path(file).filename().string(), "x");

    form->close();
    for (const std::string& file : temporary)
        EXPECT_FALSE(fs::exists(file)) << file;
    const IniFile settings(dir.File("dazo.dat"));
    EXPECT_EQ(settings.ReadString("PROG", "PATH"), dir.Path().string());
    const IniFile saved(project);
    EXPECT_EQ(saved.ReadString("DATA", "eAnzMessungen"), "2"); // the manager's points
    EXPECT_TRUE(saved.ValueExists("DATA", "eOName"));            // the project data
    EXPECT_TRUE(messages.texts.empty());
}

// ---- Opening and loading ------------------------------------------------------

TEST_F(MainFormTest, DroppedFileOpensAndJoinsTheRecentFilesAboveBeenden)
{
    const std::string project = MakeProject();
    Start();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(project))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_EQ(form->Core().ProjectFile(), project);
    EXPECT_EQ(TProgramSettings(dir.File("dazo.dat")).RecentFiles(), std::vector<std::string>{project});

    // A new start lists it in the file menu, just above "Beenden".
    form.reset();
    Start();
    auto* exit = Find<QAction>("Exit1");
    const QList<QAction*> entries = qobject_cast<QMenu*>(exit->parent())->actions();
    const auto at = entries.indexOf(Find<QAction>("Recent1"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(entries.at(at + 1)->isSeparator() && entries.at(at + 2) == exit, true);
    EXPECT_EQ(Find<QAction>("Recent1")->text(), "&1 " + QString::fromStdString(project));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(MainFormTest, OpeningAMeasurementFileMakesAOnePointProject)
{
    WriteMeasurement(dir.File("r01.tim"), 0.04f, 8000, "Saalmitte ä");
    Start();
    form->OpenProject(QString::fromStdString(dir.File("r01.tim")));

    EXPECT_EQ(form->Core().ProjectFile(), dir.File("r01.npj"));
    EXPECT_EQ(manager->Model().PointCount(), 1);
    EXPECT_EQ(manager->MeasurementCaption(), "Messpunkt 1 (1)");
    ASSERT_TRUE(form->Core().HasMeasurement());
    EXPECT_EQ(form->Core().CalcData()->FileName, dir.File("r01.tim"));
    EXPECT_EQ(form->windowTitle(), QString::fromStdString("DAZO Rudozudoveva " + dir.File("r01.tim")));
    EXPECT_EQ(LabelText("LDataCount"), "8000");
    EXPECT_EQ(LabelText("LAbtast"), Fixed(0.04, 4));
    EXPECT_EQ(LabelText("LKHz"), Fixed(25.0, 2));
    EXPECT_EQ(LabelText("LComment"), QString::fromUtf8("Saalmitte ä"));
    EXPECT_EQ(Find<QLineEdit>("eMessA")->text(), "0");
    EXPECT_EQ(Find<QLineEdit>("eMessE")->text(), "8000");
    EXPECT_EQ(Find<QLineEdit>("EMessS")->text(), "0");
    EXPECT_FALSE(form->Cursors().Visible());
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(MainFormTest, OpeningAProjectLoadsTheFirstMeasurementWithTheManagerDocked)
{
    const std::string project = MakeProject();
    // The crop settings stored for the measurement apply at the load.
    IniFile(project).WriteString("r01.tim", "MPA", "100");
    IniFile(project).WriteString("r01.tim", "MPE", "6000");
    IniFile(project).WriteString("r01.tim", "MPS", "50");
    Start();
    form->OpenProject(QString::fromStdString(project));

    EXPECT_TRUE(form->TreeActive());
    EXPECT_NE(Find<QTreeWidget>("TreeView1")->palette().color(QPalette::Text), QColor(192, 192, 192));
    EXPECT_TRUE(Find<QCheckBox>("cGrid")->isEnabled());
    EXPECT_TRUE(Find<QCheckBox>("cCursor")->isEnabled());
    EXPECT_EQ(Find<QTreeWidget>("TreeView1")->currentItem(), form->TreeNode(kMessung));
    EXPECT_EQ(LabelText("LCaption"), "Messung");
    EXPECT_EQ(form->DockedForm(), manager.get());
    EXPECT_EQ(manager->parentWidget(), Find<QWidget>("DataSheet"));
    EXPECT_TRUE(manager->isVisible());
    EXPECT_EQ(CurrentPage(), Find<QWidget>("DataSheet"));
    EXPECT_EQ(projectData->ProjectFile(), project);
    ASSERT_TRUE(form->Core().HasMeasurement());
    EXPECT_EQ(form->Core().CalcData()->FileName, dir.File("r01.tim"));
    EXPECT_EQ(LabelText("LDataCount"), "6000");
    EXPECT_EQ(Find<QLineEdit>("eMessA")->text(), "100");
    EXPECT_EQ(Find<QLineEdit>("eMessE")->text(), "6000");
    EXPECT_EQ(Find<QLineEdit>("EMessS")->text(), "50");

    Select(kProjektdaten);
    EXPECT_EQ(form->DockedForm(), projectData.get());
    EXPECT_EQ(manager->parentWidget(), nullptr); // one window in the page at a time
    EXPECT_FALSE(manager->isVisible());
    EXPECT_EQ(LabelText("LCaption"), "Projektdaten");
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(MainFormTest, AFailedLoadIsShownAndCalculatorNodesFallBackToTheMeasurement)
{
    dir.Write("kaputt.tim", "keine Messung");
    dir.Write("p.npj", "[Messungen]\nMP1=\"Messpunkt 1\",,,0,0,,0,0,,,,\"kaputt.tim\",\n");
    Start();
    form->OpenProject(QString::fromStdString(dir.File("p.npj")));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_FALSE(form->Core().HasMeasurement());
    EXPECT_EQ(form->windowTitle(), "DAZO Rudozudoveva");

    Select(k125);
    EXPECT_EQ(Find<QTreeWidget>("TreeView1")->currentItem(), form->TreeNode(kMessung));
    EXPECT_EQ(CurrentPage(), Find<QWidget>("DataSheet"));
    EXPECT_EQ(form->DockedForm(), manager.get());
}

TEST_F(MainFormTest, AClickOnABandWithoutAMeasurementLeavesOnlyMessungSelected)
{
    dir.Write("kaputt.tim", "keine Messung");
    dir.Write("p.npj", "[Messungen]\nMP1=\"Messpunkt 1\",,,0,0,,0,0,,,,\"kaputt.tim\",\n");
    Start();
    form->OpenProject(QString::fromStdString(dir.File("p.npj")));
    auto* tree = Find<QTreeWidget>("TreeView1");
    QApplication::processEvents();
    const QPoint at = tree->visualItemRect(form->TreeNode(k250)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, QPointF(at), tree->viewport()->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &click);
    }
    QApplication::processEvents();
    EXPECT_EQ(tree->currentItem(), form->TreeNode(kMessung));
    EXPECT_EQ(tree->selectedItems(), QList<QTreeWidgetItem*>{form->TreeNode(kMessung)});
    EXPECT_EQ(LabelText("LCaption"), "Messung");
}

TEST_F(MainFormTest, AFailedLoadNamesTheFileAfterTheOldPointsAreGoneAndStaysOutOfTheRecentFiles)
{
    const std::string good = MakeProject();
    const std::string broken = dir.Write("kaputt.tim", "keine Messung");
    Start();
    std::vector<QString> errors;
    std::vector<int> pointsShown;
    form->Dialogs.ShowError = [&](const QString& message) {
        errors.push_back(message);
        pointsShown.push_back(manager->findChild<QTreeWidget*>("MessView")->topLevelItemCount());
    };
    form->OpenChosenFile(QString::fromStdString(good));
    ASSERT_TRUE(errors.empty());
    form->OpenChosenFile(QString::fromStdString(broken));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].contains(QString::fromStdString(broken))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains("falsches Datenformat")) << errors[0].toStdString();
    EXPECT_EQ(pointsShown[0], 0); // the previous project's points are no longer shown
    EXPECT_EQ(TProgramSettings(dir.File("dazo.dat")).RecentFiles(), std::vector<std::string>{good});
}

// ---- Navigation ------------------------------------------------------------------

TEST_F(MainFormTest, ABandNodeDrawsItsCalculatorWithCursorsAndTheInputFunctionHidesThem)
{
    Start();
    form->OpenProject(QString::fromStdString(MakeProject()));
    Select(k125);

    EXPECT_EQ(LabelText("LCaption"), "Messpunkt 1 (1) 125 Hz");
    EXPECT_EQ(CurrentPage(), Find<QWidget>("GraphSheet"));
    EXPECT_EQ(form->CurrentCalculator(), 4);
    EXPECT_TRUE(Calcer(4).Calculated);
    EXPECT_EQ(form->ShownSeries(), &Calcer(4).SignalSeries);
    EXPECT_EQ(form->DockedForm(), nullptr);
    EXPECT_TRUE(form->Cursors().Visible());
    EXPECT_TRUE(Find<QCheckBox>("cCursor")->isChecked());
    EXPECT_EQ(ParameterTabsVisible(), (std::vector<bool>{true, true, true, true}));

    // On the chart: the curve left, the Schroeder curve and the regression line
    // right, the three cursor lines on top in their colours.
    TChartView* chart = form->Chart();
    const TXChartCursors& cursors = form->Cursors();
    ASSERT_NE(chart->GraphOf(Calcer(4).SignalSeries), nullptr);
    EXPECT_TRUE(chart->GraphOf(Calcer(4).SignalSeries)->visible());
    EXPECT_EQ(chart->GraphOf(Calcer(4).SchroederSeries)->valueAxis(), chart->yAxis2);
    QCPGraph* regression = chart->GraphOf(cursors.RegressionLine());
    ASSERT_NE(regression, nullptr);
    EXPECT_EQ(regression->valueAxis(), chart->yAxis2);
    EXPECT_EQ(regression->pen().color(), QColor(255, 255, 0));
    const QColor colours[] = {QColor(255, 255, 0), QColor(0, 128, 0), QColor(255, 255, 255)};
    for (int i = 0; i < 3; ++i) {
        QCPGraph* line = chart->GraphOf(cursors.Items(i).LineSeries());
        ASSERT_NE(line, nullptr);
        EXPECT_TRUE(line->visible());
        EXPECT_EQ(line->pen().color(), colours[i]);
        EXPECT_EQ(line->layer()->name(), "cursors");
    }
    const auto order = chart->DrawingOrder();
    const auto place = [&](const TLineSeries& s) { return std::find(order.begin(), order.end(), &s) - order.begin(); };
    for (int i = 0; i < 3; ++i) {
        EXPECT_GT(place(cursors.Items(i).LineSeries()), place(Calcer(4).SignalSeries));
        EXPECT_GT(place(cursors.Items(i).LineSeries()), place(Calcer(4).SchroederSeries));
    }

    // Clicking a cursor line selects that cursor; a selected line is drawn wider.
    emit chart->cursorLineClicked(&cursors.Items(1).LineSeries());
    EXPECT_EQ(cursors.SelectedIndex(), 1);
    EXPECT_EQ(chart->GraphOf(cursors.Items(1).LineSeries())->pen().width(), 3);

    Select(kEingang);
    EXPECT_EQ(LabelText("LCaption"), "Messpunkt 1 (1) Eingangsfunktion");
    EXPECT_EQ(form->CurrentCalculator(), 0);
    EXPECT_EQ(form->ShownSeries(), &Calcer(0).SignalSeries);
    EXPECT_FALSE(form->Cursors().Visible());
    EXPECT_FALSE(Find<QCheckBox>("cCursor")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>("cCursor")->isEnabled());
    EXPECT_EQ(ParameterTabsVisible(), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(chart->GraphOf(Calcer(0).SchroederSeries), nullptr);
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(MainFormTest, GridAndCursorBoxesSwitchTheChart)
{
    Start();
    form->OpenProject(QString::fromStdString(MakeProject()));
    Select(k250);
    Find<QCheckBox>("cGrid")->click();
    EXPECT_FALSE(form->Chart()->GridVisible());
    Find<QCheckBox>("cCursor")->click();
    EXPECT_FALSE(form->Cursors().Visible());
    EXPECT_FALSE(form->Chart()->GraphOf(form->Cursors().Items(0).LineSeries())->visible());
    Find<QCheckBox>("cGrid")->click();
    Find<QCheckBox>("cCursor")->click();
    EXPECT_TRUE(form->Chart()->GridVisible());
    EXPECT_TRUE(form->Cursors().Visible());
}

TEST_F(MainFormTest, RamSavingResetsTheBandLeftButNeverTheInputFunction)
{
    Start();
    form->OpenProject(QString::fromStdString(MakeProject()));
    Find<QAction>("HauptspeichersparModus1")->trigger();
    EXPECT_TRUE(form->RamSave());

    Select(k125);
    Select(k250);
    EXPECT_FALSE(Calcer(4).Calculated);
    EXPECT_TRUE(Calcer(4).SignalSeries.Empty());
    EXPECT_TRUE(Calcer(5).Calculated);

    Select(kEingang);
    EXPECT_FALSE(Calcer(5).Calculated);
    Select(k125);
    EXPECT_TRUE(Calcer(0).Calculated);

    Find<QAction>("HauptspeichersparModus1")->trigger();
    EXPECT_FALSE(form->RamSave());
    Select(k500);
    EXPECT_TRUE(Calcer(4).Calculated);
}

TEST_F(MainFormTest, ARepresentationRedrawsTheShownCalculator)
{
    Start();
    form->OpenProject(QString::fromStdString(MakeProject()));
    Select(k500);
    Find<QAction>("log1")->trigger();

    EXPECT_EQ(form->View(), 4);
    EXPECT_TRUE(Find<QAction>("log1")->isChecked());
    EXPECT_FALSE(Find<QAction>("Impulsantwort1")->isChecked());
    EXPECT_EQ(form->CurrentCalculator(), 6);
    EXPECT_EQ(form->ShownSeries(), &Calcer(6).DisplaySeries);
    EXPECT_EQ(form->Chart()->yAxis->label(), "Amplitude [dB]");
    EXPECT_TRUE(form->Chart()->GraphOf(Calcer(6).DisplaySeries)->visible());
    EXPECT_EQ(form->Chart()->GraphOf(Calcer(6).SignalSeries), nullptr);
}

TEST_F(MainFormTest, ARefusedBandShowsItsMessageAndKeepsCursorsAndTabs)
{
    Start();
    form->OpenProject(QString::fromStdString(MakeProject(0.1f)));
    manager->OnMeasurementSelect(QString::fromStdString(dir.File("r02.tim"))); // 10 kHz
    Select(k500);
    ASSERT_TRUE(form->Cursors().Visible());

    Select(k4000);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], QString::fromUtf8("Filterung bei dieser Abstastrate nicht möglich"));
    EXPECT_EQ(form->CurrentCalculator(), 9);
    EXPECT_EQ(form->ShownSeries(), nullptr);
    EXPECT_TRUE(form->Cursors().Visible());
    EXPECT_EQ(ParameterTabsVisible(), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(LabelText("LCaption"), "Messpunkt 1 (1) 4000 Hz");
}

TEST_F(MainFormTest, EvaluationWindowLivesWhileItsNodeIsSelected)
{
    Start();
    form->OpenProject(QString::fromStdString(MakeProject()));
    Select(kAuswertung);
    QPointer<QWidget> first = form->EvaluationWindow();
    ASSERT_TRUE(first);
    EXPECT_EQ(form->DockedForm(), first.data());
    EXPECT_EQ(first->parentWidget(), Find<QWidget>("DataSheet"));

    Select(kTabelle);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(LabelText("LCaption"), "Tabelle");
    ASSERT_NE(form->DockedForm(), nullptr);

    Select(kAuswertung);
    EXPECT_NE(form->EvaluationWindow(), nullptr);
}

// ---- Result requests -------------------------------------------------------------

TEST_F(MainFormTest, AllBandsGoIntoTheCacheAndResultRequestsWriteTheResultsFile)
{
    Start();
    const std::string results = paths.ResultsFile();
    EXPECT_TRUE(SendResultsRequest(form.get(), WM_RESULTS_CURRENT)); // nothing loaded: nothing written
    EXPECT_FALSE(fs::exists(results));

    form->OpenProject(QString::fromStdString(MakeProject()));
    Select(k125);
    form->CalcAllBands(true);
    const IniFile project(dir.File("halle.npj"));
    for (int band = 1; band <= 10; ++band) {
        EXPECT_FALSE(project.ReadString("r01.tim", "RT." + std::to_string(band) + ".1.Values").empty()) << band;
        EXPECT_FALSE(project.ReadString("r01.tim", "C." + std::to_string(band) + ".Values").empty()) << band;
    }

    ASSERT_TRUE(SendResultsRequest(form.get(), WM_RESULTS_CURRENT));
    std::ifstream current(results);
    int lines = 0;
    for (std::string line; std::getline(current, line);)
        ++lines;
    EXPECT_EQ(lines, 10);

    // Over all measurements the loaded one comes back, and the chart holds
    // nothing of the calculators the request released.
    ASSERT_TRUE(SendResultsRequest(form.get(), WM_RESULTS_ALL));
    EXPECT_TRUE(fs::exists(results));
    ASSERT_TRUE(form->Core().HasMeasurement());
    EXPECT_EQ(form->Core().CalcData()->FileName, dir.File("r01.tim"));
    EXPECT_EQ(form->ShownSeries(), nullptr);
    EXPECT_TRUE(form->Chart()->DrawingOrder().empty());
    EXPECT_TRUE(messages.texts.empty());
}

} // namespace
} // namespace dazo::ui
