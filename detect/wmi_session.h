// The Windows management service as detection asks it: the instances of one class, with
// the properties named, as plain values. The COM session of the Windows build and the
// recorded answers of the tests both give it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace freqsmith::detect {

// A property's value: null or absent, text, or an integer.
using WmiValue = std::variant<std::monostate, std::string, std::int64_t>;

struct WmiAnswer {
  // Each instance's values in the order of the properties asked, in the service's order.
  std::vector<std::vector<WmiValue>> instances;
  // Empty when the service answered in full; else its error as the user is told it, the
  // HRESULT in hex and the system's text for it. The instances before the failure stay.
  std::string error;
};

class WmiSession {
 public:
  virtual ~WmiSession() = default;
  virtual WmiAnswer select(std::string_view className,
                           std::span<const std::string_view> properties) = 0;
};

// ROOT\CIMV2 on this machine through COM, opened by the first select(). COM is set up on
// the calling thread, so every select() and the end of the session belong to that thread.
// Only the Windows build has it.
std::unique_ptr<WmiSession> openWmiSession();

}  // namespace freqsmith::detect
