#include "data02/league/Listhelp.h"

#include <algorithm>

namespace qff {
namespace {

constexpr std::string_view kUnsafe = "/*?\"<>|\\";

bool isUnsafe(char c, bool colonToo) {
    return kUnsafe.find(c) != std::string_view::npos || isControlCharacter(c) ||
           (colonToo && c == ':');
}

// A dot next to another dot could form "..", so runs of dots become '_'.
void breakDotRuns(std::string& name) {
    for (std::size_t i = 0; i + 1 < name.size(); ++i) {
        if (name[i] == '.' && name[i + 1] == '.') {
            name[i] = '_';
            name[i + 1] = '_';
        }
    }
}

}  // namespace

bool isControlCharacter(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

bool holdsControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), isControlCharacter);
}

std::string controlCharacterMessage(std::string_view label) {
    return std::string(label) + " cannot hold control characters.";
}

std::string safeFileName(std::string_view text, bool colonToo) {
    std::string name(text);
    for (char& c : name) {
        if (isUnsafe(c, colonToo)) {
            c = '_';
        }
    }
    breakDotRuns(name);
    return name.empty() || name == "." ? "_" : name;
}

}  // namespace qff
