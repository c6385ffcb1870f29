#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace velmora::test {

// Lets the event loop run until `done`; false once `limit_ms` have passed.
inline bool Within(int limit_ms, const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > limit_ms) {
      return false;
    }
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

}  // namespace velmora::test
