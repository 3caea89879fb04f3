// Readers given in code, for tests, benchmarks and running the window on a machine of one's
// choosing: a machine's answer as a struct literal, held up, thrown or failed at one part,
// or slow as WMI is on real Windows.
#pragma once

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#include "facts.h"
#include "gate.h"
#include "reader.h"

namespace freqsmith::testing {

// A fact with a value, for machines written as struct literals.
inline detect::TextFact fact(std::string value, detect::Source source = detect::Source::Wmi) {
  return {std::move(value), source};
}
inline detect::NumberFact fact(std::int64_t value, detect::Source source = detect::Source::Wmi) {
  return {value, source};
}

inline detect::Reader fixedReader(const detect::Hardware& machine) {
  return {[machine] { return machine.processor; }, [machine] { return machine.board; },
          [machine] { return machine.bios; }, nullptr};
}

enum class Part { None, Processor, Board, Bios };
// Hang: waits on the gate, then answers. Throw: an exception that is not the service's own.
// Fail: the service reports an error, as a broken WMI does (kServiceError).
enum class How { Hang, Throw, Fail };

inline constexpr std::string_view kServiceError = "0x80041003 Access denied.";

// `machine`, except at `part`, where it makes trouble `how`.
inline detect::Reader troubledReader(const detect::Hardware& machine, Part part, How how,
                                     const std::shared_ptr<Gate>& gate) {
  const auto troubled = [=](Part at, auto answer) {
    return [=] {
      auto given = answer;
      if (at != part) return given;
      switch (how) {
        case How::Hang:
          gate->wait();
          break;
        case How::Throw:
          throw std::runtime_error("the backend failed");
        case How::Fail:
          given = {};
          markUnknown(given, detect::Why::ServiceFailed, std::string(kServiceError));
          break;
      }
      return given;
    };
  };
  return {troubled(Part::Processor, machine.processor), troubled(Part::Board, machine.board),
          troubled(Part::Bios, machine.bios), nullptr};
}

// `inner`, whose first part comes only after `delay`: WMI on real Windows can take seconds.
// For benchmarks, which measure real time; tests hold a reader on a gate instead.
inline detect::Reader slowReader(detect::Reader inner, std::chrono::milliseconds delay) {
  inner.processor = [processor = std::move(inner.processor), delay] {
    std::this_thread::sleep_for(delay);
    return processor();
  };
  return inner;
}

}  // namespace freqsmith::testing
