#pragma once

// The version of the program, as the build gives it (the project's version).

#include <string_view>

#ifndef VELKARIN_VERSION
#error "VELKARIN_VERSION comes from the build"
#endif

namespace velkarin {

inline constexpr std::string_view version = VELKARIN_VERSION;

}  // namespace velkarin
