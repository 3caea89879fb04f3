// Count times CFM per fan, and the two sums that should come out almost equal.
#include "airflow.h"

#include "computation.h"

namespace freqsmith::airflow {
namespace {

FieldId fieldNamed(std::string_view name) {
  return FieldId{{static_cast<std::uint16_t>(indexOfControl(kControls, name))}};
}

Outcome total(Form& form, const FlowTotal& flow) {
  Computation c(form, fieldNamed(flow.field));
  double sum = c.read(fieldNamed(flow.subtotals[0]));
  for (std::size_t i = 1; i < flow.subtotals.size(); ++i) {
    sum = c.add(sum, c.read(fieldNamed(flow.subtotals[i])));
  }
  return finish(c, sum);
}

}  // namespace

Outcome subtotalClick(Form& form, const FanRow& row) {
  const FieldId count = fieldNamed(row.count);
  const FieldId airflow = fieldNamed(row.airflow);
  guardEmpty(form, count, "0");
  guardEmpty(form, airflow, "0");
  Computation c(form, fieldNamed(row.subtotal));
  const double fans = c.read(count);
  const double perFan = c.read(airflow);
  return finish(c, c.multiply(perFan, fans));
}

Outcome Text132_Click(Form& form) {
  return total(form, kIntakeTotal);
}
Outcome Text110_Click(Form& form) {
  return total(form, kExhaustTotal);
}

Outcome calcairflow_Click(Form& form) {
  for (const FanRow& row : kFanRows) {
    if (Outcome outcome = subtotalClick(form, row); !outcome) return outcome;
  }
  if (Outcome outcome = Text132_Click(form); !outcome) return outcome;
  return Text110_Click(form);
}

const FanRow* rowWithSubtotal(ControlId control) {
  for (const FanRow& row : kFanRows) {
    if (fieldNamed(row.subtotal) == control) return &row;
  }
  return nullptr;
}

Outcome click(Form& form, ControlId control) {
  if (const FanRow* row = rowWithSubtotal(control)) return subtotalClick(form, *row);
  static constexpr ClickRoute kRoutes[] = {
      {field("Text132"), Text132_Click},
      {field("Text110"), Text110_Click},
      {button("calcairflow"), calcairflow_Click},
  };
  return routeClick(kRoutes, form, control);
}

}  // namespace freqsmith::airflow
