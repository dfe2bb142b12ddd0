// SPDX-License-Identifier: Apache-2.0
#pragma once

// The desktop program: --help and --version without a display, a clear
// message where there is no display, else the frame MDIForm1 with Form1.

namespace velkarin {

// Runs the program with its arguments; returns its exit status.
int runDesktopProgram(int argc, char* argv[]);

}  // namespace velkarin
