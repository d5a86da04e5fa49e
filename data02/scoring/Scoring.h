#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "data02/scoring/Scoring_record.h"
#include "data02/scoring/Scoring_rules.h"
#include "data02/storage/Record.h"

namespace qff {

class Singleton;

using ScoreFile = RecordFile<kScoreRecordSize>;

// The scoring record of one league as held in memory, with its slot.
class ScoreRecord : public StoredRecord<kScoreRecordSize> {
  public:
    explicit ScoreRecord(ScoreFile& file) : StoredRecord(file) {}

    ByteSpan image() { return bytes_; }
    int league() const { return getI16(bytes_, kScoreLeagueIdOffset); }
    bool isStored() const { return slot_ >= 0; }
    int save() { return writeRecord(); }
    // A failed insert leaves the record without a slot, so that a later save
    // cannot overwrite the record it was copied from.
    int insert();
    void clear();
};

// The per-league scoring systems of the open season and the points they give.
// Every computation reads the record of the league selected last.
class ScoringSystem {
  public:
    explicit ScoringSystem(Singleton& context);
    ScoringSystem(const ScoringSystem&) = delete;
    ScoringSystem& operator=(const ScoringSystem&) = delete;

    // Opens the season's scoring file, creating it only when it is missing;
    // the current record is then its first record. 0 on success.
    int openSeason(int year);
    // Creates a missing scoring file: the previous season's first record, or
    // the defaults of league 0. An existing file is never replaced.
    int createSeason(int year);
    void closeSeason();
    bool isOpen() const { return file_.isOpen(); }
    int season() const { return file_.isOpen() ? file_.year() : 0; }
    const std::string& lastError() const { return error_; }

    // Makes the league's record current, adding a default one when it has none.
    int selectLeague(int leagueId);
    // Gives the league the default scoring, in its own record when it has one.
    int resetToDefaults(int leagueId);
    // The league id of the current record; -1 while no record is current.
    int league() const;
    int save();

    // Item codes 5000..5070; setters change memory only, until save.
    int getValue(int code) const;
    int setValue(int code, int value);
    int getTable(int code, std::span<std::int32_t> buffer) const;
    int putTable(int code, std::span<const std::int32_t> buffer);
    ConstByteSpan record() const { return current_.bytes(); }

    // The NFL side's answers for the week gate and the bye weeks.
    void setNflWeeks(NflWeeks nfl);

    int statisticPoints(int rule, int value, int position) const;
    // Computes without the points cache.
    int playerItemValue(const PlayerWeekView& player, int code, int week) const;
    // The same value, remembered in the points cache per season, player,
    // week, league and code.
    int playerPoints(const PlayerWeekView& player, int code, int week);

    // For callers whose change makes remembered player points stale: every
    // player of the season, or one player's week (and its season values).
    void dropAllPlayerPoints();
    void dropPlayerWeek(int playerId, int week);

  private:
    enum class Lookup { Found, Missing, Unreadable };

    int fail(std::string reason);
    int seedNewFile(ScoreFile& file);
    bool copyFirstRecord(int year, ByteSpan into);
    Lookup loadLeague(int leagueId);
    int storeDefaults(int leagueId, bool inPlace);
    bool isCurrent(int leagueId) const;
    void scoringChanged();
    void dropUnsavedChanges();
    const SeasonFacts& facts() const { return facts_; }
    int composedPoints(const PlayerWeekView& player, int code, int week);
    int seasonWeekFigure(const PlayerWeekView& player, WeekFigure which, int weeks);
    int weekTotal(const PlayerWeekView& player, int week);
    bool teamWeekCounts(int team, int week);

    Singleton& context_;
    ScoreFile file_;
    ScoreRecord current_;
    NflWeeks nfl_;
    // Built once: every point computation consults it.
    SeasonFacts facts_;
    bool unsaved_ = false;
    std::string error_;
};

}  // namespace qff
