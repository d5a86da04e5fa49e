#include "data02/season/Record_check.h"

#include "data02/reports/Report.h"

namespace qff {

std::optional<RecordCheck> recordCheckForFileName(std::string_view name) {
    if (seasonFileKind(name) == SeasonFile::Rpt) {
        return kReportRecordCheck;
    }
    return std::nullopt;
}

}  // namespace qff
