#include "data02/scoring/Scoring.h"

#include <algorithm>
#include <filesystem>

#include "data02/model/Pro.h"
#include "data02/scoring/Point_sum.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Statblock.h"

namespace qff {
namespace {

constexpr int kAnyLeague = -1;
constexpr int kGateCode = 0;

}  // namespace

int ScoreRecord::insert() {
    int status = insertRecord();
    if (status != kOk) {
        slot_ = -1;
    }
    return status;
}

void ScoreRecord::clear() {
    bytes_.fill(0);
    slot_ = -1;
}

ScoringSystem::ScoringSystem(Singleton& context)
    : context_(context),
      file_(context.memory(), SeasonFile::Score, context.workdir()),
      current_(file_) {
    setNflWeeks({});
}

int ScoringSystem::fail(std::string reason) {
    error_ = std::move(reason);
    return kFailed;
}

int ScoringSystem::openSeason(int year) {
    dropUnsavedChanges();
    current_.clear();
    if (file_.open(year, [this](ScoreFile& file) { return seedNewFile(file); }) != kOk) {
        return fail(file_.lastError());
    }
    // Points come from these records, so a file that lost some is not used.
    if (!file_.db().damage().empty()) {
        std::string notice = file_.db().damageNotice();
        file_.close();
        return fail(notice);
    }
    facts_.weeks = Pro::weeksOf(season());
    // Reopening may bring back a record that differs from what was computed with.
    scoringChanged();
    error_.clear();
    return file_.db().hasRecords() ? current_.load() : kOk;
}

int ScoringSystem::createSeason(int year) {
    ScoreFile fresh(context_.memory(), SeasonFile::Score, context_.workdir());
    std::filesystem::path path = fresh.pathFor(year);
    if (!path.empty() && recordFileExists(path)) {
        return fail(path.filename().string() + " already exists and was left as it is.");
    }
    if (fresh.open(year, [this](ScoreFile& file) { return seedNewFile(file); }) != kOk) {
        return fail(fresh.lastError());
    }
    error_.clear();
    return kOk;
}

void ScoringSystem::closeSeason() {
    dropUnsavedChanges();
    current_.clear();
    file_.close();
}

// A new season starts from the previous season's first record, league id
// included, so a league keeps its scoring from one year to the next.
int ScoringSystem::seedNewFile(ScoreFile& file) {
    if (!copyFirstRecord(file.year() - 1, file.record())) {
        fillDefaultScoring(file.record(), 0);
    }
    return file.db().addRecord();
}

bool ScoringSystem::copyFirstRecord(int year, ByteSpan into) {
    ScoreFile previous(context_.memory(), SeasonFile::Score, context_.workdir());
    if (previous.open(year) != kOk || !previous.db().hasRecords() ||
        !previous.db().damage().empty()) {
        return false;
    }
    std::copy(previous.record().begin(), previous.record().end(), into.begin());
    return true;
}

bool ScoringSystem::isCurrent(int leagueId) const {
    return current_.isStored() && current_.league() == leagueId;
}

int ScoringSystem::league() const {
    return current_.isStored() ? current_.league() : -1;
}

int ScoringSystem::selectLeague(int leagueId) {
    if (!file_.isOpen()) {
        return fail("No scoring file is open.");
    }
    if (isCurrent(leagueId)) {
        return kOk;
    }
    switch (loadLeague(leagueId)) {
        case Lookup::Found:
            return kOk;
        case Lookup::Missing:
            return storeDefaults(leagueId, false);
        default:
            return kFailed;
    }
}

int ScoringSystem::resetToDefaults(int leagueId) {
    if (!file_.isOpen()) {
        return fail("No scoring file is open.");
    }
    Lookup lookup = isCurrent(leagueId) ? Lookup::Found : loadLeague(leagueId);
    if (lookup == Lookup::Unreadable) {
        return kFailed;
    }
    return storeDefaults(leagueId, lookup == Lookup::Found);
}

ScoringSystem::Lookup ScoringSystem::loadLeague(int leagueId) {
    DBFile& db = file_.db();
    for (int slot = 0; slot < DBFile::kSlots; ++slot) {
        if (!db.isSlotUsed(slot)) {
            continue;
        }
        if (db.gotoSlot(slot) != kOk || db.readCurrent() != kOk) {
            fail("Cannot read the scoring file: " + db.lastError());
            return Lookup::Unreadable;
        }
        if (getI16(file_.record(), kScoreLeagueIdOffset) == leagueId) {
            dropUnsavedChanges();
            current_.load();
            return Lookup::Found;
        }
    }
    return Lookup::Missing;
}

int ScoringSystem::storeDefaults(int leagueId, bool inPlace) {
    fillDefaultScoring(current_.image(), leagueId);
    scoringChanged();
    int status = inPlace ? current_.save() : current_.insert();
    unsaved_ = status != kOk;
    if (status != kOk) {
        return fail("Cannot write the scoring file: " + file_.db().lastError());
    }
    return kOk;
}

int ScoringSystem::save() {
    if (!current_.isStored()) {
        return fail("The scoring record has no place in the scoring file.");
    }
    if (current_.save() != kOk) {
        return fail("Cannot write the scoring file: " + file_.db().lastError());
    }
    unsaved_ = false;
    return kOk;
}

int ScoringSystem::getValue(int code) const {
    return scoreItem(current_.bytes(), code);
}

int ScoringSystem::setValue(int code, int value) {
    int status = setScoreItem(current_.image(), code, value);
    if (status == kOk) {
        unsaved_ = true;
        scoringChanged();
    }
    return status;
}

int ScoringSystem::getTable(int code, std::span<std::int32_t> buffer) const {
    return readScoreTable(current_.bytes(), code, buffer);
}

int ScoringSystem::putTable(int code, std::span<const std::int32_t> buffer) {
    int status = writeScoreTable(current_.image(), code, buffer);
    if (status == kOk) {
        unsaved_ = true;
        scoringChanged();
    }
    return status;
}

// Franchise results are built from player points, so both sets go.
void ScoringSystem::scoringChanged() {
    context_.cache().dropAll(Cache::Set::Player, season());
    context_.cache().dropAll(Cache::Set::Franchise, season());
}

// Points remembered from edits that were never saved must not survive them.
void ScoringSystem::dropUnsavedChanges() {
    if (unsaved_) {
        scoringChanged();
        unsaved_ = false;
    }
}

void ScoringSystem::setNflWeeks(NflWeeks nfl) {
    nfl_ = std::move(nfl);
    SeasonState& state = context_.seasonState();
    facts_ = SeasonFacts{Pro::weeksOf(season()),
                         [&state](int week) { return state.weekHasStats(week) != 0; }, nfl_};
}

int ScoringSystem::statisticPoints(int rule, int value, int position) const {
    return qff::statisticPoints(current_.bytes(), rule, value, position);
}

int ScoringSystem::playerItemValue(const PlayerWeekView& player, int code, int week) const {
    return qff::playerItemValue(current_.bytes(), player, code, week, facts());
}

int ScoringSystem::playerPoints(const PlayerWeekView& player, int code, int week) {
    if (!current_.isStored()) {
        return playerItemValue(player, code, week);
    }
    // Season values ignore the week, so they are kept once, under the season week.
    int keyWeek = isSeasonItem(code) ? kAllWeeks : week;
    Cache::Key key{season(), player.id, keyWeek, current_.league(), code};
    if (std::optional<std::int64_t> known = context_.cache().find(Cache::Set::Player, key)) {
        return saturatedInt(*known);
    }
    int value = composedPoints(player, code, week);
    context_.cache().store(Cache::Set::Player, key, value);
    return value;
}

// Whether a team's week counts is asked for every player of the team, so it
// is remembered beside the points (under the team's QB unit and code 0, which
// scores nothing) and dropped with them.
bool ScoringSystem::teamWeekCounts(int team, int week) {
    Cache::Key key{season(), Pro::unitId(team, 0), week, kAnyLeague, kGateCode};
    if (std::optional<std::int64_t> known = context_.cache().find(Cache::Set::Player, key)) {
        return *known != 0;
    }
    bool counts = weekCounts(facts_, team, week);
    context_.cache().store(Cache::Set::Player, key, counts ? 1 : 0);
    return counts;
}

// A week's total is its bonus and the six areas, each of them memoised.
int ScoringSystem::weekTotal(const PlayerWeekView& player, int week) {
    if (!isWeekSlot(week) ||
        player.blocks.size() < static_cast<std::size_t>(kWeekSlots * kStatBlockSize) ||
        !teamWeekCounts(player.team, week)) {
        return 0;
    }
    ConstByteSpan block = player.blocks.subspan(week * kStatBlockSize, kStatBlockSize);
    std::int64_t total = rawValue(block, player.position, kPlayerBonus);
    for (int area = kPassPointsCode; area <= kSpecialTeamPointsCode; ++area) {
        // The week is known to count, so an area not yet remembered is scored directly.
        Cache::Key key{season(), player.id, week, current_.league(), area};
        std::optional<std::int64_t> known = context_.cache().find(Cache::Set::Player, key);
        std::int64_t points =
            known ? *known : weekItemPoints(current_.bytes(), block, player.position, area);
        if (!known) {
            context_.cache().store(Cache::Set::Player, key, points);
        }
        total += points;
    }
    return saturatedInt(total);
}

// Season figures and weekly totals are built from the memoised figures they
// consist of, so a report that asks for all of them evaluates each week's
// rules once. The results equal playerItemValue's.
int ScoringSystem::composedPoints(const PlayerWeekView& player, int code, int week) {
    int weeks = std::clamp(facts_.weeks, 0, kWeekSlots);
    auto weekly = [&](int weekCode, int w) { return playerPoints(player, weekCode, w); };
    auto sumOver = [&](int weekCode) {
        std::int64_t sum = 0;
        for (int w = 0; w < weeks; ++w) {
            sum += weekly(weekCode, w);
        }
        return saturatedInt(sum);
    };
    if (code >= kTotalPoints && code <= kSpecialTeamPointsCode && week == kAllWeeks) {
        return sumOver(code);
    }
    if (code >= kFirstSeasonPoints && code <= kLastSeasonPoints) {
        return sumOver(code - kFirstSeasonPoints + kTotalPoints);
    }
    if (code >= kFirstWeekPoints && code <= kLastWeekPoints) {
        return weekly(kTotalPoints, code - kFirstWeekPoints);
    }
    if (code == kTotalPoints) {
        return weekTotal(player, week);
    }
    if (code >= kHighWeek && code <= kAverageWeek) {
        return seasonWeekFigure(player, static_cast<WeekFigure>(code - kHighWeek), weeks);
    }
    return playerItemValue(player, code, week);
}

// A week without statistics scores nothing, so only the high week needs
// its total; the others skip it without evaluating it.
int ScoringSystem::seasonWeekFigure(const PlayerWeekView& player, WeekFigure which, int weeks) {
    SeasonState& state = context_.seasonState();
    WeekFigures figures;
    for (int w = 0; w < weeks; ++w) {
        bool counted = state.weekHasStats(w) != 0;
        if (counted || which == WeekFigure::High) {
            // A team's off weeks are asked one by one: a season may give it several.
            bool canBeLow = counted && !(nfl_.teamIsOff && nfl_.teamIsOff(player.team, w));
            figures.add(playerPoints(player, kTotalPoints, w), counted, canBeLow);
        }
    }
    return saturatedInt(figures.seasonValue(which, weeks));
}

void ScoringSystem::dropAllPlayerPoints() {
    context_.cache().dropAll(Cache::Set::Player, season());
}

void ScoringSystem::dropPlayerWeek(int playerId, int week) {
    // A team QB unit's passing decides whether the week counts for its whole team.
    if (Pro::isUnitId(playerId) && Pro::unitPosition(playerId) == Pro::kUnitPositionBase) {
        dropAllPlayerPoints();
        return;
    }
    context_.cache().dropWeek(Cache::Set::Player, season(), playerId, week);
    context_.cache().dropWeek(Cache::Set::Player, season(), playerId, kAllWeeks);
}

}  // namespace qff
