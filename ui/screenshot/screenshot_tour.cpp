// SPDX-License-Identifier: Apache-2.0
// velkarin-screenshot: starts the program's frame on the current display,
// computes both worked examples through the real windows (every prompt
// confirmed with its default) and saves pictures of the screen area of the
// frame: prompt.png (the first prompt of Form1), form1.png, form2.png and
// diagram.png (the equilibrium diagram opened from Form1, with the worked
// example's heat on it), late-blow.png (Form1 after a step-over) and
// planning-a-blow.png (three blow stages on the diagram, both oxides, a
// target), simulating-a-blow.png (the README's simulated heat),
// calibrating-the-simulation.png (examples/heat-log.csv fitted) in the folder
// given as the first argument; with --diagram-only
// NAME, only the planned blow, as NAME (for other screens and scale factors). Also prints
// the start-up time, and fails when a window does not show whole in the
// workspace.
//
//   xvfb-run -a -s "-screen 0 1366x768x24" velkarin-screenshot build/screenshots

#include "ui/screenshot/screenshot_tour.h"

#include <unistd.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/common/qt_translation.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/stage_table.h"

namespace {

// Milliseconds since this process was started by the kernel (10 ms steps):
// covers loading the libraries too, which a timer started in main() misses.
long long millisecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream fields(line.substr(line.rfind(')') + 2));  // after "pid (name) "
  std::string field;
  for (int i = 3; i < 22 && fields >> field;) ++i;  // skip to field 22, starttime
  long long startTicks = 0;
  fields >> startTicks;
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const long long ticksPerSecond = sysconf(_SC_CLK_TCK);
  return (now.tv_sec * 1000LL + now.tv_nsec / 1000000) - startTicks * 1000 / ticksPerSecond;
}

// A child window must show whole in the workspace on a screen of 1366 × 768
// or larger.
bool wholeWindowVisible(const QWidget* window) {
  const QWidget* subWindow = window->parentWidget();
  const QWidget* viewport = subWindow->parentWidget();
  const bool whole = viewport->rect().contains(subWindow->geometry());
  if (!whole) {
    std::fprintf(stderr, "%s is not wholly visible: sub-window %dx%d+%d+%d in a workspace of %dx%d\n",
                 qPrintable(window->objectName()), subWindow->width(), subWindow->height(), subWindow->x(),
                 subWindow->y(), viewport->width(), viewport->height());
  }
  return whole;
}

// Lets the window system draw what was just shown.
void settle(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

bool save(const QWidget& frame, const QString& path) {
  const QRect area = frame.frameGeometry();
  const QPixmap picture = frame.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  const bool saved = picture.save(path);
  std::fprintf(stderr, "%s %s (%dx%d)\n", saved ? "wrote" : "could not write", qPrintable(path), picture.width(),
               picture.height());
  return saved;
}

// Confirms every prompt, with the next of `answers` typed in while there is
// one and with its pre-filled default after that; the first prompt of the run
// is photographed first. Any other modal dialog is reported and closed.
class PromptAnswerer : public QObject {
 public:
  PromptAnswerer(const QWidget& frame, QString promptPicture, QStringList answers = {})
      : frame_(frame), promptPicture_(std::move(promptPicture)), answers_(std::move(answers)) {
    connect(&timer_, &QTimer::timeout, this, &PromptAnswerer::answer);
    timer_.start(20);
  }
  bool ok() const { return ok_; }

 private:
  void answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
      if (!promptPicture_.isEmpty()) {
        settle(200);
        ok_ = save(frame_, promptPicture_) && ok_;
        promptPicture_.clear();
      }
      if (!answers_.isEmpty()) prompt->setTextValue(answers_.takeFirst());
      prompt->accept();
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      std::fprintf(stderr, "unexpected message: %s\n", qPrintable(box->text()));
      ok_ = false;
      box->reject();
    }
  }

  const QWidget& frame_;
  QString promptPicture_;
  QStringList answers_;
  QTimer timer_;
  bool ok_ = true;
};

// Form1 in the late blow: 1700 °C, 0.02 %C, 18 %Cr, 9 %Ni, 0.3 %Si, 1.2 %Mn
// at 5000 Pa CO, where the scan steps over its window.
bool lateBlow(velkarin::MainFrame& frame, const QDir& folder) {
  bool ok = true;
  frame.findChild<QAction*>(QStringLiteral("脱碳计算1"))->trigger();
  {
    PromptAnswerer answerer(frame, QString(), {"1700", "0.02", "18", "9", "0.3", "1.2", "5000"});
    frame.calculationWindow(velkarin::Reaction::Cr2O3)->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    ok = answerer.ok() && ok;
  }
  settle(300);
  // With the tooltip of Text4, as the pointer resting on it shows it.
  const auto* text4 =
      frame.calculationWindow(velkarin::Reaction::Cr2O3)->findChild<QLineEdit*>(QStringLiteral("Text4"));
  QToolTip::showText(text4->mapToGlobal(QPoint(text4->width() / 2, text4->height())), text4->toolTip(), nullptr);
  settle(300);
  ok = save(frame, folder.filePath(QStringLiteral("late-blow.png"))) && ok;
  QToolTip::hideText();
  return ok;
}

// The diagram planning the README's blow: 3:1 at 1600 °C (0.60 %C
// measured), 1:1 at 1680 °C (0.15 %C), 1:3 at 1720 °C (0.04 %C), 18 %Cr
// 9 %Ni, both oxides, target 0.03 %C, its ledger for an 80 t heat from
// 1.5 %C with the oxygen from η; Form1's list cleared first, so no heat
// path stands in the picture.
bool planBlow(velkarin::MainFrame& frame, const QDir& folder,
              const QString& picture = QStringLiteral("planning-a-blow.png"), bool requireWhole = true) {
  frame.calculationWindow(velkarin::Reaction::Cr2O3)->findChild<QPushButton*>(QStringLiteral("Command3"))->click();
  frame.findChild<QAction*>(QStringLiteral("平衡曲线图"))->trigger();
  velkarin::EquilibriumDiagramWindow* diagram = frame.diagramWindow();
  const auto set = [diagram](const char* name, const char* text) {
    diagram->findChild<QLineEdit*>(QString::fromUtf8(name))->setText(QString::fromUtf8(text));
  };
  for (const auto& [name, text] : {std::pair{"Cr", "18"},
                                   {"Ni", "9"},
                                   {"Si", "0"},
                                   {"Mn", "0"},
                                   {"pressures", "3:1, 1:1, 1:3"},
                                   {"target", "0.03"},
                                   {"heatMass", "80"},
                                   {"startCarbon", "1.5"}}) {
    set(name, text);
  }
  diagram->findChild<QCheckBox*>(QStringLiteral("bothOxides"))->setChecked(true);
  velkarin::StageTable* stages = diagram->stageTable();
  while (stages->currentStage()) stages->removeCurrentStage();
  stages->insertStage(0, {"3:1", "1600", "0.60"});
  stages->insertStage(1, {"1:1", "1680", "0.15"});
  stages->insertStage(2, {"1:3", "1720", "0.04"});
  emit stages->solveTemperature();
  settle(300);
  // On a small logical screen (a high scale factor) the diagram keeps the
  // size its chart needs and the workspace scrolls.
  const bool whole = wholeWindowVisible(diagram) || !requireWhole;
  return save(frame, folder.filePath(picture)) && whole;
}

// The README's simulated 80 t heat (examples/blow.csv) on the planned
// diagram, maximised: the predicted path on the chart and 吹炼模拟 under it.
bool simulatedBlow(velkarin::MainFrame& frame, const QDir& folder) {
  velkarin::EquilibriumDiagramWindow* diagram = frame.diagramWindow();
  for (const auto& [name, text] : {std::pair{"Si", "0.3"},
                                   {"Mn", "1"},
                                   {"target", ""},
                                   {"heatMass", "80"},
                                   {"startCarbon", "1.6"},
                                   {"oxygenFlow", "60"},
                                   {"startTemperature", "1550"}}) {
    diagram->findChild<QLineEdit*>(QString::fromUtf8(name))->setText(QString::fromUtf8(text));
  }
  diagram->findChild<QCheckBox*>(QStringLiteral("bothOxides"))->setChecked(false);
  velkarin::StageTable* stages = diagram->stageTable();
  while (stages->currentStage()) stages->removeCurrentStage();
  const velkarin::BlowStage blow[] = {
      {"4:1", "", "0.80", "", "3000", "", ""}, {"3:1", "", "0.45", "", "", "2500", ""},
      {"2:1", "", "0.25", "", "", "2000", ""}, {"1:1", "", "0.13", "", "1000", "2000", ""},
      {"1:2", "", "0.08", "", "", "2000", ""}, {"1:3", "", "", "250", "", "1500", "Ar"},
  };
  for (int i = 0; i < 6; ++i) stages->insertStage(i, blow[i]);
  diagram->findChild<QCheckBox*>(QStringLiteral("simulate"))->setChecked(true);
  diagram->adoptSimulatedTemperatures();
  diagram->parentWidget()->showMaximized();
  settle(400);
  const bool saved = save(frame, folder.filePath(QStringLiteral("simulating-a-blow.png")));
  diagram->parentWidget()->showNormal();
  return saved;
}

// examples/heat-log.csv imported on the simulated diagram: 模型校准 with
// its parity plots, the first heat's path on the chart, maximised.
bool calibratedSimulation(velkarin::MainFrame& frame, const QDir& folder) {
  velkarin::EquilibriumDiagramWindow* diagram = frame.diagramWindow();
  const QString log = QStringLiteral(VELKARIN_EXAMPLES_DIR "/heat-log.csv");
  if (const std::optional<QString> problem = diagram->importHeatLog(log)) {
    std::fprintf(stderr, "%s\n", qPrintable(*problem));
    return false;
  }
  diagram->showLoggedHeat(0);
  diagram->parentWidget()->showMaximized();
  settle(400);
  const bool saved = save(frame, folder.filePath(QStringLiteral("calibrating-the-simulation.png")));
  diagram->parentWidget()->showNormal();
  return saved;
}

}  // namespace

namespace velkarin {

int runScreenshotTour(int argc, char* argv[]) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  QApplication app(argc, argv);
  const bool diagramOnly = argc == 4 && std::string(argv[2]) == "--diagram-only";
  if (argc != 2 && !diagramOnly) {
    std::fputs("usage: velkarin-screenshot <folder> [--diagram-only NAME.png]\n", stderr);
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  velkarin::installQtChineseTranslation(app);

  velkarin::MainFrame frame;
  frame.start();
  while (!frame.windowHandle() || !frame.windowHandle()->isExposed())
    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QApplication::processEvents();
  std::fprintf(stderr, "start-up: frame shown %lld ms after main(), %lld ms after the process started\n",
               static_cast<long long>(sinceStart.elapsed()), millisecondsSinceProcessStart());

  // The planned blow alone, for the pictures at other screen sizes and
  // scale factors (QT_SCALE_FACTOR).
  if (diagramOnly) return planBlow(frame, folder, QString::fromLocal8Bit(argv[3]), false) ? 0 : 1;

  bool ok = wholeWindowVisible(frame.calculationWindow(velkarin::Reaction::Cr2O3));
  {
    PromptAnswerer answerer(frame, folder.filePath(QStringLiteral("prompt.png")));
    frame.calculationWindow(velkarin::Reaction::Cr2O3)->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    ok = answerer.ok() && ok;
  }
  settle(300);
  ok = save(frame, folder.filePath(QStringLiteral("form1.png"))) && ok;

  frame.findChild<QAction*>(QStringLiteral("脱碳计算2"))->trigger();
  ok = wholeWindowVisible(frame.calculationWindow(velkarin::Reaction::Cr3O4)) && ok;
  {
    PromptAnswerer answerer(frame, QString());
    frame.calculationWindow(velkarin::Reaction::Cr3O4)->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    ok = answerer.ok() && ok;
  }
  settle(300);
  ok = save(frame, folder.filePath(QStringLiteral("form2.png"))) && ok;

  // The diagram from Form1: Cr2O3, its presets and the worked example's heat.
  frame.findChild<QAction*>(QStringLiteral("脱碳计算1"))->trigger();
  frame.findChild<QAction*>(QStringLiteral("平衡曲线图"))->trigger();
  ok = wholeWindowVisible(frame.diagramWindow()) && ok;
  settle(300);
  ok = save(frame, folder.filePath(QStringLiteral("diagram.png"))) && ok;

  ok = lateBlow(frame, folder) && ok;
  ok = planBlow(frame, folder) && ok;
  ok = simulatedBlow(frame, folder) && ok;
  ok = calibratedSimulation(frame, folder) && ok;
  return ok ? 0 : 1;
}

}  // namespace velkarin
