#include "data02/season/Opening.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include "data02/model/Divqry.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Teamqry.h"
#include "data02/reports/Rptqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/season/Sticky.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

constexpr int kFirstOpenableSeason = 1994;
constexpr int kFirstListedSeason = 1993;
constexpr int kLastListedSeason = 2100;

SeasonMessage status(std::string text) {
    return {SeasonMessage::Type::Status, std::move(text), {}};
}

SeasonMessage error(std::string text, std::string detail = {}) {
    return {SeasonMessage::Type::Error, std::move(text), std::move(detail)};
}

struct LoadStep {
    const char* status;
    const char* failure;
};

constexpr LoadStep kLoadSteps[] = {
    {"Loading Player Database...", "ERROR - Could not open the player database"},
    {"Loading Team Database...", "ERROR - Could not open the franchise database"},
    {"Loading Division Database...", "ERROR - Could not open the division database"},
    {"Loading League Database...", "ERROR - Could not open the league database"},
    {"Loading Draft Day Database...", "ERROR - Could not open the draft day database"},
    {"Loading Report Database...", "ERROR - Could not open the report database"},
};

}  // namespace

SeasonLoader::SeasonLoader(Singleton& context, int year) : context_(context), year_(year) {}

std::vector<SeasonMessage> SeasonLoader::runStep() {
    std::vector<SeasonMessage> out;
    if (done()) {
        return out;
    }
    if (step_ <= 7) {
        load(out);
    } else if (step_ == kLastStep) {
        validate(out);
    }
    ++step_;
    return out;
}

void SeasonLoader::load(std::vector<SeasonMessage>& out) {
    const LoadStep& step = kLoadSteps[step_ - kFirstStep];
    out.push_back(status(step.status));
    MapFactory& caches = context_.mapFactory();
    int result = kFailed;
    std::string reason;
    const DBFile* file = nullptr;
    switch (step_) {
        case 2:
            result = context_.playerQuery().reload(year_);
            reason = context_.playerFile().lastError();
            file = &context_.playerFile().db();
            results_.players = result == kOk;
            results_.playerCount = static_cast<int>(caches.players().size());
            break;
        case 3:
            result = context_.teamQuery().reload(year_);
            reason = context_.teamFile().lastError();
            file = &context_.teamFile().db();
            results_.franchises = result == kOk;
            results_.franchiseCount = static_cast<int>(caches.franchises().size());
            break;
        case 4:
            result = context_.divisionQuery().reload(year_);
            reason = context_.divisionFile().lastError();
            file = &context_.divisionFile().db();
            results_.divisions = result == kOk;
            results_.divisionCount = static_cast<int>(caches.divisions().size());
            break;
        case 5:
            result = context_.leagueQuery().reload(year_);
            reason = context_.leagueFile().lastError();
            file = &context_.leagueFile().db();
            results_.leagues = result == kOk;
            results_.leagueCount = static_cast<int>(caches.leagues().size());
            break;
        case 6:
            result = context_.draftQuery().reload(year_);
            reason = context_.draftFile().lastError();
            file = &context_.draftFile().db();
            results_.draftCount = static_cast<int>(caches.drafts().size());
            break;
        case 7:
            result = openReportFile(context_, year_);
            reason = context_.reportFile().lastError();
            file = &context_.reportFile().db();
            results_.reports = result == kOk;
            results_.reportCount = result == kOk ? context_.reportFile().db().usedCount() : 0;
            break;
        default:
            break;
    }
    if (result != kOk) {
        out.push_back(error(step.failure, reason));
    }
    // Said at every open, as long as the file stays damaged: what it lost, and
    // that nothing will be saved to it until it is repaired.
    if (file != nullptr && !file->damage().empty()) {
        out.push_back(error(file->damageNotice()));
    }
    for (const std::string& problem : caches.problems()) {
        out.push_back(error("Some records could not be read and were left out.", problem));
    }
}

void SeasonLoader::validate(std::vector<SeasonMessage>& out) {
    if (!results_.players) {
        out.push_back(
            error("The weeks with statistics were not checked, because the player "
                  "database did not load."));
        return;
    }
    PlayerQueryNode quarterbacks;
    quarterbacks.setSelectCode(PlayerQueryNode::kByPosition);
    std::vector<int> unitPosition{kQB + kUnitOffset};
    quarterbacks.setValues(unitPosition);
    PlayerQuery& query = context_.playerQuery();
    query.clear();
    query.addNode(quarterbacks);
    Owned<PlyrList> units = query.run();
    query.clear();
    for (int week = 0; week < context_.pro().weeks(); ++week) {
        bool played = false;
        for (const Player* unit : units ? *units : PlyrList{}) {
            played = played || unit->getValue(kPassYards, week) != 0;
        }
        context_.seasonState().setWeekHasStats(week, played ? 1 : 0);
    }
    validateRosters(out);
}

// A roster may name a player the player file no longer holds; it is reported
// here once per franchise and never looked at as a player.
void SeasonLoader::validateRosters(std::vector<SeasonMessage>& out) {
    const RecordCache<Player>& players = context_.mapFactory().players();
    for (const Team* team : context_.mapFactory().franchises().list()) {
        std::vector<int> unknown;
        for (int week = 0; week < kWeekSlots; ++week) {
            TeamRosterStruct roster;
            team->getRoster(week, roster);
            for (int place = 0; place < roster.count(); ++place) {
                int id = roster.id(place);
                if (id > 0 && players.findFirst(kPlayerId, id) == nullptr &&
                    std::find(unknown.begin(), unknown.end(), id) == unknown.end()) {
                    unknown.push_back(id);
                }
            }
        }
        if (!unknown.empty()) {
            std::string ids;
            for (int id : unknown) {
                ids += (ids.empty() ? "" : ", ") + std::to_string(id);
            }
            out.push_back(error("CRITICAL - " + team->text(kFranchiseName) +
                                    " has players on its rosters that the player database "
                                    "does not hold.",
                                "player ids " + ids));
        }
    }
}

bool prepareSeason(Singleton& context, int year, SeasonOpenReport& report) {
    report.year = year;
    Preferences& prefs = context.preferences();
    report.previousPreference = prefs.get(kPrefOpenSeason);
    report.previousSeason = context.pro().seasonYear();
    if (Recovery recovery = context.takeRecovery(); recovery.undone) {
        report.messages.push_back(error("An interrupted " + recovery.operation +
                                        " was undone: the files are as they were before it."));
    }
    auto failWith = [&](SeasonMessage message) {
        report.messages.push_back(std::move(message));
        // A season that did not open must not be the one the next start tries.
        prefs.set(kPrefOpenSeason, report.previousPreference);
        return false;
    };
    if (year < kFirstOpenableSeason) {
        return failWith(error("There is no season " + std::to_string(year) + " to open."));
    }
    prefs.set(kPrefOpenSeason, year);
    // What opening creates (the state and scoring files) is created only once
    // the files nothing creates are known to be there, so a season that
    // cannot open leaves the folder as it was.
    PlayerFile& players = context.playerFile();
    if (players.open(year) != kOk) {
        return failWith(error("Open Failure: Player database unavailable.", players.lastError()));
    }
    players.close();
    if (context.schedule().open(year) != kOk) {
        return failWith(
            error("Open Failure: Schedule database unavailable.", context.schedule().lastError()));
    }
    if (context.seasonState().open(year) != kOk) {
        return failWith(
            error("Open Failure: Season state unavailable.", context.seasonState().lastError()));
    }
    context.pro().setSeason(year);
    if (context.scoring().openSeason(year) != kOk) {
        return failWith(
            error("Open Failure: Scoring system unavailable.", context.scoring().lastError()));
    }
    return true;
}

void finishSeason(Singleton& context, int year, SeasonOpenReport& report) {
    const LoadingResults& r = report.results;
    const char* failure = !r.players      ? "Open Failure: Player database unavailable."
                          : !r.franchises ? "Open Failure: Franchise database unavailable."
                          : !r.divisions  ? "Open Failure: Division database unavailable."
                          : !r.reports    ? "Open Failure: Report database unavailable."
                                          : nullptr;
    Preferences& prefs = context.preferences();
    if (failure != nullptr) {
        report.messages.push_back(error(failure));
        prefs.set(kPrefOpenSeason, report.previousPreference);
        report.opened = false;
        return;
    }
    prefs.set(kPrefOpenSeason, year);
    SeasonState& state = context.seasonState();
    int weeks = context.pro().weeks();
    if (state.get(kCurrentWeek) >= weeks) {
        state.set(kCurrentWeek, 0);
    }
    int viewWeek = state.get(kViewWeek);
    if (viewWeek != kAllWeeks && viewWeek >= weeks) {
        state.set(kViewWeek, 0);
    }
    report.opened = true;
}

SeasonOpenReport openSeason(Singleton& context, int year) {
    SeasonOpenReport report;
    if (!prepareSeason(context, year, report)) {
        return report;
    }
    SeasonLoader loader(context, year);
    while (!loader.done()) {
        for (SeasonMessage& message : loader.runStep()) {
            report.messages.push_back(std::move(message));
        }
    }
    report.results = loader.results();
    finishSeason(context, year, report);
    return report;
}

bool closeSeason(std::unique_ptr<Singleton>& context, std::string& error) {
    Preferences& preferences = context->preferences();
    Sticky& sticky = context->sticky();
    std::string problem;
    if (preferences.isLoaded() && preferences.save() != kOk) {
        problem = preferences.lastError();
    }
    if (sticky.isLoaded() && sticky.save() != kOk && problem.empty()) {
        problem = sticky.lastError();
    }
    context.reset();
    if (!problem.empty()) {
        error = problem;
    }
    return problem.empty();
}

std::vector<int> availableSeasons(const Singleton& context) {
    std::vector<int> years;
    for (int year = kFirstListedSeason; year <= kLastListedSeason; ++year) {
        std::optional<std::string> name = seasonFileName(SeasonFile::Plyr, year);
        if (name && recordFileExists(resolveNoCase(context.workdir() / *name))) {
            years.push_back(year);
        }
    }
    return years;
}

namespace {

// Creates one of the season's files unless it exists. Each file it creates is
// named in an undo journal first, so a failure, or a kill that the next start
// plays back, removes everything it made.
class SeasonFileMaker {
  public:
    SeasonFileMaker(Singleton& context, int year)
        : context_(context), year_(year), journal_(context.workdir(), "season creation") {}

    bool begin(std::string& error) { return journal_.begin(error); }

    template <int N>
    bool make(SeasonFile kind, const std::function<int(RecordFile<N>&)>& seed, std::string& error) {
        RecordFile<N> file(context_.memory(), kind, context_.workdir());
        std::filesystem::path path = file.pathFor(year_);
        if (!recordFileExists(path) && !journal_.willCreate(path, error)) {
            return false;
        }
        if (file.open(year_, seed) != kOk) {
            error = file.lastError();
            return false;
        }
        return true;
    }

    bool keep(std::string& error) { return journal_.commit(error); }

  private:
    Singleton& context_;
    int year_;
    UndoJournal journal_;
};

int addZeroRecord(DBFile& db, ByteSpan record) {
    std::ranges::fill(record, 0);
    return db.addRecord();
}

int seedTeamUnits(PlayerFile& file, Singleton& context, int year) {
    Pro table(context.strBuf());
    table.setSeason(year);
    for (int team : table.validTeams()) {
        for (int position = kQB; position <= kSPE; ++position) {
            Player unit(file, context);
            unit.clear();
            unit.setValue(kPlayerId, Pro::unitId(team, position), 0);
            unit.setValue(kPlayerTeam, team, 0);
            unit.setValue(kPlayerPosition, position + kUnitOffset, 0);
            unit.setText(kPlayerName, std::string(table.teamName(false, team)) + " " +
                                          table.positionName(true, position));
            if (unit.insert() != kOk) {
                return kFailed;
            }
        }
    }
    return kOk;
}

}  // namespace

bool createSeasonFiles(Singleton& context, int year, std::string& error) {
    if (year < kFirstOpenableSeason || year > kLastListedSeason) {
        error = "A season must lie between 1994 and 2100.";
        return false;
    }
    std::optional<std::string> playerName = seasonFileName(SeasonFile::Plyr, year);
    if (recordFileExists(resolveNoCase(context.workdir() / *playerName))) {
        error = "The " + std::to_string(year) + " season already exists.";
        return false;
    }
    SeasonFileMaker maker(context, year);
    auto empty = [](auto&) { return kOk; };
    bool made =
        maker.begin(error) &&
        maker.make<kPlayerRecordSize>(
            SeasonFile::Plyr, [&](PlayerFile& f) { return seedTeamUnits(f, context, year); },
            error) &&
        maker.make<kTeamRecordSize>(SeasonFile::Team, empty, error) &&
        maker.make<kDivisionRecordSize>(SeasonFile::Div, empty, error) &&
        maker.make<kLeagueRecordSize>(
            SeasonFile::Leg, [&](LeagueFile& f) { return League::seedFile(f, context); }, error) &&
        maker.make<kDraftRecordSize>(SeasonFile::Draft, empty, error) &&
        maker.make<kScheduleRecordSize>(SeasonFile::Sched, Schedule::seedFile, error) &&
        maker.make<kStateRecordSize>(
            SeasonFile::State,
            [](RecordFile<kStateRecordSize>& f) { return addZeroRecord(f.db(), f.record()); },
            error) &&
        maker.keep(error);
    return made;
}

}  // namespace qff
