// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/engine/ReportWindows.h"

#include "common/DazoError.h"
#include "common/Paths.h"
#include "reports/DefaultReports.h"
#include "reports/MeasurementHeading.h"
#include "reports/ResultsFiles.h"
#include "reports/TextPipeline.h"
#include "reports/engine/ReportDesigner.h"
#include "reports/uAusgabeDlg.h"
#include "reports/uNachDia.h"
#include "signal/uconst.h"

#include "project/RtfReader.h"
#include "project/RtfWriter.h"
#include "reports/LineFiles.h"

#include <QApplication>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QMessageBox>
#include <QPrintPreviewDialog>

#include <filesystem>

namespace dazo::ui {
namespace {

// Opens pipelines and closes the given ones again whatever happens.
class PipelinesOpen {
public:
    explicit PipelinesOpen(std::vector<TTextPipeline*> pipelines)
        : pipelines_(std::move(pipelines))
    {
    }
    ~PipelinesOpen()
    {
        for (TTextPipeline* pipeline : pipelines_)
            pipeline->Close();
    }
    PipelinesOpen(const PipelinesOpen&) = delete;
    PipelinesOpen& operator=(const PipelinesOpen&) = delete;

    void Open(TTextPipeline& pipeline) { pipeline.Open(); }

private:
    std::vector<TTextPipeline*> pipelines_;
};

bool FileExists(const std::string& fileName)
{
    std::error_code ignored;
    return !fileName.empty() && std::filesystem::is_regular_file(fileName, ignored);
}

// The preview window opens maximized for every report.
void MaximizePreview(QPrintPreviewDialog* preview)
{
    if (preview)
        preview->setWindowState(preview->windowState() | Qt::WindowMaximized);
}

std::function<void(const QString&)> WarningBox(QWidget* owner)
{
    return [owner](const QString& message) {
        QMessageBox::warning(owner, QApplication::applicationDisplayName(), message);
    };
}

QByteArray ReadFileBytes(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        FailWith("Datei %s kann nicht geöffnet werden", ToAnsi(fileName));
    return file.readAll();
}

// The consultant's text in the font family of the report's element, as the
// rest of the report: the editor writes it in the screen's font. Sizes,
// bold and italic stay; plain text stays as it is.
std::string InReportFont(const QByteArray& text, const Report& report, const char* elementName)
{
    const ReportElement* element = report.Layout().FindElement(elementName);
    if (!element || !IsRtf(text))
        return text.toStdString();
    QTextDocument document;
    ReadRtf(text, document);
    QTextCursor all(&document);
    all.select(QTextCursor::Document);
    QTextCharFormat family;
    family.setFontFamilies({FromAnsi(element->Font.Family)});
    all.mergeCharFormat(family);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        QTextCharFormat blockFormat = block.charFormat();
        blockFormat.setFontFamilies({FromAnsi(element->Font.Family)});
        cursor.setBlockCharFormat(blockFormat);
    }
    return WriteRtf(document).toStdString();
}

// The kinds the designer of the evaluation window ("Nachhallzeit") offers.
const std::vector<ElementKind> kDiagramDesignerKinds = {
    ElementKind::Label,     ElementKind::Memo,     ElementKind::RichText,       ElementKind::Image,   ElementKind::Rectangle,
    ElementKind::Line,      ElementKind::DataText, ElementKind::SystemVariable, ElementKind::Variable};

} // namespace

ReportRun DeviceRun(ReportDevice device, QWidget* parent)
{
    return [device, parent](Report& report) {
        report.DeviceType = device;
        report.Print(parent);
    };
}

std::vector<ElementKind> AllElementKinds()
{
    std::vector<ElementKind> kinds;
    for (int kind = 0; kind < kElementKindCount; ++kind)
        kinds.push_back(static_cast<ElementKind>(kind));
    return kinds;
}

// --- the results table -------------------------------------------------------

TableReports::TableReports(TAusgabeDlg& window)
    : QObject(&window)
    , ShowWarning(WarningBox(&window))
    , ppReport1(DefaultLayout(ReportKind::Table))
    , window_(window)
{
    ppReport1.TemplateFile = window.Paths().TemplateFile(TemplateName(ReportKind::Table));
    ppReport1.Pipelines = {{kPipeData, kPipeData, &window.PipeData}};
    ppReport1.OnBeforePrint = MaximizePreview;
}

void TableReports::LoadTemplate(Report& report)
{
    if (const QString error = report.LoadTemplateIfExists(); !error.isEmpty() && ShowWarning)
        ShowWarning(error);
}

void TableReports::OutputReport(const ReportRun& run)
{
    LoadTemplate(ppReport1);
    PipelinesOpen open({&window_.PipeData});
    open.Open(window_.PipeData);
    const std::string measurement = window_.PipeData.Eof() ? std::string() : window_.PipeData.Value("Datei");
    const std::string project = window_.ProjectFile ? window_.ProjectFile() : std::string();
    ppReport1.SetRichText(kMeasurementText, MeasurementHeading(project, measurement));
    run(ppReport1);
}

void TableReports::Design()
{
    LoadTemplate(ppReport1);
    ShowReportDesigner(ppReport1, &window_, QStringLiteral("Ausgabe Tabellarisch"), AllElementKinds());
}

// --- the evaluation window ---------------------------------------------------

ProjectReports::ProjectReports(TNachhallDiaDlg& window)
    : QObject(&window)
    , ShowWarning(WarningBox(&window))
    , ppReport2(DefaultLayout(ReportKind::Diagram))
    , RepPruef(DefaultLayout(ReportKind::Test))
    , Messbericht(DefaultLayout(ReportKind::Measurement))
    , window_(window)
{
    const ReportPipeline pipeValues{kPipeValues, kPipeValues, &window.PipeValues};
    const ReportPipeline pData{kPData, kPDataUserName, &window.PData};
    const ReportPipeline lData{kLData, kLDataUserName, &window.LData};
    const ReportPipeline points{kMessPunktPipe, kMessPunktPipe, &window.MessPunktPipe};
    ppReport2.TemplateFile = window.Paths().TemplateFile(TemplateName(ReportKind::Diagram));
    ppReport2.Pipelines = {pipeValues, pData, lData};
    ppReport2.OnStartPage = [this](int) { SetVariables(); };
    ppReport2.OnBeforePrint = MaximizePreview;
    RepPruef.TemplateFile = window.Paths().TemplateFile(TemplateName(ReportKind::Test));
    RepPruef.Pipelines = {pData, lData};
    RepPruef.OnBeforePrint = MaximizePreview;
    Messbericht.TemplateFile = window.Paths().TemplateFile(TemplateName(ReportKind::Measurement));
    Messbericht.Pipelines = {points, pData, lData};
    Messbericht.OnBeforePrint = MaximizePreview;
}

void ProjectReports::LoadTemplate(Report& report)
{
    if (const QString error = report.LoadTemplateIfExists(); !error.isEmpty() && ShowWarning)
        ShowWarning(error);
}

// The current diagram, with the DIN 18041 corridor when there is one.
ReportPicture ProjectReports::Diagram() const
{
    const TBandDiagramPicture diagram =
        DrawBandDiagram(QString(), window_.BandValues(), window_.Format(), window_.Corridor());
    return ReportPicture::FromPicture(diagram.Picture);
}

// The current diagram as the picture of NachDiagramm.
void ProjectReports::PutDiagram()
{
    ppReport2.SetPicture(kDiagramImage, Diagram());
}

// The verdicts under the value box, each under its band's column (the
// columns of the default layout, from the text's left edge).
void ProjectReports::PutAssessment()
{
    static const std::vector<double> kBandColumnCentres = {35.5, 56.5, 77.5, 98.5, 119.5, 140.5};
    const auto& assessment = window_.Assessment();
    ppReport2.SetRichText(kAssessmentText,
                          assessment ? DiagramAssessmentText(*assessment, ppReport2.Numbers, kBandColumnCentres) : "");
}

// Section 15 of the test report: the averaged results (calculated first when
// the window has none yet), the conditions, the diagram.
void ProjectReports::PutTestResults()
{
    if (!window_.HasResults())
        window_.bCalcClick();
    if (!window_.HasResults()) {
        RepPruef.SetRichText(kResultsSection, "");
        RepPruef.SetPicture(kTestDiagramImage, {});
        return;
    }
    const ProjectSurvey survey = window_.SurveyProject ? window_.SurveyProject() : ProjectSurvey{};
    RepPruef.SetRichText(kResultsSection, TestResultsText(ReadLines(window_.Paths().ResultsFile()), survey,
                                                          window_.Assessment(), RepPruef.Numbers));
    RepPruef.SetPicture(kTestDiagramImage, Diagram());
}

// At the start of every page of the diagram report.
void ProjectReports::SetVariables()
{
    static constexpr const char* kBandVariables[] = {"v125", "v250", "v500", "v1000", "v2000", "v4000", "v8000"};
    const TBandValues& values = window_.BandValues();
    for (std::size_t i = 0; i < values.size(); ++i)
        ppReport2.SetVariable(kBandVariables[i], values[i]);
    ppReport2.SetVariable("veEDT", window_.Means().EDT);
    ppReport2.SetVariable("veRT20", window_.Means().RT20);
    ppReport2.SetVariable("veRT30", window_.Means().RT30);
}

void ProjectReports::OutputDiagramReport(const ReportRun& run)
{
    LoadTemplate(ppReport2);
    // PipeValues stays bound to the results file of the last calculation.
    PipelinesOpen open({&window_.LData, &window_.PData, &window_.PipeValues});
    open.Open(window_.LData);
    open.Open(window_.PData);
    PutDiagram();
    PutAssessment();
    SetVariables();
    open.Open(window_.PipeValues);
    run(ppReport2);
}

void ProjectReports::OutputTestReport(const ReportRun& run)
{
    LoadTemplate(RepPruef);
    PipelinesOpen open({&window_.LData, &window_.PData});
    open.Open(window_.LData);
    open.Open(window_.PData);
    if (window_.PData.FieldPosition("Skizze") < 0)
        Fail("Bitte zuerst Projektdaten eingeben");
    const std::string projectDirectory = DirectoryOf(window_.ProjectFile());
    // A missing sketch or results text leaves the report's picture or text as it was.
    if (const std::string sketch(Trim(window_.PData.Value("Skizze"))); !sketch.empty()) {
        const std::string sketchFile = JoinPath(projectDirectory, sketch);
        if (FileExists(sketchFile))
            RepPruef.SetPicture(kSketchImage, ReportPicture::FromFile(FromAnsi(sketchFile)));
    }
    if (const std::string resultsText = ChangeExtension(window_.ProjectFile(), ".rtf"); FileExists(resultsText))
        RepPruef.SetRichText(kResultsText, InReportFont(ReadFileBytes(FromAnsi(resultsText)), RepPruef, kResultsText));
    PutTestResults();
    run(RepPruef);
}

void ProjectReports::OutputMeasurementReport(const ReportRun& run)
{
    LoadTemplate(Messbericht);
    window_.MessPunktPipe.FileName = window_.Paths().PointsFile();
    WritePointsFile(window_.ProjectFile(), window_.MessPunktPipe.FileName, window_.Format());
    PipelinesOpen open({&window_.LData, &window_.PData, &window_.MessPunktPipe});
    open.Open(window_.LData);
    open.Open(window_.PData);
    open.Open(window_.MessPunktPipe);
    run(Messbericht);
}

void ProjectReports::Design(int which)
{
    Report* const reports[] = {&ppReport2, &RepPruef, &Messbericht};
    if (which < 0 || which > 2)
        return;
    Report& report = *reports[which];
    if (&report == &ppReport2)
        PutDiagram();
    LoadTemplate(report);
    ShowReportDesigner(report, &window_, QStringLiteral("Nachhallzeit"), kDiagramDesignerKinds);
}

// --- connecting ----------------------------------------------------------------

TableReports& ConnectTableReport(TAusgabeDlg& window)
{
    auto* reports = window.findChild<TableReports*>(QString(), Qt::FindDirectChildrenOnly);
    if (!reports)
        reports = new TableReports(window);
    window.OnPrint = [reports, &window] { reports->OutputReport(DeviceRun(ReportDevice::Printer, &window)); };
    window.OnPreview = [reports, &window] { reports->OutputReport(DeviceRun(ReportDevice::Screen, &window)); };
    window.OnDesign = [reports] { reports->Design(); };
    return *reports;
}

ProjectReports& ConnectProjectReports(TNachhallDiaDlg& window)
{
    auto* reports = window.findChild<ProjectReports*>(QString(), Qt::FindDirectChildrenOnly);
    if (!reports)
        reports = new ProjectReports(window);
    const auto run = [&window](bool printer) { return DeviceRun(printer ? ReportDevice::Printer : ReportDevice::Screen, &window); };
    window.OnOutputDiagramReport = [reports, run](bool printer) { reports->OutputDiagramReport(run(printer)); };
    window.OnOutputTestReport = [reports, run](bool printer) { reports->OutputTestReport(run(printer)); };
    window.OnOutputMeasurementReport = [reports, run](bool printer) { reports->OutputMeasurementReport(run(printer)); };
    window.OnDesign = [reports](int which) { reports->Design(which); };
    return *reports;
}

} // namespace dazo::ui
