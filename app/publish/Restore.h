#pragma once

#include <filesystem>
#include <functional>
#include <string>

class Prompter;
class QWidget;

// How a restore reaches the window that holds the season: it closes the season
// before any file changes and opens it again afterwards.
struct RestoreSeasonHooks {
    std::function<void()> closeSeason;
    std::function<void()> reopenSeason;
};

// Restores a backup archive the user chooses into the working folder. The
// archive is checked and the user asked before anything changes; the files
// it replaces are moved aside, never overwritten. False when nothing changed.
bool restoreFromBackup(const std::filesystem::path& workdir,
                       const std::filesystem::path& startFolder, const std::string& password,
                       Prompter& prompter, QWidget* parent, const RestoreSeasonHooks& hooks);
