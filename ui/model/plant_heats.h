// SPDX-License-Identifier: Apache-2.0
#pragma once

// The plant's heats the diagram compares with its lines: the heats of a CSV
// as the batch tool reads it, each heat's figures under the lines shown
// (computed again only when the reaction or a line changes: one key), the
// ΔG° line fitted to the ticked heats of the shown reaction, and the points
// the chart and the parity plot draw. Reading a file is a thin wrapper
// around the batch tool's reader, made to run on a worker.
//
// No widget here: the heats are driven and tested without a window.

#include <QPointF>
#include <QString>
#include <atomic>
#include <optional>
#include <vector>

#include "calc/line_fit.h"
#include "calc/plant_heat.h"
#include "io/plant_heats_read.h"

namespace velkarin {

// The lines the figures stand for: the shown reaction's and the other's.
struct HeatLines {
  Reaction shown = Reaction::Cr2O3;
  ReactionLine shownLine;
  ReactionLine otherLine;
  bool operator==(const HeatLines& o) const {
    return shown == o.shown && shownLine.a == o.shownLine.a && shownLine.b == o.shownLine.b &&
           otherLine.a == o.otherLine.a && otherLine.b == o.otherLine.b;
  }
};

// A file's heats with their figures under `lines`, or why there are none.
struct HeatImport {
  PlantHeatsRead read;
  std::vector<HeatFigures> figures;  // one per heat
  QString problem;                   // the file cannot be opened or read (the system's words)
};

// Where the shown reaction's heats with figures stand: (°C, measured %C) on
// the chart and (equilibrium %C, measured %C) in the parity plot, gaining
// (margin ≥ 0) and losing apart.
struct HeatPoints {
  std::vector<QPointF> gaining, losing, parityGaining, parityLosing;
};

class PlantHeats {
 public:
  // On a worker: reads the file, counting the bytes read into `bytes` and
  // asking `cancel` between rows, and computes the figures under `lines`.
  static HeatImport read(const QString& path, const HeatLines& lines, std::atomic<qint64>& bytes,
                         const std::atomic<bool>& cancel);

  // The heats now are these (the fit is forgotten).
  void take(HeatImport&& imported, const HeatLines& lines);

  const std::vector<PlantHeat>& heats() const { return heats_; }
  // The heats' table writes their ticks (PlantHeat::fitted) here.
  std::vector<PlantHeat>& heats() { return heats_; }
  const std::vector<HeatFigures>& figures() const { return figures_; }
  bool empty() const { return heats_.empty(); }
  // The figures under `lines`; true when they had to be computed again.
  bool follow(const HeatLines& lines);
  HeatPoints points() const;
  // The shown reaction's heat with figures nearest to (°C, %C): 10 °C
  // count as much as a decade of carbon.
  std::optional<std::size_t> nearest(double celsius, double carbon) const;

  // 拟合ΔG° on the ticked heats of the shown reaction; the line is kept
  // while the fit has no problem.
  LineFitResult fit();
  const std::optional<ReactionLine>& fittedLine() const { return fittedLine_; }
  double fittedR2() const { return fittedR2_; }
  Reaction shown() const { return lines_ ? lines_->shown : Reaction::Cr2O3; }

 private:
  static std::vector<HeatFigures> figuresOf(const std::vector<PlantHeat>& heats, const HeatLines& lines);

  std::vector<PlantHeat> heats_;      // in file order
  std::vector<HeatFigures> figures_;  // one per heat, under lines_
  std::optional<HeatLines> lines_;    // what figures_ were computed under
  std::optional<ReactionLine> fittedLine_;
  double fittedR2_ = 1;
};

}  // namespace velkarin
