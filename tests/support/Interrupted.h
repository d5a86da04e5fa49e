#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace qff::test {

// Runs `body` in a child process that ends with _exit once `body` returns:
// no destructor runs, nothing is committed or rolled back, just as when a
// user kills the program part way.
inline void runKilled(const std::function<void()>& body) {
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
}

// Makes the calling process end, as a kill would, at its first write that
// takes a file past `bytes`. Meant for the child of runKilled.
inline void exitAtFileSize(rlim_t bytes) {
    signal(SIGXFSZ, [](int) { _exit(0); });
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

using FileImages = std::map<std::string, std::vector<std::uint8_t>>;

// Every file of a working directory with its bytes, except the settings and
// diagnostic logs a context writes whenever it is released.
inline FileImages filesIn(const std::filesystem::path& dir) {
    FileImages files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        bool written = name == "Prefs.db" || name == "sticky.db" || name.ends_with("_log.txt");
        if (entry.is_regular_file() && !written) {
            files[name] = readBytes(entry.path());
        }
    }
    return files;
}

// The names of the files that differ between two images of a directory, so a
// failure names them instead of printing their bytes.
inline std::vector<std::string> changedFiles(const FileImages& before, const FileImages& after) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : before) {
        auto now = after.find(name);
        if (now == after.end() || now->second != bytes) {
            names.push_back(name);
        }
    }
    for (const auto& [name, bytes] : after) {
        if (!before.contains(name)) {
            names.push_back(name);
        }
    }
    return names;
}

}  // namespace qff::test
