// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/IIRFilter.h"

#include <benchmark/benchmark.h>

// One octave filter is designed per band analysis.
static void DesignOctave1000HzAt48kHz(benchmark::State& state)
{
    const dazo::OctaveBandEdges edges = dazo::OctaveEdges(1000);
    for (auto _ : state) {
        dazo::TIIRFilter filter;
        filter.SetRate(48000);
        filter.LowEdge = edges.low;
        filter.HighEdge = edges.high;
        filter.Design();
        benchmark::DoNotOptimize(filter.B);
    }
}
BENCHMARK(DesignOctave1000HzAt48kHz);
