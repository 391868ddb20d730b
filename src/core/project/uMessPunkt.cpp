// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/uMessPunkt.h"

#include "common/DazoError.h"
#include "project/CommaText.h"
#include "project/IniFile.h"
#include "signal/uconst.h"

#include <cstdio>

namespace dazo {
namespace {

constexpr std::size_t kPointFields = 11;

// Whether UnescapeText would change the text: it holds one of the pairs %%,
// %0, %c, %n.
bool HasEscapePair(std::string_view text)
{
    for (std::size_t at = text.find('%'); at != text.npos && at + 1 < text.size();
         at = text.find('%', at + 1))
        if (std::string_view("%0cn").find(text[at + 1]) != std::string_view::npos)
            return true;
    return false;
}

// A text field of the point line. Quotes inside are doubled by the quoting;
// line breaks and NUL would break the profile line, so such a text (and one
// that reading would otherwise alter) is stored %-escaped. Every other text is
// written as it stands.
std::string TextField(std::string_view text)
{
    const bool escape = text.find_first_of(std::string_view("\r\n\0", 3)) != text.npos
                     || HasEscapePair(text);
    return QuoteField(escape ? EscapeText(text) : text);
}

void ThrowWrongFormat()
{
    Fail("falsches Datenformat");
}

} // namespace

int TMesspunkte::Count() const
{
    return static_cast<int>(points_.size());
}

TMessPunkt& TMesspunkte::Items(int index) const
{
    if (index < 0 || index >= Count())
        FailWith("Listenindex überschreitet das Maximum (%s)", std::to_string(index));
    return *points_[static_cast<std::size_t>(index)];
}

int TMesspunkte::Add(std::unique_ptr<TMessPunkt> point)
{
    points_.push_back(std::move(point));
    return Count() - 1;
}

TMessPunkt& TMesspunkte::AddNew()
{
    return Items(Add(std::make_unique<TMessPunkt>()));
}

void TMesspunkte::Clear()
{
    points_.clear();
}

std::vector<std::string> ReadPointLine(TMessPunkt& point, std::string_view keyValueLine)
{
    const KeyValue line = SplitKeyValue(keyValueLine, '=');
    std::vector<std::string> fields = SplitCommaText(line.value);
    if (fields.size() < kPointFields)
        ThrowWrongFormat();

    point.Id = line.key;
    point.Name = UnescapeText(fields[0]);
    point.MicPos = UnescapeText(fields[1]);
    point.MicRichtung = UnescapeText(fields[2]);
    point.MicAbBoden = TextToFloat(fields[3]);
    point.MicAbWand = TextToFloat(fields[4]);
    point.Lautpos = UnescapeText(fields[5]);
    point.LautAbBoden = TextToFloat(fields[6]);
    point.LautAbWand = TextToFloat(fields[7]);
    point.Note = UnescapeText(fields[8]);
    point.nn1 = UnescapeText(fields[9]);
    point.nn2 = UnescapeText(fields[10]);

    std::vector<std::string> files;
    point.Files.clear();
    for (std::size_t i = kPointFields; i < fields.size() && !fields[i].empty(); ++i) {
        if (!files.empty())
            point.Files += ',';
        point.Files += fields[i];
        files.push_back(std::move(fields[i]));
    }
    return files;
}

void LoadMeasurementPoints(const std::string& projectFile, TMesspunkte& points)
{
    points.Clear();
    for (const std::string& line : IniFile(projectFile).ReadSectionValues(kMeasurementsSection)) {
        auto point = std::make_unique<TMessPunkt>();
        ReadPointLine(*point, line);
        points.Add(std::move(point));
    }
}

void ReadMeasurementFileList(const std::string& projectFile, std::vector<std::string>& files)
{
    files.clear();
    for (const std::string& line : IniFile(projectFile).ReadSectionValues(kMeasurementsSection)) {
        std::vector<std::string> fields = SplitCommaText(SplitKeyValue(line, '=').value);
        if (fields.size() <= kPointFields)
            ThrowWrongFormat();
        files.insert(files.end(), std::make_move_iterator(fields.begin() + kPointFields),
                     std::make_move_iterator(fields.end()));
    }
}

std::string PointLineValue(const TMessPunkt& point)
{
    std::string value;
    for (const std::string& field : {
             TextField(point.Name), TextField(point.MicPos), TextField(point.MicRichtung),
             FloatToText(point.MicAbBoden), FloatToText(point.MicAbWand),
             TextField(point.Lautpos),
             FloatToText(point.LautAbBoden), FloatToText(point.LautAbWand),
             TextField(point.Note), TextField(point.nn1), TextField(point.nn2)}) {
        value += field;
        value += ',';
    }
    value += point.Files;
    if (!point.Files.empty() && point.Files.back() != ',')
        value += ',';
    return value;
}

void SavePointList(IniFile& projectIni, const std::vector<const TMessPunkt*>& pointsInTreeOrder,
                   int measurementCount)
{
    std::vector<KeyValue> lines;
    for (const TMessPunkt* point : pointsInTreeOrder)
        if (!point->Files.empty())
            lines.push_back({"MP" + std::to_string(lines.size() + 1), PointLineValue(*point)});
    projectIni.ReplaceSection(kMeasurementsSection, lines);
    projectIni.WriteInteger("DATA", "eAnzMessungen", measurementCount);
    projectIni.WriteInteger("DATA", "eAnzMesspunkte", static_cast<int>(lines.size()));
}

std::string NewPointValue(int existingPoints)
{
    char value[64];
    std::snprintf(value, sizeof value, "\"Messpunkt %d\",,,0,0,,0,0,,,,", existingPoints + 1);
    return value;
}

std::string AppendMeasurementToLine(std::string line, std::string_view bareFileName)
{
    if (!line.empty() && line.back() != ',')
        line += ',';
    line += QuoteField(bareFileName);
    line += ',';
    return line;
}

std::string SingleMeasurementPointList(std::string_view bareFileName)
{
    return "MP1=" + AppendMeasurementToLine(NewPointValue(0), bareFileName);
}

} // namespace dazo
