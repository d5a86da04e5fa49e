#pragma once

#include <optional>
#include <string>

namespace qff {

class ReportGenerator;
class Singleton;

// Catalogue numbers of the scoring, schedule, draft-day, leader and totals
// pages.
enum LeaguePage {
    kDraftByRoundPage = 7,
    kDraftByFranchisePage = 8,
    kDraftByPositionPage = 9,
    kScoringSystemPage = 14,
    kYourSchedulePage = 15,
    kNflSchedulePage = 16,
    kTopNflPlayersPage = 17,
    kTopFranchisePlayersPage = 18,
    kTopUndraftedPlayersPage = 19,
    kTotalsByPositionPage = 20,
    kTotalsByNflTeamPage = 21,
    kDraftPickOrderPage = 24,
};

// The message a draft-day page (7, 8, 9 or 24) has the user see instead of
// itself when the current league lacks the picks it needs: a drafted player
// for pages 7 to 9, any pick for page 24. runLeaguePage then fails without
// writing into the page. Nothing for a page that can be made or is no
// draft-day page.
std::optional<std::string> draftPagesRefusal(Singleton& context, int number);
// The same for the draft of any league.
std::optional<std::string> draftPagesRefusal(Singleton& context, int number, int league);

// Draft-day page `number` of `league` into the generator's open page, as
// runLeaguePage writes it for the current league; kFailed, writing nothing,
// when draftPagesRefusal refuses it.
int runDraftPage(ReportGenerator& generator, int number, int league);

// "Your Scoring System": the current league's scoring record in sentences.
int runScoringSystemPage(ReportGenerator& generator);

// A page text with up to three numbers put in its %d places.
std::string pageText(const char* pattern, int a, int b = 0, int c = 0);

// The caption over a round's table on the draft-day pages: "Round 3".
std::string draftRoundCaption(int round);

}  // namespace qff
