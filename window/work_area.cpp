#include "window/work_area.h"

#include <algorithm>

namespace kelto {
namespace {

// The offset that brings [from, to) inside [low, high), its start first.
int Shift(int from, int to, int low, int high) {
  const int back = std::min(0, high - to);
  return std::max(back, low - from);
}

}  // namespace

Box KeptInside(const Box& window, const Box& workArea) {
  const int dx = Shift(window.left, window.right, workArea.left, workArea.right);
  const int dy = Shift(window.top, window.bottom, workArea.top, workArea.bottom);
  return {window.left + dx, window.top + dy, window.right + dx, window.bottom + dy};
}

}  // namespace kelto
