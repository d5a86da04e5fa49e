#include <cstddef>
#include <cstdint>

#include "data02/diag/Memory.h"
#include "data02/storage/Ptsfile.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

constexpr int kLastStatisticCode = 100;

}  // namespace

// Any bytes as a weekly statistics file: every record and every statistic
// of it is read through the same calls a merge makes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::filesystem::path path = qff::fuzz::scratchFolder() / "week.pts";
    qff::fuzz::writeInput(path, data, size);
    static qff::MyMemory memory(qff::fuzz::scratchFolder() / "memory.log");
    static qff::StrBuf strBuf(memory);
    qff::PtsFile file(memory, strBuf);
    if (file.open(path) != 0) {
        return 0;
    }
    for (bool more = file.hasRecord(); more; more = file.next() == 0) {
        for (int code = 0; code <= kLastStatisticCode; ++code) {
            file.value(code);
        }
        for (int kind = 2; kind <= 4; ++kind) {
            file.text(kind);
        }
    }
    return 0;
}
