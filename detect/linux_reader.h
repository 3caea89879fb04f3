// The processor, mainboard and BIOS of a Linux machine, from /proc, /sys and the
// firmware's SMBIOS table.
#pragma once

#include <filesystem>
#include <memory>

#include "cpuid_reader.h"
#include "reader.h"

namespace freqsmith::detect {

// Every path is read under `root`, so a copied or hand-made tree can stand in for the
// machine. Files are read only when a part that needs them is asked for, and at most once
// for all three; nothing they hold makes a reading throw: what cannot be read is not
// reported. `cpuid` answers for the processor the files describe; nullptr when it cannot
// be asked, as for another machine's files.
Reader linuxReader(std::filesystem::path root = "/",
                   std::shared_ptr<const CpuidReader> cpuid = thisProcessor());

}  // namespace freqsmith::detect
