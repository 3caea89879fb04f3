// The Windows backend: the management classes of ROOT\CIMV2 on the local machine, read
// through COM.
#pragma once

#include <memory>

#include "cpuid_reader.h"
#include "management_service.h"

namespace freqsmith::detect {

// A connection keeps COM initialised on the thread that opened it for as long as the
// connection or any instance it handed out is alive, so all of them belong to that thread.
// Each class is asked for with a WQL query naming the properties that will be read. A step
// of COM or the service that fails throws ServiceFailure with its HRESULT and message; a
// class the service does not know has no instances. Where Win32_Processor gives no ExtClock,
// or 0, `cpuid` is asked for the bus clock (nullptr: not asked).
class WindowsService final : public ManagementService {
 public:
  explicit WindowsService(std::shared_ptr<const CpuidReader> cpuid = thisProcessor());
  std::unique_ptr<ServiceConnection> connect() override;

 private:
  std::shared_ptr<const CpuidReader> cpuid_;
};

}  // namespace freqsmith::detect
