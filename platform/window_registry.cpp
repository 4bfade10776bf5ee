#include "platform/window_registry.h"

#include <QEvent>
#include <QPointer>

#include <algorithm>
#include <vector>

#include "platform/gui_thread.h"

namespace {

struct Tracked {
  QPointer<QWidget> window;
  WindowRegistry::Kind kind;
};

// Front first.
std::vector<Tracked>& tracked() {
  static std::vector<Tracked> list;
  return list;
}

void prune() {
  auto& list = tracked();
  list.erase(std::remove_if(list.begin(), list.end(), [](const Tracked& t) { return t.window.isNull(); }),
             list.end());
}

// Raises a window when it is shown or activated.
class Watcher : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto type = event->type();
    if (type == QEvent::Show || type == QEvent::WindowActivate)
      WindowRegistry::bringToFront(static_cast<QWidget*>(watched));
    return false;
  }
};

Watcher& watcher() {
  static Watcher* w = new Watcher;
  return *w;
}

}  // namespace

void WindowRegistry::registerWindow(QWidget* window, Kind kind) {
  KV_ASSERT_GUI_THREAD();
  if (window == nullptr) return;
  prune();
  auto& list = tracked();
  for (auto& t : list)
    if (t.window == window) {
      t.kind = kind;
      return;
    }
  list.insert(list.begin(), Tracked{window, kind});
  window->installEventFilter(&watcher());
}

void WindowRegistry::unregisterWindow(QWidget* window) {
  KV_ASSERT_GUI_THREAD();
  auto& list = tracked();
  list.erase(std::remove_if(list.begin(), list.end(),
                            [window](const Tracked& t) { return t.window.isNull() || t.window == window; }),
             list.end());
  if (window != nullptr) window->removeEventFilter(&watcher());
}

void WindowRegistry::bringToFront(QWidget* window) {
  KV_ASSERT_GUI_THREAD();
  prune();
  auto& list = tracked();
  auto it = std::find_if(list.begin(), list.end(), [window](const Tracked& t) { return t.window == window; });
  if (it == list.end() || it == list.begin()) return;
  Tracked t = *it;
  list.erase(it);
  list.insert(list.begin(), t);
}

QList<WindowRegistry::Entry> WindowRegistry::orderedWindows() {
  KV_ASSERT_GUI_THREAD();
  prune();
  QList<Entry> out;
  for (const auto& t : tracked())
    if (t.window->isVisible()) out.append(Entry{t.window.data(), t.kind});
  return out;
}

QWidget* WindowRegistry::frontWindow() {
  const auto list = orderedWindows();
  return list.isEmpty() ? nullptr : list.front().window;
}

bool WindowRegistry::contains(QWidget* window) {
  KV_ASSERT_GUI_THREAD();
  prune();
  for (const auto& t : tracked())
    if (t.window == window) return true;
  return false;
}
