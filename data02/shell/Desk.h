#pragma once

#include <filesystem>
#include <string>

namespace qff {

class Singleton;
class Preferences;
class SeasonState;

// What the main window remembers of its own: which activity is shown and
// where the window sits. These are the rules behind the window, kept here so
// they work the same without a screen.

// Why the folder cannot hold a season workspace; empty when it can.
std::string workdirProblem(const std::filesystem::path& workdir);

// The class of the desktop's width that hosted forms lay themselves out by.
int screenWidthClass(int desktopWidth);

// A week chosen for viewing: a week outside the season becomes the first, and
// both the current and the view week follow it; 256 views the whole season
// and leaves the current week alone. Returns the week now selected.
int storeWeekChoice(SeasonState& state, int week, int seasonWeeks);

// Activities that need one season's franchises give way, once another season
// has opened, to the activity their section names for that (Establish
// Franchises before the season, the introduction of the weekly tasks).
int activityAfterSeasonSwitch(int section, int activity);

// The records that decide which commands make sense in the open season.
struct LeagueCounts {
    int franchises = 0;
    int divisions = 0;
    int leagues = 0;
};
LeagueCounts countLeagueRecords(Singleton& context);

// Empties the head-to-head schedule of every league of the open season.
// False with the reason when the schedule file could not be written.
bool resetHeadToHeadSchedules(Singleton& context, std::string& error);

// Where the main window was when it closed (preferences 8001 to 8006).
struct WindowPlacement {
    bool maximised = true;
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
    int outlookWidth = 0;
};
WindowPlacement storedPlacement(const Preferences& preferences);
// A maximised window keeps the last normal position it had.
void storePlacement(Preferences& preferences, const WindowPlacement& placement);

}  // namespace qff
