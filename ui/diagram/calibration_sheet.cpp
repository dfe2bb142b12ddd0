// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/calibration_sheet.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStringList>
#include <QTabWidget>
#include <atomic>
#include <cstring>

#include "calc/file_read.h"
#include "io/heat_log.h"
#include "ui/common/qt_text.h"
#include "ui/diagram/calibration_panel.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/worker_progress.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"

namespace velkarin {

namespace {

// A heat log holds a row per stage: more than this is no log of a plant.
constexpr std::size_t maxHeatLogBytes = std::size_t{256} << 20;

struct LogImport {
  QString problem;  // the file cannot be read, or is no heat log
  HeatLogRead log;
  Calibration fit;
};

LogImport readAndFit(const QString& path, const SimulationHeat& settings, std::atomic<int>& phase,
                     const std::atomic<bool>& cancel) {
  LogImport result;
  const FileRead file = readRegularFile(QFile::encodeName(path).toStdString(), maxHeatLogBytes);
  if (file.fault != FileReadFault::None) {
    result.problem = file.fault == FileReadFault::NotRegular ? QStringLiteral("不是普通文件")
                     : file.fault == FileReadFault::TooLarge
                         ? QStringLiteral("文件大于%1 MiB").arg(maxHeatLogBytes >> 20)
                         : QString::fromLocal8Bit(std::strerror(file.error));
    return result;
  }
  const auto keepGoing = [&] { return !cancel.load(); };
  StringSource source(file.bytes);
  result.log = readHeatLog(source, settings, keepGoing);
  if (result.log.error || result.log.cancelled) return result;
  phase = 1;
  CalibrationSettings fitting;
  fitting.keepGoing = keepGoing;
  result.fit = calibrateBlow(result.log.heats, fitting);
  return result;
}

}  // namespace

CalibrationSheet::CalibrationSheet(PlanDocument& document, const PlanSession& session, const SheetPlaces& places)
    : QObject(places.window), document_(document), session_(session), places_(places) {}

std::optional<QString> CalibrationSheet::importHeatLog(const QString& path) {
  SimulationHeat settings;
  settings.lines = session_.stages().settings.lines;
  settings.mixture = session_.stages().settings.mixture;
  std::atomic<int> phase{0};
  std::atomic<bool> cancel{false};
  LogImport result = runWithProgress(
      places_.window, QStringLiteral("导入炉次记录"), QStringLiteral("正在读取炉次记录…"), 0, cancel,
      [&, settings] { return readAndFit(path, settings, phase, cancel); },
      [&](QProgressDialog& progress) {
        if (phase == 1) progress.setLabelText(QStringLiteral("正在拟合k和L（含5折交叉验证）…"));
      });
  const QString name = QDir::toNativeSeparators(path);
  if (!result.problem.isEmpty()) return QStringLiteral("无法读取“%1”：%2").arg(name, result.problem);
  if (result.log.error) {
    return QStringLiteral("无法导入“%1”：%2").arg(name, toQString(describe(*result.log.error)));
  }
  if (result.log.cancelled || result.fit.problem == CalibrationProblem::Cancelled) {
    return QStringLiteral("已取消：没有导入炉次记录");
  }
  if (result.log.heats.empty() && result.log.faults.empty()) return QStringLiteral("“%1”中没有炉次").arg(name);
  loggedHeats_ = std::move(result.log.heats);
  loggedLeftOut_ = result.log.excluded;
  calibration_ = std::move(result.fit);
  if (!calibrationPanel_) {
    calibrationPanel_ = new CalibrationPanel(places_.window);
    connect(calibrationPanel_, &CalibrationPanel::adoptRequested, this, &CalibrationSheet::adoptCalibration);
    connect(calibrationPanel_, &CalibrationPanel::heatChosen, this, &CalibrationSheet::showLoggedHeat);
    places_.sheetTabs->addTab(calibrationPanel_, QStringLiteral("模型校准"));
  }
  calibrationPanel_->showCalibration(*calibration_, loggedHeats_, loggedLeftOut_);
  places_.sheetTabs->setCurrentWidget(calibrationPanel_);
  places_.chart->showLoggedHeat({}, {});
  {
    QStringList lines;  // the rows left out, as a tooltip of the sheet
    for (const HeatLogFault& fault : result.log.faults) {
      if (lines.size() == 10) break;
      lines << QStringLiteral("第%1行：%2（炉次%3未用）")
                   .arg(fault.line)
                   .arg(toQString(fault.message), toQString(fault.heat));
    }
    calibrationPanel_->setToolTip(lines.join(QLatin1Char('\n')));
  }
  return std::nullopt;
}

void CalibrationSheet::askAndImportHeatLog(const QString& path) {
  if (const std::optional<QString> problem = importHeatLog(path)) {
    QMessageBox::warning(places_.window, QStringLiteral("导入炉次记录"), *problem);
  }
}

bool CalibrationSheet::adoptCalibration() {
  if (!calibration_ || calibration_->problem != CalibrationProblem::None) return false;
  const Calibration& fit = *calibration_;
  if (calibrationNeedsQuestion(fit)) {
    const auto answer = QMessageBox::question(
        places_.window, QStringLiteral("采用校准结果"),
        QStringLiteral("留出检验的误差超过拟合误差的两倍：k和L对未参与拟合的炉次预测得不好。仍然采用吗？"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return false;
  }
  document_.editEntries(
      {{"heat/rateConstant", calibrationFigureText(fit.rateConstant, fit.rateConstantError).toStdString()},
       {"heat/heatLoss", calibrationFigureText(fit.heatLoss, fit.heatLossError).toStdString()}},
      QStringLiteral("采用校准结果"));
  return true;
}

void CalibrationSheet::showLoggedHeat(std::size_t heat) {
  if (!calibration_ || calibration_->problem != CalibrationProblem::None || heat >= loggedHeats_.size()) {
    places_.chart->showLoggedHeat({}, {});
    return;
  }
  const LoggedHeat& logged = loggedHeats_[heat];
  QList<QPointF> path, measured;
  if (const auto sim = simulateLoggedHeat(logged, calibration_->rateConstant, calibration_->heatLoss)) {
    for (const PathSample& p : sim->path) path << QPointF(p.temperature, p.carbon);
  }
  for (std::size_t i = 0; i < logged.stages.size(); ++i) {
    if (logged.endCarbon[i] && logged.endTemperature[i])
      measured << QPointF(*logged.endTemperature[i], *logged.endCarbon[i]);
  }
  places_.chart->showLoggedHeat(path, measured);
}

}  // namespace velkarin
