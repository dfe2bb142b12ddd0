// SPDX-License-Identifier: Apache-2.0
#include "ui/model/plan_session.h"

#include <utility>

#include "ui/model/plan_document.h"

namespace velkarin {

PlanSession::PlanSession(PlanDocument& document, WindowConstants windowConstants, QObject* parent)
    : QObject(parent), document_(document), windowConstants_(std::move(windowConstants)) {
  otherLine_ = presetLine(otherReaction(document.plan().reaction));
  connect(&document_, &PlanDocument::entryChanged, this, &PlanSession::entryChanged);
  const auto stagesEdited = [this] { emit changed(evaluateStages()); };
  connect(&document_, &PlanDocument::stageInserted, this, stagesEdited);
  connect(&document_, &PlanDocument::stageRemoved, this, stagesEdited);
  connect(&document_, &PlanDocument::stageTextChanged, this, stagesEdited);
  connect(&document_, &PlanDocument::stagesSwapped, this, stagesEdited);
  connect(&document_, &PlanDocument::planReset, this, &PlanSession::reset);
}

// A plan opened anew: curves and stages of another plan are no "last that
// could be read" for it.
void PlanSession::reset() {
  readFromThisPlan_ = false;
  recompute();
}

void PlanSession::recompute() { emit changed(readEntries() | HeatPath); }

// The note is only text; the target and the heat only reach the stages.
void PlanSession::entryChanged(const QString& place) {
  if (place == QLatin1String("note")) return;
  if (place == QLatin1String("target") || place.startsWith(QLatin1String("heat/"))) {
    emit changed(evaluateStages());
    return;
  }
  emit changed(readEntries() | (place == QLatin1String("reaction") ? HeatPath : Changes()));
}

// An entry that cannot be read keeps the curves and stages of the last
// entries that could.
PlanSession::Changes PlanSession::readEntries() {
  otherLine_ = readOtherLine();
  PlanReading reading = readPlanEntries(document_.plan());
  problems_ = reading.problems;
  if (!reading.read() && readFromThisPlan_) return Entries;
  if (!reading.read()) {
    // Nothing of this plan could be read yet: nothing to draw or evaluate.
    entries_ = PlanReading{};
    entries_.family.reaction = document_.plan().reaction;
    curves_.clear();
    return Entries | Curves | evaluateStages();
  }
  readFromThisPlan_ = true;
  entries_ = std::move(reading);
  curves_ = planCurves(entries_, otherLine_, document_.plan().bothOxides);
  return Entries | Curves | evaluateStages();
}

PlanSession::Changes PlanSession::evaluateStages() {
  const Plan& plan = document_.plan();
  simulation_.reset();
  simulationProblem_ = SimulationProblem::None;
  simulationInput_ = {};
  if (!readFromThisPlan_) {
    // No entries of this plan read yet: the stages stand under none.
    stages_ = StageEvaluation{};
    return Stages | Simulation;
  }
  stages_ = velkarin::evaluateStages(plan, entries_, otherLine_);
  if (simulating_) {
    simulationInput_ = velkarin::simulationInput(plan, stages_.settings);
    if (!simulationInput_.problem) {
      BlowSimulation simulated = simulateBlow(simulationInput_.heat, simulationInput_.stages);
      simulationProblem_ = simulated.problem;
      if (simulated.problem == SimulationProblem::None) simulation_ = std::move(simulated);
    }
  }
  return Stages | Simulation;
}

// A and B of the reaction not shown: the plan's own, else as typed in its
// calculation window, else its first preset row. The document keeps the
// texts used, so that a saved plan holds them.
ReactionLine PlanSession::readOtherLine() {
  const Reaction other = otherReaction(document_.plan().reaction);
  const bool own = document_.ownOther();
  otherNote_ = OtherLineNote::None;
  std::optional<ReactionConstants> typed;
  if (own) typed = document_.plan().otherConstants;
  if (!own && windowConstants_) typed = windowConstants_(other);
  if (typed) {
    if (const std::optional<ReactionLine> line = readReactionLine(*typed)) {
      if (!own) document_.setOtherConstants(*typed);
      return *line;
    }
    otherNote_ = own ? OtherLineNote::PlanNotNumbers : OtherLineNote::WindowNotNumbers;
  }
  if (!own) document_.setOtherConstants(presetConstants(other));
  return presetLine(other);
}

void PlanSession::setSimulating(bool on) {
  if (on == simulating_) return;
  simulating_ = on;
  emit changed(evaluateStages());
}

void PlanSession::setHeatPath(Reaction reaction, std::vector<MeltState> states) {
  heatPaths_[reactionIndex(reaction)] = std::move(states);
  if (reaction == document_.plan().reaction) emit changed(HeatPath);
}

const std::vector<MeltState>& PlanSession::heatPath() const {
  return heatPaths_[reactionIndex(document_.plan().reaction)];
}

// The shown reaction's A and B are the plan's own entries.
void PlanSession::windowConstantsChanged(Reaction reaction) {
  if (reaction != document_.plan().reaction) emit changed(readEntries());
}

}  // namespace velkarin
