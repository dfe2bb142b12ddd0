// SPDX-License-Identifier: Apache-2.0
#pragma once

// Enter presses the focused push button, as on the plant's other desktop
// programs: Qt presses a button by Space only, and by Enter only where it is
// a dialog's (auto-)default button. Installed once for the whole program, the
// filter sees Return and the keypad's Enter (without Shift, Ctrl, Alt or
// Meta) sent to a QPushButton that has the focus and is not a default button
// (those Qt presses itself) and clicks it; every other key, and Enter in any
// other control (a text box, a table's editor, a list), goes on as before.

class QCoreApplication;

namespace velkarin {

// Installs the filter on the application; a second call does nothing.
void letEnterPressButtons(QCoreApplication& app);

}  // namespace velkarin
