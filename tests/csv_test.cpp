// SPDX-License-Identifier: Apache-2.0
#include "io/csv.h"

#include <gtest/gtest.h>

namespace velkarin {
namespace {

using Fields = std::vector<std::string>;

struct ParseCase {
  const char* name;
  std::string text;
  std::vector<Fields> records;
  std::vector<int> lines;  // line on which each record starts
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class CsvParse : public ::testing::TestWithParam<ParseCase> {};

// Read whole, and one byte per read (every record, field and UTF-8
// character then crosses the reader's refills).
TEST_P(CsvParse, GivesTheRecordsAndTheirLines) {
  const ParseCase& c = GetParam();
  StringSource bytewise(c.text, 1);
  CsvReader reader(bytewise);
  std::vector<CsvRecord> streamed;
  while (std::optional<CsvRecord> record = reader.next()) streamed.push_back(std::move(*record));
  for (const std::vector<CsvRecord>& records : {parseCsv(c.text), streamed}) {
    ASSERT_EQ(records.size(), c.records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(records[i].fields, c.records[i]) << "record " << i;
      EXPECT_EQ(records[i].line, c.lines[i]) << "record " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rfc4180, CsvParse,
    ::testing::Values(
        ParseCase{"Plain", "a,b,c\n1,2,3\n", {{"a", "b", "c"}, {"1", "2", "3"}}, {1, 2}},
        ParseCase{"NoFinalLineBreak", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}, {1, 2}},
        ParseCase{"CrLf", "a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}, {1, 2}},
        ParseCase{"LoneCr", "a,b\r1,2\r", {{"a", "b"}, {"1", "2"}}, {1, 2}},
        ParseCase{"EmptyFields", ",x,\n", {{"", "x", ""}}, {1}},
        ParseCase{"TrailingCommaAtEnd", "a,", {{"a", ""}}, {1}},
        ParseCase{"BlanksAreKept", " a , b \n", {{" a ", " b "}}, {1}},
        ParseCase{"QuotedComma", "\"a,b\",c\n", {{"a,b", "c"}}, {1}},
        ParseCase{"DoubledQuote", "\"say \"\"hi\"\"\",x\n", {{"say \"hi\"", "x"}}, {1}},
        ParseCase{"OnlyAQuote", "\"\"\"\"\n", {{"\""}}, {1}}, ParseCase{"EmptyQuoted", "\"\",\"\"\n", {{"", ""}}, {1}},
        ParseCase{"EmbeddedLf", "\"one\ntwo\",x\nnext\n", {{"one\ntwo", "x"}, {"next"}}, {1, 3}},
        ParseCase{"EmbeddedCrLfKeptAsWritten", "\"one\r\ntwo\"\r\nnext\r\n", {{"one\r\ntwo"}, {"next"}}, {1, 3}},
        ParseCase{"BlankLinesAreRecords", "a\n\n\nb\n", {{"a"}, {""}, {""}, {"b"}}, {1, 2, 3, 4}},
        ParseCase{"ByteOrderMarkDropped", "\xEF\xBB\xBFreaction,A\n", {{"reaction", "A"}}, {1}},
        ParseCase{"ByteOrderMarkOnlyAtStart",
                  "a\n\xEF\xBB\xBF"
                  "b\n",
                  {{"a"},
                   {"\xEF\xBB\xBF"
                    "b"}},
                  {1, 2}},
        ParseCase{"Utf8Kept", "1650℃,１６５０\n", {{"1650℃", "１６５０"}}, {1}}, ParseCase{"EmptyText", "", {}, {}}),
    [](const auto& row) { return std::string(row.param.name); });

struct ErrorCase {
  const char* name;
  std::string text;
  int line;
  const char* messagePart;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class CsvParseError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CsvParseError, NamesTheLine) {
  const ErrorCase& c = GetParam();
  try {
    parseCsv(c.text);
    FAIL() << "no error";
  } catch (const CsvError& error) {
    EXPECT_EQ(error.line(), c.line);
    EXPECT_NE(std::string(error.what()).find(c.messagePart), std::string::npos) << error.what();
  }
}

INSTANTIATE_TEST_SUITE_P(Malformed, CsvParseError,
                         ::testing::Values(
                             // The line where the unclosed quote opened, not the last line of the text.
                             ErrorCase{"UnterminatedQuote", "a,b\n1,\"2\n3\n4\n", 2, "never closed"},
                             ErrorCase{"UnterminatedQuoteAtEnd", "a,\"", 1, "never closed"},
                             ErrorCase{"QuoteInsideUnquotedField", "a,b\n1,2\"3\n", 2,
                                       "quote inside an unquoted field"},
                             ErrorCase{"TextAfterClosingQuote", "a\n\"x\"y\n", 2, "after the closing quote"},
                             ErrorCase{"LineCountedThroughEmbeddedBreaks", "\"a\nb\nc\",d\n1,2\"\n", 4, "quote inside"},
                             ErrorCase{"LineCountedThroughCrLf", "a\r\nb\r\n\"c\r\n", 3, "never closed"},
                             // 1650℃ saved in GBK, as a Chinese spreadsheet does by default.
                             ErrorCase{"NotUtf8", "t\n1650\xA1\xE6\n", 2, "not UTF-8"},
                             ErrorCase{"StrayContinuationByte", "\x80\n", 1, "not UTF-8"},
                             ErrorCase{"OverlongForm", "a\nb\n\xC0\xAF\n", 3, "not UTF-8"},
                             ErrorCase{"Surrogate", "\xED\xA0\x80", 1, "not UTF-8"},
                             ErrorCase{"CutShortAtEnd", "ab\xE2\x84", 1, "not UTF-8"},
                             ErrorCase{"InvalidInsideQuotes", "\"a\n\xFF\"", 2, "not UTF-8"}),
                         [](const auto& row) { return std::string(row.param.name); });

struct FieldCase {
  const char* name;
  std::string text;
  std::string written;
};

void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }

class CsvWriteField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvWriteField, QuotesOnlyWhatNeedsIt) { EXPECT_EQ(csvField(GetParam().text), GetParam().written); }

INSTANTIATE_TEST_SUITE_P(Fields, CsvWriteField,
                         ::testing::Values(FieldCase{"Plain", "-137074.2488798713", "-137074.2488798713"},
                                           FieldCase{"Empty", "", ""},
                                           FieldCase{"Blanks", "t=1650   c=2.200", "t=1650   c=2.200"},
                                           FieldCase{"Chinese", "ceq=未找到，溢出", "ceq=未找到，溢出"},
                                           FieldCase{"Comma", "a,b", "\"a,b\""},
                                           FieldCase{"Quote", "5\" pipe", "\"5\"\" pipe\""},
                                           FieldCase{"Lf", "a\nb", "\"a\nb\""}, FieldCase{"Cr", "a\rb", "\"a\rb\""}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(CsvRecordTest, EndsWithCrLf) { EXPECT_EQ(csvRecord({"a", "b,c", ""}), "a,\"b,c\",\r\n"); }

// What the writer writes, the reader reads back to the same fields.
TEST(CsvRecordTest, ReadsBackToTheSameFields) {
  const std::vector<Fields> records{
      {"reaction", "A", "B"},
      {"", "", ""},
      {"\"", "\"\"", ",", "\r\n", "\n\n", "a \"b\", c"},
      {"1650℃", " 0.35 ", "ceq=未找到"},
  };
  std::string text;
  for (const Fields& fields : records) text += csvRecord(fields);
  const std::vector<CsvRecord> read = parseCsv(text);
  ASSERT_EQ(read.size(), records.size());
  for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(read[i].fields, records[i]) << "record " << i;
}

}  // namespace
}  // namespace velkarin

namespace velkarin {
namespace {

// The line counter goes on past 2^31 (a shift log of billions of blank
// lines), in records and in errors: started near its old 32-bit edge.
TEST(CsvLineCounter, CountsPastTwoToThe31) {
  constexpr LineNumber edge = LineNumber{1} << 31;
  StringSource source("a\n\n\nb\n\"open\n");
  CsvReader reader(source, edge - 2);
  std::vector<LineNumber> lines;
  try {
    while (std::optional<CsvRecord> record = reader.next()) lines.push_back(record->line);
    FAIL() << "the unclosed quote was not refused";
  } catch (const CsvError& error) {
    EXPECT_EQ(error.line(), edge + 2);
  }
  EXPECT_EQ(lines, (std::vector<LineNumber>{edge - 2, edge - 1, edge, edge + 1}));
}

}  // namespace
}  // namespace velkarin
