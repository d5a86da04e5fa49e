#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "qff/platform/ftp_client.h"

namespace qff::platform {

// A name from a server listing may later become a local file name, so anything that could
// reach outside the chosen directory is refused: backslashes, control characters and ".."
// components. Otherwise the name is reduced to its last path component.
std::optional<std::string> safeListingName(std::string_view raw);

// One line of a machine-readable (MLSD) listing; nullopt for the directory itself, its parent,
// lines that cannot be read and names refused by safeListingName.
std::optional<FtpItem> parseMlsdLine(std::string_view line);

// One line of a classic LIST reply in Unix or DOS layout, for servers without MLSD. Such
// listings carry no reliable year, so the item has no modification time.
std::optional<FtpItem> parseListLine(std::string_view line);

}  // namespace qff::platform
