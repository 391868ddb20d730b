// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The results table of the loaded measurement: a row per band, a column per
// parameter, filled on every show from a fresh results file that the main
// window writes on request. Printing, preview and the report designer are
// hooks, set to the table report (ConnectTableReport) when the window is made.

#include "bridge/AnsiText.h"
#include "common/ProgramPaths.h"
#include "reports/TextPipeline.h"

#include <QWidget>

#include <functional>

class QToolButton;

namespace dazo::ui {

class TEditGrid;
class TTitleBar;

class TAusgabeDlg : public QWidget {
    Q_OBJECT

public:
    explicit TAusgabeDlg(ProgramPaths paths, FormatSettings format = UserFormat(), QWidget* parent = nullptr);

    // Asks the main window for the results file (WM_RESULTS_CURRENT) and
    // returns when it is written; the main window shows progress and errors.
    std::function<void(int message)> RequestResults;
    // The table report: printer, screen, designer.
    std::function<void()> OnPrint;
    std::function<void()> OnPreview;
    std::function<void()> OnDesign;

    const ProgramPaths& Paths() const { return paths_; }
    const FormatSettings& Format() const { return format_; }
    std::string TemplateFile() const { return paths_.TemplateFile("tabelle.rtm"); }

    // Requests the results and fills the table from them.
    void bCalcClick();

    TTitleBar* Panel1;
    QToolButton* bCalc;
    QToolButton* bPrint;
    QToolButton* bPreview;
    QToolButton* bDesign;
    TEditGrid* Grid;
    TTextPipeline PipeData;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildFrame();
    void SetReportButtonsEnabled(bool enabled);

    ProgramPaths paths_;
    FormatSettings format_;
};

} // namespace dazo::ui
