// SPDX-License-Identifier: Apache-2.0
#pragma once

// Asks the prompts of a calculation with a modal QInputDialog over the
// calculation window: the prompt text as label, its title as window title
// and the default pre-filled. OK returns the field's text, Cancel nothing.

#include "calc/melt_state_input.h"

class QWidget;

namespace velkarin {

class DialogPromptSource final : public PromptSource {
 public:
  explicit DialogPromptSource(QWidget* parent) : parent_(parent) {}

  std::optional<std::string> ask(const Prompt& prompt) override;

 private:
  QWidget* parent_;  // the dialog is centred over it and blocks the application while open
};

}  // namespace velkarin
