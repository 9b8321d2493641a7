#pragma once
#include <array>
#include <cstddef>

namespace tessary {

// Per-source values live in fixed arrays of eight places; place i belongs to source i + 1.
constexpr int kMaxSources = 8;

template <typename T> using PerPlace = std::array<T, kMaxSources>;

// Closing source `closedIndex` moves every later place down by one and gives the freed last
// place (index `newCount`) the construction value.
template <typename T> void compactPlaces(PerPlace<T>& values, int closedIndex, int newCount, T construction)
{
    for (int i = closedIndex; i < newCount; ++i)
        values[size_t(i)] = std::move(values[size_t(i) + 1]);
    values[size_t(newCount)] = std::move(construction);
}

} // namespace tessary
