#pragma once
// The application-modal session: runModalForWindow shows the window application-modal and
// runs a nested event loop until stopModal ends it (a button of the window, normally).
// Sessions nest; stopModal ends the innermost one. abortAllModal ends every session (quit).
class QWidget;

namespace Modal {

// GUI thread. Returns when the session of `window` is stopped, or at once when the window
// is null. The window stays open: closing it is the caller's business.
void runModalForWindow(QWidget* window);

// Ends the innermost running session (does nothing when none runs).
void stopModal();

// Ends the session of `window` wherever it is in the stack.
void stopModalForWindow(QWidget* window);

// Ends every running session.
void abortAllModal();

// The number of sessions running (for tests).
int depth();

// The window of the innermost session, or nullptr.
QWidget* modalWindow();

}  // namespace Modal
