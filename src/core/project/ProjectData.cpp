// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/ProjectData.h"

#include "common/Encoding.h"
#include "common/FloatChecks.h"
#include "common/Paths.h"
#include "project/IniFile.h"
#include "project/UserNumbers.h"
#include "signal/uconst.h"

#include <map>

namespace dazo {
void WriteProjectData(const std::string& projectFile, const std::vector<DataField>& fields)
{
    std::vector<KeyValue> values;
    values.reserve(fields.size());
    for (const DataField& field : fields) {
        switch (field.kind) {
        case DataControlKind::Edit:
        case DataControlKind::Combo: values.push_back({field.key, field.text}); break;
        case DataControlKind::Memo: values.push_back({field.key, EscapeText(field.text)}); break;
        case DataControlKind::Other: values.push_back({field.key, ""}); break;
        }
    }
    // One write for the whole window: the file is never left with half the fields.
    IniFile(projectFile).WriteStrings(DataSection, values);
}

void ReadProjectData(const std::string& projectFile, std::vector<DataField>& fields)
{
    // One read of the section; the first of equal keys wins, as for a single read.
    std::map<std::string, std::string> values;
    for (const std::string& line : IniFile(projectFile).ReadSectionValues(DataSection)) {
        const auto at = line.find('=');
        values.try_emplace(AsciiLower(line.substr(0, at)), line.substr(at + 1));
    }
    for (DataField& field : fields) {
        const auto found = values.find(AsciiLower(field.key));
        const std::string value = found == values.end() ? std::string() : found->second;
        field.text = field.kind == DataControlKind::Memo ? UnescapeText(value)
                   : field.kind == DataControlKind::Other ? std::string()
                                                          : value;
    }
}

std::string SketchCopyName(const std::string& projectFile, const std::string& pictureFile)
{
    const std::string name = BareFileName(pictureFile);
    const auto dot = name.rfind('.');
    return ChangeExtension(projectFile, dot == std::string::npos ? std::string() : name.substr(dot));
}

std::optional<std::string> RoomVolumeText(const std::string& length, const std::string& width,
                                          const std::string& height, FormatSettings format)
{
    if (length.empty() || width.empty() || height.empty())
        return std::nullopt;
    const double volume = UserTextToFloat(length, format) * UserTextToFloat(width, format)
                        * UserTextToFloat(height, format);
    return UserFixedText(static_cast<double>(CheckedFinite(volume)), 2, format);
}

std::string OccupancyPercentText(const std::string& maximum, const std::string& present, FormatSettings format)
{
    const auto persons = TextToWholeNumber(maximum);
    const auto attending = TextToWholeNumber(present);
    if (!persons || !attending || *persons == 0)
        return {};
    return UserFloatToText(100.0 / static_cast<double>(*persons) * static_cast<double>(*attending), format);
}

} // namespace dazo
