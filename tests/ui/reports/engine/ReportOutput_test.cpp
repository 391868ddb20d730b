// SPDX-License-Identifier: GPL-3.0-or-later
// The four reports rendered to PDF through the windows' report commands, read
// back with pdftotext.

#include "reports/engine/ReportWindows.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "common/Paths.h"
#include "evaluation/ProjectSurvey.h"
#include "project/DialogHelpers.h"
#include "project/IniFile.h"
#include "reports/DefaultReports.h"
#include "reports/EvaluationProject.h"
#include "reports/ReportTemplate.h"
#include "reports/uAusgabeDlg.h"
#include "reports/uNachDia.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace dazo::ui {
namespace {

using test::EvaluationProject;

// The text of a PDF file, pages separated by form feeds; empty when
// pdftotext is missing (the caller skips).
QString PdfText(const QString& file)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        return {};
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    process.waitForFinished(30000);
    // Ligatures ("ﬁ" in "ungefiltert") back to their letters.
    return QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

bool HasPdfTools()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

int Pages(const QString& text)
{
    return static_cast<int>(text.count(QChar('\f')));
}

ReportRun ToPdf(const QString& file)
{
    return [file](Report& report) { report.ExportPdf(file); };
}

testing::AssertionResult Matches(const QString& text, const QString& pattern)
{
    if (QRegularExpression(pattern).match(text).hasMatch())
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no match for " << pattern.toStdString() << " in\n" << text.toStdString();
}

class ReportOutput : public testing::Test {
protected:
    ReportOutput()
    {
        IniFile(project.ProjectFile())
            .WriteStrings("DATA", {{"eAFirma", "Stadt Musterstadt"},
                                   {"eOOrt", "12345 Musterstadt"},
                                   {"eSMAbSpl", "2,5"},
                                   {"mRVNote", "offene Galerie%nzum Foyer"},
                                   {"eAnzMesspunkte", "1"},
                                   {"eAnzMessungen", "2"}});
    }

    QString Pdf(const char* name) const { return QString::fromStdString(project.Dir().File(name)); }

    // The evaluation window as the main window shows it, with its reports.
    std::unique_ptr<TNachhallDiaDlg> EvaluationWindow()
    {
        auto window = std::make_unique<TNachhallDiaDlg>(project.Paths(), FormatSettings::English());
        window->SetProjectFile(project.ProjectFile());
        window->RequestResults = project.Requests();
        window->SurveyProject = [this] { return SurveyProject(project.Core()); };
        reports = &ConnectProjectReports(*window);
        reports->ShowWarning = [this](const QString& message) { warnings << message; };
        window->show();
        return window;
    }

    EvaluationProject project{FormatSettings::English(), {"m1.tim", "m2.tim"}};
    ProjectReports* reports = nullptr;
    QStringList warnings;
};

TEST_F(ReportOutput, TableReportOfTheLoadedMeasurement)
{
    if (!HasPdfTools())
        GTEST_SKIP() << "pdftotext missing";
    // On a system with a decimal comma, from the results file to the print.
    EvaluationProject german{FormatSettings::German(), {"m1.tim"}};
    TAusgabeDlg window(german.Paths(), FormatSettings::German());
    TableReports& table = ConnectTableReport(window);
    window.RequestResults = german.Requests();
    window.ProjectFile = [&german] { return german.ProjectFile(); };
    window.show();
    ASSERT_TRUE(window.bPrint->isEnabled());
    table.ppReport1.Numbers = NumberDisplaySettings::For(FormatSettings::German());
    table.OutputReport(ToPdf(Pdf("tabelle.pdf")));
    EXPECT_FALSE(window.PipeData.Active());

    const QString text = PdfText(Pdf("tabelle.pdf"));
    EXPECT_TRUE(Matches(text, "Werte in Tabellenform"));
    // Whose values these are, and every column with its unit.
    EXPECT_TRUE(Matches(text, "Projekt: p\\.npj +Raum: Stadthalle"));
    EXPECT_TRUE(Matches(text, "Messpunkt: Messpunkt 1 +Datei: m1\\.tim"));
    EXPECT_TRUE(Matches(text, "Hz +EDT \\[s\\] +RT20 \\[s\\] +RT30 \\[s\\] +RTxx \\[s\\] +C35 \\[dB\\] +C50 \\[dB\\] "
                              "+C80 \\[dB\\] +Cxx \\[dB\\] +D50 \\[–\\] +D80 \\[–\\] +Ts \\[ms\\]"));
    // Each band a row of eleven values with two decimals and a decimal comma.
    for (const char* band : {"ungefiltert", "31.5", "63", "125", "250", "500", "1000", "2000", "4000", "8000"})
        EXPECT_TRUE(Matches(text, "(?m)^ *" + QRegularExpression::escape(band) + "( +-?\\d+,\\d\\d){11} *$"));
    EXPECT_TRUE(Matches(text, "\\d\\d\\.\\d\\d\\.\\d{4} +Seite 1 von 1"));
    EXPECT_EQ(Pages(text), 1);
}

TEST_F(ReportOutput, DiagramReportWithPictureVariablesAndProjectData)
{
    if (!HasPdfTools())
        GTEST_SKIP() << "pdftotext missing";
    const auto window = EvaluationWindow();
    window->bCalcClick();
    ASSERT_TRUE(window->bPrint->isEnabled());
    reports->OutputDiagramReport(ToPdf(Pdf("diagram.pdf")));
    for (TTextPipeline* pipeline : {&window->PData, &window->LData, &window->PipeValues})
        EXPECT_FALSE(pipeline->Active());

    const QString text = PdfText(Pdf("diagram.pdf"));
    EXPECT_TRUE(Matches(text, "Nachhallzeit nach DIN EN ISO 3382"));
    EXPECT_TRUE(Matches(text, "Antragsteller : *Stadt Musterstadt"));
    EXPECT_TRUE(Matches(text, "Frequenz \\[Hz\\]")); // the diagram's own axis title
    EXPECT_TRUE(Matches(text, "125 Hz +250 Hz +500 Hz +1000 Hz +2000 Hz +4000 Hz"));
    EXPECT_FALSE(text.contains(QStringLiteral("8000 Hz")));
    const auto twoDecimals = [](double value) { return QString::number(value, 'f', 2); };
    const TBandValues& bands = window->BandValues();
    EXPECT_TRUE(Matches(text, "T in s +" + twoDecimals(bands[0]) + " +" + twoDecimals(bands[1]) + " +" + twoDecimals(bands[2])));
    EXPECT_TRUE(Matches(text, "EDT = +" + twoDecimals(window->Means().EDT)));
    EXPECT_TRUE(Matches(text, "RT 30 = +" + twoDecimals(window->Means().RT30)));
    EXPECT_TRUE(Matches(text, "(?m)^ *500 +(-?\\d+\\.\\d\\d +){8}-?\\d+\\.\\d\\d *$"));
    EXPECT_TRUE(Matches(text, "Seite: +1 von 1"));
    EXPECT_TRUE(warnings.isEmpty());
}

// The body lines of each page: lines that stand on every page (header and
// footer) left out.
std::vector<QStringList> PageBodies(const QString& text)
{
    std::vector<QStringList> pages;
    for (const QString& page : text.split(QChar('\f'), Qt::SkipEmptyParts)) {
        QStringList lines;
        for (const QString& line : page.split(QChar('\n')))
            if (!line.trimmed().isEmpty())
                lines << line.trimmed();
        pages.push_back(lines);
    }
    for (auto& page : pages)
        page.removeIf([&](const QString& line) {
            return std::all_of(pages.begin(), pages.end(), [&](const QStringList& other) { return other.contains(line); });
        });
    return pages;
}

// The column at which a word starts in the line that holds the marker.
qsizetype ColumnOf(const QString& text, const QString& marker, const QString& word)
{
    for (const QString& line : text.split(QChar('\n')))
        if (line.contains(marker))
            return line.indexOf(word);
    return -1;
}

TEST_F(ReportOutput, TestReportMergesProjectDataAndPutsInSketchAndResultsText)
{
    if (!HasPdfTools())
        GTEST_SKIP() << "pdftotext missing";
    QImage sketch(300, 200, QImage::Format_RGB32);
    sketch.fill(Qt::blue);
    ASSERT_TRUE(sketch.save(QString::fromStdString(project.Dir().File("p.png"))));
    IniFile(project.ProjectFile())
        .WriteStrings("DATA", {{"eSkizze", " p.png "}, {"eRBPersonen", "30"}, {"eRBPersMes", "7"},
                               {"eRBPersProzent", "23,3333333333333"}, {"cRNSitzePolster", ""},
                               {"eGMicHer", "Beispielwerk"}, {"eGMicTyp", "46AE"}, {"eGMicSnr", "123456"},
                               {"cONutzungsart", "A2 Sprache/Vortrag"}, {"eRVQBM", "400,00"}});
    std::ofstream(ChangeExtension(project.ProjectFile(), ".rtf"))
        << "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0 Die {\\b Nachhallzeit} entspricht der Nutzung.\\par}";
    const auto window = EvaluationWindow();
    reports->RepPruef.Numbers = NumberDisplaySettings::For(FormatSettings::English());
    reports->OutputTestReport(ToPdf(Pdf("pruef.pdf")));
    EXPECT_FALSE(window->PData.Active());

    const QString text = PdfText(Pdf("pruef.pdf"));
    const int pages = Pages(text);
    EXPECT_GE(pages, 2);
    // Empty fields print their label alone, the occupancy one decimal.
    EXPECT_TRUE(Matches(text, "(?m)Polsterdicke :\\s*$"));
    EXPECT_TRUE(Matches(text, "entspricht : 23\\.3 %"));
    // Section 13 honours its tab stops: the type stands under "Typ".
    EXPECT_EQ(ColumnOf(text, QStringLiteral("Beispielwerk"), QStringLiteral("46AE")),
              ColumnOf(text, QStringLiteral("Ser.Nr."), QStringLiteral("Typ")));
    // Section 15: averaged values with units, the conditions, DIN 18041.
    EXPECT_TRUE(Matches(text, "Hz +EDT \\[s\\] +RT20 \\[s\\] +RT30 \\[s\\] +C50 \\[dB\\] +C80 \\[dB\\] +D50 \\[–\\] "
                              "+Ts \\[ms\\] +DIN 18041"));
    EXPECT_TRUE(Matches(text, "(?m)^ *1000( +-?\\d+\\.\\d\\d( !)?){7} +(eingehalten|überschritten|unterschritten)"));
    EXPECT_TRUE(Matches(text, "Anzahl Messungen : 2"));
    EXPECT_TRUE(Matches(text, "Abtastrate : 25000 Hz"));
    EXPECT_TRUE(Matches(text, "Kompensation des Grundrauschens \\(Lundeby\\) : aus"));
    EXPECT_TRUE(Matches(text, "T_soll = 0\\.82 s \\(50 m. <= V < 5000 m.\\)")); // ³ read back as 3
    const ReportElement* diagram = reports->RepPruef.PrintedLayout().FindElement(kTestDiagramImage);
    ASSERT_NE(diagram, nullptr);
    EXPECT_NE(reports->RepPruef.Picture(*diagram), nullptr);
    // The consultant's text in the report's font.
    const ReportElement* results = reports->RepPruef.PrintedLayout().FindElement(kResultsText);
    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(results->Text.find("Arial") != std::string::npos);
    EXPECT_TRUE(results->Text.find("Courier") == std::string::npos);
    // No line of a page's end comes back at the next page's start (the text layer included).
    const auto bodies = PageBodies(text);
    for (std::size_t page = 0; page + 1 < bodies.size(); ++page)
        for (const QString& line : bodies[page].mid(std::max<qsizetype>(0, bodies[page].size() - 3)))
            EXPECT_FALSE(bodies[page + 1].mid(0, 3).contains(line)) << line.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("Prüfbericht für die Messung der Nachhallzeit nach DIN EN ISO 3382")), pages);
    EXPECT_TRUE(Matches(text, "Name : Stadthalle"));
    EXPECT_TRUE(Matches(text, "Abstand : 2,5 m")); // <SMABSPL> from field SMAbSpl
    EXPECT_TRUE(Matches(text, "offene Galerie\\s+zum Foyer"));
    EXPECT_TRUE(Matches(text, "(?s)15\\. Ergebnisse.*Bewertung nach DIN 18041.*Die Nachhallzeit entspricht der Nutzung\\."));
    EXPECT_TRUE(Matches(text, "Seite: +1 von " + QString::number(pages)));
    EXPECT_TRUE(Matches(text, "Seite: +" + QString::number(pages) + " von " + QString::number(pages)));
    const ReportElement* image = reports->RepPruef.PrintedLayout().FindElement(kSketchImage);
    ASSERT_NE(image, nullptr);
    EXPECT_NE(reports->RepPruef.Picture(*image), nullptr);
}

TEST_F(ReportOutput, TestReportWithoutSketchLeavesNoRoomForIt)
{
    if (!HasPdfTools())
        GTEST_SKIP() << "pdftotext missing";
    const auto window = EvaluationWindow();
    reports->OutputTestReport(ToPdf(Pdf("ohne.pdf")));
    const QString text = PdfText(Pdf("ohne.pdf"));
    const auto from = text.indexOf(QStringLiteral("Maßstab:"));
    const auto to = text.indexOf(QStringLiteral("3. Raumvolumen"));
    ASSERT_GE(from, 0);
    ASSERT_GT(to, from);
    EXPECT_LE(text.mid(from, to - from).count(QChar('\n')), 4);
}

TEST_F(ReportOutput, TestReportNeedsSavedProjectData)
{
    IniFile(project.ProjectFile()).ReplaceSection("DATA", {{"eOName", "Saal"}});
    const auto window = EvaluationWindow();
    try {
        reports->OutputTestReport(ToPdf(Pdf("pruef.pdf")));
        FAIL();
    } catch (const DazoError& error) {
        EXPECT_EQ(Utf8(error.what()), "Bitte zuerst Projektdaten eingeben");
    }
    EXPECT_FALSE(window->PData.Active());
    EXPECT_FALSE(window->LData.Active());
    EXPECT_FALSE(std::filesystem::exists(Pdf("pruef.pdf").toStdString()));
}

TEST_F(ReportOutput, MeasurementReportOneBlockPerPointOverSeveralPages)
{
    if (!HasPdfTools())
        GTEST_SKIP() << "pdftotext missing";
    std::vector<KeyValue> points;
    for (int i = 1; i <= 9; ++i) {
        std::string line = dazo::test::PointLine(i, i == 3 ? std::vector<std::string>{"m1.tim", "m2.tim", "x.tim"}
                                                             : std::vector<std::string>{"m1.tim"});
        if (i == 3) // a remark of two lines
            line.replace(line.find(",0,0,\"\",\"\",\"\",") + 5, 2, "\"erste Zeile%nzweite Zeile\"");
        points.push_back({"MP" + std::to_string(i), line.substr(line.find('=') + 1)});
    }
    IniFile(project.ProjectFile()).ReplaceSection("Messungen", points);
    const auto window = EvaluationWindow();
    reports->OutputMeasurementReport(ToPdf(Pdf("mess.pdf")));
    EXPECT_FALSE(window->MessPunktPipe.Active());

    const QString text = PdfText(Pdf("mess.pdf"));
    const int pages = Pages(text);
    ASSERT_GE(pages, 2);
    EXPECT_EQ(text.count(QStringLiteral("Messpunktbezeichnung")), 9);
    EXPECT_TRUE(Matches(text, "Messpunkt 3\\s+Anzahl Messungen +3\\s+Meßdateien +m1.tim, m2.tim, x.tim"));
    EXPECT_TRUE(Matches(text, "Bemerkung +erste Zeile\\n +zweite Zeile"));
    EXPECT_EQ(text.count(QStringLiteral("Im folgendem werden alle Meßpunkte")), 1); // the title, first page only
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("Anhang zum Prüfbericht +nach DIN EN ISO 3382"))), pages);
    EXPECT_TRUE(Matches(text, "Seite: +2 von " + QString::number(pages)));
}

TEST_F(ReportOutput, TemplateReplacesTheDefaultAndADamagedOneIsReported)
{
    if (!HasPdfTools())
        GTEST_SKIP() << "pdftotext missing";
    TAusgabeDlg window(project.Paths(), FormatSettings::English());
    TableReports& table = ConnectTableReport(window);
    QStringList shown;
    table.ShowWarning = [&](const QString& message) { shown << message; };
    window.RequestResults = project.Requests();
    window.show();

    ReportLayout own = DefaultLayout(ReportKind::Table);
    own.Band(BandKind::Title).Elements.at(0).Text = "Eigene Tabelle";
    const std::string file = project.Paths().TemplateFile("tabelle.rtm");
    SaveTemplate(own, file);
    table.OutputReport(ToPdf(Pdf("eigen.pdf")));
    EXPECT_TRUE(Matches(PdfText(Pdf("eigen.pdf")), "Eigene Tabelle"));

    // Deleting the file keeps the layout loaded last; a damaged one brings the default back.
    std::filesystem::remove(file);
    table.OutputReport(ToPdf(Pdf("weiter.pdf")));
    EXPECT_TRUE(Matches(PdfText(Pdf("weiter.pdf")), "Eigene Tabelle"));
    std::ofstream(file) << "{\"format\": \"dazo-report\", \"version\": 1, \"bands\": [";
    table.OutputReport(ToPdf(Pdf("default.pdf")));
    EXPECT_TRUE(Matches(PdfText(Pdf("default.pdf")), "Werte in Tabellenform"));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.front(), "Vorlage " + QString::fromStdString(file) + " ist beschädigt");
}

TEST_F(ReportOutput, PreviewOpensMaximized)
{
    TAusgabeDlg window(project.Paths(), FormatSettings::English());
    TableReports& table = ConnectTableReport(window);
    window.RequestResults = project.Requests();
    window.show();
    bool maximized = false;
    test::WhenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* preview) {
        maximized = preview->windowState().testFlag(Qt::WindowMaximized);
        preview->reject();
    });
    table.OutputReport(DeviceRun(ReportDevice::Screen, &window));
    EXPECT_TRUE(maximized);
    EXPECT_EQ(table.ppReport1.PageCount(), 1);
}

// dazo-eval renders the bundled example project, as a user would from a shell.
TEST(ReportCommand, AllFourReportsOfTheExampleProject)
{
    if (!HasPdfTools())
        GTEST_SKIP() << "pdftotext missing";
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/dazo-eval");
    if (!QFileInfo::exists(program))
        GTEST_SKIP() << "dazo-eval not built";
    dazo::test::TempDir dir;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(DAZO_SOURCE_DIR) / "examples")) {
        const auto extension = entry.path().extension();
        if (extension == ".npj" || extension == ".tim" || extension == ".qel" || extension == ".svg"
            || extension == ".rtf")
            std::filesystem::copy_file(entry.path(), dir.Path() / entry.path().filename());
    }
    const std::string project = dir.File("Stadthalle.npj");
    const struct {
        const char* kind;
        const char* expected;
    } cases[] = {{"tabelle", "Messpunkt: Messpunkt 1 +Datei: mp1_a\\.tim"},
                 {"diagram", "DIN 18041 +(eingehalten|überschritten|unterschritten)"},
                 {"pruefbericht", "Abtastrate : 25000 Hz"},
                 {"messbericht", "Messpunkt 1\\s+Anzahl Messungen +2\\s+Meßdateien +mp1_a.tim, mp1_b.tim"}};
    for (const auto& c : cases) {
        const QString pdf = QString::fromStdString(dir.File(std::string(c.kind) + ".pdf"));
        QProcess process;
        process.start(program, {QStringLiteral("report"), QString::fromLatin1(c.kind), QString::fromStdString(project),
                                QStringLiteral("--pdf"), pdf, QStringLiteral("--templates"),
                                QString::fromStdString(dir.File("keine"))});
        ASSERT_TRUE(process.waitForFinished(120000)) << c.kind;
        EXPECT_EQ(process.exitCode(), 0) << c.kind << process.readAllStandardError().toStdString();
        const QString text = PdfText(pdf);
        EXPECT_TRUE(Matches(text, c.expected));
        EXPECT_TRUE(Matches(text, "(Seite: +1 von \\d|Seite 1)"));
    }
}

TEST(ReportCommand, UnknownReportAndMissingTarget)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/dazo-eval");
    if (!QFileInfo::exists(program))
        GTEST_SKIP() << "dazo-eval not built";
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {{{"report", "bilanz", "x.npj", "--pdf", "x.pdf"}, "unbekannter Bericht: bilanz"},
                 {{"report", "tabelle", "x.npj"}, "Zieldatei mit --pdf angeben"}};
    for (const auto& c : cases) {
        QProcess process;
        process.start(program, c.arguments);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 1);
        EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains(QString::fromUtf8(c.message)));
    }
}

} // namespace
} // namespace dazo::ui
