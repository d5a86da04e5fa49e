#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qff::platform {

// The components of `path` taken relative to the absolute directory `current`, with "." and
// ".." resolved; ".." never climbs above the root.
std::vector<std::string> resolveRemotePath(std::string_view current, std::string_view path);

std::string joinRemotePath(const std::vector<std::string>& components);

// A CR or LF would end the FTP command early and let the rest pass as a second command.
bool hasLineBreak(std::string_view text);

}  // namespace qff::platform
