// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Driving the modal dialogs a command opens: a timer waits for the dialog to
// appear and handles it, so the test does not block.

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <memory>

namespace dazo::ui::test {

// Runs handle on the first modal dialog of type Dialog that shows up.
template <class Dialog>
void WhenModal(std::function<void(Dialog*)> handle, int triesLeft = 200)
{
    QTimer::singleShot(triesLeft == 200 ? 0 : 5, [handle, triesLeft] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget()))
            handle(dialog);
        else if (triesLeft > 0)
            WhenModal<Dialog>(handle, triesLeft - 1);
    });
}

// Closes the next message box and hands back its text.
inline std::shared_ptr<QString> CloseNextMessageBox()
{
    auto text = std::make_shared<QString>();
    WhenModal<QMessageBox>([text](QMessageBox* box) {
        *text = box->text();
        box->accept();
    });
    return text;
}

// Picks a file in the next file dialog.
inline void PickInNextFileDialog(const QString& file)
{
    WhenModal<QFileDialog>([file](QFileDialog* dialog) {
        dialog->selectFile(file);
        // selectFile leaves a focused name field alone; type the name as a user would.
        if (auto* name = dialog->template findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(file);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

} // namespace dazo::ui::test
