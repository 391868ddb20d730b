// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The report designer: a modal window with the report's bands and elements
// at their true size, a tool bar to add the element kinds it offers, delete,
// save and close, and a panel with the selected element's properties (text,
// pipeline and field chosen from the pipelines' field lists, format, font,
// alignment, size) and the page setup. "Speichern" gives the report the
// edited layout and writes its template file; closing without saving keeps
// the report as it was.

#include "reports/ReportLayout.h"

#include <QDialog>

#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolBar;

namespace dazo::ui {

class DesignCanvas;
class Report;

class ReportDesigner : public QDialog {
    Q_OBJECT

public:
    ReportDesigner(Report& report, const QString& caption, std::vector<ElementKind> kinds, QWidget* parent = nullptr);

    const ReportLayout& EditedLayout() const { return layout_; }
    bool Modified() const { return modified_; }

    // Adds an element of the kind to the selected band and selects it.
    void AddElement(ElementKind kind);
    void DeleteSelected();
    // Writes the template; false (after showing the error) when it failed.
    bool Save();

    // Closes; asks first when there are unsaved changes.
    void reject() override;

    DesignCanvas* Canvas;
    QToolBar* Tools;

private:
    struct PropertyRow {
        QWidget* field;
        std::function<bool(const ReportElement* element)> shown; // nullptr: the band is selected
    };

    QWidget* CreateProperties();
    QWidget* CreatePageSetup();
    void AddRow(const QString& label, QWidget* field, std::function<bool(const ReportElement*)> shown);
    void ShowProperties();
    void FillFields(const std::string& pipelineName);
    // Applies an edit to the selected element (or band) and redraws.
    void Edit(const std::function<void(ReportElement&)>& change);
    void Changed();
    void ChooseFont();
    void ChooseColor(std::uint32_t ReportElement::*color);
    void ChooseFontColor();
    void ChoosePictureFile();
    void LoadTextFile();
    void EditRichText();

    Report& report_;
    ReportLayout layout_;
    std::vector<ElementKind> kinds_;
    bool modified_ = false;
    bool loading_ = false;

    QFormLayout* form_ = nullptr;
    std::vector<PropertyRow> rows_;
    QLabel* kind_ = nullptr;
    QLineEdit* name_ = nullptr;
    QDoubleSpinBox* left_ = nullptr;
    QDoubleSpinBox* top_ = nullptr;
    QDoubleSpinBox* width_ = nullptr;
    QDoubleSpinBox* height_ = nullptr;
    QCheckBox* visible_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QComboBox* pipeline_ = nullptr;
    QComboBox* field_ = nullptr;
    QComboBox* format_ = nullptr;
    QComboBox* systemVariable_ = nullptr;
    QPushButton* font_ = nullptr;
    QComboBox* alignment_ = nullptr;
    QComboBox* side_ = nullptr;
    QDoubleSpinBox* penWidth_ = nullptr;
    QPushButton* penColor_ = nullptr;
    QCheckBox* filled_ = nullptr;
    QPushButton* fillColor_ = nullptr;
    QCheckBox* keepProportion_ = nullptr;
    QCheckBox* autoSize_ = nullptr;
    QLineEdit* pictureFile_ = nullptr;
    QCheckBox* stretch_ = nullptr;
    QCheckBox* mailMerge_ = nullptr;
    QComboBox* follow_ = nullptr;
    QDoubleSpinBox* bandHeight_ = nullptr;
    QCheckBox* firstPage_ = nullptr;

    QDoubleSpinBox* pageLeft_ = nullptr;
    QDoubleSpinBox* pageRight_ = nullptr;
    QDoubleSpinBox* pageTop_ = nullptr;
    QDoubleSpinBox* pageBottom_ = nullptr;
    QComboBox* passes_ = nullptr;
    QComboBox* mainPipeline_ = nullptr;
};

// Shows the designer modally on the report.
void ShowReportDesigner(Report& report, QWidget* parent, const QString& caption, std::vector<ElementKind> kinds);

} // namespace dazo::ui
