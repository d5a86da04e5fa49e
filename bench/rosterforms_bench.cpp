// The roster forms on the demonstration season scaled to 2,048 players and 32
// franchises: opening each form (league tree, combos and both player lists
// filled), and one roster change as the commissioner sees it (a player added,
// both lists shown afresh). Targets: an open under 100 ms, a change under 50 ms.
#include <benchmark/benchmark.h>

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "bench/support/ScaledDemo.h"
#include "data02/league/Rosters.h"
#include "data02/model/Teamqry.h"
#include "data02/season/State.h"

#include <QApplication>
#include <QPushButton>
#include <QTreeWidget>

#include "app/league/Activate.h"
#include "app/league/DraftPlayers.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"

namespace {

using namespace qff;

bench::ScaledDemoSeason& season() {
    static bench::ScaledDemoSeason instance("rosterforms-bench");
    return instance;
}

template <typename Form>
void openForm(benchmark::State& state) {
    BatchPrompter prompter;
    for (auto _ : state) {
        Form form(season().context(), prompter);
        form.show();
        QApplication::processEvents();
    }
}

void BM_OpenDraftPlayers(benchmark::State& state) {
    openForm<TformDraftPlayers>(state);
}
BENCHMARK(BM_OpenDraftPlayers)->Unit(benchmark::kMillisecond);

void BM_OpenActivate(benchmark::State& state) {
    openForm<TformActivate>(state);
}
BENCHMARK(BM_OpenActivate)->Unit(benchmark::kMillisecond);

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
