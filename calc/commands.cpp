// Calculate, Reset and Detect as ordered tables of steps.
#include "commands.h"

#include <array>

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

constexpr std::array kCalculate{
    CalculateStep{Step::Multiplier},
    CalculateStep{Step::ClearDualCpu},
    guard("Text22"),
    guard("Text25"),
    guard("Text28"),
    guard("Text30"),
    guard("Text32"),
    guard("Text33"),
    guard("Text23"),
    guard("Text18"),
    guard("Text57"),
    guard("Text38"),
    guard("Text39"),
    guard("Text40"),
    guard("Text41"),
    guard("Text42"),
    guard("Text43"),
    guard("Text44"),
    guard("Text20"),
    guard("Text59"),
    guard("Text45"),
    click("Text9991"),
    click("Text9992"),
    click("Text9993"),
    click("Text9994"),
    click("Text9995"),
    click("Text9996"),
    click("Text9997"),
    click("Text50"),
    click("Text51"),
    click("Text52"),
    click("Text53"),
    click("Text54"),
    click("Text55"),
    click("Text16"),
    click("Text60"),
    click("Text61"),
    click("Text62"),
    click("Text63"),
    click("Text64"),
    click("Text65"),
    click("Text66"),
    click("Text19"),
    click("Text58"),
    click("Text3"),
    guard("Text22"),
    guard("Text25"),
    guard("Text28"),
    guard("Text30"),
    guard("Text32"),
    guard("Text33"),
    guard("Text23"),
    guard("Text18"),
    guard("Text57"),
    guard("Text35"),
    click("Text4"),
    click("Text5"),
    click("Text6"),
    click("Text8"),
    click("Text9"),
    CalculateStep{Step::DetectedBus},
    click("Text14"),
    click("Text15"),
    click("Text16"),
    click("Text21"),
    click("Text26"),
    click("Text27"),
    click("Text29"),
    click("Text31"),
    click("Text34"),
    click("Text24"),
    click("Text36"),
    click("Text37"),
    click("Text56"),
};

// The tab page a control stands on; empty for the window's own controls.
consteval std::string_view tabPageOf(const Control& control) {
  const Control* at = &control;
  while (at->kind != ControlKind::TabPage) {
    if (at->parent.empty()) return {};
    const Control* container = nullptr;
    for (const Control& row : mainwin::kControls) {
      if (row.name == at->parent) container = &row;
    }
    at = container;
  }
  return at->name;
}

// Calculate brings every result of both calculator tabs up to date, the hidden component
// watt fields included: each is the field of a Click step.
consteval bool calculatesEveryResult() {
  for (std::size_t i = 0; i < mainwin::kControls.size(); ++i) {
    const Control& row = mainwin::kControls[i];
    const std::string_view tab = tabPageOf(row);
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
      deriveMultiplier(form);
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
      Text11_Click(form);
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

bool calculatorClick(Form& form, ControlId control) {
  using mainwin::button;
  if (control == button("Command2")) {
    Command2_Click(form);
  } else if (control == button("Command3")) {
    Command3_Click(form);
  } else if (control == button("Command4")) {
    Command4_Click(form);
  } else if (control == button("Command7")) {
    Command7_Click(form);
  } else if (const auto* component = componentBox(control);
             component && component->box == form.control(control).name) {
    boxClick(form, *component);
  } else if (const auto* line = lineWithResult(control)) {
    lineResult(form, *line);
  } else {
    for (const ClockResult& r : kClockResults) {
      // Text16 is a hidden field: the user never clicks it.
      if (r.field == control && r.field != field("Text16")) {
        r.run(form);
        return true;
      }
    }
    return false;
  }
  return true;
}

}  // namespace freqsmith
