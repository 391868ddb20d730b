// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window: navigation tree, chart with its cursors and parameter tabs,
// and the page where the project windows are docked. The loaded measurement
// and its calculators belong to the evaluation core; the window turns the
// user's commands into core calls and shows the results.
//
// The window's parts are split over several files: uMain.cpp builds the window
// and runs start-up, shut-down, navigation and loading; uMainPanels.cpp holds
// the parameter panels.

#include "common/ProgramPaths.h"
#include "evaluation/ProgramSettings.h"

#include <QEvent>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class QAction;
class QActionGroup;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace dazo {
class TEvaluationCore;
class TLineSeries;
class TXChartCursors;
} // namespace dazo

namespace dazo::ui {

class TChartView;
class TMesManDlg;
class TProjectDlg;

// A result request of a report window: the event type is the request's number
// (WM_RESULTS_CURRENT or WM_RESULTS_ALL). Sent with QCoreApplication::sendEvent,
// it returns when the main window has written the results file.
class TResultsRequest : public QEvent {
public:
    explicit TResultsRequest(int message);
    int Message() const { return static_cast<int>(type()); }
    // Set by the main window when the request ran without an error.
    bool Completed = false;
};

// Sends the request and waits for it; true when it ran without an error.
bool SendResultsRequest(QObject* mainWindow, int message);

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // The settings file, the temporary report files and the default project
    // directory come from the paths.
    explicit TMainForm(ProgramPaths paths, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The windows made after the main window and living as long as it. The
    // manager loads its measurements through LoadMeasurementFile. Without a
    // results table, "Tabelle" docks an empty page.
    void SetCompanionWindows(TMesManDlg* manager, TProjectDlg* projectData, QWidget* resultsTable = nullptr);

    // A project file, or a single measurement file that becomes a one-point
    // project. Errors are shown to the user.
    void OpenProject(const QString& fileName);
    // Loads a measurement of the open project; errors are shown to the user
    // and leave the window without a measurement.
    void LoadMeasurementFile(const QString& fileName);
    void ReleaseMeasurement();
    // Draws calculator 0..10 in the chosen representation.
    void ShowCalculator(int index);
    // Makes sure every band of the loaded measurement is in the result cache.
    void CalcAllBands(bool withProgress);
    // Docks the form into the page so that it fills it, or undocks and hides
    // it when the page is none. Nothing happens without a form.
    void DockForm(QWidget* form, QWidget* page);

    TEvaluationCore& Core() const { return *core_; }
    const TXChartCursors& Cursors() const { return *FCursors; }
    TChartView* Chart() const { return Chart1; }
    int CurrentCalculator() const { return FCurrent; }
    // The curve the chart shows for the current calculator; none when nothing is shown.
    const TLineSeries* ShownSeries() const { return FShownSeries; }
    int View() const { return FView; }
    bool RamSave() const { return FRamSave; }
    bool ProjectOpen() const;
    QWidget* DockedForm() const { return FDocked; }
    QWidget* EvaluationWindow() const { return FEvalDlg.get(); }
    bool TreeActive() const { return treeActive_; }
    QTreeWidgetItem* TreeNode(int index) const { return nodes_.at(static_cast<std::size_t>(index)); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Building the window.
    void CreateMenus();
    QWidget* CreateTopBar();
    void CreateTree();
    QWidget* CreateGraphSheet();
    QWidget* CreateParameterTab();
    QWidget* CreateReverberationTab();
    QWidget* CreateEnergyTab();
    QWidget* CreatePositionTab();
    QLabel* AddValueLabel(const char* name);

    // Start-up and shut-down.
    void FormShow();
    void ReadSettings();
    void FormHide();

    // Navigation.
    void SetTreeActive(bool active);
    void SelectNode(int index);
    void TreeView1Change(QTreeWidgetItem* node);
    void MeasurementLoaded();
    void ForgetShownCurve();
    QWidget* CreateEvaluationWindow();
    void HandleResultsRequest(TResultsRequest& request);
    void ShowError(const QString& message);

    // Commands.
    void Load1Click();
    void RepresentationClick(QAction* entry);
    void cGridClick();
    void cCursorClick();
    void Firmendaten1Click();
    void HauptspeichersparModus1Click();
    void Info1Click();

    // Parameter panels (uMainPanels.cpp).
    int PressedRTKind() const;
    void SelectRTKind(int kind);
    void UpdateEnergyPanel();
    void UpdateCursorReadouts();

    ProgramPaths paths_;
    TProgramSettings settings_;
    std::unique_ptr<TEvaluationCore> core_;
    std::unique_ptr<TXChartCursors> FCursors;
    QPointer<TMesManDlg> manager_;
    QPointer<TProjectDlg> projectData_;
    QPointer<QWidget> resultsTable_;
    std::unique_ptr<QWidget> tablePlaceholder_;
    std::unique_ptr<QWidget> FEvalDlg;

    // State.
    int FDragCursor = -1;
    int FCurrent = 0;
    const TLineSeries* FShownSeries = nullptr;
    int FView = 1;
    QAction* FViewItem = nullptr;
    bool FRamSave = false;
    QWidget* FDocked = nullptr;
    bool treeActive_ = false;
    bool shown_ = false;
    bool shutDown_ = false;

    // Top bar, tree, pages.
    QFrame* Panel1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLabel* LCaption = nullptr;
    QCheckBox* cGrid = nullptr;
    QCheckBox* cCursor = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    std::array<QTreeWidgetItem*, 15> nodes_{};
    QStackedWidget* PageControl = nullptr;
    QWidget* GraphSheet = nullptr;
    QWidget* DataSheet = nullptr;
    QTabWidget* ParamPages = nullptr;
    TChartView* Chart1 = nullptr;
    QFileDialog* OpenDialog1 = nullptr;

    // Menus.
    QAction* Load1 = nullptr;
    QAction* Exit1 = nullptr;
    QActionGroup* ViewGroup = nullptr;
    QAction* Impulsantwort1 = nullptr;
    QAction* ht1 = nullptr;
    QAction* log1 = nullptr;
    QAction* SPL1 = nullptr;
    QAction* ETC1 = nullptr;
    QAction* Hht1 = nullptr;
    QAction* Firmendaten1 = nullptr;
    QAction* HauptspeichersparModus1 = nullptr;
    QAction* Info1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Drucken1 = nullptr;
    QAction* Speichern1 = nullptr;

    // Tab "Parameter".
    QLabel* LComment = nullptr;
    QLabel* LAbtast = nullptr;
    QLabel* LKHz = nullptr;
    QLabel* LDataCount = nullptr;
    QLabel* lPos = nullptr;
    QToolButton* SpeedButton2 = nullptr;

    // Tab "Nachhallzeit".
    QButtonGroup* RTKindButtons = nullptr;
    QToolButton* bEDT = nullptr;
    QToolButton* bRT20 = nullptr;
    QToolButton* bRT30 = nullptr;
    QToolButton* bRTxx = nullptr;
    QToolButton* bRTRecall = nullptr;
    QLabel* lbEDT = nullptr;
    QLabel* lbRT20 = nullptr;
    QLabel* lbRT30 = nullptr;
    QLabel* lcEDT = nullptr;
    QLabel* lcRT20 = nullptr;
    QLabel* lcRT30 = nullptr;
    QLabel* lcRtxx = nullptr;
    QLabel* lbRSelect = nullptr;
    QLabel* lcRSelect = nullptr;
    QLineEdit* eC1 = nullptr;
    QLineEdit* eC2 = nullptr;
    QLineEdit* eC3 = nullptr;
    QLabel* LAb12 = nullptr;
    QLabel* LAb13 = nullptr;
    QLabel* LAb23 = nullptr;
    QButtonGroup* UnitButtons = nullptr;
    QToolButton* bms = nullptr;
    QToolButton* bMeter = nullptr;
    QToolButton* bdB = nullptr;

    // Tab "Energie-Zeit-Maße".
    QLabel* lC35 = nullptr;
    QLabel* lC50 = nullptr;
    QLabel* lC80 = nullptr;
    QLabel* LCCustIn = nullptr;
    QLabel* LCCust = nullptr;
    QLabel* lD50 = nullptr;
    QLabel* LD80 = nullptr;
    QLabel* lCenterTime = nullptr;
    QPushButton* bSetCCust = nullptr;

    // Tab "Position".
    QComboBox* cCurMessKurve = nullptr;
    QLabel* lFreeCursorPos = nullptr;
    QPushButton* bMessSchnitt = nullptr;
    QFrame* SchnittPanel = nullptr;
    QLineEdit* eMessA = nullptr;
    QLineEdit* eMessE = nullptr;
    QLineEdit* EMessS = nullptr;
    QPushButton* bSetA = nullptr;
    QPushButton* bSetE = nullptr;
    QPushButton* bSetS = nullptr;
    QPushButton* bReset = nullptr;
    QPushButton* bCompress = nullptr;
};

} // namespace dazo::ui
