#include "data02/model/Team.h"

#include <algorithm>

#include "data02/model/Mapfact.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/scoring/Point_sum.h"
#include "data02/scoring/Results.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Weeks.h"

namespace qff {
namespace {

struct TextField {
    int code;
    int offset;
    int size;
};

constexpr TextField kTextFields[] = {
    {kFranchiseName, 0, 41},    {kOwnerName, 41, 31},       {kOwnerAddress, 72, 41},
    {kOwnerCity, 113, 21},      {kOwnerState, 134, 3},      {kOwnerZip, 137, 6},
    {kOwnerHomePhone, 143, 21}, {kOwnerWorkPhone, 164, 21}, {kOwnerEmail, 2192, 128},
};

const TextField* textFieldOf(int code) {
    auto it = std::find_if(std::begin(kTextFields), std::end(kTextFields),
                           [code](const TextField& f) { return f.code == code; });
    return it == std::end(kTextFields) ? nullptr : it;
}

int idOffset(int code) {
    return 186 + 2 * (code - kFranchiseId);
}

}  // namespace

void TeamRosterStruct::clear() {
    for (int place = 0; place < kRosterPlaces; ++place) {
        setId(place, -1);
        setFlag(place, 0);
    }
}

int TeamRosterStruct::count() const {
    int place = 0;
    while (place < kRosterPlaces && id(place) != -1) {
        ++place;
    }
    return place;
}

bool addToRoster(TeamRosterStruct& roster, int id) {
    if (roster.id(kRosterPlaces - 1) > 0) {
        return false;
    }
    for (int place = 0; place < kRosterPlaces; ++place) {
        if (roster.id(place) < 0) {
            roster.setId(place, id);
            roster.setFlag(place, 0);
            return true;
        }
    }
    return false;
}

bool removeFromRoster(TeamRosterStruct& roster, int id) {
    if (roster.id(0) <= 0) {
        return false;
    }
    int found = -1;
    for (int place = 0; place < kRosterPlaces && found < 0; ++place) {
        if (roster.id(place) == id) {
            found = place;
        }
    }
    if (found < 0) {
        return false;
    }
    for (int place = found; place < kRosterPlaces - 1; ++place) {
        roster.setId(place, roster.id(place + 1));
        roster.setFlag(place, roster.flag(place + 1));
    }
    roster.setId(kRosterPlaces - 1, -1);
    roster.setFlag(kRosterPlaces - 1, 0);
    return true;
}

Team::Team(TeamFile& file, Singleton& context) : StoredRecord(file), context_(context) {
    clear();
}

void Team::clear() {
    bytes_.fill(0);
    slot_ = -1;
    TeamRosterStruct empty;
    for (int week = 0; week < kWeekSlots; ++week) {
        setRoster(week, empty);
    }
    for (int code = kFranchiseId; code <= kFranchiseLeague; ++code) {
        setValue(code, -1);
    }
}

bool Team::isTextCode(int code) {
    return textFieldOf(code) != nullptr || code == kFranchiseDivisionName || code == kOwnerCityLine;
}

std::int64_t Team::seasonBonus() const {
    int weeks = context_.seasonState().weeksWithStats();
    std::int64_t sum = 0;
    for (int week = 0; week < weeks; ++week) {
        sum += getI32(bytes_, kBonusOffset + 4 * week);
    }
    return sum;
}

int Team::getValue(int code, int week) const {
    if (code >= kFranchiseId && code <= kFranchiseLeague) {
        return getI16(bytes_, idOffset(code));
    }
    if (code == kFranchiseBonus) {
        if (week == kAllWeeks) {
            return saturatedInt(seasonBonus());
        }
        return isWeekSlot(week) ? getI32(bytes_, kBonusOffset + 4 * week) : 0;
    }
    return FranchiseResults::isResultCode(code)
               ? saturatedInt(franchiseResult(context_, *this, code, week))
               : 0;
}

std::int64_t Team::getTotal(int code, int week) const {
    if (code == kFranchiseBonus && week == kAllWeeks) {
        return seasonBonus();
    }
    return FranchiseResults::isResultCode(code) ? franchiseResult(context_, *this, code, week)
                                                : getValue(code, week);
}

int Team::getPoints(int code, int week) const {
    return FranchiseResults::isPointsCode(code)
               ? saturatedInt(franchiseResult(context_, *this, code, week))
               : 0;
}

std::string Team::text(int code) const {
    if (const TextField* field = textFieldOf(code)) {
        return qff::getText(bytes_, field->offset, field->size);
    }
    if (code == kFranchiseDivisionName) {
        const Division* division = context_.mapFactory().divisions().findFirst(
            kDivisionId, getValue(kFranchiseDivision, kAllWeeks));
        return division ? division->text(kDivisionShortName) : std::string();
    }
    if (code == kOwnerCityLine) {
        return text(kOwnerCity) + ", " + text(kOwnerState) + "  " + text(kOwnerZip);
    }
    return code == kWinLossRecord ? franchiseRecordText(context_, *this) : std::string();
}

const char* Team::getText(int code) const {
    return context_.strBuf().put(text(code));
}

int Team::setValue(int code, int value) {
    if (code < kFranchiseId || code > kFranchiseLeague) {
        return kUnknownIdStatus;
    }
    putI16(bytes_, idOffset(code), value);
    return kOk;
}

int Team::setBonus(int week, int value) {
    if (!isWeekSlot(week)) {
        return kBadWeek;
    }
    putI32(bytes_, kBonusOffset + 4 * week, value);
    return kOk;
}

int Team::setText(int code, std::string_view value) {
    const TextField* field = textFieldOf(code);
    if (field == nullptr) {
        return kUnknownIdStatus;
    }
    putText(bytes_, field->offset, field->size, value);
    return kOk;
}

void Team::getRoster(int week, TeamRosterStruct& roster) const {
    if (isWeekSlot(week)) {
        auto first = bytes_.begin() + kRostersOffset + week * TeamRosterStruct::kSize;
        std::copy_n(first, TeamRosterStruct::kSize, roster.bytes.begin());
    }
}

void Team::setRoster(int week, const TeamRosterStruct& roster) {
    if (!isWeekSlot(week)) {
        return;
    }
    TeamRosterStruct packed;
    int next = 0;
    for (int place = 0; place < kRosterPlaces; ++place) {
        if (roster.id(place) != -1) {
            packed.setId(next, roster.id(place));
            packed.setFlag(next, roster.flag(place));
            ++next;
        }
    }
    std::copy(packed.bytes.begin(), packed.bytes.end(),
              bytes_.begin() + kRostersOffset + week * TeamRosterStruct::kSize);
}

bool Team::isOnRoster(int week, int id) const {
    TeamRosterStruct roster;
    getRoster(week, roster);
    for (int place = 0; place < roster.count(); ++place) {
        if (roster.id(place) == id) {
            return true;
        }
    }
    return false;
}

Owned<PlyrList> Team::rosterPlayers(int filter, int week, std::source_location where) const {
    if (!isWeekSlot(week)) {
        return {};
    }
    TeamRosterStruct roster;
    getRoster(week, roster);
    PlyrList players;
    const RecordCache<Player>& cache = context_.mapFactory().players();
    for (int place = 0; place < roster.count(); ++place) {
        bool wanted = filter == 0 || (filter == 1 && roster.active(place)) ||
                      (filter == 2 && !roster.active(place));
        Player* player =
            roster.id(place) > 0 && wanted ? cache.findFirst(kPlayerId, roster.id(place)) : nullptr;
        if (player != nullptr) {
            players.push_back(player);
        }
    }
    if (players.empty()) {
        return {};
    }
    context_.playerQuery().sortList(players, 0, kPlayerPosition, false);
    context_.playerQuery().sortList(players, kPlayerPosition, kPlayerName, false);
    return cache.copyList(players, where);
}

int Team::save() {
    int status = writeRecord();
    if (status == kOk) {
        context_.mapFactory().franchises().rekey(this);
    }
    return status;
}

int Team::insert() {
    return insertRecord();
}

int Team::remove() {
    return deleteRecord();
}

int Team::saveRoster(const TeamRosterStruct& roster, int week) {
    setRoster(week, roster);
    bool currentSeason = context_.pro().seasonYear() == context_.calendarYear();
    for (int later = week + 1; later < kWeekSlots; ++later) {
        if (!currentSeason || context_.seasonState().weekHasStats(later) == 0) {
            setRoster(later, roster);
        }
    }
    int status = save();
    // Every week from this one on may have changed, and with them the season
    // sums and what the franchise's opponents scored against it.
    dropRosterResults(context_, id(), week);
    return status;
}

}  // namespace qff
