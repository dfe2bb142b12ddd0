// SPDX-License-Identifier: Apache-2.0
#pragma once

// The plant's heats beside the ledger: a sortable table of every heat (its
// line, its heat id, the inputs, ΔG, its equilibrium carbon and margin, or
// why it computes nothing) with a tick per heat that takes it out of the
// fit; 拟合ΔG° and 采用 for the fitted line, 预设范围 for the band of the
// published constants; and the parity plot of measured against equilibrium
// carbon.
//
// Controls: heats (the table), fitLine, adoptFit, presetRange, fitResult, parity.

#include <QAbstractTableModel>
#include <QWidget>
#include <vector>

#include "calc/plant_heat.h"

class QCheckBox;
class QChartView;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace velkarin {

// The heats and their figures as a table. The vectors belong to the diagram;
// the model shows them and writes only the ticks.
class HeatsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    Fitted,
    Line,
    Id,
    ReactionName,
    Temperature,
    Carbon,
    Chromium,
    Nickel,
    Silicon,
    Manganese,
    Pressure,
    FreeEnergy,
    Equilibrium,
    Margin,
    Note,
    ColumnCount
  };

  HeatsModel(std::vector<PlantHeat>& heats, const std::vector<HeatFigures>& figures, QObject* parent);

  // The heats or their figures changed.
  void reload();
  void figuresChanged();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 signals:
  void ticksChanged();

 private:
  std::vector<PlantHeat>& heats_;
  const std::vector<HeatFigures>& figures_;
};

class HeatsPanel : public QWidget {
  Q_OBJECT

 public:
  HeatsPanel(std::vector<PlantHeat>& heats, const std::vector<HeatFigures>& figures, QWidget* parent);

  HeatsModel* model() const { return model_; }
  QTableView* table() const { return table_; }
  QChartView* parity() const { return parity_; }
  bool presetRange() const;
  void showFitResult(const QString& text, bool adoptable);
  // The parity plot: (equilibrium, measured) %C by the sign of the margin.
  void showParity(const std::vector<QPointF>& gaining, const std::vector<QPointF>& losing);

 signals:
  void fitRequested();
  void adoptRequested();
  void presetRangeToggled();

 private:
  HeatsModel* model_ = nullptr;
  QSortFilterProxyModel* sorted_ = nullptr;
  QTableView* table_ = nullptr;
  QPushButton* adopt_ = nullptr;
  QCheckBox* presetRange_ = nullptr;
  QLabel* fitResult_ = nullptr;
  QChartView* parity_ = nullptr;
};

}  // namespace velkarin
