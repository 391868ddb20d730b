// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lays a report out on pages without drawing it: the background on every
// page, the title on the first, the page header, one detail band per record
// of the main pipeline, the page footer at the foot of each page. Memos and
// rich texts that stretch grow with their content, push the elements below
// them down and continue on the next page between two lines. Text heights
// come from a measurer, so this needs no fonts.

#include "reports/DisplayFormat.h"
#include "reports/ReportLayout.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dazo {

class TTextPipeline;

class ReportTextMeasurer {
public:
    virtual ~ReportTextMeasurer() = default;
    // Height in mm of a memo's or rich text's content at the element's width.
    virtual double ContentHeight(const ReportElement& element, const std::string& text) = 0;
    // The greatest height <= limit (mm from the content's top) at which the
    // content can be cut without cutting a line; 0 when not even one line fits.
    virtual double BreakHeight(const ReportElement& element, const std::string& text, double limit) = 0;
};

// A pipeline as the report sees it: Name is used in the layout, UserName is
// what the designer shows.
struct ReportPipeline {
    std::string Name;
    std::string UserName;
    TTextPipeline* Pipeline = nullptr;
};
using ReportPipelines = std::vector<ReportPipeline>;

// The pipeline of that name or user name, letter case ignored (nullptr if none).
const ReportPipeline* FindPipeline(const ReportPipelines& pipelines, std::string_view name);

struct PlacedElement {
    const ReportElement* Element = nullptr; // into the paginated layout
    double Left = 0;   // mm from the paper's top left corner
    double Top = 0;
    double Width = 0;
    double Height = 0; // of this piece
    double ContentOffset = 0; // mm of a split text's content shown on earlier pages
    std::string Text; // label, data text, memo and rich text as printed (merged)
};

struct ReportPage {
    std::vector<PlacedElement> Elements; // in drawing order
};

struct ReportData {
    const ReportPipelines* Pipelines = nullptr;
    NumberDisplaySettings Numbers;
};

// Runs the main pipeline from its current record to its end (the caller has
// opened it). A main pipeline the report does not know throws "Datenquelle
// <name> nicht gefunden". The layout must outlive the pages.
std::vector<ReportPage> PaginateReport(const ReportLayout& layout, const ReportData& data, ReportTextMeasurer& measurer);

// What is known only when a page is drawn.
struct PageTextContext {
    int Page = 1;
    int PageCount = 1;
    std::string PrintDate;
    const std::map<std::string, double>* Variables = nullptr;
    NumberDisplaySettings Numbers;
};

// The text an element shows on its page: system variables and variables are
// filled in here (a variable the program has not set shows nothing), every
// other element shows its placed text.
std::string PrintedText(const PlacedElement& placed, const PageTextContext& context);

// The text of a data text element from its pipeline's current record, in its
// display format when it reads as a number; empty when the pipeline or field
// is unknown.
std::string DataText(const ReportElement& element, const ReportData& data);

} // namespace dazo
