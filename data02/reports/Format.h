#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qff {

// Left-justifies text in a report cell; a text that fills the cell is cut to
// it and followed by one blank, so neighbouring cells never run together.
inline std::string cell(const std::string& text, std::size_t width) {
    if (text.size() >= width) {
        return text.substr(0, width) + " ";
    }
    return text + std::string(width - text.size(), ' ');
}

// A number is never cut, which would show another number: one wider than
// its cell runs on and is followed by one blank.
inline std::string numberCell(std::int64_t number, std::size_t width) {
    std::string text = std::to_string(number);
    return text.size() >= width ? text + " " : cell(text, width);
}

}  // namespace qff
