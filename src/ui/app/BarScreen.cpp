// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BarScreen.h"

#include "bridge/AnsiText.h"

#include <QProgressBar>
#include <QVBoxLayout>

#include <memory>

namespace dazo::ui {
namespace {

std::unique_ptr<TInfoForm> progressWindow;

void PaintNow(TInfoForm* window)
{
    window->repaint();
    window->PBar->repaint();
}

} // namespace

TInfoForm::TInfoForm(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , PBar(new QProgressBar(this))
{
    setObjectName("InfoForm");
    setWindowTitle("Berechnen");
    PBar->setObjectName("PBar");
    PBar->setMinimum(0);
    PBar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PBar);
    resize(320, 40);
}

void ShowProgress(QWidget* owner, int maximum, const QString& caption)
{
    progressWindow = std::make_unique<TInfoForm>(owner);
    if (!caption.isEmpty())
        progressWindow->setWindowTitle(caption);
    progressWindow->PBar->setMaximum(maximum);
    progressWindow->PBar->setValue(0);
    if (owner) {
        const QRect frame = owner->frameGeometry();
        progressWindow->move(frame.center() - progressWindow->rect().center());
    }
    progressWindow->show();
    PaintNow(progressWindow.get());
}

void StepProgress()
{
    if (!progressWindow)
        return;
    progressWindow->PBar->setValue(progressWindow->PBar->value() + 1);
    PaintNow(progressWindow.get());
}

void CloseProgress()
{
    if (!progressWindow)
        return;
    progressWindow->hide();
    progressWindow.reset();
}

TInfoForm* CurrentProgressWindow()
{
    return progressWindow.get();
}

void ProgressWindowSink::Start(int maximum, const std::string& caption)
{
    ShowProgress(owner_, maximum, FromAnsi(caption));
}

} // namespace dazo::ui
