// How a start-up probe tells the benchmark that its first window has been painted: one byte
// on the pipe whose descriptor the benchmark passes in FREQSMITH_PROBE_FD.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <cstdlib>
#include <unistd.h>

namespace freqsmith::bench {

class FirstPaintSignal final : public QObject {
 public:
  explicit FirstPaintSignal(QWidget* window) : QObject(window) { window->installEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_) {
      done_ = true;
      QMetaObject::invokeMethod(
          this,
          [] {
            if (const char* fd = std::getenv("FREQSMITH_PROBE_FD")) {
              const char byte = 1;
              [[maybe_unused]] const auto written = ::write(std::atoi(fd), &byte, 1);
            }
            QCoreApplication::quit();
          },
          Qt::QueuedConnection);
    }
    return false;
  }

 private:
  bool done_ = false;
};

}  // namespace freqsmith::bench
