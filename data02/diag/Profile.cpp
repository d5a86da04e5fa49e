#include "data02/diag/Profile.h"

#include <set>
#include <utility>

#include "data02/reports/Format.h"

namespace qff {

MyProfile::MyProfile(const std::filesystem::path& logPath) {
    log_ = std::fopen(logPath.c_str(), "w");
}

MyProfile::~MyProfile() {
    writeReport();
    if (log_ != nullptr) {
        std::fclose(log_);
    }
}

void MyProfile::hit(const std::string& procedure) {
    ++hits_[procedure];
}

void MyProfile::writeLine(const std::string& text) {
    if (log_ != nullptr) {
        std::fputs(text.c_str(), log_);
        std::fputc('\n', log_);
    }
}

void MyProfile::writeHeader(const char* title) {
    writeLine("============================================================");
    writeLine("==                   Procedure Profiles                   ==");
    writeLine("============================================================");
    writeLine(title);
    writeLine("---------------------------------------------------+--------");
}

void MyProfile::writeReport() {
    if (log_ == nullptr) {
        return;
    }
    writeHeader(" Sorted by procedure                               | # Hits ");
    std::set<std::pair<int, std::string>> byHits;
    for (const auto& [name, count] : hits_) {
        writeLine(cell(name, 53) + cell(std::to_string(count), 7));
        byHits.emplace(count, name);
    }
    writeLine(" ");
    writeHeader(" Sorted by # of hits                               | # Hits ");
    for (const auto& [count, name] : byHits) {
        writeLine(cell(name, 53) + cell(std::to_string(count), 7));
    }
}

}  // namespace qff
