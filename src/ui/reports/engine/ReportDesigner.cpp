// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/engine/ReportDesigner.h"

#include "bridge/AnsiText.h"
#include "common/DazoError.h"
#include "common/Encoding.h"
#include "project/RTEditor.h"
#include "reports/TextPipeline.h"
#include "reports/engine/DesignCanvas.h"
#include "reports/engine/Report.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace dazo::ui {
namespace {

constexpr const char* kTwoDecimals = "#,0.00;-#,0.00";

bool IsTextKind(const ReportElement* e)
{
    return e && e->Kind != ElementKind::Line && e->Kind != ElementKind::Rectangle && e->Kind != ElementKind::Image;
}

bool IsKind(const ReportElement* e, std::initializer_list<ElementKind> kinds)
{
    return e && std::find(kinds.begin(), kinds.end(), e->Kind) != kinds.end();
}

QDoubleSpinBox* MmBox(double minimum, double maximum, const char* suffix = " mm")
{
    auto* box = new QDoubleSpinBox;
    box->setRange(minimum, maximum);
    box->setDecimals(2);
    box->setSingleStep(0.5);
    box->setSuffix(QString::fromLatin1(suffix));
    box->setKeyboardTracking(false);
    return box;
}

QComboBox* Choice(std::initializer_list<const char*> items)
{
    auto* box = new QComboBox;
    for (const char* item : items)
        box->addItem(QString::fromUtf8(item));
    return box;
}

QColor ColorOf(std::uint32_t rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

std::uint32_t RgbOf(const QColor& color)
{
    return (static_cast<std::uint32_t>(color.red()) << 16) | (static_cast<std::uint32_t>(color.green()) << 8)
         | static_cast<std::uint32_t>(color.blue());
}

void ShowColor(QPushButton* button, std::uint32_t rgb)
{
    button->setText(ColorOf(rgb).name());
    button->setStyleSheet(QStringLiteral("background-color: %1; color: %2")
                              .arg(ColorOf(rgb).name(), ColorOf(rgb).lightness() < 128 ? "white" : "black"));
}

QString FontText(const ReportFont& font)
{
    QString text = FromAnsi(font.Family) + " " + QString::number(font.Size);
    if (font.Bold)
        text += QStringLiteral(" fett");
    if (font.Italic)
        text += QStringLiteral(" kursiv");
    if (font.Underline)
        text += QStringLiteral(" unterstrichen");
    return text;
}

// A new element's size and content, before the user changes them.
ReportElement NewElement(ElementKind kind, const std::string& mainPipeline)
{
    ReportElement e;
    e.Kind = kind;
    e.Left = 5;
    e.Top = 2;
    e.Width = 40;
    e.Height = 5;
    switch (kind) {
    case ElementKind::Label: e.Text = Ansi("Beschriftung"); break;
    case ElementKind::Memo: e.Height = 15; e.Width = 80; e.Stretch = true; break;
    case ElementKind::RichText: e.Height = 20; e.Width = 120; e.Stretch = true; break;
    case ElementKind::DataText: e.Pipeline = mainPipeline; break;
    case ElementKind::Variable: e.DisplayFormat = kTwoDecimals; break;
    case ElementKind::Line: e.Height = 1; break;
    case ElementKind::Rectangle: e.Height = 20; break;
    case ElementKind::Image: e.Height = 30; break;
    case ElementKind::SystemVariable: break;
    }
    return e;
}

} // namespace

ReportDesigner::ReportDesigner(Report& report, const QString& caption, std::vector<ElementKind> kinds, QWidget* parent)
    : QDialog(parent)
    , report_(report)
    , layout_(report.Layout())
    , kinds_(std::move(kinds))
{
    setObjectName(QStringLiteral("ReportDesigner"));
    setWindowTitle(caption + QStringLiteral("[*]"));
    setModal(true);
    resize(1180, 820);

    Tools = new QToolBar;
    Tools->setObjectName(QStringLiteral("Tools"));
    for (const ElementKind kind : kinds_) {
        QAction* add = Tools->addAction(ElementKindCaption(kind), this, [this, kind] { AddElement(kind); });
        add->setToolTip(QStringLiteral("%1 einfügen").arg(ElementKindCaption(kind)));
    }
    Tools->addSeparator();
    QAction* remove = Tools->addAction(QStringLiteral("Löschen"), this, [this] { DeleteSelected(); });
    remove->setShortcut(QKeySequence::Delete);
    remove->setObjectName(QStringLiteral("aDelete"));
    Tools->addSeparator();
    QAction* save = Tools->addAction(QStringLiteral("Speichern"), this, [this] { Save(); });
    save->setShortcut(QKeySequence::Save);
    save->setObjectName(QStringLiteral("aSave"));
    Tools->addAction(QStringLiteral("Schließen"), this, [this] { reject(); })->setObjectName(QStringLiteral("aClose"));

    Canvas = new DesignCanvas(layout_, report_);
    auto* scroll = new QScrollArea;
    scroll->setWidget(Canvas);
    scroll->setBackgroundRole(QPalette::Dark);

    auto* side = new QTabWidget;
    side->addTab(CreateProperties(), QStringLiteral("Eigenschaften"));
    side->addTab(CreatePageSetup(), QStringLiteral("Seite"));

    auto* splitter = new QSplitter;
    splitter->addWidget(scroll);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Tools);
    layout->addWidget(splitter, 1);

    connect(Canvas, &DesignCanvas::selectionChanged, this, [this] { ShowProperties(); });
    connect(Canvas, &DesignCanvas::elementChanged, this, [this] {
        Changed();
        ShowProperties();
    });
    Canvas->Select({BandKind::Detail, -1});
}

void ReportDesigner::AddRow(const QString& label, QWidget* field, std::function<bool(const ReportElement*)> shown)
{
    form_->addRow(label, field);
    rows_.push_back({field, std::move(shown)});
}

QWidget* ReportDesigner::CreateProperties()
{
    auto* page = new QWidget;
    form_ = new QFormLayout(page);
    const auto any = [](const ReportElement* e) { return e != nullptr; };
    const auto band = [](const ReportElement* e) { return e == nullptr; };

    kind_ = new QLabel;
    AddRow(QStringLiteral("Art"), kind_, [](const ReportElement*) { return true; });
    name_ = new QLineEdit;
    AddRow(QStringLiteral("Name"), name_, any);
    connect(name_, &QLineEdit::editingFinished, this, [this] {
        const std::string name = ToAnsi(name_->text().trimmed());
        const ReportElement* other = layout_.FindElement(name);
        if (name.empty() || (other && other != Canvas->SelectedElement())) {
            ShowProperties(); // names stay unique and not empty
            return;
        }
        Edit([&](ReportElement& e) { e.Name = name; });
    });

    const auto measure = [this, any](const QString& label, QDoubleSpinBox*& box, double minimum, double ReportElement::*member) {
        box = MmBox(minimum, 2000);
        AddRow(label, box, any);
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, member](double value) {
            Edit([&](ReportElement& e) { e.*member = value; });
        });
    };
    measure(QStringLiteral("Links"), left_, -1000, &ReportElement::Left);
    measure(QStringLiteral("Oben"), top_, 0, &ReportElement::Top);
    measure(QStringLiteral("Breite"), width_, 0, &ReportElement::Width);
    measure(QStringLiteral("Höhe"), height_, 0, &ReportElement::Height);

    const auto check = [this](const QString& text, QCheckBox*& box, bool ReportElement::*member,
                              std::function<bool(const ReportElement*)> shown) {
        box = new QCheckBox(text);
        AddRow(QString(), box, std::move(shown));
        connect(box, &QCheckBox::toggled, this, [this, member](bool on) { Edit([&](ReportElement& e) { e.*member = on; }); });
    };
    check(QStringLiteral("Sichtbar"), visible_, &ReportElement::Visible, any);

    text_ = new QPlainTextEdit;
    text_->setMinimumHeight(90);
    AddRow(QStringLiteral("Text"), text_, [](const ReportElement* e) {
        return IsKind(e, {ElementKind::Label, ElementKind::Memo, ElementKind::RichText});
    });
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        Edit([&](ReportElement& e) { e.Text = ToAnsi(text_->toPlainText()); });
    });
    auto* edit = new QPushButton(QStringLiteral("Bearbeiten..."));
    AddRow(QString(), edit, [](const ReportElement* e) { return IsKind(e, {ElementKind::RichText}); });
    connect(edit, &QPushButton::clicked, this, [this] { EditRichText(); });
    auto* load = new QPushButton(QStringLiteral("Aus Datei laden..."));
    AddRow(QString(), load, [](const ReportElement* e) { return IsKind(e, {ElementKind::RichText, ElementKind::Memo}); });
    connect(load, &QPushButton::clicked, this, [this] { LoadTextFile(); });

    const auto isData = [](const ReportElement* e) { return IsKind(e, {ElementKind::DataText}); };
    pipeline_ = new QComboBox;
    for (const ReportPipeline& pipeline : report_.Pipelines)
        pipeline_->addItem(FromAnsi(pipeline.UserName), FromAnsi(pipeline.Name));
    AddRow(QStringLiteral("Datenquelle"), pipeline_, isData);
    connect(pipeline_, &QComboBox::currentIndexChanged, this, [this] {
        const std::string name = ToAnsi(pipeline_->currentData().toString());
        Edit([&](ReportElement& e) { e.Pipeline = name; });
        if (!loading_)
            FillFields(name);
    });
    field_ = new QComboBox;
    field_->setEditable(true);
    AddRow(QStringLiteral("Feld"), field_, isData);
    connect(field_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        Edit([&](ReportElement& e) { e.Field = ToAnsi(text); });
    });
    format_ = new QComboBox;
    format_->setEditable(true);
    format_->addItems({QString(), QString::fromLatin1(kTwoDecimals), QStringLiteral("0.0"), QStringLiteral("0")});
    AddRow(QStringLiteral("Format"), format_, [](const ReportElement* e) {
        return IsKind(e, {ElementKind::DataText, ElementKind::Variable});
    });
    connect(format_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        Edit([&](ReportElement& e) { e.DisplayFormat = ToAnsi(text); });
    });
    systemVariable_ = Choice({"Druckdatum", "Seitennummer (Seite n)", "Seite n von m"});
    AddRow(QStringLiteral("Wert"), systemVariable_, [](const ReportElement* e) { return IsKind(e, {ElementKind::SystemVariable}); });
    connect(systemVariable_, &QComboBox::currentIndexChanged, this, [this](int index) {
        Edit([&](ReportElement& e) { e.SystemVariable = static_cast<SystemVariableKind>(index); });
    });

    font_ = new QPushButton;
    AddRow(QStringLiteral("Schrift"), font_, IsTextKind);
    connect(font_, &QPushButton::clicked, this, [this] { ChooseFont(); });
    auto* fontColor = new QPushButton(QStringLiteral("Schriftfarbe..."));
    AddRow(QString(), fontColor, IsTextKind);
    connect(fontColor, &QPushButton::clicked, this, [this] { ChooseFontColor(); });
    alignment_ = Choice({"links", "zentriert", "rechts"});
    AddRow(QStringLiteral("Ausrichtung"), alignment_, IsTextKind);
    connect(alignment_, &QComboBox::currentIndexChanged, this, [this](int index) {
        Edit([&](ReportElement& e) { e.Alignment = static_cast<TextAlignment>(index); });
    });

    const auto isShape = [](const ReportElement* e) { return IsKind(e, {ElementKind::Line, ElementKind::Rectangle}); };
    side_ = Choice({"oben", "unten", "links", "rechts"});
    AddRow(QStringLiteral("Linie am Rand"), side_, [](const ReportElement* e) { return IsKind(e, {ElementKind::Line}); });
    connect(side_, &QComboBox::currentIndexChanged, this, [this](int index) {
        Edit([&](ReportElement& e) { e.Side = static_cast<LineSide>(index); });
    });
    penWidth_ = MmBox(0, 100, " pt");
    AddRow(QStringLiteral("Strichstärke"), penWidth_, isShape);
    connect(penWidth_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        Edit([&](ReportElement& e) { e.PenWidth = value; });
    });
    penColor_ = new QPushButton;
    AddRow(QStringLiteral("Strichfarbe"), penColor_, isShape);
    connect(penColor_, &QPushButton::clicked, this, [this] { ChooseColor(&ReportElement::PenColor); });
    const auto isRectangle = [](const ReportElement* e) { return IsKind(e, {ElementKind::Rectangle}); };
    check(QStringLiteral("Gefüllt"), filled_, &ReportElement::Filled, isRectangle);
    fillColor_ = new QPushButton;
    AddRow(QStringLiteral("Füllfarbe"), fillColor_, isRectangle);
    connect(fillColor_, &QPushButton::clicked, this, [this] { ChooseColor(&ReportElement::FillColor); });

    const auto isImage = [](const ReportElement* e) { return IsKind(e, {ElementKind::Image}); };
    check(QStringLiteral("Seitenverhältnis beibehalten"), keepProportion_, &ReportElement::KeepProportion, isImage);
    check(QStringLiteral("Größe des Bildes übernehmen"), autoSize_, &ReportElement::AutoSize, isImage);
    auto* pictureRow = new QWidget;
    auto* pictureLayout = new QHBoxLayout(pictureRow);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    pictureFile_ = new QLineEdit;
    auto* browse = new QPushButton(QStringLiteral("..."));
    pictureLayout->addWidget(pictureFile_, 1);
    pictureLayout->addWidget(browse);
    AddRow(QStringLiteral("Bilddatei"), pictureRow, isImage);
    connect(pictureFile_, &QLineEdit::editingFinished, this, [this] {
        Edit([&](ReportElement& e) { e.PictureFile = ToAnsi(pictureFile_->text()); });
    });
    connect(browse, &QPushButton::clicked, this, [this] { ChoosePictureFile(); });

    const auto isText = [](const ReportElement* e) { return IsKind(e, {ElementKind::Memo, ElementKind::RichText}); };
    check(QStringLiteral("Höhe folgt dem Inhalt"), stretch_, &ReportElement::Stretch, isText);
    check(QStringLiteral("Serienbrief (<Feldname> ersetzen)"), mailMerge_, &ReportElement::MailMerge, isText);
    follow_ = new QComboBox;
    AddRow(QStringLiteral("Folgt auf"), follow_, any);
    connect(follow_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        Edit([&](ReportElement& e) { e.FollowElement = ToAnsi(text); });
    });

    bandHeight_ = MmBox(0, 2000);
    AddRow(QStringLiteral("Bandhöhe"), bandHeight_, band);
    connect(bandHeight_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        if (loading_)
            return;
        layout_.Band(Canvas->Selection().Band).Height = value;
        Changed();
        Canvas->Relayout();
    });
    firstPage_ = new QCheckBox(QStringLiteral("Auch auf der ersten Seite"));
    AddRow(QString(), firstPage_, [this](const ReportElement* e) {
        return !e && Canvas && Canvas->Selection().Band == BandKind::PageHeader;
    });
    connect(firstPage_, &QCheckBox::toggled, this, [this](bool on) {
        if (loading_)
            return;
        layout_.Band(BandKind::PageHeader).PrintOnFirstPage = on;
        Changed();
    });
    return page;
}

QWidget* ReportDesigner::CreatePageSetup()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    const auto margin = [&](const QString& label, QDoubleSpinBox*& box, double PageSetup::*member) {
        box = MmBox(0, 500);
        box->setValue(layout_.Page.*member);
        form->addRow(label, box);
        connect(box, &QDoubleSpinBox::valueChanged, this, [this, member](double value) {
            PageSetup page = layout_.Page;
            page.*member = value;
            if (page.PrintableWidth() < 1 || page.PrintableHeight() < 1)
                return; // no room left to print on
            layout_.Page = page;
            Changed();
            Canvas->Relayout();
        });
    };
    form->addRow(QStringLiteral("Papier"), new QLabel(QStringLiteral("%1 × %2 mm").arg(layout_.Page.Width).arg(layout_.Page.Height)));
    margin(QStringLiteral("Rand links"), pageLeft_, &PageSetup::Left);
    margin(QStringLiteral("Rand rechts"), pageRight_, &PageSetup::Right);
    margin(QStringLiteral("Rand oben"), pageTop_, &PageSetup::Top);
    margin(QStringLiteral("Rand unten"), pageBottom_, &PageSetup::Bottom);
    passes_ = Choice({"ein Durchlauf", "zwei Durchläufe"});
    passes_->setCurrentIndex(layout_.Page.Passes == ReportPasses::Two ? 1 : 0);
    form->addRow(QStringLiteral("Durchläufe"), passes_);
    connect(passes_, &QComboBox::currentIndexChanged, this, [this](int index) {
        layout_.Page.Passes = index == 1 ? ReportPasses::Two : ReportPasses::One;
        Changed();
    });
    mainPipeline_ = new QComboBox;
    mainPipeline_->addItem(QStringLiteral("(keine)"), QString());
    for (const ReportPipeline& pipeline : report_.Pipelines)
        mainPipeline_->addItem(FromAnsi(pipeline.UserName), FromAnsi(pipeline.Name));
    mainPipeline_->setCurrentIndex(std::max(0, mainPipeline_->findData(FromAnsi(layout_.MainPipeline))));
    form->addRow(QStringLiteral("Datenquelle des Details"), mainPipeline_);
    connect(mainPipeline_, &QComboBox::currentIndexChanged, this, [this] {
        layout_.MainPipeline = ToAnsi(mainPipeline_->currentData().toString());
        Changed();
    });
    return page;
}

void ReportDesigner::FillFields(const std::string& pipelineName)
{
    const QString current = field_->currentText();
    field_->clear();
    if (const ReportPipeline* pipeline = FindPipeline(report_.Pipelines, pipelineName); pipeline && pipeline->Pipeline)
        for (int i = 0; i < pipeline->Pipeline->FieldCount(); ++i)
            field_->addItem(FromAnsi(pipeline->Pipeline->Field(i).Name));
    field_->setCurrentText(current);
}

void ReportDesigner::ShowProperties()
{
    loading_ = true;
    const ReportElement* e = Canvas->SelectedElement();
    const ReportBand& band = layout_.Band(Canvas->Selection().Band);
    kind_->setText(e ? ElementKindCaption(e->Kind) : QStringLiteral("Band: ") + BandCaption(band.Kind));
    for (const PropertyRow& row : rows_)
        form_->setRowVisible(row.field, row.shown(e));
    if (e) {
        name_->setText(FromAnsi(e->Name));
        left_->setValue(e->Left);
        top_->setValue(e->Top);
        width_->setValue(e->Width);
        height_->setValue(e->Height);
        visible_->setChecked(e->Visible);
        if (text_->toPlainText() != FromAnsi(e->Text))
            text_->setPlainText(FromAnsi(e->Text));
        const int pipeline = pipeline_->findData(FromAnsi(e->Pipeline));
        pipeline_->setCurrentIndex(pipeline);
        field_->setCurrentText(FromAnsi(e->Field));
        FillFields(e->Pipeline);
        format_->setCurrentText(FromAnsi(e->DisplayFormat));
        systemVariable_->setCurrentIndex(static_cast<int>(e->SystemVariable));
        font_->setText(FontText(e->Font));
        alignment_->setCurrentIndex(static_cast<int>(e->Alignment));
        side_->setCurrentIndex(static_cast<int>(e->Side));
        penWidth_->setValue(e->PenWidth);
        ShowColor(penColor_, e->PenColor);
        filled_->setChecked(e->Filled);
        ShowColor(fillColor_, e->FillColor);
        keepProportion_->setChecked(e->KeepProportion);
        autoSize_->setChecked(e->AutoSize);
        pictureFile_->setText(FromAnsi(e->PictureFile));
        stretch_->setChecked(e->Stretch);
        mailMerge_->setChecked(e->MailMerge);
        follow_->clear();
        follow_->addItem(QString());
        for (const ReportElement& other : band.Elements)
            if (&other != e)
                follow_->addItem(FromAnsi(other.Name));
        follow_->setCurrentText(FromAnsi(e->FollowElement));
    } else {
        bandHeight_->setValue(band.Kind == BandKind::PageBackground ? layout_.Page.PrintableHeight() : band.Height);
        bandHeight_->setEnabled(band.Kind != BandKind::PageBackground);
        firstPage_->setChecked(band.PrintOnFirstPage);
    }
    loading_ = false;
}

void ReportDesigner::Edit(const std::function<void(ReportElement&)>& change)
{
    ReportElement* element = Canvas->SelectedElement();
    if (loading_ || !element)
        return;
    const ReportElement before = *element;
    change(*element);
    if (*element == before)
        return;
    Changed();
}

void ReportDesigner::Changed()
{
    modified_ = true;
    setWindowModified(true);
    Canvas->update();
}

void ReportDesigner::AddElement(ElementKind kind)
{
    DesignSelection selection = Canvas->Selection();
    ReportElement element = NewElement(kind, layout_.MainPipeline);
    element.Name = layout_.UniqueName(ElementNamePrefix(kind));
    ReportBand& band = layout_.Band(selection.Band);
    if (band.Kind != BandKind::PageBackground && band.Height < element.Top + element.Height)
        band.Height = element.Top + element.Height;
    band.Elements.push_back(std::move(element));
    selection.Element = static_cast<int>(band.Elements.size()) - 1;
    Changed();
    Canvas->Relayout();
    Canvas->Select(selection);
}

void ReportDesigner::DeleteSelected()
{
    DesignSelection selection = Canvas->Selection();
    if (selection.Element < 0)
        return;
    auto& elements = layout_.Band(selection.Band).Elements;
    elements.erase(elements.begin() + selection.Element);
    selection.Element = -1;
    Changed();
    Canvas->Select(selection);
}

bool ReportDesigner::Save()
{
    const ReportLayout before = report_.Layout();
    report_.SetLayout(layout_);
    try {
        report_.SaveTemplate();
    } catch (const DazoError& error) {
        report_.SetLayout(before);
        QMessageBox::critical(this, windowTitle(), FromAnsi(error.what()));
        return false;
    }
    modified_ = false;
    setWindowModified(false);
    return true;
}

void ReportDesigner::reject()
{
    if (modified_
        && QMessageBox::question(this, windowTitle(),
                                 QStringLiteral("ACHTUNG: Die Änderungen sind nicht gespeichert. Trotzdem schließen?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    QDialog::reject();
}

void ReportDesigner::ChooseFont()
{
    ReportElement* element = Canvas->SelectedElement();
    if (!element)
        return;
    QFont initial(FromAnsi(element->Font.Family));
    initial.setPointSizeF(element->Font.Size);
    initial.setBold(element->Font.Bold);
    initial.setItalic(element->Font.Italic);
    initial.setUnderline(element->Font.Underline);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, this, QStringLiteral("Schrift"));
    if (!ok)
        return;
    Edit([&](ReportElement& e) {
        e.Font.Family = ToAnsi(chosen.family());
        e.Font.Size = chosen.pointSizeF() > 0 ? chosen.pointSizeF() : e.Font.Size;
        e.Font.Bold = chosen.bold();
        e.Font.Italic = chosen.italic();
        e.Font.Underline = chosen.underline();
    });
    ShowProperties();
}

void ReportDesigner::ChooseColor(std::uint32_t ReportElement::*color)
{
    ReportElement* element = Canvas->SelectedElement();
    if (!element)
        return;
    const QColor chosen = QColorDialog::getColor(ColorOf(element->*color), this);
    if (!chosen.isValid())
        return;
    Edit([&](ReportElement& e) { e.*color = RgbOf(chosen); });
    ShowProperties();
}

void ReportDesigner::ChooseFontColor()
{
    ReportElement* element = Canvas->SelectedElement();
    if (!element)
        return;
    const QColor chosen = QColorDialog::getColor(ColorOf(element->Font.Color), this);
    if (chosen.isValid())
        Edit([&](ReportElement& e) { e.Font.Color = RgbOf(chosen); });
}

void ReportDesigner::ChoosePictureFile()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Bild wählen"), pictureFile_->text(),
                                                      QStringLiteral("Bilder (*.bmp *.png *.jpg *.jpeg *.gif *.svg)"));
    if (file.isEmpty())
        return;
    pictureFile_->setText(file);
    Edit([&](ReportElement& e) { e.PictureFile = ToAnsi(file); });
}

void ReportDesigner::LoadTextFile()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Text laden"), QString(),
                                                      QStringLiteral("Texte (*.rtf *.txt);;Alle Dateien (*)"));
    if (file.isEmpty())
        return;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        QMessageBox::critical(this, windowTitle(), QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(file));
        return;
    }
    const std::string text = in.readAll().toStdString();
    Edit([&](ReportElement& e) { e.Text = text; });
    ShowProperties();
}

// The rich text in the program's word processor, through a file of its own.
void ReportDesigner::EditRichText()
{
    ReportElement* element = Canvas->SelectedElement();
    if (!element)
        return;
    QTemporaryDir directory;
    const QString file = directory.filePath(QStringLiteral("Text.rtf"));
    QFile out(file);
    if (!directory.isValid() || !out.open(QIODevice::WriteOnly)
        || out.write(element->Text.data(), static_cast<qint64>(element->Text.size())) != static_cast<qint64>(element->Text.size())) {
        QMessageBox::critical(this, windowTitle(), QStringLiteral("In %1 kann nicht geschrieben werden").arg(file));
        return;
    }
    out.close();
    // What the user saved in the editor is the new text.
    EditRtfFile(this, file);
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return;
    const std::string text = in.readAll().toStdString();
    Edit([&](ReportElement& e) { e.Text = text; });
    ShowProperties();
}

void ShowReportDesigner(Report& report, QWidget* parent, const QString& caption, std::vector<ElementKind> kinds)
{
    ReportDesigner designer(report, caption, std::move(kinds), parent);
    designer.exec();
}

} // namespace dazo::ui
