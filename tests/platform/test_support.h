#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace qff::platform::testing {

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& child) const {
        return path_ / child;
    }

  private:
    std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, const std::string& content);
std::string readFile(const std::filesystem::path& path);
// Deterministic bytes covering every value, different for each seed.
std::string sampleBytes(std::size_t size, unsigned seed);
// Every regular file below root, as generic relative paths, sorted.
std::vector<std::string> filesBelow(const std::filesystem::path& root);

// Runs a program with an argument list, its output going to outputFile; returns the exit
// status, or -1 when it could not be started or did not exit normally.
int runProgram(const std::vector<std::string>& arguments, const std::filesystem::path& workingDir,
               const std::filesystem::path& outputFile);

// Where ctest's fixtures keep the test servers' state: DIR/ftp/{port,root}, DIR/smtp/{port,mail}.
std::filesystem::path serverStateDir(const std::string& server);
// The port a fixture server listens on; fails the current test when it is not running.
int serverPort(const std::string& server);

// A loopback port on which a socket is bound but not listening, so a connection is refused.
class RefusingPort {
  public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int port() const { return port_; }

  protected:
    int fd_ = -1;
    int port_ = 0;
};

// A loopback port that accepts connections (in the kernel) but never says a word.
class SilentPort : public RefusingPort {
  public:
    SilentPort();
};

}  // namespace qff::platform::testing
