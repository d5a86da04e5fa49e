#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

namespace qff {

// Points and bonuses add up in std::int64_t: a franchise's season, or a
// report column over every franchise, passes what 32 bits hold long before
// any single stored value does. A sum handed on where only an int fits keeps
// to the int's range instead of wrapping round to the other sign.
constexpr int saturatedInt(std::int64_t sum) {
    return static_cast<int>(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// Points as typed: leading digits with an optional minus sign; anything
// else, the empty text included, reads 0. A number too large for an int
// keeps to the int's range.
constexpr int readWholeNumber(std::string_view text) {
    bool negative = !text.empty() && text.front() == '-';
    text.remove_prefix(negative ? 1 : 0);
    constexpr std::int64_t kBeyondInt = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = std::min(value * 10 + (c - '0'), kBeyondInt);
    }
    return saturatedInt(negative ? -value : value);
}

}  // namespace qff
