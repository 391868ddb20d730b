// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The project-data window: place, client, room, sound source and signal,
// floor-plan sketch, instruments and result notes of a project. Every control
// with the dynamic property tag = 1 is one key of section "DATA" of the project
// file, named like the control; the keys are written in the order the
// controls are created here.

#include "bridge/AnsiText.h"
#include "common/FormatSettings.h"

#include <QWidget>

#include <string>
#include <vector>

class QComboBox;
class QFileDialog;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QTextBrowser;

namespace dazo::ui {

class SketchView;

class TProjectDlg : public QWidget {
    Q_OBJECT

public:
    explicit TProjectDlg(QWidget* parent = nullptr, FormatSettings format = UserFormat());

    // Empties every field, then fills the window from the project (none for an
    // empty name).
    void LoadProject(const std::string& projectFile);
    // Writes all tagged controls to the open project; nothing without one.
    // Errors are shown to the user.
    void SaveData();
    const std::string& ProjectFile() const { return projectFile_; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QLineEdit* AddEdit(const char* name);
    QComboBox* AddCombo(const char* name, const QStringList& suggestions, bool editable = true);
    QPlainTextEdit* AddMemo(const char* name);
    QWidget* Tagged(QWidget* control);

    QWidget* CreateLocationPage();
    QWidget* CreateApplicantPage();
    QWidget* CreateRoomPages();
    QWidget* CreateVolumePage();
    QWidget* CreateUsagePage();
    QWidget* CreateMaterialPage();
    QWidget* CreateOccupancyPage();
    QWidget* CreateFittingsPage();
    QWidget* CreateClimatePage();
    QWidget* CreateSoundSourcePage();
    QWidget* CreateSignalPage();
    QWidget* CreateSketchPage();
    QWidget* CreateInstrumentsPage();
    QWidget* CreateResultPage();

    void ClearFields();
    void WriteData(const std::string& projectFile);
    void ShowSoundSourcePageWithData();
    void ShowSketch();
    void ShowResultNotes();
    void ShowError(const QString& message);

    void SpeedButton1Click();
    void eRBPersonenChange();
    void Button1Click();
    void InsertSketch(const QString& pictureFile);
    void bBearbeitenClick();

    FormatSettings format_;
    std::string projectFile_;
    std::vector<QWidget*> tagged_; // in creation order: the order of the keys
    QTabWidget* pages_ = nullptr;

    QLineEdit* eRVLaenge = nullptr;
    QLineEdit* eRVBreite = nullptr;
    QLineEdit* eRVHoehe = nullptr;
    QLineEdit* eRVQBM = nullptr;
    QLineEdit* eRBPersonen = nullptr;
    QLineEdit* eRBPersMes = nullptr;
    QLineEdit* eRBPersProzent = nullptr;
    QWidget* seatsPanel_ = nullptr;
    QRadioButton* RMusikJa = nullptr;
    QRadioButton* RMusikNein = nullptr;
    QRadioButton* RBeschallJa = nullptr;
    QRadioButton* RBeschallnein = nullptr;
    QStackedWidget* PBeschall = nullptr;
    SketchView* Skizze = nullptr;
    QLineEdit* eSkizze = nullptr;
    QFileDialog* OpenPictureDialog = nullptr;
    QTextBrowser* ErgRTF = nullptr;
};

} // namespace dazo::ui
