// The operating system's management service as the detection code sees it: classes of
// instances whose properties are read by name. One backend per platform implements it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace freqsmith::detect {

// A property's value as the service hands it over: text, or an integer that the queries
// write as plain decimal digits.
using PropertyValue = std::variant<std::string, std::int64_t>;

// Where a figure came from. It travels with the value from the backend to the window and
// the report, so that both say the same.
enum class Source : std::uint8_t {
  Smbios,   // the firmware's SMBIOS table
  Cpuid,    // the processor's own answer to the CPUID instruction
  Sysfs,    // a file under /sys
  Cpuinfo,  // /proc/cpuinfo
  Wmi,      // the Windows management service
  Derived,  // worked out from other figures
};

// How the report names a source: "SMBIOS", "CPUID", "sysfs", "cpuinfo", "WMI", "derived".
std::string_view sourceName(Source source);

// Why a property has no value.
enum class Gap : std::uint8_t {
  NotReported,        // nothing the program may read on this machine gives it
  AdministratorOnly,  // the table that gives it is readable by the administrator alone
  TimedOut,           // the service had not answered by the time limit
  ServiceFailed,      // the service failed while it was asked
};

// Why a class gave less than it holds: it came too late (`detail` is the time limit, in
// words), or the service failed (`detail` is its error: on Windows the HRESULT in hex with
// the system's message for it).
struct ClassFault {
  Gap gap = Gap::ServiceFailed;
  std::string detail;
  friend bool operator==(const ClassFault&, const ClassFault&) = default;
};

// The error of a service that could not be reached at all.
inline constexpr std::string_view kUnreachable = "the service could not be reached";

// What a backend throws when the service itself fails, as opposed to having nothing to
// say; what() is the service's own error.
class ServiceFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Property {
  PropertyValue value;
  Source source = Source::Wmi;
  friend bool operator==(const Property&, const Property&) = default;
};

class ServiceInstance {
 public:
  virtual ~ServiceInstance() = default;
  // Names compare without regard to case, as the real service does. An absent, null or
  // unreadable property is nullopt.
  [[nodiscard]] virtual std::optional<Property> property(std::string_view name) const = 0;
  // Why property(name) gives nothing. Only a backend that can tell more overrides it.
  virtual Gap gap(std::string_view /*name*/) const { return Gap::NotReported; }
};

class ServiceConnection {
 public:
  virtual ~ServiceConnection() = default;
  // Every instance of the class, in the service's order; none for an unknown class.
  virtual std::vector<std::unique_ptr<ServiceInstance>> instancesOf(std::string_view className) = 0;
  // The same instances, of which only `properties` will be read. A service for which
  // naming them saves work (WMI) asks for just those; the rest list the class.
  virtual std::vector<std::unique_ptr<ServiceInstance>> select(
      std::string_view className, std::span<const std::string> /*properties*/) {
    return instancesOf(className);
  }
  // Why the instances given for the class may be fewer or emptier than it holds; nullopt
  // when the service answered in full. Only a connection that can tell overrides it.
  [[nodiscard]] virtual std::optional<ClassFault> fault(std::string_view /*className*/) const {
    return std::nullopt;
  }
};

class ManagementService {
 public:
  virtual ~ManagementService() = default;
  // Each query opens its own connection and drops it when done; nullptr when the service
  // cannot be reached. A service that is there but fails throws ServiceFailure.
  [[nodiscard]] virtual std::unique_ptr<ServiceConnection> connect() = 0;
};

// An instance that is a list of named answers, for backends that gather the facts
// themselves and for tests.
class RecordInstance final : public ServiceInstance {
 public:
  RecordInstance() = default;
  // Values that all came from `source`; a stand-in for the management service by default.
  RecordInstance(std::initializer_list<std::pair<std::string, PropertyValue>> values,
                 Source source = Source::Wmi);
  void set(std::string_view name, Property property);
  // Records why `name` has no value; a value set before is dropped.
  void setGap(std::string_view name, Gap gap);
  std::optional<Property> property(std::string_view name) const override;
  Gap gap(std::string_view name) const override;

 private:
  struct Entry {
    std::string name;  // in lower case
    std::optional<Property> property;
    Gap gap = Gap::NotReported;
  };
  Entry& entry(std::string_view name);
  const Entry* find(std::string_view name) const;

  std::vector<Entry> entries_;
};

// True when the names are equal ignoring ASCII case.
bool sameName(std::string_view a, std::string_view b);

}  // namespace freqsmith::detect
