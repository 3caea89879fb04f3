// A window described as data: one row per control, in creation order (containers before
// what they contain). The widget builder, the in-memory form and the handlers all read the
// same rows, so a control's name, design text, limit, filter and sentence are written once.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace freqsmith {

enum class ControlKind : std::uint8_t {
  Window,
  Tabs,
  TabPage,
  Frame,
  Label,
  Field,
  Box,
  Button,
  Picture,
};

// What a text field is for; it decides the field's look and whether the user may type.
enum class FieldRole : std::uint8_t {
  None,
  Input,      // typed by the user (white)
  Tunable,    // a constant the user may change (light lavender)
  Result,     // computed by its own click (black, light cyan, locked)
  Hidden,     // never shown; carries values between steps
  Detection,  // filled at start-up, shown as plain text (locked)
  Notes,      // multi-line read-only text
};

// Which characters a typed key may add to a field; see key_filter.h.
enum class KeyFilter : std::uint8_t { None, Decimal, DecimalNoGuard, RatioDigit, SignedDecimal };

// Appearance hints for the widget builder beyond what the role implies.
enum class Look : std::uint8_t {
  Plain,        // 8.25 pt
  Small,        // 6.75 pt unit labels and notes
  Bold,         // 8.25 pt bold
  Heading,      // small bold heading over a field
  Banner,       // the warning above the tabs
  Display18,    // 18 pt display figure
  Display24,    // 24 pt display figure
  Total,        // 13.5 pt bold total
  Exhaust,      // result text in light red instead of light cyan
  Centered,     // plain text centred in its box
  Explanation,  // the explanation line over the window's artwork
  OnArtwork,    // small light text over a dark picture
  SmallTop,     // 6.75 pt, set at the top of its box like a caption over the field below
  BlackBox,     // a caption-less black box behind a picture
  IntakeRow,    // 6.75 pt dark cyan row caption
  ExhaustRow,   // 6.75 pt brown row caption
  IntakeSum,    // 8.25 pt bold navy caption
  ExhaustSum,   // 8.25 pt bold brown caption
  Note,         // 6.75 pt dark grey, centred
};

struct Twips {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Control {
  std::string_view name;
  ControlKind kind = ControlKind::Label;
  std::string_view parent;  // the container's name; empty for the window itself
  Twips place;
  std::string_view text;      // design text of a field, caption of anything else
  std::string_view sentence;  // put on the explanation line by a click; empty: none
  std::string_view title;     // how messages and assistive tools name a field
  std::string_view tooltip;   // shown while the pointer rests on the control; empty: none
  FieldRole role = FieldRole::None;
  KeyFilter filter = KeyFilter::None;
  std::uint16_t maxLength = 0;  // characters; 0 means no limit
  Look look = Look::Plain;
};

// Row builders for the kinds with few attributes; fields are written with designated
// initializers so that every attribute is named where it is set.
constexpr Control frameRow(std::string_view name, std::string_view parent, Twips place,
                           std::string_view caption) {
  return {
      .name = name, .kind = ControlKind::Frame, .parent = parent, .place = place, .text = caption};
}
constexpr Control labelRow(std::string_view name, std::string_view parent, Twips place,
                           std::string_view caption, Look look = Look::Plain,
                           std::string_view sentence = {}) {
  return {.name = name,
          .kind = ControlKind::Label,
          .parent = parent,
          .place = place,
          .text = caption,
          .sentence = sentence,
          .look = look};
}
constexpr Control buttonRow(std::string_view name, std::string_view parent, Twips place,
                            std::string_view caption) {
  return {
      .name = name, .kind = ControlKind::Button, .parent = parent, .place = place, .text = caption};
}
constexpr Control pictureRow(std::string_view name, std::string_view parent, Twips place,
                             std::string_view sentence = {}) {
  return {.name = name,
          .kind = ControlKind::Picture,
          .parent = parent,
          .place = place,
          .sentence = sentence};
}
constexpr Control boxRow(std::string_view name, std::string_view parent, Twips place,
                         std::string_view caption, std::string_view sentence) {
  return {.name = name,
          .kind = ControlKind::Box,
          .parent = parent,
          .place = place,
          .text = caption,
          .sentence = sentence};
}

// Typed indexes into a window's table, so that a field cannot be passed where a box is
// expected. Ids come from the consteval lookups below and are checked at compile time.
struct ControlId {
  std::uint16_t index = 0;
  friend constexpr bool operator==(ControlId, ControlId) = default;
};
struct FieldId : ControlId {};
struct BoxId : ControlId {};
struct LabelId : ControlId {};
struct PictureId : ControlId {};

template <std::size_t N>
consteval ControlId findControl(const std::array<Control, N>& table, std::string_view name,
                                ControlKind kind) {
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i].name == name) {
      if (table[i].kind != kind) throw "control has another kind";
      return ControlId{static_cast<std::uint16_t>(i)};
    }
  }
  throw "no control of that name";
}

template <std::size_t N>
consteval void requireUniqueNames(const std::array<Control, N>& table) {
  for (std::size_t i = 0; i < N; ++i) {
    for (std::size_t j = i + 1; j < N; ++j) {
      if (table[i].name == table[j].name) throw "two controls share a name";
    }
  }
}

// Every row but the first names a container that comes before it.
template <std::size_t N>
consteval void requireContainersFirst(const std::array<Control, N>& table) {
  for (std::size_t i = 1; i < N; ++i) {
    bool found = false;
    for (std::size_t j = 0; j < i && !found; ++j) {
      const ControlKind k = table[j].kind;
      found = table[j].name == table[i].parent &&
              (k == ControlKind::Window || k == ControlKind::Tabs || k == ControlKind::TabPage ||
               k == ControlKind::Frame);
    }
    if (!found) throw "a control's container is missing or comes after it";
  }
}

template <std::size_t... N>
consteval auto joinRows(const std::array<Control, N>&... parts) {
  std::array<Control, (N + ...)> all{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), all.begin() + at), at += N), ...);
  return all;
}

// A window's table, checked at compile time: unique names, containers before contents.
template <std::size_t N>
consteval std::array<Control, N> checkedTable(std::array<Control, N> table) {
  requireUniqueNames(table);
  requireContainersFirst(table);
  return table;
}

// For each row, the index of the tab page it stands on through its containers (a tab page
// stands on itself); 0, the window's own row, for a row on no tab page.
template <std::size_t N>
consteval std::array<std::uint16_t, N> tabPagesOf(const std::array<Control, N>& table) {
  std::array<std::uint16_t, N> pages{};
  for (std::size_t i = 1; i < N; ++i) {
    if (table[i].kind == ControlKind::TabPage) {
      pages[i] = static_cast<std::uint16_t>(i);
      continue;
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (table[j].name == table[i].parent) pages[i] = pages[j];
    }
  }
  return pages;
}

// Compile-time lookup of one kind of control in one window's table, as a function object:
// each window declares `inline constexpr ControlFinder<kControls, ControlKind::Field,
// FieldId> field{};` and writes field("Text35").
template <const auto& Table, ControlKind Kind, class Id>
struct ControlFinder {
  consteval Id operator()(std::string_view name) const {
    return Id{findControl(Table, name, Kind)};
  }
};

// Runtime lookup by name, for the widget side (object names) and tests; -1 when absent.
int indexOfControl(std::span<const Control> table, std::string_view name);

}  // namespace freqsmith
