#pragma once

#include <array>
#include <string_view>

namespace qff {

// The main window's outlook: four sections of activities. Each activity is
// named by its section and a number that stays the same wherever it appears,
// so the remembered pair (state 9001/9002), the help pages, the hosted forms
// and the commands that show an activity all agree on one table.

inline constexpr int kReportSection = 3;

// A section or activity that stands for "no pair": nothing shown yet.
inline constexpr int kNoOutlookPair = 255;

// One section of the outlook as the window shows it.
struct OutlookSection {
    int section;
    std::string_view caption;
    // The activity that replaces one showing a single season's franchises once
    // another season opens; kNoOutlookPair where no such activity lives.
    int afterSeasonSwitch;
};

inline constexpr std::array<OutlookSection, 4> kOutlookSections = {{
    {0, " Let's Get Started!", kNoOutlookPair},
    {1, "  Pre Season Tasks", 6},
    {2, "  Weekly Tasks", 0},
    {kReportSection, "  View Reports", kNoOutlookPair},
}};

// One activity of the outlook.
struct Activity {
    int section;
    int activity;
    // The button's text, "&&" standing for one ampersand; empty for the
    // report view, which has no button.
    std::string_view caption;
    // The form the window hosts for it; empty when it shows its help page.
    std::string_view form;
    // Its page in the support folder.
    std::string_view helpPage;
    // Makes sense only once the season has a franchise.
    bool needsFranchise = false;
    // Reached through commands, never through a button of its own.
    bool hidden = false;
};

inline constexpr std::array<Activity, 21> kActivities = {{
    {0, 0, "About This Product", "", "About.htm"},
    {0, 1, "Check Out Some Features", "", "Features.htm"},
    {0, 3, "What About the Internet?", "", "Internet.htm"},
    {0, 4, "Submit An Issue", "", "Issue.htm", false, true},
    {0, 5, "About On Line Help", "", "HelpHome.htm", false, true},
    {1, 0, "Introduction", "", "Setup.htm"},
    {1, 6, "Establish Franchises", "TformSetupLeague", "Teams.htm"},
    {1, 7, "Draft Day Assistant", "TformDraftDay", "DraftDay.htm", true},
    {1, 8, "Roster Management", "TformDraftPlayers", "Draft.htm", true},
    {1, 9, "Activate && Bench Players", "TformActivate", "NeedHelp.htm", true},
    {1, 10, "Setup Schedule", "TformSchedule", "Schedule.htm", true},
    {1, 11, "Define Scoring System", "TformDefineScoringSystem", "Scoring.htm"},
    {2, 0, "Introduction", "", "Weekly.htm"},
    {2, 8, "Roster Management", "TformDraftPlayers", "NeedHelp.htm", true},
    {2, 9, "Activate && Bench Players", "TformActivate", "Rosters.htm", true},
    {2, 12, "Fantasy Football Web Site", "TformWebSite", "WebSite.htm", false, true},
    {2, 13, "Download/Merge Statistics", "TformNFLStats", "Stats.htm"},
    {2, 14, "EMail Reports to Owners", "TformEMailReports", "EMail.htm", true},
    {2, 15, "Backup Data", "TformBackupData", "Backup.htm"},
    {2, 16, "Trade Players", "TformSwapPlayers", "Trade.htm", true},
    {kReportSection, 0, "", "", "ViewRpt.htm"},
}};

// The entry of a pair; null when the outlook has none.
constexpr const Activity* findActivity(int section, int activity) {
    for (const Activity& entry : kActivities) {
        if (entry.section == section && entry.activity == activity) {
            return &entry;
        }
    }
    return nullptr;
}

// The form the window hosts for the pair; empty when it hosts none.
constexpr std::string_view hostedForm(int section, int activity) {
    const Activity* entry = findActivity(section, activity);
    return entry == nullptr ? std::string_view() : entry->form;
}

}  // namespace qff
