#pragma once

// Clicks that make library requests never begin while a library call is in progress.
// A library may handle Kelto's window messages inside its calls; a click handled there
// would enter the library again, share the result code of the request in progress and
// mark its choice before the earlier one. Such a click waits until the call has ended
// and the handler that made it has finished, and then runs, in the order of the clicks.

#include <deque>
#include <functional>

#include "link/mod_dapi.h"

namespace kelto {

class ClickOrder {
 public:
  explicit ClickOrder(const ModDapi& link) : link_(link) {}

  // Runs the click's handler now, or after the library call in progress; then the
  // clicks that arrived during the handler's own library calls.
  void Click(std::function<void()> handler);

  // Runs the clicks waiting for a library call that has ended since. The window's own
  // waits call it before they handle further clicks, so that clicks keep their order.
  void RunWaiting();

  // The window is gone: clicks still waiting are dropped.
  void Drop() { waiting_.clear(); }

 private:
  const ModDapi& link_;
  std::deque<std::function<void()>> waiting_;
};

}  // namespace kelto
