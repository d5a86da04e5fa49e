#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace qff::test {

// A file-size limit makes the system refuse to write past it, the failure a
// full disk gives; ignoring the signal turns it into a failed write. Works
// as root too, where a read-only file would not stop a write.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    sighandler_t previous_;
};

}  // namespace qff::test
