#include "common/reading_order.h"

#include <algorithm>
#include <tuple>

namespace kana {

namespace {

bool hasWindow(const ControlSpec& control) {
    return control.kind != ControlKind::Line && control.kind != ControlKind::Shape;
}

bool overlap(const ControlSpec& a, const ControlSpec& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// Rows of text: the controls sorted by their top edge, a control joining the
// row begun by another when its top lies less than half the lower of the two
// heights below that one's top (the hint line and the link beside it).
std::vector<int> rowsOf(const WindowSpec& window, const std::vector<std::size_t>& siblings) {
    std::vector<std::size_t> byTop = siblings;
    std::stable_sort(byTop.begin(), byTop.end(), [&](std::size_t a, std::size_t b) {
        return window.controls[a].top < window.controls[b].top;
    });
    std::vector<int> rows(window.controls.size(), 0);
    int row = -1;
    const ControlSpec* first = nullptr;
    for (const std::size_t index : byTop) {
        const ControlSpec& control = window.controls[index];
        if (first == nullptr || control.top - first->top >= std::min(first->height, control.height) / 2) {
            first = &control;
            ++row;
        }
        rows[index] = row;
    }
    return rows;
}

// The siblings in reading order, with each control behind those that overlap
// it from the front (the layout lists controls front to back).
std::vector<std::size_t> siblingsInReadingOrder(const WindowSpec& window,
                                                const std::vector<std::size_t>& siblings) {
    const std::vector<int> rows = rowsOf(window, siblings);
    const auto readsBefore = [&](std::size_t a, std::size_t b) {
        const ControlSpec& x = window.controls[a];
        const ControlSpec& y = window.controls[b];
        return std::tie(rows[a], x.left, x.top, a) < std::tie(rows[b], y.left, y.top, b);
    };
    std::vector<std::size_t> order;
    std::vector<bool> placed(window.controls.size(), false);
    while (order.size() < siblings.size()) {
        // The first in reading order of those with nothing left in front of them.
        std::size_t next = window.controls.size();
        for (const std::size_t candidate : siblings) {
            if (placed[candidate]) {
                continue;
            }
            const bool covered = std::any_of(siblings.begin(), siblings.end(), [&](std::size_t front) {
                return front < candidate && !placed[front] &&
                       overlap(window.controls[front], window.controls[candidate]);
            });
            if (!covered && (next == window.controls.size() || readsBefore(candidate, next))) {
                next = candidate;
            }
        }
        placed[next] = true;
        order.push_back(next);
    }
    return order;
}

void appendContainer(const WindowSpec& window, std::wstring_view container, std::vector<std::size_t>& order) {
    std::vector<std::size_t> siblings;
    for (std::size_t i = 0; i < window.controls.size(); ++i) {
        if (window.controls[i].container == container && hasWindow(window.controls[i])) {
            siblings.push_back(i);
        }
    }
    const std::vector<std::size_t> inOrder = siblingsInReadingOrder(window, siblings);
    order.insert(order.end(), inOrder.begin(), inOrder.end());
    for (const std::size_t index : inOrder) {
        if (window.controls[index].kind == ControlKind::Frame) {
            appendContainer(window, window.controls[index].name, order);
        }
    }
}

} // namespace

std::vector<std::size_t> creationOrder(const WindowSpec& window) {
    std::vector<std::size_t> order;
    order.reserve(window.controls.size());
    appendContainer(window, L"", order);
    for (std::size_t i = 0; i < window.controls.size(); ++i) {
        if (!hasWindow(window.controls[i])) {
            order.push_back(i);
        }
    }
    return order;
}

} // namespace kana
