// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A main window on a small project, with every question and message answered
// by the test, for the tests of the parameter panels and the cursor input.

#include "app/uMain.h"

#include "analysis/ChartCursors.h"
#include "analysis/uCalcChart.h"
#include "app/ChartView.h"
#include "bridge/AnsiText.h"
#include "common/Encoding.h"
#include "evaluation/EvaluationCore.h"
#include "project/ProjekdatenDlg.h"
#include "project/UserNumbers.h"
#include "project/uMesManDlg.h"
#include "signal/MData.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace dazo::test {

inline constexpr int kUnfilteredNode = 3; // calculator 1
inline constexpr int kBand500Node = 8;    // calculator 6

// Decaying noise, 60 dB in 0.2 s from sample 25 on, over a floor 120 dB down.
inline void WriteDecay(const std::string& path, float intervalMs, int count)
{
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<float> samples(static_cast<std::size_t>(count));
    const double tau = 0.2 / std::log(1000.0); // s
    for (int i = 0; i < count; ++i) {
        const double t = (i - 25) * intervalMs / 1000.0;
        samples[static_cast<std::size_t>(i)] = static_cast<float>(noise(random) * ((i < 25 ? 0.0 : std::exp(-t / tau)) + 1e-6));
    }
    TCalcData data;
    data.SampleInterval = intervalMs;
    data.SetSamples(std::move(samples));
    data.Title = "Test";
    data.SaveTim(path);
}

class MainFormFixture : public ::testing::Test {
protected:
    MainFormFixture()
        : paths(dir.File("dazo"))
    {
    }

    ~MainFormFixture() override
    {
        projectData.reset();
        manager.reset();
        form.reset();
    }

    // A project of one point with r01.tim (8000 samples at 0.04 ms, unless
    // told otherwise) and the extra project text (crop settings, say).
    std::string MakeProject(int count = 8000, const std::string& extra = {})
    {
        WriteDecay(dir.File("r01.tim"), 0.04f, count);
        return dir.Write("halle.npj", "[Messungen]\nMP1=\"Messpunkt 1\",,,0,0,,0,0,,,,\"r01.tim\",\n" + extra);
    }

    // Opens the project and shows the node's calculator.
    void Open(const std::string& project, int node = kUnfilteredNode, QSize size = {900, 700})
    {
        form = std::make_unique<ui::TMainForm>(paths);
        manager = std::make_unique<ui::TMesManDlg>(nullptr, FormatSettings::English());
        projectData = std::make_unique<ui::TProjectDlg>(nullptr, FormatSettings::English());
        form->SetCompanionWindows(manager.get(), projectData.get());
        ui::TMainForm::TDialogs& d = form->Dialogs;
        d.ShowError = [this](const QString& m) { messages.push_back(m); };
        d.ShowMessage = [this](const QString& m) { messages.push_back(m); };
        d.AskYesNo = [this](const QString& caption, const QString& text) {
            questions.push_back({caption, text});
            return answerYes;
        };
        d.AskText = [this](const QString& caption, const QString& prompt, const QString& preset) {
            questions.push_back({caption, prompt + '|' + preset});
            return typedAnswer;
        };
        d.AskChartFileName = [this] { return chartFileName; };
        d.AskCsvFileName = [this](const QString&) { return chartFileName; };
        form->resize(size);
        form->show();
        form->OpenProject(QString::fromStdString(project));
        ShowNode(node);
    }

    void ShowNode(int node)
    {
        form->findChild<QTreeWidget*>("TreeView1")->setCurrentItem(form->TreeNode(node));
        Settle();
    }

    // Lets layout and queued replots happen, then lays the chart out now so
    // that pixel positions are final.
    void Settle() const
    {
        QApplication::processEvents();
        form->Chart()->ReplotNow();
    }

    template <class W>
    W* Find(const char* name) const
    {
        W* widget = form->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString Label(const char* name) const { return Find<QLabel>(name)->text(); }
    QString EditText(const char* name) const { return Find<QLineEdit>(name)->text(); }
    void Click(const char* button) const { Find<QAbstractButton>(button)->click(); }

    TCalcChart& Shown() const { return *form->Core().Calcer(form->CurrentCalculator()); }
    const TXChartCursors& Cursors() const { return form->Cursors(); }
    int Position(int cursor) const { return Cursors().Items(cursor).Position(); }
    int CursorPixel(int cursor) const { return qRound(form->Chart()->PixelOfX(Cursors().Items(cursor).X())); }
    int PixelOfX(double x) const { return qRound(form->Chart()->PixelOfX(x)); }
    int MiddleY() const { return form->Chart()->PlotRect().center().y(); }

    static QString Fixed(double x, int decimals) { return ui::FromAnsi(UserFixedText(x, decimals, ui::UserFormat())); }

    // Types into a position edit and leaves it with Enter.
    void Type(const char* edit, const QString& text) const
    {
        auto* line = Find<QLineEdit>(edit);
        QFocusEvent focusIn(QEvent::FocusIn);
        QApplication::sendEvent(line, &focusIn);
        line->setText(text);
        line->setModified(true);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(line, &enter);
    }

    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) const
    {
        QWidget* chart = form->Chart();
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
        QMouseEvent event(type, QPointF(at), chart->mapToGlobal(QPointF(at)), changed, held, Qt::NoModifier);
        QApplication::sendEvent(chart, &event);
    }

    void Drag(QPoint from, QPoint to) const
    {
        Mouse(QEvent::MouseButtonPress, from);
        QApplication::processEvents();
        Mouse(QEvent::MouseMove, to);
        Mouse(QEvent::MouseButtonRelease, to);
        Settle();
    }

    void Key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false,
        QWidget* to = nullptr) const
    {
        QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
        QApplication::sendEvent(to ? to : form->Chart(), &event);
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        Key(QEvent::KeyPress, key, modifiers);
        Key(QEvent::KeyRelease, key, modifiers);
    }

    TempDir dir;
    ProgramPaths paths;
    std::unique_ptr<ui::TMainForm> form;
    std::unique_ptr<ui::TMesManDlg> manager;
    std::unique_ptr<ui::TProjectDlg> projectData;

    std::vector<QString> messages;
    std::vector<std::pair<QString, QString>> questions;
    bool answerYes = true;
    std::optional<QString> typedAnswer;
    QString chartFileName;
};

} // namespace dazo::test
