// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ChartExport.h"

#include "app/Metafile.h"
#include "bridge/AnsiText.h"
#include "common/DazoError.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <qcustomplot.h>

namespace dazo::ui {
namespace {

constexpr int kDotsPerInch = 96;

// False when the device cannot be painted on (a picture too large to allocate).
bool Paint(QPaintDevice& device, const QRect& area, const ChartRenderer& render, bool vector)
{
    QCPPainter painter;
    if (!painter.begin(&device))
        return false;
    if (vector)
        painter.setMode(QCPPainter::pmVectorized);
    render(painter, area);
    return painter.end();
}

QByteArray BitmapBytes(const QRect& area, const ChartRenderer& render, const char* format)
{
    QImage image(area.size(), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!Paint(image, area, render, false) || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format))
        return {};
    return bytes;
}

QByteArray MetafileBytes(const QRect& area, const ChartRenderer& render, MetafileDevice::Format format)
{
    MetafileDevice device(format, area.size());
    return Paint(device, area, render, true) ? device.Bytes() : QByteArray();
}

QByteArray SvgBytes(const QRect& area, const ChartRenderer& render)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(area.size());
    svg.setViewBox(area);
    svg.setResolution(kDotsPerInch);
    return Paint(svg, area, render, true) ? bytes : QByteArray();
}

QByteArray PdfBytes(const QRect& area, const ChartRenderer& render)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator("DAZO Rudozudoveva");
        pdf.setResolution(kDotsPerInch);
        // One page of exactly the picture's size, drawn in 96-dpi pixels.
        const QSizeF points = QSizeF(area.size()) * 72.0 / kDotsPerInch;
        pdf.setPageLayout(QPageLayout(
            QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch), QPageLayout::Portrait, QMarginsF()));
        if (!Paint(pdf, area, render, true))
            return {};
    }
    return bytes;
}

void WriteWholeFile(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        FailWith("In %s kann nicht geschrieben werden", ToAnsi(QDir::toNativeSeparators(fileName)));
}

const struct {
    const char* suffix;
    ChartFormat format;
} kSuffixes[] = {{"bmp", ChartFormat::Bmp}, {"wmf", ChartFormat::Wmf}, {"emf", ChartFormat::Emf},
    {"png", ChartFormat::Png}, {"svg", ChartFormat::Svg}, {"pdf", ChartFormat::Pdf}};

// "falsches Datenformat" (UTF-8), naming every format a chart can be saved in.
std::string WrongFormatMessage()
{
    std::string formats;
    for (const auto& entry : kSuffixes)
        formats += (formats.empty() ? "*." : ", *.") + std::string(entry.suffix);
    return "falsches Datenformat \r\nnur " + formats + " zulässig";
}

} // namespace

QString ChartDocumentName(const ChartCaption& caption)
{
    QStringList parts;
    for (const QString& part : {QFileInfo(caption.measurementFile).completeBaseName(), caption.band, caption.representation})
        if (!part.isEmpty())
            parts << part;
    // The print dialog cuts a name at its last dot as if it were an extension.
    return parts.isEmpty() ? QStringLiteral("Diagramm") : parts.join(u' ').replace(u'.', u',');
}

QString ChartCaptionText(const ChartCaption& caption)
{
    QStringList parts;
    if (!caption.project.isEmpty())
        parts << QStringLiteral("Projekt: ") + caption.project;
    if (!caption.measurementFile.isEmpty())
        parts << QStringLiteral("Messung: ") + caption.measurementFile
                     + (caption.point.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(caption.point));
    for (const QString& part : {caption.band, caption.representation})
        if (!part.isEmpty())
            parts << part;
    if (caption.date.isValid())
        parts << caption.date.toString(QStringLiteral("dd.MM.yyyy"));
    return parts.join(QStringLiteral(" – "));
}

std::optional<ChartFormat> ChartFormatForFile(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    for (const auto& entry : kSuffixes)
        if (suffix.compare(QLatin1String(entry.suffix), Qt::CaseInsensitive) == 0)
            return entry.format;
    return std::nullopt;
}

QString ChartSaveFilter()
{
    return QStringLiteral("Bitmap (*.bmp);;Windows Metafile (*.wmf);;Windows Metafile (*.emf);;"
                          "PNG (*.png);;SVG (*.svg);;PDF (*.pdf)");
}

ChartRenderer CustomPlotRenderer(QCustomPlot& plot)
{
    return [&plot](QCPPainter& painter, const QRect& area) { plot.toPainter(&painter, area.width(), area.height()); };
}

QByteArray ChartPictureBytes(ChartFormat format, const QSize& size, const ChartRenderer& render)
{
    const QRect area(QPoint(0, 0), size.expandedTo(QSize(1, 1)));
    switch (format) {
    case ChartFormat::Bmp: return BitmapBytes(area, render, "BMP");
    case ChartFormat::Png: return BitmapBytes(area, render, "PNG");
    case ChartFormat::Wmf: return MetafileBytes(area, render, MetafileDevice::Format::Wmf);
    case ChartFormat::Emf: return MetafileBytes(area, render, MetafileDevice::Format::Emf);
    case ChartFormat::Svg: return SvgBytes(area, render);
    case ChartFormat::Pdf: return PdfBytes(area, render);
    }
    return {};
}

void SaveChartPicture(const QString& fileName, const QSize& size, const ChartRenderer& render)
{
    const std::optional<ChartFormat> format = ChartFormatForFile(fileName);
    if (!format)
        Fail(WrongFormatMessage());
    WriteWholeFile(fileName, ChartPictureBytes(*format, size, render));
}

} // namespace dazo::ui
