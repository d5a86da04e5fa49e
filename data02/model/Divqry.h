#pragma once

#include <array>
#include <string>
#include <string_view>

#include "data02/storage/Record.h"

namespace qff {

class Singleton;

using DivisionFile = RecordFile<kDivisionRecordSize>;

enum DivisionCode {
    kDivisionId = 3000,
    kDivisionLeague = 3001,
    kDivisionName = 3002,
    kDivisionShortName = 3003,
};

// A division of a league: its ids and its long and short names.
class Division : public StoredRecord<kDivisionRecordSize> {
  public:
    static constexpr Kind kKind = Kind::Division;
    static constexpr Kind kListKind = Kind::DivList;
    static constexpr Kind kIntMapKind = Kind::DivIntMap;
    static constexpr Kind kStrMapKind = Kind::DivStrMap;
    static constexpr std::array<int, 2> kIntIndexCodes{kDivisionId, kDivisionLeague};
    static constexpr std::array<int, 2> kTextIndexCodes{kDivisionName, kDivisionShortName};
    static constexpr int kNameSize = 40;
    static constexpr int kShortNameSize = 6;

    Division(DivisionFile& file, Singleton& context);

    int getValue(int code) const;
    const char* getText(int code) const;
    std::string text(int code) const;
    int setValue(int code, int value);
    int setText(int code, std::string_view text);

    void clear();
    int save();
    int insert();
    int remove();

    int indexValue(int code) const { return getValue(code); }
    std::string indexText(int code) const { return text(code); }

  private:
    Singleton& context_;
};

}  // namespace qff

namespace qff {

using DivList = std::vector<Division*>;

// Looks divisions of the open season up in the division cache.
class DivisionQuery {
  public:
    explicit DivisionQuery(Singleton& context) : context_(context) {}

    Division* findOne(int code, int number) const;
    Division* findOne(int code, std::string_view text) const;
    // Ascending division id; of one league when asked.
    DivList allDivisions() const;
    DivList leagueDivisions(int league) const;
    int reload(int year);

  private:
    Singleton& context_;
};

}  // namespace qff
