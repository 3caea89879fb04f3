// The processor, mainboard and BIOS as the Windows management service describes them.
#pragma once

#include <memory>

#include "cpuid_reader.h"
#include "reader.h"
#include "wmi_session.h"

namespace freqsmith::detect {

// One WQL query for each of Win32_Processor, Win32_BaseBoard and Win32_BIOS through
// `session`, naming just the properties read. `cpuid` answers for a bus clock WMI does not
// know; nullptr: not asked.
Reader wmiReader(std::shared_ptr<WmiSession> session, std::shared_ptr<const CpuidReader> cpuid);

}  // namespace freqsmith::detect
