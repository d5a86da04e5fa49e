#include "data02/model/Legqry.h"

#include "data02/model/Mapfact.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

enum class FieldType { Int16, Byte, Flag, Rounds, Text };

struct Field {
    int code;
    int offset;
    int size;
    FieldType type;
};

constexpr Field kFields[] = {
    {kLeagueId, 0, 2, FieldType::Int16},
    {kLeagueName, 2, 64, FieldType::Text},
    {kLeagueCommissioner, 66, 33, FieldType::Text},
    {kLeaguePhone, 99, 20, FieldType::Text},
    {kLeagueEmail, 119, 129, FieldType::Text},
    {kLeagueHomePage, 248, 257, FieldType::Text},
    {kLeagueOwnerPage, 505, 257, FieldType::Text},
    {kLeagueFlag, 762, 1, FieldType::Flag},
    {kLeagueDraftRounds, 1676, 1, FieldType::Rounds},
    {kLeagueSeveralPicks, 1675, 1, FieldType::Flag},
    {kLeagueFtpPort, 766, 2, FieldType::Int16},
    {kLeagueFtpUser, 768, 33, FieldType::Text},
    {kLeagueFtpPassword, 801, 33, FieldType::Text},
    {kLeagueFtpLocation, 834, 257, FieldType::Text},
    {kLeagueFtpCgi, 1091, 257, FieldType::Text},
    {kLeagueFtpPassiveOff, 764, 2, FieldType::Int16},
    {kLeagueFirewallType, 1348, 2, FieldType::Int16},
    {kLeagueFirewallPort, 1350, 2, FieldType::Int16},
    {kLeagueFirewallHost, 1352, 257, FieldType::Text},
    {kLeagueFirewallUser, 1609, 33, FieldType::Text},
    {kLeagueFirewallPassword, 1642, 33, FieldType::Text},
};

constexpr int kMaxRounds = 32;

static_assert(std::size(kFields) == kLeagueFirewallPassword - kLeagueId + 1);

const Field* fieldOf(int code) {
    if (code < kLeagueId || code > kLeagueFirewallPassword) {
        return nullptr;
    }
    return &kFields[code - kLeagueId];
}

}  // namespace

League::League(LeagueFile& file, Singleton& context) : StoredRecord(file), context_(context) {
    clear();
}

bool League::isTextCode(int code) {
    const Field* field = fieldOf(code);
    return field != nullptr && field->type == FieldType::Text;
}

bool League::isValueCode(int code) {
    return fieldOf(code) != nullptr && !isTextCode(code);
}

void League::clear() {
    bytes_.fill(0);
    slot_ = -1;
    setText(kLeagueCommissioner, "Enter Your Name Here");
    setText(kLeagueEmail, "commissioner@example.org");
    setText(kLeagueFtpLocation, "ftp.example.org/NameOfLeague");
    setText(kLeagueFtpCgi, "ftp.example.org/cgi-bin");
    setValue(kLeagueFtpPort, 21);
    setValue(kLeagueFirewallPort, 1080);
    setValue(kLeagueDraftRounds, 16);
}

int League::getValue(int code) const {
    const Field* field = fieldOf(code);
    if (field == nullptr || field->type == FieldType::Text) {
        return 0;
    }
    return field->size == 2 ? getI16(bytes_, field->offset) : getU8(bytes_, field->offset);
}

std::string League::text(int code) const {
    const Field* field = fieldOf(code);
    if (field == nullptr || field->type != FieldType::Text) {
        return {};
    }
    return qff::getText(bytes_, field->offset, field->size);
}

const char* League::getText(int code) const {
    return context_.strBuf().put(text(code));
}

int League::setValue(int code, int value) {
    const Field* field = fieldOf(code);
    if (field == nullptr) {
        return kUnknownIdStatus;
    }
    switch (field->type) {
        case FieldType::Int16:
            putI16(bytes_, field->offset, value);
            return kOk;
        case FieldType::Byte:
            putU8(bytes_, field->offset, static_cast<std::uint8_t>(value));
            return kOk;
        case FieldType::Flag:
            putU8(bytes_, field->offset, value != 0 ? 1 : 0);
            return kOk;
        case FieldType::Rounds:
            putU8(bytes_, field->offset,
                  static_cast<std::uint8_t>(value >= 1 && value <= kMaxRounds ? value : 1));
            return kOk;
        case FieldType::Text:
            return kUnknownIdStatus;
    }
    return kUnknownIdStatus;
}

int League::setText(int code, std::string_view value) {
    const Field* field = fieldOf(code);
    if (field == nullptr || field->type != FieldType::Text) {
        return kUnknownIdStatus;
    }
    putText(bytes_, field->offset, field->size, value);
    return kOk;
}

int League::save() {
    int status = writeRecord();
    if (status == kOk) {
        context_.mapFactory().leagues().rekey(this);
    }
    return status;
}

int League::insert() {
    return insertRecord();
}

int League::remove() {
    return deleteRecord();
}

int League::seedFile(LeagueFile& file, Singleton& context) {
    League defaultLeague(file, context);
    defaultLeague.setValue(kLeagueId, kDefaultLeagueId);
    defaultLeague.setText(kLeagueName, kDefaultLeagueName);
    return defaultLeague.insert();
}

}  // namespace qff

namespace qff {

League* LeagueQuery::findOne(int code, int number) const {
    return context_.mapFactory().leagues().findFirst(code, number);
}

League* LeagueQuery::findOne(int code, std::string_view text) const {
    return context_.mapFactory().leagues().findFirst(code, text);
}

LeagueList LeagueQuery::allLeagues() const {
    LeagueList all;
    if (const auto* byId = context_.mapFactory().leagues().intIndex(kLeagueId)) {
        for (const auto& [id, league] : *byId) {
            all.push_back(league);
        }
    }
    return all;
}

int LeagueQuery::reload(int year) {
    return context_.mapFactory().reloadLeagues(year);
}

}  // namespace qff
