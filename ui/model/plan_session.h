// SPDX-License-Identifier: Apache-2.0
#pragma once

// What the diagram shows, computed from the document's plan: the one
// reading of its entries (the last that could be read, and why the current
// ones cannot), the other oxide's line and where it came from, the curves,
// the stages evaluated with the target and the blow ledger, the blow
// simulated while simulating is on, and the heat paths of the calculation
// windows. Problems are codes; the views word them. After each change of
// the plan (an edit, an undo, a plan opened) the session computes what
// depends on it and emits one `changed` that says what was computed anew,
// so that each view redraws only what it shows.
//
// No widget here: the session is driven and tested without a window.

#include <QFlags>
#include <QObject>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "calc/blow_simulation.h"
#include "calc/equilibrium_curve.h"
#include "calc/plan_evaluation.h"
#include "calc/plan_simulation.h"
#include "calc/records.h"

namespace velkarin {

class PlanDocument;

// Where the other oxide's A and B came from, when not from where they should.
enum class OtherLineNote {
  None,
  PlanNotNumbers,    // the plan's own texts are no numbers: its first preset row is used
  WindowNotNumbers,  // its calculation window's texts are no numbers: likewise
};

class PlanSession : public QObject {
  Q_OBJECT

 public:
  enum Change : unsigned {
    Entries = 1,     // the entries were read: problems() changed, and when they read, the rest below
    Curves = 2,      // curves(), otherLine(), entries()
    Stages = 4,      // stages()
    Simulation = 8,  // simulation(), simulationInput()
    HeatPath = 16,   // heatPath()
  };
  Q_DECLARE_FLAGS(Changes, Change)

  // A reaction's calculation window's A and B texts as typed now; nothing
  // when that window does not exist.
  using WindowConstants = std::function<std::optional<ReactionConstants>(Reaction)>;

  explicit PlanSession(PlanDocument& document, WindowConstants windowConstants = {}, QObject* parent = nullptr);

  // The entries that could last be read: the curves and stages stand for these.
  const PlanReading& entries() const { return entries_; }
  // Why the plan's entries as they are now cannot be read; empty when they can.
  const std::vector<EntryProblem>& problems() const { return problems_; }
  const ReactionLine& otherLine() const { return otherLine_; }
  OtherLineNote otherNote() const { return otherNote_; }
  const std::vector<EquilibriumCurve>& curves() const { return curves_; }
  const StageEvaluation& stages() const { return stages_; }

  bool simulating() const { return simulating_; }
  void setSimulating(bool on);
  // While simulating: what the plan gives the simulation (its text problem
  // when it cannot), and the simulation (nothing where a text or the heat
  // cannot be simulated; the heat's problem is in simulationProblem()).
  const PlanSimulationInput& simulationInput() const { return simulationInput_; }
  const std::optional<BlowSimulation>& simulation() const { return simulation_; }
  SimulationProblem simulationProblem() const { return simulationProblem_; }

  // The melt states of a reaction's calculation window's completed
  // calculations, in order; the shown reaction's are the heat path.
  void setHeatPath(Reaction reaction, std::vector<MeltState> states);
  const std::vector<MeltState>& heatPath() const;
  // A reaction's calculation window's A or B changed.
  void windowConstantsChanged(Reaction reaction);

  // Everything again.
  void recompute();
  // The curves and stages stand for entries this plan had (false after a plan
  // was opened whose entries could not be read: then there are none).
  bool keepsLast() const { return readFromThisPlan_ && !problems_.empty(); }

 signals:
  void changed(PlanSession::Changes what);

 private:
  void entryChanged(const QString& place);
  Changes readEntries();
  void reset();
  Changes evaluateStages();
  ReactionLine readOtherLine();

  PlanDocument& document_;
  WindowConstants windowConstants_;
  PlanReading entries_;
  std::vector<EntryProblem> problems_;
  bool readFromThisPlan_ = false;  // entries_ were read from the plan as it is since it was opened
  ReactionLine otherLine_;
  OtherLineNote otherNote_ = OtherLineNote::None;
  std::vector<EquilibriumCurve> curves_;
  StageEvaluation stages_;
  bool simulating_ = false;
  PlanSimulationInput simulationInput_;
  std::optional<BlowSimulation> simulation_;
  SimulationProblem simulationProblem_ = SimulationProblem::None;
  std::array<std::vector<MeltState>, 2> heatPaths_;  // by reaction: Cr2O3, Cr3O4
};

}  // namespace velkarin

Q_DECLARE_OPERATORS_FOR_FLAGS(velkarin::PlanSession::Changes)
