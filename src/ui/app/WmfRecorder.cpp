// SPDX-License-Identifier: GPL-3.0-or-later
// Placeable Windows metafile records. Coordinates are 16-bit, so the logical
// unit is a fifteenth of a pixel (1440 per inch) only while the picture stays
// well inside that range; larger pictures get coarser units.

#include "app/MetafileRecorder.h"

#include "bridge/AnsiText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dazo::ui {
namespace {

enum WmfFunction : std::uint16_t {
    MetaEof = 0x0000,
    MetaSaveDc = 0x001E,
    MetaSetBkMode = 0x0102,
    MetaSetPolyFillMode = 0x0106,
    MetaSelectObject = 0x012D,
    MetaRestoreDc = 0x0127,
    MetaSetTextAlign = 0x012E,
    MetaDeleteObject = 0x01F0,
    MetaSetTextColor = 0x0209,
    MetaSetWindowOrg = 0x020B,
    MetaSetWindowExt = 0x020C,
    MetaCreatePenIndirect = 0x02FA,
    MetaCreateFontIndirect = 0x02FB,
    MetaCreateBrushIndirect = 0x02FC,
    MetaPolygon = 0x0324,
    MetaPolyline = 0x0325,
    MetaIntersectClipRect = 0x0416,
    MetaRectangle = 0x041B,
    MetaExtTextOut = 0x0A32,
    MetaStretchDib = 0x0F43,
};

constexpr int kFinestUnitsPerPixel = 15;
// Half the 16-bit range for the picture leaves room for drawing beyond its edges.
constexpr int kPictureUnits = 16383;
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableBytes = 22;
constexpr int kHeaderWords = 9;
constexpr int kEofWords = 3;
constexpr std::uint16_t kTransparent = 1;
constexpr std::uint16_t kTextAlignBaselineLeft = 24;
constexpr std::uint32_t kSrcCopy = 0x00CC0020;

int UnitsPerPixelFor(const QSize& pixels)
{
    const int largest = std::max({pixels.width(), pixels.height(), 1});
    return std::clamp(kPictureUnits / largest, 1, kFinestUnitsPerPixel);
}

std::int16_t Short(int v)
{
    return static_cast<std::int16_t>(
        std::clamp(v, int {std::numeric_limits<std::int16_t>::min()}, int {std::numeric_limits<std::int16_t>::max()}));
}

LittleEndianBytes Record(std::uint16_t function)
{
    LittleEndianBytes r;
    r.U32(0).U16(function);
    return r;
}

// GDI draws a wide pen solid whatever its style, so thin dashed pens are
// written with width 0 (one device pixel), which keeps the pattern.
int PenWidth(const MetafilePen& pen, int unitsPerPixel)
{
    const bool patterned = pen.style != MetafilePen::Style::Solid && pen.style != MetafilePen::Style::Null;
    if (patterned && pen.width <= 1)
        return 0;
    return std::max(1, static_cast<int>(std::lround(pen.width * unitsPerPixel)));
}

class WmfRecorder final : public MetafileRecorder {
public:
    explicit WmfRecorder(const QSize& pixels)
        : MetafileRecorder(pixels, UnitsPerPixelFor(pixels), 0)
    {
        Add(Record(MetaSetWindowOrg).I16(0).I16(0));
        Add(Record(MetaSetWindowExt).I16(Short(PictureHeight())).I16(Short(PictureWidth())));
        Add(Record(MetaSetBkMode).U16(kTransparent));
        Add(Record(MetaSetTextAlign).U16(kTextAlignBaselineLeft));
    }

    QByteArray FileBytes() const override
    {
        LittleEndianBytes placeable;
        placeable.U32(kPlaceableKey).U16(0);
        placeable.I16(0).I16(0).I16(Short(PictureWidth())).I16(Short(PictureHeight()));
        placeable.U16(static_cast<std::uint16_t>(96 * UnitsPerPixel())).U32(0);
        std::uint16_t checksum = 0;
        const QByteArray& head = placeable.Bytes();
        for (int i = 0; i < head.size(); i += 2)
            checksum ^= static_cast<std::uint16_t>(
                static_cast<unsigned char>(head[i]) | static_cast<unsigned char>(head[i + 1]) << 8);
        placeable.U16(checksum);

        const auto words = static_cast<std::uint32_t>(kHeaderWords + Records().size() / 2 + kEofWords);
        const auto largest = static_cast<std::uint32_t>(std::max(LargestRecord() / 2, kEofWords));
        LittleEndianBytes file;
        file.Append(placeable.Bytes());
        file.U16(1).U16(kHeaderWords).U16(0x0300).U32(words);
        file.U16(static_cast<std::uint16_t>(HandleTableSize())).U32(largest).U16(0);
        file.Append(Records());
        file.U32(kEofWords).U16(MetaEof);
        return file.Bytes();
    }

protected:
    int MaxPointsPerRecord() const override { return 8000; }

    void WriteCreatePen(int handle, const MetafilePen& pen) override
    {
        Q_UNUSED(handle); // the player takes the lowest free slot, as the recorder did
        Add(Record(MetaCreatePenIndirect)
                .U16(static_cast<std::uint16_t>(PenStyleBits(pen)))
                .I16(Short(PenWidth(pen, UnitsPerPixel())))
                .I16(0)
                .U32(ColorRef(pen.color)));
    }

    void WriteCreateBrush(int handle, const MetafileBrush& brush) override
    {
        Q_UNUSED(handle);
        Add(Record(MetaCreateBrushIndirect).U16(brush.hollow ? 1 : 0).U32(ColorRef(brush.color)).U16(0));
    }

    void WriteCreateFont(int handle, const MetafileFont& font) override
    {
        Q_UNUSED(handle);
        constexpr int kFaceNameBytes = 32;
        constexpr std::uint8_t kAnsiCharset = 0;
        auto r = Record(MetaCreateFontIndirect);
        r.I16(Short(-std::max(1, static_cast<int>(std::lround(font.height * UnitsPerPixel()))))).I16(0);
        r.I16(Short(font.escapement)).I16(Short(font.escapement)).I16(Short(font.weight));
        r.U8(font.italic ? 1 : 0).U8(0).U8(0).U8(kAnsiCharset).U8(0).U8(0).U8(0).U8(0);
        QByteArray face = QByteArray::fromStdString(ToAnsi(font.family)).left(kFaceNameBytes - 1);
        face.resize(kFaceNameBytes, '\0');
        r.Append(face);
        Add(r);
    }

    void WriteSelectObject(int handle) override
    {
        Add(Record(MetaSelectObject).U16(static_cast<std::uint16_t>(handle)));
    }

    void WriteDeleteObject(int handle) override
    {
        Add(Record(MetaDeleteObject).U16(static_cast<std::uint16_t>(handle)));
    }

    void WriteTextColor(QRgb color) override { Add(Record(MetaSetTextColor).U32(ColorRef(color))); }

    void WriteFillRule(Qt::FillRule rule) override
    {
        Add(Record(MetaSetPolyFillMode).U16(rule == Qt::WindingFill ? 2 : 1));
    }

    void WriteSaveDc() override { Add(Record(MetaSaveDc)); }

    void WriteRestoreDc() override { Add(Record(MetaRestoreDc).I16(-1)); }

    void WriteIntersectClip(const MetafileBox& area) override { Add(Reversed(Record(MetaIntersectClipRect), area)); }

    void WritePolyline(const QPolygon& points) override { WritePoints(MetaPolyline, points); }

    void WritePolygon(const QPolygon& points) override { WritePoints(MetaPolygon, points); }

    void WriteRectangle(const MetafileBox& box) override { Add(Reversed(Record(MetaRectangle), box)); }

    void WriteText(const QPoint& origin, const QString& text, const std::vector<int>& dx) override
    {
        // One Windows-1252 byte per character: a surrogate pair's advances become one.
        const QByteArray bytes = QByteArray::fromStdString(ToAnsi(text));
        std::vector<int> byteDx;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (i > 0 && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate())
                byteDx.back() += dx[static_cast<std::size_t>(i)];
            else
                byteDx.push_back(dx[static_cast<std::size_t>(i)]);
        }
        auto r = Record(MetaExtTextOut);
        r.I16(Short(origin.y())).I16(Short(origin.x())).I16(Short(static_cast<int>(bytes.size()))).U16(0);
        r.Append(bytes).PadTo(2);
        if (byteDx.size() == static_cast<std::size_t>(bytes.size()))
            for (int d : byteDx)
                r.I16(Short(d));
        Add(r);
    }

    void WriteImage(const MetafileBox& target, const QImage& rgb) override
    {
        auto r = Record(MetaStretchDib);
        r.U32(kSrcCopy).U16(0);
        r.I16(Short(rgb.height())).I16(Short(rgb.width())).I16(0).I16(0);
        r.I16(Short(target.bottom - target.top)).I16(Short(target.right - target.left));
        r.I16(Short(target.top)).I16(Short(target.left));
        r.Append(DeviceIndependentBitmap(rgb));
        Add(r);
    }

private:
    int PictureWidth() const { return Pixels().width() * UnitsPerPixel(); }
    int PictureHeight() const { return Pixels().height() * UnitsPerPixel(); }

    void Add(LittleEndianBytes record)
    {
        record.PadTo(2);
        record.PutU32At(0, static_cast<std::uint32_t>(record.Size() / 2));
        AppendRecord(record.Bytes());
    }

    // The 16-bit rectangle records list their edges bottom first.
    static LittleEndianBytes Reversed(LittleEndianBytes r, const MetafileBox& box)
    {
        r.I16(Short(box.bottom)).I16(Short(box.right)).I16(Short(box.top)).I16(Short(box.left));
        return r;
    }

    void WritePoints(std::uint16_t function, const QPolygon& points)
    {
        auto r = Record(function);
        r.I16(Short(static_cast<int>(points.size())));
        for (const QPoint& p : points)
            r.I16(Short(p.x())).I16(Short(p.y()));
        Add(r);
    }
};

} // namespace

std::unique_ptr<MetafileRecorder> MakeWmfRecorder(const QSize& pixels)
{
    return std::make_unique<WmfRecorder>(pixels);
}

} // namespace dazo::ui
