// SPDX-License-Identifier: Apache-2.0
// velkarin: the desktop program. Shows the frame MDIForm1 with Form1 inside.

#include "ui/calculator/desktop_program.h"

int main(int argc, char* argv[]) { return velkarin::runDesktopProgram(argc, argv); }
