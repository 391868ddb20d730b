// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/uNachDia.h"

#include "common/DazoError.h"
#include "evaluation/EvaluationCore.h"
#include "reports/DefaultReports.h"
#include "reports/EditGrid.h"
#include "reports/LineFiles.h"
#include "reports/ReportPageCommon.h"
#include "reports/engine/ReportWindows.h"
#include "reports/ResultsFiles.h"
#include "signal/uconst.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <filesystem>

namespace dazo::ui {
namespace {

const char* const kBandNames[] = {"125", "250", "500", "1000", "2000", "4000", "8000"};
constexpr double kBandCentres[] = {125, 250, 500, 1000, 2000, 4000, 8000};

// Lines 4 to 10 of the averaged results file are the bands 125 Hz to 8000 Hz.
constexpr std::size_t kFirstBandLine = 3;
constexpr std::size_t kResultLines = 10;
constexpr std::size_t kRT20Field = 3;
// Table cells of the means: the 500 Hz and 1000 Hz rows, EDT RT20 RT30 columns.
constexpr int k500HzRow = 6;
constexpr int k1000HzRow = 7;

constexpr int kTitleColumnWidth = 80;

[[noreturn]] void FailListIndex(std::size_t index)
{
    FailWith("Listenindex überschreitet das Maximum (%s)", std::to_string(index));
}

// Field index of a line split at ";".
std::string FieldOf(const std::string& line, std::size_t index)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        start = line.find(';', start);
        if (start == std::string::npos)
            FailListIndex(index);
        ++start;
    }
    return line.substr(start, line.find(';', start) - start);
}

template <class Control>
Control* Named(Control* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

} // namespace

TNachhallDiaDlg::TNachhallDiaDlg(ProgramPaths paths, FormatSettings format, QWidget* parent)
    : QWidget(parent)
    , paths_(std::move(paths))
    , format_(format)
{
    setObjectName(QStringLiteral("NachhallDiaDlg"));
    PageControl1 = Named(new QTabWidget, "PageControl1");
    PageControl1->setDocumentMode(true);
    PageControl1->addTab(CreateNachhallSheet(), QStringLiteral("Nachhallzeit"));
    PageControl1->addTab(CreateReportSheet("SheetPruefbericht", Panel2, "Panel2",
                                           QStringLiteral("Prüfbericht nach DIN EN ISO 3382")),
                         QStringLiteral("Prüfbericht"));
    SheetPruefbericht = PageControl1->widget(1);
    bPrintPruef = Panel2->AddButton("bPrintPruef", QStringLiteral("Drucken"), QStringLiteral("Drucken des Prüfberichts"));
    bPreviewPrint = Panel2->AddButton("bPreviewPrint", QStringLiteral("Vorschau"), QStringLiteral("Vorschau des Prüfberichts"));
    Panel2->AddCaptionAndStretch();
    bDesignPrint = Panel2->AddButton("bDesignPrint", QStringLiteral("Bearbeiten"), QStringLiteral("Ausgabe bearbeiten"));

    PageControl1->addTab(CreateReportSheet("MessSheet", Panel3, "Panel3",
                                           QStringLiteral("Meßbericht (Anhang zum Prüfbericht)")),
                         QStringLiteral("Meßbericht"));
    MessSheet = PageControl1->widget(2);
    bMessPrint = Panel3->AddButton("bMessPrint", QStringLiteral("Drucken"), QStringLiteral("Drucken des Meßberichts"));
    bMessPreview = Panel3->AddButton("bMessPreview", QStringLiteral("Vorschau"), QStringLiteral("Vorschau des Meßberichts"));
    Panel3->AddCaptionAndStretch();
    bMessDesign = Panel3->AddButton("bMessDesign", QStringLiteral("Bearbeiten"), QStringLiteral("Ausgabe bearbeiten"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1);

    DeclareResultsFields(PipeValues);
    PipeValues.FileName = paths_.ResultsFile();
    PData.Delimiter = '\t';
    LData.Delimiter = '\t';
    DeclarePointsFields(MessPunktPipe);
    MessPunktPipe.FileName = paths_.PointsFile();

    ConnectReportButtons();
    ConnectProjectReports(*this);
}

QWidget* TNachhallDiaDlg::CreateNachhallSheet()
{
    SheetNachhall = Named(new QWidget, "SheetNachhall");
    Panel1 = new TTitleBar("Panel1", QStringLiteral("Nachhallzeit nach DIN EN ISO 3382"));
    bCalc = Panel1->AddButton("bCalc", QStringLiteral("Berechnen"), QStringLiteral("Berechnung der Nachhallzeit"));
    bPrint = Panel1->AddButton("bPrint", QStringLiteral("Drucken"), QStringLiteral("Drucken der Nachhallzeit"));
    bPreview = Panel1->AddButton("bPreview", QStringLiteral("Vorschau"), QStringLiteral("Vorschau der Nachhallzeit"));
    Panel1->AddCaptionAndStretch();
    bDesign = Panel1->AddButton("bDesign", QStringLiteral("Bearbeiten"), QStringLiteral("Ausgabe bearbeiten"));
    bPrint->setEnabled(false);
    bPreview->setEnabled(false);

    NachhallPage = Named(new QTabWidget, "NachhallPage");
    TabSheet1 = CreateGraphicPage();
    NachhallPage->addTab(TabSheet1, QStringLiteral("Grafik"));
    TabSheet2 = Named(new QWidget, "TabSheet2");
    Grid = new TEditGrid(nullptr, format_);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->SetAlignment(TAlignment::RightJustify);
    // Wide enough for "ungefiltert", as in the results table.
    Grid->SetColWidth(0, kTitleColumnWidth);
    auto* tableLayout = new QVBoxLayout(TabSheet2);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(Grid);
    NachhallPage->addTab(TabSheet2, QStringLiteral("Tabelle"));
    NachhallPage->hide();

    auto* layout = new QVBoxLayout(SheetNachhall);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(NachhallPage, 1);
    layout->addStretch(); // keeps the bar at the top while the results are hidden
    return SheetNachhall;
}

QWidget* TNachhallDiaDlg::CreateGraphicPage()
{
    auto* page = Named(new QWidget, "TabSheet1");
    Chart1 = Named(new QCustomPlot, "Chart1");
    SetUpBandChart(*Chart1, QColor(192, 192, 192), 1, format_);

    PanelWerte = Named(new QGroupBox, "PanelWerte");
    auto* values = new QGridLayout(PanelWerte);
    values->addWidget(new QLabel(QStringLiteral("Frequenz [Hz]")), 0, 0);
    values->addWidget(new QLabel(QStringLiteral("T [s]")), 1, 0);
    QLabel** labels[] = {&l125, &l250, &l500, &l1000, &l2000, &l4000, &l8000};
    for (int i = 0; i < 7; ++i) {
        auto* band = new QLabel(QString::fromLatin1(kBandNames[i]));
        band->setAlignment(Qt::AlignCenter);
        values->addWidget(band, 0, i + 1);
        const QByteArray name = QByteArray("l") + kBandNames[i];
        *labels[i] = Named(new QLabel(QStringLiteral("0")), name.constData());
        (*labels[i])->setAlignment(Qt::AlignCenter);
        values->addWidget(*labels[i], 1, i + 1);
        values->setColumnStretch(i + 1, 1);
    }

    lDin18041 = Named(new QLabel, "lDin18041");
    lDin18041->setWordWrap(true);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Chart1, 1);
    layout->addWidget(PanelWerte);
    layout->addWidget(lDin18041);
    return page;
}

QWidget* TNachhallDiaDlg::CreateReportSheet(const char* sheetName, TTitleBar*& bar, const char* barName,
                                            const QString& caption)
{
    auto* sheet = Named(new QWidget, sheetName);
    bar = new TTitleBar(barName, caption);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addStretch();
    return sheet;
}

void TNachhallDiaDlg::ConnectReportButtons()
{
    const auto output = [this](QToolButton* button, std::function<void(bool)> TNachhallDiaDlg::*hook, bool printer) {
        connect(button, &QToolButton::clicked, this, [this, hook, printer] {
            if (this->*hook)
                RunCommand(this, [&] { (this->*hook)(printer); });
        });
    };
    const auto design = [this](QToolButton* button, TReportKind which) {
        connect(button, &QToolButton::clicked, this, [this, which] {
            if (OnDesign)
                RunCommand(this, [&] { OnDesign(which); });
        });
    };
    connect(bCalc, &QToolButton::clicked, this, [this] { bCalcClick(); });
    output(bPrint, &TNachhallDiaDlg::OnOutputDiagramReport, true);
    output(bPreview, &TNachhallDiaDlg::OnOutputDiagramReport, false);
    design(bDesign, DiagramReport);
    output(bPrintPruef, &TNachhallDiaDlg::OnOutputTestReport, true);
    output(bPreviewPrint, &TNachhallDiaDlg::OnOutputTestReport, false);
    design(bDesignPrint, TestReport);
    output(bMessPrint, &TNachhallDiaDlg::OnOutputMeasurementReport, true);
    output(bMessPreview, &TNachhallDiaDlg::OnOutputMeasurementReport, false);
    design(bMessDesign, MeasurementReport);
}

void TNachhallDiaDlg::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    bandValues_ = {};
    means_ = {};
    hasResults_ = false;
    assessment_.reset();
    ShiftBottomAxis(*Chart1);
    NachhallPage->hide();
    PageControl1->setCurrentIndex(0);
    RunCommand(this, [this] { BindDataSection(projectFile_, PData); });
    BindCompanyData();
}

void TNachhallDiaDlg::BindCompanyData()
{
    RunCommand(this, [this] {
        // Before the first settings are saved there are no company data: the
        // reports get an empty record instead of an error.
        if (std::filesystem::exists(paths_.SettingsFile())) {
            BindDataSection(paths_.SettingsFile(), LData);
        } else {
            WriteLines(paths_.CompanyDataFile(), {});
            LData.ClearDefinedFields();
            LData.FileName = paths_.CompanyDataFile();
        }
    });
}

void TNachhallDiaDlg::bCalcClick()
{
    if (RequestResults)
        RequestResults(WM_RESULTS_ALL);
    // No results file: the request wrote nothing (no measurement, or an error
    // the main window has shown); chart, labels and table stay as they are.
    if (!std::filesystem::exists(paths_.ResultsFile()))
        return;
    RunCommand(this, [this] {
        ReadAverages();
        hasResults_ = true;
        ShowValues();
        bPrint->setEnabled(true);
        bPreview->setEnabled(true);
        NachhallPage->show();
    });
}

void TNachhallDiaDlg::ReadAverages()
{
    const std::vector<std::string> lines = ReadLines(paths_.ResultsFile());
    if (lines.size() < kResultLines)
        FailListIndex(std::max(lines.size(), kFirstBandLine));
    TBandValues values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = GeneralFloatValue(FieldOf(lines[kFirstBandLine + i], kRT20Field), format_);
    bandValues_ = values;
    std::vector<std::pair<double, double>> bandTimes;
    for (std::size_t i = 0; i < values.size(); ++i)
        bandTimes.emplace_back(kBandCentres[i], values[i]);
    assessment_ = AssessProjectData(projectFile_, bandTimes);

    FillTable();
    // The means of the values as displayed, rounded to two decimals.
    const auto mean = [this](int col) {
        return (GeneralFloatValue(Grid->Model().Cell(col, k500HzRow), format_)
                + GeneralFloatValue(Grid->Model().Cell(col, k1000HzRow), format_)) / 2;
    };
    means_ = {mean(1), mean(2), mean(3)};
    NachhallPage->setCurrentIndex(0);
}

void TNachhallDiaDlg::FillTable()
{
    Grid->ClearCells();
    Grid->SetColCount(0);
    Grid->SetRowCount(0);
    PipeValues.FileName = paths_.ResultsFile();
    try {
        FillGridFromResults(*Grid, PipeValues, format_);
    } catch (...) {
        Grid->SetCell(0, 0, QStringLiteral("ø"));
        throw;
    }
    Grid->SetCell(0, 0, QStringLiteral("ø"));
    Grid->SetFixedCols(1);
    Grid->SetFixedRows(1);
    Grid->SetCell(0, 1, FromAnsi(BandLabels[0]));
}

void TNachhallDiaDlg::ShowValues()
{
    ShowBandValues(*Chart1, bandValues_);
    ShowCorridor(*Chart1, Corridor());
    for (std::size_t i = 0; i < bandValues_.size(); ++i)
        ValueLabel(i)->setText(FromAnsi(TwoDecimals(bandValues_[i], format_)));
    QString din;
    if (assessment_) {
        din = QStringLiteral("DIN 18041: ") + FromAnsi(UsageClassName(assessment_->Usage)) + QStringLiteral(", ")
            + FromAnsi(TargetText(*assessment_, format_.decimalSeparator));
        for (const BandAssessment& band : assessment_->Bands)
            if (band.Result)
                din += QStringLiteral("\n%1 Hz: %2").arg(band.CentreHz).arg(FromAnsi(VerdictText(*band.Result)));
    }
    lDin18041->setText(din);
}

std::optional<TCorridor> TNachhallDiaDlg::Corridor() const
{
    if (!assessment_ || !assessment_->Target)
        return std::nullopt;
    TCorridor corridor;
    for (std::size_t i = 0; i < assessment_->Bands.size() && i < corridor.Lower.size(); ++i) {
        const auto& limits = assessment_->Bands[i].Limits;
        corridor.Lower[i] = limits ? limits->Lower * *assessment_->Target : 0;
        corridor.Upper[i] = limits ? limits->Upper * *assessment_->Target : 0;
    }
    return corridor;
}

QLabel* TNachhallDiaDlg::ValueLabel(std::size_t band) const
{
    QLabel* const labels[] = {l125, l250, l500, l1000, l2000, l4000, l8000};
    return labels[band];
}

} // namespace dazo::ui
