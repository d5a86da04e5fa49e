#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data02/season/Single.h"

namespace qff {

// "7_2_04.zip" for 2 July 2004: the month, the day and the year's two digits.
std::string defaultBackupName(int year, int month, int day);

// Preference 8033, taken from the working directory when relative; "Backup" in
// the working directory when the preference is empty.
std::filesystem::path backupDirectory(Singleton& context);
// The backup directory with the default name for the local date of `now`.
std::filesystem::path defaultBackupArchive(Singleton& context, std::time_t now);

// What a backup takes, relative to the working directory and sorted: the data
// files of the season (or every data file), and with reports every page under
// the working directory except those in its Support, Template and Backup
// folders. Symbolic links leading out of the working directory are not
// followed.
std::vector<std::filesystem::path> backupFileList(const std::filesystem::path& workdir,
                                                  int seasonYear, bool onlyThisSeason,
                                                  bool includeReports);

// Where a backup puts the files it takes; the archive library stays out of the
// data layer.
class BackupSink {
  public:
    virtual ~BackupSink() = default;
    virtual bool add(const std::filesystem::path& file, std::string_view nameInArchive,
                     std::string& error) = 0;
    // Writes everything added as one archive at `into`.
    virtual bool commit(const std::filesystem::path& into, std::string& error) = 0;
    // Forgets everything added without writing anything.
    virtual void abandon() = 0;
};

struct BackupOptions {
    std::filesystem::path archive;
    bool onlyThisSeason = true;
    bool includeReports = true;
};

// One backup, run a step at a time so a window can show the progress and offer
// a cancel between steps. The first step releases the season context, so that
// no data file is open while the files are read; whatever the outcome, the
// season that was open is opened again in a new context. Between the first and
// the last step the context is null.
class BackupRun {
  public:
    enum class Status { Running, Succeeded, Failed, Cancelled };

    // `env` is what the context is created again from; the sink must outlive
    // the run.
    BackupRun(std::unique_ptr<Singleton>& context, SeasonEnv env, BackupOptions options,
              BackupSink& sink);
    ~BackupRun();
    BackupRun(const BackupRun&) = delete;
    BackupRun& operator=(const BackupRun&) = delete;

    // One file per step, then a last step that writes the archive.
    void runStep();
    void runToEnd();
    void cancel();

    bool done() const { return status_ != Status::Running; }
    Status status() const { return status_; }
    // Why the backup failed.
    const std::string& error() const { return error_; }
    // Why the season could not be opened again; empty when it was.
    const std::string& reopenError() const { return reopenError_; }
    // Whether a season is open in the context: the one that was open before,
    // never closed or opened again.
    bool seasonOpen() const { return !seasonClosed_ || seasonReopened_; }
    const std::vector<std::filesystem::path>& files() const { return files_; }
    int filesAdded() const { return static_cast<int>(next_); }
    // The file the next step adds; empty when no file is left.
    std::filesystem::path nextFile() const;
    const std::filesystem::path& archive() const { return options_.archive; }

  private:
    std::string archivePathRefusal() const;
    bool closeSeasonFirst();
    void addNextFile();
    void writeArchive();
    void finish(Status status, std::string error = {});
    void reopenSeason();

    std::unique_ptr<Singleton>& context_;
    SeasonEnv env_;
    BackupOptions options_;
    BackupSink& sink_;
    int season_ = 0;
    std::vector<std::filesystem::path> files_;
    std::size_t next_ = 0;
    bool seasonClosed_ = false;
    bool seasonReopened_ = false;
    Status status_ = Status::Running;
    std::string error_;
    std::string reopenError_;
};

// Removes what killed backups and restores left in `directory`: partial
// archives and unpacking folders, told apart from the user's files by names
// only they use.
void removeBackupLeftovers(const std::filesystem::path& directory);

// What a restore reads the archive through.
class ArchiveSource {
  public:
    virtual ~ArchiveSource() = default;
    // Every entry's name as the archive stores it.
    virtual bool list(std::vector<std::string>& names, std::string& error) = 0;
    // Unpacks every entry below `into`, an empty directory.
    virtual bool extractAll(const std::filesystem::path& into, std::string& error) = 0;
};

// The season a data file of the working directory belongs to: the year its
// header holds when its name is that year's name for one of the season files.
std::optional<int> seasonOfDataFile(const std::filesystem::path& file);

struct RestorePlan {
    // The files the archive holds, relative to the working directory.
    std::vector<std::filesystem::path> files;
    // Current files the archive would replace; they are moved aside, never
    // overwritten.
    std::vector<std::filesystem::path> replaced;
    // Of those, the season data files, and the seasons they belong to.
    std::vector<std::filesystem::path> replacedSeasonFiles;
    std::vector<int> replacedSeasons;
};

// Refuses unsafe entry names, entries named twice (also in another case) and
// an archive without season data files.
std::optional<RestorePlan> restorePlan(const std::filesystem::path& workdir, ArchiveSource& archive,
                                       std::string& error);

// Whose current season files a restore replaces: "the 2004 season", "the
// 2003, 2004 seasons", or "a season" when their headers do not tell.
std::string replacedSeasonsText(const RestorePlan& plan);

// What a window asks before a restore changes any file: how many files the
// archive holds, which current files it replaces and where they go.
std::string restoreQuestion(const RestorePlan& plan);

struct RestoreResult {
    std::vector<std::filesystem::path> restored;
    // "Backup/Replaced <n>" in the working directory; empty when nothing was
    // replaced.
    std::filesystem::path setAsideDirectory;
    std::vector<std::filesystem::path> setAside;
};

// Told of each file moved, aside or into its place, so a window can show the
// progress.
using RestoreProgress = std::function<void(const std::filesystem::path& file)>;

// Unpacks the archive beside the working directory's files first and checks
// every data file it holds, so a damaged archive or a wrong password changes
// nothing; then moves the files it replaces aside and puts the unpacked files
// in their place under an undo journal. A failure part way puts every file
// back as it was at once, a killed restore when the season is opened next.
std::optional<RestoreResult> restoreBackup(const std::filesystem::path& workdir,
                                           const RestorePlan& plan, ArchiveSource& archive,
                                           std::string& error,
                                           const RestoreProgress& progress = {});

}  // namespace qff
