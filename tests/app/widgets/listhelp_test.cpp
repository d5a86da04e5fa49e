// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Structure.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QComboBox>
#include <QTest>
#include <QTreeWidget>
#include <array>

#include "app/widgets/ListHelp.h"
#include "tests/app/support/AppFixture.h"

using qff::StructureKind;
using qff::StructureNode;
using qff::apptest::SeasonFolder;

namespace {

QStringList comboTexts(const QComboBox& combo) {
    QStringList texts;
    for (int i = 0; i < combo.count(); ++i) {
        texts << combo.itemText(i);
    }
    return texts;
}

// The tree as indented captions, one line per node, depth first.
QStringList outline(const QTreeWidget& tree) {
    QStringList lines;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it != nullptr; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem* up = (*it)->parent(); up != nullptr; up = up->parent()) {
            ++depth;
        }
        lines << QString(depth * 2, ' ') + (*it)->text(0);
    }
    return lines;
}

int franchiseIn(qff::Singleton& season, StructureNode parent, const char* name) {
    return qff::createFranchise(season, parent, name).id;
}

}  // namespace

class ListHelpTest : public QObject {
    Q_OBJECT

  private slots:
    void weeksFollowTheSeasonAndSelectTheCurrentWeek_data();
    void weeksFollowTheSeasonAndSelectTheCurrentWeek();
    void nflTeamsAreAlphabeticalWithTheStatesTeamSelected();
    void positionsAndLeaguesCarryTheirIds();
    void unknownWantedEntryKeepsThePreviousIndex();
    void playerListShowsColumnsAndIds();
    void positionIconsExistForEveryPosition();
    void leagueTreeShowsStructure();
    void leagueTreeSelection();
};

void ListHelpTest::weeksFollowTheSeasonAndSelectTheCurrentWeek_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("weeks");
    QTest::newRow("1994") << 1994 << 18;
    QTest::newRow("2003") << 2003 << qff::Pro::weeksOf(2003);
}

void ListHelpTest::weeksFollowTheSeasonAndSelectTheCurrentWeek() {
    QFETCH(int, year);
    QFETCH(int, weeks);
    SeasonFolder folder(year);
    QVERIFY(folder.opened());
    folder.context().seasonState().set(qff::kCurrentWeek, 4);
    QComboBox combo;
    QCOMPARE(fillCombo(ComboKind::Weeks, combo, folder.context()), weeks);
    QCOMPARE(combo.itemText(0), QString("1"));
    QCOMPARE(combo.itemText(weeks - 1), QString::number(weeks));
    QCOMPARE(combo.currentText(), QString("5"));
    QCOMPARE(combo.currentData().toInt(), 4);
}

void ListHelpTest::nflTeamsAreAlphabeticalWithTheStatesTeamSelected() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    qff::Singleton& season = folder.context();
    int chosen = season.pro().validTeams().back();
    season.seasonState().set(qff::kCurrentNflTeam, chosen);
    QComboBox combo;
    int count = fillCombo(ComboKind::NflTeams, combo, season);
    QCOMPARE(count, static_cast<int>(season.pro().validTeams().size()));
    QStringList texts = comboTexts(combo);
    QStringList sorted = texts;
    sorted.sort();
    QCOMPARE(texts, sorted);
    QCOMPARE(combo.currentData().toInt(), chosen);
    QCOMPARE(combo.currentText(), QString::fromUtf8(season.pro().teamName(false, chosen)));
}

void ListHelpTest::positionsAndLeaguesCarryTheirIds() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    qff::Singleton& season = folder.context();
    int second = qff::createLeague(season, "Second").id;
    season.seasonState().set(qff::kCurrentLeague, second);
    QComboBox positions;
    QCOMPARE(fillCombo(ComboKind::Positions, positions, season), 7);
    QCOMPARE(positions.currentIndex(), 0);
    QCOMPARE(positions.itemText(5), QString("Defense"));
    QCOMPARE(positions.itemData(5).toInt(), int{qff::kDEF});
    QComboBox leagues;
    QCOMPARE(fillCombo(ComboKind::Leagues, leagues, season), 2);
    QCOMPARE(comboTexts(leagues), QStringList({"Default League", "Second"}));
    QCOMPARE(leagues.currentData().toInt(), second);
}

void ListHelpTest::unknownWantedEntryKeepsThePreviousIndex() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    qff::Singleton& season = folder.context();
    QComboBox combo;
    fillCombo(ComboKind::Positions, combo, season);
    combo.setCurrentIndex(3);
    fillCombo(ComboKind::Positions, combo, season);
    QCOMPARE(combo.currentIndex(), 3);
    combo.setCurrentIndex(6);
    QCOMPARE(fillCombo(ComboKind::Leagues, combo, season), 1);
    QCOMPARE(combo.currentIndex(), 0);
}

void ListHelpTest::playerListShowsColumnsAndIds() {
    SeasonFolder folder(qff::DemoOptions{});
    QVERIFY(folder.opened());
    qff::PlayerQuery& query = folder.context().playerQuery();
    query.clear();
    qff::Owned<qff::PlyrList> players = query.run();
    QVERIFY(players && players->size() > 3);
    qff::PlyrList three(players->begin(), players->begin() + 3);
    QTreeWidget view;
    view.setColumnCount(3);
    const std::array<int, 3> columns{qff::kPlayerName, qff::kPlayerTeam, qff::kPlayerId};
    QCOMPARE(fillPlayerList(three, columns, 0, view), 3);
    for (int row = 0; row < 3; ++row) {
        const qff::Player& player = *three[static_cast<std::size_t>(row)];
        QTreeWidgetItem* item = view.topLevelItem(row);
        QCOMPARE(item->text(0), QString::fromStdString(player.name()));
        QCOMPARE(item->text(1), QString::fromStdString(player.text(qff::kPlayerTeam)));
        QCOMPARE(item->text(2), QString::number(player.id()));
        QCOMPARE(playerIdOf(item), player.id());
        QVERIFY(!item->icon(0).isNull());
    }
    view.topLevelItem(2)->setSelected(true);
    view.topLevelItem(0)->setSelected(true);
    QCOMPARE(selectedPlayerIds(view), QList<int>({three[0]->id(), three[2]->id()}));
    QCOMPARE(playerIdOf(nullptr), 0);
}

void ListHelpTest::positionIconsExistForEveryPosition() {
    for (int position = qff::kQB; position <= qff::kSPE; ++position) {
        QVERIFY(!positionIcon(position).isNull());
        QCOMPARE(positionIcon(position + qff::kUnitOffset).cacheKey(),
                 positionIcon(position).cacheKey());
    }
    QVERIFY(positionIcon(7).isNull());
    QVERIFY(positionIcon(-1).isNull());
}

void ListHelpTest::leagueTreeShowsStructure() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    qff::Singleton& season = folder.context();
    int league = qff::createLeague(season, "Eastern").id;
    int division = qff::createDivision(season, league, "North", "N").id;
    franchiseIn(season, {StructureKind::Division, division}, "Bears");
    franchiseIn(season, {StructureKind::League, league}, "Wanderers");
    int lost = franchiseIn(season, {StructureKind::Division, division}, "Lost");
    qff::Team* lostTeam = season.teamQuery().findOne(qff::kFranchiseId, lost);
    QVERIFY(lostTeam != nullptr);
    lostTeam->setValue(qff::kFranchiseDivision, 999);
    QCOMPARE(lostTeam->save(), 0);
    QTreeWidget tree;
    fillLeagueTree(tree, season);
    QCOMPARE(outline(tree),
             QStringList({"Default League", "Eastern", "  North", "    Bears", "  Wanderers"}));
    for (QTreeWidgetItemIterator it(&tree); *it != nullptr; ++it) {
        QVERIFY((*it)->childCount() == 0 || (*it)->isExpanded());
    }
    std::optional<StructureNode> node = structureNodeOf(tree.topLevelItem(1)->child(0));
    QVERIFY(node && node->kind == StructureKind::Division && node->id == division);
}

void ListHelpTest::leagueTreeSelection() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    qff::Singleton& season = folder.context();
    QTreeWidget tree;
    fillLeagueTree(tree, season);
    QCOMPARE(tree.currentItem()->text(0), QString("Default League"));
    int league = qff::createLeague(season, "Eastern").id;
    int first = franchiseIn(season, {StructureKind::League, league}, "Alpha");
    int second = franchiseIn(season, {StructureKind::League, league}, "Beta");
    season.seasonState().set(qff::kCurrentFranchise, 0);
    fillLeagueTree(tree, season);
    QCOMPARE(tree.currentItem()->text(0), QString("Default League"));
    tree.setCurrentItem(nullptr);
    fillLeagueTree(tree, season);
    QCOMPARE(structureNodeOf(tree.currentItem())->id, first);
    season.seasonState().set(qff::kCurrentFranchise, second);
    fillLeagueTree(tree, season, StructureNode{StructureKind::League, league});
    QCOMPARE(tree.currentItem()->text(0), QString("Eastern"));
    fillLeagueTree(tree, season);
    QCOMPARE(tree.currentItem()->text(0), QString("Eastern"));
    tree.setCurrentItem(nullptr);
    fillLeagueTree(tree, season);
    QCOMPARE(structureNodeOf(tree.currentItem())->id, second);
}

QTEST_MAIN(ListHelpTest)
#include "listhelp_test.moc"
