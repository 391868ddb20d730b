// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Draws laid-out report pages with QPainter, on any device: printer, PDF,
// preview or the designer. Everything is laid out in report units of 1/600
// inch on a device of that resolution, so a text breaks into the same lines
// whatever it is drawn on; the painter is scaled to the target device.

#include "reports/ReportPagination.h"

#include <QFont>
#include <QImage>
#include <QRectF>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPaintDevice;
class QTextDocument;

namespace dazo::ui {

class ReportPicture;

inline constexpr double kReportDpi = 600;

double MmToUnits(double mm);
QRectF MmToUnits(double left, double top, double width, double height);

// Sets the painter up for report units on its device; origin at the paper's
// top left corner.
void BeginReportUnits(QPainter& painter, const QPaintDevice& device);

// Memos and rich texts as laid-out documents: measured for the pagination and
// drawn from the same layout. Documents are kept per text, width and font.
class ReportTextEngine : public ReportTextMeasurer {
public:
    ReportTextEngine();
    ~ReportTextEngine() override;

    double ContentHeight(const ReportElement& element, const std::string& text) override;
    double BreakHeight(const ReportElement& element, const std::string& text, double limit) override;

    // The element's font for the report-unit device.
    QFont Font(const ReportFont& font) const;
    // One line of text in the frame's top, laid out on the report-unit
    // device: the painter's device does not change its size.
    void DrawSingleLine(QPainter& painter, const QRectF& frame, const QString& text, const ReportFont& font,
                        TextAlignment alignment);
    // The memo (plain text) or rich text (RTF or plain) laid out at the
    // element's width.
    QTextDocument& Document(const ReportElement& element, const std::string& text);

private:
    struct Laid;
    Laid& Layout(const ReportElement& element, const std::string& text);

    QImage device_;
    std::map<std::string, std::unique_ptr<Laid>> documents_;
};

// The picture an image element shows (nullptr for none).
using PictureLookup = std::function<const ReportPicture*(const ReportElement& element)>;

// Draws one page; the painter is in report units (BeginReportUnits).
void DrawReportPage(QPainter& painter, const ReportPage& page, const PageTextContext& context, ReportTextEngine& text,
                    const PictureLookup& pictures);

// Draws one element into its frame (mm), as the designer shows it.
void DrawElement(QPainter& painter, const PlacedElement& placed, const std::string& text, ReportTextEngine& engine,
                 const ReportPicture* picture);

} // namespace dazo::ui
