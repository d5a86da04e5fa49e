#include "qff/platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace qff::platform {
namespace {

// The spawn attributes and file actions of one start, released however it ends.
class SpawnSetup {
  public:
    explicit SpawnSetup(bool detached) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
        posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        if (detached) {
            posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions_, 2, "/dev/null", O_WRONLY, 0);
            posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSID);
        }
    }
    ~SpawnSetup() {
        posix_spawnattr_destroy(&attributes_);
        posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }

  private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

ProcessResult spawn(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                    bool detached, pid_t& pid) {
    std::string file = program.string();
    std::vector<char*> argv{file.data()};
    std::vector<std::string> copies(arguments);
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    SpawnSetup setup(detached);
    int error =
        posix_spawnp(&pid, file.c_str(), setup.actions(), setup.attributes(), argv.data(), environ);
    if (error != 0) {
        return {false, -1, "cannot start " + file + ": " + std::strerror(error)};
    }
    return {true, -1, {}};
}

ProcessResult waitFor(pid_t pid, const std::string& name) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return {true, -1, "lost track of " + name + ": " + std::strerror(errno)};
        }
    }
    if (WIFEXITED(status)) {
        return {true, WEXITSTATUS(status), {}};
    }
    return {true, -1, name + " ended by signal " + std::to_string(WTERMSIG(status))};
}

}  // namespace

ProcessResult ProcessRunner::run(const std::filesystem::path& program,
                                 const std::vector<std::string>& arguments) const {
    pid_t pid = 0;
    ProcessResult result = spawn(program, arguments, false, pid);
    return result.started ? waitFor(pid, program.string()) : result;
}

ProcessResult ProcessRunner::startDetached(const std::filesystem::path& program,
                                           const std::vector<std::string>& arguments) const {
    pid_t pid = 0;
    ProcessResult result = spawn(program, arguments, true, pid);
    if (result.started) {
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    }
    return result;
}

}  // namespace qff::platform
