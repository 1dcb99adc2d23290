#pragma once
// Letting a Qt test's events run until what it waits for has happened: a window closed, a
// worker's result arrived, another process answered. The deadline only ends a test that would
// otherwise hang; no test measures time with it.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace sonalog::testing {

// Lets events run until done() holds; false when timeoutMs passed first.
inline bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

}  // namespace sonalog::testing
