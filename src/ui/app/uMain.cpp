// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/uMain.h"

#include "analysis/ChartCursors.h"
#include "analysis/uCalcChart.h"
#include "app/BarScreen.h"
#include "app/ChartView.h"
#include "app/CompanyDataDlg.h"
#include "bridge/AnsiText.h"
#include "common/Paths.h"
#include "evaluation/EvaluationCore.h"
#include "evaluation/ProjectSurvey.h"
#include "evaluation/MeasurementLoading.h"
#include "project/ProjekdatenDlg.h"
#include "project/UserNumbers.h"
#include "project/uMesManDlg.h"
#include "reports/uNachDia.h"

#include <QActionGroup>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QDir>
#include <QTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace dazo::ui {
namespace {

const QString kTitle = QStringLiteral("DAZO Rudozudoveva");
constexpr int kCursorCount = 3;
constexpr int kFirstCalculatorNode = 2;
constexpr int kLastCalculatorNode = 12;
constexpr int kProjectDataNode = 0;
constexpr int kMeasurementNode = 1;
constexpr int kTableNode = 13;
constexpr int kEvaluationNode = 14;

template <class Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// File names travel to the core as the bytes the file system knows them by.
std::string PathBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString PathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QToolButton* SpeedButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = Named(new QToolButton(parent), name);
    button->setText(Text(caption));
    button->setCheckable(true);
    button->setAutoRaise(false);
    button->setMinimumWidth(48);
    return button;
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent)
{
    auto* button = Named(new QPushButton(Text(caption), parent), name);
    button->setAutoDefault(false);
    return button;
}

// The parameter tabs leave the chart as much room as they can.
template <class Layout>
Layout* Compact(Layout* layout)
{
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    return layout;
}

QLabel* Caption(const char* text, QWidget* parent)
{
    return new QLabel(Text(text), parent);
}

// A label in the cursor's colour, as the chart draws the cursor.
QLabel* CursorSwatch(const char* text, const QColor& color, QWidget* parent)
{
    auto* label = Caption(text, parent);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::WindowText, qGray(color.rgb()) > 128 ? Qt::black : Qt::white);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(48);
    return label;
}

// The free area of the screen that shows most of the rectangle; of the
// primary screen when none shows any of it.
QRect AvailableAreaFor(const QRect& rect)
{
    const QScreen* best = QGuiApplication::primaryScreen();
    qint64 bestShown = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shown = screen->availableGeometry().intersected(rect);
        if (const qint64 size = qint64(shown.width()) * shown.height(); size > bestShown) {
            best = screen;
            bestShown = size;
        }
    }
    return best ? best->availableGeometry() : rect;
}

bool IsProjectFile(const QString& fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("npj"), Qt::CaseInsensitive) == 0;
}

// Restores the normal pointer however the work ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

// ---- Result requests ---------------------------------------------------------

TResultsRequest::TResultsRequest(int message)
    : QEvent(static_cast<QEvent::Type>(message))
{
}

bool SendResultsRequest(QObject* mainWindow, int message)
{
    TResultsRequest request(message);
    QCoreApplication::sendEvent(mainWindow, &request);
    return request.Completed;
}

// ---- Building the window -------------------------------------------------------

TMainForm::TMainForm(ProgramPaths paths, QWidget* parent)
    : QMainWindow(parent)
    , paths_(std::move(paths))
    , settings_(paths_.SettingsFile())
    , core_(std::make_unique<TEvaluationCore>(paths_, UserFormat()))
    , FCursors(std::make_unique<TXChartCursors>(kCursorCount))
{
    setObjectName("MainForm");
    setWindowTitle(kTitle);
    resize(778, 609);

    CreateMenus();
    ShowRecentFiles();
    setAcceptDrops(true);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CreateTopBar());

    Splitter1 = Named(new QSplitter(Qt::Horizontal, central), "Splitter1");
    CreateTree();
    Splitter1->addWidget(TreeView1);
    PageControl = Named(new QStackedWidget(Splitter1), "PageControl");
    PageControl->addWidget(CreateGraphSheet());
    DataSheet = Named(new QWidget(PageControl), "DataSheet");
    auto* dataLayout = new QVBoxLayout(DataSheet);
    dataLayout->setContentsMargins(0, 0, 0, 0);
    PageControl->addWidget(DataSheet);
    PageControl->setCurrentWidget(DataSheet);
    Splitter1->addWidget(PageControl);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    layout->addWidget(Splitter1, 1);
    setCentralWidget(central);

    OpenDialog1 = Named(new QFileDialog(this, Text("Messung öffnen")), "OpenDialog1");
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setNameFilters({Text("Nachhallzeit Projekt  (*.npj)"), Text("MLSSA (*.tim)"), Text("QEL (*.qel)"),
                                Text("Audio (*.wav *.flac *.aif *.aiff)"),
                                Text("Alle unterstützten Dateien (*.npj *.tim *.qel *.wav *.flac *.aif *.aiff)")});

    tablePlaceholder_ = std::make_unique<QWidget>();
    tablePlaceholder_->setObjectName("TablePlaceholder");

    core_->OnMeasurementLoaded = [this] { MeasurementLoaded(); };
    connect(Chart1, &TChartView::cursorLineClicked, this, [this](const TLineSeries* line) { FCursors->SelectBySeries(line); });
    SetTreeActive(false);
    SetDefaultDialogs();
    ConnectPanels();
    ConnectInput();
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    FEvalDlg.reset();
    // The companion windows belong to the program, not to the page they are docked in.
    for (QWidget* form : {static_cast<QWidget*>(manager_), static_cast<QWidget*>(projectData_), static_cast<QWidget*>(resultsTable_)})
        if (form && form->parentWidget() == DataSheet)
            DockForm(form, nullptr);
    ForgetShownCurve();
    core_->ReleaseMeasurement(); // the calculators write their records
    FCursors.reset();            // takes its lines off the chart, which still exists
}

void TMainForm::CreateMenus()
{
    QMenu* file = menuBar()->addMenu(Text("Datei"));
    Load1 = Named(file->addAction(Text("Messung öffnen...")), "Load1");
    Load1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addSeparator();
    RecentSeparator = file->addSeparator();
    Exit1 = Named(file->addAction(Text("Beenden")), "Exit1");
    Exit1->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    connect(Load1, &QAction::triggered, this, &TMainForm::Load1Click);
    connect(Exit1, &QAction::triggered, this, &QWidget::close);

    QMenu* view = menuBar()->addMenu(Text("Darstellung"));
    ViewGroup = new QActionGroup(this);
    ViewGroup->setExclusive(true);
    const auto addView = [&](const char* name, const char* caption, int code) {
        QAction* entry = Named(view->addAction(Text(caption)), name);
        entry->setCheckable(true);
        entry->setData(code);
        ViewGroup->addAction(entry);
        return entry;
    };
    Impulsantwort1 = addView("Impulsantwort1", "h(t)", 1);
    ht1 = addView("ht1", "h²(t)", 2);
    log1 = addView("log1", "log  h²(t)", 4);
    SPL1 = addView("SPL1", "SPL", 3);
    ETC1 = addView("ETC1", "ETC", 5);
    Hht1 = addView("Hht1", "H{h(t)}", 6);
    Impulsantwort1->setChecked(true);
    FViewItem = Impulsantwort1;
    connect(ViewGroup, &QActionGroup::triggered, this, &TMainForm::RepresentationClick);

    QMenu* options = menuBar()->addMenu(Text("Optionen"));
    Firmendaten1 = Named(options->addAction(Text("Firmendaten")), "Firmendaten1");
    HauptspeichersparModus1 = Named(options->addAction(Text("RAM-Spar-Modus")), "HauptspeichersparModus1");
    HauptspeichersparModus1->setCheckable(true);
    connect(Firmendaten1, &QAction::triggered, this, &TMainForm::Firmendaten1Click);
    connect(HauptspeichersparModus1, &QAction::triggered, this, &TMainForm::HauptspeichersparModus1Click);

    QMenu* help = menuBar()->addMenu(Text("Hilfe"));
    Info1 = Named(help->addAction(Text("Info...")), "Info1");
    connect(Info1, &QAction::triggered, this, &TMainForm::Info1Click);

    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
    Drucken1 = Named(PopupMenu1->addAction(Text("Diagramm drucken")), "Drucken1");
    Speichern1 = Named(PopupMenu1->addAction(Text("Diagramm speichern...")), "Speichern1");
    Druckvorschau1 = Named(PopupMenu1->addAction(Text("Druckvorschau")), "Druckvorschau1");
    DatenExportieren1 = Named(PopupMenu1->addAction(Text("Daten exportieren...")), "DatenExportieren1");
}

QWidget* TMainForm::CreateTopBar()
{
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* layout = new QHBoxLayout(Panel1);
    layout->setContentsMargins(4, 2, 4, 2);

    SpeedButton1 = Named(new QToolButton(Panel1), "SpeedButton1");
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setToolTip(Text("Messung öffnen..."));
    connect(SpeedButton1, &QToolButton::clicked, this, &TMainForm::Load1Click);

    LCaption = Named(new QLabel(Panel1), "LCaption");
    LCaption->setAlignment(Qt::AlignCenter);
    LCaption->setAutoFillBackground(true);
    QPalette palette = LCaption->palette();
    palette.setColor(QPalette::Window, QColor(64, 64, 64));
    palette.setColor(QPalette::WindowText, Qt::white);
    LCaption->setPalette(palette);
    QFont font = LCaption->font();
    font.setBold(true);
    LCaption->setFont(font);
    LCaption->setMinimumHeight(24);

    cGrid = Named(new QCheckBox(Text("Gitter"), Panel1), "cGrid");
    cCursor = Named(new QCheckBox(Text("Cursor"), Panel1), "cCursor");
    for (QCheckBox* box : {cGrid, cCursor}) {
        box->setChecked(true);
        box->setEnabled(false); // until a project is open
    }
    connect(cGrid, &QCheckBox::clicked, this, &TMainForm::cGridClick);
    connect(cCursor, &QCheckBox::clicked, this, &TMainForm::cCursorClick);

    layout->addWidget(SpeedButton1);
    layout->addWidget(LCaption, 1);
    layout->addWidget(cGrid);
    layout->addWidget(cCursor);
    return Panel1;
}

void TMainForm::CreateTree()
{
    TreeView1 = Named(new QTreeWidget(this), "TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setItemsExpandable(false);
    TreeView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The longest node text fits without clipping.
    const QFontMetrics metrics(TreeView1->font());
    TreeView1->setMinimumWidth(metrics.horizontalAdvance(Text("Eingangsfunktion")) + TreeView1->indentation() + 24);

    const char* const bandNodes[] = {"Eingangsfunktion", "ungefiltert", "31,5 Hz", "63 Hz", "125 Hz", "250 Hz",
                                     "500 Hz", "1000 Hz", "2000 Hz", "4000 Hz", "8000 Hz", "Tabelle"};
    std::size_t n = 0;
    nodes_[n++] = new QTreeWidgetItem(TreeView1, {Text("Projektdaten")});
    QTreeWidgetItem* measurement = new QTreeWidgetItem(TreeView1, {Text("Messung")});
    nodes_[n++] = measurement;
    for (const char* text : bandNodes)
        nodes_[n++] = new QTreeWidgetItem(measurement, {Text(text)});
    nodes_[n++] = new QTreeWidgetItem(TreeView1, {Text("Auswertung")});
    TreeView1->expandAll();
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) { TreeView1Change(current); });
}

QWidget* TMainForm::CreateGraphSheet()
{
    GraphSheet = Named(new QWidget(this), "GraphSheet");
    auto* layout = new QVBoxLayout(GraphSheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    ParamPages = Named(new QTabWidget(GraphSheet), "ParamPages");
    ParamPages->addTab(CreateParameterTab(), Text("Parameter"));
    ParamPages->addTab(CreateReverberationTab(), Text("Nachhallzeit"));
    ParamPages->addTab(CreateEnergyTab(), Text("Energie-Zeit-Maße"));
    ParamPages->addTab(CreatePositionTab(), Text("Position"));
    ParamPages->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    layout->addWidget(ParamPages);

    Chart1 = new TChartView(GraphSheet);
    Chart1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Chart1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) { PopupMenu1->popup(Chart1->mapToGlobal(at)); });
    layout->addWidget(Chart1, 1);
    return GraphSheet;
}

QLabel* TMainForm::AddValueLabel(const char* name)
{
    auto* label = Named(new QLabel, name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(50);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumHeight(label->sizeHint().height()); // a frame never squashed below its text
    return label;
}

QWidget* TMainForm::CreateParameterTab()
{
    auto* page = Named(new QWidget, "ParameterSheet");
    auto* grid = Compact(new QGridLayout(page));
    LComment = AddValueLabel("LComment");
    LComment->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LAbtast = AddValueLabel("LAbtast");
    LKHz = AddValueLabel("LKHz");
    LDataCount = AddValueLabel("LDataCount");
    lPos = AddValueLabel("lPos");
    lPos->setMinimumWidth(150);

    grid->addWidget(Caption("Kommentar", page), 0, 0);
    grid->addWidget(LComment, 0, 1, 1, 4);
    grid->addWidget(Caption("Abstastrate [ms]", page), 1, 0);
    grid->addWidget(LAbtast, 1, 1);
    grid->addWidget(Caption("Abstastrate [kHz]", page), 1, 2);
    grid->addWidget(LKHz, 1, 3);
    grid->addWidget(Caption("Datenpunkte", page), 2, 0);
    grid->addWidget(LDataCount, 2, 1);
    grid->addWidget(Caption("Position (x/y)", page), 2, 2);
    grid->addWidget(lPos, 2, 3);

    SpeedButton2 = Named(new QToolButton(page), "SpeedButton2");
    SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    SpeedButton2->setAutoRaise(true);
    grid->addWidget(SpeedButton2, 0, 5, 3, 1, Qt::AlignTop);
    grid->setColumnStretch(4, 1);
    return page;
}

QWidget* TMainForm::CreateReverberationTab()
{
    auto* page = Named(new QWidget, "NachhallSheet");
    auto* layout = Compact(new QHBoxLayout(page));

    // Cursor readouts: position and distances.
    auto* cursors = new QGridLayout;
    eC1 = Named(new QLineEdit(page), "eC1");
    eC2 = Named(new QLineEdit(page), "eC2");
    eC3 = Named(new QLineEdit(page), "eC3");
    LAb12 = AddValueLabel("LAb12");
    LAb13 = AddValueLabel("LAb13");
    LAb23 = AddValueLabel("LAb23");
    QLabel* swatches[] = {CursorSwatch("Cursor", QColor(255, 255, 0), page), CursorSwatch("Cursor", QColor(0, 128, 0), page),
                                CursorSwatch("Frei", QColor(255, 255, 255), page)};
    QLineEdit* edits[] = {eC1, eC2, eC3};
    QLabel* distances[] = {LAb12, LAb13, LAb23};
    for (int row = 0; row < kCursorCount; ++row) {
        edits[row]->setProperty("tag", row);
        edits[row]->setMaximumWidth(70);
        cursors->addWidget(swatches[row], row, 0);
        cursors->addWidget(edits[row], row, 1);
        cursors->addWidget(Caption("Δ", page), row, 2);
        cursors->addWidget(distances[row], row, 3);
    }
    auto* units = new QHBoxLayout;
    units->addWidget(Caption("Abstand in", page));
    bms = SpeedButton("bms", "ms", page);
    bMeter = SpeedButton("bMeter", "Meter", page);
    bdB = SpeedButton("bdB", "dB", page);
    UnitButtons = new QButtonGroup(page);
    for (QToolButton* button : {bms, bMeter, bdB}) {
        UnitButtons->addButton(button);
        units->addWidget(button);
    }
    bms->setChecked(true);
    units->addStretch(1);
    cursors->addLayout(units, kCursorCount, 0, 1, 4);
    layout->addLayout(cursors);

    // Reverberation times: standard ranges above, the user's ranges below.
    auto* times = new QGridLayout;
    bEDT = SpeedButton("bEDT", "EDT", page);
    bRT20 = SpeedButton("bRT20", "RT 20", page);
    bRT30 = SpeedButton("bRT30", "RT 30", page);
    bRTxx = SpeedButton("bRTxx", "RTxx", page);
    RTKindButtons = new QButtonGroup(page);
    RTKindButtons->addButton(bEDT, kEdtCustom);
    RTKindButtons->addButton(bRT20, kRt20Custom);
    RTKindButtons->addButton(bRT30, kRt30Custom);
    RTKindButtons->addButton(bRTxx, kRtxxCustom);
    bEDT->setChecked(true);
    bRTRecall = Named(new QToolButton(page), "bRTRecall");
    bRTRecall->setText(Text("berechnet"));

    lbEDT = AddValueLabel("lbEDT");
    lbRT20 = AddValueLabel("lbRT20");
    lbRT30 = AddValueLabel("lbRT30");
    lcEDT = AddValueLabel("lcEDT");
    lcRT20 = AddValueLabel("lcRT20");
    lcRT30 = AddValueLabel("lcRT30");
    lcRtxx = AddValueLabel("lcRtxx");
    lbRSelect = AddValueLabel("lbRSelect");
    lcRSelect = AddValueLabel("lcRSelect");

    int column = 1;
    for (QToolButton* button : {bEDT, bRT20, bRT30, bRTxx})
        times->addWidget(button, 0, column++);
    auto* r = Caption("r", page);
    r->setAlignment(Qt::AlignCenter);
    times->addWidget(r, 0, 5);
    times->addWidget(bRTRecall, 1, 0);
    times->addWidget(lbEDT, 1, 1);
    times->addWidget(lbRT20, 1, 2);
    times->addWidget(lbRT30, 1, 3);
    times->addWidget(lbRSelect, 1, 5);
    times->addWidget(Caption("custom", page), 2, 0);
    times->addWidget(lcEDT, 2, 1);
    times->addWidget(lcRT20, 2, 2);
    times->addWidget(lcRT30, 2, 3);
    times->addWidget(lcRtxx, 2, 4);
    times->addWidget(lcRSelect, 2, 5);
    times->setRowStretch(3, 1);
    layout->addSpacing(12);
    layout->addLayout(times);
    layout->addStretch(1);
    return page;
}

QWidget* TMainForm::CreateEnergyTab()
{
    auto* page = Named(new QWidget, "EnergieSheet");
    auto* grid = Compact(new QGridLayout(page));
    lC35 = AddValueLabel("lC35");
    lC50 = AddValueLabel("lC50");
    lC80 = AddValueLabel("lC80");
    LCCust = AddValueLabel("LCCust");
    lD50 = AddValueLabel("lD50");
    LD80 = AddValueLabel("LD80");
    lCenterTime = AddValueLabel("lCenterTime");
    LCCustIn = Named(new QLabel(Text("C xx"), page), "LCCustIn");
    bSetCCust = Button("bSetCCust", "Set", page);

    const auto addRow = [&](int row, int column, QWidget* caption, QLabel* value, const char* unit) {
        grid->addWidget(caption, row, column);
        grid->addWidget(value, row, column + 1);
        if (unit)
            grid->addWidget(Caption(unit, page), row, column + 2);
    };
    addRow(0, 0, Caption("C 35 ", page), lC35, "dB");
    addRow(1, 0, Caption("C 50", page), lC50, "dB");
    addRow(2, 0, Caption("C 80", page), lC80, "dB");
    addRow(3, 0, LCCustIn, LCCust, "dB");
    grid->addWidget(bSetCCust, 3, 3);
    addRow(0, 5, Caption("D50", page), lD50, nullptr);
    addRow(1, 5, Caption("D80", page), LD80, nullptr);
    addRow(2, 5, Caption("Ts", page), lCenterTime, "msec");
    grid->setColumnMinimumWidth(4, 24);
    grid->setColumnStretch(8, 1);
    return page;
}

QWidget* TMainForm::CreatePositionTab()
{
    auto* page = Named(new QWidget, "PositionSheet");
    auto* layout = Compact(new QVBoxLayout(page));

    auto* top = new QHBoxLayout;
    cCurMessKurve = Named(new QComboBox(page), "cCurMessKurve");
    cCurMessKurve->addItems({Text("Impulsantwort"), Text("Schroederplot")});
    cCurMessKurve->setCurrentIndex(0);
    lFreeCursorPos = AddValueLabel("lFreeCursorPos");
    lFreeCursorPos->setMinimumWidth(150);
    bMessSchnitt = Button("bMessSchnitt", "Messung beschneiden", page);
    top->addWidget(cCurMessKurve);
    top->addWidget(Caption("Cursorposition (x/y)", page));
    top->addWidget(lFreeCursorPos);
    top->addWidget(bMessSchnitt);
    top->addStretch(1);
    layout->addLayout(top);

    SchnittPanel = Named(new QFrame(page), "SchnittPanel");
    SchnittPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* crop = new QGridLayout(SchnittPanel);
    crop->setContentsMargins(4, 2, 4, 2);
    const auto addCrop = [&](int column, const char* caption, const char* editName, QLineEdit*& edit, const char* buttonName, QPushButton*& button) {
        edit = Named(new QLineEdit(SchnittPanel), editName);
        edit->setReadOnly(true);
        edit->setMaximumWidth(80);
        button = Button(buttonName, "Set", SchnittPanel);
        crop->addWidget(Caption(caption, SchnittPanel), 0, column, 1, 2);
        crop->addWidget(edit, 1, column);
        crop->addWidget(button, 1, column + 1);
    };
    addCrop(0, "Meßpunkt Anfang", "eMessA", eMessA, "bSetA", bSetA);
    addCrop(2, "Meßpunkt Ende", "eMessE", eMessE, "bSetE", bSetE);
    addCrop(4, "Schöder Anfang", "EMessS", EMessS, "bSetS", bSetS);
    bSetA->setToolTip(Text("weißen Cursor auf gewünschte Position und diese Button drücken"));
    bReset = Button("bReset", "Reset", SchnittPanel);
    bCompress = Button("bCompress", "Comp.", SchnittPanel);
    bCompress->setToolTip(Text("Rauschunterdrückung nach dem Verfahren von Lundeby"));
    crop->setColumnMinimumWidth(6, 12);
    crop->addWidget(bReset, 1, 7);
    crop->addWidget(bCompress, 1, 8);
    crop->setColumnStretch(9, 1);
    SchnittPanel->hide();
    layout->addWidget(SchnittPanel);
    layout->addStretch(1);
    return page;
}

void TMainForm::SetCompanionWindows(TMesManDlg* manager, TProjectDlg* projectData, QWidget* resultsTable)
{
    manager_ = manager;
    projectData_ = projectData;
    resultsTable_ = resultsTable ? resultsTable : tablePlaceholder_.get();
    if (manager_)
        manager_->OnMeasurementSelect = [this](const QString& fullPath) { LoadMeasurementFile(fullPath); };
}

// ---- Start-up and shut-down -------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event)
{
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
    QMainWindow::showEvent(event);
}

void TMainForm::FormShow()
{
    Splitter1->setSizes({TreeView1->minimumWidth(), width()});
    try {
        ReadSettings();
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

void TMainForm::ReadSettings()
{
    settings_.EnsureExists();
    OpenDialog1->setDirectory(PathText(settings_.LastProjectDirectory(paths_.DataDirectory())));
    // The client area both ways: stored as it is, restored as it was.
    if (const std::optional<WindowBounds> bounds = settings_.WindowPosition()) {
        // The frame, where the window system knows it already, stays on the screen too.
        const QRect frame = frameGeometry(), client = geometry();
        const QMargins frameMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                                    frame.bottom() - client.bottom());
        const QRect area = AvailableAreaFor(QRect(bounds->left, bounds->top, bounds->width, bounds->height)).marginsRemoved(frameMargins);
        const QSize minimum = minimumSizeHint();
        const WindowBounds fitted = FitIntoArea(*bounds, {area.x(), area.y(), area.width(), area.height()}, minimum.width(), minimum.height());
        setGeometry(fitted.left, fitted.top, fitted.width, fitted.height);
    }
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted() && !shutDown_)
        FormHide();
}

void TMainForm::FormHide()
{
    shutDown_ = true;
    try {
        core_->DeleteTemporaryFiles();
        std::optional<std::string> projectDirectory;
        if (ProjectOpen())
            projectDirectory = DirectoryOf(core_->ProjectFile());
        const QRect bounds = normalGeometry();
        settings_.SaveOnShutdown(projectDirectory, WindowBounds{bounds.x(), bounds.y(), bounds.width(), bounds.height()});
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
    if (ProjectOpen()) {
        if (projectData_)
            projectData_->SaveData();
        if (manager_)
            manager_->SavePoints();
    }
}

bool TMainForm::ProjectOpen() const
{
    return !core_->ProjectFile().empty();
}

// ---- Navigation ------------------------------------------------------------------------

void TMainForm::SetTreeActive(bool active)
{
    treeActive_ = active;
    QPalette palette = QApplication::palette(TreeView1);
    if (!active)
        palette.setColor(QPalette::Text, QColor(192, 192, 192));
    TreeView1->setPalette(palette);
    // An inactive tree takes neither clicks nor keys, so nothing gets selected meanwhile.
    TreeView1->viewport()->setAttribute(Qt::WA_TransparentForMouseEvents, !active);
    TreeView1->setFocusPolicy(active ? Qt::StrongFocus : Qt::NoFocus);
    TreeView1->setSelectionMode(active ? QAbstractItemView::SingleSelection : QAbstractItemView::NoSelection);
}

void TMainForm::SelectNode(int index)
{
    TreeView1->setCurrentItem(TreeNode(index));
}

void TMainForm::DockForm(QWidget* form, QWidget* page)
{
    if (!form)
        return;
    if (!page) {
        form->hide();
        if (QWidget* parent = form->parentWidget(); parent && parent->layout())
            parent->layout()->removeWidget(form);
        form->setParent(nullptr);
        return;
    }
    // One window per page: whatever else is docked there leaves.
    for (QWidget* other : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (other != form)
            DockForm(other, nullptr);
    if (form->parentWidget() != page) {
        form->setParent(page);
        page->layout()->addWidget(form);
    }
    form->show();
}

void TMainForm::TreeView1Change(QTreeWidgetItem* node)
{
    if (!treeActive_ || !node)
        return;
    const auto found = std::find(nodes_.begin(), nodes_.end(), node);
    const int index = static_cast<int>(found - nodes_.begin());

    if (FDocked && FDocked == projectData_)
        projectData_->SaveData();
    else if (FDocked && FDocked == manager_)
        manager_->SavePoints();
    FEvalDlg.reset();
    FDocked = nullptr;

    if (index >= kFirstCalculatorNode && index <= kLastCalculatorNode) {
        if (!core_->HasMeasurement()) {
            SelectNode(kMeasurementNode);
            // A click selects its node after this change has run: take the
            // selection back once the click is done.
            QTimer::singleShot(0, TreeView1, [this] { SelectNode(kMeasurementNode); });
            return;
        }
        const QString measurement = manager_ ? manager_->MeasurementCaption() : QString();
        LCaption->setText(measurement + ' ' + node->text(0));
        PageControl->setCurrentWidget(GraphSheet);
        ShowCalculator(index - kFirstCalculatorNode);
        return;
    }

    QWidget* form = nullptr;
    switch (index) {
    case kProjectDataNode:
        form = projectData_;
        break;
    case kMeasurementNode:
        form = manager_;
        break;
    case kTableNode:
        form = resultsTable_;
        break;
    case kEvaluationNode:
        FEvalDlg.reset(CreateEvaluationWindow());
        form = FEvalDlg.get();
        break;
    default:
        break;
    }
    DockForm(form, DataSheet);
    FDocked = form;
    LCaption->setText(node->text(0));
    PageControl->setCurrentWidget(DataSheet);
}

QWidget* TMainForm::CreateEvaluationWindow()
{
    auto* window = new TNachhallDiaDlg(paths_);
    window->SetProjectFile(core_->ProjectFile());
    window->RequestResults = [this](int message) { SendResultsRequest(this, message); };
    window->SurveyProject = [this] { return SurveyProject(*core_); };
    return window;
}

bool TMainForm::OpenProject(const QString& fileName)
{
    try {
        const std::string file = PathBytes(fileName);
        core_->DeleteTemporaryFiles();
        if (projectData_)
            projectData_->SaveData();
        cCursor->setEnabled(true);
        cGrid->setEnabled(true);
        const std::vector<std::string> points = TEvaluationCore::PointListFor(file);
        core_->SetProjectFile(ChangeExtension(file, ".npj"));
        if (projectData_)
            projectData_->LoadProject(core_->ProjectFile());
        SetTreeActive(true);
        SelectNode(kMeasurementNode);
        DockForm(manager_, DataSheet);
        FDocked = manager_;
        if (manager_)
            manager_->LoadPoints(core_->ProjectFile(), points);
        TreeView1->expandAll();
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
        return false;
    }
    return true;
}

void TMainForm::LoadMeasurementFile(const QString& fileName)
{
    FCursors->SetVisible(false);
    ForgetShownCurve();
    try {
        core_->LoadMeasurementFile(PathBytes(fileName)); // MeasurementLoaded shows it
    } catch (const std::exception& e) {
        ForgetShownCurve();
        setWindowTitle(kTitle);
        ShowError(Text("Die Messung %1 kann nicht geladen werden:\n%2").arg(QDir::toNativeSeparators(fileName), FromAnsi(e.what())));
    }
}

// After every load, also the loads of a request over all measurements.
void TMainForm::MeasurementLoaded()
{
    FCursors->SetVisible(false);
    ForgetShownCurve();
    const TCalcData& data = *core_->CalcData();
    const CropSettings crop = ReadCropSettings(core_->ProjectFile(), data.FileName);
    EMessS->setText(QString::number(crop.schroederStart));
    eMessA->setText(QString::number(crop.start));
    eMessE->setText(QString::number(data.Count));

    // Nothing of the previous measurement stays in the readouts.
    for (QLabel* readout : {lPos, lFreeCursorPos, LAb12, LAb13, LAb23})
        readout->clear();
    for (QLineEdit* position : {eC1, eC2, eC3})
        position->clear();

    const FormatSettings format = core_->Format();
    const double interval = data.SampleInterval; // positive, or the load had failed
    LDataCount->setText(QString::number(data.Count));
    LAbtast->setText(FromAnsi(UserFixedText(interval, 4, format)));
    LKHz->setText(FromAnsi(UserFixedText(1.0 / interval, 2, format)));
    LComment->setText(FromAnsi(data.Comment));
    setWindowTitle(kTitle + ' ' + PathText(data.FileName));
}

// The chart keeps nothing of a calculator that may be gone.
void TMainForm::ForgetShownCurve()
{
    Chart1->RemoveAllSeries();
    FShownSeries = nullptr;
    FDragCursor = -1;
}

void TMainForm::ReleaseMeasurement()
{
    ForgetShownCurve();
    core_->ReleaseMeasurement();
}

void TMainForm::ShowCalculator(int index)
{
    if (!core_->HasMeasurement())
        return;
    FShownSeries = nullptr;
    try {
        if (FRamSave && index != FCurrent && FCurrent != 0)
            core_->Calcer(FCurrent)->Reset();
        FCurrent = index;
        FShownSeries = core_->Calcer(index)->Draw(FView, *Chart1, *FCursors);
        if (FShownSeries) {
            Chart1->SetSeriesName(*FShownSeries, FViewItem->text());
            Chart1->SetSeriesName(core_->Calcer(index)->SchroederSeries, Text("Schroederplot"));
        }
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
        return;
    }
    const bool band = index != 0;
    FCursors->SetVisible(band);
    cCursor->setChecked(band);
    cCursor->setEnabled(band);
    for (int tab = 1; tab < ParamPages->count(); ++tab)
        ParamPages->setTabVisible(tab, band);
    UpdateEnergyPanel();
    SelectRTKind(PressedRTKind());
}

void TMainForm::CalcAllBands(bool withProgress)
{
    ProgressWindowSink progress(this);
    try {
        core_->CalcAllBands(withProgress ? &progress : nullptr);
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
}

bool TMainForm::event(QEvent* event)
{
    const int type = static_cast<int>(event->type());
    if (type != WM_RESULTS_CURRENT && type != WM_RESULTS_ALL)
        return QMainWindow::event(event);
    TResultsRequest fallback(type);
    auto* request = dynamic_cast<TResultsRequest*>(event);
    HandleResultsRequest(request ? *request : fallback);
    return true;
}

void TMainForm::HandleResultsRequest(TResultsRequest& request)
{
    std::optional<QString> error;
    {
        ProgressWindowSink progress(this);
        WaitCursor hourglass;
        try {
            core_->HandleMessage(request.Message(), &progress);
            request.Completed = true;
        } catch (const std::exception& e) {
            error = FromAnsi(e.what());
        }
    }
    if (!core_->HasMeasurement()) // the reload after a request over all measurements failed
        ForgetShownCurve();
    if (error)
        ShowError(*error);
}

void TMainForm::ShowError(const QString& message)
{
    Dialogs.ShowError(message);
}

// ---- Commands ------------------------------------------------------------------------

void TMainForm::Load1Click()
{
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    OpenChosenFile(OpenDialog1->selectedFiles().constFirst());
}

void TMainForm::OpenChosenFile(const QString& fileName)
{
    // A measurement file is opened only when it loads; a project also when one of its measurements does not.
    const bool opened = OpenProject(fileName) && (core_->HasMeasurement() || IsProjectFile(fileName));
    try {
        if (opened)
            settings_.AddRecentFile(PathBytes(fileName));
        else
            settings_.RemoveRecentFile(PathBytes(fileName));
    } catch (const std::exception& e) {
        ShowError(FromAnsi(e.what()));
    }
    ShowRecentFiles();
}

void TMainForm::ShowRecentFiles()
{
    for (QAction* action : RecentActions)
        delete action;
    RecentActions.clear();
    QMenu* file = qobject_cast<QMenu*>(Exit1->parent());
    const std::vector<std::string> files = settings_.RecentFiles();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString path = PathText(files[i]);
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), file);
        action->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
        connect(action, &QAction::triggered, this, [this, path] { OpenChosenFile(path); });
        file->insertAction(RecentSeparator, action);
        RecentActions.push_back(action);
    }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    OpenChosenFile(urls.constFirst().toLocalFile());
}

void TMainForm::RepresentationClick(QAction* entry)
{
    FViewItem = entry;
    FView = entry->data().toInt();
    ShowCalculator(FCurrent);
    UpdateCursorReadouts();
}

void TMainForm::cGridClick()
{
    Chart1->SetGridVisible(cGrid->isChecked());
}

void TMainForm::cCursorClick()
{
    FCursors->SetVisible(cCursor->isChecked());
}

void TMainForm::Firmendaten1Click()
{
    TCompanyDataDlg dialog(settings_, this);
    // The reports of an evaluation window on show print the new data at once.
    if (dialog.exec() == QDialog::Accepted)
        if (auto* evaluation = qobject_cast<TNachhallDiaDlg*>(FEvalDlg.get()))
            evaluation->BindCompanyData();
}

void TMainForm::HauptspeichersparModus1Click()
{
    FRamSave = HauptspeichersparModus1->isChecked();
}

void TMainForm::Info1Click()
{
    QMessageBox::about(this, Text("Info"),
                       Text("<b>DAZO Rudozudoveva</b><p>Auswertung raumakustischer Messungen:<br>"
                            "Impulsantworten in sechs Darstellungen, Nachhallzeiten EDT, RT 20, RT 30 und RTxx,<br>"
                            "Energie-Zeit-Maße C 35, C 50, C 80, Cxx, D50, D80 und Schwerpunktzeit Ts<br>"
                            "nach DIN EN ISO 3382, ungefiltert und in Oktavbändern von 31,5 Hz bis 8000 Hz.</p>"
                            "<p>Lizenz: GNU General Public License, Version 3 oder neuer.</p>"));
}

} // namespace dazo::ui
