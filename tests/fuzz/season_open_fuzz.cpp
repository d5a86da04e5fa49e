#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/DemoSeason.h"

namespace {

namespace fs = std::filesystem;

constexpr int kYear = 2005;

// A small demonstration season, built once; every input starts from a copy.
const fs::path& templateSeason() {
    static const fs::path folder = [] {
        fs::path dir = qff::fuzz::scratchFolder() / "template";
        fs::create_directories(dir);
        std::string error;
        auto context = qff::Singleton::create({dir}, error);
        if (!context) {
            std::abort();
        }
        error = qff::test::buildDemoSeason(*context, {.year = kYear,
                                                      .weeksMerged = 1,
                                                      .playersPerTeam = 4,
                                                      .divisionsPerLeague = 1,
                                                      .franchisesPerDivision = 2,
                                                      .rosterSize = 3});
        if (!error.empty()) {
            std::abort();
        }
        qff::closeSeason(context, error);
        return dir;
    }();
    return folder;
}

std::vector<fs::path> seasonFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(templateSeason())) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().filename());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

// The first byte chooses one of the season's files, the rest replaces it;
// opening and closing the season must end in messages, never in a crash.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<fs::path> files = seasonFiles();
    if (size == 0) {
        return 0;
    }
    fs::path work = qff::fuzz::scratchFolder() / "season";
    fs::remove_all(work);
    fs::copy(templateSeason(), work, fs::copy_options::recursive);
    qff::fuzz::writeInput(work / files[data[0] % files.size()], data + 1, size - 1);
    std::string error;
    std::unique_ptr<qff::Singleton> context = qff::Singleton::create({work}, error);
    if (!context) {
        return 0;
    }
    qff::openSeason(*context, kYear);
    qff::closeSeason(context, error);
    return 0;
}
