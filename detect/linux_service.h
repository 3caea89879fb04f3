// The management service on Linux, answered from /proc, /sys, the firmware's SMBIOS table
// and the processor's CPUID.
#pragma once

#include <filesystem>
#include <memory>

#include "cpuid_reader.h"
#include "management_service.h"

namespace freqsmith::detect {

// Answers Win32_Processor, Win32_BaseBoard and Win32_BIOS. Every path is read under `root`,
// so a copied or hand-made tree can stand in for the machine. Files are read only when a
// class that needs them is asked for, and never throws: what cannot be read is absent.
// `cpuid` answers for the processor the files describe; nullptr when it cannot be asked,
// as for another machine's files.
class LinuxService final : public ManagementService {
 public:
  explicit LinuxService(std::filesystem::path root = "/",
                        std::shared_ptr<const CpuidReader> cpuid = thisProcessor());
  std::unique_ptr<ServiceConnection> connect() override;

 private:
  std::filesystem::path root_;
  std::shared_ptr<const CpuidReader> cpuid_;
};

}  // namespace freqsmith::detect
