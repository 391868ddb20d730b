// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter panels of the main window: the reverberation, energy and
// position tabs and the cursor readouts. Navigation calls these after every
// drawing; the panel commands fill them in.

#include "app/uMain.h"

#include <QButtonGroup>

namespace dazo::ui {

int TMainForm::PressedRTKind() const
{
    return RTKindButtons->checkedId();
}

void TMainForm::SelectRTKind(int /*kind*/)
{
}

void TMainForm::UpdateEnergyPanel()
{
}

void TMainForm::UpdateCursorReadouts()
{
}

} // namespace dazo::ui
