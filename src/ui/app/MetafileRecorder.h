// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The format-neutral half of the metafile writer: it receives drawing already
// in device pixels, keeps track of the GDI objects and the clip the file has
// selected, and leaves the byte layout of each record to the EMF and WMF
// encoders. Logical units of both files are a fixed fraction of a pixel, so
// antialiased chart lines keep their sub-pixel positions.

#include <QByteArray>
#include <QImage>
#include <QPolygonF>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace dazo::ui {

struct MetafilePen {
    enum class Style { Null, Solid, Dash, Dot, DashDot, DashDotDot };
    Style style = Style::Null;
    double width = 1; // device pixels
    QRgb color = 0;
    Qt::PenCapStyle cap = Qt::SquareCap;
    Qt::PenJoinStyle join = Qt::BevelJoin;
    bool operator==(const MetafilePen&) const = default;
};

struct MetafileBrush {
    bool hollow = true;
    QRgb color = 0;
    bool operator==(const MetafileBrush&) const = default;
};

// A GDI rectangle: right and bottom are the edges' coordinates, as the records
// store them.
struct MetafileBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const MetafileBox&) const = default;
};

struct MetafileFont {
    QString family;
    double height = 0; // em height in device pixels
    int weight = 400;
    bool italic = false;
    int escapement = 0; // tenths of a degree, counter-clockwise on screen
    bool operator==(const MetafileFont&) const = default;
};

// Little-endian record bytes.
class LittleEndianBytes {
public:
    LittleEndianBytes& U8(std::uint8_t v);
    LittleEndianBytes& U16(std::uint16_t v);
    LittleEndianBytes& I16(std::int16_t v);
    LittleEndianBytes& U32(std::uint32_t v);
    LittleEndianBytes& I32(std::int32_t v);
    LittleEndianBytes& F32(float v);
    LittleEndianBytes& Append(const QByteArray& bytes);
    LittleEndianBytes& PadTo(int multiple);
    void PutU32At(int offset, std::uint32_t v);
    int Size() const { return static_cast<int>(bytes_.size()); }
    const QByteArray& Bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

class MetafileRecorder {
public:
    virtual ~MetafileRecorder() = default;
    MetafileRecorder(const MetafileRecorder&) = delete;
    MetafileRecorder& operator=(const MetafileRecorder&) = delete;

    // Device-pixel rectangle everything after is clipped to; nullopt for none.
    void SetClip(const std::optional<QRectF>& area);
    void DrawPolyline(const QPolygonF& points, const MetafilePen& pen);
    void DrawPolygon(const QPolygonF& points, const MetafilePen& pen, const MetafileBrush& brush, Qt::FillRule rule);
    void DrawRectangle(const QRectF& rect, const MetafilePen& pen, const MetafileBrush& brush);
    // advances: one per UTF-16 unit of text, in device pixels (0 for the second
    // half of a surrogate pair); extent: the device area the text covers.
    void DrawText(const QPointF& baselineStart, const QString& text, const std::vector<double>& advances,
        const MetafileFont& font, QRgb color, const QRectF& extent);
    void DrawImage(const QRectF& target, const QImage& image);

    // The complete file: header, the records so far, end record.
    virtual QByteArray FileBytes() const = 0;

protected:
    MetafileRecorder(const QSize& pixels, int unitsPerPixel, int firstHandle);

    int UnitsPerPixel() const { return unitsPerPixel_; }
    QSize Pixels() const { return pixels_; }
    QPoint ToLogical(const QPointF& devicePoint) const;
    // Inclusive logical bounds of everything drawn inside the picture; empty if nothing was.
    QRect DrawnBounds() const;
    // Highest object index used plus one.
    int HandleTableSize() const { return static_cast<int>(handleUsed_.size()); }

    void AppendRecord(const QByteArray& record);
    const QByteArray& Records() const { return records_; }
    int RecordCount() const { return recordCount_; }
    int LargestRecord() const { return largestRecord_; }

    static std::uint32_t ColorRef(QRgb color);
    // PS_* style, end-cap and join bits shared by both formats.
    static std::uint32_t PenStyleBits(const MetafilePen& pen);
    // BITMAPINFOHEADER and 24-bit bottom-up rows of an RGB image.
    static QByteArray DeviceIndependentBitmap(const QImage& rgb);

    virtual int MaxPointsPerRecord() const = 0;
    virtual void WriteCreatePen(int handle, const MetafilePen& pen) = 0;
    virtual void WriteCreateBrush(int handle, const MetafileBrush& brush) = 0;
    virtual void WriteCreateFont(int handle, const MetafileFont& font) = 0;
    virtual void WriteSelectObject(int handle) = 0;
    virtual void WriteDeleteObject(int handle) = 0;
    virtual void WriteTextColor(QRgb color) = 0;
    virtual void WriteFillRule(Qt::FillRule rule) = 0;
    virtual void WriteSaveDc() = 0;
    virtual void WriteRestoreDc() = 0;
    virtual void WriteIntersectClip(const MetafileBox& area) = 0;
    virtual void WritePolyline(const QPolygon& points) = 0;
    virtual void WritePolygon(const QPolygon& points) = 0;
    virtual void WriteRectangle(const MetafileBox& box) = 0;
    virtual void WriteText(const QPoint& origin, const QString& text, const std::vector<int>& dx) = 0;
    virtual void WriteImage(const MetafileBox& target, const QImage& rgb) = 0;

private:
    // What the file's device context has selected; a saved copy lives while a
    // clip is in force, because restoring the context brings it back.
    struct DcState {
        int pen = -1;
        int brush = -1;
        int font = -1;
        MetafilePen penSpec;
        MetafileBrush brushSpec;
        MetafileFont fontSpec;
        std::optional<QRgb> textColor;
        std::optional<Qt::FillRule> fillRule;
    };

    QPolygon ToLogical(const QPolygonF& devicePoints) const;
    MetafileBox ToLogical(const QRectF& deviceRect) const;
    void UsePen(const MetafilePen& pen);
    void UseBrush(const MetafileBrush& brush);
    void UseFont(const MetafileFont& font);
    void Replace(int& slot, int created);
    int AllocateHandle();
    void ReleaseIfUnused(int handle);
    bool IsReferenced(int handle) const;
    void Include(const QRect& logicalArea, double penWidth = 0);

    QSize pixels_;
    int unitsPerPixel_;
    int firstHandle_;
    std::vector<bool> handleUsed_;
    DcState dc_;
    std::optional<DcState> savedDc_;
    std::optional<MetafileBox> clip_;
    QRect drawn_;
    QByteArray records_;
    int recordCount_ = 0;
    int largestRecord_ = 0;
};

std::unique_ptr<MetafileRecorder> MakeEmfRecorder(const QSize& pixels);
std::unique_ptr<MetafileRecorder> MakeWmfRecorder(const QSize& pixels);

} // namespace dazo::ui
