// SPDX-License-Identifier: Apache-2.0
#pragma once

// The 帮助 menu's windows: the user's guide (the README's sections on the
// desktop program, built into the program) and the About box.

class QWidget;

namespace velkarin {

// Shows the guide in a browser window of its own (one at a time; a second
// call brings it to the front). Returns nothing: the window deletes itself.
void showUserGuide(QWidget* parent);

// The About box: version, licence, the Qt version, where the data comes from.
void showAbout(QWidget* parent);

}  // namespace velkarin
