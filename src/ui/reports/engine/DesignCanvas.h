// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The designer's drawing area: the report's bands one below the other at
// their true size, each under a strip with its name, and the elements drawn
// as they print (data texts show their field). Elements are selected with a
// click, moved by dragging and resized at their lower right corner; a click
// on a band's free space selects the band.

#include "reports/ReportLayout.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>

namespace dazo::ui {

class Report;
class ReportTextEngine;

// The band, and the element in it (-1: the band itself).
struct DesignSelection {
    BandKind Band = BandKind::Detail;
    int Element = -1;
    bool operator==(const DesignSelection&) const = default;
};

QString BandCaption(BandKind kind);
QString ElementKindCaption(ElementKind kind);

class DesignCanvas : public QWidget {
    Q_OBJECT

public:
    DesignCanvas(ReportLayout& layout, const Report& report, QWidget* parent = nullptr);
    ~DesignCanvas() override;

    const DesignSelection& Selection() const { return selection_; }
    void Select(const DesignSelection& selection);
    ReportElement* SelectedElement();

    // Pixels per millimetre on screen.
    double Scale() const { return scale_; }
    // The widget position of a point of a band (mm).
    QPointF ToWidget(BandKind band, double left, double top) const;
    // Band and band coordinates (mm) under a widget position.
    std::optional<std::pair<BandKind, QPointF>> BandAt(const QPointF& position) const;
    // Fits the widget to the layout after a change of bands or page.
    void Relayout();

    QSize sizeHint() const override;

signals:
    void selectionChanged();
    // An element was moved or resized with the mouse.
    void elementChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Move, Resize };

    double BandTop(BandKind band) const; // widget y of the band's area
    double BandHeight(BandKind band) const; // mm
    std::string DesignText(const ReportElement& element) const;
    void Nudge(double dx, double dy);

    ReportLayout& layout_;
    const Report& report_;
    std::unique_ptr<ReportTextEngine> text_;
    DesignSelection selection_;
    double scale_;
    Drag drag_ = Drag::None;
    QPointF dragStart_;
    ReportElement before_;
};

} // namespace dazo::ui
