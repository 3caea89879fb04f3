// Calculate, Reset and Detect as ordered tables of steps.
#include "commands.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <tuple>

#include "clock_results.h"
#include "computation.h"
#include "detected_figures.h"
#include "main_window_controls.h"
#include "number.h"
#include "power_supply.h"

namespace freqsmith {
namespace {

using mainwin::box;
using mainwin::field;

enum class Step : std::uint8_t {
  Multiplier,    // re-derive the detected multiplier (skipped where it cannot be)
  ClearDualCpu,  // Text16 <- "0" unless "Dual CPU" is checked
  GuardZero,     // an empty field <- "0"
  Click,         // the field's click handling
  DetectedBus,   // Text11 (skipped where it cannot be derived)
};

struct CalculateStep {
  Step step;
  FieldId field{};
};

consteval CalculateStep guard(std::string_view name) {
  return {Step::GuardZero, field(name)};
}
consteval CalculateStep click(std::string_view name) {
  return {Step::Click, field(name)};
}

using mainwin::BoxGroup;
using mainwin::kComponentBoxes;
using mainwin::kDeviceLines;

// The mainboard's line comes last; its "count" is the system clock, not a number of devices.
constexpr std::size_t kMainboardLine = std::size(kDeviceLines) - 1;
// The keyboard and memory lines are worked out before the CPU speed, the others at the end.
constexpr std::string_view kEarlyLines[] = {"Text19", "Text58"};

consteval bool isEarlyLine(const mainwin::DeviceLine& line) {
  return std::find(std::begin(kEarlyLines), std::end(kEarlyLines), line.result) !=
         std::end(kEarlyLines);
}

// Calculate's steps in order, each handed to `emit`. Runs over the device lines and the
// component boxes follow their tables.
template <class Emit>
consteval void calculateOrder(Emit emit) {
  emit({Step::Multiplier});
  emit({Step::ClearDualCpu});
  for (std::size_t i = 0; i < kMainboardLine; ++i) emit(guard(kDeviceLines[i].count));
  for (const auto& line : kDeviceLines) emit(guard(line.perDevice));
  // The add-in cards top to bottom; each class of processor and graphics bottom to top.
  for (const auto& box : kComponentBoxes) {
    if (box.frame == "Frame7") emit(click(box.field));
  }
  for (auto box = std::rbegin(kComponentBoxes); box != std::rend(kComponentBoxes); ++box) {
    if (box->group == BoxGroup::CpuClass) emit(click(box->field));
  }
  emit(click("Text16"));
  for (auto box = std::rbegin(kComponentBoxes); box != std::rend(kComponentBoxes); ++box) {
    if (box->group == BoxGroup::GraphicsClass) emit(click(box->field));
  }
  for (const std::string_view result : kEarlyLines) emit(click(result));
  emit(click("Text3"));
  for (const auto& line : kDeviceLines) emit(guard(line.count));
  for (const std::string_view result : {"Text4", "Text5", "Text6", "Text8", "Text9"}) {
    emit(click(result));
  }
  emit({Step::DetectedBus});
  for (const std::string_view result : {"Text14", "Text15", "Text16"}) emit(click(result));
  for (const auto& line : kDeviceLines) {
    if (!isEarlyLine(line)) emit(click(line.result));
  }
  emit(click("Text37"));
  emit(click("Text56"));
}

consteval std::size_t calculateSteps() {
  std::size_t count = 0;
  calculateOrder([&count](CalculateStep) { ++count; });
  return count;
}

constexpr auto kCalculate = []() consteval {
  std::array<CalculateStep, calculateSteps()> steps{};
  std::size_t next = 0;
  calculateOrder([&](CalculateStep step) { steps[next++] = step; });
  return steps;
}
();

// Calculate brings every result of both calculator tabs up to date, the hidden component
// watt fields included: each is the field of a Click step.
consteval bool calculatesEveryResult() {
  constexpr auto pages = tabPagesOf(mainwin::kControls);
  for (std::size_t i = 0; i < mainwin::kControls.size(); ++i) {
    const Control& row = mainwin::kControls[i];
    const std::string_view tab = mainwin::kControls[pages[i]].name;
    if (row.kind != ControlKind::Field ||
        (row.role != FieldRole::Result && row.role != FieldRole::Hidden) ||
        (tab != "tabProcessorMemory" && tab != "tabPowerSupply")) {
      continue;
    }
    bool clicked = false;
    for (const CalculateStep& step : kCalculate) {
      clicked = clicked || (step.step == Step::Click && step.field.index == i);
    }
    if (!clicked) return false;
  }
  return true;
}
static_assert(calculatesEveryResult(), "a result of a calculator tab is missing from Calculate");

struct ResetWrite {
  FieldId field;
  std::string_view text;
};

consteval ResetWrite zero(std::string_view name) {
  return {field(name), "0"};
}

constexpr std::array kResetBefore{
    zero("Text1"), zero("Text2"), zero("Text3"), zero("Text4"), zero("Text5"), zero("Text6"),
};
// The rest of the "Processor and Memory" tab's inputs and results and the detected bus; the
// "Power Supply" tab follows from its tables (resetPowerSupply).
constexpr std::array kResetAfter{
    zero("Text8"),
    zero("Text9"),
    zero("Text56"),
    zero("Text11"),
    zero("Text14"),
    zero("Text15"),
    ResetWrite{field("Text13"), "1"},
    ResetWrite{field("Text12"), "1"},
};

bool runClick(Form& form, FieldId result);

bool runStep(Form& form, const CalculateStep& step) {
  switch (step.step) {
    case Step::Multiplier:
      // Skipped, without a word, where no clocks were detected: Calculate goes on.
      std::ignore = deriveMultiplier(form);
      return true;
    case Step::ClearDualCpu:
      if (!form.checked(box("Check15"))) form.setText(field("Text16"), "0");
      return true;
    case Step::GuardZero:
      guardEmpty(form, step.field, "0");
      return true;
    case Step::Click:
      return runClick(form, step.field);
    case Step::DetectedBus:
      std::ignore = Text11_Click(form);  // likewise
      return true;
  }
  return false;
}

struct ClockResult {
  FieldId field;
  bool (*run)(Form&);
};

constexpr std::array kClockResults{
    ClockResult{field("Text3"), Text3_Click},   ClockResult{field("Text4"), Text4_Click},
    ClockResult{field("Text5"), Text5_Click},   ClockResult{field("Text6"), Text6_Click},
    ClockResult{field("Text8"), Text8_Click},   ClockResult{field("Text9"), Text9_Click},
    ClockResult{field("Text56"), Text56_Click}, ClockResult{field("Text14"), Text14_Click},
    ClockResult{field("Text15"), Text15_Click}, ClockResult{field("Text16"), Text16_Click},
    ClockResult{field("Text37"), Text37_Click},
};

bool runClick(Form& form, FieldId result) {
  for (const ClockResult& r : kClockResults) {
    if (r.field == result) return r.run(form);
  }
  if (const auto* line = lineWithResult(result)) return lineResult(form, *line);
  if (const auto* component = componentBox(result)) {
    componentField(form, *component);
    return true;
  }
  return false;
}

}  // namespace

bool Command2_Click(Form& form) {
  for (const CalculateStep& step : kCalculate) {
    if (!runStep(form, step)) return false;
  }
  form.explain(kCalculated);
  return true;
}

void Command3_Click(Form& form) {
  for (const ResetWrite& write : kResetBefore) form.setText(write.field, write.text);
  form.explain(kReset);
  for (const ResetWrite& write : kResetAfter) form.setText(write.field, write.text);
  resetPowerSupply(form);
}

bool Command4_Click(Form& form) {
  form.explain(kDetected);
  const std::string clock = form.text(field("Textarch"));
  const std::string multiplier = form.text(field("Textmultiplier"));
  if (!parseNumber(clock).value || !parseNumber(multiplier).value) {
    form.explain(kNotDetected);
    return false;
  }
  form.setText(field("Text1"), clock);
  form.setText(field("Text2"), multiplier);
  form.setText(field("Text35"), clock);
  if (!Command2_Click(form)) return false;
  form.explain(kDetected);
  return true;
}

// A handler that stops has put its sentence on the explanation line: at a user's click that
// is the whole report, so the results below are not needed.
bool calculatorClick(Form& form, ControlId control) {
  using mainwin::button;
  if (control == button("Command2")) {
    std::ignore = Command2_Click(form);
  } else if (control == button("Command3")) {
    Command3_Click(form);
  } else if (control == button("Command4")) {
    std::ignore = Command4_Click(form);
  } else if (control == button("Command7")) {
    Command7_Click(form);
  } else if (const auto* component = componentBox(control);
             component && component->box == form.control(control).name) {
    boxClick(form, *component);
  } else if (const auto* line = lineWithResult(control)) {
    std::ignore = lineResult(form, *line);
  } else {
    for (const ClockResult& r : kClockResults) {
      // Text16 is a hidden field: the user never clicks it.
      if (r.field == control && r.field != field("Text16")) {
        std::ignore = r.run(form);
        return true;
      }
    }
    return false;
  }
  return true;
}

}  // namespace freqsmith
