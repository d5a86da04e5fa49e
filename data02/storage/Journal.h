#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qff {

// The journal of work in progress in a working directory, and the suffix of
// the copies it keeps. Both are left out of backups and season listings by
// their names.
inline constexpr std::string_view kJournalName = "qff-undo.journal";
inline constexpr std::string_view kUndoCopySuffix = ".qff-undo";

// Work that changes several files, or many records of one file in place, is
// taken back as a whole when it does not finish: before each change the
// journal records how to undo it, and only finished work deletes the journal.
// A journal left behind by a killed run is played backwards by
// recoverInterruptedWork before anything opens the files again.
//
// Paths are stored as given; relative ones are taken from the working
// directory.
class UndoJournal {
  public:
    UndoJournal(std::filesystem::path workdir, std::string operation);
    // Work that neither committed nor rolled back is rolled back.
    ~UndoJournal();
    UndoJournal(const UndoJournal&) = delete;
    UndoJournal& operator=(const UndoJournal&) = delete;

    // Refuses while another journal waits to be played back.
    bool begin(std::string& error);
    // Keeps a copy of `file` so its content comes back; a file that does not
    // exist yet is removed instead.
    bool protect(const std::filesystem::path& file, std::string& error);
    // `file` is about to be created; undoing removes it.
    bool willCreate(const std::filesystem::path& file, std::string& error);
    // Moves `file` to `aside`, a name no other file holds; undoing moves it
    // back.
    bool moveAside(const std::filesystem::path& file, const std::filesystem::path& aside,
                   std::string& error);

    // The work is done: the journal goes first, so a kill from here on keeps
    // the new state; the copies go after.
    bool commit(std::string& error);
    bool rollBack(std::string& error);

    bool active() const { return active_; }

  private:
    bool append(char kind, const std::filesystem::path& file, const std::filesystem::path& other,
                std::string& error);
    std::filesystem::path inWorkdir(const std::filesystem::path& path) const;

    std::filesystem::path workdir_;
    std::string operation_;
    std::vector<std::filesystem::path> copies_;
    bool active_ = false;
};

// What the playback of a left-behind journal did.
struct Recovery {
    bool undone = false;
    // The name of the work that was taken back, e.g. "merge".
    std::string operation;
};

// Plays back a journal left in `workdir` by work that did not finish, and
// removes copies and partly written files (kPartialSuffix) a killed run left
// behind. False with the
// reason when a step could not be undone; the journal then stays for the
// next attempt.
bool recoverInterruptedWork(const std::filesystem::path& workdir, Recovery& recovery,
                            std::string& error);

// Flushes a file's content to the disk, so a rename that follows cannot reach
// the disk before the data it names.
bool syncFile(const std::filesystem::path& file);

}  // namespace qff
