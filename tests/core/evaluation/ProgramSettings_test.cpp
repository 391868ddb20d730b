// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/ProgramSettings.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

using test::TempDir;

TEST(ProgramSettings, FirstStartCreatesTheCompanyKeysAndShutdownAddsTheRest)
{
    TempDir dir;
    TProgramSettings settings(dir.File("dazo.dat"));
    settings.EnsureExists();
    const std::string created = test::ReadBytes(dir.File("dazo.dat"));
    for (const char* key : kCompanyKeys)
        EXPECT_NE(created.find(std::string(key) + "="), std::string::npos) << key;
    settings.EnsureExists(); // an existing file is left alone
    EXPECT_EQ(test::ReadBytes(dir.File("dazo.dat")), created);

    settings.SaveOnShutdown(std::nullopt, {10, 20, 800, 600});
    EXPECT_EQ(settings.LastProjectDirectory("/prog"), "/prog");
    EXPECT_EQ(settings.WindowPosition(), (WindowBounds{10, 20, 800, 600}));
    settings.SaveOnShutdown(std::string("/data/halle"), {1, 2, 3, 4});
    EXPECT_EQ(settings.LastProjectDirectory("/prog"), "/data/halle");
}

TEST(ProgramSettings, WindowPositionNeedsExactlyFourIntegers)
{
    TempDir dir;
    const struct {
        const char* value;
        bool valid;
    } cases[] = {{"10,20,800,600", true}, {" 10, 20 ,800,600 ", true}, {"10,20,800", false},
                 {"10,20,800,600,5", false}, {"", false}, {"a,20,800,600", false}, {"10,20,800,6x", false}};
    for (const auto& c : cases) {
        test::TempDir local;
        local.Write("s.dat", std::string("[PROG]\r\nWINPOS=") + c.value + "\r\n");
        TProgramSettings settings(local.File("s.dat"));
        EXPECT_EQ(settings.WindowPosition().has_value(), c.valid) << c.value;
    }
}

TEST(ProgramSettings, UpperCasePathIsFound)
{
    TempDir dir;
    dir.Write("s.dat", "[prog]\r\nPATH=/x/y\r\n");
    EXPECT_EQ(TProgramSettings(dir.File("s.dat")).LastProjectDirectory("/p"), "/x/y");
}

TEST(ProgramSettings, RecentFilesKeepTheLastEightNewestFirstWithoutDuplicates)
{
    TempDir dir;
    TProgramSettings settings(dir.File("dazo.dat"));
    EXPECT_TRUE(settings.RecentFiles().empty());
    for (int i = 1; i <= 9; ++i)
        settings.AddRecentFile("/d/p" + std::to_string(i) + ".npj");
    settings.AddRecentFile("/d/p5.npj");
    EXPECT_EQ(TProgramSettings(dir.File("dazo.dat")).RecentFiles(),
              (std::vector<std::string>{"/d/p5.npj", "/d/p9.npj", "/d/p8.npj", "/d/p7.npj", "/d/p6.npj", "/d/p4.npj", "/d/p3.npj", "/d/p2.npj"}));
}

TEST(ProgramSettings, AFileThatFailedLeavesTheRecentFiles)
{
    TempDir dir;
    TProgramSettings settings(dir.File("dazo.dat"));
    for (const char* file : {"/d/a.npj", "/d/b.tim", "/d/c.npj"})
        settings.AddRecentFile(file);
    settings.RemoveRecentFile("/d/b.tim");
    settings.RemoveRecentFile("/d/never.tim");
    EXPECT_EQ(settings.RecentFiles(), (std::vector<std::string>{"/d/c.npj", "/d/a.npj"}));
}

TEST(ProgramSettings, WindowBoundsAreFittedIntoTheScreenArea)
{
    const WindowBounds area{0, 30, 1920, 1050}; // a panel above
    const struct {
        WindowBounds stored;
        WindowBounds fitted;
    } cases[] = {
        {{10, 40, 800, 600}, {10, 40, 800, 600}},          // inside: exactly as stored
        {{10, 20, -5, 99999}, {10, 30, 400, 1050}},        // damaged: smallest width, screen height
        {{-300, -2259, 778, 609}, {0, 30, 778, 609}},      // off the top left: moved in
        {{1800, 900, 778, 609}, {1142, 471, 778, 609}},    // off the bottom right: moved in
        {{0, 30, 4000, 3000}, {0, 30, 1920, 1050}},        // larger than the screen: shrunk to it
        {{2500, 100, 778, 609}, {1142, 100, 778, 609}},    // on a screen that is gone
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitIntoArea(c.stored, area, 400, 300), c.fitted)
            << c.stored.left << "," << c.stored.top << "," << c.stored.width << "," << c.stored.height;
    // A screen smaller than the minimum: the screen wins.
    EXPECT_EQ(FitIntoArea({5, 5, 100, 100}, {0, 0, 320, 200}, 400, 300), (WindowBounds{0, 0, 320, 200}));
}

} // namespace
} // namespace dazo
