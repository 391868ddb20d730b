// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The four reports of the program: their default layouts (used while no
// template file replaces them), template file names and pipelines.

#include "evaluation/ProjectSurvey.h"
#include "reports/Din18041.h"
#include "reports/DisplayFormat.h"
#include "reports/ReportLayout.h"

#include <optional>
#include <string>
#include <vector>

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

// The results section of the test report (RTF): the averaged values per band
// with units, "!" beside flagged decay times and the legend, the measurement
// conditions, and the DIN 18041 assessment (a verdict column per band).
std::string TestResultsText(const std::vector<std::string>& averagedLines, const ProjectSurvey& survey,
                            const std::optional<RoomAssessment>& assessment, const NumberDisplaySettings& numbers);

// The diagram report's DIN 18041 lines (RTF): the verdict of each band centred
// at its column (mm from the text's left edge), then the class and T_soll.
std::string DiagramAssessmentText(const RoomAssessment& assessment, const NumberDisplaySettings& numbers,
                                  const std::vector<double>& bandCentresMm);

// Names of the elements the program fills in.
inline constexpr const char* kDiagramImage = "NachDiagramm";
inline constexpr const char* kSketchImage = "ppImage1";
inline constexpr const char* kTestText = "ppPruefText";
inline constexpr const char* kResultsText = "ppErgRTF";
inline constexpr const char* kMeasurementText = "ppMessung";       // table: project, room, point, file, date
inline constexpr const char* kResultsSection = "ppErgebnisse";     // test: averaged results, conditions, DIN 18041
inline constexpr const char* kTestDiagramImage = "ppNachDiagramm"; // test: the decay-time diagram
inline constexpr const char* kAssessmentText = "ppDinBewertung";   // diagram: DIN 18041 verdict per band

} // namespace dazo
