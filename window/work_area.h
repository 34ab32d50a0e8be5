#pragma once

// Where a window goes after it has grown or moved to another monitor, so that it stays
// whole within the monitor's work area (the screen less the taskbar).

namespace kelto {

// Edges in pixels, right and bottom exclusive, as the system's rectangles.
struct Box {
  int left;
  int top;
  int right;
  int bottom;
  bool operator==(const Box&) const = default;
};

// `window` moved, never resized, back into `workArea`: past the right or the bottom
// edge, left or up by as much; one larger than the area keeps its top left corner, and
// so its caption, inside it.
Box KeptInside(const Box& window, const Box& workArea);

}  // namespace kelto
