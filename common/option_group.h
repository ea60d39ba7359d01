// Arrow keys within a group of option buttons, as in a dialog: the selection
// moves to the next or previous option that can be chosen, round the group.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace kana {

struct OptionSlot {
    int id;
    bool choosable; // visible and enabled
};

// The option the arrow moves to from `current` (the group in tab order), or
// nothing when `current` is not in the group or no other option can be chosen.
std::optional<int> optionAfterArrow(std::span<const OptionSlot> group, int current, bool forward);

} // namespace kana
