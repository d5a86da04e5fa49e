// Report pages of an 18-week demo season scaled to 2,048 players and 32
// franchises in two leagues: every report the tree lists for one league and
// one week, and a player report over every player for the whole season and
// for a range of weeks; each with the points memo empty and filled.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/ScaledDemo.h"
#include "data02/demo/Demo.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_output.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

namespace {

using namespace qff;

constexpr int kWeeks = bench::kScaledWeeks;
constexpr int kWeek = 5;

class DemoSeason {
  public:
    DemoSeason() : season_("report-bench"), context_(season_.context()) {
        league_ = context_.leagueQuery().allLeagues().back()->getValue(kLeagueId);
        context_.seasonState().set(kCurrentLeague, league_);
        context_.seasonState().set(kViewWeek, kWeek);
        allPlayers_ = addAllPlayersReport();
    }
    Singleton& context() { return context_; }
    int league() const { return league_; }
    int allPlayersReport() const { return allPlayers_; }

  private:
    // Every player of the season, best first, with points and yardage.
    int addAllPlayersReport() {
        Owned<Report> report = ReportQuery(context_).create();
        report->setValue(kReportType, kPlayerReport);
        report->setText(kReportName, "Every Player");
        report->setText(kReportHeader, "Every Player");
        report->setValue(kReportTotalsRow, 1);
        for (int code : {kPlayerName, kPlayerTeam, kPlayerPosition, kTotalPoints, kHighWeek,
                         kPassYards, kRushYards, kReceivingYards}) {
            report->addColumn(*Report::defaultColumn(kPlayerReport, code));
        }
        PlayerQueryNode node;
        node.setSortKey(0, kTotalPoints, true);
        report->setPlayerNode(node);
        report->assignNewId();
        report->insert();
        return report->id();
    }

    bench::ScaledDemoSeason season_;
    Singleton& context_;
    int league_ = 0;
    int allPlayers_ = 0;
};

DemoSeason& season() {
    static DemoSeason instance;
    return instance;
}

int everyTreeReport(Singleton& context, int league) {
    int pages = 0;
    for (const TreeReport& node : treeReports(context, league)) {
        Owned<RptList> found = ReportQuery(context).findById(node.id);
        ReportTarget target;
        target.captions = {reportGroupCaption(node.group)};
        pages += runReportPage(context, found->front().get(), target, kWeek, kWeek).page ? 1 : 0;
    }
    return pages;
}

void BM_EveryListedReportOneWeekCold(benchmark::State& state) {
    Singleton& context = season().context();
    for (auto _ : state) {
        context.cache().clear();
        benchmark::DoNotOptimize(everyTreeReport(context, season().league()));
    }
    state.counters["reports"] = static_cast<double>(treeReports(context, season().league()).size());
}
BENCHMARK(BM_EveryListedReportOneWeekCold)->Unit(benchmark::kMillisecond);

void BM_EveryListedReportOneWeekWarm(benchmark::State& state) {
    Singleton& context = season().context();
    everyTreeReport(context, season().league());
    for (auto _ : state) {
        benchmark::DoNotOptimize(everyTreeReport(context, season().league()));
    }
}
BENCHMARK(BM_EveryListedReportOneWeekWarm)->Unit(benchmark::kMillisecond);

void runAllPlayers(benchmark::State& state, int first, int last, bool cold) {
    Singleton& context = season().context();
    Owned<RptList> found = ReportQuery(context).findById(season().allPlayersReport());
    ReportTarget target;
    target.captions = {reportGroupCaption(kPlayerReport)};
    for (auto _ : state) {
        if (cold) {
            context.cache().clear();
        }
        benchmark::DoNotOptimize(runReportPage(context, found->front().get(), target, first, last));
    }
    state.counters["players"] = static_cast<double>(context.mapFactory().players().size());
}

void BM_AllPlayersSeasonCold(benchmark::State& state) {
    runAllPlayers(state, 0, kWeeks - 1, true);
}
BENCHMARK(BM_AllPlayersSeasonCold)->Unit(benchmark::kMillisecond);

void BM_AllPlayersSeasonWarm(benchmark::State& state) {
    runAllPlayers(state, 0, kWeeks - 1, false);
}
BENCHMARK(BM_AllPlayersSeasonWarm)->Unit(benchmark::kMillisecond);

void BM_AllPlayersWeeks3To12Warm(benchmark::State& state) {
    runAllPlayers(state, 2, 11, false);
}
BENCHMARK(BM_AllPlayersWeeks3To12Warm)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
