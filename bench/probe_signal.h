// How a start-up probe tells the benchmark that its first window has been painted: one byte
// on the pipe whose descriptor the benchmark passes in FREQSMITH_PROBE_FD. Then the probe
// ends at once, so that a whole-process timing is start-up to the first paint and nothing
// after it; or, with "--until-complete", only once the window is whole, for its peak memory.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <cstdlib>
#include <cstring>

namespace freqsmith::bench {

inline bool untilComplete(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--until-complete") == 0) return true;
  }
  return false;
}

// What the probe does once it has signalled the paint.
enum class Ending {
  AtOnce,  // ends the process there and then
  Quit,    // leaves the event loop, as a program ends
  Later,   // nothing: the probe's own code quits once its window is whole
};

class FirstPaintSignal final : public QObject {
 public:
  FirstPaintSignal(QWidget* window, Ending ending) : QObject(window), ending_(ending) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_) {
      done_ = true;
      // After the paint event, which is when the picture goes to the screen.
      QMetaObject::invokeMethod(
          this,
          [this] {
            // Only the benchmark table passes a pipe; a whole-process timing needs none.
            if (const char* fd = std::getenv("FREQSMITH_PROBE_FD")) {
              QFile pipe;
              if (pipe.open(std::atoi(fd), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
                pipe.write("\1", 1);
                pipe.flush();
              }
            }
            if (ending_ == Ending::AtOnce) std::_Exit(0);
            if (ending_ == Ending::Quit) QCoreApplication::quit();
          },
          Qt::QueuedConnection);
    }
    return false;
  }

 private:
  Ending ending_;
  bool done_ = false;
};

}  // namespace freqsmith::bench
