// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The evaluation page of a project: the RT20 averaged over all measurements
// per octave band as a diagram with its values, all averaged parameters as a
// table, the mean EDT, RT20 and RT30 of the 500 Hz and 1000 Hz bands, and the
// pages of the three printed reports. The results come from the main window
// on request; the reports are hooks, set to the window's three reports
// (ConnectProjectReports) when the window is made.

#include "bridge/AnsiText.h"
#include "common/ProgramPaths.h"
#include "evaluation/ProjectSurvey.h"
#include "reports/Din18041.h"
#include "reports/TextPipeline.h"
#include "reports/uNachhallDia.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class QCustomPlot;
class QGroupBox;
class QLabel;
class QTabWidget;
class QToolButton;

namespace dazo::ui {

class TEditGrid;
class TTitleBar;

// The report a design command is for.
enum TReportKind { DiagramReport = 0, TestReport = 1, MeasurementReport = 2 };

// The mean EDT, RT20 and RT30 over the 500 Hz and 1000 Hz bands.
struct TMeanTimes {
    double EDT = 0;
    double RT20 = 0;
    double RT30 = 0;
};

class TNachhallDiaDlg : public QWidget {
    Q_OBJECT

public:
    explicit TNachhallDiaDlg(ProgramPaths paths, FormatSettings format = UserFormat(), QWidget* parent = nullptr);

    // Asks the main window for the averaged results file (WM_RESULTS_ALL) and
    // returns when it is written; the main window shows progress and errors.
    std::function<void(int message)> RequestResults;
    // How the project was measured (points, sample rates, quality marks), for
    // the test report; the main window loads every measurement for it.
    std::function<ProjectSurvey()> SurveyProject;
    // The reports (printer true, screen false) and their designer.
    std::function<void(bool printer)> OnOutputDiagramReport;
    std::function<void(bool printer)> OnOutputTestReport;
    std::function<void(bool printer)> OnOutputMeasurementReport;
    std::function<void(int which)> OnDesign;

    void SetProjectFile(const std::string& projectFile) { projectFile_ = projectFile; }
    const std::string& ProjectFile() const { return projectFile_; }
    const ProgramPaths& Paths() const { return paths_; }
    const FormatSettings& Format() const { return format_; }

    const TBandValues& BandValues() const { return bandValues_; }
    const TMeanTimes& Means() const { return means_; }
    // True once a calculation has read the averaged results.
    bool HasResults() const { return hasResults_; }
    // The DIN 18041 assessment of the seven bands from the project data's
    // usage class and volume; none while either is missing.
    const std::optional<RoomAssessment>& Assessment() const { return assessment_; }
    // Its corridor in seconds; none without T_soll.
    std::optional<TCorridor> Corridor() const;

    // Requests the averaged results, then fills chart, labels and table.
    void bCalcClick();
    // Hands the reports the company data of the settings file as they are now.
    void BindCompanyData();

    QTabWidget* PageControl1;
    QWidget* SheetNachhall;
    QWidget* SheetPruefbericht;
    QWidget* MessSheet;

    TTitleBar* Panel1;
    QToolButton* bCalc;
    QToolButton* bPrint;
    QToolButton* bPreview;
    QToolButton* bDesign;
    QTabWidget* NachhallPage;
    QWidget* TabSheet1;
    QWidget* TabSheet2;
    QCustomPlot* Chart1;
    QGroupBox* PanelWerte;
    QLabel* l125;
    QLabel* l250;
    QLabel* l500;
    QLabel* l1000;
    QLabel* l2000;
    QLabel* l4000;
    QLabel* l8000;
    QLabel* lDin18041; // T_soll and the verdict per band
    TEditGrid* Grid;

    TTitleBar* Panel2;
    QToolButton* bPrintPruef;
    QToolButton* bPreviewPrint;
    QToolButton* bDesignPrint;

    TTitleBar* Panel3;
    QToolButton* bMessPrint;
    QToolButton* bMessPreview;
    QToolButton* bMessDesign;

    TTextPipeline PipeValues;    // results file
    TTextPipeline PData;         // "Projektdaten", the project-data file
    TTextPipeline LData;         // "Firmendaten", the company-data file
    TTextPipeline MessPunktPipe; // measurement-points file

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* CreateNachhallSheet();
    QWidget* CreateGraphicPage();
    QWidget* CreateReportSheet(const char* sheetName, TTitleBar*& bar, const char* barName, const QString& caption);
    void ConnectReportButtons();

    void ReadAverages();
    void FillTable();
    void ShowValues();
    QLabel* ValueLabel(std::size_t band) const;

    ProgramPaths paths_;
    FormatSettings format_;
    std::string projectFile_;
    TBandValues bandValues_{};
    TMeanTimes means_;
    bool hasResults_ = false;
    std::optional<RoomAssessment> assessment_;
};

} // namespace dazo::ui
