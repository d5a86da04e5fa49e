#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data02/publish/Backup.h"
#include "qff/platform/zip_archiver.h"

namespace qff::backupzip {

// Gathers the names and packs them in one go once the backup is complete: the
// archive library writes the whole archive when it is closed anyway.
class ZipBackupSink : public BackupSink {
  public:
    ZipBackupSink(std::filesystem::path workdir, std::string password);

    bool add(const std::filesystem::path& file, std::string_view nameInArchive,
             std::string& error) override;
    bool commit(const std::filesystem::path& into, std::string& error) override;
    void abandon() override;

  private:
    platform::ZipArchiver archiver_;
    std::filesystem::path workdir_;
    std::string password_;
    std::vector<std::filesystem::path> names_;
};

// A backup archive read with the backup password.
class ZipArchiveSource : public ArchiveSource {
  public:
    ZipArchiveSource(std::filesystem::path archive, std::string password);

    bool list(std::vector<std::string>& names, std::string& error) override;
    bool extractAll(const std::filesystem::path& into, std::string& error) override;

  private:
    platform::ZipArchiver archiver_;
    std::filesystem::path archive_;
    std::string password_;
};

}  // namespace qff::backupzip
