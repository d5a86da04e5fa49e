#include "qff/platform/zip_archiver.h"

#include <sys/stat.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <optional>
#include <set>
#include <system_error>

#include "staged_file.h"

namespace qff::platform {

namespace fs = std::filesystem;

namespace {

struct PackEntry {
    fs::path source;
    std::string nameInArchive;
};

enum class EntryKind { file, directory, other };

struct ExtractEntry {
    zip_uint64_t index;
    std::string name;
    fs::path relative;
    EntryKind kind;
};

struct ZipDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipFileHandle = std::unique_ptr<zip_file_t, ZipFileClose>;

// libzip's default is the slowest level, five times slower than this one on league tables
// for two percent less size; this is also what other zip tools use by default.
constexpr zip_uint32_t kDeflateLevel = 6;

ArchiveResult failure(std::string message) {
    return {false, std::move(message)};
}

std::string quoted(const fs::path& path) {
    return std::string("'").append(path.string()).append("'");
}

std::string openErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

// Names that would be refused on extraction are refused on packing too, so every archive
// written here can be restored.
std::optional<fs::path> safeRelativePath(std::string_view name, std::string& reason) {
    if (!name.empty() &&
        (name.front() == '/' || name.front() == '\\' || (name.size() > 1 && name[1] == ':'))) {
        reason = "absolute name";
        return std::nullopt;
    }
    fs::path relative;
    std::string component;
    auto takeComponent = [&] {
        if (component == "..") {
            reason = "name leads out of the target directory";
            return false;
        }
        if (!component.empty() && component != ".") {
            relative /= component;
        }
        component.clear();
        return true;
    };
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            reason = "control character in name";
            return std::nullopt;
        }
        if (c == '/' || c == '\\') {
            if (!takeComponent()) {
                return std::nullopt;
            }
        } else {
            component += c;
        }
    }
    if (!takeComponent()) {
        return std::nullopt;
    }
    if (relative.empty()) {
        reason = "empty name";
        return std::nullopt;
    }
    return relative;
}

ArchiveResult checkSources(const std::vector<PackEntry>& entries) {
    if (entries.empty()) {
        return failure("nothing to pack");
    }
    for (const PackEntry& entry : entries) {
        std::error_code ec;
        if (!fs::is_regular_file(entry.source, ec)) {
            return failure("cannot pack " + quoted(entry.source) + ": not an existing file");
        }
    }
    return {true, {}};
}

ArchiveResult addEntries(zip_t* archive, const std::vector<PackEntry>& entries,
                         const std::string& password) {
    for (const PackEntry& entry : entries) {
        zip_source_t* source = zip_source_file(archive, entry.source.c_str(), 0, 0);
        if (source == nullptr) {
            return failure("cannot read " + quoted(entry.source) + ": " + zip_strerror(archive));
        }
        const zip_int64_t index =
            zip_file_add(archive, entry.nameInArchive.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return failure("cannot add '" + entry.nameInArchive + "': " + zip_strerror(archive));
        }
        if (zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                     kDeflateLevel) != 0) {
            return failure("cannot compress '" + entry.nameInArchive +
                           "': " + zip_strerror(archive));
        }
        if (!password.empty() && zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index),
                                                         ZIP_EM_AES_256, password.c_str()) != 0) {
            return failure("cannot encrypt '" + entry.nameInArchive +
                           "': " + zip_strerror(archive));
        }
    }
    return {true, {}};
}

ArchiveResult writeArchive(const fs::path& archivePath, const std::vector<PackEntry>& entries,
                           const std::string& password) {
    if (ArchiveResult checked = checkSources(entries); !checked.ok) {
        return checked;
    }
    if (!password.empty() && !zip_encryption_method_supported(ZIP_EM_AES_256, 1)) {
        return failure("AES encryption is not available in this build of libzip");
    }
    StagedFile staged(archivePath);
    if (!staged.isOpen()) {
        return failure(staged.error());
    }
    staged.closeDescriptor();
    int openError = 0;
    ZipHandle archive(zip_open(staged.tempPath().c_str(), ZIP_TRUNCATE, &openError));
    if (!archive) {
        return failure("cannot create " + quoted(archivePath) + ": " + openErrorText(openError));
    }
    if (ArchiveResult added = addEntries(archive.get(), entries, password); !added.ok) {
        return added;
    }
    if (zip_close(archive.get()) != 0) {
        return failure("cannot write " + quoted(archivePath) + ": " + zip_strerror(archive.get()));
    }
    archive.release();
    if (!staged.commit()) {
        return failure(staged.error());
    }
    return {true,
            "packed " + std::to_string(entries.size()) + " files into " + quoted(archivePath)};
}

EntryKind entryKind(zip_t* archive, zip_uint64_t index, std::string_view name) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    mode_t type = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) == 0 &&
        system == ZIP_OPSYS_UNIX) {
        type = (attributes >> 16) & S_IFMT;
    }
    if (type != 0 && type != S_IFREG && type != S_IFDIR) {
        return EntryKind::other;
    }
    if (type == S_IFDIR || name.ends_with('/') || name.ends_with('\\')) {
        return EntryKind::directory;
    }
    return EntryKind::file;
}

std::optional<std::vector<ExtractEntry>> listEntries(zip_t* archive, std::string& error) {
    std::vector<ExtractEntry> entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        const char* rawName = zip_get_name(archive, index, ZIP_FL_ENC_GUESS);
        const std::string name = rawName != nullptr ? rawName : "";
        ExtractEntry entry{index, name, {}, entryKind(archive, index, name)};
        std::string reason = "not a regular file or directory";
        std::optional<fs::path> relative = safeRelativePath(name, reason);
        if (!relative || entry.kind == EntryKind::other) {
            error = "refused entry '" + name + "': " + reason;
            return std::nullopt;
        }
        entry.relative = *relative;
        entries.push_back(std::move(entry));
    }
    return entries;
}

// Guards against a symbolic link already sitting in the target tree redirecting a write.
bool passesThroughSymlink(const fs::path& targetDir, const fs::path& relativeDir) {
    fs::path current = targetDir;
    for (const fs::path& component : relativeDir) {
        current /= component;
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(current, ec))) {
            return true;
        }
    }
    return false;
}

ArchiveResult copyEntryData(zip_t* archive, const ExtractEntry& entry, StagedFile& staged) {
    ZipFileHandle file(zip_fopen_index(archive, entry.index, 0));
    if (!file) {
        return failure("cannot extract '" + entry.name + "': " + zip_strerror(archive));
    }
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
        if (got < 0) {
            return failure("cannot extract '" + entry.name + "': " + zip_file_strerror(file.get()));
        }
        if (got == 0) {
            break;
        }
        if (!staged.write(buffer.data(), static_cast<std::size_t>(got))) {
            return failure(staged.error());
        }
    }
    // The CRC or authentication code is only checked once the last byte has been read.
    if (zip_fclose(file.release()) != 0) {
        return failure("cannot extract '" + entry.name + "': data does not match its checksum");
    }
    return {true, {}};
}

ArchiveResult extractEntry(zip_t* archive, const ExtractEntry& entry, const fs::path& targetDir) {
    const fs::path destination = targetDir / entry.relative;
    const fs::path directory =
        entry.kind == EntryKind::directory ? destination : destination.parent_path();
    if (passesThroughSymlink(targetDir, directory.lexically_relative(targetDir))) {
        return failure("refused entry '" + entry.name + "': path passes through a symbolic link");
    }
    std::error_code ec;
    fs::create_directories(directory, ec);
    if (ec) {
        return failure("cannot create " + quoted(directory) + ": " + ec.message());
    }
    if (entry.kind == EntryKind::directory) {
        return {true, {}};
    }
    StagedFile staged(destination);
    if (!staged.isOpen()) {
        return failure(staged.error());
    }
    if (ArchiveResult copied = copyEntryData(archive, entry, staged); !copied.ok) {
        return copied;
    }
    if (!staged.commit()) {
        return failure(staged.error());
    }
    return {true, {}};
}

// Files of one name from different folders would overwrite each other when unpacked, on a
// system that ignores case too; the later ones are numbered: "week 1 (2).htm".
std::string unusedFlatName(const fs::path& file, std::set<std::string>& taken) {
    const auto folded = [](std::string name) {
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return name;
    };
    std::string name = file.filename().string();
    for (int number = 2; taken.contains(folded(name)); ++number) {
        name =
            file.stem().string() + " (" + std::to_string(number) + ")" + file.extension().string();
    }
    taken.insert(folded(name));
    return name;
}

}  // namespace

ArchiveResult ZipArchiver::packTree(const fs::path& archive, const fs::path& root,
                                    const std::vector<fs::path>& relativeNames,
                                    std::string_view password) {
    std::vector<PackEntry> entries;
    for (const fs::path& relativeName : relativeNames) {
        std::string reason;
        std::optional<fs::path> safe = safeRelativePath(relativeName.generic_string(), reason);
        if (!safe) {
            return failure("cannot pack " + quoted(relativeName) + ": " + reason);
        }
        entries.push_back({root / *safe, safe->generic_string()});
    }
    return writeArchive(archive, entries, std::string(password));
}

ArchiveResult ZipArchiver::packFlat(const fs::path& archive, const std::vector<fs::path>& files,
                                    std::string_view password) {
    std::vector<PackEntry> entries;
    std::set<std::string> taken;
    for (const fs::path& file : files) {
        entries.push_back({file, unusedFlatName(file, taken)});
    }
    return writeArchive(archive, entries, std::string(password));
}

ArchiveResult ZipArchiver::listNames(const fs::path& archivePath, std::vector<std::string>& names) {
    int openError = 0;
    ZipHandle archive(zip_open(archivePath.c_str(), ZIP_RDONLY, &openError));
    if (!archive) {
        return failure("cannot open " + quoted(archivePath) + ": " + openErrorText(openError));
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        const char* name = zip_get_name(archive.get(), index, ZIP_FL_ENC_GUESS);
        if (name == nullptr) {
            return failure("cannot read the entries of " + quoted(archivePath) + ": " +
                           zip_strerror(archive.get()));
        }
        names.emplace_back(name);
    }
    return {true, "listed " + std::to_string(names.size()) + " entries of " + quoted(archivePath)};
}

ArchiveResult ZipArchiver::extractAll(const fs::path& archivePath, const fs::path& targetDir,
                                      std::string_view password) {
    int openError = 0;
    ZipHandle archive(zip_open(archivePath.c_str(), ZIP_RDONLY, &openError));
    if (!archive) {
        return failure("cannot open " + quoted(archivePath) + ": " + openErrorText(openError));
    }
    if (!password.empty()) {
        zip_set_default_password(archive.get(), std::string(password).c_str());
    }
    std::string error;
    const std::optional<std::vector<ExtractEntry>> entries = listEntries(archive.get(), error);
    if (!entries) {
        return failure(error);
    }
    for (const ExtractEntry& entry : *entries) {
        if (ArchiveResult extracted = extractEntry(archive.get(), entry, targetDir);
            !extracted.ok) {
            return extracted;
        }
    }
    return {true,
            "extracted " + std::to_string(entries->size()) + " entries into " + quoted(targetDir)};
}

}  // namespace qff::platform
