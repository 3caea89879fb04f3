// Builds the processor, board and BIOS instances from cpuinfo, sysfs and SMBIOS.
#include "linux_service.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cpuinfo.h"
#include "file_text.h"
#include "smbios.h"
#include "sysfs_cpu.h"

namespace freqsmith::detect {
namespace {

namespace smbios_type {
constexpr std::uint8_t kBios = 0;
constexpr std::uint8_t kBaseBoard = 2;
constexpr std::uint8_t kProcessor = 4;
}  // namespace smbios_type

// Bit 6 of the processor status byte: a processor sits in the socket.
constexpr std::uint8_t kSocketPopulated = 0x40;

using Instances = std::vector<std::unique_ptr<ServiceInstance>>;

void setText(RecordInstance& record, std::string_view name,
             const std::optional<std::string>& value) {
  if (value) record.set(name, *value);
}

void setNumber(RecordInstance& record, std::string_view name, std::optional<std::int64_t> value) {
  if (value) record.set(name, *value);
}

std::optional<std::string> cleanString(const std::optional<std::string>& text) {
  return text ? cleanText(*text) : std::nullopt;
}

// SMBIOS speeds are WORDs where 0 means unknown.
std::optional<std::int64_t> knownWord(const SmbiosStructure* structure, std::size_t offset) {
  if (structure == nullptr) return std::nullopt;
  const std::optional<std::uint16_t> word = smbiosWord(*structure, offset);
  if (!word || *word == 0) return std::nullopt;
  return *word;
}

const SmbiosStructure* firstOfType(const std::vector<SmbiosStructure>& table, std::uint8_t type) {
  for (const SmbiosStructure& structure : table) {
    if (structure.type == type) return &structure;
  }
  return nullptr;
}

// The processor structures of occupied sockets, in table order. Should the status bytes
// claim every socket empty, which some firmware does, they are all kept instead.
std::vector<const SmbiosStructure*> occupiedSockets(const std::vector<SmbiosStructure>& table) {
  std::vector<const SmbiosStructure*> all;
  std::vector<const SmbiosStructure*> occupied;
  for (const SmbiosStructure& structure : table) {
    if (structure.type != smbios_type::kProcessor) continue;
    all.push_back(&structure);
    const std::optional<std::uint8_t> status = smbiosByte(structure, 0x18);
    if (!status || (*status & kSocketPopulated) != 0) occupied.push_back(&structure);
  }
  return occupied.empty() ? all : occupied;
}

class LinuxConnection final : public ServiceConnection {
 public:
  explicit LinuxConnection(std::filesystem::path root) : root_(std::move(root)) {}

  Instances instancesOf(std::string_view className) override {
    try {
      if (sameName(className, "Win32_Processor")) return processors();
      if (sameName(className, "Win32_BaseBoard")) return baseBoard();
      if (sameName(className, "Win32_BIOS")) return bios();
    } catch (...) {
      // Only allocation can fail here; the caller is better off with nothing than a throw.
    }
    return {};
  }

 private:
  const Cpuinfo& cpuinfo() {
    if (!cpuinfo_) {
      std::optional<std::string> text = readFileBounded(root_ / "proc" / "cpuinfo", kCpuinfoCap);
      // A cut-off last line could give a truncated value, so it is dropped.
      if (text && text->size() >= kCpuinfoCap) text->erase(text->rfind('\n') + 1);
      cpuinfo_ = parseCpuinfo(text.value_or(std::string()));
    }
    return *cpuinfo_;
  }

  const std::vector<SmbiosStructure>& smbios() {
    if (!smbios_) {
      const std::optional<std::string> raw =
          readFileBounded(root_ / "sys" / "firmware" / "dmi" / "tables" / "DMI", kSmbiosTableCap);
      smbios_ = raw ? parseSmbiosTable(std::span(reinterpret_cast<const std::uint8_t*>(raw->data()),
                                                 raw->size()))
                    : std::vector<SmbiosStructure>();
    }
    return *smbios_;
  }

  // The kernel's copies of the DMI strings, readable without privileges.
  std::optional<std::filesystem::path> dmiIdDir() const {
    std::filesystem::path dir = root_ / "sys" / "class" / "dmi" / "id";
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) return std::nullopt;
    return dir;
  }

  Instances processors() {
    const Cpuinfo& info = cpuinfo();
    const SysfsCpus sysfs(root_ / "sys" / "devices" / "system" / "cpu");
    const std::vector<CpuPackage> packages =
        groupPackages(info, [&sysfs](int cpu) { return sysfs.packageId(cpu); });
    if (packages.empty()) return {};
    const std::vector<const SmbiosStructure*> sockets = occupiedSockets(smbios());

    Instances instances;
    for (std::size_t n = 0; n < packages.size(); ++n) {
      const CpuPackage& package = packages[n];
      const SmbiosStructure* socket = n < sockets.size() ? sockets[n] : nullptr;
      std::vector<int> numbers;
      for (const std::size_t i : package.cpus) numbers.push_back(info.cpus[i].number);
      const int first = numbers.front();
      const auto field = [&](std::string_view key) -> std::optional<std::string> {
        const std::optional<std::string_view> value = packageField(info, package, key);
        return value ? std::optional<std::string>(*value) : std::nullopt;
      };

      auto record = std::make_unique<RecordInstance>();
      setText(*record, "Manufacturer", field("vendor_id"));
      // ARM kernels leave out "model name"; older ones name the core in "Processor", and
      // the SoC is in "Hardware".
      std::optional<std::string> name = field("model name");
      if (!name) name = field("Processor");
      if (!name) name = field("Hardware");
      setText(*record, "Name", name);

      std::optional<std::int64_t> current = sysfs.cpufreqMhz(first, "scaling_cur_freq");
      if (!current) {
        const std::optional<std::string> mhz = field("cpu MHz");
        current = mhz ? parseMhz(*mhz) : std::nullopt;
      }
      if (!current) current = knownWord(socket, 0x16);
      setNumber(*record, "CurrentClockSpeed", current);

      std::optional<std::int64_t> max = sysfs.cpufreqMhz(first, "cpuinfo_max_freq");
      if (!max) max = knownWord(socket, 0x14);
      setNumber(*record, "MaxClockSpeed", max);

      setNumber(*record, "L2CacheSize", sysfs.level2CacheKb(numbers));
      setNumber(*record, "ExtClock", knownWord(socket, 0x12));
      if (socket != nullptr) {
        setText(*record, "SocketDesignation", cleanString(smbiosStringAt(*socket, 0x04)));
      }
      instances.push_back(std::move(record));
    }
    return instances;
  }

  Instances baseBoard() {
    auto record = std::make_unique<RecordInstance>();
    if (const auto dir = dmiIdDir()) {
      setText(*record, "Manufacturer", readValueFile(*dir / "board_vendor"));
      setText(*record, "Product", readValueFile(*dir / "board_name"));
      setText(*record, "Version", readValueFile(*dir / "board_version"));
    } else if (const SmbiosStructure* board = firstOfType(smbios(), smbios_type::kBaseBoard)) {
      setText(*record, "Manufacturer", cleanString(smbiosStringAt(*board, 0x04)));
      setText(*record, "Product", cleanString(smbiosStringAt(*board, 0x05)));
      setText(*record, "Version", cleanString(smbiosStringAt(*board, 0x06)));
    } else {
      return {};
    }
    Instances instances;
    instances.push_back(std::move(record));
    return instances;
  }

  Instances bios() {
    auto record = std::make_unique<RecordInstance>();
    if (const auto dir = dmiIdDir()) {
      setText(*record, "Manufacturer", readValueFile(*dir / "bios_vendor"));
      setText(*record, "Version", readValueFile(*dir / "bios_version"));
      setText(*record, "ReleaseDate", readValueFile(*dir / "bios_date"));
    } else if (const SmbiosStructure* firmware = firstOfType(smbios(), smbios_type::kBios)) {
      setText(*record, "Manufacturer", cleanString(smbiosStringAt(*firmware, 0x04)));
      setText(*record, "Version", cleanString(smbiosStringAt(*firmware, 0x05)));
      setText(*record, "ReleaseDate", cleanString(smbiosStringAt(*firmware, 0x08)));
    } else {
      return {};
    }
    Instances instances;
    instances.push_back(std::move(record));
    return instances;
  }

  std::filesystem::path root_;
  std::optional<Cpuinfo> cpuinfo_;
  std::optional<std::vector<SmbiosStructure>> smbios_;
};

}  // namespace

LinuxService::LinuxService(std::filesystem::path root) : root_(std::move(root)) {}

std::unique_ptr<ServiceConnection> LinuxService::connect() {
  try {
    return std::make_unique<LinuxConnection>(root_);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace freqsmith::detect
