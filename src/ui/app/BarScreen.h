// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The progress window of long evaluations. The work runs on the UI thread
// without returning to the event loop, so every change is painted at once.

#include "evaluation/Progress.h"

#include <QDialog>

class QProgressBar;

namespace dazo::ui {

class TInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TInfoForm(QWidget* owner);
    QProgressBar* PBar;
};

// ShowProgress / StepProgress / CloseProgress over the one progress window.
void ShowProgress(QWidget* owner, int maximum, const QString& caption);
void StepProgress();
void CloseProgress();
TInfoForm* CurrentProgressWindow();

// The core's progress callbacks mapped onto the progress window.
class ProgressWindowSink : public Progress {
public:
    explicit ProgressWindowSink(QWidget* owner)
        : owner_(owner)
    {
    }
    void Start(int maximum, const std::string& caption) override;
    void Step() override { StepProgress(); }
    void Finish() override { CloseProgress(); }

private:
    QWidget* owner_;
};

} // namespace dazo::ui
