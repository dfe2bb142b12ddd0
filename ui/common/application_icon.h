// SPDX-License-Identifier: Apache-2.0
#pragma once

// The program's icon (a converter with its bath and CO bubbles), for the
// windows' title bars and the task bar: the installed theme icon where there
// is one, else the copies built into the program.

#include <QIcon>

namespace velkarin {

QIcon applicationIcon();

}  // namespace velkarin
