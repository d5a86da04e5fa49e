#include "data02/intake/Statentry.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iterator>
#include <span>

#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/scoring/Results.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Single.h"
#include "data02/season/Sticky.h"
#include "data02/season/Whole.h"
#include "data02/storage/Statblock.h"

namespace qff {
namespace {

// Past every range, yet far from wrapping an int.

// Fields side by side in the window: one value, or a group of slots named
// "<name> 1" to "<name> 8".
struct FieldRun {
    int code;
    int count;
    EntryKind kind;
    const char* name;
};

constexpr FieldRun kOffenseRuns[] = {
    {9, 1, EntryKind::Count, "Pass attempts"},
    {10, 1, EntryKind::Count, "Completed passes"},
    {11, 1, EntryKind::Count, "Interceptions thrown"},
    {12, 1, EntryKind::Yards, "Pass yards"},
    {13, kSlotsPerGroup, EntryKind::Length, "Pass touchdown"},
    {23, 1, EntryKind::Count, "Passed two-point conversions"},
    {24, 1, EntryKind::Count, "Rushes"},
    {25, 1, EntryKind::Yards, "Rush yards"},
    {26, kSlotsPerGroup, EntryKind::Length, "Rush touchdown"},
    {36, 1, EntryKind::Count, "Rushed two-point conversions"},
    {37, 1, EntryKind::Count, "Catches"},
    {38, 1, EntryKind::Yards, "Receiving yards"},
    {39, kSlotsPerGroup, EntryKind::Length, "Receiving touchdown"},
    {49, 1, EntryKind::Count, "Caught two-point conversions"},
    {50, 1, EntryKind::Count, "Extra points"},
    {51, kSlotsPerGroup, EntryKind::Length, "Field goal"},
};

constexpr FieldRun kSpecialTeamsRuns[] = {
    {61, 1, EntryKind::Yards, "Special team yards"},
    {62, kSlotsPerGroup, EntryKind::Length, "Special team touchdown"},
};

constexpr FieldRun kDefenseRuns[] = {
    {72, 1, EntryKind::Count, "Interceptions"},
    {73, 1, EntryKind::Count, "Recovered fumbles"},
    {74, 1, EntryKind::Count, "QB sacks"},
    {75, 1, EntryKind::Count, "Safeties"},
    {76, 1, EntryKind::Yards, "Yards allowed"},
    {77, 1, EntryKind::Count, "Points allowed"},
    {78, kSlotsPerGroup, EntryKind::Length, "Defensive touchdown"},
};

constexpr FieldRun kBonusRun = {kPlayerBonus, 1, EntryKind::Bonus, "Bonus points"};

void addRuns(std::vector<EntryField>& fields, std::span<const FieldRun> runs) {
    for (const FieldRun& run : runs) {
        for (int i = 0; i < run.count; ++i) {
            std::string name = run.name;
            if (run.count > 1) {
                name += " " + std::to_string(i + 1);
            }
            fields.push_back({run.code + i, run.kind, std::move(name)});
        }
    }
}

bool isSummingUnit(int position) {
    return position >= kQB + kUnitOffset && position <= kPK + kUnitOffset;
}

bool isIndividual(int position) {
    return position >= kQB && position <= kSPE;
}

std::string lowerFirst(std::string text) {
    if (!text.empty()) {
        text.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(text.front())));
    }
    return text;
}

std::string rangeText(EntryRange range) {
    return std::to_string(range.low) + " and " + std::to_string(range.high);
}

const EntryField* fieldOf(const std::vector<EntryField>& fields, int code) {
    auto found = std::ranges::find(fields, code, &EntryField::code);
    return found == fields.end() ? nullptr : &*found;
}

EntryResult refused(int status, std::string message, int code = 0) {
    return {status, std::move(message), code};
}

// The player whose week is entered, once the week and his position allow it.
EntryResult findEnterable(Singleton& context, int playerId, int week, Player*& player) {
    player = nullptr;
    if (week < 0 || week >= std::min(context.pro().weeks(), kWeekSlots)) {
        return refused(kBadWeek, "Statistics are entered for weeks 1 to " +
                                     std::to_string(context.pro().weeks()) + " of the season.");
    }
    Player* found = context.mapFactory().players().findFirst(kPlayerId, playerId);
    if (found == nullptr) {
        return refused(kFailed, "No player has the id " + std::to_string(playerId) + ".");
    }
    if (isSummingUnit(found->storedPosition())) {
        return refused(kBadValue, found->name() +
                                      " is a team unit that carries the sums of its players; "
                                      "enter the statistics of the players instead.");
    }
    if (entryFields(found->storedPosition()).empty()) {
        return refused(kBadValue,
                       found->name() + " has no position whose statistics can be entered.");
    }
    player = found;
    return {};
}

StatValues storedValues(const Player& player, const std::vector<EntryField>& fields, int week) {
    StatValues values;
    for (const EntryField& field : fields) {
        values[field.code] = player.getValue(field.code, week);
    }
    return values;
}

// Only what changes is checked, so a week as a statistics file left it can be
// stored again whatever it holds.
EntryResult checkGiven(const Player& player, const std::vector<EntryField>& fields,
                       const StatValues& stored, const StatValues& given) {
    for (const auto& [code, value] : given) {
        const EntryField* field = fieldOf(fields, code);
        if (field == nullptr) {
            return refused(kBadValue,
                           "Code " + std::to_string(code) +
                               " is not among the statistics entered for " +
                               player.text(kPlayerComboTeamPos) + ".",
                           code);
        }
        EntryRange range = entryRange(field->kind);
        if (value != stored.at(code) && (value < range.low || value > range.high)) {
            std::string unit = field->kind == EntryKind::Length ? " yards (0 for none)" : "";
            return refused(kBadValue,
                           field->name + " must lie between " + rangeText(range) + unit + ".",
                           code);
        }
    }
    return {};
}

// The lengths of every group move to its first slots, in the order given.
void packSlots(StatValues& values) {
    for (int group : {13, 26, 39, 51, 62, 78}) {
        if (!values.contains(group)) {
            continue;
        }
        std::array<int, kSlotsPerGroup> lengths{};
        int filled = 0;
        for (int i = 0; i < kSlotsPerGroup; ++i) {
            if (int length = values[group + i]; length != 0) {
                lengths[filled++] = length;
            }
        }
        for (int i = 0; i < kSlotsPerGroup; ++i) {
            values[group + i] = lengths[i];
        }
    }
}

// One change of a player's week, tried in memory: the unit gives up the
// player's old values and takes his new ones. Anything the records cannot
// keep puts both back as they were.
class WeekEntry {
  public:
    WeekEntry(Player& player, int week, std::vector<EntryField> fields)
        : player_(player), week_(week), fields_(std::move(fields)) {
        unit_ = summingUnit(player);
        for (const EntryField& field : fields_) {
            if (unit_ != nullptr && field.kind != EntryKind::Bonus) {
                unitCodes_.push_back(field.code);
                unitBefore_[field.code] = unit_->getValue(field.code, week_);
            }
        }
        before_ = storedValues(player, fields_, week_);
    }

    const StatValues& before() const { return before_; }
    Player* unit() const { return unit_; }

    EntryResult apply(const StatValues& after) {
        std::vector<int> moved = movedCodes(after);
        for (int code : moved) {
            player_.removeFromUnitTotals(code, week_);
        }
        write(player_, after);
        if (unit_ == nullptr) {
            return {};
        }
        EntryResult result = checkRoom(after, moved);
        if (result.ok()) {
            for (int code : moved) {
                player_.addToUnitTotals(code, week_);
            }
            result = checkSums(after, moved);
        }
        if (!result.ok()) {
            restore();
        }
        return result;
    }

    void restore() {
        write(player_, before_);
        if (unit_ != nullptr) {
            write(*unit_, unitBefore_);
        }
    }

  private:
    void write(Player& player, const StatValues& values) const {
        for (const auto& [code, value] : values) {
            player.setValue(code, value, week_);
        }
    }

    EntryResult unitRefusal(const std::string& text, int code) const {
        return refused(kBadValue, unit_->name() + " " + text + "; nothing was stored.", code);
    }

    std::string inWeek() const { return " in week " + std::to_string(week_ + 1); }

    bool changed(const StatValues& after, int code) const {
        if (!isSlotCode(code)) {
            return after.at(code) != before_.at(code);
        }
        int group = slotGroupOf(code);
        for (int slot = group; slot < group + kSlotsPerGroup; ++slot) {
            if (after.at(slot) != before_.at(slot)) {
                return true;
            }
        }
        return false;
    }

    // Only what changes moves through the unit, so the lengths of a group
    // left alone keep their places there.
    std::vector<int> movedCodes(const StatValues& after) const {
        std::vector<int> moved;
        std::ranges::copy_if(unitCodes_, std::back_inserter(moved),
                             [&](int code) { return changed(after, code); });
        return moved;
    }

    // A unit keeps eight lengths of each group; a ninth would be lost.
    EntryResult checkRoom(const StatValues& after, const std::vector<int>& moved) const {
        for (const EntryField& field : fields_) {
            if (slotGroupOf(field.code) != field.code ||
                std::ranges::find(moved, field.code) == moved.end()) {
                continue;
            }
            int wanted = 0;
            for (int i = 0; i < kSlotsPerGroup; ++i) {
                wanted += after.at(field.code + i) != 0 ? 1 : 0;
            }
            ConstByteSpan block = unit_->stats().week(week_);
            int held = countFilledSlots(block, unit_->storedPosition(), field.code);
            if (held + wanted > kSlotsPerGroup) {
                std::string group = field.name.substr(0, field.name.rfind(' '));
                return unitRefusal("has room for " + std::to_string(kSlotsPerGroup - held) +
                                       " more " + lowerFirst(group) + "s" + inWeek() + ", not " +
                                       std::to_string(wanted),
                                   field.code);
            }
        }
        return {};
    }

    // A sum past what its field keeps would wrap around.
    EntryResult checkSums(const StatValues& after, const std::vector<int>& moved) const {
        for (int code : moved) {
            const EntryField& field = *fieldOf(fields_, code);
            if (field.kind == EntryKind::Length) {
                continue;
            }
            int expected = unitBefore_.at(code) - before_.at(code) + after.at(code);
            if (unit_->getValue(code, week_) != expected) {
                return unitRefusal("would hold " + std::to_string(expected) + " " +
                                       lowerFirst(field.name) + inWeek() +
                                       ", beyond what its record keeps",
                                   code);
            }
        }
        return {};
    }

    Player& player_;
    int week_;
    std::vector<EntryField> fields_;
    Player* unit_ = nullptr;
    std::vector<int> unitCodes_;
    StatValues before_;
    StatValues unitBefore_;
};

// The player and his unit reach the file together or not at all.
EntryResult saveEntry(Singleton& context, WeekEntry& entry, Player& player) {
    std::string label = player.text(kPlayerComboTeamPos);
    std::string error;
    bool written = false;
    int status = runAsWhole(context, "statistics entry", {SeasonFile::Plyr}, [&] {
        written = true;
        for (Player* record : {&player, entry.unit()}) {
            if (record != nullptr && record->save() != kOk) {
                error = context.playerFile().db().lastError();
                return kFailed;
            }
        }
        return kOk;
    });
    if (status != kOk) {
        // A write that began was undone with the cache read again; one that
        // never began leaves memory to be put back here.
        if (!written) {
            entry.restore();
        }
        return refused(status, "The statistics of " + label + " could not be saved" +
                                   (error.empty() ? "" : ": " + error) + ". Nothing was changed.");
    }
    // A team QB unit's passing decides whether its whole team's week counts.
    context.scoring().dropAllPlayerPoints();
    dropAllFranchiseResults(context);
    return {};
}

}  // namespace

Player* summingUnit(const Player& player) {
    Player* unit = player.unit();
    return unit != nullptr && isSummingUnit(unit->storedPosition()) ? unit : nullptr;
}

EntryRange entryRange(EntryKind kind) {
    switch (kind) {
        case EntryKind::Count:
        case EntryKind::Length:
            return {0, 127};
        case EntryKind::Yards:
            return {-32768, 32767};
        case EntryKind::Bonus:
            return {-128, 127};
    }
    return {0, 0};
}

std::vector<EntryField> entryFields(int position) {
    std::vector<EntryField> fields;
    if (position == kDefenseUnit) {
        addRuns(fields, kDefenseRuns);
    } else if (position == kSpecialTeamsUnit) {
        addRuns(fields, kSpecialTeamsRuns);
    } else if (isIndividual(position)) {
        addRuns(fields, kOffenseRuns);
        addRuns(fields, kSpecialTeamsRuns);
    } else {
        return fields;
    }
    addRuns(fields, std::span(&kBonusRun, 1));
    return fields;
}

EntryResult readPlayerWeek(Singleton& context, int playerId, int week, StatValues& values) {
    values.clear();
    Player* player = nullptr;
    EntryResult found = findEnterable(context, playerId, week, player);
    if (found.ok()) {
        values = storedValues(*player, entryFields(player->storedPosition()), week);
    }
    return found;
}

EntryResult enterPlayerWeek(Singleton& context, int playerId, int week, const StatValues& values) {
    Player* player = nullptr;
    EntryResult result = findEnterable(context, playerId, week, player);
    if (!result.ok()) {
        return result;
    }
    std::vector<EntryField> fields = entryFields(player->storedPosition());
    WeekEntry entry(*player, week, fields);
    result = checkGiven(*player, fields, entry.before(), values);
    if (!result.ok()) {
        return result;
    }
    StatValues after = entry.before();
    for (const auto& [code, value] : values) {
        after[code] = value;
    }
    packSlots(after);
    if (after == entry.before()) {
        return {};
    }
    result = entry.apply(after);
    return result.ok() ? saveEntry(context, entry, *player) : result;
}

PlyrList entryPlayers(Singleton& context, int nflTeam) {
    int teams[] = {nflTeam};
    PlyrList players = context.mapFactory().players().selectByValues(kPlayerTeam, teams);
    std::erase_if(players, [](const Player* player) {
        return entryFields(player->storedPosition()).empty();
    });
    std::ranges::stable_sort(players, [](const Player* a, const Player* b) {
        if (a->storedPosition() != b->storedPosition()) {
            return a->storedPosition() < b->storedPosition();
        }
        return a->name() < b->name();
    });
    return players;
}

EntryChoice rememberedEntryChoice(Singleton& context) {
    const Sticky& sticky = context.sticky();
    int team = context.pro().teamIndex(sticky.getText(kStickyEntryTeam));
    return {context.pro().isValid(team) ? team : -1,
            std::max(sticky.getInt(kStickyEntryPlayer), 0)};
}

EntryResult rememberEntryChoice(Singleton& context, EntryChoice choice) {
    Sticky& sticky = context.sticky();
    sticky.setText(kStickyEntryTeam, context.pro().teamName(false, choice.nflTeam));
    sticky.setInt(kStickyEntryPlayer, choice.playerId);
    if (int status = sticky.save(); status != kOk) {
        return refused(status, "The player shown could not be remembered: " + sticky.lastError());
    }
    return {};
}

}  // namespace qff
