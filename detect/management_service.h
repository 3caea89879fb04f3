// The operating system's management service as the detection code sees it: classes of
// instances whose properties are read by name. One backend per platform implements it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace freqsmith::detect {

// A property as the service hands it over: text, or an integer that the queries write as
// plain decimal digits.
using PropertyValue = std::variant<std::string, std::int64_t>;

class ServiceInstance {
 public:
  virtual ~ServiceInstance() = default;
  // Names compare without regard to case, as the real service does. An absent, null or
  // unreadable property is nullopt.
  virtual std::optional<PropertyValue> property(std::string_view name) const = 0;
};

class ServiceConnection {
 public:
  virtual ~ServiceConnection() = default;
  // Every instance of the class, in the service's order; none for an unknown class.
  virtual std::vector<std::unique_ptr<ServiceInstance>> instancesOf(std::string_view className) = 0;
};

class ManagementService {
 public:
  virtual ~ManagementService() = default;
  // Each query opens its own connection and drops it when done; nullptr when the service
  // cannot be reached.
  virtual std::unique_ptr<ServiceConnection> connect() = 0;
};

// An instance that is a list of named values, for backends that gather the facts
// themselves and for tests.
class RecordInstance final : public ServiceInstance {
 public:
  RecordInstance() = default;
  RecordInstance(std::initializer_list<std::pair<std::string, PropertyValue>> values);
  void set(std::string_view name, PropertyValue value);
  std::optional<PropertyValue> property(std::string_view name) const override;

 private:
  std::vector<std::pair<std::string, PropertyValue>> values_;  // names in lower case
};

// True when the names are equal ignoring ASCII case.
bool sameName(std::string_view a, std::string_view b);

}  // namespace freqsmith::detect
