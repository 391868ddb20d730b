// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/uNachhallDia.h"

#include "app/ChartExport.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace dazo::ui {
namespace {

constexpr double kBottomDefinedMin = 0;
constexpr double kBottomDefinedMax = 7;

// The texts of the seven points; the 8000 Hz point has none.
const char* const kPointTexts[] = {"125", "250", "500", "1000", "2000", "4000", ""};

// The left axis with automatic steps but always two minor ticks between them.
class TwoMinorTicks : public QCPAxisTicker {
protected:
    int getSubTickCount(double) override { return 2; }
};

void SetUpAxis(QCPAxis& axis, const QString& title)
{
    axis.setLabel(title);
    axis.grid()->setPen(QPen(QColor(128, 128, 128), 2, Qt::SolidLine));
    axis.grid()->setSubGridPen(QPen(QColor(160, 160, 160), 1, Qt::SolidLine));
    axis.grid()->setSubGridVisible(true);
    axis.grid()->setZeroLinePen(Qt::NoPen);
    // Tick marks hidden; the minor ticks stay on for the minor grid.
    axis.setSubTicks(true);
    axis.setTickLength(0, 0);
    axis.setSubTickLength(0, 0);
}

} // namespace

void SetUpBandChart(QCustomPlot& chart, const QColor& background, int lineWidth, const FormatSettings& format)
{
    QLocale locale = format.decimalSeparator == ',' ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    chart.setLocale(locale);
    chart.setInteractions({});
    chart.setBackground(background);
    chart.legend->setVisible(false);

    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    ticker->setSubTickCount(2);
    chart.xAxis->setTicker(ticker);
    SetUpAxis(*chart.xAxis, QStringLiteral("Frequenz [Hz]"));
    chart.xAxis->setRange(kBottomDefinedMin, kBottomDefinedMax);

    chart.yAxis->setTicker(QSharedPointer<TwoMinorTicks>::create());
    SetUpAxis(*chart.yAxis, QStringLiteral("Nachhallzeit [s]"));
    chart.yAxis->setRange(0, 1);

    QCPGraph* series = chart.graphCount() > 0 ? chart.graph(0) : chart.addGraph();
    series->setName(QStringLiteral("Series1"));
    series->setPen(QPen(Qt::red, lineWidth));
    series->setLineStyle(QCPGraph::lsLine);
    series->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
}

void ShiftBottomAxis(QCustomPlot& chart)
{
    // Set, not moved: a second show must not shift it again.
    chart.xAxis->setRange(kBottomDefinedMin - 1, kBottomDefinedMax - 1);
}

double LeftAxisMaximum(const TBandValues& values)
{
    return std::trunc(*std::max_element(values.begin(), values.end())) + 1;
}

void ShowBandValues(QCustomPlot& chart, const TBandValues& values)
{
    QVector<double> x;
    QVector<double> y;
    auto ticker = qSharedPointerDynamicCast<QCPAxisTickerText>(chart.xAxis->ticker());
    ticker->clear();
    for (std::size_t i = 0; i < values.size(); ++i) {
        x.append(static_cast<double>(i));
        y.append(values[i]);
        ticker->addTick(static_cast<double>(i), QString::fromLatin1(kPointTexts[i]));
    }
    chart.graph(0)->setData(x, y, true);
    chart.yAxis->setRange(0, LeftAxisMaximum(values));
    // Queued: the chart may still be hidden and without a size to draw at.
    chart.replot(QCustomPlot::rpQueuedReplot);
}

void ShowCorridor(QCustomPlot& chart, const std::optional<TCorridor>& corridor)
{
    // Graph 0 is the series; 1 and 2 the lower and upper line.
    while (chart.graphCount() > 1)
        chart.removeGraph(chart.graphCount() - 1);
    if (!corridor)
        return;
    const QPen pen(QColor(0, 128, 0), 1.5, Qt::DashLine);
    QVector<double> x;
    QVector<double> lower;
    QVector<double> upper;
    for (std::size_t i = 0; i < corridor->Lower.size(); ++i) {
        x.append(static_cast<double>(i));
        lower.append(corridor->Lower[i]);
        upper.append(corridor->Upper[i]);
    }
    QCPGraph* low = chart.addGraph();
    low->setName(QStringLiteral("DIN18041Unten"));
    low->setPen(pen);
    low->setData(x, lower, true);
    QCPGraph* high = chart.addGraph();
    high->setName(QStringLiteral("DIN18041Oben"));
    high->setPen(pen);
    high->setBrush(QColor(0, 160, 0, 40));
    high->setChannelFillGraph(low);
    high->setData(x, upper, true);
    // Behind the measured line, which stays on top.
    low->setLayer(QStringLiteral("grid"));
    high->setLayer(QStringLiteral("grid"));
    chart.yAxis->setRange(0, std::max(chart.yAxis->range().upper, LeftAxisMaximum(corridor->Upper)));
    chart.replot(QCustomPlot::rpQueuedReplot);
}

TNachHallDia::TNachHallDia(const TBandValues& values, const FormatSettings& format, const std::optional<TCorridor>& corridor)
    : chart_(new QCustomPlot)
{
    chart_->resize(kDiagramWidth, kDiagramHeight);
    SetUpBandChart(*chart_, Qt::white, 2, format);
    ShowBandValues(*chart_, values);
    ShowCorridor(*chart_, corridor);
    ShiftBottomAxis(*chart_);
}

TNachHallDia::~TNachHallDia()
{
    delete chart_;
}

TBandDiagramPicture DrawBandDiagram(const QString& fileName, const TBandValues& values, const FormatSettings& format,
                                    const std::optional<TCorridor>& corridor)
{
    TNachHallDia diagram(values, format, corridor);
    const QSize size(kDiagramWidth, kDiagramHeight);
    const ChartRenderer render = CustomPlotRenderer(diagram.Chart1());
    TBandDiagramPicture picture;
    if (!fileName.isEmpty()) {
        SaveChartPicture(fileName, size, render);
        return picture;
    }
    picture.Emf = ChartPictureBytes(ChartFormat::Emf, size, render);
    picture.Picture.setBoundingRect(QRect(QPoint(0, 0), size));
    QCPPainter painter(&picture.Picture);
    painter.setMode(QCPPainter::pmVectorized);
    render(painter, QRect(QPoint(0, 0), size));
    painter.end();
    return picture;
}

} // namespace dazo::ui
