// SPDX-License-Identifier: Apache-2.0
#include "io/input_error.h"

namespace velkarin {

std::string describe(const BatchInputError& error) {
  std::string text = "line " + std::to_string(error.line);
  if (error.column) text += ", column " + *error.column;
  return text + ": " + error.message;
}

}  // namespace velkarin
