// The worker that gathers the start-up classes, and connections over what it gathered.
#include "deadline_service.h"

#include <condition_variable>
#include <mutex>
#include <utility>

namespace freqsmith::detect {

struct DeadlineService::Shared {
  std::mutex mutex;
  std::condition_variable finished;
  Gathered gathered;    // written by the worker until `closed`
  bool done = false;    // the worker has read every class
  bool closed = false;  // the answers are fixed; the worker's later reads are dropped
};

namespace {

using Shared = DeadlineService::Shared;

// Records land in the shared state one property at a time, so what the deadline cuts off
// is exactly what had not been read yet.
void gather(Shared& shared, ManagementService& backend, const std::vector<QueriedClass>& classes) {
  for (const QueriedClass& queried : classes) {
    std::size_t classSlot = 0;
    {
      const std::lock_guard lock(shared.mutex);
      if (shared.closed) return;
      classSlot = shared.gathered.size();
      shared.gathered.emplace_back(queried.className, std::vector<RecordInstance>());
    }
    try {
      const std::unique_ptr<ServiceConnection> connection = backend.connect();
      if (!connection) continue;
      for (const auto& instance : connection->instancesOf(queried.className)) {
        std::size_t instanceSlot = 0;
        {
          const std::lock_guard lock(shared.mutex);
          if (shared.closed) return;
          auto& records = shared.gathered[classSlot].second;
          instanceSlot = records.size();
          records.emplace_back();
        }
        for (const std::string& property : queried.properties) {
          std::optional<Property> value = instance->property(property);
          const Gap gap = value ? Gap::NotReported : instance->gap(property);
          if (!value && gap == Gap::NotReported) continue;
          const std::lock_guard lock(shared.mutex);
          if (shared.closed) return;
          RecordInstance& record = shared.gathered[classSlot].second[instanceSlot];
          if (value) {
            record.set(property, std::move(*value));
          } else {
            record.setGap(property, gap);
          }
        }
      }
    } catch (...) {
      // The rest of this class is as good as unreachable; the next class gets a new
      // connection, as its query would.
    }
  }
  const std::lock_guard lock(shared.mutex);
  shared.done = true;
  shared.finished.notify_all();
}

// An instance that answers from a gathered record in place: the worker's copy is the only
// one.
class GatheredInstance final : public ServiceInstance {
 public:
  GatheredInstance(std::shared_ptr<const DeadlineService::Gathered> gathered,
                   const RecordInstance& record)
      : gathered_(std::move(gathered)), record_(record) {}

  std::optional<Property> property(std::string_view name) const override {
    return record_.property(name);
  }
  Gap gap(std::string_view name) const override { return record_.gap(name); }

 private:
  std::shared_ptr<const DeadlineService::Gathered> gathered_;  // keeps record_ alive
  const RecordInstance& record_;
};

class GatheredConnection final : public ServiceConnection {
 public:
  explicit GatheredConnection(std::shared_ptr<const DeadlineService::Gathered> gathered)
      : gathered_(std::move(gathered)) {}

  std::vector<std::unique_ptr<ServiceInstance>> instancesOf(std::string_view className) override {
    std::vector<std::unique_ptr<ServiceInstance>> instances;
    for (const auto& [name, records] : *gathered_) {
      if (!sameName(name, className)) continue;
      for (const RecordInstance& record : records) {
        instances.push_back(std::make_unique<GatheredInstance>(gathered_, record));
      }
    }
    return instances;
  }

 private:
  std::shared_ptr<const DeadlineService::Gathered> gathered_;
};

}  // namespace

DeadlineService::DeadlineService(std::shared_ptr<ManagementService> backend,
                                 std::chrono::milliseconds deadline,
                                 std::vector<QueriedClass> classes)
    : shared_(std::make_shared<Shared>()), deadline_(std::chrono::steady_clock::now() + deadline) {
  if (!backend) {
    shared_->done = true;
    return;
  }
  // The worker's own references keep the backend and the shared state alive for as long
  // as it runs, whatever becomes of this object.
  auto work = [shared = shared_, backend = std::move(backend), classes = std::move(classes)] {
    try {
      gather(*shared, *backend, classes);
    } catch (...) {
      // Only taking the lock or recording can throw here, and only for want of memory;
      // whatever was gathered stays.
    }
  };
  try {
    worker_ = std::thread(work);
  } catch (...) {
    // No thread (or no memory for one) to be had: the machine is in trouble already, and
    // reading in place, as the program would without the worker, is the best left.
    work();
  }
}

DeadlineService::~DeadlineService() {
  if (!worker_.joinable()) return;
  bool done = false;
  {
    const std::lock_guard lock(shared_->mutex);
    done = shared_->done;
    // Whatever the worker reads from now on is dropped.
    shared_->closed = true;
  }
  if (done) {
    worker_.join();  // only its last releases are left
  } else {
    worker_.detach();
  }
}

std::unique_ptr<ServiceConnection> DeadlineService::connect() {
  if (!answers_) {
    std::unique_lock lock(shared_->mutex);
    gatheredInTime_ =
        shared_->finished.wait_until(lock, deadline_, [this] { return shared_->done; });
    shared_->closed = true;
    answers_ = std::make_shared<const Gathered>(std::move(shared_->gathered));
  }
  return std::make_unique<GatheredConnection>(answers_);
}

}  // namespace freqsmith::detect
