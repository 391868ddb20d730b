// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/engine/Report.h"

#include "bridge/AnsiText.h"
#include "common/DazoError.h"
#include "reports/ReportTemplate.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <climits>
#include <filesystem>

namespace dazo::ui {
namespace {

QPageLayout PageLayoutOf(const PageSetup& page)
{
    const QPageSize size(QSizeF(page.Width, page.Height), QPageSize::Millimeter);
    return QPageLayout(size, page.Width > page.Height ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace

NumberDisplaySettings UserNumberDisplay()
{
    NumberDisplaySettings settings = NumberDisplaySettings::For(UserFormat());
    const std::string group = ToAnsi(QLocale::system().groupSeparator());
    if (group.size() == 1 && group[0] != '?' && group[0] != settings.decimalSeparator)
        settings.thousandsSeparator = group[0];
    return settings;
}

Report::Report(ReportLayout defaultLayout)
    : default_(std::move(defaultLayout))
    , layout_(default_)
    , text_(std::make_unique<ReportTextEngine>())
{
}

void Report::SetLayout(ReportLayout layout)
{
    layout_ = std::move(layout);
}

QString Report::LoadTemplateIfExists()
{
    std::error_code ignored;
    if (TemplateFile.empty() || !std::filesystem::exists(TemplateFile, ignored))
        return {};
    try {
        layout_ = LoadTemplate(TemplateFile);
        return {};
    } catch (const DazoError& error) {
        layout_ = default_;
        return FromAnsi(error.what());
    }
}

void Report::SaveTemplate() const
{
    dazo::SaveTemplate(layout_, TemplateFile);
}

void Report::SetPicture(const std::string& elementName, ReportPicture picture)
{
    if (picture.IsNull())
        pictures_.erase(elementName);
    else
        pictures_[elementName] = std::move(picture);
}

const ReportPicture* Report::Picture(const ReportElement& element) const
{
    if (const auto found = pictures_.find(element.Name); found != pictures_.end())
        return &found->second;
    if (element.PictureFile.empty())
        return nullptr;
    // A template's picture file that cannot be read shows nothing.
    auto [entry, added] = pictureFiles_.try_emplace(element.PictureFile);
    if (added) {
        try {
            entry->second = ReportPicture::FromFile(FromAnsi(element.PictureFile));
        } catch (const DazoError&) {
        }
    }
    return entry->second.IsNull() ? nullptr : &entry->second;
}

void Report::SetRichText(const std::string& elementName, std::string text)
{
    richTexts_[elementName] = std::move(text);
}

void Report::Prepare()
{
    printed_ = layout_;
    for (const auto& [name, text] : richTexts_)
        if (ReportElement* element = printed_.FindElement(name); element && element->Kind == ElementKind::RichText)
            element->Text = text;
    for (const auto& [name, picture] : pictures_)
        if (ReportElement* element = printed_.FindElement(name); element && element->AutoSize) {
            const QSizeF size = picture.SizeMm();
            element->Width = size.width();
            element->Height = size.height();
        }
    CollapseEmptyImages();
    pages_.clear();
    text_ = std::make_unique<ReportTextEngine>();
    pages_ = PaginateReport(printed_, {&Pipelines, Numbers}, *text_);
}

void Report::CollapseEmptyImages()
{
    constexpr double kEpsilon = 1e-6;
    for (ReportBand& band : printed_.Bands) {
        // The background is laid on the page as drawn; moving its parts would move the page's foot.
        if (band.Kind == BandKind::PageBackground)
            continue;
        for (ReportElement& image : band.Elements) {
            if (image.Kind != ElementKind::Image || !image.Visible || image.Height <= 0 || Picture(image))
                continue;
            const double bottom = image.Bottom();
            const double room = image.Height;
            image.Visible = false;
            for (ReportElement& element : band.Elements)
                if (element.Top >= bottom - kEpsilon)
                    element.Top -= room;
            band.Height = std::max(0.0, band.Height - room);
        }
    }
}

bool Report::RenderRange(QPagedPaintDevice& device, int first, int last)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const std::string printDate = ToAnsi(PrintDate.toString(QStringLiteral("dd.MM.yyyy")));
    const PictureLookup pictures = [this](const ReportElement& element) { return Picture(element); };
    for (int page = std::max(first, 1); page <= std::min(last, PageCount()); ++page) {
        if (page > std::max(first, 1))
            device.newPage();
        if (OnStartPage)
            OnStartPage(page);
        BeginReportUnits(painter, device);
        const PageTextContext context{page, PageCount(), printDate, &variables_, Numbers};
        DrawReportPage(painter, pages_[static_cast<std::size_t>(page - 1)], context, *text_, pictures);
    }
    return painter.end();
}

void Report::Render(QPagedPaintDevice& device)
{
    if (!RenderRange(device, 1, INT_MAX))
        Fail("Ausgabe nicht möglich: das Ausgabegerät ist nicht bereit");
}

void Report::SetUpPrinter(QPrinter& printer) const
{
    printer.setFullPage(true);
    printer.setPageLayout(PageLayoutOf(printed_.Page));
    // The name a print to a PDF file proposes: each report its own file.
    const QString templateName = QFileInfo(QFile::decodeName(QByteArray::fromStdString(TemplateFile))).completeBaseName();
    printer.setDocName(templateName.isEmpty() ? QStringLiteral("Bericht") : templateName);
}

void Report::Print(QWidget* parent)
{
    Prepare();
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    if (DeviceType == ReportDevice::Screen) {
        QPrintPreviewDialog preview(&printer, parent);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [this, &preview](QPrinter* target) {
            // Called from the dialog's event handling: an error is shown, not thrown.
            try {
                Render(*target);
            } catch (const DazoError& error) {
                QMessageBox::warning(&preview, QString(), FromAnsi(error.what()));
            }
        });
        preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
        if (OnBeforePrint)
            OnBeforePrint(&preview);
        preview.exec();
        return;
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, PageCount());
    if (OnBeforePrint)
        OnBeforePrint(nullptr);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    if (!RenderRange(printer, range ? printer.fromPage() : 1, range ? printer.toPage() : INT_MAX))
        Fail("Ausgabe nicht möglich: das Ausgabegerät ist nicht bereit");
}

void Report::ExportPdf(const QString& fileName)
{
    Prepare();
    QPdfWriter writer(fileName);
    writer.setResolution(static_cast<int>(kReportDpi));
    writer.setPageLayout(PageLayoutOf(printed_.Page));
    writer.setCreator(QStringLiteral("DAZO Rudozudoveva"));
    if (!RenderRange(writer, 1, INT_MAX))
        FailWith("In %s kann nicht geschrieben werden", ToAnsi(fileName));
}

} // namespace dazo::ui
