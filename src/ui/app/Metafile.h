// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A paint device that records QPainter drawing as a vector metafile (EMF or
// placeable WMF) that office programs can import. Lines, polygons, rectangles
// and paths with solid pens and brushes, text with its font, images and
// rectangular clips are kept; what the formats lack degrades: gradients and
// patterns fill with one colour, transparency is dropped, clips become their
// bounding rectangle.

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>

#include <memory>

namespace dazo::ui {

class MetafilePaintEngine;

class MetafileDevice : public QPaintDevice {
public:
    enum class Format { Emf, Wmf };

    // size: the picture in device pixels at 96 dpi (at least 1 x 1).
    MetafileDevice(Format format, const QSize& size);
    ~MetafileDevice() override;

    QPaintEngine* paintEngine() const override;

    // The complete metafile of the last painting session (an empty picture
    // before the first one).
    QByteArray Bytes() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size_;
    std::unique_ptr<MetafilePaintEngine> engine_;
};

} // namespace dazo::ui
