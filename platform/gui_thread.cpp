#include "platform/gui_thread.h"

#include <QtGlobal>

#include <mutex>

#include "platform/dispatch.h"

namespace {

std::mutex gMutex;
GuiThread::ViolationHandler gHandler;

void defaultHandler(const char* where) {
  qFatal("widget touched off the GUI thread: %s", where);
}

}  // namespace

namespace GuiThread {

ViolationHandler setViolationHandler(ViolationHandler handler) {
  std::lock_guard<std::mutex> lock(gMutex);
  ViolationHandler previous = std::move(gHandler);
  gHandler = std::move(handler);
  return previous;
}

void check(const char* where) {
  if (Dispatch::isMainThread()) return;
  ViolationHandler handler;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    handler = gHandler;
  }
  if (handler)
    handler(where);
  else
    defaultHandler(where);
}

}  // namespace GuiThread
