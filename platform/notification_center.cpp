#include "platform/notification_center.h"

#include <algorithm>
#include <condition_variable>
#include <thread>

#include "platform/dispatch.h"

struct NotificationCenter::Entry {
  ObserverId id = 0;
  QString name;
  Handler handler;
  NotificationDelivery delivery = NotificationDelivery::postingThread;
  QObject* owner = nullptr;  // compared only, never dereferenced
  QMetaObject::Connection ownerConnection;

  std::mutex mutex;
  std::condition_variable cv;
  bool removed = false;
  std::vector<std::thread::id> runners;  // threads inside handler right now
};

NotificationCenter::NotificationCenter() = default;

NotificationCenter::~NotificationCenter() {
  std::vector<std::shared_ptr<Entry>> all;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    all.swap(entries_);
  }
  for (auto& entry : all) retire(*entry);
}

NotificationCenter& NotificationCenter::defaultCenter() {
  // Never destroyed: threads may still post while the process exits.
  static NotificationCenter* center = new NotificationCenter;
  return *center;
}

NotificationCenter::ObserverId NotificationCenter::addObserver(QObject* owner, const QString& name,
                                                               Handler handler,
                                                               NotificationDelivery delivery) {
  if (!handler) return 0;
  auto entry = std::make_shared<Entry>();
  entry->name = name;
  entry->handler = std::move(handler);
  entry->delivery = delivery;
  entry->owner = owner;
  ObserverId id;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    id = nextId_++;
    entry->id = id;
    entries_.push_back(entry);
  }
  if (owner != nullptr) {
    // Direct: the removal runs inside the owner's destruction, on the destroying thread.
    QMetaObject::Connection connection = QObject::connect(
        owner, &QObject::destroyed, &context_, [this, id] { removeObserver(id); },
        Qt::DirectConnection);
    std::lock_guard<std::mutex> lock(entry->mutex);
    entry->ownerConnection = connection;
  }
  return id;
}

std::shared_ptr<NotificationCenter::Entry> NotificationCenter::take(ObserverId id) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [id](const std::shared_ptr<Entry>& e) { return e->id == id; });
  if (it == entries_.end()) return nullptr;
  std::shared_ptr<Entry> entry = *it;
  entries_.erase(it);
  return entry;
}

void NotificationCenter::removeObserver(ObserverId id) {
  if (std::shared_ptr<Entry> entry = take(id)) retire(*entry);
}

void NotificationCenter::removeObserver(QObject* owner) {
  if (owner == nullptr) return;
  std::vector<std::shared_ptr<Entry>> gone;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto keep = std::stable_partition(entries_.begin(), entries_.end(),
                                      [owner](const std::shared_ptr<Entry>& e) { return e->owner != owner; });
    gone.assign(keep, entries_.end());
    entries_.erase(keep, entries_.end());
  }
  for (auto& entry : gone) retire(*entry);
}

// Marks the entry removed, then waits until no other thread is inside its handler.
void NotificationCenter::retire(Entry& entry) {
  QMetaObject::Connection connection;
  {
    std::unique_lock<std::mutex> lock(entry.mutex);
    entry.removed = true;
    connection = entry.ownerConnection;
    const auto self = std::this_thread::get_id();
    Dispatch::waitDraining(lock, entry.cv, [&] {
      return std::all_of(entry.runners.begin(), entry.runners.end(),
                         [self](std::thread::id t) { return t == self; });
    });
  }
  if (connection) QObject::disconnect(connection);
}

void NotificationCenter::deliver(Entry& entry, const Notification& notification) {
  const auto self = std::this_thread::get_id();
  {
    std::lock_guard<std::mutex> lock(entry.mutex);
    if (entry.removed) return;
    entry.runners.push_back(self);
  }
  entry.handler(notification);
  {
    std::lock_guard<std::mutex> lock(entry.mutex);
    entry.runners.erase(std::find(entry.runners.begin(), entry.runners.end(), self));
  }
  entry.cv.notify_all();
}

void NotificationCenter::post(const Notification& notification) {
  std::vector<std::shared_ptr<Entry>> targets;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& entry : entries_) {
      if (entry->name == notification.name) targets.push_back(entry);
    }
  }
  for (auto& entry : targets) {
    if (entry->delivery == NotificationDelivery::postingThread) {
      deliver(*entry, notification);
    } else {
      std::weak_ptr<Entry> weak = entry;
      Dispatch::main([weak, notification] {
        if (std::shared_ptr<Entry> live = weak.lock()) deliver(*live, notification);
      });
    }
  }
}

void NotificationCenter::post(const QString& name, const QVariant& object,
                              const QVariantMap& userInfo) {
  post(Notification{name, object, userInfo});
}

size_t NotificationCenter::observerCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}
