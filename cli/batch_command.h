// SPDX-License-Identifier: Apache-2.0
#pragma once

// velkarin-batch as a command: its options, the files and descriptors it
// reads and writes, its messages and exit statuses around runBatch.

namespace velkarin {

// Runs velkarin-batch with the program's arguments; returns its exit status.
int runBatchCommand(int argc, char** argv);

}  // namespace velkarin
