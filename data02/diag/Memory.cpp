#include "data02/diag/Memory.h"

#include <algorithm>
#include <cstring>

#include "data02/reports/Format.h"

namespace qff {
namespace {

constexpr const char* kKindNames[kKindCount] = {
    "Unknown",
    "Char",
    "IntMap",
    "StrMap",
    "StrList",
    "PlayerFile",
    "Player",
    "PlayerInfo",
    "PlayerStats",
    "PlayerQuery",
    "PlayerQueryNode",
    "PlyrList",
    "PlyrStrMap",
    "PlyrIntMap",
    "PlyrSingularIntMap",
    "TeamFile",
    "Team",
    "TeamRosterStruct",
    "TeamQuery",
    "TeamQueryNode",
    "TeamList",
    "TeamStrMap",
    "TeamIntMap",
    "DivisionFile",
    "Division",
    "DivisionQuery",
    "DivisionQueryNode",
    "DivList",
    "DivStrMap",
    "DivIntMap",
    "LeagueFile",
    "League",
    "LeagueQuery",
    "LeagueQueryNode",
    "LeagueList",
    "LeagueStrMap",
    "LeagueIntMap",
    "DraftFile",
    "Draft",
    "DraftQuery",
    "DraftList",
    "DraftIntMap",
    "ReportFile",
    "Report",
    "ReportGenerator",
    "ReportQuery",
    "ReportQueryNode",
    "RptList",
    "RptStrMap",
    "RptIntMap",
    "AddressFile",
    "Address",
    "AddressQuery",
    "AddressQueryNode",
    "AddrList",
    "AddrStrMap",
    "AddrIntMap",
    "StrBuf",
    "Preferences",
    "SeasonState",
    "Sticky",
    "Pro",
    "MapFactory",
    "ScoringSystem",
    "Schedule",
    "ExportHTML",
    "SiteStrMap",
    "SiteIntMap",
    "ScheduleFantWeek",
    "PrefStruct",
    "StickyStruct",
    "StateStruct",
    "SiteMapStruct",
};

constexpr std::size_t kLabelWidth = 19;
constexpr std::size_t kFileNameLimit = 19;

const char* const kBanner = "============================================================";

std::string baseName(const char* path) {
    std::string name = path == nullptr ? "" : path;
    std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    return name;
}

}  // namespace

std::string kindLabel(Kind kind) {
    std::string name = kKindNames[static_cast<int>(kind)];
    name.resize(kLabelWidth, ' ');
    return name;
}

KindFamily familyOf(Kind kind) {
    switch (kind) {
        case Kind::Unknown:
            return KindFamily::Unknown;
        case Kind::Char:
            return KindFamily::Bytes;
        case Kind::Player:
        case Kind::Team:
        case Kind::Division:
        case Kind::League:
        case Kind::Draft:
        case Kind::Report:
        case Kind::Address:
            return KindFamily::Record;
        case Kind::PlayerQueryNode:
        case Kind::TeamRosterStruct:
        case Kind::TeamQueryNode:
        case Kind::DivisionQueryNode:
        case Kind::LeagueQueryNode:
        case Kind::ReportQueryNode:
        case Kind::AddressQueryNode:
        case Kind::ScheduleFantWeek:
        case Kind::PrefStruct:
        case Kind::StickyStruct:
        case Kind::StateStruct:
        case Kind::SiteMapStruct:
            return KindFamily::Block;
        case Kind::IntMap:
        case Kind::StrMap:
        case Kind::StrList:
        case Kind::PlyrList:
        case Kind::PlyrStrMap:
        case Kind::PlyrIntMap:
        case Kind::PlyrSingularIntMap:
        case Kind::TeamList:
        case Kind::TeamStrMap:
        case Kind::TeamIntMap:
        case Kind::DivList:
        case Kind::DivStrMap:
        case Kind::DivIntMap:
        case Kind::LeagueList:
        case Kind::LeagueStrMap:
        case Kind::LeagueIntMap:
        case Kind::DraftList:
        case Kind::DraftIntMap:
        case Kind::RptList:
        case Kind::RptStrMap:
        case Kind::RptIntMap:
        case Kind::AddrList:
        case Kind::AddrStrMap:
        case Kind::AddrIntMap:
        case Kind::SiteStrMap:
        case Kind::SiteIntMap:
            return KindFamily::Container;
        default:
            return static_cast<int>(kind) < kKindCount ? KindFamily::Object : KindFamily::Unknown;
    }
}

OwnedBytes& OwnedBytes::operator=(OwnedBytes&& other) noexcept {
    if (this != &other) {
        reset();
        bytes_ = std::exchange(other.bytes_, nullptr);
        size_ = std::exchange(other.size_, 0);
        memory_ = other.memory_;
        site_ = other.site_;
    }
    return *this;
}

void OwnedBytes::reset(std::source_location where) {
    if (bytes_ == nullptr) {
        return;
    }
    memory_->forget(bytes_, where);
    delete[] std::exchange(bytes_, nullptr);
    size_ = 0;
}

MyMemory::MyMemory(const std::filesystem::path& logPath) {
    log_ = std::fopen(logPath.c_str(), "w");
}

MyMemory::~MyMemory() {
    writeReport();
    live_.clear();
    if (log_ != nullptr) {
        std::fclose(log_);
    }
}

OwnedBytes MyMemory::allocBytes(std::size_t size, std::source_location where) {
    auto* bytes = new (std::nothrow) std::byte[size == 0 ? 1 : size]();
    if (bytes == nullptr) {
        return {};
    }
    record(bytes, Kind::Char, where);
    return OwnedBytes(bytes, size, this, where);
}

void MyMemory::record(const void* block, Kind kind, const char* file, int line) {
    if (block == nullptr) {
        return;
    }
    ++serial_;
    ++hits_[static_cast<int>(kind)];
    live_[block] = BlockInfo{serial_, kind, file, line};
}

void MyMemory::forget(const void* block, const char* file, int line) {
    if (block == nullptr) {
        return;
    }
    if (live_.erase(block) == 1) {
        return;
    }
    writeLine("    ERROR - removeNode    Node not found");
    writeLine("            File: " + baseName(file) + "    Line: " + std::to_string(line));
}

void MyMemory::writeLine(const std::string& text) {
    if (log_ != nullptr) {
        std::fputs(text.c_str(), log_);
        std::fputc('\n', log_);
    }
}

void MyMemory::writeReport() {
    if (log_ == nullptr) {
        return;
    }
    writeLine(kBanner);
    writeLine("==               Memory allocation counters               ==");
    writeLine(kBanner);
    writeLine("Allocation Object   | # Hits ");
    writeLine("--------------------+--------");
    for (int k = 0; k < kKindCount; ++k) {
        writeLine(kindLabel(static_cast<Kind>(k)) + " | " + std::to_string(hits_[k]));
    }
    std::map<std::int32_t, BlockInfo> bySerial;
    for (auto& [block, info] : live_) {
        bySerial.emplace(info.serial, info);
    }
    writeLine(" ");
    writeLine(kBanner);
    writeLine("==              Allocated blocks not released             ==");
    writeLine(kBanner);
    if (bySerial.empty()) {
        writeLine(" NONE: All allocated memory was properly cleaned up!!!");
        return;
    }
    writeLine(" Cntr   | Allocation Object   | File                 | Line");
    writeLine("--------+---------------------+----------------------+-------");
    for (auto& [serial, info] : bySerial) {
        std::string line = " ";
        line += cell(std::to_string(serial), 6);
        line += " | " + cell(kindLabel(info.kind), 18);
        line += " | " + cell(baseName(info.file).substr(0, kFileNameLimit), 20);
        line += " | " + cell(std::to_string(info.line), 5);
        writeLine(line);
    }
}

StrBuf::StrBuf(MyMemory& memory) : storage_(memory.allocBytes(kBuffers * kBufferSize)) {}

char* StrBuf::next() {
    index_ = (index_ + 1) % kBuffers;
    return reinterpret_cast<char*>(storage_.data()) + index_ * kBufferSize;
}

const char* StrBuf::put(std::string_view text) {
    char* buffer = next();
    std::size_t length = std::min(text.size(), static_cast<std::size_t>(kBufferSize - 1));
    if (length > 0) {
        std::memcpy(buffer, text.data(), length);
    }
    buffer[length] = '\0';
    return buffer;
}

}  // namespace qff
