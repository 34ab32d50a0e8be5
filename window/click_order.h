#pragma once

// Clicks that make library requests never begin while a library call is in progress.
// A library may handle Kelto's window messages inside its calls; a click handled there
// would enter the library again, share the result code of the request in progress and
// mark its choice before the earlier one. Such a click waits until the call has ended
// and the handler that made it has finished, and then runs, in the order of the clicks.

#include <functional>
#include <utility>
#include <vector>

#include "link/mod_dapi.h"

namespace kelto {

class ClickOrder {
 public:
  // `run` carries out the click on the button with the given id.
  ClickOrder(const ModDapi& link, std::function<void(int button)> run)
      : link_(link), run_(std::move(run)) {}

  // Runs the click now, or after the library call in progress; then the clicks that
  // arrived during its handler's own library calls.
  void Click(int button);

  // Runs the clicks waiting for a library call that has ended since. The window's own
  // waits call it before they handle further clicks, so that clicks keep their order.
  void RunWaiting();

  // The window is gone: clicks still waiting are dropped.
  void Drop() { waiting_.clear(); }

 private:
  const ModDapi& link_;
  std::function<void(int)> run_;
  std::vector<int> waiting_;  // a few clicks at the most
};

}  // namespace kelto
