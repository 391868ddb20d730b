// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/CropSettings.h"

#include "project/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

const char* const kProject = "[Messungen]\nMP1=\"Messpunkt 1\",,,0,0,,0,0,,,,\"r01.tim\",\"r02.tim\",\n"
                             "[r01.tim]\nMPA=5\nMPE=900\nMPS=0\nRT.1.1.Values=1,2,3\nC.1.Values=4,5\n"
                             "[r02.tim]\nMPA=7\nC.1.Values=6\n";

TEST(CropSettings, WritingErasesTheCachedResultsAndStoresTheThreeKeys)
{
    test::TempDir dir;
    const std::string project = dir.Write("p.npj", kProject);
    WriteCropSettings(project, dir.File("r01.tim"), {120, 800, 30});

    const IniFile ini(project);
    EXPECT_EQ(ini.ReadSectionValues("r01.tim"), (std::vector<std::string>{"MPA=120", "MPE=800", "MPS=30"}));
    EXPECT_EQ(ReadCropSettings(project, "elsewhere/r01.tim").start, 120);
    // Other measurements and sections stay as they were.
    EXPECT_EQ(ini.ReadSectionValues("r02.tim"), (std::vector<std::string>{"MPA=7", "C.1.Values=6"}));
    EXPECT_EQ(ini.ReadSection("Messungen").size(), 1u);
}

TEST(CropSettings, ASchroederStartBeyondTheKeptSamplesMovesToTheirEnd)
{
    test::TempDir dir;
    const std::string project = dir.Write("p.npj", kProject);
    const struct {
        CropSettings written;
        int storedStart;
    } cases[] = {{{0, 1000, 1200}, 1000}, {{0, 1000, 1000}, 1000}, {{0, 1000, 999}, 999}, {{10, -1, 500}, 500}};
    for (const auto& c : cases) {
        WriteCropSettings(project, "r01.tim", c.written);
        const CropSettings read = ReadCropSettings(project, "r01.tim");
        EXPECT_EQ(read.start, c.written.start);
        EXPECT_EQ(read.count, c.written.count);
        EXPECT_EQ(read.schroederStart, c.storedStart) << c.written.schroederStart;
    }
}

TEST(CropSettings, ErasingRemovesTheWholeSection)
{
    test::TempDir dir;
    const std::string project = dir.Write("p.npj", kProject);
    EraseCropSettings(project, dir.File("r01.tim"));
    const IniFile ini(project);
    EXPECT_FALSE(ini.SectionExists("r01.tim"));
    EXPECT_TRUE(ini.SectionExists("r02.tim"));
    const CropSettings read = ReadCropSettings(project, "r01.tim");
    EXPECT_EQ(read.start, 0);
    EXPECT_EQ(read.count, -1);
    EXPECT_EQ(read.schroederStart, 0);
}

} // namespace
} // namespace dazo
