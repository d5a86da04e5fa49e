#include "data02/season/Whole.h"

#include <filesystem>

#include "data02/diag/Status.h"
#include "data02/model/Mapfact.h"
#include "data02/season/Single.h"
#include "data02/storage/Journal.h"
#include "data02/storage/Recfile.h"

namespace qff {
namespace {

std::filesystem::path openPathOf(Singleton& context, SeasonFile file) {
    switch (file) {
        case SeasonFile::Plyr:
            return context.playerFile().db().path();
        case SeasonFile::Team:
            return context.teamFile().db().path();
        case SeasonFile::Div:
            return context.divisionFile().db().path();
        case SeasonFile::Leg:
            return context.leagueFile().db().path();
        case SeasonFile::Draft:
            return context.draftFile().db().path();
        default:
            return {};
    }
}

// The rollback replaced the files the context holds open, so each is opened
// again along with its cache.
void reload(Singleton& context, SeasonFile file) {
    MapFactory& caches = context.mapFactory();
    switch (file) {
        case SeasonFile::Plyr:
            caches.reloadPlayers(context.playerFile().year());
            break;
        case SeasonFile::Team:
            caches.reloadFranchises(context.teamFile().year());
            break;
        case SeasonFile::Div:
            caches.reloadDivisions(context.divisionFile().year());
            break;
        case SeasonFile::Leg:
            caches.reloadLeagues(context.leagueFile().year());
            break;
        case SeasonFile::Draft:
            caches.reloadDrafts(context.draftFile().year());
            break;
        default:
            break;
    }
}

bool protectAll(Singleton& context, UndoJournal& journal, std::initializer_list<SeasonFile> files) {
    std::string error;
    if (!journal.begin(error)) {
        return false;
    }
    for (SeasonFile file : files) {
        std::filesystem::path path = openPathOf(context, file);
        if (path.empty() || !journal.protect(path, error)) {
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
