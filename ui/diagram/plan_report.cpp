// SPDX-License-Identifier: Apache-2.0
#include "ui/diagram/plan_report.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>
#include <QTextLayout>
#include <algorithm>
#include <tuple>
#include <vector>

#include "calc/blow_stage.h"
#include "calc/plan.h"
#include "calc/plan_evaluation.h"
#include "calc/reaction_data.h"
#include "calc/version.h"
#include "ui/common/qt_text.h"
#include "ui/common/song_font.h"
#include "ui/common/text_file.h"
#include "ui/diagram/equilibrium_chart_view.h"
#include "ui/diagram/equilibrium_diagram_window.h"
#include "ui/diagram/session_view.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"
#include "words/chinese.h"
#include "words/simulation_table.h"

namespace velkarin {
namespace {

using Rows = std::vector<QStringList>;

// The chart as the report draws it, px: scaled to the page's width.
const QSize reportChartSize(960, 600);

// Lays out the report top to bottom in device pixels, starting a page where
// the next block does not fit.
class ReportWriter {
 public:
  ReportWriter(QPagedPaintDevice& device, QPainter& painter, QString footer)
      : device_(device), painter_(painter), footer_(std::move(footer)) {
    page_ = painter.viewport();
    mm_ = device.logicalDpiY() / 25.4;
    area_ = QRectF(page_).adjusted(0, 0, 0, -8 * mm_);  // room for the footer
    y_ = area_.top();
    paintFooter();
  }

  double mm() const { return mm_; }
  double width() const { return area_.width(); }

  void text(const QString& text, double points, bool bold = false) {
    painter_.setFont(font(points, bold));
    const QRectF bounds =
        painter_.boundingRect(QRectF(area_.left(), 0, area_.width(), 1e6), Qt::TextWordWrap | Qt::AlignLeft, text);
    if (bounds.height() > area_.height()) {
      flow(text, font(points, bold));
      return;
    }
    ensure(bounds.height());
    painter_.setFont(font(points, bold));  // a new page's footer set its own
    painter_.drawText(QRectF(area_.left(), y_, area_.width(), bounds.height()), Qt::TextWordWrap | Qt::AlignLeft, text);
    y_ += bounds.height() + 1 * mm_;
  }

  void space(double millimetres) { y_ += millimetres * mm_; }

  // A text taller than a page (a long note), laid out line by line and
  // continued on the next page wherever a line would reach the footer.
  void flow(const QString& text, const QFont& font) {
    for (QString paragraph : text.split(QLatin1Char('\n'))) {
      if (paragraph.endsWith(QLatin1Char('\r'))) paragraph.chop(1);
      QTextLayout layout(paragraph, font, &device_);
      QTextOption option;
      option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
      layout.setTextOption(option);
      layout.beginLayout();
      for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area_.width());
      }
      layout.endLayout();
      for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        ensure(line.height());
        line.draw(&painter_, QPointF(area_.left(), y_ - line.y()));
        y_ += line.height();
      }
      if (layout.lineCount() == 0) y_ += QFontMetricsF(font, &device_).height();
    }
    y_ += 1 * mm_;
  }

  // The chart scaled into the text width, at most `maxHeight` mm tall.
  void chart(const EquilibriumChartView& view, double maxHeight) {
    const QSizeF size = view.size();
    if (size.isEmpty()) return;
    const double scale = std::min(area_.width() / size.width(), maxHeight * mm_ / size.height());
    const QRectF target(area_.left(), 0, size.width() * scale, size.height() * scale);
    ensure(target.height());
    const_cast<EquilibriumChartView&>(view).render(&painter_, target.translated(0, y_),
                                                   QRect(QPoint(0, 0), view.size()));
    y_ += target.height() + 2 * mm_;
  }

  // A table, the first row its header; the font steps down until it fits the width.
  void table(const Rows& rows, double points) {
    if (rows.empty()) return;
    std::size_t columns = 0;
    for (const QStringList& row : rows) columns = std::max(columns, static_cast<std::size_t>(row.size()));
    std::vector<double> widths;
    for (; points > 4; points -= 0.5) {
      widths = columnWidths(rows, columns, points);
      double total = 0;
      for (double w : widths) total += w;
      if (total <= area_.width()) break;
    }
    const QFontMetricsF metrics(font(points, false), &device_);
    const double rowHeight = metrics.height() + 1.2 * mm_;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (ensure(rowHeight) && r > 0) paintRow(rows[0], widths, rowHeight, points, true);
      paintRow(rows[r], widths, rowHeight, points, r == 0);
    }
    y_ += 2 * mm_;
  }

 private:
  // Latin letters and digits from a Latin face, the Chinese from the
  // Simplified-Chinese face (fonts-noto-cjk), then the Song faces: set in one
  // run with the Chinese, the CJK face's digits reach the PDF without their
  // characters, and a search of the report or pdftotext would miss the
  // figures. Named, not left to the fallback, which takes the Japanese face.
  QFont font(double points, bool bold) const {
    QFont f = songFont(10);
    f.setFamilies(QStringList{QStringLiteral("DejaVu Serif"), QStringLiteral("Noto Sans CJK SC")} + f.families());
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
  }

  std::vector<double> columnWidths(const Rows& rows, std::size_t columns, double points) const {
    std::vector<double> widths(columns, 0);
    const QFontMetricsF plain(font(points, false), &device_);
    const QFontMetricsF bold(font(points, true), &device_);
    for (std::size_t r = 0; r < rows.size(); ++r) {
      for (std::size_t c = 0; c < static_cast<std::size_t>(rows[r].size()); ++c) {
        const QFontMetricsF& metrics = r == 0 ? bold : plain;
        widths[c] = std::max(widths[c], metrics.horizontalAdvance(rows[r][static_cast<qsizetype>(c)]) + 1.6 * mm_);
      }
    }
    return widths;
  }

  void paintRow(const QStringList& row, const std::vector<double>& widths, double height, double points, bool header) {
    painter_.setFont(font(points, header));
    double x = area_.left();
    painter_.setPen(QPen(QColor(0x90, 0x90, 0x90), 0.15 * mm_));
    for (std::size_t c = 0; c < widths.size(); ++c) {
      const QRectF cell(x, y_, widths[c], height);
      if (header) painter_.fillRect(cell, QColor(0xe8, 0xe8, 0xe8));
      painter_.drawRect(cell);
      if (c < static_cast<std::size_t>(row.size())) {
        painter_.setPen(Qt::black);
        painter_.drawText(cell.adjusted(0.8 * mm_, 0, -0.8 * mm_, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          row[static_cast<qsizetype>(c)]);
        painter_.setPen(QPen(QColor(0x90, 0x90, 0x90), 0.15 * mm_));
      }
      x += widths[c];
    }
    painter_.setPen(Qt::black);
    y_ += height;
  }

  // Starts a new page when `height` does not fit below; true when it did.
  bool ensure(double height) {
    if (y_ + height <= area_.bottom() || y_ <= area_.top()) return false;
    device_.newPage();
    ++pageNumber_;
    y_ = area_.top();
    paintFooter();
    return true;
  }

  void paintFooter() {
    painter_.setFont(font(7, false));
    painter_.drawText(QRectF(page_.left(), page_.bottom() - 6 * mm_, page_.width(), 6 * mm_),
                      Qt::AlignBottom | Qt::AlignLeft, footer_);
    painter_.drawText(QRectF(page_.left(), page_.bottom() - 6 * mm_, page_.width(), 6 * mm_),
                      Qt::AlignBottom | Qt::AlignRight, QStringLiteral("第%1页").arg(pageNumber_));
  }

  QPagedPaintDevice& device_;
  QPainter& painter_;
  QString footer_;
  QRectF page_, area_;
  double mm_ = 1;
  double y_ = 0;
  int pageNumber_ = 1;
};

Rows rowsOf(const std::vector<std::vector<std::string>>& table) {
  Rows rows;
  for (const std::vector<std::string>& row : table) {
    QStringList cells;
    for (const std::string& cell : row) cells << toQString(cell);
    rows.push_back(cells);
  }
  return rows;
}

Rows rowsOfTsv(const QString& tsv) {
  Rows rows;
  for (const QString& line : tsv.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    QString trimmed = line;
    if (trimmed.endsWith(QLatin1Char('\r'))) trimmed.chop(1);
    rows.push_back(trimmed.split(QLatin1Char('\t')));
  }
  return rows;
}

QString conditionsText(const Plan& plan) {
  const auto q = [](const std::string& s) { return toQString(s); };
  const QString shown = toQString(reactionData(plan.reaction).name);
  const QString other = toQString(reactionData(otherReaction(plan.reaction)).name);
  QStringList lines;
  lines << QStringLiteral("反应：%1  A=%2 J/mol  B=%3 J/(mol·K)；%4  A=%5  B=%6%7")
               .arg(shown, q(plan.constants.a), q(plan.constants.b), other, q(plan.otherConstants.a),
                    q(plan.otherConstants.b), plan.bothOxides ? QStringLiteral("（两种氧化物）") : QString());
  lines << QStringLiteral("[%Cr]=%1  [%Ni]=%2  [%Si]=%3  [%Mn]=%4（质量%）")
               .arg(q(plan.composition.chromium), q(plan.composition.nickel), q(plan.composition.silicon),
                    q(plan.composition.manganese));
  lines << QStringLiteral("CO分压或气体比：%1；总压P=%2 Pa；η=%3；目标C浓度：%4")
               .arg(q(plan.pressures), q(plan.totalPressure), q(plan.coShare),
                    plan.target.empty() ? QStringLiteral("无") : q(plan.target) + QStringLiteral(" %C"));
  return lines.join(QLatin1Char('\n'));
}

// The blow ledger, when the heat is filled in: its heading names every heat
// entry the ledger was booked with.
void paintLedger(ReportWriter& report, const Plan& plan, const PlanSession& session) {
  const HeatCharge heat = heatOf(plan.heat, 0, 18);
  if (plan.stages.empty() || !heat.massTonnes || !heat.startCarbon) return;
  const QString flow = plan.heat.oxygenFlow.empty()
                           ? QString()
                           : QStringLiteral("，O2流量=%1 Nm³/min").arg(toQString(plan.heat.oxygenFlow));
  report.text(QStringLiteral("物料平衡（钢水量W=%1 t，初始%C=%2%3，FeSi品位=%4%，碱度=%5）")
                  .arg(toQString(plan.heat.mass), toQString(plan.heat.startCarbon), flow,
                       toQString(plan.heat.fesiGrade), toQString(plan.heat.basicity)),
              10, true);
  const StageEvaluation& stages = session.stages();
  report.table(rowsOfTsv(toQString(ledgerTsv(ledgerTable(plan.stages, stages.results, stages.ledger)))), 8);
}

// What the stages add and blow, which the stage table does not show.
QString stageInputs(const Plan& plan) {
  QStringList given;
  for (std::size_t i = 0; i < plan.stages.size(); ++i) {
    const BlowStage& st = plan.stages[i];
    QStringList parts;
    for (const auto& [label, text, unit] :
         {std::tuple{"O2", &st.oxygen, " Nm³"}, std::tuple{"石灰", &st.lime, " kg"},
          std::tuple{"废钢", &st.scrap, " kg"}, std::tuple{"惰性气体", &st.inert, ""}}) {
      if (!text->empty())
        parts << QString::fromUtf8(label) + QLatin1Char(' ') + toQString(*text) + QString::fromUtf8(unit);
    }
    if (!parts.isEmpty()) given << QStringLiteral("第%1段 %2").arg(i + 1).arg(parts.join(QStringLiteral("、")));
  }
  return given.isEmpty() ? QString() : QStringLiteral("各段输入：") + given.join(QStringLiteral("；"));
}

// The simulated blow, while it is simulated: its entries, the stages'
// inputs, its stage table and the reduction's figures as one line.
void paintSimulation(ReportWriter& report, const Plan& plan, const PlanSession& session) {
  const std::optional<BlowSimulation>& sim = session.simulation();
  if (!sim) return;
  report.text(
      QStringLiteral("吹炼模拟（初始温度=%1℃，初始渣量=%2 kg，脱碳速率常数k=%3 1/min，散热=%4 ℃/min，"
                     "还原时间=%5 min）")
          .arg(toQString(plan.heat.startTemperature), toQString(plan.heat.slagMass), toQString(plan.heat.rateConstant),
               toQString(plan.heat.heatLoss), toQString(plan.heat.reductionTime)),
      10, true);
  if (const QString given = stageInputs(plan); !given.isEmpty()) report.text(given, 8);
  const QString tsv = toQString(simulationTsv(*sim, session.simulationInput().stages));
  report.table(rowsOfTsv(tsv.section(QStringLiteral("\n\n"), 0, 0)), 7);
  QStringList reduction;
  for (const QStringList& row : rowsOfTsv(tsv.section(QStringLiteral("\n\n"), 1)))
    reduction << row.join(QLatin1Char('='));
  report.text(reduction.join(QStringLiteral("，")), 8);
}

QString fileNameOf(const PlanDocument& document) {
  return document.path().isEmpty() ? QStringLiteral("（未保存的方案）") : QFileInfo(document.path()).fileName();
}

}  // namespace

bool paintPlanReport(const PlanDocument& document, const PlanSession& session, QPagedPaintDevice& device,
                     const QDateTime& made) {
  device.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter));
  QPainter painter;
  if (!painter.begin(&device)) return false;
  const Plan& plan = document.plan();
  ReportWriter report(device, painter, QStringLiteral("Velkarin %1").arg(toQString(version)));
  report.text(QStringLiteral("吹炼方案报告"), 14, true);
  report.text(QStringLiteral("日期：%1    方案：%2%3")
                  .arg(made.toString(QStringLiteral("yyyy-MM-dd HH:mm")), fileNameOf(document),
                       document.isModified() ? QStringLiteral("（有未保存的修改）") : QString()),
              9);
  if (!plan.note.empty()) report.text(QStringLiteral("备注：%1").arg(toQString(plan.note)), 9);
  report.space(1);
  report.text(conditionsText(plan), 9);
  if (const QString status = sessionStatus(plan, session, {}); !status.isEmpty()) report.text(status, 7.5);
  report.space(1);
  {
    // The chart drawn for the page, never shown: the report needs no window.
    EquilibriumChartView chart;
    chart.resize(reportChartSize);
    // Unshown, the view neither sizes its chart nor lays it out by itself.
    chart.chart()->resize(QSizeF(reportChartSize));
    drawSession(chart, plan, session);
    QCoreApplication::sendPostedEvents();
    report.chart(chart, 120);
  }
  if (!plan.stages.empty()) {
    report.text(QStringLiteral("吹炼阶段"), 10, true);
    report.table(rowsOf(stageTable(plan.stages, session.stages().results)), 8);
  }
  paintLedger(report, plan, session);
  paintSimulation(report, plan, session);
  return painter.end();
}

std::optional<QString> writePlanReport(const PlanDocument& document, const PlanSession& session, const QString& path,
                                       const QDateTime& made) {
  // Drawn into memory, then written whole (or in place to a device) by the
  // one writer every saved file goes through.
  QByteArray bytes;
  QBuffer file(&bytes);
  file.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&file);
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("Velkarin %1").arg(toQString(version)));
    writer.setTitle(document.path().isEmpty() ? QStringLiteral("吹炼方案报告") : QFileInfo(document.path()).fileName());
    if (!paintPlanReport(document, session, writer, made)) return QStringLiteral("无法绘制报告");
  }
  file.close();
  return writeFileWhole(path, bytes);
}

std::optional<QString> writePlanReport(const EquilibriumDiagramWindow& diagram, const QString& path,
                                       const QDateTime& made) {
  return writePlanReport(diagram.document(), diagram.session(), path, made);
}

void askAndExportReport(EquilibriumDiagramWindow& diagram) {
  const QString base = diagram.planPath().isEmpty() ? QStringLiteral("方案") : QFileInfo(diagram.planPath()).baseName();
  askAndWrite(&diagram,
              {QStringLiteral("导出报告(PDF)"), base + QStringLiteral(".pdf"), QStringLiteral("PDF 文件 (*.pdf)"),
               QStringLiteral("pdf"), QStringLiteral("平衡曲线图"), QStringLiteral("无法导出报告“%1”：%2")},
              [&](const QString& path) { return writePlanReport(diagram, path); });
}

void printPlanReport(EquilibriumDiagramWindow& diagram) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QStringLiteral("吹炼方案报告"));
  QPrintDialog dialog(&printer, &diagram);
  dialog.setWindowTitle(QStringLiteral("打印报告"));
  if (dialog.exec() != QDialog::Accepted) return;
  if (!paintPlanReport(diagram.document(), diagram.session(), printer, QDateTime::currentDateTime())) {
    QMessageBox::critical(&diagram, QStringLiteral("平衡曲线图"), QStringLiteral("无法打印报告：打印机不能绘制"));
  }
}

}  // namespace velkarin
