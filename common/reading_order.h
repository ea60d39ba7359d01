// The order in which the controls of a window become its child windows. The
// system keeps sibling windows in that order, and assistive technology reads
// them in it: so the order is the reading order (top to bottom, left to
// right), except that of two controls that overlap, the one the layout puts in
// front stays in front, and so before the other. Worked out when the program
// is compiled, from the layout tables.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/layout.h"

namespace kana {

inline constexpr std::size_t kMaxControls = 32;

// Indexes into a layout's controls, in the order to create them.
struct CreationOrder {
    std::array<std::uint8_t, kMaxControls> indexes{};
    std::size_t size = 0;
    constexpr std::span<const std::uint8_t> view() const { return {indexes.data(), size}; }
};

namespace reading_order {

constexpr bool hasWindow(const ControlSpec& control) {
    return control.kind != ControlKind::Line && control.kind != ControlKind::Shape;
}

constexpr bool overlap(const ControlSpec& a, const ControlSpec& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// The siblings of a container in reading order, each control behind those that
// overlap it from the front (the layout lists controls front to back), then the
// children of each frame among them in the same way.
constexpr void appendContainer(std::span<const ControlSpec> controls, std::wstring_view container,
                               CreationOrder& order) {
    const std::size_t count = controls.size();
    // The siblings by their top edge, in table order where tops are equal.
    std::array<std::size_t, kMaxControls> byTop{};
    std::size_t siblings = 0;
    for (std::size_t index = 0; index < count; ++index) {
        if (controls[index].container != container || !hasWindow(controls[index])) {
            continue;
        }
        std::size_t place = siblings++;
        for (; place > 0 && controls[byTop[place - 1]].top > controls[index].top; --place) {
            byTop[place] = byTop[place - 1];
        }
        byTop[place] = index;
    }
    // Rows of text: a control joins the row begun by another when its top lies
    // less than half the lower of the two heights below that one's top (the
    // hint line and the link beside it).
    std::array<int, kMaxControls> rows{};
    int row = -1;
    const ControlSpec* first = nullptr;
    for (std::size_t k = 0; k < siblings; ++k) {
        const ControlSpec& control = controls[byTop[k]];
        if (first == nullptr || control.top - first->top >=
                                    (control.height < first->height ? control.height : first->height) / 2) {
            first = &control;
            ++row;
        }
        rows[byTop[k]] = row;
    }
    const auto readsBefore = [&](std::size_t a, std::size_t b) {
        if (rows[a] != rows[b]) {
            return rows[a] < rows[b];
        }
        if (controls[a].left != controls[b].left) {
            return controls[a].left < controls[b].left;
        }
        return controls[a].top != controls[b].top ? controls[a].top < controls[b].top : a < b;
    };
    // Each turn: the first in reading order of those with nothing left in front of them.
    std::array<bool, kMaxControls> placed{};
    const std::size_t begin = order.size;
    for (std::size_t turn = 0; turn < siblings; ++turn) {
        std::size_t next = count;
        for (std::size_t k = 0; k < siblings; ++k) {
            const std::size_t candidate = byTop[k];
            bool covered = placed[candidate];
            for (std::size_t f = 0; f < siblings && !covered; ++f) {
                const std::size_t front = byTop[f];
                covered =
                    front < candidate && !placed[front] && overlap(controls[front], controls[candidate]);
            }
            if (!covered && (next == count || readsBefore(candidate, next))) {
                next = candidate;
            }
        }
        placed[next] = true;
        order.indexes[order.size++] = static_cast<std::uint8_t>(next);
    }
    for (std::size_t p = begin; p < begin + siblings; ++p) {
        if (controls[order.indexes[p]].kind == ControlKind::Frame) {
            appendContainer(controls, controls[order.indexes[p]].name, order);
        }
    }
}

} // namespace reading_order

// The window's own controls in reading order, then the children of each frame
// in reading order after the frame itself. Lines and outlines, which have no
// window of their own, come last in table order.
constexpr CreationOrder creationOrder(std::span<const ControlSpec> controls) {
    CreationOrder order;
    reading_order::appendContainer(controls, L"", order);
    for (std::size_t index = 0; index < controls.size(); ++index) {
        if (!reading_order::hasWindow(controls[index])) {
            order.indexes[order.size++] = static_cast<std::uint8_t>(index);
        }
    }
    return order;
}

} // namespace kana
