// SPDX-License-Identifier: Apache-2.0
// The plan session alone, without a window: each edit of the document
// computes what depends on it and says so in one change, with the same
// numbers the core gives for the plan; entries that cannot be read keep
// the last curves and stages and give their problems as codes.

#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include "calc/plan_evaluation.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"

using namespace velkarin;

namespace {

Plan twoStagePlan() {
  Plan plan;
  plan.stages = {{"3:1", "1600", "0.60"}, {"1:1", "1680", "0.15"}};
  plan.heat.mass = "80";
  plan.heat.startCarbon = "1.2";
  plan.heat.oxygenFlow = "40";
  plan.target = "0.2";
  return plan;
}

PlanSession::Changes lastChange(const QSignalSpy& spy) { return spy.last().at(0).value<PlanSession::Changes>(); }

}  // namespace

class PlanSessionModelTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { qRegisterMetaType<PlanSession::Changes>(); }

  // What each kind of edit computes anew.
  void each_edit_computes_what_depends_on_it_data() {
    QTest::addColumn<QString>("place");  // an entry, or "stage" for a stage cell
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("changes");
    const int all = PlanSession::Entries | PlanSession::Curves | PlanSession::Stages | PlanSession::Simulation;
    const int stages = PlanSession::Stages | PlanSession::Simulation;
    const auto row = [](const char* name, const char* place, const char* text, int changes) {
      QTest::newRow(name) << QString::fromUtf8(place) << QString::fromUtf8(text) << changes;
    };
    row("composition", "composition/Cr", "17", all);
    row("reaction", "reaction", "Cr3O4", all | PlanSession::HeatPath);
    row("not a number", "A", "x", PlanSession::Entries);
    row("target", "target", "0.1", stages);
    row("heat", "heat/mass", "90", stages);
    row("stage cell", "stage", "1650", stages);
    row("note", "note", "第2炉", -1);  // no change at all
  }
  void each_edit_computes_what_depends_on_it() {
    QFETCH(QString, place);
    QFETCH(QString, text);
    QFETCH(int, changes);
    PlanDocument document;
    PlanSession session(document);
    document.reset(twoStagePlan());
    QSignalSpy changed(&session, &PlanSession::changed);
    if (place == QLatin1String("stage")) {
      document.setStageText(0, 1, text.toStdString());
    } else {
      document.editEntry(place.toStdString(), text.toStdString());
    }
    if (changes < 0) {
      QCOMPARE(changed.size(), 0);
      return;
    }
    QCOMPARE(changed.size(), 1);
    QCOMPARE(int(lastChange(changed)), changes);
  }

  // The numbers are the core's for the plan as it is; an entry that cannot
  // be read keeps the last that could, with its problem as a code, and an
  // undo brings the plan's own back.
  void results_are_the_cores_and_unreadable_entries_keep_the_last() {
    PlanDocument document;
    PlanSession session(document);
    document.reset(twoStagePlan());
    const PlanReading reading = readPlanEntries(document.plan());
    const StageEvaluation expected = evaluateStages(document.plan(), reading, *otherLineOf(document.plan()));
    QCOMPARE(session.stages().results.size(), std::size_t(2));
    for (std::size_t i = 0; i < 2; ++i) {
      QCOMPARE(session.stages().results[i].pressure.coPressure, expected.results[i].pressure.coPressure);
      QCOMPARE(session.stages().results[i].margin, expected.results[i].margin);
    }
    QCOMPARE(session.stages().reached, expected.reached);
    QCOMPARE(session.curves().size(), planCurves(reading, *otherLineOf(document.plan()), false).size());
    QVERIFY(session.problems().empty());

    const auto before = session.curves().front().points.front().carbon.carbon;
    document.editEntry("totalPressure", "-5");
    QCOMPARE(session.problems().size(), std::size_t(1));
    QCOMPARE(session.problems().front().entry, PlanEntry::TotalPressure);
    QCOMPARE(session.problems().front().kind, EntryProblem::Kind::NotPositive);
    QCOMPARE(session.curves().front().points.front().carbon.carbon, before);  // the last that could be read
    document.history().undo();
    QVERIFY(session.problems().empty());

    // A plan opened whose entries cannot be read keeps nothing of the plan
    // before it; once read, its own last curves are kept again.
    Plan broken = twoStagePlan();
    broken.pressures = "x";
    document.reset(broken);
    QVERIFY(session.curves().empty());
    QVERIFY(session.stages().results.empty());
    QVERIFY(!session.keepsLast());
    document.setStageText(0, 1, "1620");  // still nothing to evaluate the stages under
    QVERIFY(session.stages().results.empty());
    document.editEntry("pressures", "50000");
    QCOMPARE(session.curves().size(), std::size_t(1));
    QCOMPARE(session.stages().results.size(), std::size_t(2));
    document.editEntry("pressures", "y");
    QVERIFY(session.keepsLast());
    QCOMPARE(session.curves().size(), std::size_t(1));
  }

  // Simulating on and off; the heat path of the shown reaction only.
  void simulation_and_heat_paths_follow_the_plan() {
    PlanDocument document;
    PlanSession session(document);
    Plan plan = twoStagePlan();
    plan.heat.startTemperature = "1550";
    document.reset(plan);
    QVERIFY(!session.simulation());
    session.setSimulating(true);
    QVERIFY(session.simulation());
    QCOMPARE(session.simulation()->stages.size(), std::size_t(2));
    document.editEntry("heat/startTemperature", "");
    QVERIFY(!session.simulation());
    QCOMPARE(session.simulationProblem(), SimulationProblem::NoStartTemperature);
    session.setSimulating(false);
    QCOMPARE(session.simulationProblem(), SimulationProblem::None);

    QSignalSpy changed(&session, &PlanSession::changed);
    MeltState state;
    state.temperature = 1873.15;
    session.setHeatPath(Reaction::Cr3O4, {state});
    QCOMPARE(changed.size(), 0);  // not the reaction shown
    QVERIFY(session.heatPath().empty());
    session.setHeatPath(Reaction::Cr2O3, {state, state});
    QCOMPARE(int(lastChange(changed)), int(PlanSession::HeatPath));
    QCOMPARE(session.heatPath().size(), std::size_t(2));
    document.editEntry("reaction", "Cr3O4");
    QCOMPARE(session.heatPath().size(), std::size_t(1));
  }

  // The other oxide: the plan's own; else its window's texts, which the
  // document then keeps; else its first preset row, with the reason.
  void the_other_oxides_line_and_where_it_came_from() {
    std::optional<ReactionConstants> typed = ReactionConstants{"700000", "-300"};
    PlanDocument document;
    PlanSession session(document, [&](Reaction) { return typed; });
    document.reset(Plan(), false);
    QCOMPARE(session.otherLine().a, 700000.0);
    QCOMPARE(document.plan().otherConstants.a, std::string("700000"));
    QCOMPARE(session.otherNote(), OtherLineNote::None);
    typed = ReactionConstants{"x", "-300"};
    session.windowConstantsChanged(Reaction::Cr3O4);
    QCOMPARE(session.otherNote(), OtherLineNote::WindowNotNumbers);
    QCOMPARE(session.otherLine().a, presetLine(Reaction::Cr3O4).a);
    Plan own;
    own.otherConstants = {"y", "1"};
    document.reset(own);
    QCOMPARE(session.otherNote(), OtherLineNote::PlanNotNumbers);
  }
};

QTEST_GUILESS_MAIN(PlanSessionModelTest)
#include "plan_session_model_test.moc"
