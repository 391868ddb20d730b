// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/IniFile.h"

#include "common/DazoError.h"
#include "common/Encoding.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace dazo {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path()
             / ("dazo_ini_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    static void WriteRaw(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    static std::string ReadRaw(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // The file with the given content, as an IniFile.
    IniFile Make(const std::string& content, const std::string& name = "p.npj")
    {
        WriteRaw(PathOf(name), content);
        return IniFile(PathOf(name));
    }

    fs::path dir_;
};

TEST_F(IniFileTest, ReadsSectionsAndKeysWithoutRegardToCase)
{
    const IniFile ini = Make("; header comment\r\n"
                             "outside=ignored\r\n"
                             "[Messungen]\r\n"
                             "MP1=a\r\n"
                             "  mp2 =  b  c \r\n"
                             "; MP9=commented out\r\n"
                             "no key here\r\n"
                             "\r\n"
                             "[ DATA ]\r\n"
                             "eAnzMessungen=3\r\n");
    EXPECT_EQ(ini.ReadString("MESSUNGEN", "Mp2"), "b  c");
    EXPECT_EQ(ini.ReadString("data", "EANZMESSUNGEN"), "3");
    EXPECT_EQ(ini.ReadSection("messungen"), (Lines{"MP1", "mp2"}));
    EXPECT_EQ(ini.ReadSectionValues("Messungen"), (Lines{"MP1=a", "mp2=b  c"}));
    EXPECT_TRUE(ini.SectionExists("Data"));
    EXPECT_TRUE(ini.ValueExists("Messungen", "mp1"));
    EXPECT_FALSE(ini.ValueExists("Messungen", "MP9"));
    EXPECT_FALSE(ini.ValueExists("Messungen", "outside"));
    EXPECT_EQ(ini.ReadString("Messungen", "missing", "def"), "def");
    EXPECT_EQ(ini.ReadString("missing", "MP1", "def"), "def");
    EXPECT_TRUE(ini.ReadSection("missing").empty());
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndIsNotCreatedByErasing)
{
    IniFile ini(PathOf("none.npj"));
    EXPECT_FALSE(ini.FileExists());
    EXPECT_EQ(ini.ReadString("S", "k", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("S", "k", 7), 7);
    EXPECT_TRUE(ini.ReadSectionValues("S").empty());
    EXPECT_FALSE(ini.SectionExists("S"));
    ini.EraseSection("S");
    ini.DeleteKey("S", "k");
    EXPECT_FALSE(ini.FileExists());

    ini.WriteString("S", "k", "v");
    EXPECT_TRUE(ini.FileExists());
    EXPECT_EQ(ReadRaw(ini.FileName()), "[S]\r\nk=v\r\n");
}

TEST_F(IniFileTest, ReadsEveryKindOfLineEnd)
{
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        IniFile ini = Make("[A]" + eol + "x=1" + eol + "y=2" + eol + "[B]" + eol + "z=3");
        EXPECT_EQ(ini.ReadSectionValues("A"), (Lines{"x=1", "y=2"}));
        EXPECT_EQ(ini.ReadString("B", "z"), "3");
        ini.WriteString("B", "z", "4");
        EXPECT_EQ(ReadRaw(ini.FileName()), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=4\r\n");
    }
}

TEST_F(IniFileTest, StripsOnePairOfQuotesAndCutsLongValues)
{
    const struct {
        std::string stored;
        std::string read;
    } cases[] = {
        {"\"quoted text\"", "quoted text"},
        {"'single'", "single"},
        {"\"\"", ""},
        {"\"", "\""},
        {"\"mixed'", "\"mixed'"},
        {"\"a\",\"b\"", "a\",\"b"},
        {"\"Messpunkt 1\",,,0,0,,0,0,,,,", "\"Messpunkt 1\",,,0,0,,0,0,,,,"},
        {std::string(3000, 'x'), std::string(2047, 'x')},
        {"\"" + std::string(3000, 'y') + "\"", std::string(2047, 'y')},
    };
    IniFile ini(PathOf("q.npj"));
    for (const auto& c : cases) {
        ini.WriteString("S", "k", c.stored);
        EXPECT_EQ(ini.ReadString("S", "k"), c.read) << c.stored.substr(0, 40);
        EXPECT_EQ(ini.ReadSectionValues("S"), Lines{"k=" + c.read});
    }
    EXPECT_EQ(ReadRaw(ini.FileName()).size(), std::string("[S]\r\nk=\"\"\r\n").size() + 3000);
}

TEST_F(IniFileTest, ReadIntegerAcceptsOnlyDecimalIntegers)
{
    const struct {
        const char* stored;
        int read;
    } cases[] = {
        {"12", 12}, {"-3", -3}, {"+4", 4}, {"  5  ", 5}, {"\"6\"", 6},
        {"1.5", -1}, {"abc", -1}, {"", -1}, {"0x10", -1}, {"+-2", -1}, {"99999999999", -1},
    };
    IniFile ini(PathOf("i.npj"));
    for (const auto& c : cases) {
        ini.WriteString("S", "k", c.stored);
        EXPECT_EQ(ini.ReadInteger("S", "k", -1), c.read) << c.stored;
    }
    ini.WriteInteger("S", "n", -42);
    EXPECT_EQ(ini.ReadString("S", "n"), "-42");
}

TEST_F(IniFileTest, WritingKeepsAllOtherBytes)
{
    // Windows-1252 umlauts, comments, blank lines, odd spacing and a key that
    // differs from the written one only in case.
    IniFile ini = Make("; Projekt f\xFCr M\xFCller\r\n"
                       "\r\n"
                       "[DATA]\r\n"
                       "eOName=Saal \xC4\xD6\xDC\r\n"
                       "  Unbekannt = mit  Leerzeichen  \r\n"
                       "EANZMESSUNGEN=1\r\n"
                       "; Kommentar am Ende\r\n"
                       "\r\n"
                       "[Leer]\r\n"
                       "; nur Kommentar\r\n"
                       "\r\n"
                       "[r01.tim]\r\n"
                       "MPA=0\r\n");
    ini.WriteString("Data", "eAnzMessungen", "3");
    ini.WriteString("DATA", "eAnzMesspunkte", "2");
    ini.WriteString("leer", "Neu", "x");
    ini.WriteString("r02.tim", "MPA", "5");
    EXPECT_EQ(ReadRaw(ini.FileName()), "; Projekt f\xFCr M\xFCller\r\n"
                                       "\r\n"
                                       "[DATA]\r\n"
                                       "eOName=Saal \xC4\xD6\xDC\r\n"
                                       "  Unbekannt = mit  Leerzeichen  \r\n"
                                       "EANZMESSUNGEN=3\r\n"
                                       "eAnzMesspunkte=2\r\n"
                                       "; Kommentar am Ende\r\n"
                                       "\r\n"
                                       "[Leer]\r\n"
                                       "; nur Kommentar\r\n"
                                       "Neu=x\r\n"
                                       "\r\n"
                                       "[r01.tim]\r\n"
                                       "MPA=0\r\n"
                                       "[r02.tim]\r\n"
                                       "MPA=5\r\n");
    EXPECT_EQ(ini.ReadString("data", "eoname"), "Saal \xC4\xD6\xDC");
}

TEST_F(IniFileTest, EraseSectionAndDeleteKeyRemoveOnlyTheirLines)
{
    IniFile ini = Make("[Messungen]\r\nMP1=a\r\nMP2=b\r\n\r\n[r01.tim]\r\nMPA=1\r\n\r\n[DATA]\r\nx=1\r\n");
    ini.DeleteKey("messungen", "mp1");
    ini.EraseSection("R01.TIM");
    EXPECT_EQ(ReadRaw(ini.FileName()), "[Messungen]\r\nMP2=b\r\n\r\n[DATA]\r\nx=1\r\n");
    EXPECT_FALSE(ini.SectionExists("r01.tim"));
    EXPECT_EQ(ini.ReadSection("Messungen"), Lines{"MP2"});
    ini.WriteString("Messungen", "MP1", "c");
    EXPECT_EQ(ini.ReadSectionValues("Messungen"), (Lines{"MP2=b", "MP1=c"}));
}

TEST_F(IniFileTest, ReplaceSectionRewritesItAtTheEnd)
{
    IniFile ini = Make("[Messungen]\r\nMP1=a\r\nMP3=b\r\n[DATA]\r\nx=1\r\n[messungen]\r\nMP9=z\r\n");
    ini.ReplaceSection("Messungen", {{"MP1", "c"}, {"MP2", "d"}});
    EXPECT_EQ(ReadRaw(ini.FileName()), "[DATA]\r\nx=1\r\n[Messungen]\r\nMP1=c\r\nMP2=d\r\n");
    ini.ReplaceSection("MESSUNGEN", {});
    EXPECT_EQ(ReadRaw(ini.FileName()), "[DATA]\r\nx=1\r\n");

    IniFile missing(PathOf("none.npj"));
    missing.ReplaceSection("Messungen", {});
    EXPECT_FALSE(missing.FileExists());
}

TEST_F(IniFileTest, FailedWriteThrowsAndKeepsTheOldFile)
{
    const std::string original = "[S]\nk=old\n";
    IniFile ini = Make(original);
    // A directory where the temp file would go makes the write fail even for root.
    fs::create_directory(ini.FileName() + ".tmp" + std::to_string(::getpid()));
    WriteRaw(PathOf("plain"), "x");
    IniFile inMissingDir(PathOf("missing/p.npj"));
    IniFile belowFile(PathOf("plain/p.npj"));
    const struct {
        IniFile* ini;
        const char* value;
    } cases[] = {{&ini, "new"}, {&ini, "line\r\nbreak"}, {&inMissingDir, "v"}, {&belowFile, "v"}};
    for (const auto& c : cases) {
        try {
            c.ini->WriteString("S", "k", c.value);
            ADD_FAILURE() << "no error for " << c.ini->FileName();
        } catch (const DazoError& e) {
            EXPECT_EQ(e.what(), "In " + c.ini->FileName() + " kann nicht geschrieben werden");
        }
    }
    EXPECT_EQ(ReadRaw(ini.FileName()), original);
    EXPECT_EQ(ini.ReadString("S", "k"), "old");
    EXPECT_FALSE(fs::exists(PathOf("missing")));
}

TEST_F(IniFileTest, LeavesNoTempFileBehind)
{
    IniFile ini(PathOf("p.npj"));
    for (int i = 0; i < 5; ++i)
        ini.WriteInteger("S", "k" + std::to_string(i), i);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(IniFileTest, SeesChangesMadeByOthers)
{
    IniFile ini(PathOf("p.npj"));
    ini.WriteString("S", "k", "1");
    EXPECT_EQ(ini.ReadString("S", "k"), "1");
    // Same size, same inode, within the same clock tick as our own write.
    WriteRaw(ini.FileName(), "[S]\r\nk=2\r\n");
    EXPECT_EQ(ini.ReadString("S", "k"), "2");
    // Replaced by another file.
    WriteRaw(PathOf("other"), "[S]\nk=3\n");
    fs::rename(PathOf("other"), ini.FileName());
    EXPECT_EQ(ini.ReadString("S", "k"), "3");
    // A second object on the same file shares what the first wrote.
    IniFile(ini.FileName()).WriteString("S", "k", "4");
    EXPECT_EQ(ini.ReadString("S", "k"), "4");
    fs::remove(ini.FileName());
    EXPECT_EQ(ini.ReadString("S", "k", "gone"), "gone");
}

TEST_F(IniFileTest, ManyKeysInALargeFileStayFast)
{
    // A project of 50 measurements with their result caches: about 5000 lines.
    std::string content;
    for (int m = 0; m < 50; ++m) {
        content += "[r" + std::to_string(m) + ".tim]\r\n";
        for (int k = 0; k < 100; ++k)
            content += "RT." + std::to_string(k) + ".1.Values=7,90,-0.5,-10.5,0.99,1.5\r\n";
    }
    IniFile ini = Make(content);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(ini.ReadString("R49.TIM", "rt." + std::to_string(i % 100) + ".1.values"),
                  "7,90,-0.5,-10.5,0.99,1.5");
    ini.WriteString("r0.tim", "C.1.Values", "x");
    EXPECT_EQ(ini.ReadSection("r0.tim").back(), "C.1.Values");
    EXPECT_EQ(ini.ReadSection("r1.tim").size(), 100u);
}

} // namespace
} // namespace dazo
