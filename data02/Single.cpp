#include "Single.h"

#include <charconv>
#include <fstream>

#include "Prefs.h"
#include "State.h"
#include "Sticky.h"

namespace qff {
namespace {

constexpr int kFirstCalendarYear = 2002;
constexpr std::size_t kYearLineLimit = 63;

int yearFromFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) {
        return 0;
    }
    line.resize(std::min(line.size(), kYearLineLimit));
    while (!line.empty() && static_cast<unsigned char>(line.back()) < 32) {
        line.pop_back();
    }
    int year = 0;
    auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), year);
    if (error != std::errc() || end == line.data()) {
        return 0;
    }
    return year >= kFirstCalendarYear ? year : 0;
}

int localYear(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return local.tm_year + 1900;
}

}  // namespace

int calendarSeasonYear(const SeasonEnv& env) {
    int year = yearFromFile(env.workdir / "CurYear.bin");
    return year != 0 ? year : localYear(env.clock());
}

Singleton::Singleton(SeasonEnv env) : env_(std::move(env)) {
    calendarYear_ = calendarSeasonYear(env_);
    if (env_.profiling) {
        profile_ = std::make_unique<MyProfile>(pathOf("prof_log.txt"));
    }
    memory_ = std::make_unique<MyMemory>(pathOf("mem_log.txt"));
}

std::unique_ptr<Singleton> Singleton::create(SeasonEnv env, std::string& error) {
    std::unique_ptr<Singleton> context(new Singleton(std::move(env)));
    if (!context->createMembers(error)) {
        return nullptr;
    }
    return context;
}

bool Singleton::createMembers(std::string& error) {
    auto missing = [&error](const char* member) {
        error = std::string("Cannot start: the ") + member + " could not be created.";
        return false;
    };
    strBuf_ = memory_->make<StrBuf>(Kind::StrBuf, *memory_);
    if (!strBuf_) {
        return missing("string ring");
    }
    cache_ = std::make_unique<Cache>();
    preferences_ = memory_->make<Preferences>(Kind::Preferences, *this);
    if (!preferences_) {
        return missing("preferences");
    }
    seasonState_ = memory_->make<SeasonState>(Kind::SeasonState, *this);
    if (!seasonState_) {
        return missing("season state");
    }
    sticky_ = memory_->make<Sticky>(Kind::Sticky, *this);
    if (!sticky_) {
        return missing("remembered settings");
    }
    sticky_->load();
    return true;
}

Singleton::~Singleton() {
    strBuf_.reset();
    cache_.reset();
    preferences_.reset();
    seasonState_.reset();
    sticky_.reset();
    memory_.reset();
    profile_.reset();
}

}  // namespace qff
