#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "data02/storage/Db_file.h"

namespace qff {

class Singleton;

// Runs `work`, which changes records of the open season's `files` (player,
// franchise, division, league or draft file), as one piece: an undo journal
// protects the files first. The files are kept when `work` returns kOk; else
// they are put back and their caches read again, so memory matches the disk.
// Records taken from those caches before a failure are gone after it. A kill
// part way is undone when the season opens next. Returns the status of
// `work`, or kFailed when the journal could not protect or keep the files.
int runAsWhole(Singleton& context, std::string operation, std::initializer_list<SeasonFile> files,
               const std::function<int()>& work);

}  // namespace qff
