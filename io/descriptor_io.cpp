// SPDX-License-Identifier: Apache-2.0
#include "io/descriptor_io.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace velkarin {
namespace {

// The named temporary file to remove when a signal ends the program: the
// path is written before `pendingSet` is raised, and the handler reads it
// only then, so the handler never sees half a path.
char pendingPath[PATH_MAX + 1];
volatile std::sig_atomic_t pendingSet = 0;

extern "C" void removePendingAndEnd(int signal) {
  if (pendingSet) ::unlink(pendingPath);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void installCleanup() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_handler = removePendingAndEnd;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, signal);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old {};
    sigaction(signal, nullptr, &old);
    if (old.sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);  // an ignored signal stays ignored
  }
}

void setPending(const std::string& path) {
  pendingSet = 0;
  if (path.size() > PATH_MAX) return;
  std::memcpy(pendingPath, path.c_str(), path.size() + 1);
  pendingSet = 1;
}

void clearPending() { pendingSet = 0; }

// The file a path names after following symbolic links (a dangling link
// too: its target is what gets created). Up to 40 links, as the kernel.
std::filesystem::path followLinks(std::filesystem::path path) {
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return path;
    const std::filesystem::path next = std::filesystem::read_symlink(path, error);
    if (error) throw WriteFailure{error.value()};
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  throw WriteFailure{ELOOP};
}

}  // namespace

std::size_t DescriptorSource::read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw ReadFailure(errno);
    if (static_cast<std::size_t>(got) > left_) throw ReadFailure(EFBIG);
    left_ -= static_cast<std::size_t>(got);
    return static_cast<std::size_t>(got);
  }
}

void writeAll(int fd, std::string_view rest) {
  while (!rest.empty()) {
    const ssize_t done = ::write(fd, rest.data(), rest.size());
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) throw WriteFailure{errno};
    rest.remove_prefix(static_cast<std::size_t>(done));
  }
}

void DescriptorOutput::flush() {
  writeAll(fd_, buffer_);
  buffer_.clear();
}

StandardDescriptors reserveStandardDescriptors() {
  StandardDescriptors standard;
  for (int fd = 0; fd < 3; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    standard.closed[static_cast<std::size_t>(fd)] = true;
    // The lowest free number is this one, as 0..fd-1 are open by now.
    const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) ::close(opened);
  }
  return standard;
}

void finishStandardOutput(std::string_view bytes, const StandardDescriptors& standard) {
  if (standard.closed[1]) throw WriteFailure{EBADF};
  writeAll(STDOUT_FILENO, bytes);
  // Keep descriptor 1 taken (by /dev/null) after the close that reports.
  const int copy = ::dup(STDOUT_FILENO);
  const int closed = ::close(STDOUT_FILENO);
  const int error = errno;
  if (copy >= 0) {
    ::dup2(copy, STDOUT_FILENO);
    ::close(copy);
  }
  if (closed != 0 && error != EINTR) throw WriteFailure{error};
}

ReplacementFile::ReplacementFile(const std::string& path) {
  if (path.empty()) throw WriteFailure{EINVAL};
  const std::filesystem::path target = followLinks(path);
  target_ = target.string();
  folder_ = target.has_parent_path() ? target.parent_path().string() : ".";

  const mode_t mask = ::umask(0);
  ::umask(mask);
  mode_t mode = 0666 & ~mask;
  struct stat old {};
  const bool replacing = ::stat(target_.c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode)) throw WriteFailure{EISDIR};
  if (replacing && !S_ISREG(old.st_mode)) {
    // A device or FIFO (/dev/null, /dev/full, a named pipe) is written in
    // place: renaming a file over it would replace the node itself.
    inPlace_ = true;
    fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) throw WriteFailure{errno};
    return;
  }
  if (replacing) mode = old.st_mode & 07777;

#ifdef O_TMPFILE
  // commit() names the unnamed file through /proc/self/fd.
  if (::access("/proc/self/fd", F_OK) == 0) fd_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
#endif
  if (fd_ < 0) {
    installCleanup();
    std::string pattern = folder_ + "/." + target.filename().string() + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) throw WriteFailure{errno};
    temporary_ = name.data();
    setPending(temporary_);
  }
  ::fchmod(fd_, mode);
  if (replacing) {
    // Where the system permits (root, or the owner keeping the group).
    if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
      if (::fchown(fd_, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // Not permitted either: the file keeps our own owner and group.
      }
    }
    ::fchmod(fd_, mode);  // chown clears set-id bits; set the mode again
  }
}

ReplacementFile::~ReplacementFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) {
    ::unlink(temporary_.c_str());
    clearPending();
  }
}

void ReplacementFile::commit() {
  if (inPlace_) {
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0 && errno != EINTR) throw WriteFailure{errno};
    committed_ = true;
    return;
  }
  if (::fsync(fd_) != 0 && errno != EINVAL) throw WriteFailure{errno};
  if (temporary_.empty()) {
    // Give the unnamed file a name beside the target, then rename it over.
    installCleanup();
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
    const std::string base =
        folder_ + "/." + std::filesystem::path(target_).filename().string() + "." + std::to_string(::getpid()) + ".";
    for (int attempt = 0; temporary_.empty(); ++attempt) {
      const std::string name = base + std::to_string(attempt);
      setPending(name);
      if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temporary_ = name;
      } else if (errno != EEXIST || attempt > 100) {
        clearPending();
        throw WriteFailure{errno};
      }
    }
  }
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) throw WriteFailure{errno};
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) throw WriteFailure{errno};
  clearPending();
  committed_ = true;
}

}  // namespace velkarin
