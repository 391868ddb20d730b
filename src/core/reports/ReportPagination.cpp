// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportPagination.h"

#include "common/DazoError.h"
#include "reports/MailMerge.h"
#include "reports/ResultsFiles.h"
#include "reports/TextPipeline.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace dazo {
namespace {

constexpr double kEpsilon = 1e-6;
// Less room than this on an empty page means the page setup leaves no room
// for the bands; what is left is then put on that page as it is.
constexpr double kMinimumRoom = 1.0;
constexpr std::size_t kMaxPages = 10000;

// An element of one printed band, in the band's own coordinates.
struct BandItem {
    const ReportElement* element = nullptr;
    double top = 0;
    double height = 0;
    bool breakable = false;
    std::string text;

    double bottom() const { return top + height; }
};

struct BandInstance {
    std::vector<BandItem> items;
    double height = 0;
    bool breakable = false;
};

class Paginator {
public:
    Paginator(const ReportLayout& layout, const ReportData& data, ReportTextMeasurer& measurer)
        : layout_(layout)
        , data_(data)
        , measurer_(measurer)
    {
        if (!layout_.MainPipeline.empty()) {
            const ReportPipeline* main = data_.Pipelines ? FindPipeline(*data_.Pipelines, layout_.MainPipeline) : nullptr;
            if (!main || !main->Pipeline)
                FailWith("Datenquelle %s nicht gefunden", layout_.MainPipeline);
            main_ = main->Pipeline;
        }
    }

    std::vector<ReportPage> Run()
    {
        NewPage();
        Flow(Build(BandKind::Title));
        const ReportBand& header = layout_.Band(BandKind::PageHeader);
        if (pages_.size() == 1 && header.PrintOnFirstPage) {
            PlaceHeader();
            pageContentStart_ = y_;
        }
        if (main_) {
            for (; !main_->Eof(); main_->Next())
                Flow(Build(BandKind::Detail));
        } else {
            Flow(Build(BandKind::Detail));
        }
        return std::move(pages_);
    }

private:
    std::string ItemText(const ReportElement& element) const
    {
        switch (element.Kind) {
        case ElementKind::Label: return element.Text;
        case ElementKind::DataText: return DataText(element, data_);
        case ElementKind::Memo:
        case ElementKind::RichText:
            return element.MailMerge && main_ ? MailMerge(element.Text, *main_, data_.Numbers) : element.Text;
        default: return {};
        }
    }

    // Lays out a band's visible elements for the current record: stretching
    // texts take their content's height; an element below others moves by the
    // largest growth of those above it, a follower by its leader's growth.
    BandInstance Build(BandKind kind)
    {
        const ReportBand& band = layout_.Band(kind);
        std::vector<const ReportElement*> order;
        for (const auto& element : band.Elements)
            if (element.Visible)
                order.push_back(&element);
        std::stable_sort(order.begin(), order.end(), [](const ReportElement* a, const ReportElement* b) {
            return a->Top != b->Top ? a->Top < b->Top : a->Bottom() < b->Bottom();
        });

        BandInstance instance;
        std::vector<double> growth;
        double largestGrowth = order.empty() ? 0 : -band.Height;
        for (const ReportElement* element : order) {
            BandItem item;
            item.element = element;
            item.text = ItemText(*element);
            item.breakable = element->Stretches();
            item.height = item.breakable ? std::max(0.0, measurer_.ContentHeight(*element, item.text)) : element->Height;

            std::optional<double> shift;
            for (std::size_t i = 0; i < instance.items.size(); ++i) {
                const ReportElement& above = *instance.items[i].element;
                if (!element->FollowElement.empty() && above.Name == element->FollowElement) {
                    shift = growth[i];
                    break;
                }
                if (above.Bottom() <= element->Top + kEpsilon)
                    shift = std::max(shift.value_or(growth[i]), growth[i]);
            }
            item.top = element->Top + shift.value_or(0);
            growth.push_back(item.bottom() - element->Bottom());
            largestGrowth = std::max(largestGrowth, growth.back());
            instance.breakable = instance.breakable || item.breakable;
            instance.items.push_back(std::move(item));
        }
        instance.height = std::max(0.0, band.Height + largestGrowth);
        return instance;
    }

    void NewPage()
    {
        if (pages_.size() >= kMaxPages)
            FailWith("Der Bericht hat mehr als %s Seiten", std::to_string(kMaxPages));
        pages_.emplace_back();
        const PageSetup& page = layout_.Page;
        Place(Build(BandKind::PageBackground), 0, std::numeric_limits<double>::max(), page.Top);
        const BandInstance footer = Build(BandKind::PageFooter);
        limit_ = page.Height - page.Bottom - footer.height;
        Place(footer, 0, std::numeric_limits<double>::max(), limit_);
        y_ = page.Top;
        if (pages_.size() > 1)
            PlaceHeader();
        pageContentStart_ = y_;
    }

    void PlaceHeader()
    {
        const BandInstance header = Build(BandKind::PageHeader);
        Place(header, 0, std::numeric_limits<double>::max(), y_);
        y_ += header.height;
    }

    // Puts a band below the last one, continuing on new pages as needed. A
    // band without stretching texts is kept together on one page.
    void Flow(const BandInstance& band)
    {
        double start = 0;
        for (;;) {
            const double room = limit_ - y_;
            const double rest = band.height - start;
            if (rest <= room + kEpsilon) {
                Place(band, start, std::numeric_limits<double>::max(), y_);
                y_ += rest;
                return;
            }
            double cut = band.breakable ? FindCut(band, start, start + room) : start;
            if (cut <= start + kEpsilon) {
                if (y_ > pageContentStart_ + kEpsilon) {
                    NewPage();
                    continue;
                }
                if (!band.breakable || room < kMinimumRoom) {
                    Place(band, start, std::numeric_limits<double>::max(), y_);
                    y_ += rest;
                    return;
                }
                cut = ForcedCut(band, start, start + room);
            }
            Place(band, start, cut, y_);
            NewPage();
            start = cut;
        }
    }

    // The lowest cut <= limit that cuts neither a fixed element nor a line.
    double FindCut(const BandInstance& band, double start, double limit)
    {
        double cut = limit;
        for (bool moved = true; moved;) {
            moved = false;
            for (const BandItem& item : band.items) {
                if (item.top >= cut - kEpsilon || item.bottom() <= cut + kEpsilon)
                    continue;
                if (!item.breakable) {
                    if (item.top >= start - kEpsilon) {
                        cut = item.top;
                        moved = true;
                    }
                    continue;
                }
                const double offset = cut - item.top;
                const double fits = measurer_.BreakHeight(*item.element, item.text, offset);
                if (fits < offset - kEpsilon) {
                    cut = item.top + std::max(0.0, fits);
                    moved = true;
                }
            }
        }
        return cut;
    }

    // Not even one line fits an empty page: the text is cut at the page's
    // end, but an element too tall for the page is kept whole.
    static double ForcedCut(const BandInstance& band, double start, double limit)
    {
        double cut = limit;
        for (const BandItem& item : band.items)
            if (!item.breakable && item.top >= start - kEpsilon && item.top < limit)
                cut = std::max(cut, item.bottom());
        return cut;
    }

    // Places the part [start, end) of a band at the page position top. A
    // fixed element goes with the part its top lies in; a stretching text is
    // cut to the part.
    void Place(const BandInstance& band, double start, double end, double top)
    {
        const bool last = end >= band.height - kEpsilon;
        const double left = layout_.Page.Left;
        auto& placed = pages_.back().Elements;
        for (const BandItem& item : band.items) {
            PlacedElement piece;
            piece.Element = item.element;
            piece.Left = left + item.element->Left;
            piece.Width = item.element->Width;
            piece.Text = item.text;
            if (!item.breakable) {
                const bool inPart = item.top >= start - kEpsilon && (item.top < end - kEpsilon || last);
                if (!inPart)
                    continue;
                piece.Top = top + item.top - start;
                piece.Height = item.height;
            } else {
                const double from = std::max(item.top, start);
                const double to = std::min(item.bottom(), end);
                if (to <= from + kEpsilon)
                    continue;
                piece.Top = top + from - start;
                piece.Height = to - from;
                piece.ContentOffset = from - item.top;
            }
            placed.push_back(std::move(piece));
        }
    }

    const ReportLayout& layout_;
    const ReportData& data_;
    ReportTextMeasurer& measurer_;
    TTextPipeline* main_ = nullptr;
    std::vector<ReportPage> pages_;
    double y_ = 0;
    double limit_ = 0;
    double pageContentStart_ = 0;
};

} // namespace

const ReportPipeline* FindPipeline(const ReportPipelines& pipelines, std::string_view name)
{
    for (const auto& pipeline : pipelines)
        if (pipeline.Name == name || pipeline.UserName == name)
            return &pipeline;
    return nullptr;
}

std::vector<ReportPage> PaginateReport(const ReportLayout& layout, const ReportData& data, ReportTextMeasurer& measurer)
{
    return Paginator(layout, data, measurer).Run();
}

std::string DataText(const ReportElement& element, const ReportData& data)
{
    const ReportPipeline* source = data.Pipelines ? FindPipeline(*data.Pipelines, element.Pipeline) : nullptr;
    if (!source || !source->Pipeline || source->Pipeline->FieldPosition(element.Field) < 0)
        return {};
    std::string text = source->Pipeline->Value(element.Field);
    if (element.DisplayFormat.empty())
        return text;
    try {
        return FormatDisplayNumber(GeneralFloatValue(text, data.Numbers.Decimal()), element.DisplayFormat, data.Numbers);
    } catch (const DazoError&) {
        return text; // not a number: shown as written
    }
}

std::string PrintedText(const PlacedElement& placed, const PageTextContext& context)
{
    const ReportElement& element = *placed.Element;
    if (element.Kind == ElementKind::SystemVariable) {
        switch (element.SystemVariable) {
        case SystemVariableKind::PrintDate: return context.PrintDate;
        case SystemVariableKind::PageNumber: return "Seite " + std::to_string(context.Page);
        case SystemVariableKind::PageNumberOfCount:
            return std::to_string(context.Page) + " von " + std::to_string(context.PageCount);
        }
    }
    if (element.Kind == ElementKind::Variable) {
        if (!context.Variables)
            return {};
        const auto found = context.Variables->find(element.Name);
        return found == context.Variables->end() ? std::string()
                                                 : FormatDisplayNumber(found->second, element.DisplayFormat, context.Numbers);
    }
    return placed.Text;
}

} // namespace dazo
