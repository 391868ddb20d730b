// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/engine/ReportPicture.h"

#include "bridge/AnsiText.h"
#include "common/DazoError.h"

#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

namespace dazo::ui {
namespace {

constexpr double kMmPerInch = 25.4;

QRectF Fitted(const QSizeF& size, const QRectF& frame, bool keepProportion)
{
    if (!keepProportion || size.isEmpty())
        return frame;
    const QSizeF scaled = size.scaled(frame.size(), Qt::KeepAspectRatio);
    return QRectF(frame.center() - QPointF(scaled.width() / 2, scaled.height() / 2), scaled);
}

} // namespace

ReportPicture ReportPicture::FromImage(const QImage& image)
{
    ReportPicture picture;
    picture.image_ = image;
    return picture;
}

ReportPicture ReportPicture::FromPicture(const QPicture& drawing)
{
    ReportPicture picture;
    picture.picture_ = drawing;
    return picture;
}

ReportPicture ReportPicture::FromFile(const QString& fileName)
{
    ReportPicture picture;
    if (fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        auto svg = std::make_shared<QSvgRenderer>(fileName);
        if (svg->isValid()) {
            picture.svg_ = std::move(svg);
            return picture;
        }
    } else {
        QImageReader reader(fileName);
        reader.setAutoTransform(true);
        picture.image_ = reader.read();
        if (!picture.image_.isNull())
            return picture;
    }
    FailWith("Datei %s kann nicht geöffnet werden", ToAnsi(fileName));
}

bool ReportPicture::IsNull() const
{
    return image_.isNull() && picture_.isNull() && !svg_;
}

QSizeF ReportPicture::SizeMm() const
{
    if (!image_.isNull()) {
        const double dpmX = image_.dotsPerMeterX() > 0 ? image_.dotsPerMeterX() : 3780;
        const double dpmY = image_.dotsPerMeterY() > 0 ? image_.dotsPerMeterY() : 3780;
        return {image_.width() * 1000.0 / dpmX, image_.height() * 1000.0 / dpmY};
    }
    if (!picture_.isNull()) {
        const QRect bounds = picture_.boundingRect();
        return {bounds.width() * kMmPerInch / picture_.logicalDpiX(), bounds.height() * kMmPerInch / picture_.logicalDpiY()};
    }
    if (svg_) {
        const QSize size = svg_->defaultSize(); // CSS pixels at 96 dpi
        return {size.width() * kMmPerInch / 96.0, size.height() * kMmPerInch / 96.0};
    }
    return {};
}

void ReportPicture::Draw(QPainter& painter, const QRectF& frame, bool keepProportion) const
{
    if (!image_.isNull()) {
        painter.drawImage(Fitted(image_.size(), frame, keepProportion), image_);
    } else if (!picture_.isNull()) {
        const QRectF bounds = picture_.boundingRect();
        const QRectF target = Fitted(bounds.size(), frame, keepProportion);
        painter.save();
        painter.translate(target.topLeft());
        painter.scale(target.width() / bounds.width(), target.height() / bounds.height());
        painter.translate(-bounds.topLeft());
        // Playing a picture scales it from its own resolution to the device's
        // on top of the painter's transformation; that is undone here.
        if (const QPaintDevice* device = painter.device())
            painter.scale(static_cast<double>(picture_.logicalDpiX()) / device->logicalDpiX(),
                          static_cast<double>(picture_.logicalDpiY()) / device->logicalDpiY());
        painter.drawPicture(0, 0, picture_);
        painter.restore();
    } else if (svg_) {
        svg_->render(&painter, Fitted(svg_->defaultSize(), frame, keepProportion));
    }
}

} // namespace dazo::ui
