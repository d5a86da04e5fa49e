#include "data02/demo/Demo.h"

#include <array>

#include <algorithm>
#include <filesystem>
#include <map>
#include <span>

#include "data02/intake/Statsmerge.h"
#include "data02/league/Draftorder.h"
#include "data02/league/Rosters.h"
#include "data02/model/Divqry.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

constexpr std::array kFirstNames = {
    "Aaron",  "Adrian",  "Alvin",   "Andre",  "Barry",  "Ben",    "Brett",   "Bruce",  "Calvin",
    "Carl",   "Chad",    "Chris",   "Curtis", "Dan",    "Darren", "Deion",   "Derek",  "Drew",
    "Duane",  "Earl",    "Eddie",   "Emmitt", "Eric",   "Frank",  "Fred",    "Gary",   "Glenn",
    "Hines",  "Isaac",   "Jamal",   "Jerome", "Jim",    "Joe",    "Keenan",  "Kevin",  "Kurt",
    "Lamar",  "Larry",   "Marcus",  "Mark",   "Marvin", "Matt",   "Michael", "Nate",   "Omar",
    "Peyton", "Priest",  "Randy",   "Reggie", "Ricky",  "Rod",    "Ron",     "Sam",    "Shaun",
    "Steve",  "Terrell", "Thurman", "Tim",    "Tony",   "Troy",   "Walter",  "Warren", "Willie",
};

constexpr std::array kLastNames = {
    "Abbott",   "Alder",    "Ashby",    "Bancroft", "Barlow",  "Beckett", "Bramley", "Calder",
    "Carver",   "Chandler", "Colby",    "Crane",    "Dalton",  "Darby",   "Dawes",   "Ellison",
    "Fairley",  "Fenwick",  "Garner",   "Gilmore",  "Hadley",  "Harlan",  "Hollis",  "Irwin",
    "Jarvis",   "Keller",   "Kingsley", "Langford", "Lowell",  "Maddox",  "Marlow",  "Merritt",
    "Nolan",    "Oakley",   "Padgett",  "Prescott", "Quinlan", "Radley",  "Rowan",   "Sayer",
    "Sheldon",  "Stanton",  "Talbot",   "Thorne",   "Upton",   "Vance",   "Walcott", "Wheeler",
    "Whitaker", "Yardley",  "Yates",    "Ziegler",
};

constexpr std::array kFranchiseNames = {
    "Ridgeway Rams",    "Harbor Hawks",    "Millbrook Miners", "Cedar Comets",
    "Lakeside Lancers", "Granite Giants",  "Prairie Pilots",   "Riverbend Rebels",
    "Summit Storm",     "Bayview Bandits", "Foxhill Flyers",   "Oakdale Outlaws",
    "Pinecrest Pumas",  "Stonegate Stags", "Westfield Wolves", "Elm Street Eagles",
};

// The mix of one team's individual players, by position code.
struct PositionMix {
    int position;
    int share;
};
constexpr PositionMix kMix[] = {{0, 5}, {1, 10}, {2, 14}, {3, 7}, {4, 3}, {5, 8}, {6, 3}};
constexpr int kMixTotal = 50;

template <class Names>
const char* pick(const Names& names, DemoRandom& random) {
    return names[random.between(0, static_cast<int>(names.size()) - 1)];
}

int positionFor(int slotInTeam, int playersPerTeam) {
    int scaled = slotInTeam * kMixTotal / playersPerTeam;
    for (const PositionMix& mix : kMix) {
        if (scaled < mix.share) {
            return mix.position;
        }
        scaled -= mix.share;
    }
    return kMix[0].position;
}

}  // namespace

std::uint32_t DemoRandom::next() {
    // A 64-bit linear congruential step, taking the well-mixed high bits.
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state_ >> 33);
}

int DemoRandom::between(int low, int high) {
    return high <= low ? low : low + static_cast<int>(next() % (high - low + 1));
}

std::vector<DemoPlayer> demoPlayers(int year, const DemoOptions& options) {
    DemoRandom random(options.seed);
    std::vector<int> teams;
    for (int team = 0; team < Pro::kTeamSlots; ++team) {
        if (Pro::isValid(team, year)) {
            teams.push_back(team);
        }
    }
    std::vector<DemoPlayer> players;
    int id = 1;
    for (int team : teams) {
        for (int slot = 0; slot < options.playersPerTeam; ++slot) {
            std::string name =
                std::string(pick(kFirstNames, random)) + " " + pick(kLastNames, random);
            players.push_back({id++, name, team, positionFor(slot, options.playersPerTeam),
                               random.between(50, 100)});
        }
    }
    return players;
}

bool addDemoPlayers(Singleton& context, const std::vector<DemoPlayer>& players,
                    std::string& error) {
    MapFactory& caches = context.mapFactory();
    for (const DemoPlayer& demo : players) {
        Owned<Player> player =
            context.memory().makeRecord<Player>(Kind::Player, context.playerFile(), context);
        if (!player) {
            error = "Out of memory while adding players.";
            return false;
        }
        player->clear();
        player->setValue(kPlayerId, demo.id, 0);
        player->setValue(kPlayerTeam, demo.team, 0);
        player->setValue(kPlayerPosition, demo.position, 0);
        player->setText(kPlayerName, demo.name);
        if (caches.add(caches.players(), player) != kOk) {
            error = "Cannot add " + demo.name + ": " + context.playerFile().db().lastError();
            return false;
        }
    }
    return true;
}

namespace {

// Touchdown and field-goal yardages go into the eight slots of their group.
void addSlots(PtsRecord& record, int firstCode, int count, int low, int high, DemoRandom& random) {
    for (int i = 0; i < std::min(count, 8); ++i) {
        record.values.emplace_back(firstCode + i, random.between(low, high));
    }
}

// How many of something happen in a week: mostly few, sometimes more.
int fewOf(DemoRandom& random, int most) {
    int roll = random.between(0, 99);
    return roll < 45 ? 0 : roll < 80 ? std::min(1, most) : roll < 95 ? std::min(2, most) : most;
}

void quarterbackWeek(PtsRecord& r, DemoRandom& random) {
    int thrown = random.between(22, 45);
    r.values.emplace_back(9, thrown);
    r.values.emplace_back(10, thrown * random.between(52, 72) / 100);
    r.values.emplace_back(11, fewOf(random, 3));
    r.values.emplace_back(12, random.between(120, 360));
    addSlots(r, 13, fewOf(random, 4), 1, 65, random);
    r.values.emplace_back(24, random.between(0, 6));
    r.values.emplace_back(25, random.between(-4, 35));
    addSlots(r, 26, fewOf(random, 1) * fewOf(random, 1), 1, 12, random);
}

void runningBackWeek(PtsRecord& r, DemoRandom& random) {
    r.values.emplace_back(24, random.between(6, 26));
    r.values.emplace_back(25, random.between(10, 150));
    addSlots(r, 26, fewOf(random, 2), 1, 45, random);
    r.values.emplace_back(37, random.between(0, 6));
    r.values.emplace_back(38, random.between(0, 55));
    addSlots(r, 39, fewOf(random, 1) * fewOf(random, 1), 5, 40, random);
}

void receiverWeek(PtsRecord& r, DemoRandom& random, int most, int yards) {
    r.values.emplace_back(37, random.between(1, most));
    r.values.emplace_back(38, random.between(5, yards));
    addSlots(r, 39, fewOf(random, 2) * fewOf(random, 1), 3, 70, random);
}

void kickerWeek(PtsRecord& r, DemoRandom& random) {
    r.values.emplace_back(50, random.between(0, 5));
    addSlots(r, 51, fewOf(random, 4), 19, 55, random);
}

void defenseWeek(PtsRecord& r, DemoRandom& random) {
    r.values.emplace_back(72, fewOf(random, 3));
    r.values.emplace_back(73, fewOf(random, 3));
    r.values.emplace_back(74, random.between(0, 6));
    r.values.emplace_back(75, fewOf(random, 1) * fewOf(random, 1));
    r.values.emplace_back(76, random.between(180, 450));
    r.values.emplace_back(77, random.between(3, 38));
    addSlots(r, 78, fewOf(random, 1) * fewOf(random, 1), 5, 95, random);
}

void specialTeamsWeek(PtsRecord& r, DemoRandom& random) {
    r.values.emplace_back(61, random.between(40, 220));
    addSlots(r, 62, fewOf(random, 1) * fewOf(random, 1), 40, 100, random);
}

// Yardages follow the player's talent; counts and touchdown lengths do not.
void scaleByTalent(PtsRecord& record, int talent) {
    for (auto& [code, value] : record.values) {
        if (code == 12 || code == 25 || code == 38) {
            value = value * talent / 100;
        }
    }
}

// Not every player on a team plays every week.
bool takesTheField(int position, DemoRandom& random) {
    int chance = position == kQB ? 35 : position == kPK ? 70 : 75;
    return random.between(0, 99) < chance;
}

PtsRecord unitRecord(const Pro& table, int team, int position, int week) {
    PtsRecord r;
    r.name = std::string(table.teamName(false, team)) + " " + table.positionName(true, position);
    r.team = team;
    r.position = position;
    r.id = Pro::unitId(team, position);
    r.week = week;
    return r;
}

}  // namespace

std::vector<PtsRecord> demoWeekRecords(const Pro& table, const std::vector<DemoPlayer>& players,
                                       int week, const std::vector<bool>& teamPlays,
                                       DemoRandom& random) {
    std::vector<PtsRecord> records;
    auto plays = [&](int team) {
        return team >= 0 && team < static_cast<int>(teamPlays.size()) && teamPlays[team];
    };
    for (const DemoPlayer& player : players) {
        if (!plays(player.team) || player.position > kPK ||
            !takesTheField(player.position, random)) {
            continue;
        }
        PtsRecord r{player.name, player.team, player.position, player.id, week, {}};
        switch (player.position) {
            case kQB:
                quarterbackWeek(r, random);
                break;
            case kRB:
                runningBackWeek(r, random);
                break;
            case kWR:
                receiverWeek(r, random, 9, 140);
                break;
            case kTE:
                receiverWeek(r, random, 6, 80);
                break;
            default:
                kickerWeek(r, random);
                break;
        }
        scaleByTalent(r, player.talent);
        records.push_back(std::move(r));
    }
    for (int team = 0; team < static_cast<int>(teamPlays.size()); ++team) {
        if (!plays(team)) {
            continue;
        }
        PtsRecord defense = unitRecord(table, team, kDEF + kUnitOffset, week);
        defenseWeek(defense, random);
        records.push_back(std::move(defense));
        PtsRecord special = unitRecord(table, team, kSPE + kUnitOffset, week);
        specialTeamsWeek(special, random);
        records.push_back(std::move(special));
    }
    return records;
}

std::vector<PtsRecord> demoRosterRecords(const std::vector<DemoPlayer>& players) {
    std::vector<PtsRecord> records;
    for (const DemoPlayer& player : players) {
        records.push_back({player.name, player.team, player.position, player.id, kRosterWeek, {}});
    }
    return records;
}

namespace {

template <class T, class File>
T* addRecord(Singleton& context, RecordCache<T>& cache, File& file,
             const std::function<void(T&)>& fill, std::string& error) {
    Owned<T> record = context.memory().makeRecord<T>(T::kKind, file, context);
    if (!record) {
        error = "Out of memory while building the demo leagues.";
        return nullptr;
    }
    fill(*record);
    T* raw = record.get();
    if (context.mapFactory().add(cache, record) != kOk) {
        error = file.db().lastError();
        return nullptr;
    }
    return raw;
}

void fillOwner(Team& team, const std::string& name, int number, DemoRandom& random) {
    std::string owner = std::string(pick(kFirstNames, random)) + " " + pick(kLastNames, random);
    team.setText(kFranchiseName, name);
    team.setText(kOwnerName, owner);
    team.setText(kOwnerAddress, std::to_string(100 + number * 7) + " Commissioner Way");
    team.setText(kOwnerCity, "Springfield");
    team.setText(kOwnerState, "IL");
    team.setText(kOwnerZip, std::to_string(62700 + number));
    team.setText(kOwnerHomePhone, "555-01" + std::to_string(10 + number));
    std::string mailbox = owner;
    std::replace(mailbox.begin(), mailbox.end(), ' ', '.');
    team.setText(kOwnerEmail, mailbox + "@example.org");
}

}  // namespace

bool addDemoLeagues(Singleton& context, const DemoOptions& options, DemoRandom& random,
                    std::string& error) {
    MapFactory& caches = context.mapFactory();
    SeasonState& state = context.seasonState();
    int franchiseNumber = 0;
    for (int l = 0; l < options.leagues; ++l) {
        int leagueId = state.get(kLastLeagueId);
        League* league = addRecord<League>(
            context, caches.leagues(), context.leagueFile(),
            [&](League& r) {
                r.setValue(kLeagueId, leagueId);
                r.setText(kLeagueName, "Demo League " + std::to_string(l + 1));
                r.setText(kLeagueCommissioner, "Pat Commissioner");
                r.setValue(kLeagueDraftRounds, options.rosterSize);
            },
            error);
        if (league == nullptr) {
            return false;
        }
        for (int d = 0; d < options.divisionsPerLeague; ++d) {
            int divisionId = state.get(kLastDivisionId);
            std::string name = (d % 2 == 0 ? "East " : "West ") + std::to_string(d / 2 + 1);
            Division* division = addRecord<Division>(
                context, caches.divisions(), context.divisionFile(),
                [&](Division& r) {
                    r.setValue(kDivisionId, divisionId);
                    r.setValue(kDivisionLeague, leagueId);
                    r.setText(kDivisionName, name + " Division");
                    r.setText(kDivisionShortName, name.substr(0, 1) + std::to_string(d + 1));
                },
                error);
            if (division == nullptr) {
                return false;
            }
            for (int f = 0; f < options.franchisesPerDivision; ++f, ++franchiseNumber) {
                int franchiseId = state.get(kLastFranchiseId);
                std::string name = kFranchiseNames[franchiseNumber % kFranchiseNames.size()];
                if (franchiseNumber >= static_cast<int>(kFranchiseNames.size())) {
                    name += " " + std::to_string(franchiseNumber / kFranchiseNames.size() + 1);
                }
                Team* team = addRecord<Team>(
                    context, caches.franchises(), context.teamFile(),
                    [&](Team& r) {
                        r.setValue(kFranchiseId, franchiseId);
                        r.setValue(kFranchiseDivision, divisionId);
                        r.setValue(kFranchiseLeague, leagueId);
                        fillOwner(r, name, franchiseNumber, random);
                    },
                    error);
                if (team == nullptr) {
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace qff

namespace qff {
namespace {

constexpr int kSunday = 7;
constexpr int kThursday = 4;
constexpr int kMonday = 1;
constexpr int kFirstByeWeek = 3;
constexpr int kByeWeeks = 8;

// Kick-off dates as month and day, a week apart from early September.
std::pair<int, int> gameDate(int week, int day) {
    static constexpr int kMonthDays[] = {30, 31, 30, 31};  // September to December
    int dayOfSeason = 7 + 7 * week + (day == kThursday ? -3 : day == kMonday ? 1 : 0);
    int month = 9;
    for (int length : kMonthDays) {
        if (dayOfSeason <= length) {
            break;
        }
        dayOfSeason -= length;
        ++month;
    }
    return {month > 12 ? month - 12 : month, dayOfSeason};
}

template <class T>
void shuffle(std::vector<T>& items, DemoRandom& random) {
    for (int i = static_cast<int>(items.size()) - 1; i > 0; --i) {
        std::swap(items[i], items[random.between(0, i)]);
    }
}

NflWeek demoNflWeek(const std::vector<int>& teams, const std::vector<int>& off, int week,
                    DemoRandom& random) {
    std::vector<int> playing;
    for (int team : teams) {
        if (std::find(off.begin(), off.end(), team) == off.end()) {
            playing.push_back(team);
        }
    }
    shuffle(playing, random);
    NflWeek nfl;
    int slot = 0;
    for (std::size_t i = 0; i + 1 < playing.size(); i += 2, ++slot) {
        int day = i == 0 ? kThursday : i + 3 >= playing.size() ? kMonday : kSunday;
        auto [month, date] = gameDate(week, day);
        nfl.gameSlots[slot] = {day, month, date, playing[i], playing[i + 1]};
    }
    for (int team : off) {
        nfl.gameSlots[slot++] = {99, 0, 0, team, 0};
    }
    return nfl;
}

}  // namespace

std::vector<std::vector<bool>> writeDemoNflSchedule(Singleton& context, int year,
                                                    DemoRandom& random, std::string& error) {
    Pro table(context.strBuf());
    table.setSeason(year);
    std::vector<int> teams = table.validTeams();
    std::vector<int> byeOrder = teams;
    shuffle(byeOrder, random);
    ScheduleFile file(context.memory(), SeasonFile::Sched, context.workdir());
    std::vector<std::vector<bool>> plays;
    if (file.open(year) != kOk) {
        error = file.lastError();
        return plays;
    }
    std::size_t perByeWeek = (byeOrder.size() + kByeWeeks - 1) / kByeWeeks;
    for (int week = 0; week < table.weeks(); ++week) {
        std::vector<int> off;
        int byeIndex = week - kFirstByeWeek;
        for (std::size_t i = 0; byeIndex >= 0 && byeIndex < kByeWeeks && i < perByeWeek; ++i) {
            std::size_t at = byeIndex * perByeWeek + i;
            if (at < byeOrder.size()) {
                off.push_back(byeOrder[at]);
            }
        }
        demoNflWeek(teams, off, week, random)
            .write(file.record().subspan(Schedule::kNflWeeksOffset + NflWeek::kSize * week,
                                         NflWeek::kSize));
        std::vector<bool> playing(Pro::kTeamSlots, false);
        for (int team : teams) {
            playing[team] = std::find(off.begin(), off.end(), team) == off.end();
        }
        plays.push_back(std::move(playing));
    }
    if (file.db().writeCurrent() != kOk) {
        error = file.db().lastError();
        plays.clear();
    }
    return plays;
}

namespace {

std::filesystem::path downloadPath(Singleton& context, const std::string& name) {
    return context.workdir() / "Download" / name;
}

bool writeDemoFiles(Singleton& context, const DemoOptions& options,
                    const std::vector<DemoPlayer>& players,
                    const std::vector<std::vector<bool>>& plays, DemoRandom& random,
                    DemoReport& report, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(context.workdir() / "Download", ec);
    int season = *seasonNumber(options.year);
    std::vector<PtsRecord> roster = demoRosterRecords(players);
    if (writePtsFile(downloadPath(context, "Update" + std::to_string(season) + ".ros"),
                     options.year, roster, error) != kOk) {
        return false;
    }
    Pro table(context.strBuf());
    table.setSeason(options.year);
    for (int week = 0; week < static_cast<int>(plays.size()); ++week) {
        std::vector<PtsRecord> records = demoWeekRecords(table, players, week, plays[week], random);
        std::string name = std::to_string(season) + "_WK" + std::to_string(week + 1) + ".pts";
        if (writePtsFile(downloadPath(context, name), options.year, records, error) != kOk) {
            return false;
        }
        ++report.weeksWritten;
    }
    return true;
}

bool mergeFile(Singleton& context, const std::filesystem::path& path, std::string& error) {
    StatsMerge merge(context, path);
    MergeReport result = merge.run();
    if (!result.succeeded()) {
        error = result.failures.empty() ? "Cannot merge " + path.filename().string()
                                        : result.failures.front();
        return false;
    }
    return true;
}

// The line-up each franchise drafts, in draft order; the first ten start.
constexpr int kDraftPositions[] = {
    kQB, kRB, kRB, kWR, kWR, kWR, kTE, kPK, kDEF + kUnitOffset, kSPE + kUnitOffset,
    kQB, kRB, kRB, kWR, kWR, kTE};
constexpr int kStarters = 10;

// The most talented player left at a position (pool sorted by talent), or
// the next unit; 0 when none is left.
int takeBest(std::vector<const DemoPlayer*>& pool, std::map<int, std::vector<int>>& units,
             int position) {
    auto unit = units.find(position);
    if (unit != units.end()) {
        if (unit->second.empty()) {
            return 0;
        }
        int id = unit->second.back();
        unit->second.pop_back();
        return id;
    }
    auto best = std::find_if(pool.begin(), pool.end(),
                             [position](const DemoPlayer* p) { return p->position == position; });
    if (best == pool.end()) {
        return 0;
    }
    int id = (*best)->id;
    pool.erase(best);
    return id;
}

// The league's picks of a round in pick order, as franchise ids: assigning
// a player renumbers the round, so the order is read before any pick is made.
std::vector<int> roundFranchises(Singleton& context, int league, int round) {
    DraftList picks = context.draftQuery().roundPicks(league, round);
    DraftQuery::sortByField(picks, kDraftPick, false);
    std::vector<int> franchises;
    for (const TrackDraft* pick : picks) {
        franchises.push_back(pick->getValue(kDraftFranchise));
    }
    return franchises;
}

// Each franchise starts the first ten players it drafted.
bool activateStarters(Singleton& context, const DraftClosePlan& plan, std::string& error) {
    for (const DraftRosterChange& change : plan.franchises) {
        std::size_t count = std::min<std::size_t>(kStarters, change.roster.size());
        std::span<const int> starters(change.roster.data(), count);
        RosterChange result = setActive(context, change.franchise, 0, starters, true);
        if (result.status != kOk) {
            error = result.error;
            return false;
        }
    }
    return true;
}

// Rosters by a serpentine draft run through the draft operations: in each
// round every franchise takes the most talented player left at the
// position that round fills, then the draft is closed into week 1.
bool draftDemoLeague(Singleton& context, const League& league, std::vector<const DemoPlayer*>& pool,
                     std::map<int, std::vector<int>>& units, DemoRandom& random,
                     std::string& error) {
    int leagueId = league.getValue(kLeagueId);
    DraftOrderResult order = generateDraftOrder(context, leagueId, SerpentineKind::True,
                                                [&random] { return random.next(); });
    if (order.status != kOk) {
        error = order.message;
        return false;
    }
    int rounds = draftRounds(league);
    for (int round = 1; round <= rounds; ++round) {
        int position = kDraftPositions[(round - 1) % std::size(kDraftPositions)];
        for (int franchise : roundFranchises(context, leagueId, round)) {
            int id = takeBest(pool, units, position);
            if (id > 0 && assignPlayer(context, leagueId, franchise, round, id) != kOk) {
                error = "Cannot record the draft pick of franchise " + std::to_string(franchise);
                return false;
            }
        }
    }
    DraftClosePlan plan = planDraftClose(context, leagueId);
    if (closeDraft(context, plan) != kOk) {
        error = "Cannot close the draft of " + league.text(kLeagueName);
        return false;
    }
    return activateStarters(context, plan, error);
}

bool draftDemoRosters(Singleton& context, const std::vector<DemoPlayer>& players,
                      DemoRandom& random, std::string& error) {
    std::vector<const DemoPlayer*> pool;
    for (const DemoPlayer& player : players) {
        pool.push_back(&player);
    }
    std::stable_sort(pool.begin(), pool.end(), [](const DemoPlayer* a, const DemoPlayer* b) {
        return a->talent > b->talent;
    });
    // Team defenses and special teams are drafted as whole units, in a random order.
    std::map<int, std::vector<int>> units;
    for (int team : context.pro().validTeams()) {
        for (int position : {kDEF + kUnitOffset, kSPE + kUnitOffset}) {
            units[position].push_back(Pro::unitId(team, position));
        }
    }
    for (auto& [position, ids] : units) {
        shuffle(ids, random);
    }
    for (const League* league : context.leagueQuery().allLeagues()) {
        if (league->getValue(kLeagueId) != kDefaultLeagueId &&
            !draftDemoLeague(context, *league, pool, units, random, error)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool createDemoSeason(Singleton& context, const DemoOptions& options, DemoReport& report,
                      std::string& error) {
    report.year = options.year;
    DemoRandom random(options.seed);
    std::vector<DemoPlayer> players = demoPlayers(options.year, options);
    if (!createSeasonFiles(context, options.year, error)) {
        return false;
    }
    std::vector<std::vector<bool>> plays =
        writeDemoNflSchedule(context, options.year, random, error);
    if (plays.empty() || !writeDemoFiles(context, options, players, plays, random, report, error)) {
        return false;
    }
    SeasonOpenReport opened = openSeason(context, options.year);
    if (!opened.opened) {
        error = opened.messages.empty() ? "The season did not open." : opened.messages.back().text;
        return false;
    }
    int season = *seasonNumber(options.year);
    if (!mergeFile(context, downloadPath(context, "Update" + std::to_string(season) + ".ros"),
                   error) ||
        !addDemoLeagues(context, options, random, error) ||
        !draftDemoRosters(context, players, random, error)) {
        return false;
    }
    for (const League* league : context.leagueQuery().allLeagues()) {
        if (league->getValue(kLeagueId) != kDefaultLeagueId) {
            context.schedule().generateLeague(league->getValue(kLeagueId));
        }
    }
    int merged = std::min(options.weeksMerged, static_cast<int>(plays.size()));
    for (int week = 0; week < merged; ++week) {
        std::string name = std::to_string(season) + "_WK" + std::to_string(week + 1) + ".pts";
        if (!mergeFile(context, downloadPath(context, name), error)) {
            return false;
        }
        ++report.weeksMerged;
    }
    // The commissioner meets the demo league first, not the empty Default League.
    context.seasonState().set(kCurrentLeague,
                              context.leagueQuery().allLeagues().back()->getValue(kLeagueId));
    report.players = static_cast<int>(context.mapFactory().players().size());
    report.franchises = static_cast<int>(context.mapFactory().franchises().size());
    return true;
}

}  // namespace qff
