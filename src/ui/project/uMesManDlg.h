// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The measurement manager: the project's measurement points and measurements
// as a tree, a page describing the selected node, and the commands of the
// tree's context menus. The point list and every decision live in
// TMeasurementPointModel; this window shows it and forwards the user's input.

#include "bridge/AnsiText.h"
#include "common/FormatSettings.h"
#include "project/MeasurementManager.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QFileDialog;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace dazo::ui {

class TMesManDlg : public QWidget {
    Q_OBJECT

public:
    explicit TMesManDlg(QWidget* parent = nullptr, FormatSettings format = UserFormat());

    // Shows the points of a "Messungen" section (key=value lines) and makes
    // the first measurement the standard one. Errors are shown to the user.
    void LoadPoints(const std::string& projectFile, const std::vector<std::string>& keyValueLines);
    // Writes the point list and the two counts; nothing without a project.
    void SavePoints();
    QString MeasurementCaption() const;

    // Called with the full name of the measurement file that became standard.
    std::function<void(const QString& fullPath)> OnMeasurementSelect;

    const TMeasurementPointModel& Model() const { return model_; }

    // Every question and message of the window goes through these, so that
    // tests can answer them; by default they are the usual dialogs.
    struct TDialogs {
        std::function<void(const QString& message)> ShowError;
        // A Yes/No question with the question icon; true for Yes.
        std::function<bool(const QString& caption, const QString& text)> AskYesNo;
        // The measurement file "Messung einfügen" adds; empty when cancelled.
        std::function<QString()> ChooseMeasurementFile;
    };
    TDialogs Dialogs;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* CreateLocationPage();
    QWidget* CreatePointPage();
    QWidget* CreateMeasurementPage();
    void CreatePopupMenus();

    static std::optional<PointTreeNode> NodeOf(const QTreeWidgetItem* item);
    std::optional<PointTreeNode> SelectedNode() const;
    // Makes the selected node standard (measurements only) and shows the new texts.
    void SetStandard();
    void RebuildTree();
    // Runs a command of the model, shows its error, and shows the model again.
    void RunCommand(const std::function<void()>& command);
    void ShowError(const QString& message);
    void ShowPage(int index);

    void MessViewChange(QTreeWidgetItem* item);
    void MessViewDblClick();
    void bStandardClick();
    void eMesspunktExit();
    void SheetOrtShow();
    void ShowPoint(int point);
    void ShowLocation();
    void MessViewContextMenu(const QPoint& pos);

    void Messungeinfgen1Click(); // "Messpunkt einfügen"
    void ResetMessungen1Click();
    void Punktlschen1Click();    // "Messpunkt löschen"
    void Messungeinfgen2Click(); // "Messung einfügen"
    void Messunglschen1Click();  // "Messung löschen"
    // A measurement from another folder is copied into the project folder, or
    // not taken: the project finds its measurements there only. The name to
    // insert; none when it is not taken.
    std::optional<std::string> MeasurementInProjectFolder(const QString& chosen);

    FormatSettings format_;
    TMeasurementPointModel model_;
    bool showingError_ = false;
    bool rebuilding_ = false;

    QTreeWidget* MessView = nullptr;
    QStackedWidget* PageControl1 = nullptr;
    QWidget* SheetOrt = nullptr;
    QWidget* SheetPunkt = nullptr;
    QWidget* SheetMessung = nullptr;
    QLineEdit* eMesspunkt = nullptr;
    QComboBox* cMicPos = nullptr;
    QComboBox* cMicRichtung = nullptr;
    QLineEdit* eMicAbBoden = nullptr;
    QLineEdit* eMicAbWand = nullptr;
    QComboBox* cLautPos = nullptr;
    QLineEdit* eLautAbBoden = nullptr;
    QLineEdit* eLautAbWand = nullptr;
    QPlainTextEdit* mNote = nullptr;
    QLineEdit* eMessName = nullptr;
    QPushButton* bStandard = nullptr;
    QMenu* PopupMessort = nullptr;
    QMenu* PopupMessPunkt = nullptr;
    QMenu* PopupMessung = nullptr;
    QMenu* activePopup_ = nullptr;
    QFileDialog* OpenDialog1 = nullptr;
};

} // namespace dazo::ui
