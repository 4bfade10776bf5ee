#include "share/share_events.h"

#include <atomic>
#include <deque>
#include <iterator>
#include <mutex>

#include <QVariantMap>
#include <QtGlobal>

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

namespace {
struct ShotHold {
  std::mutex mutex;
  bool holding = false;
  std::deque<HeldShareShot> shots;
  size_t bytes = 0;
};
size_t shotBytes(const HeldShareShot& shot) {
  return std::visit([](const auto& event) { return event.image ? size_t(event.image->getImageData().size()) : 0; },
                    shot);
}
ShotHold& shotHold() {
  static ShotHold hold;
  return hold;
}
// True when the event was kept rather than to be posted.
bool held(HeldShareShot shot) {
  ShotHold& hold = shotHold();
  std::lock_guard lock(hold.mutex);
  if (!hold.holding) return false;
  const size_t bytes = shotBytes(shot);
  while (!hold.shots.empty() &&
         (hold.shots.size() >= kHeldShareShotsMax || hold.bytes + bytes > kHeldShareShotsMaxBytes)) {
    qWarning("share: too many shots before the window observes; the oldest reaches only the cache");
    hold.bytes -= shotBytes(hold.shots.front());
    hold.shots.pop_front();
  }
  hold.shots.push_back(std::move(shot));
  hold.bytes += bytes;
  return true;
}
}  // namespace

void holdShareShots() {
  ShotHold& hold = shotHold();
  std::lock_guard lock(hold.mutex);
  hold.holding = true;
  hold.shots.clear();
  hold.bytes = 0;
}

std::vector<HeldShareShot> takeHeldShareShots() {
  ShotHold& hold = shotHold();
  std::lock_guard lock(hold.mutex);
  hold.holding = false;
  std::vector<HeldShareShot> shots(std::make_move_iterator(hold.shots.begin()),
                                   std::make_move_iterator(hold.shots.end()));
  hold.shots.clear();
  hold.bytes = 0;
  return shots;
}

void postImageData(const ImageDataEvent& event) {
  if (!held(event)) postEvent(event);
}

void postShareThumbnailDownloaded(const ShareThumbnailDownloadedEvent& event) {
  if (!held(event)) postEvent(event);
}
