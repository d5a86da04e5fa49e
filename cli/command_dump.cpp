#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "cli/CommandTable.h"
#include "data02/diag/Status.h"
#include "data02/reports/Format.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Files.h"

namespace qff::cli {
namespace {

constexpr std::size_t kBytesPerLine = 16;
constexpr std::size_t kHeaderLabelWidth = 13;

struct DumpRequest {
    std::string file;
    std::optional<int> slot;
};

struct HeaderField {
    const char* key;
    const char* label;
    nlohmann::json value;
};

std::vector<HeaderField> headerFields(const DBFile& file) {
    std::vector<HeaderField> fields{
        {"file", "file", file.path().string()},
        {"layout", "layout", file.isVariant() ? "statistics" : "standard"},
        {"seasonYear", "season", file.fileYear()},
        {"recordSize", "record size", file.recordSize()},
        {"slotCount", "slots", file.slotCount()},
        {"usedCount", "used", file.usedCount()},
    };
    if (!file.damage().empty()) {
        fields.push_back({"damage", "damage", file.damage()});
    }
    return fields;
}

nlohmann::json headerDocument(const std::vector<HeaderField>& fields) {
    nlohmann::json document = nlohmann::json::object();
    for (const HeaderField& field : fields) {
        document[field.key] = field.value;
    }
    return document;
}

void printLabelled(std::ostream& out, const char* label, const std::string& text) {
    out << cell(label, kHeaderLabelWidth) << text << '\n';
}

void printHeader(std::ostream& out, const std::vector<HeaderField>& fields) {
    for (const HeaderField& field : fields) {
        printLabelled(
            out, field.label,
            field.value.is_string() ? field.value.get<std::string>() : field.value.dump());
    }
}

int dumpSlots(const DBFile& file, Output& output) {
    std::vector<HeaderField> fields = headerFields(file);
    std::vector<int> slots = file.usedSlots();
    nlohmann::json document = headerDocument(fields);
    document["usedSlots"] = slots;
    return output.emit(document, [&](std::ostream& out) {
        printHeader(out, fields);
        printLabelled(out, "used slots", slotRangesText(slots));
    });
}

std::string hexOf(std::span<const std::uint8_t> bytes) {
    std::string text;
    char digits[3];
    for (std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

// One line as hex dumps traditionally show it: offset, 16 bytes in two groups
// of eight, and the printable characters between bars.
void printHexLine(std::ostream& out, std::span<const std::uint8_t> line, std::size_t offset) {
    // Room for the widest offset: sixteen hex digits and the terminator.
    char text[17];
    std::snprintf(text, sizeof text, "%08zx", offset);
    out << text;
    std::string printable;
    for (std::size_t i = 0; i < kBytesPerLine; ++i) {
        out << (i % 8 == 0 ? "  " : " ");
        if (i < line.size()) {
            std::snprintf(text, sizeof text, "%02x", line[i]);
            out << text;
            printable += std::isprint(line[i]) != 0 ? static_cast<char>(line[i]) : '.';
        } else {
            out << "  ";
        }
    }
    out << "  |" << printable << "|\n";
}

void printHex(std::ostream& out, std::span<const std::uint8_t> record) {
    for (std::size_t offset = 0; offset < record.size(); offset += kBytesPerLine) {
        printHexLine(out, record.subspan(offset, std::min(kBytesPerLine, record.size() - offset)),
                     offset);
    }
}

int dumpRecord(DBFile& file, int slot, std::span<const std::uint8_t> record, Output& output) {
    if (file.gotoSlot(slot) != kOk || file.readCurrent() != kOk) {
        return output.fail(file.lastError());
    }
    std::vector<HeaderField> fields = headerFields(file);
    nlohmann::json document = headerDocument(fields);
    document["record"] = {{"slot", slot}, {"bytes", hexOf(record)}};
    return output.emit(document, [&](std::ostream& out) {
        printHeader(out, fields);
        printLabelled(out, "slot", std::to_string(slot));
        printHex(out, record);
    });
}

// Only reading calls are made, so the file is left exactly as it was.
int runDump(const DumpRequest& request, Session& session) {
    Output& output = session.output;
    std::filesystem::path path = session.options.fileArgument(request.file);
    std::string name = path.filename().string();
    std::optional<int> recordSize = recordSizeForFileName(name);
    if (!recordSize) {
        return output.fail(name +
                           " is not a data file qff knows: expected Prefs.db, sticky.db, a .pts "
                           "or .ros statistics file, or a season file such as Plyr_03.DB");
    }
    auto memory = FileMemory::open(session);
    if (!memory) {
        return kExitFailure;
    }
    std::vector<std::uint8_t> record(static_cast<std::size_t>(*recordSize));
    DBFile file(memory->memory());
    if (file.openFile(path, record) != kOk) {
        return output.fail(file.lastError());
    }
    return request.slot ? dumpRecord(file, *request.slot, record, output) : dumpSlots(file, output);
}

}  // namespace

void addDumpCommand(CLI::App& app, CommandTable& table) {
    auto request = std::make_shared<DumpRequest>();
    CLI::App* dump = app.add_subcommand(
        "dump", "Show a data file's header and used slots, or one record in hex");
    dump->add_option("file", request->file, "Data file, relative to --workdir unless absolute")
        ->required();
    dump->add_option("--slot", request->slot, "Show the record in this slot as a hex dump");
    table.add(dump, [request](Session& session) { return runDump(*request, session); });
}

}  // namespace qff::cli
