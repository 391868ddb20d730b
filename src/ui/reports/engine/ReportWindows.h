// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The reports of the two evaluation windows: what each output and design
// command loads, opens, puts into its report and closes again. A command
// ends in a run (printer, preview or PDF file) handed in by the caller, so
// the windows and dazo-eval go through the same steps.

#include "reports/engine/Report.h"

#include <QObject>
#include <QString>

#include <functional>

namespace dazo::ui {

class TAusgabeDlg;
class TNachhallDiaDlg;

// What becomes of a report once it is ready: printed, previewed or exported.
using ReportRun = std::function<void(Report& report)>;
// The output to the window's device (printer or preview window).
ReportRun DeviceRun(ReportDevice device, QWidget* parent);

// Element kinds the designers offer.
std::vector<ElementKind> AllElementKinds();

// ppReport1 of the results table, on its print, preview and design buttons.
class TableReports : public QObject {
    Q_OBJECT

public:
    explicit TableReports(TAusgabeDlg& window);

    void OutputReport(const ReportRun& run);
    void Design();

    // How a damaged template is reported (a message box by default).
    std::function<void(const QString& message)> ShowWarning;
    Report ppReport1;

private:
    void LoadTemplate(Report& report);

    TAusgabeDlg& window_;
};

// ppReport2, RepPruef and Messbericht of the evaluation window, on its nine
// report buttons.
class ProjectReports : public QObject {
    Q_OBJECT

public:
    explicit ProjectReports(TNachhallDiaDlg& window);

    void OutputDiagramReport(const ReportRun& run);
    void OutputTestReport(const ReportRun& run);
    void OutputMeasurementReport(const ReportRun& run);
    // which: the window's TReportKind.
    void Design(int which);

    std::function<void(const QString& message)> ShowWarning;
    Report ppReport2;
    Report RepPruef;
    Report Messbericht;

private:
    void LoadTemplate(Report& report);
    ReportPicture Diagram() const;
    void PutDiagram();
    void PutAssessment();
    void PutTestResults();
    void SetVariables();

    TNachhallDiaDlg& window_;
};

// The window's reports (owned by the window, made on the first call),
// connected to the window's report hooks. The windows call these when they
// are made.
TableReports& ConnectTableReport(TAusgabeDlg& window);
ProjectReports& ConnectProjectReports(TNachhallDiaDlg& window);

} // namespace dazo::ui
