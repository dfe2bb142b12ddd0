// SPDX-License-Identifier: Apache-2.0
// Fuzzes the plant-heats reader of the diagram and velkarin-batch --fit with
// arbitrary bytes: both read the same CSV the same way, one heat per row.
//
// Properties beyond "no crash": an input error names a line and says why,
// and the heats reader then keeps no heat; both readers agree on the error
// and its line; the heats keep their file order; a heat is ticked for the
// fit exactly when it has a state the fit takes, and a heat left out says
// why; per reaction, the fit counts the ticked heats as used and the others
// as excluded. The fit table has its header and one row of nine cells per
// fit; a fit without a problem (the rows --fit ends with status 0 on)
// prints finite numbers only, with r² in [0, 1] and no negative standard
// error, and one with a problem prints no numbers.

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "calc/line_fit.h"
#include "calc/plant_heat.h"
#include "cli/batch_tool.h"
#include "fuzz/fuzz_check.h"
#include "io/csv.h"
#include "io/plant_heats_read.h"

using velkarin::fuzz::check;

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t begin = 0;;) {
    const std::size_t end = text.find(separator, begin);
    parts.push_back(text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin));
    if (end == std::string_view::npos) return parts;
    begin = end + 1;
  }
}

// A cell of the fit table as the number it shows; NaN when it shows none.
double cellNumber(std::string_view cell) {
  double value = NAN;
  const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
  if (ec != std::errc() || end != cell.data() + cell.size()) return NAN;
  return value;
}

// The columns of fitTable after the reaction and n: A, B, seA, seB, sdG, r2.
constexpr std::size_t firstNumberCell = 2;
constexpr std::size_t numberCells = 6;
constexpr std::size_t excludedCell = firstNumberCell + numberCells;

void checkFitTable(const std::vector<velkarin::LineFit>& fits) {
  const std::string table = velkarin::fitTable(fits);
  check(!table.empty() && table.back() == '\n', "the fit table does not end with a line end");
  const std::vector<std::string_view> lines = split(std::string_view(table).substr(0, table.size() - 1), '\n');
  check(lines.size() == fits.size() + 1, "the fit table has not one row per fit");
  check(lines.front() == "reaction\tn\tA\tB\tseA\tseB\tsdG\tr2\texcluded", "the fit table's header is not its own");
  for (std::size_t i = 0; i < fits.size(); ++i) {
    const velkarin::LineFitResult r = fits[i].result();
    const std::vector<std::string_view> cells = split(lines[i + 1], '\t');
    check(cells.size() == excludedCell + 1, "a row of the fit table has not nine cells");
    check(cells[1] == std::to_string(r.n) && cells[excludedCell] == std::to_string(r.excluded),
          "a row of the fit table miscounts its heats");
    if (r.problem != velkarin::LineFitProblem::None) {
      check(!velkarin::fitProblemEnglish(r).empty(), "a fit's problem has no words");
      for (std::size_t c = firstNumberCell; c < excludedCell; ++c)
        check(cells[c].empty(), "a failed fit prints numbers");
      continue;
    }
    // A fitted line: --fit exits 0 with these cells as the plant's A and B.
    check(velkarin::fitProblemEnglish(r).empty(), "a fit without a problem reports one");
    check(r.n >= 3, "a line fitted to fewer than three heats");
    std::array<double, numberCells> printed{};
    for (std::size_t c = 0; c < numberCells; ++c) {
      printed[c] = cellNumber(cells[firstNumberCell + c]);
      if (!std::isfinite(printed[c])) {
        std::fprintf(stderr, "fit row: %.*s\n", static_cast<int>(lines[i + 1].size()), lines[i + 1].data());
      }
      check(std::isfinite(printed[c]), "a fitted line prints a number that is not finite");
    }
    const double seA = printed[2], seB = printed[3], sdG = printed[4], r2 = printed[5];
    check(seA >= 0 && seB >= 0 && sdG >= 0, "a fitted line has a negative standard error");
    check(r2 >= 0 && r2 <= 1, "a fitted line's r2 lies outside [0, 1]");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velkarin;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  StringSource source(input);
  const PlantHeatsRead read = readPlantHeats(source);
  const FitRun fit = runFit(input);

  check(!read.cancelled, "a reading nobody cancelled was cancelled");
  check(read.error.has_value() == fit.error.has_value(), "the heats reader and --fit disagree on an input error");
  if (read.error) {
    check(read.error->line >= 1 && !read.error->message.empty(), "an input error names no line or says nothing");
    check(read.error->line == fit.error->line, "the heats reader and --fit name different lines");
    check(read.heats.empty(), "heats kept from an input with an error");
    return 0;
  }

  std::array<std::size_t, 2> used{}, excluded{}, seen{};  // by reaction
  std::uint64_t lastLine = 0;
  for (const PlantHeat& heat : read.heats) {
    check(heat.line > lastLine, "the heats are not in file order");
    lastLine = heat.line;
    check(heat.fitted == heat.fault.empty(), "a heat is ticked with a fault, or left out without one");
    check(!heat.fitted || (heat.state && equilibriumLineValue(heat.reaction, *heat.state)),
          "a heat is ticked whose state the fit cannot take");
    const std::size_t reaction = reactionIndex(heat.reaction);
    ++seen[reaction];
    ++(heat.fitted ? used : excluded)[reaction];
  }
  std::size_t fitsExpected = 0;
  for (const std::size_t count : seen) fitsExpected += count > 0;
  check(fit.fits.size() == fitsExpected, "--fit has not one fit per reaction read");
  for (std::size_t i = 0; i < fit.fits.size(); ++i) {
    check(i == 0 || fit.fits[i - 1].reaction() < fit.fits[i].reaction(), "the fits are not Cr2O3 before Cr3O4");
    const std::size_t reaction = reactionIndex(fit.fits[i].reaction());
    const LineFitResult r = fit.fits[i].result();
    check(r.n == used[reaction] && r.excluded == excluded[reaction], "--fit counts other heats than the heats reader");
  }
  checkFitTable(fit.fits);
  return 0;
}
