// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small rich-text word processor in a modal window: the result notes of a
// project are written here, and any RTF or plain text file can be edited.

#include <QDialog>
#include <QFont>
#include <QMessageBox>

#include <functional>
#include <optional>

class QAction;
class QButtonGroup;
class QFileDialog;
class QFontComboBox;
class QFrame;
class QLabel;
class QPrinter;
class QSpinBox;
class QTextDocument;
class QTextEdit;
class QToolButton;

namespace dazo::ui {

// The ruler: indents in points, the ruler in pixels at 4/3 pixels per point
// with a margin of 6 pixels. Left edges of the markers, and the indents their
// drop positions give (grabOffset: half the marker's width).
namespace ruler {
int FirstMarkerLeft(int firstIndent);
int LeftMarkerLeft(int firstIndent, int leftIndent);
int RightMarkerLeft(int rulerWidth, int rightIndent);
int FirstIndentAt(int markerLeft, int grabOffset);
int LeftIndentAt(int markerLeft, int grabOffset, int firstIndent);
int RightIndentAt(int rulerWidth, int markerLeft, int grabOffset);
} // namespace ruler

// A paragraph's indents as a word processor's ruler shows them, in points:
// first is where the first line starts, left where the other lines start
// relative to the first, right the distance from the right edge.
struct ParagraphIndents {
    int first = 0;
    int left = 0;
    int right = 0;
    bool operator==(const ParagraphIndents&) const = default;
};

// The name a document is saved under: a name without extension gets ".rtf".
QString WithDocumentExtension(const QString& fileName);

struct OpenChoice {
    QString fileName;
    bool readOnly = false;
};

// The dialogs the editor asks through. The window fills them with the real
// dialogs; tests put their own answers in.
struct TRTFDialogs {
    // A question with Yes, No and Cancel.
    std::function<QMessageBox::StandardButton(const QString& question)> Ask;
    std::function<std::optional<OpenChoice>()> ChooseOpenFile;
    std::function<QString()> ChooseSaveFile; // empty: cancelled
    std::function<bool(QPrinter& printer)> ChoosePrinter;
    std::function<std::optional<QFont>(const QFont& initial)> ChooseFont;
    std::function<void(const QString& message)> ShowError;
};

class TRTFForm : public QDialog {
    Q_OBJECT

public:
    explicit TRTFForm(QWidget* parent = nullptr);

    const QString& DocumentName() const { return documentName_; }
    // Sets the name and the caption.
    void SetDocumentName(const QString& name);
    TRTFDialogs& Dialogs() { return dialogs_; }

    ParagraphIndents CurrentIndents() const;
    void SetCurrentIndents(const ParagraphIndents& indents);

    // The file commands, also reachable through their actions.
    void FileNewCmdExecute();
    void FileOpenCmdExecute();
    bool FileSaveCmdExecute(); // false when nothing was saved
    bool FileSaveAsCmdExecute();
    void FilePrintCmdExecute();

public slots:
    void reject() override; // closing asks to save first

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    QAction* AddCommand(const char* name, const QString& caption, const QKeySequence& shortcut, const QString& hint,
                        const char* iconName);
    void CreateCommands();
    void CreateMenus();
    QWidget* CreateToolBar();
    QWidget* CreateRuler();
    QWidget* CreateStatusBar();
    QToolButton* AddToggle(const char* name, const QString& text, const QString& hint);
    void SetDefaultTypingAttributes();
    void UseDocument(QTextDocument* document);

    bool PerformFileOpen(const QString& fileName);
    bool SaveTo(const QString& fileName);
    bool CheckFileSave(); // false: the user cancelled
    void ShowError(const QString& message);

    void SelectionChange();
    void SetupRuler();
    void UpdateCursorPos();
    void UpdateModified();
    void ActionList2Update();

    void BoldButtonClick(bool down);
    void ItalicButtonClick(bool down);
    void UnderlineButtonClick(bool down);
    void FontSizeChange(int size);
    void FontNameChange(const QFont& font);
    void AlignButtonClick(int tag);
    void BulletsButtonClick(bool down);
    void EditFontCmdExecute();

    void RulerItemMouseDown(QLabel* marker, int x);
    void RulerItemMouseMove(QLabel* marker, int x);
    void FirstIndMouseUp();
    void LeftIndMouseUp();
    void RightIndMouseUp();
    void RulerResize();

    TRTFDialogs dialogs_;
    QString documentName_;
    bool SyncingControls = false;
    int GrabOffset = 0;
    bool IndentDragActive = false;

    QTextEdit* Editor = nullptr;
    QAction* FileNewCmd = nullptr;
    QAction* FileOpenCmd = nullptr;
    QAction* FileSaveCmd = nullptr;
    QAction* FileSaveAsCmd = nullptr;
    QAction* FilePrintCmd = nullptr;
    QAction* FileExitCmd = nullptr;
    QAction* EditUndoCmd = nullptr;
    QAction* EditCutCmd = nullptr;
    QAction* EditCopyCmd = nullptr;
    QAction* EditPasteCmd = nullptr;
    QAction* EditFontCmd = nullptr;
    QFontComboBox* FontName = nullptr;
    QSpinBox* FontSize = nullptr;
    QToolButton* BoldButton = nullptr;
    QToolButton* ItalicButton = nullptr;
    QToolButton* UnderlineButton = nullptr;
    QButtonGroup* AlignButtons = nullptr;
    QToolButton* BulletsButton = nullptr;
    QLabel* Ruler = nullptr;
    QLabel* FirstInd = nullptr;
    QLabel* LeftInd = nullptr;
    QLabel* RightInd = nullptr;
    QFrame* RulerLine = nullptr;
    QLabel* StatusPanels[3] = {};
    QFileDialog* OpenDialog = nullptr;
    QFileDialog* SaveDialog = nullptr;
};

// Opens the editor modally on the file (which need not exist yet); true when
// the window was closed with "OK".
bool EditRtfFile(QWidget* parent, const QString& fileName);

} // namespace dazo::ui
