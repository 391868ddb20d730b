// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Metafile.h"

#include "app/MetafileRecorder.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace dazo::ui {
namespace {

constexpr double kDotsPerInch = 96;

QRgb ColorOf(const QBrush& brush)
{
    const QGradient* gradient = brush.gradient();
    if (gradient && !gradient->stops().isEmpty())
        return gradient->stops().front().second.rgba();
    return brush.color().rgba();
}

MetafilePen::Style StyleOf(Qt::PenStyle style)
{
    switch (style) {
    case Qt::NoPen: return MetafilePen::Style::Null;
    case Qt::DotLine: return MetafilePen::Style::Dot;
    case Qt::DashDotLine: return MetafilePen::Style::DashDot;
    case Qt::DashDotDotLine: return MetafilePen::Style::DashDotDot;
    case Qt::DashLine:
    case Qt::CustomDashLine: return MetafilePen::Style::Dash;
    default: return MetafilePen::Style::Solid;
    }
}

double LengthOf(double x, double y)
{
    return std::hypot(x, y);
}

// How much the transform stretches lengths on average, for pen widths.
double AreaScale(const QTransform& t)
{
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

} // namespace

class MetafilePaintEngine final : public QPaintEngine {
public:
    MetafilePaintEngine(MetafileDevice::Format format, const QSize& size)
        : QPaintEngine(AllFeatures)
        , format_(format)
        , size_(size)
        , recorder_(MakeRecorder())
    {
    }

    bool begin(QPaintDevice*) override
    {
        recorder_ = MakeRecorder();
        pen_ = QPen();
        brush_ = QBrush();
        transform_ = QTransform();
        clip_.reset();
        clipEnabled_ = false;
        return true;
    }

    // A clip still in force is closed, so every saved context is restored.
    bool end() override
    {
        recorder_->SetClip(std::nullopt);
        return true;
    }

    Type type() const override { return User; }

    QByteArray Bytes() const { return recorder_->FileBytes(); }

    void updateState(const QPaintEngineState& state) override
    {
        const DirtyFlags flags = state.state();
        if (flags & DirtyPen)
            pen_ = state.pen();
        if (flags & DirtyBrush)
            brush_ = state.brush();
        // A clip comes in the coordinates of the transform set with it, so the
        // transform is taken first.
        if (flags & DirtyTransform)
            transform_ = state.transform();
        if (flags & DirtyClipEnabled)
            clipEnabled_ = state.isClipEnabled();
        if (flags & DirtyClipPath)
            ApplyClip(state.clipOperation(), transform_.map(state.clipPath()).boundingRect());
        if (flags & DirtyClipRegion)
            ApplyClip(state.clipOperation(), transform_.map(state.clipRegion()).boundingRect());
    }

    using QPaintEngine::drawLines;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;

    void drawLines(const QLineF* lines, int lineCount) override
    {
        const MetafilePen pen = Pen();
        for (int i = 0; i < lineCount; ++i)
            Recorder().DrawPolyline(QPolygonF {transform_.map(lines[i].p1()), transform_.map(lines[i].p2())}, pen);
    }

    void drawRects(const QRectF* rects, int rectCount) override
    {
        const MetafilePen pen = Pen();
        const MetafileBrush brush = Brush();
        const bool axisAligned = transform_.type() <= QTransform::TxScale;
        for (int i = 0; i < rectCount; ++i) {
            if (axisAligned)
                Recorder().DrawRectangle(transform_.mapRect(rects[i]), pen, brush);
            else
                Recorder().DrawPolygon(transform_.map(QPolygonF(rects[i])), pen, brush, Qt::OddEvenFill);
        }
    }

    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) override
    {
        QPolygonF polygon(pointCount);
        for (int i = 0; i < pointCount; ++i)
            polygon[i] = transform_.map(points[i]);
        if (mode == PolylineMode)
            Recorder().DrawPolyline(polygon, Pen());
        else
            Recorder().DrawPolygon(polygon, Pen(), Brush(), mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    }

    void drawPath(const QPainterPath& path) override
    {
        const MetafilePen pen = Pen();
        const MetafileBrush brush = Brush();
        const QList<QPolygonF> outlines = path.toSubpathPolygons(transform_);
        if (outlines.size() == 1 && outlines.front().isClosed()) {
            Recorder().DrawPolygon(outlines.front(), pen, brush, path.fillRule());
            return;
        }
        if (!brush.hollow)
            for (const QPolygonF& area : path.toFillPolygons(transform_))
                Recorder().DrawPolygon(area, MetafilePen {}, brush, path.fillRule());
        for (const QPolygonF& outline : outlines)
            Recorder().DrawPolyline(outline, pen);
    }

    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override
    {
        drawImage(target, pixmap.toImage(), source, Qt::AutoColor);
    }

    void drawImage(const QRectF& target, const QImage& image, const QRectF& source, Qt::ImageConversionFlags) override
    {
        const QRect part = source.toAlignedRect() & image.rect();
        // A rotated image keeps its place and size but stands upright.
        Recorder().DrawImage(transform_.mapRect(target), part == image.rect() ? image : image.copy(part));
    }

    void drawTextItem(const QPointF& origin, const QTextItem& item) override
    {
        const QString text = item.text();
        if (text.isEmpty())
            return;
        const double alongScale = LengthOf(transform_.m11(), transform_.m12());
        const double acrossScale = LengthOf(transform_.m21(), transform_.m22());
        const QFont font = item.font();
        MetafileFont fontRecord;
        fontRecord.family = font.family();
        fontRecord.height = (font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * kDotsPerInch / 72) * acrossScale;
        fontRecord.weight = font.weight();
        fontRecord.italic = font.italic();
        fontRecord.escapement = Escapement();
        const QRectF extent(origin.x(), origin.y() - item.ascent(), item.width(), item.ascent() + item.descent());
        Recorder().DrawText(transform_.map(origin), text, Advances(font, text, alongScale), fontRecord, ColorOf(pen_.brush()),
            transform_.mapRect(extent));
    }

private:
    std::unique_ptr<MetafileRecorder> MakeRecorder() const
    {
        return format_ == MetafileDevice::Format::Emf ? MakeEmfRecorder(size_) : MakeWmfRecorder(size_);
    }

    // The recorder with the current clip in force.
    MetafileRecorder& Recorder()
    {
        recorder_->SetClip(clipEnabled_ ? clip_ : std::nullopt);
        return *recorder_;
    }

    void ApplyClip(Qt::ClipOperation operation, const QRectF& area)
    {
        switch (operation) {
        case Qt::NoClip: clip_.reset(); break;
        case Qt::ReplaceClip: clip_ = area; break;
        case Qt::IntersectClip: clip_ = clip_ ? clip_->intersected(area) : area; break;
        }
    }

    MetafilePen Pen() const
    {
        MetafilePen pen;
        const QRgb color = ColorOf(pen_.brush());
        if (pen_.style() == Qt::NoPen || qAlpha(color) == 0)
            return pen;
        pen.style = StyleOf(pen_.style());
        pen.color = color;
        pen.width = pen_.isCosmetic() ? std::max(pen_.widthF(), 1.0) : pen_.widthF() * AreaScale(transform_);
        pen.cap = pen_.capStyle();
        pen.join = pen_.joinStyle();
        return pen;
    }

    MetafileBrush Brush() const
    {
        const QRgb color = ColorOf(brush_);
        if (brush_.style() == Qt::NoBrush || qAlpha(color) == 0)
            return {};
        return {false, color};
    }

    // Direction of the baseline on screen, in tenths of a degree counter-clockwise.
    int Escapement() const
    {
        const double degrees = std::atan2(-transform_.m12(), transform_.m11()) * 180 / std::numbers::pi;
        const int tenths = static_cast<int>(std::lround(degrees * 10));
        return (tenths + 3600) % 3600;
    }

    // Advance of each UTF-16 unit along the baseline in device pixels, taken at
    // character boundaries so kerning stays where Qt put it.
    std::vector<double> Advances(const QFont& font, const QString& text, double scale) const
    {
        const QFontMetricsF metrics(font, paintDevice());
        std::vector<double> advances(static_cast<std::size_t>(text.size()), 0.0);
        double previous = 0;
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype end
                = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? i + 2 : i + 1;
            const double position = metrics.horizontalAdvance(text.left(end));
            advances[static_cast<std::size_t>(i)] = (position - previous) * scale;
            previous = position;
            i = end;
        }
        return advances;
    }

    MetafileDevice::Format format_;
    QSize size_;
    std::unique_ptr<MetafileRecorder> recorder_;
    QPen pen_;
    QBrush brush_;
    QTransform transform_;
    std::optional<QRectF> clip_; // device pixels
    bool clipEnabled_ = false;
};

MetafileDevice::MetafileDevice(Format format, const QSize& size)
    : size_(size.expandedTo(QSize(1, 1)))
    , engine_(std::make_unique<MetafilePaintEngine>(format, size_))
{
}

MetafileDevice::~MetafileDevice() = default;

QPaintEngine* MetafileDevice::paintEngine() const
{
    return engine_.get();
}

QByteArray MetafileDevice::Bytes() const
{
    return engine_->Bytes();
}

int MetafileDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return size_.width();
    case PdmHeight: return size_.height();
    case PdmWidthMM: return static_cast<int>(std::lround(size_.width() * 25.4 / kDotsPerInch));
    case PdmHeightMM: return static_cast<int>(std::lround(size_.height() * 25.4 / kDotsPerInch));
    case PdmNumColors: return std::numeric_limits<int>::max();
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return static_cast<int>(kDotsPerInch);
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return QPaintDevice::metric(metric);
    }
}

} // namespace dazo::ui
