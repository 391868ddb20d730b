// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportPageCommon.h"

#include "bridge/AnsiText.h"
#include "reports/EditGrid.h"
#include "reports/ParameterHeadings.h"
#include "reports/ResultsFiles.h"
#include "reports/TextPipeline.h"
#include "signal/uconst.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QToolButton>

#include <exception>

namespace dazo::ui {
namespace {

const QColor kBarColor(128, 128, 128);

// Puts the unfiltered row's short title back and closes the pipeline however
// the fill ends.
class FillScope {
public:
    FillScope(TEditGrid& grid, TTextPipeline& pipeline) : grid_(grid), pipeline_(pipeline) {}
    ~FillScope()
    {
        grid_.SetCell(0, 1, FromAnsi(BandLabels[0]));
        pipeline_.Close();
    }
    FillScope(const FillScope&) = delete;
    FillScope& operator=(const FillScope&) = delete;

private:
    TEditGrid& grid_;
    TTextPipeline& pipeline_;
};

} // namespace

TTitleBar::TTitleBar(const char* name, const QString& caption, QWidget* parent)
    : QFrame(parent)
    , Caption(new QLabel(caption))
    , layout_(new QHBoxLayout(this))
{
    setObjectName(QString::fromLatin1(name));
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, kBarColor);
    setPalette(grey);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    layout_->setContentsMargins(4, 3, 4, 3);

    QFont bold = Caption->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    Caption->setFont(bold);
    QPalette white = Caption->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    Caption->setPalette(white);
}

QToolButton* TTitleBar::AddButton(const char* name, const QString& text, const QString& hint)
{
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setAutoRaise(false);
    layout_->addWidget(button);
    return button;
}

void TTitleBar::AddCaptionAndStretch()
{
    layout_->addSpacing(8);
    layout_->addWidget(Caption);
    layout_->addStretch();
}

void FillGridFromResults(TEditGrid& grid, TTextPipeline& pipeline, const FormatSettings& format)
{
    FillScope scope(grid, pipeline);
    pipeline.Open();
    const QString unfiltered = FromAnsi(BandLabels[0]);
    grid.SetCell(0, 1, unfiltered + " Hz");
    const int cVar = pipeline.FieldPosition("CVar");
    for (; !pipeline.Eof(); pipeline.Next()) {
        const std::string band = pipeline.Value("Hz");
        if (Trim(band).empty())
            continue;
        const QString rowTitle = FromAnsi(band) + " Hz";
        for (int i = 0; i < pipeline.FieldCount(); ++i) {
            const TPipelineField& field = pipeline.Field(i);
            if (field.Position < 2 || field.Position == cVar)
                continue;
            grid.PutValue(FromAnsi(ParameterHeading(field.Name)), rowTitle, false,
                          GeneralFloatValue(pipeline.FieldText(i), format));
        }
    }
}

bool RunCommand(QWidget* owner, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        QMessageBox::critical(owner, QApplication::applicationDisplayName(), FromAnsi(error.what()));
        return false;
    }
}

} // namespace dazo::ui
