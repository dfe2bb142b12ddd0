// SPDX-License-Identifier: Apache-2.0
// The equilibrium diagram window redrawing its whole default family, as it
// does on every change of an entry: the core's family (4 CO pressures ×
// 1400–1900 °C at 1 °C, 2004 roots), the chart's series replaced, the chart
// laid out and the window rendered to an image of its size. Also the two
// halves apart, and a planned blow: 12 curves of ratios and pressures, both
// oxides (24 curves, 12024 roots) and 8 stages with a target, and a
// simulated blow: the six stages of examples/blow.csv simulated on every
// redraw, its path on the chart and 吹炼模拟 shown. The whole must take under
// 50 ms in each case.
//
// The plant's heats: importing 100,000 heats (read, each computed) must take
// under 2 s, hold the GUI thread's event loop no longer than 100 ms at a time
// (counter longestFrameMs), and a redraw with them on the chart under 100 ms. The report of
// 10,000 stages must take under 10 s.
//
// Runs on Qt's offscreen platform, so no display is needed.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QScatterSeries>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "calc/plan.h"
#include "calc/records.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/heats_panel.h"
#include "ui/diagram/plan_report.h"
#include "ui/diagram/stage_table.h"

namespace velkarin {
namespace {

// The client size of a new diagram sub-window in the 1366 × 768 frame, px.
constexpr QSize windowSize(1190, 610);

// A diagram from the presets of `reaction`, with the worked example's heat.
std::unique_ptr<EquilibriumDiagramWindow> openDiagram(Reaction reaction) {
  DiagramStart start;
  start.reaction = reaction;
  start.constants = presetConstants(reaction);
  auto window = std::make_unique<EquilibriumDiagramWindow>(start);
  MeltState heat;
  heat.temperature = 1923;  // K, 1650 °C
  heat.carbon = reaction == Reaction::Cr2O3 ? 2.2 : 0.35;
  window->setHeatPath(reaction, {heat});
  window->resize(windowSize);
  window->show();
  QApplication::processEvents();
  return window;
}

void render(QWidget& window, QImage& image) {
  QApplication::processEvents();  // the chart lays out its legend and axes from the event loop
  image.fill(Qt::white);
  window.render(&image);
}

void wholeRedraw(benchmark::State& state, Reaction reaction) {
  auto window = openDiagram(reaction);
  QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    window->redraw();
    render(*window, image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK_CAPTURE(wholeRedraw, Cr2O3, Reaction::Cr2O3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wholeRedraw, Cr3O4, Reaction::Cr3O4)->Unit(benchmark::kMillisecond);

// A blow planned on the diagram: 12 curves, both oxides, 8 stages, a target.
void plannedBlow(benchmark::State& state) {
  auto window = openDiagram(Reaction::Cr2O3);
  window->findChild<QLineEdit*>(QStringLiteral("pressures"))
      ->setText(QStringLiteral("4:1, 3:1, 2:1, 1:1, 1:2, 1:3, 1:4, 1:9, 101325, 50000, 20000, 5000"));
  window->findChild<QCheckBox*>(QStringLiteral("bothOxides"))->setChecked(true);
  const char* stages[8][3] = {{"4:1", "1560", "0.9"},  {"3:1", "1600", "0.6"},  {"2:1", "1640", "0.35"},
                              {"1:1", "1680", "0.15"}, {"1:2", "1700", "0.08"}, {"1:3", "1720", "0.04"},
                              {"1:4", "1730", "0.03"}, {"1:9", "1740", "0.02"}};
  for (int i = 0; i < 8; ++i) window->stageTable()->insertStage(i, {stages[i][0], stages[i][1], stages[i][2]});
  window->findChild<QLineEdit*>(QStringLiteral("target"))->setText(QStringLiteral("0.03"));
  QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    window->redraw();
    render(*window, image);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["curves"] = static_cast<double>(window->chartView()->curves().size());
}
BENCHMARK(plannedBlow)->Unit(benchmark::kMillisecond);

// The README's 80 t heat simulated (examples/blow.csv), the sheet shown.
void simulatedBlow(benchmark::State& state) {
  auto window = openDiagram(Reaction::Cr2O3);
  for (const auto& [name, text] : {std::pair{"Si", "0.3"},
                                   {"Mn", "1"},
                                   {"heatMass", "80"},
                                   {"startCarbon", "1.6"},
                                   {"oxygenFlow", "60"},
                                   {"startTemperature", "1550"}}) {
    window->findChild<QLineEdit*>(QString::fromUtf8(name))->setText(QString::fromUtf8(text));
  }
  const BlowStage stages[6] = {
      {"4:1", "1560", "0.80", "", "3000", "", ""}, {"3:1", "1620", "0.45", "", "", "2500", ""},
      {"2:1", "1680", "0.25", "", "", "2000", ""}, {"1:1", "1700", "0.13", "", "1000", "2000", ""},
      {"1:2", "1710", "0.08", "", "", "2000", ""}, {"1:3", "1740", "", "250", "", "1500", "Ar"},
  };
  for (int i = 0; i < 6; ++i) window->stageTable()->insertStage(i, stages[i]);
  window->findChild<QCheckBox*>(QStringLiteral("simulate"))->setChecked(true);
  if (!window->simulation() || !window->simulation()->totals) state.SkipWithError("the blow was not simulated");
  QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    window->redraw();
    render(*window, image);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["samples"] = static_cast<double>(window->simulation() ? window->simulation()->path.size() : 0);
}
BENCHMARK(simulatedBlow)->Unit(benchmark::kMillisecond);

// The family and the series update alone, without drawing.
void familyAndSeries(benchmark::State& state) {
  auto window = openDiagram(Reaction::Cr2O3);
  for (auto _ : state) {
    window->redraw();
    benchmark::DoNotOptimize(window->chartView()->curves().data());
  }
  QApplication::processEvents();
}
BENCHMARK(familyAndSeries)->Unit(benchmark::kMillisecond);

// Drawing alone: the window as it is, rendered again.
void renderOnly(benchmark::State& state) {
  auto window = openDiagram(Reaction::Cr2O3);
  QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    window->chartView()->chart()->update();
    render(*window, image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(renderOnly)->Unit(benchmark::kMillisecond);

// The offscreen platform warns once per shown window that it cannot pass size
// hints on; that says nothing about the timings.
// A file of `count` heats of both reactions over a real blow.
QString heatFile(std::size_t count) {
  static QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("heats-%1.csv").arg(count));
  if (QFile::exists(path)) return path;
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write("id,reaction,t,C,Cr,Ni,Si,Mn,pCO\n");
  for (std::size_t i = 0; i < count; ++i) {
    file.write(QStringLiteral("H%1,%2,%3,%4,%5,9,0.3,1.2,%6\n")
                   .arg(i)
                   .arg(i % 4 ? QStringLiteral("Cr2O3") : QStringLiteral("Cr3O4"))
                   .arg(1550 + i % 201)
                   .arg(0.02 + (i % 97) * 0.005)
                   .arg(16 + i % 4)
                   .arg(10000 + (i * 7919) % 90000)
                   .toUtf8());
  }
  return path;
}

void importHeats(benchmark::State& state) {
  auto window = openDiagram(Reaction::Cr2O3);
  const QString path = heatFile(100000);
  for (auto _ : state) {
    if (window->importHeats(path)) state.SkipWithError("the heats could not be imported");
  }
}
BENCHMARK(importHeats)->Unit(benchmark::kMillisecond)->Iterations(3);

// The longest time the GUI thread's event loop is held while 100,000 heats
// are imported and shown: a 10 ms timer on the GUI thread records the
// largest gap between its ticks, from the import's start until the window
// has done the work it deferred (300 ms of idle loop after importHeats
// returns). No frame may be held over 100 ms.
class FrameGaps {
 public:
  FrameGaps() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
  }
  void start() {
    clock_.start();
    last_ = 0;
    timer_.start();
  }
  // Ends the current gap now (work after the last tick counts as well) and
  // returns the longest gap since the last call, ms.
  double takeLongestMs() {
    tick();
    const double longest = static_cast<double>(longest_) / 1e6;
    longest_ = 0;
    return longest;
  }
  void stop() { timer_.stop(); }

 private:
  void tick() {
    const qint64 now = clock_.nsecsElapsed();
    longest_ = std::max(longest_, now - last_);
    last_ = now;
  }

  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 longest_ = 0;  // ns
};

// Also apart: the longest gap until importHeats returns (the reading on its
// worker thread, then the heats' figures, table and plots on the GUI
// thread: "importMs"), the longest in the idle loop after it (what was
// deferred, the drawing: "afterMs"), the marks of the parity plot and the
// time to plot them again ("parityMs").
void importHeatsFrames(benchmark::State& state) {
  auto window = openDiagram(Reaction::Cr2O3);
  const QString path = heatFile(100000);
  FrameGaps gaps;
  double inImport = 0, after = 0;
  for (auto _ : state) {
    gaps.start();
    if (window->importHeats(path)) state.SkipWithError("the heats could not be imported");
    inImport = std::max(inImport, gaps.takeLongestMs());
    QEventLoop idle;
    QTimer::singleShot(300, &idle, &QEventLoop::quit);
    idle.exec();
    after = std::max(after, gaps.takeLongestMs());
    gaps.stop();
  }
  // The parity plot drawn again from the marks it shows: its share of importMs.
  std::vector<std::vector<QPointF>> shown;
  for (const QAbstractSeries* series : window->heatsPanel()->parity()->chart()->series()) {
    if (const auto* scatter = qobject_cast<const QScatterSeries*>(series)) {
      const QList<QPointF> points = scatter->points();
      shown.emplace_back(points.begin(), points.end());
    }
  }
  qsizetype marks = 0;
  for (const std::vector<QPointF>& points : shown) marks += static_cast<qsizetype>(points.size());
  if (shown.size() == 2) {
    QElapsedTimer parity;
    parity.start();
    window->heatsPanel()->showParity(shown[0], shown[1]);
    QApplication::processEvents();
    state.counters["parityMs"] = static_cast<double>(parity.nsecsElapsed()) / 1e6;
  }
  state.counters["longestFrameMs"] = std::max(inImport, after);
  state.counters["importMs"] = inImport;
  state.counters["afterMs"] = after;
  state.counters["parityMarks"] = static_cast<double>(marks);
}
BENCHMARK(importHeatsFrames)->Unit(benchmark::kMillisecond)->Iterations(3);

void redrawWithHeats(benchmark::State& state) {
  auto window = openDiagram(Reaction::Cr2O3);
  if (window->importHeats(heatFile(100000))) state.SkipWithError("the heats could not be imported");
  QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    window->redraw();
    render(*window, image);
  }
}
BENCHMARK(redrawWithHeats)->Unit(benchmark::kMillisecond);

// The report of a schedule of 10,000 stages (plan shown, chart, table and
// ledger over about 300 pages) must take under 10 s.
void reportOfManyStages(benchmark::State& state) {
  auto window = openDiagram(Reaction::Cr2O3);
  Plan plan;
  plan.heat.mass = "80";
  plan.heat.startCarbon = "1.5";
  for (int i = 0; i < 10000; ++i) {
    plan.stages.push_back({"3:1", std::to_string(1600 + i % 200), std::to_string(0.6 - 0.0004 * (i % 1000)), ""});
  }
  QTemporaryDir folder;
  const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
  for (auto _ : state) {
    window->setPlan(plan);
    if (writePlanReport(*window, pdf)) state.SkipWithError("the report could not be written");
  }
}
BENCHMARK(reportOfManyStages)->Unit(benchmark::kMillisecond)->Iterations(1);

void dropOffscreenNoise(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
  if (type != QtDebugMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace
}  // namespace velkarin

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(velkarin::dropOffscreenNoise);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
