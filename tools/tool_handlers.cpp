// The dialogs' common end of a computation, and click routing by table.
#include "tool_handlers.h"

namespace freqsmith {

Outcome finish(Computation& computation, double value) {
  if (computation.commit(value)) return {};
  return Outcome::stopped(computation.fault()->field, computation.faultSentence());
}

Outcome routeClick(std::span<const ClickRoute> routes, Form& form, ControlId control) {
  for (const ClickRoute& route : routes) {
    if (route.control == control) return route.run(form);
  }
  return {};
}

}  // namespace freqsmith
