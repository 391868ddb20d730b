// SPDX-License-Identifier: GPL-3.0-or-later
// Enhanced metafile records. Coordinates stay in the default MM_TEXT mapping;
// the reference device is a virtual one of 1440 dots per inch, so one logical
// unit is a fifteenth of a 96-dpi pixel and no mapping records are needed.

#include "app/MetafileRecorder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dazo::ui {
namespace {

enum EmfRecordType : std::uint32_t {
    EmrHeader = 1,
    EmrPolygon = 3,
    EmrPolyline = 4,
    EmrEof = 14,
    EmrSetBkMode = 18,
    EmrSetPolyFillMode = 19,
    EmrSetTextAlign = 22,
    EmrSetTextColor = 24,
    EmrIntersectClipRect = 30,
    EmrSaveDc = 33,
    EmrRestoreDc = 34,
    EmrSelectObject = 37,
    EmrCreateBrushIndirect = 39,
    EmrDeleteObject = 40,
    EmrRectangle = 43,
    EmrStretchDiBits = 81,
    EmrExtCreateFontIndirectW = 82,
    EmrExtTextOutW = 84,
    EmrPolygon16 = 86,
    EmrPolyline16 = 87,
    EmrExtCreatePen = 95,
};

constexpr int kUnitsPerPixel = 15;
constexpr std::int32_t kReferenceInches = 50;
constexpr std::int32_t kReferenceMillimetres = kReferenceInches * 254 / 10;
constexpr std::int32_t kReferenceDots = kReferenceInches * 96 * kUnitsPerPixel;
constexpr std::uint32_t kTransparent = 1;
constexpr std::uint32_t kTextAlignBaselineLeft = 24;
constexpr std::uint32_t kPenGeometric = 0x00010000;
constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr int kHeaderBytes = 108;
constexpr int kEofBytes = 20;

LittleEndianBytes Record(std::uint32_t type)
{
    LittleEndianBytes r;
    r.U32(type).U32(0);
    return r;
}

void PutBox(LittleEndianBytes& r, const MetafileBox& box)
{
    r.I32(box.left).I32(box.top).I32(box.right).I32(box.bottom);
}

void PutBounds(LittleEndianBytes& r, const QRect& inclusive)
{
    PutBox(r, {inclusive.left(), inclusive.top(), inclusive.right(), inclusive.bottom()});
}

bool FitsShort(const QPolygon& points)
{
    constexpr int lo = std::numeric_limits<std::int16_t>::min();
    constexpr int hi = std::numeric_limits<std::int16_t>::max();
    return std::all_of(points.begin(), points.end(),
        [](const QPoint& p) { return p.x() >= lo && p.x() <= hi && p.y() >= lo && p.y() <= hi; });
}

class EmfRecorder final : public MetafileRecorder {
public:
    explicit EmfRecorder(const QSize& pixels)
        : MetafileRecorder(pixels, kUnitsPerPixel, 1)
    {
        Add(Record(EmrSetBkMode).U32(kTransparent));
        Add(Record(EmrSetTextAlign).U32(kTextAlignBaselineLeft));
    }

    QByteArray FileBytes() const override
    {
        LittleEndianBytes file;
        const QRect bounds = DrawnBounds();
        const std::int32_t frameWidth = std::lround(Pixels().width() * 2540.0 / 96);
        const std::int32_t frameHeight = std::lround(Pixels().height() * 2540.0 / 96);
        file.U32(EmrHeader).U32(kHeaderBytes);
        if (bounds.isEmpty())
            PutBox(file, {0, 0, -1, -1});
        else
            PutBounds(file, bounds);
        PutBox(file, {0, 0, frameWidth, frameHeight});
        file.U32(0x464D4520).U32(0x00010000);
        file.U32(static_cast<std::uint32_t>(kHeaderBytes + Records().size() + kEofBytes));
        file.U32(static_cast<std::uint32_t>(RecordCount() + 2));
        file.U16(static_cast<std::uint16_t>(HandleTableSize())).U16(0);
        file.U32(0).U32(0).U32(0); // no description, no palette
        file.I32(kReferenceDots).I32(kReferenceDots).I32(kReferenceMillimetres).I32(kReferenceMillimetres);
        file.U32(0).U32(0).U32(0); // no pixel format, no OpenGL
        file.I32(kReferenceMillimetres * 1000).I32(kReferenceMillimetres * 1000);
        file.Append(Records());
        file.U32(EmrEof).U32(kEofBytes).U32(0).U32(16).U32(kEofBytes);
        return file.Bytes();
    }

protected:
    int MaxPointsPerRecord() const override { return 1 << 20; }

    void WriteCreatePen(int handle, const MetafilePen& pen) override
    {
        const bool null = pen.style == MetafilePen::Style::Null;
        const std::uint32_t style = PenStyleBits(pen) | (null ? 0 : kPenGeometric);
        const auto width = static_cast<std::uint32_t>(null ? 1 : std::max(1L, std::lround(pen.width * kUnitsPerPixel)));
        auto r = Record(EmrExtCreatePen);
        r.U32(static_cast<std::uint32_t>(handle)).U32(0).U32(0).U32(0).U32(0); // no brush bitmap
        r.U32(style).U32(width).U32(0).U32(ColorRef(pen.color)).U32(0).U32(0);
        Add(r);
    }

    void WriteCreateBrush(int handle, const MetafileBrush& brush) override
    {
        Add(Record(EmrCreateBrushIndirect)
                .U32(static_cast<std::uint32_t>(handle))
                .U32(brush.hollow ? 1 : 0)
                .U32(ColorRef(brush.color))
                .U32(0));
    }

    void WriteCreateFont(int handle, const MetafileFont& font) override
    {
        constexpr std::uint8_t kDefaultCharset = 1;
        constexpr int kFaceNameLength = 32;
        auto r = Record(EmrExtCreateFontIndirectW);
        r.U32(static_cast<std::uint32_t>(handle));
        r.I32(-std::max(1L, std::lround(font.height * kUnitsPerPixel))).I32(0);
        r.I32(font.escapement).I32(font.escapement).I32(font.weight);
        r.U8(font.italic ? 1 : 0).U8(0).U8(0).U8(kDefaultCharset).U8(0).U8(0).U8(0).U8(0);
        const QString face = font.family.left(kFaceNameLength - 1);
        for (QChar c : face)
            r.U16(c.unicode());
        for (qsizetype i = face.size(); i < kFaceNameLength; ++i)
            r.U16(0);
        Add(r);
    }

    void WriteSelectObject(int handle) override
    {
        Add(Record(EmrSelectObject).U32(static_cast<std::uint32_t>(handle)));
    }

    void WriteDeleteObject(int handle) override
    {
        Add(Record(EmrDeleteObject).U32(static_cast<std::uint32_t>(handle)));
    }

    void WriteTextColor(QRgb color) override { Add(Record(EmrSetTextColor).U32(ColorRef(color))); }

    void WriteFillRule(Qt::FillRule rule) override
    {
        Add(Record(EmrSetPolyFillMode).U32(rule == Qt::WindingFill ? 2 : 1));
    }

    void WriteSaveDc() override { Add(Record(EmrSaveDc)); }

    void WriteRestoreDc() override { Add(Record(EmrRestoreDc).I32(-1)); }

    void WriteIntersectClip(const MetafileBox& area) override
    {
        auto r = Record(EmrIntersectClipRect);
        PutBox(r, area);
        Add(r);
    }

    void WritePolyline(const QPolygon& points) override { WritePoints(EmrPolyline16, EmrPolyline, points); }

    void WritePolygon(const QPolygon& points) override { WritePoints(EmrPolygon16, EmrPolygon, points); }

    void WriteRectangle(const MetafileBox& box) override
    {
        auto r = Record(EmrRectangle);
        PutBox(r, box);
        Add(r);
    }

    void WriteText(const QPoint& origin, const QString& text, const std::vector<int>& dx) override
    {
        constexpr std::uint32_t kCompatibleGraphicsMode = 1;
        constexpr std::uint32_t kStringOffset = 76;
        const auto count = static_cast<std::uint32_t>(text.size());
        const std::uint32_t dxOffset = kStringOffset + ((count * 2 + 3) & ~3U);
        const auto hundredthMillimetresPerUnit = static_cast<float>(2540.0 / (96 * kUnitsPerPixel));
        auto r = Record(EmrExtTextOutW);
        PutBox(r, {0, 0, -1, -1}); // bounds, not used
        r.U32(kCompatibleGraphicsMode).F32(hundredthMillimetresPerUnit).F32(hundredthMillimetresPerUnit);
        r.I32(origin.x()).I32(origin.y()).U32(count).U32(kStringOffset).U32(0);
        PutBox(r, {}); // no clipping or opaque rectangle
        r.U32(dxOffset);
        for (QChar c : text)
            r.U16(c.unicode());
        r.PadTo(4);
        for (int d : dx)
            r.I32(d);
        Add(r);
    }

    void WriteImage(const MetafileBox& target, const QImage& rgb) override
    {
        constexpr std::uint32_t kInfoOffset = 80;
        constexpr std::uint32_t kInfoBytes = 40;
        const QByteArray dib = DeviceIndependentBitmap(rgb);
        auto r = Record(EmrStretchDiBits);
        PutBox(r, target);
        r.I32(target.left).I32(target.top).I32(0).I32(0).I32(rgb.width()).I32(rgb.height());
        r.U32(kInfoOffset)
            .U32(kInfoBytes)
            .U32(kInfoOffset + kInfoBytes)
            .U32(static_cast<std::uint32_t>(dib.size()) - kInfoBytes);
        r.U32(0).U32(kSrcCopy).I32(target.right - target.left).I32(target.bottom - target.top);
        r.Append(dib);
        Add(r);
    }

private:
    void Add(LittleEndianBytes record)
    {
        record.PadTo(4);
        record.PutU32At(4, static_cast<std::uint32_t>(record.Size()));
        AppendRecord(record.Bytes());
    }

    void WritePoints(std::uint32_t shortType, std::uint32_t longType, const QPolygon& points)
    {
        const bool fitsShort = FitsShort(points);
        auto r = Record(fitsShort ? shortType : longType);
        PutBounds(r, points.boundingRect());
        r.U32(static_cast<std::uint32_t>(points.size()));
        for (const QPoint& p : points) {
            if (fitsShort)
                r.I16(static_cast<std::int16_t>(p.x())).I16(static_cast<std::int16_t>(p.y()));
            else
                r.I32(p.x()).I32(p.y());
        }
        Add(r);
    }
};

} // namespace

std::unique_ptr<MetafileRecorder> MakeEmfRecorder(const QSize& pixels)
{
    return std::make_unique<EmfRecorder>(pixels);
}

} // namespace dazo::ui
