// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/RTEditor.h"

#include "common/Encoding.h"
#include "project/DialogHelpers.h"
#include "project/ProjekdatenDlg.h"
#include "project/RtfReader.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QFontComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace dazo::ui {
namespace {

// The application title the captions show, for the life of a test.
class ApplicationTitle {
public:
    explicit ApplicationTitle(const QString& title) : previous_(QApplication::applicationName())
    {
        QApplication::setApplicationName(title);
    }
    ~ApplicationTitle() { QApplication::setApplicationName(previous_); }

private:
    QString previous_;
};

QByteArray FileBytes(const std::string& file)
{
    QFile in(QString::fromStdString(file));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

class RTEditorTest : public testing::Test {
protected:
    RTEditorTest()
    {
        // Every dialog answers from the test and records that it was asked.
        TRTFDialogs& dialogs = form.Dialogs();
        dialogs.Ask = [this](const QString& question) {
            questions << question;
            return answer;
        };
        dialogs.ChooseSaveFile = [this] {
            ++saveDialogs;
            return saveName;
        };
        dialogs.ChooseOpenFile = [this] { return openChoice; };
        dialogs.ShowError = [this](const QString& message) { errors << message; };
        dialogs.ChoosePrinter = [](QPrinter&) { return false; };
        dialogs.ChooseFont = [](const QFont&) { return std::nullopt; };
    }

    template <class Widget>
    Widget* Find(const char* name) const
    {
        Widget* widget = form.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTextEdit* Editor() const { return Find<QTextEdit>("Editor"); }
    QString Panel(int index) const { return Find<QLabel>(("StatusPanel" + std::to_string(index)).c_str())->text(); }
    QAction* Command(const char* name) const { return Find<QAction>(name); }
    void Type(const QString& text) { Editor()->textCursor().insertText(text); }
    void Select(int from, int to)
    {
        QTextCursor cursor = Editor()->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        Editor()->setTextCursor(cursor);
    }
    QTextCharFormat FormatAt(int position) const
    {
        QTextCursor cursor(Editor()->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    }

    dazo::test::TempDir dir;
    ApplicationTitle title{QStringLiteral("DAZO")};
    TRTFForm form;
    QStringList questions;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
    int saveDialogs = 0;
    QString saveName;
    std::optional<OpenChoice> openChoice;
    QStringList errors;
};

TEST_F(RTEditorTest, CommandsMenusAndHints)
{
    const struct {
        const char* name;
        const char* caption;
        const char* shortcut;
        const char* hint;
    } commands[] = {
        {"FileNewCmd", "Neu", "Ctrl+N", "Create a new file"},
        {"FileOpenCmd", "Öffnen...", "Ctrl+O", "Open an existing file"},
        {"FileSaveCmd", "Speichern", "Ctrl+S", "Save current file"},
        {"FileSaveAsCmd", "Speichern als...", "", "Save current file under a new name"},
        {"FilePrintCmd", "Drucken", "Ctrl+P", "Print current file"},
        {"FileExitCmd", "Beenden", "Alt+X", "Exit this application"},
        {"EditUndoCmd", "Rückgängig", "Ctrl+Z", "Undo the last action"},
        {"EditCutCmd", "Auschneiden", "Ctrl+X", "Delete selected item"},
        {"EditCopyCmd", "Kopieren", "Ctrl+C", "Copy selected item to clipboard"},
        {"EditPasteCmd", "Einfügen", "Ctrl+V", "Paste contents of clipboard"},
        {"EditFontCmd", "Schriftart...", "", ""},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.name);
        const QAction* action = Command(command.name);
        EXPECT_EQ(action->text(), QString::fromUtf8(command.caption));
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(command.shortcut)));
        EXPECT_EQ(action->statusTip(), QString::fromLatin1(command.hint));
    }
    QStringList menus;
    for (const QAction* menu : Find<QMenuBar>("MainMenu")->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"Datei", "&Edit"}));

    EXPECT_EQ(Find<QFontComboBox>("FontName")->statusTip(), "Select font name");
    EXPECT_EQ(Find<QSpinBox>("FontSize")->minimum(), 0);
    EXPECT_EQ(Find<QSpinBox>("FontSize")->singleStep(), 1);
    EXPECT_EQ(Find<QToolButton>("BulletsButton")->toolTip(), "Bullets");
    EXPECT_EQ(Find<QToolButton>("BulletsButton")->statusTip(), "Enter bullet mode");
    EXPECT_EQ(Find<QToolButton>("CenterAlign")->toolTip(), "Center");

    EXPECT_EQ(form.DocumentName(), "Unbekannt");
    EXPECT_EQ(form.windowTitle(), "Unbekannt - DAZO");
    EXPECT_EQ(Panel(0), "Zeile:   1 Spalte:   1");
    EXPECT_EQ(Panel(1), "");
}

TEST_F(RTEditorTest, CommandsAreAvailableWhenTheyCanAct)
{
    EXPECT_FALSE(Command("EditUndoCmd")->isEnabled());
    Type("eins zwei");
    EXPECT_TRUE(Command("EditUndoCmd")->isEnabled());
    EXPECT_EQ(Panel(1), "Geändert");
    EXPECT_FALSE(Command("EditCutCmd")->isEnabled());
    EXPECT_FALSE(Command("EditCopyCmd")->isEnabled());
    Select(0, 4);
    EXPECT_TRUE(Command("EditCutCmd")->isEnabled());
    EXPECT_TRUE(Command("EditCopyCmd")->isEnabled());

    QApplication::clipboard()->clear();
    EXPECT_FALSE(Command("EditPasteCmd")->isEnabled());
    Command("EditCopyCmd")->trigger();
    EXPECT_TRUE(Command("EditPasteCmd")->isEnabled());
}

TEST_F(RTEditorTest, SavingANewDocumentAsksForAName)
{
    Type("Notiz");
    Command("FileSaveCmd")->trigger(); // the dialog is cancelled
    EXPECT_EQ(saveDialogs, 1);
    EXPECT_EQ(form.DocumentName(), "Unbekannt");
    EXPECT_EQ(Panel(1), "Geändert");

    saveName = QString::fromStdString(dir.File("notiz.rtf"));
    Command("FileSaveCmd")->trigger();
    EXPECT_EQ(saveDialogs, 2);
    EXPECT_EQ(form.DocumentName(), saveName);
    EXPECT_EQ(form.windowTitle(), "notiz.rtf - DAZO");
    EXPECT_EQ(Panel(1), "");
    QTextDocument saved;
    ReadRtf(FileBytes(dir.File("notiz.rtf")), saved);
    EXPECT_EQ(saved.toPlainText(), "Notiz");

    Type(" mehr"); // a named document is saved without asking
    Command("FileSaveCmd")->trigger();
    EXPECT_EQ(saveDialogs, 2);
    EXPECT_TRUE(questions.isEmpty());
}

TEST_F(RTEditorTest, SaveAsAsksBeforeReplacingAFile)
{
    const std::string existing = dir.Write("alt.rtf", "alter Inhalt");
    saveName = QString::fromStdString(existing);
    Type("neu");
    answer = QMessageBox::No;
    Command("FileSaveAsCmd")->trigger();
    EXPECT_EQ(questions, QStringList{"Datei " + saveName + " überschreiben?"});
    EXPECT_EQ(FileBytes(existing), "alter Inhalt");
    EXPECT_EQ(form.DocumentName(), "Unbekannt");

    answer = QMessageBox::Yes;
    Command("FileSaveAsCmd")->trigger();
    EXPECT_TRUE(IsRtf(FileBytes(existing)));
    EXPECT_EQ(form.DocumentName(), saveName);
}

TEST_F(RTEditorTest, ClosingAModifiedDocumentAsksFirst)
{
    form.show();
    Type("ungesichert");
    answer = QMessageBox::Cancel;
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(questions, QStringList{"Änderungen speichern in Unbekannt?"});
    EXPECT_EQ(Editor()->toPlainText(), "ungesichert");
    EXPECT_TRUE(Editor()->document()->isModified());

    answer = QMessageBox::Yes; // but the save dialog is cancelled: nothing may be lost
    Command("FileExitCmd")->trigger();
    EXPECT_EQ(saveDialogs, 1);
    EXPECT_TRUE(form.isVisible());

    answer = QMessageBox::No;
    form.close();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(RTEditorTest, OpeningOnAMissingFileShowsAnEmptyDocumentNamedAfterIt)
{
    const QString notes = QString::fromStdString(dir.File("projekt.rtf"));
    form.SetDocumentName(notes);
    form.show();
    EXPECT_EQ(Editor()->toPlainText(), "");
    EXPECT_EQ(form.DocumentName(), notes);
    EXPECT_EQ(form.windowTitle(), "projekt.rtf - DAZO");
    EXPECT_EQ(Panel(0), "Zeile:   1 Spalte:   1");
    EXPECT_TRUE(errors.isEmpty());

    Type("Ergebnis");
    Command("FileSaveCmd")->trigger(); // straight into the notes file
    EXPECT_EQ(saveDialogs, 0);
    EXPECT_TRUE(IsRtf(FileBytes(notes.toStdString())));
}

TEST_F(RTEditorTest, ShowingLoadsTheFileAndTheToolbarFollowsTheSelection)
{
    const std::string file = dir.Write("bericht.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\fs20 erste Zeile\\par"
                                                      "\\qc\\fs28 zw{\\b ei}te\\par\\pard\\plain\\ri720\\fs20 dritte}");
    form.SetDocumentName(QString::fromStdString(file));
    form.show();
    EXPECT_EQ(Editor()->toPlainText(), "erste Zeile\nzweite\ndritte");
    EXPECT_EQ(Panel(1), "");

    QTextCursor cursor = Editor()->textCursor();
    cursor.setPosition(14); // "zw|eite"
    Editor()->setTextCursor(cursor);
    EXPECT_EQ(Panel(0), "Zeile:   2 Spalte:   3");
    EXPECT_EQ(Find<QSpinBox>("FontSize")->value(), 14);
    EXPECT_TRUE(Find<QToolButton>("CenterAlign")->isChecked());
    EXPECT_FALSE(Find<QToolButton>("BoldButton")->isChecked());
    cursor.setPosition(15); // "zwe|ite": after a bold character
    Editor()->setTextCursor(cursor);
    EXPECT_TRUE(Find<QToolButton>("BoldButton")->isChecked());
    cursor.setPosition(23);
    Editor()->setTextCursor(cursor);
    EXPECT_EQ(Find<QSpinBox>("FontSize")->value(), 10);
    EXPECT_TRUE(Find<QToolButton>("LeftAlign")->isChecked());
    EXPECT_EQ(form.CurrentIndents(), (ParagraphIndents{0, 0, 36}));
    // Following the selection never changes the document.
    EXPECT_FALSE(Editor()->document()->isModified());
}

TEST_F(RTEditorTest, FormatCommandsActOnTheSelectionOrTheTypingAttributes)
{
    Type("abc def");
    Select(4, 7);
    Find<QToolButton>("BoldButton")->click();
    Find<QSpinBox>("FontSize")->setValue(20);
    EXPECT_EQ(FormatAt(4).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(6).fontPointSize(), 20);
    EXPECT_NE(FormatAt(0).fontWeight(), QFont::Bold);

    Select(7, 7);
    Find<QToolButton>("BoldButton")->click(); // off for what is typed next
    Find<QToolButton>("ItalicButton")->click();
    Find<QToolButton>("UnderlineButton")->click();
    Type("x");
    EXPECT_NE(FormatAt(7).fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatAt(7).fontItalic());
    EXPECT_TRUE(FormatAt(7).fontUnderline());
    EXPECT_FALSE(FormatAt(6).fontItalic());

    Select(0, 3);
    form.Dialogs().ChooseFont = [](const QFont& initial) {
        EXPECT_FALSE(initial.bold());
        return std::optional<QFont>(QFont(QStringLiteral("Courier"), 16));
    };
    Command("EditFontCmd")->trigger();
    EXPECT_EQ(FormatAt(1).font().family(), "Courier");
    EXPECT_EQ(FormatAt(1).fontPointSize(), 16);
    EXPECT_EQ(Find<QSpinBox>("FontSize")->value(), 16);
    EXPECT_EQ(FormatAt(4).fontPointSize(), 20);

    Find<QToolButton>("RightAlign")->click();
    EXPECT_EQ(Editor()->alignment(), Qt::AlignRight);
    Find<QToolButton>("CenterAlign")->click();
    EXPECT_EQ(Editor()->alignment(), Qt::AlignHCenter);

    Find<QToolButton>("BulletsButton")->click();
    ASSERT_NE(Editor()->textCursor().currentList(), nullptr);
    EXPECT_EQ(Editor()->textCursor().currentList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(Editor()->textCursor().blockFormat().leftMargin(), 24.0);
    Find<QToolButton>("BulletsButton")->click();
    EXPECT_EQ(Editor()->textCursor().currentList(), nullptr);
    EXPECT_EQ(Editor()->textCursor().blockFormat().leftMargin(), 0.0);
}

TEST(RTEditorRuler, PixelAndPointRules)
{
    // 4/3 pixels per point, truncated; a margin of 6 pixels; markers 4 pixels left of their centre.
    EXPECT_EQ(ruler::FirstMarkerLeft(0), 2);
    EXPECT_EQ(ruler::FirstMarkerLeft(36), 50);
    EXPECT_EQ(ruler::FirstMarkerLeft(10), 15); // 13.33 truncated
    EXPECT_EQ(ruler::FirstMarkerLeft(-1), 1);  // towards zero
    EXPECT_EQ(ruler::LeftMarkerLeft(36, -18), 26);
    EXPECT_EQ(ruler::RightMarkerLeft(500, 0), 486);
    EXPECT_EQ(ruler::RightMarkerLeft(500, 30), 446);
    EXPECT_EQ(ruler::FirstIndentAt(50, 4), 36);
    EXPECT_EQ(ruler::FirstIndentAt(20, 4), 13); // 18 / (4/3) = 13.5 truncated
    EXPECT_EQ(ruler::LeftIndentAt(26, 4, 36), -18);
    EXPECT_EQ(ruler::RightIndentAt(500, 486, 4), 0);
    EXPECT_EQ(ruler::RightIndentAt(500, 446, 4), 30);
}

TEST_F(RTEditorTest, DraggingTheRulerMarkersSetsTheIndents)
{
    form.show();
    Type("Absatz");
    const auto drag = [](QLabel* marker, int by) {
        const QPointF grab(marker->width() / 2, 5);
        for (const auto& [type, at] : {std::pair{QEvent::MouseButtonPress, grab},
                                       {QEvent::MouseMove, grab + QPointF(by, 0)},
                                       {QEvent::MouseButtonRelease, grab}}) {
            QMouseEvent event(type, at, marker->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(marker, &event);
        }
    };
    QLabel* first = Find<QLabel>("FirstInd");
    QLabel* left = Find<QLabel>("LeftInd");
    QLabel* right = Find<QLabel>("RightInd");
    const int rulerWidth = Find<QLabel>("Ruler")->width();
    EXPECT_EQ(right->x(), ruler::RightMarkerLeft(rulerWidth, 0));

    drag(first, 40); // the first line moves, the others stay
    EXPECT_EQ(form.CurrentIndents(), (ParagraphIndents{30, -30, 0}));
    EXPECT_EQ(first->x(), ruler::FirstMarkerLeft(30));
    drag(left, 48);
    EXPECT_EQ(form.CurrentIndents(), (ParagraphIndents{30, 6, 0}));
    EXPECT_EQ(left->x(), ruler::LeftMarkerLeft(30, 6));
    drag(right, -40);
    EXPECT_EQ(form.CurrentIndents(), (ParagraphIndents{30, 6, 30}));
    EXPECT_EQ(right->x(), ruler::RightMarkerLeft(rulerWidth, 30));
    const QTextBlockFormat block = Editor()->textCursor().blockFormat();
    EXPECT_EQ(block.leftMargin(), 48.0);
    EXPECT_EQ(block.textIndent(), -8.0);
    EXPECT_EQ(block.rightMargin(), 40.0);
}

TEST_F(RTEditorTest, OpenNewAndPlainText)
{
    const std::string text = dir.Write("liste.txt", "Gr\xF6\xDF" "e\r\nzweite");
    openChoice = OpenChoice{QString::fromStdString(text), true};
    form.FileOpenCmdExecute();
    EXPECT_EQ(Editor()->toPlainText(), QStringLiteral("Größe\nzweite"));
    EXPECT_TRUE(Editor()->isReadOnly());
    EXPECT_EQ(form.windowTitle(), "liste.txt - DAZO");

    Editor()->setReadOnly(false);
    Type("!");
    form.FileSaveCmdExecute(); // a text file stays plain Windows-1252 text
    EXPECT_EQ(FileBytes(text), "!Gr\xF6\xDF" "e\r\nzweite");

    openChoice = OpenChoice{QString::fromStdString(dir.File("fehlt.rtf")), false};
    form.FileOpenCmdExecute();
    EXPECT_EQ(errors, QStringList{"Datei " + openChoice->fileName + " kann nicht geöffnet werden"});
    EXPECT_EQ(Editor()->toPlainText(), QStringLiteral("!Größe\nzweite"));
    EXPECT_EQ(form.DocumentName(), QString::fromStdString(text));

    form.FileNewCmdExecute();
    EXPECT_EQ(Editor()->toPlainText(), "");
    EXPECT_EQ(form.DocumentName(), "Unbekannt");
    EXPECT_FALSE(Editor()->isReadOnly());
}

TEST_F(RTEditorTest, PrintsWithTheDocumentNameAsJobTitle)
{
    Type("Druck");
    const std::string pdf = dir.File("druck.pdf");
    QString jobTitle;
    form.Dialogs().ChoosePrinter = [&](QPrinter& printer) {
        jobTitle = printer.docName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    Command("FilePrintCmd")->trigger();
    EXPECT_EQ(jobTitle, "Unbekannt");
    EXPECT_TRUE(FileBytes(pdf).startsWith("%PDF"));
}

TEST_F(RTEditorTest, FileNamesOfSavingAndPrinting)
{
    EXPECT_EQ(WithDocumentExtension("/d/neu"), "/d/neu.rtf");
    EXPECT_EQ(WithDocumentExtension("/d/neu.txt"), "/d/neu.txt");
    EXPECT_EQ(WithDocumentExtension("/d.v2/neu"), "/d.v2/neu.rtf");
    EXPECT_EQ(WithDocumentExtension(""), "");

    Type("Notiz");
    saveName = QString::fromStdString(dir.File("neu"));
    Command("FileSaveAsCmd")->trigger();
    EXPECT_TRUE(IsRtf(FileBytes(dir.File("neu.rtf"))));
    EXPECT_FALSE(QFileInfo::exists(saveName));
    EXPECT_EQ(form.DocumentName(), saveName + ".rtf");

    // The print dialog proposes the document's bare name, not its path.
    QString jobTitle;
    form.Dialogs().ChoosePrinter = [&](QPrinter& printer) {
        jobTitle = printer.docName();
        return false;
    };
    Command("FilePrintCmd")->trigger();
    EXPECT_EQ(jobTitle, "neu");
}

TEST_F(RTEditorTest, NewAsksBeforeDiscardingChangesAndStartsPlain)
{
    QTextCharFormat italic;
    italic.setFontItalic(true);
    Editor()->mergeCurrentCharFormat(italic);
    Type("kursiv");
    answer = QMessageBox::Cancel;
    form.FileNewCmdExecute();
    EXPECT_EQ(questions, QStringList{"Änderungen speichern in Unbekannt?"});
    EXPECT_EQ(Editor()->toPlainText(), "kursiv");

    answer = QMessageBox::No;
    form.FileNewCmdExecute();
    EXPECT_EQ(Editor()->toPlainText(), "");
    EXPECT_FALSE(Editor()->currentCharFormat().fontItalic());
    EXPECT_FALSE(Find<QToolButton>("ItalicButton")->isChecked());
}

TEST(EditRtfFile, OpensModallyAndTheProjectShowsTheSavedNotes)
{
    ApplicationTitle title(QStringLiteral("DAZO"));
    dazo::test::TempDir dir;
    const std::string project = dir.Write("halle.npj", "[DATA]\n");
    TProjectDlg projectDlg(nullptr, FormatSettings::German());
    projectDlg.LoadProject(project);

    QString caption;
    test::WhenModal<TRTFForm>([&caption](TRTFForm* editor) {
        caption = editor->windowTitle();
        auto* text = editor->findChild<QTextEdit*>(QStringLiteral("Editor"));
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        text->textCursor().insertText(QStringLiteral("Nachhall gemessen"), bold);
        editor->FileSaveCmdExecute();
        editor->close();
    });
    projectDlg.findChild<QPushButton*>(QStringLiteral("bBearbeiten"))->click();
    EXPECT_EQ(caption, "halle.rtf - DAZO");
    const auto* notes = projectDlg.findChild<QTextBrowser*>(QStringLiteral("ErgRTF"));
    EXPECT_EQ(notes->toPlainText(), "Nachhall gemessen");
    QTextCursor at(notes->document());
    at.setPosition(1);
    EXPECT_EQ(at.charFormat().fontWeight(), QFont::Bold);

    // Closed without saving a file that does not exist: the notes stay.
    std::filesystem::remove(dir.File("halle.rtf"));
    test::WhenModal<TRTFForm>([](TRTFForm* editor) { editor->close(); });
    const auto message = test::CloseNextMessageBox();
    projectDlg.findChild<QPushButton*>(QStringLiteral("bBearbeiten"))->click();
    EXPECT_EQ(*message, "Datei " + QString::fromStdString(dir.File("halle.rtf")) + " kann nicht geöffnet werden");
    EXPECT_EQ(notes->toPlainText(), "Nachhall gemessen");
}

} // namespace
} // namespace dazo::ui
