// SPDX-License-Identifier: GPL-3.0-or-later
// dazo-eval: the evaluation without a window, for batch use and tests.

#include "CommandLine.h"
#ifdef DAZO_WITH_REPORTS
#include "report/ReportCommand.h"
#endif

#include "audio/AudioFileReader.h"
#include "common/DazoError.h"
#include "common/Encoding.h"

#include <cstring>
#include <iostream>

namespace {

constexpr const char* kUsage =
    "Aufruf:\n"
    "  dazo-eval info DATEI              Kenndaten einer Messung\n"
    "                                    (.tim, .qel, .wav, .flac, .aif, .aiff)\n"
    "  dazo-eval curves DATEI [--band N] Signal- und Schröderkurve (N = 0 … 10)\n"
    "  dazo-eval results PFAD [--all] [--raw] [--decimal-comma] [--lundeby]\n"
    "                                    Ergebnisse je Oktavband (PFAD: .npj oder Messdatei;\n"
    "                                    --all: Mittel über alle Messungen des Projekts;\n"
    "                                    --lundeby: Schröder-Integration ab dem Schnittpunkt mit\n"
    "                                    dem Grundrauschen (Lundeby), ohne den Zwischenspeicher\n"
    "                                    des Projekts)\n"
#ifdef DAZO_WITH_REPORTS
    "  dazo-eval report BERICHT PFAD --pdf ZIEL [--templates VERZ] [--decimal-comma]\n"
    "                                    Bericht als PDF (BERICHT: tabelle, diagram,\n"
    "                                    pruefbericht, messbericht; Vorlagen aus VERZ)\n"
#endif
    ;

} // namespace

int main(int argc, char** argv)
{
    using namespace dazo;
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        std::cerr << kUsage;
        return argc < 2 ? 1 : 0;
    }
    RegisterAudioReaders();
    const std::string command = argv[1];
    try {
        cli::CommandLine args(argc, argv, 2);
        if (command == "info")
            return cli::RunInfo(args);
        if (command == "curves")
            return cli::RunCurves(args);
        if (command == "results")
            return cli::RunResults(args);
#ifdef DAZO_WITH_REPORTS
        if (command == "report")
            return cli::RunReport(args);
#endif
        std::cerr << Utf8(Ansi("unbekannter Befehl: ")) << command << "\n" << kUsage;
        return 1;
    } catch (const DazoError& e) {
        std::cerr << Utf8(e.what()) << "\n";
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
    }
    return 1;
}
