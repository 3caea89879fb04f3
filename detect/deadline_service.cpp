// The worker that gathers the start-up classes, and connections over what it gathered.
#include "deadline_service.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <utility>

namespace freqsmith::detect {

struct DeadlineService::Shared {
  std::mutex mutex;
  std::condition_variable finished;
  Gathered gathered;    // written by the worker until `closed`
  bool done = false;    // the worker has read every class
  bool closed = false;  // the answers are fixed; the worker's later reads are dropped
  std::function<void()> whenDone;
};

namespace {

using Shared = DeadlineService::Shared;
using GatheredClass = DeadlineService::GatheredClass;

// Reads one class into its slot. Records land in the shared state one property at a time,
// so what the deadline cuts off is exactly what had not been read yet. False once the
// answers are fixed.
bool gatherClass(Shared& shared, std::size_t slot, ManagementService& backend,
                 const QueriedClass& queried) {
  const std::unique_ptr<ServiceConnection> connection = backend.connect();
  if (!connection) throw ServiceFailure(std::string(kUnreachable));
  for (const auto& instance : connection->select(queried.className, queried.properties)) {
    std::size_t instanceSlot = 0;
    {
      const std::lock_guard lock(shared.mutex);
      if (shared.closed) return false;
      auto& records = shared.gathered[slot].records;
      instanceSlot = records.size();
      records.emplace_back();
    }
    for (const std::string& property : queried.properties) {
      std::optional<Property> value = instance->property(property);
      const Gap gap = value ? Gap::NotReported : instance->gap(property);
      if (!value && gap == Gap::NotReported) continue;
      const std::lock_guard lock(shared.mutex);
      if (shared.closed) return false;
      RecordInstance& record = shared.gathered[slot].records[instanceSlot];
      if (value) {
        record.set(property, std::move(*value));
      } else {
        record.setGap(property, gap);
      }
    }
  }
  std::optional<ClassFault> fault = connection->fault(queried.className);
  const std::lock_guard lock(shared.mutex);
  if (shared.closed) return false;
  shared.gathered[slot].fault = std::move(fault);
  shared.gathered[slot].finished = true;
  return true;
}

// The error a backend's throw carries, as the window and the report word it.
ClassFault failure(const std::exception_ptr& thrown) {
  try {
    std::rethrow_exception(thrown);
  } catch (const std::exception& error) {
    return {Gap::ServiceFailed, error.what()};
  } catch (...) {
    return {Gap::ServiceFailed, "an unknown error"};
  }
}

void gather(Shared& shared, ManagementService& backend, const std::vector<QueriedClass>& classes) {
  for (const QueriedClass& queried : classes) {
    std::size_t slot = 0;
    {
      const std::lock_guard lock(shared.mutex);
      if (shared.closed) return;
      slot = shared.gathered.size();
      shared.gathered.push_back({queried.className, {}, std::nullopt, false});
    }
    std::exception_ptr thrown;
    try {
      if (!gatherClass(shared, slot, backend, queried)) return;
    } catch (...) {
      thrown = std::current_exception();
    }
    if (thrown) {
      // What the class gave before stays; the next class gets a new connection, as its
      // query would.
      ClassFault fault = failure(thrown);
      const std::lock_guard lock(shared.mutex);
      if (shared.closed) return;
      shared.gathered[slot].fault = std::move(fault);
      shared.gathered[slot].finished = true;
    }
  }
  const std::lock_guard lock(shared.mutex);
  shared.done = true;
  shared.finished.notify_all();
  if (!shared.closed && shared.whenDone) std::exchange(shared.whenDone, nullptr)();
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
    for (const GatheredClass& gathered : *gathered_) {
      if (!sameName(gathered.name, className)) continue;
      for (const RecordInstance& record : gathered.records) {
        instances.push_back(std::make_unique<GatheredInstance>(gathered_, record));
      }
    }
    return instances;
  }

  std::optional<ClassFault> fault(std::string_view className) const override {
    for (const GatheredClass& gathered : *gathered_) {
      if (sameName(gathered.name, className)) return gathered.fault;
    }
    return std::nullopt;
  }

 private:
  std::shared_ptr<const DeadlineService::Gathered> gathered_;
};

}  // namespace

std::string durationText(std::chrono::milliseconds limit) {
  const auto ms = limit.count();
  if (ms == 1000) return "1 second";
  std::string text = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    text += "." + fraction;
  }
  return text + " seconds";
}

DeadlineService::DeadlineService(std::shared_ptr<ManagementService> backend,
                                 std::chrono::milliseconds deadline,
                                 std::vector<QueriedClass> classes, Start start)
    : shared_(std::make_shared<Shared>()),
      backend_(std::move(backend)),
      classes_(std::move(classes)),
      limit_(deadline) {
  for (const QueriedClass& queried : classes_) classNames_.push_back(queried.className);
  if (start == Start::Now) this->start();
}

void DeadlineService::start() {
  if (started_) return;
  started_ = true;
  deadline_ = std::chrono::steady_clock::now() + limit_;
  if (!backend_) {
    std::function<void()> whenDone;
    {
      const std::lock_guard lock(shared_->mutex);
      for (const std::string& name : classNames_) {
        shared_->gathered.push_back(
            {name, {}, ClassFault{Gap::ServiceFailed, std::string(kUnreachable)}, true});
      }
      shared_->done = true;
      whenDone = std::exchange(shared_->whenDone, nullptr);
    }
    if (whenDone) whenDone();
    return;
  }
  // The worker's own references keep the backend and the shared state alive for as long
  // as it runs, whatever becomes of this object.
  auto work = [shared = shared_, backend = std::move(backend_), classes = std::move(classes_)] {
    try {
      gather(*shared, *backend, classes);
    } catch (...) {
      // Only taking the lock or recording can throw here, and only for want of memory;
      // whatever was gathered stays, and the classes not finished count as timed out.
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
  bool done = false;
  {
    const std::lock_guard lock(shared_->mutex);
    done = shared_->done;
    // Whatever the worker reads from now on is dropped, and nobody is told.
    shared_->closed = true;
    shared_->whenDone = nullptr;
  }
  if (!worker_.joinable()) return;
  if (done) {
    worker_.join();  // only its last releases are left
  } else {
    worker_.detach();
  }
}

void DeadlineService::whenGathered(std::function<void()> done) {
  {
    const std::lock_guard lock(shared_->mutex);
    if (shared_->closed) return;
    if (!shared_->done) {
      shared_->whenDone = std::move(done);
      return;
    }
  }
  done();
}

bool DeadlineService::waitUntil(std::chrono::steady_clock::time_point until) {
  start();
  std::unique_lock lock(shared_->mutex);
  return shared_->finished.wait_until(lock, std::min(until, deadline_),
                                      [this] { return shared_->done; });
}

void DeadlineService::stopWaiting() {
  fix(false);
}

void DeadlineService::fix(bool wait) {
  if (answers_) return;
  start();
  std::unique_lock lock(shared_->mutex);
  if (wait) {
    shared_->finished.wait_until(lock, deadline_, [this] { return shared_->done; });
  }
  gatheredInTime_ = shared_->done;
  shared_->closed = true;
  shared_->whenDone = nullptr;
  Gathered gathered = std::move(shared_->gathered);
  lock.unlock();

  // Every class asked for has its place, in the order asked; the ones the worker had not
  // finished came too late.
  answeredInFull_ = gatheredInTime_;
  for (const std::string& name : classNames_) {
    auto found = std::find_if(gathered.begin(), gathered.end(),
                              [&name](const GatheredClass& c) { return c.name == name; });
    if (found == gathered.end()) found = gathered.insert(gathered.end(), {name, {}, {}, false});
    if (!found->finished) found->fault = ClassFault{Gap::TimedOut, durationText(limit_)};
    if (found->fault) answeredInFull_ = false;
  }
  answers_ = std::make_shared<const Gathered>(std::move(gathered));
}

std::vector<std::pair<std::string, ClassFault>> DeadlineService::faults() const {
  std::vector<std::pair<std::string, ClassFault>> found;
  if (!answers_) return found;
  for (const GatheredClass& gathered : *answers_) {
    if (gathered.fault) found.emplace_back(gathered.name, *gathered.fault);
  }
  return found;
}

std::unique_ptr<ServiceConnection> DeadlineService::connect() {
  fix(true);
  return std::make_unique<GatheredConnection>(answers_);
}

}  // namespace freqsmith::detect
