// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Diagramm speichern...": the chart as a picture file, chosen by the file
// name's extension. Bitmaps get a white background; WMF and EMF are vector
// metafiles for office programs; PNG, SVG and PDF are offered besides.

#include <QByteArray>
#include <QDate>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class QCPPainter;
class QCustomPlot;

namespace dazo::ui {

// What a printed or saved chart shows besides its curves.
struct ChartCaption {
    QString project;         // the project file's name
    QString measurementFile; // the measurement file's name
    QString point;           // the manager's caption of the measurement, e.g. "Messpunkt 1 (1)"
    QString band;            // the tree node, e.g. "250 Hz"
    QString representation;  // the "Darstellung" entry, e.g. "h(t)"
    QDate date;
};

// The name a print proposes for its PDF file, e.g. "r01 250 Hz h(t)": each
// measurement, band and representation prints to a file of its own.
QString ChartDocumentName(const ChartCaption& caption);

// The line above a printed or saved chart, e.g. "Projekt: halle.npj – Messung:
// r01.tim (Messpunkt 1 (1)) – 250 Hz – h(t) – 10.12.2026"; parts not known are left out.
QString ChartCaptionText(const ChartCaption& caption);

enum class ChartFormat { Bmp, Wmf, Emf, Png, Svg, Pdf };

// The format of a file name's extension, compared without regard to case.
std::optional<ChartFormat> ChartFormatForFile(const QString& fileName);

// Filter of the save dialog, one entry per format.
QString ChartSaveFilter();

// Draws the chart into area (the whole picture, origin 0,0). The painter is a
// QCPPainter so that a QCustomPlot can render itself; anything else just uses
// it as a QPainter.
using ChartRenderer = std::function<void(QCPPainter& painter, const QRect& area)>;

// A QCustomPlot drawn as vectors (not its screen buffer).
ChartRenderer CustomPlotRenderer(QCustomPlot& plot);

// The picture file's bytes; empty if the picture could not be made.
QByteArray ChartPictureBytes(ChartFormat format, const QSize& size, const ChartRenderer& render);

// Writes the picture of size pixels to fileName in the format of its
// extension. Throws DazoError "falsches Datenformat ..." for any other
// extension (nothing is written) and "In ... kann nicht geschrieben werden"
// when the file cannot be written (an existing file stays as it was).
void SaveChartPicture(const QString& fileName, const QSize& size, const ChartRenderer& render);

} // namespace dazo::ui
