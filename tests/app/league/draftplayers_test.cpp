#include "tests/app/league/RosterSeason.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/league/DraftPlayers.h"
#include "app/league/FindPlayer.h"
#include "app/shell/Options.h"
#include "app/widgets/DragDrop.h"

using qff::apptest::choose;
using qff::apptest::listed;
using qff::apptest::nodeNamed;
using qff::apptest::RecordingPrompter;
using qff::apptest::RosterSeason;
using qff::apptest::shownIds;
using Ids = std::vector<int>;

class DraftPlayersTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void opensOnTheStoredFranchiseWeekAndTeam();
    void fillsTwoRostersThroughTheControls();
    void aNodeOtherThanAFranchiseShowsNoRoster();
    void refusalsAreToldInTheDataLayersWordsAndStoreNothing_data();
    void refusalsAreToldInTheDataLayersWordsAndStoreNothing();
    void aFullRosterTakesNoMoreAndLeavesTheRestOffered();
    void removingTakesPlayersOffAndOffersThemAgain();
    void aChangeIsCopiedToLaterWeeksWithoutStatistics();
    void dropsBetweenTheListsAddAndRemoveAndOntoTheTreeDoNothing();
    void reloadShowsAChangeMadeElsewhere();
    void findPlayerTurnsToHisTeamAndSelectsHim();
    void draftOptionsShowTheNewLimitsAfterward();

  private:
    QTreeWidget& tree() { return *form_->findChild<QTreeWidget*>("treeLeague"); }
    QTreeWidget& roster() { return *form_->findChild<QTreeWidget*>("listDraftTo"); }
    QTreeWidget& available() { return *form_->findChild<QTreeWidget*>("listDraftFrom"); }
    QComboBox& weeks() { return *form_->findChild<QComboBox*>("comboWeek"); }
    QComboBox& nflTeams() { return *form_->findChild<QComboBox*>("comboNFLTeams"); }
    QPushButton& button(const char* name) { return *form_->findChild<QPushButton*>(name); }
    QString title() { return form_->findChild<QLabel*>("labelRosterTitle")->text(); }
    void selectNode(const QString& caption) { tree().setCurrentItem(nodeNamed(tree(), caption)); }
    void chooseWeek(int index) {
        weeks().setCurrentIndex(index);
        emit weeks().activated(index);
    }
    void add(const Ids& players) {
        choose(available(), players);
        QTest::mouseClick(&button("btnAddPlayers"), Qt::LeftButton);
    }
    qff::Singleton& season() { return season_->season(); }

    std::unique_ptr<RosterSeason> season_;
    RecordingPrompter prompter_;
    std::unique_ptr<TformDraftPlayers> form_;
};

void DraftPlayersTest::init() {
    season_ = std::make_unique<RosterSeason>();
    QVERIFY(season_->ok());
    prompter_ = RecordingPrompter{};
    form_ = std::make_unique<TformDraftPlayers>(season(), prompter_);
    form_->show();
}

void DraftPlayersTest::cleanup() {
    form_.reset();
    season_.reset();
}

void DraftPlayersTest::opensOnTheStoredFranchiseWeekAndTeam() {
    form_.reset();
    season().seasonState().set(qff::kCurrentWeek, 2);
    season().seasonState().set(qff::kCurrentNflTeam, season_->team(1));
    qff::selectStructureNode(season(), {qff::StructureKind::Franchise, season_->owls()});
    form_ = std::make_unique<TformDraftPlayers>(season(), prompter_);
    QCOMPARE(tree().currentItem()->text(0), QString("Owls"));
    QCOMPARE(weeks().currentText(), QString("3"));
    QCOMPARE(weeks().count(), season().pro().weeks());
    QCOMPARE(nflTeams().currentData().toInt(), season_->team(1));
    QCOMPARE(title(), QString("Roster for Owls"));
    // The team's one player, then its units.
    QCOMPARE(shownIds(available()).front(), int(RosterSeason::kTe));
    QCOMPARE(available().topLevelItemCount(), 1 + qff::kIndividualPositions);
    QVERIFY(!available().topLevelItem(0)->icon(0).isNull());
}

void DraftPlayersTest::fillsTwoRostersThroughTheControls() {
    QSignalSpy changed(form_.get(), &SeasonForm::seasonChanged);
    add({RosterSeason::kQb1, RosterSeason::kRb});
    selectNode("Owls");
    QCOMPARE(season().seasonState().peek(qff::kCurrentFranchise), season_->owls());
    QCOMPARE(title(), QString("Roster for Owls"));
    // The Hawks' players are taken within the league.
    QCOMPARE(shownIds(available()).front(), int(RosterSeason::kQb2));
    choose(available(), {RosterSeason::kQb2});
    emit available().itemDoubleClicked(available().topLevelItem(0), 0);

    QCOMPARE(season_->roster(season_->hawks(), 0), (Ids{RosterSeason::kQb1, RosterSeason::kRb}));
    QCOMPARE(season_->roster(season_->owls(), 0), (Ids{RosterSeason::kQb2}));
    QCOMPARE(shownIds(roster()), (Ids{RosterSeason::kQb2}));
    QCOMPARE(roster().topLevelItem(0)->text(1),
             QString::fromUtf8(season().pro().teamName(true, season_->team(0))));
    QCOMPARE(changed.count(), 2);
    QVERIFY(prompter_.told.isEmpty());
}

void DraftPlayersTest::aNodeOtherThanAFranchiseShowsNoRoster() {
    add({RosterSeason::kQb1});
    selectNode("North");
    QCOMPARE(season().seasonState().peek(qff::kCurrentLeague), season_->north());
    QCOMPARE(title(), QString("Please Select a Franchise"));
    QCOMPARE(roster().topLevelItemCount(), 0);
    // Without a franchise every player of the team is offered, none can be added.
    QVERIFY(listed(available(), RosterSeason::kQb1));
    QVERIFY(!button("btnAddPlayers").isEnabled());
    QVERIFY(!button("btnRemovePlayers").isEnabled());
}

void DraftPlayersTest::refusalsAreToldInTheDataLayersWordsAndStoreNothing_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("words");
    QTest::newRow("position full")
        << int(qff::RosterReason::kPositionFull)
        << "cannot join Hawks: its roster already holds the maximum of 1";
    QTest::newRow("held elsewhere") << int(qff::RosterReason::kHeldElsewhere)
                                    << "is already on the roster of Owls in the same league.";
}

// The list was shown before the change that makes the add refused.
void DraftPlayersTest::refusalsAreToldInTheDataLayersWordsAndStoreNothing() {
    QFETCH(int, reason);
    QFETCH(QString, words);
    const int qb1[] = {RosterSeason::kQb1};
    const int qb2[] = {RosterSeason::kQb2};
    QVERIFY(qff::addPlayers(season(), season_->hawks(), 0, qb1).changed.size() == 1);
    form_->reload();
    if (reason == int(qff::RosterReason::kPositionFull)) {
        season_->setLimit(qff::kQB, 1);
    } else {
        QVERIFY(qff::addPlayers(season(), season_->owls(), 0, qb2).changed.size() == 1);
    }
    add({RosterSeason::kQb2});
    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY2(
        prompter_.told.front().startsWith("Baker, Bo ") && prompter_.told.front().contains(words),
        qPrintable(prompter_.told.front()));
    QCOMPARE(season_->roster(season_->hawks(), 0), (Ids{RosterSeason::kQb1}));
    QVERIFY(!listed(available(), int(RosterSeason::kQb2)));
}

void DraftPlayersTest::aFullRosterTakesNoMoreAndLeavesTheRestOffered() {
    season_->setAllLimits(qff::kRosterUnrestricted);
    Ids thirty;
    for (int i = 0; i < 30; ++i) {
        thirty.push_back(RosterSeason::kFirstWr + i);
    }
    QVERIFY(qff::addPlayers(season(), season_->hawks(), 0, thirty).changed.size() == 30);
    form_->reload();
    Ids five{RosterSeason::kQb1, RosterSeason::kQb2, RosterSeason::kQb3, RosterSeason::kRb,
             RosterSeason::kFirstWr + 30};
    add(five);
    QCOMPARE(season_->roster(season_->hawks(), 0).size(), size_t(32));
    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY(
        prompter_.told.front().contains("there is no more room for players in the current "
                                        "roster. The maximum of 32 players have been drafted."));
    QCOMPARE(prompter_.told.front().count('\n'), 2);
    Ids offered = shownIds(available());
    for (int left :
         {int(RosterSeason::kQb3), int(RosterSeason::kRb), RosterSeason::kFirstWr + 30}) {
        QVERIFY(std::find(offered.begin(), offered.end(), left) != offered.end());
    }
    QVERIFY(!button("btnAddPlayers").isEnabled());
}

void DraftPlayersTest::removingTakesPlayersOffAndOffersThemAgain() {
    add({RosterSeason::kQb1, RosterSeason::kQb2, RosterSeason::kRb});
    choose(roster(), {RosterSeason::kQb1, RosterSeason::kRb});
    QTest::mouseClick(&button("btnRemovePlayers"), Qt::LeftButton);
    QCOMPARE(season_->roster(season_->hawks(), 0), (Ids{RosterSeason::kQb2}));
    QCOMPARE(shownIds(roster()), (Ids{RosterSeason::kQb2}));
    QCOMPARE(shownIds(available()).front(), int(RosterSeason::kQb1));
    // The row at the removed row's place stays chosen.
    QCOMPARE(roster().currentItem(), roster().topLevelItem(0));
    QVERIFY(prompter_.told.isEmpty());
}

void DraftPlayersTest::aChangeIsCopiedToLaterWeeksWithoutStatistics() {
    QVERIFY(season().seasonState().setWeekHasStats(6, 1) == qff::kOk);
    chooseWeek(4);
    QCOMPARE(season().seasonState().peek(qff::kCurrentWeek), 4);
    QCOMPARE(season().seasonState().peek(qff::kViewWeek), 4);
    add({RosterSeason::kRb});
    for (int week = 0; week < qff::kWeekSlots; ++week) {
        bool copied = week >= 4 && week != 6;
        QCOMPARE(season_->roster(season_->hawks(), week), copied ? Ids{RosterSeason::kRb} : Ids{});
    }
    chooseWeek(3);
    QCOMPARE(roster().topLevelItemCount(), 0);
}

void DraftPlayersTest::dropsBetweenTheListsAddAndRemoveAndOntoTheTreeDoNothing() {
    auto* handler = form_->findChild<HdlDragDrop*>();
    QVERIFY(handler != nullptr);
    auto drop = [&](QTreeWidget& from, int row, QWidget& onto) {
        HdlDragDrop::DropInfo info;
        info.sourceKind = HdlDragDrop::Kind::ListView;
        info.source = &from;
        info.sourceItem = from.topLevelItem(row);
        info.target = &onto;
        emit handler->dropped(info);
    };
    drop(available(), 0, roster());
    QCOMPARE(season_->roster(season_->hawks(), 0), (Ids{RosterSeason::kQb1}));
    drop(roster(), 0, tree());
    QCOMPARE(season_->roster(season_->hawks(), 0), (Ids{RosterSeason::kQb1}));
    drop(roster(), 0, available());
    QCOMPARE(season_->roster(season_->hawks(), 0), Ids{});
}

void DraftPlayersTest::reloadShowsAChangeMadeElsewhere() {
    const int players[] = {RosterSeason::kRb};
    QVERIFY(qff::addPlayers(season(), season_->hawks(), 0, players).changed.size() == 1);
    QCOMPARE(roster().topLevelItemCount(), 0);
    form_->reload();
    QCOMPARE(shownIds(roster()), (Ids{RosterSeason::kRb}));
    QVERIFY(!listed(available(), int(RosterSeason::kRb)));
    QCOMPARE(tree().currentItem()->text(0), QString("Hawks"));
}

void DraftPlayersTest::findPlayerTurnsToHisTeamAndSelectsHim() {
    season().seasonState().set(qff::kCurrentNflTeam, season_->team(1));
    form_->reload();
    QCOMPARE(nflTeams().currentData().toInt(), season_->team(1));
    QTimer::singleShot(0, [] {
        auto* finder = qobject_cast<TformFindPlayer*>(QApplication::activeModalWidget());
        QVERIFY(finder != nullptr);
        // QBs by name: Able, Baker, Cole.
        QTest::mouseClick(finder->findChild<QPushButton*>("btnPopulateList"), Qt::LeftButton);
        auto* found = finder->findChild<QTreeWidget*>("listPlayers");
        QCOMPARE(found->topLevelItemCount(), 3);
        found->setCurrentItem(found->topLevelItem(2));
        QTest::mouseClick(finder->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    });
    QTest::mouseClick(&button("btnFindPlayer"), Qt::LeftButton);
    QCOMPARE(nflTeams().currentData().toInt(), season_->team(0));
    QCOMPARE(season().seasonState().peek(qff::kCurrentNflTeam), season_->team(0));
    QCOMPARE(playerIdOf(available().currentItem()), int(RosterSeason::kQb3));
    QVERIFY(available().currentItem()->isSelected());
}

void DraftPlayersTest::draftOptionsShowTheNewLimitsAfterward() {
    add({RosterSeason::kQb1, RosterSeason::kQb2});
    QVERIFY(!listed(available(), int(RosterSeason::kQb3)));
    QTimer::singleShot(0, [this] {
        auto* options = qobject_cast<TformOptions*>(QApplication::activeModalWidget());
        QVERIFY(options != nullptr);
        season_->setLimit(qff::kQB, 3);
        options->reject();
    });
    QTest::mouseClick(&button("btnDraftOptions"), Qt::LeftButton);
    QVERIFY(listed(available(), int(RosterSeason::kQb3)));
}

QTEST_MAIN(DraftPlayersTest)
#include "draftplayers_test.moc"
