// SPDX-License-Identifier: Apache-2.0
#pragma once

// What a plan session computed, drawn on an equilibrium chart and worded
// for the status line: the window and the report draw and word it alike.

#include <QString>

#include "ui/model/plan_session.h"

namespace velkarin {

class EquilibriumChartView;

// The curves (with both oxides the other's dashed, in the same colour per
// pressure), the stages with the target, the heat path, the simulated blow
// and the title, each on its own, and all of them.
void drawCurves(EquilibriumChartView& chart, const Plan& plan, const PlanSession& session);
void drawStages(EquilibriumChartView& chart, const PlanSession& session);
void drawHeatPath(EquilibriumChartView& chart, const PlanSession& session);
void drawSimulation(EquilibriumChartView& chart, const PlanSession& session);
void drawSession(EquilibriumChartView& chart, const Plan& plan, const PlanSession& session);

// The title names every line drawn — reaction, A and B — and the
// composition, on two lines so that nothing is cut at any width.
QString chartTitle(const Plan& plan, const PlanSession& session);

// Why the entries cannot be read, with the note that the last curves stay;
// empty when they can.
QString entriesProblemText(const PlanSession& session);
// The stages' problems and the target reached, joined by "；".
QString stageNote(const Plan& plan, const PlanSession& session);
// Why the blow cannot be simulated (or a stage of it); empty when it can or
// while simulating is off.
QString simulationNote(const Plan& plan, const PlanSession& session);
// The status line: the entries' problem, then `startNote`, the other
// oxide's replaced line, the stages, the simulation, the curves' gaps and a
// heat outside the temperatures drawn.
QString sessionStatus(const Plan& plan, const PlanSession& session, const QString& startNote);

}  // namespace velkarin
