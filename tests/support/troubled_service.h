// A machine whose management service answers from records, except at one place, where it
// waits on a gate (hangs until the test opens it, or answers late), throws, or fails with
// an error as a real service does.
#pragma once

#include <memory>
#include <string_view>

#include "fake_service.h"
#include "gate.h"

namespace freqsmith::testing {

enum class Where { Nowhere, Connect, InstancesOf, Property };
// Hang: waits on the gate, then answers. Throw: an exception that is not the service's own.
// Fail: the service reports an error (detect::ServiceFailure with kServiceError).
enum class How { Hang, Throw, Fail };

inline constexpr std::string_view kServiceError = "0x80041003 Access denied.";

struct Trouble {
  Where where = Where::Nowhere;
  How how = How::Hang;
  int connection = 0;     // for Connect: which connect() call, counting from 0
  const char* name = "";  // for InstancesOf the class, for Property the property
};

class TroubledService final : public detect::ManagementService {
 public:
  TroubledService(detect::FakeService machine, Trouble trouble, std::shared_ptr<Gate> gate)
      : machine_(std::move(machine)), trouble_(trouble), gate_(std::move(gate)) {}

  std::unique_ptr<detect::ServiceConnection> connect() override;

  // Makes trouble when `where` (and `name`, or `connection`) is the troubled place.
  void strike(Where where, std::string_view name, int connection = -1) const;

 private:
  detect::FakeService machine_;
  Trouble trouble_;
  std::shared_ptr<Gate> gate_;
  int connections_ = 0;
};

}  // namespace freqsmith::testing
