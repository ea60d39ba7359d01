// The order in which the controls of a window become its child windows. The
// system keeps sibling windows in that order, and assistive technology reads
// them in it: so the order is the reading order (top to bottom, left to
// right), except that of two controls that overlap, the one the layout puts in
// front stays in front, and so before the other.
#pragma once

#include <cstddef>
#include <vector>

#include "common/layout.h"

namespace kana {

// Indexes into window.controls, in the order to create them: the window's own
// controls in reading order, then the children of each frame in reading order
// after the frame itself. Lines and outlines, which have no window of their
// own, come last in table order.
std::vector<std::size_t> creationOrder(const WindowSpec& window);

} // namespace kana
