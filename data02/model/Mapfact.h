#pragma once

#include <functional>
#include <string>
#include <vector>

#include "data02/model/Divqry.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Player.h"
#include "data02/model/Reccache.h"
#include "data02/model/Team.h"
#include "data02/reports/Report.h"

namespace qff {

class Singleton;

// The record caches of the open season: every record object of each kind,
// loaded once when the season opens, with the indexes queries answer from.
class MapFactory {
  public:
    explicit MapFactory(Singleton& context);
    ~MapFactory();
    MapFactory(const MapFactory&) = delete;
    MapFactory& operator=(const MapFactory&) = delete;

    RecordCache<Player>& players() { return players_; }
    RecordCache<Team>& franchises() { return franchises_; }
    RecordCache<Division>& divisions() { return divisions_; }
    RecordCache<League>& leagues() { return leagues_; }
    RecordCache<TrackDraft>& drafts() { return drafts_; }
    RecordCache<Report>& reports() { return reports_; }

    // Each reload releases the kind's objects and loads its file of `year`;
    // franchise, division, league and draft files are created when missing.
    int reloadPlayers(int year);
    int reloadFranchises(int year);
    int reloadDivisions(int year);
    int reloadLeagues(int year);
    int reloadDrafts(int year);
    // Opens (and when new, seeds) the season's report file, then loads it.
    int reloadReports(int year);
    // Loads the report definitions of the season's report file, open already.
    int loadReports();

    // Stores a new record and lets the cache own it; on failure the object
    // is handed back through `object` for the caller to dispose of.
    template <class T>
    int add(RecordCache<T>& cache, Owned<T>& object) {
        int status = object->insert();
        if (status == kOk) {
            cache.adopt(std::move(object));
        }
        return status;
    }

    // Forgets a record in the cache, then deletes it from its file.
    template <class T>
    int remove(RecordCache<T>& cache, T* object) {
        int found = cache.forget(object);
        int status = object->remove();
        return found == kOk ? status : kNotCached;
    }
    // A franchise's computed points go with it.
    int remove(RecordCache<Team>& cache, Team* franchise);

    // Records of a sound file that could not be read during the last reload,
    // so loading can report them; a damaged file's lost records are told by
    // its DBFile::damageNotice instead, once for the whole file.
    const std::vector<std::string>& problems() const { return problems_; }

    void releaseAll();

  private:
    template <class T, int N>
    int load(RecordCache<T>& cache, RecordFile<N>& file, int year,
             const std::function<int(RecordFile<N>&)>& seed);
    template <class T, int N>
    int fill(RecordCache<T>& cache, RecordFile<N>& file);

    Singleton& context_;
    RecordCache<Player> players_;
    RecordCache<Team> franchises_;
    RecordCache<Division> divisions_;
    RecordCache<League> leagues_;
    RecordCache<TrackDraft> drafts_;
    RecordCache<Report> reports_;
    std::vector<std::string> problems_;
};

}  // namespace qff
