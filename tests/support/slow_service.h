// A management service that takes its time, as WMI does on real Windows, where listing a
// processor's properties can cost seconds: the first connection answers only after
// `delay`, then everything is read from `inner` at its own pace. For benchmarks, which
// measure real time; tests hold a service on a gate instead.
#pragma once

#include <chrono>
#include <memory>
#include <thread>

#include "management_service.h"

namespace freqsmith::testing {

class SlowService final : public detect::ManagementService {
 public:
  SlowService(std::shared_ptr<detect::ManagementService> inner, std::chrono::milliseconds delay)
      : inner_(std::move(inner)), delay_(delay) {}

  std::unique_ptr<detect::ServiceConnection> connect() override {
    if (!waited_) {
      std::this_thread::sleep_for(delay_);
      waited_ = true;
    }
    return inner_->connect();
  }

 private:
  std::shared_ptr<detect::ManagementService> inner_;
  std::chrono::milliseconds delay_;
  bool waited_ = false;
};

}  // namespace freqsmith::testing
