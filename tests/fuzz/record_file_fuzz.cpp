#include <array>
#include <cstddef>
#include <cstdint>

#include "data02/diag/Memory.h"
#include "data02/storage/Db_file.h"
#include "tests/fuzz/FuzzInput.h"

// Any bytes as a division file: opening, reading every record and trying
// to add and delete one must end in a status, never in a crash.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::filesystem::path path = qff::fuzz::scratchFolder() / "Div_05.DB";
    qff::fuzz::writeInput(path, data, size);
    static qff::MyMemory memory(qff::fuzz::scratchFolder() / "memory.log");
    std::array<std::uint8_t, qff::kDivisionRecordSize> record{};
    qff::DBFile file(memory);
    if (file.openFile(path, record) != 0) {
        return 0;
    }
    for (int status = file.readFirst(); status == 0; status = file.readNext()) {
    }
    if (file.addRecord() == 0) {
        file.deleteCurrent();
    }
    return 0;
}
