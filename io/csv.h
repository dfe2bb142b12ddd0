// SPDX-License-Identifier: Apache-2.0
#pragma once

// CSV as RFC 4180 writes it: records of comma-separated fields; a field may be
// quoted with ", a quote inside a quoted field is written "", and a quoted
// field may hold commas and line breaks. The reader also takes LF or a lone
// CR as a line break (files saved on other systems) and drops a UTF-8 byte
// order mark at the start; the text must be UTF-8. It reads one record at a
// time from a byte source, so memory stays flat whatever the size of the
// input; a record may be at most maxCsvRecordBytes long. The writer ends
// every record with CRLF and quotes only the fields that need it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calc/csv_field.h"  // csvField, used by csvRecord

namespace velkarin {

// A 1-based line number: 64 bits, so an input of more than 2^31 lines
// counts on.
using LineNumber = std::int64_t;

struct CsvRecord {
  std::vector<std::string> fields;
  LineNumber line = 0;  // 1-based line of the text on which the record starts
};

// The longest record the reader takes, bytes (a line, or several when a
// quoted field holds line breaks).
inline constexpr std::size_t maxCsvRecordBytes = std::size_t{1} << 20;

// The text is not well-formed CSV; line() is the 1-based line at fault and
// field() the 0-based field of the record, where there is one.
class CsvError : public std::runtime_error {
 public:
  CsvError(LineNumber line, const std::string& message, std::optional<std::size_t> field = std::nullopt);
  LineNumber line() const noexcept { return line_; }
  const std::optional<std::size_t>& field() const noexcept { return field_; }

 private:
  LineNumber line_;
  std::optional<std::size_t> field_;
};

// A read that failed (not the end of the input); error() is the errno value.
class ReadFailure : public std::runtime_error {
 public:
  explicit ReadFailure(int error);
  int error() const noexcept { return error_; }

 private:
  int error_;
};

// Where the reader takes its bytes from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `size` bytes into `buffer`; 0 only at the end of the input. Throws
  // ReadFailure when the input cannot be read.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// The bytes of a text held in memory; `chunk` limits each read (tests use 1).
class StringSource final : public ByteSource {
 public:
  explicit StringSource(std::string_view text, std::size_t chunk = std::size_t(-1)) : text_(text), chunk_(chunk) {}
  std::size_t read(char* buffer, std::size_t size) override;

 private:
  std::string_view text_;
  std::size_t chunk_;
};

// Reads the records of a source one at a time, blank lines included (as one
// empty field). A line break at the very end does not start another record.
// next() throws CsvError on an unclosed quoted field, a quote inside an
// unquoted field, text after a closing quote, bytes that are not UTF-8 or a
// record longer than maxCsvRecordBytes, and passes a ReadFailure on.
class CsvReader {
 public:
  // firstLine: the number of the source's first line (tests start near the
  // counter's edge without writing 2^31 lines).
  explicit CsvReader(ByteSource& source, LineNumber firstLine = 1);
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;

  // The next record, or nothing at the end of the input.
  std::optional<CsvRecord> next();

 private:
  int peek(std::size_t ahead = 0);  // the byte `ahead` places on, or -1 past the end
  bool atFieldEnd();
  void advance(std::size_t count, std::string* into);
  bool skip(char c);
  bool skipLineBreak(std::string* into);
  void takeCharacter(std::string& field);
  std::string plainField();
  std::string quotedField();
  [[noreturn]] void fail(LineNumber line, const std::string& message) const;

  ByteSource& source_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0, end_ = 0;
  bool exhausted_ = false;
  LineNumber line_ = 1;
  std::size_t field_ = 0;        // field of the record being read
  std::size_t recordBytes_ = 0;  // bytes of the record read so far
};

// Every record of a text in memory (see CsvReader).
std::vector<CsvRecord> parseCsv(std::string_view text);

// Fields joined by commas, ended by CRLF.
std::string csvRecord(const std::vector<std::string>& fields);

}  // namespace velkarin
