// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Player.h"
#include "data02/model/Plyrqry.h"
#include "data02/model/Pro.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "app/league/FindPlayer.h"
#include "app/widgets/ListHelp.h"
#include "tests/app/support/AppFixture.h"

using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;

namespace {

const QString kSelectFirst =
    "Please select a player then press OK. To cancel this operation press the Cancel button.";

qff::Player* playerOf(qff::Singleton& season, const QTreeWidgetItem* row) {
    return season.playerQuery().findOne(qff::PlayerQueryNode::kById, playerIdOf(row));
}

}  // namespace

class FindPlayerTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void byNflTeamListsNoUnits();
    void byPositionDefenseListsOnlyDefensivePlayers();
    void okWithoutSelectionAsksForOne();
    void okReturnsTheChosenPlayer();
    void withoutResultPlaceTheDialogOnlyCloses();
    void changingTheNflTeamIsRemembered();

  private:
    std::unique_ptr<SeasonFolder> folder_;
    RecordingPrompter prompter_;
};

void FindPlayerTest::initTestCase() {
    folder_ = std::make_unique<SeasonFolder>(qff::DemoOptions{});
    QVERIFY(folder_->opened());
}

void FindPlayerTest::cleanupTestCase() {
    folder_.reset();
}

void FindPlayerTest::byNflTeamListsNoUnits() {
    qff::Singleton& season = folder_->context();
    TformFindPlayer finder(season, prompter_);
    auto* teams = finder.findChild<QComboBox*>("comboNFLTeam");
    finder.findChild<QRadioButton*>("radioNFL")->setChecked(true);
    teams->setCurrentIndex(2);
    QTest::mouseClick(finder.findChild<QPushButton*>("btnPopulateList"), Qt::LeftButton);
    auto* list = finder.findChild<QTreeWidget*>("listPlayers");
    QVERIFY(list->topLevelItemCount() > 0);
    int team = teams->currentData().toInt();
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const qff::Player* player = playerOf(season, list->topLevelItem(row));
        QVERIFY(player != nullptr);
        QVERIFY(!player->isUnit());
        QCOMPARE(player->team(), team);
    }
}

void FindPlayerTest::byPositionDefenseListsOnlyDefensivePlayers() {
    qff::Singleton& season = folder_->context();
    TformFindPlayer finder(season, prompter_);
    auto* positions = finder.findChild<QComboBox*>("comboPosition");
    positions->setCurrentIndex(positions->findData(int{qff::kDEF}));
    QCOMPARE(positions->currentText(), QString("Defense"));
    QTest::mouseClick(finder.findChild<QPushButton*>("btnPopulateList"), Qt::LeftButton);
    auto* list = finder.findChild<QTreeWidget*>("listPlayers");
    QVERIFY(list->topLevelItemCount() > 0);
    QString previous;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const qff::Player* player = playerOf(season, list->topLevelItem(row));
        QCOMPARE(player->storedPosition(), int{qff::kDEF});
        QVERIFY(previous <= list->topLevelItem(row)->text(0));
        previous = list->topLevelItem(row)->text(0);
    }
}

void FindPlayerTest::okWithoutSelectionAsksForOne() {
    int chosen = 77;
    TformFindPlayer finder(folder_->context(), prompter_, &chosen);
    QCOMPARE(chosen, -1);
    prompter_.told.clear();
    QTest::mouseClick(finder.findChild<QPushButton*>("btnPopulateList"), Qt::LeftButton);
    QTest::mouseClick(finder.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    QCOMPARE(prompter_.told, QStringList({kSelectFirst}));
    QCOMPARE(finder.result(), int{QDialog::Rejected});
    QCOMPARE(chosen, -1);
}

void FindPlayerTest::okReturnsTheChosenPlayer() {
    int chosen = 0;
    TformFindPlayer finder(folder_->context(), prompter_, &chosen);
    finder.findChild<QRadioButton*>("radioLastName")->setChecked(true);
    QTest::mouseClick(finder.findChild<QPushButton*>("btnPopulateList"), Qt::LeftButton);
    auto* list = finder.findChild<QTreeWidget*>("listPlayers");
    QVERIFY(list->topLevelItemCount() > 3);
    QTreeWidgetItem* row = list->topLevelItem(3);
    list->setCurrentItem(row);
    QTest::mouseClick(finder.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    QCOMPARE(finder.result(), int{QDialog::Accepted});
    QCOMPARE(chosen, playerIdOf(row));
    QVERIFY(chosen > 0);
}

void FindPlayerTest::withoutResultPlaceTheDialogOnlyCloses() {
    TformFindPlayer finder(folder_->context(), prompter_);
    finder.show();
    QVERIFY(finder.findChild<QPushButton*>("btnCancel")->isHidden());
    auto* ok = finder.findChild<QPushButton*>("btnOk");
    QCOMPARE(ok->text(), QString("&Close"));
    prompter_.told.clear();
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(prompter_.told.isEmpty());
    QCOMPARE(finder.result(), int{QDialog::Accepted});
}

void FindPlayerTest::changingTheNflTeamIsRemembered() {
    qff::Singleton& season = folder_->context();
    TformFindPlayer finder(season, prompter_);
    auto* teams = finder.findChild<QComboBox*>("comboNFLTeam");
    teams->setCurrentIndex(4);
    emit teams->activated(4);
    QCOMPARE(season.seasonState().peek(qff::kCurrentNflTeam), teams->itemData(4).toInt());
    TformFindPlayer again(season, prompter_);
    QCOMPARE(again.findChild<QComboBox*>("comboNFLTeam")->currentIndex(), 4);
}

QTEST_MAIN(FindPlayerTest)
#include "findplayer_test.moc"
