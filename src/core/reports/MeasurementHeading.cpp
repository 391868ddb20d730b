// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/MeasurementHeading.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "common/Paths.h"
#include "project/IniFile.h"
#include "project/uMessPunkt.h"
#include "signal/uconst.h"

#include <vector>

namespace dazo {
namespace {

constexpr const char* kGap = "    ";

// "label: value" parts of one line, empty values left out.
std::string LineOf(const std::vector<std::pair<const char*, std::string>>& parts)
{
    std::string line;
    for (const auto& [label, value] : parts) {
        if (Trim(value).empty())
            continue;
        if (!line.empty())
            line += kGap;
        line += std::string(label) + ": " + value;
    }
    return line;
}

std::string PointOf(const IniFile& project, const std::string& file)
{
    for (const auto& line : project.ReadSectionValues(kMeasurementsSection)) {
        TMessPunkt point;
        try {
            for (const auto& name : ReadPointLine(point, line))
                if (AsciiLower(name) == AsciiLower(file))
                    return point.Name;
        } catch (const DazoError&) {
            // A damaged point line names no point.
        }
    }
    return {};
}

} // namespace

std::string MeasurementHeading(const std::string& projectFile, const std::string& measurementFile)
{
    const std::string file = BareFileName(measurementFile);
    const IniFile project(projectFile);
    if (projectFile.empty() || !project.FileExists())
        return LineOf({{"Datei", file}});
    const std::string from = project.ReadString("DATA", "eOVon");
    const std::string to = project.ReadString("DATA", "eOBis");
    const std::string date = to.empty() || to == from ? from : from + Ansi(" – ") + to;
    std::string text = LineOf({{"Projekt", BareFileName(projectFile)}, {"Raum", project.ReadString("DATA", "eOName")}});
    for (const std::string& line : {LineOf({{"Messpunkt", PointOf(project, file)}, {"Datei", file}}),
                                    LineOf({{"Messdatum", date}})})
        if (!line.empty())
            text += (text.empty() ? "" : "\n") + line;
    return text;
}

} // namespace dazo
