// SPDX-License-Identifier: Apache-2.0
#pragma once

// Reading a whole file that must be a regular file of bounded size (a plan):
// a FIFO, a device or a folder is refused before any byte is read (a FIFO
// would wait for a writer for ever, /dev/zero never ends), and the bound is
// on the bytes actually read, not on the size the file reports (0 for
// /proc files and devices).

#include <cstddef>
#include <string>

namespace velkarin {

enum class FileReadFault {
  None,
  CannotOpen,  // error: the errno of open()
  NotRegular,  // a FIFO, device, socket or folder
  TooLarge,    // more than the bound
  ReadFailed,  // error: the errno of a read (EIO, …)
};

struct FileRead {
  std::string bytes;
  FileReadFault fault = FileReadFault::None;
  int error = 0;
};

FileRead readRegularFile(const std::string& path, std::size_t limit);

// The reason in English ("not a regular file", "cannot read: Input/output
// error"); limit is the bound the read had.
std::string fileReadFaultEnglish(const FileRead& read, std::size_t limit);

}  // namespace velkarin
