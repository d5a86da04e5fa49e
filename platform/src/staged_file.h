#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace qff::platform {

// A file written under a fresh hidden name beside its destination and renamed over the
// destination only when complete, so a reader never sees a half-written file under the real
// name. Dropped without commit(), the partial file is removed.
class StagedFile {
  public:
    explicit StagedFile(std::filesystem::path destination);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    const std::string& error() const { return error_; }
    const std::filesystem::path& tempPath() const { return temp_; }

    bool write(const char* data, std::size_t size);
    // For writers that reopen the file by name themselves.
    void closeDescriptor();
    bool commit();

  private:
    void discard();

    std::filesystem::path destination_;
    std::filesystem::path temp_;
    int fd_ = -1;
    bool committed_ = false;
    std::string error_;
};

}  // namespace qff::platform
