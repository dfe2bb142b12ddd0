// SPDX-License-Identifier: Apache-2.0
#include "tests/ui/ui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include "calc/calculation.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/common/enter_presses_buttons.h"
#include "ui/common/qt_translation.h"
#include "words/chinese.h"

namespace velkarin::test {

QList<PromptAnswer> keepDefaults(int count) { return QList<PromptAnswer>(count, PromptAnswer::keep()); }

static QStringList buttonTexts(const QWidget& dialog) {
  QStringList texts;
  for (const QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) {
    if (b->isVisible()) texts << b->text();
  }
  return texts;
}

DialogDriver::DialogDriver(QList<PromptAnswer> answers) : answers_(std::move(answers)) {
  connect(&timer_, &QTimer::timeout, this, &DialogDriver::poll);
  timer_.start(2);
}

QList<SeenDialog> DialogDriver::seen(SeenDialog::Kind kind) const {
  QList<SeenDialog> result;
  for (const SeenDialog& dialog : seen_) {
    if (dialog.kind == kind) result << dialog;
  }
  return result;
}

void DialogDriver::poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || !modal->isVisible()) return;
  SeenDialog dialog;
  dialog.title = modal->windowTitle();
  dialog.buttons = buttonTexts(*modal);
  if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
    dialog.kind = SeenDialog::Kind::Prompt;
    dialog.text = prompt->labelText();
    dialog.prefilled = prompt->textValue();
    seen_ << dialog;
    if (next_ >= answers_.size()) {
      problems_ << QStringLiteral("unexpected prompt \"%1\" (cancelled)").arg(dialog.text);
      prompt->reject();
      return;
    }
    const PromptAnswer& answer = answers_[next_++];
    if (!answer.confirm) {
      prompt->reject();
      return;
    }
    if (answer.text) prompt->setTextValue(*answer.text);
    prompt->accept();
  } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
    dialog.kind = SeenDialog::Kind::File;
    seen_ << dialog;
    if (savePath_.isEmpty()) {
      problems_ << QStringLiteral("unexpected file dialog (cancelled)");
      files->reject();
      return;
    }
    files->selectFile(savePath_);
    static_cast<QDialog*>(files)->accept();  // QFileDialog::accept is protected; the dialog checks the path itself
  } else if (auto* progress = qobject_cast<QProgressDialog*>(modal)) {
    dialog.kind = SeenDialog::Kind::Progress;
    dialog.text = progress->labelText();
    seen_ << dialog;
    if (!cancelProgress_) return;  // the calculation goes on
    if (auto* cancel = progress->findChild<QPushButton*>()) cancel->click();
  } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
    if (leaveMessageBoxes_ && box->property("velkarinSeen").toBool()) return;
    box->setProperty("velkarinSeen", true);
    dialog.kind = box->icon() == QMessageBox::Critical      ? SeenDialog::Kind::Critical
                  : box->icon() == QMessageBox::Information ? SeenDialog::Kind::Information
                                                            : SeenDialog::Kind::Other;
    dialog.text = box->text();
    if (const QPushButton* preset = box->defaultButton()) dialog.defaultButton = preset->text();
    seen_ << dialog;
    if (leaveMessageBoxes_) return;
    if (!messageBoxAnswer_.isEmpty()) {
      for (QAbstractButton* b : box->buttons()) {
        if (b->text() == messageBoxAnswer_) {
          b->click();
          return;
        }
      }
      problems_ << QStringLiteral("message box \"%1\" has no button %2 (rejected)").arg(dialog.text, messageBoxAnswer_);
      box->reject();
    } else if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
      ok->click();
    } else {
      box->reject();
    }
  } else {
    seen_ << dialog;
    problems_ << QStringLiteral("unexpected modal widget %1 (closed)").arg(modal->metaObject()->className());
    modal->close();
  }
}

ModalWatchdog::ModalWatchdog(int limitMs) {
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, &ModalWatchdog::fire);
  connect(&sweep_, &QTimer::timeout, this, [] {
    while (QWidget* modal = QApplication::activeModalWidget()) {
      if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
      } else {
        modal->close();
      }
      if (QApplication::activeModalWidget() == modal) break;  // would not close; try again later
    }
  });
  deadline_.start(limitMs);
}

void ModalWatchdog::fire() {
  QWidget* modal = QApplication::activeModalWidget();
  problems_ << QStringLiteral("watchdog: the test ran past its time limit%1")
                   .arg(modal ? QStringLiteral(" with modal dialog \"%1\" open").arg(modal->windowTitle()) : QString());
  sweep_.start(20);
}

static QtMessageHandler forwardedHandler = nullptr;

static void filterMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.contains(QLatin1String("does not support propagateSizeHints"))) return;
  if (forwardedHandler) forwardedHandler(type, context, message);
}

void silenceOffscreenNoise() {
  if (!forwardedHandler) forwardedHandler = qInstallMessageHandler(filterMessage);
}

std::unique_ptr<MainFrame> startFrame() {
  letEnterPressButtons(*QCoreApplication::instance());
  auto frame = std::make_unique<MainFrame>();
  frame->start();
  QApplication::setActiveWindow(frame.get());
  if (!QTest::qWaitForWindowActive(frame.get())) qWarning("frame did not become active");
  return frame;
}

static QString controlName(const char* name) { return QString::fromUtf8(name); }

QPushButton* button(const QWidget& window, const char* name) {
  return window.findChild<QPushButton*>(controlName(name));
}

QComboBox* combo(const QWidget& window, const char* name) { return window.findChild<QComboBox*>(controlName(name)); }

QLineEdit* textBox(const QWidget& window, int number) {
  return window.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(number), Qt::FindDirectChildrenOnly);
}

QListWidget* resultList(const QWidget& window) { return window.findChild<QListWidget*>(QStringLiteral("List1")); }

QStringList boxTexts(const QWidget& window) {
  QStringList texts;
  for (int number = 1; number <= 8; ++number) texts << textBox(window, number)->text();
  return texts;
}

QStringList listLines(const QWidget& window) {
  QStringList lines;
  const QListWidget* list = resultList(window);
  for (int row = 0; row < list->count(); ++row) lines << list->item(row)->text();
  return lines;
}

void clickCalculate(const QWidget& window, DialogDriver&) {
  QTest::mouseClick(button(window, "Command1"), Qt::LeftButton);
  waitForCalculation(window);
}

bool waitForCalculation(const QWidget& window, int timeoutMs) {
  const auto* calculation = qobject_cast<const CalculationWindow*>(&window);
  if (!calculation) return true;
  return QTest::qWaitFor([calculation] { return !calculation->isCalculating(); }, timeoutMs);
}

void FrameTestCase::initTestCase() {
  QGuiApplication::setQuitOnLastWindowClosed(false);
  silenceOffscreenNoise();
  QVERIFY(installQtChineseTranslation(*QCoreApplication::instance()));
}

void FrameTestCase::init() {
  watchdog_ = std::make_unique<ModalWatchdog>();
  QGuiApplication::clipboard()->setText(clipboardBefore);
  frame_ = startFrame();
}

void FrameTestCase::cleanup() {
  frame_.reset();
  QVERIFY2(watchdog_->problems().isEmpty(), qPrintable(watchdog_->problems().join('\n')));
  watchdog_.reset();
}

std::unique_ptr<CoreRun> coreRun(Reaction reaction, const ReactionConstants& constants,
                                 const QList<PromptAnswer>& answers) {
  std::vector<std::optional<std::string>> scripted;
  for (const PromptAnswer& answer : answers) {
    scripted.push_back(answer.text ? std::optional(answer.text->toStdString()) : std::nullopt);
  }
  auto run = std::make_unique<CoreRun>();
  ScriptedPrompts prompts(scripted, /*useDefaults=*/true);
  run->outcome = runCalculation(reaction, constants, prompts, run->sink, chineseResultNotes());
  return run;
}

// The box number (Text1 … Text8) that shows each result text, in ResultText
// order: temperature, pressure, ΔG, scan carbon, y, trials, p from K, C from K.
static constexpr int boxShowing[resultTextCount]{1, 2, 3, 4, 5, 6, 7, 8};

QStringList afterRun(const QStringList& before, const RecordingSink& sink) {
  QStringList boxes = before;
  for (std::size_t q = 0; q < resultTextCount; ++q) {
    if (sink.texts[q]) boxes[boxShowing[q] - 1] = QString::fromStdString(*sink.texts[q]);
  }
  return boxes;
}

QString clipboardText() { return QGuiApplication::clipboard()->text(); }

void fillWithWorkedExample(CalculationWindow* window) {
  DialogDriver driver(keepDefaults());
  clickCalculate(*window, driver);
  QCOMPARE(listLines(*window).size(), 1);
}

}  // namespace velkarin::test
