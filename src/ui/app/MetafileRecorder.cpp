// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MetafileRecorder.h"

#include <QPainter>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace dazo::ui {
namespace {

int RoundToInt(double v)
{
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::lround(std::clamp(v, lo, hi)));
}

QRect InclusiveRect(const MetafileBox& box)
{
    QRect r;
    r.setCoords(std::min(box.left, box.right), std::min(box.top, box.bottom), std::max(box.left, box.right),
        std::max(box.top, box.bottom));
    return r;
}

} // namespace

LittleEndianBytes& LittleEndianBytes::U8(std::uint8_t v)
{
    bytes_.append(static_cast<char>(v));
    return *this;
}

LittleEndianBytes& LittleEndianBytes::U16(std::uint16_t v)
{
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    bytes_.append(b, 2);
    return *this;
}

LittleEndianBytes& LittleEndianBytes::I16(std::int16_t v)
{
    return U16(static_cast<std::uint16_t>(v));
}

LittleEndianBytes& LittleEndianBytes::U32(std::uint32_t v)
{
    const char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
        static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
    bytes_.append(b, 4);
    return *this;
}

LittleEndianBytes& LittleEndianBytes::I32(std::int32_t v)
{
    return U32(static_cast<std::uint32_t>(v));
}

LittleEndianBytes& LittleEndianBytes::F32(float v)
{
    return U32(std::bit_cast<std::uint32_t>(v));
}

LittleEndianBytes& LittleEndianBytes::Append(const QByteArray& bytes)
{
    bytes_.append(bytes);
    return *this;
}

LittleEndianBytes& LittleEndianBytes::PadTo(int multiple)
{
    while (bytes_.size() % multiple != 0)
        bytes_.append('\0');
    return *this;
}

void LittleEndianBytes::PutU32At(int offset, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes_[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

MetafileRecorder::MetafileRecorder(const QSize& pixels, int unitsPerPixel, int firstHandle)
    : pixels_(pixels)
    , unitsPerPixel_(unitsPerPixel)
    , firstHandle_(firstHandle)
    , handleUsed_(static_cast<std::size_t>(firstHandle), true)
{
}

QPoint MetafileRecorder::ToLogical(const QPointF& devicePoint) const
{
    return {RoundToInt(devicePoint.x() * unitsPerPixel_), RoundToInt(devicePoint.y() * unitsPerPixel_)};
}

QPolygon MetafileRecorder::ToLogical(const QPolygonF& devicePoints) const
{
    QPolygon logical;
    logical.reserve(devicePoints.size());
    for (const QPointF& p : devicePoints)
        logical.append(ToLogical(p));
    return logical;
}

MetafileBox MetafileRecorder::ToLogical(const QRectF& deviceRect) const
{
    const QRectF r = deviceRect.normalized();
    const QPoint topLeft = ToLogical(r.topLeft());
    const QPoint bottomRight = ToLogical(r.bottomRight());
    return {topLeft.x(), topLeft.y(), bottomRight.x(), bottomRight.y()};
}

QRect MetafileRecorder::DrawnBounds() const
{
    const QRect picture(0, 0, pixels_.width() * unitsPerPixel_, pixels_.height() * unitsPerPixel_);
    return drawn_ & picture;
}

void MetafileRecorder::Include(const QRect& logicalArea, double penWidth)
{
    const int margin = static_cast<int>(std::ceil(penWidth * unitsPerPixel_ / 2));
    QRect area = logicalArea.adjusted(-margin, -margin, margin, margin);
    if (clip_) {
        if (clip_->right <= clip_->left || clip_->bottom <= clip_->top)
            return;
        area &= QRect(QPoint(clip_->left, clip_->top), QPoint(clip_->right - 1, clip_->bottom - 1));
    }
    drawn_ |= area;
}

void MetafileRecorder::AppendRecord(const QByteArray& record)
{
    records_.append(record);
    ++recordCount_;
    largestRecord_ = std::max(largestRecord_, static_cast<int>(record.size()));
}

std::uint32_t MetafileRecorder::ColorRef(QRgb color)
{
    return static_cast<std::uint32_t>(qRed(color)) | static_cast<std::uint32_t>(qGreen(color)) << 8
        | static_cast<std::uint32_t>(qBlue(color)) << 16;
}

std::uint32_t MetafileRecorder::PenStyleBits(const MetafilePen& pen)
{
    using Style = MetafilePen::Style;
    constexpr std::uint32_t kNull = 5, kEndCapSquare = 0x0100, kEndCapFlat = 0x0200, kJoinBevel = 0x1000,
                            kJoinMiter = 0x2000;
    if (pen.style == Style::Null)
        return kNull;
    std::uint32_t bits = 0;
    switch (pen.style) {
    case Style::Dash: bits = 1; break;
    case Style::Dot: bits = 2; break;
    case Style::DashDot: bits = 3; break;
    case Style::DashDotDot: bits = 4; break;
    default: break;
    }
    if (pen.cap == Qt::SquareCap)
        bits |= kEndCapSquare;
    else if (pen.cap == Qt::FlatCap)
        bits |= kEndCapFlat;
    if (pen.join == Qt::BevelJoin)
        bits |= kJoinBevel;
    else if (pen.join == Qt::MiterJoin || pen.join == Qt::SvgMiterJoin)
        bits |= kJoinMiter;
    return bits;
}

QByteArray MetafileRecorder::DeviceIndependentBitmap(const QImage& rgb)
{
    const int width = rgb.width();
    const int height = rgb.height();
    const int stride = (width * 3 + 3) & ~3;
    constexpr std::int32_t kPixelsPerMetre = 3780; // 96 dpi
    LittleEndianBytes dib;
    dib.U32(40).I32(width).I32(height).U16(1).U16(24).U32(0).U32(static_cast<std::uint32_t>(stride * height));
    dib.I32(kPixelsPerMetre).I32(kPixelsPerMetre).U32(0).U32(0);
    QByteArray bits(static_cast<qsizetype>(stride) * height, '\0');
    for (int row = 0; row < height; ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(height - 1 - row));
        char* out = bits.data() + static_cast<qsizetype>(row) * stride;
        for (int x = 0; x < width; ++x) {
            out[3 * x] = static_cast<char>(qBlue(line[x]));
            out[3 * x + 1] = static_cast<char>(qGreen(line[x]));
            out[3 * x + 2] = static_cast<char>(qRed(line[x]));
        }
    }
    return dib.Append(bits).Bytes();
}

void MetafileRecorder::SetClip(const std::optional<QRectF>& area)
{
    std::optional<MetafileBox> logical;
    if (area)
        logical = ToLogical(*area);
    if (logical == clip_)
        return;
    if (clip_) {
        WriteRestoreDc();
        const DcState dropped = dc_;
        dc_ = *savedDc_;
        savedDc_.reset();
        ReleaseIfUnused(dropped.pen);
        ReleaseIfUnused(dropped.brush);
        ReleaseIfUnused(dropped.font);
    }
    if (logical) {
        WriteSaveDc();
        savedDc_ = dc_;
        WriteIntersectClip(*logical);
    }
    clip_ = logical;
}

void MetafileRecorder::DrawPolyline(const QPolygonF& points, const MetafilePen& pen)
{
    if (points.size() < 2 || pen.style == MetafilePen::Style::Null)
        return;
    UsePen(pen);
    const QPolygon logical = ToLogical(points);
    Include(logical.boundingRect(), pen.width);
    // Long lines go out in pieces that share their joining point.
    const int step = MaxPointsPerRecord() - 1;
    for (qsizetype start = 0; start + 1 < logical.size(); start += step)
        WritePolyline(QPolygon(logical.mid(start, step + 1)));
}

void MetafileRecorder::DrawPolygon(
    const QPolygonF& points, const MetafilePen& pen, const MetafileBrush& brush, Qt::FillRule rule)
{
    if (points.size() < 2 || (pen.style == MetafilePen::Style::Null && brush.hollow))
        return;
    UsePen(pen);
    UseBrush(brush);
    if (dc_.fillRule != rule) {
        WriteFillRule(rule);
        dc_.fillRule = rule;
    }
    QPolygon logical = ToLogical(points);
    Include(logical.boundingRect(), pen.width);
    // A fill cannot be split; an outline too long for one record keeps every n-th point.
    if (logical.size() > MaxPointsPerRecord()) {
        const qsizetype every = (logical.size() + MaxPointsPerRecord() - 1) / MaxPointsPerRecord();
        QPolygon thinned;
        for (qsizetype i = 0; i < logical.size(); i += every)
            thinned.append(logical[i]);
        logical = thinned;
    }
    WritePolygon(logical);
}

void MetafileRecorder::DrawRectangle(const QRectF& rect, const MetafilePen& pen, const MetafileBrush& brush)
{
    if (pen.style == MetafilePen::Style::Null && brush.hollow)
        return;
    UsePen(pen);
    UseBrush(brush);
    const MetafileBox box = ToLogical(rect);
    Include(InclusiveRect(box), pen.width);
    WriteRectangle(box);
}

void MetafileRecorder::DrawText(const QPointF& baselineStart, const QString& text, const std::vector<double>& advances,
    const MetafileFont& font, QRgb color, const QRectF& extent)
{
    if (text.isEmpty())
        return;
    UseFont(font);
    if (dc_.textColor != color) {
        WriteTextColor(color);
        dc_.textColor = color;
    }
    // Rounded at the running position, so the last character ends where Qt ends it.
    std::vector<int> dx;
    dx.reserve(advances.size());
    double position = 0;
    for (double advance : advances) {
        const double next = position + advance;
        dx.push_back(RoundToInt(next * unitsPerPixel_) - RoundToInt(position * unitsPerPixel_));
        position = next;
    }
    Include(InclusiveRect(ToLogical(extent)));
    WriteText(ToLogical(baselineStart), text, dx);
}

void MetafileRecorder::DrawImage(const QRectF& target, const QImage& image)
{
    if (image.isNull() || target.isEmpty())
        return;
    // Metafile bitmaps carry no alpha: transparent parts show white.
    QImage rgb(image.size(), QImage::Format_RGB32);
    rgb.fill(Qt::white);
    QPainter onWhite(&rgb);
    onWhite.drawImage(0, 0, image);
    onWhite.end();
    const MetafileBox box = ToLogical(target);
    Include(InclusiveRect(box));
    WriteImage(box, rgb);
}

void MetafileRecorder::UsePen(const MetafilePen& pen)
{
    if (dc_.pen >= 0 && dc_.penSpec == pen)
        return;
    const int handle = AllocateHandle();
    WriteCreatePen(handle, pen);
    dc_.penSpec = pen;
    Replace(dc_.pen, handle);
}

void MetafileRecorder::UseBrush(const MetafileBrush& brush)
{
    if (dc_.brush >= 0 && dc_.brushSpec == brush)
        return;
    const int handle = AllocateHandle();
    WriteCreateBrush(handle, brush);
    dc_.brushSpec = brush;
    Replace(dc_.brush, handle);
}

void MetafileRecorder::UseFont(const MetafileFont& font)
{
    if (dc_.font >= 0 && dc_.fontSpec == font)
        return;
    const int handle = AllocateHandle();
    WriteCreateFont(handle, font);
    dc_.fontSpec = font;
    Replace(dc_.font, handle);
}

void MetafileRecorder::Replace(int& slot, int created)
{
    WriteSelectObject(created);
    const int previous = slot;
    slot = created;
    ReleaseIfUnused(previous);
}

int MetafileRecorder::AllocateHandle()
{
    const auto free = std::find(handleUsed_.begin() + firstHandle_, handleUsed_.end(), false);
    if (free != handleUsed_.end()) {
        *free = true;
        return static_cast<int>(free - handleUsed_.begin());
    }
    handleUsed_.push_back(true);
    return static_cast<int>(handleUsed_.size()) - 1;
}

bool MetafileRecorder::IsReferenced(int handle) const
{
    const auto refers = [handle](const DcState& s) { return s.pen == handle || s.brush == handle || s.font == handle; };
    return refers(dc_) || (savedDc_ && refers(*savedDc_));
}

void MetafileRecorder::ReleaseIfUnused(int handle)
{
    if (handle < 0 || IsReferenced(handle))
        return;
    WriteDeleteObject(handle);
    handleUsed_[static_cast<std::size_t>(handle)] = false;
}

} // namespace dazo::ui
