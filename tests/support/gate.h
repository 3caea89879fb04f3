// Holds a fake backend until the test lets it go, so that tests decide when a slow service
// answers instead of sleeping; far beyond any time limit a test uses otherwise.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace freqsmith::testing {

class Gate {
 public:
  void wait() {
    std::unique_lock lock(mutex_);
    opened_.wait_for(lock, std::chrono::seconds(60), [this] { return open_; });
  }
  void open() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    opened_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

}  // namespace freqsmith::testing
