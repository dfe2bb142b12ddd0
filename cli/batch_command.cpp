// SPDX-License-Identifier: Apache-2.0
#include "cli/batch_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "calc/number_list.h"
#include "calc/reaction_data.h"
#include "calc/version.h"
#include "cli/batch_tool.h"
#include "io/descriptor_io.h"
#include "io/heat_log.h"
#include "io/terminal_text.h"

namespace velkarin {
namespace {

constexpr std::string_view usage =
    "Usage: velkarin-batch [--bom] [-o FILE] [INPUT]\n"
    "       velkarin-batch --fit [-o FILE] [INPUT]\n"
    "       velkarin-batch --calibrate [--residuals] [--sigma-c S] [--sigma-t S] [-o FILE] [LOG]\n"
    "\n"
    "Computes the C–Cr–O equilibrium of every heat in a CSV file (UTF-8, header\n"
    "line first) and writes the input columns followed by the results as CSV,\n"
    "one row as soon as it is computed. Reads standard input when INPUT is\n"
    "missing or is '-'; writes standard output unless -o is given.\n"
    "\n"
    "  -o FILE   write to FILE: into a temporary file beside it, renamed over FILE\n"
    "            only when every row is written, so a failure never leaves a\n"
    "            half-written FILE; FILE keeps its mode, a link its target\n"
    "  --fit     fit the line dG0 = A + B*T to the heats instead, taking each as\n"
    "            being at equilibrium (use end-of-stage samples): one tab-separated\n"
    "            row per reaction present, with the header\n"
    "            reaction n A B seA seB sdG r2 excluded (A, B columns not needed)\n"
    "  --calibrate  fit the blow simulation's rate constant k and heat loss L to a\n"
    "            heat log (one row per stage: heat, stage, W, C0, T0, F, Cr, Ni, Si,\n"
    "            Mn, gas, O2, lime, scrap, inert and the measured C and t), with a\n"
    "            5-fold cross-validation by heat; one tab-separated row with the header\n"
    "            k se_k L se_L corr heats ends excluded rms_lnC rms_T cv_rms_lnC cv_rms_T\n"
    "  --residuals  with --calibrate: one row per measured stage end instead,\n"
    "            heat stage C_meas C_pred t_meas t_pred\n"
    "  --sigma-c S, --sigma-t S  the weights of the fit: S in ln %C (0.10) and in\n"
    "            degrees C (10)\n"
    "  --bom     start the output with a UTF-8 byte order mark, so that a\n"
    "            spreadsheet opened by double-click reads the Chinese texts right\n"
    "  -h, --help  this text\n"
    "  --version   the name and version\n"
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
    "message columns), 2 the input cannot be read or a line of it is malformed\n"
    "(the rows before it are written; with -o, FILE is left as it was), 3 the\n"
    "output cannot be written. With --fit: 0 every reaction fitted, 1 a reaction\n"
    "has fewer than 3 usable heats, all at one temperature or sums beyond the\n"
    "number range (its row has empty numbers, the reason is on stderr) or the\n"
    "input has no heats, 2 and 3 as above. A heat whose t cell holds no number\n"
    "(nan, inf, 0x700) is excluded. With --calibrate: 0 fitted, 1 no fit (the\n"
    "reason on stderr), 2 and 3 as above; a row that cannot be read leaves its\n"
    "heat out (line and reason on stderr). Each option may be given once.\n";

constexpr std::string_view program = "velkarin-batch";

// The batch tool's rows into a descriptor's buffered output.
class BatchDescriptorOutput final : public BatchOutput {
 public:
  explicit BatchDescriptorOutput(int fd) : output_(fd) {}
  void write(std::string_view bytes) override { output_.write(bytes); }
  void flush() { output_.flush(); }

 private:
  DescriptorOutput output_;
};

int fail(int status, std::string_view message) {
  std::cerr << program << ": " << message << '\n';
  return status;
}

// A closed pipe ends the program as it ends every other tool in a pipeline:
// by SIGPIPE, silently.
[[noreturn]] void endByClosedPipe() {
  std::signal(SIGPIPE, SIG_DFL);
  std::raise(SIGPIPE);
  std::_Exit(128 + SIGPIPE);
}

struct Arguments {
  std::optional<std::string> input;
  std::optional<std::string> output;
  BatchOptions options;
  bool fit = false;        // --fit: the fitted line instead of the rows
  bool calibrate = false;  // --calibrate: k and L fitted to a heat log
  bool residuals = false;  // --residuals: its stage ends instead
  CalibrationSettings calibration;
  std::set<std::string_view> given;
};

// --help and --version: their text on standard output, checked like any output.
int printAndExit(std::string_view text, const StandardDescriptors& standard) {
  try {
    finishStandardOutput(text, standard);
    return 0;
  } catch (const WriteFailure& failure) {
    return fail(1, "cannot write <stdout>: " + std::string(std::strerror(failure.error)));
  }
}

std::optional<int> parseArguments(int argc, char** argv, Arguments& args, const StandardDescriptors& standard) {
  const auto usageError = [](const std::string& message) {
    return fail(batchInputUnusable, message + "\n" + std::string(usage));
  };
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") return printAndExit(usage, standard);
    if (arg == "--version") {
      return printAndExit(versionText(program), standard);
    }
    if (arg == "--calibrate" || arg == "--residuals" || arg == "--sigma-c" || arg == "--sigma-t") {
      if (!args.given.insert(arg).second) return usageError(std::string(arg) + " given twice");
      if (arg == "--calibrate") args.calibrate = true;
      if (arg == "--residuals") args.residuals = true;
      if (arg == "--sigma-c" || arg == "--sigma-t") {
        const std::optional<double> sigma = i + 1 < argc ? readFiniteNumber(argv[i + 1]) : std::nullopt;
        if (!sigma || !(*sigma > 0)) return usageError(std::string(arg) + " needs a number greater than 0");
        (arg == "--sigma-c" ? args.calibration.sigmaCarbon : args.calibration.sigmaTemperature) = *sigma;
        ++i;
      }
    } else if (arg == "--fit") {
      if (args.fit) return usageError("--fit given twice");
      args.fit = true;
    } else if (arg == "--bom") {
      if (args.options.byteOrderMark) return usageError("--bom given twice");
      args.options.byteOrderMark = true;
    } else if (arg == "-o") {
      if (i + 1 == argc) return usageError("-o needs a file name");
      if (args.output) return usageError("-o given twice");
      args.output = argv[++i];
      if (args.output->empty()) return usageError("-o needs a file name, not an empty one");
    } else if (arg.size() > 1 && arg.front() == '-') {
      return usageError("unknown option " + std::string(arg));
    } else if (args.input) {
      return usageError("more than one input file given");
    } else {
      args.input = std::string(arg);
    }
  }
  if (args.fit && args.options.byteOrderMark) return usageError("--bom is for the rows, not for --fit");
  if (!args.calibrate && !args.given.empty())
    return usageError(std::string(*args.given.begin()) + " needs --calibrate");
  if (args.calibrate && (args.fit || args.options.byteOrderMark)) {
    return usageError("--calibrate excludes --fit and --bom");
  }
  return std::nullopt;
}

// --fit: the fitted lines once the whole input is read.
int writeFit(DescriptorSource& input, BatchDescriptorOutput& output, const std::string& source) {
  const FitRun run = runFit(input);
  if (run.error) return fail(batchInputUnusable, source + ": " + terminalText(describe(*run.error)));
  output.write(fitTable(run.fits));
  int status = run.fits.empty() ? batchRowFaulted : batchAllComputed;
  if (run.fits.empty()) std::cerr << program << ": " << source << ": no heats to fit\n";
  for (const LineFit& fit : run.fits) {
    const std::string problem = fitProblemEnglish(fit.result());
    if (problem.empty()) continue;
    std::cerr << program << ": " << reactionData(fit.reaction()).name << ": " << problem << '\n';
    status = batchRowFaulted;
  }
  return status;
}

// --calibrate: k and L once the whole log is read; a faulted row's heat is
// left out and said on stderr.
int writeCalibration(DescriptorSource& input, BatchDescriptorOutput& output, const std::string& source,
                     const Arguments& args) {
  const HeatLogRead log = readHeatLog(input, SimulationHeat{});
  if (log.error) return fail(batchInputUnusable, source + ": " + terminalText(describe(*log.error)));
  for (const HeatLogFault& fault : log.faults) {
    std::cerr << program << ": " << source << ": line " << fault.line << ": " << terminalText(fault.message)
              << " (heat " << terminalText(fault.heat) << " left out)\n";
  }
  const Calibration fit = calibrateBlow(log.heats, args.calibration);
  output.write(args.residuals ? residualTable(fit, log.heats) : calibrationTable(fit, log.excluded));
  if (fit.problem == CalibrationProblem::None) return batchAllComputed;
  std::cerr << program << ": " << source << ": no fit: " << calibrationProblemEnglish(fit) << '\n';
  return batchRowFaulted;
}

}  // namespace

int runBatchCommand(int argc, char** argv) {
  const StandardDescriptors standard = reserveStandardDescriptors();
  Arguments args;
  if (const std::optional<int> status = parseArguments(argc, argv, args, standard)) return *status;
  // A file size limit shows as a failed write (EFBIG), not as a signal.
  std::signal(SIGXFSZ, SIG_IGN);

  std::string source = "<stdin>";
  int inputFd = STDIN_FILENO;
  if (args.input && *args.input != "-") {
    source = *args.input;
    inputFd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (inputFd < 0) return fail(batchInputUnusable, "cannot open " + source + ": " + std::strerror(errno));
  } else if (standard.closed[0]) {
    return fail(batchInputUnusable, "standard input is closed: give an INPUT file or '<' one");
  }
  const std::string destination = args.output.value_or("<stdout>");
  if (!args.output && standard.closed[1]) {
    return fail(batchOutputFailed, "cannot write <stdout>: standard output is closed (give -o FILE)");
  }
  try {
    std::optional<ReplacementFile> file;
    if (args.output) file.emplace(*args.output);  // before any row is read
    DescriptorSource input(inputFd);
    BatchDescriptorOutput output(file ? file->fd() : STDOUT_FILENO);
    if (args.fit || args.calibrate) {
      const int status = args.fit ? writeFit(input, output, source) : writeCalibration(input, output, source, args);
      if (status == batchInputUnusable) return status;  // with -o, FILE stays as it was
      output.flush();
      if (file) {
        file->commit();
      } else {
        finishStandardOutput({}, standard);
      }
      return status;
    }
    const BatchResult result = runBatch(input, output, args.options);
    if (result.error) {
      if (!file) output.flush();  // the rows before the bad line; with -o, FILE stays as it was
      // The message may quote the file's text: no raw control characters reach the terminal.
      return fail(batchInputUnusable, source + ": " + terminalText(describe(*result.error)));
    }
    output.flush();
    if (file) {
      file->commit();
    } else {
      finishStandardOutput({}, standard);
    }
    return result.exitStatus;
  } catch (const ReadFailure& failure) {
    return fail(batchInputUnusable, "cannot read " + source + ": " + std::strerror(failure.error()));
  } catch (const WriteFailure& failure) {
    if (failure.error == EPIPE) endByClosedPipe();
    return fail(batchOutputFailed, "cannot write " + destination + ": " + std::strerror(failure.error));
  }
}

}  // namespace velkarin
