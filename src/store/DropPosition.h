// SPDX-License-Identifier: MIT
#pragma once

namespace store {

// Where a dragged node lands relative to the row it is dropped on. The numbers are the
// ones the drop code has always used.
enum class DropPosition {
  kNone = 0,    // no drop here
  kBefore = 1,  // in front of the target, under the target's parent
  kAfter = 2,   // behind the target, under the target's parent
  kInto = 3,    // the target's first child
};

// The drop position for a pointer `y` pixels below the top of a row `rowHeight` high.
// A group's row is split in thirds (before, into, after), any other row in halves (before,
// after). The row of a top-level node takes a drop only as its first child, and only when
// it has children already.
DropPosition DropPositionAt(int kind, bool isTopLevel, bool hasChildren, int y, int rowHeight);

}  // namespace store
