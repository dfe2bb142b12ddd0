// SPDX-License-Identifier: Apache-2.0
#include "ui/calculator/dialog_prompt_source.h"

#include "ui/common/qt_text.h"

#include <QInputDialog>

namespace velkarin {

std::optional<std::string> DialogPromptSource::ask(const Prompt& prompt) {
  QInputDialog dialog(parent_);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(toQString(prompt.title));
  dialog.setLabelText(toQString(prompt.text));
  dialog.setTextValue(toQString(prompt.defaultAnswer));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

}  // namespace velkarin
