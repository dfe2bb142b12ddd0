// SPDX-License-Identifier: Apache-2.0
// Fuzzes the plan-file reader with arbitrary bytes.
//
// Properties beyond "no crash" (an exception leaving readPlanText or
// planText is one): a text that is refused says why; a text that is read
// is written as a plan the reader takes again, equal to the one read (the
// members it does not know included); and that plan is written as the same
// text again, so saving a plan opened from a save changes no byte.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <variant>

#include "calc/plan.h"
#include "fuzz/fuzz_check.h"

using velkarin::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velkarin;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::variant<Plan, PlanFileError> read = readPlanText(input);
  if (const auto* error = std::get_if<PlanFileError>(&read)) {
    check(!planFileErrorEnglish(*error).empty(), "a refused plan has no reason");
    if (error->fault == PlanFault::NotJson) check(error->line >= 1 && error->column >= 1, "broken JSON at no place");
    if (error->fault == PlanFault::BadMember) check(!error->member.empty(), "a bad member without its name");
    return 0;
  }
  const Plan& plan = std::get<Plan>(read);

  const std::string written = planText(plan);
  check(!written.empty() && written.back() == '\n', "a written plan does not end with a line end");
  const std::variant<Plan, PlanFileError> again = readPlanText(written);
  if (const auto* error = std::get_if<PlanFileError>(&again)) {
    std::fprintf(stderr, "%s\n", planFileErrorEnglish(*error).c_str());
    check(false, "a written plan is not read again");
  }
  const Plan& reread = std::get<Plan>(again);
  if (!(reread == plan)) std::fprintf(stderr, "written:\n%s", written.c_str());
  check(reread == plan, "a written plan reads back as another plan");
  const std::string rewritten = planText(reread);
  if (rewritten != written)
    std::fprintf(stderr, "written:\n%s\nwritten again:\n%s", written.c_str(), rewritten.c_str());
  check(rewritten == written, "writing a plan read from a written one changes its text");
  return 0;
}
