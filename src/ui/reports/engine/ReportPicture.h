// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A picture of a report's image element: a bitmap, a recorded drawing
// (QPicture, as the diagram is drawn) or a picture file (bitmap formats and
// SVG), drawn into its frame filling it or kept in proportion.

#include <QImage>
#include <QPicture>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;
class QRectF;
class QSvgRenderer;

namespace dazo::ui {

class ReportPicture {
public:
    ReportPicture() = default;
    static ReportPicture FromImage(const QImage& image);
    static ReportPicture FromPicture(const QPicture& picture);
    // "Datei <file> kann nicht geöffnet werden" when the file is missing or
    // holds no picture the program can read.
    static ReportPicture FromFile(const QString& fileName);

    bool IsNull() const;
    // The picture's own size in millimetres (from its resolution).
    QSizeF SizeMm() const;
    // Centred in the frame when kept in proportion.
    void Draw(QPainter& painter, const QRectF& frame, bool keepProportion) const;

private:
    QImage image_;
    QPicture picture_;
    std::shared_ptr<QSvgRenderer> svg_;
};

} // namespace dazo::ui
