#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace qff {

// Points and bonuses add up in std::int64_t: a franchise's season, or a
// report column over every franchise, passes what 32 bits hold long before
// any single stored value does. A sum handed on where only an int fits keeps
// to the int's range instead of wrapping round to the other sign.
constexpr int saturatedInt(std::int64_t sum) {
    return static_cast<int>(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

}  // namespace qff
