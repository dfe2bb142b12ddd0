// SPDX-License-Identifier: Apache-2.0
// The batch tool's input side: unusable input named by line and column, rows
// streamed one by one, the byte order mark, and texts made safe for a
// terminal.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "cli/batch_tool.h"
#include "io/csv.h"
#include "io/terminal_text.h"
#include "tests/batch_support/batch_output.h"

namespace velkarin {
namespace {

using test::header;
using test::OutputTable;
using test::readOutput;

// Input that cannot be read: exit status 2, the line named, nothing written
// (not even for the good rows before the bad line).
struct UnusableCase {
  const char* name;
  std::string text;
  int line;
  std::optional<std::string> column;  // as the message names it
  const char* messagePart;
  int rowsBefore;  // rows computed and written before the bad line; -1: not even the header
};

void PrintTo(const UnusableCase& c, std::ostream* os) { *os << c.name; }

class BatchUnusableInput : public ::testing::TestWithParam<UnusableCase> {};

// The run stops at the bad record; what was written before it is whole rows.
TEST_P(BatchUnusableInput, NamesTheLineAndColumnAndStopsThere) {
  const UnusableCase& c = GetParam();
  const BatchRun run = runBatch(c.text);
  EXPECT_EQ(run.exitStatus, batchInputUnusable);
  ASSERT_TRUE(run.error);
  EXPECT_EQ(run.error->line, c.line);
  EXPECT_EQ(run.error->column, c.column);
  EXPECT_NE(run.error->message.find(c.messagePart), std::string::npos) << run.error->message;
  const std::string where = "line " + std::to_string(c.line) + (c.column ? ", column " + *c.column : "") + ": ";
  EXPECT_EQ(describe(*run.error).rfind(where, 0), 0u) << describe(*run.error);
  if (c.rowsBefore < 0) {
    EXPECT_EQ(run.output, "");
    return;
  }
  const std::vector<CsvRecord> written = parseCsv(run.output);
  ASSERT_EQ(written.size(), static_cast<std::size_t>(c.rowsBefore) + 1);
  for (const CsvRecord& record : written) EXPECT_EQ(record.fields.size(), written.front().fields.size());
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, BatchUnusableInput,
    ::testing::Values(
        UnusableCase{"EmptyInput", "", 1, std::nullopt, "no header line", -1},
        UnusableCase{"OnlyBlankLines", "\n\n\n", 3, std::nullopt, "no header line", -1},
        UnusableCase{"MissingColumn", "reaction,A,B,t,C,Cr,Ni,Si,Mn\nCr2O3,,,,,,,,\n", 1, std::nullopt,
                     "lacks the column(s) pCO", -1},
        UnusableCase{"MissingColumnsAllNamed", "\nreaction,A,t,C,Cr,Ni,Si,Mn\n", 2, std::nullopt, "B, pCO", -1},
        UnusableCase{"DuplicatedColumn", "reaction,A,B,t,C,Cr,Ni,Si,Mn,pCO, c \n", 1, std::nullopt,
                     "\"C\" appears twice", -1},
        UnusableCase{"QuoteInHeader", "reaction,A,B,t,C,Cr,Ni,Si,Mn,p\"CO\n", 1, "field 10", "quote inside", -1},
        UnusableCase{"UnknownReaction", header + "Cr2O3,,,,,,,,,\nCr2O5,,,,,,,,,\n", 3, "reaction",
                     "unknown reaction \"Cr2O5\"", 1},
        UnusableCase{"EmptyReaction", header + "Cr2O3,,,,,,,,,\n,,,1650,,,,,,\n", 3, "reaction",
                     "reaction cell is empty", 1},
        UnusableCase{"TooFewFields", header + "Cr2O3\n", 2, std::nullopt, "1 fields, but the header line has 10", 0},
        UnusableCase{"TooManyFields", header + "Cr2O3,,,,,,,,,,\n", 2, std::nullopt, "11 fields", 0},
        UnusableCase{"UnterminatedQuote", header + "Cr2O3,,,,,,,,,\nCr3O4,\"697890,,,,,,,,\nCr2O3,,,,,,,,,\n", 3, "A",
                     "never closed", 1},
        UnusableCase{"TextAfterQuote", header + "Cr2O3,,,,,,,,,\"101325\"Pa\n", 2, "pCO", "after the closing quote", 0},
        UnusableCase{"LineAfterEmbeddedBreak", "heat,note," + header + "1,\"a\nb\",Cr2O3,,,,,,,,,\n2,,Cr2O6,,,,,,,,,\n",
                     4, "reaction", "unknown reaction", 1},
        UnusableCase{"NotUtf8", header + "Cr2O3,,,1650\xA1\xE6,,,,,,\n", 2, "t", "not UTF-8", 0},
        UnusableCase{"LineBeyondOneMebibyte", header + "Cr2O3,,,,,,,,," + std::string(maxCsvRecordBytes, ' ') + "\n", 2,
                     "pCO", "longer than 1 MiB", 0}),
    [](const auto& row) { return std::string(row.param.name); });

// Rows go out as they are computed: by the time the reader asks for the
// next line, the previous line's row has been written, in input order.
TEST(BatchTool, StreamsRowByRowInInputOrder) {
  class LineSource final : public ByteSource {
   public:
    LineSource(std::vector<std::string> lines, const std::string& written)
        : lines_(std::move(lines)), written_(written) {}
    std::size_t read(char* buffer, std::size_t size) override {
      if (next_ == lines_.size()) return 0;
      // Line k (k ≥ 2) is asked for only once rows 1 … k−2 are out: the header and k−2 data rows.
      if (next_ >= 2) {
        EXPECT_EQ(parseCsv(written_).size(), next_) << "before line " << next_ + 1;
      }
      const std::string& line = lines_[next_++];
      EXPECT_LE(line.size(), size);
      std::copy(line.begin(), line.end(), buffer);
      return line.size();
    }

   private:
    std::vector<std::string> lines_;
    const std::string& written_;
    std::size_t next_ = 0;
  };
  class Collect final : public BatchOutput {
   public:
    void write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
  };
  std::vector<std::string> lines{"heat," + header};
  for (int i = 0; i < 50; ++i) lines.push_back("H" + std::to_string(i) + (i % 2 ? ",Cr3O4" : ",Cr2O3") + ",,,,,,,,,\n");
  Collect out;
  LineSource source(lines, out.text);
  const BatchResult result = runBatch(source, out);
  EXPECT_EQ(result.exitStatus, batchAllComputed);
  const OutputTable table = readOutput(BatchRun{result.exitStatus, out.text, result.error});
  ASSERT_EQ(table.rows.size(), 50u);
  for (std::size_t i = 0; i < 50; ++i) EXPECT_EQ(table.cell(i, "heat"), "H" + std::to_string(i));
}

TEST(BatchTool, ByteOrderMarkOnlyWhenAsked) {
  const std::string input = header + "Cr2O3,,,,,,,,,\n";
  EXPECT_EQ(runBatch(input, {.byteOrderMark = true}).output, "\xEF\xBB\xBF" + runBatch(input).output);
  EXPECT_FALSE(runBatch(input).output.starts_with("\xEF"));
}

struct TerminalCase {
  const char* name;
  std::string text;
  std::string shown;
};

void PrintTo(const TerminalCase& c, std::ostream* os) { *os << c.name; }

class TerminalTexts : public ::testing::TestWithParam<TerminalCase> {};

TEST_P(TerminalTexts, ShowNoRawControlCharacter) { EXPECT_EQ(terminalText(GetParam().text), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(
    Escapes, TerminalTexts,
    ::testing::Values(TerminalCase{"plain", "unknown reaction \"Cr2O5\" 未找到", "unknown reaction \"Cr2O5\" 未找到"},
                      TerminalCase{"escape_sequence", "\x1b[31mred\x1b[0m", "\\x1B[31mred\\x1B[0m"},
                      TerminalCase{"breaks_and_tab", "a\tb\r\nc", "a\\tb\\r\\nc"},
                      TerminalCase{"delete_and_bell", "\x7f\x07", "\\x7F\\x07"},
                      TerminalCase{"c1_csi",
                                   "\xC2\x9B"
                                   "2J",
                                   "\\u{9B}2J"},
                      TerminalCase{"not_utf8",
                                   "\xFF"
                                   "a",
                                   "\\xFFa"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace velkarin
