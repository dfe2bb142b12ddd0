#pragma once

// CSV as RFC 4180 writes it: records of comma-separated fields; a field may be
// quoted with ", a quote inside a quoted field is written "", and a quoted
// field may hold commas and line breaks. The reader also takes LF or a lone
// CR as a line break (files saved on other systems) and drops a UTF-8 byte
// order mark at the start; the text must be UTF-8. The writer ends every
// record with CRLF and quotes only the fields that need it.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velkarin {

struct CsvRecord {
  std::vector<std::string> fields;
  int line = 0;  // 1-based line of the text on which the record starts
};

// The text is not well-formed CSV; line() is the 1-based line at fault.
class CsvError : public std::runtime_error {
 public:
  CsvError(int line, const std::string& message);
  int line() const noexcept { return line_; }

 private:
  int line_;
};

// Every record of the text in order, blank lines included (as one empty
// field). A line break at the very end does not start another record; an
// empty text has no records. Throws CsvError on an unclosed quoted field, a
// quote inside an unquoted field, text after a closing quote, or bytes that
// are not UTF-8.
std::vector<CsvRecord> parseCsv(std::string_view text);

// One field as written: quoted (quotes doubled) when it holds a comma, a
// quote, a CR or an LF, as is otherwise.
std::string csvField(std::string_view text);

// Fields joined by commas, ended by CRLF.
std::string csvRecord(const std::vector<std::string>& fields);

}  // namespace velkarin
