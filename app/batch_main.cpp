// velkarin-batch: computes a CSV file of heats and writes the results as CSV.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "app/batch_tool.h"

namespace {

constexpr std::string_view usage =
    "Usage: velkarin-batch [FILE]\n"
    "\n"
    "Computes the C–Cr–O equilibrium of every heat in a CSV file (UTF-8, header\n"
    "line first) and writes the input columns followed by the results as CSV to\n"
    "standard output. Reads standard input when FILE is missing or is '-'.\n"
    "\n"
    "Input columns (by header name, any order, case-insensitive):\n"
    "  reaction  Cr2O3 or Cr3O4\n"
    "  A, B      ΔG° = A + B·T: A in J/mol, B in J/(mol·K), read as the drop-down\n"
    "            texts are; empty: the reaction's first preset row\n"
    "  t         bath temperature, °C\n"
    "  C, Cr, Ni, Si, Mn\n"
    "            contents, mass %\n"
    "  pCO       CO partial pressure, Pa\n"
    "            t to pCO are read as prompt answers (1650℃ reads 1650);\n"
    "            empty: the prompt's default for the reaction\n"
    "Other columns are copied to the output unchanged.\n"
    "\n"
    "Exit status: 0 every row computed, 1 some row faulted (see the fault and\n"
    "message columns), 2 the input cannot be read (nothing is written).\n";

constexpr std::string_view program = "velkarin-batch";

std::optional<std::string> readAll(std::istream& in) {
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(text).str();
}

int fail(std::string_view message) {
  std::cerr << program << ": " << message << '\n';
  return velkarin::batchInputUnusable;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::string> path;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << usage;
      return 0;
    }
    if (arg.size() > 1 && arg.front() == '-') {
      return fail("unknown option " + std::string(arg) + "\n" + std::string(usage));
    }
    if (path) return fail("more than one input file given\n" + std::string(usage));
    path = std::string(arg);
  }

  std::string source = "<stdin>";
  std::optional<std::string> text;
  if (!path || *path == "-") {
    text = readAll(std::cin);
  } else {
    source = *path;
    std::error_code ec;
    if (std::filesystem::is_directory(*path, ec)) return fail("cannot read " + source + ": it is a directory");
    std::ifstream file(*path, std::ios::binary);
    if (!file) return fail("cannot open " + source + ": " + std::strerror(errno));
    text = readAll(file);
  }
  if (!text) return fail("cannot read " + source);

  const velkarin::BatchRun run = velkarin::runBatch(*text);
  if (run.error) {
    return fail(source + ":" + std::to_string(run.error->line) + ": " + run.error->message);
  }
  std::cout << run.output << std::flush;
  if (!std::cout) return fail("cannot write the output");
  return run.exitStatus;
}
