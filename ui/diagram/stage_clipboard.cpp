// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/stage_clipboard.h"

#include <QStringList>
#include <iterator>

#include "words/chinese.h"

namespace velkarin {

PastedStages readPastedStages(const QString& text) {
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  }
  while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
  if (lines.isEmpty()) return {};
  if (lines.size() == 1 && !lines[0].contains(QLatin1Char('\t'))) return {lines[0].trimmed(), {}};
  int first = 0;
  const QString head = lines[0].section(QLatin1Char('\t'), 0, 0).trimmed();
  if (head == QStringLiteral("阶段")) first = 1;
  const bool header = first == 1 || head == QStringLiteral("gas") || head == QStringLiteral("气体比或CO分压");
  if (header) lines.removeFirst();
  PastedStages pasted;
  for (const QString& line : lines) {
    if (line.trimmed().isEmpty()) continue;
    const QStringList cells = line.split(QLatin1Char('\t'));
    const auto cell = [&](int k) {
      return first + k < cells.size() ? cells[first + k].trimmed().toStdString() : std::string();
    };
    if (first == 1) {
      pasted.stages.push_back({cell(0), cell(1), cell(2)});
    } else {
      pasted.stages.push_back({cell(0), cell(1), cell(2), cell(3), cell(4), cell(5), cell(6)});
    }
  }
  return pasted;
}

QByteArray stageCsvBytes(const std::vector<std::pair<std::string, std::string>>& conditions,
                         const std::vector<BlowStage>& stages, const std::vector<StageResult>& results) {
  std::vector<std::vector<std::string>> rows;
  for (const auto& [name, text] : conditions) rows.push_back({"#" + name, text});
  if (!rows.empty()) rows.emplace_back();
  std::vector<std::vector<std::string>> table = stageTable(stages, results);
  rows.insert(rows.end(), std::make_move_iterator(table.begin()), std::make_move_iterator(table.end()));
  return QByteArray("\xEF\xBB\xBF") + QByteArray::fromStdString(stageTableCsv(rows));
}

}  // namespace velkarin
