// SPDX-License-Identifier: Apache-2.0
// The diagram's plan as a PDF report: the plan's figures as text
// (pdftotext) on a page that is not blank, the ledger's heat entries, a long
// note over pages above the footer, and a report that cannot be written.

#include <QDate>
#include <QDateTime>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <algorithm>
#include <string>

#include "calc/plan.h"
#include "tests/ui/diagram_test_support.h"
#include "ui/diagram/plan_report.h"
#include "ui/diagram/stage_table.h"
#include "ui/model/plan_document.h"
#include "ui/model/plan_session.h"

using namespace velkarin;
using namespace velkarin::test;

class PlanReportUiTest : public DiagramTestCase {
  Q_OBJECT

 private slots:
  // A note longer than a page continues on the next pages, every word of it,
  // and no page's text runs past its footer.
  void a_long_note_flows_over_pages_above_the_footer() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    Plan plan = shiftPlan();
    plan.note.clear();
    for (int i = 0; i < 10000; ++i) plan.note += "note" + std::to_string(i % 10) + "x ";  // 80,000 characters
    plan.note += std::string(20000, 'z');  // and a word longer than a line
    diagram->setPlan(plan);
    QCOMPARE(diagram->plan().note, plan.note);  // kept whole by its entry
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("note.pdf"));
    QVERIFY(!writePlanReport(*diagram, pdf));
    QProcess text;
    text.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
               {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000));
    const QStringList pages =
        QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QVERIFY2(pages.size() > 3, qPrintable(QString::number(pages.size())));
    qsizetype words = 0, zs = 0;
    for (qsizetype p = 0; p < pages.size(); ++p) {
      QStringList lines = pages[p].split(QLatin1Char('\n'));
      while (!lines.isEmpty() && lines.back().trimmed().isEmpty()) lines.removeLast();
      QVERIFY(!lines.isEmpty());
      QVERIFY2(lines.back().contains(QStringLiteral("Velkarin")), qPrintable(lines.back()));  // the footer stands last
      QVERIFY2(lines.back().contains(QStringLiteral("%1").arg(p + 1)), qPrintable(lines.back()));
      words += pages[p].count(QRegularExpression(QStringLiteral("note\\dx")));
      zs += pages[p].count(QLatin1Char('z'));
    }
    QCOMPARE(words, 10000);
    QCOMPARE(zs, 20000);
  }

  void the_report_has_the_plans_figures() {
    EquilibriumDiagramWindow* diagram = openDiagram();
    diagram->setPlan(shiftPlan());
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
    QVERIFY(!writePlanReport(*diagram, pdf, QDateTime(QDate(2026, 12, 9), QTime(7, 30))));
    QVERIFY(fileBytes(pdf).startsWith("%PDF-"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    QVERIFY2(!pdftotext.isEmpty() && !pdftoppm.isEmpty(), "poppler-utils (scripts/install-deps.sh) is missing");
    QProcess text;
    text.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    const std::string table = diagram->stageTable()->tsv().toStdString();
    for (const QString& expected :
         {QStringLiteral("2026-12-09 07:30"), QStringLiteral("第2炉 早班"), QStringLiteral("A=697890"),
          QStringLiteral("[%Si]=0.3"), QStringLiteral("η=0.95"), QStringLiteral("Velkarin 0.3.0"),
          QStringLiteral("物料平衡"), QStringLiteral("O2流量=40"), QStringLiteral("FeSi品位=72"),
          QStringLiteral("碱度=2"), diagram->stageTable()->tsv().split(QLatin1Char('\n'))[1].split('\t')[5]}) {
      QVERIFY2(words.contains(expected), qPrintable(expected + QStringLiteral(" missing in:\n") + words));
    }
    // The Chinese text in the Simplified-Chinese face, embedded; never the
    // Japanese one a fallback would take.
    const QString pdffonts = QStandardPaths::findExecutable(QStringLiteral("pdffonts"));
    QVERIFY2(!pdffonts.isEmpty(), "poppler-utils (scripts/install-deps.sh) is missing");
    QProcess fonts;
    fonts.start(pdffonts, {pdf});
    QVERIFY(fonts.waitForFinished(20000));
    const QStringList fontLines = QString::fromUtf8(fonts.readAllStandardOutput()).split(QLatin1Char('\n'));
    const QStringList sans = fontLines.filter(QStringLiteral("NotoSansCJKsc-Regular"));
    QCOMPARE(sans.size(), 1);
    QVERIFY2(sans.front().contains(QRegularExpression(QStringLiteral("\\byes\\s+\\S+\\s+yes\\b"))),
             qPrintable(sans.front()));  // emb, sub, uni: embedded, with its Unicode map
    QVERIFY2(fontLines.filter(QStringLiteral("CJKjp")).isEmpty(), qPrintable(fontLines.join(QLatin1Char('\n'))));
    QProcess picture;
    picture.start(pdftoppm, {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("40"),
                             QStringLiteral("-singlefile"), pdf, folder.filePath(QStringLiteral("page"))});
    QVERIFY(picture.waitForFinished(20000));
    const QImage page(folder.filePath(QStringLiteral("page.png")));
    QVERIFY(!page.isNull());
    qsizetype ink = 0;
    for (int y = 0; y < page.height(); ++y) {
      for (int x = 0; x < page.width(); ++x) ink += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
    }
    QVERIFY2(ink > page.width() * page.height() / 100, qPrintable(QString::number(ink)));
    // A report that cannot be written says so and leaves nothing.
    QVERIFY(writePlanReport(*diagram, folder.filePath(QStringLiteral("missing/report.pdf"))).has_value());
  }

  // The ledger's heading names every heat entry it was booked with, O2流量
  // where one is given.
  void the_ledger_heading_names_the_heat_entries_data() {
    QTest::addColumn<QString>("oxygenFlow");  // Nm³/min
    QTest::addColumn<QString>("heading");
    QTest::newRow("with O2 flow")
        << QStringLiteral("40")
        << QStringLiteral("物料平衡（钢水量W=80 t，初始%C=1.5，O2流量=40 Nm³/min，FeSi品位=72%，碱度=2）");
    QTest::newRow("without O2 flow") << QString()
                                     << QStringLiteral("物料平衡（钢水量W=80 t，初始%C=1.5，FeSi品位=72%，碱度=2）");
  }
  void the_ledger_heading_names_the_heat_entries() {
    QFETCH(QString, oxygenFlow);
    QFETCH(QString, heading);
    EquilibriumDiagramWindow* diagram = openDiagram();
    Plan plan = shiftPlan();
    plan.heat.oxygenFlow = oxygenFlow.toStdString();
    diagram->setPlan(plan);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("ledger.pdf"));
    QVERIFY(!writePlanReport(*diagram, pdf));
    QProcess text;
    text.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    // The PDF maps some ideographs back to their Kangxi radicals (水 as ⽔,
    // U+2F54), which look the same: both sides are compared in NFKC.
    const QString words = QString::fromUtf8(text.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    QVERIFY2(words.contains(heading.normalized(QString::NormalizationForm_KC)),
             qPrintable(heading + QStringLiteral(" missing in:\n") + words));
  }

  // The report of a plan from its document and session alone: no window is
  // made, the chart is drawn at the page's size (its curves in colour over
  // a good part of the page), and the simulated blow is in it.
  void a_report_needs_no_window() {
    const qsizetype windows = QGuiApplication::allWindows().size();
    PlanDocument document;
    PlanSession session(document);
    Plan plan = shiftPlan();
    plan.heat.startTemperature = "1550";
    session.setSimulating(true);
    document.reset(plan);
    QVERIFY(session.simulation());
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
    QVERIFY(!writePlanReport(document, session, pdf));
    QCOMPARE(QGuiApplication::allWindows().size(), windows);
    QProcess text;
    text.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : {"吹炼阶段", "物料平衡", "吹炼模拟（初始温度=1550℃"}) {
      QVERIFY2(words.contains(QString::fromUtf8(expected)), expected);
    }
    QProcess picture;
    picture.start(QStandardPaths::findExecutable(QStringLiteral("pdftoppm")),
                  {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-singlefile"),
                   pdf, folder.filePath(QStringLiteral("page"))});
    QVERIFY(picture.waitForFinished(20000));
    const QImage page(folder.filePath(QStringLiteral("page.png")));
    QVERIFY(!page.isNull());
    QRect coloured;  // the box around the pixels in colour: the chart's curves and marks
    for (int y = 0; y < page.height(); ++y) {
      for (int x = 0; x < page.width(); ++x) {
        const QColor c = page.pixelColor(x, y);
        if (std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60) {
          coloured |= QRect(x, y, 1, 1);
        }
      }
    }
    QVERIFY2(coloured.width() > page.width() / 2, qPrintable(QString::number(coloured.width())));
    QVERIFY2(coloured.height() > page.height() / 6, qPrintable(QString::number(coloured.height())));
  }
};

QTEST_MAIN(PlanReportUiTest)
#include "plan_report_ui_test.moc"
