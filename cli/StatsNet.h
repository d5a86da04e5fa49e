#pragma once

#include <iosfwd>
#include <optional>

#include <nlohmann/json.hpp>

#include "qff/statsnet/stats_net.h"

namespace qff::cli {

// qff's side of the statistics server: the settings as a command reads them
// and what publishing prints. The FTP and archive steps are shared with the
// desktop program through qff::statsnet.

struct Session;

// The settings of the working directory, or nullopt after telling the user
// that their file is damaged.
std::optional<StatsServerSettings> statsServerSettings(Session& session);

nlohmann::json publishedDocument(const statsnet::PublishOutcome& outcome);
void printPublished(std::ostream& out, const statsnet::PublishOutcome& outcome);

}  // namespace qff::cli
