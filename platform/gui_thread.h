#pragma once
// Widgets are touched on the GUI thread only. Every widget entry point states it with
// KV_ASSERT_GUI_THREAD(); in a debug build a call from any other thread reaches the
// violation handler, which by default stops the process with the offending function's name
// (so a test that touches a widget off the GUI thread fails). Release builds check nothing.
#include <functional>

namespace GuiThread {

using ViolationHandler = std::function<void(const char* where)>;

// Replaces the handler; returns the previous one. An empty handler restores the default.
ViolationHandler setViolationHandler(ViolationHandler handler);

// Reports `where` to the handler when not called on the GUI thread.
void check(const char* where);

}  // namespace GuiThread

#ifdef NDEBUG
#define KV_ASSERT_GUI_THREAD() ((void)0)
#else
#define KV_ASSERT_GUI_THREAD() GuiThread::check(__PRETTY_FUNCTION__)
#endif
