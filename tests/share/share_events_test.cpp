// The typed notifications: every payload survives its trip from a worker thread, arrives
// on the thread its event names, and reaches only its own observers.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cstring>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

#include "share/share_events.h"
#include "support/qt_test_support.h"

namespace {

std::shared_ptr<PtpImageData> imageOf(const char* name, QByteArray bytes) {
  PtpObjectInfoStruct record{};
  record.objectId = 0x2A;
  record.orientation = 6;
  objectInfoSetFileName(record, name);
  return PtpImageData::initWithObjectData(bytes, PtpObjectInfoClass::init(&record));
}

RatingUpdatedEvent ratingOf(uint32_t id, uint8_t rating) {
  RatingUpdatedEvent event;
  event.object.objectId = id;
  objectInfoSetFileName(event.object, "IMG_" + std::to_string(id) + ".JPG");
  event.rating = rating;
  return event;
}

// Each event's named pair, and payloads worth sending through it.
template <class E>
struct Named;

template <class E>
struct Signal {
  static std::vector<E> samples() { return {E{}}; }
};

template <>
struct Named<ConnectionStatusEvent> {
  static void post(const ConnectionStatusEvent& e) { postConnectionStatus(e); }
  static EventObserverId observe(QObject* o, std::function<void(const ConnectionStatusEvent&)> h) {
    return observeConnectionStatus(o, std::move(h));
  }
  // A run's error result is posted as it is; the observer filters it.
  static std::vector<ConnectionStatusEvent> samples() {
    return {{ConnectionStatusConnected}, {ConnectionStatusSharingDisabled}, {static_cast<ConnectionStatus>(-1)}};
  }
};
template <>
struct Named<ImageDataEvent> {
  static void post(const ImageDataEvent& e) { postImageData(e); }
  static EventObserverId observe(QObject* o, std::function<void(const ImageDataEvent&)> h) {
    return observeImageData(o, std::move(h));
  }
  static std::vector<ImageDataEvent> samples() {
    return {{imageOf("IMG_0042.CR3", QByteArray(1 << 20, char(0xAB)))}, {imageOf("EMPTY.JPG", QByteArray())}};
  }
};
template <>
struct Named<ShareThumbnailDownloadedEvent> {
  static void post(const ShareThumbnailDownloadedEvent& e) { postShareThumbnailDownloaded(e); }
  static EventObserverId observe(QObject* o, std::function<void(const ShareThumbnailDownloadedEvent&)> h) {
    return observeShareThumbnailDownloaded(o, std::move(h));
  }
  static std::vector<ShareThumbnailDownloadedEvent> samples() {
    return {{imageOf("T.JPG", QByteArray("\xff\xd8\xff\xd9", 4))}};
  }
};
template <>
struct Named<LiveViewImageEvent> {
  static void post(const LiveViewImageEvent& e) { postLiveViewImage(e); }
  static EventObserverId observe(QObject* o, std::function<void(const LiveViewImageEvent&)> h) {
    return observeLiveViewImage(o, std::move(h));
  }
  static std::vector<LiveViewImageEvent> samples() {
    return {{QByteArray(3 << 20, char(0x5A)), 12}, {QByteArray("\xff\xd8", 2), 13}, {QByteArray(), 15}, {{}, 255}};
  }
};
template <>
struct Named<ClientCanSaveUpdatedEvent> {
  static void post(const ClientCanSaveUpdatedEvent& e) { postClientCanSaveUpdated(e); }
  static EventObserverId observe(QObject* o, std::function<void(const ClientCanSaveUpdatedEvent&)> h) {
    return observeClientCanSaveUpdated(o, std::move(h));
  }
  static std::vector<ClientCanSaveUpdatedEvent> samples() { return {{true}, {false}}; }
};
template <>
struct Named<RatingUpdatedEvent> {
  static void post(const RatingUpdatedEvent& e) { postRatingUpdated(e); }
  static EventObserverId observe(QObject* o, std::function<void(const RatingUpdatedEvent&)> h) {
    return observeRatingUpdated(o, std::move(h));
  }
  static std::vector<RatingUpdatedEvent> samples() { return {ratingOf(7, 5), ratingOf(0xFFFFFFFF, 0)}; }
};
template <>
struct Named<ConnectionFailureEvent> {
  static void post(const ConnectionFailureEvent& e) { postConnectionFailure(e); }
  static EventObserverId observe(QObject* o, std::function<void(const ConnectionFailureEvent&)> h) {
    return observeConnectionFailure(o, std::move(h));
  }
  static std::vector<ConnectionFailureEvent> samples() { return {{0xFF0E}}; }
};

// The events without a payload: post…() and a handler that takes nothing.
#define KV_SIGNAL_PAIR(Name)                                                                \
  template <>                                                                               \
  struct Named<Name##Event> : Signal<Name##Event> {                                         \
    static void post(const Name##Event&) { post##Name(); }                                  \
    static EventObserverId observe(QObject* o, std::function<void(const Name##Event&)> h) { \
      return observe##Name(o, [h = std::move(h)] { h(Name##Event{}); });                    \
    }                                                                                       \
  };
KV_SIGNAL_PAIR(IncomingOobMessage)
KV_SIGNAL_PAIR(MessageHandled)
KV_SIGNAL_PAIR(UserDefaultsUpdated)
KV_SIGNAL_PAIR(Exit)
KV_SIGNAL_PAIR(MovieRecordingToggled)
KV_SIGNAL_PAIR(ShowNextImage)
KV_SIGNAL_PAIR(ShowPreviousImage)
#undef KV_SIGNAL_PAIR

// What must reach its observers on the GUI thread: everything a window shows or closes on.
// Images, thumbnails, live frames and the save permission run on the poster's thread (the
// strip and the still pane hop themselves, live frames go through the window's newest-frame
// slot; the permission is a setting); a connection failure is posted
// on the GUI thread already, and must arrive before the run's return block.
template <class E>
constexpr bool kForTheGuiThread =
    !std::is_same_v<E, ImageDataEvent> && !std::is_same_v<E, ShareThumbnailDownloadedEvent> &&
    !std::is_same_v<E, LiveViewImageEvent> && !std::is_same_v<E, ClientCanSaveUpdatedEvent> &&
    !std::is_same_v<E, ConnectionFailureEvent>;

template <class E>
bool same(const E& a, const E& b) {
  return a == b;
}
bool same(const RatingUpdatedEvent& a, const RatingUpdatedEvent& b) {
  return a.rating == b.rating && std::memcmp(&a.object, &b.object, sizeof a.object) == 0;
}

using AllEvents = std::tuple<ConnectionStatusEvent, ImageDataEvent, ShareThumbnailDownloadedEvent, LiveViewImageEvent,
                             ClientCanSaveUpdatedEvent, IncomingOobMessageEvent, MessageHandledEvent,
                             UserDefaultsUpdatedEvent, ExitEvent, RatingUpdatedEvent, MovieRecordingToggledEvent,
                             ShowNextImageEvent, ShowPreviousImageEvent, ConnectionFailureEvent>;

template <class Tuple>
struct ToTypes;
template <class... E>
struct ToTypes<std::tuple<E...>> {
  using type = ::testing::Types<E...>;
};

template <class E>
class EventRoundTrip : public ::testing::Test {};
TYPED_TEST_SUITE(EventRoundTrip, ToTypes<AllEvents>::type);

}  // namespace

// Posted on a worker: an event for the GUI thread is queued there (its observer has not
// run when the post returns) and arrives intact; any other runs inside the post, on the
// worker.
TYPED_TEST(EventRoundTrip, AWorkersPostArrivesIntactOnItsThread) {
  using E = TypeParam;
  for (const E& sample : Named<E>::samples()) {
    QObject owner;
    std::mutex mutex;
    std::vector<E> received;
    std::vector<std::thread::id> ranOn;
    Named<E>::observe(&owner, [&](const E& e) {
      std::lock_guard lock(mutex);
      received.push_back(e);
      ranOn.push_back(std::this_thread::get_id());
    });
    std::thread::id poster;
    size_t atReturn = 0;
    std::thread worker([&] {
      poster = std::this_thread::get_id();
      Named<E>::post(sample);
      std::lock_guard lock(mutex);
      atReturn = received.size();
    });
    worker.join();
    EXPECT_EQ(E::kDelivery == NotificationDelivery::mainThread, kForTheGuiThread<E>);
    if (kForTheGuiThread<E>) {
      EXPECT_EQ(atReturn, 0u);
      ASSERT_TRUE(kvtest::waitUntil([&] {
        std::lock_guard lock(mutex);
        return !received.empty();
      }));
      EXPECT_EQ(ranOn[0], std::this_thread::get_id());
    } else {
      EXPECT_EQ(atReturn, 1u);
      ASSERT_EQ(received.size(), 1u);
      EXPECT_EQ(ranOn[0], poster);
    }
    QCoreApplication::processEvents();
    std::lock_guard lock(mutex);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(same(received[0], sample));
  }
}

// Each post reaches the observers of its own event only: no two share a name, and no
// pair is wired to another's event.
TEST(ShareEvents, EachPostReachesOnlyItsOwnObservers) {
  constexpr size_t n = std::tuple_size_v<AllEvents>;
  QObject owner;
  std::vector<std::vector<int>> seen(n, std::vector<int>(n, 0));  // [posted][observed]
  size_t posting = 0;
  auto observeAll = [&]<size_t... I>(std::index_sequence<I...>) {
    (Named<std::tuple_element_t<I, AllEvents>>::observe(
         &owner, [&](const std::tuple_element_t<I, AllEvents>&) { ++seen[posting][I]; }),
     ...);
  };
  observeAll(std::make_index_sequence<n>());
  auto postAll = [&]<size_t... I>(std::index_sequence<I...>) {
    // Each delivery, queued or not, lands while `posting` still names its post.
    ((posting = I,
      Named<std::tuple_element_t<I, AllEvents>>::post(Named<std::tuple_element_t<I, AllEvents>>::samples()[0]),
      QCoreApplication::processEvents()),
     ...);
  };
  postAll(std::make_index_sequence<n>());
  for (size_t posted = 0; posted < n; ++posted)
    for (size_t observed = 0; observed < n; ++observed)
      EXPECT_EQ(seen[posted][observed], posted == observed ? 1 : 0) << "posted " << posted << ", observed " << observed;
}

// A null image is nothing to show: image and thumbnail observers never see one.
TEST(ShareEvents, ANullImageReachesNoObserver) {
  QObject owner;
  int calls = 0;
  observeImageData(&owner, [&](const ImageDataEvent&) { ++calls; });
  observeShareThumbnailDownloaded(&owner, [&](const ShareThumbnailDownloadedEvent&) { ++calls; });
  postImageData({nullptr});
  postShareThumbnailDownloaded({nullptr});
  EXPECT_EQ(calls, 0);
  postImageData({imageOf("A.JPG", QByteArray())});
  EXPECT_EQ(calls, 1);
}

// The owner's end removes its typed observers, and an id removes one earlier.
TEST(ShareEvents, ObserversGoWithTheirOwnerOrTheirId) {
  int calls = 0;
  {
    QObject owner;
    observeClientCanSaveUpdated(&owner, [&](const ClientCanSaveUpdatedEvent&) { ++calls; });
    postClientCanSaveUpdated({true});
  }
  postClientCanSaveUpdated({true});
  EXPECT_EQ(calls, 1);
  auto id = observeClientCanSaveUpdated(nullptr, [&](const ClientCanSaveUpdatedEvent&) { ++calls; });
  postClientCanSaveUpdated({false});
  NotificationCenter::defaultCenter().removeObserver(id);
  postClientCanSaveUpdated({false});
  EXPECT_EQ(calls, 2);
}
