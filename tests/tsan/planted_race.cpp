// Two data races planted on purpose, for the ThreadSanitizer build to find: a check that
// ThreadSanitizer is really compiled in and reporting, and that the suppressions kept for
// Qt's own insides do not hide a race of ours, not even one reached through Qt's event loop.
//   planted_race plain    a worker writes what the starting thread reads, with no lock:
//                         the detection's shared answers without their mutex
//   planted_race queued   a worker posts a queued call to an object of the main thread and
//                         goes on writing what that call reads: the main window's answered
//                         callback, were it to touch the window's members itself
#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

// Plain ints, never atomics: the races are the point.
int plainAnswer = 0;
int queuedAnswer = 0;

// Relaxed atomics order nothing for ThreadSanitizer, so waiting on them keeps the race a
// race while making sure both sides have run before the process ends.
std::atomic<bool> written{false};

void writePlainAnswer() {
  plainAnswer = 42;
  written.store(true, std::memory_order_relaxed);
}

int readPlainAnswer() {
  while (!written.load(std::memory_order_relaxed)) std::this_thread::yield();
  return plainAnswer;
}

int plainRace() {
  std::thread worker(writePlainAnswer);
  const int answer = readPlainAnswer();
  worker.join();
  return answer == 42 ? 0 : 1;
}

class Receiver final : public QObject {
 public:
  void readQueuedAnswer() {
    while (!written.load(std::memory_order_relaxed)) std::this_thread::yield();
    seen_ = queuedAnswer;
    QCoreApplication::quit();
  }
  int seen() const { return seen_; }

 private:
  int seen_ = 0;
};

void postThenWriteQueuedAnswer(Receiver* receiver) {
  QMetaObject::invokeMethod(receiver, &Receiver::readQueuedAnswer, Qt::QueuedConnection);
  queuedAnswer = 42;
  written.store(true, std::memory_order_relaxed);
}

int queuedRace(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  Receiver receiver;
  std::thread worker;
  QTimer::singleShot(0, &receiver,
                     [&] { worker = std::thread(postThenWriteQueuedAnswer, &receiver); });
  // Should the call never come, the test fails on its missing report rather than hanging.
  QTimer::singleShot(std::chrono::seconds(30), &application, &QCoreApplication::quit);
  application.exec();
  if (worker.joinable()) worker.join();
  return receiver.seen() == 42 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "plain") == 0) return plainRace();
  if (argc == 2 && std::strcmp(argv[1], "queued") == 0) return queuedRace(argc, argv);
  std::fputs("usage: planted_race plain|queued\n", stderr);
  return 2;
}
