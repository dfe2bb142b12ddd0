// SPDX-License-Identifier: Apache-2.0
#include "calc/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace velkarin {

FileRead readRegularFile(const std::string& path, std::size_t limit) {
  FileRead read;
  // Refused by its type before it is opened: opening a device can act on it
  // (a tape rewinds). The type is checked again on what was opened.
  struct stat named {};
  if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
    read.fault = FileReadFault::NotRegular;
    return read;
  }
  // O_NONBLOCK: opening a FIFO without a writer returns at once instead of
  // waiting; it is refused below by its type.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    read.fault = FileReadFault::CannotOpen;
    read.error = errno;
    return read;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    read.fault = FileReadFault::ReadFailed;
    read.error = errno;
  } else if (!S_ISREG(status.st_mode)) {
    read.fault = FileReadFault::NotRegular;
  }
  if (read.fault != FileReadFault::None) {
    ::close(fd);
    return read;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  const std::size_t reported = status.st_size > 0 ? static_cast<std::size_t>(status.st_size) : 0;
  read.bytes.reserve(std::min(reported, limit) + 1);
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      read.fault = FileReadFault::ReadFailed;
      read.error = errno;
      break;
    }
    if (got == 0) break;
    if (read.bytes.size() + static_cast<std::size_t>(got) > limit) {
      read.fault = FileReadFault::TooLarge;
      break;
    }
    read.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (read.fault != FileReadFault::None) read.bytes.clear();
  return read;
}

std::string fileReadFaultEnglish(const FileRead& read, std::size_t limit) {
  switch (read.fault) {
    case FileReadFault::None:
      return {};
    case FileReadFault::CannotOpen:
      return std::strerror(read.error);
    case FileReadFault::NotRegular:
      return "not a regular file";
    case FileReadFault::TooLarge:
      return "larger than " + std::to_string(limit >> 20) + " MiB";
    case FileReadFault::ReadFailed:
      return std::string("cannot read: ") + std::strerror(read.error);
  }
  return {};
}

}  // namespace velkarin
