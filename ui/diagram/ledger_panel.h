// SPDX-License-Identifier: Apache-2.0
#pragma once

// 物料平衡 under the stage table: the heat's entries (钢水量W, 初始%C,
// O2流量, FeSi品位, 碱度) and the blow ledger of the stages — per stage and
// 合计 in the table, the reduction beside it — with copy (TSV) and CSV save. A stage that burns
// chromium below its governing equilibrium carbon shows its Cr figure in
// the margin's red; a booked stage below it whose figures assume an
// efficiency it cannot reach has that note in its 说明, in the same red.
//
// Controls: heatMass, startCarbon, oxygenFlow, fesiGrade, basicity, ledger
// (the table), copyLedger, saveLedger. The entries show the plan's heat;
// the diagram binds them to the plan document, which holds what is typed.

#include <QWidget>
#include <optional>
#include <vector>

#include "calc/blow_ledger.h"
#include "calc/plan.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace velkarin {

class LedgerPanel : public QWidget {
  Q_OBJECT

 public:
  explicit LedgerPanel(QWidget* parent = nullptr);
  QSize sizeHint() const override;

  // Shows the ledger of the stages (texts and results as the stage table has them).
  void showLedger(const std::vector<BlowStage>& stages, const std::vector<StageResult>& results,
                  const BlowLedger& ledger);
  QTableWidget* table() const { return table_; }
  QString tsv() const { return toTsv_; }
  std::optional<QString> writeCsv(const QString& path) const;

 private:
  QGridLayout* createEntries();
  QLineEdit* addEntry(const char* name, const QString& text, const QString& tip);
  void askAndSave();

  QLineEdit* mass_ = nullptr;
  QLineEdit* startCarbon_ = nullptr;
  QLineEdit* oxygenFlow_ = nullptr;
  QLineEdit* fesiGrade_ = nullptr;
  QLineEdit* basicity_ = nullptr;
  QTableWidget* table_ = nullptr;
  QLabel* reduction_ = nullptr;  // the reduction's Si, FeSi, Al, SiO2, CaO and slag, kg
  QString toTsv_;
  QByteArray csv_;
};

}  // namespace velkarin
