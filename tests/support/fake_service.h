// A management service that answers from records given in code: for tests, benchmarks and
// running the window with a machine of one's choosing.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "management_service.h"

namespace freqsmith::detect {

class FakeService final : public ManagementService {
 public:
  FakeService() = default;
  explicit FakeService(std::map<std::string, std::vector<RecordInstance>> classes)
      : classes_(std::move(classes)) {}

  void add(std::string className, RecordInstance instance);
  // An unreachable service: connect() gives nothing.
  void setReachable(bool reachable) { reachable_ = reachable; }
  int connections() const { return connections_; }

  std::unique_ptr<ServiceConnection> connect() override;

 private:
  std::map<std::string, std::vector<RecordInstance>> classes_;
  bool reachable_ = true;
  int connections_ = 0;
};

}  // namespace freqsmith::detect
