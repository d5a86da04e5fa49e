#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "data02/diag/Memory.h"
#include "data02/diag/Profile.h"
#include "tests/support/TempDir.h"

namespace qff {
namespace {

using test::readText;
using test::TempDir;
using ::testing::HasSubstr;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

struct Probe {
    explicit Probe(int* destroyed) : destroyed_(destroyed) {}
    ~Probe() { ++*destroyed_; }
    int* destroyed_;
};

TEST(MemoryTest, CleanRunReportsCountersAndNothingLeft) {
    TempDir dir;
    {
        MyMemory memory(dir / "mem_log.txt");
        int destroyed = 0;
        auto probe = memory.make<Probe>(Kind::Preferences, &destroyed);
        auto bytes = memory.allocBytes(10);
        ASSERT_TRUE(probe);
        ASSERT_TRUE(bytes);
    }
    auto lines = linesOf(readText(dir / "mem_log.txt"));
    ASSERT_EQ(lines.size(), 3u + 2u + 73u + 1u + 3u + 1u);
    EXPECT_EQ(lines[1], "==               Memory allocation counters               ==");
    EXPECT_EQ(lines[3], "Allocation Object   | # Hits ");
    EXPECT_EQ(lines[5], "Unknown             | 0");
    EXPECT_EQ(lines[5 + 1], "Char                | 1");
    EXPECT_EQ(lines[5 + 57], "StrBuf              | 0");
    EXPECT_EQ(lines[5 + 58], "Preferences         | 1");
    EXPECT_EQ(lines[5 + 72], "SiteMapStruct       | 0");
    EXPECT_EQ(lines[78], " ");
    EXPECT_EQ(lines[80], "==              Allocated blocks not released             ==");
    EXPECT_EQ(lines.back(), " NONE: All allocated memory was properly cleaned up!!!");
}

TEST(MemoryTest, EveryKindHasItsLabel) {
    std::set<std::string> labels;
    for (int k = 0; k < kKindCount; ++k) {
        std::string label = kindLabel(static_cast<Kind>(k));
        EXPECT_EQ(label.size(), 19u);
        labels.insert(label);
    }
    EXPECT_EQ(labels.size(), 73u);
    EXPECT_EQ(kindLabel(Kind::PlyrSingularIntMap), "PlyrSingularIntMap ");
    EXPECT_EQ(kindLabel(Kind::Draft), "Draft              ");
}

TEST(MemoryTest, UnreleasedBlocksAreListedInAllocationOrder) {
    TempDir dir;
    int first = 0;
    int second = 0;
    {
        MyMemory memory(dir / "mem_log.txt");
        memory.record(&second, Kind::PlyrSingularIntMap, "C:\\src\\a_very_long_source_name.cpp",
                      123456);
        memory.record(&first, Kind::StateStruct, "/home/u/State.cpp", 42);
        memory.forget(&second, "x.cpp", 1);
        memory.record(&second, Kind::Team, "Team.cpp", 7);
    }
    auto lines = linesOf(readText(dir / "mem_log.txt"));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[lines.size() - 4],
              " Cntr   | Allocation Object   | File                 | Line");
    EXPECT_EQ(lines[lines.size() - 3],
              "--------+---------------------+----------------------+-------");
    EXPECT_EQ(lines[lines.size() - 2],
              " 2      | StateStruct         | State.cpp            | 42   ");
    EXPECT_EQ(lines[lines.size() - 1],
              " 3      | Team                | Team.cpp             | 7    ");
}

TEST(MemoryTest, LongFileNamesAndLineNumbersAreCut) {
    TempDir dir;
    int block = 0;
    {
        MyMemory memory(dir / "mem_log.txt");
        memory.record(&block, Kind::PlyrSingularIntMap, "C:\\src\\a_very_long_source_name.cpp",
                      123456);
    }
    std::string report = readText(dir / "mem_log.txt");
    EXPECT_THAT(report,
                HasSubstr(" 1      | PlyrSingularIntMap  | a_very_long_source_  | 12345 \n"));
    EXPECT_THAT(report, ::testing::Not(HasSubstr("src")));
}

TEST(MemoryTest, ReleasingAnUnknownBlockIsLoggedAndStillDestroysIt) {
    TempDir dir;
    int destroyed = 0;
    {
        MyMemory memory(dir / "mem_log.txt");
        Owned<Probe> stranger(new Probe(&destroyed), &memory, Kind::Preferences,
                              std::source_location::current());
        stranger.reset();
    }
    EXPECT_EQ(destroyed, 1);
    std::string report = readText(dir / "mem_log.txt");
    EXPECT_THAT(report, HasSubstr("    ERROR - removeNode    Node not found\n"
                                  "            File: memory_test.cpp    Line: "));
}

TEST(MemoryTest, ObjectsCannotBeMadeUnderByteUnknownOrRecordKinds) {
    TempDir dir;
    MyMemory memory(dir / "mem_log.txt");
    int destroyed = 0;
    for (Kind kind : {Kind::Unknown, Kind::Char, Kind::Player, Kind::Team}) {
        EXPECT_FALSE(memory.make<Probe>(kind, &destroyed)) << static_cast<int>(kind);
        EXPECT_EQ(memory.hits(kind), 0);
    }
    EXPECT_EQ(memory.liveBlocks(), 0u);
    EXPECT_EQ(destroyed, 0);
}

TEST(MemoryTest, RecordsAreMadeOnlyUnderRecordKinds) {
    TempDir dir;
    MyMemory memory(dir / "mem_log.txt");
    int destroyed = 0;
    struct File {};
    struct Record {
        Record(File&, int* d) : probe(d) {}
        Probe probe;
    };
    File file;
    EXPECT_FALSE((memory.makeRecord<Record>(Kind::PlayerFile, file, &destroyed)));
    auto record = memory.makeRecord<Record>(Kind::Player, file, &destroyed);
    EXPECT_TRUE(record);
    EXPECT_EQ(memory.hits(Kind::Player), 1);
    record.reset();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(memory.liveBlocks(), 0u);
}

TEST(MemoryTest, ReportIsSkippedWithoutALog) {
    TempDir dir;
    MyMemory memory(dir / "missing-folder" / "mem_log.txt");
    auto bytes = memory.allocBytes(4);
    EXPECT_TRUE(bytes);
}

TEST(StrBufTest, RingHands256BuffersRoundThenRepeats) {
    TempDir dir;
    MyMemory memory(dir / "mem_log.txt");
    StrBuf ring(memory);
    std::set<char*> seen;
    char* first = ring.next();
    seen.insert(first);
    for (int i = 1; i < 256; ++i) {
        seen.insert(ring.next());
    }
    EXPECT_EQ(seen.size(), 256u);
    EXPECT_EQ(ring.next(), first);
}

TEST(StrBufTest, PutCutsLongTextAndEndsWithZero) {
    TempDir dir;
    MyMemory memory(dir / "mem_log.txt");
    StrBuf ring(memory);
    std::string longText(400, 'x');
    EXPECT_EQ(std::string(ring.put(longText)), std::string(255, 'x'));
    EXPECT_STREQ(ring.put("abc"), "abc");
}

TEST(ProfileTest, EmptyProfileHasBothHeadersAndNoEntries) {
    TempDir dir;
    { MyProfile profile(dir / "prof_log.txt"); }
    auto lines = linesOf(readText(dir / "prof_log.txt"));
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[3], " Sorted by procedure                               | # Hits ");
    EXPECT_EQ(lines[5], " ");
    EXPECT_EQ(lines[9], " Sorted by # of hits                               | # Hits ");
}

TEST(ProfileTest, EntriesAreSortedByNameThenByHits) {
    TempDir dir;
    {
        MyProfile profile(dir / "prof_log.txt");
        for (const char* name : {"openSeason", "merge", "merge", "close", "openSeason", "merge"}) {
            profile.hit(name);
        }
    }
    auto lines = linesOf(readText(dir / "prof_log.txt"));
    ASSERT_EQ(lines.size(), 17u);
    std::string pad(53 - 5, ' ');
    EXPECT_EQ(lines[5], "close" + pad + "1      ");
    EXPECT_EQ(lines[6], "merge" + pad + "3      ");
    EXPECT_EQ(lines[7], "openSeason" + std::string(43, ' ') + "2      ");
    EXPECT_EQ(lines[14], "close" + pad + "1      ");
    EXPECT_EQ(lines[15], "openSeason" + std::string(43, ' ') + "2      ");
    EXPECT_EQ(lines[16], "merge" + pad + "3      ");
}

}  // namespace
}  // namespace qff
