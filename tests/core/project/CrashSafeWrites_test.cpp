// SPDX-License-Identifier: GPL-3.0-or-later
// The project file, the settings file and report templates survive a writer
// killed at any moment, and a write that cannot be completed (file size limit,
// read-only directory) leaves the previous file as it was.

#include "analysis/uHallCalcer.h"
#include "common/AtomicFile.h"
#include "common/DazoError.h"
#include "common/Encoding.h"
#include "evaluation/ProgramSettings.h"
#include "project/IniFile.h"
#include "reports/DefaultReports.h"
#include "reports/ReportTemplate.h"
#include "signal/MData.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>

namespace dazo {
namespace {

namespace fs = std::filesystem;
using test::InChild;
using test::ReadBytes;
using test::TempDir;

constexpr int kKills = 200;

std::string ErrorOf(const std::function<void()>& write)
{
    try {
        write();
    } catch (const DazoError& e) {
        return e.what();
    }
    return "(kein Fehler)";
}

// Starts writer in a child and kills it with SIGKILL after a random delay of
// up to longestDelay (by default 4 ms: a write with its flush takes about
// that long), kKills times; check runs after every kill. Returns how many
// kills caught a write half done, seen by the temp file it left (which is
// then removed).
template <class Writer, class Check>
int KillRepeatedly(const fs::path& dir, Writer writer, Check check,
                   std::chrono::microseconds longestDelay = std::chrono::microseconds(4000))
{
    std::mt19937 random(20261201);
    std::uniform_int_distribution<long> delayMicroseconds(0, static_cast<long>(longestDelay.count()));
    int halfDone = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            writer();
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        check();
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.path().filename().string().find(".tmp") != std::string::npos) {
                ++halfDone;
                fs::remove(entry.path());
            }
        }
        if (::testing::Test::HasFailure())
            break;
    }
    return halfDone;
}

// The C record and the seven RT records of one generation: every number in
// them tells the generation.
void SetGeneration(THallCalcer& calcer, int g)
{
    calcer.C35 = g;
    calcer.CVar = g;
    calcer.Ts = g + 0.5;
    for (TRTRecord& r : calcer.RTRecords)
        r = {g, g + 1, -0.25 * g, -10.0 - g, 0.5, g / 1000.0};
}

int GenerationOf(const THallCalcer& calcer)
{
    for (const TRTRecord& r : calcer.RTRecords)
        if (r != calcer.RTRecords[0] || r.StartIndex != calcer.CVar)
            return -1;
    return calcer.CVar;
}

TEST(CrashSafeWrites, ProjectFileHoldsOneWholeGenerationOfCacheRecordsAfterEveryKill)
{
    TempDir dir;
    const std::string project = dir.File("p.npj");
    // Other content makes each write long enough to be killed inside.
    std::string others = "[Messungen]\r\n";
    for (int i = 1; i <= 300; ++i)
        others += "MP" + std::to_string(i) + "=\"Messpunkt " + std::to_string(i)
                + "\",\"Raummitte\",\"\",1.2,1.5,\"" + Ansi("Bühne") + "\",1.6,2,\"\",\"\",\"\",\"r01.tim\",\r\n";
    dir.Write("p.npj", others);
    const std::vector<std::string> points = IniFile(project).ReadSectionValues("Messungen");

    TCalcData measurement;
    measurement.FileName = dir.File("r01.tim");
    int seen = 0;
    {
        THallCalcer calcer(project, measurement);
        calcer.SetCalcFunction(4);
        SetGeneration(calcer, seen);
        calcer.WriteRTRecords(true);
    }
    const int halfDone = KillRepeatedly(
        dir.Path(),
        [&] {
            THallCalcer calcer(project, measurement);
            calcer.SetCalcFunction(4);
            for (int g = seen + 1;; ++g) {
                SetGeneration(calcer, g);
                calcer.WriteRTRecords(true);
            }
        },
        [&] {
            THallCalcer calcer(project, measurement);
            calcer.SetCalcFunction(4);
            bool whole = calcer.ReadCRecord();
            for (int kind = 0; kind < kRTKindCount; ++kind)
                whole = calcer.ReadRTRecord(kind) && whole;
            ASSERT_TRUE(whole);
            const int g = GenerationOf(calcer);
            ASSERT_GE(g, seen) << "records torn or older than before";
            seen = g;
            ASSERT_EQ(IniFile(project).ReadSectionValues("Messungen"), points);
        });
    EXPECT_GT(seen, 0) << "no write ever completed";
    EXPECT_GT(halfDone, 0) << "no kill landed inside a write";
}

TEST(CrashSafeWrites, SettingsFileHoldsTheOldOrTheNewValueOfEveryKeyAfterEveryKill)
{
    TempDir dir;
    const std::string file = dir.File("dazo.dat");
    TProgramSettings(file).EnsureExists();
    TProgramSettings(file).SetCompany("eLFirma", Ansi("Akustikbüro"));
    int seen = 0;
    TProgramSettings(file).SaveOnShutdown("/projekte/0", {0, 0, 0, 0});

    const int halfDone = KillRepeatedly(
        dir.Path(),
        [&] {
            TProgramSettings settings(file);
            for (int g = seen + 1;; ++g)
                settings.SaveOnShutdown("/projekte/" + std::to_string(g), {g, g, g, g});
        },
        [&] {
            const TProgramSettings settings(file);
            const std::string path = settings.LastProjectDirectory("");
            ASSERT_EQ(path.rfind("/projekte/", 0), 0u) << path;
            const int p = std::stoi(path.substr(10));
            const auto bounds = settings.WindowPosition();
            ASSERT_TRUE(bounds.has_value());
            const int w = bounds->left;
            ASSERT_EQ(*bounds, (WindowBounds{w, w, w, w}));
            // The path is written before the window position.
            ASSERT_TRUE(w == p || w == p - 1) << p << " " << w;
            ASSERT_GE(w, seen);
            seen = w;
            ASSERT_EQ(settings.Company("eLFirma"), Ansi("Akustikbüro"));
            ASSERT_EQ(IniFile(file).ReadSection("DATA").size(), kCompanyKeys.size());
        });
    EXPECT_GT(seen, 0) << "no write ever completed";
    EXPECT_GT(halfDone, 0) << "no kill landed inside a write";
}

// The designer saves the whole layout; the page width tells the generation.
TEST(CrashSafeWrites, ReportTemplateIsTheOldOrTheNewLayoutAfterEveryKill)
{
    TempDir dir;
    const std::string file = dir.File("Pruefbericht.rtm");
    ReportLayout layout = DefaultLayout(ReportKind::Test);
    const auto withGeneration = [&layout](int g) {
        layout.Page.Width = 100 + g;
        return layout;
    };
    int seen = 0;
    // A layout takes longer to write than a few keys (much longer under the
    // sanitizers): the kills spread over twice the time of one save.
    const auto started = std::chrono::steady_clock::now();
    SaveTemplate(withGeneration(seen), file);
    const auto oneSave = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);

    const int halfDone = KillRepeatedly(
        dir.Path(),
        [&] {
            for (int g = seen + 1;; ++g)
                SaveTemplate(withGeneration(g), file);
        },
        [&] {
            const ReportLayout loaded = LoadTemplate(file);
            const int g = static_cast<int>(loaded.Page.Width) - 100;
            ASSERT_GE(g, seen) << "template older than before";
            ASSERT_EQ(loaded, withGeneration(g)) << "template torn";
            seen = g;
        },
        std::max(2 * oneSave, std::chrono::microseconds(4000)));
    EXPECT_GT(seen, 0) << "no write ever completed";
    EXPECT_GT(halfDone, 0) << "no kill landed inside a write";
}

TEST(CrashSafeWrites, TempFilesOfDeadWritersAreRemovedByTheNextWrite)
{
    TempDir dir;
    const std::string project = dir.Write("p.npj", "[DATA]\r\neLFirma=alt\r\n");
    const std::string dead = dir.Write("p.npj.tmp2147483646", "[halb"); // beyond any process number
    const std::string living = dir.Write("p.npj.tmp" + std::to_string(::getppid()), "[halb");
    const std::string other = dir.Write("q.npj.tmp2147483646", "[halb");
    const std::string foreign = dir.Write("p.npj.tmpx", "eigene Datei");
    IniFile(project).WriteString("DATA", "eLFirma", "neu");
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(living));
    EXPECT_TRUE(fs::exists(other));
    EXPECT_TRUE(fs::exists(foreign));
}

// A write that cannot be finished: the message names the file, and the file
// keeps its bytes. Files the user asks for say they cannot be made when not
// even their temp file can be.
struct FailedWrite {
    const char* what;
    std::function<void(const std::string&)> write;
    const char* uncreatable = kCannotWrite;
};

const FailedWrite kFailedWrites[] = {
    {"cache records",
     [](const std::string& file) {
         TCalcData measurement;
         measurement.FileName = "r01.tim";
         THallCalcer calcer(file, measurement);
         calcer.SetCalcFunction(1);
         calcer.C35 = 1.5;
         calcer.WriteRTRecords(true);
     }},
    {"profile values", [](const std::string& file) { IniFile(file).WriteStrings("DATA", {{"mNote", std::string(8000, 'x')}}); }},
    {"settings", [](const std::string& file) { TProgramSettings(file).SetCompany("eLFirma", std::string(8000, 'y')); }},
    {"report template", [](const std::string& file) { SaveTemplate(DefaultLayout(ReportKind::Table), file); },
     kCannotCreate},
    {"time record export",
     [](const std::string& file) {
         TCalcData data;
         data.SetSamples(std::vector<float>(1000, 0.5f));
         data.SaveTim(file);
     },
     kCannotCreate},
};

std::string MessageFor(std::string pattern, const std::string& file)
{
    return pattern.replace(pattern.find("%s"), 2, file);
}

constexpr const char* kPrevious = "[DATA]\r\neLFirma=alt\r\n[r01.tim]\r\nC.1.Values=1,2,3,80,4,0.5,0.6,70\r\n";

TEST(CrashSafeWrites, WriteBeyondTheFileSizeLimitFailsAndKeepsThePreviousFile)
{
    for (const FailedWrite& c : kFailedWrites) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = dir.Write("p.npj", kPrevious);
        const std::string message = InChild([&] {
            // As on a full disk: the write stops short. Without SIGXFSZ
            // ignored the limit would kill the writer instead.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{200, 200};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            return ErrorOf([&] { c.write(file); });
        });
        EXPECT_EQ(message, "In " + file + " kann nicht geschrieben werden");
        EXPECT_EQ(ReadBytes(file), kPrevious);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1)
            << "temp file left behind";
    }
}

// Makes dir read-only for this process through a private read-only bind
// mount; false where mount namespaces are not available.
bool MakeReadOnly(const std::string& dir)
{
    if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return false;
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && ::mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) == 0
        && ::mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

TEST(CrashSafeWrites, WriteIntoAReadOnlyDirectoryFailsAndKeepsThePreviousFile)
{
    // The tests run as root, whom permission bits do not stop; a read-only
    // mount does. /proc, where nobody creates files, stands in when no private
    // mount can be made.
    for (const FailedWrite& c : kFailedWrites) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string file = dir.Write("p.npj", kPrevious);
        const std::string message = InChild([&] {
            return MakeReadOnly(dir.Path().string()) ? ErrorOf([&] { c.write(file); }) : "(kein Namensraum)";
        });
        if (message != "(kein Namensraum)") {
            EXPECT_EQ(message, MessageFor(c.uncreatable, file));
            EXPECT_EQ(ReadBytes(file), kPrevious);
        }

        const std::string procFile = "/proc/version";
        const std::string before = ReadBytes(procFile);
        EXPECT_EQ(ErrorOf([&] { c.write(procFile); }), MessageFor(c.uncreatable, procFile));
        EXPECT_EQ(ReadBytes(procFile), before);
    }
}

} // namespace
} // namespace dazo
