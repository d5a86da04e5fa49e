#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "qff/platform/process.h"
#include "tests/platform/test_support.h"

namespace qff::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::readFile;
using testing::TempDir;

const fs::path kShell = "/bin/sh";

TEST(ProcessRunnerTest, ArgumentsReachTheProgramUnchangedAndNoShellReadsThem) {
    TempDir dir;
    fs::path out = dir / "args.txt";
    const std::vector<std::string> arguments{
        "two words", "semi;colon", "$(touch pwned)", "'quoted'", "*", "", "back\\slash"};
    std::vector<std::string> command{"-c", "printf '%s\\n' \"$@\" > \"$0\"", out.string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ProcessResult result = ProcessRunner().run(kShell, command);
    ASSERT_TRUE(result.started) << result.message;
    EXPECT_EQ(result.exitCode, 0);
    std::string expected;
    for (const std::string& argument : arguments) {
        expected += argument + "\n";
    }
    EXPECT_EQ(readFile(out), expected);
    EXPECT_FALSE(fs::exists(dir / "pwned"));
    EXPECT_FALSE(fs::exists(fs::current_path() / "pwned"));
}

TEST(ProcessRunnerTest, RunWaitsAndReturnsTheExitStatus) {
    struct Case {
        std::string script;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {"exit 0", 0, ""},
        {"exit 3", 3, ""},
        {"exit 255", 255, ""},
        {"kill -TERM $$", -1, "signal 15"},
        // Standard input is empty, so a program reading it ends at once.
        {"cat; exit 7", 7, ""},
    };
    for (const Case& c : cases) {
        ProcessResult result = ProcessRunner().run(kShell, {"-c", c.script});
        EXPECT_TRUE(result.started) << c.script;
        EXPECT_EQ(result.exitCode, c.exitCode) << c.script;
        EXPECT_THAT(result.message, HasSubstr(c.message)) << c.script;
    }
}

TEST(ProcessRunnerTest, ProgramsAreFoundThroughPathOrReportedMissing) {
    EXPECT_EQ(ProcessRunner().run("sh", {"-c", "exit 4"}).exitCode, 4);
    const fs::path missing[] = {"/nonexistent/qff-tool", "qff-no-such-program-here"};
    for (const fs::path& program : missing) {
        for (bool detached : {false, true}) {
            ProcessResult result = detached ? ProcessRunner().startDetached(program, {})
                                            : ProcessRunner().run(program, {});
            EXPECT_FALSE(result.started) << program;
            EXPECT_EQ(result.exitCode, -1);
            EXPECT_THAT(result.message, HasSubstr("cannot start " + program.string()));
        }
    }
}

TEST(ProcessRunnerTest, ADetachedProgramRunsOnAfterTheCallReturns) {
    TempDir dir;
    fs::path gate = dir / "gate";
    fs::path out = dir / "done.txt";
    // The program waits for a file only the test creates after the call returned.
    std::string script = "while [ ! -e \"$0\" ]; do sleep 0.05; done; echo \"$1\" > \"$2\"";
    ProcessResult result =
        ProcessRunner().startDetached(kShell, {"-c", script, gate.string(), "a b", out.string()});
    ASSERT_TRUE(result.started) << result.message;
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_FALSE(fs::exists(out));
    testing::writeFile(gate, "");
    for (int i = 0; i < 600 && (!fs::exists(out) || readFile(out).empty()); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(readFile(out), "a b\n");
}

}  // namespace
}  // namespace qff::platform
