// SPDX-License-Identifier: Apache-2.0
#pragma once

// Support for the tests that drive the real windows on the offscreen
// platform: a driver that answers the real modal dialogs of a calculation,
// a watchdog against dialogs nobody answers, and finders for the controls of
// a calculation window by objectName.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>

#include "calc/calculation_outcome.h"
#include "tests/support/recording.h"
#include "ui/calculator/main_frame.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velkarin {
class CalculationWindow;
class MainFrame;
}  // namespace velkarin

namespace velkarin::test {

// How to answer one prompt.
struct PromptAnswer {
  bool confirm = true;          // OK; false: Cancel
  std::optional<QString> text;  // typed over the pre-filled text; nullopt keeps it

  static PromptAnswer keep() { return {true, std::nullopt}; }
  static PromptAnswer type(const QString& text) { return {true, text}; }
  static PromptAnswer cancel() { return {false, std::nullopt}; }
};

// n prompts confirmed with their pre-filled defaults.
QList<PromptAnswer> keepDefaults(int count = 7);

// One modal dialog as the test met it.
struct SeenDialog {
  enum class Kind { Prompt, Critical, Information, Progress, File, Other };
  Kind kind = Kind::Other;
  QString title;
  QString text;       // prompt label or message text
  QString prefilled;  // prompt only: the field's text when it appeared
  QStringList buttons;
  QString defaultButton;  // message box only: the text of its default button
};

// While alive, answers each QInputDialog that becomes the active modal widget
// with the next PromptAnswer and acknowledges each message box with OK,
// recording every dialog. A calculation's progress dialog is left open, or
// cancelled with its 取消 button once cancelProgress() was called. A prompt beyond the script is cancelled and
// reported as a problem, so a test never waits on it.
class DialogDriver : public QObject {
 public:
  explicit DialogDriver(QList<PromptAnswer> answers = {});

  const QList<SeenDialog>& seen() const { return seen_; }
  QList<SeenDialog> seen(SeenDialog::Kind kind) const;
  const QStringList& problems() const { return problems_; }
  void cancelProgress() { cancelProgress_ = true; }
  // Message boxes are recorded once but left open for the test to answer.
  void leaveMessageBoxes() { leaveMessageBoxes_ = true; }
  // Message boxes are answered by the button with this text instead of OK.
  void answerMessageBoxesWith(const QString& buttonText) { messageBoxAnswer_ = buttonText; }
  // The next file dialog gets this path typed in and accepted.
  void saveAs(const QString& path) { savePath_ = path; }

 private:
  void poll();

  QList<PromptAnswer> answers_;
  qsizetype next_ = 0;
  QList<SeenDialog> seen_;
  QStringList problems_;
  QTimer timer_;
  bool cancelProgress_ = false;
  bool leaveMessageBoxes_ = false;
  QString messageBoxAnswer_;
  QString savePath_;
};

// Per-test guard: when a test runs longer than the limit, it records a
// failure and closes every modal dialog (repeatedly) so the test ends.
class ModalWatchdog : public QObject {
 public:
  explicit ModalWatchdog(int limitMs = 10000);
  // Empty when the watchdog never fired.
  const QStringList& problems() const { return problems_; }

 private:
  void fire();

  QTimer deadline_;
  QTimer sweep_;
  QStringList problems_;
};

// Drops the offscreen platform's "does not support propagateSizeHints()"
// warning (one per dialog), which says nothing about the program.
void silenceOffscreenNoise();

// The frame as the program starts it (Enter pressing buttons too), shown and active.
std::unique_ptr<MainFrame> startFrame();

// Base of the UI test classes: every test function gets a freshly started
// frame and a watchdog, with Qt's Chinese translation loaded as the program
// loads it and the clipboard holding clipboardBefore; cleanup fails the test
// when the watchdog had to close a dialog.
class FrameTestCase : public QObject {
  Q_OBJECT

 public:
  static inline const QString clipboardBefore = QStringLiteral("before");

 protected:
  std::unique_ptr<MainFrame> frame_;
  std::unique_ptr<ModalWatchdog> watchdog_;

 private slots:
  void initTestCase();
  void init();
  void cleanup();
};

QPushButton* button(const QWidget& window, const char* name);
QComboBox* combo(const QWidget& window, const char* name);
QLineEdit* textBox(const QWidget& window, int number);  // Text1 … Text8
QListWidget* resultList(const QWidget& window);
QStringList boxTexts(const QWidget& window);  // Text1 … Text8
QStringList listLines(const QWidget& window);

// Clicks Command1 while driver answers the dialogs; returns when the
// calculation has ended (its results shown).
void clickCalculate(const QWidget& window, DialogDriver& driver);

// Waits until a calculation window has no computation under way; false on timeout.
bool waitForCalculation(const QWidget& window, int timeoutMs = 5000);

// The core's own hand-offs for the same inputs, as the reference for what the
// window must show: the window adds no arithmetic of its own.
struct CoreRun {
  CalculationOutcome outcome;
  RecordingSink sink;
};
std::unique_ptr<CoreRun> coreRun(Reaction reaction, const ReactionConstants& constants,
                                 const QList<PromptAnswer>& answers);

// Text1 … Text8 after the core's run wrote its texts over `before`.
QStringList afterRun(const QStringList& before, const RecordingSink& sink);

QString clipboardText();

// Runs the worked example of the window (every prompt's default) so that
// every output holds a value.
void fillWithWorkedExample(CalculationWindow* window);

}  // namespace velkarin::test
