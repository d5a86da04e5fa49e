#include "tests/app/support/AppFixture.h"

#include "data02/model/Legqry.h"
#include "data02/scoring/Scoring.h"
#include "data02/scoring/Scoring_record.h"
#include "data02/scoring/Scoring_steps.h"
#include "data02/scoring/Scoring_tables.h"
#include "data02/season/State.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "app/scoring/DefineScoringSystem.h"

using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;

namespace {

constexpr int kYear = 2003;

qff::DemoOptions twoLeagues() {
    qff::DemoOptions options;
    options.year = kYear;
    options.weeksMerged = 1;
    options.playersPerTeam = 4;
    options.leagues = 2;
    options.divisionsPerLeague = 1;
    options.franchisesPerDivision = 2;
    options.rosterSize = 4;
    return options;
}

std::vector<int> leagueIds(qff::Singleton& season) {
    std::vector<int> ids;
    for (const qff::League* league : season.leagueQuery().allLeagues()) {
        ids.push_back(league->getValue(qff::kLeagueId));
    }
    return ids;
}

// The league's scoring as the file holds it, read by a season of its own.
class OnDisk {
  public:
    OnDisk(const std::filesystem::path& folder, int league)
        : context_(qff::apptest::createContext(folder)) {
        opened_ = qff::openSeason(*context_, kYear).opened &&
                  context_->scoring().selectLeague(league) == qff::kOk;
    }
    bool opened() const { return opened_; }
    int shown(int code) const { return qff::shownValue(context_->scoring(), code); }
    int stored(int code) const { return context_->scoring().getValue(code); }
    qff::ScoreTable table(int code) const {
        std::string message;
        return qff::readTable(context_->scoring(), code, message).value_or(qff::ScoreTable{});
    }

  private:
    std::unique_ptr<qff::Singleton> context_;
    bool opened_ = false;
};

}  // namespace

class DefineScoringTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void nextWalksEveryStepToTheConclusion();
    void theAreaChooserLeadsToAnAreaAndBack();
    void theIntroductionComesFromTheSupportFolder();
    void coreValuesAreStoredWhenTheStepIsLeft();
    void tableChoicesFillTheTables_data();
    void tableChoicesFillTheTables();
    void rangeMistakesAreRefused_data();
    void rangeMistakesAreRefused();
    void deletingARangeFillsItFromItsNeighbour();
    void editRangeCopiesTheLineIntoTheEdits();
    void deleteAllLeavesNoPoints();
    void pickingAnotherLeagueStoresTheStepFirst();
    void aRefusedChoiceKeepsTheStep();
    void closingStoresTheStep();

  private:
    template <typename T>
    T* control(const char* name) const {
        T* widget = form->findChild<T*>(name);
        if (widget == nullptr) {
            qFatal("no control %s", name);
        }
        return widget;
    }
    void click(const char* name) const {
        QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton);
    }
    void goToStep(int step);
    void type(const char* name, const QString& text) const {
        control<QLineEdit>(name)->setText(text);
    }
    QString title() const { return control<QLabel>("labelTitle")->text(); }
    QStringList rangeLines() const;
    void selectRange(const QString& line) const;
    OnDisk disk() const { return OnDisk(folder->path(), shownLeague); }

    std::unique_ptr<SeasonFolder> folder;
    RecordingPrompter prompter;
    std::unique_ptr<TformDefineScoringSystem> form;
    int shownLeague = 0;
};

void DefineScoringTest::init() {
    folder = std::make_unique<SeasonFolder>(twoLeagues());
    QVERIFY(folder->opened());
    shownLeague = leagueIds(folder->context()).back();
    folder->context().seasonState().set(qff::kCurrentLeague, shownLeague);
    prompter = RecordingPrompter{};
    form = std::make_unique<TformDefineScoringSystem>(folder->context(), prompter);
}

void DefineScoringTest::cleanup() {
    form.reset();
    folder.reset();
}

void DefineScoringTest::goToStep(int step) {
    control<QCheckBox>("checkArea")->setChecked(true);
    click("btnNext");
    control<QListWidget>("listAreas")->setCurrentRow(step - qff::kFirstAreaStep);
    click("btnNext");
    QCOMPARE(title(), QString::fromUtf8(qff::scoringStep(step).title.data()));
}

QStringList DefineScoringTest::rangeLines() const {
    QStringList lines;
    auto* list = control<QListWidget>("listRanges");
    for (int row = 0; row < list->count(); ++row) {
        lines << list->item(row)->text();
    }
    return lines;
}

void DefineScoringTest::selectRange(const QString& line) const {
    auto* list = control<QListWidget>("listRanges");
    QList<QListWidgetItem*> found = list->findItems(line, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(line));
    list->setCurrentItem(found.front());
}

void DefineScoringTest::nextWalksEveryStepToTheConclusion() {
    QCOMPARE(form->findChild<QListWidget*>("lstLeagues")->currentItem()->data(Qt::UserRole).toInt(),
             shownLeague);
    QVERIFY(!control<QPushButton>("btnBack")->isEnabled());
    for (int step = 1; step <= qff::kConclusionStep; ++step) {
        click("btnNext");
        QCOMPARE(title(), QString::fromUtf8(qff::scoringStep(step).title.data()));
    }
    QVERIFY(!control<QPushButton>("btnNext")->isEnabled());
    QVERIFY(control<QPushButton>("btnBack")->isEnabled());
    QVERIFY(prompter.told.isEmpty());
}

void DefineScoringTest::theAreaChooserLeadsToAnAreaAndBack() {
    goToStep(14);
    QVERIFY(!control<QCheckBox>("checkArea")->isChecked());
    QCOMPARE(rangeLines().back().left(15), QString("Anything above "));
    QVERIFY(rangeLines().back().contains("points is worth"));
    click("btnBack");
    QCOMPARE(title(), QString("Scoring System Areas"));
    click("btnBack");
    QCOMPARE(title(), QString("Setup Your Scoring System"));
    QVERIFY(!control<QPushButton>("btnBack")->isEnabled());
}

void DefineScoringTest::theIntroductionComesFromTheSupportFolder() {
    std::filesystem::create_directories(folder->path() / "Support");
    std::ofstream(folder->path() / "Support" / "ScoringIntro.txt") << "Points the way we play.\n";
    TformDefineScoringSystem fresh(folder->context(), prompter);
    QCOMPARE(fresh.findChild<QLabel*>("labelIntro")->text(), QString("Points the way we play."));
}

void DefineScoringTest::coreValuesAreStoredWhenTheStepIsLeft() {
    click("btnNext");
    type("edit5006", "3");
    type("edit5004", "2 each");
    type("edit5009", "abc");
    type("edit5008", "-4");
    click("btnNext");
    OnDisk saved = disk();
    QVERIFY(saved.opened());
    QCOMPARE(saved.stored(qff::kPerInterceptionThrown), -3);
    QCOMPARE(saved.stored(qff::kPerPassThrown), 2);
    QCOMPARE(saved.stored(qff::kPassTdBonus), 0);
    QCOMPARE(saved.stored(qff::kPassTdBonusAt), -4);
    click("btnBack");
    QCOMPARE(control<QLineEdit>("edit5006")->text(), QString("3"));
}

void DefineScoringTest::tableChoicesFillTheTables_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("entries");
    QTest::addColumn<QList<int>>("points");

    QTest::newRow("2 for every 15 yards of a passed TD")
        << 2 << "radioTDEvery" << QStringList{"editTDEveryPoints", "2", "editTDEveryYards", "15"}
        << int{qff::kTableEvery} << QList<int>{1, 15, 16, 100} << QList<int>{2, 2, 4, 14};
    QTest::newRow("1 for every 25 yards passed")
        << 3 << "radioYardEvery" << QStringList{"editYardPoints", "1", "editYardEvery", "25"}
        << int{qff::kTableEvery} << QList<int>{24, 25, 749} << QList<int>{0, 1, 29};
    QTest::newRow("6 for each TD rushed")
        << 5 << "radioTDEach" << QStringList{"editTDEach", "6"} << int{qff::kTableEach}
        << QList<int>{1, 100} << QList<int>{6, 6};
    QTest::newRow("no points for points allowed")
        << 14 << "radioYardNone" << QStringList{} << int{qff::kTableNotScored} << QList<int>{1, 100}
        << QList<int>{0, 0};
}

void DefineScoringTest::tableChoicesFillTheTables() {
    QFETCH(int, step);
    QFETCH(QString, radio);
    QFETCH(QStringList, edits);
    QFETCH(int, mode);
    QFETCH(QList<int>, entries);
    QFETCH(QList<int>, points);

    goToStep(step);
    control<QRadioButton>(qPrintable(radio))->setChecked(true);
    for (int at = 0; at + 1 < edits.size(); at += 2) {
        type(qPrintable(edits[at]), edits[at + 1]);
    }
    click("btnBack");
    qff::ScoreTable table = disk().table(qff::scoringStep(step).tableCode);
    QCOMPARE(table.mode, mode);
    for (int at = 0; at < entries.size(); ++at) {
        QCOMPARE(table.entries.at(entries[at]), points[at]);
    }
    QVERIFY(prompter.told.isEmpty());
}

void DefineScoringTest::rangeMistakesAreRefused_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("message");

    QTest::newRow("points missing") << "1"
                                    << "5"
                                    << ""
                                    << "A from, to, and point value is required.";
    QTest::newRow("from zero") << "0"
                               << "5"
                               << "3"
                               << "The FROM distance must be greater than zero.";
    QTest::newRow("to below from") << "9"
                                   << "5"
                                   << "3"
                                   << "The FROM distance must be less than the TO distance.";
    QTest::newRow("past the table") << "90"
                                    << "101"
                                    << "3"
                                    << "The TO distance cannot exceed 100.";
}

void DefineScoringTest::rangeMistakesAreRefused() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, points);
    QFETCH(QString, message);

    goToStep(2);
    QStringList before = rangeLines();
    type("editFrom", from);
    type("editTo", to);
    type("editPoints", points);
    click("btnAddRange");
    QCOMPARE(prompter.told, QStringList{message});
    QCOMPARE(rangeLines(), before);
}

void DefineScoringTest::deletingARangeFillsItFromItsNeighbour() {
    goToStep(2);
    selectRange("Passing a TD from 10 to 19 yards is worth 4 points");
    click("btnDeleteRange");
    QCOMPARE(rangeLines().front(), QString("Passing a TD from 1 to 19 yards is worth 3 points"));
    QVERIFY(control<QRadioButton>("radioTDRange")->isChecked());
    click("btnNext");
    qff::ScoreTable table = disk().table(qff::kPassTdTable);
    QCOMPARE(table.entries.at(19), 3);
    QCOMPARE(table.mode, int{qff::kTableRanges});
}

void DefineScoringTest::editRangeCopiesTheLineIntoTheEdits() {
    goToStep(2);
    selectRange("Passing a TD from 10 to 19 yards is worth 4 points");
    click("btnEditRange");
    QCOMPARE(control<QLineEdit>("editFrom")->text(), QString("10"));
    QCOMPARE(control<QLineEdit>("editTo")->text(), QString("19"));
    QCOMPARE(control<QLineEdit>("editPoints")->text(), QString("4"));
}

void DefineScoringTest::deleteAllLeavesNoPoints() {
    goToStep(3);
    type("editFrom", "1");
    type("editTo", "749");
    type("editPoints", "0");
    click("btnAddRange");
    QCOMPARE(rangeLines(), QStringList{"Anything above 0 yards is worth 0 points"});
    selectRange("Anything above 0 yards is worth 0 points");
    click("btnDeleteRange");
    QCOMPARE(prompter.told, QStringList{"CRITICAL - Failed to parse range string."});
    type("editTo", "200");
    type("editPoints", "5");
    click("btnAddRange");
    click("btnDeleteAll");
    QVERIFY(control<QRadioButton>("radioYardNone")->isChecked());
    click("btnBack");
    qff::ScoreTable table = disk().table(qff::kPassYardsTable);
    QCOMPARE(table.mode, int{qff::kTableNotScored});
    QCOMPARE(table.entries.at(100), 0);
}

void DefineScoringTest::pickingAnotherLeagueStoresTheStepFirst() {
    click("btnNext");
    type("edit5004", "9");
    int other = leagueIds(folder->context()).front();
    auto* leagues = control<QListWidget>("lstLeagues");
    for (int row = 0; row < leagues->count(); ++row) {
        if (leagues->item(row)->data(Qt::UserRole).toInt() == other) {
            leagues->setCurrentRow(row);
        }
    }
    QCOMPARE(disk().stored(qff::kPerPassThrown), 9);
    QCOMPARE(folder->context().seasonState().peek(qff::kCurrentLeague), other);
    OnDisk otherLeague(folder->path(), other);
    QCOMPARE(control<QLineEdit>("edit5004")->text(),
             QString::number(otherLeague.shown(qff::kPerPassThrown)));
    QCOMPARE(title(), QString("Passing - Core Information"));
}

void DefineScoringTest::aRefusedChoiceKeepsTheStep() {
    goToStep(3);
    control<QRadioButton>("radioYardEvery")->setChecked(true);
    type("editYardEvery", "0");
    click("btnNext");
    QCOMPARE(prompter.told, QStringList{"The number of yards must be greater than zero."});
    QCOMPARE(title(), QString("Passing - Total Yards"));
}

void DefineScoringTest::closingStoresTheStep() {
    click("btnNext");
    type("edit5012", "7");
    form->close();
    QCOMPARE(disk().stored(qff::kNonQbPassTd), 7);
}

QTEST_MAIN(DefineScoringTest)
#include "definescoring_test.moc"
