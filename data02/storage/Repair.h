#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data02/diag/Memory.h"
#include "data02/storage/Db_file.h"

namespace qff {

// What repairing a damaged record file did: the damage found, the new file
// that holds every record still readable, and the slots whose records were lost.
struct RepairReport {
    std::filesystem::path damaged;
    std::filesystem::path repaired;
    std::string damage;
    int kept = 0;
    std::vector<int> droppedSlots;
    // Set once replaceWithRepaired has moved the damaged file here.
    std::filesystem::path setAside;
};

// "Plyr_03.repaired.DB" beside "Plyr_03.DB": the name keeps the extension, yet
// no season ever takes it for one of its files.
std::filesystem::path repairedPathFor(const std::filesystem::path& damaged);
// "Plyr_03.DB.damaged" beside "Plyr_03.DB".
std::filesystem::path setAsidePathFor(const std::filesystem::path& damaged);

// Writes a new file beside a damaged record file (Prefs.db, sticky.db or a
// season file) holding every record it can still read, in the slots they
// had, under a header with the right record size. Records failing `check`
// count as lost: their slots are free and blank in the new file. The damaged
// file is never changed and no existing file is overwritten. nullopt with
// `error` saying why when the file is sound, unreadable or not a record file.
std::optional<RepairReport> repairRecordFile(MyMemory& memory, const std::filesystem::path& path,
                                             std::string& error,
                                             const std::optional<RecordCheck>& check = {});

// Puts the repaired file in the damaged one's place, keeping the damaged file
// under setAsidePathFor's name; false with `error` (and both files where they
// were) when either move fails or the set-aside name is taken.
bool replaceWithRepaired(RepairReport& report, std::string& error);

}  // namespace qff
