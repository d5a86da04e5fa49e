#include "cli/CommandTable.h"

namespace qff::cli {

void CommandTable::add(const CLI::App* command, Action action) {
    actions_[command] = std::move(action);
}

int CommandTable::run(const CLI::App& app, Session& session) const {
    const CLI::App* given = &app;
    while (!given->get_subcommands().empty()) {
        given = given->get_subcommands().front();
    }
    auto found = actions_.find(given);
    if (found == actions_.end()) {
        return session.output.usage("no command given");
    }
    return found->second(session);
}

}  // namespace qff::cli
