// StableSort: a merge sort that keeps equal elements in their input order.
// It only ever asks `before(a, b)` (must a come before b?) and never relies on the answers being
// consistent, so it stays in bounds and terminates for any comparator. The engine needs this
// because element order is not a strict weak ordering for arrays that mix kinds of elements.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

namespace carryover {

namespace detail {

// Merges the sorted runs source[low, middle) and source[middle, high) into target[low, high);
// on a tie the element of the left run goes first. Needs low < middle <= high <= source.size().
template <typename T, typename Before>
void mergeRuns(std::span<T> source, std::span<T> target, size_t low, size_t middle, size_t high,
               Before& before) {
    // Runs already in order (or a left run without a right one) are moved over as they stand.
    if (middle == high || !before(source[middle], source[middle - 1])) {
        for (size_t i = low; i < high; ++i)
            target[i] = std::move(source[i]);
        return;
    }
    size_t left = low;
    size_t right = middle;
    size_t out = low;
    while (left < middle && right < high) {
        if (before(source[right], source[left]))
            target[out++] = std::move(source[right++]);
        else
            target[out++] = std::move(source[left++]);
    }
    while (left < middle)
        target[out++] = std::move(source[left++]);
    while (right < high)
        target[out++] = std::move(source[right++]);
}

// Short lists are sorted in place, which spares the buffer.
constexpr size_t insertionLimit = 16;

// Moves each element left past the elements it must come before; stops at the first it need not.
template <typename T, typename Before> void insertionSort(std::span<T> items, Before& before) {
    for (size_t next = 1; next < items.size(); ++next) {
        size_t at = next;
        while (at > 0 && before(items[next], items[at - 1]))
            --at;
        if (at == next) continue;
        T moving = std::move(items[next]);
        for (size_t i = next; i > at; --i)
            items[i] = std::move(items[i - 1]);
        items[at] = std::move(moving);
    }
}

} // namespace detail

// Nothing; reorders `items` ascending by `before`, equal elements keeping their order; fewer than two
// elements stay as they are. With an inconsistent `before` the order is arbitrary, but `items` still
// holds the same elements.
template <typename T, typename Before> void stableSort(std::span<T> items, Before before) {
    const size_t count = items.size();
    if (count < 2) return;
    if (count <= detail::insertionLimit) {
        detail::insertionSort(items, before);
        return;
    }
    std::vector<T> buffer(count);
    std::span<T> source = items;
    std::span<T> target = buffer;
    for (size_t width = 1; width < count; width *= 2) {
        for (size_t low = 0; low < count; low += 2 * width) {
            const size_t middle = std::min(low + width, count);
            const size_t high = std::min(middle + width, count);
            detail::mergeRuns(source, target, low, middle, high, before);
        }
        std::swap(source, target);
    }
    if (source.data() != items.data()) std::move(buffer.begin(), buffer.end(), items.begin());
}

template <typename T, typename Before> void stableSort(std::vector<T>& items, Before before) {
    stableSort(std::span<T>(items), before);
}

} // namespace carryover
