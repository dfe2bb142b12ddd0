// SPDX-License-Identifier: Apache-2.0
// velkarin-batch: computes a CSV file of heats and writes the results as CSV,
// one row at a time (see cli/batch_command.h, or --help).

#include "cli/batch_command.h"

int main(int argc, char** argv) { return velkarin::runBatchCommand(argc, argv); }
