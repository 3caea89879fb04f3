// Connections that copy out the records of the asked class.
#include "fake_service.h"

namespace freqsmith::detect {
namespace {

class FakeConnection final : public ServiceConnection {
 public:
  explicit FakeConnection(const std::map<std::string, std::vector<RecordInstance>>& classes)
      : classes_(classes) {}

  std::vector<std::unique_ptr<ServiceInstance>> instancesOf(std::string_view className) override {
    std::vector<std::unique_ptr<ServiceInstance>> instances;
    for (const auto& [name, records] : classes_) {
      if (!sameName(name, className)) continue;
      for (const RecordInstance& record : records) {
        instances.push_back(std::make_unique<RecordInstance>(record));
      }
    }
    return instances;
  }

 private:
  const std::map<std::string, std::vector<RecordInstance>>& classes_;
};

}  // namespace

void FakeService::add(std::string className, RecordInstance instance) {
  classes_[std::move(className)].push_back(std::move(instance));
}

std::unique_ptr<ServiceConnection> FakeService::connect() {
  ++connections_;
  if (!reachable_) return nullptr;
  return std::make_unique<FakeConnection>(classes_);
}

}  // namespace freqsmith::detect
