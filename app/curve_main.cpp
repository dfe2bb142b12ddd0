// velkarin-curve: prints the equilibrium-carbon curve family as tab-separated
// text; see curveCommandUsage() or --help.

#include <iostream>
#include <string>
#include <vector>

#include "app/curve_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return velkarin::runCurveCommand(args, std::cout, std::cerr);
}
