// SPDX-License-Identifier: Apache-2.0
#pragma once

// Reading and writing through file descriptors, with every failure
// reported: a source that throws ReadFailure (the command-line tools' inputs,
// the diagram's import of heats), a buffered output that throws
// WriteFailure, the standard descriptors checked at start, and the
// replacement of an output file (-o) as a careful editor does it.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "io/csv.h"

namespace velkarin {

// A write that failed; error is the errno value.
struct WriteFailure {
  int error;
};

// Reads a file descriptor; a failed read is a ReadFailure with its errno.
// At most `limit` bytes: one more is a ReadFailure(EFBIG).
class DescriptorSource final : public ByteSource {
 public:
  explicit DescriptorSource(int fd, std::size_t limit = std::size_t(-1)) : fd_(fd), left_(limit) {}
  std::size_t read(char* buffer, std::size_t size) override;

 private:
  int fd_;
  std::size_t left_;
};

// Writes to a file descriptor through a buffer of 64 KiB.
class DescriptorOutput {
 public:
  explicit DescriptorOutput(int fd) : fd_(fd) { buffer_.reserve(capacity); }
  void write(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= capacity) flush();
  }
  void flush();

 private:
  static constexpr std::size_t capacity = 64 * 1024;
  int fd_;
  std::string buffer_;
};

// Writes all of `bytes` to the descriptor; throws WriteFailure.
void writeAll(int fd, std::string_view bytes);

// Which of standard input, output and error were closed when the program
// started. Each closed one is opened on /dev/null in its place, so that no
// file the program opens later gets its number (an output file as
// descriptor 0 would be read as the input).
struct StandardDescriptors {
  std::array<bool, 3> closed{};
};
StandardDescriptors reserveStandardDescriptors();

// Writes what a program has for standard output and closes it, so that a
// failure of the last write (a full disk, a closed pipe with SIGPIPE
// ignored) is seen; throws WriteFailure.
void finishStandardOutput(std::string_view bytes, const StandardDescriptors& standard);

// The output file of -o, written into a temporary file and renamed over the
// file only by commit():
// - a symbolic link is followed: its target is replaced, the link stays;
// - the new file gets the replaced file's mode, and its owner and group
//   where the system permits;
// - where the system has O_TMPFILE the temporary file has no name until
//   commit(), so nothing is left behind even after SIGKILL; elsewhere it is
//   ".NAME.XXXXXX" beside the file, removed on SIGINT, SIGTERM and SIGHUP
//   (the program then ends with the signal) and by the destructor.
// A target that exists and is no regular file (a device such as /dev/null
// or /dev/full, a FIFO) is opened and written in place, without a temporary
// file: its write errors are the target's own.
// Throws WriteFailure: an empty name (EINVAL), a directory (EISDIR), a
// folder that cannot be written.
class ReplacementFile {
 public:
  explicit ReplacementFile(const std::string& path);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  int fd() const { return fd_; }
  // The file the rename replaces (the link's target for a link).
  const std::string& target() const { return target_; }
  void commit();

 private:
  std::string target_;
  std::string folder_;
  std::string temporary_;  // the named temporary file; empty while it has none
  int fd_ = -1;
  bool committed_ = false;
  bool inPlace_ = false;  // a device or FIFO, written through its own node
};

}  // namespace velkarin
