// SPDX-License-Identifier: Apache-2.0
// Reading plan files of the largest size the reader takes (64 MiB), as the
// window and the tools read them: the bytes from the disk, then the plan.
// Each file is read in a child process, so that its peak resident memory is
// its own. Targets: under 2 s and under ten times the file's size.
//
//   velkarin-plan-bench
//
// The files: half a million unknown members of a few bytes each (a reader
// that looked each one up among the others took minutes), one unknown
// member holding an array of 22 million empty arrays (a tree of nodes took
// over 25 bytes of memory per byte of file), a member of 16 million numbers
// under a 16 MiB name, and 100,000 stages.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <variant>

#include "calc/file_read.h"
#include "calc/plan.h"

namespace {

constexpr std::size_t fileBytes = velkarin::maxPlanFileBytes - 1024;
const std::string head = R"({"format":"velkarin-plan","version":1,)";

std::string manyMembers() {
  std::string text = head;
  for (long i = 0; text.size() < fileBytes - 64; ++i)
    text += "\"m" + std::to_string(i) + "\":" + std::to_string(i) + ",";
  return text + "\"end\":0}";
}

std::string emptyArrays() {
  std::string text = head + "\"x\":[[]";
  text.reserve(fileBytes);
  while (text.size() < fileBytes - 8) text += ",[]";
  return text + "]}";
}

// One member with a 16 MiB name holding 16 million numbers: each element
// must not cost the name's length.
std::string longName() {
  std::string text = head + "\"" + std::string(16 << 20, 'n') + "\":[0";
  while (text.size() < fileBytes - 8) text += ",0";
  return text + "]}";
}

std::string stages() {
  std::string text = head + "\"stages\":[";
  for (int i = 0; i < 100000; ++i) {
    text += std::string(i ? "," : "") + R"({"gas":"3:1","t":")" + std::to_string(1600 + i % 200) + R"(","C":"0.)" +
            std::to_string(100 + i % 800) + R"(","O2":"","sample":"S)" + std::to_string(i) + "\"}";
  }
  return text + "]}";
}

// Reads the file in a child: its seconds and peak resident MB, or a failure.
bool measure(const char* name, const std::string& text) {
  char path[] = "/tmp/velkarin-plan-bench-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) return false;
  close(fd);
  std::ofstream(path, std::ios::binary) << text;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const velkarin::FileRead file = velkarin::readRegularFile(path, velkarin::maxPlanFileBytes);
    if (file.fault != velkarin::FileReadFault::None) _exit(2);
    const auto read = velkarin::readPlanText(file.bytes);
    _exit(std::holds_alternative<velkarin::Plan>(read) ? 0 : 3);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  unlink(path);
  const double megabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  const double fileMegabytes = static_cast<double>(text.size()) / (1 << 20);
  const bool met = WIFEXITED(status) && WEXITSTATUS(status) == 0 && seconds < 2 && megabytes < 10 * fileMegabytes;
  std::printf("%-16s %6.1f MB file  %6.3f s  %7.1f MB peak (%4.1f× the file)  %s\n", name, fileMegabytes, seconds,
              megabytes, megabytes / fileMegabytes, met ? "target met" : "TARGET MISSED");
  return met;
}

}  // namespace

int main() {
  bool met = measure("unknown members", manyMembers());
  met = measure("empty arrays", emptyArrays()) && met;
  met = measure("a long name", longName()) && met;
  met = measure("100,000 stages", stages()) && met;
  return met ? 0 : 1;
}
