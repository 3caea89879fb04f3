// The keyboard order read from a window's table: lines and columns, frames read whole where
// they stand, commands after the inputs of their container, the tab strip before its pages,
// and the first input.
#include "keyboard_order.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "airflow.h"
#include "main_window_controls.h"
#include "temperature.h"
#include "vram.h"

namespace freqsmith {
namespace {

constexpr Control windowRow(Twips place = {0, 0, 6000, 4000}) {
  return {.name = "window", .kind = ControlKind::Window, .place = place};
}
constexpr Control inputRow(std::string_view name, std::string_view parent, int left, int top) {
  return {.name = name,
          .kind = ControlKind::Field,
          .parent = parent,
          .place = {left, top, 600, 285},
          .role = FieldRole::Input};
}
constexpr Control fieldRow(std::string_view name, std::string_view parent, int left, int top,
                           FieldRole role) {
  return {.name = name,
          .kind = ControlKind::Field,
          .parent = parent,
          .place = {left, top, 600, 285},
          .role = role};
}

std::vector<std::string> namesInOrder(std::span<const Control> table) {
  std::vector<std::string> names;
  for (const std::size_t row : keyboardOrder(table)) names.emplace_back(table[row].name);
  return names;
}

struct OrderRow {
  const char* what;
  std::vector<Control> table;
  std::vector<std::string> order;
  const char* first;  // the first input; empty for none
  friend std::ostream& operator<<(std::ostream& out, const OrderRow& row) {
    return out << row.what;
  }
};

class KeyboardOrder : public ::testing::TestWithParam<OrderRow> {};

TEST_P(KeyboardOrder, FollowsTheReadingOrder) {
  const OrderRow& row = GetParam();
  EXPECT_EQ(namesInOrder(row.table), row.order);
  const std::optional<std::size_t> first = firstInput(row.table);
  EXPECT_EQ(first ? std::string(row.table[*first].name) : std::string(), row.first);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, KeyboardOrder,
    ::testing::Values(
        OrderRow{"lines top to bottom, each left to right, whatever the table's order",
                 {windowRow(), inputRow("c", "window", 120, 900), inputRow("b", "window", 900, 240),
                  inputRow("a", "window", 120, 240)},
                 {"a", "b", "c"},
                 "a"},
        OrderRow{"a field set a little higher than its left neighbour still reads after it",
                 {windowRow(), inputRow("right", "window", 900, 210),
                  inputRow("left", "window", 120, 240), inputRow("below", "window", 120, 600)},
                 {"left", "right", "below"},
                 "left"},
        OrderRow{"a frame is read whole where it stands",
                 {windowRow(), frameRow("leftFrame", "window", {60, 0, 1500, 1200}, "Left"),
                  frameRow("rightFrame", "window", {1600, 0, 1500, 1200}, "Right"),
                  inputRow("l1", "leftFrame", 120, 240), inputRow("l2", "leftFrame", 120, 700),
                  inputRow("r1", "rightFrame", 120, 240), inputRow("r2", "rightFrame", 120, 700),
                  inputRow("under", "window", 120, 1500)},
                 {"l1", "l2", "r1", "r2", "under"},
                 "l1"},
        OrderRow{"commands come after the inputs and results of their container",
                 {windowRow(), buttonRow("go", "window", {120, 0, 900, 300}, "Go"),
                  frameRow("frame", "window", {60, 400, 3000, 1200}, "Frame"),
                  buttonRow("inner", "frame", {120, 240, 600, 300}, "Inner"),
                  fieldRow("out", "frame", 900, 240, FieldRole::Result),
                  inputRow("in", "frame", 120, 700)},
                 {"out", "in", "inner", "go"},
                 "in"},
        OrderRow{"the tab strip, then each page in its order, then what is under the strip",
                 {windowRow(),
                  {.name = "tabs",
                   .kind = ControlKind::Tabs,
                   .parent = "window",
                   .place = {0, 0, 6000, 3000}},
                  {.name = "page1", .kind = ControlKind::TabPage, .parent = "tabs"},
                  {.name = "page2", .kind = ControlKind::TabPage, .parent = "tabs"},
                  buttonRow("calculate", "window", {0, 3100, 3000, 300}, "Calculate"),
                  inputRow("p2", "page2", 120, 240),
                  inputRow("p1", "page1", 120, 240),
                  boxRow("box", "page1", {120, 700, 900, 210}, "Box", "")},
                 {"tabs", "p1", "box", "p2", "calculate"},
                 "p1"},
        OrderRow{"hidden fields, labels, pictures and empty frames take no keyboard",
                 {windowRow(), labelRow("caption", "window", {120, 0, 600, 195}, "Caption"),
                  fieldRow("holder", "window", 0, 0, FieldRole::Hidden),
                  pictureRow("picture", "window", {0, 0, 900, 900}),
                  frameRow("empty", "window", {0, 1000, 900, 900}, "Empty"),
                  labelRow("inEmpty", "empty", {0, 0, 600, 195}, "Nothing here"),
                  fieldRow("shown", "window", 120, 240, FieldRole::Detection),
                  fieldRow("notes", "window", 120, 2000, FieldRole::Notes)},
                 {"shown", "notes"},
                 ""},
        OrderRow{"the first input is the first field the user types into",
                 {windowRow(), fieldRow("result", "window", 120, 240, FieldRole::Result),
                  fieldRow("tunable", "window", 900, 240, FieldRole::Tunable),
                  inputRow("input", "window", 120, 700)},
                 {"result", "tunable", "input"},
                 "tunable"}));

// Every control of the program's windows that the keyboard reaches is in its order once.
template <class Table>
void expectEachOnce(const Table& table) {
  std::vector<int> seen(table.size(), 0);
  for (const std::size_t row : keyboardOrder(table)) ++seen[row];
  for (std::size_t row = 0; row < table.size(); ++row) {
    EXPECT_EQ(seen[row], takesKeyboard(table[row]) ? 1 : 0) << table[row].name;
  }
}

TEST(KeyboardOrderOfTheWindows, ReachesEveryControlOnce) {
  expectEachOnce(mainwin::kControls);
  expectEachOnce(tempcalc::kControls);
  expectEachOnce(vram::kControls);
  expectEachOnce(airflow::kControls);
}

TEST(KeyboardOrderOfTheWindows, StartsAtTheirFirstInputs) {
  const auto firstOf = [](std::span<const Control> table) {
    return std::string(table[firstInput(table).value()].name);
  };
  EXPECT_EQ(firstOf(mainwin::kControls), "Text1");
  EXPECT_EQ(firstOf(tempcalc::kControls), "Text3");
  EXPECT_EQ(firstOf(vram::kControls), "Text17");
  EXPECT_EQ(firstOf(airflow::kControls), "Text98");
}

}  // namespace
}  // namespace freqsmith
