// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Draftday.h"
#include "data02/league/Draftpool.h"
#include "data02/model/Drftqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Single.h"

#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>

#include "app/draft/DraftBoard.h"
#include "app/widgets/PageView.h"
#include "tests/app/support/AppFixture.h"

using qff::apptest::SeasonFolder;

namespace {

// Beside the empty Default League, one league of four franchises that has
// drafted six rounds.
qff::DemoOptions draftedSeason() {
    qff::DemoOptions options;
    options.weeksMerged = 1;
    options.playersPerTeam = 12;
    options.divisionsPerLeague = 2;
    options.franchisesPerDivision = 2;
    options.rosterSize = 6;
    return options;
}

constexpr int kDraftedRounds = 6;

}  // namespace

class DraftBoardTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void aTopLevelWindowNamedForItsLeagueShowsEveryPick();
    void aPickRecordedMeanwhileIsOnTheBoardAfterRefresh();
    void textSizeStepsWithinItsBounds();
    void fullScreenFollowsItsButtonAndTheWindow();
    void aLeagueWithoutPicksShowsANote();

  private:
    qff::Singleton& season() { return folder_->context(); }
    QString boardText(const DraftBoard& board) { return board.view()->toPlainText(); }
    QString nameOf(int player);
    // Whether the text shows within the board's view.
    bool inView(const DraftBoard& board, const QString& text);

    std::unique_ptr<SeasonFolder> folder_;
    int league_ = -1;
};

void DraftBoardTest::init() {
    folder_ = std::make_unique<SeasonFolder>(draftedSeason());
    QVERIFY(folder_->opened());
    league_ = -1;
    for (const qff::League* league : season().leagueQuery().allLeagues()) {
        int id = league->getValue(qff::kLeagueId);
        if (season().draftQuery().hasPicks(id)) {
            league_ = id;
        }
    }
    QVERIFY(league_ >= 0);
}

void DraftBoardTest::cleanup() {
    folder_.reset();
}

QString DraftBoardTest::nameOf(int player) {
    return QString::fromStdString(
        season().mapFactory().players().findFirst(qff::kPlayerId, player)->name());
}

bool DraftBoardTest::inView(const DraftBoard& board, const QString& text) {
    PageView& view = *board.view();
    QTextCursor found =
        view.document()->find(text, view.document()->characterCount(), QTextDocument::FindBackward);
    return !found.isNull() && view.viewport()->rect().contains(view.cursorRect(found));
}

void DraftBoardTest::aTopLevelWindowNamedForItsLeagueShowsEveryPick() {
    DraftBoard board(season(), league_);
    QVERIFY(board.isWindow());
    const qff::League* league = season().leagueQuery().findOne(qff::kLeagueId, league_);
    QCOMPARE(board.windowTitle(),
             "Draft Board - " + QString::fromStdString(league->text(qff::kLeagueName)));
    qff::DraftList picks = season().draftQuery().leaguePicks(league_);
    QCOMPARE(int(picks.size()), kDraftedRounds * 4);
    for (const qff::TrackDraft* pick : picks) {
        QVERIFY(boardText(board).contains(nameOf(pick->getValue(qff::kDraftPlayer))));
    }
    QVERIFY(boardText(board).contains(QString("Round %1").arg(kDraftedRounds)));
}

void DraftBoardTest::aPickRecordedMeanwhileIsOnTheBoardAfterRefresh() {
    DraftBoard board(season(), league_);
    board.resize(800, 600);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));

    qff::DraftSettings settings;
    settings.rounds = kDraftedRounds + 1;
    QVERIFY(qff::saveDraftSettings(season(), league_, settings).ok());
    int franchise = season().teamQuery().leagueFranchises(league_).front()->id();
    qff::PlyrList available =
        qff::availablePlayers(season(), league_, franchise, qff::allDraftFilters());
    QVERIFY(!available.empty());
    int player = available.front()->id();
    QVERIFY(!boardText(board).contains(nameOf(player)));
    QVERIFY(qff::recordPick(season(), league_, franchise, kDraftedRounds + 1, player).ok());

    board.refresh();
    QApplication::processEvents();
    QVERIFY(boardText(board).contains(nameOf(player)));
    QString latestRound = QString("Round %1").arg(kDraftedRounds + 1);
    QVERIFY(board.view()->verticalScrollBar()->value() > 0);
    QVERIFY(inView(board, latestRound));
    QVERIFY(inView(board, nameOf(player)));
}

void DraftBoardTest::textSizeStepsWithinItsBounds() {
    DraftBoard board(season(), league_);
    auto* larger = board.findChild<QPushButton*>("btnLarger");
    auto* smaller = board.findChild<QPushButton*>("btnSmaller");
    QCOMPARE(board.textSize(), DraftBoard::kDefaultTextSize);
    larger->click();
    QVERIFY(board.textSize() > DraftBoard::kDefaultTextSize);
    QCOMPARE(board.view()->document()->defaultFont().pointSize(), board.textSize());
    board.refresh();
    QCOMPARE(board.view()->document()->defaultFont().pointSize(), board.textSize());
    while (larger->isEnabled()) {
        larger->click();
    }
    QCOMPARE(board.textSize(), DraftBoard::kLargestTextSize);
    while (smaller->isEnabled()) {
        smaller->click();
    }
    QCOMPARE(board.textSize(), DraftBoard::kSmallestTextSize);
}

void DraftBoardTest::fullScreenFollowsItsButtonAndTheWindow() {
    DraftBoard board(season(), league_);
    board.show();
    auto* fullScreen = board.findChild<QPushButton*>("btnFullScreen");
    fullScreen->click();
    QVERIFY(board.isFullScreen());
    fullScreen->click();
    QVERIFY(!board.isFullScreen());
    board.showFullScreen();
    QVERIFY(fullScreen->isChecked());
    board.showNormal();
    QVERIFY(!fullScreen->isChecked());
}

void DraftBoardTest::aLeagueWithoutPicksShowsANote() {
    DraftBoard board(season(), qff::kDefaultLeagueId);
    QCOMPARE(board.windowTitle(), QString("Draft Board - Default League"));
    QCOMPARE(boardText(board).trimmed(), QString("No player has been drafted yet."));
}

QTEST_MAIN(DraftBoardTest)
#include "draftboard_test.moc"
