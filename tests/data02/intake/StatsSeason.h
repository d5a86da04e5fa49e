#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "data02/intake/StatsWeeks.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Opening.h"
#include "data02/season/Single.h"
#include "data02/storage/Ptsfile.h"
#include "data02/storage/Recfile.h"
#include "tests/support/SeasonFixture.h"

namespace qff::test {

// Every regular file below a folder, by its path inside it, sorted.
inline std::vector<std::string> filesBelow(const std::filesystem::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().lexically_relative(folder).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A 2004 season of team units only, whose NFL schedule has a Monday game in
// week 1 (teams home() and away()) and none in week 2.
class StatsSeason : public SeasonFixture {
  protected:
    static constexpr int kYear = 2004;
    static constexpr int kMonday = 1;
    static constexpr int kSunday = 7;

    void SetUp() override {
        SeasonFixture::SetUp();
        std::string error;
        ASSERT_TRUE(createSeasonFiles(context(), kYear, error)) << error;
        writeNflWeeks();
        ASSERT_TRUE(openSeason(context(), kYear).opened);
    }

  public:
    int home() const { return teams_[0]; }
    int away() const { return teams_[1]; }

    void setQuarterbackYards(int team, int week, int yards) {
        Player* unit =
            context().mapFactory().players().findFirst(kPlayerId, Pro::unitId(team, kQB));
        ASSERT_NE(unit, nullptr);
        unit->setValue(kPassYards, yards, week - 1);
        ASSERT_EQ(unit->save(), 0);
    }

    std::filesystem::path download(const std::string& name) const {
        return dir_ / "Download" / name;
    }

    // A statistics file of one quarterback's week, or of his roster record.
    void writeStatistics(const std::filesystem::path& file, int year, int weekField) {
        std::filesystem::create_directories(file.parent_path());
        PtsRecord record{"Test Passer", home(), kQB, 77, weekField, {}};
        if (weekField != kRosterWeek) {
            record.values = {{kPassYards, 250}};
        }
        std::vector<PtsRecord> records{record};
        std::string error;
        ASSERT_EQ(writePtsFile(file, year, records, error), 0) << error;
    }

  private:
    void writeNflWeeks() {
        Pro table(context().strBuf());
        table.setSeason(kYear);
        teams_ = table.validTeams();
        ScheduleFile file(context().memory(), SeasonFile::Sched, dir_.path());
        ASSERT_EQ(file.open(kYear), 0);
        NflWeek withMonday;
        withMonday.gameSlots[0] = {kSunday, 9, 12, teams_[2], teams_[3]};
        withMonday.gameSlots[1] = {kMonday, 9, 13, home(), away()};
        NflWeek sundayOnly;
        sundayOnly.gameSlots[0] = {kSunday, 9, 19, home(), away()};
        withMonday.write(file.record().subspan(Schedule::kNflWeeksOffset, NflWeek::kSize));
        sundayOnly.write(
            file.record().subspan(Schedule::kNflWeeksOffset + NflWeek::kSize, NflWeek::kSize));
        ASSERT_EQ(file.db().writeCurrent(), 0);
    }

    std::vector<int> teams_;
};

}  // namespace qff::test
