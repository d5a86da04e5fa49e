#include "qff/backupzip/zip_backup.h"

#include <system_error>
#include <utility>

namespace qff::backupzip {

namespace fs = std::filesystem;

namespace {

bool succeeded(const platform::ArchiveResult& result, std::string& error) {
    if (!result.ok) {
        error = result.message;
    }
    return result.ok;
}

}  // namespace

ZipBackupSink::ZipBackupSink(fs::path workdir, std::string password)
    : workdir_(std::move(workdir)), password_(std::move(password)) {}

bool ZipBackupSink::add(const fs::path& file, std::string_view nameInArchive, std::string& error) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        error = "it is not a file that can be read";
        return false;
    }
    names_.emplace_back(std::string(nameInArchive));
    return true;
}

bool ZipBackupSink::commit(const fs::path& into, std::string& error) {
    return succeeded(archiver_.packTree(into, workdir_, names_, password_), error);
}

void ZipBackupSink::abandon() {
    names_.clear();
}

ZipArchiveSource::ZipArchiveSource(fs::path archive, std::string password)
    : archive_(std::move(archive)), password_(std::move(password)) {}

bool ZipArchiveSource::list(std::vector<std::string>& names, std::string& error) {
    return succeeded(archiver_.listNames(archive_, names), error);
}

bool ZipArchiveSource::extractAll(const fs::path& into, std::string& error) {
    return succeeded(archiver_.extractAll(archive_, into, password_), error);
}

}  // namespace qff::backupzip
