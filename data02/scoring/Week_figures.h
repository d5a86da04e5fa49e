#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

namespace qff {

// The stored Low Scoring Week when the season plays weeks but none qualifies.
inline constexpr int kNoLowWeek = 32767;

// In the order of the codes that ask for them: 102-104 for a player,
// 2019-2021 for a franchise.
enum class WeekFigure { High, Low, Average };

// The high, low and average week of a run of weeks, added one at a time.
// Players and franchises, season figures and report spans all tally them
// here so the four agree on which weeks count. A franchise's week is a sum
// of points and may pass an int, so figures are kept in 64 bits.
class WeekFigures {
  public:
    // Any week can be the high week. Only a `counted` week (one with
    // statistics) enters the average, and it can be the low week unless
    // `canBeLow` is false because the team was off.
    void add(std::int64_t points, bool counted = true, bool canBeLow = true) {
        high_ = std::max(high_, points);
        if (!counted) {
            return;
        }
        sum_ += points;
        ++counted_;
        if (canBeLow) {
            low_ = std::min(low_.value_or(points), points);
        }
    }

    // `noLow` stands in for the low week when no week qualified. The average
    // truncates toward zero and is 0 without a counted week.
    std::int64_t value(WeekFigure which, int noLow) const {
        switch (which) {
            case WeekFigure::High:
                return high_;
            case WeekFigure::Low:
                return low_.value_or(noLow);
            default:
                return counted_ == 0 ? 0 : sum_ / counted_;
        }
    }

    // As a season of `weeks` weeks stores it: a season without weeks has
    // no low week to speak of, so it keeps 0 there.
    std::int64_t seasonValue(WeekFigure which, int weeks) const {
        return value(which, weeks == 0 ? 0 : kNoLowWeek);
    }

  private:
    std::int64_t high_ = 0;
    std::optional<std::int64_t> low_;
    std::int64_t sum_ = 0;
    int counted_ = 0;
};

}  // namespace qff
