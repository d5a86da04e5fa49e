#include "tests/app/league/RosterSeason.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/league/Activate.h"
#include "app/widgets/DragDrop.h"

using qff::apptest::choose;
using qff::apptest::nodeNamed;
using qff::apptest::RecordingPrompter;
using qff::apptest::RosterSeason;
using qff::apptest::shownIds;
using Ids = std::vector<int>;

namespace {

// Hawks hold QB1, RB and QB2 in that order, all on the bench.
const Ids kHawksRoster{RosterSeason::kQb1, RosterSeason::kRb, RosterSeason::kQb2};

}  // namespace

class ActivateTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void showsTheFranchisesLineupWithSeasonFigures();
    void activatingSeveralPlayersIsOneSaveAndKeepsTheRosterOrder();
    void benchingByDoubleClickAndByDrop();
    void aChangeIsCopiedToLaterWeeksWithoutStatistics();
    void withoutAFranchiseBothListsAreEmptyAndBothButtonsDisabled();
    void reloadShowsAChangeMadeElsewhere();
    void aNarrowFormShowsNamesAndTeamsOnly();

  private:
    QTreeWidget& tree() { return *form_->findChild<QTreeWidget*>("treeLeague"); }
    QTreeWidget& activeList() { return *form_->findChild<QTreeWidget*>("listActive"); }
    QTreeWidget& benchList() { return *form_->findChild<QTreeWidget*>("listBench"); }
    QComboBox& weeks() { return *form_->findChild<QComboBox*>("comboWeek"); }
    QPushButton& button(const char* name) { return *form_->findChild<QPushButton*>(name); }
    void chooseWeek(int index) {
        weeks().setCurrentIndex(index);
        emit weeks().activated(index);
    }
    void activate(const Ids& players) {
        choose(benchList(), players);
        QTest::mouseClick(&button("btnActivatePlayers"), Qt::LeftButton);
    }
    qff::Singleton& season() { return season_->season(); }

    std::unique_ptr<RosterSeason> season_;
    RecordingPrompter prompter_;
    std::unique_ptr<TformActivate> form_;
};

void ActivateTest::init() {
    season_ = std::make_unique<RosterSeason>();
    QVERIFY(season_->ok());
    QVERIFY(qff::addPlayers(season(), season_->hawks(), 0, kHawksRoster).changed.size() == 3);
    prompter_ = RecordingPrompter{};
    form_ = std::make_unique<TformActivate>(season(), prompter_);
    form_->resize(900, 600);
    form_->show();
}

void ActivateTest::cleanup() {
    form_.reset();
    season_.reset();
}

void ActivateTest::showsTheFranchisesLineupWithSeasonFigures() {
    QCOMPARE(tree().currentItem()->text(0), QString("Hawks"));
    // By position, then name.
    QCOMPARE(shownIds(benchList()),
             (Ids{RosterSeason::kQb1, RosterSeason::kQb2, RosterSeason::kRb}));
    QCOMPARE(activeList().topLevelItemCount(), 0);
    QVERIFY(button("btnActivatePlayers").isEnabled());
    QVERIFY(!button("btnBenchPlayers").isEnabled());
    const QTreeWidgetItem* row = benchList().topLevelItem(0);
    QCOMPARE(row->text(0), QString("Able, Art"));
    QCOMPARE(row->text(1), QString::fromUtf8(season().pro().teamName(true, season_->team(0))));
    for (int column : {2, 3, 4}) {
        QCOMPARE(row->text(column), QString("0"));
        QVERIFY(!benchList().isColumnHidden(column));
    }
    QVERIFY(benchList().isColumnHidden(5));
}

void ActivateTest::activatingSeveralPlayersIsOneSaveAndKeepsTheRosterOrder() {
    QSignalSpy changed(form_.get(), &SeasonForm::seasonChanged);
    activate(kHawksRoster);
    QCOMPARE(season_->roster(season_->hawks(), 0), kHawksRoster);
    QCOMPARE(season_->active(season_->hawks(), 0), kHawksRoster);
    QCOMPARE(benchList().topLevelItemCount(), 0);
    QCOMPARE(activeList().topLevelItemCount(), 3);
    QVERIFY(!button("btnActivatePlayers").isEnabled());
    QVERIFY(button("btnBenchPlayers").isEnabled());
    QCOMPARE(changed.count(), 1);
    QVERIFY(prompter_.told.isEmpty());
}

void ActivateTest::benchingByDoubleClickAndByDrop() {
    activate(kHawksRoster);
    choose(activeList(), {RosterSeason::kRb});
    emit activeList().itemDoubleClicked(activeList().topLevelItem(2), 0);
    QCOMPARE(season_->active(season_->hawks(), 0), (Ids{RosterSeason::kQb1, RosterSeason::kQb2}));

    auto* handler = form_->findChild<HdlDragDrop*>();
    QVERIFY(handler != nullptr);
    activeList().clearSelection();
    HdlDragDrop::DropInfo info;
    info.sourceKind = info.targetKind = HdlDragDrop::Kind::ListView;
    info.source = &activeList();
    info.sourceItem = activeList().topLevelItem(0);
    info.target = &benchList();
    emit handler->dropped(info);
    QCOMPARE(season_->active(season_->hawks(), 0), (Ids{RosterSeason::kQb2}));
    QCOMPARE(season_->roster(season_->hawks(), 0), kHawksRoster);
}

void ActivateTest::aChangeIsCopiedToLaterWeeksWithoutStatistics() {
    QVERIFY(season().seasonState().setWeekHasStats(6, 1) == qff::kOk);
    chooseWeek(4);
    QCOMPARE(season().seasonState().peek(qff::kCurrentWeek), 4);
    activate({RosterSeason::kRb});
    for (int week = 0; week < qff::kWeekSlots; ++week) {
        bool copied = week >= 4 && week != 6;
        QCOMPARE(season_->active(season_->hawks(), week), copied ? Ids{RosterSeason::kRb} : Ids{});
    }
    chooseWeek(3);
    QCOMPARE(activeList().topLevelItemCount(), 0);
}

void ActivateTest::withoutAFranchiseBothListsAreEmptyAndBothButtonsDisabled() {
    tree().setCurrentItem(nodeNamed(tree(), "North"));
    QCOMPARE(season().seasonState().peek(qff::kCurrentLeague), season_->north());
    QCOMPARE(activeList().topLevelItemCount() + benchList().topLevelItemCount(), 0);
    QVERIFY(!button("btnActivatePlayers").isEnabled());
    QVERIFY(!button("btnBenchPlayers").isEnabled());
    tree().setCurrentItem(nodeNamed(tree(), "Owls"));
    QCOMPARE(season().seasonState().peek(qff::kCurrentFranchise), season_->owls());
}

void ActivateTest::reloadShowsAChangeMadeElsewhere() {
    const int players[] = {RosterSeason::kRb};
    QVERIFY(qff::setActive(season(), season_->hawks(), 0, players, true).changed.size() == 1);
    QCOMPARE(activeList().topLevelItemCount(), 0);
    form_->reload();
    QCOMPARE(shownIds(activeList()), (Ids{RosterSeason::kRb}));
    QCOMPARE(shownIds(benchList()), (Ids{RosterSeason::kQb1, RosterSeason::kQb2}));
}

void ActivateTest::aNarrowFormShowsNamesAndTeamsOnly() {
    form_->resize(500, 600);
    for (int column : {2, 3, 4}) {
        QVERIFY(benchList().isColumnHidden(column));
    }
    QVERIFY(!benchList().isColumnHidden(1));
    form_->resize(900, 600);
    QVERIFY(!benchList().isColumnHidden(2));
}

QTEST_MAIN(ActivateTest)
#include "activate_test.moc"
