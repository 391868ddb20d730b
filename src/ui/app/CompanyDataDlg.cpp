// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CompanyDataDlg.h"

#include "bridge/AnsiText.h"
#include "evaluation/ProgramSettings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace dazo::ui {

TCompanyDataDlg::TCompanyDataDlg(TProgramSettings& settings, QWidget* parent)
    : QDialog(parent)
    , settings_(settings)
{
    setObjectName("CompanyDataDlg");
    setWindowTitle("Firmendaten");
    const char* labels[] = {"Name / Firma", "Straße", "Plz/Ort", "Tel", "Fax", "EMail"};
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        edits_[i] = new QLineEdit(this);
        edits_[i]->setObjectName(kCompanyKeys[i]);
        edits_[i]->setMinimumWidth(280);
        const std::string value = settings_.Company(kCompanyKeys[i]);
        if (!value.empty())
            edits_[i]->setText(FromAnsi(value));
        form->addRow(QString::fromUtf8(labels[i]), edits_[i]);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("&Ok", QDialogButtonBox::AcceptRole);
    buttons->addButton("&Abbruch", QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        try {
            Store();
            accept();
        } catch (const std::exception& e) {
            QMessageBox::critical(this, windowTitle(), FromAnsi(e.what()));
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TCompanyDataDlg::Store()
{
    for (std::size_t i = 0; i < edits_.size(); ++i)
        settings_.SetCompany(kCompanyKeys[i], ToAnsi(edits_[i]->text()));
}

} // namespace dazo::ui
