#include "data02/intake/StatsServer.h"

#include <array>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>
#include <vector>

#include "data02/league/Listhelp.h"
#include "data02/shell/Optstore.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxSettingsBytes = 64 * 1024;
constexpr std::uintmax_t kMaxPasswordFileBytes = 4096;

constexpr std::string_view kHost = "host";
constexpr std::string_view kPort = "port";
constexpr std::string_view kUser = "user";
constexpr std::string_view kPassword = "password";
constexpr std::string_view kFolder = "folder";
constexpr std::string_view kArchivePassword = "archive-password";

// The texts of the settings, by the key the file stores them under; the
// port is kept apart as it is a number.
std::array<std::pair<std::string_view, std::string StatsServerSettings::*>, 5> textFields() {
    return {{{kHost, &StatsServerSettings::host},
             {kUser, &StatsServerSettings::user},
             {kPassword, &StatsServerSettings::password},
             {kFolder, &StatsServerSettings::folder},
             {kArchivePassword, &StatsServerSettings::archivePassword}}};
}

std::string lineDamage(int line, const std::string& what) {
    return "line " + std::to_string(line) + " " + what;
}

std::string damaged(const fs::path& file, const std::string& reason) {
    return "The statistics server settings file " + file.filename().string() +
           " is damaged: " + reason + ".";
}

std::string withoutCarriageReturn(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

// Applies one "key=value" pair; why it cannot be applied otherwise.
std::optional<std::string> apply(StatsServerSettings& settings, const std::string& key,
                                 const std::string& value) {
    if (key == kPort) {
        std::optional<int> port = parsePort(value);
        if (!port) {
            return "gives the port \"" + value + "\", which is no number from 1 to 65535";
        }
        settings.port = *port;
        return std::nullopt;
    }
    for (const auto& [name, field] : textFields()) {
        if (key == name) {
            settings.*field = value;
            return std::nullopt;
        }
    }
    return "names no known setting (\"" + key + "\")";
}

// The settings a file's text holds; the reason it is damaged otherwise.
std::optional<std::string> parse(const std::string& text, StatsServerSettings& settings) {
    std::istringstream lines(text);
    std::map<std::string, int> seen;
    std::string raw;
    for (int number = 1; std::getline(lines, raw); ++number) {
        std::string line = withoutCarriageReturn(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (holdsControlCharacter(line)) {
            return lineDamage(number, "holds control characters");
        }
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            return lineDamage(number, "has no \"=\"");
        }
        std::string key = line.substr(0, equals);
        if (!seen.emplace(key, number).second) {
            return lineDamage(number, "repeats the setting \"" + key + "\"");
        }
        if (std::optional<std::string> why = apply(settings, key, line.substr(equals + 1))) {
            return lineDamage(number, *why);
        }
    }
    return std::nullopt;
}

std::string serialised(const StatsServerSettings& settings) {
    std::string text = "# Statistics server of the season files in this folder\n";
    for (const auto& [name, field] : textFields()) {
        text += std::string(name) + "=" + settings.*field + "\n";
        if (name == kHost) {
            text += std::string(kPort) + "=" + std::to_string(settings.port) + "\n";
        }
    }
    return text;
}

std::string notWritten(const fs::path& file) {
    return "The statistics server settings could not be written to " + file.filename().string() +
           ".";
}

// The temporary is made owner-only before the passwords go into it.
bool writePrivately(const fs::path& file, const std::string& text, std::string& error) {
    StagedWrite staged = StagedWrite::beside(file, kPartialSuffix);
    std::error_code ec;
    fs::remove(staged.temporary(), ec);
    std::ofstream out(staged.temporary(), std::ios::binary | std::ios::trunc);
    fs::permissions(staged.temporary(), fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::replace, ec);
    if (out && !ec) {
        out << text;
        out.close();
        if (!out.fail() && staged.replaceTarget(ec)) {
            return true;
        }
    }
    staged.discard();
    error = notWritten(file);
    return false;
}

}  // namespace

fs::path statsServerPath(const fs::path& workdir) {
    return resolveNoCase(workdir / kStatsServerFile);
}

std::optional<std::string> checkStatsServer(const StatsServerSettings& settings) {
    const std::map<std::string_view, std::string_view> labels{
        {kHost, "The host"},
        {kUser, "The user"},
        {kPassword, "The password"},
        {kFolder, "The download folder"},
        {kArchivePassword, "The archive password"}};
    for (const auto& [name, field] : textFields()) {
        if (holdsControlCharacter(settings.*field)) {
            return controlCharacterMessage(labels.at(name));
        }
    }
    if (settings.port < kMinPort || settings.port > kMaxPort) {
        return "The port must be a number from 1 to 65535.";
    }
    if (settings.folder.empty()) {
        return "The download folder cannot be empty.";
    }
    return std::nullopt;
}

StatsServerLoad loadStatsServer(const fs::path& workdir) {
    StatsServerLoad load;
    fs::path file = statsServerPath(workdir);
    switch (checkReadableFile(file, kMaxSettingsBytes)) {
        case ReadableFile::Missing:
            load.ok = true;
            return load;
        case ReadableFile::NotRegular:
            load.error = damaged(file, "it is not a regular file");
            return load;
        case ReadableFile::TooLarge:
            load.error = damaged(file, "it is larger than 64 KiB");
            return load;
        case ReadableFile::Regular:
            break;
    }
    std::optional<std::string> text = readRegularFile(file, kMaxSettingsBytes);
    if (!text) {
        load.error = damaged(file, "it cannot be read");
        return load;
    }
    if (std::optional<std::string> why = parse(*text, load.settings)) {
        load.settings = {};
        load.error = damaged(file, *why);
        return load;
    }
    load.ok = true;
    return load;
}

bool saveStatsServer(const fs::path& workdir, const StatsServerSettings& settings,
                     std::string& error) {
    if (std::optional<std::string> why = checkStatsServer(settings)) {
        error = *why;
        return false;
    }
    StatsServerLoad current = loadStatsServer(workdir);
    if (!current.ok) {
        error = current.error;
        return false;
    }
    return writePrivately(statsServerPath(workdir), serialised(settings), error);
}

std::optional<std::string> readPasswordFile(const fs::path& file, std::string& error) {
    std::optional<std::string> text = readRegularFile(file, kMaxPasswordFileBytes);
    if (!text) {
        error = "The password file " + file.string() +
                " is missing, not a regular file or larger than 4 KiB.";
        return std::nullopt;
    }
    std::string password = withoutCarriageReturn(text->substr(0, text->find('\n')));
    if (holdsControlCharacter(password)) {
        error = "The password in " + file.string() + " holds control characters.";
        return std::nullopt;
    }
    return password;
}

}  // namespace qff
