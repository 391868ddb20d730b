// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter panels of the main window: the reverberation, energy and
// position tabs with their commands, the cursor readouts and typed cursor
// positions, the export of the measurement and saving and printing the chart.
// What the panels show is decided in the core; this file binds it to widgets.

#include "app/uMain.h"

#include "analysis/ChartCursors.h"
#include "analysis/DecayQuality.h"
#include "analysis/CursorReadouts.h"
#include "analysis/ParameterPanels.h"
#include "analysis/lundeby.h"
#include "analysis/uCalcChart.h"
#include "app/ChartExport.h"
#include "app/ChartView.h"
#include "bridge/AnsiText.h"
#include "common/Paths.h"
#include "evaluation/CropSettings.h"
#include "evaluation/EvaluationCore.h"
#include "project/UserNumbers.h"
#include "project/uMesManDlg.h"
#include "reports/CsvExport.h"
#include "reports/DecayFlagMark.h"
#include "reports/DecayFlagText.h"

#include <QApplication>
#include <QPalette>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QToolButton>

namespace dazo::ui {
namespace {

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// The line break of the questions is stored as LF then CR.
const char* const kCropQuestion = "ACHTUNG: Alle Cursoreinstellungen gehen verloren\n\rAktuelles Diagramm beim weißen Cursor beschneiden?";
const char* const kSchroederQuestion = "ACHTUNG: Alle Cursoreinstellungen gehen verloren\n\rSchröder Integration beim weißen Cursor beginnen?";
const char* const kCompressQuestion = "ACHTUNG: Alle Cursoreinstellungen gehen verloren\n\rGeschätzter Rauschpegel: %1 dB\n\r"
                                      "Schnittpunkt mit dem Rauschen: %2 ms\n\rSchröder Integration beim Schnittpunkt beginnen?";
const char* const kResetQuestion = "ACHTUNG: Alle Einstellungen gehen verloren\n\rReset durchführen?";

constexpr int kFreeCursor = 2;
constexpr int kCompressCursorIndex = 5000;
constexpr int kScreenDotsPerInch = 96;

QString PathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

DistanceUnit PressedUnit(const QToolButton* meter, const QToolButton* decibels)
{
    return meter->isChecked() ? DistanceUnit::Metres : decibels->isChecked() ? DistanceUnit::Decibels : DistanceUnit::Milliseconds;
}

void SetTexts(std::initializer_list<std::pair<QLabel*, const std::string&>> labels)
{
    for (const auto& [label, text] : labels)
        label->setText(FromAnsi(text));
}

} // namespace

// ---- Wiring ------------------------------------------------------------------------

void TMainForm::SetDefaultDialogs()
{
    const QString title = QApplication::applicationDisplayName();
    Dialogs.ShowError = [this, title](const QString& message) { QMessageBox::critical(this, title, message); };
    Dialogs.ShowMessage = [this, title](const QString& message) { QMessageBox::information(this, title, message); };
    Dialogs.AskYesNo = [this](const QString& caption, const QString& text) {
        return QMessageBox::question(this, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    Dialogs.AskText = [this](const QString& caption, const QString& prompt, const QString& preset) -> std::optional<QString> {
        QInputDialog dialog(this);
        dialog.setWindowTitle(caption);
        dialog.setLabelText(prompt);
        dialog.setTextValue(preset);
        // Wide enough for the whole caption in the title bar, with room for its buttons.
        dialog.setMinimumWidth(dialog.fontMetrics().horizontalAdvance(caption) + 120);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.textValue();
    };
    Dialogs.AskChartFileName = [this] {
        if (SaveDialog1->exec() != QDialog::Accepted || SaveDialog1->selectedFiles().isEmpty())
            return QString();
        return SaveDialog1->selectedFiles().constFirst();
    };
    Dialogs.AskCsvFileName = [this](const QString& caption) {
        return QFileDialog::getSaveFileName(this, caption, QString(), QStringLiteral("CSV (*.csv)"));
    };
    Dialogs.AskPrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
}

void TMainForm::ConnectPanels()
{
    SaveDialog1 = new QFileDialog(this, Text("Diagramm speichern"));
    SaveDialog1->setObjectName("SaveDialog1");
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setDefaultSuffix("bmp");
    SaveDialog1->setNameFilters(ChartSaveFilter().split(";;"));

    connect(RTKindButtons, &QButtonGroup::idClicked, this, &TMainForm::SelectRTKind);
    connect(bRTRecall, &QToolButton::clicked, this, &TMainForm::bRTRecallClick);
    connect(bSetCCust, &QPushButton::clicked, this, &TMainForm::bSetCCustClick);
    connect(UnitButtons, &QButtonGroup::buttonClicked, this, &TMainForm::UpdateCursorReadouts);
    connect(cCurMessKurve, &QComboBox::currentIndexChanged, this, &TMainForm::UpdateCursorReadouts);
    // Entering a position edit selects its cursor (eventFilter); leaving it,
    // or Enter, moves the cursor to what was typed.
    for (QLineEdit* edit : {eC1, eC2, eC3})
        connect(edit, &QLineEdit::editingFinished, this, [this, edit] { eC1Exit(edit); });
    connect(bMessSchnitt, &QPushButton::clicked, this, &TMainForm::bMessSchnittClick);
    connect(bSetA, &QPushButton::clicked, this, [this] { SetCropAtWhiteCursor(eMessA, "Graph beschneiden", kCropQuestion); });
    connect(bSetE, &QPushButton::clicked, this, [this] { SetCropAtWhiteCursor(eMessE, "Graph beschneiden", kCropQuestion); });
    connect(bSetS, &QPushButton::clicked, this, [this] { SetCropAtWhiteCursor(EMessS, "Schröderplott", kSchroederQuestion); });
    connect(bReset, &QPushButton::clicked, this, &TMainForm::bResetClick);
    connect(bCompress, &QPushButton::clicked, this, &TMainForm::bCompressClick);
    connect(SpeedButton2, &QToolButton::clicked, this, &TMainForm::SpeedButton2Click);
    connect(Speichern1, &QAction::triggered, this, &TMainForm::Speichern1Click);
    connect(DatenExportieren1, &QAction::triggered, this, &TMainForm::DatenExportieren1Click);
    connect(Drucken1, &QAction::triggered, this, &TMainForm::Drucken1Click);
    connect(Druckvorschau1, &QAction::triggered, this, &TMainForm::Druckvorschau1Click);
}

TCalcChart* TMainForm::ShownCalcer() const
{
    if (!FShownSeries || FCurrent == 0 || !core_->HasMeasurement())
        return nullptr;
    return core_->Calcer(FCurrent);
}

// ---- Reverberation panel -----------------------------------------------------------

int TMainForm::PressedRTKind() const
{
    return RTKindButtons->checkedId();
}

void TMainForm::SelectRTKind(int kind)
{
    TCalcChart* calcer = ShownCalcer();
    if (!calcer)
        return;
    try {
        calcer->SetCurrentRTKind(kind);
        const TRTRecord& record = calcer->RTRecords.at(static_cast<std::size_t>(kind));
        FCursors->Items(0).PlaceAt(record.StartIndex);
        FCursors->Items(1).PlaceAt(record.EndIndex);
        ShowFittedRange(kind);
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
    UpdateCursorReadouts();
    UpdateRTLabels();
}

// The regression line of the kind's record between cursors 0 and 1.
void TMainForm::ShowFittedRange(int kind)
{
    const TRTRecord& record = core_->Calcer(FCurrent)->RTRecords.at(static_cast<std::size_t>(kind));
    FCursors->ShowRegressionLine(record.LevelStart, record.LevelEnd);
    if (!FCursors->Visible())
        FCursors->SetRegressionLineVisible(false);
}

void TMainForm::bRTRecallClick()
{
    TCalcChart* calcer = ShownCalcer();
    if (!calcer)
        return;
    const int kind = PressedRTKind();
    try {
        calcer->ResetRTKind(kind);
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
    SelectRTKind(kind);
}

void TMainForm::RefitCustomRange()
{
    TCalcChart* calcer = ShownCalcer();
    if (!calcer)
        return;
    const int kind = PressedRTKind();
    try {
        calcer->SetRTRange(kind, FCursors->Items(0).Position(), FCursors->Items(1).Position());
        ShowFittedRange(kind);
    } catch (const std::exception& e) {
        // No fit between the cursors: no line either.
        FCursors->SetRegressionLineVisible(false);
        ShowError(FromAnsi(e.what()));
    }
    UpdateRTLabels();
}

void TMainForm::UpdateRTLabels()
{
    if (!core_->HasMeasurement())
        return;
    const RTPanelTexts texts = RTPanelTextsFor(core_->Calcer(FCurrent)->RTRecords, PressedRTKind(), core_->Format());
    SetTexts({{lbEDT, texts.lbEDT}, {lbRT20, texts.lbRT20}, {lbRT30, texts.lbRT30}, {lcEDT, texts.lcEDT}, {lcRT20, texts.lcRT20},
        {lcRT30, texts.lcRT30}, {lcRtxx, texts.lcRtxx}, {lbRSelect, texts.lbRSelect}, {lcRSelect, texts.lcRSelect}});
    MarkDecayFlags();
}

std::vector<std::optional<DecayQuality>> TMainForm::CalculatedBandQualities() const
{
    std::vector<std::optional<DecayQuality>> qualities(kCalcerCount - 1);
    if (!core_->HasMeasurement())
        return qualities;
    for (int band = 1; band < kCalcerCount; ++band)
        if (const TCalcChart* calcer = core_->Calcer(band); calcer && calcer->Calculated)
            qualities[static_cast<std::size_t>(band - 1)] = AssessDecay(*calcer);
    return qualities;
}

// Only the look changes: the stored values stay as computed.
void TMainForm::MarkDecayFlags()
{
    const DecayQuality quality = AssessDecay(*core_->Calcer(FCurrent));
    const std::pair<DecayTime, std::array<QLabel*, 2>> rows[] = {
        {DecayTime::EDT, {lbEDT, lcEDT}}, {DecayTime::RT20, {lbRT20, lcRT20}}, {DecayTime::RT30, {lbRT30, lcRT30}}};
    for (const auto& [time, labels] : rows) {
        const QString reason = FromAnsi(DecayFlagReason(quality, time, core_->Format()));
        for (QLabel* label : labels) {
            label->setAutoFillBackground(!reason.isEmpty());
            QPalette palette = label->palette();
            palette.setColor(QPalette::Window, reason.isEmpty() ? QApplication::palette(label).color(QPalette::Window) : kDecayFlagColour);
            label->setPalette(palette);
            label->setToolTip(reason);
        }
    }
}

// ---- Energy panel ------------------------------------------------------------------

void TMainForm::UpdateEnergyPanel()
{
    if (!core_->HasMeasurement())
        return;
    const EnergyPanelTexts texts = EnergyPanelTextsFor(*core_->Calcer(FCurrent), core_->Format());
    SetTexts({{lC35, texts.lC35}, {lC50, texts.lC50}, {lC80, texts.lC80}, {LCCustIn, texts.LCCustIn}, {LCCust, texts.LCCust},
        {lD50, texts.lD50}, {LD80, texts.LD80}, {lCenterTime, texts.lCenterTime}});
}

void TMainForm::bSetCCustClick()
{
    if (!core_->HasMeasurement())
        return;
    const std::optional<QString> answer = Dialogs.AskText(
        Text("Energie-Zeit-Maß eingeben"), Text("Energie-Zeit-Maß [ms]"), QString::number(core_->Calcer(FCurrent)->CVar));
    if (!answer)
        return;
    int time = 0;
    try {
        time = IntegerFromText(ToAnsi(*answer));
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
        return;
    }
    // Every calculator takes the time, even when one of them cannot compute its Cxx.
    std::optional<QString> error;
    for (int i = 0; i < kCalcerCount; ++i) {
        try {
            core_->Calcer(i)->SetCustomTime(time);
        } catch (const std::exception& e) {
            if (!error)
                error = FromAnsi(e.what());
        }
    }
    UpdateEnergyPanel();
    if (error)
        ShowError(*error);
}

// ---- Cursor readouts and typed positions -----------------------------------------------

void TMainForm::UpdateCursorReadouts()
{
    const TCalcChart* calcer = ShownCalcer();
    if (!calcer || !FCursors->Visible())
        return;
    const TXChartCursors& cursors = *FCursors;
    const std::array<double, 3> xs{cursors.Items(0).X(), cursors.Items(1).X(), cursors.Items(2).X()};
    const std::array<int, 3> positions{cursors.Items(0).Position(), cursors.Items(1).Position(), cursors.Items(2).Position()};
    const CursorReadout readout = ComputeCursorReadout(PressedUnit(bMeter, bdB), xs, CursorLevels(calcer->SchroederSeries, positions));

    const FormatSettings format = core_->Format();
    const auto fixed2 = [&](double x) { return FromAnsi(UserFixedText(x, 2, format)); };
    QLineEdit* const edits[] = {eC1, eC2, eC3};
    QLabel* const distances[] = {LAb12, LAb13, LAb23};
    for (std::size_t k = 0; k < 3; ++k) {
        edits[k]->setText(fixed2(readout.positions[k]));
        distances[k]->setText(fixed2(readout.distances[k]));
    }
    const FreeCursorCurve curve = cCurMessKurve->currentIndex() == 1 ? FreeCursorCurve::Schroeder : FreeCursorCurve::ImpulseResponse;
    lFreeCursorPos->setText(FromAnsi(FreeCursorText(*calcer, FView, curve, positions[kFreeCursor], xs[kFreeCursor], format)));
}

void TMainForm::eC1Enter(QLineEdit* edit)
{
    FCursors->Select(edit->property("tag").toInt());
}

void TMainForm::eC1Exit(QLineEdit* edit)
{
    // Only what the user typed moves a cursor: the shown text is rounded, and
    // reading it back could shift the cursor by a point.
    if (!edit->isModified())
        return;
    edit->setModified(false);
    const TCalcChart* calcer = ShownCalcer();
    if (!calcer || !FCursors->Visible())
        return;
    try {
        const double value = UserTextToFloat(ToAnsi(edit->text()), core_->Format());
        if (const std::optional<double> x = TypedCursorTime(PressedUnit(bMeter, bdB), value, *calcer))
            FCursors->Items(edit->property("tag").toInt()).MoveToX(*x);
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
        UpdateCursorReadouts();
        return;
    }
    UpdateCursorReadouts();
    RefitCustomRange();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == eC1 || watched == eC2 || watched == eC3)
            eC1Enter(static_cast<QLineEdit*>(watched));
        break;
    case QEvent::KeyPress:
        if (watched == Chart1 && FormKeyDown(static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::KeyRelease:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == this)
            FormKeyUp(static_cast<QKeyEvent*>(event));
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Position tab: crop, reset, Lundeby ----------------------------------------------------

void TMainForm::bMessSchnittClick()
{
    SchnittPanel->setVisible(SchnittPanel->isHidden());
}

void TMainForm::SetCropAtWhiteCursor(QLineEdit* edit, const char* caption, const char* question)
{
    if (!ShownCalcer() || !Dialogs.AskYesNo(Text(caption), Text(question)))
        return;
    StoreCropPoint(edit, FCursors->Items(kFreeCursor).Position());
}

void TMainForm::StoreCropPoint(QLineEdit* edit, int sample)
{
    edit->setText(QString::number(sample));
    ApplyCrop();
}

void TMainForm::ApplyCrop()
{
    if (!core_->HasMeasurement())
        return;
    const std::string name = core_->CalcData()->FileName;
    const std::string project = core_->ProjectFile();
    CropSettings crop;
    try {
        crop.start = IntegerFromText(ToAnsi(eMessA->text()));
        crop.count = IntegerFromText(ToAnsi(eMessE->text()));
        crop.schroederStart = IntegerFromText(ToAnsi(EMessS->text()));
        ReleaseMeasurement(); // the calculators write their records before the section goes
        WriteCropSettings(project, name, crop);
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
    if (!core_->HasMeasurement())
        OpenProject(PathText(project));
}

void TMainForm::bResetClick()
{
    if (!core_->HasMeasurement() || !Dialogs.AskYesNo(Text("Reset Messung"), Text(kResetQuestion)))
        return;
    const std::string name = core_->CalcData()->FileName;
    const std::string project = core_->ProjectFile();
    ReleaseMeasurement();
    try {
        EraseCropSettings(project, name);
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
    OpenProject(PathText(project));
}

void TMainForm::bCompressClick()
{
    if (!core_->HasMeasurement())
        return;
    if (ShownCalcer()) {
        FCursors->Items(kFreeCursor).PlaceAt(kCompressCursorIndex); // bound to the curve
        UpdateCursorReadouts();
    }
    LundebyResult estimate{};
    try {
        estimate = LundebyEstimate(*core_->CalcData());
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
        return;
    }
    const FormatSettings format = core_->Format();
    const double crossingMs = estimate.crossingSample * static_cast<double>(core_->CalcData()->SampleInterval);
    const QString question = Text(kCompressQuestion)
                                 .arg(FromAnsi(UserFixedText(estimate.noiseLevel, 1, format)))
                                 .arg(FromAnsi(UserFixedText(crossingMs, 2, format)));
    if (Dialogs.AskYesNo(Text("Schröderplott"), question))
        StoreCropPoint(EMessS, estimate.crossingSample);
}

// ---- Export, chart picture, printing ------------------------------------------------------

void TMainForm::SpeedButton2Click()
{
    if (!core_->HasMeasurement())
        return;
    const TCalcData& data = *core_->CalcData();
    try {
        data.SaveTim(JoinPath(DirectoryOf(data.FileName), "export.tim"));
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

void TMainForm::Speichern1Click()
{
    const QString fileName = Dialogs.AskChartFileName();
    if (fileName.isEmpty())
        return;
    try {
        const QString caption = ChartCaptionText(CurrentChartCaption());
        SaveChartPicture(fileName, Chart1->size(), [this, &caption](QCPPainter& painter, const QRect& area) {
            Chart1->RenderPrinted(painter, area, caption);
        });
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

// The curve as shown (the left axis title names its unit) beside the Schroeder curve.
void TMainForm::DatenExportieren1Click()
{
    const TCalcChart* calcer = ShownCalcer();
    if (!calcer || !FShownSeries)
        return;
    const QString fileName = Dialogs.AskCsvFileName(Text("Daten exportieren"));
    if (fileName.isEmpty())
        return;
    try {
        WriteCsv(ToAnsi(fileName), CurveRows(ToAnsi(Chart1->yAxis->label()), *FShownSeries, calcer->SchroederSeries, core_->Format()));
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

void TMainForm::PrintChart(QPrinter& printer)
{
    // At screen resolution the chart's fonts and pens keep their proportions
    // to it; the vector output stays sharp at any printer resolution.
    printer.setResolution(kScreenDotsPerInch);
    QCPPainter painter;
    if (!painter.begin(&printer)) {
        ShowError(Text("Der Drucker kann nicht benutzt werden"));
        return;
    }
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    // Laid out anew for the page's shape.
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    Chart1->RenderPrinted(painter, QRect(QPoint(0, 0), page.size()), ChartCaptionText(CurrentChartCaption()));
    painter.end();
}

ChartCaption TMainForm::CurrentChartCaption() const
{
    ChartCaption caption;
    caption.date = QDate::currentDate();
    if (ProjectOpen())
        caption.project = QFileInfo(PathText(core_->ProjectFile())).fileName();
    if (!core_->HasMeasurement() || !FShownSeries)
        return caption;
    caption.measurementFile = QFileInfo(PathText(core_->CalcData()->FileName)).fileName();
    if (manager_)
        caption.point = manager_->MeasurementCaption();
    caption.band = TreeNode(FCurrent + 2)->text(0);
    caption.representation = FViewItem->text();
    return caption;
}

void TMainForm::Drucken1Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(ChartDocumentName(CurrentChartCaption()));
    if (Dialogs.AskPrinter(printer))
        PrintChart(printer);
}

void TMainForm::Druckvorschau1Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(ChartDocumentName(CurrentChartCaption()));
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName("PrintPreview");
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) { PrintChart(*target); });
    preview.exec();
}

} // namespace dazo::ui
