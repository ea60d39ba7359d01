#include "common/option_group.h"

namespace kana {

std::optional<int> optionAfterArrow(std::span<const OptionSlot> group, int current, bool forward) {
    const std::size_t count = group.size();
    std::size_t at = count;
    for (std::size_t i = 0; i < count; ++i) {
        if (group[i].id == current) {
            at = i;
        }
    }
    if (at == count) {
        return std::nullopt;
    }
    for (std::size_t step = 1; step < count; ++step) {
        const std::size_t next = forward ? (at + step) % count : (at + count - step) % count;
        if (group[next].choosable) {
            return group[next].id;
        }
    }
    return std::nullopt;
}

} // namespace kana
