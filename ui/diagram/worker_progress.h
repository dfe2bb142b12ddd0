// SPDX-License-Identifier: Apache-2.0
#pragma once

// A long reading or fit on a worker thread while the window stays
// responsive: a window-modal progress dialog, shown only past 0.2 s, whose
// 取消 sets `cancel` (the work asks it between its steps); `tick` updates the
// dialog every 50 ms from the window's thread. Returns the work's result.

#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <functional>
#include <utility>

namespace velkarin {

template <class Work>
auto runWithProgress(QWidget* parent, const QString& title, const QString& text, int maximum, std::atomic<bool>& cancel,
                     Work work, const std::function<void(QProgressDialog&)>& tick) {
  using Result = decltype(work());
  QFutureWatcher<Result> watcher;
  QEventLoop loop;
  QObject::connect(&watcher, &QFutureWatcher<Result>::finished, &loop, &QEventLoop::quit);
  watcher.setFuture(QtConcurrent::run(std::move(work)));
  QProgressDialog progress(text, QStringLiteral("取消"), 0, maximum, parent);
  progress.setWindowTitle(title);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(200);
  progress.setAutoClose(false);
  progress.setAutoReset(false);
  QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] { cancel = true; });
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, &progress, [&] { tick(progress); });
  timer.start(50);
  if (!watcher.isFinished()) loop.exec();
  timer.stop();
  progress.reset();
  return watcher.future().takeResult();
}

}  // namespace velkarin
