#include "calc/number_list.h"

#include <cmath>

#include "calc/number_text.h"

namespace velkarin {

std::string_view trimmedItem(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> listItems(std::string_view text) {
  std::vector<std::string_view> items;
  for (std::size_t begin = 0;;) {
    const std::size_t comma = text.find(',', begin);
    items.push_back(text.substr(begin, comma == std::string_view::npos ? std::string_view::npos : comma - begin));
    if (comma == std::string_view::npos) return items;
    begin = comma + 1;
  }
}

namespace {

std::string_view trimmed(std::string_view text) { return trimmedItem(text); }

NumberListReading problem(ListProblem kind, std::string_view item) { return {{}, kind, std::string(item)}; }

}  // namespace

std::optional<double> readFiniteNumber(std::string_view text) {
  const ReadResult read = readConstantText(text);
  if (read.error || !std::isfinite(read.value)) return std::nullopt;
  return read.value;
}

NumberListReading readNumberList(std::string_view text, bool positive, std::size_t maxItems) {
  if (trimmed(text).empty()) return problem(ListProblem::Empty, text);
  const std::vector<std::string_view> items = listItems(text);
  if (items.size() > maxItems) return problem(ListProblem::TooMany, {});
  NumberListReading reading;
  for (std::string_view item : items) {
    if (trimmed(item).empty()) return problem(ListProblem::EmptyItem, item);
    const std::optional<double> number = readFiniteNumber(item);
    if (!number) return problem(ListProblem::NotANumber, item);
    if (positive && !(*number > 0)) return problem(ListProblem::NotPositive, item);
    reading.values.push_back(*number);
  }
  return reading;
}

std::string pressureListMessage(const NumberListReading& reading, std::size_t maxItems) {
  if (!reading.problem) return {};
  switch (*reading.problem) {
    case ListProblem::Empty:
      return "请输入至少一个CO分压";
    case ListProblem::TooMany:
      return "CO分压最多" + std::to_string(maxItems) + "个";
    case ListProblem::EmptyItem:
      return "CO分压列表中有空项";
    case ListProblem::NotANumber:
      return "CO分压“" + std::string(trimmed(reading.item)) + "”不是数字";
    case ListProblem::NotPositive:
      return "CO分压" + std::string(trimmed(reading.item)) + " Pa不大于0";
    case ListProblem::RatioMissingSide:
    case ListProblem::RatioNotANumber:
    case ListProblem::RatioNegative:
    case ListProblem::RatioNoOxygen:
      break;  // a plain number list has no ratio items
  }
  return {};
}

}  // namespace velkarin
