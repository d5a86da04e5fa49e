#pragma once

#include <string>

namespace qff {

class Singleton;

// The built-in page the draft board shows: every drafted player, round by
// round.
inline constexpr const char* kDraftBoardReport = "Draft Day Assistant - By Round";
// The window title is this and the league's name.
inline constexpr const char* kDraftBoardTitle = "Draft Board - ";
inline constexpr const char* kDraftBoardWaiting = "No player has been drafted yet.";
inline constexpr const char* kDraftBoardNoLeague = "??? League not found ???";

// What the draft board of a league shows.
struct DraftBoardPage {
    // kDraftBoardTitle and the league's name.
    std::string title;
    // The whole page: the league's "Draft Day Assistant - By Round" page, or
    // a note in its place while there is nothing to show.
    std::string html;
    // The caption of the round that holds the latest pick ("Round 3"), for
    // the board to keep in view; empty before the first pick.
    std::string latestRound;
};

// The board of any league, made afresh from its picks and kept in memory:
// no file is written and the season state stays as it is, so a board may
// follow a league other than the current one and be remade after every pick.
DraftBoardPage draftBoardPage(Singleton& context, int league);

}  // namespace qff
