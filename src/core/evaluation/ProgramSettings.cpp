// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/ProgramSettings.h"

#include "project/CommaText.h"
#include "signal/uconst.h"

#include <algorithm>

namespace dazo {
namespace {

// One side: its extent within [minimum, room], then its start within the room.
void FitSide(int& start, int& extent, int roomStart, int room, int minimum)
{
    extent = std::clamp(extent, std::min(minimum, room), room);
    start = std::clamp(start, roomStart, roomStart + room - extent);
}

} // namespace

WindowBounds FitIntoArea(const WindowBounds& bounds, const WindowBounds& area, int minimumWidth, int minimumHeight)
{
    WindowBounds fitted = bounds;
    FitSide(fitted.left, fitted.width, area.left, std::max(area.width, 0), minimumWidth);
    FitSide(fitted.top, fitted.height, area.top, std::max(area.height, 0), minimumHeight);
    return fitted;
}

TProgramSettings::TProgramSettings(const std::string& settingsFile)
    : Ini(settingsFile)
{
}

void TProgramSettings::EnsureExists()
{
    if (Ini.FileExists())
        return;
    for (const char* key : kCompanyKeys)
        Ini.WriteString("DATA", key, "");
}

std::string TProgramSettings::LastProjectDirectory(const std::string& programDirectory) const
{
    return Ini.ReadString("PROG", "Path", programDirectory);
}

std::optional<WindowBounds> TProgramSettings::WindowPosition() const
{
    const std::string text(Trim(Ini.ReadString("PROG", "WINPOS")));
    if (text.empty())
        return std::nullopt;
    const std::vector<std::string> items = SplitCommaText(text);
    if (items.size() != 4)
        return std::nullopt;
    std::array<int, 4> values{};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto value = ParseInteger(items[i]);
        if (!value) // four items that are not all integers: ignored like a wrong count
            return std::nullopt;
        values[i] = *value;
    }
    return WindowBounds{values[0], values[1], values[2], values[3]};
}

void TProgramSettings::SaveOnShutdown(const std::optional<std::string>& projectDirectory, const WindowBounds& bounds)
{
    if (projectDirectory)
        Ini.WriteString("PROG", "PATH", *projectDirectory);
    Ini.WriteString("PROG", "WINPOS",
                    std::to_string(bounds.left) + "," + std::to_string(bounds.top) + "," +
                        std::to_string(bounds.width) + "," + std::to_string(bounds.height));
}

std::string TProgramSettings::Company(const char* key) const
{
    return Ini.ReadString("DATA", key);
}

void TProgramSettings::SetCompany(const char* key, const std::string& value)
{
    Ini.WriteString("DATA", key, value);
}

std::vector<std::string> TProgramSettings::RecentFiles() const
{
    std::vector<std::string> files;
    for (int i = 1; i <= kRecentFileCount; ++i)
        if (std::string file = Ini.ReadString("PROG", "Recent" + std::to_string(i)); !file.empty())
            files.push_back(std::move(file));
    return files;
}

void TProgramSettings::AddRecentFile(const std::string& path)
{
    std::vector<std::string> files = RecentFiles();
    std::erase(files, path);
    files.insert(files.begin(), path);
    WriteRecentFiles(std::move(files));
}

void TProgramSettings::RemoveRecentFile(const std::string& path)
{
    std::vector<std::string> files = RecentFiles();
    if (std::erase(files, path) > 0)
        WriteRecentFiles(std::move(files));
}

void TProgramSettings::WriteRecentFiles(std::vector<std::string> files)
{
    files.resize(kRecentFileCount);
    for (int i = 1; i <= kRecentFileCount; ++i)
        Ini.WriteString("PROG", "Recent" + std::to_string(i), files[static_cast<std::size_t>(i - 1)]);
}

} // namespace dazo
