// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/engine/DesignCanvas.h"

#include "bridge/AnsiText.h"
#include "reports/engine/Report.h"
#include "reports/engine/ReportPainter.h"

#include <QDate>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace dazo::ui {
namespace {

constexpr double kMargin = 16;     // px around the page
constexpr double kStrip = 18;      // px of a band's name strip
constexpr double kMinimumBand = 6; // px of an empty band, so it can be clicked
constexpr double kHandle = 6;      // px of the resize handle
constexpr double kMmPerInch = 25.4;

constexpr BandKind kBandOrder[] = {BandKind::PageBackground, BandKind::Title, BandKind::PageHeader, BandKind::Detail,
                                   BandKind::PageFooter};

double Rounded(double mm)
{
    return std::round(mm * 10) / 10;
}

} // namespace

QString BandCaption(BandKind kind)
{
    switch (kind) {
    case BandKind::PageBackground: return QStringLiteral("Seitenhintergrund");
    case BandKind::Title: return QStringLiteral("Titel (erste Seite)");
    case BandKind::PageHeader: return QStringLiteral("Seitenkopf");
    case BandKind::Detail: return QStringLiteral("Detail (je Datensatz)");
    case BandKind::PageFooter: return QStringLiteral("Seitenfuß");
    }
    return {};
}

QString ElementKindCaption(ElementKind kind)
{
    switch (kind) {
    case ElementKind::Label: return QStringLiteral("Beschriftung");
    case ElementKind::Memo: return QStringLiteral("Memo");
    case ElementKind::RichText: return QStringLiteral("Formatierter Text");
    case ElementKind::DataText: return QStringLiteral("Datenfeld");
    case ElementKind::SystemVariable: return QStringLiteral("Systemvariable");
    case ElementKind::Variable: return QStringLiteral("Variable");
    case ElementKind::Line: return QStringLiteral("Linie");
    case ElementKind::Rectangle: return QStringLiteral("Rechteck");
    case ElementKind::Image: return QStringLiteral("Bild");
    }
    return {};
}

DesignCanvas::DesignCanvas(ReportLayout& layout, const Report& report, QWidget* parent)
    : QWidget(parent)
    , layout_(layout)
    , report_(report)
    , text_(std::make_unique<ReportTextEngine>())
    , scale_(logicalDpiX() / kMmPerInch)
{
    setObjectName(QStringLiteral("DesignCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(160, 160, 160));
    setPalette(background);
    Relayout();
}

DesignCanvas::~DesignCanvas() = default;

double DesignCanvas::BandHeight(BandKind band) const
{
    return band == BandKind::PageBackground ? layout_.Page.PrintableHeight() : layout_.Band(band).Height;
}

double DesignCanvas::BandTop(BandKind band) const
{
    double y = kMargin;
    for (const BandKind kind : kBandOrder) {
        y += kStrip;
        if (kind == band)
            return y;
        y += std::max(kMinimumBand, BandHeight(kind) * scale_);
    }
    return y;
}

QPointF DesignCanvas::ToWidget(BandKind band, double left, double top) const
{
    return {kMargin + left * scale_, BandTop(band) + top * scale_};
}

std::optional<std::pair<BandKind, QPointF>> DesignCanvas::BandAt(const QPointF& position) const
{
    for (const BandKind kind : kBandOrder) {
        const double top = BandTop(kind);
        const double height = std::max(kMinimumBand, BandHeight(kind) * scale_);
        if (position.y() >= top && position.y() < top + height)
            return std::make_pair(kind, QPointF((position.x() - kMargin) / scale_, (position.y() - top) / scale_));
    }
    return std::nullopt;
}

void DesignCanvas::Relayout()
{
    const QSize size = sizeHint();
    setMinimumSize(size);
    resize(size);
    update();
}

QSize DesignCanvas::sizeHint() const
{
    const double width = 2 * kMargin + layout_.Page.PrintableWidth() * scale_;
    const double height = BandTop(BandKind::PageFooter) + std::max(kMinimumBand, BandHeight(BandKind::PageFooter) * scale_)
                        + kMargin;
    return QSize(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
}

void DesignCanvas::Select(const DesignSelection& selection)
{
    const int count = static_cast<int>(layout_.Band(selection.Band).Elements.size());
    selection_ = selection;
    if (selection_.Element >= count)
        selection_.Element = -1;
    update();
    emit selectionChanged();
}

ReportElement* DesignCanvas::SelectedElement()
{
    auto& elements = layout_.Band(selection_.Band).Elements;
    return selection_.Element >= 0 && selection_.Element < static_cast<int>(elements.size())
             ? &elements[static_cast<std::size_t>(selection_.Element)]
             : nullptr;
}

std::string DesignCanvas::DesignText(const ReportElement& element) const
{
    switch (element.Kind) {
    case ElementKind::DataText: return "[" + element.Field + "]";
    case ElementKind::Variable: {
        const auto& variables = report_.Variables();
        const auto found = variables.find(element.Name);
        PlacedElement placed{&element, 0, 0, 0, 0, 0, {}};
        return found == variables.end() ? "[" + element.Name + "]"
                                        : PrintedText(placed, {1, 1, {}, &variables, report_.Numbers});
    }
    case ElementKind::SystemVariable: {
        PlacedElement placed{&element, 0, 0, 0, 0, 0, {}};
        return PrintedText(placed, {1, 1, ToAnsi(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))), nullptr, {}});
    }
    case ElementKind::Memo:
    case ElementKind::RichText: return element.Text.empty() ? "[" + element.Name + "]" : element.Text;
    default: return element.Text;
    }
}

void DesignCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double width = layout_.Page.PrintableWidth() * scale_;
    for (const BandKind kind : kBandOrder) {
        const double top = BandTop(kind);
        const double height = std::max(kMinimumBand, BandHeight(kind) * scale_);
        const QRectF strip(kMargin, top - kStrip, width, kStrip);
        const bool bandSelected = selection_.Band == kind && selection_.Element < 0;
        painter.fillRect(strip, bandSelected ? QColor(70, 110, 170) : QColor(90, 90, 90));
        painter.setPen(Qt::white);
        painter.drawText(strip.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, BandCaption(kind));
        painter.fillRect(QRectF(kMargin, top, width, height), Qt::white);

        const auto& elements = layout_.Band(kind).Elements;
        for (std::size_t i = 0; i < elements.size(); ++i) {
            const ReportElement& element = elements[i];
            const QRectF frame(ToWidget(kind, element.Left, element.Top), QSizeF(element.Width * scale_, element.Height * scale_));
            painter.save();
            painter.setClipRect(QRectF(kMargin, top, width, height));
            painter.translate(ToWidget(kind, 0, 0));
            painter.scale(scale_ / MmToUnits(1), scale_ / MmToUnits(1));
            const PlacedElement placed{&element, element.Left, element.Top, element.Width, element.Height, 0, {}};
            const ReportPicture* picture = element.Kind == ElementKind::Image ? report_.Picture(element) : nullptr;
            const std::string text = DesignText(element);
            DrawElement(painter, placed, text, *text_, picture); // hidden ones too, struck through below
            painter.restore();

            const bool selected = selection_.Band == kind && selection_.Element == static_cast<int>(i);
            painter.setBrush(Qt::NoBrush);
            if (element.Kind == ElementKind::Image && !picture) {
                painter.setPen(QPen(QColor(150, 150, 150), 1));
                painter.drawLine(frame.topLeft(), frame.bottomRight());
                painter.drawLine(frame.topRight(), frame.bottomLeft());
                painter.drawText(frame, Qt::AlignCenter, FromAnsi(element.Name));
            }
            painter.setPen(QPen(selected ? QColor(0, 90, 220) : QColor(190, 190, 190), 1,
                                selected ? Qt::SolidLine : Qt::DotLine));
            painter.drawRect(frame);
            if (!element.Visible) {
                painter.setPen(QPen(QColor(200, 60, 60), 1, Qt::DashLine));
                painter.drawLine(frame.topLeft(), frame.bottomRight());
            }
            if (selected)
                painter.fillRect(QRectF(frame.bottomRight() - QPointF(kHandle, kHandle), QSizeF(kHandle, kHandle)),
                                 QColor(0, 90, 220));
        }
    }
}

void DesignCanvas::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    drag_ = Drag::None;
    const auto hit = BandAt(event->position());
    if (!hit || event->button() != Qt::LeftButton)
        return;
    const auto& [band, point] = *hit;
    const auto& elements = layout_.Band(band).Elements;
    const double tolerance = 2 / scale_; // two pixels around thin frames
    const auto contains = [&](int i) {
        const ReportElement& e = elements[static_cast<std::size_t>(i)];
        return point.x() >= e.Left - tolerance && point.x() <= e.Left + e.Width + tolerance && point.y() >= e.Top - tolerance
            && point.y() <= e.Bottom() + tolerance;
    };
    // The selected element first, so that its handle is reachable where others
    // lie on top of it; then the topmost.
    std::optional<int> found;
    if (selection_.Band == band && selection_.Element >= 0 && contains(selection_.Element))
        found = selection_.Element;
    for (int i = static_cast<int>(elements.size()) - 1; i >= 0 && !found; --i)
        if (contains(i))
            found = i;
    if (found) {
        const int i = *found;
        const ReportElement& e = elements[static_cast<std::size_t>(i)];
        if (selection_ != DesignSelection{band, i})
            Select({band, i});
        const QPointF corner = ToWidget(band, e.Left + e.Width, e.Bottom());
        const QPointF fromCorner = corner - event->position();
        drag_ = fromCorner.x() >= -2 && fromCorner.x() <= kHandle + 2 && fromCorner.y() >= -2 && fromCorner.y() <= kHandle + 2
                  ? Drag::Resize
                  : Drag::Move;
        dragStart_ = event->position();
        before_ = e;
        return;
    }
    Select({band, -1});
}

void DesignCanvas::mouseMoveEvent(QMouseEvent* event)
{
    ReportElement* element = SelectedElement();
    if (drag_ == Drag::None || !element)
        return;
    const QPointF delta = (event->position() - dragStart_) / scale_;
    if (drag_ == Drag::Move) {
        element->Left = Rounded(before_.Left + delta.x());
        element->Top = Rounded(std::max(0.0, before_.Top + delta.y()));
    } else {
        element->Width = Rounded(std::max(1.0, before_.Width + delta.x()));
        element->Height = Rounded(std::max(0.0, before_.Height + delta.y()));
    }
    update();
}

void DesignCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ != Drag::None && SelectedElement() && !(*SelectedElement() == before_)) {
        mouseMoveEvent(event);
        emit elementChanged();
    }
    drag_ = Drag::None;
}

void DesignCanvas::Nudge(double dx, double dy)
{
    ReportElement* element = SelectedElement();
    if (!element)
        return;
    element->Left = Rounded(element->Left + dx);
    element->Top = Rounded(std::max(0.0, element->Top + dy));
    update();
    emit elementChanged();
}

void DesignCanvas::keyPressEvent(QKeyEvent* event)
{
    const double step = event->modifiers() & Qt::ShiftModifier ? 5 : 0.5;
    switch (event->key()) {
    case Qt::Key_Left: Nudge(-step, 0); break;
    case Qt::Key_Right: Nudge(step, 0); break;
    case Qt::Key_Up: Nudge(0, -step); break;
    case Qt::Key_Down: Nudge(0, step); break;
    default: QWidget::keyPressEvent(event);
    }
}

} // namespace dazo::ui
