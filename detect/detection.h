// Reading the hardware without holding anything up: a worker runs the platform's reader,
// and what it has read by the time limit is the answer.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "facts.h"
#include "reader.h"

namespace freqsmith::detect {

// The worker reads the processor, the mainboard and the BIOS in that order and publishes
// each part whole as it comes. The first call of answers() fixes them: a part not in by
// then has timed out, and what the worker reads afterwards is dropped. The worker owns its
// reader and what it writes into, so one still inside a hung service outlives this object
// without touching anything freed; one that is done is joined.
class Detection {
 public:
  // How long the system has to answer. On Linux it takes well under a millisecond and under
  // Wine some tens. On real Windows WMI is far slower: projects that list every property of
  // Win32_Processor report about a second per processor core, and a query that names its
  // properties, as ours does, a fraction of that; a service busy after boot, or with a
  // repository to rebuild, takes longer still. Nothing waits on it but Detect and
  // Calculate, so the limit can be generous; it still ends the wait for one that hangs.
  static constexpr std::chrono::seconds kTimeLimit{30};

  explicit Detection(Reader reader, std::chrono::milliseconds limit = kTimeLimit);
  ~Detection();
  Detection(const Detection&) = delete;
  Detection& operator=(const Detection&) = delete;

  // Starts the worker and the time limit with it; later calls do nothing. `answered` is
  // called once, on the worker, when the last part is in, unless answers() or the end of
  // this object came first; it must not call back into this object.
  void start(std::function<void()> answered = {});

  // Waits, having started the worker, until every part is in or `until`, but never past
  // the time limit; true when every part is in.
  [[nodiscard]] bool waitUntil(std::chrono::steady_clock::time_point until);
  // The end of the time limit; only once started.
  std::chrono::steady_clock::time_point deadline() const { return deadline_; }

  // What came, as fixed by the first call.
  const Hardware& answers();

  struct Shared;  // what the worker and this object share

 private:
  Reader reader_;  // until the worker takes it
  std::chrono::milliseconds limit_;
  std::chrono::steady_clock::time_point deadline_;
  bool started_ = false;
  std::shared_ptr<Shared> shared_;
  std::optional<Hardware> answers_;
  std::thread worker_;
};

// How a time limit reads in a sentence: "30 seconds", "0.3 seconds", "1 second".
std::string durationText(std::chrono::milliseconds limit);

}  // namespace freqsmith::detect
