#pragma once
// What the decoder told the windows, seen through the typed observers in the order they
// ran. Image, thumbnail, live-frame and save-permission observers run inside the post; the
// defaults update reaches the GUI thread queued, so a reader on the GUI thread settles
// first.
#include <QCoreApplication>

#include <mutex>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "share/share_events.h"

class ShareEventLog {
 public:
  using Entry = std::variant<ImageDataEvent, ShareThumbnailDownloadedEvent, LiveViewImageEvent,
                             ClientCanSaveUpdatedEvent, UserDefaultsUpdatedEvent>;

  ShareEventLog() {
    ids_.push_back(observeImageData(nullptr, [this](const ImageDataEvent& e) { add(e); }));
    ids_.push_back(
        observeShareThumbnailDownloaded(nullptr, [this](const ShareThumbnailDownloadedEvent& e) { add(e); }));
    ids_.push_back(observeLiveViewImage(nullptr, [this](const LiveViewImageEvent& e) { add(e); }));
    ids_.push_back(observeClientCanSaveUpdated(nullptr, [this](const ClientCanSaveUpdatedEvent& e) { add(e); }));
    ids_.push_back(observeUserDefaultsUpdated(nullptr, [this] { add(UserDefaultsUpdatedEvent{}); }));
  }
  ~ShareEventLog() {
    for (auto id : ids_) NotificationCenter::defaultCenter().removeObserver(id);
  }
  ShareEventLog(const ShareEventLog&) = delete;
  ShareEventLog& operator=(const ShareEventLog&) = delete;

  // GUI thread: delivers what is queued to it.
  static void settle() { QCoreApplication::processEvents(); }

  std::vector<Entry> entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  template <class Event>
  std::vector<Event> of() const {
    std::vector<Event> out;
    for (const Entry& entry : entries())
      if (const Event* e = std::get_if<Event>(&entry)) out.push_back(*e);
    return out;
  }
  // The notification name of each entry, in order.
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const Entry& entry : entries())
      out.push_back(std::visit([](const auto& e) { return std::string(std::decay_t<decltype(e)>::kName); }, entry));
    return out;
  }
  std::vector<std::shared_ptr<PtpImageData>> images() const {
    std::vector<std::shared_ptr<PtpImageData>> out;
    for (const auto& e : of<ImageDataEvent>()) out.push_back(e.image);
    return out;
  }
  std::vector<std::shared_ptr<PtpImageData>> thumbnails() const {
    std::vector<std::shared_ptr<PtpImageData>> out;
    for (const auto& e : of<ShareThumbnailDownloadedEvent>()) out.push_back(e.image);
    return out;
  }
  void clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }
  size_t size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
  }

 private:
  void add(Entry entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
  }

  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
  std::vector<EventObserverId> ids_;
};
