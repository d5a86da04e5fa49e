#include "data02/intake/Statsmerge.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Single.h"
#include "data02/storage/Files.h"
#include "data02/storage/Statblock.h"

namespace qff {
namespace {

constexpr int kFirstIndividualCode = 9;
constexpr int kLastIndividualCode = 69;
constexpr int kFirstDefenseCode = 72;
constexpr int kLastDefenseCode = 85;
constexpr int kFirstSpecialTeamsCode = 61;
constexpr int kLastSpecialTeamsCode = 69;

std::string formatted(const char* pattern, int a, int b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

bool isRebuiltUnit(int position) {
    return position >= kUnitOffset && position < kDefenseUnit;
}

}  // namespace

const char* skipReasonText(MergeSkip::Reason reason) {
    switch (reason) {
        case MergeSkip::Reason::Week:
            return "the week lies outside the season";
        case MergeSkip::Reason::Id:
            return "the player id is empty or belongs to the NFL team units";
        case MergeSkip::Reason::Position:
            return "the position is unknown or one of the team units rebuilt from players";
        case MergeSkip::Reason::Team:
            return "the NFL team is outside the team table";
        case MergeSkip::Reason::DatabaseFull:
            return "the player database is full";
        case MergeSkip::Reason::NotSaved:
            return "the player could not be saved";
    }
    return "";
}

std::string otherSeasonMessage(int fileYear, int season) {
    return formatted("Merging stats from %d into the %d season is not allowed.", fileYear, season);
}

StatsMerge::StatsMerge(Singleton& context, std::filesystem::path file)
    : context_(context),
      pts_(context.memory(), context.strBuf()),
      journal_(context.workdir(), "merge") {
    report_.file = std::move(file);
    report_.season = context.playerFile().year();
    prepare(report_.file);
}

StatsMerge::~StatsMerge() {
    if (journal_.active()) {
        undo();
    }
}

void StatsMerge::fail(std::string text) {
    report_.messages.push_back({MergeMessage::Type::Error, text});
    report_.failures.push_back(std::move(text));
}

bool StatsMerge::prepare(const std::filesystem::path& file) {
    if (!context_.playerFile().isOpen() || !context_.mapFactory().players().isReady()) {
        fail("No season is open to merge into.");
        return false;
    }
    // A FIFO or a device would block the merge or never end.
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(resolveNoCase(file), error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        fail("The statistics file " + file.filename().string() + " is not a regular file.");
        return false;
    }
    if (pts_.open(file) != kOk) {
        fail("The statistics file " + file.filename().string() +
             " could not be opened: " + pts_.lastError());
        return false;
    }
    if (pts_.recordCount() == 0) {
        fail("The statistics file " + file.filename().string() + " holds no records.");
        pts_.close();
        return false;
    }
    report_.opened = true;
    report_.fileYear = pts_.fileYear();
    if (report_.fileYear != report_.season) {
        report_.refused = true;
        report_.messages.push_back(
            {MergeMessage::Type::Error, otherSeasonMessage(report_.fileYear, report_.season)});
        pts_.close();
        return false;
    }
    if (!protectSeasonFiles()) {
        pts_.close();
        return false;
    }
    total_ = pts_.recordCount();
    PlyrList units;
    for (Player* player : context_.mapFactory().players().list()) {
        if (isRebuiltUnit(player->storedPosition())) {
            units.push_back(player);
        }
    }
    units_ = context_.mapFactory().players().copyList(units);
    return true;
}

// The player file takes the records; the state file takes the weeks with
// statistics and the current week.
bool StatsMerge::protectSeasonFiles() {
    std::string error;
    if (journal_.begin(error) && journal_.protect(context_.playerFile().db().path(), error) &&
        journal_.protect(context_.seasonState().path(), error)) {
        return true;
    }
    // Nothing was written yet, so keeping the files as they are is the undo;
    // a rollback would swap the open files for their copies.
    std::string ignored;
    if (journal_.active()) {
        journal_.commit(ignored);
    }
    fail("The merge could not start, nothing was changed: " + error);
    return false;
}

bool StatsMerge::step(int limit) {
    if (finished_) {
        return false;
    }
    for (int done = 0; done < limit && pts_.hasRecord(); ++done) {
        mergeRecord();
        ++progress_;
        pts_.next();
    }
    return pts_.hasRecord();
}

std::optional<MergeSkip::Reason> StatsMerge::check(int week, int id, int position, int team) const {
    if (week != kRosterWeek && (week < 0 || week >= Pro::weeksOf(report_.season))) {
        return MergeSkip::Reason::Week;
    }
    if (position < 0 || isRebuiltUnit(position)) {
        return MergeSkip::Reason::Position;
    }
    if (team < 0 || team >= Pro::kTeamSlots) {
        return MergeSkip::Reason::Team;
    }
    if (position < kUnitOffset && (id <= 0 || Pro::isUnitId(id))) {
        return MergeSkip::Reason::Id;
    }
    return std::nullopt;
}

void StatsMerge::skip(MergeSkip::Reason reason) {
    report_.skippedRecords.push_back(
        {pts_.currentSlot(), pts_.value(kPlayerId), pts_.text(kPlayerName), reason});
}

void StatsMerge::mergeRecord() {
    ++report_.records;
    playerName_ = pts_.text(kPlayerName);
    int week = pts_.value(kPlayerWeek);
    std::optional<MergeSkip::Reason> reason =
        check(week, pts_.value(kPlayerId), pts_.value(kPlayerPosition), pts_.value(kPlayerTeam));
    if (reason) {
        skip(*reason);
        return;
    }
    bool roster = week == kRosterWeek;
    if (roster) {
        report_.rosterRecordsSeen = true;
        status_ = "Refreshing Player Data";
    } else {
        if (!weekStarted_[week]) {
            startWeek(week);
        }
        status_ = formatted("Merging Statistics for Week %d", week + 1);
    }
    Change change = findOrCreate(pts_.value(kPlayerId));
    if (change.player == nullptr) {
        return;
    }
    if (roster && !change.created) {
        refresh(*change.player);
    } else if (!roster) {
        replaceWeek(*change.player, week);
    }
    if (save(*change.player) && !change.created) {
        ++report_.playersUpdated;
    }
}

// Units are rebuilt from the players of the file, so their week starts empty;
// only the bonus points the commissioner entered by hand survive.
void StatsMerge::startWeek(int week) {
    status_ = "Clearing Team Players";
    for (Player* unit : units_ ? *units_ : PlyrList{}) {
        clearKeepingBonus(*unit, week);
        save(*unit);
    }
    weekStarted_[week] = true;
    highestWeek_ = std::max(highestWeek_, week);
    report_.weeksMerged.push_back(week);
    changed_ = true;
    dropPoints();
    if (context_.seasonState().setWeekHasStats(week, 1) != kOk) {
        fail("The week could not be marked as having statistics: " +
             context_.seasonState().lastError());
    }
    status_ = "Merging Player Statistics";
}

StatsMerge::Change StatsMerge::findOrCreate(int id) {
    Player* known = context_.mapFactory().players().findFirst(kPlayerId, id);
    if (known != nullptr) {
        return {known, false};
    }
    Player* created = create(id);
    if (created == nullptr) {
        return {};
    }
    ++report_.newPlayers;
    report_.newPlayerIds.push_back(id);
    return {created, true};
}

Player* StatsMerge::create(int id) {
    Owned<Player> player =
        context_.memory().makeRecord<Player>(Kind::Player, context_.playerFile(), context_);
    if (!player) {
        fail("There is not enough memory for a new player.");
        return nullptr;
    }
    player->clear();
    player->setText(kPlayerName, pts_.text(kPlayerName));
    player->setValue(kPlayerId, id, 0);
    player->setValue(kPlayerTeam, pts_.value(kPlayerTeam), 0);
    player->setValue(kPlayerPosition, pts_.value(kPlayerPosition), 0);
    Player* raw = player.get();
    if (context_.mapFactory().add(context_.mapFactory().players(), player) != kOk) {
        bool full = context_.playerFile().db().usedCount() >= DBFile::kSlots;
        skip(full ? MergeSkip::Reason::DatabaseFull : MergeSkip::Reason::NotSaved);
        if (!full) {
            fail("A new player could not be stored: " + context_.playerFile().db().lastError());
        }
        return nullptr;
    }
    changed_ = true;
    return raw;
}

void StatsMerge::refresh(Player& player) {
    player.setText(kPlayerName, pts_.text(kPlayerName));
    player.setValue(kPlayerTeam, pts_.value(kPlayerTeam), 0);
    player.setValue(kPlayerPosition, pts_.value(kPlayerPosition), 0);
}

void StatsMerge::replaceWeek(Player& player, int week) {
    // A second record for the same player and week replaces the first, so the
    // first one's share of the team unit has to go.
    if (!merged_.insert({player.id(), week}).second) {
        removeFromUnits(player, week);
    }
    clearKeepingBonus(player, week);
    int position = pts_.value(kPlayerPosition);
    if (position == kDefenseUnit) {
        copyUnitCodes(player, week, kFirstDefenseCode, kLastDefenseCode);
    } else if (position == kSpecialTeamsUnit) {
        copyUnitCodes(player, week, kFirstSpecialTeamsCode, kLastSpecialTeamsCode);
    } else {
        copyIndividual(player, week);
    }
}

void StatsMerge::copyIndividual(Player& player, int week) {
    player.setValue(kPlayerTeam, pts_.value(kPlayerTeam), week);
    player.setValue(kPlayerPosition, pts_.value(kPlayerPosition), week);
    for (int code = kFirstIndividualCode; code <= kLastIndividualCode; ++code) {
        int value = pts_.value(code);
        if (value != 0) {
            player.setValue(code, value, week);
            player.addToUnitTotals(code, week);
        }
    }
}

void StatsMerge::removeFromUnits(Player& player, int week) {
    for (int code = kFirstIndividualCode; code <= kLastIndividualCode; ++code) {
        player.removeFromUnitTotals(code, week);
    }
}

void StatsMerge::copyUnitCodes(Player& player, int week, int firstCode, int lastCode) {
    for (int code = firstCode; code <= lastCode; ++code) {
        int value = pts_.value(code);
        if (value != 0) {
            player.setValue(code, value, week);
        }
    }
}

void StatsMerge::clearKeepingBonus(Player& player, int week) {
    int bonus = player.getValue(kPlayerBonus, week);
    player.clearWeek(week);
    if (bonus != 0) {
        player.setValue(kPlayerBonus, bonus, week);
    }
}

bool StatsMerge::save(Player& player) {
    if (player.save() != kOk) {
        fail("Could not save " + player.name() + " (id " + std::to_string(player.id()) +
             "): " + context_.playerFile().db().lastError());
        return false;
    }
    changed_ = true;
    return true;
}

void StatsMerge::saveUnits() {
    status_ = "Saving Team Players";
    for (Player* unit : units_ ? *units_ : PlyrList{}) {
        save(*unit);
    }
}

void StatsMerge::dropPoints() {
    context_.scoring().dropAllPlayerPoints();
    context_.cache().dropAll(Cache::Set::Franchise, report_.season);
}

void StatsMerge::reloadCaches() {
    if (context_.mapFactory().reloadPlayers(report_.season) != kOk) {
        fail("CRITICAL! Failed to reinitialize database cache.");
    }
}

// Only a merge whose every write succeeded is kept. Records skipped for want
// of room leave the season consistent, so they are reported, not undone.
void StatsMerge::settle() {
    if (!journal_.active()) {
        return;
    }
    std::string error;
    if (report_.failures.empty() && journal_.commit(error)) {
        return;
    }
    if (!error.empty()) {
        fail("The merge could not be completed: " + error);
    }
    undo();
}

// The rollback puts the earlier files in place of those the context holds
// open, so the player cache and the season state are read again from them
// and nothing the merge changed in memory can be written back.
void StatsMerge::undo() {
    units_.reset();
    std::string error;
    if (!journal_.rollBack(error)) {
        fail("The merge could not be undone (" + error +
             "); open the season again to finish undoing it.");
        return;
    }
    report_.undone = true;
    report_.week.reset();
    report_.messages.push_back(
        {MergeMessage::Type::Error,
         "The merge was undone: the season's files are as they were before it."});
    dropPoints();
    reloadCaches();
    if (context_.seasonState().open(report_.season) != kOk) {
        fail("The season state could not be read again: " + context_.seasonState().lastError());
    }
}

void StatsMerge::summarise() {
    std::map<MergeSkip::Reason, int> counts;
    for (const MergeSkip& skipped : report_.skippedRecords) {
        ++counts[skipped.reason];
    }
    report_.skipped = static_cast<int>(report_.skippedRecords.size());
    for (const auto& [reason, count] : counts) {
        if (reason == MergeSkip::Reason::DatabaseFull) {
            fail(formatted("%d players could not be added because the player database is full.",
                           count));
        } else if (reason != MergeSkip::Reason::NotSaved) {
            report_.messages.push_back(
                {MergeMessage::Type::Warning,
                 formatted("%d records were skipped: ", count) + skipReasonText(reason) + "."});
        }
    }
}

const MergeReport& StatsMerge::finish() {
    if (finished_) {
        return report_;
    }
    finished_ = true;
    pts_.close();
    if (highestWeek_ >= 0) {
        saveUnits();
        report_.week = highestWeek_;
        if (context_.seasonState().set(kCurrentWeek, highestWeek_) != kOk) {
            fail("The current week could not be stored: " + context_.seasonState().lastError());
        }
    }
    units_.reset();
    settle();
    summarise();
    if (changed_ && !report_.undone) {
        dropPoints();
        reloadCaches();
    }
    if (report_.rosterRecordsSeen) {
        report_.messages.push_back(
            {MergeMessage::Type::Information,
             report_.newPlayers == 0
                 ? std::string("No new players were added to your database.")
                 : formatted("%d new players were added to your database.", report_.newPlayers)});
    }
    return report_;
}

MergeReport StatsMerge::run() {
    while (step()) {
    }
    return finish();
}

}  // namespace qff
