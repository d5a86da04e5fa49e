#include "data02/storage/Files.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>
#include <vector>

namespace qff {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

bool isProgramFolder(std::string_view name) {
    return std::any_of(kProgramFolders.begin(), kProgramFolders.end(),
                       [name](std::string_view folder) { return equalsNoCase(folder, name); });
}

bool endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::filesystem::path resolveNoCase(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        return path;
    }
    std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : ".";
    std::string wanted = path.filename().string();
    std::vector<std::filesystem::path> matches;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (equalsNoCase(it->path().filename().string(), wanted)) {
            matches.push_back(it->path());
        }
    }
    if (matches.empty()) {
        return path;
    }
    std::sort(matches.begin(), matches.end());
    return path.has_parent_path() ? matches.front() : matches.front().filename();
}

std::optional<int> seasonNumber(int year) {
    if (year < 1900) {
        return std::nullopt;
    }
    return year >= 2000 ? year - 2000 : year - 1900;
}

ReadableFile checkReadableFile(const std::filesystem::path& path, std::uintmax_t maxBytes) {
    std::error_code error;
    // Asking for the status opens nothing, so a FIFO cannot block here.
    std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) {
        return ReadableFile::Missing;
    }
    if (!std::filesystem::is_regular_file(status)) {
        return ReadableFile::NotRegular;
    }
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return ReadableFile::Missing;
    }
    return size > maxBytes ? ReadableFile::TooLarge : ReadableFile::Regular;
}

std::optional<std::string> readRegularFile(const std::filesystem::path& path,
                                           std::uintmax_t maxBytes) {
    if (checkReadableFile(path, maxBytes) != ReadableFile::Regular) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes;
    std::array<char, 4096> chunk;
    // Read by chunks with the limit checked on the way, in case the file grew.
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
        bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > maxBytes) {
            return std::nullopt;
        }
    }
    return in.bad() ? std::nullopt : std::optional<std::string>(std::move(bytes));
}

StagedWrite::StagedWrite(std::filesystem::path target, std::filesystem::path temporary)
    : target_(std::move(target)), temporary_(std::move(temporary)) {}

StagedWrite StagedWrite::beside(const std::filesystem::path& target, std::string_view suffix) {
    std::filesystem::path temporary = target;
    temporary += suffix;
    return StagedWrite(target, std::move(temporary));
}

bool StagedWrite::replaceTarget(std::error_code& error) {
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        discard();
        return false;
    }
    return true;
}

void StagedWrite::discard() {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

}  // namespace qff
