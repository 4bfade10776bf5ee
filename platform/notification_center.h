#pragma once
// Named posts with an object and a userInfo dictionary, as the share session tells the
// windows what arrived. Observers run on the posting thread, synchronously, or ask for
// the GUI thread, where the call is queued: a poster never waits for the GUI thread
// (the camera library posts while holding its own locks).
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct Notification {
  QString name;
  QVariant object;  // an integer, a QVariantMap, a std::shared_ptr of a model object ...
  QVariantMap userInfo;

  // The object as T, or a default T when it holds something else.
  template <typename T>
  T objectAs() const {
    return object.canConvert<T>() ? object.value<T>() : T();
  }
};

enum class NotificationDelivery {
  postingThread,  // called synchronously inside post(), on the poster's thread
  mainThread,     // queued to the GUI thread; post() returns at once
};

class NotificationCenter {
 public:
  using Handler = std::function<void(const Notification&)>;
  using ObserverId = uint64_t;

  NotificationCenter();
  // Removes every observer (waiting for deliveries in progress on other threads).
  ~NotificationCenter();
  NotificationCenter(const NotificationCenter&) = delete;
  NotificationCenter& operator=(const NotificationCenter&) = delete;

  // The process-wide centre.
  static NotificationCenter& defaultCenter();

  // Observes posts named `name`. With an owner, the observer is removed when the owner
  // is destroyed. That happens in ~QObject, after the owner's own destructor: an owner
  // whose handler reaches its members from another thread removes itself first thing in
  // its destructor (removeObserver(this)).
  ObserverId addObserver(QObject* owner, const QString& name, Handler handler,
                         NotificationDelivery delivery = NotificationDelivery::postingThread);

  // After removal returns, the observer is never called again, and no delivery to it is
  // still running on another thread (removal waits for one in progress). Removal from
  // inside the observer's own handler does not wait for itself.
  void removeObserver(ObserverId id);
  // Every observer of this owner.
  void removeObserver(QObject* owner);

  // Delivers to the observers of `name` in the order they were added.
  void post(const Notification& notification);
  void post(const QString& name, const QVariant& object = QVariant(),
            const QVariantMap& userInfo = QVariantMap());

  size_t observerCount() const;

 private:
  struct Entry;
  static void deliver(Entry& entry, const Notification& notification);
  static void retire(Entry& entry);
  std::shared_ptr<Entry> take(ObserverId id);

  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Entry>> entries_;
  ObserverId nextId_ = 1;
  QObject context_;  // receiver of the owners' destroyed() connections
};
