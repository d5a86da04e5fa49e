#include "data02/storage/Repair.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <string_view>
#include <system_error>

#include "data02/storage/Bytes.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Files.h"

namespace qff {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRepairedTag = ".repaired";
constexpr std::string_view kSetAsideSuffix = ".damaged";
constexpr std::size_t kCopyChunk = 1 << 16;

using Header = std::array<std::uint8_t, DBFile::kHeaderSize>;

// A dangling link takes a name as much as a file does.
bool nameIsTaken(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// The header as found, with the record size the program knows and the slots
// of the lost records free.
bool readRepairedHeader(std::ifstream& in, int recordSize, const std::vector<int>& dropped,
                        Header& header) {
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) {
        return false;
    }
    putI32(header, DBFile::kRecordSizeOffset, recordSize);
    for (int slot : dropped) {
        header[DBFile::kSlotMapOffset + slot] = 0;
    }
    return true;
}

bool copyBytes(std::ifstream& in, std::ofstream& out, std::uintmax_t count) {
    std::vector<char> chunk(kCopyChunk);
    while (count > 0 && in && out) {
        auto size = static_cast<std::streamsize>(std::min<std::uintmax_t>(count, chunk.size()));
        in.read(chunk.data(), size);
        out.write(chunk.data(), in.gcount());
        count -= static_cast<std::uintmax_t>(in.gcount());
    }
    return count == 0 && static_cast<bool>(out);
}

// An unreadable record is garbage: the slot it leaves free holds zeros, as a
// slot never used does.
bool blankSlots(std::ofstream& out, const std::vector<int>& slots, int recordSize,
                std::uintmax_t end) {
    std::vector<char> zeros(static_cast<std::size_t>(recordSize), 0);
    for (int slot : slots) {
        auto offset = DBFile::kHeaderSize + static_cast<std::uintmax_t>(slot) * recordSize;
        if (offset + recordSize <= end) {
            out.seekp(static_cast<std::streamoff>(offset));
            out.write(zeros.data(), recordSize);
        }
    }
    return static_cast<bool>(out);
}

// Every whole record the damaged file holds goes over slot for slot; only the
// part of a record cut off at its end stays behind.
bool writeRepaired(const RepairReport& report, int recordSize, std::string& error) {
    std::error_code ec;
    std::uintmax_t length = fs::file_size(report.damaged, ec);
    std::uintmax_t body = ec ? 0 : (length - DBFile::kHeaderSize) / recordSize * recordSize;
    StagedWrite staged = StagedWrite::beside(report.repaired, kPartialSuffix);
    std::ifstream in(report.damaged, std::ios::binary);
    Header header{};
    bool written = false;
    {
        std::ofstream out(staged.temporary(), std::ios::binary | std::ios::trunc);
        written = !ec && readRepairedHeader(in, recordSize, report.droppedSlots, header) &&
                  out.write(reinterpret_cast<const char*>(header.data()), header.size()) &&
                  copyBytes(in, out, body) &&
                  blankSlots(out, report.droppedSlots, recordSize, DBFile::kHeaderSize + body) &&
                  out.flush();
    }
    if (!written) {
        staged.discard();
        error = "cannot write " + report.repaired.filename().string() +
                ": the disk may be full or the folder read-only";
        return false;
    }
    if (!staged.replaceTarget(ec)) {
        error = "cannot write " + report.repaired.filename().string() + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace

fs::path repairedPathFor(const fs::path& damaged) {
    fs::path repaired = damaged;
    repaired.replace_filename(damaged.stem().string() + std::string(kRepairedTag) +
                              damaged.extension().string());
    return repaired;
}

fs::path setAsidePathFor(const fs::path& damaged) {
    fs::path aside = damaged;
    aside += kSetAsideSuffix;
    return aside;
}

std::optional<RepairReport> repairRecordFile(MyMemory& memory, const fs::path& path,
                                             std::string& error,
                                             const std::optional<RecordCheck>& check) {
    fs::path source = resolveNoCase(path);
    std::string name = source.filename().string();
    std::optional<int> recordSize = recordSizeForFileName(name);
    if (!recordSize || isStatisticsFileName(source)) {
        error = name +
                " is not a record file qff can repair: expected Prefs.db, sticky.db or a "
                "season file such as Plyr_03.DB";
        return std::nullopt;
    }
    std::vector<std::uint8_t> record(static_cast<std::size_t>(*recordSize));
    DBFile file(memory);
    if (file.openFile(source, record) != 0) {
        error = "cannot repair " + name + ": " + file.lastError();
        return std::nullopt;
    }
    if (check) {
        file.checkRecords(*check);
    }
    if (file.damage().empty()) {
        error = name + " is not damaged: every record it holds can be read, so it needs no repair";
        return std::nullopt;
    }
    RepairReport report;
    report.damaged = source;
    report.repaired = repairedPathFor(source);
    report.damage = file.damage();
    report.droppedSlots = file.lostSlots();
    report.kept = file.usedCount() - static_cast<int>(report.droppedSlots.size());
    file.closeFile();
    if (nameIsTaken(report.repaired)) {
        error = report.repaired.filename().string() +
                " already exists and is left as it is: move it away and repair again";
        return std::nullopt;
    }
    if (!writeRepaired(report, *recordSize, error)) {
        return std::nullopt;
    }
    return report;
}

bool replaceWithRepaired(RepairReport& report, std::string& error) {
    fs::path aside = setAsidePathFor(report.damaged);
    if (nameIsTaken(aside)) {
        error = aside.filename().string() + " already exists, so " +
                report.damaged.filename().string() + " was not replaced";
        return false;
    }
    std::error_code ec;
    fs::rename(report.damaged, aside, ec);
    if (ec) {
        error = "cannot move " + report.damaged.filename().string() + " aside: " + ec.message();
        return false;
    }
    fs::rename(report.repaired, report.damaged, ec);
    if (ec) {
        std::error_code ignored;
        fs::rename(aside, report.damaged, ignored);
        error = "cannot move " + report.repaired.filename().string() + " in place: " + ec.message();
        return false;
    }
    report.setAside = aside;
    return true;
}

}  // namespace qff
