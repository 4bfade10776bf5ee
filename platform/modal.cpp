#include "platform/modal.h"

#include <QEventLoop>
#include <QPointer>
#include <QWidget>

#include <vector>

#include "platform/gui_thread.h"

namespace {

struct Session {
  QEventLoop* loop;
  QPointer<QWidget> window;
  bool stopped = false;
};

std::vector<Session*>& sessions() {
  static std::vector<Session*> list;
  return list;
}

void stop(Session* s) {
  s->stopped = true;
  s->loop->quit();
}

}  // namespace

namespace Modal {

void runModalForWindow(QWidget* window) {
  KV_ASSERT_GUI_THREAD();
  if (window == nullptr) return;
  QEventLoop loop;
  Session session{&loop, window};
  sessions().push_back(&session);
  const Qt::WindowModality previous = window->windowModality();
  if (!window->isVisible()) window->setWindowModality(Qt::ApplicationModal);
  window->show();
  window->raise();
  window->activateWindow();
  if (!session.stopped) loop.exec();
  auto& list = sessions();
  std::erase(list, &session);
  if (!session.window.isNull() && !session.window->isVisible()) session.window->setWindowModality(previous);
}

void stopModal() {
  KV_ASSERT_GUI_THREAD();
  auto& list = sessions();
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    if (!(*it)->stopped) {
      stop(*it);
      return;
    }
}

void stopModalForWindow(QWidget* window) {
  KV_ASSERT_GUI_THREAD();
  for (Session* s : sessions())
    if (s->window == window && !s->stopped) stop(s);
}

void abortAllModal() {
  KV_ASSERT_GUI_THREAD();
  for (Session* s : sessions()) stop(s);
}

int depth() { return static_cast<int>(sessions().size()); }

QWidget* modalWindow() {
  auto& list = sessions();
  return list.empty() ? nullptr : list.back()->window.data();
}

}  // namespace Modal
