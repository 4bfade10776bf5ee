#include "share/share_events.h"

#include <atomic>

#include <QVariantMap>

namespace {

const QString kLiveViewData = QStringLiteral("data");
const QString kLiveViewCamera = QStringLiteral("camera");

std::optional<std::shared_ptr<PtpImageData>> imageOf(const Notification& n) {
  auto image = n.objectAs<std::shared_ptr<PtpImageData>>();
  if (!image) return std::nullopt;  // nothing to show: observers never see a null image
  return image;
}

}  // namespace

QVariant eventObject(const ConnectionStatusEvent& event) { return QVariant(int(event.status)); }

std::optional<ConnectionStatusEvent> eventFrom(const Notification& n, std::type_identity<ConnectionStatusEvent>) {
  if (!n.object.isValid()) return std::nullopt;
  return ConnectionStatusEvent{static_cast<ConnectionStatus>(n.object.toInt())};
}

QVariant eventObject(const ImageDataEvent& event) { return QVariant::fromValue(event.image); }

std::optional<ImageDataEvent> eventFrom(const Notification& n, std::type_identity<ImageDataEvent>) {
  if (auto image = imageOf(n)) return ImageDataEvent{std::move(*image)};
  return std::nullopt;
}

QVariant eventObject(const ShareThumbnailDownloadedEvent& event) { return QVariant::fromValue(event.image); }

std::optional<ShareThumbnailDownloadedEvent> eventFrom(const Notification& n,
                                                       std::type_identity<ShareThumbnailDownloadedEvent>) {
  if (auto image = imageOf(n)) return ShareThumbnailDownloadedEvent{std::move(*image)};
  return std::nullopt;
}

QVariant eventObject(const LiveViewImageEvent& event) {
  return QVariantMap{{kLiveViewData, event.data}, {kLiveViewCamera, int(event.camera)}};
}

std::optional<LiveViewImageEvent> eventFrom(const Notification& n, std::type_identity<LiveViewImageEvent>) {
  const QVariantMap map = n.objectAs<QVariantMap>();
  if (!map.contains(kLiveViewData)) return std::nullopt;
  // The camera code is a byte; whatever the number holds above it is not looked at.
  return LiveViewImageEvent{map.value(kLiveViewData).toByteArray(),
                            static_cast<uint8_t>(map.value(kLiveViewCamera).toInt() & 0xFF)};
}

QVariant eventObject(const ClientCanSaveUpdatedEvent& event) { return QVariant(event.canSave); }

std::optional<ClientCanSaveUpdatedEvent> eventFrom(const Notification& n,
                                                   std::type_identity<ClientCanSaveUpdatedEvent>) {
  if (!n.object.isValid()) return std::nullopt;
  return ClientCanSaveUpdatedEvent{n.object.toBool()};
}

QVariant eventObject(const RatingUpdatedEvent& event) { return QVariant::fromValue(event); }

std::optional<RatingUpdatedEvent> eventFrom(const Notification& n, std::type_identity<RatingUpdatedEvent>) {
  if (!n.object.canConvert<RatingUpdatedEvent>()) return std::nullopt;
  return n.object.value<RatingUpdatedEvent>();
}

namespace {
// -1: nothing posted in this session; else 0 or 1.
std::atomic<int> gLatestCanSave{-1};
}  // namespace

void postClientCanSaveUpdated(const ClientCanSaveUpdatedEvent& event) {
  gLatestCanSave = event.canSave ? 1 : 0;
  postEvent(event);
}

std::optional<bool> latestClientCanSave() {
  const int v = gLatestCanSave.load();
  if (v < 0) return std::nullopt;
  return v == 1;
}

void forgetClientCanSave() { gLatestCanSave = -1; }
