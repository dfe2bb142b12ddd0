// SPDX-License-Identifier: Apache-2.0
#include "io/csv.h"

#include <algorithm>
#include <cstring>

#include "calc/utf8.h"

namespace velkarin {

CsvError::CsvError(LineNumber line, const std::string& message, std::optional<std::size_t> field)
    : std::runtime_error(message), line_(line), field_(field) {}

ReadFailure::ReadFailure(int error) : std::runtime_error(std::strerror(error)), error_(error) {}

std::size_t StringSource::read(char* buffer, std::size_t size) {
  const std::size_t count = std::min({size, chunk_, text_.size()});
  std::memcpy(buffer, text_.data(), count);
  text_.remove_prefix(count);
  return count;
}

CsvReader::CsvReader(ByteSource& source, LineNumber firstLine) : source_(source), buffer_(64 * 1024), line_(firstLine) {
  constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
  bool bom = true;
  for (std::size_t i = 0; i < byteOrderMark.size(); ++i) bom = bom && peek(i) == (byteOrderMark[i] & 0xFF);
  if (bom) pos_ += byteOrderMark.size();
}

// Refills the buffer, keeping the unread bytes, until `ahead` bytes past
// the position are there or the input has ended.
int CsvReader::peek(std::size_t ahead) {
  while (pos_ + ahead >= end_ && !exhausted_) {
    std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(pos_), buffer_.begin() + static_cast<std::ptrdiff_t>(end_),
              buffer_.begin());
    end_ -= pos_;
    pos_ = 0;
    const std::size_t got = source_.read(buffer_.data() + end_, buffer_.size() - end_);
    if (got == 0) exhausted_ = true;
    end_ += got;
  }
  return pos_ + ahead < end_ ? static_cast<unsigned char>(buffer_[pos_ + ahead]) : -1;
}

void CsvReader::fail(LineNumber line, const std::string& message) const { throw CsvError(line, message, field_); }

// Moves past `count` bytes, appending them to `into` when given.
void CsvReader::advance(std::size_t count, std::string* into) {
  recordBytes_ += count;
  if (recordBytes_ > maxCsvRecordBytes) {
    fail(line_, "the line is longer than 1 MiB (" + std::to_string(maxCsvRecordBytes) + " bytes)");
  }
  if (into) into->append(buffer_.data() + pos_, count);
  pos_ += count;
}

bool CsvReader::skip(char c) {
  if (peek() != (c & 0xFF)) return false;
  advance(1, nullptr);
  return true;
}

// CRLF, LF or a lone CR; counts the line.
bool CsvReader::skipLineBreak(std::string* into) {
  if (peek() == '\r') {
    advance(peek(1) == '\n' ? 2 : 1, into);
  } else if (peek() == '\n') {
    advance(1, into);
  } else {
    return false;
  }
  ++line_;
  return true;
}

bool CsvReader::atFieldEnd() {
  const int c = peek();
  return c == -1 || c == ',' || c == '\r' || c == '\n';
}

// Appends the one UTF-8 character at the position.
void CsvReader::takeCharacter(std::string& field) {
  if (const int c = peek(); c >= 0 && c < 0x80) {
    advance(1, &field);
    return;
  }
  char bytes[4];
  std::size_t available = 0;
  for (; available < 4 && peek(available) != -1; ++available) bytes[available] = static_cast<char>(peek(available));
  const std::size_t length = decodeUtf8(std::string_view(bytes, available), 0).length;
  if (length == 0) fail(line_, "the text is not UTF-8 (save the file as UTF-8 CSV)");
  advance(length, &field);
}

std::string CsvReader::plainField() {
  std::string field;
  while (!atFieldEnd()) {
    if (peek() == '"') fail(line_, "quote inside an unquoted field (quote the whole field and double the quote)");
    takeCharacter(field);
  }
  return field;
}

std::string CsvReader::quotedField() {
  const LineNumber openedOn = line_;
  std::string field;
  skip('"');
  for (;;) {
    if (peek() == -1) fail(openedOn, "the quoted field that starts on this line is never closed");
    if (skip('"')) {
      if (!skip('"')) break;  // closing quote
      field += '"';           // "" inside quotes is one quote
    } else if (!skipLineBreak(&field)) {
      takeCharacter(field);  // a line break inside quotes is kept as written
    }
  }
  if (!atFieldEnd()) fail(line_, "text after the closing quote of a field");
  return field;
}

std::optional<CsvRecord> CsvReader::next() {
  if (peek() == -1) return std::nullopt;
  CsvRecord record;
  record.line = line_;
  field_ = 0;
  recordBytes_ = 0;
  do {
    field_ = record.fields.size();
    record.fields.push_back(peek() == '"' ? quotedField() : plainField());
  } while (skip(','));
  skipLineBreak(nullptr);
  return record;
}

std::vector<CsvRecord> parseCsv(std::string_view text) {
  StringSource source(text);
  CsvReader reader(source);
  std::vector<CsvRecord> records;
  while (std::optional<CsvRecord> record = reader.next()) records.push_back(std::move(*record));
  return records;
}

std::string csvRecord(const std::vector<std::string>& fields) {
  std::string record;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) record += ',';
    record += csvField(fields[i]);
  }
  record += "\r\n";
  return record;
}

}  // namespace velkarin
