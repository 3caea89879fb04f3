// A management service that cannot hold anything up: a worker thread gathers what the
// queries read from the real backend, and the queries are answered from what it gathered,
// once it is done or the time limit has passed.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "hardware_query.h"
#include "management_service.h"

namespace freqsmith::detect {

// Construction starts a worker that reads each class of `classes` from `backend` through a
// connection of its own, as the queries do, and copies the asked properties into records.
// The answers are fixed by the first connect(), which waits until the worker is done or
// `deadline` has passed since construction, whichever comes first, or by stopWaiting(),
// which does not wait. From then on every connection answers from the records gathered by
// that moment. A class that had not been read in full by then gives what came and says it
// timed out; a class whose backend threw says the service failed, with its error.
//
// The worker shares ownership of the backend and of what it writes into, so a backend that
// answers after the deadline, or after this object is gone, still works on live objects. A
// worker still busy when this object goes is left to finish on its own; one that is done
// is joined.
class DeadlineService final : public ManagementService {
 public:
  // How long the backend has to answer. On Linux it takes well under a millisecond and under
  // Wine some tens. On real Windows, WMI is far slower: projects that list every property
  // of Win32_Processor report about a second per processor core, and a query that names its
  // properties, as ours does, a fraction of that; a service busy after boot or with a
  // repository to rebuild takes longer still. Nothing waits on it but Detect and Calculate,
  // so the limit can be generous; it still ends the wait for a service that hangs.
  static constexpr std::chrono::seconds kTimeLimit{30};

  // When the worker starts: at construction, or when start() is first called, for a program
  // that has other work to do first.
  enum class Start : std::uint8_t { Now, Later };

  explicit DeadlineService(std::shared_ptr<ManagementService> backend,
                           std::chrono::milliseconds deadline = kTimeLimit,
                           std::vector<QueriedClass> classes = startupClasses(),
                           Start start = Start::Now);
  DeadlineService(std::shared_ptr<ManagementService> backend, Start start)
      : DeadlineService(std::move(backend), kTimeLimit, startupClasses(), start) {}
  ~DeadlineService() override;
  DeadlineService(const DeadlineService&) = delete;
  DeadlineService& operator=(const DeadlineService&) = delete;

  // Starts the worker, and the time limit with it; later calls do nothing. Waiting for the
  // answers, or fixing them, starts it too.
  void start();

  // Runs `done` once the worker has read every class: on the worker's thread, or at once
  // on this one when it already has. Never once the answers are fixed or this object is
  // gone, so it must not call back into this object. Replaces an earlier `done`.
  void whenGathered(std::function<void()> done);

  // Waits until the worker is done or `until`, but never past the deadline; true when done.
  [[nodiscard]] bool waitUntil(std::chrono::steady_clock::time_point until);
  // The time limit's end; only once started.
  std::chrono::steady_clock::time_point deadline() const { return deadline_; }

  // Fixes the answers as they stand, without waiting: what has not come has timed out.
  void stopWaiting();

  std::unique_ptr<ServiceConnection> connect() override;

  // Whether the worker had read everything before the answers were fixed; false also
  // before they are.
  bool gatheredInTime() const { return gatheredInTime_; }
  // Whether every class was answered in time and without the service failing; false also
  // before the answers are fixed.
  bool answeredInFull() const { return answeredInFull_; }
  // Each class that was not answered in full, with why; empty before the answers are fixed.
  std::vector<std::pair<std::string, ClassFault>> faults() const;

  struct GatheredClass {
    std::string name;
    std::vector<RecordInstance> records;  // in the order the worker read them
    std::optional<ClassFault> fault;
    bool finished = false;  // read to the end, or failed
  };
  using Gathered = std::vector<GatheredClass>;
  struct Shared;  // what the worker and this object share

 private:
  void fix(bool wait);

  std::shared_ptr<Shared> shared_;
  std::shared_ptr<ManagementService> backend_;  // until the worker takes it
  std::vector<QueriedClass> classes_;
  std::vector<std::string> classNames_;
  std::chrono::milliseconds limit_;
  std::chrono::steady_clock::time_point deadline_;
  bool started_ = false;
  std::thread worker_;
  std::shared_ptr<const Gathered> answers_;  // fixed by the first connect() or stopWaiting()
  bool gatheredInTime_ = false;
  bool answeredInFull_ = false;
};

// How a time limit reads in a sentence: "30 seconds", "0.3 seconds", "1 second".
std::string durationText(std::chrono::milliseconds limit);

}  // namespace freqsmith::detect
