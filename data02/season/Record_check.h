#pragma once

#include <optional>
#include <string_view>

#include "data02/storage/Db_file.h"

namespace qff {

// The check every record of the file `name` ("Rpt_03.DB", in any case) must
// pass to be read as what the file holds; nullopt where the layout alone
// decides.
std::optional<RecordCheck> recordCheckForFileName(std::string_view name);

}  // namespace qff
