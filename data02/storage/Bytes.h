#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qff {

// Little-endian field access into record images. Records are always decoded
// field by field at fixed offsets, so the on-disk layout never depends on the
// compiler's struct layout or the machine's byte order.
using ByteSpan = std::span<std::uint8_t>;
using ConstByteSpan = std::span<const std::uint8_t>;

inline std::int8_t getI8(ConstByteSpan b, std::size_t at) {
    return static_cast<std::int8_t>(b[at]);
}

inline std::uint8_t getU8(ConstByteSpan b, std::size_t at) {
    return b[at];
}

inline std::int16_t getI16(ConstByteSpan b, std::size_t at) {
    return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}

inline std::int32_t getI32(ConstByteSpan b, std::size_t at) {
    std::uint32_t v = static_cast<std::uint32_t>(b[at]) |
                      (static_cast<std::uint32_t>(b[at + 1]) << 8) |
                      (static_cast<std::uint32_t>(b[at + 2]) << 16) |
                      (static_cast<std::uint32_t>(b[at + 3]) << 24);
    return static_cast<std::int32_t>(v);
}

inline void putU8(ByteSpan b, std::size_t at, std::uint8_t v) {
    b[at] = v;
}

inline void putI16(ByteSpan b, std::size_t at, std::int32_t v) {
    auto u = static_cast<std::uint16_t>(v);
    b[at] = static_cast<std::uint8_t>(u & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>(u >> 8);
}

inline void putI32(ByteSpan b, std::size_t at, std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>((u >> (8 * i)) & 0xFF);
    }
}

// Reads a zero-ended text field without trusting the terminator to be there.
inline std::string getText(ConstByteSpan b, std::size_t at, std::size_t size) {
    const auto* first = reinterpret_cast<const char*>(b.data() + at);
    return std::string(first, strnlen(first, size));
}

// Stores text in a field, cut to leave room for the terminating zero, and
// clears the rest of the field so no old text survives behind it.
inline void putText(ByteSpan b, std::size_t at, std::size_t size, std::string_view text) {
    std::size_t length = std::min(text.size(), size - 1);
    std::memset(b.data() + at, 0, size);
    std::memcpy(b.data() + at, text.data(), length);
}

// A list of signed 32-bit values in a field of `capacity` entries, ended by
// the first negative one (every entry after the list holds -1).
inline std::vector<int> getValueList(ConstByteSpan b, std::size_t at, int capacity) {
    std::vector<int> values;
    for (int i = 0; i < capacity; ++i) {
        int value = getI32(b, at + 4 * i);
        if (value < 0) {
            break;
        }
        values.push_back(value);
    }
    return values;
}

inline void putValueList(ByteSpan b, std::size_t at, int capacity, std::span<const int> values) {
    for (int i = 0; i < capacity; ++i) {
        putI32(b, at + 4 * i, i < static_cast<int>(values.size()) ? values[i] : -1);
    }
}

}  // namespace qff
