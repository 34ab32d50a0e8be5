#include "window/click_order.h"

#include <utility>

namespace kelto {

void ClickOrder::Click(std::function<void()> handler) {
  if (link_.InLibraryCall()) {
    waiting_.push_back(std::move(handler));
    return;
  }
  handler();
  RunWaiting();
}

void ClickOrder::RunWaiting() {
  while (!waiting_.empty() && !link_.InLibraryCall()) {
    const std::function<void()> next = std::move(waiting_.front());
    waiting_.pop_front();
    next();
  }
}

}  // namespace kelto
