// SPDX-License-Identifier: GPL-3.0-or-later
// The program: the main window and the windows that live as long as it.
//
//   dazo [PROJECT.npj | MEASUREMENT.tim | MEASUREMENT.qel]

#include "audio/AudioFileReader.h"
#include "app/QtTranslations.h"
#include "app/uMain.h"
#include "bridge/AnsiText.h"
#include "common/ProgramPaths.h"
#include "evaluation/EvaluationCore.h"
#include "project/ProjekdatenDlg.h"
#include "project/uMesManDlg.h"
#include "reports/uAusgabeDlg.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <exception>
#include <optional>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("DAZO");
    dazo::ui::InstallGermanQtTranslations(app);
    dazo::RegisterAudioReaders();

    std::optional<dazo::ProgramPaths> paths;
    try {
        paths.emplace(dazo::ProgramPaths::OfRunningProgram());
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "DAZO", dazo::ui::FromAnsi(e.what()));
        return 1;
    }

    // Created in this order; each lives until the program ends.
    dazo::ui::TMainForm mainForm(*paths);
    dazo::ui::TMesManDlg manager;
    dazo::ui::TProjectDlg projectData;
    dazo::ui::TAusgabeDlg resultsTable(*paths);
    resultsTable.RequestResults = [&mainForm](int message) { dazo::ui::SendResultsRequest(&mainForm, message); };
    resultsTable.DecayQualities = [&mainForm] { return mainForm.CalculatedBandQualities(); };
    resultsTable.ProjectFile = [&mainForm] { return mainForm.Core().ProjectFile(); };
    mainForm.SetCompanionWindows(&manager, &projectData, &resultsTable);
    mainForm.show();

    // A file named on the command line is opened once the window is up.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        const QString file = QFileInfo(arguments.at(1)).absoluteFilePath();
        QTimer::singleShot(0, &mainForm, [&mainForm, file] { mainForm.OpenProject(file); });
    }
    return QApplication::exec();
}
