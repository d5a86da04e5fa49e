// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Draftday.h"
#include "data02/league/Draftorder.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/season/Prefs.h"
#include "data02/season/State.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <memory>

#include "app/draft/DraftDay.h"
#include "app/draft/DraftWizard.h"
#include "app/draft/PickClock.h"
#include "app/draft/SelectDraftPlayer.h"
#include "app/shell/HostedForms.h"
#include "app/widgets/ListHelp.h"
#include "tests/app/draft/DraftSeason.h"
#include "tests/app/draft/RecordingSounds.h"

using qff::apptest::child;
using qff::apptest::click;
using qff::apptest::DraftSeason;
using qff::apptest::RecordingPrompter;

namespace {

constexpr int kFranchises = 4;

int page(QWidget& wizard) {
    return child<QStackedWidget>(wizard, "pages").currentIndex();
}

int selectedFranchise(QWidget& wizard) {
    const QTreeWidgetItem* item = child<QTreeWidget>(wizard, "listFranchises").currentItem();
    return item == nullptr ? 0 : item->data(0, Qt::UserRole).toInt();
}

void selectFranchise(QWidget& wizard, int franchise) {
    auto& list = child<QTreeWidget>(wizard, "listFranchises");
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (list.topLevelItem(row)->data(0, Qt::UserRole).toInt() == franchise) {
            list.setCurrentItem(list.topLevelItem(row));
        }
    }
}

QString selectedPlayerName(QWidget& wizard) {
    const QTreeWidgetItem* item = child<QTreeWidget>(wizard, "listPlayers").currentItem();
    return item == nullptr ? QString() : item->text(0);
}

}  // namespace

class DraftWizardTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void nextStoresTheOptionsWithTheRoundsHeldToTheirRange_data();
    void nextStoresTheOptionsWithTheRoundsHeldToTheirRange();
    void aLeagueWithoutFranchisesKeepsTheOptionsPage();
    void theTasksExplainThemselvesAndOneOffersTheRosterOptions();
    void quickSearchFollowsItsCaseRules_data();
    void quickSearchFollowsItsCaseRules();
    void theFiltersRebuildTheListWhenItIsShownAgain();
    void aRefusedPickSaysWhyAndTheFranchiseKeepsChoosing();
    void deletingOneOfSeveralPicksAsksWhichPlayer();
    void undoTakesTheLastPickBackAfterNamingThePlayer();
    void deletingTheOnlyPickOfAFranchiseAsksAndDropsItFromTheRound();
    void theRoundsTabDeletesTheCheckedPicks();
    void afterTheLastRoundTheSummaryCountsTheDraft();
    void aWizardGoneWithoutClosingResumesWhereTheDraftStands();
    void closingMakesThePicksTheWeekOneRosters();
    void playTheSoundPlaysStopsOrSaysTheFileIsMissing();
    void theClockCountsAPickAndItsButtonsPauseRestartAndStopIt();
    void theDraftDayActivityOpensTheAssistantAndSaysTheSeasonChanged();

  private:
    qff::Singleton& season() { return draft_->season(); }
    std::unique_ptr<TformDraftWizard> openWizard();
    // From the options to the franchise page of the draft.
    void enterDraft(TformDraftWizard& wizard);
    // Without a franchise selected, Select Player selects the first one.
    void openPlayerPage(TformDraftWizard& wizard);
    // The franchise selected, or the one given, picks the first player listed.
    void pick(TformDraftWizard& wizard, int franchise = 0);
    void setRounds(int rounds);

    std::unique_ptr<DraftSeason> draft_;
    RecordingPrompter prompter_;
};

void DraftWizardTest::init() {
    draft_ = std::make_unique<DraftSeason>(kFranchises);
    QVERIFY(draft_->ok());
    prompter_ = RecordingPrompter();
    season().seasonState().set(qff::kCurrentLeague, draft_->league());
    season().preferences().set(qff::kPrefDraftTimer, 0);
}

void DraftWizardTest::cleanup() {
    draft_.reset();
}

std::unique_ptr<TformDraftWizard> DraftWizardTest::openWizard() {
    return std::make_unique<TformDraftWizard>(season(), prompter_);
}

void DraftWizardTest::setRounds(int rounds) {
    QVERIFY(qff::saveDraftSettings(season(), draft_->league(), {rounds, {}}).ok());
}

void DraftWizardTest::enterDraft(TformDraftWizard& wizard) {
    click(wizard, "btnNext");
    QCOMPARE(page(wizard), int(TformDraftWizard::kInstructionsPage));
    click(wizard, "btnNext");
    QCOMPARE(page(wizard), int(TformDraftWizard::kFranchisePage));
}

void DraftWizardTest::openPlayerPage(TformDraftWizard& wizard) {
    QCOMPARE(selectedFranchise(wizard), 0);
    QCOMPARE(child<QLabel>(wizard, "labelNowDrafting").text(), QString("< Please Select >"));
    click(wizard, "btnSelectPlayer");
    QCOMPARE(page(wizard), int(TformDraftWizard::kFranchisePage));
    QCOMPARE(selectedFranchise(wizard), draft_->franchises()[0]);
    click(wizard, "btnSelectPlayer");
    QCOMPARE(page(wizard), int(TformDraftWizard::kPlayerPage));
    QCOMPARE(child<QLabel>(wizard, "labelNowDrafting").text(), QString("Franchise 01"));
}

void DraftWizardTest::pick(TformDraftWizard& wizard, int franchise) {
    if (franchise != 0) {
        selectFranchise(wizard, franchise);
    }
    QVERIFY(selectedFranchise(wizard) != 0);
    click(wizard, "btnSelectPlayer");
    QCOMPARE(page(wizard), int(TformDraftWizard::kPlayerPage));
    auto& players = child<QTreeWidget>(wizard, "listPlayers");
    players.setCurrentItem(players.topLevelItem(0));
    click(wizard, "btnAssignPlayer");
}

void DraftWizardTest::nextStoresTheOptionsWithTheRoundsHeldToTheirRange_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("rounds");
    QTest::newRow("empty") << "" << 1;
    QTest::newRow("zero") << "0" << 1;
    QTest::newRow("forty") << "40" << 32;
    QTest::newRow("twelve") << "12" << 12;
}

void DraftWizardTest::nextStoresTheOptionsWithTheRoundsHeldToTheirRange() {
    QFETCH(QString, typed);
    QFETCH(int, rounds);
    auto wizard = openWizard();
    QCOMPARE(child<QLineEdit>(*wizard, "editPlayers").text(), QString("16"));
    child<QLineEdit>(*wizard, "editPlayers").setText(typed);
    child<QCheckBox>(*wizard, "checkTimer").setChecked(true);
    child<QLineEdit>(*wizard, "editMinutes").setText("3");
    child<QCheckBox>(*wizard, "checkOneMinuteSound").setChecked(false);
    child<QLineEdit>(*wizard, "editTimeUpSound").setText("Sounds\\Gong.wav");
    child<QCheckBox>(*wizard, "checkTimeUpSound").setChecked(true);
    click(*wizard, "btnNext");

    QCOMPARE(page(*wizard), int(TformDraftWizard::kInstructionsPage));
    QCOMPARE(child<QLineEdit>(*wizard, "editPlayers").text(), QString::number(rounds));
    const qff::League* league = season().leagueQuery().findOne(qff::kLeagueId, draft_->league());
    QCOMPARE(league->getValue(qff::kLeagueDraftRounds), rounds);
    qff::Preferences& prefs = season().preferences();
    QCOMPARE(prefs.get(qff::kPrefDraftTimer), 1);
    QCOMPARE(prefs.get(qff::kPrefDraftTimerMinutes), 3);
    QCOMPARE(QString(prefs.getText(qff::kPrefWarningSound)), QString());
    QCOMPARE(QString(prefs.getText(qff::kPrefTimeUpSound)), QString("Sounds\\Gong.wav"));
    QVERIFY(prompter_.told.isEmpty());
}

void DraftWizardTest::aLeagueWithoutFranchisesKeepsTheOptionsPage() {
    int empty = qff::createLeague(season(), "Empty").id;
    auto wizard = openWizard();
    qff::apptest::chooseData(child<QComboBox>(*wizard, "comboLeague"), empty);
    QCOMPARE(season().seasonState().peek(qff::kCurrentLeague), empty);
    click(*wizard, "btnNext");

    QCOMPARE(page(*wizard), int(TformDraftWizard::kOptionsPage));
    QCOMPARE(prompter_.told,
             QStringList{"The selected league does not have any Franchises.\n\nPlease select a "
                         "league with Franchises then press the Next button again."});
}

void DraftWizardTest::theTasksExplainThemselvesAndOneOffersTheRosterOptions() {
    auto wizard = openWizard();
    click(*wizard, "btnNext");
    auto& tasks = child<QListWidget>(*wizard, "listTasks");
    QCOMPARE(tasks.count(), 3);
    QCOMPARE(tasks.currentRow(), 0);
    QCOMPARE(child<QLabel>(*wizard, "labelTaskHeading").text(),
             QString("Franchises cannot be established during the draft."));
    QVERIFY(child<QPushButton>(*wizard, "btnRosterOptions").isHidden());
    tasks.setCurrentRow(2);
    QVERIFY(!child<QPushButton>(*wizard, "btnRosterOptions").isHidden());
    QVERIFY(child<QLabel>(*wizard, "labelTaskText").text().startsWith("There are a number of"));
}

void DraftWizardTest::quickSearchFollowsItsCaseRules_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("boxShows");
    QTest::addColumn<QString>("selects");
    QTest::newRow("lower case") << "smi"
                                << "smi"
                                << "Smith";
    QTest::newRow("any mix of case") << "sMI"
                                     << "sMI"
                                     << "Smith";
    QTest::newRow("digits are refused") << "s1m2i"
                                        << "smi"
                                        << "Smith";
    QTest::newRow("comma and space search") << "smith, "
                                            << "smith, "
                                            << "Smith, ";
    QTest::newRow("no match keeps the selection") << "smiq"
                                                  << "smiq"
                                                  << "Smith";
}

void DraftWizardTest::quickSearchFollowsItsCaseRules() {
    QFETCH(QString, keys);
    QFETCH(QString, boxShows);
    QFETCH(QString, selects);
    std::string error;
    QVERIFY(qff::addDemoPlayers(
        season(), {{9001, "Smith, Al", 0, qff::kQB, 70}, {9002, "Smythe, Bo", 0, qff::kQB, 70}},
        error));
    auto wizard = openWizard();
    enterDraft(*wizard);
    openPlayerPage(*wizard);
    auto& box = child<QLineEdit>(*wizard, "editLastName");
    QTest::keyClicks(&box, keys);

    QCOMPARE(box.text(), boxShows);
    QVERIFY2(selectedPlayerName(*wizard).startsWith(selects, Qt::CaseInsensitive),
             qPrintable(selectedPlayerName(*wizard)));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QVERIFY(selectedPlayerName(*wizard).startsWith(selects, Qt::CaseInsensitive));
}

void DraftWizardTest::theFiltersRebuildTheListWhenItIsShownAgain() {
    auto wizard = openWizard();
    enterDraft(*wizard);
    openPlayerPage(*wizard);
    auto& players = child<QTreeWidget>(*wizard, "listPlayers");
    int all = players.topLevelItemCount();
    auto& tabs = child<QTabWidget>(*wizard, "tabsPlayer");
    tabs.setCurrentIndex(1);
    for (QCheckBox* box : wizard->findChildren<QCheckBox*>()) {
        if (box->objectName() != "checkTeamDEF" && box->parent()->objectName() == "panelFilters") {
            box->setChecked(false);
        }
    }
    QCOMPARE(players.topLevelItemCount(), all);
    tabs.setCurrentIndex(0);

    QVERIFY(players.topLevelItemCount() > 0 && players.topLevelItemCount() < all);
    for (int row = 0; row < players.topLevelItemCount(); ++row) {
        const qff::Player* player =
            season().playerQuery().findOne(qff::kPlayerId, playerIdOf(players.topLevelItem(row)));
        QCOMPARE(player->storedPosition(), qff::kUnitOffset + qff::kDEF);
    }
}

void DraftWizardTest::aRefusedPickSaysWhyAndTheFranchiseKeepsChoosing() {
    auto wizard = openWizard();
    enterDraft(*wizard);
    int first = draft_->franchises()[0];
    int second = draft_->franchises()[1];
    pick(*wizard, first);
    int taken = qff::draftedPlayers(season(), draft_->league(), first).front()->id();
    selectFranchise(*wizard, second);
    click(*wizard, "btnSelectPlayer");
    // Sharing players lets the list offer him; the draft still refuses him
    // when sharing is turned off meanwhile.
    season().preferences().set(qff::kPrefDraftSharedPlayers, 1);
    child<QTabWidget>(*wizard, "tabsPlayer").setCurrentIndex(1);
    child<QCheckBox>(*wizard, "checkQB").setChecked(false);
    child<QCheckBox>(*wizard, "checkQB").setChecked(true);
    child<QTabWidget>(*wizard, "tabsPlayer").setCurrentIndex(0);
    season().preferences().set(qff::kPrefDraftSharedPlayers, 0);
    auto& players = child<QTreeWidget>(*wizard, "listPlayers");
    for (int row = 0; row < players.topLevelItemCount(); ++row) {
        if (playerIdOf(players.topLevelItem(row)) == taken) {
            players.setCurrentItem(players.topLevelItem(row));
        }
    }
    QCOMPARE(selectedPlayerIds(players), QList<int>{taken});
    click(*wizard, "btnAssignPlayer");

    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY2(prompter_.told[0].contains("has already been drafted by Franchise 01"),
             qPrintable(prompter_.told[0]));
    QCOMPARE(page(*wizard), int(TformDraftWizard::kPlayerPage));
    QCOMPARE(wizard->pickingFranchise(), second);
}

void DraftWizardTest::deletingOneOfSeveralPicksAsksWhichPlayer() {
    QVERIFY(qff::saveDraftSettings(season(), draft_->league(), {{}, false}).ok());
    auto wizard = openWizard();
    enterDraft(*wizard);
    int franchise = draft_->franchises()[2];
    pick(*wizard, franchise);
    pick(*wizard, franchise);
    qff::PlyrList drafted = qff::draftedPlayers(season(), draft_->league(), franchise);
    QCOMPARE(drafted.size(), 2u);
    int removed = drafted.back()->id();
    selectFranchise(*wizard, franchise);
    qff::apptest::whenModal<TformSelectDraftPlayer>([removed](TformSelectDraftPlayer& chooser) {
        QCOMPARE(chooser.windowTitle(), QString("Multiple Players Drafted"));
        auto& list = child<QTreeWidget>(chooser, "listPlayers");
        QCOMPARE(list.topLevelItemCount(), 2);
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            if (playerIdOf(list.topLevelItem(row)) == removed) {
                list.topLevelItem(row)->setCheckState(0, Qt::Checked);
            }
        }
        chooser.accept();
    });
    click(*wizard, "btnDeletePlayers");

    qff::PlyrList left = qff::draftedPlayers(season(), draft_->league(), franchise);
    QCOMPARE(left.size(), 1u);
    QVERIFY(left.front()->id() != removed);
}

void DraftWizardTest::undoTakesTheLastPickBackAfterNamingThePlayer() {
    auto wizard = openWizard();
    enterDraft(*wizard);
    int franchise = draft_->franchises()[1];
    pick(*wizard, franchise);
    const qff::Player* player = qff::draftedPlayers(season(), draft_->league(), franchise).front();
    prompter_.answer = true;
    click(*wizard, "btnUndoLastPick");

    QCOMPARE(prompter_.asked.size(), 2);
    QVERIFY(prompter_.asked[1].contains(QString::fromStdString(player->name())));
    QVERIFY(qff::draftedPlayers(season(), draft_->league(), franchise).empty());
    QCOMPARE(selectedFranchise(*wizard), franchise);
}

void DraftWizardTest::deletingTheOnlyPickOfAFranchiseAsksAndDropsItFromTheRound() {
    auto wizard = openWizard();
    enterDraft(*wizard);
    int franchise = draft_->franchises()[3];
    pick(*wizard, franchise);
    const qff::Player* player = qff::draftedPlayers(season(), draft_->league(), franchise).front();
    selectFranchise(*wizard, franchise);
    QCOMPARE(child<QTreeWidget>(*wizard, "listFranchises").currentItem()->text(0), QString("1"));
    prompter_.answer = true;
    click(*wizard, "btnDeletePlayers");

    QCOMPARE(prompter_.asked.last(), QString("Delete the pick of %1 by Franchise 04 in round 1?")
                                         .arg(QString::fromStdString(player->name())));
    QVERIFY(qff::draftedPlayers(season(), draft_->league(), franchise).empty());
    selectFranchise(*wizard, franchise);
    QCOMPARE(child<QTreeWidget>(*wizard, "listFranchises").currentItem()->text(0), QString());
}

void DraftWizardTest::theRoundsTabDeletesTheCheckedPicks() {
    auto wizard = openWizard();
    enterDraft(*wizard);
    pick(*wizard, draft_->franchises()[0]);
    pick(*wizard, draft_->franchises()[1]);
    child<QTabWidget>(*wizard, "tabsFranchise").setCurrentIndex(1);
    auto& drafted = child<QTreeWidget>(*wizard, "listDraftedThisRound");
    QCOMPARE(drafted.topLevelItemCount(), 2);
    QCOMPARE(drafted.topLevelItem(1)->text(1), QString("Franchise 02"));
    drafted.topLevelItem(0)->setCheckState(0, Qt::Checked);
    prompter_.answer = true;
    click(*wizard, "btnDeletePlayers");

    QCOMPARE(prompter_.asked.last(), QString("Delete the 1 checked pick(s) of round 1?"));
    QVERIFY(qff::draftedPlayers(season(), draft_->league(), draft_->franchises()[0]).empty());
    QCOMPARE(qff::draftedPlayers(season(), draft_->league(), draft_->franchises()[1]).size(), 1u);
    QCOMPARE(drafted.topLevelItemCount(), 1);
    QCOMPARE(drafted.topLevelItem(0)->text(0), QString("1"));
}

void DraftWizardTest::afterTheLastRoundTheSummaryCountsTheDraft() {
    setRounds(1);
    auto wizard = openWizard();
    enterDraft(*wizard);
    QVERIFY(!child<QPushButton>(*wizard, "btnPrevRound").isEnabled());
    for (int franchise : draft_->franchises()) {
        pick(*wizard, franchise);
    }
    click(*wizard, "btnNextRound");

    QCOMPARE(page(*wizard), int(TformDraftWizard::kFinishedPage));
    QVERIFY(!child<QPushButton>(*wizard, "btnNext").isEnabled());
    auto& byFranchise = child<QTreeWidget>(*wizard, "listByFranchise");
    QCOMPARE(byFranchise.topLevelItemCount(), kFranchises);
    QCOMPARE(byFranchise.topLevelItem(0)->text(1), QString("1"));
    auto& byRound = child<QTreeWidget>(*wizard, "listByRound");
    QCOMPARE(byRound.topLevelItemCount(), 1);
    QCOMPARE(byRound.topLevelItem(0)->text(0), QString("Round 1"));
    QCOMPARE(byRound.topLevelItem(0)->text(1), QString::number(kFranchises));
    QVERIFY(child<QTreeWidget>(*wizard, "listByPosition").topLevelItemCount() > 0);
    click(*wizard, "btnBack");
    QCOMPARE(page(*wizard), int(TformDraftWizard::kFranchisePage));
    QCOMPARE(wizard->round(), 1);
}

void DraftWizardTest::aWizardGoneWithoutClosingResumesWhereTheDraftStands() {
    QVERIFY(qff::generateDraftOrder(season(), draft_->league(), qff::SerpentineKind::True, [] {
                return 3u;
            }).picks > 0);
    auto wizard = openWizard();
    enterDraft(*wizard);
    constexpr int kMade = kFranchises + 2;
    for (int made = 0; made < kMade; ++made) {
        const qff::League* league =
            season().leagueQuery().findOne(qff::kLeagueId, draft_->league());
        QCOMPARE(selectedFranchise(*wizard),
                 qff::draftStatus(season(), *league).onTheClock.franchise);
        pick(*wizard);
        if (made + 1 == kFranchises) {
            click(*wizard, "btnNextRound");
        }
    }
    wizard.reset();
    for (int franchise : draft_->franchises()) {
        QVERIFY(draft_->weekOneRoster(franchise).empty());
    }

    wizard = openWizard();
    enterDraft(*wizard);
    const qff::League* league = season().leagueQuery().findOne(qff::kLeagueId, draft_->league());
    qff::DraftSlot clock = qff::draftStatus(season(), *league).onTheClock;
    QCOMPARE(clock.round, 2);
    QCOMPARE(clock.pick, 3);
    QCOMPARE(wizard->round(), 2);
    QCOMPARE(child<QLabel>(*wizard, "labelRound").text(), QString("2"));
    QCOMPARE(selectedFranchise(*wizard), clock.franchise);
    QCOMPARE(child<QTreeWidget>(*wizard, "listFranchises").currentItem()->text(0), QString("3"));
    QCOMPARE(child<QLabel>(*wizard, "labelNowDrafting").text(),
             QString::fromStdString(qff::franchiseNameOf(season(), clock.franchise)));
}

void DraftWizardTest::closingMakesThePicksTheWeekOneRosters() {
    auto wizard = openWizard();
    enterDraft(*wizard);
    int franchise = draft_->franchises()[3];
    pick(*wizard, franchise);
    std::vector<int> drafted{
        qff::draftedPlayers(season(), draft_->league(), franchise).front()->id()};
    click(*wizard, "btnClose");

    QCOMPARE(draft_->weekOneRoster(franchise), drafted);
    // Without a draft order it was offered; closing asks nothing of empty rosters.
    QCOMPARE(prompter_.asked,
             QStringList{"Would you like to generate a Draft Order for this league?"});
}

void DraftWizardTest::theDraftDayActivityOpensTheAssistantAndSaysTheSeasonChanged() {
    std::filesystem::create_directories(draft_->path() / "Support");
    std::ofstream(draft_->path() / "Support" / "DraftDay.txt") << "Draft night text.\n";
    std::unique_ptr<QWidget> form(
        createHostedForm("TformDraftDay", "Draft Day Assistant", season(), prompter_, nullptr));
    auto* draftDay = qobject_cast<TformDraftDay*>(form.get());
    QVERIFY(draftDay != nullptr);
    QCOMPARE(child<QLabel>(*draftDay, "labelDescription").text(), QString("Draft night text."));
    QSignalSpy changed(draftDay, &SeasonForm::seasonChanged);
    bool opened = false;
    qff::apptest::whenModal<TformDraftWizard>([&opened](TformDraftWizard& wizard) {
        opened = wizard.windowTitle() == "Draft Day Assistant";
        wizard.reject();
    });
    click(*draftDay, "btnDraftDay");

    QVERIFY(opened);
    QCOMPARE(changed.count(), 1);
}

void DraftWizardTest::playTheSoundPlaysStopsOrSaysTheFileIsMissing() {
    qff::apptest::RecordingSoundPlayer sounds;
    TformDraftWizard wizard(season(), prompter_, sounds);
    auto& name = child<QLineEdit>(wizard, "editTimeUpSound");
    name.setText("Sounds\\Nowhere.wav");
    click(wizard, "btnPlayTimeUp");
    QCOMPARE(prompter_.told, QStringList{"Sound file does not exist."});

    std::filesystem::create_directories(draft_->path() / "Sounds");
    std::ofstream(draft_->path() / "Sounds" / "Gong.wav") << "RIFF";
    name.setText("sounds\\GONG.wav");
    click(wizard, "btnPlayTimeUp");
    QCOMPARE(sounds.played.size(), 1);
    QVERIFY(sounds.playing());
    click(wizard, "btnPlayTimeUp");
    QVERIFY(!sounds.playing());
    QCOMPARE(prompter_.told.size(), 1);
}

void DraftWizardTest::theClockCountsAPickAndItsButtonsPauseRestartAndStopIt() {
    season().preferences().set(qff::kPrefDraftTimer, 1);
    season().preferences().set(qff::kPrefDraftTimerMinutes, 2);
    qff::apptest::RecordingSoundPlayer sounds;
    TformDraftWizard wizard(season(), prompter_, sounds);
    wizard.pickClock().setAutoTick(false);
    auto& clock = child<QLabel>(wizard, "labelClock");
    auto& panel = child<QWidget>(wizard, "panelTimer");
    QCOMPARE(clock.text(), QString("00:00"));
    enterDraft(wizard);
    QVERIFY(panel.isHidden());
    selectFranchise(wizard, draft_->franchises()[0]);
    click(wizard, "btnSelectPlayer");
    QVERIFY(!panel.isHidden());
    QCOMPARE(clock.text(), QString("02:00"));
    wizard.pickClock().tick();
    wizard.pickClock().tick();
    QCOMPARE(clock.text(), QString("01:59"));
    click(wizard, "btnPauseTimer");
    wizard.pickClock().tick();
    QCOMPARE(clock.text(), QString("01:59"));
    click(wizard, "btnRestartTimer");
    wizard.pickClock().tick();
    QCOMPARE(clock.text(), QString("01:58"));
    click(wizard, "btnStopTimer");
    QCOMPARE(clock.text(), QString("02:00"));
    QVERIFY(!wizard.pickClock().running());
    click(wizard, "btnRestartTimer");
    QVERIFY(wizard.pickClock().running());
    click(wizard, "btnSelectNewOwner");
    QVERIFY(panel.isHidden());
    QVERIFY(!wizard.pickClock().running());
    QCOMPARE(selectedFranchise(wizard), 0);
    QVERIFY(qff::draftedPlayers(season(), draft_->league(), draft_->franchises()[0]).empty());
}

QTEST_MAIN(DraftWizardTest)
#include "draftwizard_test.moc"
