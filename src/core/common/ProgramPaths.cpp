// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ProgramPaths.h"

#include "common/DazoError.h"
#include "common/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace dazo {
namespace {

// access() answers from permission bits, which network shares and ACLs do not
// always honour; creating a file is the test that counts.
bool DirectoryWritable(const std::string& directory)
{
    if (directory.empty() || ::access(directory.c_str(), W_OK) != 0)
        return false;
    const std::string probe = JoinPath(directory, ".dazo-probe-" + std::to_string(::getpid()));
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (!file)
        return false;
    std::fclose(file);
    std::remove(probe.c_str());
    return true;
}

std::string HomeDirectory()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/tmp";
}

// $variable (when set and absolute) or the home directory plus fallback, with
// "dazo" appended; created if missing.
std::string UserDirectory(const char* variable, const char* fallback)
{
    std::string base;
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        base = value;
    else
        base = JoinPath(HomeDirectory(), fallback);
    const std::string directory = JoinPath(base, "dazo");
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error)
        FailWith("Verzeichnis %s kann nicht angelegt werden", directory);
    return directory;
}

} // namespace

ProgramPaths::ProgramPaths(std::string executablePath)
    : executablePath_(std::move(executablePath))
    , writable_(DirectoryWritable(DirectoryOf(executablePath_)))
{
}

ProgramPaths ProgramPaths::OfRunningProgram()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        Fail("Programmpfad nicht ermittelbar");
    return ProgramPaths(self.string());
}

std::string ProgramPaths::ProgramDirectory() const
{
    return DirectoryOf(executablePath_);
}

std::string ProgramPaths::DataDirectory() const
{
    return writable_ ? ProgramDirectory() : UserDirectory("XDG_DATA_HOME", ".local/share");
}

std::string ProgramPaths::SettingsFile() const
{
    if (writable_)
        return ChangeExtension(executablePath_, ".dat");
    return JoinPath(UserDirectory("XDG_CONFIG_HOME", ".config"), "dazo.dat");
}

std::string ProgramPaths::CompanyDataFile() const
{
    return ChangeExtension(SettingsFile(), ".$$$");
}

std::string ProgramPaths::ResultsFile() const
{
    return JoinPath(DataDirectory(), "temp.$$$");
}

std::string ProgramPaths::PointsFile() const
{
    return JoinPath(DataDirectory(), "temp1.$$$");
}

std::string ProgramPaths::TemplateFile(std::string_view name) const
{
    return JoinPath(DataDirectory(), name);
}

} // namespace dazo
