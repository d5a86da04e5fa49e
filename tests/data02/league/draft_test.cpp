#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data02/league/Draftorder.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "tests/data02/league/DraftFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/Interrupted.h"
#include "tests/support/SeasonFixture.h"

namespace qff {
namespace {

using test::DraftTest;
using test::FileSizeLimit;
using test::kEmptyLeague;
using test::kLeague;
using test::kYear;
using test::PickValues;
using test::seeded;

// ---- pick records -------------------------------------------------------

TEST_F(DraftTest, FieldsReadAndWriteByCodeAndUnknownCodesAreRefused) {
    Owned<TrackDraft> pick = drafts().create();
    struct Case {
        int code;
        int value;
        int setResult;
        int readBack;
    };
    const Case cases[] = {
        {kDraftLeague, 3, kOk, 3},        {kDraftFranchise, 17, kOk, 17},
        {kDraftPlayer, 1234, kOk, 1234},  {kDraftRound, 12, kOk, 12},
        {kDraftPick, 7, kOk, 7},          {12999, 5, kUnknownIdStatus, -1},
        {13005, 5, kUnknownIdStatus, -1},
    };
    for (int code = kDraftLeague; code <= kDraftPick; ++code) {
        EXPECT_EQ(pick->getValue(code), -1) << "cleared " << code;
    }
    for (const Case& c : cases) {
        EXPECT_EQ(pick->setValue(c.code, c.value), c.setResult) << c.code;
        EXPECT_EQ(pick->getValue(c.code), c.readBack) << c.code;
    }
}

TEST_F(DraftTest, PicksAreStoredLittleEndianAndReloadWithTheSeason) {
    addFranchises(2);
    storePick(2, 70000, 3, 1);
    const auto bytes = drafts().leaguePicks(kLeague).front()->bytes();
    const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 20);
    const std::vector<std::uint8_t> expected{0,    0, 0, 0, 2, 0, 0, 0, 0x70, 0x11,
                                             0x01, 0, 3, 0, 0, 0, 1, 0, 0,    0};
    EXPECT_EQ(head, expected);
    reopen();
    EXPECT_EQ(round(3), (std::vector<PickValues>{{2, 70000, 3, 1}}));
    EXPECT_EQ(context().mapFactory().drafts().size(), 1u);
}

TEST_F(DraftTest, QueriesSelectByLeagueFranchiseRoundAndPlayer) {
    addFranchises(3);
    storePick(1, 101, 1, 1);
    storePick(2, 102, 1, 2);
    storePick(1, 103, 2, 1);
    EXPECT_EQ(drafts().leaguePicks(kLeague).size(), 3u);
    EXPECT_EQ(drafts().franchisePicks(kLeague, 1).size(), 2u);
    EXPECT_EQ(drafts().franchisePicks(kLeague + 1, 1).size(), 0u);
    EXPECT_EQ(drafts().roundPicks(kLeague, 1).size(), 2u);
    EXPECT_EQ(drafts().pickOf(kLeague, 1, 2)->getValue(kDraftPlayer), 103);
    EXPECT_EQ(drafts().pickOf(kLeague, 3, 1), nullptr);
    EXPECT_TRUE(drafts().isPicked(kLeague, 102));
    EXPECT_FALSE(drafts().isPicked(kLeague, 104));
    DraftList all = drafts().leaguePicks(kLeague);
    DraftQuery::sortByField(all, kDraftPlayer, true);
    EXPECT_EQ(all.front()->getValue(kDraftPlayer), 103);
    EXPECT_EQ(all.back()->getValue(kDraftPlayer), 101);
}

// ---- renumbering ---------------------------------------------------------

TEST_F(DraftTest, RenumberingPutsDraftedPicksFirstAndCountsFromOne) {
    struct Case {
        const char* name;
        std::vector<PickValues> stored;  // franchise, player, round, pick
        std::vector<int> franchisesInOrder;
    };
    const std::vector<Case> cases = {
        {"drafted pick jumps ahead of planned ones",
         {{1, 0, 1, 1}, {2, 0, 1, 2}, {3, 303, 1, 3}},
         {3, 1, 2}},
        {"unnumbered drafted picks follow numbered drafted ones",
         {{1, 101, 1, 0}, {2, 202, 1, 5}, {3, 0, 1, 1}},
         {2, 1, 3}},
        {"gaps close up in pick order",
         {{1, 101, 1, 9}, {2, 202, 1, 4}, {3, 0, 1, 99}, {4, 0, 1, 20}},
         {2, 1, 4, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (TrackDraft* p : drafts().leaguePicks(kLeague)) {
            ASSERT_EQ(drafts().remove(*p), kOk);
        }
        for (const PickValues& p : c.stored) {
            storePick(p.franchise, p.player, p.round, p.pick);
        }
        ASSERT_EQ(drafts().renumberRound(kLeague, 1), kOk);
        EXPECT_EQ(franchiseOrder(1), c.franchisesInOrder);
        for (std::size_t i = 0; i < c.franchisesInOrder.size(); ++i) {
            EXPECT_EQ(round(1)[i].pick, static_cast<int>(i) + 1);
        }
    }
}

TEST_F(DraftTest, RenumberingIsWrittenToTheFile) {
    addFranchises(3);
    addPlayers({333});
    storePick(1, 0, 1, 1);
    storePick(2, 0, 1, 2);
    storePick(3, 0, 1, 3);
    ASSERT_EQ(assignPlayer(context(), kLeague, 3, 1, 333), kOk);
    reopen();
    EXPECT_EQ(round(1), (std::vector<PickValues>{{3, 333, 1, 1}, {1, 0, 1, 2}, {2, 0, 1, 3}}));
}

TEST_F(DraftTest, PicksWithoutAnOrderAreNumberedInTheOrderTheyAreMade) {
    addFranchises(3);
    addPlayers({101, 202, 303});
    ASSERT_EQ(assignPlayer(context(), kLeague, 2, 1, 202), kOk);
    ASSERT_EQ(assignPlayer(context(), kLeague, 3, 1, 303), kOk);
    ASSERT_EQ(assignPlayer(context(), kLeague, 1, 1, 101), kOk);
    EXPECT_EQ(round(1), (std::vector<PickValues>{{2, 202, 1, 1}, {3, 303, 1, 2}, {1, 101, 1, 3}}));
    ASSERT_EQ(drafts().remove(*drafts().pickOf(kLeague, 3, 1)), kOk);
    EXPECT_EQ(round(1), (std::vector<PickValues>{{2, 202, 1, 1}, {1, 101, 1, 2}}));
}

// ---- offering and assigning ----------------------------------------------

TEST_F(DraftTest, APlayerIsOfferedByThePreferenceAndNeverTwiceToOneFranchise) {
    addFranchises(2);
    storePick(1, 500, 1, 1);
    setRoster(1, {600});
    struct Case {
        int shared;
        int franchise;
        int player;
        bool offered;
    };
    const Case cases[] = {
        {0, 1, 500, false}, {0, 2, 500, false}, {0, 2, 600, true},
        {0, 2, 700, true},  {1, 1, 500, false}, {1, 2, 500, true},
        {1, 1, 600, false}, {1, 2, 600, true},  {1, 1, 700, true},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(context().preferences().set(kPrefDraftSharedPlayers, c.shared), kOk);
        EXPECT_EQ(isOffered(context(), kLeague, c.franchise, c.player), c.offered)
            << "shared " << c.shared << " franchise " << c.franchise << " player " << c.player;
    }
}

TEST_F(DraftTest, AssigningFillsThePlannedPickOfTheRoundElseAddsOne) {
    addFranchises(2);
    addPlayers({222, 223});
    allowSeveralPicks();
    storePick(1, 0, 2, 1);
    storePick(2, 0, 2, 2);
    ASSERT_EQ(assignPlayer(context(), kLeague, 2, 2, 222), kOk);
    ASSERT_EQ(assignPlayer(context(), kLeague, 2, 2, 223), kOk);
    EXPECT_EQ(round(2), (std::vector<PickValues>{{2, 222, 2, 1}, {2, 223, 2, 2}, {1, 0, 2, 3}}));
}

// ---- draft order ---------------------------------------------------------

class DraftOrderTest : public DraftTest,
                       public ::testing::WithParamInterface<std::tuple<SerpentineKind, int>> {};

TEST_P(DraftOrderTest, EveryRoundIsAPermutationAndEvenRoundsReverseTheOneBefore) {
    auto [kind, franchises] = GetParam();
    addFranchises(franchises);
    setRounds(9);
    DraftOrderResult result = generateDraftOrder(context(), kLeague, kind, seeded(2003));
    ASSERT_EQ(result.status, kOk) << result.message;
    EXPECT_EQ(result.picks, 9 * franchises);
    std::vector<int> everyone;
    for (int id = 1; id <= franchises; ++id) {
        everyone.push_back(id);
    }
    for (int r = 1; r <= 9; ++r) {
        std::vector<int> order = franchiseOrder(r);
        EXPECT_EQ(std::set<int>(order.begin(), order.end()),
                  std::set<int>(everyone.begin(), everyone.end()))
            << "round " << r;
        for (const PickValues& p : round(r)) {
            EXPECT_EQ(p.player, 0);
        }
        if (r % 2 == 0) {
            std::vector<int> before = franchiseOrder(r - 1);
            EXPECT_EQ(order, std::vector<int>(before.rbegin(), before.rend())) << "round " << r;
        }
        if (kind == SerpentineKind::True && r > 2) {
            EXPECT_EQ(order, franchiseOrder(r - 2)) << "round " << r;
        }
    }
    EXPECT_TRUE(round(10).empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, DraftOrderTest,
                         ::testing::Combine(::testing::Values(SerpentineKind::True,
                                                              SerpentineKind::Random),
                                            ::testing::Values(1, 7, 32)));

TEST_F(DraftTest, TrueSerpentineOfSevenMovesPickTwoToPickSix) {
    addFranchises(7);
    setRounds(7);
    ASSERT_EQ(generateDraftOrder(context(), kLeague, SerpentineKind::True, seeded(7)).status, kOk);
    int second = round(1)[1].franchise;
    const int expectedPick[] = {0, 2, 6, 2, 6, 2, 6, 2};
    for (int r = 1; r <= 7; ++r) {
        EXPECT_EQ(drafts().pickOf(kLeague, second, r)->getValue(kDraftPick), expectedPick[r])
            << "round " << r;
    }
}

TEST_F(DraftTest, TheSameSeedGivesTheSameOrderAndAnyGeneratorEnds) {
    addFranchises(12);
    setRounds(3);
    generateDraftOrder(context(), kLeague, SerpentineKind::Random, seeded(99));
    std::vector<int> first = franchiseOrder(3);
    generateDraftOrder(context(), kLeague, SerpentineKind::Random, seeded(99));
    EXPECT_EQ(franchiseOrder(3), first);
    DraftOrderResult constant =
        generateDraftOrder(context(), kLeague, SerpentineKind::Random, [] { return 0u; });
    EXPECT_EQ(constant.status, kOk);
    EXPECT_EQ(round(1).size(), 12u);
}

struct UnfinishedRegeneration {
    const char* name;
    // Regenerates with the draft file unable to grow past `bytes`.
    std::function<void(Singleton&, rlim_t bytes)> run;
};

const UnfinishedRegeneration kUnfinishedRegenerations[] = {
    {"killed",
     [](Singleton& context, rlim_t bytes) {
         test::runKilled([&] {
             test::exitAtFileSize(bytes);
             generateDraftOrder(context, kLeague, SerpentineKind::True, seeded(2));
         });
     }},
    {"a write fails",
     [](Singleton& context, rlim_t bytes) {
         FileSizeLimit limit(bytes);
         EXPECT_NE(generateDraftOrder(context, kLeague, SerpentineKind::True, seeded(2)).status,
                   kOk);
     }},
};

// Eight picks are rewritten into the slots of the old ones; the ninth would
// make the file grow and is where the work ends.
TEST_F(DraftTest, ARegenerationThatDoesNotFinishLeavesEveryPickAsItWas) {
    addFranchises(4);
    addPlayers({444});
    setRounds(2);
    ASSERT_EQ(generateDraftOrder(context(), kLeague, SerpentineKind::True, seeded(1)).status, kOk);
    ASSERT_EQ(assignPlayer(context(), kLeague, round(1)[2].franchise, 1, 444), kOk);
    setRounds(3);
    std::vector<PickValues> firstRound = round(1);
    rlim_t fullFile = test::readBytes(fileOf(SeasonFile::Draft, kYear)).size();
    for (const UnfinishedRegeneration& unfinished : kUnfinishedRegenerations) {
        test::FileImages before = test::filesIn(dir_.path());

        unfinished.run(context(), fullFile);
        start();

        EXPECT_THAT(test::changedFiles(before, test::filesIn(dir_.path())), ::testing::IsEmpty())
            << unfinished.name;
        reopen();
        EXPECT_EQ(round(1), firstRound) << unfinished.name;
        EXPECT_TRUE(drafts().isPicked(kLeague, 444)) << unfinished.name;
    }
}

TEST_F(DraftTest, RegeneratingReportsAndDestroysEveryPickOfTheLeague) {
    addFranchises(4);
    addPlayers({444});
    setRounds(2);
    ASSERT_EQ(generateDraftOrder(context(), kLeague, SerpentineKind::True, seeded(1)).status, kOk);
    ASSERT_EQ(assignPlayer(context(), kLeague, round(1)[2].franchise, 1, 444), kOk);
    DraftOrderLoss loss = draftOrderLoss(context(), kLeague);
    EXPECT_EQ(loss.picks, 8);
    EXPECT_EQ(loss.drafted, 1);
    ASSERT_EQ(generateDraftOrder(context(), kLeague, SerpentineKind::True, seeded(2)).status, kOk);
    EXPECT_FALSE(drafts().isPicked(kLeague, 444));
    reopen();
    EXPECT_EQ(drafts().leaguePicks(kLeague).size(), 8u);
}

TEST_F(DraftTest, ALeagueWithoutFranchisesIsRefusedAndKeepsItsPicks) {
    addEmptyLeague();
    addFranchises(2);
    storePick(1, 0, 1, 1);
    DraftOrderResult result =
        generateDraftOrder(context(), kEmptyLeague, SerpentineKind::True, seeded(1));
    EXPECT_EQ(result.status, kFailed);
    EXPECT_NE(result.message.find("no franchises"), std::string::npos);
    EXPECT_TRUE(drafts().leaguePicks(kEmptyLeague).empty());
    EXPECT_EQ(drafts().leaguePicks(kLeague).size(), 1u);
    EXPECT_EQ(generateDraftOrder(context(), 77, SerpentineKind::True, seeded(1)).status, kFailed);
}

TEST_F(DraftTest, PicksAreAddedAtTheEndRemovedAndMoved) {
    addFranchises(3);
    allowSeveralPicks();
    storePick(1, 0, 1, 1);
    storePick(2, 0, 1, 2);
    ASSERT_TRUE(addToDraftOrder(context(), kLeague, 3, 1).ok());
    ASSERT_TRUE(addToDraftOrder(context(), kLeague, 3, 1).ok());
    EXPECT_EQ(franchiseOrder(1), (std::vector<int>{1, 2, 3, 3}));
    struct Move {
        int pick;
        bool up;
        std::vector<int> after;
    };
    const Move moves[] = {
        {1, true, {1, 2, 3, 3}},   // top row stays
        {4, false, {1, 2, 3, 3}},  // bottom row stays
        {2, true, {2, 1, 3, 3}},  {2, false, {2, 3, 1, 3}},
        {9, true, {2, 3, 1, 3}},  // no such pick
    };
    for (const Move& m : moves) {
        ASSERT_TRUE(moveDraftPick(context(), kLeague, 1, m.pick, m.up).ok());
        EXPECT_EQ(franchiseOrder(1), m.after) << "pick " << m.pick << (m.up ? " up" : " down");
    }
    ASSERT_EQ(drafts().remove(*drafts().roundPicks(kLeague, 1).front()), kOk);
    EXPECT_EQ(round(1).size(), 3u);
    EXPECT_EQ(round(1).back().pick, 3);
}

// ---- closing the draft ---------------------------------------------------

TEST_F(DraftTest, ClosingWritesTheDraftedPlayersOnTheBenchOfFranchisesWithPicks) {
    addFranchises(3);
    setRoster(2, {900, 901});
    setRoster(3, {950});
    storePick(1, 101, 1, 1);
    storePick(1, 102, 2, 1);
    storePick(2, 0, 1, 2);
    DraftClosePlan plan = planDraftClose(context(), kLeague);
    ASSERT_EQ(plan.franchises.size(), 1u);
    EXPECT_FALSE(plan.replacesPlayers());
    ASSERT_EQ(closeDraft(context(), plan), kOk);
    reopen();
    for (int week : {0, 5, 19}) {
        EXPECT_EQ(rosterIds(1, week), (std::vector<int>{101, 102})) << week;
        EXPECT_EQ(rosterIds(2, week), (std::vector<int>{900, 901})) << week;
        EXPECT_EQ(rosterIds(3, week), (std::vector<int>{950})) << week;
    }
    TeamRosterStruct roster;
    team(1).getRoster(0, roster);
    EXPECT_EQ(roster.flag(0) + roster.flag(1), 0);
}

TEST_F(DraftTest, ClosingReportsWhatItWouldReplaceBeforeWriting) {
    addFranchises(2);
    setRoster(1, {900, 101});
    storePick(1, 101, 1, 1);
    storePick(1, 102, 2, 1);
    DraftClosePlan plan = planDraftClose(context(), kLeague);
    ASSERT_EQ(plan.franchises.size(), 1u);
    EXPECT_TRUE(plan.replacesPlayers());
    EXPECT_EQ(plan.franchises[0].replaced, (std::vector<int>{900}));
    EXPECT_EQ(rosterIds(1, 0), (std::vector<int>{900, 101}));
}

TEST_F(DraftTest, PicksBeyondThirtyTwoPlacesAreReported) {
    addFranchises(1);
    for (int r = 1; r <= 34; ++r) {
        storePick(1, 1000 + r, r, 1);
    }
    DraftClosePlan plan = planDraftClose(context(), kLeague);
    ASSERT_EQ(plan.franchises.size(), 1u);
    EXPECT_EQ(plan.franchises[0].roster.size(), 32u);
    EXPECT_EQ(plan.franchises[0].overflow, (std::vector<int>{1033, 1034}));
    EXPECT_TRUE(plan.overflows());
    ASSERT_EQ(closeDraft(context(), plan), kOk);
    EXPECT_EQ(rosterIds(1, 0).size(), 32u);
    EXPECT_EQ(rosterIds(1, 0).back(), 1032);
}

TEST_F(DraftTest, WeeksWithStatisticsKeepTheirRosters) {
    addFranchises(1);
    setRoster(1, {900});
    storePick(1, 101, 1, 1);
    ASSERT_EQ(context().seasonState().setWeekHasStats(3, 1), kOk);
    ASSERT_EQ(closeDraft(context(), planDraftClose(context(), kLeague)), kOk);
    EXPECT_EQ(rosterIds(1, 2), (std::vector<int>{101}));
    EXPECT_EQ(rosterIds(1, 3), (std::vector<int>{900}));
    EXPECT_EQ(rosterIds(1, 4), (std::vector<int>{101}));

    ASSERT_EQ(context().seasonState().setWeekHasStats(0, 1), kOk);
    storePick(1, 102, 2, 1);
    DraftClosePlan played = planDraftClose(context(), kLeague);
    EXPECT_TRUE(played.weekOnePlayed);
    EXPECT_EQ(closeDraft(context(), played), kFailed);
    EXPECT_EQ(rosterIds(1, 0), (std::vector<int>{101}));
}

TEST_F(DraftTest, ClosingAgainWithoutAChangeWritesNothing) {
    addFranchises(2);
    storePick(1, 101, 1, 1);
    storePick(2, 202, 1, 2);
    ASSERT_EQ(closeDraft(context(), planDraftClose(context(), kLeague)), kOk);
    FileSizeLimit noWrites(0);
    League* league = context().leagueQuery().findOne(kLeagueId, kLeague);
    EXPECT_EQ(draftRounds(*league), kDefaultDraftRounds);
    DraftClosePlan plan = planDraftClose(context(), kLeague);
    EXPECT_EQ(plan.changedCount(), 0);
    EXPECT_EQ(closeDraft(context(), plan), kOk);
}

TEST_F(DraftTest, ALeagueWithoutPicksLeavesEveryRosterAlone) {
    addFranchises(2);
    setRoster(1, {900});
    DraftClosePlan plan = planDraftClose(context(), kLeague);
    EXPECT_TRUE(plan.franchises.empty());
    ASSERT_EQ(closeDraft(context(), plan), kOk);
    EXPECT_EQ(rosterIds(1, 0), (std::vector<int>{900}));
}

// ---- trading picks -------------------------------------------------------

TEST_F(DraftTest, ATradeSwapsThePlayersAndEachFranchiseKeepsItsPick) {
    addFranchises(2);
    storePick(1, 101, 1, 1);
    storePick(2, 202, 1, 2);
    storePick(2, 203, 2, 1);
    TrackDraft* one = findPickOfPlayer(context(), kLeague, 1, 101);
    TrackDraft* two = findPickOfPlayer(context(), kLeague, 2, 203);
    ASSERT_TRUE(one && two);
    ASSERT_EQ(tradePicks(context(), *one, *two), kOk);
    reopen();
    EXPECT_EQ(round(1), (std::vector<PickValues>{{1, 203, 1, 1}, {2, 202, 1, 2}}));
    EXPECT_EQ(round(2), (std::vector<PickValues>{{2, 101, 2, 1}}));
}

TEST_F(DraftTest, ATradeWhoseSecondWriteFailsLeavesBothPicksAsTheyWere) {
    addFranchises(2);
    TrackDraft* one = storePick(1, 101, 1, 1);
    TrackDraft* two = storePick(2, 202, 1, 2);
    ASSERT_LT(one->slot(), two->slot());
    {
        FileSizeLimit limit(DBFile::kHeaderSize + two->slot() * kDraftRecordSize);
        EXPECT_NE(tradePicks(context(), *one, *two), kOk);
    }
    EXPECT_TRUE(findPickOfPlayer(context(), kLeague, 1, 101));
    EXPECT_TRUE(findPickOfPlayer(context(), kLeague, 2, 202));
    reopen();
    EXPECT_EQ(round(1), (std::vector<PickValues>{{1, 101, 1, 1}, {2, 202, 1, 2}}));
}

}  // namespace
}  // namespace qff
