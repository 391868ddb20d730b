// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The four reports of the program: their default layouts (used while no
// template file replaces them), template file names and pipelines.

#include "reports/ReportLayout.h"

namespace dazo {

class TTextPipeline;

enum class ReportKind { Table, Diagram, Test, Measurement };

// "tabelle.rtm", "diagram.rtm", "Pruefbericht.rtm", "Messbericht.rtm".
const char* TemplateName(ReportKind kind);

ReportLayout DefaultLayout(ReportKind kind);

// Pipeline names used by the layouts; the designer shows the user names.
inline constexpr const char* kPipeData = "PipeData";
inline constexpr const char* kPipeValues = "PipeValues";
inline constexpr const char* kPData = "PData";
inline constexpr const char* kPDataUserName = "Projektdaten";
inline constexpr const char* kLData = "LData";
inline constexpr const char* kLDataUserName = "Firmendaten";
inline constexpr const char* kMessPunktPipe = "MessPunktPipe";

// The fourteen fields of the results file (";" delimited), as PipeData and
// PipeValues declare them.
void DeclareResultsFields(TTextPipeline& pipeline);
// The fourteen fields of the measurement-points file (TAB delimited), as
// MessPunktPipe declares them.
void DeclarePointsFields(TTextPipeline& pipeline);

// Names of the elements the program fills in.
inline constexpr const char* kDiagramImage = "NachDiagramm";
inline constexpr const char* kSketchImage = "ppImage1";
inline constexpr const char* kTestText = "ppPruefText";
inline constexpr const char* kResultsText = "ppErgRTF";

} // namespace dazo
