// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A report as a window holds it: its layout (the default, or one loaded from
// its template file), its pipelines, the variables, pictures and rich texts
// the program puts in, and its output to the printer, the preview window or
// a PDF file. Running lays out all pages first (pipelines are read once),
// then draws them as often as the device asks.

#include "reports/DisplayFormat.h"
#include "reports/ReportLayout.h"
#include "reports/ReportPagination.h"
#include "reports/engine/ReportPainter.h"
#include "reports/engine/ReportPicture.h"

#include <QDate>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPrintPreviewDialog;
class QPrinter;
class QWidget;

namespace dazo::ui {

enum class ReportDevice { Printer, Screen };

// The separators of the user's locale: its decimal separator and, where the
// locale's group separator is one Windows-1252 character, that one.
NumberDisplaySettings UserNumberDisplay();

class Report {
public:
    explicit Report(ReportLayout defaultLayout);

    // The file the designer saves to and output loads from.
    std::string TemplateFile;
    ReportPipelines Pipelines;
    ReportDevice DeviceType = ReportDevice::Screen;
    NumberDisplaySettings Numbers = UserNumberDisplay();
    QDate PrintDate = QDate::currentDate();

    // Before the pages are shown or printed (the preview window, or nullptr
    // when printing), and before each page is drawn (page numbers from 1).
    std::function<void(QPrintPreviewDialog* preview)> OnBeforePrint;
    std::function<void(int page)> OnStartPage;

    const ReportLayout& Layout() const { return layout_; }
    const ReportLayout& DefaultLayout() const { return default_; }
    void SetLayout(ReportLayout layout);

    // The template rule: the template file replaces the layout when it exists;
    // without it the layout stays as it is. A damaged file gives back its
    // error message and leaves the default layout.
    QString LoadTemplateIfExists();
    // Writes the layout to the template file.
    void SaveTemplate() const;

    void SetVariable(const std::string& name, double value) { variables_[name] = value; }
    const std::map<std::string, double>& Variables() const { return variables_; }
    // The picture of an image element; an element that takes its picture's
    // size gets it. A null picture takes it out again.
    void SetPicture(const std::string& elementName, ReportPicture picture);
    const ReportPicture* Picture(const ReportElement& element) const;
    void SetRichText(const std::string& elementName, std::string text);

    // Lays out the pages from the pipelines (opened by the caller); then
    // draws them on the output device. Errors throw DazoError.
    void Print(QWidget* parent = nullptr);
    // Lays out and writes the report as a PDF file.
    void ExportPdf(const QString& fileName);

    // The layout with the program's rich texts and picture sizes, as printed.
    const ReportLayout& PrintedLayout() const { return printed_; }
    // Lays out the pages; PageCount and DrawPage use the result.
    void Prepare();
    int PageCount() const { return static_cast<int>(pages_.size()); }
    const std::vector<ReportPage>& Pages() const { return pages_; }
    // Draws all pages on a paged device set up for the page size.
    void Render(QPagedPaintDevice& device);
    ReportTextEngine& TextEngine() { return *text_; }

private:
    void SetUpPrinter(QPrinter& printer) const;
    // An image without a picture takes no room: what lies below it in its
    // band moves up by its height (page backgrounds keep their places).
    void CollapseEmptyImages();
    // Draws the pages first .. last (from 1); false when the device cannot be
    // painted on.
    bool RenderRange(QPagedPaintDevice& device, int first, int last);

    ReportLayout default_;
    ReportLayout layout_;
    ReportLayout printed_;
    std::map<std::string, double> variables_;
    std::map<std::string, ReportPicture> pictures_;
    std::map<std::string, std::string> richTexts_;
    mutable std::map<std::string, ReportPicture> pictureFiles_;
    std::vector<ReportPage> pages_;
    std::unique_ptr<ReportTextEngine> text_;
};

} // namespace dazo::ui
