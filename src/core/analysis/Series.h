// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A curve of (x, y) points in ascending x, the container in which the
// calculators keep their curves and from which the chart draws them.

#include <span>
#include <vector>

namespace dazo {

class TLineSeries {
public:
    void Reserve(std::size_t n);
    void Add(double x, double y)
    {
        X_.push_back(x);
        Y_.push_back(y);
    }
    int Count() const { return static_cast<int>(X_.size()); }
    bool Empty() const { return X_.empty(); }
    void Clear();

    // Checked access: an index outside the series raises the list-index error.
    double X(int i) const;
    double Y(int i) const;
    void SetY(int i, double y);

    double MaxY() const; // 0 for an empty series
    double MinY() const; // 0 for an empty series

    std::span<const double> Xs() const { return X_; }
    std::span<const double> Ys() const { return Y_; }
    std::span<double> MutableYs() { return Y_; }

private:
    void CheckIndex(int i) const;
    std::vector<double> X_;
    std::vector<double> Y_;
};

} // namespace dazo
