#include "data02/publish/Ftpsite.h"

#include <algorithm>
#include <cctype>

#include "data02/league/Listhelp.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace qff {
namespace {

constexpr std::string_view kFtpScheme = "ftp://";
constexpr const char* kSeparators = "/\\";

std::string_view withoutScheme(std::string_view location) {
    bool hasScheme =
        location.size() >= kFtpScheme.size() &&
        std::equal(kFtpScheme.begin(), kFtpScheme.end(), location.begin(),
                   [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    return hasScheme ? location.substr(kFtpScheme.size()) : location;
}

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// The folder part of a location with "/" separators only, none doubled and
// none at the end.
std::string normalFolder(std::string_view folder) {
    std::string result;
    for (char c : folder) {
        char separator = c == '\\' ? '/' : c;
        if (separator != '/' || result.empty() || result.back() != '/') {
            result += separator;
        }
    }
    while (!result.empty() && result.back() == '/') {
        result.pop_back();
    }
    return result;
}

std::string normalLocation(std::string_view location) {
    std::string_view text = withoutScheme(location);
    std::size_t separator = text.find_first_of(kSeparators);
    std::string_view host = text.substr(0, separator);
    std::string_view folder = separator == std::string_view::npos ? "" : text.substr(separator);
    return lowered(host) + normalFolder(folder);
}

}  // namespace

std::optional<FtpSite> currentLeagueSite(Singleton& context, FtpLocationField field) {
    InternetSettings logon =
        readInternetOptions(context, context.seasonState().peek(kCurrentLeague));
    if (!logon.league) {
        return std::nullopt;
    }
    std::string location = field == FtpLocationField::WebSite ? logon.webSite : logon.cgiLocation;
    std::string host = ftpHostOf(location);
    return FtpSite{std::move(logon), std::move(location), std::move(host)};
}

std::string ftpHostOf(std::string_view location) {
    std::string_view text = withoutScheme(location);
    return std::string(text.substr(0, text.find_first_of(kSeparators)));
}

std::string ftpLocationOf(std::string_view host, std::string_view folder) {
    std::string location(host);
    if (!folder.starts_with('/')) {
        location += '/';
    }
    return location.append(folder);
}

std::string ftpChildFolder(std::string_view parent, std::string_view name) {
    std::string folder(parent);
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    return folder.append(name);
}

bool sameFtpLocation(std::string_view a, std::string_view b) {
    return normalLocation(a) == normalLocation(b);
}

std::string ftpFolderNameProblem(std::string_view name) {
    if (name.find_first_not_of(' ') == std::string_view::npos) {
        return "Please type a name for the new folder.";
    }
    if (name == "." || name.find("..") != std::string_view::npos ||
        name.find_first_of(kSeparators) != std::string_view::npos || holdsControlCharacter(name)) {
        return "A folder name cannot be \".\" and cannot hold \"/\", \"\\\", \"..\" or control "
               "characters.";
    }
    return {};
}

}  // namespace qff
