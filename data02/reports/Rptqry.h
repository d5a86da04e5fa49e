#pragma once

#include <source_location>
#include <string_view>

#include "data02/model/Reccache.h"
#include "data02/reports/Report.h"

namespace qff {

class Singleton;

// Lists and finds the report definitions of the open season from the report
// cache, never reading the file. Every answer is a list of the caller's own
// copies, allocated under the report kinds; null when the season's reports
// are not loaded or memory runs out.
class ReportQuery {
  public:
    explicit ReportQuery(Singleton& context) : context_(context) {}

    // Every report, in ascending id.
    Owned<RptList> allReports(std::source_location where = std::source_location::current());
    // Reports whose name is exactly `name` (case-sensitive), in ascending id.
    Owned<RptList> findByName(std::string_view name,
                              std::source_location where = std::source_location::current());
    Owned<RptList> findById(int id, std::source_location where = std::source_location::current());

    // A cleared report bound to the season's report file; null when it
    // cannot be allocated.
    Owned<Report> create(std::source_location where = std::source_location::current());

    // The cache's own definition, for reading only; null when there is none.
    const Report* cached(int id) const;
    // The first loaded (or added) of that name.
    const Report* cached(std::string_view name) const;

    // Opens the season's report file and loads its definitions.
    int reload(int year);

  private:
    Owned<RptList> copies(const RecordCache<Report>::List& found, std::source_location where);

    Singleton& context_;
};

// Opens the season's report file. A missing file is created: from the
// previous season's report file when there is one (less the user reports
// bound to one franchise or division), else with the built-in reports; an
// existing file gets the catalogue reports it lacks. A file that exists but
// cannot be opened is reported and left as it is. kOk when the file is open
// and its definitions are loaded into the report cache.
int openReportFile(Singleton& context, int year);

// Appends a bare record for every catalogue name no report of the file
// carries, except the five only the full creation makes.
int ensureReportCatalogue(Singleton& context, ReportFile& file);

// Fills a new, empty report file with the 17 fully defined reports and the
// catalogue, each with a new id.
int createReportCatalogue(Singleton& context, ReportFile& file);

}  // namespace qff
