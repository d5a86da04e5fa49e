#pragma once

namespace qff {

// Every season file keeps room for 20 weeks, whatever the season plays, so
// records keep one size from one year to the next.
inline constexpr int kWeekSlots = 20;

inline constexpr bool isWeekSlot(int week) {
    return week >= 0 && week < kWeekSlots;
}

// Asked for in place of a week index, a value sums (or reads) the whole
// season. It lies outside every stored week so no week can be taken for it.
inline constexpr int kAllWeeks = 256;

}  // namespace qff
