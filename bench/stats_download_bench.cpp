// One week of 2,048 statistics records from a statistics server on loopback:
// connecting, listing the download folder, fetching the encrypted archive,
// unpacking it and merging it into a season of 2,048 players, as
// qff stats download --week 5 --merge does. Targets: under 300 ms end to end,
// the merge step alone under 30 ms. The server is the tests' pyftpdlib
// script, run by the system's Python.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/FullSeason.h"
#include "data02/intake/Statsmerge.h"
#include "qff/platform/curl_ftp_client.h"
#include "qff/platform/zip_archiver.h"
#include "qff/statsnet/stats_net.h"

extern char** environ;

namespace {

using namespace qff;
namespace fs = std::filesystem;

constexpr int kWeek = bench::kFullWeek + 1;
// Must match the account in ftp_server.py.
constexpr const char* kFtpUser = "quill";
constexpr const char* kFtpPassword = "ftp-secret-42";
constexpr const char* kArchivePassword = "bench-secret";

[[noreturn]] void giveUp(const std::string& why) {
    std::fprintf(stderr, "cannot prepare the benchmark: %s\n", why.c_str());
    std::exit(1);
}

// The FTP server the tests use, serving one folder until the object goes.
class LoopbackFtpServer {
  public:
    explicit LoopbackFtpServer(const fs::path& root) {
        fs::path portFile = root.parent_path() / "ftp-port";
        std::vector<std::string> args{"/usr/bin/python3", QFF_FTP_SERVER_SCRIPT, "--root",
                                      root.string(),      "--port-file",         portFile.string()};
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            giveUp("the FTP server did not start");
        }
        port_ = waitForPort(portFile);
    }
    ~LoopbackFtpServer() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

    int port() const { return port_; }

  private:
    static int waitForPort(const fs::path& portFile) {
        for (int tries = 0; tries < 200; ++tries) {
            std::ifstream in(portFile);
            int port = 0;
            if (in >> port && port > 0) {
                return port;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        giveUp("the FTP server did not listen (is python3-pyftpdlib installed?)");
    }

    pid_t pid_ = 0;
    int port_ = 0;
};

// The full season, its week published encrypted in a folder the server serves.
class ServedSeason {
  public:
    ServedSeason()
        : server_(publish(season_)),
          settings_{.host = std::string("127.0.0.1"),
                    .port = server_.port(),
                    .user = std::string(kFtpUser),
                    .password = std::string(kFtpPassword),
                    .folder = std::string("/"),
                    .archivePassword = std::string(kArchivePassword)} {}

    Singleton& context() { return season_.context(); }
    const StatsServerSettings& settings() const { return settings_; }

  private:
    static fs::path publish(bench::FullSeason& season) {
        fs::path served = season.dir() / "served";
        fs::create_directories(served);
        std::vector<fs::path> names{season.weekFile().filename()};
        platform::ZipArchiver archiver;
        if (!archiver
                 .packTree(served / publishedArchiveName(bench::kFullYear, kWeek),
                           season.weekFile().parent_path(), names, kArchivePassword)
                 .ok) {
            giveUp("the week could not be packed");
        }
        return served;
    }

    bench::FullSeason season_;
    LoopbackFtpServer server_;
    StatsServerSettings settings_;
};

ServedSeason& served() {
    static ServedSeason shared;
    return shared;
}

// Connects, lists and fetches the week into Download; the path of its
// statistics file, or empty after telling the benchmark why not.
fs::path fetchWeekFile(benchmark::State& state, ServedSeason& season) {
    platform::CurlFtpClient ftp;
    platform::ZipArchiver archiver;
    std::string problem =
        statsnet::enterDownloadFolder(ftp, season.settings(), kNoConnectionMessage);
    std::optional<WeekMap> map;
    if (problem.empty()) {
        map = statsnet::listWeeks(ftp, bench::kFullYear, problem);
    }
    if (!map) {
        state.SkipWithError(problem.c_str());
        return {};
    }
    WeekFetch fetch(season.context(), kWeek, map->remoteName(kWeek));
    if (!statsnet::fetchWeek(ftp, archiver, fetch, season.settings().archivePassword)) {
        state.SkipWithError(fetch.message().c_str());
        return {};
    }
    ftp.disconnect();
    return fetch.statisticsPath();
}

bool merged(benchmark::State& state, ServedSeason& season, const fs::path& file) {
    MergeReport report = StatsMerge(season.context(), file).run();
    if (!report.succeeded()) {
        state.SkipWithError("the merge failed");
    }
    return report.succeeded();
}

void BM_DownloadUnpackAndMergeWeek(benchmark::State& state) {
    ServedSeason& season = served();
    for (auto _ : state) {
        fs::path file = fetchWeekFile(state, season);
        if (file.empty() || !merged(state, season, file)) {
            break;
        }
    }
}
BENCHMARK(BM_DownloadUnpackAndMergeWeek)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DownloadAndUnpackWeek(benchmark::State& state) {
    ServedSeason& season = served();
    for (auto _ : state) {
        if (fetchWeekFile(state, season).empty()) {
            break;
        }
    }
}
BENCHMARK(BM_DownloadAndUnpackWeek)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MergeDownloadedWeek(benchmark::State& state) {
    ServedSeason& season = served();
    fs::path file = fetchWeekFile(state, season);
    for (auto _ : state) {
        if (file.empty() || !merged(state, season, file)) {
            break;
        }
    }
}
BENCHMARK(BM_MergeDownloadedWeek)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
