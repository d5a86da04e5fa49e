// The dialogs of the league and weekly work on the demonstration season scaled
// to 2,048 players and 32 franchises: opening each one (built and shown, its
// trees, combos and lists filled), the player finder's search by last name, and
// one roster change as the commissioner sees it (a player added, both lists
// shown afresh). Targets: an open under 100 ms, a change under 50 ms.
#include <benchmark/benchmark.h>

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "bench/support/ScaledDemo.h"
#include "data02/league/Rosters.h"
#include "data02/model/Teamqry.h"
#include "data02/season/State.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "app/draft/DraftBoard.h"
#include "app/league/Activate.h"
#include "app/league/DraftPlayers.h"
#include "app/league/EditTeam.h"
#include "app/league/FindPlayer.h"
#include "app/league/SetupLeague.h"
#include "app/league/SwapPlayers.h"
#include "app/league/TradePlayers.h"
#include "app/scoring/CloseWeek.h"
#include "app/scoring/TeamBonus.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"

namespace {

using namespace qff;

bench::ScaledDemoSeason& season() {
    static bench::ScaledDemoSeason instance("dialogs-bench");
    return instance;
}

// What the commissioner does first in an open dialog is timed with the open.
template <typename Form>
void openForm(benchmark::State& state, void (*firstUse)(Form&) = nullptr) {
    BatchPrompter prompter;
    for (auto _ : state) {
        Form form(season().context(), prompter);
        form.show();
        QApplication::processEvents();
        if (firstUse != nullptr) {
            firstUse(form);
        }
    }
}

// The franchise editor opens on the season's chosen franchise.
class CurrentFranchiseEditor : public TformEditTeam {
  public:
    CurrentFranchiseEditor(Singleton& context, Prompter& prompter)
        : TformEditTeam(context, context.seasonState().peek(kCurrentFranchise), prompter) {}
};

void searchByLastName(TformFindPlayer& form) {
    form.findChild<QRadioButton*>("radioLastName")->setChecked(true);
    form.findChild<QPushButton*>("btnPopulateList")->click();
    QApplication::processEvents();
}

void BM_OpenDraftPlayers(benchmark::State& state) {
    openForm<TformDraftPlayers>(state);
}
BENCHMARK(BM_OpenDraftPlayers)->Unit(benchmark::kMillisecond);

void BM_OpenActivate(benchmark::State& state) {
    openForm<TformActivate>(state);
}
BENCHMARK(BM_OpenActivate)->Unit(benchmark::kMillisecond);

void BM_OpenSetupLeague(benchmark::State& state) {
    openForm<TformSetupLeague>(state);
}
BENCHMARK(BM_OpenSetupLeague)->Unit(benchmark::kMillisecond);

void BM_OpenEditTeam(benchmark::State& state) {
    openForm<CurrentFranchiseEditor>(state);
}
BENCHMARK(BM_OpenEditTeam)->Unit(benchmark::kMillisecond);

void BM_OpenFindPlayer(benchmark::State& state) {
    openForm<TformFindPlayer>(state);
}
BENCHMARK(BM_OpenFindPlayer)->Unit(benchmark::kMillisecond);

void BM_FindPlayerByLastName(benchmark::State& state) {
    openForm<TformFindPlayer>(state, searchByLastName);
}
BENCHMARK(BM_FindPlayerByLastName)->Unit(benchmark::kMillisecond);

void BM_OpenSwapPlayers(benchmark::State& state) {
    openForm<TformSwapPlayers>(state);
}
BENCHMARK(BM_OpenSwapPlayers)->Unit(benchmark::kMillisecond);

void BM_OpenTradePlayers(benchmark::State& state) {
    openForm<TformTradePlayers>(state);
}
BENCHMARK(BM_OpenTradePlayers)->Unit(benchmark::kMillisecond);

void BM_OpenTeamBonus(benchmark::State& state) {
    openForm<TformTeamBonus>(state);
}
BENCHMARK(BM_OpenTeamBonus)->Unit(benchmark::kMillisecond);

void BM_OpenCloseWeek(benchmark::State& state) {
    openForm<TformCloseWeek>(state);
}
BENCHMARK(BM_OpenCloseWeek)->Unit(benchmark::kMillisecond);

// Each timed add is undone through the data layer outside the timing, so
// every iteration starts from the same roster.
void BM_AddPlayerShown(benchmark::State& state) {
    Singleton& context = season().context();
    BatchPrompter prompter;
    TformDraftPlayers form(context, prompter);
    form.show();
    auto& available = *form.findChild<QTreeWidget*>("listDraftFrom");
    auto& add = *form.findChild<QPushButton*>("btnAddPlayers");
    int franchise = context.seasonState().peek(kCurrentFranchise);
    int week = context.seasonState().peek(kCurrentWeek);
    for (auto _ : state) {
        if (available.topLevelItemCount() == 0) {
            state.SkipWithError("no player is left to add");
            break;
        }
        available.clearSelection();
        available.topLevelItem(0)->setSelected(true);
        int player = playerIdOf(available.topLevelItem(0));
        add.click();
        QApplication::processEvents();
        state.PauseTiming();
        const int added[] = {player};
        dropPlayers(context, franchise, week, added);
        form.reload();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddPlayerShown)->Unit(benchmark::kMillisecond);

// The draft board of the current league made afresh and laid out on a
// large screen, as after every pick of the night.
void BM_DraftBoardRefresh(benchmark::State& state) {
    Singleton& context = season().context();
    DraftBoard board(context, context.seasonState().peek(kCurrentLeague));
    board.resize(1280, 1024);
    board.show();
    for (auto _ : state) {
        board.refresh();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_DraftBoardRefresh)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's notes on every shown window would bury the table.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    season();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
