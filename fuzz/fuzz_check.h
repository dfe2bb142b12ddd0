// SPDX-License-Identifier: Apache-2.0
#pragma once

// Property checks of the fuzz targets: a failed check prints what broke and
// the offending values, then aborts, so libFuzzer keeps the input as a crash.

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace velkarin::fuzz {

inline void check(bool ok, std::string_view what) {
  if (ok) return;
  std::fprintf(stderr, "property violated: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

// Same double, bit for bit (tells 0 from -0).
inline bool sameBits(double x, double y) { return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y); }

}  // namespace velkarin::fuzz
