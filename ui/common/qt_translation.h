// SPDX-License-Identifier: Apache-2.0
#pragma once

// Qt's own texts (the 确定/取消 of the input dialogs and message boxes) in
// Simplified Chinese, like every other text of the program.

class QCoreApplication;

namespace velkarin {

// Loads qtbase_zh_CN from Qt's translations folder and installs it on app.
// Returns false when the file is missing; Qt's texts then stay English.
bool installQtChineseTranslation(QCoreApplication& app);

}  // namespace velkarin
