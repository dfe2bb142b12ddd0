// SPDX-License-Identifier: Apache-2.0
#pragma once

// velkarin-curve: the equilibrium-carbon curve family on the command line.
// Parses the options into CurveFamilyInputs, computes the family and prints
// it as tab-separated text (calc/equilibrium_curve.h). Kept apart from main()
// so that the tests drive it with argument lists and string streams.

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "calc/blow_ledger.h"
#include "calc/equilibrium_curve.h"
#include "calc/gas_ratio.h"
#include "calc/plan.h"

#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace velkarin {

// The options of --simulate beyond the heat's.
struct SimulationOptions {
  bool simulate = false;                   // --simulate: the blow in time instead of the table
  bool trajectory = false;                 // --trajectory: with --simulate, the path instead of the stages
  std::optional<double> startTemperature;  // --start-temperature, °C
  double rateConstant = 0.30;              // --rate-constant, 1/min
  double heatLoss = 1.5;                   // --heat-loss, °C/min
  double slagMass = 0;                     // --slag-mass, kg at the start
  double reductionMinutes = 5;             // --reduction-time, min
};

struct CurveCommandOptions {
  bool help = false;                     // --help: print the usage and nothing else
  CurveFamilyInputs family;              // the curves, and the stages' composition and A/B
  GasMixture mixture;                    // P and η for gas ratio items
  ReactionLine otherLine;                // --other-a/--other-b: the reaction not chosen (default: its first preset row)
  std::optional<std::string> stageFile;  // --stages: print this schedule's stage table instead
  std::optional<std::string> planFile;   // --plan: the stage table of this plan file
  std::optional<double> targetCarbon;    // --target, mass %
  HeatCharge heat;                       // --heat-mass, --start-carbon, --o2-flow, --fesi-grade, --basicity
  bool ledger = false;                   // --ledger: the stage file's blow ledger instead of its table
  SimulationOptions simulation;          // --simulate and its options
  std::set<std::string> given;           // the options given, by name without "--"
  // The plan members the options give, by place ("composition/Cr" for --cr)
  // with their texts as given (the reaction by its file name, "Cr2O3"), in
  // the order of the command line.
  std::vector<std::pair<std::string, std::string>> members;
};

// Parses the arguments after the program name. Returns the message of the
// first bad option instead (unknown option, missing or malformed value, a
// value out of its range, or a temperature range with no or too many points).
std::variant<CurveCommandOptions, std::string> parseCurveCommand(std::span<const std::string> args);

// Why an option refuses a value on its own ("--cr: 'x' is not a number",
// "--target must be greater than 0"), as parseCurveCommand words it; nothing
// for a value it takes (A, B and the pressure list are read together with
// the others: planMembersProblem).
std::optional<std::string> optionValueProblem(std::string_view option, const std::string& value);
// Why a plan's members do not go together, as parseCurveCommand words it:
// A and B of the shown and of the other reaction, P and η, and (when
// `pressuresGiven`) the pressure list under them. Its members one by one
// are taken to be values their options take.
std::optional<std::string> planMembersProblem(const Plan& plan, bool pressuresGiven);

// --ledger without the heat's mass or start carbon: checked once a plan or
// a stage file has given its conditions.
std::optional<std::string> ledgerProblem(const CurveCommandOptions& options);
std::optional<std::string> ledgerProblem(bool ledger, const HeatCharge& heat);

// --simulate without --stages or with the ledger's options, or a simulation
// option without --simulate.
std::optional<std::string> simulationProblem(const CurveCommandOptions& options);

// The plan member an option comes from ("composition/Cr" for "cr"), or empty.
std::string conditionOfOption(std::string_view option);
// The option of a stage table's condition (calc/plan_members.h), and
// whether an empty text of it means "not given" (the target, the heat's);
// nothing for bothOxides, which has none, and for the simulation's heat
// members, which are no stage table's conditions.
struct MemberOption {
  std::string_view option;
  bool optional = false;
};
std::optional<MemberOption> optionOfCondition(std::string_view condition);

// The usage text, ending with a newline.
std::string curveCommandUsage();

// Exit statuses of the program.
inline constexpr int curveExitOk = 0;
inline constexpr int curveExitInput = 1;   // --stages/--plan: the file cannot be read, or is no stage table or plan
inline constexpr int curveExitUsage = 2;   // bad options: message and usage on stderr
inline constexpr int curveExitOutput = 3;  // standard output cannot be written

// Runs the program: the family's tab-separated text on `out` and curveExitOk;
// for --help the usage on `out` and curveExitOk; for bad options a message and
// the usage on `err` and curveExitUsage.
int runCurveCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace velkarin
