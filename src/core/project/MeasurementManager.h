// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The measurement manager's point list: the project's measurement points with
// their measurements as a three-level tree ("Messort", points, measurements),
// the standard measurement, and the commands that change the point list in the
// project file. The window only shows this model and forwards the user's
// commands to it.

#include "common/FormatSettings.h"
#include "project/uMessPunkt.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dazo {

inline constexpr const char* LocationNodeText = "Messort";

// A node of the tree: level 0 the "Messort" node (point < 0), level 1 a point
// (measurement < 0), level 2 a measurement of a point.
struct PointTreeNode {
    int point = -1;
    int measurement = -1;

    int Level() const { return point < 0 ? 0 : measurement < 0 ? 1 : 2; }
    bool operator==(const PointTreeNode&) const = default;
};

// What the point page shows of a point, as texts (distances in the user's format).
struct PointTexts {
    std::string name;
    std::string micPos;
    std::string micRichtung;
    std::string micAbBoden;
    std::string micAbWand;
    std::string lautpos;
    std::string lautAbBoden;
    std::string lautAbWand;
    std::string note;
};

class TMeasurementPointModel {
public:
    // Asked to load a measurement file (full name) when it becomes the standard.
    using MeasurementSelectHandler = std::function<void(const std::string& fullPath)>;

    struct Point {
        TMessPunkt data; // Files in quoted form: "a.tim","b.tim"
        std::vector<TMessung> measurements;
    };

    void SetOnMeasurementSelect(MeasurementSelectHandler handler);

    // Rebuilds the list from the key=value lines of a "Messungen" section and
    // makes the first measurement the standard one. A line of fewer than 11
    // fields throws "falsches Datenformat": the points before it stay and no
    // measurement becomes standard.
    void LoadPoints(const std::string& projectFile, const std::vector<std::string>& keyValueLines);
    // Writes the point list and the two counts; nothing without a project.
    void SavePoints();

    const std::string& ProjectFile() const { return projectFile_; }
    // The project file's directory with a trailing separator.
    const std::string& ProjectDir() const { return projectDir_; }
    bool HasProject() const { return !projectFile_.empty(); }
    // "<point name> (<position of the standard measurement>)", empty without one.
    const std::string& MeasurementCaption() const { return measurementCaption_; }

    int PointCount() const { return static_cast<int>(points_.size()); }
    const Point& PointAt(int point) const;
    std::string NodeText(PointTreeNode node) const;
    std::optional<PointTreeNode> StandardNode() const;

    // Makes a measurement node the standard one and asks for it to be loaded;
    // whatever the load throws is swallowed (the loader reports its own
    // errors). Other nodes are ignored.
    void SetStandard(PointTreeNode node);

    PointTexts TextsOf(int point, FormatSettings format) const;
    // Takes the texts over into the point in the order of the fields; a
    // distance that is not a number throws "'<text>' ist kein gültiger
    // Gleitkommawert", leaving the fields after it unchanged.
    void TakeOver(int point, const PointTexts& texts, FormatSettings format);

    // Commands of the tree's context menus. Without a project they do nothing.
    // Inserts keep what is only in memory: edits are saved first, and points
    // without measurements (which a save drops from the file) stay in the list.
    void InsertPoint();
    void InsertMeasurement(int point, const std::string& measurementFile);
    // Erases the stored crop settings and cached results of every measurement.
    void ResetMeasurements();
    void DeletePoint(int point);
    void DeleteMeasurement(int point, int measurement);

private:
    struct KeptPoint {
        int index;
        Point point;
    };

    void Reload();
    std::vector<KeptPoint> PointsWithoutMeasurements() const;
    void Restore(std::vector<KeptPoint> kept);
    bool IsMeasurement(PointTreeNode node) const;

    std::string projectFile_;
    std::string projectDir_;
    std::string measurementCaption_;
    std::vector<Point> points_;
    MeasurementSelectHandler onMeasurementSelect_;
};

} // namespace dazo
