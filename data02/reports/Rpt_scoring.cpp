#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data02/diag/Status.h"
#include "data02/model/Legqry.h"
#include "data02/reports/Rpt_gen.h"
#include "data02/reports/Rpt_league.h"
#include "data02/scoring/Scoring.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace qff {
namespace {

constexpr int kPlainList = 3;
constexpr int kNoBorder = 0;

enum TableMode { kNotScored = 0, kOneValue = 1, kEveryUnits = 2, kRanges = 3 };

using Sentences = std::vector<std::string>;

// A titled list of sentences; a block that is not shown is no block at all.
struct Block {
    std::string title;
    Sentences sentences;
};
using MaybeBlock = std::optional<Block>;

// How a table's sentences read: the one-value forms, the every-M forms and
// the range form (which gets an "s" for any value but 1).
struct Wording {
    const char* eachOne;
    const char* eachMany;
    const char* everyOne;
    const char* everyMany;
    const char* range;
};

constexpr Wording kTouchdownWords{"1 point for each TD", "%d points each TD",
                                  "%d point every %d yards", "%d points every %d yards",
                                  "%d to %d yards = %d point"};
constexpr Wording kFieldGoalWords{"1 point for each FG", "%d points each FG",
                                  "%d point every %d yards", "%d points every %d yards",
                                  "%d to %d yards = %d point"};
constexpr Wording kPointsAllowedWords{
    "1 point for each TD", "%d points each TD", "%d point every %d points allowed",
    "%d points every %d points allowed", "%d to %d points allowed = %d point"};
constexpr Wording kYardageWords{nullptr, nullptr, "%d point every %d yards",
                                "%d points every %d yards", "%d to %d yards = %d pt"};

// A table of the record by its mode and entries.
struct ScoreTable {
    const char* title;
    int modeCode;
    int tableCode;
    int size;
    const Wording& words;
};

std::vector<std::int32_t> entriesOf(const ScoringSystem& scoring, const ScoreTable& table) {
    std::vector<std::int32_t> entries(static_cast<std::size_t>(table.size), 0);
    scoring.getTable(table.tableCode, entries);
    return entries;
}

// Entry 1 and how many entries from entry 1 on share its value.
Sentences everySentence(std::span<const std::int32_t> entries, const Wording& words) {
    int value = entries[1];
    int count = 0;
    while (count + 1 < static_cast<int>(entries.size()) && entries[count + 1] == value) {
        ++count;
    }
    return {pageText(value == 1 ? words.everyOne : words.everyMany, value, count)};
}

// A yardage table scores N points for every M yards as N * floor(y / M), so
// entries below M hold 0: reading entry 1 as N, as a length table is read,
// would describe such a table as "0 points every 9 yards". M is where the
// table first rises above entry 0 and N is that rise.
Sentences yardageEverySentence(std::span<const std::int32_t> entries, const Wording& words) {
    int size = static_cast<int>(entries.size());
    int step = 1;
    while (step < size && entries[step] == entries[0]) {
        ++step;
    }
    if (step == size) {
        return {};
    }
    int value = entries[step] - entries[0];
    return {pageText(value == 1 ? words.everyOne : words.everyMany, value, step)};
}

// One sentence per run of equal entries from entry 1 to the last.
Sentences rangeSentences(std::span<const std::int32_t> entries, const Wording& words) {
    Sentences sentences;
    int size = static_cast<int>(entries.size());
    for (int from = 1; from < size;) {
        int to = from;
        while (to + 1 < size && entries[to + 1] == entries[from]) {
            ++to;
        }
        std::string sentence = pageText(words.range, from, to, entries[from]);
        if (entries[from] != 1) {
            sentence += "s";
        }
        sentences.push_back(sentence);
        from = to + 1;
    }
    return sentences;
}

MaybeBlock lengthBlock(const ScoringSystem& scoring, const ScoreTable& table) {
    std::vector<std::int32_t> entries = entriesOf(scoring, table);
    switch (scoring.getValue(table.modeCode)) {
        case kOneValue: {
            int value = entries[1];
            return Block{
                table.title,
                {pageText(value == 1 ? table.words.eachOne : table.words.eachMany, value)}};
        }
        case kEveryUnits:
            return Block{table.title, everySentence(entries, table.words)};
        case kRanges:
            return Block{table.title, rangeSentences(entries, table.words)};
        default:
            return std::nullopt;
    }
}

MaybeBlock yardageBlock(const ScoringSystem& scoring, const ScoreTable& table) {
    std::vector<std::int32_t> entries = entriesOf(scoring, table);
    switch (scoring.getValue(table.modeCode)) {
        case kEveryUnits:
            return Block{table.title, yardageEverySentence(entries, table.words)};
        case kRanges:
            return Block{table.title, rangeSentences(entries, table.words)};
        default:
            return std::nullopt;
    }
}

// A defensive allowance the league does not score still shows that it does not.
MaybeBlock allowanceBlock(const ScoringSystem& scoring, const ScoreTable& table,
                          MaybeBlock (*scored)(const ScoringSystem&, const ScoreTable&)) {
    if (scoring.getValue(table.modeCode) == kNotScored) {
        return Block{table.title, {"Not included in scoring system."}};
    }
    return scored(scoring, table);
}

// A per-event rule: a sentence for any value but 0, the singular form when
// the value shown is 1.
struct EventRule {
    int code;
    const char* one;
    const char* many;
    bool shownNegated = false;
};

Sentences eventSentences(const ScoringSystem& scoring, std::span<const EventRule> rules) {
    Sentences sentences;
    for (const EventRule& rule : rules) {
        int value = scoring.getValue(rule.code);
        if (value == 0) {
            continue;
        }
        int shown = rule.shownNegated ? -value : value;
        sentences.push_back(pageText(shown == 1 ? rule.one : rule.many, shown));
    }
    return sentences;
}

// A bonus rule: a sentence only for points above 0.
struct BonusRule {
    int pointsCode;
    int thresholdCode;  // 0: none
    const char* pattern;
};

Sentences bonusSentences(const ScoringSystem& scoring, std::span<const BonusRule> rules) {
    Sentences sentences;
    for (const BonusRule& rule : rules) {
        int points = scoring.getValue(rule.pointsCode);
        if (points > 0) {
            int threshold = rule.thresholdCode != 0 ? scoring.getValue(rule.thresholdCode) : 0;
            sentences.push_back(pageText(rule.pattern, points, threshold));
        }
    }
    return sentences;
}

MaybeBlock blockUnlessEmpty(const char* title, Sentences sentences) {
    if (sentences.empty()) {
        return std::nullopt;
    }
    return Block{title, std::move(sentences)};
}

// Passing, rushing or receiving: its tables, its per-event rules and its bonuses.
struct Area {
    ScoreTable touchdowns;
    ScoreTable yards;
    const char* performanceTitle;
    std::vector<EventRule> events;
    std::vector<BonusRule> bonuses;
};

const std::vector<Area>& offensiveAreas() {
    static const std::vector<Area> areas{
        {{"Passing a TD", kPassTdMode, kPassTdTable, kLengthTableSize, kTouchdownWords},
         {"Passing Yards", kPassYardsMode, kPassYardsTable, kYardsTableSize, kYardageWords},
         "Passing Performance",
         {{kPerPassThrown, "Score %d pt for each pass thrown", "Score %d pts for each pass thrown"},
          {kPerPassCompleted, "Score %d pt for each completion",
           "Score %d pts for each completion"},
          {kPerInterceptionThrown, "Subtract %d pt for each interception",
           "Subtract %d pts for each interception", true},
          {kPerPassConversion, "Score %d pt for each conv", "Score %d pts for each conv"}},
         {{kPassTdBonus, kPassTdBonusAt, "%d pts for passing %d or more TD's"},
          {kPassYardsBonus, kPassYardsBonusAt, "%d pts for passing %d or more yards"},
          {kNonQbPassTd, 0, "%d pts when a non-QB passes a TD"}}},
        {{"Rushing a TD", kRushTdMode, kRushTdTable, kLengthTableSize, kTouchdownWords},
         {"Rushing Yards", kRushYardsMode, kRushYardsTable, kYardsTableSize, kYardageWords},
         "Rushing Performance",
         {{kPerRush, "Score %d pt for each ball carried", "Score %d pts for each ball carried"},
          {kPerRushConversion, "Score %d pt for each conv", "Score %d pts for each conv"}},
         {{kRushTdBonus, kRushTdBonusAt, "%d pts for rushing %d or more TD's"},
          {kRushYardsBonus, kRushYardsBonusAt, "%d pts for rushing %d or more yards"},
          {kReceiverRushTd, 0, "%d pts when a receiver rushes a TD"}}},
        {{"Receiving a TD", kCatchTdMode, kCatchTdTable, kLengthTableSize, kTouchdownWords},
         {"Receiving Yards", kCatchYardsMode, kCatchYardsTable, kYardsTableSize, kYardageWords},
         "Receiving Performance",
         {{kPerCatch, "Score %d pt for each ball caught", "Score %d pts for each ball caught"},
          {kPerCatchConversion, "Score %d pt for each conv", "Score %d pts for each conv"}},
         {{kCatchTdBonus, kCatchTdBonusAt, "%d pts for catching %d or more TD's"},
          {kCatchYardsBonus, kCatchYardsBonusAt, "%d pts for receiving %d or more yards"},
          {kQbCatchTd, 0, "%d pts when a QB catches a TD"}}},
    };
    return areas;
}

constexpr ScoreTable kFieldGoals{"Kicking a FG", kFieldGoalMode, kFieldGoalTable, kLengthTableSize,
                                 kFieldGoalWords};
constexpr ScoreTable kReturnTouchdowns{"Speciall Team TD", kReturnTdMode, kReturnTdTable,
                                       kLengthTableSize, kTouchdownWords};
constexpr ScoreTable kReturnYards{"Special Team Yards", kReturnYardsMode, kReturnYardsTable,
                                  kYardsTableSize, kYardageWords};
constexpr ScoreTable kDefenseTouchdowns{"Defensive TD", kDefenseTdMode, kDefenseTdTable,
                                        kLengthTableSize, kTouchdownWords};
constexpr ScoreTable kPointsAllowed{"Defensive Points Allowed", kPointsAllowedMode,
                                    kPointsAllowedTable, kLengthTableSize, kPointsAllowedWords};
constexpr ScoreTable kYardsAllowed{"Defensive Yards Allowed", kYardsAllowedMode, kYardsAllowedTable,
                                   kYardsTableSize, kYardageWords};

constexpr EventRule kExtraPoint{kPerExtraPoint, "1 point for each PAT", "%d pts for each PAT"};
constexpr BonusRule kFieldGoalBonusRule{kFieldGoalBonus, kFieldGoalBonusAt,
                                        "%d pts for kicking %d or more FG's"};

constexpr EventRule kDefenseEvents[] = {
    {kPerDefenseInterception, "1 point for each interception", "%d pts for each interception"},
    {kPerFumbleRecovered, "1 point for each recovered fumble", "%d pts for each recovered fumble"},
    {kPerSack, "1 point for each QB sack", "%d pts for each QB sack"},
    {kPerSafety, "1 point for each safety", "%d pts for each safety"},
    {kShutoutBonus, "1 point for a defensive shutout", "%d pts for a defensive shutout"},
};

MaybeBlock kickingBlock(const ScoringSystem& scoring) {
    if (scoring.getValue(kPerExtraPoint) <= 0 && scoring.getValue(kFieldGoalBonus) <= 0) {
        return std::nullopt;
    }
    Sentences sentences = eventSentences(scoring, std::span(&kExtraPoint, 1));
    for (std::string& sentence : bonusSentences(scoring, std::span(&kFieldGoalBonusRule, 1))) {
        sentences.push_back(std::move(sentence));
    }
    return Block{"Kicking Performance", std::move(sentences)};
}

void writeBlock(Export& out, const MaybeBlock& block) {
    if (!block) {
        return;
    }
    out.writeStyled(block->title, true, false, true, false);
    out.beginList(kPlainList);
    for (const std::string& sentence : block->sentences) {
        out.listItem(kPlainList, sentence);
    }
    out.endList(kPlainList);
    out.lineBreak();
}

void writeHeaderCells(Export& out, std::span<const char* const> titles) {
    out.beginRow();
    for (const char* title : titles) {
        out.headerCell(title);
    }
    out.endRow();
}

void writeAreaCell(Export& out, const ScoringSystem& scoring, const Area& area) {
    out.beginCell();
    writeBlock(out, lengthBlock(scoring, area.touchdowns));
    writeBlock(out, yardageBlock(scoring, area.yards));
    writeBlock(out, blockUnlessEmpty(area.performanceTitle, eventSentences(scoring, area.events)));
    writeBlock(out, blockUnlessEmpty("Other Ways to Score", bonusSentences(scoring, area.bonuses)));
    out.endCell();
}

void writeSpecialTeamsCell(Export& out, const ScoringSystem& scoring) {
    out.beginCell();
    MaybeBlock touchdowns = lengthBlock(scoring, kReturnTouchdowns);
    MaybeBlock yards = yardageBlock(scoring, kReturnYards);
    if (touchdowns || yards) {
        writeBlock(out, touchdowns);
        writeBlock(out, yards);
    } else {
        out.beginList(kPlainList);
        out.listItem(kPlainList, "None.");
        out.endList(kPlainList);
    }
    out.endCell();
}

void writeEnteredBonusCell(Export& out) {
    constexpr const char* kLines[] = {"Bonus points that are manually",
                                      "entered for teams or players will",
                                      "be included as part of the total", "points for the week."};
    out.beginCell();
    for (std::size_t i = 0; i < std::size(kLines); ++i) {
        out.writeStyled(kLines[i], true, false, true, false);
        if (i + 1 < std::size(kLines)) {
            out.lineBreak();
        }
    }
    out.endCell();
}

void writeScoringTable(Export& out, const ScoringSystem& scoring) {
    out.beginTable(kNoBorder);
    constexpr const char* kOffense[] = {"Passing Points", "Rushing Points", "Receiving Points"};
    writeHeaderCells(out, kOffense);
    out.beginRow();
    for (const Area& area : offensiveAreas()) {
        writeAreaCell(out, scoring, area);
    }
    out.endRow();

    constexpr const char* kOthers[] = {"Kicking Points", "Special Team Points",
                                       "Entered Bonus Points"};
    writeHeaderCells(out, kOthers);
    out.beginRow();
    out.beginCell();
    writeBlock(out, lengthBlock(scoring, kFieldGoals));
    writeBlock(out, kickingBlock(scoring));
    out.endCell();
    writeSpecialTeamsCell(out, scoring);
    writeEnteredBonusCell(out);
    out.endRow();

    out.beginRow();
    out.headerCell("Defensive Points", 3, 1);
    out.endRow();
    out.beginRow();
    out.beginCell();
    writeBlock(out, Block{"Defensive Performance", eventSentences(scoring, kDefenseEvents)});
    writeBlock(out, lengthBlock(scoring, kDefenseTouchdowns));
    out.endCell();
    out.beginCell();
    writeBlock(out, allowanceBlock(scoring, kPointsAllowed, lengthBlock));
    out.endCell();
    out.beginCell();
    writeBlock(out, allowanceBlock(scoring, kYardsAllowed, yardageBlock));
    out.endCell();
    out.endRow();
    out.endTable();
}

}  // namespace

int runScoringSystemPage(ReportGenerator& generator) {
    Singleton& context = generator.context();
    int leagueId = context.seasonState().peek(kCurrentLeague);
    const League* league = context.leagueQuery().findOne(kLeagueId, leagueId);
    if (league != nullptr && context.scoring().selectLeague(leagueId) != kOk) {
        return kFailed;
    }
    Export& out = generator.out();
    out.beginCenter();
    out.beginHeading(2);
    out.writeText("Fantasy Football Scoring System", true);
    out.lineBreak();
    out.writeText(
        "for " + (league != nullptr ? league->text(kLeagueName) : "??? League not found ???"),
        true);
    out.endHeading(2);
    out.paragraph();
    if (league != nullptr) {
        writeScoringTable(out, context.scoring());
    }
    out.endCenter();
    return kOk;
}

}  // namespace qff
