#include "app/intake/UpdateRosterResults.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/intake/StatsFetch.h"
#include "data02/intake/Statsmerge.h"
#include "data02/model/Player.h"
#include "data02/season/Single.h"

#include <QHeaderView>
#include <array>

#include "app/intake/MergeStats.h"
#include "app/intake/StatsSession.h"
#include "app/widgets/BusyCursor.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "qff/statsnet/stats_net.h"
#include "ui_UpdateRosterResults.h"

namespace {

constexpr std::array<int, 3> kPlayerColumns{qff::kPlayerName, qff::kPlayerTeam, qff::kPlayerId};

}  // namespace

TformUpdateRosterResults::TformUpdateRosterResults(const qff::PlyrList& players, QWidget* parent)
    : QDialog(parent), ui(new Ui::TformUpdateRosterResults) {
    ui->setupUi(this);
    ui->listPlayers->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    fillPlayerList(players, kPlayerColumns, 0, *ui->listPlayers);
    connect(ui->btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

TformUpdateRosterResults::~TformUpdateRosterResults() = default;

bool updateNflRosters(qff::Singleton& season, Prompter& prompter, StatsSession& session,
                      QWidget* parent) {
    qff::RosterFetch fetch(season);
    bool fetched = false;
    {
        BusyCursor busy;
        fetched = qff::statsnet::fetchRosterUpdate(session.ftp(), fetch);
    }
    if (!fetched) {
        prompter.tell(parent, Prompter::Icon::Information, QString::fromStdString(fetch.message()));
        return false;
    }
    qff::MergeReport merged =
        TformMergeStats::mergeFile(season, prompter, fetch.localPath(), parent);
    qff::PlyrList added = qff::rosterUpdateResults(season, merged);
    if (!added.empty()) {
        TformUpdateRosterResults results(added, parent);
        results.exec();
    }
    return merged.succeeded();
}

bool updateNflRosters(qff::Singleton& season, Prompter& prompter, QWidget* parent) {
    StatsSession session;
    if (!session.open(season.workdir(), qff::kRosterNoConnectionMessage)) {
        prompter.tell(parent, Prompter::Icon::Error, session.problem(), session.problemDetail());
        return false;
    }
    return updateNflRosters(season, prompter, session, parent);
}
