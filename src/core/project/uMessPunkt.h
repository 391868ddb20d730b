// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Measurement points and their lines in section "Messungen" of the project file:
//   MP1="Messpunkt 1","Raummitte","zur Schallquelle",1.2,1.5,"Bühne",1.6,2,"","","","r01.tim","r02.tim",
// Eleven point fields (texts quoted, distances in metres with "."), then one
// field per measurement file, and a trailing comma.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dazo {

class IniFile;

// One measurement of a point, as the measurement manager's tree shows it.
struct TMessung {
    std::string Caption;  // "Messung <k>", k = 1-based position among the point's files
    std::string FileName; // bare file name as in the point line
    bool Standard = false;
};

struct TMessPunkt {
    std::string Id; // the key the line was read under; the save renumbers
    std::string Name;
    std::string MicPos;
    std::string MicRichtung;
    double MicAbBoden = 0;
    double MicAbWand = 0;
    std::string Lautpos;
    double LautAbBoden = 0;
    double LautAbWand = 0;
    std::string Note;
    std::string nn1; // reserved, carried unchanged
    std::string nn2;
    // The point's measurement files as one text: bare names joined by commas
    // (ReadPointLine) or quoted names joined by commas (measurement manager).
    // Empty: no measurements.
    std::string Files;
};

// An ordered list that owns its points.
class TMesspunkte {
public:
    int Count() const;
    TMessPunkt& Items(int index) const;
    int Add(std::unique_ptr<TMessPunkt> point); // returns the point's index
    TMessPunkt& AddNew();
    void Clear();

private:
    std::vector<std::unique_ptr<TMessPunkt>> points_;
};

inline constexpr std::string_view kMeasurementsSection = "Messungen";

// Fills point from one key=value line of "Messungen"; returns the file names
// (fields from 11 up to the first empty one). Fewer than 11 fields: throws
// "falsches Datenformat" and leaves point unchanged.
std::vector<std::string> ReadPointLine(TMessPunkt& point, std::string_view keyValueLine);

// All points of the project file in file order; stops with "falsches
// Datenformat" at a short line, keeping the points read before it.
void LoadMeasurementPoints(const std::string& projectFile, TMesspunkte& points);

// Every field from index 11 on of every point line, empty ones included;
// "falsches Datenformat" at a line of fewer than 12 fields.
void ReadMeasurementFileList(const std::string& projectFile, std::vector<std::string>& files);

// The value of a point's line: the eleven fields, each followed by a comma,
// then Files as it stands and a comma unless Files ends with one.
std::string PointLineValue(const TMessPunkt& point);

// Replaces section "Messungen" by the points that have files, as MP1, MP2, ...
// in the given order, and stores "eAnzMessungen" = measurementCount and
// "eAnzMesspunkte" = number of points written in section "DATA".
void SavePointList(IniFile& projectIni, const std::vector<const TMessPunkt*>& pointsInTreeOrder,
                   int measurementCount);

// Line value of a new point without measurements, named "Messpunkt <existingPoints + 1>".
std::string NewPointValue(int existingPoints);

// The line with one more measurement file.
std::string AppendMeasurementToLine(std::string line, std::string_view bareFileName);

// The one-point list of a project started from a single measurement file:
// "MP1=" + the new-point value with that file.
std::string SingleMeasurementPointList(std::string_view bareFileName);

} // namespace dazo
