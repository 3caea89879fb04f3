// The SMBIOS decoder on hand-built tables: structure boundaries, strings and bounds checks.
#include "smbios.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace freqsmith::detect {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

// A header plus `body` as the formatted area, followed by nothing: callers add the strings.
Bytes formatted(std::uint8_t type, std::uint16_t handle, const Bytes& body) {
  return Bytes{type, static_cast<std::uint8_t>(4 + body.size()),
               static_cast<std::uint8_t>(handle & 0xff), static_cast<std::uint8_t>(handle >> 8)} +
         body;
}

// A complete structure with its string set.
Bytes structure(std::uint8_t type, std::uint16_t handle, const Bytes& body,
                const std::vector<std::string>& strings = {}) {
  Bytes out = formatted(type, handle, body);
  if (strings.empty()) return out + Bytes{0, 0};
  for (const std::string& s : strings) out = out + text(s) + Bytes{0};
  return out + Bytes{0};
}

std::vector<int> typesOf(const std::vector<SmbiosStructure>& structures) {
  std::vector<int> types;
  types.reserve(structures.size());
  for (const SmbiosStructure& s : structures) types.push_back(s.type);
  return types;
}

struct TableRow {
  const char* what;
  Bytes table;
  std::vector<int> types;  // of the structures decoded, in order
  friend std::ostream& operator<<(std::ostream& out, const TableRow& row) {
    return out << row.what;
  }
};

class DecodesTable : public ::testing::TestWithParam<TableRow> {};

TEST_P(DecodesTable, KeepsExactlyTheCompleteStructures) {
  EXPECT_EQ(typesOf(parseSmbiosTable(GetParam().table)), GetParam().types);
}

const Bytes kBoard = structure(2, 0x0002, {1, 2, 0}, {"Maker", "Board"});
const Bytes kBios = structure(0, 0x0000, {1, 2, 0, 0, 3}, {"Vendor", "1.0", "01/01/2020"});
const Bytes kEnd = structure(127, 0x00ff, {});

INSTANTIATE_TEST_SUITE_P(
    Boundaries, DecodesTable,
    ::testing::Values(
        TableRow{"empty table", {}, {}}, TableRow{"header cut after three bytes", {4, 0x1a, 0}, {}},
        TableRow{"complete structures", kBios + kBoard + kEnd, {0, 2, 127}},
        TableRow{"nothing after the end-of-table structure", kBios + kEnd + kBoard, {0, 127}},
        TableRow{"no end-of-table structure", kBios + kBoard, {0, 2}},
        TableRow{"length below the header size", kBios + Bytes{2, 3, 0, 0, 0, 0} + kBoard, {0}},
        TableRow{"length of zero", Bytes{1, 0, 0, 0, 0, 0} + kBoard, {}},
        TableRow{"formatted area past the end", kBios + Bytes{4, 0x2a, 0, 1, 9, 9, 9}, {0}},
        TableRow{"no string set at all", kBios + formatted(2, 2, {1, 2, 3}), {0}},
        TableRow{"string set cut after one NUL", kBios + formatted(2, 2, {0}) + Bytes{0}, {0}},
        TableRow{"last string without its NUL", kBios + formatted(2, 2, {1}) + text("Mak"), {0}},
        TableRow{
            "missing double NUL", kBios + formatted(2, 2, {1}) + text("Maker") + Bytes{0}, {0}},
        TableRow{"header only, no strings", structure(126, 7, {}) + kEnd, {126, 127}},
        // If the terminator search began inside the formatted area, its trailing zero would
        // pair with the first NUL and the next structure would be read one byte early.
        TableRow{"formatted area ending in zero",
                 structure(8, 3, {1, 0}) + structure(9, 4, {0, 0}) + kEnd,
                 {8, 9, 127}}));

TEST(SmbiosTable, KeepsHeaderFieldsAndStrings) {
  const auto structures = parseSmbiosTable(kBios + kBoard + kEnd);
  ASSERT_EQ(structures.size(), 3u);
  const SmbiosStructure& board = structures[1];
  EXPECT_EQ(board.handle, 0x0002);
  EXPECT_EQ(board.formatted, (Bytes{2, 7, 2, 0, 1, 2, 0}));
  EXPECT_EQ(board.strings, (std::vector<std::string>{"Maker", "Board"}));
  EXPECT_TRUE(structures[2].strings.empty());
}

TEST(SmbiosTable, ReadsHandleLittleEndian) {
  const auto structures = parseSmbiosTable(structure(4, 0x1234, {}));
  ASSERT_EQ(structures.size(), 1u);
  EXPECT_EQ(structures[0].handle, 0x1234);
}

TEST(SmbiosTable, StopsAtTheStructureLimit) {
  Bytes table;
  for (int i = 0; i < 10; ++i) table = table + structure(1, static_cast<std::uint16_t>(i), {});
  EXPECT_EQ(parseSmbiosTable(table, 3).size(), 3u);
  EXPECT_EQ(parseSmbiosTable(table, 0).size(), 0u);
  EXPECT_EQ(parseSmbiosTable(table).size(), 10u);
}

TEST(SmbiosTable, IgnoresBytesPastTheSizeCap) {
  // Structures of about a KB each up to just past the cap, then a board structure that lies
  // entirely beyond it.
  const Bytes filler = structure(1, 1, {}, {std::string(1000, 'x')});
  Bytes table;
  table.reserve(kSmbiosTableCap + 4096);
  // Appended in place: a copy of the growing table per structure costs minutes under the
  // sanitizers.
  while (table.size() <= kSmbiosTableCap) table.insert(table.end(), filler.begin(), filler.end());
  table = table + kBoard;
  const auto structures = parseSmbiosTable(table);
  EXPECT_EQ(structures.size(), kSmbiosTableCap / filler.size());
  for (const SmbiosStructure& s : structures) ASSERT_EQ(s.type, 1);
}

TEST(SmbiosTable, SurvivesAMebibyteOfZeros) {
  // Zero bytes read as type 0 with length 0, which ends decoding at once.
  EXPECT_TRUE(parseSmbiosTable(Bytes(kSmbiosTableCap * 2, 0)).empty());
}

TEST(SmbiosTable, SurvivesAllOnes) {
  EXPECT_TRUE(parseSmbiosTable(Bytes(70000, 0xff)).empty());
}

SmbiosStructure sample() {
  SmbiosStructure s;
  s.type = 4;
  s.formatted = {4, 8, 0, 0, 2, 0x34, 0x12, 9};
  s.strings = {"first", "second"};
  return s;
}

TEST(SmbiosFields, ReadBytesInsideTheFormattedArea) {
  const SmbiosStructure s = sample();
  EXPECT_EQ(smbiosByte(s, 0), 4);
  EXPECT_EQ(smbiosByte(s, 7), 9);
  EXPECT_EQ(smbiosByte(s, 8), std::nullopt);
  EXPECT_EQ(smbiosByte(s, std::numeric_limits<std::size_t>::max()), std::nullopt);
}

TEST(SmbiosFields, ReadWordsLittleEndianAndOnlyWhole) {
  const SmbiosStructure s = sample();
  EXPECT_EQ(smbiosWord(s, 5), 0x1234);
  EXPECT_EQ(smbiosWord(s, 6), 0x0912);
  EXPECT_EQ(smbiosWord(s, 7), std::nullopt);  // its high byte would be past the end
  EXPECT_EQ(smbiosWord(s, 8), std::nullopt);
  EXPECT_EQ(smbiosWord(s, std::numeric_limits<std::size_t>::max()), std::nullopt);
}

struct StringRow {
  std::uint8_t index;
  std::optional<std::string> value;
  friend std::ostream& operator<<(std::ostream& out, const StringRow& row) {
    return out << "string " << static_cast<int>(row.index);
  }
};

class FindsString : public ::testing::TestWithParam<StringRow> {};

TEST_P(FindsString, ByNumber) {
  EXPECT_EQ(smbiosString(sample(), GetParam().index), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Numbers, FindsString,
                         ::testing::Values(StringRow{0, std::nullopt}, StringRow{1, "first"},
                                           StringRow{2, "second"}, StringRow{3, std::nullopt},
                                           StringRow{255, std::nullopt}));

TEST(SmbiosFields, FindStringsByTheNumberAtAnOffset) {
  const SmbiosStructure s = sample();
  EXPECT_EQ(smbiosStringAt(s, 4), "second");
  EXPECT_EQ(smbiosStringAt(s, 2), std::nullopt);  // holds 0: no string
  EXPECT_EQ(smbiosStringAt(s, 7), std::nullopt);  // holds 9: past the set
  EXPECT_EQ(smbiosStringAt(s, 8), std::nullopt);  // past the formatted area
}

TEST(SmbiosFields, FindNoStringInADecodedStructureWithoutStrings) {
  const auto structures = parseSmbiosTable(structure(2, 2, {1, 2, 3}));
  ASSERT_EQ(structures.size(), 1u);
  EXPECT_EQ(smbiosStringAt(structures[0], 4), std::nullopt);
}

}  // namespace
}  // namespace freqsmith::detect
