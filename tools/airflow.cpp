// Count times CFM per fan, and the two sums that should come out almost equal.
#include "airflow.h"

#include "computation.h"

namespace freqsmith::airflow {
namespace {

struct RowFields {
  FieldId count;
  FieldId airflow;
  FieldId subtotal;
};

consteval std::array<RowFields, std::size(kFanRows)> rowFields() {
  std::array<RowFields, std::size(kFanRows)> out{};
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = {field(kFanRows[i].count), field(kFanRows[i].airflow), field(kFanRows[i].subtotal)};
  }
  return out;
}

struct TotalFields {
  FieldId total;
  std::array<FieldId, 5> subtotals;
};

consteval TotalFields totalFields(const FlowTotal& flow) {
  TotalFields out{};
  out.total = field(flow.field);
  for (std::size_t i = 0; i < flow.subtotals.size(); ++i) {
    out.subtotals[i] = field(flow.subtotals[i]);
  }
  return out;
}

constexpr auto kRowFields = rowFields();
constexpr TotalFields kIntake = totalFields(kIntakeTotal);
constexpr TotalFields kExhaust = totalFields(kExhaustTotal);

Outcome total(Form& form, const TotalFields& flow) {
  Computation c(form, flow.total);
  double sum = c.read(flow.subtotals[0]);
  for (std::size_t i = 1; i < flow.subtotals.size(); ++i) {
    sum = c.add(sum, c.read(flow.subtotals[i]));
  }
  return finish(c, sum);
}

}  // namespace

Outcome subtotalClick(Form& form, std::size_t row) {
  const RowFields& fields = kRowFields[row];
  guardEmpty(form, fields.count, "0");
  guardEmpty(form, fields.airflow, "0");
  Computation c(form, fields.subtotal);
  const double fans = c.read(fields.count);
  const double perFan = c.read(fields.airflow);
  return finish(c, c.multiply(perFan, fans));
}

Outcome Text132_Click(Form& form) {
  return total(form, kIntake);
}
Outcome Text110_Click(Form& form) {
  return total(form, kExhaust);
}

Outcome calcairflow_Click(Form& form) {
  for (std::size_t row = 0; row < kRowFields.size(); ++row) {
    if (Outcome outcome = subtotalClick(form, row); !outcome) return outcome;
  }
  if (Outcome outcome = Text132_Click(form); !outcome) return outcome;
  return Text110_Click(form);
}

Outcome click(Form& form, ControlId control) {
  for (std::size_t row = 0; row < kRowFields.size(); ++row) {
    if (kRowFields[row].subtotal == control) return subtotalClick(form, row);
  }
  static constexpr ClickRoute kRoutes[] = {
      {field("Text132"), Text132_Click},
      {field("Text110"), Text110_Click},
      {button("calcairflow"), calcairflow_Click},
  };
  return routeClick(kRoutes, form, control);
}

}  // namespace freqsmith::airflow
