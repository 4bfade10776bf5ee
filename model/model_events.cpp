#include "model/model_events.h"

// The object is the bare number, as observers by name have always read it.
QVariant eventObject(const ConnectionFailureEvent& event) { return QVariant(int(event.result)); }

std::optional<ConnectionFailureEvent> eventFrom(const Notification& n, std::type_identity<ConnectionFailureEvent>) {
  if (!n.object.isValid()) return std::nullopt;
  return ConnectionFailureEvent{static_cast<uint16_t>(n.object.toInt())};
}
