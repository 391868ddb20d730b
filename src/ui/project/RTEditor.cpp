// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/RTEditor.h"

#include "bridge/AnsiText.h"
#include "project/RichTextFile.h"
#include "project/RichTextUnits.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPointer>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <exception>

namespace dazo::ui {

namespace ruler {
namespace {
constexpr int kMargin = 6;
constexpr int kMarkerHalfWidth = 4;

// trunc(points × 4/3) and trunc(pixels / (4/3)), truncated towards zero.
int PointsToPixels(int points)
{
    return points * 4 / 3;
}

int PixelsToPoints(int pixels)
{
    return pixels * 3 / 4;
}
} // namespace

int FirstMarkerLeft(int firstIndent)
{
    return PointsToPixels(firstIndent) + kMargin - kMarkerHalfWidth;
}

int LeftMarkerLeft(int firstIndent, int leftIndent)
{
    return PointsToPixels(leftIndent + firstIndent) + kMargin - kMarkerHalfWidth;
}

int RightMarkerLeft(int rulerWidth, int rightIndent)
{
    return rulerWidth - kMargin - PointsToPixels(rightIndent + kMargin);
}

int FirstIndentAt(int markerLeft, int grabOffset)
{
    return PixelsToPoints(markerLeft + grabOffset - kMargin);
}

int LeftIndentAt(int markerLeft, int grabOffset, int firstIndent)
{
    return PixelsToPoints(markerLeft + grabOffset - kMargin) - firstIndent;
}

int RightIndentAt(int rulerWidth, int markerLeft, int grabOffset)
{
    return PixelsToPoints(rulerWidth - markerLeft + grabOffset - 2) - 2 * kMargin;
}
} // namespace ruler

namespace {

constexpr int kGutter = 6; // pixels between the editor's edges and the text
constexpr int kMarkerWidth = 9;
constexpr int kMaxFontSize = 1638;
const QString kUnknownDocument = QStringLiteral("Unbekannt");
const QString kFileFilter = QStringLiteral("Rich Text Files (*.RTF);;Text Files (*.TXT)");

// The rich-text control: text is formatted within the client area less the gutter.
class EditControl : public QTextEdit {
public:
    EditControl()
    {
        setViewportMargins(kGutter, 0, kGutter, 0);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
};

double PointsToPixels(int points)
{
    return points * 4.0 / 3.0;
}

int PixelsToPoints(double pixels)
{
    return static_cast<int>(std::lround(pixels * 0.75));
}

QString ApplicationTitle()
{
    return QApplication::applicationDisplayName();
}

// A hint "short|long": the tooltip, and the text for the status bar.
void SetHint(QWidget* widget, const QString& hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    widget->setToolTip(bar < 0 ? hint : hint.left(bar));
    widget->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

} // namespace

QString WithDocumentExtension(const QString& fileName)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + QStringLiteral(".rtf");
}

namespace {

QLabel* Marker(const QString& name, const QString& arrow, QWidget* ruler)
{
    auto* marker = new QLabel(arrow, ruler);
    marker->setObjectName(name);
    marker->setFixedWidth(kMarkerWidth);
    marker->setAlignment(Qt::AlignCenter);
    marker->setCursor(Qt::SizeHorCursor);
    QFont font = marker->font();
    font.setPixelSize(9);
    marker->setFont(font);
    return marker;
}

} // namespace

TRTFForm::TRTFForm(QWidget* parent) : QDialog(parent)
{
    // FormCreate
    setObjectName(QStringLiteral("RTFForm"));
    resize(640, 480);
    Editor = new EditControl;
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setAcceptRichText(true);

    CreateCommands();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateMenus();
    layout->addWidget(CreateToolBar());
    layout->addWidget(CreateRuler());
    layout->addWidget(Editor, 1);
    layout->addWidget(CreateStatusBar());

    const QString programDirectory = QCoreApplication::applicationDirPath();
    OpenDialog = new QFileDialog(this);
    OpenDialog->setObjectName(QStringLiteral("OpenDialog"));
    OpenDialog->setOption(QFileDialog::DontUseNativeDialog); // room for the read-only box
    OpenDialog->setFileMode(QFileDialog::ExistingFile);
    OpenDialog->setNameFilter(kFileFilter);
    OpenDialog->setDirectory(programDirectory);
    auto* readOnly = new QCheckBox(QStringLiteral("Schreibgeschützt öffnen"), OpenDialog);
    readOnly->setObjectName(QStringLiteral("ReadOnlyBox"));
    if (auto* grid = qobject_cast<QGridLayout*>(OpenDialog->layout()))
        grid->addWidget(readOnly, grid->rowCount(), 0, 1, -1);
    SaveDialog = new QFileDialog(this);
    SaveDialog->setObjectName(QStringLiteral("SaveDialog"));
    SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog->setOption(QFileDialog::DontConfirmOverwrite); // the editor asks itself
    SaveDialog->setNameFilter(kFileFilter);
    SaveDialog->setDirectory(programDirectory);
    SaveDialog->setDefaultSuffix(QStringLiteral("rtf"));
    connect(SaveDialog, &QFileDialog::filterSelected, SaveDialog, [this](const QString& filter) {
        SaveDialog->setDefaultSuffix(filter.contains(QStringLiteral("*.TXT")) ? QStringLiteral("txt") : QStringLiteral("rtf"));
    });

    dialogs_.Ask = [this](const QString& question) {
        return QMessageBox::question(this, ApplicationTitle(), question,
                                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    };
    dialogs_.ChooseOpenFile = [this, readOnly]() -> std::optional<OpenChoice> {
        readOnly->setChecked(false);
        if (OpenDialog->exec() != QDialog::Accepted || OpenDialog->selectedFiles().isEmpty())
            return std::nullopt;
        return OpenChoice{OpenDialog->selectedFiles().first(), readOnly->isChecked()};
    };
    dialogs_.ChooseSaveFile = [this]() {
        if (SaveDialog->exec() != QDialog::Accepted || SaveDialog->selectedFiles().isEmpty())
            return QString();
        return SaveDialog->selectedFiles().first();
    };
    dialogs_.ChoosePrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        dialog.setObjectName(QStringLiteral("PrintDialog"));
        return dialog.exec() == QDialog::Accepted;
    };
    dialogs_.ChooseFont = [this](const QFont& initial) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, this);
        return ok ? std::optional<QFont>(font) : std::nullopt;
    };
    dialogs_.ShowError = [this](const QString& message) {
        QMessageBox::critical(this, ApplicationTitle(), message);
    };

    connect(Editor, &QTextEdit::cursorPositionChanged, this, &TRTFForm::SelectionChange);
    connect(Editor, &QTextEdit::selectionChanged, this, &TRTFForm::SelectionChange);
    connect(Editor, &QTextEdit::currentCharFormatChanged, this, &TRTFForm::SelectionChange);
    connect(Editor, &QTextEdit::copyAvailable, this, &TRTFForm::ActionList2Update);
    connect(Editor, &QTextEdit::undoAvailable, this, &TRTFForm::ActionList2Update);
    connect(Editor, &QTextEdit::textChanged, this, [this] { // RichEditChange
        UpdateModified();
        ActionList2Update();
    });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &TRTFForm::ActionList2Update);

    UseDocument(Editor->document());
    SetDocumentName(kUnknownDocument);
    SetDefaultTypingAttributes();
    SelectionChange();
    ActionList2Update();
}

QAction* TRTFForm::AddCommand(const char* name, const QString& caption, const QKeySequence& shortcut,
                              const QString& hint, const char* iconName)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    action->setStatusTip(hint);
    action->setToolTip(hint.isEmpty() ? caption : hint);
    if (iconName)
        action->setIcon(QIcon::fromTheme(QString::fromLatin1(iconName)));
    addAction(action); // the shortcut works wherever the focus is in the window
    return action;
}

void TRTFForm::CreateCommands()
{
    FileNewCmd = AddCommand("FileNewCmd", QStringLiteral("Neu"), QKeySequence(QStringLiteral("Ctrl+N")),
                            QStringLiteral("Create a new file"), "document-new");
    FileOpenCmd = AddCommand("FileOpenCmd", QStringLiteral("Öffnen..."), QKeySequence(QStringLiteral("Ctrl+O")),
                             QStringLiteral("Open an existing file"), "document-open");
    FileSaveCmd = AddCommand("FileSaveCmd", QStringLiteral("Speichern"), QKeySequence(QStringLiteral("Ctrl+S")),
                             QStringLiteral("Save current file"), "document-save");
    FileSaveAsCmd = AddCommand("FileSaveAsCmd", QStringLiteral("Speichern als..."), QKeySequence(),
                               QStringLiteral("Save current file under a new name"), nullptr);
    FilePrintCmd = AddCommand("FilePrintCmd", QStringLiteral("Drucken"), QKeySequence(QStringLiteral("Ctrl+P")),
                              QStringLiteral("Print current file"), "document-print");
    FileExitCmd = AddCommand("FileExitCmd", QStringLiteral("Beenden"), QKeySequence(QStringLiteral("Alt+X")),
                             QStringLiteral("Exit this application"), nullptr);
    EditUndoCmd = AddCommand("EditUndoCmd", QStringLiteral("Rückgängig"), QKeySequence(QStringLiteral("Ctrl+Z")),
                             QStringLiteral("Undo the last action"), "edit-undo");
    EditCutCmd = AddCommand("EditCutCmd", QStringLiteral("Auschneiden"), QKeySequence(QStringLiteral("Ctrl+X")),
                            QStringLiteral("Delete selected item"), "edit-cut");
    EditCopyCmd = AddCommand("EditCopyCmd", QStringLiteral("Kopieren"), QKeySequence(QStringLiteral("Ctrl+C")),
                             QStringLiteral("Copy selected item to clipboard"), "edit-copy");
    EditPasteCmd = AddCommand("EditPasteCmd", QStringLiteral("Einfügen"), QKeySequence(QStringLiteral("Ctrl+V")),
                              QStringLiteral("Paste contents of clipboard"), "edit-paste");
    EditFontCmd = AddCommand("EditFontCmd", QStringLiteral("Schriftart..."), QKeySequence(), QString(), nullptr);

    connect(FileNewCmd, &QAction::triggered, this, &TRTFForm::FileNewCmdExecute);
    connect(FileOpenCmd, &QAction::triggered, this, &TRTFForm::FileOpenCmdExecute);
    connect(FileSaveCmd, &QAction::triggered, this, &TRTFForm::FileSaveCmdExecute);
    connect(FileSaveAsCmd, &QAction::triggered, this, &TRTFForm::FileSaveAsCmdExecute);
    connect(FilePrintCmd, &QAction::triggered, this, &TRTFForm::FilePrintCmdExecute);
    connect(FileExitCmd, &QAction::triggered, this, &QDialog::close);
    connect(EditUndoCmd, &QAction::triggered, Editor, &QTextEdit::undo);
    connect(EditCutCmd, &QAction::triggered, Editor, &QTextEdit::cut);
    connect(EditCopyCmd, &QAction::triggered, Editor, &QTextEdit::copy);
    connect(EditPasteCmd, &QAction::triggered, Editor, &QTextEdit::paste);
    connect(EditFontCmd, &QAction::triggered, this, &TRTFForm::EditFontCmdExecute);
}

void TRTFForm::CreateMenus()
{
    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu"));
    QMenu* file = menuBar->addMenu(QStringLiteral("Datei"));
    file->addActions({FileNewCmd, FileOpenCmd, FileSaveCmd, FileSaveAsCmd});
    file->addSeparator();
    file->addAction(FilePrintCmd);
    file->addSeparator();
    file->addAction(FileExitCmd);
    QMenu* edit = menuBar->addMenu(QStringLiteral("&Edit"));
    edit->addAction(EditUndoCmd);
    edit->addSeparator();
    edit->addActions({EditCutCmd, EditCopyCmd, EditPasteCmd});
    edit->addSeparator();
    edit->addAction(EditFontCmd);
    layout()->setMenuBar(menuBar);
}

QToolButton* TRTFForm::AddToggle(const char* name, const QString& text, const QString& hint)
{
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setCheckable(true);
    button->setAutoRaise(true);
    SetHint(button, hint);
    return button;
}

QWidget* TRTFForm::CreateToolBar()
{
    auto* commands = new QToolBar;
    commands->setObjectName(QStringLiteral("ToolBar"));
    commands->addActions({FileNewCmd, FileOpenCmd, FileSaveCmd, FilePrintCmd});
    commands->addSeparator();
    commands->addActions({EditCutCmd, EditCopyCmd, EditPasteCmd, EditUndoCmd});
    auto* bar = new QToolBar;
    bar->setObjectName(QStringLiteral("FormatBar"));

    FontName = new QFontComboBox;
    FontName->setObjectName(QStringLiteral("FontName"));
    SetHint(FontName, QStringLiteral("Font Name|Select font name"));
    bar->addWidget(FontName);
    FontSize = new QSpinBox;
    FontSize->setObjectName(QStringLiteral("FontSize"));
    FontSize->setRange(0, kMaxFontSize);
    FontSize->setSingleStep(1);
    SetHint(FontSize, QStringLiteral("Font Size|Select font size"));
    bar->addWidget(FontSize);
    bar->addSeparator();

    BoldButton = AddToggle("BoldButton", QStringLiteral("B"), QStringLiteral("Bold"));
    ItalicButton = AddToggle("ItalicButton", QStringLiteral("I"), QStringLiteral("Italic"));
    UnderlineButton = AddToggle("UnderlineButton", QStringLiteral("U"), QStringLiteral("Underline"));
    for (auto [button, style] : {std::pair{BoldButton, 0}, {ItalicButton, 1}, {UnderlineButton, 2}}) {
        QFont font = button->font();
        font.setBold(style == 0);
        font.setItalic(style == 1);
        font.setUnderline(style == 2);
        button->setFont(font);
        bar->addWidget(button);
    }
    bar->addSeparator();

    AlignButtons = new QButtonGroup(this);
    AlignButtons->setExclusive(true);
    const struct {
        const char* name;
        const char* text;
        const char* hint;
        int tag;
    } alignments[] = {{"LeftAlign", "L", "Align Left", 0}, {"CenterAlign", "C", "Center", 2},
                      {"RightAlign", "R", "Align Right", 1}};
    for (const auto& alignment : alignments) {
        QToolButton* button = AddToggle(alignment.name, QString::fromLatin1(alignment.text),
                                        QString::fromLatin1(alignment.hint));
        AlignButtons->addButton(button, alignment.tag);
        bar->addWidget(button);
    }
    bar->addSeparator();
    BulletsButton = AddToggle("BulletsButton", QStringLiteral("•"), QStringLiteral("Bullets|Enter bullet mode"));
    bar->addWidget(BulletsButton);

    connect(BoldButton, &QToolButton::toggled, this, &TRTFForm::BoldButtonClick);
    connect(ItalicButton, &QToolButton::toggled, this, &TRTFForm::ItalicButtonClick);
    connect(UnderlineButton, &QToolButton::toggled, this, &TRTFForm::UnderlineButtonClick);
    connect(FontSize, &QSpinBox::valueChanged, this, &TRTFForm::FontSizeChange);
    connect(FontName, &QFontComboBox::currentFontChanged, this, &TRTFForm::FontNameChange);
    connect(AlignButtons, &QButtonGroup::idClicked, this, &TRTFForm::AlignButtonClick);
    connect(BulletsButton, &QToolButton::toggled, this, &TRTFForm::BulletsButtonClick);

    auto* bars = new QWidget;
    auto* rows = new QVBoxLayout(bars);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->addWidget(commands);
    rows->addWidget(bar);
    return bars;
}

QWidget* TRTFForm::CreateRuler()
{
    // The caption's tabs put the tick marks; the markers sit on top of it.
    Ruler = new QLabel(QStringLiteral("\t|").repeated(100));
    Ruler->setObjectName(QStringLiteral("Ruler"));
    Ruler->setFixedHeight(26);
    Ruler->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Ruler->setMinimumWidth(1);
    Ruler->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    RulerLine = new QFrame(Ruler);
    RulerLine->setObjectName(QStringLiteral("RulerLine"));
    RulerLine->setFrameShape(QFrame::HLine);
    RulerLine->setGeometry(4, 12, 100, 2);
    FirstInd = Marker(QStringLiteral("FirstInd"), QStringLiteral("▼"), Ruler);
    FirstInd->setGeometry(0, 0, kMarkerWidth, 12);
    LeftInd = Marker(QStringLiteral("LeftInd"), QStringLiteral("▲"), Ruler);
    LeftInd->setGeometry(0, 14, kMarkerWidth, 12);
    RightInd = Marker(QStringLiteral("RightInd"), QStringLiteral("▲"), Ruler);
    RightInd->setGeometry(0, 14, kMarkerWidth, 12);
    Ruler->installEventFilter(this);
    for (QLabel* marker : {FirstInd, LeftInd, RightInd})
        marker->installEventFilter(this);
    return Ruler;
}

QWidget* TRTFForm::CreateStatusBar()
{
    auto* bar = new QStatusBar;
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel;
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        bar->addWidget(StatusPanels[i], i == 2 ? 1 : 0);
    }
    StatusPanels[0]->setMinimumWidth(160);
    StatusPanels[1]->setMinimumWidth(80);
    StatusPanels[1]->setAlignment(Qt::AlignCenter);
    return bar;
}

void TRTFForm::SetDefaultTypingAttributes()
{
    // The platform's default font, its size rounded to whole points.
    const QFont font = QApplication::font();
    double points = font.pointSizeF();
    if (points <= 0) {
        const QScreen* screen = QApplication::primaryScreen();
        points = font.pixelSize() * 72.0 / (screen ? screen->logicalDotsPerInchY() : 96.0);
    }
    QTextCharFormat typing;
    typing.setFontFamilies(QStringList{font.family()});
    typing.setFontPointSize(std::max(1L, std::lround(points)));
    Editor->setCurrentCharFormat(typing);
}

void TRTFForm::UseDocument(QTextDocument* document)
{
    if (document != Editor->document()) {
        const QPointer<QTextDocument> previous = Editor->document();
        document->setDefaultFont(previous->defaultFont());
        Editor->setDocument(document);
        if (previous && previous->parent() == Editor) // one this window loaded
            delete previous;
    }
    connect(document, &QTextDocument::modificationChanged, this, &TRTFForm::UpdateModified);
    UpdateModified();
    ActionList2Update();
    SelectionChange();
}

void TRTFForm::SetDocumentName(const QString& name)
{
    documentName_ = name;
    setWindowTitle(QStringLiteral("%1 - %2").arg(QFileInfo(name).fileName(), ApplicationTitle()));
}

void TRTFForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // FormShow
    UpdateCursorPos();
    UpdateModified();
    Editor->setFocus();
    SetDocumentName(documentName_);
    if (documentName_ != kUnknownDocument && QFileInfo::exists(documentName_))
        PerformFileOpen(documentName_);
}

void TRTFForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    SelectionChange(); // FormResize
}

bool TRTFForm::event(QEvent* event)
{
    // The long hints of commands and controls go to the last panel.
    if (event->type() == QEvent::StatusTip) {
        StatusPanels[2]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

bool TRTFForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Ruler) {
        if (event->type() == QEvent::Resize)
            RulerResize();
        return false;
    }
    auto* marker = qobject_cast<QLabel*>(watched);
    if (marker != FirstInd && marker != LeftInd && marker != RightInd)
        return QDialog::eventFilter(watched, event);
    const auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (!mouse)
        return false;
    const int x = static_cast<int>(mouse->position().x());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton)
            RulerItemMouseDown(marker, x);
        return true;
    case QEvent::MouseMove:
        RulerItemMouseMove(marker, x);
        return true;
    case QEvent::MouseButtonRelease:
        if (!IndentDragActive)
            return true;
        if (marker == FirstInd)
            FirstIndMouseUp();
        else if (marker == LeftInd)
            LeftIndMouseUp();
        else
            RightIndMouseUp();
        return true;
    default:
        return false;
    }
}

void TRTFForm::reject()
{
    // FormCloseQuery
    if (CheckFileSave())
        QDialog::reject();
}

void TRTFForm::ShowError(const QString& message)
{
    dialogs_.ShowError(message);
}

bool TRTFForm::PerformFileOpen(const QString& fileName)
{
    // Loaded beside the editor first, so a failure leaves the document as it was.
    auto* document = new QTextDocument(Editor);
    try {
        LoadRichTextFile(fileName, *document);
    } catch (const std::exception& e) {
        delete document;
        ShowError(FromAnsi(e.what()));
        return false;
    }
    UseDocument(document);
    SetDocumentName(fileName);
    Editor->setFocus();
    Editor->document()->setModified(false);
    return true;
}

void TRTFForm::FileNewCmdExecute()
{
    if (!CheckFileSave())
        return;
    SetDocumentName(kUnknownDocument);
    Editor->clear();
    Editor->setReadOnly(false);
    SetDefaultTypingAttributes(); // a new text starts plain, whatever was typed last
    Editor->document()->setModified(false);
}

void TRTFForm::FileOpenCmdExecute()
{
    if (!CheckFileSave())
        return;
    const std::optional<OpenChoice> choice = dialogs_.ChooseOpenFile();
    if (!choice)
        return;
    if (PerformFileOpen(choice->fileName)) {
        Editor->setReadOnly(choice->readOnly);
        ActionList2Update();
    }
}

bool TRTFForm::FileSaveCmdExecute()
{
    if (documentName_ == kUnknownDocument)
        return FileSaveAsCmdExecute();
    if (!SaveTo(documentName_))
        return false;
    Editor->document()->setModified(false);
    return true;
}

bool TRTFForm::FileSaveAsCmdExecute()
{
    const QString fileName = WithDocumentExtension(dialogs_.ChooseSaveFile());
    if (fileName.isEmpty())
        return false;
    if (QFileInfo::exists(fileName) &&
        dialogs_.Ask(QStringLiteral("Datei %1 überschreiben?").arg(fileName)) != QMessageBox::Yes)
        return false;
    if (!SaveTo(fileName))
        return false;
    SetDocumentName(fileName);
    Editor->document()->setModified(false);
    return true;
}

bool TRTFForm::SaveTo(const QString& fileName)
{
    try {
        SaveRichTextFile(fileName, *Editor->document());
        return true;
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
        return false;
    }
}

bool TRTFForm::CheckFileSave()
{
    if (!Editor->document()->isModified())
        return true;
    switch (dialogs_.Ask(QStringLiteral("Änderungen speichern in %1?").arg(documentName_))) {
    case QMessageBox::Yes:
        // Changes that did not reach the file keep the window open.
        return FileSaveCmdExecute();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void TRTFForm::FilePrintCmdExecute()
{
    QPrinter printer(QPrinter::HighResolution);
    // The print dialog proposes this name, with ".pdf", in the home folder:
    // the document's bare name, not its path.
    printer.setDocName(QFileInfo(documentName_).completeBaseName());
    if (dialogs_.ChoosePrinter(printer))
        Editor->print(&printer);
}

ParagraphIndents TRTFForm::CurrentIndents() const
{
    const QTextBlockFormat format = Editor->textCursor().blockFormat();
    return {.first = PixelsToPoints(format.leftMargin() + format.textIndent()),
            .left = PixelsToPoints(-format.textIndent()),
            .right = PixelsToPoints(format.rightMargin())};
}

void TRTFForm::SetCurrentIndents(const ParagraphIndents& indents)
{
    // No line may start left of the page or end right of it.
    const int first = std::max(0, indents.first);
    const int left = std::max(-first, indents.left);
    QTextBlockFormat format;
    format.setLeftMargin(PointsToPixels(first + left));
    format.setTextIndent(-PointsToPixels(left));
    format.setRightMargin(PointsToPixels(std::max(0, indents.right)));
    Editor->textCursor().mergeBlockFormat(format);
}

void TRTFForm::SelectionChange()
{
    SyncingControls = true;
    SetupRuler();
    const QFont font = Editor->currentFont();
    BoldButton->setChecked(font.bold());
    ItalicButton->setChecked(font.italic());
    UnderlineButton->setChecked(font.underline());
    BulletsButton->setChecked(Editor->textCursor().currentList() != nullptr);
    FontSize->setValue(static_cast<int>(std::lround(font.pointSizeF())));
    FontName->setCurrentFont(font);
    const Qt::Alignment alignment = Editor->alignment();
    const int tag = alignment & Qt::AlignHCenter ? 2 : alignment & Qt::AlignRight ? 1 : 0;
    AlignButtons->button(tag)->setChecked(true);
    UpdateCursorPos();
    SyncingControls = false;
}

void TRTFForm::SetupRuler()
{
    if (IndentDragActive)
        return;
    const ParagraphIndents indents = CurrentIndents();
    FirstInd->move(ruler::FirstMarkerLeft(indents.first), FirstInd->y());
    LeftInd->move(ruler::LeftMarkerLeft(indents.first, indents.left), LeftInd->y());
    RightInd->move(ruler::RightMarkerLeft(Ruler->width(), indents.right), RightInd->y());
}

void TRTFForm::UpdateCursorPos()
{
    // Lines as shown: a wrapped paragraph counts each of its lines.
    const QTextCursor cursor = Editor->textCursor();
    const QTextBlock block = cursor.block();
    const auto shownLines = [](const QTextBlock& b) {
        return b.layout() && b.layout()->lineCount() > 0 ? b.layout()->lineCount() : 1;
    };
    int line = 0;
    for (QTextBlock before = Editor->document()->begin(); before.isValid() && before != block; before = before.next())
        line += shownLines(before);
    const int inBlock = cursor.positionInBlock();
    int column = inBlock;
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine textLine = layout->lineForTextPosition(inBlock);
        if (textLine.isValid()) {
            line += textLine.lineNumber();
            column = inBlock - textLine.textStart();
        }
    }
    StatusPanels[0]->setText(QString::asprintf("Zeile: %3d Spalte: %3d", line + 1, column + 1));
}

void TRTFForm::UpdateModified()
{
    StatusPanels[1]->setText(Editor->document()->isModified() ? QStringLiteral("Geändert") : QString());
}

void TRTFForm::ActionList2Update()
{
    const bool selection = Editor->textCursor().hasSelection();
    EditCutCmd->setEnabled(selection && !Editor->isReadOnly());
    EditCopyCmd->setEnabled(selection);
    EditUndoCmd->setEnabled(Editor->document()->isUndoAvailable());
    EditPasteCmd->setEnabled(Editor->canPaste());
}

void TRTFForm::BoldButtonClick(bool down)
{
    if (SyncingControls)
        return;
    QTextCharFormat format;
    format.setFontWeight(down ? QFont::Bold : QFont::Normal);
    Editor->mergeCurrentCharFormat(format);
}

void TRTFForm::ItalicButtonClick(bool down)
{
    if (SyncingControls)
        return;
    QTextCharFormat format;
    format.setFontItalic(down);
    Editor->mergeCurrentCharFormat(format);
}

void TRTFForm::UnderlineButtonClick(bool down)
{
    if (SyncingControls)
        return;
    QTextCharFormat format;
    format.setFontUnderline(down);
    Editor->mergeCurrentCharFormat(format);
}

void TRTFForm::FontSizeChange(int size)
{
    if (SyncingControls || size <= 0) // a size of 0 points sets nothing
        return;
    QTextCharFormat format;
    format.setFontPointSize(size);
    Editor->mergeCurrentCharFormat(format);
}

void TRTFForm::FontNameChange(const QFont& font)
{
    if (SyncingControls)
        return;
    QTextCharFormat format;
    format.setFontFamilies(QStringList{font.family()});
    Editor->mergeCurrentCharFormat(format);
}

void TRTFForm::AlignButtonClick(int tag)
{
    if (SyncingControls)
        return;
    Editor->setAlignment(tag == 2 ? Qt::AlignHCenter : tag == 1 ? Qt::AlignRight : Qt::AlignLeft);
}

void TRTFForm::BulletsButtonClick(bool down)
{
    if (SyncingControls)
        return;
    // Every paragraph of the selection; a bullet takes its room from the margin.
    QTextCursor cursor = Editor->textCursor();
    const QTextBlock last = Editor->document()->findBlock(cursor.selectionEnd());
    cursor.beginEditBlock();
    QTextList* list = nullptr;
    for (QTextBlock block = Editor->document()->findBlock(cursor.selectionStart()); block.isValid();
         block = block.next()) {
        QTextCursor at(block);
        QTextBlockFormat format = block.blockFormat();
        if (down && !block.textList()) {
            format.setLeftMargin(format.leftMargin() + kListHangPixels);
            at.setBlockFormat(format);
            if (list) {
                list->add(block);
            } else {
                QTextListFormat bullets;
                bullets.setStyle(QTextListFormat::ListDisc);
                bullets.setIndent(0);
                list = at.createList(bullets);
            }
        } else if (!down && block.textList()) {
            block.textList()->remove(block);
            format = block.blockFormat();
            format.setLeftMargin(std::max(0.0, format.leftMargin() - kListHangPixels));
            at.setBlockFormat(format);
        }
        if (block == last)
            break;
    }
    cursor.endEditBlock();
    SelectionChange();
}

void TRTFForm::EditFontCmdExecute()
{
    if (const std::optional<QFont> font = dialogs_.ChooseFont(Editor->currentFont()))
        Editor->setCurrentFont(*font);
    SelectionChange();
    Editor->setFocus();
}

void TRTFForm::RulerItemMouseDown(QLabel* marker, int x)
{
    GrabOffset = marker->width() / 2;
    marker->move(marker->x() + x - GrabOffset, marker->y());
    IndentDragActive = true;
}

void TRTFForm::RulerItemMouseMove(QLabel* marker, int x)
{
    if (IndentDragActive)
        marker->move(marker->x() + x - GrabOffset, marker->y());
}

void TRTFForm::FirstIndMouseUp()
{
    ParagraphIndents indents = CurrentIndents();
    indents.first = ruler::FirstIndentAt(FirstInd->x(), GrabOffset);
    indents.left = ruler::LeftIndentAt(LeftInd->x(), GrabOffset, indents.first);
    IndentDragActive = false;
    SetCurrentIndents(indents);
    SelectionChange();
}

void TRTFForm::LeftIndMouseUp()
{
    ParagraphIndents indents = CurrentIndents();
    indents.left = ruler::LeftIndentAt(LeftInd->x(), GrabOffset, indents.first);
    IndentDragActive = false;
    SetCurrentIndents(indents);
    SelectionChange();
}

void TRTFForm::RightIndMouseUp()
{
    ParagraphIndents indents = CurrentIndents();
    indents.right = ruler::RightIndentAt(Ruler->width(), RightInd->x(), GrabOffset);
    IndentDragActive = false;
    SetCurrentIndents(indents);
    SelectionChange();
}

void TRTFForm::RulerResize()
{
    RulerLine->setGeometry(RulerLine->x(), RulerLine->y(), Ruler->width() - 2 * RulerLine->x(), RulerLine->height());
    SetupRuler();
}

bool EditRtfFile(QWidget* parent, const QString& fileName)
{
    TRTFForm form(parent);
    form.SetDocumentName(fileName);
    return form.exec() == QDialog::Accepted;
}

} // namespace dazo::ui
