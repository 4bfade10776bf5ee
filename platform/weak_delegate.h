#pragma once
// A weak, optional delegate: the owner of the delegate keeps it alive; the widget holds a
// weak reference and sends a message only while the delegate exists. Every delegate method
// is optional: the delegate interfaces give each a default that does nothing.
#include <memory>
#include <utility>

template <typename T>
class WeakDelegate {
 public:
  WeakDelegate() = default;
  void set(const std::shared_ptr<T>& d) { d_ = d; }
  void clear() { d_.reset(); }
  std::shared_ptr<T> get() const { return d_.lock(); }
  bool isSet() const { return !d_.expired(); }

  // Calls fn(delegate) when the delegate still exists.
  template <typename Fn>
  void send(Fn&& fn) const {
    if (auto d = d_.lock()) std::forward<Fn>(fn)(*d);
  }

 private:
  std::weak_ptr<T> d_;
};
