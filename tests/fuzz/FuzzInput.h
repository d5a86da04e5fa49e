#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "tests/support/TempDir.h"

namespace qff::fuzz {

// One private folder per fuzzing process, reused by every input and removed
// when the process ends.
inline const std::filesystem::path& scratchFolder() {
    static const test::TempDir folder;
    return folder.path();
}

inline void writeInput(const std::filesystem::path& path, const std::uint8_t* data,
                       std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace qff::fuzz
