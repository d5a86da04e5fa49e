#include "tests/app/support/AppFixture.h"

#include "data02/season/State.h"
#include "data02/storage/Db_file.h"
#include "tests/support/FileSizeLimit.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/scoring/CloseWeek.h"

using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;

namespace {

constexpr int kYear = 2003;

qff::DemoOptions smallSeason(int weeksMerged) {
    qff::DemoOptions options = qff::apptest::smallDemo();
    options.year = kYear;
    options.weeksMerged = weeksMerged;
    return options;
}

QPushButton* button(TformCloseWeek& dialog, QDialogButtonBox::StandardButton which) {
    return dialog.findChild<QDialogButtonBox*>("buttons")->button(which);
}

// What the state file holds for a week, read afresh.
int flagOnDisk(qff::Singleton& season, int week) {
    qff::SeasonState& state = season.seasonState();
    return state.open(kYear) == qff::kOk ? state.weekHasStats(week) : -1;
}

}  // namespace

class CloseWeekTest : public QObject {
    Q_OBJECT

  private slots:
    void startsOnTheLastCountedWeek_data();
    void startsOnTheLastCountedWeek();
    void okWritesTheFlagAtOnce();
    void cancelChangesNothing();
    void aFailedWriteIsReportedAndTheWeekStaysOpen();
};

void CloseWeekTest::startsOnTheLastCountedWeek_data() {
    QTest::addColumn<int>("merged");
    QTest::addColumn<QString>("selected");
    QTest::newRow("none counted") << 0 << "radioWeek1";
    QTest::newRow("two counted") << 2 << "radioWeek2";
}

void CloseWeekTest::startsOnTheLastCountedWeek() {
    QFETCH(int, merged);
    QFETCH(QString, selected);
    SeasonFolder folder(smallSeason(merged));
    QVERIFY(folder.opened());
    RecordingPrompter prompter;
    TformCloseWeek dialog(folder.context(), prompter);
    QCOMPARE(dialog.findChildren<QRadioButton*>().size(), 17);
    QVERIFY(dialog.findChild<QRadioButton*>(selected)->isChecked());
    QCOMPARE(dialog.findChild<QGroupBox*>("radioWeekToClose")->title(), QString(" Week To Close "));
}

void CloseWeekTest::okWritesTheFlagAtOnce() {
    SeasonFolder folder(smallSeason(0));
    QVERIFY(folder.opened());
    RecordingPrompter prompter;
    TformCloseWeek dialog(folder.context(), prompter);
    dialog.show();
    button(dialog, QDialogButtonBox::Ok)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(flagOnDisk(folder.context(), 0), 1);
    QCOMPARE(prompter.told,
             QStringList{"Week 1 has no NFL statistics yet, so it counts only until the season "
                         "is opened again."});
}

void CloseWeekTest::cancelChangesNothing() {
    SeasonFolder folder(smallSeason(1));
    QVERIFY(folder.opened());
    RecordingPrompter prompter;
    TformCloseWeek dialog(folder.context(), prompter);
    dialog.show();
    dialog.findChild<QRadioButton*>("radioWeek5")->click();
    button(dialog, QDialogButtonBox::Cancel)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(flagOnDisk(folder.context(), 4), 0);
    QVERIFY(prompter.told.isEmpty());
}

void CloseWeekTest::aFailedWriteIsReportedAndTheWeekStaysOpen() {
    SeasonFolder folder(smallSeason(1));
    QVERIFY(folder.opened());
    RecordingPrompter prompter;
    TformCloseWeek dialog(folder.context(), prompter);
    dialog.show();
    dialog.findChild<QRadioButton*>("radioWeek2")->click();
    {
        qff::test::FileSizeLimit limit(qff::DBFile::kHeaderSize);
        button(dialog, QDialogButtonBox::Ok)->click();
    }
    QCOMPARE(prompter.told, QStringList{"Week 2 could not be closed."});
    QVERIFY(dialog.isVisible());
    QCOMPARE(folder.context().seasonState().weekHasStats(1), 0);
    QCOMPARE(flagOnDisk(folder.context(), 1), 0);
}

QTEST_MAIN(CloseWeekTest)
#include "closeweek_test.moc"
