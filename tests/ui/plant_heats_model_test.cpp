// SPDX-License-Identifier: Apache-2.0
// The plant's heats alone, without a window: read as the batch tool reads
// them with their figures under the lines given, computed again only when a
// line changes; the points split by the sign of the margin; the nearest
// heat; the fit and its problems; and the band of the preset rows, which
// holds every preset row's curve between its edges.

#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "calc/preset_band.h"
#include "calc/reaction_data.h"
#include "ui/model/plant_heats.h"

using namespace velkarin;

namespace {

HeatLines presetLines() { return {Reaction::Cr2O3, presetLine(Reaction::Cr2O3), presetLine(Reaction::Cr3O4)}; }

HeatImport imported(const QByteArray& csv, const HeatLines& lines) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("heats.csv"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  file.write(csv);
  file.close();
  std::atomic<qint64> bytes{0};
  std::atomic<bool> cancel{false};
  HeatImport read = PlantHeats::read(path, lines, bytes, cancel);
  if (bytes != csv.size()) read.problem = QStringLiteral("bytes not counted");
  return read;
}

const QByteArray heatsCsv =
    "heat,reaction,A,B,t,C,Cr,Ni,Si,Mn,pCO,note\n"
    "a,Cr2O3,,,1600,0.60,18,9,0,0,101325,\n"
    "b,Cr2O3,,,1700,0.05,18,9,0,0,101325,\n"
    "c,Cr2O3,,,1650,0.40,18,9,0,0,50000,\n"
    "d,Cr3O4,,,1650,0.40,18,9,0,0,50000,\n";

}  // namespace

class PlantHeatsModelTest : public QObject {
  Q_OBJECT

 private slots:
  void heats_read_with_figures_that_follow_the_lines() {
    const HeatLines lines = presetLines();
    HeatImport read = imported(heatsCsv, lines);
    QVERIFY2(read.problem.isEmpty(), qPrintable(read.problem));
    QCOMPARE(read.read.heats.size(), std::size_t(4));
    QCOMPARE(read.figures.size(), std::size_t(4));
    PlantHeats heats;
    heats.take(std::move(read), lines);
    for (std::size_t i = 0; i < 4; ++i) {
      const PlantHeat& heat = heats.heats()[i];
      const HeatFigures expected =
          heatFigures(heat.reaction, heat.reaction == Reaction::Cr2O3 ? lines.shownLine : lines.otherLine, *heat.state);
      QCOMPARE(heats.figures()[i].margin, expected.margin);
    }
    QVERIFY(!heats.follow(lines));  // the same lines: nothing computed again
    HeatLines steeper = lines;
    steeper.shownLine.b -= 10;
    QVERIFY(heats.follow(steeper));
    QVERIFY(heats.figures()[0].margin != heatFigures(Reaction::Cr2O3, lines.shownLine, *heats.heats()[0].state).margin);

    // Cr2O3 shown: three heats, by the sign of their margins; the Cr3O4 heat is not drawn.
    heats.follow(lines);
    const HeatPoints points = heats.points();
    QCOMPARE(points.gaining.size() + points.losing.size(), std::size_t(3));
    for (const QPointF& p : points.gaining) QVERIFY(p.y() >= 0.05);
    QCOMPARE(heats.nearest(1698, 0.05), std::optional<std::size_t>(1));
    QCOMPARE(heats.nearest(1652, 0.41), std::optional<std::size_t>(2));  // not d: another reaction
  }

  void the_fit_keeps_its_line_only_without_a_problem() {
    PlantHeats heats;
    heats.take(imported(heatsCsv, presetLines()), presetLines());
    const LineFitResult fitted = heats.fit();
    QCOMPARE(fitted.problem, LineFitProblem::None);
    QCOMPARE(fitted.n, std::size_t(3));
    QVERIFY(heats.fittedLine());
    QCOMPARE(heats.fittedLine()->a, fitted.a);
    PlantHeats few;
    few.take(
        imported("heat,reaction,A,B,t,C,Cr,Ni,Si,Mn,pCO,note\na,Cr2O3,,,1600,0.6,18,9,0,0,101325,\n", presetLines()),
        presetLines());
    QCOMPARE(few.fit().problem, LineFitProblem::TooFewHeats);
    QVERIFY(!few.fittedLine());
  }

  // A file that cannot be opened says why; 取消 before the first row reads
  // nothing and computes nothing.
  void a_file_that_cannot_be_read_says_why_and_cancel_stops() {
    std::atomic<qint64> bytes{0};
    std::atomic<bool> cancel{false};
    QVERIFY(!PlantHeats::read(QStringLiteral("/no/such/heats.csv"), presetLines(), bytes, cancel).problem.isEmpty());
    QTemporaryDir folder;
    // A FIFO nobody writes to, a folder: refused at once, not waited on.
    const QString fifo = folder.filePath(QStringLiteral("pipe.csv"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, folder.path()}) {
      QCOMPARE(PlantHeats::read(path, presetLines(), bytes, cancel).problem, QStringLiteral("不是普通文件"));
    }
    QFile file(folder.filePath(QStringLiteral("heats.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(heatsCsv);
    file.close();
    cancel = true;
    const HeatImport cancelled = PlantHeats::read(file.fileName(), presetLines(), bytes, cancel);
    QVERIFY(cancelled.problem.isEmpty());
    QVERIFY(cancelled.read.cancelled);
    QVERIFY(cancelled.figures.empty());
  }

  void every_preset_row_lies_within_the_band() {
    for (const Reaction reaction : {Reaction::Cr2O3, Reaction::Cr3O4}) {
      CurveFamilyInputs family;
      family.reaction = reaction;
      family.line = presetLine(reaction);
      const auto band = presetBand(family);
      QCOMPARE(band.size(), equilibriumCurveFamily(family).size());
      for (const PresetRow& row : reactionData(reaction).presets) {
        family.line = *readReactionLine({std::string(row.a), std::string(row.b)});
        const std::vector<EquilibriumCurve> curves = equilibriumCurveFamily(family);
        for (std::size_t p = 0; p < curves.size(); ++p) {
          for (std::size_t k = 0; k < curves[p].points.size(); ++k) {
            const std::optional<double>& c = curves[p].points[k].carbon.carbon;
            if (!c) continue;
            QVERIFY(*band[p].first.points[k].carbon.carbon <= *c);
            QVERIFY(*band[p].second.points[k].carbon.carbon >= *c);
          }
        }
      }
    }
  }
};

QTEST_GUILESS_MAIN(PlantHeatsModelTest)
#include "plant_heats_model_test.moc"
