#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qff {

// Where the weekly statistics archives and the roster update are fetched
// from. Kept in a file of its own in the working directory, away from
// Prefs.db and the league records, because it holds two passwords: the
// file is readable by its owner only.
inline constexpr std::string_view kStatsServerFile = "StatsServer.cfg";
inline constexpr int kDefaultStatsPort = 21;
inline constexpr std::string_view kDefaultStatsFolder = "/web/Download";

struct StatsServerSettings {
    std::string host;
    int port = kDefaultStatsPort;
    std::string user;
    std::string password;
    // The remote folder that holds "<season>_wk<week>.zip" and "Update<season>.ros".
    std::string folder = std::string(kDefaultStatsFolder);
    // Opens the weekly archives; empty when they are not encrypted.
    std::string archivePassword;

    bool operator==(const StatsServerSettings&) const = default;
};

std::filesystem::path statsServerPath(const std::filesystem::path& workdir);

// Why a setting cannot be kept (a control character, a port outside 1 to
// 65535, an empty folder); nullopt when all of them can.
std::optional<std::string> checkStatsServer(const StatsServerSettings& settings);

struct StatsServerLoad {
    bool ok = false;
    // The defaults when the file does not exist yet.
    StatsServerSettings settings;
    // Names the file and what is wrong with it.
    std::string error;
};

StatsServerLoad loadStatsServer(const std::filesystem::path& workdir);

// Writes the whole file under a temporary name, owner-only, and renames it
// into place; refuses settings checkStatsServer refuses and never replaces a
// damaged file, so what the commissioner might still repair stays there.
bool saveStatsServer(const std::filesystem::path& workdir, const StatsServerSettings& settings,
                     std::string& error);

// A password given in a file, so it never stands on a command line: the
// file's first line without its line end; an empty file gives an empty
// password. Nullopt, with `error` set, for a missing or oversized file or a
// password holding control characters.
std::optional<std::string> readPasswordFile(const std::filesystem::path& file, std::string& error);

}  // namespace qff
