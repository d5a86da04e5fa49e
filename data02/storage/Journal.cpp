#include "data02/storage/Journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "data02/storage/Files.h"

namespace qff {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "QFFJ1 ";
constexpr char kCopy = 'c';
constexpr char kCreate = 'n';
constexpr char kAside = 'a';

// Fields are length-prefixed, so any byte a path may hold survives and an
// entry cut short by a kill is recognised and ignored: its change had not
// begun.
std::string field(std::string_view text) {
    return std::to_string(text.size()) + ":" + std::string(text);
}

struct Entry {
    char kind;
    fs::path file;
    fs::path other;
};

class Reader {
  public:
    explicit Reader(std::string text) : text_(std::move(text)) {}

    std::optional<std::string> field() {
        std::size_t colon = text_.find(':', at_);
        if (colon == std::string::npos || colon == at_ || colon - at_ > 9) {
            return std::nullopt;
        }
        std::size_t length = 0;
        for (std::size_t i = at_; i < colon; ++i) {
            if (text_[i] < '0' || text_[i] > '9') {
                return std::nullopt;
            }
            length = length * 10 + static_cast<std::size_t>(text_[i] - '0');
        }
        if (text_.size() - colon - 1 < length) {
            return std::nullopt;
        }
        at_ = colon + 1 + length;
        return text_.substr(colon + 1, length);
    }

    bool literal(std::string_view text) {
        if (text_.compare(at_, text.size(), text) != 0) {
            return false;
        }
        at_ += text.size();
        return true;
    }

    std::optional<char> kind() {
        if (at_ >= text_.size()) {
            return std::nullopt;
        }
        return text_[at_++];
    }

  private:
    std::string text_;
    std::size_t at_ = 0;
};

struct Journal {
    std::string operation;
    std::vector<Entry> entries;
};

std::optional<std::string> readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::optional<Journal> parseJournal(std::string text) {
    Reader reader(std::move(text));
    Journal journal;
    std::optional<std::string> operation;
    if (!reader.literal(kMagic) || !(operation = reader.field()) || !reader.literal("\n")) {
        return std::nullopt;
    }
    journal.operation = *operation;
    while (std::optional<char> kind = reader.kind()) {
        std::optional<std::string> file = reader.field();
        std::optional<std::string> other = file ? reader.field() : std::nullopt;
        if (!other || !reader.literal("\n")) {
            break;
        }
        journal.entries.push_back({*kind, *file, *other});
    }
    return journal;
}

bool isPresent(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

std::string reasonOf(const std::error_code& ec) {
    return ec.message();
}

bool undoEntry(const Entry& entry, std::string& error) {
    std::error_code ec;
    switch (entry.kind) {
        case kCopy:
            if (isPresent(entry.other)) {
                fs::rename(entry.other, entry.file, ec);
            }
            break;
        case kCreate:
            fs::remove(entry.file, ec);
            break;
        case kAside:
            if (isPresent(entry.other)) {
                fs::rename(entry.other, entry.file, ec);
            }
            break;
        default:
            break;
    }
    if (ec) {
        error = "cannot restore " + entry.file.string() + ": " + reasonOf(ec);
        return false;
    }
    return true;
}

fs::path resolved(const fs::path& workdir, const fs::path& path) {
    return path.is_absolute() ? path : workdir / path;
}

bool playBack(const fs::path& workdir, const Journal& journal, std::string& error) {
    for (auto it = journal.entries.rbegin(); it != journal.entries.rend(); ++it) {
        Entry entry{it->kind, resolved(workdir, it->file), resolved(workdir, it->other)};
        if (!undoEntry(entry, error)) {
            return false;
        }
    }
    return true;
}

bool isLeftover(std::string_view name) {
    for (std::string_view suffix : {kUndoCopySuffix, kPartialSuffix}) {
        if (name.size() > suffix.size() && name.ends_with(suffix)) {
            return true;
        }
    }
    return false;
}

// Copies and files a kill caught before their rename; neither holds
// anything a finished piece of work still needs.
void removeLeftovers(const fs::path& workdir) {
    std::error_code ec;
    for (fs::directory_iterator it(workdir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && isLeftover(it->path().filename().string())) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

bool playBackFile(const fs::path& workdir, Recovery& recovery, std::string& error) {
    fs::path journalPath = workdir / kJournalName;
    if (!isPresent(journalPath)) {
        return true;
    }
    std::optional<std::string> text = readWhole(journalPath);
    if (!text) {
        error = "cannot read " + journalPath.string() + ": " + std::strerror(errno);
        return false;
    }
    // A journal whose first line never reached the disk had recorded no change.
    std::optional<Journal> journal = parseJournal(std::move(*text));
    if (journal && !playBack(workdir, *journal, error)) {
        return false;
    }
    std::error_code ec;
    fs::remove(journalPath, ec);
    if (ec) {
        error = "cannot remove " + journalPath.string() + ": " + reasonOf(ec);
        return false;
    }
    recovery.undone = journal && !journal->entries.empty();
    recovery.operation = journal ? journal->operation : std::string();
    return true;
}

}  // namespace

bool syncFile(const fs::path& file) {
    int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    bool synced = ::fsync(descriptor) == 0;
    return ::close(descriptor) == 0 && synced;
}

bool recoverInterruptedWork(const fs::path& workdir, Recovery& recovery, std::string& error) {
    recovery = {};
    if (!playBackFile(workdir, recovery, error)) {
        return false;
    }
    removeLeftovers(workdir);
    return true;
}

UndoJournal::UndoJournal(fs::path workdir, std::string operation)
    : workdir_(std::move(workdir)), operation_(std::move(operation)) {}

UndoJournal::~UndoJournal() {
    if (active_) {
        std::string ignored;
        rollBack(ignored);
    }
}

fs::path UndoJournal::inWorkdir(const fs::path& path) const {
    return resolved(workdir_, path);
}

bool UndoJournal::begin(std::string& error) {
    fs::path journalPath = workdir_ / kJournalName;
    if (isPresent(journalPath)) {
        error = "Work interrupted earlier has not been undone yet (" + journalPath.string() +
                "); open the season again first.";
        return false;
    }
    std::FILE* out = std::fopen(journalPath.c_str(), "wbx");
    if (out == nullptr) {
        error = "cannot create " + journalPath.string() + ": " + std::strerror(errno);
        return false;
    }
    std::string header = std::string(kMagic) + field(operation_) + "\n";
    bool written = std::fwrite(header.data(), 1, header.size(), out) == header.size() &&
                   std::fflush(out) == 0 && ::fsync(::fileno(out)) == 0;
    bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        error = "cannot write " + journalPath.string() + ": " + std::strerror(errno);
        std::error_code ignored;
        fs::remove(journalPath, ignored);
        return false;
    }
    active_ = true;
    copies_.clear();
    return true;
}

bool UndoJournal::append(char kind, const fs::path& file, const fs::path& other,
                         std::string& error) {
    fs::path journalPath = workdir_ / kJournalName;
    std::string entry = std::string(1, kind) + field(file.string()) + field(other.string()) + "\n";
    std::FILE* out = std::fopen(journalPath.c_str(), "ab");
    bool written = out != nullptr &&
                   std::fwrite(entry.data(), 1, entry.size(), out) == entry.size() &&
                   std::fflush(out) == 0 && ::fsync(::fileno(out)) == 0;
    bool closed = out != nullptr && std::fclose(out) == 0;
    if (!written || !closed) {
        error = "cannot write " + journalPath.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool UndoJournal::protect(const fs::path& file, std::string& error) {
    fs::path path = inWorkdir(file);
    if (!isPresent(path)) {
        return willCreate(file, error);
    }
    fs::path copy = path;
    copy += kUndoCopySuffix;
    std::error_code ec;
    fs::copy_file(path, copy, fs::copy_options::overwrite_existing, ec);
    if (ec || !syncFile(copy)) {
        error = "cannot keep a copy of " + path.string() + ": " +
                (ec ? reasonOf(ec) : std::strerror(errno));
        fs::remove(copy, ec);
        return false;
    }
    copies_.push_back(copy);
    return append(kCopy, file, copy, error);
}

bool UndoJournal::willCreate(const fs::path& file, std::string& error) {
    return append(kCreate, file, fs::path(), error);
}

bool UndoJournal::moveAside(const fs::path& file, const fs::path& aside, std::string& error) {
    if (!append(kAside, file, aside, error)) {
        return false;
    }
    std::error_code ec;
    fs::rename(inWorkdir(file), inWorkdir(aside), ec);
    if (ec) {
        error = "cannot move " + inWorkdir(file).string() + " aside: " + reasonOf(ec);
        return false;
    }
    return true;
}

bool UndoJournal::commit(std::string& error) {
    std::error_code ec;
    fs::remove(workdir_ / kJournalName, ec);
    if (ec) {
        error = "cannot remove " + (workdir_ / kJournalName).string() + ": " + reasonOf(ec);
        return false;
    }
    active_ = false;
    for (const fs::path& copy : copies_) {
        fs::remove(copy, ec);
    }
    return true;
}

bool UndoJournal::rollBack(std::string& error) {
    active_ = false;
    Recovery recovery;
    return playBackFile(workdir_, recovery, error);
}

}  // namespace qff
