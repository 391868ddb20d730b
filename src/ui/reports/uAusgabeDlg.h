// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The results table of the loaded measurement: a row per band, a column per
// parameter, filled on every show from a fresh results file that the main
// window writes on request. Printing, preview and the report designer are
// hooks, set to the table report (ConnectTableReport) when the window is made.

#include "analysis/DecayQuality.h"
#include "bridge/AnsiText.h"
#include "common/ProgramPaths.h"
#include "reports/TextPipeline.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

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
    // The decay quality of the bands (index band - 1, the table's rows 1, 2, ...),
    // asked for after every fill; a band without one is not marked.
    std::function<std::vector<std::optional<DecayQuality>>()> DecayQualities;
    // The open project file, named in the table report's heading with the
    // room and the measurement point; empty without a project.
    std::function<std::string()> ProjectFile;
    // The save dialog of "Tabelle exportieren..."; empty when cancelled.
    std::function<QString()> AskCsvFileName;

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

    // Why the cell's decay time is flagged; empty when it is not.
    QString DecayFlagHint(int col, int row) const;
    // The table as shown, as CSV (from the grid's context menu).
    void ExportTable();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildFrame();
    void SetReportButtonsEnabled(bool enabled);
    void ConnectDecayFlags();
    void LoadDecayFlags();
    void ConnectTableExport();

    ProgramPaths paths_;
    FormatSettings format_;
    std::vector<std::optional<DecayQuality>> decayQualities_;
};

} // namespace dazo::ui
