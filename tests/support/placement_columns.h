#pragma once
#include "align/placement.h"
#include "app/places.h"

namespace tessary::testing {

// One field of every place, for comparing whole tables at once.
template <typename T> PerPlace<T> column(const PerPlace<Placement>& places, T Placement::*field)
{
    PerPlace<T> values {};
    for (size_t i = 0; i < places.size(); ++i)
        values[i] = places[i].*field;
    return values;
}

} // namespace tessary::testing
