// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/engine/ReportDesigner.h"

#include "common/Encoding.h"
#include "project/DialogHelpers.h"
#include "project/RTEditor.h"
#include "reports/MailMerge.h"
#include "reports/DefaultReports.h"
#include "reports/EvaluationProject.h"
#include "reports/ReportTemplate.h"
#include "reports/engine/DesignCanvas.h"
#include "reports/engine/Report.h"
#include "reports/engine/ReportWindows.h"
#include "reports/uNachDia.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolBar>

#include <gtest/gtest.h>

namespace dazo::ui {
namespace {

void Mouse(QWidget* widget, QEvent::Type type, const QPointF& at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Drag(QWidget* widget, const QPointF& from, const QPointF& to)
{
    Mouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(widget, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    Mouse(widget, QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

class Designer : public testing::Test {
protected:
    // The test report with the project-data pipeline, before the designer is made.
    static Report TestReport(const dazo::test::TempDir& dir, TTextPipeline& pipe)
    {
        pipe.DefineField("OName", 0, 80);
        pipe.DefineField("AFirma", 1, 80);
        Report report(DefaultLayout(ReportKind::Test));
        report.TemplateFile = dir.File("Pruefbericht.rtm");
        report.Pipelines = {{kPData, kPDataUserName, &pipe}};
        return report;
    }

    // The index of the element in its band.
    int IndexOf(BandKind band, const std::string& name) const
    {
        const auto& elements = designer.EditedLayout().Band(band).Elements;
        for (std::size_t i = 0; i < elements.size(); ++i)
            if (elements[i].Name == name)
                return static_cast<int>(i);
        return -1;
    }

    int IndexOfText(BandKind band, const char* utf8) const
    {
        const auto& elements = designer.EditedLayout().Band(band).Elements;
        for (std::size_t i = 0; i < elements.size(); ++i)
            if (elements[i].Text == Ansi(utf8))
                return static_cast<int>(i);
        return -1;
    }

    dazo::test::TempDir dir;
    TTextPipeline pipe;
    Report report = TestReport(dir, pipe);
    ReportDesigner designer{report, QStringLiteral("Nachhallzeit"),
                            {ElementKind::Label, ElementKind::Memo, ElementKind::RichText, ElementKind::Image,
                             ElementKind::Rectangle, ElementKind::Line, ElementKind::DataText,
                             ElementKind::SystemVariable, ElementKind::Variable}};
};

TEST_F(Designer, OffersTheGivenKindsAndTheCommands)
{
    QStringList actions;
    for (QAction* action : designer.Tools->actions())
        if (!action->isSeparator())
            actions << action->text();
    EXPECT_EQ(actions, (QStringList{"Beschriftung", "Memo", "Formatierter Text", "Bild", "Rechteck", "Linie",
                                    "Datenfeld", "Systemvariable", "Variable", "Löschen", "Speichern", "Schließen"}));
    EXPECT_EQ(designer.windowTitle().remove(QStringLiteral("[*]")), "Nachhallzeit");
}

TEST_F(Designer, ElementsAreSelectedMovedAndResizedWithTheMouse)
{
    designer.show();
    DesignCanvas* canvas = designer.Canvas;
    const int label = IndexOfText(BandKind::Detail, "2. Grundriß");
    ASSERT_GE(label, 0);
    const ReportElement before = designer.EditedLayout().Band(BandKind::Detail).Elements[static_cast<std::size_t>(label)];

    // A click inside selects; dragging moves by the distance in millimetres.
    const QPointF inside = canvas->ToWidget(BandKind::Detail, before.Left + 5, before.Top + 2);
    Drag(canvas, inside, inside + QPointF(10 * canvas->Scale(), -4 * canvas->Scale()));
    EXPECT_EQ(canvas->Selection(), (DesignSelection{BandKind::Detail, label}));
    const ReportElement& moved = designer.EditedLayout().Band(BandKind::Detail).Elements[static_cast<std::size_t>(label)];
    EXPECT_NEAR(moved.Left, before.Left + 10, 0.11);
    EXPECT_NEAR(moved.Top, before.Top - 4, 0.11);
    EXPECT_EQ(moved.Width, before.Width);

    // The lower right corner resizes.
    const QPointF corner = canvas->ToWidget(BandKind::Detail, moved.Left + moved.Width, moved.Bottom()) - QPointF(2, 2);
    Drag(canvas, corner, corner + QPointF(-20 * canvas->Scale(), 2 * canvas->Scale()));
    EXPECT_NEAR(moved.Width, before.Width - 20, 0.11);
    EXPECT_NEAR(moved.Height, before.Height + 2, 0.11);
    EXPECT_TRUE(designer.Modified());

    // A click on free space selects the band.
    Mouse(canvas, QEvent::MouseButtonPress, canvas->ToWidget(BandKind::PageHeader, 160, 10), Qt::LeftButton);
    EXPECT_EQ(canvas->Selection(), (DesignSelection{BandKind::PageHeader, -1}));
}

TEST_F(Designer, PropertiesOfferThePipelinesFieldsAndEditTheElement)
{
    designer.show();
    designer.Canvas->Select({BandKind::PageHeader, IndexOf(BandKind::PageHeader, "ppDBText1")});
    const auto combos = designer.findChildren<QComboBox*>();
    QComboBox* pipeline = nullptr;
    QComboBox* field = nullptr;
    for (QComboBox* combo : combos) {
        if (combo->isVisible() && combo->findText(QStringLiteral("Projektdaten")) >= 0 && !pipeline)
            pipeline = combo;
        if (combo->isVisible() && combo->isEditable() && combo->findText(QStringLiteral("AFirma")) >= 0)
            field = combo;
    }
    ASSERT_TRUE(pipeline && field);
    EXPECT_EQ(pipeline->currentText(), "Projektdaten");
    EXPECT_EQ(field->currentText(), "AFirma");
    field->setCurrentText(QStringLiteral("OName"));
    EXPECT_EQ(designer.EditedLayout().FindElement("ppDBText1")->Field, "OName");
    EXPECT_EQ(report.Layout().FindElement("ppDBText1")->Field, "AFirma"); // not before saving

    const int label = IndexOfText(BandKind::Detail, "2. Grundriß");
    designer.Canvas->Select({BandKind::Detail, label});
    auto* text = designer.findChild<QPlainTextEdit*>();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->toPlainText(), "2. Grundriß");
    text->setPlainText(QStringLiteral("2. Grundriß des Saales"));
    EXPECT_EQ(Utf8(designer.EditedLayout().Band(BandKind::Detail).Elements[static_cast<std::size_t>(label)].Text),
              "2. Grundriß des Saales");
}

TEST_F(Designer, AddDeleteAndSaveWriteTheTemplate)
{
    designer.Canvas->Select({BandKind::PageFooter, -1});
    designer.AddElement(ElementKind::Variable);
    const DesignSelection added = designer.Canvas->Selection();
    EXPECT_EQ(added.Band, BandKind::PageFooter);
    const ReportElement& variable = designer.EditedLayout().Band(BandKind::PageFooter).Elements.at(static_cast<std::size_t>(added.Element));
    EXPECT_EQ(variable.Name, "ppVariable1");
    EXPECT_EQ(variable.DisplayFormat, "#,0.00;-#,0.00");

    designer.Canvas->Select({BandKind::Detail, IndexOf(BandKind::Detail, "ppErgRTF")});
    designer.DeleteSelected();
    EXPECT_EQ(designer.EditedLayout().FindElement("ppErgRTF"), nullptr);

    ASSERT_TRUE(designer.Save());
    EXPECT_FALSE(designer.Modified());
    EXPECT_EQ(report.Layout(), designer.EditedLayout());
    EXPECT_EQ(LoadTemplate(report.TemplateFile), designer.EditedLayout());
}

TEST_F(Designer, ClosingWithUnsavedChangesAsksFirst)
{
    designer.AddElement(ElementKind::Line);
    designer.show();
    auto question = std::make_shared<QString>();
    test::WhenModal<QMessageBox>([question](QMessageBox* box) {
        *question = box->text();
        box->button(QMessageBox::No)->click();
    });
    designer.reject();
    QApplication::processEvents();
    EXPECT_EQ(*question, "ACHTUNG: Die Änderungen sind nicht gespeichert. Trotzdem schließen?");
    EXPECT_TRUE(designer.isVisible());

    test::WhenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    designer.reject();
    EXPECT_FALSE(designer.isVisible());
    EXPECT_EQ(report.Layout(), DefaultLayout(ReportKind::Test)); // nothing saved
}

TEST_F(Designer, RichTextIsEditedInTheWordProcessor)
{
    const int results = IndexOf(BandKind::Detail, "ppErgRTF");
    designer.Canvas->Select({BandKind::Detail, results});
    test::WhenModal<TRTFForm>([](TRTFForm* editor) {
        editor->findChild<QTextEdit*>(QStringLiteral("Editor"))->textCursor().insertText(QStringLiteral("Ergebnisse folgen"));
        editor->findChild<QAction*>(QStringLiteral("FileSaveCmd"))->trigger();
        editor->findChild<QAction*>(QStringLiteral("FileExitCmd"))->trigger();
    });
    const auto buttons = designer.findChildren<QPushButton*>();
    const auto edit = std::find_if(buttons.begin(), buttons.end(),
                                   [](QPushButton* button) { return button->text() == "Bearbeiten..."; });
    ASSERT_NE(edit, buttons.end());
    (*edit)->click();
    const std::string& text = designer.EditedLayout().Band(BandKind::Detail).Elements[static_cast<std::size_t>(results)].Text;
    EXPECT_TRUE(IsRtf(text));
    EXPECT_NE(text.find("Ergebnisse folgen"), std::string::npos);
}

TEST(DesignCommand, EvaluationWindowDesignsWithTheCurrentDiagram)
{
    test::EvaluationProject project(FormatSettings::English(), {"m1.tim"});
    TNachhallDiaDlg window(project.Paths(), FormatSettings::English());
    window.SetProjectFile(project.ProjectFile());
    ProjectReports& reports = ConnectProjectReports(window);
    QString caption;
    bool diagramShown = false;
    test::WhenModal<ReportDesigner>([&](ReportDesigner* designer) {
        caption = designer->windowTitle();
        const ReportElement* diagram = designer->EditedLayout().FindElement(kDiagramImage);
        diagramShown = diagram && reports.ppReport2.Picture(*diagram) != nullptr;
        designer->reject();
    });
    window.OnDesign(DiagramReport);
    EXPECT_EQ(caption.remove(QStringLiteral("[*]")), "Nachhallzeit");
    EXPECT_TRUE(diagramShown);
}

} // namespace
} // namespace dazo::ui
