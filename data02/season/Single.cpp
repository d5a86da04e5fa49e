#include "data02/season/Single.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "data02/model/Divqry.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/reports/Rptqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Prefs.h"
#include "data02/season/State.h"
#include "data02/season/Sticky.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

constexpr int kFirstCalendarYear = 2002;
constexpr std::size_t kYearLineLimit = 63;
// CurYear.bin holds one short line; anything bigger is no year file.
constexpr std::uintmax_t kYearFileLimit = 1024;

int yearFromFile(const std::filesystem::path& path) {
    std::optional<std::string> text = readRegularFile(path, kYearFileLimit);
    if (!text) {
        return 0;
    }
    std::string line = text->substr(0, std::min(text->find('\n'), kYearLineLimit));
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
    // Nothing may read the files while a killed run's work is half done.
    std::string reason;
    if (!recoverInterruptedWork(context->workdir(), context->recovery_, reason)) {
        error = "Cannot start: work interrupted in an earlier run could not be undone: " + reason;
        return nullptr;
    }
    if (!context->createMembers(error)) {
        return nullptr;
    }
    return context;
}

template <class T, class... Args>
bool Singleton::createMember(Owned<T>& member, Site site, const char* what, std::string& error,
                             Args&&... args) {
    member = memory_->make<T>(site, std::forward<Args>(args)...);
    if (!member) {
        error = std::string("Cannot start: the ") + what + " could not be created.";
        return false;
    }
    return true;
}

bool Singleton::createMembers(std::string& error) {
    MyMemory& memory = *memory_;
    const auto& dir = env_.workdir;
    if (!createMember(strBuf_, Kind::StrBuf, "string ring", error, memory)) {
        return false;
    }
    cache_ = std::make_unique<Cache>();
    bool created =
        createMember(preferences_, Kind::Preferences, "preferences", error, *this) &&
        createMember(seasonState_, Kind::SeasonState, "season state", error, *this) &&
        createMember(sticky_, Kind::Sticky, "remembered settings", error, *this) &&
        createMember(pro_, Kind::Pro, "NFL team table", error, *strBuf_) &&
        createMember(mapFactory_, Kind::MapFactory, "record caches", error, *this) &&
        createMember(scoring_, Kind::ScoringSystem, "scoring system", error, *this) &&
        createMember(schedule_, Kind::Schedule, "schedule", error, *this) &&
        createMember(playerFile_, Kind::PlayerFile, "player file", error, memory, SeasonFile::Plyr,
                     dir) &&
        createMember(playerQuery_, Kind::PlayerQuery, "player query", error, *this) &&
        createMember(teamFile_, Kind::TeamFile, "franchise file", error, memory, SeasonFile::Team,
                     dir) &&
        createMember(teamQuery_, Kind::TeamQuery, "franchise query", error, *this) &&
        createMember(divisionFile_, Kind::DivisionFile, "division file", error, memory,
                     SeasonFile::Div, dir) &&
        createMember(divisionQuery_, Kind::DivisionQuery, "division query", error, *this) &&
        createMember(leagueFile_, Kind::LeagueFile, "league file", error, memory, SeasonFile::Leg,
                     dir) &&
        createMember(leagueQuery_, Kind::LeagueQuery, "league query", error, *this) &&
        createMember(draftFile_, Kind::DraftFile, "draft-pick file", error, memory,
                     SeasonFile::Draft, dir) &&
        createMember(draftQuery_, Kind::DraftQuery, "draft query", error, *this) &&
        createMember(reportFile_, Kind::ReportFile, "report file", error, memory, SeasonFile::Rpt,
                     dir) &&
        createMember(reportQuery_, Kind::ReportQuery, "report query", error, *this) &&
        createMember(reportGenerator_, Kind::ReportGenerator, "report generator", error, *this);
    if (created) {
        sticky_->load();
        connectMembers();
    }
    return created;
}

void Singleton::connectMembers() {
    NflWeeks nfl;
    // Whether a team played a week is read off its QB unit's passing yards.
    nfl.teamPassYards = [this](int team, int week) {
        const Player* unit = mapFactory_->players().findFirst(kPlayerId, Pro::unitId(team, kQB));
        return unit ? unit->getValue(kPassYards, week) : 0;
    };
    nfl.teamIsOff = [this](int team, int week) { return schedule_->teamIsOff(team, week); };
    scoring_->setNflWeeks(std::move(nfl));
    // New identifiers skip those that records of the season already hold.
    seasonState_->setIdInUse(kLastFranchiseId, [this](int id) {
        return mapFactory_->franchises().findFirst(kFranchiseId, id) != nullptr;
    });
    seasonState_->setIdInUse(kLastDivisionId, [this](int id) {
        return mapFactory_->divisions().findFirst(kDivisionId, id) != nullptr;
    });
    seasonState_->setIdInUse(kLastLeagueId, [this](int id) {
        return mapFactory_->leagues().findFirst(kLeagueId, id) != nullptr;
    });
    seasonState_->setIdInUse(kLastReportId, [this](int id) {
        return mapFactory_->reports().findFirst(kReportId, id) != nullptr;
    });
}

Singleton::~Singleton() {
    strBuf_.reset();
    cache_.reset();
    preferences_.reset();
    seasonState_.reset();
    sticky_.reset();
    pro_.reset();
    mapFactory_.reset();
    scoring_.reset();
    schedule_.reset();
    playerFile_.reset();
    playerQuery_.reset();
    teamFile_.reset();
    teamQuery_.reset();
    divisionFile_.reset();
    divisionQuery_.reset();
    leagueFile_.reset();
    leagueQuery_.reset();
    draftFile_.reset();
    draftQuery_.reset();
    reportFile_.reset();
    reportQuery_.reset();
    reportGenerator_.reset();
    memory_.reset();
    profile_.reset();
}

}  // namespace qff
