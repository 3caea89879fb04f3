// WMI's answers written down as a machine gave them: the Windows reader's stand-in for the
// service, so that its handling of real answers is tested on every platform.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "wmi_session.h"

namespace freqsmith::testing {

struct RecordedClass {
  std::string name;
  // Each instance's properties by name; the service ignores the case of names.
  std::vector<std::vector<std::pair<std::string, detect::WmiValue>>> instances;
  // The error the service gave after those instances; empty when it answered in full.
  std::string error;
};

// What a real service says for a class it does not have: on Windows, where every one of the
// classes asked is built in, only a damaged repository says it.
inline constexpr std::string_view kInvalidClass = "0x80041010 Invalid class";

class RecordedWmi final : public detect::WmiSession {
 public:
  explicit RecordedWmi(std::vector<RecordedClass> classes) : classes_(std::move(classes)) {}

  detect::WmiAnswer select(std::string_view className,
                           std::span<const std::string_view> properties) override {
    std::string question = std::string(className) + ":";
    for (const std::string_view property : properties) (question += ' ') += property;
    asked.push_back(std::move(question));

    const auto recorded =
        std::find_if(classes_.begin(), classes_.end(),
                     [&](const RecordedClass& c) { return same(c.name, className); });
    if (recorded == classes_.end()) return {{}, std::string(kInvalidClass)};
    detect::WmiAnswer answer{{}, recorded->error};
    for (const auto& instance : recorded->instances) {
      std::vector<detect::WmiValue>& values = answer.instances.emplace_back();
      for (const std::string_view property : properties) {
        const auto found = std::find_if(instance.begin(), instance.end(),
                                        [&](const auto& p) { return same(p.first, property); });
        values.push_back(found == instance.end() ? detect::WmiValue() : found->second);
      }
    }
    return answer;
  }

  // Each select() as "Class: property property ...", in the order asked.
  std::vector<std::string> asked;

 private:
  static bool same(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  }

  std::vector<RecordedClass> classes_;
};

}  // namespace freqsmith::testing
