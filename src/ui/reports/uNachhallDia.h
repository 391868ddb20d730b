// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The reverberation-time diagram: the averaged RT20 of the seven octave bands
// 125 Hz to 8000 Hz as a red line over labelled band positions. The
// evaluation window shows it; DrawBandDiagram draws it off screen as the
// picture of the diagram report.

#include "bridge/AnsiText.h"

#include <QByteArray>
#include <QColor>
#include <QPicture>
#include <QString>

#include <array>
#include <optional>

class QCustomPlot;

namespace dazo::ui {

// The seven band values, 125 Hz first.
using TBandValues = std::array<double, 7>;

// The tolerance corridor of DIN 18041 in seconds (T_soll times the band's
// limits), per band like the values.
struct TCorridor {
    TBandValues Lower{};
    TBandValues Upper{};
};

// Size of the report's diagram picture; it sets the picture's proportions.
inline constexpr int kDiagramWidth = 480;
inline constexpr int kDiagramHeight = 333;

// Axes, grids and the one red series without markers; no title, legend, zoom
// or pan. The bottom axis spans 0 to 7 as defined; ShiftBottomAxis moves it.
// The left axis numbers use the user's decimal separator.
void SetUpBandChart(QCustomPlot& chart, const QColor& background, int lineWidth, const FormatSettings& format);
// The bottom axis as shown: -1 to 6, one free unit left of the first band.
void ShiftBottomAxis(QCustomPlot& chart);
// Seven points at x = 0..6 labelled "125" to "4000"; the 8000 Hz point is
// drawn without a label. The left axis runs from 0 to LeftAxisMaximum.
void ShowBandValues(QCustomPlot& chart, const TBandValues& values);
// The integer part of the largest value plus one (1.74 gives 2, 2.0 gives 3).
double LeftAxisMaximum(const TBandValues& values);
// The corridor as two dashed green lines with the area between them tinted,
// the left axis raised to take its upper line; none removes it.
void ShowCorridor(QCustomPlot& chart, const std::optional<TCorridor>& corridor);

// The off-screen diagram of the report: white, line width 2, 480 x 333.
class TNachHallDia {
public:
    TNachHallDia(const TBandValues& values, const FormatSettings& format, const std::optional<TCorridor>& corridor = {});
    ~TNachHallDia();
    TNachHallDia(const TNachHallDia&) = delete;
    TNachHallDia& operator=(const TNachHallDia&) = delete;

    QCustomPlot& Chart1() { return *chart_; }

private:
    QCustomPlot* chart_;
};

// The diagram picture in memory: the enhanced metafile the report engine
// places, and the same drawing as a QPicture.
struct TBandDiagramPicture {
    QByteArray Emf;
    QPicture Picture;
};

// With a file name the diagram is written to it as a metafile (".wmf" a
// placeable Windows metafile, ".emf" an enhanced one; the chart export's
// other formats by their extension too) and an empty picture is returned.
// With an empty name the picture is returned in memory; the clipboard is not
// touched. Write errors throw DazoError.
TBandDiagramPicture DrawBandDiagram(const QString& fileName, const TBandValues& values,
                                    const FormatSettings& format = UserFormat(),
                                    const std::optional<TCorridor>& corridor = {});

} // namespace dazo::ui
