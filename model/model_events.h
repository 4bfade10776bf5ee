#pragma once
// Typed notifications over the default centre. An event is a payload struct that names
// its notification (kName) and the thread its observers run on (kDelivery); two overloads
// found by argument-dependent lookup turn it into the notification's object and back:
//   QVariant eventObject(const E&);
//   std::optional<E> eventFrom(const Notification&, std::type_identity<E>);
// eventFrom returns nothing for an object the observer must not see (a null image).
//
// The model posts one notification of its own, ConnectionFailureEvent, declared here
// because the model lies below the share layer; the rest are in share/share_events.h.
#include <QObject>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "platform/notification_center.h"

template <class Event>
void postEvent(const Event& event) {
  NotificationCenter::defaultCenter().post(QString::fromLatin1(Event::kName), eventObject(event));
}

// The observer runs on Event::kDelivery's thread; with an owner it goes when the owner
// does. The id removes it earlier.
template <class Event>
NotificationCenter::ObserverId observeEvent(QObject* owner, std::function<void(const Event&)> handler) {
  if (!handler) return 0;
  return NotificationCenter::defaultCenter().addObserver(
      owner, QString::fromLatin1(Event::kName),
      [handler = std::move(handler)](const Notification& n) {
        if (std::optional<Event> event = eventFrom(n, std::type_identity<Event>{})) handler(*event);
      },
      Event::kDelivery);
}

// A run of the command runner ended in a lost connection (0xFF0E). Posted on the GUI thread
// before the run's return block; observers run there, inside the post.
struct ConnectionFailureEvent {
  static constexpr const char* kName = "ConnectionFailure";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::postingThread;
  uint16_t result = 0;
  bool operator==(const ConnectionFailureEvent&) const = default;
};
QVariant eventObject(const ConnectionFailureEvent& event);
std::optional<ConnectionFailureEvent> eventFrom(const Notification& n, std::type_identity<ConnectionFailureEvent>);

inline void postConnectionFailure(const ConnectionFailureEvent& event) { postEvent(event); }
inline NotificationCenter::ObserverId observeConnectionFailure(
    QObject* owner, std::function<void(const ConnectionFailureEvent&)> handler) {
  return observeEvent(owner, std::move(handler));
}
