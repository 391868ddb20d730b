// SPDX-License-Identifier: GPL-3.0-or-later
#include "signal/MeasurementReaders.h"
#include "signal/MData.h"

#include "common/DazoError.h"
#include "common/Encoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace dazo {
namespace {

using test::TempDir;

// Readers of made-up formats: one fills every field it can, one fails.
void RegisterTestReaders()
{
    RegisterMeasurementReader(".Xyz", [](TCalcData& data, const std::string& path) {
        data.SampleInterval = 0.5f;
        data.SetSamples({1.0f, 2.0f, 3.0f});
        data.Title = path;
        data.Comment = "Testformat";
    });
    RegisterMeasurementReader(".kaputt", [](TCalcData&, const std::string&) { Fail("falsches Datenformat"); });
}

TEST(MeasurementReaders, LoadFromFileHandsOtherExtensionsToTheirReader)
{
    RegisterTestReaders();
    TempDir dir;
    TCalcData data;
    data.SetSamples({9.0f});
    data.SchroederStart = 5;
    data.TimTrailer.text1 = "alt";
    for (const char* name : {"a.xyz", "B.XYZ"}) {
        const std::string path = dir.File(name);
        data.LoadFromFile(path);
        EXPECT_EQ(data.FileName, path);
        EXPECT_EQ(data.Title, path);
        EXPECT_EQ(data.Comment, "Testformat");
        EXPECT_EQ(data.SampleInterval, 0.5f);
        ASSERT_EQ(data.Count, 3);
        EXPECT_EQ(data.GetValue(2), 3.0);
        // Every field not given by the reader is that of a new measurement.
        EXPECT_EQ(data.SchroederStart, 0);
        EXPECT_EQ(data.TimTrailer, TTimTrailer{});
    }
}

TEST(MeasurementReaders, FailedOrMissingReaderLeavesTheSamplesAndNoFileName)
{
    RegisterTestReaders();
    TempDir dir;
    TCalcData data;
    data.LoadFromFile(dir.File("a.xyz"));
    const struct {
        const char* name;
        const char* message;
    } cases[] = {{"a.kaputt", "falsches Datenformat"}, {"a.unbekannt", "ungültiges Dateiformat"}};
    for (const auto& c : cases) {
        try {
            data.LoadFromFile(dir.File(c.name));
            ADD_FAILURE() << c.name;
        } catch (const DazoError& e) {
            EXPECT_EQ(e.what(), Ansi(c.message)) << c.name;
        }
        EXPECT_EQ(data.FileName, "") << c.name;
        EXPECT_EQ(data.Count, 3) << c.name;
    }
}

} // namespace
} // namespace dazo
