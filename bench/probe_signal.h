// How a start-up probe tells the benchmark that its first window has been painted: one byte
// on the pipe whose descriptor the benchmark passes in FREQSMITH_PROBE_FD, then one line with
// how long each step of its start-up took (see markStep). Then the probe ends at once, so
// that a whole-process timing is start-up to the first paint and nothing after it; or, with
// "--until-complete", only once the window is whole, for its peak memory.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace freqsmith::bench {

inline bool untilComplete(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--until-complete") == 0) return true;
  }
  return false;
}

// The steps of a start-up, each timed from the end of the one before. A probe marks the start
// of main() and the end of each step; the first paint is marked here. Both probes name their
// steps alike, so that the benchmark can set them side by side.
using StepClock = std::chrono::steady_clock;
inline std::vector<std::pair<const char*, StepClock::time_point>>& stepMarks() {
  static std::vector<std::pair<const char*, StepClock::time_point>> marks;
  return marks;
}
inline void markStep(const char* step) {
  stepMarks().emplace_back(step, StepClock::now());
}

// "QApplication=1.41;first paint=2.90\n": milliseconds for each step after the first mark.
inline std::string stepLine() {
  std::string line;
  const auto& marks = stepMarks();
  for (std::size_t i = 1; i < marks.size(); ++i) {
    const std::chrono::duration<double, std::milli> took = marks[i].second - marks[i - 1].second;
    char figure[32];
    std::snprintf(figure, sizeof figure, "=%.3f;", took.count());
    line += marks[i].first;
    line += figure;
  }
  return line + '\n';
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
            markStep("first paint");
            // Only the benchmark table passes a pipe; a whole-process timing needs none.
            if (const char* fd = std::getenv("FREQSMITH_PROBE_FD")) {
              QFile pipe;
              if (pipe.open(std::atoi(fd), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
                pipe.write("\1", 1);
                pipe.flush();
                pipe.write(QByteArray::fromStdString(stepLine()));
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
