// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Draftorder.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <random>
#include <vector>

#include "app/draft/AboutDraftOrder.h"
#include "app/draft/DraftOrder.h"
#include "app/draft/GenerateDraftOrderOptions.h"
#include "tests/app/support/AppFixture.h"

using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;
using qff::apptest::whenModal;

namespace {

constexpr int kRounds = 4;
constexpr int kFranchises = 7;

constexpr const char* kReplaceQuestion =
    "It looks like you've already generated a Draft Order or drafted players with the Draft Day "
    "Assistant.\nEstablishing a new Draft Order would result in the loss of all Draft Day data "
    "currently in place for\nthis league.\n\nDo you want to generate a new Draft Order?";

// One league of seven franchises whose four-round draft the demo has made.
qff::DemoOptions sevenFranchises() {
    qff::DemoOptions options;
    options.weeksMerged = 0;
    options.playersPerTeam = 8;
    options.leagues = 1;
    options.divisionsPerLeague = 1;
    options.franchisesPerDivision = kFranchises;
    options.rosterSize = kRounds;
    return options;
}

qff::DraftRandom seeded(std::uint32_t seed) {
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine] { return static_cast<std::uint32_t>((*engine)()); };
}

template <class T>
T& control(QWidget& dialog, const char* name) {
    T* found = dialog.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control %s", name);
    }
    return *found;
}

void click(QWidget& dialog, const char* button) {
    QTest::mouseClick(&control<QPushButton>(dialog, button), Qt::LeftButton);
}

}  // namespace

class DraftOrderTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void trueSerpentineReversesRoundOneAndRepeatsTheFirstTwo();
    void regeneratingAsksBeforeTheDraftedPicksGo_data();
    void regeneratingAsksBeforeTheDraftedPicksGo();
    void aLeagueWithoutFranchisesIsToldWhyAndNotAsked();
    void checkedPicksGoAndADoubleClickAddsAtTheEnd();
    void dragsBetweenTheListsRemoveAndAdd();
    void movesKeepTheMovedFranchiseSelected();
    void severalPicksPerRoundAreStoredAtOnceAndRefusedWhileUsed();
    void generatingFromTheOrderShowsTheNewOrder();
    void aboutTellsHowTheOrderIsMade();

  private:
    qff::Singleton& season() { return folder_->context(); }
    qff::DraftQuery& drafts() { return season().draftQuery(); }
    // Franchise ids of the round's picks in pick order.
    std::vector<int> roundOrder(int round);
    int pickNumberOf(int franchise, int round);
    int draftedCount();
    void generate();
    std::unique_ptr<TformDraftOrder> openOrder();
    QTreeWidget& orderList(QWidget& dialog) {
        return control<QTreeWidget>(dialog, "listDraftOrder");
    }
    QListWidget& available(QWidget& dialog) {
        return control<QListWidget>(dialog, "listAvailable");
    }
    QStringList shownFranchises(QWidget& dialog);
    QString nameOf(int franchise);

    std::unique_ptr<SeasonFolder> folder_;
    RecordingPrompter prompter_;
    int league_ = 0;
};

void DraftOrderTest::init() {
    folder_ = std::make_unique<SeasonFolder>(sevenFranchises());
    QVERIFY(folder_->opened());
    prompter_ = RecordingPrompter();
    league_ = -1;
    for (const qff::League* league : season().leagueQuery().allLeagues()) {
        int id = league->getValue(qff::kLeagueId);
        if (season().teamQuery().leagueFranchises(id).size() == kFranchises) {
            league_ = id;
        }
    }
    QVERIFY(league_ > 0);
    season().seasonState().set(qff::kCurrentLeague, league_);
}

void DraftOrderTest::cleanup() {
    folder_.reset();
}

std::vector<int> DraftOrderTest::roundOrder(int round) {
    std::vector<int> franchises;
    for (const qff::TrackDraft* pick : drafts().roundInOrder(league_, round)) {
        franchises.push_back(pick->getValue(qff::kDraftFranchise));
    }
    return franchises;
}

int DraftOrderTest::pickNumberOf(int franchise, int round) {
    const qff::TrackDraft* pick = drafts().pickOf(league_, franchise, round);
    return pick != nullptr ? pick->getValue(qff::kDraftPick) : 0;
}

int DraftOrderTest::draftedCount() {
    return qff::draftOrderLoss(season(), league_).drafted;
}

// A fresh order of planned picks, without the demo's drafted ones.
void DraftOrderTest::generate() {
    qff::DraftOrderResult result =
        qff::generateDraftOrder(season(), league_, qff::SerpentineKind::True, seeded(3));
    QCOMPARE(result.status, qff::kOk);
    QCOMPARE(draftedCount(), 0);
}

std::unique_ptr<TformDraftOrder> DraftOrderTest::openOrder() {
    return std::make_unique<TformDraftOrder>(season(), prompter_);
}

QStringList DraftOrderTest::shownFranchises(QWidget& dialog) {
    QStringList names;
    QTreeWidget& list = orderList(dialog);
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        names << list.topLevelItem(row)->text(1);
    }
    return names;
}

QString DraftOrderTest::nameOf(int franchise) {
    const qff::Team* team = season().teamQuery().findOne(qff::kFranchiseId, franchise);
    return QString::fromStdString(team->text(qff::kFranchiseName));
}

void DraftOrderTest::trueSerpentineReversesRoundOneAndRepeatsTheFirstTwo() {
    prompter_.answer = true;
    TformGenerateDraftOrderOptions options(season(), prompter_);
    QVERIFY(control<QRadioButton>(options, "radioTrueSerpentine").isChecked());
    whenModal<TformGenerateDraftOrderOptions>([](TformGenerateDraftOrderOptions& dialog) {
        dialog.setRandom(seeded(11));
        click(dialog, "btnOK");
    });
    QCOMPARE(options.exec(), int(QDialog::Accepted));
    QCOMPARE(prompter_.asked, QStringList{kReplaceQuestion});
    QCOMPARE(prompter_.askedCaptions, QStringList{"Quillmar Fantasy Football"});
    QCOMPARE(draftedCount(), 0);
    int second = roundOrder(1).at(1);
    const int expected[kRounds] = {2, 6, 2, 6};
    for (int round = 1; round <= kRounds; ++round) {
        QCOMPARE(roundOrder(round).size(), size_t(kFranchises));
        QCOMPARE(pickNumberOf(second, round), expected[round - 1]);
    }
    std::vector<int> first = roundOrder(1);
    QCOMPARE(roundOrder(2), std::vector<int>(first.rbegin(), first.rend()));
    QVERIFY(roundOrder(kRounds + 1).empty());
}

void DraftOrderTest::regeneratingAsksBeforeTheDraftedPicksGo_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes replaces the drafted picks") << true;
    QTest::newRow("no keeps them") << false;
}

void DraftOrderTest::regeneratingAsksBeforeTheDraftedPicksGo() {
    QFETCH(bool, yes);
    QCOMPARE(draftedCount(), kRounds * kFranchises);
    std::vector<int> before = roundOrder(1);
    prompter_.answer = yes;
    TformGenerateDraftOrderOptions options(season(), prompter_);
    options.setRandom(seeded(5));
    whenModal<TformGenerateDraftOrderOptions>(
        [](TformGenerateDraftOrderOptions& dialog) { click(dialog, "btnOK"); });
    QCOMPARE(options.exec(), int(yes ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(prompter_.asked, QStringList{kReplaceQuestion});
    QCOMPARE(draftedCount(), yes ? 0 : kRounds * kFranchises);
    QCOMPARE(qff::draftOrderLoss(season(), league_).picks, kRounds * kFranchises);
    if (!yes) {
        QCOMPARE(roundOrder(1), before);
    }
    QVERIFY(prompter_.told.isEmpty());
}

void DraftOrderTest::aLeagueWithoutFranchisesIsToldWhyAndNotAsked() {
    season().seasonState().set(qff::kCurrentLeague, qff::kDefaultLeagueId);
    prompter_.answer = true;
    TformGenerateDraftOrderOptions options(season(), prompter_);
    whenModal<TformGenerateDraftOrderOptions>(
        [](TformGenerateDraftOrderOptions& dialog) { click(dialog, "btnOK"); });
    QCOMPARE(options.exec(), int(QDialog::Rejected));
    QVERIFY(prompter_.asked.isEmpty());
    QCOMPARE(prompter_.told,
             QStringList{"The league has no franchises, so there is no draft order to generate."});
    QVERIFY(!drafts().hasPicks(qff::kDefaultLeagueId));
}

void DraftOrderTest::checkedPicksGoAndADoubleClickAddsAtTheEnd() {
    generate();
    std::vector<int> first = roundOrder(1);
    auto dialog = openOrder();
    QCOMPARE(control<QComboBox>(*dialog, "comboRound").count(), kRounds);
    QCOMPARE(orderList(*dialog).topLevelItemCount(), kFranchises);
    // Every franchise picks in round 1 already, once per round.
    QCOMPARE(available(*dialog).count(), 0);

    QVERIFY(!control<QPushButton>(*dialog, "btnRemoveFromOrder").isEnabled());
    orderList(*dialog).topLevelItem(1)->setCheckState(0, Qt::Checked);
    orderList(*dialog).topLevelItem(4)->setCheckState(0, Qt::Checked);
    click(*dialog, "btnRemoveFromOrder");
    QCOMPARE(roundOrder(1), (std::vector<int>{first[0], first[2], first[3], first[5], first[6]}));
    QCOMPARE(available(*dialog).count(), 2);

    QListWidgetItem* returning =
        available(*dialog).findItems(nameOf(first[4]), Qt::MatchExactly)[0];
    emit available(*dialog).itemDoubleClicked(returning);
    QCOMPARE(roundOrder(1).back(), first[4]);
    QCOMPARE(pickNumberOf(first[4], 1), 6);
    QCOMPARE(shownFranchises(*dialog).back(), nameOf(first[4]));
    QCOMPARE(available(*dialog).count(), 1);

    emit orderList(*dialog).itemDoubleClicked(orderList(*dialog).topLevelItem(0), 1);
    QCOMPARE(roundOrder(1).front(), first[2]);

    auto& rounds = control<QComboBox>(*dialog, "comboRound");
    rounds.setCurrentIndex(1);
    emit rounds.activated(1);
    QCOMPARE(orderList(*dialog).topLevelItemCount(), kFranchises);
    QCOMPARE(shownFranchises(*dialog).front(), nameOf(roundOrder(2).front()));
    QCOMPARE(available(*dialog).count(), 0);
    QVERIFY(prompter_.told.isEmpty());
}

void DraftOrderTest::dragsBetweenTheListsRemoveAndAdd() {
    generate();
    std::vector<int> first = roundOrder(1);
    auto dialog = openOrder();
    auto* handler = dialog->findChild<HdlDragDrop*>();
    QVERIFY(handler != nullptr);
    HdlDragDrop::DropInfo out;
    out.source = &orderList(*dialog);
    out.sourceItem = orderList(*dialog).topLevelItem(2);
    out.target = &available(*dialog);
    emit handler->dropped(out);
    QCOMPARE(roundOrder(1).size(), size_t(kFranchises - 1));
    QCOMPARE(pickNumberOf(first[2], 1), 0);
    QCOMPARE(available(*dialog).count(), 1);

    HdlDragDrop::DropInfo in;
    in.source = &available(*dialog);
    in.sourceIndex = 0;
    in.target = &orderList(*dialog);
    emit handler->dropped(in);
    QCOMPARE(pickNumberOf(first[2], 1), kFranchises);
    QCOMPARE(available(*dialog).count(), 0);
}

void DraftOrderTest::movesKeepTheMovedFranchiseSelected() {
    generate();
    std::vector<int> first = roundOrder(1);
    auto dialog = openOrder();
    QTreeWidget& list = orderList(*dialog);
    list.setCurrentItem(list.topLevelItem(3));
    click(*dialog, "btnMoveUp");
    click(*dialog, "btnMoveUp");
    QCOMPARE(pickNumberOf(first[3], 1), 2);
    QCOMPARE(list.currentItem(), list.topLevelItem(1));
    click(*dialog, "btnMoveDown");
    QCOMPARE(pickNumberOf(first[3], 1), 3);
    QCOMPARE(list.currentItem()->text(1), nameOf(first[3]));

    list.setCurrentItem(list.topLevelItem(0));
    QVERIFY(!control<QPushButton>(*dialog, "btnMoveUp").isEnabled());
    list.setCurrentItem(list.topLevelItem(kFranchises - 1));
    QVERIFY(!control<QPushButton>(*dialog, "btnMoveDown").isEnabled());
    QCOMPARE(roundOrder(2).size(), size_t(kFranchises));
    QVERIFY(prompter_.told.isEmpty());
}

void DraftOrderTest::severalPicksPerRoundAreStoredAtOnceAndRefusedWhileUsed() {
    generate();
    auto league = [this] { return season().leagueQuery().findOne(qff::kLeagueId, league_); };
    QCOMPARE(league()->getValue(qff::kLeagueSeveralPicks), 0);
    auto dialog = openOrder();
    auto& once = control<QCheckBox>(*dialog, "checkOncePerRound");
    QVERIFY(once.isChecked());
    once.click();
    QVERIFY(!once.isChecked());
    QVERIFY(league()->getValue(qff::kLeagueSeveralPicks) != 0);
    QCOMPARE(available(*dialog).count(), kFranchises);

    int twice = roundOrder(1).front();
    QListWidgetItem* item = available(*dialog).findItems(nameOf(twice), Qt::MatchExactly)[0];
    available(*dialog).setCurrentItem(item);
    click(*dialog, "btnAddToOrder");
    QCOMPARE(roundOrder(1).size(), size_t(kFranchises + 1));
    QCOMPARE(roundOrder(1).back(), twice);
    QVERIFY(prompter_.told.isEmpty());

    // The franchise now picks twice in the round, so one pick per round is refused.
    once.click();
    QCOMPARE(prompter_.told,
             QStringList{nameOf(twice) + " has 2 picks in round 1; remove all but one before "
                                         "teams can only pick once per round."});
    QVERIFY(!once.isChecked());
    QVERIFY(league()->getValue(qff::kLeagueSeveralPicks) != 0);
}

void DraftOrderTest::generatingFromTheOrderShowsTheNewOrder() {
    prompter_.answer = true;
    auto dialog = openOrder();
    QCOMPARE(orderList(*dialog).topLevelItemCount(), kFranchises);
    int player = drafts().roundInOrder(league_, 1).front()->getValue(qff::kDraftPlayer);
    const qff::Player* drafted = season().mapFactory().players().findFirst(qff::kPlayerId, player);
    QCOMPARE(orderList(*dialog).topLevelItem(0)->text(2),
             QString::fromStdString(drafted->text(qff::kPlayerName)));
    whenModal<TformGenerateDraftOrderOptions>([](TformGenerateDraftOrderOptions& options) {
        options.setRandom(seeded(9));
        control<QRadioButton>(options, "radioRandomSerpentine").setChecked(true);
        click(options, "btnOK");
    });
    click(*dialog, "btnGenerate");
    QCOMPARE(draftedCount(), 0);
    QStringList shown;
    for (int franchise : roundOrder(1)) {
        shown << nameOf(franchise);
    }
    QCOMPARE(shownFranchises(*dialog), shown);
    QCOMPARE(orderList(*dialog).topLevelItem(0)->text(2), QString());
}

void DraftOrderTest::aboutTellsHowTheOrderIsMade() {
    auto dialog = openOrder();
    bool opened = false;
    whenModal<TformAboutDraftOrder>([&opened](TformAboutDraftOrder& about) {
        opened =
            about.windowTitle() == "About Draft Order Generation" &&
            control<QLabel>(about, "labelQuestion").text() == "How is the Draft Order generated?";
        click(about, "btnClose");
    });
    click(*dialog, "btnAbout");
    QVERIFY(opened);
}

QTEST_MAIN(DraftOrderTest)
#include "draftorder_test.moc"
