#include "data02/model/Player.h"

#include <cstring>

#include "data02/model/Mapfact.h"
#include "data02/model/Pro.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/storage/Statblock.h"

namespace qff {
namespace {

// "[" + inner + "] " by appending: GCC 12 at -O2 warns falsely (-Wrestrict)
// about a literal added to a std::string temporary.
std::string bracketed(const std::string& inner) {
    std::string text = "[";
    text += inner;
    text += "] ";
    return text;
}

// Codes whose value is derived from several fields rather than stored.
int derivedValue(int code, ConstByteSpan block, int position) {
    switch (code) {
        case kPassTdCount:
        case kRushTdCount:
        case kReceivedTdCount:
        case kKickedFgCount:
        case kSpecialTdCount:
        case kDefensiveTdCount:
            return blockCount(block, position, code);
        case kTotalYards:
            return blockValue(block, position, kPassYards) +
                   blockValue(block, position, kRushYards) +
                   blockValue(block, position, kReceivingYards);
        case kTotalTds:
            if (position == kDEF + kUnitOffset) {
                return blockCount(block, position, kDefensiveTdCount);
            }
            if (position == kSPE + kUnitOffset) {
                return blockCount(block, position, kSpecialTdCount);
            }
            return blockCount(block, position, kPassTdCount) +
                   blockCount(block, position, kRushTdCount) +
                   blockCount(block, position, kReceivedTdCount) +
                   blockCount(block, position, kSpecialTdCount);
        case kTotalConversions:
            return blockValue(block, position, 23) + blockValue(block, position, 36) +
                   blockValue(block, position, 49);
        default:
            return blockValue(block, position, code);
    }
}

}  // namespace

ValueKind playerValueKind(int code) {
    if (code == kPlayerName || code == kPlayerComboTeamPos || code == kPlayerComboPos) {
        return ValueKind::Text;
    }
    if (code == kPlayerTeam || code == kPlayerPosition) {
        return ValueKind::Identity;
    }
    if ((code >= kTotalPoints && code <= kAverageWeek) ||
        (code >= kFirstWeekPoints && code <= kLastWeekPoints)) {
        return ValueKind::Points;
    }
    return ValueKind::Statistic;
}

Player::Player(PlayerFile& file, Singleton& context)
    : file_(file),
      context_(context),
      info_(context.memory().make<PlayerInfo>(Kind::PlayerInfo)),
      stats_(context.memory().make<PlayerStats>(Kind::PlayerStats)) {}

std::string Player::name() const {
    return std::string(info_->name.data(), strnlen(info_->name.data(), info_->name.size()));
}

void Player::clear() {
    slot_ = -1;
    info_->clear();
    stats_->blocks.fill(0);
}

void Player::clearWeek(int week) {
    if (isWeekSlot(week)) {
        std::ranges::fill(stats_->week(week), 0);
    }
}

int Player::load() {
    if (!file_.isOpen()) {
        return kFailed;
    }
    ConstByteSpan record = file_.record();
    info_->clear();
    std::string stored = qff::getText(record, 0, kNameField);
    std::memcpy(info_->name.data(), stored.data(), std::min(stored.size(), info_->name.size() - 1));
    info_->team = getI8(record, kTeamOffset);
    info_->position = getI8(record, kPositionOffset);
    info_->id = getI16(record, kIdOffset);
    std::copy_n(record.begin() + kBlocksOffset, stats_->blocks.size(), stats_->blocks.begin());
    slot_ = file_.db().currentSlot();
    return kOk;
}

void Player::storeInto(ByteSpan record) const {
    std::ranges::fill(record, 0);
    putText(record, 0, kNameField, name());
    putU8(record, kTeamOffset, static_cast<std::uint8_t>(info_->team));
    putU8(record, kPositionOffset, static_cast<std::uint8_t>(info_->position));
    putI16(record, kIdOffset, info_->id);
    std::copy(stats_->blocks.begin(), stats_->blocks.end(), record.begin() + kBlocksOffset);
}

int Player::save() {
    if (!file_.isOpen() || file_.db().gotoSlot(slot_) != 0) {
        return kFailed;
    }
    storeInto(file_.record());
    int status = file_.db().writeCurrent();
    if (status == kOk) {
        context_.mapFactory().players().rekey(this);
    }
    return status;
}

int Player::insert() {
    if (!file_.isOpen()) {
        return kFailed;
    }
    storeInto(file_.record());
    int status = file_.db().addRecord();
    if (status == kOk) {
        slot_ = file_.db().currentSlot();
    }
    return status;
}

int Player::blockValueOf(int code, int week) const {
    return derivedValue(code, stats_->week(week), info_->position);
}

int Player::weekValue(int code, int week) const {
    if (week == kAllWeeks) {
        int sum = 0;
        for (int w = 0; w < kWeekSlots; ++w) {
            sum += blockValueOf(code, w);
        }
        return sum;
    }
    return isWeekSlot(week) ? blockValueOf(code, week) : 0;
}

int Player::getValue(int code, int week) const {
    switch (code) {
        case kPlayerId:
            return info_->id;
        case kPlayerTeam:
            return info_->team;
        case kPlayerPosition: {
            bool merged = context_.preferences().get(kPrefMergeWrTe) != 0;
            int position = info_->position;
            if (merged && (position == kTE || position == kTE + kUnitOffset)) {
                return position - 1;
            }
            return position;
        }
        case kPlayerWeek:
            return week + 1;
        default:
            break;
    }
    if (code >= kTotalPoints && code <= kLastSeasonPoints) {
        return getPoints(code, week);
    }
    if (playerValueKind(code) != ValueKind::Statistic || code > kTotalConversions) {
        return 0;
    }
    return weekValue(code, week);
}

int Player::getPoints(int code, int week) const {
    PlayerWeekView view{info_->id, getValue(kPlayerPosition, 0), info_->team, stats_->blocks};
    return context_.scoring().playerPoints(view, code, week);
}

std::string Player::text(int code) const {
    const Pro& pro = context_.pro();
    switch (code) {
        case kPlayerName:
            return name();
        case kPlayerTeam:
            return pro.teamName(true, info_->team);
        case kPlayerPosition:
            return pro.positionName(true, getValue(kPlayerPosition, 0));
        case kPlayerComboTeamPos:
            return bracketed(text(kPlayerTeam) + "-" + text(kPlayerPosition)) + name();
        case kPlayerComboPos:
            return bracketed(text(kPlayerPosition)) + name();
        default:
            return {};
    }
}

const char* Player::getText(int code) const {
    return context_.strBuf().put(text(code));
}

int Player::setValue(int code, int value, int week) {
    switch (code) {
        case kPlayerId:
            info_->id = value;
            return kOk;
        case kPlayerTeam:
            info_->team = value;
            return kOk;
        case kPlayerPosition:
            info_->position = value;
            return kOk;
        default:
            break;
    }
    if (!isWeekSlot(week)) {
        return kBadWeek;
    }
    return setBlockValue(stats_->week(week), info_->position, code, value) == 0 ? kOk : kNoField;
}

int Player::setText(int code, std::string_view value) {
    switch (code) {
        case kPlayerName:
            info_->name.fill(0);
            std::memcpy(info_->name.data(), value.data(),
                        std::min(value.size(), std::size_t{kNameField - 1}));
            return kOk;
        case kPlayerTeam:
            info_->team = context_.pro().teamIndex(value);
            return kOk;
        case kPlayerPosition:
            info_->position = Pro::positionCode(value);
            return kOk;
        default:
            return kUnknownText;
    }
}

Player* Player::unit() const {
    if (isUnit() || info_->position < 0) {
        return nullptr;
    }
    int unitId = Pro::unitId(info_->team, getValue(kPlayerPosition, 0));
    return context_.mapFactory().players().findFirst(kPlayerId, unitId);
}

void Player::addToUnitTotals(int code, int week) {
    changeUnitTotals(code, week, +1);
}

void Player::removeFromUnitTotals(int code, int week) {
    changeUnitTotals(code, week, -1);
}

// Adds (direction +1) or takes back (-1) this player's value of a code in a
// week from its team unit: slot codes by their yardage, others by sum.
void Player::changeUnitTotals(int code, int week, int direction) {
    Player* target = unit();
    if (target == nullptr || !isWeekSlot(week)) {
        return;
    }
    int value = blockValue(stats_->week(week), info_->position, code);
    if (value == 0) {
        return;
    }
    ByteSpan block = target->stats_->week(week);
    int position = target->info_->position;
    if (!isSlotCode(code)) {
        setBlockValue(block, position, code, blockValue(block, position, code) + direction * value);
    } else if (direction > 0) {
        addToSlotGroup(block, position, code, value);
    } else {
        removeFromSlotGroup(block, position, code, value);
    }
}

}  // namespace qff
