#pragma once
// The application's top-level windows in front-to-back order (the platform's
// orderedWindows). A window enters when it is registered, comes to the front when it is
// shown, raised or activated, leaves the list while hidden and is forgotten when destroyed.
// Popovers drawn as overlays inside a parent window register their overlay as a window of
// kind Popover, in front of their parent, so callers that skip a popover window still can.
#include <QList>
#include <QWidget>

class WindowRegistry {
 public:
  enum class Kind { Window, Alert, Popover };
  struct Entry {
    QWidget* window = nullptr;
    Kind kind = Kind::Window;
  };

  // GUI thread only. Tracks `window` until it is destroyed; registering again changes its kind.
  static void registerWindow(QWidget* window, Kind kind = Kind::Window);
  static void unregisterWindow(QWidget* window);
  // Moves a registered window to the front.
  static void bringToFront(QWidget* window);

  // The visible registered windows, front first.
  static QList<Entry> orderedWindows();
  // The front visible window, or nullptr.
  static QWidget* frontWindow();
  static bool contains(QWidget* window);
};
