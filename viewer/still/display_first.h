#pragma once
// The picture the user waits for comes first. While the pane decodes what it is about to
// show, work that can wait and would decode the same bytes again (the strip's own
// thumbnail of a whole image) holds back, up to a bound, rather than compete with it for
// the cores' shared memory bandwidth.
#include <chrono>

namespace DisplayFirst {

// Held while a decode for the pane runs (any thread).
class Scope {
 public:
  Scope();
  ~Scope();
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;
};

// Any thread: returns once no decode for the pane runs, or after `bound`; true in the
// first case. While another caller waits, returns false at once.
bool waitForDisplay(std::chrono::milliseconds bound);
// Callers waiting now.
int waiters();

}  // namespace DisplayFirst
