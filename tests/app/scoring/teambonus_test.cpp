#include "tests/app/support/AppFixture.h"

#include "data02/model/Mapfact.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/scoring/Results.h"
#include "data02/season/State.h"
#include "data02/season/Sticky.h"
#include "data02/storage/Db_file.h"
#include "data02/storage/Files.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/scoring/TeamBonus.h"

using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;

namespace {

constexpr int kYear = 2003;
constexpr int kStartBonus = 4;

qff::DemoOptions smallSeason() {
    qff::DemoOptions options = qff::apptest::smallDemo();
    options.year = kYear;
    options.weeksMerged = 1;
    return options;
}

// Chooses an entry as the user does, so the dialog hears of it.
}  // namespace

class TeamBonusTest : public QObject {
    Q_OBJECT

  private slots:
    void init();

    void opensOnTheCurrentLeagueFranchiseAndWeek();
    void typedValuesAreStoredWhenTheWeekChanges_data();
    void typedValuesAreStoredWhenTheWeekChanges();
    void aNegativeBonusTurnsAWinIntoALoss();
    void finishedRemembersTheFranchise();
    void aFailedWriteIsReportedAndTheFileValueShown();
    void aLeagueWithoutFranchisesSaysSo();

  private:
    qff::Singleton& season() { return folder_->context(); }
    qff::Team* franchise(int id) {
        return season().mapFactory().franchises().findFirst(qff::kFranchiseId, id);
    }
    int bonus(int id, int week) { return franchise(id)->getValue(qff::kFranchiseBonus, week); }
    int league() { return season().seasonState().peek(qff::kCurrentLeague); }
    void type(TformTeamBonus& dialog, const QString& text);

    std::unique_ptr<SeasonFolder> folder_;
    RecordingPrompter prompter_;
    // The first franchise of the league by name, with a bonus in week 1.
    int first_ = 0;
};

void TeamBonusTest::init() {
    folder_ = std::make_unique<SeasonFolder>(smallSeason());
    QVERIFY(folder_->opened());
    prompter_ = RecordingPrompter();
    first_ = season().teamQuery().leagueFranchises(league()).front()->id();
    QCOMPARE(qff::setFranchiseBonus(season(), first_, 0, kStartBonus), qff::kOk);
    QCOMPARE(season().seasonState().set(qff::kCurrentWeek, 0), qff::kOk);
    QCOMPARE(season().seasonState().set(qff::kCurrentFranchise, 0), qff::kOk);
}

// Replaces the field's text by typing, as the keyboard would.
void TeamBonusTest::type(TformTeamBonus& dialog, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>("editBonus");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void TeamBonusTest::opensOnTheCurrentLeagueFranchiseAndWeek() {
    QList<qff::Team*> teams;
    for (qff::Team* team : season().teamQuery().leagueFranchises(league())) {
        teams.append(team);
    }
    int second = teams.at(1)->id();
    QCOMPARE(season().seasonState().set(qff::kCurrentFranchise, second), qff::kOk);
    QCOMPARE(season().seasonState().set(qff::kCurrentWeek, 2), qff::kOk);
    QCOMPARE(qff::setFranchiseBonus(season(), second, 2, -6), qff::kOk);

    TformTeamBonus dialog(season(), prompter_);
    QCOMPARE(dialog.windowTitle(), QString("Franchise Bonus Points"));
    auto* franchises = dialog.findChild<QComboBox*>("comboFranchise");
    QCOMPARE(franchises->count(), teams.size());
    QCOMPARE(franchises->currentData().toInt(), second);
    QCOMPARE(franchises->maxVisibleItems(), 20);
    QCOMPARE(dialog.findChild<QComboBox*>("comboWeek")->currentText(), QString("3"));
    QCOMPARE(dialog.findChild<QComboBox*>("comboWeek")->count(), 17);
    QCOMPARE(dialog.findChild<QComboBox*>("comboLeague")->currentData().toInt(), league());
    QCOMPARE(dialog.findChild<QLineEdit*>("editBonus")->text(), QString("-6"));
    QVERIFY(prompter_.told.isEmpty());
}

void TeamBonusTest::typedValuesAreStoredWhenTheWeekChanges_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("told");
    QTest::newRow("negative") << "-7" << -7 << "";
    QTest::newRow("letters refused") << "1a2b" << 12 << "";
    QTest::newRow("only letters") << "abc" << kStartBonus << "";
    QTest::newRow("minus only") << "-" << 0 << "";
    QTest::newRow("out of range") << "10001" << kStartBonus
                                  << "A bonus lies between -10000 and 10000 points.";
    QTest::newRow("far out of range")
        << "-99999999999" << kStartBonus << "A bonus lies between -10000 and 10000 points.";
}

void TeamBonusTest::typedValuesAreStoredWhenTheWeekChanges() {
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, told);
    TformTeamBonus dialog(season(), prompter_);
    dialog.show();
    auto* edit = dialog.findChild<QLineEdit*>("editBonus");
    QCOMPARE(edit->text(), QString::number(kStartBonus));
    type(dialog, typed);
    QVERIFY(!edit->text().contains('a'));
    qff::apptest::chooseIndex(*dialog.findChild<QComboBox*>("comboWeek"), 4);

    QCOMPARE(bonus(first_, 0), stored);
    QCOMPARE(prompter_.told, told.isEmpty() ? QStringList() : QStringList{told});
    QCOMPARE(edit->text(), QString("0"));
    QCOMPARE(season().seasonState().peek(qff::kCurrentWeek), 4);
    qff::apptest::chooseIndex(*dialog.findChild<QComboBox*>("comboWeek"), 0);
    QCOMPARE(edit->text(), QString::number(stored));
}

void TeamBonusTest::aNegativeBonusTurnsAWinIntoALoss() {
    std::vector<qff::GameResult> games = qff::results(season(), league(), 0);
    auto won = std::find_if(games.begin(), games.end(), [](const qff::GameResult& game) {
        return game.outcome == qff::GameResult::Outcome::HomeWon;
    });
    QVERIFY(won != games.end());
    int winner = won->home;
    qff::GameResult game = *won;
    // One point more than the winner's margin turns the game.
    int penalty = -int(game.homeScore - game.awayScore) - 1;

    TformTeamBonus dialog(season(), prompter_);
    dialog.show();
    auto* franchises = dialog.findChild<QComboBox*>("comboFranchise");
    qff::apptest::chooseIndex(*franchises, franchises->findData(winner));
    type(dialog, QString::number(bonus(winner, 0) + penalty));
    dialog.findChild<QPushButton*>("btnFinished")->click();
    QVERIFY(prompter_.told.isEmpty());

    std::vector<qff::GameResult> after = qff::results(season(), league(), 0);
    auto same = std::find_if(after.begin(), after.end(),
                             [winner](const qff::GameResult& g) { return g.home == winner; });
    QCOMPARE(same->outcome, qff::GameResult::Outcome::AwayWon);
    std::vector<qff::StandingRow> rows = qff::standings(season(), league(), 0);
    auto row = std::find_if(rows.begin(), rows.end(),
                            [winner](const qff::StandingRow& r) { return r.franchise == winner; });
    QVERIFY(row != rows.end());
    QCOMPARE(row->won, 0);
    QCOMPARE(row->lost, 1);
}

void TeamBonusTest::finishedRemembersTheFranchise() {
    TformTeamBonus dialog(season(), prompter_);
    dialog.show();
    auto* franchises = dialog.findChild<QComboBox*>("comboFranchise");
    qff::apptest::chooseIndex(*franchises, franchises->count() - 1);
    QString name = franchises->currentText();
    dialog.findChild<QPushButton*>("btnFinished")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(QString::fromStdString(season().sticky().getText(qff::kStickyBonusFranchise)), name);
    QVERIFY(prompter_.told.isEmpty());
}

void TeamBonusTest::aFailedWriteIsReportedAndTheFileValueShown() {
    std::filesystem::path file =
        folder_->path() / *qff::seasonFileName(qff::SeasonFile::Team, kYear);
    auto before = qff::test::readBytes(file);
    TformTeamBonus dialog(season(), prompter_);
    dialog.show();
    type(dialog, "9");
    {
        qff::test::FileSizeLimit limit(qff::DBFile::kHeaderSize);
        emit dialog.findChild<QLineEdit*>("editBonus")->editingFinished();
    }
    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY(prompter_.told.front().startsWith("The bonus points of "));
    QVERIFY(prompter_.told.front().contains("could not be saved"));
    QCOMPARE(dialog.findChild<QLineEdit*>("editBonus")->text(), QString::number(kStartBonus));
    QCOMPARE(bonus(first_, 0), kStartBonus);
    QCOMPARE(qff::test::readBytes(file), before);
}

void TeamBonusTest::aLeagueWithoutFranchisesSaysSo() {
    SeasonFolder empty(kYear);
    QVERIFY(empty.opened());
    TformTeamBonus dialog(empty.context(), prompter_);
    QCOMPARE(prompter_.told, QStringList{"No teams are available for this league."});
    auto* edit = dialog.findChild<QLineEdit*>("editBonus");
    QCOMPARE(edit->text(), QString("N/A"));
    QVERIFY(!edit->isEnabled());
    QCOMPARE(dialog.findChild<QComboBox*>("comboFranchise")->count(), 0);
    dialog.findChild<QPushButton*>("btnFinished")->click();
    QCOMPARE(prompter_.told.size(), 1);
}

QTEST_MAIN(TeamBonusTest)
#include "teambonus_test.moc"
