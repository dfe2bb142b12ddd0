// SPDX-License-Identifier: Apache-2.0
// What a calculation leaves on screen once it has ended: one box at a time
// (never the progress dialog over its notice), focus back on Command1, the
// designed colours, and nothing at all from a window closed or hidden while
// its calculation ran.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "calc/calculation.h"
#include "tests/ui/ui_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/calculator/widget_result_sink.h"

using namespace velkarin;
using namespace velkarin::test;

Q_DECLARE_METATYPE(velkarin::test::PromptAnswer)

namespace {

template <class Dialog>
int visibleCount() {
  int count = 0;
  for (QWidget* widget : QApplication::allWidgets()) count += qobject_cast<Dialog*>(widget) && widget->isVisible();
  return count;
}

// A computation that takes `delay` before it answers: long enough for the
// progress dialog's timer to be running, shorter or longer than its 200 ms.
CalculationWindow::Compute slowCompute(std::chrono::milliseconds delay) {
  return [delay](Reaction r, const ReactionConstants& k, const MeltState& s) {
    std::this_thread::sleep_for(delay);
    return computeEquilibrium(r, k, s);
  };
}

// A computation that waits until it is released.
CalculationWindow::Compute gatedCompute(std::shared_ptr<std::atomic<bool>> release,
                                        std::shared_ptr<std::atomic<bool>> finished) {
  return [release, finished](Reaction r, const ReactionConstants& k, const MeltState& s) {
    while (!*release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const CalculationOutcome out = computeEquilibrium(r, k, s);
    *finished = true;
    return out;
  };
}

QList<PromptAnswer> hotState() {
  QList<PromptAnswer> answers{PromptAnswer::type(QStringLiteral("3000"))};
  answers << keepDefaults(6);
  return answers;
}

}  // namespace

class CalculationBoxesUiTest : public FrameTestCase {
  Q_OBJECT

 private slots:
  void an_ended_calculation_leaves_one_box_which_enter_closes_data() {
    QTest::addColumn<QList<PromptAnswer>>("answers");
    QTest::addColumn<QString>("constantA");
    QTest::addColumn<int>("delayMs");
    for (int delay : {60, 350}) {
      QTest::addRow("no root at 3000 C, %d ms", delay) << hotState() << QString() << delay;
      QTest::addRow("A = abc, %d ms", delay) << keepDefaults() << QStringLiteral("abc") << delay;
    }
  }
  void an_ended_calculation_leaves_one_box_which_enter_closes() {
    QFETCH(QList<PromptAnswer>, answers);
    QFETCH(QString, constantA);
    QFETCH(int, delayMs);
    CalculationWindow* window = frame_->showCalculationWindow(Reaction::Cr2O3);
    if (!constantA.isEmpty()) combo(*window, "Combo1")->setEditText(constantA);
    window->setComputeForTesting(slowCompute(std::chrono::milliseconds(delayMs)));

    // Once the box is up, look again after the progress dialog's 200 ms have
    // long passed, then answer the box with Enter.
    int boxes = -1, progress = -1;
    QTimer look;
    look.setInterval(20);
    connect(&look, &QTimer::timeout, this, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || boxes >= 0) return;
      boxes = 0;
      QTimer::singleShot(500, box, [&boxes, &progress, box] {
        boxes = visibleCount<QMessageBox>();
        progress = visibleCount<QProgressDialog>();
        QTest::keyClick(box, Qt::Key_Return);
      });
    });
    look.start();
    DialogDriver driver(answers);
    driver.leaveMessageBoxes();
    QTest::mouseClick(button(*window, "Command1"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(progress >= 0, 5000);
    QCOMPARE(boxes, 1);
    QCOMPARE(progress, 0);
    QTRY_COMPARE(visibleCount<QMessageBox>(), 0);
    // Back in the frame, the keyboard is on Command1 (not on the frame,
    // where Enter and Esc do nothing).
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(button(*window, "Command1")));
  }

  // Text8 is blue (0, 0, 255) after every calculation; Text4 is the note
  // colour only after a step-over or no root.
  void text8_stays_blue_and_text4_follows_its_note() {
    CalculationWindow* window = frame_->showCalculationWindow(Reaction::Cr2O3);
    fillWithWorkedExample(window);  // a hit: Text4 in the plain colour
    QCOMPARE(textBox(*window, 8)->palette().color(QPalette::Text), QColor(0, 0, 255));
    QVERIFY(textBox(*window, 4)->palette().color(QPalette::Text) != noteTextColour);
    DialogDriver driver(hotState());  // no root: Text4 in the note colour
    clickCalculate(*window, driver);
    QCOMPARE(textBox(*window, 8)->palette().color(QPalette::Text), QColor(0, 0, 255));
    QCOMPARE(textBox(*window, 4)->palette().color(QPalette::Text), noteTextColour);
  }

  // A window closed through its title bar while its outcome was on the way
  // shows nothing: no clipboard, no heat, no box for a window that is gone.
  // A window hidden by Exit keeps its texts but opens no box over the others.
  void a_closed_or_hidden_window_opens_no_box_data() {
    QTest::addColumn<bool>("close");
    QTest::addRow("closed") << true;
    QTest::addRow("hidden") << false;
  }
  void a_closed_or_hidden_window_opens_no_box() {
    QFETCH(bool, close);
    CalculationWindow* window = frame_->showCalculationWindow(Reaction::Cr2O3);
    combo(*window, "Combo1")->setEditText(QStringLiteral("abc"));  // a fault: its box would open
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    window->setComputeForTesting(gatedCompute(release, finished));
    QSignalSpy completed(window, &CalculationWindow::calculationCompleted);
    DialogDriver driver(keepDefaults());
    QTest::mouseClick(button(*window, "Command1"), Qt::LeftButton);
    if (close) {
      qobject_cast<QMdiSubWindow*>(window->parentWidget())->close();
    } else {
      QTest::mouseClick(button(*window, "Command2"), Qt::LeftButton);  // Exit
    }
    *release = true;
    QTRY_VERIFY(*finished);
    QTest::qWait(100);  // the outcome's delivery, had it not been dropped
    QCOMPARE(driver.seen(SeenDialog::Kind::Critical).size(), 0);
    QCOMPARE(clipboardText(), clipboardBefore);
    QCOMPARE(frame_->calculationWindow(Reaction::Cr2O3) == nullptr, close);
  }
};

QTEST_MAIN(CalculationBoxesUiTest)
#include "calculation_boxes_ui_test.moc"
