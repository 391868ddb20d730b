// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Metafile.h"

#include "app/ChartExport.h"
#include "app/MetafileWalker.h"
#include "common/Encoding.h"
#include "support/TempDir.h"

#include <QFontMetricsF>
#include <QPainter>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <iostream>

namespace dazo::ui {
namespace {

using test::EmfWalk;
using test::MetaRecord;
using test::WmfWalk;
using testing::IsEmpty;
using Format = MetafileDevice::Format;

constexpr int kUnits = 15; // logical units per pixel of a small picture
const QString kCaption = QStringLiteral("Frequenz [Hz] – Säle");
const QString kAxisTitle = QStringLiteral("Nachhallzeit [s]");
const QFont kCaptionFont("Arial", 12, QFont::Bold);

QByteArray Paint(Format format, const QSize& size, const std::function<void(QPainter&)>& draw)
{
    MetafileDevice device(format, size);
    QPainter painter(&device);
    draw(painter);
    painter.end();
    return device.Bytes();
}

// Lines, a long polyline, a dashed filled rectangle, straight and rotated
// text, an image with a marked corner and a clipped ellipse, on 400 x 300.
void DrawScene(QPainter& p)
{
    p.setPen(QPen(Qt::red, 2));
    p.drawLine(10, 10, 390, 10);
    QPolygonF curve;
    for (int i = 0; i < 1000; ++i)
        curve << QPointF(20 + 0.36 * i, 150 + 100 * std::sin(i / 50.0));
    p.setPen(QPen(Qt::blue, 1));
    p.drawPolyline(curve);
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.setBrush(Qt::green);
    p.drawRect(QRectF(50, 150, 100, 80));
    p.setFont(kCaptionFont);
    p.setPen(Qt::black);
    p.drawText(QPointF(160, 280), kCaption);
    p.save();
    p.translate(30, 200);
    p.rotate(-90);
    p.drawText(QPointF(0, 0), kAxisTitle);
    p.restore();
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    p.drawImage(QRectF(300, 150, 64, 32), image);
    p.save();
    p.setClipRect(QRectF(20, 20, 100, 100));
    p.setBrush(Qt::cyan);
    p.drawEllipse(QPointF(70, 70), 80, 80);
    p.restore();
}

std::vector<MetaRecord> OfType(const std::vector<MetaRecord>& records, std::uint32_t type)
{
    std::vector<MetaRecord> found;
    std::copy_if(records.begin(), records.end(), std::back_inserter(found),
        [type](const MetaRecord& r) { return r.type == type; });
    return found;
}

// Index of the first record of type at or after from; records.size() if none.
std::size_t Find(const std::vector<MetaRecord>& records, std::uint32_t type, std::size_t from = 0)
{
    while (from < records.size() && records[from].type != type)
        ++from;
    return from;
}

int CaptionWidthInUnits()
{
    MetafileDevice device(Format::Emf, {400, 300});
    return static_cast<int>(std::lround(QFontMetricsF(kCaptionFont, &device).horizontalAdvance(kCaption) * kUnits));
}

QString EmfText(const EmfWalk& w, const MetaRecord& r)
{
    QString text;
    const std::size_t start = r.offset + w.file.U32(r.offset + 48);
    for (std::uint32_t i = 0; i < w.file.U32(r.offset + 44); ++i)
        text += QChar(w.file.U16(start + 2 * i));
    return text;
}

TEST(Metafile, EmfSceneIsWellFormedAndKeepsWhatWasDrawn)
{
    const EmfWalk w = test::WalkEmf(Paint(Format::Emf, {400, 300}, DrawScene));
    const auto& f = w.file;
    ASSERT_THAT(w.faults, IsEmpty());
    EXPECT_THAT(w.frame, testing::ElementsAre(0, 0, 10583, 7938)); // 0.01 mm at 96 dpi
    // From the red line's top-left corner (less half its width) to the text
    // at the bottom; the clipped ellipse adds nothing outside its clip.
    EXPECT_EQ(w.bounds[0], 9 * kUnits);
    EXPECT_EQ(w.bounds[1], 9 * kUnits);
    EXPECT_GE(w.bounds[2], 391 * kUnits);
    EXPECT_LT(w.bounds[2], 400 * kUnits);
    EXPECT_GE(w.bounds[3], 280 * kUnits);
    EXPECT_LT(w.bounds[3], 300 * kUnits);

    const auto polylines = OfType(w.records, 87); // EMR_POLYLINE16
    const auto curve = std::find_if(
        polylines.begin(), polylines.end(), [&](const MetaRecord& r) { return f.U32(r.offset + 24) == 1000; });
    ASSERT_NE(curve, polylines.end());
    EXPECT_EQ(f.I16(curve->offset + 28), 20 * kUnits);
    EXPECT_EQ(f.I16(curve->offset + 30), 150 * kUnits);

    bool dashed = false;
    for (const MetaRecord& pen : OfType(w.records, 95)) // EMR_EXTCREATEPEN
        dashed |= (f.U32(pen.offset + 28) & 0x000F000F) == 0x00010001; // geometric, PS_DASH
    EXPECT_TRUE(dashed);

    std::vector<QString> texts;
    for (const MetaRecord& r : OfType(w.records, 84)) { // EMR_EXTTEXTOUTW
        texts.push_back(EmfText(w, r));
        if (texts.back() == kCaption) {
            EXPECT_EQ(f.I32(r.offset + 36), 160 * kUnits);
            EXPECT_EQ(f.I32(r.offset + 40), 280 * kUnits);
            int width = 0;
            for (qsizetype i = 0; i < kCaption.size(); ++i)
                width += f.I32(r.offset + f.U32(r.offset + 72) + 4 * static_cast<std::size_t>(i));
            EXPECT_NEAR(width, CaptionWidthInUnits(), 1);
        }
    }
    EXPECT_THAT(texts, testing::UnorderedElementsAre(kCaption, kAxisTitle));
    const auto fonts = OfType(w.records, 82); // EMR_EXTCREATEFONTINDIRECTW
    const auto upright
        = std::find_if(fonts.begin(), fonts.end(), [&](const MetaRecord& r) { return f.I32(r.offset + 20) == 900; });
    ASSERT_NE(upright, fonts.end()) << "the rotated title needs a font turned by 90 degrees";
    EXPECT_EQ(f.I32(upright->offset + 12), -16 * kUnits); // 12 pt = 16 px
    EXPECT_EQ(f.I32(upright->offset + 28), 700);

    const auto images = OfType(w.records, 81); // EMR_STRETCHDIBITS
    ASSERT_EQ(images.size(), 1U);
    const std::size_t at = images[0].offset;
    EXPECT_EQ(f.I32(at + 24), 300 * kUnits);
    EXPECT_EQ(f.I32(at + 28), 150 * kUnits);
    EXPECT_EQ(f.I32(at + 40), 16);
    EXPECT_EQ(f.I32(at + 44), 8);
    EXPECT_EQ(f.I32(at + 72), 64 * kUnits);
    EXPECT_EQ(f.I32(at + 76), 32 * kUnits);
    const std::size_t topRow = at + f.U32(at + 56) + 7 * 48; // bottom-up rows of 48 bytes
    EXPECT_EQ(f.Byte(topRow) << 16 | f.Byte(topRow + 1) << 8 | f.Byte(topRow + 2), 0x0000FF) << "red top-left pixel";

    const std::size_t save = Find(w.records, 33);
    ASSERT_LT(save + 1, w.records.size());
    const MetaRecord& clip = w.records[save + 1];
    ASSERT_EQ(clip.type, 30U); // EMR_INTERSECTCLIPRECT
    EXPECT_EQ(f.I32(clip.offset + 8), 20 * kUnits);
    EXPECT_EQ(f.I32(clip.offset + 20), 120 * kUnits);
    const std::size_t ellipse = Find(w.records, 86, save); // EMR_POLYGON16
    EXPECT_LT(ellipse, Find(w.records, 34, save)); // drawn before EMR_RESTOREDC
}

TEST(Metafile, WmfSceneIsWellFormedAndKeepsWhatWasDrawn)
{
    const WmfWalk w = test::WalkWmf(Paint(Format::Wmf, {400, 300}, DrawScene));
    const auto& f = w.file;
    ASSERT_THAT(w.faults, IsEmpty());
    EXPECT_THAT(w.box, testing::ElementsAre(0, 0, 400 * kUnits, 300 * kUnits));
    EXPECT_EQ(w.inch, 96 * kUnits);
    ASSERT_GE(w.records.size(), 2U);
    EXPECT_EQ(w.records[0].type, 0x020BU); // window origin, then extent (y first)
    EXPECT_EQ(w.records[1].type, 0x020CU);
    EXPECT_EQ(f.I16(w.records[1].offset + 6), 300 * kUnits);
    EXPECT_EQ(f.I16(w.records[1].offset + 8), 400 * kUnits);

    const auto polylines = OfType(w.records, 0x0325);
    const auto curve = std::find_if(
        polylines.begin(), polylines.end(), [&](const MetaRecord& r) { return f.I16(r.offset + 6) == 1000; });
    ASSERT_NE(curve, polylines.end());
    EXPECT_EQ(f.I16(curve->offset + 8), 20 * kUnits);
    EXPECT_EQ(f.I16(curve->offset + 10), 150 * kUnits);

    std::vector<std::string> texts;
    for (const MetaRecord& r : OfType(w.records, 0x0A32)) { // META_EXTTEXTOUT
        const auto length = static_cast<std::size_t>(f.I16(r.offset + 10));
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text += static_cast<char>(f.Byte(r.offset + 14 + i));
        texts.push_back(text);
        if (text == Ansi(kCaption.toStdString())) {
            EXPECT_EQ(f.I16(r.offset + 6), 280 * kUnits);
            EXPECT_EQ(f.I16(r.offset + 8), 160 * kUnits);
            const std::size_t dx = r.offset + 14 + ((length + 1) & ~std::size_t {1});
            int width = 0;
            for (std::size_t i = 0; i < length; ++i)
                width += f.I16(dx + 2 * i);
            EXPECT_NEAR(width, CaptionWidthInUnits(), 1);
        }
    }
    EXPECT_THAT(texts, testing::UnorderedElementsAre(Ansi("Frequenz [Hz] – Säle"), Ansi("Nachhallzeit [s]")));
    const auto fonts = OfType(w.records, 0x02FB);
    const auto upright
        = std::find_if(fonts.begin(), fonts.end(), [&](const MetaRecord& r) { return f.I16(r.offset + 10) == 900; });
    ASSERT_NE(upright, fonts.end());
    EXPECT_EQ(f.I16(upright->offset + 6), -16 * kUnits);
    EXPECT_EQ(f.I16(upright->offset + 14), 700);
    std::string face;
    for (std::size_t i = upright->offset + 24; f.Byte(i) != 0; ++i)
        face += static_cast<char>(f.Byte(i));
    EXPECT_EQ(face, "Arial");

    const auto images = OfType(w.records, 0x0F43); // META_STRETCHDIB
    ASSERT_EQ(images.size(), 1U);
    const std::size_t at = images[0].offset;
    EXPECT_THAT((std::vector<int> {
                    f.I16(at + 12), f.I16(at + 14), f.I16(at + 20), f.I16(at + 22), f.I16(at + 24), f.I16(at + 26)}),
        testing::ElementsAre(8, 16, 32 * kUnits, 64 * kUnits, 150 * kUnits, 300 * kUnits));

    const std::size_t save = Find(w.records, 0x001E);
    ASSERT_LT(save + 1, w.records.size());
    const MetaRecord& clip = w.records[save + 1];
    ASSERT_EQ(clip.type, 0x0416U); // bottom, right, top, left
    EXPECT_THAT((std::vector<int> {
                    f.I16(clip.offset + 6), f.I16(clip.offset + 8), f.I16(clip.offset + 10), f.I16(clip.offset + 12)}),
        testing::ElementsAre(120 * kUnits, 120 * kUnits, 20 * kUnits, 20 * kUnits));
    EXPECT_LT(Find(w.records, 0x0324, save), Find(w.records, 0x0127, save));
}

// Polyline points of record r: EMF EMR_POLYLINE16 / EMR_POLYLINE or WMF META_POLYLINE.
std::vector<QPoint> EmfPoints(const EmfWalk& w, const MetaRecord& r)
{
    std::vector<QPoint> points;
    const bool wide = r.type == 4;
    for (std::uint32_t i = 0; i < w.file.U32(r.offset + 24); ++i) {
        const std::size_t at = r.offset + 28 + i * (wide ? 8 : 4);
        points.emplace_back(wide ? w.file.I32(at) : w.file.I16(at), wide ? w.file.I32(at + 4) : w.file.I16(at + 2));
    }
    return points;
}

std::vector<QPoint> WmfPoints(const WmfWalk& w, const MetaRecord& r)
{
    std::vector<QPoint> points;
    for (int i = 0; i < w.file.I16(r.offset + 6); ++i)
        points.emplace_back(w.file.I16(r.offset + 8 + 4 * static_cast<std::size_t>(i)),
            w.file.I16(r.offset + 10 + 4 * static_cast<std::size_t>(i)));
    return points;
}

TEST(Metafile, PainterTransformAppliesToPointsAndPenWidth)
{
    const auto draw = [](QPainter& p) {
        p.translate(100, 50);
        p.scale(2, 2);
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(QPointF(0, 0), QPointF(10, 5.5));
    };
    const std::vector<QPoint> expected {{1500, 750}, {1800, 915}};

    const EmfWalk emf = test::WalkEmf(Paint(Format::Emf, {400, 300}, draw));
    ASSERT_THAT(emf.faults, IsEmpty());
    const auto emfLines = OfType(emf.records, 87);
    ASSERT_EQ(emfLines.size(), 1U);
    EXPECT_EQ(EmfPoints(emf, emfLines[0]), expected);
    const auto emfPens = OfType(emf.records, 95);
    ASSERT_EQ(emfPens.size(), 1U);
    EXPECT_EQ(emf.file.U32(emfPens[0].offset + 32), 3U * kUnits);

    const WmfWalk wmf = test::WalkWmf(Paint(Format::Wmf, {400, 300}, draw));
    ASSERT_THAT(wmf.faults, IsEmpty());
    const auto wmfLines = OfType(wmf.records, 0x0325);
    ASSERT_EQ(wmfLines.size(), 1U);
    EXPECT_EQ(WmfPoints(wmf, wmfLines[0]), expected);
    const auto wmfPens = OfType(wmf.records, 0x02FA);
    ASSERT_EQ(wmfPens.size(), 1U);
    EXPECT_EQ(wmf.file.I16(wmfPens[0].offset + 8), 3 * kUnits);
}

TEST(Metafile, PenStylesAndThinDashesSurviveInBothFormats)
{
    const Qt::PenStyle styles[]
        = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine, Qt::CustomDashLine};
    const auto draw = [&](QPainter& p) {
        int y = 10;
        for (Qt::PenStyle style : styles) {
            p.setPen(QPen(Qt::black, 1, style));
            p.drawLine(10, y, 200, y);
            y += 10;
        }
    };
    const EmfWalk emf = test::WalkEmf(Paint(Format::Emf, {400, 300}, draw));
    const WmfWalk wmf = test::WalkWmf(Paint(Format::Wmf, {400, 300}, draw));
    ASSERT_THAT(emf.faults, IsEmpty());
    ASSERT_THAT(wmf.faults, IsEmpty());
    std::vector<unsigned> emfStyles, wmfStyles, wmfWidths;
    for (const MetaRecord& r : OfType(emf.records, 95))
        emfStyles.push_back(emf.file.U32(r.offset + 28) & 0xF);
    for (const MetaRecord& r : OfType(wmf.records, 0x02FA)) {
        wmfStyles.push_back(wmf.file.U16(r.offset + 6) & 0xF);
        wmfWidths.push_back(wmf.file.U16(r.offset + 8));
    }
    EXPECT_THAT(emfStyles, testing::ElementsAre(0, 1, 2, 3, 4, 1));
    EXPECT_EQ(wmfStyles, emfStyles);
    // A one-pixel dashed pen is written as a device-pixel pen so GDI keeps the dashes.
    EXPECT_THAT(wmfWidths, testing::ElementsAre(kUnits, 0, 0, 0, 0, 0));
}

// Pens, brushes and fonts change while clips come and go: every object is
// deleted only when neither the context nor its saved copy selects it, and
// the object table stays small.
TEST(Metafile, ObjectsStayFewAndValidThroughClipChanges)
{
    const auto draw = [](QPainter& p) {
        for (int i = 0; i < 60; ++i) {
            if (i % 3 == 0) {
                p.save();
                p.setClipRect(i, i, 100, 100);
            }
            p.setPen(QPen(i % 2 ? Qt::red : Qt::blue, 1 + i % 4));
            p.setBrush(i % 5 ? QBrush(Qt::green) : QBrush(QColor(0, 0, i)));
            p.setFont(QFont("Arial", 8 + i % 3));
            p.drawRect(i, i, 20, 10);
            p.drawText(i, i + 30, "x");
            if (i % 3 == 2)
                p.restore();
        }
    };
    const EmfWalk emf = test::WalkEmf(Paint(Format::Emf, {400, 300}, draw));
    EXPECT_THAT(emf.faults, IsEmpty());
    EXPECT_LE(emf.handleCount, 8U);
    const WmfWalk wmf = test::WalkWmf(Paint(Format::Wmf, {400, 300}, draw));
    EXPECT_THAT(wmf.faults, IsEmpty());
    EXPECT_LE(wmf.objectCount, 7U);
}

// Restoring the painter brings back the outer clip, set under another
// transform, in device coordinates.
TEST(Metafile, OuterClipReturnsAfterRestore)
{
    const auto draw = [](QPainter& p) {
        p.translate(10, 0);
        p.setClipRect(QRect(0, 0, 200, 200));
        p.save();
        p.resetTransform();
        p.setClipRect(QRect(50, 50, 100, 100), Qt::IntersectClip);
        p.drawLine(0, 100, 300, 100);
        p.restore();
        p.drawLine(0, 120, 300, 120);
    };
    const EmfWalk w = test::WalkEmf(Paint(Format::Emf, {400, 300}, draw));
    ASSERT_THAT(w.faults, IsEmpty());
    std::vector<std::vector<int>> clips;
    for (const MetaRecord& r : OfType(w.records, 30))
        clips.push_back({w.file.I32(r.offset + 8) / kUnits, w.file.I32(r.offset + 12) / kUnits,
            w.file.I32(r.offset + 16) / kUnits, w.file.I32(r.offset + 20) / kUnits});
    EXPECT_THAT(clips, testing::ElementsAre(std::vector<int> {50, 50, 150, 150}, std::vector<int> {10, 0, 210, 200}));
}

TEST(Metafile, EmptyAndLargePicturesStayValid)
{
    const MetafileDevice unpainted(Format::Emf, {100, 100});
    const EmfWalk empty = test::WalkEmf(unpainted.Bytes());
    EXPECT_THAT(empty.faults, IsEmpty());
    EXPECT_THAT(empty.bounds, testing::ElementsAre(0, 0, -1, -1));
    EXPECT_THAT(test::WalkWmf(MetafileDevice(Format::Wmf, {100, 100}).Bytes()).faults, IsEmpty());

    // 3000 pixels at 15 units each leave the 16-bit range: EMF switches to
    // 32-bit points, WMF to coarser units (16383 / 3000 = 5 per pixel).
    const auto draw = [](QPainter& p) { p.drawLine(10, 10, 2900, 190); };
    const EmfWalk emf = test::WalkEmf(Paint(Format::Emf, {3000, 200}, draw));
    ASSERT_THAT(emf.faults, IsEmpty());
    const auto lines = OfType(emf.records, 4); // EMR_POLYLINE
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(EmfPoints(emf, lines[0]), (std::vector<QPoint> {{150, 150}, {43500, 2850}}));
    const WmfWalk wmf = test::WalkWmf(Paint(Format::Wmf, {3000, 200}, draw));
    ASSERT_THAT(wmf.faults, IsEmpty());
    EXPECT_EQ(wmf.inch, 96 * 5);
    EXPECT_THAT(wmf.box, testing::ElementsAre(0, 0, 15000, 1000));
    const auto wmfLines = OfType(wmf.records, 0x0325);
    ASSERT_EQ(wmfLines.size(), 1U);
    EXPECT_EQ(WmfPoints(wmf, wmfLines[0]), (std::vector<QPoint> {{50, 50}, {14500, 950}}));
}

// A real chart at the size of a measurement: 480,000 points, axis titles.
// Adaptive sampling is off, so every point reaches the file (EMF in one
// record, WMF in pieces).
TEST(Metafile, CustomPlotWithLargeGraphRendersAsVectors)
{
    constexpr int kPoints = 480000;
    QVector<double> time(kPoints), level(kPoints);
    for (int i = 0; i < kPoints; ++i) {
        time[i] = i * 0.02;
        level[i] = std::exp(-time[i] / 300) * std::sin(i * 0.05);
    }
    QCustomPlot plot;
    QCPGraph* graph = plot.addGraph();
    graph->setData(time, level, true);
    graph->setAdaptiveSampling(false);
    plot.xAxis->setLabel("Zeit [ms]");
    plot.yAxis->setLabel(kAxisTitle);
    plot.rescaleAxes();

    test::TempDir dir;
    for (const char* name : {"chart.emf", "chart.wmf"}) {
        const QString file = QString::fromStdString(dir.File(name));
        const auto start = std::chrono::steady_clock::now();
        SaveChartPicture(file, {800, 500}, CustomPlotRenderer(plot));
        const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const QByteArray bytes = QByteArray::fromStdString(test::ReadBytes(file.toStdString()));
        std::cout << "[ chart    ] " << kPoints << " points -> " << name << " of " << bytes.size() << " bytes in "
                  << elapsed << " s\n";

        std::vector<MetaRecord> records;
        std::size_t linePoints = 0;
        bool rotatedFont = false;
        if (file.endsWith("emf")) {
            const EmfWalk w = test::WalkEmf(bytes);
            ASSERT_THAT(w.faults, IsEmpty());
            EXPECT_THAT(OfType(w.records, 81), IsEmpty()) << "no bitmaps: the chart is vectors";
            for (const MetaRecord& r : w.records)
                if (r.type == 87 || r.type == 4)
                    linePoints += w.file.U32(r.offset + 24);
            for (const MetaRecord& r : OfType(w.records, 82))
                rotatedFont |= w.file.I32(r.offset + 20) == 900;
            std::vector<QString> texts;
            for (const MetaRecord& r : OfType(w.records, 84))
                texts.push_back(EmfText(w, r));
            EXPECT_THAT(texts, testing::IsSupersetOf({kAxisTitle, QStringLiteral("Zeit [ms]")}));
        } else {
            const WmfWalk w = test::WalkWmf(bytes);
            ASSERT_THAT(w.faults, IsEmpty());
            EXPECT_THAT(OfType(w.records, 0x0F43), IsEmpty());
            for (const MetaRecord& r : OfType(w.records, 0x0325))
                linePoints += static_cast<std::size_t>(w.file.I16(r.offset + 6));
            for (const MetaRecord& r : OfType(w.records, 0x02FB))
                rotatedFont |= w.file.I16(r.offset + 10) == 900;
        }
        EXPECT_GE(linePoints, static_cast<std::size_t>(kPoints)) << name;
        EXPECT_TRUE(rotatedFont) << name << ": the y axis title stands upright";
    }
}

} // namespace
} // namespace dazo::ui
