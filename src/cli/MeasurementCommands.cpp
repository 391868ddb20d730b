// SPDX-License-Identifier: GPL-3.0-or-later
// "info" and "curves": one measurement, loaded as the program loads it.

#include "CommandLine.h"

#include "analysis/uCalcChart.h"
#include "common/DazoError.h"
#include "common/Encoding.h"
#include "common/FloatChecks.h"
#include "common/Paths.h"
#include "evaluation/MeasurementLoading.h"
#include "signal/uconst.h"

#include <charconv>
#include <iostream>

namespace dazo::cli {
namespace {

std::string SingleFile(const CommandLine& args)
{
    if (args.Positional().size() != 1)
        Fail("genau eine Messdatei angeben");
    return args.Positional().front();
}

int32_t BandArgument(CommandLine& args)
{
    const auto text = args.Value("band");
    if (!text)
        return 1;
    int32_t band = -1;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), band);
    if (error != std::errc() || end != text->data() + text->size() || band < 0 || band > 10)
        FailWith("ungültiges Band: %s (0 … 10)", *text);
    return band;
}

} // namespace

int RunInfo(CommandLine& args)
{
    const std::string file = SingleFile(args);
    args.RequireAllUsed();
    const auto data = LoadMeasurement(file, ProjectFileFor(file));
    const double interval = data->SampleInterval;
    std::cout << "File=" << Utf8(BareFileName(file)) << "\n"
              << "Count=" << data->Count << "\n"
              << "SampleInterval=" << FloatToText(interval) << "\n"
              << "SampleRate=" << FloatToText(static_cast<double>(CheckedDivide(1000.0L, interval))) << "\n"
              << "SchroederStart=" << data->SchroederStart << "\n"
              << "Title=" << Utf8(data->Title) << "\n"
              << "Comment=" << Utf8(data->Comment) << "\n";
    return 0;
}

int RunCurves(CommandLine& args)
{
    const std::string file = SingleFile(args);
    const int32_t band = BandArgument(args);
    args.RequireAllUsed();
    const std::string project = ProjectFileFor(file);
    const auto data = LoadMeasurement(file, project);
    TCalcChart calcer(project, *data);
    calcer.SampleRate = static_cast<double>(CheckedDivide(1000.0L, data->SampleInterval));
    calcer.SetCalcFunction(band);
    calcer.Calculate();

    std::string out = "t_ms;h;schroeder_db\n";
    const int schroederCount = calcer.SchroederCount();
    for (int i = 0; i < calcer.SignalCount(); ++i) {
        out += FloatToText(calcer.SignalX(i));
        out += ';';
        out += FloatToText(calcer.SignalY(i));
        out += ';';
        if (i < schroederCount)
            out += FloatToText(calcer.SchroederY(i));
        out += '\n';
    }
    std::cout << out;
    return 0;
}

} // namespace dazo::cli
