// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/demo/Demo.h"
#include "data02/league/Structure.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/reports/Rpt_output.h"
#include "data02/reports/Rpt_tree_groups.h"
#include "data02/reports/Rptqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/Opening.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "app/reports/Rpt_tree.h"

namespace fs = std::filesystem;

namespace {

constexpr int kYear = 2003;
// 2011-06-15 12:00 UTC, so the calendar never decides what a test sees.
constexpr std::time_t kMid2011 = 1308139200;

std::unique_ptr<qff::Singleton> createContext(const QString& dir) {
    std::string error;
    auto context =
        qff::Singleton::create(qff::SeasonEnv{dir.toStdString(), [] { return kMid2011; }}, error);
    if (context) {
        context->preferences().load();
    }
    return context;
}

QStringList captionsBelow(const QTreeWidgetItem* item) {
    QStringList captions;
    for (int i = 0; i < item->childCount(); ++i) {
        captions << item->child(i)->text(0);
    }
    return captions;
}

QStringList topCaptions(const QTreeWidget& tree) {
    QStringList captions;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        captions << tree.topLevelItem(i)->text(0);
    }
    return captions;
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& caption) {
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == caption) {
            return parent->child(i);
        }
    }
    return nullptr;
}

// Every node the tree shows, depth first.
QList<QTreeWidgetItem*> allNodes(const QTreeWidget& tree) {
    QList<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it; ++it) {
        nodes << *it;
    }
    return nodes;
}

}  // namespace

class ReportTreeTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup();

    void groupsHoldTheirReportsAndObjects();
    void reportsOfAGroupAreTheListedOnesInIdOrder();
    void headToHeadReportsNeedASchedule();
    void leagueWithoutFranchisesHasNoFranchiseNodes();
    void nodesKeepWhatTheyStandForInItemData();
    void playersSitUnderTheirTeamByPositionThenName();
    void refreshKeepsExpansionAndSelection();
    void onlyPageNodesAreActivated();
    void runningANodeWritesItsPage();
    void runningTheSiteMapNodeWritesTheSiteMap();

  private:
    qff::Singleton& context() { return *context_; }
    int league() const { return league_; }
    QString leagueName() const;
    QString workdir() const { return dir_->path(); }

    QTemporaryDir demo_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<qff::Singleton> context_;
    int league_ = 0;
};

void ReportTreeTest::initTestCase() {
    QVERIFY(demo_.isValid());
    auto context = createContext(demo_.path());
    QVERIFY(context);
    qff::DemoOptions options;
    options.year = kYear;
    options.playersPerTeam = 12;
    qff::DemoReport report;
    std::string error;
    QVERIFY2(qff::createDemoSeason(*context, options, report, error), error.c_str());
}

void ReportTreeTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    fs::copy(demo_.path().toStdString(), workdir().toStdString(), fs::copy_options::recursive);
    context_ = createContext(workdir());
    QVERIFY(context_);
    QVERIFY(qff::openSeason(context(), kYear).opened);
    league_ = context().leagueQuery().allLeagues().back()->getValue(qff::kLeagueId);
    context().seasonState().set(qff::kCurrentLeague, league_);
}

void ReportTreeTest::cleanup() {
    context_.reset();
    dir_.reset();
}

QString ReportTreeTest::leagueName() const {
    const qff::League* found = context_->leagueQuery().findOne(qff::kLeagueId, league_);
    return QString::fromStdString(found->text(qff::kLeagueName));
}

void ReportTreeTest::groupsHoldTheirReportsAndObjects() {
    ReportTree tree;
    tree.setSeason(&context());

    QCOMPARE(
        topCaptions(tree),
        QStringList({"Report Site Map", "Franchise Reports", "Franchise Overview", "Player Reports",
                     "Player Overview", "NFL Team Overview", "Season Overview",
                     "Draft Day Assistant", "Miscellaneous", "Report Packs"}));
    QVERIFY(ReportTree::isSiteMapNode(tree.currentItem()));
    QCOMPARE(tree.topLevelItem(0)->childCount(), 0);

    QStringList franchises;
    for (const qff::Team* team : context().teamQuery().leagueFranchises(league())) {
        franchises << QString::fromStdString(team->text(qff::kFranchiseName));
    }
    QCOMPARE(franchises.size(), 12);
    QStringList sorted = franchises;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(franchises, sorted);
    QCOMPARE(captionsBelow(tree.groupItem(qff::kFranchiseOverviewGroup)), franchises);

    QStringList nflTeams;
    for (int team : context().pro().validTeams()) {
        nflTeams << context().pro().teamName(false, team);
    }
    QVERIFY(!nflTeams.isEmpty());
    QCOMPARE(captionsBelow(tree.groupItem(qff::kNflOverviewGroup)), nflTeams);
    QCOMPARE(captionsBelow(tree.groupItem(qff::kPlayerOverviewGroup)), nflTeams);
}

void ReportTreeTest::reportsOfAGroupAreTheListedOnesInIdOrder() {
    ReportTree tree;
    tree.setSeason(&context());
    for (int group : {1, 3, 6, 7, 8, 9}) {
        QStringList expected;
        for (const qff::TreeReport& report : qff::treeReports(context(), league())) {
            if (report.group == group) {
                expected << QString::fromStdString(report.name);
            }
        }
        QCOMPARE(captionsBelow(tree.groupItem(group)), expected);
    }
    QVERIFY(!captionsBelow(tree.groupItem(1)).isEmpty());
    QVERIFY(!captionsBelow(tree.groupItem(3)).isEmpty());
    for (QTreeWidgetItem* node : allNodes(tree)) {
        bool reportNode =
            ReportTree::isPageNode(node) && node->childCount() == 0 &&
            qff::reportNodeOfGroup(ReportTree::kindOf(node)) == qff::ReportNode::Report &&
            !ReportTree::isSiteMapNode(node);
        if (reportNode) {
            QVERIFY2(!node->text(0).startsWith("Overview - "), qPrintable(node->text(0)));
        }
    }
}

void ReportTreeTest::headToHeadReportsNeedASchedule() {
    ReportTree tree;
    tree.setSeason(&context());
    auto shown = [&tree](const QString& caption) {
        for (QTreeWidgetItem* node : allNodes(tree)) {
            if (node->text(0) == caption) {
                return true;
            }
        }
        return false;
    };
    QVERIFY(context().schedule().hasSchedule(league()));
    QVERIFY(shown("Your Schedule"));
    QVERIFY(shown("Standings - By Record"));

    QCOMPARE(context().schedule().reset(league()), qff::kOk);
    tree.refreshGroup(1);
    tree.refreshGroup(8);
    QVERIFY(!shown("Your Schedule"));
    QVERIFY(!shown("Standings - By Record"));
    QVERIFY(!shown("Head to Head Overview"));
    QVERIFY(shown("Standings - By Points"));
}

void ReportTreeTest::leagueWithoutFranchisesHasNoFranchiseNodes() {
    qff::StructureResult created = qff::createLeague(context(), "Empty League");
    QVERIFY2(created.ok(), created.message.c_str());
    context().seasonState().set(qff::kCurrentLeague, created.id);
    ReportTree tree;
    tree.setSeason(&context());
    QCOMPARE(tree.groupItem(1)->childCount(), 0);
    QCOMPARE(tree.groupItem(qff::kFranchiseOverviewGroup)->childCount(), 0);
    QVERIFY(tree.groupItem(3)->childCount() > 0);
}

void ReportTreeTest::nodesKeepWhatTheyStandForInItemData() {
    ReportTree tree;
    tree.setSeason(&context());
    qff::MapFactory& maps = context().mapFactory();
    int checked = 0;
    for (QTreeWidgetItem* node : allNodes(tree)) {
        if (!ReportTree::isPageNode(node) || ReportTree::isSiteMapNode(node)) {
            continue;
        }
        int id = ReportTree::idOf(node);
        std::string caption = node->text(0).toStdString();
        switch (ReportTree::kindOf(node)) {
            case qff::kFranchiseOverviewGroup:
                QCOMPARE(
                    maps.franchises().findFirst(qff::kFranchiseId, id)->text(qff::kFranchiseName),
                    caption);
                break;
            case qff::kPlayerOverviewGroup: {
                const qff::Player* player = maps.players().findFirst(qff::kPlayerId, id);
                QCOMPARE(player->name(), caption);
                QCOMPARE(player->team(), ReportTree::idOf(node->parent()));
                break;
            }
            case qff::kNflOverviewGroup:
                QCOMPARE(std::string(context().pro().teamName(false, id)), caption);
                break;
            default: {
                auto found = qff::ReportQuery(context()).findById(id);
                QVERIFY(found && found->size() == 1);
                QCOMPARE(found->front()->name(), caption);
                QCOMPARE(found->front()->type(), ReportTree::kindOf(node));
                break;
            }
        }
        ++checked;
    }
    QVERIFY(checked > 100);
}

void ReportTreeTest::playersSitUnderTheirTeamByPositionThenName() {
    ReportTree tree;
    tree.setSeason(&context());
    QTreeWidgetItem* folder = tree.groupItem(qff::kPlayerOverviewGroup)->child(0);
    QCOMPARE(ReportTree::kindOf(folder), int(ReportTree::kNflTeamFolder));
    QVERIFY(!ReportTree::isPageNode(folder));
    QVERIFY(folder->childCount() > 0);
    std::pair<int, std::string> previous{-1, ""};
    for (int i = 0; i < folder->childCount(); ++i) {
        const qff::Player* player = context().mapFactory().players().findFirst(
            qff::kPlayerId, ReportTree::idOf(folder->child(i)));
        std::pair<int, std::string> key{player->storedPosition(), player->name()};
        QVERIFY(previous <= key);
        QCOMPARE(ReportTree::imageOf(folder->child(i)),
                 qff::playerNodeImage(player->storedPosition()));
        previous = key;
    }
    QCOMPARE(qff::playerNodeImage(qff::kQB), 4);
    QCOMPARE(qff::playerNodeImage(qff::kSPE), 10);
    QCOMPARE(qff::playerNodeImage(qff::kQB + qff::kUnitOffset), 4);
    QCOMPARE(qff::playerNodeImage(qff::kSPE + qff::kUnitOffset), 10);
}

void ReportTreeTest::refreshKeepsExpansionAndSelection() {
    ReportTree tree;
    tree.setSeason(&context());
    QTreeWidgetItem* players = tree.groupItem(qff::kPlayerOverviewGroup);
    players->setExpanded(true);
    QTreeWidgetItem* team = players->child(1);
    team->setExpanded(true);
    QCOMPARE(ReportTree::imageOf(team), int(qff::kTreeOpenFolderImage));
    QString teamName = team->text(0);
    QTreeWidgetItem* player = team->child(2);
    int playerId = ReportTree::idOf(player);
    tree.setCurrentItem(player);
    tree.groupItem(1)->setExpanded(true);

    tree.refreshGroup(qff::kPlayerOverviewGroup);
    players = tree.groupItem(qff::kPlayerOverviewGroup);
    QVERIFY(players->isExpanded());
    QVERIFY(childNamed(players, teamName)->isExpanded());
    QVERIFY(!players->child(0)->isExpanded());
    QCOMPARE(ReportTree::idOf(tree.currentItem()), playerId);
    QCOMPARE(ReportTree::kindOf(tree.currentItem()), int(qff::kPlayerOverviewGroup));

    QTreeWidgetItem* report = tree.groupItem(1)->child(1);
    int reportId = ReportTree::idOf(report);
    tree.setCurrentItem(report);
    tree.refreshGroup(1);
    QVERIFY(tree.groupItem(1)->isExpanded());
    QVERIFY(!tree.groupItem(3)->isExpanded());
    QCOMPARE(ReportTree::idOf(tree.currentItem()), reportId);

    tree.refreshGroup(qff::kPlayerOverviewGroup);
    QCOMPARE(ReportTree::idOf(tree.currentItem()), reportId);
}

void ReportTreeTest::onlyPageNodesAreActivated() {
    ReportTree tree;
    tree.setSeason(&context());
    QSignalSpy activated(&tree, &ReportTree::reportActivated);
    QTreeWidgetItem* group = tree.groupItem(1);
    QTreeWidgetItem* folder = tree.groupItem(qff::kPlayerOverviewGroup)->child(0);
    emit tree.itemActivated(group, 0);
    emit tree.itemActivated(folder, 0);
    QCOMPARE(activated.count(), 0);
    emit tree.itemActivated(group->child(0), 0);
    emit tree.itemActivated(folder->child(0), 0);
    emit tree.itemActivated(tree.topLevelItem(0), 0);
    QCOMPARE(activated.count(), 3);
    QCOMPARE(activated.at(0).at(0).value<QTreeWidgetItem*>(), group->child(0));
}

void ReportTreeTest::runningANodeWritesItsPage() {
    ReportTree tree;
    tree.setSeason(&context());
    QTreeWidgetItem* standings = childNamed(tree.groupItem(1), "Standings - By Points");
    QVERIFY(standings);
    QString page = tree.runNode(standings, 2, 2);
    QCOMPARE(page, QDir(workdir()).filePath(
                       leagueName() + "/Franchise Reports/Standings - By Points - Week 3.HTM"));
    QVERIFY(QFileInfo(page).size() > 0);

    QTreeWidgetItem* team = tree.groupItem(qff::kPlayerOverviewGroup)->child(0);
    QTreeWidgetItem* player = team->child(0);
    page = tree.runNode(player, 0, 0);
    QCOMPARE(page, QDir(workdir()).filePath(leagueName() + "/Player Overview/" + team->text(0) +
                                            "/" + player->text(0) + " - Week 1.HTM"));
    QVERIFY(QFileInfo(page).size() > 0);

    QTreeWidgetItem* franchise = tree.groupItem(qff::kFranchiseOverviewGroup)->child(0);
    page = tree.runNode(franchise, 0, context().pro().weeks() - 1);
    QVERIFY(page.endsWith("/Franchise Overview/" + franchise->text(0) + " - All Weeks.HTM"));
    QVERIFY(QFileInfo(page).isFile());

    QVERIFY(tree.runNode(tree.groupItem(1), 0, 0).isEmpty());
    QVERIFY(tree.runNode(team, 0, 0).isEmpty());
}

void ReportTreeTest::runningTheSiteMapNodeWritesTheSiteMap() {
    ReportTree tree;
    tree.setSeason(&context());
    QVERIFY(!tree.runNode(childNamed(tree.groupItem(1), "Standings - By Points"), 0, 0).isEmpty());
    QString page = tree.runNode(tree.topLevelItem(0), 0, 0);
    QCOMPARE(page, QDir(workdir()).filePath("Report Site Map.htm"));
    QFile file(page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    QVERIFY(text.contains("Site Map of All Generated Reports"));
    QVERIFY(text.contains("Standings - By Points"));
}

QTEST_MAIN(ReportTreeTest)
#include "report_tree_test.moc"
