// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Rosters.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Prefs.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/league/SwapPlayers.h"
#include "app/league/TradePlayers.h"
#include "app/shell/HostedForms.h"
#include "app/widgets/ListHelp.h"
#include "tests/app/support/AppFixture.h"

using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;

namespace {

// Beside the empty Default League, two leagues of three franchises, each roster drafted with two
// QBs, the default maximum.
qff::DemoOptions smallSeason() {
    qff::DemoOptions options = qff::apptest::smallDemo();
    options.weeksMerged = 1;
    options.leagues = 2;
    options.franchisesPerDivision = 3;
    options.rosterSize = qff::DemoOptions{}.rosterSize;
    return options;
}

std::vector<char> fileBytes(const qff::DBFile& file) {
    std::ifstream in(file.path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QList<int> comboIds(const QComboBox& combo) {
    QList<int> ids;
    for (int i = 0; i < combo.count(); ++i) {
        ids << combo.itemData(i).toInt();
    }
    return ids;
}

}  // namespace

class TradeTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void swapFillsItsChoicesAndALeagueOffersItsFranchises();
    void swapTradesTheSelectedPlayersFromTheWeekOn();
    void refusedSwapShowsWhyAndStoresNothing_data();
    void refusedSwapShowsWhyAndStoresNothing();
    void theTradeActivityHostsTheSwapForm();
    void tradeCombosNeverOfferTheOtherSidesFranchise();
    void tradeSwapsTheDraftedPlayersAndKeepsThePicks();
    void tradeOfAPickGoneMeanwhileShowsWhyAndStoresNothing();

  private:
    qff::Singleton& season() { return folder_->context(); }
    qff::TeamList league(int number);
    int playerAt(const QTreeWidget& list, int position);
    void selectPlayer(QTreeWidget& list, int player);
    bool holds(int franchise, int week, int player);

    std::unique_ptr<SeasonFolder> folder_;
    RecordingPrompter prompter_;
    std::vector<int> leagues_;
};

void TradeTest::init() {
    folder_ = std::make_unique<SeasonFolder>(smallSeason());
    QVERIFY(folder_->opened());
    prompter_ = RecordingPrompter();
    leagues_.clear();
    for (const qff::League* league : season().leagueQuery().allLeagues()) {
        int id = league->getValue(qff::kLeagueId);
        if (!season().teamQuery().leagueFranchises(id).empty()) {
            leagues_.push_back(id);
        }
    }
    QCOMPARE(leagues_.size(), 2u);
    season().seasonState().set(qff::kCurrentLeague, leagues_[0]);
}

void TradeTest::cleanup() {
    folder_.reset();
}

qff::TeamList TradeTest::league(int number) {
    return season().teamQuery().leagueFranchises(leagues_[number]);
}

// The first player of a position in the list; 0 when none.
int TradeTest::playerAt(const QTreeWidget& list, int position) {
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        int id = playerIdOf(list.topLevelItem(row));
        const qff::Player* player = season().mapFactory().players().findFirst(qff::kPlayerId, id);
        if (player != nullptr &&
            player->getValue(qff::kPlayerPosition, qff::kAllWeeks) == position) {
            return id;
        }
    }
    return 0;
}

void TradeTest::selectPlayer(QTreeWidget& list, int player) {
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (playerIdOf(list.topLevelItem(row)) == player) {
            list.setCurrentItem(list.topLevelItem(row));
        }
    }
}

bool TradeTest::holds(int franchise, int week, int player) {
    return qff::findFranchise(season(), franchise)->isOnRoster(week, player);
}

void TradeTest::swapFillsItsChoicesAndALeagueOffersItsFranchises() {
    season().seasonState().set(qff::kCurrentWeek, 3);
    TformSwapPlayers form(season(), prompter_);
    auto* leagueCombo = form.findChild<QComboBox*>("comboLeague");
    auto* team1 = form.findChild<QComboBox*>("comboTeam1");
    auto* team2 = form.findChild<QComboBox*>("comboTeam2");
    QCOMPARE(form.findChild<QComboBox*>("comboWeek")->currentText(), QString("4"));
    QCOMPARE(leagueCombo->currentData().toInt(), leagues_[0]);
    QCOMPARE(team1->count(), 6);
    QCOMPARE(team1->currentData().toInt(), league(0)[0]->id());
    QCOMPARE(team2->currentData().toInt(), league(0)[1]->id());
    QVERIFY(form.findChild<QTreeWidget*>("listTeam1")->topLevelItemCount() > 0);
    QVERIFY(!form.findChild<QPushButton*>("btnTradePlayers")->isEnabled());

    qff::apptest::chooseData(*leagueCombo, leagues_[1]);
    QCOMPARE(season().seasonState().peek(qff::kCurrentLeague), leagues_[1]);
    QCOMPARE(team1->currentData().toInt(), league(1)[0]->id());
    QCOMPARE(team2->currentData().toInt(), league(1)[1]->id());
}

void TradeTest::swapTradesTheSelectedPlayersFromTheWeekOn() {
    TformSwapPlayers form(season(), prompter_);
    QSignalSpy changed(&form, &SeasonForm::seasonChanged);
    int a = league(0)[0]->id();
    int b = league(0)[2]->id();
    qff::apptest::chooseData(*form.findChild<QComboBox*>("comboWeek"), 4);
    QCOMPARE(season().seasonState().peek(qff::kCurrentWeek), 4);
    qff::apptest::chooseData(*form.findChild<QComboBox*>("comboTeam1"), a);
    qff::apptest::chooseData(*form.findChild<QComboBox*>("comboTeam2"), b);
    auto* list1 = form.findChild<QTreeWidget*>("listTeam1");
    auto* list2 = form.findChild<QTreeWidget*>("listTeam2");
    int given = playerAt(*list1, qff::kRB);
    int received = playerAt(*list2, qff::kRB);
    QVERIFY(given != 0 && received != 0);
    selectPlayer(*list1, given);
    selectPlayer(*list2, received);
    QTest::mouseClick(form.findChild<QPushButton*>("btnTradePlayers"), Qt::LeftButton);

    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY2(prompter_.told[0].startsWith("[ "), qPrintable(prompter_.told[0]));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(season().mapFactory().reloadFranchises(smallSeason().year), qff::kOk);
    for (int week : {4, 10}) {
        QVERIFY(holds(a, week, received) && !holds(a, week, given));
        QVERIFY(holds(b, week, given) && !holds(b, week, received));
    }
    QVERIFY(holds(a, 3, given) && holds(b, 3, received));
    QCOMPARE(selectedPlayerIds(*list1), QList<int>{received});
}

void TradeTest::refusedSwapShowsWhyAndStoresNothing_data() {
    QTest::addColumn<int>("partnerLeague");
    QTest::addColumn<int>("received");
    QTest::addColumn<QString>("says");
    QTest::newRow("a third QB") << 0 << int(qff::kQB)
                                << "its roster already holds the maximum of 2";
    QTest::newRow("another league") << 1 << int(qff::kRB) << "play in different leagues.";
}

void TradeTest::refusedSwapShowsWhyAndStoresNothing() {
    QFETCH(int, partnerLeague);
    QFETCH(int, received);
    QFETCH(QString, says);
    TformSwapPlayers form(season(), prompter_);
    QSignalSpy changed(&form, &SeasonForm::seasonChanged);
    qff::apptest::chooseData(*form.findChild<QComboBox*>("comboTeam1"), league(0)[0]->id());
    qff::apptest::chooseData(*form.findChild<QComboBox*>("comboTeam2"),
                             league(partnerLeague)[1]->id());
    auto* list1 = form.findChild<QTreeWidget*>("listTeam1");
    auto* list2 = form.findChild<QTreeWidget*>("listTeam2");
    selectPlayer(*list1, playerAt(*list1, qff::kRB));
    selectPlayer(*list2, playerAt(*list2, received));
    std::vector<char> before = fileBytes(season().teamFile().db());
    QTest::mouseClick(form.findChild<QPushButton*>("btnTradePlayers"), Qt::LeftButton);

    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY2(prompter_.told[0].contains(says), qPrintable(prompter_.told[0]));
    QCOMPARE(changed.count(), 0);
    QVERIFY(fileBytes(season().teamFile().db()) == before);
}

void TradeTest::theTradeActivityHostsTheSwapForm() {
    std::unique_ptr<QWidget> form(
        createHostedForm("TformSwapPlayers", "Trade Players", season(), prompter_, nullptr));
    QVERIFY(qobject_cast<TformSwapPlayers*>(form.get()) != nullptr);
}

void TradeTest::tradeCombosNeverOfferTheOtherSidesFranchise() {
    TformTradePlayers dialog(season(), prompter_);
    auto* one = dialog.findChild<QComboBox*>("comboOne");
    auto* two = dialog.findChild<QComboBox*>("comboTwo");
    QList<int> ids = {league(0)[0]->id(), league(0)[1]->id(), league(0)[2]->id()};
    QCOMPARE(one->currentData().toInt(), ids[0]);
    QCOMPARE(two->currentData().toInt(), ids[1]);
    for (int pick : {ids[2], ids[0]}) {
        qff::apptest::chooseData(*two, pick);
        QCOMPARE(two->currentData().toInt(), pick);
        QVERIFY(!comboIds(*one).contains(pick));
        QVERIFY(!comboIds(*two).contains(one->currentData().toInt()));
        QCOMPARE(comboIds(*one).size() + 1, ids.size());
    }
    QCOMPARE(one->currentData().toInt(), ids[1]);
}

void TradeTest::tradeSwapsTheDraftedPlayersAndKeepsThePicks() {
    TformTradePlayers dialog(season(), prompter_);
    int a = dialog.findChild<QComboBox*>("comboOne")->currentData().toInt();
    int b = dialog.findChild<QComboBox*>("comboTwo")->currentData().toInt();
    auto* listOne = dialog.findChild<QTreeWidget*>("listOne");
    auto* listTwo = dialog.findChild<QTreeWidget*>("listTwo");
    int given = playerAt(*listOne, qff::kWR);
    int received = playerAt(*listTwo, qff::kTE);
    selectPlayer(*listOne, given);
    selectPlayer(*listTwo, received);
    int roundOfA =
        qff::findPickOfPlayer(season(), leagues_[0], a, given)->getValue(qff::kDraftRound);
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnTrade"), Qt::LeftButton);

    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY2(prompter_.told[0].contains(" ] was traded to ") && prompter_.told[0].contains("\n\n"),
             qPrintable(prompter_.told[0]));
    QCOMPARE(season().draftQuery().reload(smallSeason().year), qff::kOk);
    const qff::TrackDraft* pickOfA = qff::findPickOfPlayer(season(), leagues_[0], a, received);
    QVERIFY(pickOfA != nullptr);
    QCOMPARE(pickOfA->getValue(qff::kDraftRound), roundOfA);
    QVERIFY(qff::findPickOfPlayer(season(), leagues_[0], b, given) != nullptr);
    QVERIFY(qff::findPickOfPlayer(season(), leagues_[0], a, given) == nullptr);
    QCOMPARE(selectedPlayerIds(*listOne), QList<int>{received});
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TradeTest::tradeOfAPickGoneMeanwhileShowsWhyAndStoresNothing() {
    TformTradePlayers dialog(season(), prompter_);
    int b = dialog.findChild<QComboBox*>("comboTwo")->currentData().toInt();
    int received = selectedPlayerIds(*dialog.findChild<QTreeWidget*>("listTwo")).front();
    qff::TrackDraft* gone = qff::findPickOfPlayer(season(), leagues_[0], b, received);
    QCOMPARE(season().draftQuery().remove(*gone), qff::kOk);
    std::vector<char> before = fileBytes(season().draftFile().db());
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnTrade"), Qt::LeftButton);

    QCOMPARE(prompter_.told, QStringList{"CRITICAL - Draft item not found"});
    QVERIFY(fileBytes(season().draftFile().db()) == before);
    QVERIFY(!comboIds(*dialog.findChild<QComboBox*>("comboOne")).isEmpty());
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TradeTest)
#include "trade_test.moc"
