// SPDX-License-Identifier: Apache-2.0
// The plant's heats on the equilibrium diagram: imported from the batch
// tool's input CSV on a worker, each heat against its own equilibrium carbon
// on the chart, in the table and in the parity plot; the ΔG° line fitted to
// the ticked heats, adopted on request; the band of the preset rows.

#include <fcntl.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "calc/line_fit.h"
#include "calc/number_text.h"
#include "calc/reaction_data.h"
#include "io/descriptor_io.h"
#include "io/plant_heats_read.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/diagram_rows.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/file_drop.h"
#include "ui/diagram/heat_overlay.h"
#include "ui/diagram/heats_panel.h"
#include "ui/diagram/worker_progress.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"

namespace velkarin {

using namespace diagram;

namespace {

// Counts the bytes read, for the progress dialog.
class CountingSource final : public ByteSource {
 public:
  CountingSource(ByteSource& source, std::atomic<qint64>& count) : source_(source), count_(count) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t got = source_.read(buffer, size);
    count_ += static_cast<qint64>(got);
    return got;
  }

 private:
  ByteSource& source_;
  std::atomic<qint64>& count_;
};

struct ImportResult {
  PlantHeatsRead read;
  QString problem;  // the file cannot be opened or read
};

ImportResult readHeatFile(const QString& path, std::atomic<qint64>& bytes, const std::atomic<bool>& cancel) {
  ImportResult result;
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.problem = QString::fromLocal8Bit(std::strerror(errno));
    return result;
  }
  try {
    DescriptorSource file(fd);
    CountingSource counted(file, bytes);
    result.read = readPlantHeats(counted, [&] { return !cancel.load(); });
  } catch (const ReadFailure& failure) {
    result.problem = QString::fromLocal8Bit(std::strerror(failure.error()));
  }
  ::close(fd);
  return result;
}

// A fit explains this share of the heats' ΔG spread at least, or 采用 asks.
constexpr double leastTrustedR2 = 0.5;

// Why a fit's A and B (as they would be adopted) may not be worth adopting:
// a low R², a constant outside the span of the reaction's preset rows. Empty
// when there is no doubt.
QStringList fitDoubts(const FittedLineTexts& fitted, double r2, Reaction reaction) {
  QStringList doubts;
  if (r2 < leastTrustedR2) {
    doubts << QStringLiteral("R² = %1，低于%2")
                  .arg(toQString(formatPattern(r2, DigitPattern::Decimals3)), shortest(leastTrustedR2));
  }
  const PresetSpan span = presetSpan(reaction);
  const auto outside = [&](const char* name, const std::string& text, double low, double high, const char* unit) {
    const double value = readConstantText(text).value;
    if (value >= low && value <= high) return;
    doubts << QStringLiteral("%1 = %2 %3在预设值的范围%4～%5 %3之外")
                  .arg(QString::fromUtf8(name), toQString(text), QString::fromUtf8(unit), shortest(low),
                       shortest(high));
  };
  outside("A", fitted.a, span.lowA, span.highA, "J/mol");
  outside("B", fitted.b, span.lowB, span.highB, "J/(mol·K)");
  return doubts;
}

}  // namespace

std::optional<QString> EquilibriumDiagramWindow::importHeats(const QString& path) {
  std::atomic<qint64> bytes{0};
  std::atomic<bool> cancel{false};
  const qint64 size = std::max<qint64>(QFileInfo(path).size(), 1);
  // 取消 stops the reading between rows.
  ImportResult result = runWithProgress(
      this, QStringLiteral("导入炉次数据"), QStringLiteral("正在读取并计算炉次数据…"), 1000, cancel,
      [&] { return readHeatFile(path, bytes, cancel); },
      [&](QProgressDialog& progress) { progress.setValue(static_cast<int>(bytes * 1000 / size) % 1001); });
  const QString name = QDir::toNativeSeparators(path);
  if (!result.problem.isEmpty()) return QStringLiteral("无法读取“%1”：%2").arg(name, result.problem);
  if (result.read.error) {
    return QStringLiteral("无法导入“%1”：%2").arg(name, toQString(describe(*result.read.error)));
  }
  if (result.read.cancelled) return QStringLiteral("已取消：没有导入任何炉次");
  if (result.read.heats.empty()) return QStringLiteral("“%1”中没有炉次").arg(name);
  heats_ = std::move(result.read.heats);
  figures_.assign(heats_.size(), HeatFigures{});
  figuresFor_.reset();
  heatPointsShown_ = false;
  fittedLine_.reset();
  heatsPanel_->showFitResult(QString(), false);
  heatsPanel_->model()->reload();
  if (sheetTabs_->indexOf(heatsPanel_) < 0) {
    sheetTabs_->addTab(heatsPanel_, QStringLiteral("炉次数据"));
    chartTabs_->addTab(heatsPanel_->parity(), QStringLiteral("实测对比"));
    // The chart's tab bar that now shows takes no height from the chart:
    // the frame around the diagram grows by it (the workspace scrolls where
    // it lacks room). The sheets' tab bar shows from the start.
    if (QWidget* frame = parentWidget())
      frame->resize(frame->width(), frame->height() + chartTabs_->tabBar()->sizeHint().height());
  }
  showPlantHeats();
  return std::nullopt;
}

void EquilibriumDiagramWindow::askAndImportHeats(const QString& path) {
  if (const std::optional<QString> problem = importHeats(path)) {
    QMessageBox::warning(this, QStringLiteral("导入炉次数据"), *problem);
  }
}

// The heats' figures under the lines shown (recomputed when a line or the
// reaction changes), then the points, the table, the parity plot, the
// fitted curves and the band.
void EquilibriumDiagramWindow::showPlantHeats() {
  const Reaction shown = session_->entries().family.reaction;
  const std::array<double, 5> key{static_cast<double>(shown), session_->entries().family.line.a,
                                  session_->entries().family.line.b, session_->otherLine().a, session_->otherLine().b};
  if (figuresFor_ != key) {
    for (std::size_t i = 0; i < heats_.size(); ++i) {
      const PlantHeat& heat = heats_[i];
      figures_[i] =
          heat.state && heat.fault.empty()
              ? velkarin::heatFigures(heat.reaction,
                                      heat.reaction == shown ? session_->entries().family.line : session_->otherLine(),
                                      *heat.state)
              : HeatFigures{};
    }
    figuresFor_ = key;
    heatsPanel_->model()->figuresChanged();
    heatPointsShown_ = false;
  }
  if (heatPointsShown_) {
    // The same heats under the same lines: their points stand; the fitted
    // curves and the band follow the pressures and composition.
    showFittedCurves();
    showPresetRange();
    return;
  }
  std::vector<QPointF> gaining, losing, parityGaining, parityLosing;
  for (std::size_t i = 0; i < heats_.size(); ++i) {
    const PlantHeat& heat = heats_[i];
    if (heat.reaction != shown || !figures_[i].margin) continue;
    const double t = heat.state->temperature - constants::kelvinOffset;
    const bool gains = *figures_[i].margin >= 0;
    (gains ? gaining : losing).emplace_back(t, heat.state->carbon);
    (gains ? parityGaining : parityLosing).emplace_back(*figures_[i].equilibriumCarbon, heat.state->carbon);
  }
  if (heats_.empty() && !overlay_) return;
  if (!overlay_) {
    overlay_ = new HeatOverlay(*chartView_);
    connect(overlay_, &HeatOverlay::heatHovered, this, &EquilibriumDiagramWindow::describeHeatAt);
  }
  overlay_->showHeats(gaining, losing);
  heatPointsShown_ = true;
  chartView_->updateGeometry();  // two more legend entries: the chart may need more height
  heatsPanel_->showParity(parityGaining, parityLosing);
  showFittedCurves();
  showPresetRange();
}

// The pointer over a heat's point: the nearest heat of the shown reaction
// (points on one pixel are drawn once) by its name and figures.
void EquilibriumDiagramWindow::describeHeatAt(const QPointF& point) {
  const Reaction shown = session_->entries().family.reaction;
  std::optional<std::size_t> nearest;
  double best = HUGE_VAL;
  for (std::size_t i = 0; i < heats_.size(); ++i) {
    const PlantHeat& heat = heats_[i];
    if (heat.reaction != shown || !figures_[i].margin) continue;
    const double dt = (heat.state->temperature - constants::kelvinOffset - point.x()) / 10;
    const double dc = std::log10(heat.state->carbon) - std::log10(point.y());
    const double distance = dt * dt + dc * dc;
    if (distance < best) {
      best = distance;
      nearest = i;
    }
  }
  if (!nearest) return;
  const PlantHeat& heat = heats_[*nearest];
  const HeatFigures& f = figures_[*nearest];
  const QString name = heat.id.empty() ? QStringLiteral("第%1行的炉次").arg(heat.line)
                                       : QStringLiteral("炉次%1（第%2行）").arg(toQString(heat.id)).arg(heat.line);
  pointer_->setText(QStringLiteral("%1：t=%2℃，实测%3%C，p_CO=%4 Pa；平衡%5%C，余量%6%C，ΔG=%7 J/mol")
                        .arg(name, shortest(heat.state->temperature - constants::kelvinOffset),
                             shortest(heat.state->carbon), shortest(heat.state->coPressure),
                             toQString(formatPattern(*f.equilibriumCarbon, DigitPattern::Decimals6)),
                             toQString(formatPattern(*f.margin, DigitPattern::Decimals6)),
                             f.freeEnergy ? toQString(formatPattern(*f.freeEnergy, DigitPattern::Whole)) : QString()));
}

void EquilibriumDiagramWindow::fitHeats() {
  const Reaction shown = session_->entries().family.reaction;
  LineFit fit(shown);
  for (const PlantHeat& heat : heats_) {
    if (heat.reaction == shown && heat.fitted && heat.state) fit.add(*heat.state);
  }
  const LineFitResult r = fit.result();
  const QString name = toQString(reactionData(shown).name);
  if (r.problem != LineFitProblem::None) {
    fittedLine_.reset();
    const QString why = r.problem == LineFitProblem::TooFewHeats
                            ? QStringLiteral("%1：可用的炉次只有%2个（需要至少3个），无法拟合")
                        : r.problem == LineFitProblem::OneTemperature
                            ? QStringLiteral("%1：可用的%2个炉次温度相同，无法拟合斜率")
                            : QStringLiteral("%1：%2个炉次的温度或ΔG太大，拟合的和超出了数值范围，无法拟合");
    heatsPanel_->showFitResult(why.arg(name).arg(r.n), false);
    showFittedCurves();
    return;
  }
  fittedLine_ = ReactionLine{r.a, r.b};
  fittedR2_ = r.r2;
  const FittedLineTexts fitted = fittedLineTexts(r.a, r.b);
  heatsPanel_->showFitResult(
      QStringLiteral("%1：A = %2 ± %3 J/mol，B = %4 ± %5 J/(mol·K)，s = %6 J/mol，R² = %7，n = %8%9")
          .arg(name, toQString(fitted.a), toQString(formatPlain(std::round(r.seA))), toQString(fitted.b),
               toQString(formatPattern(r.seB, DigitPattern::Decimals3)), toQString(formatPlain(std::round(r.sdG))),
               toQString(formatPattern(r.r2, DigitPattern::Decimals3)))
          .arg(r.n)
          .arg(r.excluded ? QStringLiteral("（%1个不可用）").arg(r.excluded) : QString()),
      true);
  showFittedCurves();
}

bool EquilibriumDiagramWindow::adoptFit() {
  if (!fittedLine_) return false;
  // The digits the fit supports, as the fit result shows them.
  const FittedLineTexts fitted = fittedLineTexts(fittedLine_->a, fittedLine_->b);
  const QStringList doubts = fitDoubts(fitted, fittedR2_, session_->entries().family.reaction);
  if (!doubts.isEmpty()) {
    QMessageBox ask(QMessageBox::Question, QStringLiteral("采用拟合结果"),
                    QStringLiteral("拟合结果可疑：%1。仍然采用吗？").arg(doubts.join(QStringLiteral("；"))),
                    QMessageBox::NoButton, this);
    QPushButton* adopt = ask.addButton(QStringLiteral("采用"), QMessageBox::AcceptRole);
    QPushButton* cancel = ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    ask.setDefaultButton(cancel);
    ask.setEscapeButton(cancel);
    ask.exec();
    if (ask.clickedButton() != adopt) return false;
  }
  document_->editEntries({{"A", fitted.a}, {"B", fitted.b}}, QStringLiteral("采用拟合结果"));
  return true;
}

void EquilibriumDiagramWindow::showFittedCurves() {
  if (!overlay_) return;
  std::vector<EquilibriumCurve> curves;
  if (fittedLine_) {
    CurveFamilyInputs fitted = session_->entries().family;
    fitted.line = *fittedLine_;
    curves = equilibriumCurveFamily(fitted);
  }
  overlay_->showFitted(curves);
}

// For each pressure, the lowest and highest equilibrium carbon of the
// reaction's preset rows at every temperature.
void EquilibriumDiagramWindow::showPresetRange() {
  if (!overlay_) return;
  std::vector<std::pair<EquilibriumCurve, EquilibriumCurve>> bands;
  if (heatsPanel_->presetRange()) {
    const ReactionData& reactionTable = reactionData(session_->entries().family.reaction);
    std::vector<std::vector<EquilibriumCurve>> families;
    for (const PresetRow& row : reactionTable.presets) {
      CurveFamilyInputs preset = session_->entries().family;
      if (const std::optional<ReactionLine> line = readReactionLine({std::string(row.a), std::string(row.b)})) {
        preset.line = *line;
        families.push_back(equilibriumCurveFamily(preset));
      }
    }
    for (std::size_t p = 0; !families.empty() && p < families.front().size(); ++p) {
      EquilibriumCurve low = families.front()[p], high = families.front()[p];
      for (const std::vector<EquilibriumCurve>& family : families) {
        for (std::size_t k = 0; k < family[p].points.size(); ++k) {
          const std::optional<double>& c = family[p].points[k].carbon.carbon;
          if (!c) continue;
          std::optional<double>& lo = low.points[k].carbon.carbon;
          std::optional<double>& hi = high.points[k].carbon.carbon;
          if (!lo || *c < *lo) lo = c;
          if (!hi || *c > *hi) hi = c;
        }
      }
      bands.emplace_back(std::move(low), std::move(high));
    }
  }
  overlay_->showBands(bands);
}

void EquilibriumDiagramWindow::dragEnterEvent(QDragEnterEvent* event) { acceptDroppableFile(*event); }

void EquilibriumDiagramWindow::dropEvent(QDropEvent* event) {
  const DroppedFile file = takeDroppedFile(*event);
  if (file.kind != DroppedFile::Kind::None) openDroppedFile(file);
}

// A plan opens at once (asking first when the plan shown was changed); a
// CSV's heats are imported after the drag's own event loop has ended, since
// the import shows a progress dialog.
void EquilibriumDiagramWindow::openDroppedFile(const DroppedFile& file) {
  if (file.kind == DroppedFile::Kind::Plan) {
    askAndOpenPlan(file.path);
  } else if (file.kind == DroppedFile::Kind::Heats) {
    QTimer::singleShot(0, this, [this, path = file.path] { askAndImportHeats(path); });
  }
}

}  // namespace velkarin
