// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/ProjekdatenDlg.h"

#include "common/Paths.h"
#include "project/MemoText.h"
#include "project/ProjectData.h"
#include "project/RTEditor.h"
#include "project/RichTextFile.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace dazo::ui {

// The sketch picture, scaled down to the space it has.
class SketchView : public QLabel {
public:
    SketchView()
    {
        setAlignment(Qt::AlignCenter);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        setMinimumSize(1, 1);
    }

    void SetPicture(const QPixmap& picture)
    {
        picture_ = picture;
        Rescale();
    }

    const QPixmap& Picture() const { return picture_; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        Rescale();
    }

private:
    void Rescale()
    {
        if (picture_.isNull())
            clear();
        else if (picture_.width() <= width() && picture_.height() <= height())
            setPixmap(picture_);
        else
            setPixmap(picture_.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }

    QPixmap picture_;
};

namespace {

const QStringList kUsages = {
    "Klassenraum", "Hörsaal", "Kinosaal", "Aulen, Gemeindesaal", "Schauspieltheater",
    "Theater für Oper und Schauspiele", "Großes Opernhaus", "Konzertsaal", "Stadium", "Stadthalle",
    "große Veranstaltungsraum", "Tagungsraum", "Konferenzsaal", "Musikstudio", "Aufnahmeraum", "Mehrzweckhalle",
    "Kirche", "Mechanische Werstatt", "Maschinensaal", "Büroraum", "Laborraum",
    "Gästeraum in Gaststätten, Restaurants, Kaffees", "Verkaufsräume", "Turnhalle", "Hallenbad", "Eingangshallen",
    "Korridor", "Treppenhaus", "Warteraum", "Bahnhofshalle", "Schlafraum", "Wohnraum", "Kinderzimmer", "Flur"};

const QStringList kSeatTypes = {
    "ungepolstert", "gepolstert", "Theatersitz gepolstert", "Theatersitz ungepolstert", "Kinositz gepolstert",
    "Kinositz ungepolstert", "Klappstuhl mit Sitzkissen", "Klappstuhl ohne Sitzkissen",
    "Konferenzraumstuhl gepolstert", "Konfernzraumstuhl ungepolstert", "Bürostuhl geplolstert",
    "Bürostuhl ungepolstert"};

const QStringList kWalls = {
    "Kalksandsteinwand gestrichen", "Wand tapeziert", "Wand mit Akustiktapete", "Wand mit Holzverkleidung",
    "Rigipswand gestrichen", "Rigipswand tapeziert gestrichen", "Metallständerwand mit Rigips",
    "Metallständerwand mit Rigips", "Holzpanele mit Hohlraum", "Wand mit Akustikelementen",
    "Wand mit Vorstatzschale", "Wand mit Teppich", "Wand mit Stoff und Hohlraumdämmung", "massiv ",
    "Wand mit variablen Akustikelementen", "Wand mit vielen Türen", "Fensterfläche", "Wand mit Bühnenöffnung",
    "Bühne", "Sitzränge"};

const QStringList kCeilings = {
    "massiv", "Hohlraumdecke", "Stahlbetondecke gestrichen", "Stahlbetondecke tapeziert", "Rigipsdecke tapeziert",
    "Rigipsdecke gestrichen", "abgehängte Rigipsdecke", "gelochte Rigipsdecke", "Akustikdecke", "Decke mit Stoff",
    "Decke mit Holzpanelen"};

const QStringList kFloors = {"Theaterholzboden", "Holzfußboden", "Laminatboden", "Velourteppich",
                             "Filzteppich", "Teppichschlingenware", "Betonfläche", "Estrichboden", "Fliesen"};

const QStringList kSignals = {"Pistolenknall", "Händeklatschen", "rosa Rauschen breitbandig",
                              "rosa Rauschen gefiltert", "pseodo-statistisches Rauschen (MLLSA)", "Impulssignal",
                              "Impuls gefiltert", "Toneburst", "Sinussweep", "Musiksignal"};

QStringList WithoutStage(QStringList walls)
{
    walls.removeAll(QStringLiteral("Bühne"));
    return walls;
}

QString NativeName(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string NativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QLabel* Heading(const QString& text)
{
    auto* label = new QLabel(text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// Rows of label, control and optional unit on a grid.
class Rows {
public:
    explicit Rows(QGridLayout* grid) : grid_(grid) {}

    void Add(const QString& label, QWidget* control, const QString& unit = {})
    {
        grid_->addWidget(new QLabel(label), row_, 0);
        grid_->addWidget(control, row_, 1);
        if (!unit.isEmpty())
            grid_->addWidget(new QLabel(unit), row_, 2);
        ++row_;
    }

    void AddWide(QWidget* widget)
    {
        grid_->addWidget(widget, row_++, 0, 1, 3);
    }

private:
    QGridLayout* grid_;
    int row_ = 0;
};

// A page with a grid of rows at the top and room to spare below.
QWidget* Page(const QString& objectName, QGridLayout*& grid)
{
    auto* page = new QWidget;
    page->setObjectName(objectName);
    auto* layout = new QVBoxLayout(page);
    grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch();
    return page;
}

QWidget* InRow(std::initializer_list<QWidget*> widgets, bool packLeft = false)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    if (packLeft)
        layout->addStretch();
    return row;
}

DataControlKind KindOf(const QWidget* control)
{
    if (qobject_cast<const QLineEdit*>(control))
        return DataControlKind::Edit;
    if (qobject_cast<const QComboBox*>(control))
        return DataControlKind::Combo;
    if (qobject_cast<const QPlainTextEdit*>(control))
        return DataControlKind::Memo;
    return DataControlKind::Other;
}

std::string TextOf(const QWidget* control)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return ToAnsi(edit->text());
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return ToAnsi(combo->currentText());
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(control))
        return MemoText(memo);
    return {};
}

void SetTextOf(QWidget* control, const std::string& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(FromAnsi(text));
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        SetMemoText(memo, text);
    else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (combo->isEditable())
            combo->setEditText(FromAnsi(text));
        else // a list-only box selects nothing for a text not in its list
            combo->setCurrentIndex(combo->findText(FromAnsi(text), Qt::MatchExactly));
    }
}

} // namespace

TProjectDlg::TProjectDlg(QWidget* parent, FormatSettings format) : QWidget(parent), format_(format)
{
    // FormCreate
    setWindowTitle(QStringLiteral("Projektangaben"));
    pages_ = new QTabWidget;
    QTabWidget* pages = pages_;
    pages->setObjectName(QStringLiteral("PageControl1"));
    pages->addTab(CreateLocationPage(), QStringLiteral("Meßort"));
    pages->addTab(CreateApplicantPage(), QStringLiteral("Antragsteller"));
    pages->addTab(CreateRoomPages(), QStringLiteral("Raumangaben"));
    pages->addTab(CreateSoundSourcePage(), QStringLiteral("Schallquelle"));
    pages->addTab(CreateSignalPage(), QStringLiteral("Schallsignal"));
    pages->addTab(CreateSketchPage(), QStringLiteral("Meßskizze"));
    pages->addTab(CreateInstrumentsPage(), QStringLiteral("Meßgeräte"));
    pages->addTab(CreateResultPage(), QStringLiteral("Ergebnis"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages);
}

QWidget* TProjectDlg::Tagged(QWidget* control)
{
    control->setProperty("tag", 1);
    tagged_.push_back(control);
    return control;
}

QLineEdit* TProjectDlg::AddEdit(const char* name)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    Tagged(edit);
    return edit;
}

QComboBox* TProjectDlg::AddCombo(const char* name, const QStringList& suggestions, bool editable)
{
    auto* combo = new QComboBox;
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(editable);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(suggestions);
    combo->setCurrentIndex(-1);
    Tagged(combo);
    return combo;
}

QPlainTextEdit* TProjectDlg::AddMemo(const char* name)
{
    auto* memo = new QPlainTextEdit;
    memo->setObjectName(QString::fromLatin1(name));
    Tagged(memo);
    return memo;
}

QWidget* TProjectDlg::CreateLocationPage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = Page(QStringLiteral("SheetOrt"), grid);
    Rows rows(grid);
    rows.Add(QStringLiteral("Name"), AddEdit("eOName"));
    rows.Add(QStringLiteral("Strasse"), AddEdit("eOStrasse"));
    rows.Add(QStringLiteral("Plz/Ort"), AddEdit("eOOrt"));
    rows.Add(QStringLiteral("Nutzung"), AddCombo("cONutzung", kUsages));
    // The usage class the DIN 18041 assessment of the evaluation takes.
    rows.Add(QStringLiteral("Nutzungsart (DIN 18041)"),
             AddCombo("cONutzungsart",
                      {QStringLiteral("A1 Musik"), QStringLiteral("A2 Sprache/Vortrag"),
                       QStringLiteral("A3 Unterricht/Kommunikation"),
                       QStringLiteral("A4 Unterricht/Kommunikation inklusiv"), QStringLiteral("A5 Sport")},
                      false));
    rows.Add(QStringLiteral("Lage"), AddCombo("cOLage", {"Keller", "EG", "1.OG", "2.OG", "3.OG", "4.OG", "5.OG"}));
    QLineEdit* from = AddEdit("eOVon");
    QLineEdit* to = AddEdit("eOBis");
    rows.Add(QStringLiteral("Datum der Messung"),
             InRow({new QLabel(QStringLiteral("von")), from, new QLabel(QStringLiteral("bis")), to}));
    rows.Add(QStringLiteral("Prüfer"), AddEdit("eOPruefer"));
    rows.Add(QStringLiteral("Prüfbericht Nr"), AddEdit("eOPruefNr"));
    return page;
}

QWidget* TProjectDlg::CreateApplicantPage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = Page(QStringLiteral("SheetAntragsteller"), grid);
    Rows rows(grid);
    rows.Add(QStringLiteral("Name / Firma"), AddEdit("eAFirma"));
    rows.Add(QStringLiteral("Straße"), AddEdit("eAStrasse"));
    rows.Add(QStringLiteral("Plz/Ort"), AddEdit("eAOrt"));
    rows.Add(QStringLiteral("Tel"), AddEdit("EATel"));
    rows.Add(QStringLiteral("Fax"), AddEdit("eAFax"));
    rows.Add(QStringLiteral("EMail"), AddEdit("eAEMail"));
    return page;
}

QWidget* TProjectDlg::CreateRoomPages()
{
    auto* pages = new QTabWidget;
    pages->setObjectName(QStringLiteral("PageControl2"));
    pages->addTab(CreateVolumePage(), QStringLiteral("Raumvolumen"));
    pages->addTab(CreateUsagePage(), QStringLiteral("Nutzung"));
    pages->addTab(CreateMaterialPage(), QStringLiteral("Material/Form"));
    pages->addTab(CreateOccupancyPage(), QStringLiteral("Besetzungszustand"));
    pages->addTab(CreateFittingsPage(), QStringLiteral("Zustand"));
    pages->addTab(CreateClimatePage(), QStringLiteral("Klimaangaben"));
    return pages;
}

QWidget* TProjectDlg::CreateVolumePage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = Page(QStringLiteral("SheetRaumvolumen"), grid);
    Rows rows(grid);
    eRVLaenge = AddEdit("eRVLaenge");
    eRVBreite = AddEdit("eRVBreite");
    eRVHoehe = AddEdit("eRVHoehe");
    eRVQBM = AddEdit("eRVQBM");
    rows.Add(QStringLiteral("Länge"), eRVLaenge);
    rows.Add(QStringLiteral("Breite"), eRVBreite);
    rows.Add(QStringLiteral("Höhe"), eRVHoehe);
    auto* compute = new QToolButton;
    compute->setObjectName(QStringLiteral("SpeedButton1"));
    compute->setText(QStringLiteral("="));
    connect(compute, &QToolButton::clicked, this, &TProjectDlg::SpeedButton1Click);
    rows.Add(QStringLiteral("Raumvolumen"), InRow({eRVQBM, new QLabel(QStringLiteral("m³")), compute}));
    rows.AddWide(new QLabel(
        QStringLiteral("Wenn es sich nicht um einen vollständig geschlossenen Raum handelt Erläuterung :")));
    rows.AddWide(AddMemo("eRVNote"));
    return page;
}

QWidget* TProjectDlg::CreateUsagePage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = Page(QStringLiteral("SheetNutzung"), grid);
    Rows rows(grid);
    RMusikJa = new QRadioButton(QStringLiteral("ja"));
    RMusikJa->setObjectName(QStringLiteral("RMusikJa"));
    RMusikNein = new QRadioButton(QStringLiteral("nein"));
    RMusikNein->setObjectName(QStringLiteral("RMusikNein"));
    auto* question = new QButtonGroup(page);
    question->addButton(RMusikJa);
    question->addButton(RMusikNein);
    rows.Add(QStringLiteral("Raum dient für Sprach- und Musikdarbietungen"), InRow({RMusikJa, RMusikNein}, true));

    seatsPanel_ = new QWidget;
    seatsPanel_->setObjectName(QStringLiteral("PanelSitze"));
    auto* seatsGrid = new QGridLayout(seatsPanel_);
    seatsGrid->setContentsMargins(0, 0, 0, 0);
    seatsGrid->setColumnStretch(1, 1);
    Rows seats(seatsGrid);
    seats.Add(QStringLiteral("Anzahl der Sitze"), AddEdit("eRNSitze"), QStringLiteral("Stk"));
    seats.Add(QStringLiteral("Typ der Sitze"), AddCombo("cRNSitzeTyp", kSeatTypes));
    seats.Add(QStringLiteral("Polsterdicke"), AddEdit("cRNSitzePolster"), QStringLiteral("mm"));
    seats.Add(QStringLiteral("Material"), AddCombo("cRNSitzeMat", {"porös", "unporös"}));
    seats.Add(QStringLiteral("Ausführung"), AddCombo("cRNSitzeArt", {"erhöht", "abgesenkt"}));
    seats.Add(QStringLiteral("Teile der Sitze mit Polsterung "),
              AddCombo("cRNSitzeTeile", {"Rückenlehne", "Sitzfläche", "gesamter Stuhl", "Armlehe",
                                         "Rückenlehne und Sitzfläche"}));
    rows.AddWide(seatsPanel_);
    rows.AddWide(new QLabel(QStringLiteral("sonstige Nutzung")));
    rows.AddWide(AddMemo("mRNNote"));

    // RMusikJaClick, RMusikNeinClick
    connect(RMusikJa, &QRadioButton::toggled, seatsPanel_, &QWidget::setVisible);
    RMusikJa->setChecked(true);
    return page;
}

QWidget* TProjectDlg::CreateMaterialPage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = Page(QStringLiteral("SheetMaterial"), grid);
    int row = 0;
    const auto addSurface = [&](const QString& label, QComboBox* surface, const char* cavityName) {
        grid->addWidget(new QLabel(label), row, 0);
        grid->addWidget(surface, row, 1);
        if (cavityName) {
            grid->addWidget(new QLabel(QStringLiteral("Hohlraumtiefe")), row, 2);
            grid->addWidget(AddEdit(cavityName), row, 3);
            grid->addWidget(new QLabel(QStringLiteral("mm")), row, 4);
        }
        ++row;
    };
    addSurface(QStringLiteral("Form"),
               AddCombo("cRMForm", {"quadratisch", "rechteckig", "oval", "rund", "trapetzförmig",
                                    "Raum offen mit Nebenräumen"}),
               nullptr);
    addSurface(QStringLiteral("Seitenwände"), AddCombo("cRMSwand", WithoutStage(kWalls)), "eRMSWandHT");
    addSurface(QStringLiteral("Vorderwand"), AddCombo("cRMVWand", kWalls), "eRMVWandHT");
    addSurface(QStringLiteral("Rückwand"), AddCombo("cRMRWand", kWalls), "eRMRWandHT");
    addSurface(QStringLiteral("Decke"), AddCombo("cRMDecke", kCeilings), "eRMDeckeHT");
    addSurface(QStringLiteral("Fußboden"), AddCombo("cRMFussboden", kFloors), nullptr);
    return page;
}

QWidget* TProjectDlg::CreateOccupancyPage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = Page(QStringLiteral("SheetBesetzung"), grid);
    Rows rows(grid);
    rows.AddWide(Heading(QStringLiteral("Besetzungszustand während der Messungen")));
    eRBPersonen = AddEdit("eRBPersonen");
    eRBPersMes = AddEdit("eRBPersMes");
    eRBPersProzent = AddEdit("eRBPersProzent");
    eRBPersProzent->setReadOnly(true);
    rows.Add(QStringLiteral("maximale mögliche Anzahl  "), eRBPersonen, QStringLiteral("Personen"));
    rows.Add(QStringLiteral("während der Messung"), eRBPersMes);
    rows.Add(QString(), eRBPersProzent, QStringLiteral("%"));
    rows.AddWide(new QLabel(QStringLiteral("Kommentar")));
    rows.AddWide(AddMemo("mRBNote"));
    connect(eRBPersonen, &QLineEdit::textChanged, this, &TProjectDlg::eRBPersonenChange);
    connect(eRBPersMes, &QLineEdit::textChanged, this, &TProjectDlg::eRBPersonenChange);
    return page;
}

QWidget* TProjectDlg::CreateFittingsPage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = Page(QStringLiteral("SheetZustand"), grid);
    Rows rows(grid);
    rows.AddWide(Heading(QStringLiteral("Zustand der veränderlichen Ausstattung (z.B. in Theaterräumen)")));
    rows.Add(QStringLiteral("Bühenvorhang"), AddCombo("cRZVorhangBuehne", {"geschlossen", "offen"}));
    rows.Add(QStringLiteral("Eiserner Vorhang"), AddCombo("cRZVorhangEisen", {"geschlossen", "offen"}));
    rows.Add(QStringLiteral("Vorhangsstoffe auf der Bühne"), AddCombo("cRZVorhangBStoff", {"nein", "xx m²"}));
    rows.Add(QStringLiteral("Vorhangsstoffe in Saal"), AddCombo("cRZVorhangSStoff", {"nein", "xx m²"}));
    rows.Add(QStringLiteral("Nachhallverlängerungssyteme"),
             AddCombo("cRZNachhallSys", {"nein", "aktiv", "nicht aktiv"}));
    rows.Add(QStringLiteral("Beschallungsanlage"), AddCombo("cRZBAnlage", {"nein", "aktiv", "nicht aktiv"}));
    rows.AddWide(new QLabel(QStringLiteral("Kommentar")));
    rows.AddWide(AddMemo("mRZNote1"));
    rows.AddWide(new QLabel(QStringLiteral("Beschreibung der Bühnenausstattung während der Messung in Theatern und "
                                           "Mehrzweckräumen\nevtl. einschließlich Konzertzimmeraufbaus")));
    rows.AddWide(AddMemo("mRZNote2"));
    return page;
}

QWidget* TProjectDlg::CreateClimatePage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = Page(QStringLiteral("SheetKlima"), grid);
    Rows rows(grid);
    QLineEdit* temperature = AddEdit("eRKTemp");
    rows.Add(QStringLiteral("Temperatur"), temperature, QString());
    grid->addWidget(AddCombo("cRKTempEinheit", {"°C", "K"}), 0, 2);
    rows.Add(QStringLiteral("relative Luftfeuchte"), AddEdit("eRKLuftfeuchte"), QStringLiteral("%"));
    rows.Add(QStringLiteral("relativer Luftdruck"), AddEdit("eRKLuftDruck"), QStringLiteral("mbar"));
    return page;
}

QWidget* TProjectDlg::CreateSoundSourcePage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = Page(QStringLiteral("SheetSchallquelle"), grid);
    Rows rows(grid);
    RBeschallJa = new QRadioButton(QStringLiteral("ja"));
    RBeschallJa->setObjectName(QStringLiteral("RBeschallJa"));
    RBeschallnein = new QRadioButton(QStringLiteral("nein"));
    RBeschallnein->setObjectName(QStringLiteral("RBeschallnein"));
    auto* question = new QButtonGroup(page);
    question->addButton(RBeschallJa);
    question->addButton(RBeschallnein);
    rows.Add(QStringLiteral("vorhandene Beschallungsanlage "), InRow({RBeschallJa, RBeschallnein}, true));

    PBeschall = new QStackedWidget; // a page set without tab headers
    PBeschall->setObjectName(QStringLiteral("PBeschall"));
    Tagged(PBeschall);

    QGridLayout* yesGrid = nullptr;
    QWidget* yes = Page(QStringLiteral("SheetBeschallJa"), yesGrid);
    Rows yesRows(yesGrid);
    yesRows.Add(QStringLiteral("Hersteller"), AddEdit("eSHersteller"));
    yesRows.Add(QStringLiteral("Typ"), AddEdit("eSTyp"));
    yesRows.Add(QStringLiteral("Lautsprecheranzahl"), AddEdit("eSLAnz"));
    yesRows.Add(QStringLiteral("Richtungsfaktor"), AddEdit("eSRFakor"));
    QLineEdit* level = AddEdit("eSPegel");
    QLineEdit* distance = AddEdit("eSAbSpl");
    yesRows.Add(QStringLiteral("Schalldruckpegel"),
                InRow({level, new QLabel(QStringLiteral("dB")), distance, new QLabel(QStringLiteral("m"))}));
    yesRows.AddWide(new QLabel(QStringLiteral("weitere Angaben")));
    yesRows.AddWide(AddMemo("mSNote"));
    PBeschall->addWidget(yes);

    QGridLayout* noGrid = nullptr;
    QWidget* no = Page(QStringLiteral("SheetBeschallNein"), noGrid);
    Rows noRows(noGrid);
    noRows.AddWide(Heading(QStringLiteral("Lautsprecherangaben")));
    noRows.Add(QStringLiteral("Hersteller"), AddEdit("eSLHersteller"));
    noRows.Add(QStringLiteral("Typ"), AddEdit("eSLTyp"));
    noRows.Add(QStringLiteral("Omnidirektional"), AddCombo("cSLOmni", {"ja", "nein"}, false));
    QLineEdit* measuringLevel = AddEdit("eSMPegel");
    QLineEdit* measuringDistance = AddEdit("eSMAbSpl");
    noRows.Add(QStringLiteral("Schalldruckpegel"), InRow({measuringLevel, new QLabel(QStringLiteral("dB")),
                                                          measuringDistance, new QLabel(QStringLiteral("m"))}));
    noRows.Add(QStringLiteral("Richtungsfaktor"), AddEdit("eSLRFaktor"));
    PBeschall->addWidget(no);
    rows.AddWide(PBeschall);

    // RBeschallJaClick, RBeschallneinClick
    connect(RBeschallJa, &QRadioButton::toggled, PBeschall, [this](bool yesChecked) {
        PBeschall->setCurrentIndex(yesChecked ? 0 : 1);
    });
    RBeschallJa->setChecked(true);
    return page;
}

QWidget* TProjectDlg::CreateSignalPage()
{
    QGridLayout* grid = nullptr;
    QWidget* page = Page(QStringLiteral("SheetSchallsignal"), grid);
    Rows rows(grid);
    rows.AddWide(Heading(QStringLiteral("Beschreibung des Meßsignales")));
    rows.Add(QStringLiteral("Schallsignal"), AddCombo("cSSSignal", kSignals));
    rows.AddWide(new QLabel(QStringLiteral("Kommentar")));
    rows.AddWide(AddMemo("mSSNote"));
    return page;
}

QWidget* TProjectDlg::CreateSketchPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SheetSkizze"));
    auto* insert = new QPushButton(QStringLiteral("Einfügen"));
    insert->setObjectName(QStringLiteral("Button1"));
    connect(insert, &QPushButton::clicked, this, &TProjectDlg::Button1Click);
    Skizze = new SketchView;
    Skizze->setObjectName(QStringLiteral("Skizze"));
    QLineEdit* scale = AddEdit("eOMasstab");
    eSkizze = AddEdit("eSkizze");
    eSkizze->setVisible(false);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(InRow({Heading(QStringLiteral("Grundriß mit Meßpunkten und Schallquellen")), insert}));
    layout->addWidget(Skizze, 1);
    layout->addWidget(InRow({new QLabel(QStringLiteral("Maßstab")), scale, eSkizze}));

    OpenPictureDialog = new QFileDialog(this);
    OpenPictureDialog->setObjectName(QStringLiteral("OpenPictureDialog"));
    OpenPictureDialog->setFileMode(QFileDialog::ExistingFile);
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    OpenPictureDialog->setNameFilters({QStringLiteral("Bilder (%1)").arg(patterns.join(QLatin1Char(' '))),
                                       QStringLiteral("Alle Dateien (*)")});
    return page;
}

QWidget* TProjectDlg::CreateInstrumentsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SheetGeraete"));
    auto* outer = new QVBoxLayout(page);
    auto* grid = new QGridLayout;
    outer->addLayout(grid);
    outer->addStretch();
    int column = 0;
    for (const char* heading : {"Schallquelle", "Hersteller", "Typ", "Seriennr."})
        grid->addWidget(Heading(QString::fromUtf8(heading)), 0, column++);

    int row = 1;
    const auto addDevice = [&](QWidget* device, const std::string& prefix) {
        grid->addWidget(device, row, 0);
        grid->addWidget(AddEdit((prefix + "Her").c_str()), row, 1);
        grid->addWidget(AddEdit((prefix + "Typ").c_str()), row, 2);
        grid->addWidget(AddEdit((prefix + "Snr").c_str()), row, 3);
        ++row;
    };
    const std::pair<const char*, const char*> fixed[] = {
        {"Mikrofon", "eGMic"}, {"Verstärker", "eGV"}, {"Meßgerät", "eGMG"}, {"Schallpegelmesser", "eGSP"},
        {"Filter", "eGF"},     {"Pegelschreiber", "eGP"}, {"Aufzeichnungsgerät", "eGA"}};
    for (const auto& [device, prefix] : fixed)
        addDevice(new QLabel(QString::fromUtf8(device)), prefix);
    for (int free = 1; free <= 4; ++free) {
        const std::string prefix = "eGM" + std::to_string(free);
        addDevice(AddEdit((prefix + "Name").c_str()), prefix);
    }
    return page;
}

QWidget* TProjectDlg::CreateResultPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SheetErgebnis"));
    auto* edit = new QPushButton(QStringLiteral("Bearbeiten"));
    edit->setObjectName(QStringLiteral("bBearbeiten"));
    connect(edit, &QPushButton::clicked, this, &TProjectDlg::bBearbeitenClick);
    ErgRTF = new QTextBrowser;
    ErgRTF->setObjectName(QStringLiteral("ErgRTF"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(edit, 0, Qt::AlignLeft);
    layout->addWidget(ErgRTF, 1);
    return page;
}

void TProjectDlg::LoadProject(const std::string& projectFile)
{
    ClearFields();
    // Also for an empty name: a later save must not write the emptied fields
    // into the project open before.
    projectFile_ = projectFile;
    if (projectFile_.empty())
        return;
    std::vector<DataField> fields;
    for (const QWidget* control : tagged_)
        fields.push_back({control->objectName().toStdString(), KindOf(control), {}});
    try {
        ReadProjectData(projectFile_, fields);
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
        return;
    }
    for (std::size_t i = 0; i < tagged_.size(); ++i)
        SetTextOf(tagged_[i], fields[i].text);
    ShowSoundSourcePageWithData();
    ShowSketch();
    ShowResultNotes();
}

void TProjectDlg::ClearFields()
{
    // The pages only: the picture dialog has edits and combo boxes of its own.
    for (QLineEdit* edit : pages_->findChildren<QLineEdit*>())
        if (!qobject_cast<QComboBox*>(edit->parentWidget()))
            edit->clear();
    for (QPlainTextEdit* memo : pages_->findChildren<QPlainTextEdit*>())
        memo->clear();
    for (QComboBox* combo : pages_->findChildren<QComboBox*>()) {
        combo->setCurrentIndex(-1);
        if (combo->isEditable())
            combo->setEditText(QString());
    }
    ErgRTF->clear();
    Skizze->SetPicture({});
}

void TProjectDlg::SaveData()
{
    if (projectFile_.empty())
        return;
    try {
        WriteData(projectFile_);
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

void TProjectDlg::WriteData(const std::string& projectFile)
{
    std::vector<DataField> fields;
    for (const QWidget* control : tagged_)
        fields.push_back({control->objectName().toStdString(), KindOf(control), TextOf(control)});
    WriteProjectData(projectFile, fields);
}

void TProjectDlg::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous()) // FormHide
        SaveData();
}

// The answer to "vorhandene Beschallungsanlage" is not stored: the page that
// holds data shows; without data either way the answer stays as it is.
void TProjectDlg::ShowSoundSourcePageWithData()
{
    const auto holdsData = [this](const QWidget* page) {
        return std::any_of(tagged_.begin(), tagged_.end(),
                           [page](const QWidget* control) { return page->isAncestorOf(control) && !TextOf(control).empty(); });
    };
    if (holdsData(PBeschall->widget(0)))
        RBeschallJa->setChecked(true);
    else if (holdsData(PBeschall->widget(1)))
        RBeschallnein->setChecked(true);
}

void TProjectDlg::ShowSketch()
{
    // The name is a text of the project file; the directory a path of the system.
    const QString file = NativeName(JoinPath(DirectoryOf(projectFile_), NativePath(eSkizze->text())));
    Skizze->SetPicture(!eSkizze->text().isEmpty() && QFileInfo::exists(file) ? QPixmap(file) : QPixmap());
}

void TProjectDlg::ShowResultNotes()
{
    try {
        LoadRichTextFile(NativeName(ChangeExtension(projectFile_, ".rtf")), *ErgRTF->document());
    } catch (const std::exception&) {
        ErgRTF->clear(); // no notes yet
    }
}

void TProjectDlg::ShowError(const QString& message)
{
    QMessageBox::critical(this, QApplication::applicationDisplayName(), message);
}

void TProjectDlg::SpeedButton1Click()
{
    try {
        if (const auto volume = RoomVolumeText(ToAnsi(eRVLaenge->text()), ToAnsi(eRVBreite->text()),
                                               ToAnsi(eRVHoehe->text()), format_))
            eRVQBM->setText(FromAnsi(*volume));
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

void TProjectDlg::eRBPersonenChange()
{
    eRBPersProzent->setText(
        FromAnsi(OccupancyPercentText(ToAnsi(eRBPersonen->text()), ToAnsi(eRBPersMes->text()), format_)));
}

void TProjectDlg::Button1Click()
{
    if (projectFile_.empty())
        return;
    OpenPictureDialog->setDirectory(NativeName(DirectoryOf(projectFile_)));
    if (OpenPictureDialog->exec() == QDialog::Accepted && !OpenPictureDialog->selectedFiles().isEmpty())
        InsertSketch(OpenPictureDialog->selectedFiles().first());
}

void TProjectDlg::InsertSketch(const QString& pictureFile)
{
    const QString extension = QFileInfo(pictureFile).suffix();
    if (!QImageReader::supportedImageFormats().contains(extension.toLower().toLatin1()))
        return ShowError(QStringLiteral("Unbekannte Bilddateierweiterung (.%1)").arg(extension));
    const QPixmap picture(pictureFile);
    if (picture.isNull())
        return ShowError(QStringLiteral("Datei %1 kann nicht geöffnet werden").arg(pictureFile));

    const std::string copyName = SketchCopyName(projectFile_, NativePath(pictureFile));
    const QString copy = NativeName(copyName);
    if (QFileInfo(copy).canonicalFilePath() != QFileInfo(pictureFile).canonicalFilePath()) {
        QFile::remove(copy);
        if (!QFile::copy(pictureFile, copy))
            return ShowError(QStringLiteral("In %1 kann nicht geschrieben werden").arg(copy));
    }
    Skizze->SetPicture(picture);
    eSkizze->setText(NativeName(BareFileName(copyName)));
}

void TProjectDlg::bBearbeitenClick()
{
    if (projectFile_.empty())
        return;
    const QString fileName = NativeName(ChangeExtension(projectFile_, ".rtf"));
    EditRtfFile(this, fileName);
    try {
        LoadRichTextFile(fileName, *ErgRTF->document());
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

} // namespace dazo::ui
