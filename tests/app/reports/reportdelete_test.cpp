// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/demo/Demo.h"
#include "data02/diag/Status.h"
#include "data02/model/Mapfact.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_assist.h"
#include "data02/reports/Rpt_define.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Opening.h"
#include "data02/season/Single.h"
#include "data02/storage/Db_file.h"
#include "tests/app/support/AppFixture.h"
#include "tests/support/ReportDefinitions.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/reports/ReportDelete.h"
#include "app/reports/Rpt_tree.h"
#include "app/shell/Main.h"

namespace fs = std::filesystem;
using qff::apptest::child;
using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;
using qff::apptest::smallDemo;
using qff::apptest::whenModal;

namespace {

qff::ReportDefinition playerReport(const std::string& name) {
    qff::ReportDefinition definition;
    definition.type = qff::kPlayerReport;
    definition.name = name;
    definition.header = name + " by points";
    definition.columns = {*qff::Report::defaultColumn(qff::kPlayerReport, qff::kPlayerName),
                          *qff::Report::defaultColumn(qff::kPlayerReport, 88)};
    definition.rows = qff::playerRowsOf({});
    return definition;
}

qff::ReportDefinition franchiseReport(const std::string& name) {
    qff::ReportDefinition definition;
    definition.type = qff::kFranchiseReport;
    definition.name = name;
    definition.header = name;
    definition.columns = {*qff::Report::defaultColumn(qff::kFranchiseReport, 2003)};
    definition.rows = qff::franchiseRowsOf({});
    return definition;
}

int add(qff::Singleton& season, const qff::ReportDefinition& definition) {
    qff::ReportChange change = qff::addReport(season, definition);
    return change.ok() ? change.id : 0;
}

// The user reports every test starts with; ids 0 when one could not be added.
struct UserReports {
    int backs = 0;
    int franchises = 0;
    int pack = 0;
};

UserReports addUserReports(qff::Singleton& season) {
    UserReports reports;
    reports.backs = add(season, playerReport("Backs"));
    reports.franchises = add(season, franchiseReport("zebra Franchises"));
    reports.pack =
        add(season, qff::test::packDefinition("alpha Pack", {reports.backs, reports.franchises}));
    return reports;
}

QStringList entries(QWidget& dialog) {
    auto& list = child<QListWidget>(dialog, "listReports");
    QStringList texts;
    for (int row = 0; row < list.count(); ++row) {
        texts << list.item(row)->text();
    }
    return texts;
}

QListWidgetItem* entryStartingWith(QWidget& dialog, const QString& name) {
    auto& list = child<QListWidget>(dialog, "listReports");
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->text().startsWith(name + "  (")) {
            return list.item(row);
        }
    }
    return nullptr;
}

QPushButton& okButton(QWidget& dialog) {
    return *child<QDialogButtonBox>(dialog, "buttonBox").button(QDialogButtonBox::Ok);
}

QPushButton& cancelButton(QWidget& dialog) {
    return *child<QDialogButtonBox>(dialog, "buttonBox").button(QDialogButtonBox::Cancel);
}

QString caption(const QString& name, const char* mark, int id) {
    return QString("%1  (%2)  %3").arg(name, mark).arg(id);
}

QStringList captionsBelow(const QTreeWidgetItem* group) {
    QStringList captions;
    for (int i = 0; i < group->childCount(); ++i) {
        captions << group->child(i)->text(0);
    }
    return captions;
}

}  // namespace

class ReportDeleteTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void listsTheDeletableReportsByNameWithTheirMarks();
    void okWaitsForASelection();
    void yesDeletesTheRecordAndPacksDropIt();
    void aDoubleClickAsksAsOkDoes();
    void keepingTheReportLeavesTheFileAsItWas();
    void aReportGoneMeanwhileIsToldAndLeavesTheList();
    void theMenuDeletesAndTheTreeFollowsAtOnce();

  private:
    qff::Singleton& season() { return folder_->context(); }
    std::vector<std::uint8_t> reportFileBytes() const {
        return qff::test::readBytes(folder_->path() /
                                    *qff::seasonFileName(qff::SeasonFile::Rpt, smallDemo().year));
    }
    void select(TformReportDelete& dialog, const QString& name) {
        QListWidgetItem* item = entryStartingWith(dialog, name);
        QVERIFY2(item != nullptr, qPrintable(name));
        item->setSelected(true);
    }

    std::unique_ptr<SeasonFolder> folder_;
    std::unique_ptr<RecordingPrompter> prompter_;
    UserReports reports_;
};

void ReportDeleteTest::init() {
    folder_ = std::make_unique<SeasonFolder>(smallDemo());
    QVERIFY(folder_->opened());
    reports_ = addUserReports(season());
    QVERIFY(reports_.backs != 0 && reports_.franchises != 0 && reports_.pack != 0);
    prompter_ = std::make_unique<RecordingPrompter>();
}

void ReportDeleteTest::cleanup() {
    folder_.reset();
}

void ReportDeleteTest::listsTheDeletableReportsByNameWithTheirMarks() {
    TformReportDelete dialog(season(), *prompter_);
    QCOMPARE(dialog.windowTitle(), QString("Delete Report"));
    QStringList shown = entries(dialog);
    QStringList ours = {caption("alpha Pack", "R", reports_.pack),
                        caption("Backs", "P", reports_.backs),
                        caption("zebra Franchises", "F", reports_.franchises)};
    QStringList oursAsShown;
    for (const QString& entry : shown) {
        if (ours.contains(entry)) {
            oursAsShown << entry;
        }
    }
    QCOMPARE(oursAsShown, ours);
    for (const QString& entry : shown) {
        QString name = entry.section("  (", 0, 0);
        const qff::Report* report = season().reportQuery().cached(name.toStdString());
        QVERIFY2(report != nullptr, qPrintable(entry));
        QVERIFY2(report->getValue(qff::kReportDeletable) != 0, qPrintable(entry));
    }
    qsizetype deletable = std::ranges::count_if(
        season().mapFactory().reports().list(),
        [](const qff::Report* report) { return report->getValue(qff::kReportDeletable) != 0; });
    QCOMPARE(shown.size(), deletable);
    QStringList sorted = shown;
    std::ranges::sort(sorted, [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(shown, sorted);
    QVERIFY(entryStartingWith(dialog, "NFL Schedule") == nullptr);
    QCOMPARE(dialog.deletedType(), 0);
}

void ReportDeleteTest::okWaitsForASelection() {
    TformReportDelete dialog(season(), *prompter_);
    dialog.show();
    QVERIFY(!okButton(dialog).isEnabled());
    select(dialog, "Backs");
    QVERIFY(okButton(dialog).isEnabled());
    child<QListWidget>(dialog, "listReports").clearSelection();
    QVERIFY(!okButton(dialog).isEnabled());
}

void ReportDeleteTest::yesDeletesTheRecordAndPacksDropIt() {
    TformReportDelete dialog(season(), *prompter_);
    dialog.show();
    select(dialog, "Backs");
    prompter_->answer = true;
    okButton(dialog).click();
    QCOMPARE(prompter_->asked, QStringList("Delete the report \"Backs\"? This cannot be undone."));
    QCOMPARE(prompter_->askedCaptions, QStringList("Quillmar Fantasy Football"));
    QVERIFY(prompter_->told.isEmpty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.deletedType(), int(qff::kPlayerReport));
    QCOMPARE(season().reportQuery().cached(reports_.backs), nullptr);
    QCOMPARE(season().reportQuery().cached(reports_.pack)->packMembers(),
             std::vector<int>{reports_.franchises});

    // What the file holds, read afresh.
    QVERIFY(season().reportQuery().reload(smallDemo().year) == qff::kOk);
    QCOMPARE(season().reportQuery().cached(reports_.backs), nullptr);
    QVERIFY(season().reportQuery().cached("Backs") == nullptr);
    QCOMPARE(season().reportQuery().cached(reports_.pack)->packMembers(),
             std::vector<int>{reports_.franchises});
}

void ReportDeleteTest::aDoubleClickAsksAsOkDoes() {
    TformReportDelete dialog(season(), *prompter_);
    dialog.show();
    QListWidgetItem* pack = entryStartingWith(dialog, "alpha Pack");
    QVERIFY(pack != nullptr);
    prompter_->answer = true;
    emit child<QListWidget>(dialog, "listReports").itemDoubleClicked(pack);
    QCOMPARE(prompter_->asked,
             QStringList("Delete the report \"alpha Pack\"? This cannot be undone."));
    QCOMPARE(dialog.deletedType(), int(qff::kReportPack));
    QCOMPARE(season().reportQuery().cached(reports_.pack), nullptr);
}

// Answering No keeps the dialog open for another choice; Cancel closes it.
void ReportDeleteTest::keepingTheReportLeavesTheFileAsItWas() {
    struct Case {
        const char* label;
        std::function<void(TformReportDelete&)> keep;
        bool stillOpen;
    };
    const std::vector<Case> cases = {
        {"No", [](TformReportDelete& dialog) { okButton(dialog).click(); }, true},
        {"Cancel", [](TformReportDelete& dialog) { cancelButton(dialog).click(); }, false},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> before = reportFileBytes();
        TformReportDelete dialog(season(), *prompter_);
        dialog.show();
        select(dialog, "zebra Franchises");
        prompter_->answer = false;
        c.keep(dialog);
        QVERIFY2(dialog.isVisible() == c.stillOpen, c.label);
        QVERIFY2(dialog.deletedType() == 0, c.label);
        QVERIFY2(reportFileBytes() == before, c.label);
        QVERIFY2(season().reportQuery().cached(reports_.franchises) != nullptr, c.label);
        QVERIFY2(entryStartingWith(dialog, "zebra Franchises") != nullptr, c.label);
    }
    QCOMPARE(prompter_->asked,
             QStringList("Delete the report \"zebra Franchises\"? This cannot be undone."));
}

void ReportDeleteTest::aReportGoneMeanwhileIsToldAndLeavesTheList() {
    TformReportDelete dialog(season(), *prompter_);
    dialog.show();
    select(dialog, "Backs");
    QVERIFY(qff::deleteReport(season(), reports_.backs).ok());
    prompter_->answer = true;
    okButton(dialog).click();
    QCOMPARE(prompter_->told, QStringList(qff::kReportMissingMessage));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.deletedType(), 0);
    QVERIFY(entryStartingWith(dialog, "Backs") == nullptr);
    QVERIFY(!okButton(dialog).isEnabled());
}

void ReportDeleteTest::theMenuDeletesAndTheTreeFollowsAtOnce() {
    QTemporaryDir dir;
    fs::path workdir = dir.path().toStdString();
    std::ofstream(workdir / "CurYear.bin") << smallDemo().year << "\n";
    {
        auto context = qff::apptest::createContext(workdir);
        QVERIFY(context);
        qff::DemoReport report;
        std::string error;
        QVERIFY2(qff::createDemoSeason(*context, smallDemo(), report, error), error.c_str());
        QVERIFY(qff::openSeason(*context, smallDemo().year).opened);
        QVERIFY(addUserReports(*context).pack != 0);
    }
    RecordingPrompter prompter;
    TformMain window(workdir, prompter);
    QString error;
    QVERIFY2(window.FormCreate(error), qPrintable(error));
    window.show();
    QVERIFY(window.seasonIsOpen());
    window.DisplayActivity(3, 0);
    auto& tree = child<ReportTree>(window, "treeReports");
    QVERIFY(captionsBelow(tree.groupItem(qff::kPlayerReport)).contains("Backs"));
    QVERIFY(captionsBelow(tree.groupItem(qff::kReportPack)).contains("alpha Pack"));

    prompter.answer = true;
    whenModal<TformReportDelete>([this](TformReportDelete& dialog) {
        select(dialog, "Backs");
        okButton(dialog).click();
        if (dialog.isVisible()) {
            dialog.reject();
        }
    });
    window.findChild<QAction*>("menuDeleteReport")->trigger();
    QCOMPARE(prompter.asked, QStringList("Delete the report \"Backs\"? This cannot be undone."));
    QVERIFY(!captionsBelow(tree.groupItem(qff::kPlayerReport)).contains("Backs"));
    QVERIFY(captionsBelow(tree.groupItem(qff::kReportPack)).contains("alpha Pack"));
    window.closeSeason();
}

QTEST_MAIN(ReportDeleteTest)
#include "reportdelete_test.moc"
