#pragma once
// A GUI object's mailbox for other threads. The object owns a shared GuiTarget and detaches
// it in its destructor; a thread that may outlive the object keeps the shared_ptr and posts
// through it. A post is queued with the object as the call's context, so it runs on the
// GUI thread only while the object still exists and is dropped once the object is gone.
#include <QObject>

#include <functional>
#include <memory>
#include <mutex>

class GuiTarget {
 public:
  explicit GuiTarget(QObject* object) : object_(object) {}

  static std::shared_ptr<GuiTarget> create(QObject* object) { return std::make_shared<GuiTarget>(object); }

  // From the object's destructor (GUI thread): later posts are refused.
  void detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    object_ = nullptr;
  }

  // Queues fn to the object's thread with the object as context; false when it is gone.
  bool post(std::function<void()> fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (object_ == nullptr || !fn) return false;
    QMetaObject::invokeMethod(object_, std::move(fn), Qt::QueuedConnection);
    return true;
  }

  bool isAlive() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return object_ != nullptr;
  }

 private:
  mutable std::mutex mutex_;
  QObject* object_;
};
