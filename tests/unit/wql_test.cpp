// The statements the Windows backend sends: the class and exactly the properties named, and
// nothing at all for a name that would change the statement's meaning.
#include "wql.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace freqsmith::detect {
namespace {

struct StatementRow {
  const char* className;
  std::vector<std::string> properties;
  std::optional<std::string> statement;
  friend std::ostream& operator<<(std::ostream& out, const StatementRow& row) {
    return out << row.className << " with " << row.properties.size() << " properties";
  }
};

class SelectStatement : public ::testing::TestWithParam<StatementRow> {};

TEST_P(SelectStatement, NamesTheClassAndItsProperties) {
  const StatementRow& row = GetParam();
  EXPECT_EQ(selectStatement(row.className, row.properties), row.statement);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SelectStatement,
    ::testing::Values(StatementRow{"Win32_BIOS", {"Version"}, "SELECT Version FROM Win32_BIOS"},
                      StatementRow{"Win32_BaseBoard",
                                   {"manufacturer", "product", "Version"},
                                   "SELECT manufacturer, product, Version FROM Win32_BaseBoard"},
                      StatementRow{"Win32_Fan", {}, "SELECT * FROM Win32_Fan"},
                      StatementRow{"Win32_BIOS", {"Version", "*"}, std::nullopt},
                      StatementRow{"Win32_BIOS", {"Version FROM Win32_Processor --"}, std::nullopt},
                      StatementRow{"Win32_BIOS WHERE 1=1", {"Version"}, std::nullopt},
                      StatementRow{"Win32_BIOS", {""}, std::nullopt},
                      StatementRow{"", {"Version"}, std::nullopt},
                      StatementRow{"2Class", {"Version"}, std::nullopt},
                      StatementRow{"Win32_BIOS", {"Ver\xC3\xA9sion"}, std::nullopt}));

}  // namespace
}  // namespace freqsmith::detect
