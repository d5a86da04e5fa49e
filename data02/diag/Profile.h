#pragma once

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace qff {

// Counts how often named procedures run and writes both orderings to its log
// when destroyed. Exists only while profiling is switched on.
class MyProfile {
  public:
    explicit MyProfile(const std::filesystem::path& logPath);
    ~MyProfile();
    MyProfile(const MyProfile&) = delete;
    MyProfile& operator=(const MyProfile&) = delete;

    void hit(const std::string& procedure);

  private:
    void writeLine(const std::string& text);
    void writeHeader(const char* title);
    void writeReport();

    std::FILE* log_ = nullptr;
    std::map<std::string, int> hits_;
};

}  // namespace qff
