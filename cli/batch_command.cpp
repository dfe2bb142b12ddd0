#include "cli/batch_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/version.h"
#include "cli/batch_tool.h"
#include "cli/terminal_text.h"

namespace velkarin {
namespace {

constexpr std::string_view usage =
    "Usage: velkarin-batch [--bom] [-o FILE] [INPUT]\n"
    "\n"
    "Computes the C–Cr–O equilibrium of every heat in a CSV file (UTF-8, header\n"
    "line first) and writes the input columns followed by the results as CSV,\n"
    "one row as soon as it is computed. Reads standard input when INPUT is\n"
    "missing or is '-'; writes standard output unless -o is given.\n"
    "\n"
    "  -o FILE   write to FILE: into a temporary file beside it, renamed over FILE\n"
    "            only when every row is written, so a failure never leaves a\n"
    "            half-written FILE\n"
    "  --bom     start the output with a UTF-8 byte order mark, so that a\n"
    "            spreadsheet opened by double-click reads the Chinese texts right\n"
    "  -h, --help  this text\n"
    "  --version   the name and version\n"
    "\n"
    "Input columns (by header name, any order, case-insensitive):\n"
    "  reaction  Cr2O3 or Cr3O4\n"
    "  A, B      ΔG° = A + B·T: A in J/mol, B in J/(mol·K), read as the drop-down\n"
    "            texts are; empty: the reaction's first preset row\n"
    "  t         bath temperature, °C\n"
    "  C, Cr, Ni, Si, Mn\n"
    "            contents, mass %\n"
    "  pCO       CO partial pressure, Pa\n"
    "            t to pCO are read as prompt answers (1650℃ reads 1650);\n"
    "            empty: the prompt's default for the reaction\n"
    "Other columns are copied to the output unchanged.\n"
    "\n"
    "Exit status: 0 every row computed, 1 some row faulted (see the fault and\n"
    "message columns), 2 the input cannot be read or a line of it is malformed\n"
    "(the rows before it are written; with -o, FILE is left as it was), 3 the\n"
    "output cannot be written.\n";

constexpr std::string_view program = "velkarin-batch";

// Reads a file descriptor; a failed read is a ReadFailure with its errno.
class DescriptorSource final : public ByteSource {
 public:
  explicit DescriptorSource(int fd) : fd_(fd) {}
  std::size_t read(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) throw ReadFailure(errno);
    }
  }

 private:
  int fd_;
};

// A write that failed; error is the errno value.
struct WriteFailure {
  int error;
};

// Writes to a file descriptor through a buffer of 64 KiB.
class DescriptorOutput final : public BatchOutput {
 public:
  explicit DescriptorOutput(int fd) : fd_(fd) { buffer_.reserve(capacity); }
  void write(std::string_view bytes) override {
    buffer_.append(bytes);
    if (buffer_.size() >= capacity) flush();
  }
  void flush() {
    std::string_view rest = buffer_;
    while (!rest.empty()) {
      const ssize_t done = ::write(fd_, rest.data(), rest.size());
      if (done < 0 && errno == EINTR) continue;
      if (done < 0) throw WriteFailure{errno};
      rest.remove_prefix(static_cast<std::size_t>(done));
    }
    buffer_.clear();
  }

 private:
  static constexpr std::size_t capacity = 64 * 1024;
  int fd_;
  std::string buffer_;
};

// The output file of -o: a temporary file beside it, renamed over it by
// commit(); removed unless committed.
class ReplacementFile {
 public:
  explicit ReplacementFile(const std::string& path) : path_(path) {
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = mkstemp(name.data());
    if (fd_ < 0) throw WriteFailure{errno};
    temporary_ = name.data();
    // mkstemp creates the file for its owner only; the result gets the usual mode.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd_, 0666 & ~mask);
  }
  ~ReplacementFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temporary_.c_str());
  }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  int fd() const { return fd_; }
  void commit() {
    if (::fsync(fd_) != 0 && errno != EINVAL) throw WriteFailure{errno};
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) throw WriteFailure{errno};
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) throw WriteFailure{errno};
    committed_ = true;
  }

 private:
  std::string path_;
  std::string temporary_;
  int fd_ = -1;
  bool committed_ = false;
};

int fail(int status, std::string_view message) {
  std::cerr << program << ": " << message << '\n';
  return status;
}

// A closed pipe ends the program as it ends every other tool in a pipeline:
// by SIGPIPE, silently.
[[noreturn]] void endByClosedPipe() {
  std::signal(SIGPIPE, SIG_DFL);
  std::raise(SIGPIPE);
  std::_Exit(128 + SIGPIPE);
}

struct Arguments {
  std::optional<std::string> input;
  std::optional<std::string> output;
  BatchOptions options;
};

std::optional<int> parseArguments(int argc, char** argv, Arguments& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << usage;
      return 0;
    }
    if (arg == "--version") {
      std::cout << program << ' ' << version << '\n';
      return 0;
    }
    if (arg == "--bom") {
      args.options.byteOrderMark = true;
    } else if (arg == "-o") {
      if (i + 1 == argc) return fail(batchInputUnusable, "-o needs a file name\n" + std::string(usage));
      args.output = argv[++i];
    } else if (arg.size() > 1 && arg.front() == '-') {
      return fail(batchInputUnusable, "unknown option " + std::string(arg) + "\n" + std::string(usage));
    } else if (args.input) {
      return fail(batchInputUnusable, "more than one input file given\n" + std::string(usage));
    } else {
      args.input = std::string(arg);
    }
  }
  return std::nullopt;
}

}  // namespace

int runBatchCommand(int argc, char** argv) {
  Arguments args;
  if (const std::optional<int> status = parseArguments(argc, argv, args)) return *status;
  // A file size limit shows as a failed write (EFBIG), not as a signal.
  std::signal(SIGXFSZ, SIG_IGN);

  std::string source = "<stdin>";
  int inputFd = STDIN_FILENO;
  if (args.input && *args.input != "-") {
    source = *args.input;
    inputFd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (inputFd < 0) return fail(batchInputUnusable, "cannot open " + source + ": " + std::strerror(errno));
  }
  const std::string destination = args.output.value_or("<stdout>");
  try {
    std::optional<ReplacementFile> file;
    if (args.output) file.emplace(*args.output);
    DescriptorSource input(inputFd);
    DescriptorOutput output(file ? file->fd() : STDOUT_FILENO);
    const BatchResult result = runBatch(input, output, args.options);
    if (result.error) {
      if (!file) output.flush();  // the rows before the bad line; with -o, FILE stays as it was
      // The message may quote the file's text: no raw control characters reach the terminal.
      return fail(batchInputUnusable, source + ": " + terminalText(describe(*result.error)));
    }
    output.flush();
    if (file) file->commit();
    return result.exitStatus;
  } catch (const ReadFailure& failure) {
    return fail(batchInputUnusable, "cannot read " + source + ": " + std::strerror(failure.error()));
  } catch (const WriteFailure& failure) {
    if (failure.error == EPIPE) endByClosedPipe();
    return fail(batchOutputFailed, "cannot write " + destination + ": " + std::strerror(failure.error));
  }
}

}  // namespace velkarin
