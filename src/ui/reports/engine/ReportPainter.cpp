// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/engine/ReportPainter.h"

#include "bridge/AnsiText.h"
#include "project/RtfReader.h"
#include "reports/MailMerge.h"
#include "reports/engine/ReportPicture.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace dazo::ui {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kScreenDpi = 96;
// RTF's default tab stop, half an inch, in the document's 96 dpi pixels.
constexpr double kDefaultTabStop = kScreenDpi / 2;

double UnitsToMm(double units)
{
    return units * kMmPerInch / kReportDpi;
}

QColor ColorOf(std::uint32_t rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

Qt::Alignment HorizontalAlignment(TextAlignment alignment)
{
    switch (alignment) {
    case TextAlignment::Center: return Qt::AlignHCenter;
    case TextAlignment::Right: return Qt::AlignRight;
    case TextAlignment::Left: break;
    }
    return Qt::AlignLeft;
}

// Paragraph measures come in 96 dpi pixels (the RTF reader's measure). The
// document layout scales the vertical ones, tab stops and list indents to
// its device, but takes the left and right margins and the first-line
// indent as device pixels: those are scaled here.
void ScaleHorizontalIndents(QTextDocument& document, double factor)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        format.setLeftMargin(format.leftMargin() * factor);
        format.setRightMargin(format.rightMargin() * factor);
        format.setTextIndent(format.textIndent() * factor);
        QTextCursor(block).setBlockFormat(format);
    }
}

QRectF FrameOf(const PlacedElement& placed)
{
    return MmToUnits(placed.Left, placed.Top, placed.Width, placed.Height);
}

void DrawLine(QPainter& painter, const ReportElement& element, const QRectF& frame)
{
    if (element.PenWidth <= 0)
        return;
    painter.setPen(QPen(ColorOf(element.PenColor), MmToUnits(element.PenWidth * kMmPerPoint), Qt::SolidLine, Qt::FlatCap));
    switch (element.Side) {
    case LineSide::Top: painter.drawLine(frame.topLeft(), frame.topRight()); break;
    case LineSide::Bottom: painter.drawLine(frame.bottomLeft(), frame.bottomRight()); break;
    case LineSide::Left: painter.drawLine(frame.topLeft(), frame.bottomLeft()); break;
    case LineSide::Right: painter.drawLine(frame.topRight(), frame.bottomRight()); break;
    }
}

void DrawRectangle(QPainter& painter, const ReportElement& element, const QRectF& frame)
{
    if (element.PenWidth > 0)
        painter.setPen(QPen(ColorOf(element.PenColor), MmToUnits(element.PenWidth * kMmPerPoint), Qt::SolidLine,
                            Qt::SquareCap, Qt::MiterJoin));
    else
        painter.setPen(Qt::NoPen);
    painter.setBrush(element.Filled ? QBrush(ColorOf(element.FillColor)) : QBrush(Qt::NoBrush));
    painter.drawRect(frame);
    painter.setBrush(Qt::NoBrush);
}

} // namespace

double MmToUnits(double mm)
{
    return mm * kReportDpi / kMmPerInch;
}

QRectF MmToUnits(double left, double top, double width, double height)
{
    return QRectF(MmToUnits(left), MmToUnits(top), MmToUnits(width), MmToUnits(height));
}

void BeginReportUnits(QPainter& painter, const QPaintDevice& device)
{
    painter.resetTransform();
    painter.scale(device.logicalDpiX() / kReportDpi, device.logicalDpiY() / kReportDpi);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

// A document with its lines' extents in report units, top to bottom.
struct ReportTextEngine::Laid {
    QTextDocument document;
    std::vector<std::pair<double, double>> lines; // top, bottom
};

ReportTextEngine::ReportTextEngine()
    : device_(1, 1, QImage::Format_ARGB32_Premultiplied)
{
    const int dotsPerMeter = qRound(kReportDpi / kMmPerInch * 1000);
    device_.setDotsPerMeterX(dotsPerMeter);
    device_.setDotsPerMeterY(dotsPerMeter);
}

ReportTextEngine::~ReportTextEngine() = default;

QFont ReportTextEngine::Font(const ReportFont& font) const
{
    QFont qfont(FromAnsi(font.Family));
    qfont.setPointSizeF(font.Size);
    qfont.setBold(font.Bold);
    qfont.setItalic(font.Italic);
    qfont.setUnderline(font.Underline);
    qfont.setHintingPreference(QFont::PreferNoHinting);
    return QFont(qfont, &device_);
}

void ReportTextEngine::DrawSingleLine(QPainter& painter, const QRectF& frame, const QString& text, const ReportFont& font,
                                      TextAlignment alignment)
{
    QTextLayout layout(text, Font(font), &device_);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return;
    const double width = line.naturalTextWidth();
    double left = frame.left();
    if (alignment == TextAlignment::Right)
        left = frame.right() - width;
    else if (alignment == TextAlignment::Center)
        left = frame.center().x() - width / 2;
    painter.setPen(ColorOf(font.Color));
    layout.draw(&painter, QPointF(left, frame.top()));
}

ReportTextEngine::Laid& ReportTextEngine::Layout(const ReportElement& element, const std::string& text)
{
    const ReportFont& f = element.Font;
    std::string key = std::to_string(static_cast<int>(element.Kind)) + '|' + std::to_string(element.Width) + '|'
                    + std::to_string(static_cast<int>(element.Alignment)) + '|' + f.Family + '|' + std::to_string(f.Size)
                    + '|' + (f.Bold ? 'b' : '-') + (f.Italic ? 'i' : '-') + (f.Underline ? 'u' : '-') + '|'
                    + std::to_string(f.Color) + '|' + text;
    auto& laid = documents_[key];
    if (laid)
        return *laid;

    laid = std::make_unique<Laid>();
    QTextDocument& document = laid->document;
    document.documentLayout()->setPaintDevice(&device_);
    document.setDocumentMargin(0);
    document.setDefaultFont(Font(f));
    QTextOption option = document.defaultTextOption();
    option.setAlignment(HorizontalAlignment(element.Alignment));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(kDefaultTabStop);
    document.setDefaultTextOption(option);
    if (element.Kind == ElementKind::RichText && dazo::IsRtf(text)) {
        ReadRtf(QByteArray::fromStdString(text), document);
        ScaleHorizontalIndents(document, kReportDpi / kScreenDpi);
    } else {
        // A line break written as CR LF is one break, not two paragraphs.
        document.setPlainText(FromAnsi(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
    document.setTextWidth(MmToUnits(element.Width));

    QAbstractTextDocumentLayout* layout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* lines = block.layout();
        const double top = layout->blockBoundingRect(block).top();
        for (int i = 0; lines && i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            laid->lines.emplace_back(top + line.y(), top + line.y() + line.height());
        }
    }
    return *laid;
}

QTextDocument& ReportTextEngine::Document(const ReportElement& element, const std::string& text)
{
    return Layout(element, text).document;
}

double ReportTextEngine::ContentHeight(const ReportElement& element, const std::string& text)
{
    if (text.empty())
        return 0;
    return UnitsToMm(Layout(element, text).document.size().height());
}

double ReportTextEngine::BreakHeight(const ReportElement& element, const std::string& text, double limit)
{
    const Laid& laid = Layout(element, text);
    const double limitUnits = MmToUnits(limit);
    const auto cuts = [&](double at) {
        return std::any_of(laid.lines.begin(), laid.lines.end(), [&](const auto& line) {
            return line.first < at - 1e-6 && line.second > at + 1e-6;
        });
    };
    if (!cuts(limitUnits))
        return limit;
    // The lowest line end above the limit that cuts no other line (a line of
    // a table cell beside may reach further down).
    double best = 0;
    for (const auto& line : laid.lines)
        if (line.second <= limitUnits && line.second > best && !cuts(line.second))
            best = line.second;
    return UnitsToMm(best);
}

void DrawElement(QPainter& painter, const PlacedElement& placed, const std::string& text, ReportTextEngine& engine,
                 const ReportPicture* picture)
{
    const ReportElement& element = *placed.Element;
    const QRectF frame = FrameOf(placed);
    painter.save();
    switch (element.Kind) {
    case ElementKind::Line: DrawLine(painter, element, frame); break;
    case ElementKind::Rectangle: DrawRectangle(painter, element, frame); break;
    case ElementKind::Image:
        if (picture)
            picture->Draw(painter, frame, element.KeepProportion);
        break;
    case ElementKind::Memo:
    case ElementKind::RichText: {
        QTextDocument& document = engine.Document(element, text);
        const double offset = MmToUnits(placed.ContentOffset);
        const QRectF shown(0, offset, frame.width(), frame.height());
        painter.translate(frame.left(), frame.top() - offset);
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        // Lines merely touching the piece belong to the pieces before and
        // after it: drawn here, they would be clipped from sight but stay in
        // a PDF's text layer, found by search and copy.
        constexpr double kTouching = 1; // report unit
        context.clip = shown.adjusted(0, kTouching, 0, -kTouching);
        context.palette.setColor(QPalette::Text, ColorOf(element.Font.Color));
        document.documentLayout()->draw(&painter, context);
        break;
    }
    case ElementKind::Label:
    case ElementKind::DataText:
    case ElementKind::SystemVariable:
    case ElementKind::Variable:
        engine.DrawSingleLine(painter, frame, FromAnsi(text), element.Font, element.Alignment);
        break;
    }
    painter.restore();
}

void DrawReportPage(QPainter& painter, const ReportPage& page, const PageTextContext& context, ReportTextEngine& text,
                    const PictureLookup& pictures)
{
    for (const PlacedElement& placed : page.Elements) {
        const ReportPicture* picture = placed.Element->Kind == ElementKind::Image ? pictures(*placed.Element) : nullptr;
        DrawElement(painter, placed, PrintedText(placed, context), text, picture);
    }
}

} // namespace dazo::ui
