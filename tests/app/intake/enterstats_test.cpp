#include "tests/app/support/AppFixture.h"

#include "data02/intake/Statentry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/season/State.h"
#include "data02/season/Sticky.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Files.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "app/intake/EnterPlayerStats.h"

using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;

namespace {

constexpr int kYear = 2003;
constexpr int kAtlanta = 0;
constexpr int kBuffalo = 1;
constexpr int kWeek = 0;
constexpr int kWrUnit = 10012;

qff::DemoOptions smallSeason() {
    qff::DemoOptions options = qff::apptest::smallDemo();
    options.year = kYear;
    options.weeksMerged = 1;
    return options;
}

QStringList visibleTabs(const QTabWidget& tabs) {
    QStringList shown;
    for (int i = 0; i < tabs.count(); ++i) {
        if (tabs.isTabVisible(i)) {
            shown.append(tabs.tabText(i));
        }
    }
    return shown;
}

}  // namespace

class EnterStatsTest : public QObject {
    Q_OBJECT

  private slots:
    void init();

    void opensOnTheRememberedTeamAndPlayerInTheCurrentWeek();
    void theListHoldsPlayersAndTheTeamsOwnDefenseAndSpecialTeams();
    void pagesFollowThePosition_data();
    void pagesFollowThePosition();
    void aReceiversNewYardsAndTouchdownMoveHisUnit();
    void specialTeamsYardsAreStoredAndTheChoiceRemembered();
    void closingWithoutChangesLeavesEveryTotal();
    void aRefusedValueKeepsTheUserOnItsField();
    void aFailedWriteIsReportedAndTheFileValuesShown();

  private:
    qff::Singleton& season() { return folder_->context(); }
    qff::Player* player(int id) {
        return season().mapFactory().players().findFirst(qff::kPlayerId, id);
    }
    int value(int id, int code) { return player(id)->getValue(code, kWeek); }
    // The first player of the team at the stored position.
    int firstAt(int team, int position);
    void select(TformEnterPlayerStats& dialog, int id);
    void type(TformEnterPlayerStats& dialog, const char* field, const QString& text);
    std::vector<std::uint8_t> playerFile() {
        return qff::test::readBytes(folder_->path() /
                                    *qff::seasonFileName(qff::SeasonFile::Plyr, kYear));
    }

    std::unique_ptr<SeasonFolder> folder_;
    RecordingPrompter prompter_;
    int receiver_ = 0;
};

void EnterStatsTest::init() {
    folder_ = std::make_unique<SeasonFolder>(smallSeason());
    QVERIFY(folder_->opened());
    prompter_ = RecordingPrompter();
    QCOMPARE(season().seasonState().set(qff::kCurrentWeek, kWeek), qff::kOk);
    QCOMPARE(season().seasonState().set(qff::kCurrentNflTeam, kAtlanta), qff::kOk);
    receiver_ = firstAt(kAtlanta, qff::kWR);
    QVERIFY(receiver_ > 0);
}

int EnterStatsTest::firstAt(int team, int position) {
    for (const qff::Player* listed : qff::entryPlayers(season(), team)) {
        if (listed->storedPosition() == position) {
            return listed->id();
        }
    }
    return 0;
}

// Clicks the player's row as the user does.
void EnterStatsTest::select(TformEnterPlayerStats& dialog, int id) {
    auto* list = dialog.findChild<QTreeWidget*>("listPlayers");
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        if (item->data(0, Qt::UserRole).toInt() == id) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(item).center());
            return;
        }
    }
    QFAIL("no such row");
}

void EnterStatsTest::type(TformEnterPlayerStats& dialog, const char* field, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(field);
    QVERIFY(edit != nullptr);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void EnterStatsTest::opensOnTheRememberedTeamAndPlayerInTheCurrentWeek() {
    int visitor = firstAt(kBuffalo, qff::kRB);
    QVERIFY(qff::rememberEntryChoice(season(), {kBuffalo, visitor}).ok());
    QCOMPARE(season().seasonState().set(qff::kCurrentWeek, 2), qff::kOk);

    TformEnterPlayerStats dialog(season(), prompter_);
    QCOMPARE(dialog.windowTitle(), QString("Enter Player Statistics"));
    QCOMPARE(dialog.findChild<QComboBox*>("comboNFLTeam")->currentData().toInt(), kBuffalo);
    QCOMPARE(dialog.findChild<QComboBox*>("comboWeek")->currentText(), QString("3"));
    QCOMPARE(dialog.findChild<QComboBox*>("comboWeek")->count(), 17);
    auto* list = dialog.findChild<QTreeWidget*>("listPlayers");
    QCOMPARE(list->currentItem()->data(0, Qt::UserRole).toInt(), visitor);
    QCOMPARE(list->headerItem()->text(0), QString("Player Name"));
    QCOMPARE(list->headerItem()->text(1), QString("ID"));
    QVERIFY(prompter_.told.isEmpty());
}

void EnterStatsTest::theListHoldsPlayersAndTheTeamsOwnDefenseAndSpecialTeams() {
    TformEnterPlayerStats dialog(season(), prompter_);
    auto* list = dialog.findChild<QTreeWidget*>("listPlayers");
    QList<int> ids;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        ids.append(list->topLevelItem(row)->data(0, Qt::UserRole).toInt());
    }
    QVERIFY(ids.contains(receiver_));
    QVERIFY(ids.contains(10015));
    QVERIFY(ids.contains(10016));
    for (int unit = 10010; unit <= 10014; ++unit) {
        QVERIFY(!ids.contains(unit));
    }
    QCOMPARE(list->currentItem(), list->topLevelItem(0));
}

void EnterStatsTest::pagesFollowThePosition_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("pages");
    QTest::newRow("team defense") << 10015 << QStringList{"Defense", "Bonus Points"};
    QTest::newRow("team special teams") << 10016 << QStringList{"Special Teams", "Bonus Points"};
    QTest::newRow("receiver") << 0 << QStringList{"Offense", "Special Teams", "Bonus Points"};
}

void EnterStatsTest::pagesFollowThePosition() {
    QFETCH(int, id);
    QFETCH(QStringList, pages);
    TformEnterPlayerStats dialog(season(), prompter_);
    dialog.show();
    select(dialog, id == 0 ? receiver_ : id);
    auto* tabs = dialog.findChild<QTabWidget*>("tabsStats");
    QCOMPARE(visibleTabs(*tabs), pages);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), pages.front());
}

void EnterStatsTest::aReceiversNewYardsAndTouchdownMoveHisUnit() {
    int yards = value(receiver_, 38);
    int unitYards = value(kWrUnit, 38);
    int unitTds = value(kWrUnit, qff::kReceivedTdCount);
    int oldTd = value(receiver_, 39);
    TformEnterPlayerStats dialog(season(), prompter_);
    dialog.show();
    select(dialog, receiver_);
    QCOMPARE(dialog.findChild<QLineEdit*>("editReceiveYards")->text(), QString::number(yards));
    // Letters are refused as they are typed; a minus sign after the digits is ignored.
    type(dialog, "editReceiveYards", QString::number(yards + 30) + "x-");
    type(dialog, "editReceiveTd1", "4o0");
    QCOMPARE(dialog.findChild<QLineEdit*>("editReceiveTd1")->text(), QString("40"));
    qff::apptest::chooseIndex(*dialog.findChild<QComboBox*>("comboWeek"), 4);

    QVERIFY2(prompter_.told.isEmpty(), qPrintable(prompter_.told.join('\n')));
    QCOMPARE(value(receiver_, 38), yards + 30);
    QCOMPARE(value(receiver_, 39), 40);
    QCOMPARE(value(kWrUnit, 38), unitYards + 30);
    QCOMPARE(value(kWrUnit, qff::kReceivedTdCount), unitTds + (oldTd == 0 ? 1 : 0));
    QCOMPARE(season().seasonState().peek(qff::kCurrentWeek), 4);
    QCOMPARE(dialog.findChild<QLineEdit*>("editReceiveYards")->text(), QString("0"));
}

void EnterStatsTest::specialTeamsYardsAreStoredAndTheChoiceRemembered() {
    TformEnterPlayerStats dialog(season(), prompter_);
    dialog.show();
    select(dialog, 10016);
    type(dialog, "editSpecialYards", "123");
    type(dialog, "editBonus", "-3");
    dialog.findChild<QPushButton*>("btnClose")->click();

    QVERIFY(!dialog.isVisible());
    QCOMPARE(value(10016, 61), 123);
    QCOMPARE(value(10016, qff::kPlayerBonus), -3);
    qff::EntryChoice remembered = qff::rememberedEntryChoice(season());
    QCOMPARE(remembered.nflTeam, kAtlanta);
    QCOMPARE(remembered.playerId, 10016);
}

void EnterStatsTest::closingWithoutChangesLeavesEveryTotal() {
    auto before = playerFile();
    TformEnterPlayerStats dialog(season(), prompter_);
    dialog.show();
    select(dialog, receiver_);
    select(dialog, 10015);
    dialog.findChild<QPushButton*>("btnClose")->click();
    QVERIFY(!dialog.isVisible());
    QVERIFY(prompter_.told.isEmpty());
    QVERIFY(playerFile() == before);
}

void EnterStatsTest::aRefusedValueKeepsTheUserOnItsField() {
    int catches = value(receiver_, 37);
    TformEnterPlayerStats dialog(season(), prompter_);
    dialog.show();
    select(dialog, receiver_);
    auto* tabs = dialog.findChild<QTabWidget*>("tabsStats");
    tabs->setCurrentWidget(dialog.findChild<QWidget*>("pageBonus"));
    type(dialog, "editReceiveAtt", "200");
    select(dialog, 10015);

    QCOMPARE(prompter_.told, QStringList{"Catches must lie between 0 and 127."});
    auto* list = dialog.findChild<QTreeWidget*>("listPlayers");
    QCOMPARE(list->currentItem()->data(0, Qt::UserRole).toInt(), receiver_);
    QCOMPARE(tabs->currentWidget()->objectName(), QString("pageOffense"));
    QCOMPARE(dialog.focusWidget()->objectName(), QString("editReceiveAtt"));
    QCOMPARE(value(receiver_, 37), catches);

    dialog.findChild<QPushButton*>("btnClose")->click();
    QVERIFY(dialog.isVisible());
    type(dialog, "editReceiveAtt", "9");
    dialog.findChild<QPushButton*>("btnClose")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(value(receiver_, 37), 9);
}

void EnterStatsTest::aFailedWriteIsReportedAndTheFileValuesShown() {
    int yards = value(receiver_, 38);
    auto before = playerFile();
    TformEnterPlayerStats dialog(season(), prompter_);
    dialog.show();
    select(dialog, receiver_);
    type(dialog, "editReceiveYards", QString::number(yards + 5));
    {
        qff::test::FileSizeLimit limit(qff::DBFile::kHeaderSize);
        qff::apptest::chooseIndex(*dialog.findChild<QComboBox*>("comboWeek"), 3);
    }
    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY(prompter_.told.front().endsWith("Nothing was changed."));
    QVERIFY(playerFile() == before);
    QCOMPARE(dialog.findChild<QComboBox*>("comboWeek")->currentData().toInt(), kWeek);
    QCOMPARE(dialog.findChild<QLineEdit*>("editReceiveYards")->text(), QString::number(yards));
    QCOMPARE(value(receiver_, 38), yards);
}

QTEST_MAIN(EnterStatsTest)
#include "enterstats_test.moc"
