// The management service on Linux, answered from /proc, /sys and the firmware's SMBIOS table.
#pragma once

#include <filesystem>
#include <memory>

#include "management_service.h"

namespace freqsmith::detect {

// Answers Win32_Processor, Win32_BaseBoard and Win32_BIOS. Every path is read under `root`,
// so a copied or hand-made tree can stand in for the machine. Files are read only when a
// class that needs them is asked for, and never throws: what cannot be read is absent.
class LinuxService final : public ManagementService {
 public:
  explicit LinuxService(std::filesystem::path root = "/");
  std::unique_ptr<ServiceConnection> connect() override;

 private:
  std::filesystem::path root_;
};

}  // namespace freqsmith::detect
