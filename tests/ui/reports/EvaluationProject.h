// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small real project for the evaluation windows: synthetic measurements at
// 0.04 ms in a temporary directory, evaluated by TEvaluationCore standing in
// for the main window, and a program directory of its own for the report files.

#include "analysis/ResultCache.h"
#include "evaluation/EvaluationCore.h"
#include "evaluation/EvaluationFixtures.h"
#include "project/CommaText.h"
#include "project/IniFile.h"
#include "reports/LineFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace dazo::ui::test {

inline std::string ProgramIn(const dazo::test::TempDir& dir)
{
    std::filesystem::create_directories(dir.Path() / "prog");
    return dir.File("prog/dazo");
}

class EvaluationProject {
public:
    // One point holding the given measurement files, each a different decay.
    EvaluationProject(FormatSettings format, const std::vector<std::string>& files)
        : core_(ProgramPaths(ProgramIn(dir_)), format)
    {
        for (std::size_t i = 0; i < files.size(); ++i)
            dazo::test::WriteImpulseResponse(dir_.File(files[i]), 8000, 0.04f, 0.25 + 0.05 * static_cast<double>(i),
                                             static_cast<unsigned>(i) + 1);
        project_ = dir_.Write("p.npj", "[Messungen]\r\n" + dazo::test::PointLine(1, files)
                                           + "\r\n[DATA]\r\neOName=Stadthalle\r\neSkizze=\r\n");
        core_.SetProjectFile(project_);
        if (!files.empty())
            core_.LoadMeasurementFile(dir_.File(files.front()));
    }

    // The main window's handling of the window messages.
    std::function<void(int)> Requests()
    {
        return [this](int message) { core_.HandleMessage(message, nullptr); };
    }

    // Replaces the reverberation time of a cached RT record.
    void SetCachedRT(const std::string& file, int band, int kind, const std::string& seconds)
    {
        IniFile ini(project_);
        auto fields = SplitCommaText(ini.ReadString(file, RTRecordKey(band, kind)));
        ASSERT_GE(fields.size(), 6u);
        fields[5] = seconds;
        std::string record;
        for (const auto& field : fields)
            record += (record.empty() ? "" : ",") + field;
        ini.WriteString(file, RTRecordKey(band, kind), record);
    }

    std::vector<std::string> Results() const { return ReadLines(core_.Paths().ResultsFile()); }
    void WriteResults(const std::vector<std::string>& lines) const { WriteLines(core_.Paths().ResultsFile(), lines); }

    const dazo::test::TempDir& Dir() const { return dir_; }
    const ProgramPaths& Paths() const { return core_.Paths(); }
    TEvaluationCore& Core() { return core_; }
    const std::string& ProjectFile() const { return project_; }

private:
    dazo::test::TempDir dir_;
    TEvaluationCore core_;
    std::string project_;
};

} // namespace dazo::ui::test
