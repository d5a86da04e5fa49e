#include "tests/app/support/AppFixture.h"

#include "data02/model/Legqry.h"
#include "data02/model/Pro.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/schedule/Schedule.h"
#include "data02/season/State.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QListWidgetItem>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "app/schedule/GenerateSchedule.h"
#include "app/schedule/Schedule.h"
#include "app/shell/Options.h"
#include "app/widgets/DragDrop.h"

using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;

namespace {

using Games = std::vector<std::pair<int, int>>;

qff::DemoOptions smallSeason(int leagues) {
    qff::DemoOptions options = qff::apptest::smallDemo();
    options.leagues = leagues;
    return options;
}

// The leagues with franchises; the Default League of a demo season has none.
std::vector<int> leagueIds(qff::Singleton& season) {
    std::vector<int> ids;
    for (const qff::League* league : season.leagueQuery().allLeagues()) {
        int id = league->getValue(qff::kLeagueId);
        if (!season.teamQuery().leagueFranchises(id).empty()) {
            ids.push_back(id);
        }
    }
    return ids;
}

QListWidgetItem* leagueItem(QListWidget& list, int league) {
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->data(Qt::UserRole).toInt() == league) {
            return list.item(row);
        }
    }
    return nullptr;
}

Games gamesOf(qff::Singleton& season, int league, int week) {
    Games games;
    for (const qff::FantasyGame& game : season.schedule().games(league, week)) {
        games.emplace_back(game.home, game.away);
    }
    return games;
}

// The schedule editor on the first league of a demo season, its first week emptied.
struct Editor {
    Editor() : folder(smallSeason(1)) {
        league = leagueIds(folder.context()).front();
        folder.context().seasonState().set(qff::kCurrentLeague, league);
        form = std::make_unique<TformSchedule>(folder.context(), prompter);
        form->findChild<QComboBox*>("comboWeek")->setCurrentIndex(0);
        prompter.answer = true;
        QTest::mouseClick(button("btnClearWeek"), Qt::LeftButton);
        prompter.answer = false;
        for (const qff::Team* team : folder.context().teamQuery().leagueFranchises(league)) {
            franchises.push_back(team->id());
        }
    }

    QPushButton* button(const char* name) const { return form->findChild<QPushButton*>(name); }
    QListWidget* available() const { return form->findChild<QListWidget*>("lstFranchises"); }
    QTableWidget* grid() const { return form->findChild<QTableWidget*>("gridSchedule"); }

    int rowOf(int entry) const {
        for (int row = 0; row < available()->count(); ++row) {
            if (available()->item(row)->data(Qt::UserRole).toInt() == entry) {
                return row;
            }
        }
        return -1;
    }

    void add(int entry) {
        available()->setCurrentRow(rowOf(entry));
        QTest::mouseClick(button("btnAdd"), Qt::LeftButton);
    }

    void drop(HdlDragDrop::DropInfo info) { emit form->findChild<HdlDragDrop*>()->dropped(info); }

    Games week() { return gamesOf(folder.context(), league, 0); }

    SeasonFolder folder;
    RecordingPrompter prompter;
    std::unique_ptr<TformSchedule> form;
    int league = -1;
    std::vector<int> franchises;
};

}  // namespace

class ScheduleTest : public QObject {
    Q_OBJECT

  private slots:
    void buildsAWeekByButtons();
    void buildsAWeekByDragAndDrop();
    void severalGamesAWeekKeepFranchisesAvailable();
    void generatesForTwoLeaguesAtOnce();
    void generationKeepsASchedulePeopleWantKept();
    void aLeagueWithoutScheduleIsOfferedOneOnce();
    void optionsOpenOnTheScheduleTab();
};

void ScheduleTest::buildsAWeekByButtons() {
    Editor editor;
    QVERIFY(editor.folder.opened());
    const std::vector<int>& f = editor.franchises;
    QCOMPARE(editor.prompter.asked, QStringList{"Are you sure you want to clear this week?"});
    QVERIFY(editor.week().empty());
    QCOMPARE(editor.available()->count(), 5);
    QCOMPARE(editor.available()->item(4)->text(), QString(" < BYE >"));

    for (int entry : {f[0], f[1], f[2], qff::kByeSide}) {
        editor.add(entry);
    }
    QCOMPARE(editor.week(), (Games{{f[0], f[1]}, {f[2], qff::kByeSide}}));
    QCOMPARE(editor.available()->count(), 2);
    QCOMPARE(editor.grid()->item(1, 1)->text(), QString(" < BYE >"));
    editor.add(f[3]);
    QCOMPARE(editor.week(), (Games{{f[0], f[1]}, {f[2], f[3]}}));
    QCOMPARE(editor.available()->count(), 1);

    editor.grid()->setCurrentCell(1, 0);
    QTest::mouseClick(editor.button("btnMoveUp"), Qt::LeftButton);
    QCOMPARE(editor.week(), (Games{{f[2], f[3]}, {f[0], f[1]}}));
    QCOMPARE(editor.grid()->currentRow(), 0);

    editor.grid()->setCurrentCell(1, 0);
    QTest::mouseClick(editor.button("btnRemove"), Qt::LeftButton);
    QCOMPARE(editor.week(), (Games{{f[2], f[3]}}));
    QCOMPARE(editor.grid()->currentRow(), 0);
    QVERIFY(editor.rowOf(f[0]) >= 0);
    QVERIFY(editor.prompter.told.isEmpty());
}

void ScheduleTest::buildsAWeekByDragAndDrop() {
    Editor editor;
    const std::vector<int>& f = editor.franchises;
    HdlDragDrop::DropInfo fromList;
    fromList.source = editor.available();
    fromList.sourceKind = HdlDragDrop::Kind::ListBox;
    fromList.target = editor.grid();
    fromList.targetKind = HdlDragDrop::Kind::Grid;
    const std::tuple<int, int, int> drops[] = {{f[0], 0, 0}, {f[1], 0, 1}, {f[2], 1, 1}};
    for (auto [entry, row, column] : drops) {
        fromList.sourceIndex = editor.rowOf(entry);
        fromList.targetRow = row;
        fromList.targetColumn = column;
        editor.drop(fromList);
    }
    QCOMPARE(editor.week(), (Games{{f[0], f[1]}, {f[2], qff::kByeSide}}));

    // The bye beside franchise 2 gives way to franchise 3 from the list.
    fromList.sourceIndex = editor.rowOf(f[3]);
    fromList.targetRow = 1;
    fromList.targetColumn = 1;
    editor.drop(fromList);
    QCOMPARE(editor.week(), (Games{{f[0], f[1]}, {f[2], f[3]}}));

    HdlDragDrop::DropInfo cell{HdlDragDrop::Kind::Grid, editor.grid(), -1, 1, 0, nullptr,
                               HdlDragDrop::Kind::Grid, editor.grid(), -1, 0, 1, nullptr};
    editor.drop(cell);
    QCOMPARE(editor.week(), (Games{{f[0], f[2]}, {f[1], f[3]}}));

    fromList.sourceIndex = editor.rowOf(qff::kByeSide);
    fromList.targetRow = 0;
    fromList.targetColumn = 1;
    editor.drop(fromList);
    QCOMPARE(editor.week(), (Games{{f[0], qff::kByeSide}, {f[1], f[3]}}));

    HdlDragDrop::DropInfo toList{
        HdlDragDrop::Kind::Grid,    editor.grid(),      -1, 0,  1,  nullptr,
        HdlDragDrop::Kind::ListBox, editor.available(), 0,  -1, -1, nullptr};
    editor.drop(toList);
    QCOMPARE(editor.week(), (Games{{f[0], qff::kByeSide}, {f[3], qff::kByeSide}}));
    QVERIFY(editor.rowOf(f[1]) >= 0);
    QVERIFY(editor.prompter.told.isEmpty());
}

void ScheduleTest::severalGamesAWeekKeepFranchisesAvailable() {
    Editor editor;
    const std::vector<int>& f = editor.franchises;
    editor.folder.context().preferences().set(qff::kPrefSeveralGamesAWeek, 1);
    editor.form->reload();
    editor.add(f[0]);
    editor.add(f[1]);
    QVERIFY(editor.rowOf(f[0]) >= 0);
    editor.add(f[0]);
    editor.add(f[2]);
    QCOMPARE(editor.week(), (Games{{f[0], f[1]}, {f[0], f[2]}}));

    HdlDragDrop::DropInfo self;
    self.source = editor.available();
    self.sourceKind = HdlDragDrop::Kind::ListBox;
    self.sourceIndex = editor.rowOf(f[1]);
    self.target = editor.grid();
    self.targetKind = HdlDragDrop::Kind::Grid;
    self.targetRow = 0;
    self.targetColumn = 0;
    editor.drop(self);
    QCOMPARE(editor.prompter.told, QStringList{"Teams are not allowed to play themselves."});
    QCOMPARE(editor.week(), (Games{{f[0], f[1]}, {f[0], f[2]}}));
    QCOMPARE(editor.grid()->item(0, 1)->text(),
             editor.available()->item(editor.rowOf(f[1]))->text());
}

void ScheduleTest::generatesForTwoLeaguesAtOnce() {
    SeasonFolder folder(smallSeason(2));
    QVERIFY(folder.opened());
    qff::Singleton& season = folder.context();
    std::vector<int> leagues = leagueIds(season);
    QCOMPARE(leagues.size(), std::size_t{2});
    for (int league : leagues) {
        QCOMPARE(season.schedule().reset(league), qff::kOk);
    }
    season.seasonState().set(qff::kCurrentLeague, leagues[0]);
    RecordingPrompter prompter;
    TformGenerateSchedule dialog(season, prompter);
    auto* list = dialog.findChild<QListWidget*>("lstLeagues");
    QCOMPARE(list->count(), 3);
    QCOMPARE(leagueItem(*list, leagues[0])->checkState(), Qt::Checked);
    QCOMPARE(leagueItem(*list, leagues[1])->checkState(), Qt::Unchecked);
    leagueItem(*list, leagues[1])->setCheckState(Qt::Checked);
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnOk"), Qt::LeftButton);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(dialog.generated());
    QVERIFY(prompter.asked.isEmpty());
    QVERIFY(prompter.told.isEmpty());
    for (int league : leagues) {
        for (int week : {0, 1, 2}) {
            QCOMPARE(gamesOf(season, league, week).size(), std::size_t{2});
        }
    }
}

void ScheduleTest::generationKeepsASchedulePeopleWantKept() {
    SeasonFolder folder(smallSeason(1));
    qff::Singleton& season = folder.context();
    int league = leagueIds(season).front();
    season.seasonState().set(qff::kCurrentLeague, league);
    Games before = gamesOf(season, league, 0);
    QVERIFY(!before.empty());
    RecordingPrompter prompter;
    TformGenerateSchedule dialog(season, prompter);
    QTest::mouseClick(dialog.findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    QCOMPARE(prompter.asked.size(), 1);
    QVERIFY(prompter.asked[0].startsWith("League \""));
    QVERIFY(
        prompter.asked[0].endsWith("\" already has a schedule.\n\nDo you want to erase it and "
                                   "generate a new one?"));
    QVERIFY(!dialog.generated());
    QCOMPARE(gamesOf(season, league, 0), before);
}

// The offer comes only to someone at the screen.
class WatchedPrompter : public RecordingPrompter {
  public:
    bool watched() const override { return true; }
};

void ScheduleTest::aLeagueWithoutScheduleIsOfferedOneOnce() {
    SeasonFolder folder(smallSeason(1));
    QVERIFY(folder.opened());
    int league = leagueIds(folder.context()).front();
    for (int week = 0; week < folder.context().pro().weeks(); ++week) {
        QCOMPARE(folder.context().schedule().clearWeek(league, week), qff::kOk);
    }
    folder.context().seasonState().set(qff::kCurrentLeague, league);
    WatchedPrompter prompter;
    TformSchedule form(folder.context(), prompter);
    form.show();
    QTRY_COMPARE(prompter.asked.size(), 1);
    QCOMPARE(prompter.askedCaptions, QStringList{"Quillmar Notification"});
    QVERIFY(prompter.asked.front().startsWith(
        "It has been determined that you have not created a schedule"));
    form.hide();
    form.show();
    QTest::qWait(400);
    QCOMPARE(prompter.asked.size(), 1);
    QVERIFY(!folder.context().schedule().hasSchedule(league));
}

void ScheduleTest::optionsOpenOnTheScheduleTab() {
    Editor editor;
    QString shownTab;
    QTimer::singleShot(0, [&shownTab] {
        auto* options = qobject_cast<TformOptions*>(QApplication::activeModalWidget());
        if (options != nullptr) {
            shownTab =
                options->findChild<QTabWidget*>("tabsApplication")->currentWidget()->objectName();
            options->reject();
        }
    });
    QTest::mouseClick(editor.button("btnOptions"), Qt::LeftButton);
    QCOMPARE(shownTab, QString("tabHthSchedule"));
}

QTEST_MAIN(ScheduleTest)
#include "schedule_test.moc"
