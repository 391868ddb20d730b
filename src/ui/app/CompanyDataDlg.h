// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "Firmendaten": the company record of the settings file, printed on reports.

#include <QDialog>

#include <array>

class QLineEdit;

namespace dazo {
class TProgramSettings;
}

namespace dazo::ui {

class TCompanyDataDlg : public QDialog {
    Q_OBJECT
public:
    TCompanyDataDlg(TProgramSettings& settings, QWidget* parent);

    // "&Ok": every edit written under its own name, empty texts included.
    void Store();

private:
    TProgramSettings& settings_;
    std::array<QLineEdit*, 6> edits_{};
};

} // namespace dazo::ui
