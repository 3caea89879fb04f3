// Reading order over the containers of a window's table.
#include "keyboard_order.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace freqsmith {
namespace {

bool isContainer(ControlKind kind) {
  return kind == ControlKind::Window || kind == ControlKind::Tabs || kind == ControlKind::TabPage ||
         kind == ControlKind::Frame;
}

bool isCommand(const Control& row) {
  return row.kind == ControlKind::Button;
}

class Reader {
 public:
  explicit Reader(std::span<const Control> table)
      : table_(table), children_(table.size()), reached_(table.size(), false) {
    std::unordered_map<std::string_view, std::size_t> rowOf;
    rowOf.reserve(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) rowOf.emplace(table[i].name, i);
    std::vector<std::size_t> parentOf(table.size(), 0);
    for (std::size_t i = 1; i < table.size(); ++i) {
      if (const auto found = rowOf.find(table[i].parent); found != rowOf.end()) {
        parentOf[i] = found->second;
        children_[found->second].push_back(i);
      }
    }
    // Containers come before what they hold, so from the last row back every container
    // learns whether anything in it takes the keyboard before its own container asks.
    for (std::size_t i = table.size(); i-- > 1;) {
      reached_[i] = reached_[i] || takesKeyboard(table[i]);
      if (reached_[i]) reached_[parentOf[i]] = true;
    }
  }

  void read(std::size_t container, std::vector<std::size_t>& order) const {
    std::vector<std::size_t> items;
    for (const std::size_t child : children_[container]) {
      if (reached_[child]) items.push_back(child);
    }
    // A tab strip's pages have no place of their own; they follow the strip's order.
    if (table_[container].kind != ControlKind::Tabs) {
      intoReadingOrder(items);
      std::stable_partition(items.begin(), items.end(),
                            [this](std::size_t row) { return !isCommand(table_[row]); });
    }
    for (const std::size_t row : items) {
      if (takesKeyboard(table_[row])) order.push_back(row);
      if (isContainer(table_[row].kind)) read(row, order);
    }
  }

 private:
  // Top to bottom by lines, and left to right along each line. A line is the topmost
  // control left and every control that begins above its middle, so that a field set a
  // few twips lower than its neighbour still reads after it.
  void intoReadingOrder(std::vector<std::size_t>& items) const {
    const auto place = [this](std::size_t row) -> const Twips& { return table_[row].place; };
    std::stable_sort(items.begin(), items.end(),
                     [&](std::size_t a, std::size_t b) { return place(a).top < place(b).top; });
    for (auto line = items.begin(); line != items.end();) {
      const Twips& first = place(*line);
      auto end = std::next(line);
      while (end != items.end() && place(*end).top < first.top + first.height / 2) ++end;
      std::stable_sort(line, end,
                       [&](std::size_t a, std::size_t b) { return place(a).left < place(b).left; });
      line = end;
    }
  }

  std::span<const Control> table_;
  std::vector<std::vector<std::size_t>> children_;
  std::vector<bool> reached_;  // takes the keyboard, or holds something that does
};

}  // namespace

bool takesKeyboard(const Control& row) {
  switch (row.kind) {
    case ControlKind::Field:
      return row.role != FieldRole::Hidden && row.role != FieldRole::None;
    case ControlKind::Box:
    case ControlKind::Button:
    case ControlKind::Tabs:
      return true;
    default:
      return false;
  }
}

std::vector<std::size_t> keyboardOrder(std::span<const Control> table) {
  std::vector<std::size_t> order;
  if (!table.empty()) Reader(table).read(0, order);
  return order;
}

std::optional<std::size_t> firstInput(std::span<const Control> table) {
  for (const std::size_t row : keyboardOrder(table)) {
    const Control& control = table[row];
    if (control.kind == ControlKind::Field &&
        (control.role == FieldRole::Input || control.role == FieldRole::Tunable))
      return row;
  }
  return std::nullopt;
}

}  // namespace freqsmith
