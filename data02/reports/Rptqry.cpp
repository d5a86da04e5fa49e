#include "data02/reports/Rptqry.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include "data02/model/Mapfact.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace qff {
namespace {

// Catalogue reports that only the full creation of a new season makes: the
// three overviews and the two totals pages.
constexpr int kFullCreationOnly[] = {0, 1, 2, 20, 21};

bool isFullCreationOnly(int number) {
    return std::find(std::begin(kFullCreationOnly), std::end(kFullCreationOnly), number) !=
           std::end(kFullCreationOnly);
}

// Franchise and division ids do not survive a season change, so user reports
// bound to one franchise or division stay behind.
bool carriesOver(const Report& report) {
    if (report.isBuiltIn()) {
        return true;
    }
    switch (report.type()) {
        case kPlayerReport:
            return report.playerNode().selectCode() != kPlayersOfFranchise;
        case kFranchiseReport:
            return report.teamNode().selectCode() == kAllFranchises;
        default:
            return true;
    }
}

// Garbage must neither pass for reports nor make the catalogue look
// incomplete: a file holding any opens damaged, so it is only read.
int openChecked(ReportFile& file, int year, const std::function<int(ReportFile&)>& seed = {}) {
    int status = file.open(year, seed);
    if (status == kOk) {
        file.db().checkRecords(kReportRecordCheck);
    }
    return status;
}

// Copies the previous season's reports unchanged, ids included.
int carryOverReports(Singleton& context, ReportFile& previous, ReportFile& file) {
    Report report(previous, context);
    for (int slot : previous.db().usedSlots()) {
        if (report.loadSlot(slot) != kOk || !carriesOver(report)) {
            continue;
        }
        std::ranges::copy(report.bytes(), file.record().begin());
        if (file.db().addRecord() != 0) {
            return file.fail(file.db().lastError());
        }
    }
    return kOk;
}

// Appends the catalogue report `name` with a new id.
int appendBuiltIn(Singleton& context, ReportFile& file, std::string_view name) {
    Report report(file, context);
    report.defineBuiltIn(name);
    if (report.assignNewId() == 0) {
        return file.fail("No new report id could be drawn: " + context.seasonState().lastError());
    }
    return report.insert() == kOk ? kOk : file.fail(file.db().lastError());
}

// A new file takes the previous season's reports when that season has a
// report file that opens, else the built-in reports.
int seedReportFile(Singleton& context, ReportFile& file) {
    ReportFile previous(context.memory(), SeasonFile::Rpt, context.workdir());
    if (openChecked(previous, file.year() - 1) != kOk) {
        return createReportCatalogue(context, file);
    }
    int status = carryOverReports(context, previous, file);
    return status == kOk ? ensureReportCatalogue(context, file) : status;
}

}  // namespace

Owned<RptList> ReportQuery::copies(const RecordCache<Report>::List& found,
                                   std::source_location where) {
    const RecordCache<Report>& cache = context_.mapFactory().reports();
    MyMemory& memory = context_.memory();
    if (!cache.isReady()) {
        return {};
    }
    Owned<RptList> list = memory.make<RptList>(Site(Report::kListKind, where));
    if (!list) {
        return {};
    }
    for (const Report* cached : found) {
        Owned<Report> report =
            memory.makeRecord<Report>(Site(Report::kKind, where), context_.reportFile(), context_);
        if (!report) {
            return {};
        }
        report->copyFrom(*cached);
        list->push_back(std::move(report));
    }
    return list;
}

Owned<RptList> ReportQuery::allReports(std::source_location where) {
    RecordCache<Report>::List byId;
    if (const auto* index = context_.mapFactory().reports().intIndex(kReportId)) {
        for (const auto& [id, report] : *index) {
            byId.push_back(report);
        }
    }
    return copies(byId, where);
}

Owned<RptList> ReportQuery::findByName(std::string_view name, std::source_location where) {
    RecordCache<Report>::List found =
        context_.mapFactory().reports().selectByText(kReportName, name);
    std::ranges::stable_sort(found, {}, [](const Report* r) { return r->id(); });
    return copies(found, where);
}

Owned<RptList> ReportQuery::findById(int id, std::source_location where) {
    int ids[] = {id};
    return copies(context_.mapFactory().reports().selectByValues(kReportId, ids), where);
}

const Report* ReportQuery::cached(int id) const {
    return context_.mapFactory().reports().findFirst(kReportId, id);
}

const Report* ReportQuery::cached(std::string_view name) const {
    return context_.mapFactory().reports().findFirst(kReportName, name);
}

int ReportQuery::reload(int year) {
    return context_.mapFactory().reloadReports(year);
}

Owned<Report> ReportQuery::create(std::source_location where) {
    return context_.memory().makeRecord<Report>(Site(Report::kKind, where), context_.reportFile(),
                                                context_);
}

int ensureReportCatalogue(Singleton& context, ReportFile& file) {
    std::array<bool, kBuiltInReportCount> present{};
    Report report(file, context);
    for (int slot : file.db().usedSlots()) {
        if (report.loadSlot(slot) == kOk && report.isBuiltIn()) {
            present[Report::builtInNumber(report.name())] = true;
        }
    }
    for (int number = 0; number < kBuiltInReportCount; ++number) {
        if (present[number] || isFullCreationOnly(number)) {
            continue;
        }
        if (int status = appendBuiltIn(context, file, Report::builtInName(number)); status != kOk) {
            return status;
        }
    }
    return kOk;
}

int createReportCatalogue(Singleton& context, ReportFile& file) {
    for (const char* name : Report::fullyDefinedReports()) {
        if (int status = appendBuiltIn(context, file, name); status != kOk) {
            return status;
        }
    }
    return ensureReportCatalogue(context, file);
}

int openReportFile(Singleton& context, int year) {
    context.mapFactory().reports().release();
    ReportFile& file = context.reportFile();
    std::filesystem::path path = file.pathFor(year);
    std::error_code ec;
    bool existed = !path.empty() && recordFileExists(path);
    std::string seedError;
    int status = openChecked(file, year, [&](ReportFile& f) {
        int seeded = seedReportFile(context, f);
        seedError = f.lastError();
        return seeded;
    });
    std::string name = path.filename().string();
    if (status != kOk && existed) {
        return file.fail(name + " exists but cannot be opened; it was left as it is. " +
                         file.lastError());
    }
    if (status != kOk) {
        // A half-seeded file would pass for a season's reports next time.
        file.close();
        if (!path.empty()) {
            std::filesystem::remove(path, ec);
        }
        return seedError.empty() ? status : file.fail("Cannot create " + name + ": " + seedError);
    }
    // A damaged file is only read: the reports it lacks wait for its repair.
    if (existed && file.db().damage().empty() && ensureReportCatalogue(context, file) != kOk) {
        std::string reason = file.lastError();
        file.close();
        return file.fail("Cannot add the missing built-in reports to " + name + ": " + reason);
    }
    return context.mapFactory().loadReports();
}

}  // namespace qff
