#include "window/click_order.h"

namespace kelto {

void ClickOrder::Click(int button) {
  if (link_.InLibraryCall()) {
    waiting_.push_back(button);
    return;
  }
  run_(button);
  RunWaiting();
}

void ClickOrder::RunWaiting() {
  while (!waiting_.empty() && !link_.InLibraryCall()) {
    const int next = waiting_.front();
    waiting_.erase(waiting_.begin());
    run_(next);
  }
}

}  // namespace kelto
