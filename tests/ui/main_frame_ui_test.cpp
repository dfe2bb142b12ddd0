// SPDX-License-Identifier: Apache-2.0
// The frame MDIForm1: start-up, its menu, and Show / Exit / close of the
// calculation windows.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

#include "tests/ui/ui_test_support.h"
#include "ui/calculator/calculation_window.h"
#include "ui/calculator/main_frame.h"
#include "ui/common/application_icon.h"
#include "ui/diagram/equilibrium_diagram_window.h"

using namespace velkarin;
using namespace velkarin::test;

Q_DECLARE_METATYPE(velkarin::Reaction)

namespace {

QMdiSubWindow* subWindowOf(CalculationWindow* window) { return qobject_cast<QMdiSubWindow*>(window->parentWidget()); }

QString focusName() {
  const QWidget* focus = QApplication::focusWidget();
  return focus ? focus->objectName() : QString();
}

}  // namespace

class MainFrameUiTest : public FrameTestCase {
  Q_OBJECT

  QMdiArea* workspace() const { return frame_->findChild<QMdiArea*>(); }
  QAction* menuItem(const char* name) const { return frame_->findChild<QAction*>(QString::fromUtf8(name)); }

  // A window in its initial state: first presets, empty boxes and list, focus on Command1.
  void verifyInitialState(CalculationWindow* window, const QString& firstA, const QString& firstB) {
    QCOMPARE(combo(*window, "Combo1")->currentText(), firstA);
    QCOMPARE(combo(*window, "Combo2")->currentText(), firstB);
    QCOMPARE(boxTexts(*window), QStringList(8));
    QCOMPARE(listLines(*window), QStringList());
    QCOMPARE(window->focusWidget(), button(*window, "Command1"));
    // The offscreen platform leaves no window active after a dialog closed;
    // a window manager gives the activation back to the frame.
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    QTRY_COMPARE(focusName(), QStringLiteral("Command1"));
  }

  void calculateWithDefaults(CalculationWindow* window) {
    DialogDriver driver(keepDefaults());
    clickCalculate(*window, driver);
    QCOMPARE(driver.problems(), QStringList());
  }

 private slots:
  void start_up_shows_the_frame_with_form1_only() {
    QVERIFY(frame_->isVisible());
    QCOMPARE(frame_->objectName(), QStringLiteral("MDIForm1"));
    QCOMPARE(frame_->windowTitle(), QStringLiteral("MDIForm1"));
    QCOMPARE(workspace()->subWindowList().size(), 1);
    CalculationWindow* form1 = frame_->calculationWindow(Reaction::Cr2O3);
    QVERIFY(form1);
    QCOMPARE(form1->objectName(), QStringLiteral("Form1"));
    QVERIFY(form1->isVisible());
    QCOMPARE(frame_->activeCalculationWindow(), form1);
    QVERIFY(!frame_->calculationWindow(Reaction::Cr3O4));
    QVERIFY(!frame_->findChild<QWidget*>(QStringLiteral("Form2")));
    verifyInitialState(form1, "739938", "-475.137");
  }

  // The menus as captioned, no mnemonic letters; F10 opens the first.
  void menus_read_as_designed_and_f10_opens_the_first() {
    QStringList titles;
    for (QAction* menu : frame_->menuBar()->actions()) titles << menu->text();
    QCOMPARE(titles, (QStringList{"文件", "图表", "窗口", "帮助"}));
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    QTest::keyClick(frame_.get(), Qt::Key_F10);
    QTRY_COMPARE(frame_->menuBar()->activeAction(), frame_->menuBar()->actions()[0]);
    QTest::keyClick(frame_->menuBar(), Qt::Key_Escape);
  }

  // 窗口 names the open windows and cascades or tiles them; a new window is
  // placed beside the others where the workspace has room.
  void window_menu_lists_the_windows_and_new_ones_do_not_cover_others() {
    frame_->resize(2600, 1000);  // room for both windows side by side
    QTest::qWait(20);
    CalculationWindow* form2 = frame_->showCalculationWindow(Reaction::Cr3O4);
    const QRect first = frame_->calculationWindow(Reaction::Cr2O3)->parentWidget()->geometry();
    const QRect second = form2->parentWidget()->geometry();
    QVERIFY2(!first.intersects(second), "Form2 opened over Form1");
    QMenu* windows = frame_->findChild<QMenu*>(QStringLiteral("窗口"));
    QVERIFY(windows);
    emit windows->aboutToShow();
    QStringList entries;
    for (QAction* action : windows->actions()) {
      if (!action->isSeparator()) entries << action->text();
    }
    QCOMPARE(entries, (QStringList{"层叠", "平铺", "产物为Cr2O3的脱碳计算", "产物为Cr3O4的脱碳计算"}));
    windows->actions()[0]->trigger();  // 层叠
    QTRY_VERIFY(frame_->calculationWindow(Reaction::Cr2O3)
                    ->parentWidget()
                    ->geometry()
                    .intersects(form2->parentWidget()->geometry()));
  }

  // 帮助: the guide shows the README's sections on the program; About names
  // the version and the licence.
  void help_menu_shows_the_guide_and_about() {
    QMenu* help = frame_->findChild<QMenu*>(QStringLiteral("帮助"));
    QVERIFY(help);
    help->actions()[0]->trigger();
    auto* guide = frame_->findChild<QTextBrowser*>(QStringLiteral("guide"));
    QVERIFY(guide);
    QVERIFY(guide->toPlainText().contains(QStringLiteral("平衡曲线图")));
    QVERIFY(guide->toPlainText().contains(QStringLiteral("物料平衡")));  // the manual in Chinese, not the README
    QVERIFY(!guide->toPlainText().contains(QStringLiteral("make run")));
    // Searchable: Enter finds the text and selects it.
    auto* search = guide->window()->findChild<QLineEdit*>(QStringLiteral("guideSearch"));
    QVERIFY(search);
    search->setText(QStringLiteral("求气体比"));
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(guide->textCursor().selectedText(), QStringLiteral("求气体比"));
    // Within the screen, its 关闭 in reach.
    QVERIFY(guide->window()->screen()->availableGeometry().contains(guide->window()->frameGeometry()) ||
            guide->window()->height() <= guide->window()->screen()->availableGeometry().height());
    DialogDriver driver;
    help->actions()[1]->trigger();
    const QList<SeenDialog> boxes = driver.seen(SeenDialog::Kind::Other);
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes[0].text.contains(QStringLiteral("Velkarin ")));
    guide->window()->close();
  }

  void file_menu_holds_three_plain_items() {
    const QList<QAction*> bar = frame_->menuBar()->actions();
    QCOMPARE(bar.size(), 4);  // 文件, then 图表 (see the diagram's tests), 窗口 and 帮助
    QMenu* file = bar[0]->menu();
    QVERIFY(file);
    QCOMPARE(file->objectName(), QStringLiteral("文件"));
    QCOMPARE(file->title(), QStringLiteral("文件"));
    const QList<QAction*> items = file->actions();
    const QStringList names{"脱碳计算1", "脱碳计算2", "退出"};
    const QStringList captions{"产物为Cr2O3的脱碳计算", "产物为Cr3O4的脱碳计算", "退出"};
    QCOMPARE(items.size(), 3);
    for (qsizetype i = 0; i < items.size(); ++i) {
      QCOMPARE(items[i]->objectName(), names[i]);
      QCOMPARE(items[i]->text(), captions[i]);
      QVERIFY(!items[i]->isSeparator());
      QVERIFY(items[i]->shortcut().isEmpty());
      QVERIFY(items[i]->isEnabled() && items[i]->isVisible() && !items[i]->isCheckable());
    }
  }

  void menu_creates_an_absent_window() {
    menuItem("脱碳计算2")->trigger();
    CalculationWindow* form2 = frame_->calculationWindow(Reaction::Cr3O4);
    QVERIFY(form2);
    QCOMPARE(form2->objectName(), QStringLiteral("Form2"));
    QVERIFY(form2->isVisible());
    QCOMPARE(frame_->activeCalculationWindow(), form2);
    QCOMPARE(workspace()->subWindowList().size(), 2);
    verifyInitialState(form2, "697890", "-461.535");
  }

  void exit_button_hides_and_menu_shows_contents_unchanged_data() {
    QTest::addColumn<Reaction>("reaction");
    QTest::addColumn<QString>("menuItem");
    QTest::newRow("Form1") << Reaction::Cr2O3 << "脱碳计算1";
    QTest::newRow("Form2") << Reaction::Cr3O4 << "脱碳计算2";
  }
  void exit_button_hides_and_menu_shows_contents_unchanged() {
    QFETCH(Reaction, reaction);
    QFETCH(QString, menuItem);
    CalculationWindow* window = frame_->showCalculationWindow(reaction);
    calculateWithDefaults(window);
    combo(*window, "Combo2")->setEditText(QStringLiteral("-470"));
    const QStringList boxes = boxTexts(*window);
    const QStringList lines = listLines(*window);

    QTest::mouseClick(button(*window, "Command2"), Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QVERIFY(subWindowOf(window)->isHidden());
    QCOMPARE(frame_->calculationWindow(reaction), window);  // hidden, not discarded
    QVERIFY(frame_->isVisible());

    frame_->findChild<QAction*>(menuItem)->trigger();
    QCOMPARE(frame_->calculationWindow(reaction), window);
    QVERIFY(window->isVisible());
    QCOMPARE(frame_->activeCalculationWindow(), window);
    QCOMPARE(boxTexts(*window), boxes);
    QCOMPARE(listLines(*window), lines);
    QCOMPARE(combo(*window, "Combo2")->currentText(), QStringLiteral("-470"));
    QCOMPARE(window->lastCompletedState()->temperature, 1923.0);
  }

  // After 退出 hides Form2, no keystroke reaches it: Form1 is active again,
  // and Space and Tab act there, never on the hidden window.
  void hidden_window_takes_no_keystroke() {
    CalculationWindow* form1 = frame_->showCalculationWindow(Reaction::Cr2O3);
    CalculationWindow* form2 = frame_->showCalculationWindow(Reaction::Cr3O4);
    calculateWithDefaults(form2);
    QTest::mouseClick(button(*form2, "Command2"), Qt::LeftButton);

    QCOMPARE(frame_->activeCalculationWindow(), form1);
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(!focus || !form2->isAncestorOf(focus));
    DialogDriver driver;  // no prompt may open
    for (int i = 0; i < 12; ++i) {
      QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : frame_.get();
      QVERIFY2(!form2->isAncestorOf(target), qPrintable(target->objectName()));
      QTest::keyClick(target, i % 3 == 2 ? Qt::Key_Space : Qt::Key_Tab);
      waitForCalculation(*form1);
    }
    QCOMPARE(listLines(*form2).size(), 1);
    QCOMPARE(driver.seen(SeenDialog::Kind::Prompt).size(), 0);
  }

  // The program's icon is built in, in every size the theme folders get.
  void application_icon_is_built_in() {
    const QIcon icon = applicationIcon();
    QVERIFY(!icon.isNull());
    for (int size : {16, 32, 48, 256}) QCOMPARE(icon.actualSize(QSize(size, size)), QSize(size, size));
  }

  // The title-bar menu of a fixed window: move and close, no shortcut; Ctrl+W does nothing.
  void system_menu_offers_move_and_close_without_shortcuts() {
    CalculationWindow* window = frame_->showCalculationWindow(Reaction::Cr2O3);
    QMdiSubWindow* subWindow = subWindowOf(window);
    QStringList items;
    for (const QAction* action : subWindow->systemMenu()->actions()) {
      items << action->text();
      QVERIFY(action->shortcuts().isEmpty());
    }
    QCOMPARE(items, (QStringList{QMdiSubWindow::tr("&Move"), QMdiSubWindow::tr("&Close")}));
    QTest::keyClick(button(*window, "Command1"), Qt::Key_W, Qt::ControlModifier);
    QTest::qWait(20);
    QCOMPARE(frame_->calculationWindow(Reaction::Cr2O3), window);
    QVERIFY(window->isVisible());
  }

  void title_bar_close_discards_and_menu_starts_fresh_data() {
    QTest::addColumn<Reaction>("reaction");
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<QString>("firstA");
    QTest::addColumn<QString>("firstB");
    QTest::newRow("Form1") << Reaction::Cr2O3 << "脱碳计算1"
                           << "739938"
                           << "-475.137";
    QTest::newRow("Form2") << Reaction::Cr3O4 << "脱碳计算2"
                           << "697890"
                           << "-461.535";
  }
  void title_bar_close_discards_and_menu_starts_fresh() {
    QFETCH(Reaction, reaction);
    QFETCH(QString, menuItem);
    QFETCH(QString, firstA);
    QFETCH(QString, firstB);
    QPointer<CalculationWindow> window = frame_->showCalculationWindow(reaction);
    calculateWithDefaults(window);
    combo(*window, "Combo1")->setEditText(QStringLiteral("1"));

    QVERIFY(subWindowOf(window)->close());
    QVERIFY(!frame_->calculationWindow(reaction));
    QTRY_VERIFY(window.isNull());

    frame_->findChild<QAction*>(menuItem)->trigger();
    CalculationWindow* fresh = frame_->calculationWindow(reaction);
    QVERIFY(fresh);
    QVERIFY(fresh->isVisible());
    QCOMPARE(frame_->activeCalculationWindow(), fresh);
    QVERIFY(!fresh->lastCompletedState());
    verifyInitialState(fresh, firstA, firstB);
  }

  void close_then_show_at_once_still_starts_fresh() {
    CalculationWindow* window = frame_->calculationWindow(Reaction::Cr2O3);
    calculateWithDefaults(window);
    subWindowOf(window)->close();  // deleted only later, from the event loop
    CalculationWindow* fresh = frame_->showCalculationWindow(Reaction::Cr2O3);
    QCOMPARE(listLines(*fresh), QStringList());
    QCOMPARE(workspace()->subWindowList().size(), 1);
  }

  void menu_on_a_shown_window_brings_it_to_front() {
    CalculationWindow* form1 = frame_->calculationWindow(Reaction::Cr2O3);
    calculateWithDefaults(form1);
    CalculationWindow* form2 = frame_->showCalculationWindow(Reaction::Cr3O4);
    QCOMPARE(frame_->activeCalculationWindow(), form2);
    const QStringList form1Lines = listLines(*form1);

    menuItem("脱碳计算1")->trigger();
    QCOMPARE(frame_->calculationWindow(Reaction::Cr2O3), form1);
    QCOMPARE(frame_->activeCalculationWindow(), form1);
    QCOMPARE(workspace()->subWindowList(QMdiArea::StackingOrder).last(), subWindowOf(form1));
    QCOMPARE(workspace()->subWindowList().size(), 2);
    QCOMPARE(listLines(*form1), form1Lines);
    QVERIFY(form2->isVisible());
  }

  void window_has_fixed_size_and_a_close_button_only_data() {
    QTest::addColumn<Reaction>("reaction");
    QTest::addColumn<QSize>("clientSize");
    QTest::newRow("Form1") << Reaction::Cr2O3 << QSize(1211, 584);
    QTest::newRow("Form2") << Reaction::Cr3O4 << QSize(1209, 592);
  }
  void window_has_fixed_size_and_a_close_button_only() {
    QFETCH(Reaction, reaction);
    QFETCH(QSize, clientSize);
    CalculationWindow* window = frame_->showCalculationWindow(reaction);
    QMdiSubWindow* subWindow = subWindowOf(window);
    QCOMPARE(window->size(), clientSize);
    QCOMPARE(subWindow->windowTitle(), QStringLiteral("Velkarin"));
    QCOMPARE(subWindow->minimumSize(), subWindow->maximumSize());
    QCOMPARE(subWindow->size(), subWindow->minimumSize());
    const Qt::WindowFlags flags = subWindow->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));  // the close button
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowShadeButtonHint));
  }

  // The offscreen screen (800 × 600) is smaller than a calculation window:
  // the frame stays on the screen and the workspace scrolls to every part.
  void small_screen_workspace_scrolls_to_the_whole_window() {
    CalculationWindow* window = frame_->showCalculationWindow(Reaction::Cr3O4);
    const QRect available = frame_->screen()->availableGeometry();
    QVERIFY(frame_->width() <= available.width() && frame_->height() <= available.height());
    QMdiSubWindow* subWindow = subWindowOf(window);
    const QSize viewport = workspace()->viewport()->size();
    QVERIFY(viewport.width() < subWindow->width());
    QVERIFY(workspace()->horizontalScrollBar()->maximum() + viewport.width() >= subWindow->width());
    QVERIFY(workspace()->verticalScrollBar()->maximum() + viewport.height() >= subWindow->height());
  }

  // Both calculation windows and a maximised diagram: closing the diagram
  // with its Ctrl+W hands the activation back without recursing.
  void closing_a_maximised_diagram_beside_both_windows_returns() {
    frame_->showCalculationWindow(Reaction::Cr2O3);
    frame_->showCalculationWindow(Reaction::Cr3O4);
    EquilibriumDiagramWindow* diagram = frame_->showDiagramWindow();
    auto* subWindow = qobject_cast<QMdiSubWindow*>(diagram->parentWidget());
    QVERIFY(subWindow);
    subWindow->showMaximized();
    QApplication::processEvents();
    QTest::keyClick(diagram, Qt::Key_W, Qt::ControlModifier);
    QTRY_VERIFY(!frame_->diagramWindow());
    QVERIFY(frame_->calculationWindow(Reaction::Cr2O3)->isVisible());
    QVERIFY(frame_->calculationWindow(Reaction::Cr3O4)->isVisible());
    QVERIFY(frame_->activeCalculationWindow());
  }

  void program_ends_without_a_question_data() {
    QTest::addColumn<bool>("throughMenu");
    QTest::newRow("menu item 退出") << true;
    QTest::newRow("frame close button") << false;
  }
  void program_ends_without_a_question() {
    QFETCH(bool, throughMenu);
    CalculationWindow* form1 = frame_->calculationWindow(Reaction::Cr2O3);
    calculateWithDefaults(form1);
    CalculationWindow* form2 = frame_->showCalculationWindow(Reaction::Cr3O4);
    calculateWithDefaults(form2);
    QTest::mouseClick(button(*form2, "Command2"), Qt::LeftButton);  // one window hidden

    DialogDriver driver;
    if (throughMenu) {
      menuItem("退出")->trigger();
    } else {
      QVERIFY(frame_->close());
    }
    QVERIFY(!frame_->isVisible());
    QCOMPARE(driver.seen().size(), 0);
    for (const QWidget* topLevel : QApplication::topLevelWidgets()) QVERIFY(!topLevel->isVisible());
  }
};

QTEST_MAIN(MainFrameUiTest)
#include "main_frame_ui_test.moc"
