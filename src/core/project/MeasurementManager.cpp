// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/MeasurementManager.h"

#include "common/DazoError.h"
#include "common/Paths.h"
#include "project/CommaText.h"
#include "project/IniFile.h"
#include "project/UserNumbers.h"

#include <algorithm>
#include <cctype>

namespace dazo {
namespace {

std::string MeasurementCaptionText(std::size_t position)
{
    return "Messung " + std::to_string(position + 1);
}

// The manager's form of Files: each name quoted, joined by commas.
void SyncFiles(TMeasurementPointModel::Point& point)
{
    point.data.Files.clear();
    for (std::size_t i = 0; i < point.measurements.size(); ++i) {
        if (i > 0)
            point.data.Files += ',';
        point.data.Files += QuoteField(point.measurements[i].FileName);
    }
}

bool SameKey(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// "MP<k>" for the first k >= first that no key of the section uses yet.
std::string FreePointKey(const IniFile& ini, int first)
{
    const std::vector<std::string> keys = ini.ReadSection(kMeasurementsSection);
    for (int k = first;; ++k) {
        const std::string key = "MP" + std::to_string(k);
        if (std::none_of(keys.begin(), keys.end(), [&](const std::string& used) { return SameKey(used, key); }))
            return key;
    }
}

} // namespace

void TMeasurementPointModel::SetOnMeasurementSelect(MeasurementSelectHandler handler)
{
    onMeasurementSelect_ = std::move(handler);
}

void TMeasurementPointModel::LoadPoints(const std::string& projectFile, const std::vector<std::string>& keyValueLines)
{
    projectFile_ = projectFile;
    projectDir_ = JoinPath(DirectoryOf(projectFile), "");
    measurementCaption_.clear();
    points_.clear();
    for (const std::string& line : keyValueLines) {
        Point point;
        const std::vector<std::string> files = ReadPointLine(point.data, line);
        for (std::size_t i = 0; i < files.size(); ++i)
            point.measurements.push_back({MeasurementCaptionText(i), files[i], false});
        SyncFiles(point);
        points_.push_back(std::move(point));
    }
    for (int p = 0; p < PointCount(); ++p)
        if (!points_[p].measurements.empty())
            return SetStandard({p, 0});
}

void TMeasurementPointModel::SavePoints()
{
    if (!HasProject())
        return;
    std::vector<const TMessPunkt*> ordered;
    int measurementCount = 0;
    for (const Point& point : points_) {
        ordered.push_back(&point.data);
        measurementCount += static_cast<int>(point.measurements.size());
    }
    IniFile ini(projectFile_);
    SavePointList(ini, ordered, measurementCount);
}

const TMeasurementPointModel::Point& TMeasurementPointModel::PointAt(int point) const
{
    return points_.at(static_cast<std::size_t>(point));
}

std::string TMeasurementPointModel::NodeText(PointTreeNode node) const
{
    switch (node.Level()) {
    case 0: return LocationNodeText;
    case 1: return PointAt(node.point).data.Name;
    default: {
        const TMessung& measurement = PointAt(node.point).measurements.at(static_cast<std::size_t>(node.measurement));
        return measurement.Standard ? "<<" + measurement.Caption + ">>" : measurement.Caption;
    }
    }
}

std::optional<PointTreeNode> TMeasurementPointModel::StandardNode() const
{
    for (int p = 0; p < PointCount(); ++p)
        for (std::size_t m = 0; m < points_[p].measurements.size(); ++m)
            if (points_[p].measurements[m].Standard)
                return PointTreeNode{p, static_cast<int>(m)};
    return std::nullopt;
}

bool TMeasurementPointModel::IsMeasurement(PointTreeNode node) const
{
    return node.Level() == 2 && node.point < PointCount()
        && node.measurement < static_cast<int>(points_[node.point].measurements.size());
}

void TMeasurementPointModel::SetStandard(PointTreeNode node)
{
    if (!IsMeasurement(node))
        return;
    for (Point& point : points_)
        for (TMessung& measurement : point.measurements)
            measurement.Standard = false;
    const Point& point = points_[node.point];
    TMessung& chosen = points_[node.point].measurements[node.measurement];
    chosen.Standard = true;
    measurementCaption_ = point.data.Name + " (" + std::to_string(node.measurement + 1) + ")";
    if (!onMeasurementSelect_)
        return;
    try {
        onMeasurementSelect_(projectDir_ + chosen.FileName);
    } catch (...) {
        // The loader has reported its own error; the manager carries on.
    }
}

PointTexts TMeasurementPointModel::TextsOf(int point, FormatSettings format) const
{
    const TMessPunkt& p = PointAt(point).data;
    return {p.Name,
            p.MicPos,
            p.MicRichtung,
            UserFloatToText(p.MicAbBoden, format),
            UserFloatToText(p.MicAbWand, format),
            p.Lautpos,
            UserFloatToText(p.LautAbBoden, format),
            UserFloatToText(p.LautAbWand, format),
            p.Note};
}

void TMeasurementPointModel::TakeOver(int point, const PointTexts& texts, FormatSettings format)
{
    TMessPunkt& p = points_.at(static_cast<std::size_t>(point)).data;
    p.Name = texts.name;
    p.MicPos = texts.micPos;
    p.MicRichtung = texts.micRichtung;
    p.MicAbBoden = UserTextToFloat(texts.micAbBoden, format);
    p.MicAbWand = UserTextToFloat(texts.micAbWand, format);
    p.Lautpos = texts.lautpos;
    p.LautAbBoden = UserTextToFloat(texts.lautAbBoden, format);
    p.LautAbWand = UserTextToFloat(texts.lautAbWand, format);
    p.Note = texts.note;
}

void TMeasurementPointModel::Reload()
{
    LoadPoints(projectFile_, IniFile(projectFile_).ReadSectionValues(kMeasurementsSection));
}

std::vector<TMeasurementPointModel::KeptPoint> TMeasurementPointModel::PointsWithoutMeasurements() const
{
    std::vector<KeptPoint> kept;
    for (int p = 0; p < PointCount(); ++p)
        if (points_[p].measurements.empty())
            kept.push_back({p, points_[p]});
    return kept;
}

// Puts points a save has dropped back where they stood; the others keep their
// order in the file, so every kept point returns to its old position.
void TMeasurementPointModel::Restore(std::vector<KeptPoint> kept)
{
    for (KeptPoint& k : kept) {
        const auto at = std::min(static_cast<std::size_t>(k.index), points_.size());
        points_.insert(points_.begin() + static_cast<std::ptrdiff_t>(at), std::move(k.point));
    }
}

void TMeasurementPointModel::InsertPoint()
{
    if (!HasProject())
        return;
    const int n = PointCount();
    std::vector<KeptPoint> kept = PointsWithoutMeasurements();
    SavePoints();
    IniFile ini(projectFile_);
    ini.WriteString(kMeasurementsSection, FreePointKey(ini, n + 1), NewPointValue(n));
    Reload();
    Restore(std::move(kept));
}

void TMeasurementPointModel::InsertMeasurement(int point, const std::string& measurementFile)
{
    if (!HasProject() || point < 0 || point >= PointCount())
        return;
    // Added in memory and saved: the point may not be in the file yet.
    Point& target = points_[point];
    target.measurements.push_back({MeasurementCaptionText(target.measurements.size()), BareFileName(measurementFile), false});
    SyncFiles(target);
    std::vector<KeptPoint> kept = PointsWithoutMeasurements();
    SavePoints();
    Reload();
    Restore(std::move(kept));
}

void TMeasurementPointModel::ResetMeasurements()
{
    if (!HasProject())
        return;
    IniFile ini(projectFile_);
    for (const Point& point : points_)
        for (const TMessung& measurement : point.measurements)
            ini.EraseSection(measurement.FileName);
}

void TMeasurementPointModel::DeletePoint(int point)
{
    if (!HasProject() || point < 0 || point >= PointCount())
        return;
    ResetMeasurements();
    points_.erase(points_.begin() + point);
    SavePoints();
    Reload();
}

void TMeasurementPointModel::DeleteMeasurement(int point, int measurement)
{
    if (!HasProject() || !IsMeasurement({point, measurement}))
        return;
    ResetMeasurements();
    // The selected node itself goes, not the first file of equal name.
    Point& target = points_[point];
    target.measurements.erase(target.measurements.begin() + measurement);
    SyncFiles(target);
    SavePoints();
    Reload();
}

} // namespace dazo
