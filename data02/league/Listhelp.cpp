#include "data02/league/Listhelp.h"

namespace qff {
namespace {

constexpr std::string_view kUnsafe = "/*?\"<>|\\";

bool isUnsafe(char c, bool colonToo) {
    return kUnsafe.find(c) != std::string_view::npos || (colonToo && c == ':');
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
