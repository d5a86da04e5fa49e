#include "data02/schedule/Schedule.h"

#include <algorithm>
#include <map>
#include <utility>

#include "data02/model/Divqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

constexpr int kSecondOffset = 4 * kScheduleSlots;
constexpr int kMaxEmptyWeeks = 10;
constexpr int kMonday = 1;

}  // namespace

// Counts of what a week holds and which teams have met anywhere in the record,
// kept in step with every placement so the search never rescans the record.
class Schedule::Occupancy {
  public:
    Occupancy(const std::array<ScheduleFantWeek, kWeekSlots>& weeks, int week) {
        for (int w = 0; w < kWeekSlots; ++w) {
            for (int s = 0; s < kScheduleSlots; ++s) {
                add(weeks[w].first[s], weeks[w].second[s], w == week, 1);
            }
        }
    }

    void replace(ScheduleFantWeek& week, int slot, int a, int b) {
        add(week.first[slot], week.second[slot], true, -1);
        week.first[slot] = a;
        week.second[slot] = b;
        add(a, b, true, 1);
    }

    bool inWeek(int team) const { return count(present_, team) != 0; }
    bool met(int a, int b) const { return count(met_, std::minmax(a, b)) != 0; }

  private:
    template <class Map, class Key>
    static int count(const Map& map, const Key& key) {
        auto it = map.find(key);
        return it == map.end() ? 0 : it->second;
    }

    void add(int a, int b, bool thisWeek, int delta) {
        met_[std::minmax(a, b)] += delta;
        if (thisWeek) {
            present_[a] += delta;
            present_[b] += delta;
        }
    }

    std::map<int, int> present_;
    std::map<std::pair<int, int>, int> met_;
};

namespace {

bool isFranchise(int side) {
    return side > 0 && side != kByeSide;
}

// Pass 1: placeholders go, sides naming no franchise become byes.
void dropUnknownSides(ScheduleFantWeek& week, const Schedule::Exists& exists) {
    for (int s = 0; s < kScheduleSlots; ++s) {
        for (std::int32_t* side : {&week.first[s], &week.second[s]}) {
            if (*side < 0) {
                *side = kEmptySide;
            } else if (isFranchise(*side) && !exists(*side)) {
                *side = kByeSide;
            }
        }
    }
}

// Pass 2: every slot becomes empty, (franchise, franchise) or (franchise, bye).
void settleSlot(std::int32_t& first, std::int32_t& second) {
    if (first == kByeSide || first == kEmptySide) {
        bool lone = isFranchise(second);
        first = lone ? second : kEmptySide;
        second = lone ? kByeSide : kEmptySide;
    } else if (second == kEmptySide) {
        second = kByeSide;
    }
}

// Pass 3: used slots move to the front in order.
void packWeek(ScheduleFantWeek& week) {
    int to = 0;
    for (int s = 0; s < kScheduleSlots; ++s) {
        if (week.first[s] > 0) {
            week.first[to] = week.first[s];
            week.second[to] = week.second[s];
            ++to;
        }
    }
    std::fill(week.first.begin() + to, week.first.end(), kEmptySide);
    std::fill(week.second.begin() + to, week.second.end(), kEmptySide);
}

void removeSide(ScheduleFantWeek& week, int franchise) {
    for (int s = 0; s < kScheduleSlots; ++s) {
        if (week.first[s] == franchise) {
            week.first[s] = kEmptySide;
        } else if (week.second[s] == franchise) {
            week.second[s] = kEmptySide;
        }
    }
}

ByteSpan weekBytes(ByteSpan record, int week) {
    return record.subspan(Schedule::kWeeksOffset + ScheduleFantWeek::kSize * week,
                          ScheduleFantWeek::kSize);
}

}  // namespace

void ScheduleFantWeek::read(ConstByteSpan bytes) {
    for (int s = 0; s < kScheduleSlots; ++s) {
        first[s] = getI32(bytes, 4 * s);
        second[s] = getI32(bytes, kSecondOffset + 4 * s);
    }
}

void ScheduleFantWeek::write(ByteSpan bytes) const {
    for (int s = 0; s < kScheduleSlots; ++s) {
        putI32(bytes, 4 * s, first[s]);
        putI32(bytes, kSecondOffset + 4 * s, second[s]);
    }
}

bool ScheduleFantWeek::isEmpty() const {
    return first[0] == kEmptySide && second[0] == kEmptySide;
}

void NflWeek::read(ConstByteSpan bytes) {
    for (int i = 0; i < kNflGameSlots; ++i) {
        gameSlots[i] = {getU8(bytes, i), getI32(bytes, kDatesOffset + 4 * i),
                        getI32(bytes, kDates2Offset + 4 * i), getI32(bytes, kHomeOffset + 4 * i),
                        getI32(bytes, kAwayOffset + 4 * i)};
    }
}

void NflWeek::write(ByteSpan bytes) const {
    for (int i = 0; i < kNflGameSlots; ++i) {
        putU8(bytes, i, static_cast<std::uint8_t>(gameSlots[i].day));
        putI32(bytes, kDatesOffset + 4 * i, gameSlots[i].date1);
        putI32(bytes, kDates2Offset + 4 * i, gameSlots[i].date2);
        putI32(bytes, kHomeOffset + 4 * i, gameSlots[i].home);
        putI32(bytes, kAwayOffset + 4 * i, gameSlots[i].away);
    }
}

std::vector<NflGame> NflWeek::used() const {
    auto end = std::find_if(gameSlots.begin(), gameSlots.end(),
                            [](const NflGame& g) { return g.day == 0; });
    return {gameSlots.begin(), end};
}

std::vector<NflGame> NflWeek::games() const {
    std::vector<NflGame> result = used();
    std::erase_if(result, [](const NflGame& g) { return g.day > kOffDay; });
    return result;
}

std::vector<int> NflWeek::offTeams() const {
    std::vector<int> teams;
    for (const NflGame& g : used()) {
        if (g.day > kOffDay) {
            teams.push_back(g.home);
        }
    }
    return teams;
}

bool GenerationResult::complete() const {
    return status == kOk && std::all_of(groups.begin(), groups.end(), [](const GroupResult& g) {
               return g.outcome == GroupResult::Outcome::Done;
           });
}

Schedule::Schedule(Singleton& context)
    : context_(context), file_(context.memory(), SeasonFile::Sched, context.workdir()) {}

int Schedule::seedFile(ScheduleFile& file) {
    std::ranges::fill(file.record(), 0);
    return file.db().addRecord();
}

int Schedule::fail(std::string reason) {
    error_ = std::move(reason);
    return kFailed;
}

int Schedule::open(int year) {
    close();
    if (file_.open(year) != kOk) {
        return fail(file_.lastError());
    }
    DBFile& db = file_.db();
    // The season writes its schedule back, so a damaged file is not used.
    if (!db.damage().empty()) {
        std::string notice = db.damageNotice();
        file_.close();
        return fail(notice);
    }
    if (db.hasRecords() && db.readFirst() != kOk) {
        std::string reason = db.lastError();
        file_.close();
        return fail("Cannot read the NFL schedule: " + reason);
    }
    ConstByteSpan record = file_.record();
    for (int w = 0; w < kWeekSlots; ++w) {
        nfl_[w].read(record.subspan(kNflWeeksOffset + NflWeek::kSize * w, NflWeek::kSize));
    }
    error_.clear();
    return kOk;
}

void Schedule::close() {
    file_.close();
    nfl_ = {};
    league_ = -1;
    slot_ = -1;
    position_ = -1;
    iterWeek_ = -1;
}

NflWeek Schedule::nflWeek(int week) const {
    return isWeekSlot(week) ? nfl_[week] : NflWeek{};
}

bool Schedule::teamIsOff(int team, int week) const {
    if (week < 0 || week >= std::min(context_.pro().weeks(), kWeekSlots)) {
        return false;
    }
    std::vector<int> off = nfl_[week].offTeams();
    return std::find(off.begin(), off.end(), team) != off.end();
}

std::pair<int, int> Schedule::firstMondayGame(int week) const {
    for (const NflGame& game : nflWeek(week).used()) {
        if (game.day == kMonday) {
            return {game.home, game.away};
        }
    }
    return {-1, -1};
}

std::vector<int> Schedule::leagueSlots() {
    std::vector<int> slots;
    for (int slot = 0; slot < DBFile::kSlots; ++slot) {
        if (file_.db().isSlotUsed(slot)) {
            slots.push_back(slot);
        }
    }
    if (!slots.empty()) {
        slots.erase(slots.begin());
    }
    return slots;
}

// Leaves the league's record in the file buffer and returns its slot; -1 when
// no league record has the id, -2 when the file could not be read.
int Schedule::findLeague(int league) {
    DBFile& db = file_.db();
    for (int slot : leagueSlots()) {
        if (db.gotoSlot(slot) != kOk || db.readCurrent() != kOk) {
            fail("Cannot read the schedule file: " + db.lastError());
            return -2;
        }
        if (getI32(file_.record(), kLeagueOffset) == league) {
            return slot;
        }
    }
    return -1;
}

int Schedule::load(int league, bool create) {
    if (!file_.isOpen()) {
        return fail("No schedule file is open.");
    }
    if (league_ == league && slot_ >= 0) {
        return kOk;
    }
    int slot = findLeague(league);
    if (slot == -2) {
        return kFailed;
    }
    if (slot == -1) {
        return create ? addLeague(league)
                      : fail("League " + std::to_string(league) + " has no schedule.");
    }
    ConstByteSpan record = file_.record();
    for (int w = 0; w < kWeekSlots; ++w) {
        weeks_[w].read(weekBytes(file_.record(), w));
    }
    std::copy_n(record.begin() + kReservedOffset, kReservedSize, reserved_.begin());
    league_ = league;
    slot_ = slot;
    return kOk;
}

int Schedule::addLeague(int league) {
    DBFile& db = file_.db();
    // The first record is the NFL schedule whatever it holds, so a league
    // record must never become the first.
    if (!db.hasRecords()) {
        return fail("The schedule file has no NFL schedule record.");
    }
    std::ranges::fill(file_.record(), 0);
    putI32(file_.record(), kLeagueOffset, league);
    if (db.addRecord() != kOk) {
        return fail("Cannot add a schedule record: " + db.lastError());
    }
    clearWeeks();
    reserved_.fill(0);
    league_ = league;
    slot_ = db.currentSlot();
    return kOk;
}

int Schedule::selectLeague(int league) {
    return load(league, true);
}

int Schedule::writeCurrent() {
    if (!file_.isOpen() || slot_ < 0) {
        return fail("No league schedule is current.");
    }
    ByteSpan record = file_.record();
    putI32(record, kLeagueOffset, league_);
    for (int w = 0; w < kWeekSlots; ++w) {
        weeks_[w].write(weekBytes(record, w));
    }
    std::copy(reserved_.begin(), reserved_.end(), record.begin() + kReservedOffset);
    DBFile& db = file_.db();
    if (db.gotoSlot(slot_) != kOk || db.writeCurrent() != kOk) {
        return fail("Cannot write the schedule file: " + db.lastError());
    }
    return kOk;
}

void Schedule::clearWeeks() {
    weeks_.fill(ScheduleFantWeek{});
}

bool Schedule::hasSchedule(int league) {
    int weeks = std::min(context_.pro().weeks(), kWeekSlots);
    if (league_ == league && slot_ >= 0) {
        return std::any_of(weeks_.begin(), weeks_.begin() + weeks,
                           [](const ScheduleFantWeek& w) { return !w.isEmpty(); });
    }
    if (!file_.isOpen() || findLeague(league) < 0) {
        return false;
    }
    for (int w = 0; w < weeks; ++w) {
        ConstByteSpan bytes = weekBytes(file_.record(), w);
        if (getI32(bytes, 0) != kEmptySide || getI32(bytes, kSecondOffset) != kEmptySide) {
            return true;
        }
    }
    return false;
}

int Schedule::reset(int league) {
    if (league >= 0) {
        if (selectLeague(league) != kOk) {
            return kFailed;
        }
        std::set<int> touched = idsInRecord();
        clearWeeks();
        int status = writeCurrent();
        touched.merge(leagueFranchises(league));
        dropPoints(touched);
        return status;
    }
    return resetAll();
}

int Schedule::resetAll() {
    if (!file_.isOpen()) {
        return fail("No schedule file is open.");
    }
    DBFile& db = file_.db();
    int status = kOk;
    for (int slot : leagueSlots()) {
        if (db.gotoSlot(slot) != kOk || db.readCurrent() != kOk) {
            status = fail("Cannot read the schedule file: " + db.lastError());
            continue;
        }
        std::fill_n(file_.record().begin() + kWeeksOffset, kReservedOffset - kWeeksOffset, 0);
        if (db.writeCurrent() != kOk) {
            status = fail("Cannot write the schedule file: " + db.lastError());
        }
    }
    clearWeeks();
    dropAllPoints();
    return status;
}

int Schedule::getFantasyWeek(int week, ScheduleFantWeek& out) const {
    if (!isWeekSlot(week) || slot_ < 0) {
        return kFailed;
    }
    out = weeks_[week];
    return kOk;
}

int Schedule::putFantasyWeek(int week, const ScheduleFantWeek& in) {
    if (!isWeekSlot(week) || slot_ < 0) {
        return kFailed;
    }
    std::set<int> touched = idsInRecord();
    weeks_[week] = in;
    touched.merge(idsInRecord());
    touched.merge(leagueFranchises(league_));
    dropPoints(touched);
    return kOk;
}

int Schedule::save() {
    return writeCurrent();
}

int Schedule::firstOpponent(int week, int franchise) {
    position_ = -1;
    iterWeek_ = week;
    iterTeam_ = franchise;
    return nextOpponent();
}

int Schedule::nextOpponent() {
    if (slot_ < 0 || !isWeekSlot(iterWeek_) || !isFranchise(iterTeam_)) {
        return -1;
    }
    const ScheduleFantWeek& week = weeks_[iterWeek_];
    while (++position_ < kScheduleSlots) {
        if (week.first[position_] == iterTeam_) {
            return week.second[position_];
        }
        if (week.second[position_] == iterTeam_) {
            return week.first[position_];
        }
    }
    return -1;
}

std::vector<int> Schedule::opponents(int league, int week, int franchise) {
    std::vector<int> result;
    if (load(league, false) != kOk) {
        return result;
    }
    for (int id = firstOpponent(week, franchise); id != -1; id = nextOpponent()) {
        result.push_back(id);
    }
    return result;
}

std::vector<FantasyGame> Schedule::games(int league, int week) {
    std::vector<FantasyGame> result;
    if (!isWeekSlot(week) || load(league, false) != kOk) {
        return result;
    }
    const ScheduleFantWeek& games = weeks_[week];
    for (int s = 0; s < kScheduleSlots; ++s) {
        if (games.first[s] != kEmptySide) {
            result.push_back({games.first[s], games.second[s]});
        }
    }
    return result;
}

int Schedule::removeFranchise(int franchise) {
    if (!file_.isOpen()) {
        return fail("No schedule file is open.");
    }
    Owned<ScheduleFantWeek> scratch =
        context_.memory().make<ScheduleFantWeek>(Kind::ScheduleFantWeek);
    if (!scratch) {
        return kNoMemory;
    }
    DBFile& db = file_.db();
    int status = kOk;
    for (int slot : leagueSlots()) {
        if (slot == slot_) {
            continue;
        }
        if (db.gotoSlot(slot) != kOk || db.readCurrent() != kOk) {
            status = fail("Cannot read the schedule file: " + db.lastError());
            continue;
        }
        for (int w = 0; w < kWeekSlots; ++w) {
            scratch->read(weekBytes(file_.record(), w));
            removeSide(*scratch, franchise);
            cleanUpWeek(*scratch);
            scratch->write(weekBytes(file_.record(), w));
        }
        if (db.writeCurrent() != kOk) {
            status = fail("Cannot write the schedule file: " + db.lastError());
        }
    }
    if (slot_ >= 0) {
        for (ScheduleFantWeek& week : weeks_) {
            removeSide(week, franchise);
            cleanUpWeek(week);
        }
        status = writeCurrent() == kOk ? status : kFailed;
    }
    dropAllPoints();
    return status;
}

int Schedule::storeWeek(int league, int week, std::span<const FantasyGame> games) {
    if (checkWeek(league, week, games) != kOk || selectLeague(league) != kOk) {
        return kFailed;
    }
    ScheduleFantWeek stored;
    for (std::size_t s = 0; s < games.size(); ++s) {
        stored.first[s] = games[s].home;
        stored.second[s] = games[s].away;
    }
    cleanUpWeek(stored);
    ScheduleFantWeek previous = weeks_[week];
    putFantasyWeek(week, stored);
    if (writeCurrent() != kOk) {
        weeks_[week] = previous;
        return kFailed;
    }
    return kOk;
}

int Schedule::setGame(int league, int week, FantasyGame game) {
    std::vector<FantasyGame> kept;
    for (const FantasyGame& held : games(league, week)) {
        bool byeGivingWay =
            held.away == kByeSide && (held.home == game.home || held.home == game.away);
        if (!byeGivingWay) {
            kept.push_back(held);
        }
    }
    kept.push_back(game);
    return storeWeek(league, week, kept);
}

int Schedule::clearWeek(int league, int week) {
    return storeWeek(league, week, {});
}

int Schedule::checkWeek(int league, int week, std::span<const FantasyGame> games) {
    if (!file_.isOpen()) {
        return fail("No schedule file is open.");
    }
    int weeks = std::min(context_.pro().weeks(), kWeekSlots);
    if (week < 0 || week >= weeks) {
        return fail("Week " + std::to_string(week + 1) + " is outside the season's " +
                    std::to_string(weeks) + " weeks.");
    }
    if (games.size() > static_cast<std::size_t>(kScheduleSlots)) {
        return fail("A week holds at most " + std::to_string(kScheduleSlots) + " games.");
    }
    std::set<int> members = leagueFranchises(league);
    bool several = context_.preferences().get(kPrefSeveralGamesAWeek) != 0;
    std::set<int> playing;
    for (const FantasyGame& game : games) {
        if (checkSide(members, game.home) != kOk || checkSide(members, game.away) != kOk) {
            return kFailed;
        }
        if (isFranchise(game.home) && game.home == game.away) {
            return fail("Teams are not allowed to play themselves.");
        }
        for (int side : {game.home, game.away}) {
            if (isFranchise(side) && !playing.insert(side).second && !several) {
                return fail("Franchise \"" + franchiseName(side) +
                            "\" would play more than once in week " + std::to_string(week + 1) +
                            ".");
            }
        }
    }
    return kOk;
}

// A side may be empty or a bye; a franchise must exist and belong to the league.
int Schedule::checkSide(const std::set<int>& league, int side) {
    if (side == kEmptySide || side == kByeSide) {
        return kOk;
    }
    if (!isFranchise(side) || !exists(side)) {
        return fail("No franchise has the id " + std::to_string(side) + ".");
    }
    if (!league.contains(side)) {
        return fail("Franchise \"" + franchiseName(side) + "\" belongs to another league.");
    }
    return kOk;
}

void Schedule::cleanUpWeek(ScheduleFantWeek& week, const Exists& exists) {
    dropUnknownSides(week, exists);
    for (int s = 0; s < kScheduleSlots; ++s) {
        settleSlot(week.first[s], week.second[s]);
    }
    packWeek(week);
}

void Schedule::cleanUpWeek(ScheduleFantWeek& week) const {
    cleanUpWeek(week, [this](int id) { return exists(id); });
}

bool Schedule::exists(int franchise) const {
    return context_.mapFactory().franchises().findFirst(kFranchiseId, franchise) != nullptr;
}

std::string Schedule::franchiseName(int franchise) const {
    const Team* team = context_.mapFactory().franchises().findFirst(kFranchiseId, franchise);
    return team ? team->text(kFranchiseName) : std::to_string(franchise);
}

std::set<int> Schedule::idsInRecord() const {
    std::set<int> ids;
    for (const ScheduleFantWeek& week : weeks_) {
        for (int s = 0; s < kScheduleSlots; ++s) {
            for (int side : {week.first[s], week.second[s]}) {
                if (isFranchise(side)) {
                    ids.insert(side);
                }
            }
        }
    }
    return ids;
}

std::set<int> Schedule::leagueFranchises(int league) const {
    std::set<int> ids;
    int values[] = {league};
    for (const Team* team :
         context_.mapFactory().franchises().selectByValues(kFranchiseLeague, values)) {
        ids.insert(team->id());
    }
    return ids;
}

void Schedule::dropPoints(const std::set<int>& ids) {
    int seasons[] = {context_.preferences().get(kPrefOpenSeason), season()};
    for (int id : ids) {
        for (int year : seasons) {
            context_.cache().dropObject(Cache::Set::Franchise, year, id);
        }
    }
}

void Schedule::dropAllPoints() {
    context_.cache().dropAll(Cache::Set::Franchise, context_.preferences().get(kPrefOpenSeason));
    context_.cache().dropAll(Cache::Set::Franchise, season());
}

int Schedule::groupWeeks() const {
    int empty = std::clamp(context_.preferences().get(kPrefEmptyWeeksAtEnd), 0, kMaxEmptyWeeks);
    return std::clamp(context_.pro().weeks() - empty, 0, kWeekSlots);
}

GenerationResult Schedule::generateLeague(int league) {
    GenerationResult result;
    if (selectLeague(league) != kOk) {
        result.status = kFailed;
        return result;
    }
    std::set<int> touched = idsInRecord();
    clearWeeks();
    std::set<int> divisions;
    const RecordCache<Team>& franchises = context_.mapFactory().franchises();
    for (const Division* division : context_.divisionQuery().leagueDivisions(league)) {
        int id = division->getValue(kDivisionId);
        divisions.insert(id);
        int values[] = {id};
        std::vector<int> ids;
        for (const Team* team : franchises.selectByValues(kFranchiseDivision, values)) {
            ids.push_back(team->id());
        }
        result.groups.push_back(generateDivision(id, ids));
    }
    std::vector<int> unassigned;
    int values[] = {league};
    for (const Team* team : franchises.selectByValues(kFranchiseLeague, values)) {
        if (!divisions.contains(team->getValue(kFranchiseDivision, kAllWeeks))) {
            unassigned.push_back(team->id());
        }
    }
    if (!unassigned.empty()) {
        result.groups.push_back(generateDivision(kNoDivision, unassigned));
    }
    result.status = writeCurrent();
    touched.merge(idsInRecord());
    touched.merge(leagueFranchises(league));
    dropPoints(touched);
    return result;
}

GroupResult Schedule::generateDivision(int division, const std::vector<int>& ids) {
    GroupResult result{division, static_cast<int>(ids.size()), GroupResult::Outcome::TooLarge};
    if (result.franchises <= kMaxGroup) {
        result.outcome = generateGroup(ids);
    }
    return result;
}

GroupResult::Outcome Schedule::generateGroup(std::span<const int> teams) {
    int size = static_cast<int>(teams.size());
    if (size + size % 2 > kMaxGroup) {
        return GroupResult::Outcome::TooLarge;
    }
    if (slot_ < 0) {
        fail("No league schedule is current.");
        return GroupResult::Outcome::Incomplete;
    }
    prepareGroup(teams);
    int rounds = static_cast<int>(group_.size()) - 1;
    bool failed = false;
    for (int week = 0; week < groupWeeks(); ++week) {
        flipped_ = !flipped_;
        if (rounds <= 0) {
            continue;
        }
        bool placed = week < rounds ? fillWeek(week) : copyRound(week);
        failed = failed || !placed;
    }
    finishGroup();
    return failed ? GroupResult::Outcome::Incomplete : GroupResult::Outcome::Done;
}

void Schedule::prepareGroup(std::span<const int> teams) {
    group_.assign(teams.begin(), teams.end());
    if (group_.size() % 2 != 0) {
        group_.push_back(kFillerSide);
    }
    for (int w = 0; w < kWeekSlots; ++w) {
        const auto& first = weeks_[w].first;
        auto last = std::find_if(first.rbegin(), first.rend(), [](int side) { return side != 0; });
        firstFree_[w] = static_cast<int>(first.rend() - last);
    }
    pairs_.clear();
    for (int a : group_) {
        for (int b : group_) {
            if (a != b) {
                pairs_.push_back({a, b});
            }
        }
    }
}

bool Schedule::fillWeek(int week) {
    int games = static_cast<int>(group_.size()) / 2;
    if (firstFree_[week] + games > kScheduleSlots) {
        return false;
    }
    Occupancy occupancy(weeks_, week);
    bool filled = search(week, firstFree_[week], 0, occupancy);
    for (Pair& pair : pairs_) {
        pair.blocked = pair.blocked || (filled && pair.used);
        pair.used = false;
    }
    return filled;
}

bool Schedule::search(int week, int slot, int from, Occupancy& occupancy) {
    int last = firstFree_[week] + static_cast<int>(group_.size()) / 2 - 1;
    for (int i = from; i < static_cast<int>(pairs_.size()); ++i) {
        Pair& pair = pairs_[i];
        if (pair.used || pair.blocked || occupancy.inWeek(pair.a) || occupancy.inWeek(pair.b) ||
            occupancy.met(pair.a, pair.b)) {
            continue;
        }
        occupancy.replace(weeks_[week], slot, flipped_ ? pair.b : pair.a,
                          flipped_ ? pair.a : pair.b);
        pair.used = true;
        if (slot == last || search(week, slot + 1, i + 1, occupancy)) {
            return true;
        }
        occupancy.replace(weeks_[week], slot, kUnfilledSide, kUnfilledSide);
        pair.used = false;
        ++i;  // the pair right after an undone one is passed over as well
    }
    return false;
}

// Copies only the group's own games, so a week laid out differently from its
// source never picks up another group's games.
bool Schedule::copyRound(int week) {
    int games = static_cast<int>(group_.size()) / 2;
    int source = week - (static_cast<int>(group_.size()) - 1);
    if (firstFree_[week] + games > kScheduleSlots) {
        return false;
    }
    const ScheduleFantWeek& from = weeks_[source];
    ScheduleFantWeek& to = weeks_[week];
    for (int g = 0; g < games; ++g) {
        int s = firstFree_[source] + g;
        int t = firstFree_[week] + g;
        bool inRange = s < kScheduleSlots;
        int home = inRange ? from.first[s] : kUnfilledSide;
        int away = inRange ? from.second[s] : kUnfilledSide;
        to.first[t] = flipped_ ? away : home;
        to.second[t] = flipped_ ? home : away;
    }
    return true;
}

// Whether or not every week filled, placeholders never stay in the record:
// a team drawn against the filler gets a bye, an unfilled slot disappears.
void Schedule::finishGroup() {
    int weeks = std::min(context_.pro().weeks(), kWeekSlots);
    for (int w = 0; w < weeks; ++w) {
        ScheduleFantWeek& week = weeks_[w];
        for (int s = 0; s < kScheduleSlots; ++s) {
            week.first[s] = week.first[s] == kFillerSide ? kUnfilledSide : week.first[s];
            week.second[s] = week.second[s] == kFillerSide ? kUnfilledSide : week.second[s];
            if (week.first[s] == kUnfilledSide && week.second[s] >= 0) {
                week.first[s] = week.second[s];
                week.second[s] = kByeSide;
            }
        }
        cleanUpWeek(week);
    }
}

}  // namespace qff
