// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/uNachhallDia.h"

#include "support/TempDir.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <qcustomplot.h>

#include <gtest/gtest.h>

namespace dazo::ui {
namespace {

const TBandValues kValues = {0.8, 1.1, 1.3, 1.74, 1.3, 0.9, 0.7};

TEST(NachhallDia, LeftAxisMaximumIsTheIntegerPartPlusOne)
{
    EXPECT_EQ(LeftAxisMaximum({0.8, 1.1, 1.3, 1.74, 1.3, 0.9, 0.7}), 2);
    EXPECT_EQ(LeftAxisMaximum({0.8, 1.1, 2.0, 1.74, 1.3, 0.9, 0.7}), 3);
    EXPECT_EQ(LeftAxisMaximum({0, 0, 0, 0, 0, 0, 0}), 1);
    EXPECT_EQ(LeftAxisMaximum({0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 12.99}), 13);
}

TEST(NachhallDia, OffScreenDiagramHasTheReportsSettings)
{
    TNachHallDia diagram(kValues, FormatSettings::German());
    QCustomPlot& chart = diagram.Chart1();
    EXPECT_EQ(chart.graph(0)->pen().width(), 2);
    EXPECT_EQ(chart.graph(0)->pen().color(), QColor(Qt::red));
    EXPECT_EQ(chart.graph(0)->scatterStyle().shape(), QCPScatterStyle::ssNone);
    EXPECT_EQ(chart.xAxis->range(), QCPRange(-1, 6));
    EXPECT_EQ(chart.yAxis->range(), QCPRange(0, 2));
    EXPECT_EQ(chart.graph(0)->data()->size(), 7);
}

TEST(NachhallDia, PictureInMemoryAsEnhancedMetafileAndQPicture)
{
    const TBandDiagramPicture picture = DrawBandDiagram({}, kValues, FormatSettings::German());
    ASSERT_GE(picture.Emf.size(), 88);
    EXPECT_EQ(picture.Emf.left(4), QByteArray("\x01\x00\x00\x00", 4)); // EMR_HEADER
    EXPECT_EQ(picture.Emf.mid(40, 4), QByteArray(" EMF"));
    EXPECT_EQ(picture.Picture.boundingRect(), QRect(0, 0, kDiagramWidth, kDiagramHeight));

    QImage image(kDiagramWidth, kDiagramHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.drawPicture(0, 0, picture.Picture);
    painter.end();
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            red += pixel.red() > 200 && pixel.green() < 120 && pixel.blue() < 120;
        }
    EXPECT_GT(red, 600); // the line across six band intervals, two pixels wide
}

TEST(NachhallDia, FileNameGetsAWindowsMetafile)
{
    dazo::test::TempDir dir;
    const QString file = QString::fromStdString(dir.File("diagramm.wmf"));
    const TBandDiagramPicture picture = DrawBandDiagram(file, kValues, FormatSettings::English());
    EXPECT_TRUE(picture.Emf.isEmpty());
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.read(4), QByteArray("\xD7\xCD\xC6\x9A", 4)); // placeable metafile key
}

} // namespace
} // namespace dazo::ui
