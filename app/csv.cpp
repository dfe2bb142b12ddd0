#include "app/csv.h"

#include "calc/utf8.h"

namespace velkarin {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::vector<CsvRecord> records() {
    std::vector<CsvRecord> records;
    while (!atEnd()) {
      CsvRecord record;
      record.line = line_;
      do {
        record.fields.push_back(at('"') ? quotedField() : plainField());
      } while (skip(','));
      skipLineBreak();
      records.push_back(std::move(record));
    }
    return records;
  }

 private:
  bool atEnd() const { return pos_ >= text_.size(); }
  bool at(char c) const { return !atEnd() && text_[pos_] == c; }
  bool atLineBreak() const { return at('\r') || at('\n'); }

  bool skip(char c) {
    if (!at(c)) return false;
    ++pos_;
    return true;
  }

  // CRLF, LF or a lone CR; counts the line.
  bool skipLineBreak() {
    if (skip('\r')) {
      skip('\n');
    } else if (!skip('\n')) {
      return false;
    }
    ++line_;
    return true;
  }

  // Appends the one UTF-8 character at the position.
  void takeCharacter(std::string& field) {
    const std::size_t length = decodeUtf8(text_, pos_).length;
    if (length == 0) throw CsvError(line_, "the text is not UTF-8 (save the file as UTF-8 CSV)");
    field.append(text_.substr(pos_, length));
    pos_ += length;
  }

  std::string plainField() {
    std::string field;
    while (!atEnd() && !at(',') && !atLineBreak()) {
      if (at('"')) throw CsvError(line_, "quote inside an unquoted field (quote the whole field and double the quote)");
      takeCharacter(field);
    }
    return field;
  }

  std::string quotedField() {
    const int openedOn = line_;
    std::string field;
    skip('"');
    for (;;) {
      if (atEnd()) throw CsvError(openedOn, "the quoted field that starts on this line is never closed");
      if (skip('"')) {
        if (!skip('"')) break;  // closing quote
        field += '"';           // "" inside quotes is one quote
      } else if (atLineBreak()) {
        const std::size_t start = pos_;
        skipLineBreak();
        field.append(text_.substr(start, pos_ - start));  // kept as written
      } else {
        takeCharacter(field);
      }
    }
    if (!atEnd() && !at(',') && !atLineBreak()) throw CsvError(line_, "text after the closing quote of a field");
    return field;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

CsvError::CsvError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}

std::vector<CsvRecord> parseCsv(std::string_view text) {
  constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(byteOrderMark)) text.remove_prefix(byteOrderMark.size());
  return Parser(text).records();
}

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
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
