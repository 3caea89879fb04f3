// The fixture machines under tests/data/machines: each a tree of the files Linux shows, some
// with the CPUID answers of their processor beside it (cpuid.txt). Tests read them through
// these helpers so that the processor running the tests is never asked in their place.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "cpuid_reader.h"
#include "linux_reader.h"

namespace freqsmith::fixtures {

inline std::filesystem::path machine(const std::string& name) {
  return std::filesystem::path(FREQSMITH_TEST_DATA) / "machines" / name;
}

// The machine's recorded CPUID answers; nullptr where it has none.
inline std::shared_ptr<const detect::CpuidReader> cpuidOf(const std::string& name) {
  std::ifstream in(machine(name) / "cpuid.txt");
  if (!in) return nullptr;
  const std::string text(std::istreambuf_iterator<char>(in), {});
  std::optional<detect::RecordedCpuid> answers = detect::RecordedCpuid::parse(text);
  if (!answers) throw std::runtime_error(name + "/cpuid.txt does not parse");
  return std::make_shared<detect::RecordedCpuid>(std::move(*answers));
}

// The machine's files and its processor's answers, as the program would read them there.
inline detect::Reader readerOf(const std::string& name) {
  return detect::linuxReader(machine(name), cpuidOf(name));
}

}  // namespace freqsmith::fixtures
