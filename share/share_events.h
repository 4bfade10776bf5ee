#pragma once
// Everything the share session, its decoder, the connect run and the model tell the
// windows, in one place: per notification its name, its payload and the thread its
// observers run on, with a post…/observe… pair. Code posts and observes only through these.
//
// Observers of what touches a widget run on the GUI thread (the post is queued there and
// returns at once, so the session's threads never wait for the GUI). The others run inside
// the post, on the poster's thread; their observers make their own hops.
//
// The notifications' objects keep the shapes observers by name have always read: a
// number, a bool, a shared PtpImageData, a dictionary {"data", "camera"}.
#include <QByteArray>
#include <QMetaType>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

#include "model/connection_status.h"
#include "model/model_events.h"
#include "model/object_info_wrapper.h"
#include "ptp/base/object_info.h"

using EventObserverId = NotificationCenter::ObserverId;

// The link's state changed. Posted by the session's threads (lost, start failed) and by
// the connect run's result on the GUI thread. GUI thread.
struct ConnectionStatusEvent {
  static constexpr const char* kName = "KLNotification_KorvalumeConnectionStatus";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::mainThread;
  // As posted: observers turn values outside the known ones into Unknown themselves.
  ConnectionStatus status = ConnectionStatusDisconnected;
  bool operator==(const ConnectionStatusEvent&) const = default;
};

// A whole image, or a JPEG cut out of the current object. Posted on the session's serial
// queue, or on the GUI thread by a download. Poster's thread; never a null image.
struct ImageDataEvent {
  static constexpr const char* kName = "KLNotification_ImageData";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::postingThread;
  std::shared_ptr<PtpImageData> image;
  bool operator==(const ImageDataEvent&) const = default;
};

// A thumbnail: from the device (serial queue) or made by the strip from a whole image
// (GUI thread). Poster's thread; never a null image.
struct ShareThumbnailDownloadedEvent {
  static constexpr const char* kName = "KLNotification_ShareThumbnailDownloaded";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::postingThread;
  std::shared_ptr<PtpImageData> image;
  bool operator==(const ShareThumbnailDownloadedEvent&) const = default;
};

// One live-view frame. Poster's thread (the serial queue): frames come faster than a
// picture is shown, so the observer keeps the newest and wakes the GUI thread itself,
// instead of one queued event per frame.
struct LiveViewImageEvent {
  static constexpr const char* kName = "KLNotification_LiveViewImage";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::postingThread;
  QByteArray data;     // the JPEG
  uint8_t camera = 0;  // a CameraVendor code: picks the frame reader and the focus overlay
  bool operator==(const LiveViewImageEvent&) const = default;
};

// Whether the device lets this client save images. Serial queue; poster's thread (the
// observer writes a setting).
struct ClientCanSaveUpdatedEvent {
  static constexpr const char* kName = "KLNotification_ClientCanSaveUpdated";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::postingThread;
  bool canSave = false;
  bool operator==(const ClientCanSaveUpdatedEvent&) const = default;
};

// The device sent a PTP message unasked (live-view replies aside): the wait HUD goes up.
// Unsolicited loop -> GUI thread.
struct IncomingOobMessageEvent {
  static constexpr const char* kName = "KLNotification_IncomingOobMessage";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::mainThread;
  bool operator==(const IncomingOobMessageEvent&) const = default;
};

// One unsolicited message was decoded, whatever its kind: the wait HUD comes down.
// Serial queue -> GUI thread.
struct MessageHandledEvent {
  static constexpr const char* kName = "KLNotification_MessageHandled";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::mainThread;
  bool operator==(const MessageHandledEvent&) const = default;
};

// The device's watermark settings were written to the user defaults. Serial queue -> GUI
// thread (what shows the settings reads them again).
struct UserDefaultsUpdatedEvent {
  static constexpr const char* kName = "UserDefaultsUpdated";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::mainThread;
  bool operator==(const UserDefaultsUpdatedEvent&) const = default;
};

// The camera window is to close (and cut the link). GUI thread.
struct ExitEvent {
  static constexpr const char* kName = "KLNotification_Exit";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::mainThread;
  bool operator==(const ExitEvent&) const = default;
};

// A rating for the strip's item of an object. GUI thread.
struct RatingUpdatedEvent {
  static constexpr const char* kName = "KLNotification_RatingUpdated";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::mainThread;
  PtpObjectInfoStruct object{};
  uint8_t rating = 0;
};

// Movie recording started or stopped. GUI thread.
struct MovieRecordingToggledEvent {
  static constexpr const char* kName = "KLNotification_MovieRecordingToggled";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::mainThread;
  bool operator==(const MovieRecordingToggledEvent&) const = default;
};

// The strip's selection moves to the next or the previous item. GUI thread.
struct ShowNextImageEvent {
  static constexpr const char* kName = "KLNotification_ShowNextImage";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::mainThread;
  bool operator==(const ShowNextImageEvent&) const = default;
};
struct ShowPreviousImageEvent {
  static constexpr const char* kName = "KLNotification_ShowPreviousImage";
  static constexpr NotificationDelivery kDelivery = NotificationDelivery::mainThread;
  bool operator==(const ShowPreviousImageEvent&) const = default;
};

Q_DECLARE_METATYPE(RatingUpdatedEvent)

// The objects each notification carries (share_events.cpp).
QVariant eventObject(const ConnectionStatusEvent& event);
QVariant eventObject(const ImageDataEvent& event);
QVariant eventObject(const ShareThumbnailDownloadedEvent& event);
QVariant eventObject(const LiveViewImageEvent& event);
QVariant eventObject(const ClientCanSaveUpdatedEvent& event);
QVariant eventObject(const RatingUpdatedEvent& event);
std::optional<ConnectionStatusEvent> eventFrom(const Notification& n, std::type_identity<ConnectionStatusEvent>);
std::optional<ImageDataEvent> eventFrom(const Notification& n, std::type_identity<ImageDataEvent>);
std::optional<ShareThumbnailDownloadedEvent> eventFrom(const Notification& n,
                                                       std::type_identity<ShareThumbnailDownloadedEvent>);
std::optional<LiveViewImageEvent> eventFrom(const Notification& n, std::type_identity<LiveViewImageEvent>);
std::optional<ClientCanSaveUpdatedEvent> eventFrom(const Notification& n,
                                                   std::type_identity<ClientCanSaveUpdatedEvent>);
std::optional<RatingUpdatedEvent> eventFrom(const Notification& n, std::type_identity<RatingUpdatedEvent>);

// Notifications without an object.
template <class Event>
requires std::is_empty_v<Event> QVariant eventObject(const Event&) { return QVariant(); }
template <class Event>
requires std::is_empty_v<Event> std::optional<Event> eventFrom(const Notification&, std::type_identity<Event>) {
  return Event{};
}

// ---- the post…/observe… pairs (the thread is the event's kDelivery)

inline void postConnectionStatus(const ConnectionStatusEvent& event) { postEvent(event); }
inline EventObserverId observeConnectionStatus(QObject* owner,
                                               std::function<void(const ConnectionStatusEvent&)> handler) {
  return observeEvent(owner, std::move(handler));
}

// Held instead of posted while the session's shots are held (below).
void postImageData(const ImageDataEvent& event);
inline EventObserverId observeImageData(QObject* owner, std::function<void(const ImageDataEvent&)> handler) {
  return observeEvent(owner, std::move(handler));
}

void postShareThumbnailDownloaded(const ShareThumbnailDownloadedEvent& event);
inline EventObserverId observeShareThumbnailDownloaded(
    QObject* owner, std::function<void(const ShareThumbnailDownloadedEvent&)> handler) {
  return observeEvent(owner, std::move(handler));
}

inline void postLiveViewImage(const LiveViewImageEvent& event) { postEvent(event); }
inline EventObserverId observeLiveViewImage(QObject* owner, std::function<void(const LiveViewImageEvent&)> handler) {
  return observeEvent(owner, std::move(handler));
}

// The shots a session posts before the main window observes: the device pushes the first
// one as soon as the session runs, while the window is still being made. From
// holdShareShots() the thumbnails and whole images posted are kept, in posting order, until
// takeHeldShareShots() hands them over and ends the hold; later ones are posted as usual.
// At most kHeldShareShotsMax shots and kHeldShareShotsMaxBytes of their data wait: past
// that the oldest is let go (its files stay in the cache).
using HeldShareShot = std::variant<ShareThumbnailDownloadedEvent, ImageDataEvent>;
constexpr size_t kHeldShareShotsMax = 64;
constexpr size_t kHeldShareShotsMaxBytes = size_t(512) << 20;
void holdShareShots();
std::vector<HeldShareShot> takeHeldShareShots();

// Also kept as the session's latest, for an observer that registers after the post.
void postClientCanSaveUpdated(const ClientCanSaveUpdatedEvent& event);
// The latest can-save value posted in this session, if any.
std::optional<bool> latestClientCanSave();
// A new session begins: no value is known yet.
void forgetClientCanSave();
inline EventObserverId observeClientCanSaveUpdated(QObject* owner,
                                                   std::function<void(const ClientCanSaveUpdatedEvent&)> handler) {
  return observeEvent(owner, std::move(handler));
}

inline void postRatingUpdated(const RatingUpdatedEvent& event) { postEvent(event); }
inline EventObserverId observeRatingUpdated(QObject* owner, std::function<void(const RatingUpdatedEvent&)> handler) {
  return observeEvent(owner, std::move(handler));
}

// Without an object: the handler takes nothing.
template <class Event>
EventObserverId observeSignal(QObject* owner, std::function<void()> handler) {
  if (!handler) return 0;
  return observeEvent<Event>(owner, [h = std::move(handler)](const Event&) { h(); });
}

inline void postIncomingOobMessage() { postEvent(IncomingOobMessageEvent{}); }
inline EventObserverId observeIncomingOobMessage(QObject* owner, std::function<void()> handler) {
  return observeSignal<IncomingOobMessageEvent>(owner, std::move(handler));
}

inline void postMessageHandled() { postEvent(MessageHandledEvent{}); }
inline EventObserverId observeMessageHandled(QObject* owner, std::function<void()> handler) {
  return observeSignal<MessageHandledEvent>(owner, std::move(handler));
}

inline void postUserDefaultsUpdated() { postEvent(UserDefaultsUpdatedEvent{}); }
inline EventObserverId observeUserDefaultsUpdated(QObject* owner, std::function<void()> handler) {
  return observeSignal<UserDefaultsUpdatedEvent>(owner, std::move(handler));
}

inline void postExit() { postEvent(ExitEvent{}); }
inline EventObserverId observeExit(QObject* owner, std::function<void()> handler) {
  return observeSignal<ExitEvent>(owner, std::move(handler));
}

inline void postMovieRecordingToggled() { postEvent(MovieRecordingToggledEvent{}); }
inline EventObserverId observeMovieRecordingToggled(QObject* owner, std::function<void()> handler) {
  return observeSignal<MovieRecordingToggledEvent>(owner, std::move(handler));
}

inline void postShowNextImage() { postEvent(ShowNextImageEvent{}); }
inline EventObserverId observeShowNextImage(QObject* owner, std::function<void()> handler) {
  return observeSignal<ShowNextImageEvent>(owner, std::move(handler));
}

inline void postShowPreviousImage() { postEvent(ShowPreviousImageEvent{}); }
inline EventObserverId observeShowPreviousImage(QObject* owner, std::function<void()> handler) {
  return observeSignal<ShowPreviousImageEvent>(owner, std::move(handler));
}
