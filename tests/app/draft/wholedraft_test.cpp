// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Draftday.h"
#include "data02/league/Draftorder.h"
#include "data02/league/Rosters.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Player.h"
#include "data02/season/Prefs.h"
#include "data02/season/State.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <functional>
#include <memory>
#include <random>

#include "app/draft/DraftBoard.h"
#include "app/draft/DraftOrder.h"
#include "app/draft/DraftWizard.h"
#include "app/draft/GenerateDraftOrderOptions.h"
#include "app/draft/PickClock.h"
#include "app/league/TradePlayers.h"
#include "app/widgets/ListHelp.h"
#include "tests/app/draft/DraftSeason.h"
#include "tests/app/draft/RecordingSounds.h"

using qff::apptest::child;
using qff::apptest::click;
using qff::apptest::DraftSeason;
using qff::apptest::RecordingPrompter;
using qff::apptest::RecordingSoundPlayer;

namespace {

constexpr int kFranchises = 12;
constexpr int kRounds = 16;
constexpr std::uint32_t kOrderSeed = 11;
// The picks, counted from 0, that are taken back, that time out, and the
// round after which two franchises trade.
constexpr int kUndonePick = 6;
constexpr int kTimedOutPick = 29;
constexpr int kTradeAfterRound = 3;

qff::DraftRandom seeded(std::uint32_t seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine] { return static_cast<std::uint32_t>((*engine)()); };
}

int selectedFranchise(QWidget& wizard) {
    const QTreeWidgetItem* item = child<QTreeWidget>(wizard, "listFranchises").currentItem();
    return item == nullptr ? 0 : item->data(0, Qt::UserRole).toInt();
}

std::filesystem::path writeSound(const std::filesystem::path& folder, const char* name) {
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name) << "RIFF";
    return folder / name;
}

}  // namespace

class WholeDraftTest : public QObject {
    Q_OBJECT

  private slots:
    void aWholeDraftThroughTheAssistantGivesTheRostersOfTheSameDraftByCommands();

  private:
    using Step = std::function<void(qff::Singleton&, int league)>;

    void setOptions(TformDraftWizard& wizard);
    void makePick(TformDraftWizard& wizard, int made);
    void timeOut(TformDraftWizard& wizard);
    void undo(TformDraftWizard& wizard);
    void trade(TformDraftWizard& wizard);
    void replay();

    std::unique_ptr<DraftSeason> assistant_;
    std::unique_ptr<DraftSeason> commands_;
    RecordingPrompter prompter_;
    RecordingSoundPlayer sounds_;
    std::filesystem::path timeUpSound_;
    // The same draft as data-layer calls, in the order the commands make it.
    std::vector<Step> steps_;
};

void WholeDraftTest::setOptions(TformDraftWizard& wizard) {
    std::filesystem::path warning = writeSound(assistant_->path() / "Sounds", "Chime.wav");
    timeUpSound_ = writeSound(assistant_->path() / "Sounds", "Boom.au");
    child<QLineEdit>(wizard, "editPlayers").setText(QString::number(kRounds));
    child<QCheckBox>(wizard, "checkTimer").setChecked(true);
    child<QLineEdit>(wizard, "editMinutes").setText("1");
    child<QCheckBox>(wizard, "checkOneMinuteSound").setChecked(true);
    child<QLineEdit>(wizard, "editOneMinuteSound")
        .setText(QString::fromStdString(warning.string()));
    child<QCheckBox>(wizard, "checkTimeUpSound").setChecked(true);
    child<QLineEdit>(wizard, "editTimeUpSound")
        .setText(QString::fromStdString(timeUpSound_.string()));
}

// The franchise on the clock picks a player a few rows down the list.
void WholeDraftTest::makePick(TformDraftWizard& wizard, int made) {
    const qff::League* league =
        assistant_->season().leagueQuery().findOne(qff::kLeagueId, assistant_->league());
    qff::DraftSlot clock = qff::draftStatus(assistant_->season(), *league).onTheClock;
    QCOMPARE(wizard.round(), clock.round);
    QCOMPARE(selectedFranchise(wizard), clock.franchise);
    click(wizard, "btnSelectPlayer");
    QCOMPARE(child<QLabel>(wizard, "labelClock").text(), QString("01:00"));
    QVERIFY(!child<QWidget>(wizard, "panelTimer").isHidden());
    if (made == kTimedOutPick) {
        timeOut(wizard);
    } else {
        wizard.pickClock().tick();
    }
    auto& players = child<QTreeWidget>(wizard, "listPlayers");
    QTreeWidgetItem* row = players.topLevelItem(made % 7);
    players.setCurrentItem(row);
    int player = playerIdOf(row);
    click(wizard, "btnAssignPlayer");
    QVERIFY(child<QWidget>(wizard, "panelTimer").isHidden());
    steps_.push_back([clock, player](qff::Singleton& season, int leagueId) {
        QVERIFY(qff::recordPick(season, leagueId, clock.franchise, clock.round, player).ok());
    });
}

void WholeDraftTest::timeOut(TformDraftWizard& wizard) {
    QSignalSpy timeUp(&wizard.pickClock(), &PickClock::timeUp);
    for (int second = 0; second <= 60 && timeUp.isEmpty(); ++second) {
        wizard.pickClock().tick();
    }
    QCOMPARE(timeUp.count(), 1);
    QCOMPARE(child<QLabel>(wizard, "labelClock").text(), QString("00:00"));
    QVERIFY(!sounds_.played.isEmpty());
    QCOMPARE(QFileInfo(sounds_.played.last()).fileName(), QString("Boom.au"));
}

void WholeDraftTest::undo(TformDraftWizard& wizard) {
    int franchise = qff::lastDraftedPick(assistant_->season(), assistant_->league())
                        ->getValue(qff::kDraftFranchise);
    int asked = prompter_.asked.size();
    click(wizard, "btnUndoLastPick");
    QCOMPARE(prompter_.asked.size(), asked + 1);
    QVERIFY(prompter_.asked.last().startsWith("Take back the last pick, "));
    QCOMPARE(selectedFranchise(wizard), franchise);
    steps_.push_back([](qff::Singleton& season, int leagueId) {
        QVERIFY(qff::undoLastPick(season, leagueId).ok());
    });
}

// The first two franchises swap the first players their trade lists show.
void WholeDraftTest::trade(TformDraftWizard& wizard) {
    int one = assistant_->franchises()[0];
    int two = assistant_->franchises()[1];
    qff::TradeSide sides[2];
    qff::apptest::whenModal<TformTradePlayers>([&](TformTradePlayers& dialog) {
        qff::apptest::chooseData(child<QComboBox>(dialog, "comboOne"), one);
        qff::apptest::chooseData(child<QComboBox>(dialog, "comboTwo"), two);
        sides[0] = {one, selectedPlayerIds(child<QTreeWidget>(dialog, "listOne")).front()};
        sides[1] = {two, selectedPlayerIds(child<QTreeWidget>(dialog, "listTwo")).front()};
        click(dialog, "btnTrade");
        click(dialog, "btnCancel");
    });
    click(wizard, "btnTradePlayers");
    QVERIFY(qff::findPickOfPlayer(assistant_->season(), assistant_->league(), one,
                                  sides[1].player) != nullptr);
    steps_.push_back([sides](qff::Singleton& season, int leagueId) {
        QCOMPARE(qff::tradeDraftedPlayers(season, leagueId, sides[0], sides[1]).status, qff::kOk);
    });
}

void WholeDraftTest::replay() {
    qff::Singleton& season = commands_->season();
    int league = commands_->league();
    QVERIFY(qff::saveDraftSettings(season, league, {kRounds, {}}).ok());
    QVERIFY(qff::generateDraftOrder(season, league, qff::SerpentineKind::True, seeded(kOrderSeed))
                .picks > 0);
    for (const Step& step : steps_) {
        step(season, league);
    }
    qff::DraftClosePlan plan = qff::planDraftClose(season, league);
    QVERIFY(!plan.replacesPlayers());
    QCOMPARE(qff::closeDraft(season, plan), qff::kOk);
}

void WholeDraftTest::aWholeDraftThroughTheAssistantGivesTheRostersOfTheSameDraftByCommands() {
    assistant_ = std::make_unique<DraftSeason>(kFranchises);
    commands_ = std::make_unique<DraftSeason>(kFranchises);
    QVERIFY(assistant_->ok() && commands_->ok());
    assistant_->season().seasonState().set(qff::kCurrentLeague, assistant_->league());
    prompter_.answer = true;
    TformDraftWizard wizard(assistant_->season(), prompter_, sounds_);
    wizard.pickClock().setAutoTick(false);
    wizard.setDraftRandom(seeded(kOrderSeed));
    setOptions(wizard);
    click(wizard, "btnNext");
    bool orderShown = false;
    qff::apptest::whenModal<TformGenerateDraftOrderOptions>(
        [](TformGenerateDraftOrderOptions& options) { click(options, "btnOK"); });
    qff::apptest::whenModal<TformDraftOrder>([&orderShown](TformDraftOrder& order) {
        orderShown = true;
        click(order, "btnFinished");
    });
    click(wizard, "btnNext");
    QVERIFY(orderShown);
    QCOMPARE(prompter_.asked.mid(0, 2),
             (QStringList{"Would you like to generate a Draft Order for this league?",
                          "Would you like to view this leagues draft order?"}));
    click(wizard, "btnDraftBoard");
    QVERIFY(wizard.draftBoard() != nullptr);
    QVERIFY(wizard.draftBoard()->isVisible());
    QCOMPARE(wizard.draftBoard()->league(), assistant_->league());

    auto& pages = child<QStackedWidget>(wizard, "pages");
    for (int made = 0; pages.currentIndex() == TformDraftWizard::kFranchisePage; ++made) {
        if (selectedFranchise(wizard) == 0) {
            if (wizard.round() == kTradeAfterRound) {
                trade(wizard);
            }
            click(wizard, "btnNextRound");
            continue;
        }
        makePick(wizard, made);
        if (made == kUndonePick) {
            undo(wizard);
        }
    }
    QCOMPARE(pages.currentIndex(), int(TformDraftWizard::kFinishedPage));
    click(wizard, "btnClose");
    QVERIFY(!sounds_.playing());

    replay();
    for (int franchise : assistant_->franchises()) {
        std::vector<int> roster = assistant_->weekOneRoster(franchise);
        QCOMPARE(roster.size(), std::size_t(kRounds));
        QCOMPARE(roster, commands_->weekOneRoster(franchise));
    }
}

QTEST_MAIN(WholeDraftTest)
#include "wholedraft_test.moc"
