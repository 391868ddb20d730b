// SPDX-License-Identifier: GPL-3.0-or-later
// Point lines: any line loads or is refused with "falsches Datenformat"; a
// point written with PointLineValue into a project file reads back unchanged.

#include "FuzzSupport.h"
#include "project/CommaText.h"
#include "project/IniFile.h"
#include "project/uMessPunkt.h"
#include "signal/uconst.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

using namespace dazo;

namespace {

void ReadArbitraryLine(std::string_view line)
{
    TMessPunkt point;
    point.Name = "vorher";
    try {
        const std::vector<std::string> files = ReadPointLine(point, line);
        fuzz::Require(files.empty() == point.Files.empty(), "file list and Files disagree");
    } catch (const DazoError& e) {
        fuzz::Require(std::string(e.what()) == "falsches Datenformat", "short line with another message");
        fuzz::Require(point.Name == "vorher", "refused line changed the point");
    }
}

void RoundTrip(FuzzedDataProvider& in)
{
    TMessPunkt point;
    for (std::string* text : {&point.Name, &point.MicPos, &point.MicRichtung})
        *text = in.ConsumeRandomLengthString(64);
    point.MicAbBoden = in.ConsumeFloatingPoint<double>();
    point.MicAbWand = in.ConsumeFloatingPoint<double>();
    point.Lautpos = in.ConsumeRandomLengthString(64);
    point.LautAbBoden = in.ConsumeFloatingPoint<double>();
    point.LautAbWand = in.ConsumeFloatingPoint<double>();
    for (std::string* text : {&point.Note, &point.nn1, &point.nn2})
        *text = in.ConsumeRandomLengthString(200);
    // File names as the measurement manager holds them: quoted, comma-joined.
    // A name with a line break cannot stand in a profile line (writing it is
    // refused), and none holds a NUL.
    std::vector<std::string> files;
    while (files.size() < 8 && in.remaining_bytes() > 0) {
        std::string name = in.ConsumeRandomLengthString(20);
        std::erase_if(name, [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
        if (name.empty())
            continue;
        point.Files += (point.Files.empty() ? "" : ",") + QuoteField(name);
        files.push_back(name);
    }

    const std::string value = PointLineValue(point);
    fuzz::Require(value.find_first_of("\r\n") == std::string::npos, "point line with a line break");
    TMessPunkt back;
    fuzz::Require(ReadPointLine(back, "MP1=" + value) == files, "files changed by the round trip");
    fuzz::Require(back.Name == point.Name && back.MicPos == point.MicPos && back.MicRichtung == point.MicRichtung
                      && back.Lautpos == point.Lautpos && back.Note == point.Note && back.nn1 == point.nn1
                      && back.nn2 == point.nn2,
                  "text changed by the round trip");
    for (const auto& [a, b] : {std::pair{point.MicAbBoden, back.MicAbBoden}, {point.MicAbWand, back.MicAbWand},
                               {point.LautAbBoden, back.LautAbBoden}, {point.LautAbWand, back.LautAbWand}})
        fuzz::Require(FloatToText(a) == FloatToText(b), "distance changed by the round trip");

    // Through the project file, where a value is cut at 2047 bytes.
    if (value.size() > 2047)
        return;
    IniFile project(fuzz::ScratchFile("points.npj"));
    project.ReplaceSection(kMeasurementsSection, {{"MP1", value}});
    TMesspunkte loaded;
    LoadMeasurementPoints(project.FileName(), loaded);
    fuzz::Require(loaded.Count() == 1 && loaded.Items(0).Note == point.Note
                      && loaded.Items(0).Files == back.Files,
                  "point changed by the project file");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReadArbitraryLine({reinterpret_cast<const char*>(data), size});
    FuzzedDataProvider in(data, size);
    RoundTrip(in);
    return 0;
}
