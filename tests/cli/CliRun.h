#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/TempDir.h"

extern char** environ;

namespace qff::test {

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the built program as a user would, with its standard output and error
// captured in files of `io`.
inline RunResult runProgram(const std::vector<std::string>& args, const TempDir& io) {
    std::string outPath = (io / "stdout").string();
    std::string errPath = (io / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv{const_cast<char*>(QFF_EXE)};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, QFF_EXE, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return {-1, "", std::strerror(spawned)};
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(io / "stdout"),
            readText(io / "stderr")};
}

// Every test gets its own season folder, whose calendar year is 2004.
class CliRun : public ::testing::Test {
  protected:
    CliRun() { writeText(dir_ / "CurYear.bin", "2004\n"); }

    RunResult qff(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--workdir", dir_.path().string()});
        return runProgram(args, io_);
    }

    // Runs a command that must succeed with --json and returns its document.
    nlohmann::json qffJson(std::vector<std::string> args) const {
        args.insert(args.begin(), "--json");
        RunResult run = qff(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return nlohmann::json::parse(run.out);
    }

    bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

    TempDir dir_;
    TempDir io_;
};

}  // namespace qff::test
