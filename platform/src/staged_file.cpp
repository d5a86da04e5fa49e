#include "staged_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>
#include <utility>

namespace qff::platform {

namespace {

std::string randomSuffix() {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix(12, '0');
    for (char& c : suffix) {
        c = kDigits[generator() % 16];
    }
    return suffix;
}

std::string systemError(const std::string& what, const std::filesystem::path& path) {
    return what + " '" + path.string() + "': " + std::strerror(errno);
}

}  // namespace

StagedFile::StagedFile(std::filesystem::path destination) : destination_(std::move(destination)) {
    constexpr int kAttempts = 16;
    for (int attempt = 0; attempt < kAttempts && fd_ < 0; ++attempt) {
        temp_ = destination_.parent_path() / std::string(".")
                                                 .append(destination_.filename().string())
                                                 .append(".part-")
                                                 .append(randomSuffix());
        // 0666 lets the umask decide, as for any other file the user creates.
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        error_ = systemError("cannot create temporary file", temp_);
        temp_.clear();
    }
}

StagedFile::~StagedFile() {
    if (!committed_) {
        discard();
    }
}

bool StagedFile::write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            error_ = systemError("cannot write", temp_);
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

void StagedFile::closeDescriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool StagedFile::commit() {
    if (fd_ >= 0 && ::close(std::exchange(fd_, -1)) != 0) {
        error_ = systemError("cannot write", temp_);
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp_, destination_, ec);
    if (ec) {
        error_ = "cannot replace '" + destination_.string() + "': " + ec.message();
        return false;
    }
    committed_ = true;
    return true;
}

void StagedFile::discard() {
    closeDescriptor();
    if (!temp_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
    }
}

}  // namespace qff::platform
