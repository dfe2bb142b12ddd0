// SPDX-License-Identifier: Apache-2.0
// The Calculate action through the real windows and dialogs: prompts, output
// boxes, the result list, the clipboard, faults, Cancel and the run-out.

#include <sys/resource.h>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <chrono>
#include <csignal>
#include <memory>
#include <thread>

#include "calc/calculation.h"
#include "calc/result_presentation.h"
#include "tests/support/recording.h"
#include "tests/ui/ui_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/calculator/widget_result_sink.h"
#include "ui/common/qt_translation.h"
#include "words/chinese.h"

using namespace velkarin;
using namespace velkarin::test;

Q_DECLARE_METATYPE(velkarin::Reaction)
Q_DECLARE_METATYPE(velkarin::test::PromptAnswer)

namespace {

struct ExpectedPrompt {
  QString title;
  QString text;
  QString prefilled;
};

QList<ExpectedPrompt> expectedPrompts(const QString& carbonDefault) {
  return {
      {"温度值℃", "请输入熔池实际温度值", "1650"},    {"C浓度值", "请输入熔池实际C浓度", carbonDefault},
      {"Cr浓度值", "请输入熔池实际Cr浓度", "18"},     {"Ni浓度值", "请输入熔池实际Ni浓度", "9"},
      {"Si浓度值", "请输入熔池实际Si浓度", "0"},      {"Mn浓度值", "请输入熔池实际Mn浓度", "0"},
      {"CO分压值", "请输入熔池实际CO分压", "101325"},
  };
}

}  // namespace

class CalculationWindowUiTest : public FrameTestCase {
  Q_OBJECT

  CalculationWindow* show(Reaction reaction) { return frame_->showCalculationWindow(reaction); }

 private slots:
  void worked_example_fills_boxes_list_and_clipboard_data() {
    QTest::addColumn<Reaction>("reaction");
    QTest::addColumn<QString>("carbonDefault");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("clipboard");
    const QStringList form1{"1349", "1764649", "-137074", "0.326346", "1.888809", "325346", "1764505", "0.126333"};
    const QStringList form2{"1626", "121437", "-8686", "0.299878", "1.920888", "298878", "121465", "0.291967"};
    QTest::newRow("Form1 Cr2O3") << Reaction::Cr2O3 << "2.2" << form1
                                 << "t=1650   c=2.200   cr=18.000   Pco=101325   G=-137074   teq=1349℃   "
                                    "pcoeq=1764649   ceq=0.326   ccc=0.126"
                                 << "0.326346";
    QTest::newRow("Form2 Cr3O4") << Reaction::Cr3O4 << "0.35" << form2
                                 << "t=1650   c=0.350   cr=18.000   Pco=101325   G=-008686   teq=1626℃   "
                                    "pcoeq=121437   ceq=0.300   ccc=0.292"
                                 << "0.299878";
  }
  void worked_example_fills_boxes_list_and_clipboard() {
    QFETCH(Reaction, reaction);
    QFETCH(QString, carbonDefault);
    CalculationWindow* window = show(reaction);
    QSignalSpy completed(window, &CalculationWindow::calculationCompleted);

    DialogDriver driver(keepDefaults());
    clickCalculate(*window, driver);

    QCOMPARE(driver.problems(), QStringList());
    const QList<ExpectedPrompt> expected = expectedPrompts(carbonDefault);
    QCOMPARE(driver.seen().size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
      const SeenDialog& seen = driver.seen()[i];
      QCOMPARE(seen.kind, SeenDialog::Kind::Prompt);
      QCOMPARE(seen.title, expected[i].title);
      QCOMPARE(seen.text, expected[i].text);
      QCOMPARE(seen.prefilled, expected[i].prefilled);
      QCOMPARE(seen.buttons, (QStringList{"确定", "取消"}));
    }
    QTEST(boxTexts(*window), "boxes");
    QFETCH(QString, line);
    QCOMPARE(listLines(*window), QStringList{line});
    QTEST(clipboardText(), "clipboard");
    QCOMPARE(completed.size(), 1);
    QVERIFY(window->lastCompletedState().has_value());
    QCOMPARE(window->lastCompletedState()->temperature, 1923.0);  // K: 1650 °C + 273
    QCOMPARE(window->lastCompletedState()->coPressure, 101325.0);
    QCOMPARE(frame_->activeCalculationWindow(), window);
  }

  void new_list_line_is_scrolled_into_view() {
    CalculationWindow* window = show(Reaction::Cr2O3);
    QListWidget* list = resultList(*window);
    for (int i = 0; i < 40; ++i) list->addItem(QStringLiteral("earlier line %1").arg(i));
    list->scrollToTop();

    DialogDriver driver(keepDefaults());
    clickCalculate(*window, driver);

    QCOMPARE(list->count(), 41);
    const QRect lastLine = list->visualItemRect(list->item(40));
    QVERIFY(list->viewport()->rect().contains(lastLine));
  }

  void fault_part_way_keeps_later_boxes_list_and_clipboard_data() {
    QTest::addColumn<QString>("constantA");
    QTest::addColumn<QList<PromptAnswer>>("answers");
    QTest::addColumn<int>("boxesWritten");
    QTest::newRow("A is not a number: before any box") << "abc" << keepDefaults() << 0;
    QList<PromptAnswer> hugeManganese = keepDefaults();
    hugeManganese[5] = PromptAnswer::type("30000");  // f_C underflows to 0 after Text7
    QTest::newRow("f_C underflow: after Text7") << "739938" << hugeManganese << 7;
  }
  void fault_part_way_keeps_later_boxes_list_and_clipboard() {
    QFETCH(QString, constantA);
    QFETCH(QList<PromptAnswer>, answers);
    QFETCH(int, boxesWritten);
    CalculationWindow* window = show(Reaction::Cr2O3);
    fillWithWorkedExample(window);
    const QStringList before = boxTexts(*window);
    const QStringList linesBefore = listLines(*window);
    const QString clipboardAtStart = clipboardText();
    combo(*window, "Combo1")->setEditText(constantA);
    QSignalSpy completed(window, &CalculationWindow::calculationCompleted);

    DialogDriver driver(answers);
    clickCalculate(*window, driver);

    const auto core = coreRun(Reaction::Cr2O3, {constantA.toStdString(), "-475.137"}, answers);
    QCOMPARE(core->outcome.status, CalculationOutcome::Status::Faulted);
    QCOMPARE(core->sink.events.size(), std::size_t(boxesWritten));
    QCOMPARE(boxTexts(*window), afterRun(before, core->sink));
    QCOMPARE(listLines(*window), linesBefore);
    QCOMPARE(clipboardText(), clipboardAtStart);
    QCOMPARE(completed.size(), 0);
    const QList<SeenDialog> errors = driver.seen(SeenDialog::Kind::Critical);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors[0].text, QString::fromStdString(chinese(*core->outcome.fault)));
    QCOMPARE(driver.seen().size(), 8);  // seven prompts, then the error
    QCOMPARE(driver.problems(), QStringList());
  }

  void cancel_on_third_prompt_changes_nothing() {
    CalculationWindow* window = show(Reaction::Cr2O3);
    fillWithWorkedExample(window);
    const QStringList before = boxTexts(*window);
    QGuiApplication::clipboard()->setText(QStringLiteral("sentinel"));
    QSignalSpy completed(window, &CalculationWindow::calculationCompleted);

    DialogDriver driver({PromptAnswer::type("1600"), PromptAnswer::keep(), PromptAnswer::cancel()});
    clickCalculate(*window, driver);

    QCOMPARE(driver.problems(), QStringList());
    QCOMPARE(driver.seen().size(), 3);  // no prompt after the cancelled one, no message
    QCOMPARE(driver.seen()[2].title, QStringLiteral("Cr浓度值"));
    QCOMPARE(boxTexts(*window), before);
    QCOMPARE(listLines(*window).size(), 1);
    QCOMPARE(clipboardText(), QStringLiteral("sentinel"));
    QCOMPARE(completed.size(), 0);
  }

  // The fixture's guard itself: a prompt nobody answers is closed (Cancel)
  // when the time limit passes, and the run is reported, not hung.
  void watchdog_closes_an_unanswered_prompt() {
    CalculationWindow* window = show(Reaction::Cr2O3);
    ModalWatchdog shortWatchdog(100);
    QTest::mouseClick(button(*window, "Command1"), Qt::LeftButton);  // no driver answers
    QCOMPARE(shortWatchdog.problems().size(), 1);
    QVERIFY(shortWatchdog.problems()[0].contains(QStringLiteral("温度值℃")));
    QCOMPARE(boxTexts(*window), QStringList(8));
  }

  void no_root_in_range_names_the_side_and_tells_the_user() {
    CalculationWindow* window = show(Reaction::Cr2O3);
    fillWithWorkedExample(window);
    const QStringList before = boxTexts(*window);
    QList<PromptAnswer> answers = keepDefaults();
    answers[0] = PromptAnswer::type("3000");
    answers[1] = PromptAnswer::type("0.01");
    QSignalSpy completed(window, &CalculationWindow::calculationCompleted);

    DialogDriver driver(answers);
    clickCalculate(*window, driver);

    const auto core = coreRun(Reaction::Cr2O3, {"739938", "-475.137"}, answers);
    QVERIFY(!core->outcome.result.scanHit);
    const QStringList boxes = boxTexts(*window);
    QCOMPARE(boxes.mid(3, 3), (QStringList{"<0.001", "", ""}));
    QCOMPARE(textBox(*window, 4)->toolTip(), QString::fromStdString(std::string(noRootNote(CarbonGap::BelowRange))));
    QCOMPARE(textBox(*window, 4)->palette().color(QPalette::Text), noteTextColour);
    QCOMPARE(boxes, afterRun(before, core->sink));
    QCOMPARE(listLines(*window).size(), 2);
    QCOMPARE(listLines(*window).last(), QString::fromStdString(core->sink.lines.at(0)));
    QCOMPARE(clipboardText(), QString());
    const QList<SeenDialog> notices = driver.seen(SeenDialog::Kind::Information);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices[0].text, QString::fromStdString(noRootNotice(core->outcome.result)));
    QCOMPARE(driver.seen(SeenDialog::Kind::Critical).size(), 0);
    QCOMPARE(completed.size(), 1);
  }

  // Late blow at 5000 Pa: the 0.000001 %C steps jump over the window; Text4
  // shows the continuous root, marked, without a box; the next hit is plain again.
  void step_over_shows_the_continuous_root_marked() {
    CalculationWindow* window = show(Reaction::Cr2O3);
    const QList<PromptAnswer> answers{PromptAnswer::type("1700"), PromptAnswer::type("0.02"), PromptAnswer::type("18"),
                                      PromptAnswer::type("9"),    PromptAnswer::type("0.3"),  PromptAnswer::type("1.2"),
                                      PromptAnswer::type("5000")};
    DialogDriver driver(answers);
    clickCalculate(*window, driver);

    const auto core = coreRun(Reaction::Cr2O3, {"739938", "-475.137"}, answers);
    QVERIFY(!core->outcome.result.scanHit);
    QVERIFY(core->outcome.result.equilibriumCarbon);
    const QString root = QString::fromStdString(core->sink.text(ResultText::ScanCarbon).value());
    QVERIFY2(root.startsWith(QStringLiteral("0.012")), qPrintable(root));
    QCOMPARE(boxTexts(*window), afterRun(QStringList(8), core->sink));
    QCOMPARE(textBox(*window, 6)->text(), QString());
    QCOMPARE(textBox(*window, 4)->palette().color(QPalette::Text), noteTextColour);
    QCOMPARE(textBox(*window, 4)->toolTip(), QString::fromStdString(std::string(stepOverNote())));
    QVERIFY2(listLines(*window).value(0).contains(QStringLiteral("   ceq=0.012   ccc=")),
             qPrintable(listLines(*window).value(0)));
    QCOMPARE(clipboardText(), root);
    QCOMPARE(driver.seen(SeenDialog::Kind::Information).size(), 0);
  }

  void hit_after_a_step_over_is_shown_plain() {
    CalculationWindow* window = show(Reaction::Cr2O3);
    {
      DialogDriver driver({PromptAnswer::type("1700"), PromptAnswer::type("0.02"), PromptAnswer::keep(),
                           PromptAnswer::keep(), PromptAnswer::keep(), PromptAnswer::keep(),
                           PromptAnswer::type("5000")});
      clickCalculate(*window, driver);
      QCOMPARE(textBox(*window, 4)->palette().color(QPalette::Text), noteTextColour);
    }
    DialogDriver driver(keepDefaults());
    clickCalculate(*window, driver);
    QCOMPARE(textBox(*window, 4)->text(), QStringLiteral("0.326346"));
    QVERIFY(textBox(*window, 4)->palette().color(QPalette::Text) != noteTextColour);
    QCOMPARE(textBox(*window, 4)->toolTip(), QString());
  }

  // A calculation slower than 0.2 s shows a progress dialog; its 取消 leaves
  // the window exactly as it was, also when the outcome arrives afterwards.
  void cancelling_a_long_calculation_changes_nothing() {
    CalculationWindow* window = show(Reaction::Cr2O3);
    fillWithWorkedExample(window);
    const QStringList boxes = boxTexts(*window);
    const QStringList lines = listLines(*window);
    QGuiApplication::clipboard()->setText(clipboardBefore);
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    window->setComputeForTesting([release, finished](Reaction r, const ReactionConstants& k, const MeltState& s) {
      while (!*release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      const CalculationOutcome out = computeEquilibrium(r, k, s);
      *finished = true;
      return out;
    });
    QSignalSpy ended(window, &CalculationWindow::calculationEnded);
    QSignalSpy completed(window, &CalculationWindow::calculationCompleted);

    DialogDriver driver(keepDefaults());
    driver.cancelProgress();
    clickCalculate(*window, driver);

    const QList<SeenDialog> progress = driver.seen(SeenDialog::Kind::Progress);
    QCOMPARE(progress.size(), 1);
    QCOMPARE(progress[0].buttons, QStringList{QStringLiteral("取消")});
    QVERIFY(!*finished);
    QCOMPARE(ended.size(), 1);
    *release = true;
    QTRY_VERIFY(*finished);
    QTest::qWait(50);  // the outcome's delivery, had it not been dropped
    QCOMPARE(boxTexts(*window), boxes);
    QCOMPARE(listLines(*window), lines);
    QCOMPARE(clipboardText(), clipboardBefore);
    QCOMPARE(completed.size(), 0);
    QCOMPARE(driver.seen(SeenDialog::Kind::Critical).size(), 0);
    QVERIFY(!window->isCalculating());
  }
};

QTEST_MAIN(CalculationWindowUiTest)
#include "calculation_window_ui_test.moc"
