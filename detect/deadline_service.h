// A management service that cannot hold up start-up: a worker thread gathers what the
// queries read from the real backend, and the queries are answered from what it gathered
// by a deadline.
#pragma once

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "hardware_query.h"
#include "management_service.h"

namespace freqsmith::detect {

// Construction starts a worker that reads each class of `classes` from `backend` through a
// connection of its own, as the queries do, and copies the asked properties into records.
// The first connect() waits until the worker is done or `deadline` has passed since
// construction, whichever comes first; from then on every connection answers from the
// records gathered by that moment. A class, instance or property that came too late is
// absent, as if the backend could not supply it, so its field keeps its text. A backend
// that throws is taken as unreachable from the throw on: what it gave before stays.
//
// The worker shares ownership of the backend and of what it writes into, so a backend that
// answers after the deadline, or after this object is gone, still works on live objects. A
// worker still busy when this object goes is left to finish on its own; one that is done
// is joined.
class DeadlineService final : public ManagementService {
 public:
  // Far longer than any healthy backend takes (well under a millisecond on Linux, some
  // tens on Windows) and short enough that a hung one costs the user little.
  static constexpr std::chrono::milliseconds kStartupDeadline{2000};

  explicit DeadlineService(std::shared_ptr<ManagementService> backend,
                           std::chrono::milliseconds deadline = kStartupDeadline,
                           std::vector<QueriedClass> classes = startupClasses());
  ~DeadlineService() override;
  DeadlineService(const DeadlineService&) = delete;
  DeadlineService& operator=(const DeadlineService&) = delete;

  std::unique_ptr<ServiceConnection> connect() override;

  // Whether the worker had read everything before the answers were fixed; false also
  // before the first connect().
  bool gatheredInTime() const { return gatheredInTime_; }

  // Each class's records, in the order the worker read them.
  using Gathered = std::vector<std::pair<std::string, std::vector<RecordInstance>>>;
  struct Shared;  // what the worker and this object share

 private:
  std::shared_ptr<Shared> shared_;
  std::chrono::steady_clock::time_point deadline_;
  std::thread worker_;
  std::shared_ptr<const Gathered> answers_;  // fixed by the first connect()
  bool gatheredInTime_ = false;
};

}  // namespace freqsmith::detect
