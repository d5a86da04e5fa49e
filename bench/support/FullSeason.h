#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/storage/Ptsfile.h"
#include "data02/storage/Statblock.h"

namespace qff::bench {

// The season and week index of the weekly file.
inline constexpr int kFullYear = 2003;
inline constexpr int kFullWeek = 4;

inline PtsRecord recordOf(const Player& player, int index) {
    PtsRecord record{player.name(), player.team(), player.storedPosition(),
                     player.id(),   kFullWeek,     {}};
    if (record.position == kDefenseUnit) {
        record.values = {{76, 280}, {72, 2}, {77, 17}, {78, 35}};
    } else if (record.position == kSpecialTeamsUnit) {
        record.values = {{61, 210}, {62, 88}};
    } else if (record.position < kUnitOffset) {
        record.values = {{9, 12}, {12, 100 + index % 200}, {13, 25}, {25, 30}, {38, 40}, {39, 12}};
    }
    return record;
}

// A season whose player file is full, and a weekly file listing every player;
// the QB to PK unit records in it are skipped, the units being rebuilt.
class FullSeason {
  public:
    FullSeason() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "qff-bench-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        std::string error;
        context_ = Singleton::create(SeasonEnv{dir_}, error);
        if (!context_ || context_->preferences().load() != 0 ||
            !createSeasonFiles(*context_, kFullYear, error) ||
            !openSeason(*context_, kFullYear).opened) {
            std::fprintf(stderr, "cannot prepare the season: %s\n", error.c_str());
            std::exit(1);
        }
        fillPlayers();
        writeWeek();
    }
    ~FullSeason() {
        context_.reset();
        std::filesystem::remove_all(dir_);
    }

    const std::filesystem::path& dir() const { return dir_; }
    Singleton& context() { return *context_; }
    const std::filesystem::path& weekFile() const { return weekFile_; }

  private:
    void fillPlayers() {
        std::vector<int> teams = context_->pro().validTeams();
        MapFactory& caches = context_->mapFactory();
        for (int i = 0; caches.players().size() < DBFile::kSlots; ++i) {
            Owned<Player> player = context_->memory().makeRecord<Player>(
                Kind::Player, context_->playerFile(), *context_);
            player->clear();
            player->setValue(kPlayerId, 100 + i, 0);
            player->setValue(kPlayerTeam, teams[i % teams.size()], 0);
            player->setValue(kPlayerPosition, i % 5, 0);
            player->setText(kPlayerName, "Player " + std::to_string(i));
            caches.add(caches.players(), player);
        }
    }

    void writeWeek() {
        std::vector<PtsRecord> records;
        int index = 0;
        for (const Player* player : context_->mapFactory().players().list()) {
            records.push_back(recordOf(*player, index++));
        }
        weekFile_ = dir_ / "3_WK5.pts";
        std::string error;
        if (writePtsFile(weekFile_, kFullYear, records, error) != 0) {
            std::fprintf(stderr, "cannot write the week: %s\n", error.c_str());
            std::exit(1);
        }
    }

    std::filesystem::path dir_;
    std::filesystem::path weekFile_;
    std::unique_ptr<Singleton> context_;
};

}  // namespace qff::bench
