#pragma once

namespace qff {

// Status codes of the data layer.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadWeek = 2;
// A value outside the range its rule allows; nothing was stored.
inline constexpr int kBadValue = 3;
inline constexpr int kNoMemory = 4;
inline constexpr int kNotCached = 5;
// What setters return for an identifier they do not know.
inline constexpr int kUnknownIdStatus = -32767;

}  // namespace qff
