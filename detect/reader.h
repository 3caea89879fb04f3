// A platform's way to the processor, the mainboard and the BIOS: one reading function per
// part, which the detection calls on its worker, in the window's order.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "cpuid_reader.h"
#include "facts.h"

namespace freqsmith::detect {

// Each function may take long (WMI can take seconds) and may throw; what it throws counts
// as the service failing for that part. Several instances of a class (two processors) come
// back as one part, the last instance winning fact by fact.
struct Reader {
  std::function<Processor()> processor;
  std::function<Board()> board;
  std::function<Bios()> bios;
  // The processor's own answers, for a bus clock the others do not give; nullptr where the
  // processor running the program is not the one read about (another machine's files).
  std::shared_ptr<const CpuidReader> cpuid;
};

// This machine, read as its platform reads it. Each platform provides it in a file of its
// own; the build picks the one that matches the target.
Reader platformReader();

// The Linux files under `root` in place of this machine's, without asking the processor.
// nullopt where the platform's hardware is not read from such files.
std::optional<Reader> sysrootReader(const std::filesystem::path& root);

}  // namespace freqsmith::detect
