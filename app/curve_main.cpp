// SPDX-License-Identifier: Apache-2.0
// velkarin-curve: prints the equilibrium-carbon curve family as tab-separated
// text; see curveCommandUsage() or --help.

#include <unistd.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "calc/version.h"
#include "cli/curve_command.h"
#include "io/descriptor_io.h"

int main(int argc, char** argv) {
  using namespace velkarin;
  const StandardDescriptors standard = reserveStandardDescriptors();
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::ostringstream out, err;
  int status = curveExitOk;
  if (args.size() == 1 && args[0] == "--version") {
    out << versionText("velkarin-curve");
  } else {
    status = runCurveCommand(args, out, err);
  }
  // Standard output is written whole and closed before the exit status is
  // decided: a full disk, a closed descriptor or a broken pipe is a failure.
  try {
    finishStandardOutput(out.str(), standard);
  } catch (const WriteFailure& failure) {
    err << "velkarin-curve: cannot write <stdout>: " << std::strerror(failure.error) << '\n';
    status = curveExitOutput;
  }
  try {
    writeAll(STDERR_FILENO, err.str());
  } catch (const WriteFailure&) {
    // Nowhere left to say it.
  }
  return status;
}
