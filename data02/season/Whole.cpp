#include "data02/season/Whole.h"

#include <filesystem>

#include "data02/diag/Status.h"
#include "data02/model/Mapfact.h"
#include "data02/season/Single.h"
#include "data02/storage/Journal.h"
#include "data02/storage/Recfile.h"

namespace qff {
namespace {

// A season file the context holds open, and what reloads its cache.
struct HeldFile {
    const DBFile* db = nullptr;
    int year = 0;
    int (MapFactory::*reload)(int) = nullptr;
};

template <class File>
HeldFile held(File& file, int (MapFactory::*reload)(int)) {
    return {&file.db(), file.year(), reload};
}

HeldFile heldFile(Singleton& context, SeasonFile file) {
    switch (file) {
        case SeasonFile::Plyr:
            return held(context.playerFile(), &MapFactory::reloadPlayers);
        case SeasonFile::Team:
            return held(context.teamFile(), &MapFactory::reloadFranchises);
        case SeasonFile::Div:
            return held(context.divisionFile(), &MapFactory::reloadDivisions);
        case SeasonFile::Leg:
            return held(context.leagueFile(), &MapFactory::reloadLeagues);
        case SeasonFile::Draft:
            return held(context.draftFile(), &MapFactory::reloadDrafts);
        case SeasonFile::Rpt:
            return held(context.reportFile(), &MapFactory::reloadReports);
        default:
            return {};
    }
}

// The rollback replaced the files the context holds open, so each is opened
// again along with its cache.
void reload(Singleton& context, SeasonFile file) {
    HeldFile open = heldFile(context, file);
    if (open.reload != nullptr) {
        (context.mapFactory().*open.reload)(open.year);
    }
}

bool protectAll(Singleton& context, UndoJournal& journal, std::initializer_list<SeasonFile> files) {
    std::string error;
    if (!journal.begin(error)) {
        return false;
    }
    for (SeasonFile file : files) {
        const DBFile* db = heldFile(context, file).db;
        if (db == nullptr || db->path().empty() || !journal.protect(db->path(), error)) {
            // Nothing was written yet: dropping the journal keeps the files
            // open where they are, which a rollback would not.
            journal.commit(error);
            return false;
        }
    }
    return true;
}

}  // namespace

int runAsWhole(Singleton& context, std::string operation, std::initializer_list<SeasonFile> files,
               const std::function<int()>& work) {
    UndoJournal journal(context.workdir(), std::move(operation));
    if (!protectAll(context, journal, files)) {
        return kFailed;
    }
    int status = work();
    std::string error;
    if (status == kOk && journal.commit(error)) {
        return kOk;
    }
    if (journal.rollBack(error)) {
        for (SeasonFile file : files) {
            reload(context, file);
        }
    }
    return status == kOk ? kFailed : status;
}

}  // namespace qff
