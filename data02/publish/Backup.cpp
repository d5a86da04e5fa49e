#include "data02/publish/Backup.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "data02/diag/Memory.h"
#include "data02/diag/Status.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Record_check.h"
#include "data02/storage/Bytes.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Files.h"
#include "data02/storage/Journal.h"

namespace qff {

namespace fs = std::filesystem;

namespace {

constexpr const char* kBackupDirectoryName = "Backup";
// The names of an archive being written and of a restore's unpacked copy. A
// killed run leaves them behind, and the next backup or restore recognises
// them by these names and removes them.
constexpr std::string_view kPartialArchivePrefix = ".qff-backup-";
constexpr std::string_view kUnpackingPrefix = ".qff-restoring";

// The archive library writes its own temporary beside ours, named after ours
// with one more leading dot.
bool isPartialArchiveName(std::string_view name) {
    if (name.starts_with("..")) {
        name.remove_prefix(1);
    }
    return name.starts_with(kPartialArchivePrefix);
}

bool isUnpackingFolderName(std::string_view name) {
    return name.starts_with(kUnpackingPrefix) &&
           name.substr(kUnpackingPrefix.size()).starts_with(' ');
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isInside(const fs::path& path, const fs::path& directory) {
    fs::path relative = path.lexically_relative(directory);
    return !relative.empty() && *relative.begin() != "..";
}

// A link is only taken when the file it leads to is inside the working
// directory, so a backup never carries a file from elsewhere.
bool isFileToTake(const fs::directory_entry& entry, const fs::path& realWorkdir) {
    std::error_code ec;
    if (!entry.is_regular_file(ec)) {
        return false;
    }
    if (!entry.is_symlink(ec)) {
        return true;
    }
    fs::path target = fs::canonical(entry.path(), ec);
    return !ec && isInside(target, realWorkdir);
}

// Help pages and page templates come with the program, and the backup
// directory holds archives and files set aside by restores, not reports.
bool isSkippedReportDirectory(const fs::directory_entry& entry) {
    std::error_code ec;
    if (entry.is_symlink(ec) || !entry.is_directory(ec)) {
        return false;
    }
    std::string name = entry.path().filename().string();
    return equalsNoCase(name, "Support") || equalsNoCase(name, "Template") ||
           equalsNoCase(name, kBackupDirectoryName);
}

std::vector<fs::path> dataFiles(const fs::path& workdir, const fs::path& realWorkdir,
                                int seasonYear, bool onlyThisSeason) {
    std::string suffix = ".db";
    if (onlyThisSeason) {
        std::optional<int> number = seasonNumber(seasonYear);
        if (!number) {
            return {};
        }
        char digits[16];
        std::snprintf(digits, sizeof digits, "%02d", *number);
        suffix = digits + suffix;
    }
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(workdir, ec), end; !ec && it != end; it.increment(ec)) {
        fs::path name = it->path().filename();
        if (isFileToTake(*it, realWorkdir) && endsWithNoCase(name.string(), suffix)) {
            files.push_back(name);
        }
    }
    return files;
}

std::vector<fs::path> reportFiles(const fs::path& workdir, const fs::path& realWorkdir) {
    std::vector<fs::path> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(workdir, fs::directory_options::skip_permission_denied, ec);
    for (fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        if (it.depth() == 0 && isSkippedReportDirectory(*it)) {
            it.disable_recursion_pending();
        } else if (isFileToTake(*it, realWorkdir) &&
                   lowered(it->path().filename().string()).find(".htm") != std::string::npos) {
            files.push_back(it->path().lexically_relative(workdir));
        }
    }
    return files;
}

// The first "<stem> <n>" that does not exist yet in `directory`.
fs::path unusedPath(const fs::path& directory, const std::string& stem) {
    for (int n = 1;; ++n) {
        fs::path candidate = directory / (stem + " " + std::to_string(n));
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(candidate, ec))) {
            return candidate;
        }
    }
}

// Creating the directory is the test that it is new, so two restores never
// share one.
std::optional<fs::path> createNewDirectory(const fs::path& parent, const std::string& stem,
                                           std::string& error) {
    std::error_code ec;
    fs::create_directories(parent, ec);
    while (!ec) {
        fs::path candidate = unusedPath(parent, stem);
        if (fs::create_directory(candidate, ec)) {
            return candidate;
        }
    }
    error = "Cannot create a folder in " + parent.string() + ": " + ec.message();
    return std::nullopt;
}

}  // namespace

std::string defaultBackupName(int year, int month, int day) {
    // The year's two digits follow the same rule as the season number.
    int shortYear = seasonNumber(year).value_or(year % 100);
    char name[64];
    std::snprintf(name, sizeof name, "%d_%d_%02d.zip", month, day, shortYear);
    return name;
}

fs::path backupDirectory(Singleton& context) {
    std::string setting = context.preferences().getText(kPrefBackupDirectory);
    if (setting.empty()) {
        return context.pathOf(kBackupDirectoryName);
    }
    return context.workdir() / fs::path(setting);
}

fs::path defaultBackupArchive(Singleton& context, std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    return backupDirectory(context) /
           defaultBackupName(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::vector<fs::path> backupFileList(const fs::path& workdir, int seasonYear, bool onlyThisSeason,
                                     bool includeReports) {
    std::error_code ec;
    fs::path realWorkdir = fs::canonical(workdir, ec);
    if (ec) {
        return {};
    }
    std::vector<fs::path> files = dataFiles(workdir, realWorkdir, seasonYear, onlyThisSeason);
    if (includeReports) {
        std::vector<fs::path> reports = reportFiles(workdir, realWorkdir);
        files.insert(files.end(), reports.begin(), reports.end());
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

BackupRun::BackupRun(std::unique_ptr<Singleton>& context, SeasonEnv env, BackupOptions options,
                     BackupSink& sink)
    : context_(context), env_(std::move(env)), options_(std::move(options)), sink_(sink) {
    season_ = context_->preferences().get(kPrefOpenSeason);
    int calendarYear = context_->calendarYear();
    files_ = backupFileList(env_.workdir, calendarYear, options_.onlyThisSeason,
                            options_.includeReports);
    if (options_.archive.empty()) {
        finish(Status::Failed, "Please enter a name for the backup file.");
    } else if (files_.empty()) {
        finish(Status::Failed, options_.onlyThisSeason
                                   ? "There are no files of the " + std::to_string(calendarYear) +
                                         " season to back up."
                                   : "There are no data files to back up.");
    } else if (std::string refused = archivePathRefusal(); !refused.empty()) {
        finish(Status::Failed, refused);
    }
}

BackupRun::~BackupRun() {
    cancel();
}

std::string BackupRun::archivePathRefusal() const {
    std::error_code ec;
    fs::path archive = fs::weakly_canonical(options_.archive, ec);
    for (const fs::path& file : files_) {
        if (!ec && archive == fs::weakly_canonical(env_.workdir / file, ec)) {
            return "The backup cannot be written over " + file.string() + ", which it backs up.";
        }
    }
    return {};
}

fs::path BackupRun::nextFile() const {
    return done() || next_ >= files_.size() ? fs::path() : files_[next_];
}

void BackupRun::runStep() {
    if (done() || (!seasonClosed_ && !closeSeasonFirst())) {
        return;
    }
    if (next_ < files_.size()) {
        addNextFile();
    } else {
        writeArchive();
    }
}

void BackupRun::runToEnd() {
    while (!done()) {
        runStep();
    }
}

void BackupRun::cancel() {
    if (!done()) {
        finish(Status::Cancelled);
    }
}

bool BackupRun::closeSeasonFirst() {
    seasonClosed_ = true;
    std::string error;
    if (!closeSeason(context_, error)) {
        finish(Status::Failed,
               "The settings could not be written, so nothing was backed up: " + error);
        return false;
    }
    return true;
}

void BackupRun::addNextFile() {
    const fs::path& file = files_[next_];
    std::string error;
    if (!sink_.add(env_.workdir / file, file.generic_string(), error)) {
        finish(Status::Failed, "Cannot add " + file.string() + " to the backup: " + error);
        return;
    }
    ++next_;
}

// The archive is written under a temporary name and only then renamed over an
// earlier archive of the same name, so a failed backup never costs the last
// good one.
void BackupRun::writeArchive() {
    const fs::path& archive = options_.archive;
    fs::path directory = archive.parent_path();
    std::error_code ec;
    if (!directory.empty()) {
        fs::create_directories(directory, ec);
    }
    if (ec) {
        finish(Status::Failed,
               "Cannot create the folder " + directory.string() + ": " + ec.message());
        return;
    }
    removeBackupLeftovers(directory);
    removeBackupLeftovers(env_.workdir / kBackupDirectoryName);
    StagedWrite staged(archive, unusedPath(directory, std::string(kPartialArchivePrefix) +
                                                          archive.filename().string() +
                                                          std::string(kPartialSuffix)));
    std::string error;
    if (!sink_.commit(staged.temporary(), error)) {
        staged.discard();
        finish(Status::Failed, "Cannot write the backup " + archive.string() + ": " + error);
        return;
    }
    if (!staged.replaceTarget(ec)) {
        finish(Status::Failed, "Cannot write the backup " + archive.string() + ": " + ec.message());
        return;
    }
    finish(Status::Succeeded);
}

void BackupRun::finish(Status status, std::string error) {
    if (status != Status::Succeeded) {
        sink_.abandon();
    }
    status_ = status;
    error_ = std::move(error);
    if (seasonClosed_) {
        reopenSeason();
    }
}

void BackupRun::reopenSeason() {
    std::string error;
    context_ = Singleton::create(env_, error);
    if (!context_) {
        reopenError_ = error;
        return;
    }
    Preferences& preferences = context_->preferences();
    if (preferences.load() != kOk) {
        reopenError_ = preferences.lastError();
    }
    SeasonOpenReport report = openSeason(*context_, season_);
    seasonReopened_ = report.opened;
    if (!report.opened) {
        std::string reason = report.messages.empty() ? "" : ": " + report.messages.back().text;
        reopenError_ =
            "The " + std::to_string(season_) + " season could not be opened again" + reason;
    }
}

namespace {

// "Plyr_03.DB" and its like, in any case.
bool isSeasonDataFileName(const std::string& name) {
    for (SeasonFile kind : kAllSeasonFiles) {
        std::string prefix = std::string(seasonFilePrefix(kind)) + "_";
        if (name.size() > prefix.size() && equalsNoCase(name.substr(0, prefix.size()), prefix) &&
            recordSizeForFileName(name) == seasonFileRecordSize(kind)) {
            return true;
        }
    }
    return false;
}

bool isSeasonDataFile(const fs::path& relative) {
    return !relative.has_parent_path() && isSeasonDataFileName(relative.string());
}

// An entry may only name a place inside the working directory. A backslash is
// refused rather than guessed at: it is a separator on some systems and a
// plain character on others. Directory entries give an empty path.
std::optional<fs::path> entryPath(const std::string& name, std::string& error) {
    auto refuse = [&](const char* why) {
        error = "The archive entry \"" + name + "\" is refused: " + why + ". Nothing was restored.";
        return std::nullopt;
    };
    if (name.empty()) {
        return refuse("it has no name");
    }
    if (name.find('\\') != std::string::npos) {
        return refuse("it contains a backslash");
    }
    if (name.front() == '/' || (name.size() > 1 && name[1] == ':')) {
        return refuse("it is an absolute path");
    }
    fs::path relative;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t slash = std::min(name.find('/', start), name.size());
        std::string component = name.substr(start, slash - start);
        if (component == "..") {
            return refuse("it leads out of the working directory");
        }
        if (!component.empty() && component != ".") {
            relative /= component;
        }
        start = slash + 1;
    }
    return name.back() == '/' ? fs::path() : relative;
}

// A link in the working directory must not redirect a restored file elsewhere.
bool passesThroughLink(const fs::path& workdir, const fs::path& relativeDirectory) {
    fs::path current = workdir;
    for (const fs::path& component : relativeDirectory) {
        current /= component;
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(current, ec))) {
            return true;
        }
    }
    return false;
}

bool existsAsAnything(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

void noteReplaced(const fs::path& workdir, const fs::path& file, RestorePlan& plan) {
    fs::path existing = resolveNoCase(workdir / file);
    if (!existsAsAnything(existing)) {
        return;
    }
    fs::path relative = existing.lexically_relative(workdir);
    plan.replaced.push_back(relative);
    if (!isSeasonDataFile(relative)) {
        return;
    }
    plan.replacedSeasonFiles.push_back(relative);
    std::optional<int> season = seasonOfDataFile(existing);
    if (season && std::find(plan.replacedSeasons.begin(), plan.replacedSeasons.end(), *season) ==
                      plan.replacedSeasons.end()) {
        plan.replacedSeasons.push_back(*season);
    }
}

// Every change a restore makes in the working directory is written to the
// journal before it is made, so it can be taken back whether the restore fails
// or is killed.
class JournaledMoves {
  public:
    JournaledMoves(fs::path workdir, UndoJournal& journal, const RestoreProgress& progress)
        : workdir_(std::move(workdir)), journal_(journal), progress_(progress) {}

    // Creates the missing folders of `relativeDirectory` one by one, so
    // undoing removes each of them again.
    bool makeDirectories(const fs::path& relativeDirectory, std::string& error) {
        fs::path current;
        for (const fs::path& component : relativeDirectory) {
            current /= component;
            fs::path path = workdir_ / current;
            std::error_code ec;
            if (fs::is_directory(fs::symlink_status(path, ec))) {
                continue;
            }
            if (existsAsAnything(path)) {
                error = "Cannot create the folder " + current.string() +
                        ": a file of that name is in the way.";
                return false;
            }
            if (!journal_.willCreate(current, error)) {
                return false;
            }
            if (!fs::create_directory(path, ec)) {
                error = "Cannot create the folder " + current.string() + ": " +
                        (ec ? ec.message() : "it appeared while restoring") + ".";
                return false;
            }
        }
        return true;
    }

    bool moveAside(const fs::path& file, const fs::path& aside, std::string& error) {
        if (!makeDirectories(aside.parent_path(), error) ||
            !journal_.moveAside(file, aside, error)) {
            return false;
        }
        told(file);
        return true;
    }

    bool moveIn(const fs::path& from, const fs::path& file, std::string& error) {
        if (!makeDirectories(file.parent_path(), error)) {
            return false;
        }
        fs::path to = workdir_ / file;
        if (existsAsAnything(to)) {
            error = "Cannot restore: " + to.string() + " appeared while restoring.";
            return false;
        }
        if (!journal_.willCreate(file, error)) {
            return false;
        }
        std::error_code ec;
        fs::rename(from, to, ec);
        if (ec) {
            error = "Cannot move " + from.string() + " to " + to.string() + ": " + ec.message();
            return false;
        }
        told(file);
        return true;
    }

  private:
    void told(const fs::path& file) const {
        if (progress_) {
            progress_(file);
        }
    }

    fs::path workdir_;
    UndoJournal& journal_;
    const RestoreProgress& progress_;
};

// The unpacked copy is the restore's own and goes once it is done with; so
// does a backup folder made only to hold it.
class UnpackingFolder {
  public:
    UnpackingFolder() = default;
    ~UnpackingFolder() {
        std::error_code ec;
        if (!path_.empty()) {
            fs::remove_all(path_, ec);
        }
        if (madeParent_) {
            fs::remove(path_.parent_path(), ec);
        }
    }
    UnpackingFolder(const UnpackingFolder&) = delete;
    UnpackingFolder& operator=(const UnpackingFolder&) = delete;

    bool create(const fs::path& parent, std::string& error) {
        madeParent_ = !existsAsAnything(parent);
        std::optional<fs::path> created =
            createNewDirectory(parent, std::string(kUnpackingPrefix), error);
        path_ = created.value_or(fs::path());
        return created.has_value();
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
    bool madeParent_ = false;
};

// Empty when `file` opens as an undamaged record file of `recordSize` bytes
// a record whose records pass their kind's check; otherwise why not.
std::string damageOf(const fs::path& file, int recordSize) {
    // A check this short keeps no memory report.
    MyMemory memory{fs::path()};
    // Closing clears the record, so it outlives the file.
    std::vector<std::uint8_t> record(static_cast<std::size_t>(recordSize));
    DBFile records(memory);
    if (records.openFile(file, record) != 0) {
        return records.lastError();
    }
    if (std::optional<RecordCheck> check = recordCheckForFileName(file.filename().string())) {
        records.checkRecords(*check);
    }
    return records.damage();
}

// Every file of the plan was unpacked, and every data file among them opens
// as what its name says it is.
bool checkUnpacked(const fs::path& unpacked, const RestorePlan& plan, std::string& error) {
    for (const fs::path& file : plan.files) {
        std::error_code ec;
        if (!fs::is_regular_file(fs::symlink_status(unpacked / file, ec))) {
            error = "The archive did not unpack " + file.string() + ". Nothing was restored.";
            return false;
        }
        std::optional<int> recordSize =
            file.has_parent_path() ? std::nullopt : recordSizeForFileName(file.string());
        std::string damage = recordSize ? damageOf(unpacked / file, *recordSize) : std::string();
        if (!damage.empty()) {
            error = "The backup holds a damaged " + file.string() + ": " + damage +
                    ". Nothing was restored.";
            return false;
        }
    }
    return true;
}

bool moveAside(const fs::path& workdir, const RestorePlan& plan, JournaledMoves& moves,
               RestoreResult& result, std::string& error) {
    if (plan.replaced.empty()) {
        return true;
    }
    fs::path aside =
        unusedPath(workdir / kBackupDirectoryName, "Replaced").lexically_relative(workdir);
    if (!moves.makeDirectories(aside, error)) {
        return false;
    }
    result.setAsideDirectory = workdir / aside;
    for (const fs::path& file : plan.replaced) {
        if (!moves.moveAside(file, aside / file, error)) {
            return false;
        }
        result.setAside.push_back(file);
    }
    return true;
}

bool moveIntoPlace(const fs::path& unpacked, const RestorePlan& plan, JournaledMoves& moves,
                   std::string& error) {
    for (const fs::path& file : plan.files) {
        if (!moves.moveIn(unpacked / file, file, error)) {
            return false;
        }
    }
    return true;
}

// Unpacking keeps one of two entries of the same name, and a file system that
// ignores case one of two names that differ only in case, so which of them
// would be restored cannot be told.
bool refuseDuplicates(std::vector<fs::path> files, std::string& error) {
    auto folded = [](const fs::path& file) { return lowered(file.generic_string()); };
    std::stable_sort(files.begin(), files.end(),
                     [&](const fs::path& a, const fs::path& b) { return folded(a) < folded(b); });
    auto twice = std::adjacent_find(
        files.begin(), files.end(),
        [&](const fs::path& a, const fs::path& b) { return folded(a) == folded(b); });
    if (twice == files.end()) {
        return true;
    }
    std::string first = twice->generic_string();
    std::string second = std::next(twice)->generic_string();
    error = "The backup holds " + first + " twice" +
            (first == second ? "" : " (also as " + second + ")") + ". Nothing was restored.";
    return false;
}

std::string withFullStop(std::string text) {
    return text.ends_with('.') ? text : text + ".";
}

}  // namespace

std::optional<int> seasonOfDataFile(const fs::path& file) {
    std::array<std::uint8_t, DBFile::kYearOffset + 4> header{};
    std::ifstream in(file, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) {
        return std::nullopt;
    }
    int year = getI32(header, DBFile::kYearOffset);
    std::string name = file.filename().string();
    for (SeasonFile kind : kAllSeasonFiles) {
        std::optional<std::string> expected = seasonFileName(kind, year);
        if (expected && equalsNoCase(*expected, name)) {
            return year;
        }
    }
    return std::nullopt;
}

std::optional<RestorePlan> restorePlan(const fs::path& workdir, ArchiveSource& archive,
                                       std::string& error) {
    std::vector<std::string> names;
    std::string reason;
    if (!archive.list(names, reason)) {
        error = "Cannot read the archive: " + reason;
        return std::nullopt;
    }
    RestorePlan plan;
    for (const std::string& name : names) {
        std::optional<fs::path> file = entryPath(name, error);
        if (!file) {
            return std::nullopt;
        }
        if (!file->empty()) {
            plan.files.push_back(*file);
        }
    }
    if (!refuseDuplicates(plan.files, error)) {
        return std::nullopt;
    }
    std::sort(plan.files.begin(), plan.files.end());
    if (std::none_of(plan.files.begin(), plan.files.end(), isSeasonDataFile)) {
        error =
            "The archive holds no season data files, so it is not a backup of a season. "
            "Nothing was restored.";
        return std::nullopt;
    }
    for (const fs::path& file : plan.files) {
        if (passesThroughLink(workdir, file.parent_path())) {
            error = "Cannot restore " + file.string() +
                    ": its folder is a symbolic link. Nothing was restored.";
            return std::nullopt;
        }
        noteReplaced(workdir, file, plan);
    }
    return plan;
}

std::string replacedSeasonsText(const RestorePlan& plan) {
    std::string seasons;
    for (int year : plan.replacedSeasons) {
        seasons += (seasons.empty() ? "" : ", ") + std::to_string(year);
    }
    if (plan.replacedSeasons.empty()) {
        return "a season";
    }
    return "the " + seasons + (plan.replacedSeasons.size() == 1 ? " season" : " seasons");
}

std::string restoreQuestion(const RestorePlan& plan) {
    auto files = [](std::size_t count) {
        return std::to_string(count) + (count == 1 ? " file" : " files");
    };
    std::string text = "The backup holds " + files(plan.files.size()) + ". ";
    if (plan.replaced.empty()) {
        text += "Restoring it replaces no current file.";
    } else {
        text += "Restoring it replaces " + files(plan.replaced.size()) + " of the working folder";
        if (!plan.replacedSeasonFiles.empty()) {
            text += ", among them the data files of " + replacedSeasonsText(plan);
        }
        text += plan.replaced.size() == 1 ? "; it is" : "; they are";
        text +=
            " moved aside into a new folder \"Backup/Replaced <n>\" of the working "
            "folder.";
    }
    return text + "\n\nDo you want to restore the backup?";
}

void removeBackupLeftovers(const fs::path& directory) {
    std::vector<fs::path> leftovers;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code kind;
        bool folder = !it->is_symlink(kind) && it->is_directory(kind);
        if ((isPartialArchiveName(name) && !folder) || (isUnpackingFolderName(name) && folder)) {
            leftovers.push_back(it->path());
        }
    }
    for (const fs::path& leftover : leftovers) {
        fs::remove_all(leftover, ec);
    }
}

std::optional<RestoreResult> restoreBackup(const fs::path& workdir, const RestorePlan& plan,
                                           ArchiveSource& archive, std::string& error,
                                           const RestoreProgress& progress) {
    fs::path backupFolder = workdir / kBackupDirectoryName;
    removeBackupLeftovers(backupFolder);
    UnpackingFolder unpacked;
    if (!unpacked.create(backupFolder, error)) {
        return std::nullopt;
    }
    std::string reason;
    if (!archive.extractAll(unpacked.path(), reason)) {
        error = "Cannot unpack the archive: " + reason + ". Nothing was restored.";
        return std::nullopt;
    }
    if (!checkUnpacked(unpacked.path(), plan, error)) {
        return std::nullopt;
    }
    UndoJournal journal(workdir, "restore");
    if (!journal.begin(reason)) {
        error = "Cannot start the restore: " + withFullStop(reason) + " Nothing was restored.";
        return std::nullopt;
    }
    RestoreResult result;
    JournaledMoves moves(workdir, journal, progress);
    if (moveAside(workdir, plan, moves, result, error) &&
        moveIntoPlace(unpacked.path(), plan, moves, error) && journal.commit(error)) {
        result.restored = plan.files;
        return result;
    }
    if (journal.rollBack(reason)) {
        error += " Every file was put back as it was.";
    } else {
        error += " Some files could not be put back yet (" + reason +
                 "); they are put back when the season is opened next.";
    }
    return std::nullopt;
}

}  // namespace qff
