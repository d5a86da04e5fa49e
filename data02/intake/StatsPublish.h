#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qff {

class Singleton;

// A statistics site of our own: the open season's weekly statistics files
// from "Download", each packed alone into "<season>_wk<week>.zip", and its
// roster update "Update<season>.ros", all side by side in one folder, which
// an FTP server then serves as the download folder. Only files the download
// would accept are published, so a site never offers what it refuses.

struct PublishedWeek {
    int week = 0;  // numbered from 1
    // The local statistics file that goes into the archive under its own name.
    std::filesystem::path statistics;
    std::string archiveName;
};

struct PublishPlan {
    int seasonYear = 0;
    std::vector<PublishedWeek> weeks;
    // Empty when "Download" holds no roster update of the season.
    std::filesystem::path rosterUpdate;
    std::string rosterUpdateName;
    // Why a file that is there was left out, one line each.
    std::vector<std::string> leftOut;
};

PublishPlan planPublish(Singleton& context);

// Creates the folder when missing; false with `error` set when it cannot.
bool preparePublishFolder(const std::filesystem::path& folder, std::string& error);

// Copies the plan's roster update into the folder under a temporary name
// and renames it into place; true when there is none to copy.
bool publishRosterUpdate(const PublishPlan& plan, const std::filesystem::path& folder,
                         std::string& error);

}  // namespace qff
