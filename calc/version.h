// SPDX-License-Identifier: Apache-2.0
#pragma once

// The version of the program, as the build gives it (the project's version).

#include <string>
#include <string_view>

#ifndef VELKARIN_VERSION
#error "VELKARIN_VERSION comes from the build"
#endif

namespace velkarin {

inline constexpr std::string_view version = VELKARIN_VERSION;

// What --version prints after the name: the version, then the licence.
inline std::string versionText(std::string_view program) {
  return std::string(program) + " " + std::string(version) +
         "\nLicense: Apache-2.0 <https://www.apache.org/licenses/LICENSE-2.0>\n";
}

}  // namespace velkarin
