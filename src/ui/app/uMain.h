// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window: navigation tree, chart with its cursors and parameter tabs,
// and the page where the project windows are docked. The loaded measurement
// and its calculators belong to the evaluation core; the window turns the
// user's commands into core calls and shows the results.
//
// The window's parts are split over several files: uMain.cpp builds the window
// and runs start-up, shut-down, navigation and loading; uMainPanels.cpp holds
// the parameter panels and the chart's commands; uMainInput.cpp moves the
// cursors with the mouse and the keyboard.

#include "analysis/DecayQuality.h"
#include "app/ChartExport.h"
#include "common/ProgramPaths.h"
#include "evaluation/ProgramSettings.h"

#include <QEvent>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QActionGroup;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPrinter;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QCPItemLine;
class QCPLayer;

namespace dazo {
class TCalcChart;
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
    // The decay quality of each band whose calculator is calculated (index
    // band - 1); the others have none: assessing them would mean calculating.
    std::vector<std::optional<DecayQuality>> CalculatedBandQualities() const;
    void SetCompanionWindows(TMesManDlg* manager, TProjectDlg* projectData, QWidget* resultsTable = nullptr);

    // A project file, or a single measurement file that becomes a one-point
    // project. Errors are shown to the user.
    // False when it could not be opened (the error has been shown).
    bool OpenProject(const QString& fileName);
    // A file the user chose (open dialog, drop, recent list): opened and put
    // first in the recent files.
    void OpenChosenFile(const QString& fileName);
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

    // Prints the chart on the printer's page: laid out for the page, as on screen.
    void PrintChart(QPrinter& printer);
    // What the chart shows now: project, measurement, band, representation, today.
    ChartCaption CurrentChartCaption() const;

    // Every question and message of the window goes through these, so that
    // tests can answer them; by default they are the usual dialogs.
    struct TDialogs {
        std::function<void(const QString& message)> ShowError;   // an error that ended a command
        std::function<void(const QString& message)> ShowMessage; // a note
        // A Yes/No question with the question icon; true for Yes.
        std::function<bool(const QString& caption, const QString& text)> AskYesNo;
        // An input box; none when cancelled.
        std::function<std::optional<QString>(const QString& caption, const QString& prompt, const QString& preset)> AskText;
        // The save dialog of the chart picture; empty when cancelled.
        std::function<QString()> AskChartFileName;
        // A save dialog for a CSV file; empty when cancelled.
        std::function<QString(const QString& caption)> AskCsvFileName;
        // The print dialog; false when cancelled.
        std::function<bool(QPrinter& printer)> AskPrinter;
    };
    TDialogs Dialogs;

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
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

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

    // Parameter panels and chart commands (uMainPanels.cpp).
    void ConnectPanels();
    void SetDefaultDialogs();
    void ShowRecentFiles();
    // The band calculator whose curve the chart shows with the cursors bound
    // to it; none otherwise (the cursors may then point to a curve that is gone).
    TCalcChart* ShownCalcer() const;
    int PressedRTKind() const;
    void SelectRTKind(int kind);
    void ShowFittedRange(int kind);
    void RefitCustomRange();
    void UpdateRTLabels();
    void MarkDecayFlags();
    void UpdateEnergyPanel();
    void UpdateCursorReadouts();
    void eC1Enter(QLineEdit* edit);
    void eC1Exit(QLineEdit* edit);
    void bRTRecallClick();
    void bSetCCustClick();
    void bMessSchnittClick();
    void SetCropAtWhiteCursor(QLineEdit* edit, const char* caption, const char* question);
    void StoreCropPoint(QLineEdit* edit, int sample);
    void ApplyCrop();
    void bResetClick();
    void bCompressClick();
    void SpeedButton2Click();
    void Speichern1Click();
    void DatenExportieren1Click();
    void Drucken1Click();
    void Druckvorschau1Click();

    // Cursor dragging and keys (uMainInput.cpp).
    void ConnectInput();
    int HitTestCursor(int x) const;
    void DrawDragLine(int x);
    void EraseDragLine();
    void Chart1MouseDown(QMouseEvent* event);
    void Chart1MouseMove(QMouseEvent* event);
    void Chart1MouseUp(QMouseEvent* event);
    bool FormKeyDown(QKeyEvent* event);
    void FormKeyUp(QKeyEvent* event);
    void MoveSelectedCursor(int step);

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
    int FDragX = 0;
    int FDragY = 0;
    bool dragMoved_ = false; // a press on a cursor without a move only selects it
    int FKeyRepeat = 0;
    QCPLayer* dragLayer_ = nullptr;
    QCPItemLine* FDragLine = nullptr;
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
    QAction* RecentSeparator = nullptr; // before Exit1; the recent files go above it
    std::vector<QAction*> RecentActions;
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
    QAction* DatenExportieren1 = nullptr;
    QAction* Druckvorschau1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;

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
