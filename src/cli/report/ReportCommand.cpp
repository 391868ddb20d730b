// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ReportCommand.h"

#include "CommandLine.h"
#include "EvaluationSetup.h"

#include "bridge/AnsiText.h"
#include "common/DazoError.h"
#include "common/Encoding.h"
#include "common/Paths.h"
#include "common/ProgramPaths.h"
#include "evaluation/EvaluationCore.h"
#include "evaluation/MeasurementLoading.h"
#include "evaluation/ProjectSurvey.h"
#include "reports/DefaultReports.h"
#include "reports/engine/ReportWindows.h"
#include "reports/uAusgabeDlg.h"
#include "reports/uNachDia.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <iostream>
#include <optional>

namespace dazo::cli {
namespace {

// A message a window would show in a box is kept for the command to report,
// and the box is closed at once: nobody is there to click it away.
class HeadlessMessages : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                if (message_.empty())
                    message_ = ui::ToAnsi(box->text());
                QTimer::singleShot(0, box, &QMessageBox::reject);
            }
        return false;
    }

    // Throws the first message shown so far.
    void ThrowIfShown() const
    {
        if (!message_.empty())
            throw DazoError(message_);
    }

private:
    std::string message_;
};

struct ReportChoice {
    const char* word;
    ReportKind kind;
};

constexpr ReportChoice kReports[] = {{"tabelle", ReportKind::Table},
                                     {"diagram", ReportKind::Diagram},
                                     {"pruefbericht", ReportKind::Test},
                                     {"messbericht", ReportKind::Measurement}};

ReportKind KindOf(const std::string& word)
{
    for (const auto& choice : kReports)
        if (word == choice.word)
            return choice.kind;
    FailWith("unbekannter Bericht: %s (tabelle, diagram, pruefbericht, messbericht)", Ansi(word));
}

// The main window's part: the result requests, with their error kept for the
// command instead of a message box.
class ResultRequests {
public:
    ResultRequests(TEvaluationCore& core, Progress* progress)
        : core_(core)
        , progress_(progress)
    {
    }
    std::function<void(int)> Handler()
    {
        return [this](int message) {
            try {
                core_.HandleMessage(message, progress_);
            } catch (const DazoError& error) {
                error_ = error.what();
            }
        };
    }
    void ThrowIfFailed() const
    {
        if (!error_.empty())
            throw DazoError(error_);
    }

private:
    TEvaluationCore& core_;
    Progress* progress_;
    std::string error_;
};

// The windows' drawing remarks on an off-screen platform are no concern of the
// command's user; real failures still reach the terminal.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toStdString() << "\n";
}

} // namespace

int RunReport(CommandLine& args)
{
    const auto pdf = args.Value("pdf");
    const auto templates = args.Value("templates");
    const FormatSettings format = args.Flag("decimal-comma") ? FormatSettings::German() : FormatSettings::English();
    args.RequireAllUsed();
    if (args.Positional().size() != 2)
        Fail("Bericht und Projekt oder Messdatei angeben");
    if (!pdf)
        Fail("Zieldatei mit --pdf angeben");
    const ReportKind kind = KindOf(args.Positional()[0]);
    const std::string path = args.Positional()[1];

    // The installed program's templates and company data; everything the run
    // writes goes to a private directory.
    const ProgramPaths installed(JoinPath(ProgramPaths::OfRunningProgram().ProgramDirectory(), "dazo"));
    const auto templateFile = [&](ReportKind report) {
        return templates ? JoinPath(*templates, TemplateName(report)) : installed.TemplateFile(TemplateName(report));
    };
    const PrivateDataDirectory directory;
    const ProgramPaths paths(JoinPath(directory.Path(), "dazo"));
    std::error_code error;
    if (std::filesystem::exists(installed.SettingsFile(), error))
        std::filesystem::copy_file(installed.SettingsFile(), paths.SettingsFile(), error);

    TEvaluationCore core(paths, format);
    const std::string project = ProjectFileFor(path);
    core.SetProjectFile(project);
    core.LoadMeasurementFile(JoinPath(DirectoryOf(project), FirstMeasurement(TEvaluationCore::PointListFor(path))));
    TerminalProgress terminal;
    ResultRequests requests(core, ProgressOnTerminal(terminal));

    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    int argc = 1;
    char name[] = "dazo-eval";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    HeadlessMessages messages;
    application.installEventFilter(&messages);

    const QString target = QString::fromStdString(*pdf);
    const ui::ReportRun toPdf = [&](ui::Report& report) {
        report.Numbers = NumberDisplaySettings::For(format);
        report.ExportPdf(target);
    };
    const auto warn = [](const QString& message) { std::cerr << message.toStdString() << "\n"; };

    if (kind == ReportKind::Table) {
        ui::TAusgabeDlg window(paths, format);
        ui::TableReports& reports = ui::ConnectTableReport(window);
        reports.ppReport1.TemplateFile = templateFile(kind);
        reports.ShowWarning = warn;
        window.RequestResults = requests.Handler();
        window.ProjectFile = [&project] { return project; };
        window.show(); // fills the table from a fresh results file
        requests.ThrowIfFailed();
        messages.ThrowIfShown();
        reports.OutputReport(toPdf);
    } else {
        ui::TNachhallDiaDlg window(paths, format);
        window.SetProjectFile(project);
        ui::ProjectReports& reports = ui::ConnectProjectReports(window);
        reports.ppReport2.TemplateFile = templateFile(ReportKind::Diagram);
        reports.RepPruef.TemplateFile = templateFile(ReportKind::Test);
        reports.Messbericht.TemplateFile = templateFile(ReportKind::Measurement);
        reports.ShowWarning = warn;
        window.RequestResults = requests.Handler();
        window.SurveyProject = [&core] { return SurveyProject(core); };
        window.show(); // binds the project and company data
        messages.ThrowIfShown();
        if (kind == ReportKind::Diagram) {
            window.bCalcClick();
            requests.ThrowIfFailed();
            messages.ThrowIfShown();
            reports.OutputDiagramReport(toPdf);
        } else if (kind == ReportKind::Test) {
            reports.OutputTestReport(toPdf);
        } else {
            reports.OutputMeasurementReport(toPdf);
        }
    }
    std::cout << target.toStdString() << "\n";
    return 0;
}

} // namespace dazo::cli
