// velkarin-curve: prints the equilibrium-carbon curve family as tab-separated
// text; see curveCommandUsage() or --help.

#include <iostream>
#include <string>
#include <vector>

#include "calc/version.h"
#include "cli/curve_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "velkarin-curve " << velkarin::version << '\n';
    return 0;
  }
  return velkarin::runCurveCommand(args, std::cout, std::cerr);
}
