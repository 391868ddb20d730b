// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ProgramPaths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace dazo {
namespace {

using test::TempDir;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value)
        : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(ProgramPaths, WritableProgramDirectoryHoldsEverything)
{
    TempDir dir;
    const ProgramPaths paths(dir.File("dazo"));
    EXPECT_TRUE(paths.ProgramDirectoryWritable());
    EXPECT_EQ(paths.ProgramDirectory(), dir.Path().string());
    EXPECT_EQ(paths.DataDirectory(), dir.Path().string());
    EXPECT_EQ(paths.SettingsFile(), dir.File("dazo.dat"));
    EXPECT_EQ(paths.CompanyDataFile(), dir.File("dazo.$$$"));
    EXPECT_EQ(paths.ResultsFile(), dir.File("temp.$$$"));
    EXPECT_EQ(paths.PointsFile(), dir.File("temp1.$$$"));
    EXPECT_EQ(paths.TemplateFile("tabelle.rtm"), dir.File("tabelle.rtm"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path())); // the probe file is gone
}

TEST(ProgramPaths, ReadOnlyProgramDirectoryFallsBackToTheUserDirectories)
{
    TempDir dir;
    const ProgramPaths paths("/nonexistent/bin/dazo");
    ASSERT_FALSE(paths.ProgramDirectoryWritable());
    {
        const ScopedEnv data("XDG_DATA_HOME", dir.File("data"));
        const ScopedEnv config("XDG_CONFIG_HOME", dir.File("config"));
        EXPECT_EQ(paths.DataDirectory(), dir.File("data/dazo"));
        EXPECT_EQ(paths.ResultsFile(), dir.File("data/dazo/temp.$$$"));
        EXPECT_EQ(paths.SettingsFile(), dir.File("config/dazo/dazo.dat"));
        EXPECT_EQ(paths.CompanyDataFile(), dir.File("config/dazo/dazo.$$$"));
        EXPECT_TRUE(std::filesystem::is_directory(dir.File("data/dazo")));
        EXPECT_TRUE(std::filesystem::is_directory(dir.File("config/dazo")));
    }
    const ScopedEnv home("HOME", dir.File("home"));
    const ScopedEnv data("XDG_DATA_HOME", std::nullopt);
    const ScopedEnv config("XDG_CONFIG_HOME", "relative/is/ignored");
    EXPECT_EQ(paths.DataDirectory(), dir.File("home/.local/share/dazo"));
    EXPECT_EQ(paths.SettingsFile(), dir.File("home/.config/dazo/dazo.dat"));
}

TEST(ProgramPaths, RunningProgramIsThisTestExecutable)
{
    const ProgramPaths paths = ProgramPaths::OfRunningProgram();
    EXPECT_EQ(std::filesystem::path(paths.ExecutablePath()).filename(), "dazo_core_tests");
}

} // namespace
} // namespace dazo
