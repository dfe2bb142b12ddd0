// SPDX-License-Identifier: Apache-2.0
#pragma once

// velkarin-curve run in memory: its status and what it wrote.

#include <sstream>
#include <string>
#include <vector>

#include "cli/curve_command.h"

namespace velkarin::test {

struct CommandRun {
  int status;
  std::string out, err;
};

inline CommandRun run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = runCurveCommand(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace velkarin::test
