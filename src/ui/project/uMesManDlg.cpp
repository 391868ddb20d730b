// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/uMesManDlg.h"

#include "bridge/AnsiText.h"
#include "project/MemoText.h"
#include "project/ProjectData.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <exception>

namespace dazo::ui {
namespace {

constexpr int kPointRole = Qt::UserRole;
constexpr int kMeasurementRole = Qt::UserRole + 1;

template <class Control>
Control* Named(Control* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QComboBox* SuggestionCombo(const char* name, const QStringList& suggestions)
{
    auto* combo = Named(new QComboBox, name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(suggestions);
    combo->setCurrentIndex(-1);
    return combo;
}

void MakeGreyReadOnly(QLineEdit* edit)
{
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}

// A distance edit with its unit behind it.
QWidget* WithUnit(QWidget* control, const QString& unit)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(control);
    layout->addWidget(new QLabel(unit));
    return row;
}

} // namespace

TMesManDlg::TMesManDlg(QWidget* parent, FormatSettings format) : QWidget(parent), format_(format)
{
    // FormCreate
    MessView = Named(new QTreeWidget, "MessView");
    MessView->setHeaderHidden(true);
    MessView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MessView->setContextMenuPolicy(Qt::CustomContextMenu);

    PageControl1 = Named(new QStackedWidget, "PageControl1");
    PageControl1->addWidget(CreateLocationPage());
    PageControl1->addWidget(CreatePointPage());
    PageControl1->addWidget(CreateMeasurementPage());

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(MessView);
    splitter->addWidget(PageControl1);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    CreatePopupMenus();

    OpenDialog1 = Named(new QFileDialog(this), "OpenDialog1");
    OpenDialog1->setNameFilters({QStringLiteral("MLSSA (*.tim)"), QStringLiteral("QEL Exportfile (*.qel)"),
                                QStringLiteral("Audio (*.wav *.flac *.aif *.aiff)")});
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);

    Dialogs.ShowError = [this](const QString& message) {
        QMessageBox::critical(this, QApplication::applicationDisplayName(), message);
    };
    Dialogs.AskYesNo = [this](const QString& caption, const QString& text) {
        return QMessageBox::question(this, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    Dialogs.ChooseMeasurementFile = [this] {
        if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
            return QString();
        return OpenDialog1->selectedFiles().constFirst();
    };

    connect(MessView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { MessViewChange(item); });
    connect(MessView, &QTreeWidget::itemDoubleClicked, this, [this] { MessViewDblClick(); });
    connect(MessView, &QTreeWidget::customContextMenuRequested, this, &TMesManDlg::MessViewContextMenu);
    connect(bStandard, &QPushButton::clicked, this, [this] { bStandardClick(); });

    model_.SetOnMeasurementSelect([this](const std::string& fullPath) {
        if (!OnMeasurementSelect)
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            // The directory is a path of the system, the file name a text of the project file.
            const std::string& directory = model_.ProjectDir();
            OnMeasurementSelect(QFile::decodeName(QByteArray::fromStdString(directory))
                                + FromAnsi(fullPath.substr(directory.size())));
        } catch (...) {
            QApplication::restoreOverrideCursor();
            throw;
        }
        QApplication::restoreOverrideCursor();
    });
    ShowPage(0);
}

QWidget* TMesManDlg::CreateLocationPage()
{
    SheetOrt = Named(new QWidget, "SheetOrt");
    auto* form = new QFormLayout;
    const auto addEdit = [&](const char* name, const QString& label) {
        auto* edit = Named(new QLineEdit, name);
        edit->setProperty("tag", 1);
        MakeGreyReadOnly(edit);
        form->addRow(label, edit);
        return edit;
    };
    addEdit("eOName", QStringLiteral("Name"));
    addEdit("eOStrasse", QStringLiteral("Strasse"));
    addEdit("eOOrt", QStringLiteral("Plz/Ort"));
    addEdit("cONutzung", QStringLiteral("Nutzung"));
    addEdit("cOLage", QStringLiteral("Lage"));
    form->addRow(new QLabel(QStringLiteral("Datum der Messung")));
    addEdit("eOVon", QStringLiteral("von"));
    addEdit("eOBis", QStringLiteral("bis"));
    addEdit("eOPruefer", QStringLiteral("Prüfer"));
    addEdit("eOPruefNr", QStringLiteral("Prüfbericht Nr"));

    auto* note = new QLabel(QStringLiteral("Änderungen unter Projektdaten möglich"));
    QFont small = note->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    note->setFont(small);
    note->setContentsMargins(0, 3, 0, 0); // room for the dots of "Ä" above the line

    auto* layout = new QVBoxLayout(SheetOrt);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addStretch();
    return SheetOrt;
}

QWidget* TMesManDlg::CreatePointPage()
{
    SheetPunkt = Named(new QWidget, "SheetPunkt");
    eMesspunkt = Named(new QLineEdit, "eMesspunkt");
    cMicPos = SuggestionCombo("cMicPos", {QStringLiteral("Rückwand"), QStringLiteral("Vorderwand"),
                                          QStringLiteral("Seitenwand"), QStringLiteral("Raummitte"),
                                          QStringLiteral("vor dem Mischpult"), QStringLiteral("Rang"),
                                          QStringLiteral("Bühne"), QStringLiteral("vor dem Altar")});
    cMicRichtung = SuggestionCombo("cMicRichtung", {QStringLiteral("zur Schallquelle"),
                                                    QStringLiteral("abgewendet von der Schallquelle")});
    eMicAbBoden = Named(new QLineEdit, "eMicAbBoden");
    eMicAbWand = Named(new QLineEdit, "eMicAbWand");
    cLautPos = SuggestionCombo("cLautPos", {QStringLiteral("Raummitte"), QStringLiteral("Raumende"),
                                            QStringLiteral("Raumecke"), QStringLiteral("Auf der Bühne"),
                                            QStringLiteral("Saalrückwand"), QStringLiteral("Saalvorderwand"),
                                            QStringLiteral("Orchestergraben"), QStringLiteral("Rang"),
                                            QStringLiteral("fest installierte Lautsprecher im Raum"),
                                            QStringLiteral("siehe Zeichnung")});
    eLautAbBoden = Named(new QLineEdit, "eLautAbBoden");
    eLautAbWand = Named(new QLineEdit, "eLautAbWand");
    mNote = Named(new QPlainTextEdit, "mNote");

    auto* microphone = new QGroupBox(QStringLiteral("Mikrofon"));
    auto* micForm = new QFormLayout(microphone);
    micForm->addRow(QStringLiteral("Position"), cMicPos);
    micForm->addRow(QStringLiteral("Ausrichtung"), cMicRichtung);
    micForm->addRow(QStringLiteral("Abstand zum Fußboden"), WithUnit(eMicAbBoden, QStringLiteral("m")));
    micForm->addRow(QStringLiteral("min. Abstand zur Wand"), WithUnit(eMicAbWand, QStringLiteral("m")));

    auto* speaker = new QGroupBox(QStringLiteral("Lautsprecher"));
    auto* speakerForm = new QFormLayout(speaker);
    speakerForm->addRow(QStringLiteral("Position"), cLautPos);
    speakerForm->addRow(QStringLiteral("Abstand zum Fußboden"), WithUnit(eLautAbBoden, QStringLiteral("m")));
    speakerForm->addRow(QStringLiteral("min. Abstand zur Wand"), WithUnit(eLautAbWand, QStringLiteral("m")));

    auto* layout = new QVBoxLayout(SheetPunkt);
    auto* nameForm = new QFormLayout;
    nameForm->addRow(QStringLiteral("Bezeichnung Messpunkt"), eMesspunkt);
    layout->addLayout(nameForm);
    layout->addWidget(microphone);
    layout->addWidget(speaker);
    layout->addWidget(new QLabel(QStringLiteral("Kommentar")));
    layout->addWidget(mNote, 1);

    for (QWidget* control : std::initializer_list<QWidget*>{eMesspunkt, cMicPos, cMicRichtung, eMicAbBoden, eMicAbWand,
                                                             cLautPos, eLautAbBoden, eLautAbWand, mNote})
        control->installEventFilter(this);
    return SheetPunkt;
}

QWidget* TMesManDlg::CreateMeasurementPage()
{
    SheetMessung = Named(new QWidget, "SheetMessung");
    eMessName = Named(new QLineEdit, "eMessName");
    MakeGreyReadOnly(eMessName);
    bStandard = Named(new QPushButton(QStringLiteral("als Standard setzen")), "bStandard");

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name der Messdatei"), eMessName);
    auto* layout = new QVBoxLayout(SheetMessung);
    layout->addLayout(form);
    layout->addWidget(bStandard, 0, Qt::AlignLeft);
    layout->addStretch();
    return SheetMessung;
}

void TMesManDlg::CreatePopupMenus()
{
    const auto addItem = [this](QMenu* menu, const char* name, const QString& text, void (TMesManDlg::*handler)()) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
    };
    PopupMessort = Named(new QMenu(this), "PopupMessort");
    addItem(PopupMessort, "Messungeinfgen1", QStringLiteral("Messpunkt einfügen"), &TMesManDlg::Messungeinfgen1Click);
    addItem(PopupMessort, "ResetMessungen1", QStringLiteral("Reset Messungen"), &TMesManDlg::ResetMessungen1Click);
    PopupMessPunkt = Named(new QMenu(this), "PopupMessPunkt");
    addItem(PopupMessPunkt, "Punktlschen1", QStringLiteral("Messpunkt löschen"), &TMesManDlg::Punktlschen1Click);
    addItem(PopupMessPunkt, "Messungeinfgen2", QStringLiteral("Messung einfügen"), &TMesManDlg::Messungeinfgen2Click);
    PopupMessung = Named(new QMenu(this), "PopupMessung");
    addItem(PopupMessung, "Messunglschen1", QStringLiteral("Messung löschen"), &TMesManDlg::Messunglschen1Click);
    activePopup_ = PopupMessort;
}

void TMesManDlg::LoadPoints(const std::string& projectFile, const std::vector<std::string>& keyValueLines)
{
    // The previous project's points go before the new measurement loads, so
    // that an error of that load is not shown over them.
    {
        const QSignalBlocker blocker(MessView); // nothing of the old project is saved or shown meanwhile
        MessView->clear();
    }
    RunCommand([&] { model_.LoadPoints(projectFile, keyValueLines); });
}

void TMesManDlg::SavePoints()
{
    if (SheetPunkt->isAncestorOf(QApplication::focusWidget()))
        eMesspunktExit();
    try {
        model_.SavePoints();
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

QString TMesManDlg::MeasurementCaption() const
{
    return FromAnsi(model_.MeasurementCaption());
}

void TMesManDlg::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (PageControl1->currentIndex() == 0) // the project data may have changed meanwhile
        SheetOrtShow();
}

void TMesManDlg::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        SavePoints();
}

bool TMesManDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Focus lost to a popup or another window is no leaving of the control.
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            eMesspunktExit();
    }
    return QWidget::eventFilter(watched, event);
}

std::optional<PointTreeNode> TMesManDlg::NodeOf(const QTreeWidgetItem* item)
{
    if (!item)
        return std::nullopt;
    return PointTreeNode{item->data(0, kPointRole).toInt(), item->data(0, kMeasurementRole).toInt()};
}

std::optional<PointTreeNode> TMesManDlg::SelectedNode() const
{
    return NodeOf(MessView->currentItem());
}

void TMesManDlg::RebuildTree()
{
    QTreeWidgetItem* standard = nullptr;
    {
        const QSignalBlocker blocker(MessView);
        MessView->clear();
        if (model_.PointCount() > 0) {
            auto* root = new QTreeWidgetItem(MessView, {FromAnsi(LocationNodeText)});
            root->setData(0, kPointRole, -1);
            root->setData(0, kMeasurementRole, -1);
            for (int p = 0; p < model_.PointCount(); ++p) {
                auto* pointItem = new QTreeWidgetItem(root, {FromAnsi(model_.NodeText({p}))});
                pointItem->setData(0, kPointRole, p);
                pointItem->setData(0, kMeasurementRole, -1);
                for (int m = 0; m < static_cast<int>(model_.PointAt(p).measurements.size()); ++m) {
                    auto* item = new QTreeWidgetItem(pointItem, {FromAnsi(model_.NodeText({p, m}))});
                    item->setData(0, kPointRole, p);
                    item->setData(0, kMeasurementRole, m);
                    if (model_.PointAt(p).measurements[m].Standard)
                        standard = item;
                }
            }
        }
    }
    // The model has just been loaded or saved: leaving the point page here
    // has nothing to save.
    rebuilding_ = true;
    if (standard)
        MessView->setCurrentItem(standard);
    else
        MessViewChange(nullptr);
    rebuilding_ = false;
}

void TMesManDlg::RunCommand(const std::function<void()>& command)
{
    QString error;
    try {
        command();
    } catch (const std::exception& e) {
        error = FromAnsi(e.what());
    }
    RebuildTree();
    // A load stopped by an error leaves the tree collapsed.
    if (error.isEmpty())
        MessView->expandAll();
    else
        ShowError(error);
}

void TMesManDlg::ShowError(const QString& message)
{
    showingError_ = true;
    Dialogs.ShowError(message);
    showingError_ = false;
}

void TMesManDlg::ShowPage(int index)
{
    const bool leavingPointPage = PageControl1->currentIndex() == 1 && index != 1;
    PageControl1->setCurrentIndex(index);
    if (leavingPointPage && !rebuilding_) // SheetPunktHide
        SavePoints();
    if (index == 0)
        SheetOrtShow();
}

void TMesManDlg::MessViewChange(QTreeWidgetItem* item)
{
    const std::optional<PointTreeNode> node = NodeOf(item);
    const int level = node ? node->Level() : 0;
    activePopup_ = level == 0 ? PopupMessort : level == 1 ? PopupMessPunkt : PopupMessung;
    ShowPage(level);
    if (level == 1)
        ShowPoint(node->point);
    else if (level == 2)
        eMessName->setText(FromAnsi(model_.PointAt(node->point).measurements.at(node->measurement).FileName));
}

void TMesManDlg::SetStandard()
{
    const std::optional<PointTreeNode> node = SelectedNode();
    if (!node)
        return;
    model_.SetStandard(*node);
    for (QTreeWidgetItemIterator it(MessView); *it; ++it)
        if (const std::optional<PointTreeNode> shown = NodeOf(*it); shown && shown->Level() == 2)
            (*it)->setText(0, FromAnsi(model_.NodeText(*shown)));
}

void TMesManDlg::MessViewDblClick()
{
    SetStandard();
    MessViewChange(MessView->currentItem());
}

void TMesManDlg::bStandardClick()
{
    SetStandard();
}

void TMesManDlg::ShowPoint(int point)
{
    const PointTexts texts = model_.TextsOf(point, format_);
    eMesspunkt->setText(FromAnsi(texts.name));
    cMicPos->setEditText(FromAnsi(texts.micPos));
    cMicRichtung->setEditText(FromAnsi(texts.micRichtung));
    eMicAbBoden->setText(FromAnsi(texts.micAbBoden));
    eMicAbWand->setText(FromAnsi(texts.micAbWand));
    cLautPos->setEditText(FromAnsi(texts.lautpos));
    eLautAbBoden->setText(FromAnsi(texts.lautAbBoden));
    eLautAbWand->setText(FromAnsi(texts.lautAbWand));
    SetMemoText(mNote, texts.note);
}

void TMesManDlg::eMesspunktExit()
{
    const std::optional<PointTreeNode> node = SelectedNode();
    if (showingError_ || !node || node->Level() != 1)
        return;
    const PointTexts texts{ToAnsi(eMesspunkt->text()),   ToAnsi(cMicPos->currentText()),
                           ToAnsi(cMicRichtung->currentText()), ToAnsi(eMicAbBoden->text()),
                           ToAnsi(eMicAbWand->text()),   ToAnsi(cLautPos->currentText()),
                           ToAnsi(eLautAbBoden->text()), ToAnsi(eLautAbWand->text()),
                           MemoText(mNote)};
    try {
        model_.TakeOver(node->point, texts, format_);
        MessView->currentItem()->setText(0, FromAnsi(model_.NodeText(*node)));
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

void TMesManDlg::SheetOrtShow()
{
    ShowLocation();
}

void TMesManDlg::ShowLocation()
{
    if (!model_.HasProject())
        return;
    std::vector<QLineEdit*> edits;
    std::vector<DataField> fields;
    for (QLineEdit* edit : SheetOrt->findChildren<QLineEdit*>())
        if (edit->property("tag").toInt() == 1) {
            edits.push_back(edit);
            fields.push_back({edit->objectName().toStdString(), DataControlKind::Edit, {}});
        }
    try {
        ReadProjectData(model_.ProjectFile(), fields);
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
        return;
    }
    for (std::size_t i = 0; i < edits.size(); ++i)
        edits[i]->setText(FromAnsi(fields[i].text));
}

void TMesManDlg::MessViewContextMenu(const QPoint& pos)
{
    activePopup_->exec(MessView->viewport()->mapToGlobal(pos));
}

void TMesManDlg::Messungeinfgen1Click()
{
    RunCommand([this] { model_.InsertPoint(); });
}

void TMesManDlg::ResetMessungen1Click()
{
    if (!model_.HasProject()
        || !Dialogs.AskYesNo(QStringLiteral("Reset Messungen"),
                             QStringLiteral("ACHTUNG: Die Einstellungen und Ergebnisse aller Messungen gehen verloren\n\rReset durchführen?")))
        return;
    try {
        model_.ResetMeasurements();
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

void TMesManDlg::Punktlschen1Click()
{
    const std::optional<PointTreeNode> node = SelectedNode();
    if (!node || node->Level() != 1)
        return;
    // Deleting a point resets every measurement of the project.
    const QString question = QStringLiteral("ACHTUNG: Die Einstellungen und Ergebnisse aller Messungen gehen verloren\n\r"
                                            "Messpunkt „%1“ löschen?").arg(FromAnsi(model_.NodeText(*node)));
    if (Dialogs.AskYesNo(QStringLiteral("Messpunkt löschen"), question))
        RunCommand([&] { model_.DeletePoint(node->point); });
}

void TMesManDlg::Messungeinfgen2Click()
{
    if (!model_.HasProject())
        return;
    OpenDialog1->setDirectory(QFile::decodeName(QByteArray::fromStdString(model_.ProjectDir())));
    const QString chosen = Dialogs.ChooseMeasurementFile();
    const std::optional<PointTreeNode> node = SelectedNode();
    if (chosen.isEmpty() || !node || node->Level() != 1)
        return;
    if (const std::optional<std::string> name = MeasurementInProjectFolder(chosen))
        RunCommand([&] { model_.InsertMeasurement(node->point, *name); });
}

std::optional<std::string> TMesManDlg::MeasurementInProjectFolder(const QString& chosen)
{
    const QFileInfo source(chosen);
    const QDir projectFolder(QFile::decodeName(QByteArray::fromStdString(model_.ProjectDir())));
    const std::string name = ToAnsi(source.fileName()); // the project keeps the bare name
    if (source.absoluteDir() == projectFolder)
        return name;
    const QString target = projectFolder.filePath(source.fileName());
    const QString question = QStringLiteral("Die Messung %1 liegt nicht im Projektordner %2.\n\r"
                                            "In den Projektordner kopieren?")
                                 .arg(QDir::toNativeSeparators(chosen), QDir::toNativeSeparators(projectFolder.path()));
    if (!Dialogs.AskYesNo(QStringLiteral("Messung einfügen"), question)) {
        ShowError(QStringLiteral("Die Messung %1 wurde nicht eingefügt: das Projekt liest seine Messungen nur aus "
                                 "seinem Ordner.").arg(QDir::toNativeSeparators(chosen)));
        return std::nullopt;
    }
    // Another measurement of that name is never replaced.
    if (QFileInfo::exists(target)) {
        ShowError(QStringLiteral("Im Projektordner gibt es schon eine Datei %1; die Messung wurde nicht eingefügt.")
                      .arg(QDir::toNativeSeparators(target)));
        return std::nullopt;
    }
    if (!QFile::copy(chosen, target)) {
        ShowError(QStringLiteral("In %1 kann nicht geschrieben werden").arg(QDir::toNativeSeparators(target)));
        return std::nullopt;
    }
    return name;
}

void TMesManDlg::Messunglschen1Click()
{
    const std::optional<PointTreeNode> node = SelectedNode();
    if (!node || node->Level() != 2)
        return;
    // Deleting a measurement resets every measurement of the project.
    const QString file = FromAnsi(model_.PointAt(node->point).measurements.at(static_cast<std::size_t>(node->measurement)).FileName);
    const QString question = QStringLiteral("ACHTUNG: Die Einstellungen und Ergebnisse aller Messungen gehen verloren\n\r"
                                            "Messung %1 löschen?").arg(file);
    if (Dialogs.AskYesNo(QStringLiteral("Messung löschen"), question))
        RunCommand([&] { model_.DeleteMeasurement(node->point, node->measurement); });
}

} // namespace dazo::ui
