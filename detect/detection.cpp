// The detection's worker and the answers it leaves.
#include "detection.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

namespace freqsmith::detect {

struct Detection::Shared {
  std::mutex mutex;
  std::condition_variable arrived;
  std::optional<Processor> processor;
  std::optional<Board> board;
  std::optional<Bios> bios;
  bool closed = false;    // the answers are fixed: what the worker reads now is dropped
  bool finished = false;  // the worker is leaving, with only its last releases to do
  std::function<void()> answered;
};

namespace {

using Shared = Detection::Shared;

template <class Part>
Part read(const std::function<Part()>& reading) {
  Part part;
  try {
    if (reading) part = reading();
  } catch (const std::exception& error) {
    part = {};
    markUnknown(part, Why::ServiceFailed, error.what());
  } catch (...) {
    part = {};
    markUnknown(part, Why::ServiceFailed, "an unknown error");
  }
  return part;
}

// Publishes the part read into `slot`, calling `answered` after the last; false once the
// answers are fixed.
template <class Part>
bool publish(Shared& shared, std::optional<Part> Shared::*slot, Part part) {
  const std::lock_guard lock(shared.mutex);
  if (shared.closed) return false;
  shared.*slot = std::move(part);
  shared.arrived.notify_all();
  // Under the lock, so that the owner, who takes it to go, never goes halfway through.
  if constexpr (std::is_same_v<Part, Bios>) {
    if (shared.answered) std::exchange(shared.answered, nullptr)();
  }
  return true;
}

void readAll(Shared& shared, Reader& reader) {
  Processor processor = read(reader.processor);
  settleClocks(processor, reader.cpuid.get());
  if (publish(shared, &Shared::processor, std::move(processor)) &&
      publish(shared, &Shared::board, read(reader.board))) {
    publish(shared, &Shared::bios, read(reader.bios));
  }
}

// The part as it came, or, when it did not come in time, a part that timed out.
template <class Part>
Part arrivedOrLate(const std::optional<Part>& arrived, const std::string& limit) {
  if (arrived) return *arrived;
  Part late;
  markUnknown(late, Why::TimedOut, limit);
  return late;
}

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

Detection::Detection(Reader reader, std::chrono::milliseconds limit)
    : reader_(std::move(reader)), limit_(limit), shared_(std::make_shared<Shared>()) {}

Detection::~Detection() {
  bool finished = false;
  {
    const std::lock_guard lock(shared_->mutex);
    shared_->closed = true;
    shared_->answered = nullptr;
    finished = shared_->finished;
  }
  if (!worker_.joinable()) return;
  if (finished) {
    worker_.join();
  } else {
    worker_.detach();  // it holds all it uses, and is told nothing more
  }
}

void Detection::start(std::function<void()> answered) {
  if (started_) return;
  started_ = true;
  deadline_ = std::chrono::steady_clock::now() + limit_;
  shared_->answered = std::move(answered);
  // The worker's own references keep the reader and the shared state alive for as long as
  // it runs. It takes the reader for itself and lets it go before it leaves: a WMI session
  // must end on the thread it began on, and a copy left here could otherwise be the last.
  auto reader = std::make_shared<std::optional<Reader>>(std::move(reader_));
  auto work = [shared = shared_, reader] {
    std::optional<Reader> own = std::exchange(*reader, std::nullopt);
    try {
      if (own) readAll(*shared, *own);
    } catch (...) {
      // Only taking the lock can throw here; what did not come has timed out.
    }
    own.reset();
    const std::lock_guard lock(shared->mutex);
    shared->finished = true;
  };
  try {
    worker_ = std::thread(work);
  } catch (...) {
    // No thread to be had: the machine is in trouble already, and reading in place is the
    // best that is left.
    work();
  }
}

bool Detection::waitUntil(std::chrono::steady_clock::time_point until) {
  start();
  std::unique_lock lock(shared_->mutex);
  return shared_->arrived.wait_until(lock, std::min(until, deadline_),
                                     [this] { return shared_->bios.has_value(); });
}

const Hardware& Detection::answers() {
  if (!started_) (void)waitUntil(std::chrono::steady_clock::time_point::max());
  if (!answers_) {
    const std::lock_guard lock(shared_->mutex);
    shared_->closed = true;
    shared_->answered = nullptr;
    const std::string limit = durationText(limit_);
    answers_ = Hardware{arrivedOrLate(shared_->processor, limit),
                        arrivedOrLate(shared_->board, limit), arrivedOrLate(shared_->bios, limit)};
  }
  return *answers_;
}

}  // namespace freqsmith::detect
