// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/uAusgabeDlg.h"

#include "evaluation/EvaluationCore.h"
#include "reports/CsvExport.h"
#include "reports/DecayFlagMark.h"
#include "reports/DecayFlagText.h"
#include "reports/DefaultReports.h"
#include "reports/EditGrid.h"
#include "reports/ParameterHeadings.h"
#include "reports/ReportPageCommon.h"
#include "reports/engine/ReportWindows.h"
#include "signal/uconst.h"

#include <QAction>
#include <QFileDialog>
#include <QHelpEvent>
#include <QShowEvent>
#include <QToolTip>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>

namespace dazo::ui {
namespace {

// The parameter columns in table order; CVar, the time limit of Cxx, is no
// result and has no column.
constexpr const char* kParameterNames[] = {"EDT", "RT20", "RT30", "RTxx", "C35", "C50", "C80", "Cxx", "D50", "D80", "Ts"};

constexpr int kTitleColumnWidth = 80;

} // namespace

TAusgabeDlg::TAusgabeDlg(ProgramPaths paths, FormatSettings format, QWidget* parent)
    : QWidget(parent)
    , paths_(std::move(paths))
    , format_(format)
{
    setObjectName(QStringLiteral("AusgabeDlg"));
    Panel1 = new TTitleBar("Panel1", QStringLiteral("Ausgabe Tabellarisch"));
    bCalc = Panel1->AddButton("bCalc", QStringLiteral("Berechnen"), QStringLiteral("Berechnung der Nachhallzeit"));
    bCalc->hide(); // the calculation runs on show
    bPrint = Panel1->AddButton("bPrint", QStringLiteral("Drucken"), QStringLiteral("Drucken der Nachhallzeit"));
    bPreview = Panel1->AddButton("bPreview", QStringLiteral("Vorschau"), QStringLiteral("Vorschau der Nachhallzeit"));
    Panel1->AddCaptionAndStretch();
    bDesign = Panel1->AddButton("bDesign", QStringLiteral("Bearbeiten"), QStringLiteral("Ausgabe bearbeiten"));

    Grid = new TEditGrid(nullptr, format_);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->SetAlignment(TAlignment::RightJustify);
    Grid->SetColWidth(0, kTitleColumnWidth);
    ConnectDecayFlags();
    ConnectTableExport();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Grid, 1);

    DeclareResultsFields(PipeData);
    PipeData.FileName = paths_.ResultsFile();
    SetReportButtonsEnabled(false);

    connect(bCalc, &QToolButton::clicked, this, [this] { bCalcClick(); });
    connect(bPrint, &QToolButton::clicked, this, [this] { if (OnPrint) RunCommand(this, OnPrint); });
    connect(bPreview, &QToolButton::clicked, this, [this] { if (OnPreview) RunCommand(this, OnPreview); });
    connect(bDesign, &QToolButton::clicked, this, [this] { if (OnDesign) RunCommand(this, OnDesign); });
    ConnectTableReport(*this);
}

void TAusgabeDlg::SetReportButtonsEnabled(bool enabled)
{
    bPrint->setEnabled(enabled);
    bPreview->setEnabled(enabled);
}

// Every band row and parameter column, all cells empty.
void TAusgabeDlg::BuildFrame()
{
    Grid->ClearCells();
    Grid->SetColCount(0);
    Grid->SetRowCount(0);
    for (const char* band : BandLabels)
        for (const char* name : kParameterNames)
            Grid->PutValue(FromAnsi(ParameterHeading(name)), FromAnsi(band) + " Hz", true, 0);
    Grid->SetFixedCols(1);
    Grid->SetFixedRows(1);
    Grid->SetCell(0, 1, FromAnsi(BandLabels[0]));
    SetReportButtonsEnabled(false);
}

void TAusgabeDlg::bCalcClick()
{
    SetReportButtonsEnabled(false);
    if (RequestResults)
        RequestResults(WM_RESULTS_CURRENT);
    PipeData.FileName = paths_.ResultsFile();
    // No results file: the request wrote nothing (no measurement, or an error
    // the main window has shown), so the table stays empty.
    if (!std::filesystem::exists(PipeData.FileName))
        return;
    if (RunCommand(this, [this] { FillGridFromResults(*Grid, PipeData, format_); }))
        SetReportButtonsEnabled(true);
    LoadDecayFlags();
}

void TAusgabeDlg::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    BuildFrame();
    bCalcClick();
}

void TAusgabeDlg::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        PipeData.Close();
}

// ---- Decay-quality marks: the look of EDT, RT20 and RT30 only, never the values ----

void TAusgabeDlg::ConnectDecayFlags()
{
    Grid->OnGetDrawValues = [this](TEditGrid&, int col, int row, QFont&, TAlignment&, QColor& background, QString&) {
        if (!DecayFlagHint(col, row).isEmpty())
            background = kDecayFlagColour;
    };
    Grid->viewport()->installEventFilter(this);
}

void TAusgabeDlg::LoadDecayFlags()
{
    decayQualities_ = DecayQualities ? DecayQualities() : std::vector<std::optional<DecayQuality>>{};
    Grid->viewport()->update();
}

QString TAusgabeDlg::DecayFlagHint(int col, int row) const
{
    if (row < 1 || row > static_cast<int>(decayQualities_.size()) || !decayQualities_[static_cast<std::size_t>(row - 1)])
        return {};
    const QString title = Grid->Cell(col, 0);
    const std::pair<const char*, DecayTime> columns[] = {{"EDT", DecayTime::EDT}, {"RT20", DecayTime::RT20}, {"RT30", DecayTime::RT30}};
    for (const auto& [name, time] : columns)
        if (title == FromAnsi(ParameterHeading(name)))
            return FromAnsi(DecayFlagReason(*decayQualities_[static_cast<std::size_t>(row - 1)], time, format_));
    return {};
}

bool TAusgabeDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Grid->viewport() && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        for (int row = 1; row < Grid->RowCount(); ++row)
            for (int col = 1; col < Grid->ColCount(); ++col)
                if (Grid->CellRect(col, row).contains(help->pos())) {
                    const QString hint = DecayFlagHint(col, row);
                    if (hint.isEmpty())
                        QToolTip::hideText();
                    else
                        QToolTip::showText(help->globalPos(), hint, Grid->viewport());
                    return true;
                }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Table export ---------------------------------------------------------------

void TAusgabeDlg::ConnectTableExport()
{
    AskCsvFileName = [this] { return QFileDialog::getSaveFileName(this, QStringLiteral("Tabelle exportieren"), QString(), QStringLiteral("CSV (*.csv)")); };
    auto* exportTable = new QAction(QStringLiteral("Tabelle exportieren..."), Grid);
    exportTable->setObjectName(QStringLiteral("TabelleExportieren1"));
    connect(exportTable, &QAction::triggered, this, [this] { ExportTable(); });
    Grid->addAction(exportTable);
    Grid->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TAusgabeDlg::ExportTable()
{
    const QString fileName = AskCsvFileName();
    if (fileName.isEmpty())
        return;
    CsvRows rows(static_cast<std::size_t>(Grid->RowCount()));
    for (int row = 0; row < Grid->RowCount(); ++row)
        for (int col = 0; col < Grid->ColCount(); ++col)
            rows[static_cast<std::size_t>(row)].push_back(ToAnsi(Grid->Cell(col, row)));
    RunCommand(this, [&] { WriteCsv(ToAnsi(fileName), rows); });
}

} // namespace dazo::ui
