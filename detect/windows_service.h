// The Windows backend: the management classes of ROOT\CIMV2 on the local machine, read
// through COM.
#pragma once

#include "management_service.h"

namespace freqsmith::detect {

// A connection keeps COM initialised on the thread that opened it for as long as the
// connection or any instance it handed out is alive, so all of them belong to that thread.
class WindowsService final : public ManagementService {
 public:
  std::unique_ptr<ServiceConnection> connect() override;
};

}  // namespace freqsmith::detect
