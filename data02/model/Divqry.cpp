#include "data02/model/Divqry.h"

#include "data02/model/Mapfact.h"
#include "data02/season/Single.h"

namespace qff {
namespace {

constexpr int kIdOffset = 0;
constexpr int kLeagueOffset = 2;
constexpr int kNameOffset = 4;
constexpr int kShortNameOffset = 44;
constexpr int kEntriesOffset = 50;
constexpr int kEntries = 16;

}  // namespace

Division::Division(DivisionFile& file, Singleton& context) : StoredRecord(file), context_(context) {
    clear();
}

void Division::clear() {
    bytes_.fill(0);
    for (int i = 0; i < kEntries; ++i) {
        putI16(bytes_, kEntriesOffset + 2 * i, -1);
    }
    slot_ = -1;
}

int Division::getValue(int code) const {
    switch (code) {
        case kDivisionId:
            return getI16(bytes_, kIdOffset);
        case kDivisionLeague:
            return getI16(bytes_, kLeagueOffset);
        default:
            return 0;
    }
}

std::string Division::text(int code) const {
    switch (code) {
        case kDivisionName:
            return qff::getText(bytes_, kNameOffset, kNameSize);
        case kDivisionShortName:
            return qff::getText(bytes_, kShortNameOffset, kShortNameSize);
        default:
            return {};
    }
}

const char* Division::getText(int code) const {
    return context_.strBuf().put(text(code));
}

int Division::setValue(int code, int value) {
    switch (code) {
        case kDivisionId:
            putI16(bytes_, kIdOffset, value);
            return kOk;
        case kDivisionLeague:
            putI16(bytes_, kLeagueOffset, value);
            return kOk;
        default:
            return kUnknownIdStatus;
    }
}

int Division::setText(int code, std::string_view value) {
    switch (code) {
        case kDivisionName:
            putText(bytes_, kNameOffset, kNameSize, value);
            return kOk;
        case kDivisionShortName:
            putText(bytes_, kShortNameOffset, kShortNameSize, value);
            return kOk;
        default:
            return kUnknownIdStatus;
    }
}

int Division::save() {
    int status = writeRecord();
    if (status == kOk) {
        context_.mapFactory().divisions().rekey(this);
    }
    return status;
}

int Division::insert() {
    return insertRecord();
}

int Division::remove() {
    return deleteRecord();
}

}  // namespace qff

namespace qff {

Division* DivisionQuery::findOne(int code, int number) const {
    return context_.mapFactory().divisions().findFirst(code, number);
}

Division* DivisionQuery::findOne(int code, std::string_view text) const {
    return context_.mapFactory().divisions().findFirst(code, text);
}

DivList DivisionQuery::allDivisions() const {
    DivList all;
    if (const auto* byId = context_.mapFactory().divisions().intIndex(kDivisionId)) {
        for (const auto& [id, division] : *byId) {
            all.push_back(division);
        }
    }
    return all;
}

DivList DivisionQuery::leagueDivisions(int league) const {
    DivList all = allDivisions();
    std::erase_if(all,
                  [league](const Division* d) { return d->getValue(kDivisionLeague) != league; });
    return all;
}

int DivisionQuery::reload(int year) {
    return context_.mapFactory().reloadDivisions(year);
}

}  // namespace qff
