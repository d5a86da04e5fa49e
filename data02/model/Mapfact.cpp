#include "data02/model/Mapfact.h"

#include "data02/reports/Rptqry.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"

namespace qff {

MapFactory::MapFactory(Singleton& context)
    : context_(context),
      players_(context.memory()),
      franchises_(context.memory()),
      divisions_(context.memory()),
      leagues_(context.memory()),
      drafts_(context.memory()),
      reports_(context.memory()) {}

MapFactory::~MapFactory() {
    releaseAll();
}

void MapFactory::releaseAll() {
    players_.release();
    franchises_.release();
    divisions_.release();
    leagues_.release();
    drafts_.release();
    reports_.release();
}

template <class T, int N>
int MapFactory::load(RecordCache<T>& cache, RecordFile<N>& file, int year,
                     const std::function<int(RecordFile<N>&)>& seed) {
    cache.release();
    problems_.clear();
    int status = file.open(year, seed);
    return status == kOk ? fill(cache, file) : status;
}

template <class T, int N>
int MapFactory::fill(RecordCache<T>& cache, RecordFile<N>& file) {
    cache.release();
    problems_.clear();
    cache.prepare(static_cast<std::size_t>(file.db().usedCount()));
    DBFile& db = file.db();
    for (int slot = 0; slot < DBFile::kSlots; ++slot) {
        if (!db.isSlotUsed(slot)) {
            continue;
        }
        if (db.gotoSlot(slot) != 0 || db.readCurrent() != 0) {
            // The records a damaged file lost are told once, with its damage.
            if (db.damage().empty()) {
                problems_.push_back(db.lastError());
            }
            continue;
        }
        Owned<T> object = context_.memory().makeRecord<T>(T::kKind, file, context_);
        if (!object) {
            return kNoMemory;
        }
        object->load();
        cache.adopt(std::move(object));
    }
    return kOk;
}

int MapFactory::remove(RecordCache<Team>& cache, Team* franchise) {
    context_.cache().dropObject(Cache::Set::Franchise, context_.preferences().get(kPrefOpenSeason),
                                franchise->id());
    return remove<Team>(cache, franchise);
}

int MapFactory::reloadPlayers(int year) {
    // The player file arrives with the season's data; nothing creates it here.
    return load(players_, context_.playerFile(), year, std::function<int(PlayerFile&)>());
}

int MapFactory::reloadFranchises(int year) {
    return load(franchises_, context_.teamFile(), year,
                std::function<int(TeamFile&)>([](TeamFile&) { return kOk; }));
}

int MapFactory::reloadDivisions(int year) {
    return load(divisions_, context_.divisionFile(), year,
                std::function<int(DivisionFile&)>([](DivisionFile&) { return kOk; }));
}

int MapFactory::reloadLeagues(int year) {
    return load(leagues_, context_.leagueFile(), year,
                std::function<int(LeagueFile&)>(
                    [this](LeagueFile& file) { return League::seedFile(file, context_); }));
}

int MapFactory::reloadDrafts(int year) {
    return load(drafts_, context_.draftFile(), year,
                std::function<int(TrackDraftFile&)>([](TrackDraftFile&) { return kOk; }));
}

int MapFactory::reloadReports(int year) {
    return openReportFile(context_, year);
}

int MapFactory::loadReports() {
    return fill(reports_, context_.reportFile());
}

}  // namespace qff
