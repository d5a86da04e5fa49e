#pragma once

#include "qff/platform/archiver.h"

namespace qff::platform {

// Zip archives written in-process. Encrypted archives are written with AES-256; reading also
// accepts the traditional PKWARE scheme that older archives use.
//
// A pack is written under a temporary name beside the archive and renamed over it only once
// complete, so a failed pack leaves an earlier archive of the same name untouched.
// Extraction refuses absolute names, ".." components and entries that are neither regular
// files nor directories, before anything is written.
class ZipArchiver final : public Archiver {
  public:
    ArchiveResult packTree(const std::filesystem::path& archive, const std::filesystem::path& root,
                           const std::vector<std::filesystem::path>& relativeNames,
                           std::string_view password) override;
    ArchiveResult packFlat(const std::filesystem::path& archive,
                           const std::vector<std::filesystem::path>& files,
                           std::string_view password) override;
    ArchiveResult extractAll(const std::filesystem::path& archive,
                             const std::filesystem::path& targetDir,
                             std::string_view password) override;

    // Every entry's name as the archive stores it, twice when it is there twice; names are
    // not encrypted, so no password is needed.
    ArchiveResult listNames(const std::filesystem::path& archive, std::vector<std::string>& names);
};

}  // namespace qff::platform
