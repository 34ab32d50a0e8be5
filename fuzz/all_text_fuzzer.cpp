// Feeds arbitrary library bytes through the chat-text callback and "Get Host"'s scan.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/unit/fakes.h"
#include "window/host_discovery.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kelto::testing::FakeLink fake;
  fake.link.StartLink();
  fake.library.allTextInside.emplace(reinterpret_cast<const char*>(data), size);
  kelto::testing::FakeWindow window(fake.events);
  window.whenIdle = kelto::GameWindow::WaitEnd::WindowGone;
  kelto::HostDiscovery discovery(fake.link, window);
  discovery.OnGetHost();
  return 0;
}
