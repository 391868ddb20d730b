// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ChartExport.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "support/TempDir.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <filesystem>

namespace dazo::ui {
namespace {

// A black 5 x 5 square at (10, 10); everything else is left to the format.
void DrawMark(QPainter& painter, const QRect&)
{
    painter.fillRect(QRect(10, 10, 5, 5), Qt::black);
}

TEST(ChartExport, FormatFollowsTheExtensionWhateverItsCase)
{
    const struct {
        const char* name;
        std::optional<ChartFormat> format;
    } cases[] = {{"chart.bmp", ChartFormat::Bmp}, {"chart.wmf", ChartFormat::Wmf}, {"CHART.EMF", ChartFormat::Emf},
        {"c.Png", ChartFormat::Png}, {"/a/b.c/chart.svg", ChartFormat::Svg}, {"chart.old.pdf", ChartFormat::Pdf},
        {"chart.jpg", std::nullopt}, {"chart", std::nullopt}, {"chart.", std::nullopt}, {"chart.emf.txt", std::nullopt},
        {"/a/b.emf/chart", std::nullopt}, {"", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(ChartFormatForFile(QString::fromUtf8(c.name)), c.format) << c.name;
    EXPECT_EQ(ChartSaveFilter(),
        "Bitmap (*.bmp);;Windows Metafile (*.wmf);;Windows Metafile (*.emf);;PNG (*.png);;"
        "SVG (*.svg);;PDF (*.pdf)");
}

TEST(ChartExport, PrintNameAndCaptionTellWhatTheChartShows)
{
    ChartCaption caption{"halle.npj", "r01.tim", "Messpunkt 1 (1)", "31,5 Hz", "log  h²(t)", QDate(2026, 12, 10)};
    EXPECT_EQ(ChartDocumentName(caption), QString::fromUtf8("r01 31,5 Hz log  h²(t)"));
    EXPECT_EQ(ChartCaptionText(caption),
              QString::fromUtf8("Projekt: halle.npj – Messung: r01.tim (Messpunkt 1 (1)) – 31,5 Hz – log  h²(t) – 10.12.2026"));
    // The print dialog would cut a name at a dot.
    caption.measurementFile = "raum.1.tim";
    EXPECT_EQ(ChartDocumentName(caption), QString::fromUtf8("raum,1 31,5 Hz log  h²(t)"));
    // Nothing shown: the project and the date only.
    const ChartCaption empty{"halle.npj", {}, {}, {}, {}, QDate(2026, 12, 10)};
    EXPECT_EQ(ChartDocumentName(empty), "Diagramm");
    EXPECT_EQ(ChartCaptionText(empty), QString::fromUtf8("Projekt: halle.npj – 10.12.2026"));
}

TEST(ChartExport, EachExtensionWritesItsFormat)
{
    test::TempDir dir;
    const struct {
        const char* name;
        std::string magic;
        std::size_t at;
    } cases[] = {{"c.bmp", "BM", 0}, {"c.png", "\x89PNG", 0}, {"c.emf", " EMF", 40}, {"c.EMF", " EMF", 40},
        {"c.wmf", std::string("\xD7\xCD\xC6\x9A", 4), 0}, {"c.svg", "<svg", std::string::npos}, {"c.pdf", "%PDF", 0}};
    for (const auto& c : cases) {
        const std::string file = dir.File(c.name);
        SaveChartPicture(QString::fromStdString(file), {120, 80}, DrawMark);
        const std::string bytes = test::ReadBytes(file);
        if (c.at == std::string::npos)
            EXPECT_NE(bytes.find(c.magic), std::string::npos) << c.name;
        else
            EXPECT_EQ(bytes.substr(c.at, c.magic.size()), c.magic) << c.name;
    }
}

TEST(ChartExport, BitmapHasWhiteBackgroundAndThePictureSize)
{
    test::TempDir dir;
    const QString file = QString::fromStdString(dir.File("chart.bmp"));
    SaveChartPicture(file, {120, 80}, DrawMark);
    const QImage image(file);
    ASSERT_EQ(image.size(), QSize(120, 80));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(119, 79), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(12, 12), qRgb(0, 0, 0));
}

TEST(ChartExport, OtherExtensionsAreRefusedAndWriteNothing)
{
    test::TempDir dir;
    bool rendered = false;
    for (const char* name : {"chart.jpg", "chart", "chart.emf.bak"}) {
        const std::string file = dir.File(name);
        try {
            SaveChartPicture(
                QString::fromStdString(file), {120, 80}, [&](QPainter&, const QRect&) { rendered = true; });
            ADD_FAILURE() << name << " was accepted";
        } catch (const DazoError& e) {
            EXPECT_EQ(e.what(), Ansi("falsches Datenformat \r\nnur *.bmp, *.wmf, *.emf, *.png, *.svg, *.pdf zulässig")) << name;
        }
        EXPECT_FALSE(std::filesystem::exists(file)) << name;
    }
    EXPECT_FALSE(rendered);
}

TEST(ChartExport, UnwritableFileNamesThePath)
{
    test::TempDir dir;
    for (const char* name : {"chart.emf", "chart.bmp", "chart.pdf"}) {
        const QString file = QString::fromStdString(dir.File("missing-folder")) + "/" + name;
        try {
            SaveChartPicture(file, {120, 80}, DrawMark);
            ADD_FAILURE() << name << " was written";
        } catch (const DazoError& e) {
            EXPECT_EQ(e.what(),
                "In " + Ansi(QDir::toNativeSeparators(file).toStdString()) + " kann nicht geschrieben werden");
        }
    }
}

} // namespace
} // namespace dazo::ui
