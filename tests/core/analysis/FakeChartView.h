// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A chart that keeps what a real one would show (series in drawing order with
// axis, visibility and pen) and logs every call, for the cursor and drawing tests.

#include "analysis/ChartView.h"
#include "analysis/Series.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace dazo::test {

class FakeChartView : public IChartView {
public:
    struct Shown {
        const TLineSeries* Series = nullptr;
        ChartAxis Axis = ChartAxis::Left;
        bool CursorLine = false;
        bool Visible = false;
        RgbColor Color;
        int Width = 0;
    };
    struct Call {
        std::string Name;
        const TLineSeries* Series = nullptr;
        bool operator==(const Call&) const = default;
    };

    std::vector<Shown> Order; // drawing order, first drawn first
    std::vector<Call> Calls;
    std::string LeftTitle;
    bool Busy = false;

    const Shown* Find(const TLineSeries& s) const
    {
        const std::size_t i = IndexOf(s);
        return i < Order.size() ? &Order[i] : nullptr;
    }
    std::vector<const TLineSeries*> SeriesInOrder() const
    {
        std::vector<const TLineSeries*> v;
        for (const Shown& e : Order)
            v.push_back(e.Series);
        return v;
    }
    std::vector<Call> CallsNamed(const std::string& name) const
    {
        std::vector<Call> v;
        std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(v), [&](const Call& c) { return c.Name == name; });
        return v;
    }

    void RemoveAllSeries() override
    {
        Log("RemoveAllSeries");
        Order.clear();
    }
    void UndoZoom() override { Log("UndoZoom"); }
    void SetLeftAxisTitle(const std::string& title) override
    {
        Log("SetLeftAxisTitle");
        LeftTitle = title;
    }
    void AttachSeries(const TLineSeries& s, ChartAxis axis) override
    {
        Log("AttachSeries", &s);
        Attach(s, false).Axis = axis;
    }
    void AttachCursorLine(const TLineSeries& s) override
    {
        Log("AttachCursorLine", &s);
        Attach(s, true);
    }
    void RemoveSeries(const TLineSeries& s) override
    {
        Log("RemoveSeries", &s);
        std::erase_if(Order, [&](const Shown& e) { return e.Series == &s; });
    }
    void SetSeriesVisible(const TLineSeries& s, bool visible) override
    {
        Log(visible ? "Show" : "Hide", &s);
        if (Shown* e = Get(s))
            e->Visible = visible;
    }
    void SetSeriesPen(const TLineSeries& s, RgbColor color, int width) override
    {
        Log("SetSeriesPen", &s);
        if (Shown* e = Get(s)) {
            e->Color = color;
            e->Width = width;
        }
    }
    void SeriesChanged(const TLineSeries& s) override { Log("SeriesChanged", &s); }
    void MoveSeriesEarlier(const TLineSeries& s) override
    {
        Log("MoveSeriesEarlier", &s);
        const std::size_t i = IndexOf(s);
        if (i < Order.size() && i > 0)
            std::swap(Order[i], Order[i - 1]);
    }
    void MoveSeriesLater(const TLineSeries& s) override
    {
        Log("MoveSeriesLater", &s);
        const std::size_t i = IndexOf(s);
        if (i + 1 < Order.size())
            std::swap(Order[i], Order[i + 1]);
    }
    void SetBusyPointer(bool busy) override
    {
        Log(busy ? "BusyOn" : "BusyOff");
        Busy = busy;
    }

private:
    void Log(std::string name, const TLineSeries* s = nullptr) { Calls.push_back({std::move(name), s}); }
    std::size_t IndexOf(const TLineSeries& s) const
    {
        const auto it = std::find_if(Order.begin(), Order.end(), [&](const Shown& e) { return e.Series == &s; });
        return static_cast<std::size_t>(it - Order.begin());
    }
    Shown* Get(const TLineSeries& s) { return const_cast<Shown*>(Find(s)); }
    Shown& Attach(const TLineSeries& s, bool cursorLine)
    {
        if (Shown* e = Get(s))
            return *e;
        Order.push_back({&s, ChartAxis::Left, cursorLine, false, {}, 0});
        return Order.back();
    }
};

} // namespace dazo::test
