// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the results table and the evaluation window share: the grey title bar
// with its buttons, filling a grid from the results file, and showing a
// command's error.

#include "common/FormatSettings.h"

#include <QFrame>
#include <QString>

#include <functional>

class QHBoxLayout;
class QLabel;
class QToolButton;

namespace dazo {
class TTextPipeline;
}

namespace dazo::ui {

class TEditGrid;

// A grey bar across the top of a page: buttons, a white caption, and buttons
// pushed to the right end.
class TTitleBar : public QFrame {
    Q_OBJECT
public:
    TTitleBar(const char* name, const QString& caption, QWidget* parent = nullptr);

    QToolButton* AddButton(const char* name, const QString& text, const QString& hint);
    // Buttons added after this sit at the right end.
    void AddCaptionAndStretch();

    QLabel* Caption;

private:
    QHBoxLayout* layout_;
};

// Opens the pipeline (bound to a results file) and puts every value of every
// record with a band into the grid by parameter heading ("EDT [s]") and band
// title ("<band> Hz"),
// CVar left out. The unfiltered row is titled "ungefiltert Hz" while filling,
// so that its records find it, and "ungefiltert" again afterwards; the
// pipeline is closed in every case. A value that is no number throws.
void FillGridFromResults(TEditGrid& grid, TTextPipeline& pipeline, const FormatSettings& format);

// Runs a command; an error is shown to the user with its German message.
// True when the command ended without error.
bool RunCommand(QWidget* owner, const std::function<void()>& command);

} // namespace dazo::ui
