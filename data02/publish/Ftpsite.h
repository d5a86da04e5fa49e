#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "data02/shell/Optstore.h"

namespace qff {

class Singleton;

// A location names a folder on a league's web host as one text: the host,
// then the folder's absolute path ("ftp.example.com/public/league"). The
// options dialog keeps two of them per league.
enum class FtpLocationField { CgiBin = 0, WebSite = 1 };

// What the location fields of the options dialog hold at most.
inline constexpr std::size_t kMaxFtpLocation = 256;

// A league's logon to its web host, for browsing one of its locations.
struct FtpSite {
    InternetSettings logon;
    std::string location;
    std::string host;
};

// The site of the season's current league for the location `field` names;
// none when the current league is gone.
std::optional<FtpSite> currentLeagueSite(Singleton& context, FtpLocationField field);

// The host of a location: the text before its first "/" or "\", after an
// "ftp://" in front; the whole text when no separator follows.
std::string ftpHostOf(std::string_view location);

// The location of an absolute folder on `host`.
std::string ftpLocationOf(std::string_view host, std::string_view folder);

// The absolute path of the folder `name` inside the absolute folder `parent`.
std::string ftpChildFolder(std::string_view parent, std::string_view name);

// Whether two locations name the same folder: "\" reads as "/", doubled and
// trailing separators and an "ftp://" in front do not count, nor the case of
// the host.
bool sameFtpLocation(std::string_view a, std::string_view b);

// Empty when `name` may name a new folder inside another; otherwise why not.
// A separator or ".." would create the folder somewhere else, and a control
// character would end the server command early.
std::string ftpFolderNameProblem(std::string_view name);

}  // namespace qff
