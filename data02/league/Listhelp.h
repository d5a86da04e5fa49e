#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data02/diag/Memory.h"

namespace qff {

class Singleton;
class Player;
using PlyrList = std::vector<Player*>;

// Bytes below 0x20 and 0x7F. A newline or an ESC in a name would move a
// terminal's cursor or start one of its commands, split a log line, and
// make a file name no one can type.
bool isControlCharacter(char c);
bool holdsControlCharacter(std::string_view text);
// Why a typed text is refused, for the field `label` names as the user sees it.
std::string controlCharacterMessage(std::string_view label);

// A text made fit to be one file name inside a folder the caller chooses:
// the characters / * ? " < > | and \ and control characters become '_', and
// ':' too when asked. No separator and no ".." survive, so the name can never
// leave that folder; an empty or "." text becomes "_". Callers clean only the
// name they append, never a whole path.
std::string safeFileName(std::string_view text, bool colonToo);

// The text with ASCII letters made lower case, for orders and comparisons
// that ignore case.
std::string lowerCase(std::string_view text);

// What the player finder looks for: the players of a position, of an NFL team
// or every player.
enum class PlayerSearch { ByPosition, ByNflTeam, ByName };

// The finder's lists. By position (a position code 0..6): its players, WR with
// the TE when the preferences merge them, by name, then NFL team. By NFL team
// (a team index): its players without the team's units, whom no one looks
// for by name, by name, then position. By name: every player, by name, then
// position from the highest down. Null when nothing matches.
Owned<PlyrList> findPlayers(Singleton& context, PlayerSearch search, int value = 0);

}  // namespace qff
