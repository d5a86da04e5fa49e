#pragma once

#include <cstddef>
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

}  // namespace qff
