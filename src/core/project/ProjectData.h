// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Section "DATA" of the project file as the project-data window keeps it: one
// key per persisted control, named like the control, plus the two room figures
// the window derives from what the user typed.

#include "common/FormatSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace dazo {

inline constexpr const char* DataSection = "DATA";

enum class DataControlKind { Edit, Combo, Memo, Other };

struct DataField {
    std::string key;
    DataControlKind kind = DataControlKind::Edit;
    std::string text;
};

// Writes every field in the given order: edits and combo boxes as they are,
// memos %-escaped (their line breaks would end the INI line), anything else as
// an empty value.
void WriteProjectData(const std::string& projectFile, const std::vector<DataField>& fields);

// Fills each field's text from the key of its name (matched without regard to
// case); a missing key gives an empty text, a memo's value is unescaped.
void ReadProjectData(const std::string& projectFile, std::vector<DataField>& fields);

// Where the sketch picture is copied: the project file's name with the
// picture's own extension.
std::string SketchCopyName(const std::string& projectFile, const std::string& pictureFile);

// Length x width x height with two decimals, or none when one of them is
// empty. A text that is not a number throws "'<text>' ist kein gültiger
// Gleitkommawert".
std::optional<std::string> RoomVolumeText(const std::string& length, const std::string& width,
                                          const std::string& height, FormatSettings format);

// The share of persons present in the maximum, in percent (general format).
// Empty when either text is not a whole number or the maximum is 0, so this
// never fails: it runs while a project is being loaded.
std::string OccupancyPercentText(const std::string& maximum, const std::string& present, FormatSettings format);

} // namespace dazo
