// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Divqry.h"
#include "data02/model/Player.h"
#include "data02/reports/Report.h"
#include "data02/reports/Rpt_assist.h"
#include "data02/reports/Rpt_define.h"
#include "data02/reports/Rpt_tree_groups.h"
#include "data02/reports/Rptqry.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/reports/PreviewHeader.h"
#include "app/reports/ReportIO.h"
#include "app/shell/Main.h"
#include "tests/app/support/AppFixture.h"
#include "tests/support/ReportDefinitions.h"

using qff::apptest::child;
using qff::apptest::chooseIndex;
using qff::apptest::click;
using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;
using qff::apptest::smallDemo;
using qff::apptest::whenModal;

namespace fs = std::filesystem;

namespace {

constexpr int kYear = 2003;
constexpr const char* kReportFile = "Rpt_03.DB";
constexpr const char* kKickersName = "Kickers by Points";
constexpr const char* kKickersHeader = "Kickers ranked by points";
constexpr const char* kName = "Player Name";
constexpr const char* kTeam = "NFL Team";
constexpr const char* kPoints = "Total Points Scored";

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int code(const char* item) {
    return qff::Report::itemCode(qff::kPlayerReport, item);
}

qff::ReportColumn defaultColumn(const char* item) {
    return *qff::Report::defaultColumn(qff::kPlayerReport, code(item));
}

// The kickers report as the walk through the pages below defines it.
qff::ReportDefinition kickers() {
    qff::ReportDefinition definition;
    definition.type = qff::kPlayerReport;
    definition.name = kKickersName;
    definition.header = kKickersHeader;
    definition.columns = {defaultColumn(kName), defaultColumn(kTeam), defaultColumn(kPoints)};
    definition.sorts = {{code(kPoints), true}};
    definition.rows = {qff::PlayerQueryNode::kByPosition, {qff::kPK}, qff::kActiveAndBench};
    return definition;
}

int idNamed(qff::Singleton& season, const std::string& name) {
    const qff::Report* report = season.reportQuery().cached(std::string_view(name));
    return report != nullptr ? report->id() : 0;
}

qff::ReportDefinition definitionOf(qff::Singleton& season, int id) {
    const qff::Report* report = season.reportQuery().cached(id);
    return report != nullptr ? qff::ReportDefinition::of(*report) : qff::ReportDefinition{};
}

// Runs the command-line tool; false, with what it said, when it fails.
bool runQff(const QStringList& arguments) {
    QProcess qff;
    qff.start(QFF_CLI, arguments);
    if (!qff.waitForFinished(60000) || qff.exitCode() != 0) {
        qWarning("qff: %s", qff.readAllStandardError().constData());
        return false;
    }
    return true;
}

TformReportIO::Page pageOf(TformReportIO& assistant) {
    return assistant.page();
}

void next(TformReportIO& assistant) {
    click(assistant, "buttonNext");
}

void check(TformReportIO& assistant, const char* radio) {
    child<QRadioButton>(assistant, radio).setChecked(true);
}

void setText(TformReportIO& assistant, const char* field, const QString& text) {
    child<QLineEdit>(assistant, field).setText(text);
}

// Selects the entries of `list` whose text starts with one of `texts`.
void selectEntries(QListWidget& list, const QStringList& texts) {
    list.clearSelection();
    for (int row = 0; row < list.count(); ++row) {
        for (const QString& text : texts) {
            if (list.item(row)->text().startsWith(text)) {
                list.setCurrentRow(row, QItemSelectionModel::Select);
            }
        }
    }
}

// Adds the item `name` from whichever category lists it.
bool addColumn(TformReportIO& assistant, const QString& name) {
    auto& categories = child<QListWidget>(assistant, "listCategories");
    auto& available = child<QListWidget>(assistant, "listAvailableItems");
    for (int row = 0; row < categories.count(); ++row) {
        categories.setCurrentRow(row);
        QList<QListWidgetItem*> found = available.findItems(name, Qt::MatchExactly);
        if (!found.isEmpty()) {
            available.clearSelection();
            found.first()->setSelected(true);
            click(assistant, "btnColumnAdd");
            return true;
        }
    }
    return false;
}

void chooseSort(TformReportIO& assistant, int level, const QString& item) {
    auto& combo = child<QComboBox>(assistant, qPrintable(QString("comboSortLevel%1").arg(level)));
    chooseIndex(combo, combo.findText(item));
}

// New mode up to the name page, with the type chosen.
void startNew(TformReportIO& assistant, const char* typeRadio, const QString& name,
              const QString& header) {
    check(assistant, typeRadio);
    next(assistant);
    setText(assistant, "editReportName", name);
    setText(assistant, "editReportHeader", header);
}

// The kickers report through every page of a new player report, up to the
// conclusion.
void defineKickers(TformReportIO& assistant) {
    startNew(assistant, "radioTypePlayer", kKickersName, kKickersHeader);
    next(assistant);
    check(assistant, "radioPlayersPosition");
    check(assistant, "radioUnitsIndividual");
    qff::apptest::chooseData(child<QComboBox>(assistant, "comboPlayersPosition"), qff::kPK);
    next(assistant);
    for (const char* item : {kName, kTeam, kPoints}) {
        addColumn(assistant, item);
    }
    next(assistant);
    next(assistant);
    next(assistant);
    chooseSort(assistant, 1, kPoints);
    next(assistant);
}

void chooseEditReport(TformReportIO& assistant, int id) {
    auto& list = child<QListWidget>(assistant, "listEditReports");
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->data(Qt::UserRole).toInt() == id) {
            list.setCurrentRow(row);
        }
    }
}

}  // namespace

class ReportIOTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void newPlayerReportIsStoredAndRunsAsAnImportedOne();
    void editChangesOnlyTheChosenArea();
    void goingBackToTheAreaChoiceSavesARename();
    void reportPackOfTwoReportsRuns();
    void doubleClicksMoveEntriesBetweenTheLists();
    void franchiseReportOfOneDivision();
    void cancelLeavesTheReportFileAsItWas_data();
    void cancelLeavesTheReportFileAsItWas();
    void namePageRefusesWhatCannotBeStored_data();
    void namePageRefusesWhatCannotBeStored();
    void nameFieldDropsKeysANameCannotHold();
    void packAsksOnlyForAName();
    void sixtyFourthColumnDisablesAdding();
    void sectionSpansTheSelectedColumns();
    void sortLevelsArePackedToTheFront();
    void headerPreviewIsShownThenDeleted();
    void packThatWouldContainItselfIsRefused();
    void newReportAppearsInTheReportTreeAtOnce();

  private:
    qff::Singleton& season() { return folder_->context(); }
    std::string reportBytes() { return readBytes(folder_->path() / kReportFile); }
    int store(const qff::ReportDefinition& definition) {
        return qff::addReport(season(), definition).id;
    }

    std::unique_ptr<SeasonFolder> folder_;
    RecordingPrompter prompter_;
};

void ReportIOTest::init() {
    folder_ = std::make_unique<SeasonFolder>(smallDemo());
    QVERIFY(folder_->opened());
    prompter_ = RecordingPrompter();
}

void ReportIOTest::cleanup() {
    folder_.reset();
}

void ReportIOTest::newPlayerReportIsStoredAndRunsAsAnImportedOne() {
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    defineKickers(assistant);
    QCOMPARE(pageOf(assistant), TformReportIO::kFinishedPage);
    QCOMPARE(child<QLabel>(assistant, "labelTitle").text(), QString("Conclusion"));
    QVERIFY(!child<QPushButton>(assistant, "buttonNext").isEnabled());
    click(assistant, "buttonFinished");
    QCOMPARE(assistant.result(), int(QDialog::Accepted));
    QVERIFY2(prompter_.told.isEmpty(), qPrintable(prompter_.told.join("\n")));
    QCOMPARE(assistant.storedGroup(), int(qff::kPlayerReport));
    int id = idNamed(season(), kKickersName);
    QVERIFY(id != 0);
    QVERIFY(definitionOf(season(), id) == kickers());

    qff::ReportRunResult run = qff::runTreeNode(season(), qff::kPlayerReport, id, 4, 8);
    QVERIFY2(run.page.has_value(), run.message.c_str());
    std::string page = readBytes(*run.page);
    QVERIFY(page.find(kKickersHeader) != std::string::npos);

    SeasonFolder imported(smallDemo());
    fs::path file = imported.path() / "kickers.json";
    std::ofstream(file) << R"({"type": "player", "name": ")" << kKickersName << R"(", "header": ")"
                        << kKickersHeader << R"(",
        "columns": [{"item": "Player Name"}, {"item": "NFL Team"}, {"item": "Total Points Scored"}],
        "sort": [{"item": "Total Points Scored", "order": "descending"}],
        "rows": {"kind": 4, "values": [4]}})";
    QString workdir = QString::fromStdString(imported.path().string());
    QVERIFY(runQff({"--workdir", workdir, "open", "--year", QString::number(kYear)}));
    QVERIFY(
        runQff({"--workdir", workdir, "report", "import", QString::fromStdString(file.string())}));
    QCOMPARE(imported.context().reportQuery().reload(kYear), int(qff::kOk));
    int importedId = idNamed(imported.context(), kKickersName);
    QVERIFY(definitionOf(imported.context(), importedId) == kickers());
    qff::ReportRunResult importedRun =
        qff::runTreeNode(imported.context(), qff::kPlayerReport, importedId, 4, 8);
    QVERIFY(importedRun.page.has_value());
    QVERIFY(page == readBytes(*importedRun.page));
}

void ReportIOTest::editChangesOnlyTheChosenArea() {
    int id = store(kickers());
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::Edit);
    QCOMPARE(child<QLabel>(assistant, "labelTitle").text(), QString("Edit Existing Report"));
    chooseEditReport(assistant, id);
    QCOMPARE(child<QRadioButton>(assistant, "radioAreaColumns").text(), QString("Player Data"));
    check(assistant, "radioAreaSort");
    next(assistant);
    QCOMPARE(pageOf(assistant), TformReportIO::kSortOrderPage);
    QVERIFY(child<QPushButton>(assistant, "buttonNext").isHidden());
    chooseSort(assistant, 1, kName);
    QCOMPARE(child<QComboBox>(assistant, "comboSortOrder1").currentText(), QString("Ascending"));
    click(assistant, "buttonFinished");
    QCOMPARE(assistant.result(), int(QDialog::Accepted));

    qff::ReportDefinition expected = kickers();
    expected.sorts = {{code(kName), false}};
    QVERIFY(definitionOf(season(), id) == expected);
    QCOMPARE(assistant.storedGroup(), int(qff::kPlayerReport));
}

void ReportIOTest::goingBackToTheAreaChoiceSavesARename() {
    int id = store(kickers());
    store(qff::test::packDefinition("Weekly Pack", {id}));
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::Edit);
    chooseEditReport(assistant, id);
    check(assistant, "radioAreaName");
    next(assistant);
    setText(assistant, "editReportName", "Weekly Pack");
    click(assistant, "buttonBack");
    QCOMPARE(prompter_.told, QStringList{qff::kReportRenamedToUsedMessage});
    QCOMPARE(pageOf(assistant), TformReportIO::kNamePage);

    setText(assistant, "editReportName", "Kickers Renamed");
    click(assistant, "buttonBack");
    QCOMPARE(pageOf(assistant), TformReportIO::kEditIntroPage);
    QCOMPARE(definitionOf(season(), id).name, std::string("Kickers Renamed"));
    QVERIFY(child<QListWidget>(assistant, "listEditReports")
                .currentItem()
                ->text()
                .startsWith("Kickers Renamed"));
    click(assistant, "buttonCancel");
    QCOMPARE(definitionOf(season(), id).name, std::string("Kickers Renamed"));
    QCOMPARE(assistant.storedGroup(), int(qff::kPlayerReport));
}

void ReportIOTest::reportPackOfTwoReportsRuns() {
    int first = store(kickers());
    qff::ReportDefinition second = kickers();
    second.name = "Kickers Again";
    int secondId = store(second);
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    startNew(assistant, "radioTypePack", "Kicking Pack", "");
    next(assistant);
    QCOMPARE(pageOf(assistant), TformReportIO::kReportPackPage);
    auto& available = child<QListWidget>(assistant, "listPackAvailable");
    selectEntries(available, {"Kickers Again", "Kickers by Points"});
    click(assistant, "btnPackAdd");
    auto& selected = child<QListWidget>(assistant, "listPackSelected");
    QCOMPARE(selected.count(), 2);
    QCOMPARE(selected.item(0)->text(), QString("Kickers Again  (P)  %1").arg(secondId));
    selected.setCurrentRow(1);
    click(assistant, "btnPackUp");
    next(assistant);
    QCOMPARE(pageOf(assistant), TformReportIO::kFinishedPage);
    click(assistant, "buttonFinished");
    QVERIFY2(prompter_.told.isEmpty(), qPrintable(prompter_.told.join("\n")));
    QCOMPARE(assistant.storedGroup(), int(qff::kReportPack));

    int pack = idNamed(season(), "Kicking Pack");
    QVERIFY(definitionOf(season(), pack).members == (std::vector<int>{first, secondId}));
    QVERIFY(qff::reportPageWritten(qff::runTreeNode(season(), qff::kReportPack, pack, 4, 8)));
}

void ReportIOTest::doubleClicksMoveEntriesBetweenTheLists() {
    store(kickers());
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    startNew(assistant, "radioTypePack", "Clicked Pack", "");
    next(assistant);
    auto& available = child<QListWidget>(assistant, "listPackAvailable");
    auto& selected = child<QListWidget>(assistant, "listPackSelected");
    emit available.itemDoubleClicked(available.findItems(kKickersName, Qt::MatchStartsWith)[0]);
    QCOMPARE(selected.count(), 1);
    emit selected.itemDoubleClicked(selected.item(0));
    QCOMPARE(selected.count(), 0);
    QCOMPARE(available.findItems(kKickersName, Qt::MatchStartsWith).size(), 1);

    TformReportIO player(season(), prompter_, TformReportIO::Mode::New);
    startNew(player, "radioTypePlayer", "Clicked Columns", "Columns");
    next(player);
    next(player);
    auto& items = child<QListWidget>(player, "listAvailableItems");
    auto& columns = child<QListWidget>(player, "listSelectedColumns");
    emit items.itemDoubleClicked(items.item(0));
    emit items.itemDoubleClicked(items.item(1));
    QCOMPARE(columns.count(), 2);
    QCOMPARE(columns.item(1)->text(), items.item(1)->text());
    emit columns.itemDoubleClicked(columns.item(0));
    QCOMPARE(columns.count(), 1);
    QCOMPARE(columns.item(0)->text(), items.item(1)->text());
}

// A franchise report lists franchise items and stores its rows and sort
// order in the franchise selection; an edit relabels the areas for it.
void ReportIOTest::franchiseReportOfOneDivision() {
    int league = season().seasonState().peek(qff::kCurrentLeague);
    const qff::Division* division = season().divisionQuery().leagueDivisions(league).at(0);
    int divisionId = division->getValue(qff::kDivisionId);
    qff::ReportItemCategory first = qff::Report::itemCategories(qff::kFranchiseReport).at(0);
    QString item = QString::fromStdString(qff::Report::columnListName(first.codes.at(0)));

    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    startNew(assistant, "radioTypeFranchise", "Division Table", "One division");
    next(assistant);
    QCOMPARE(pageOf(assistant), TformReportIO::kTeamRowsPage);
    QCOMPARE(child<QLabel>(assistant, "labelTitle").text(), QString("Franchises to Include"));
    check(assistant, "radioTeamDivision");
    qff::apptest::chooseData(child<QComboBox>(assistant, "comboTeamDivision"), divisionId);
    next(assistant);
    QVERIFY(addColumn(assistant, item));
    next(assistant);
    next(assistant);
    next(assistant);
    chooseSort(assistant, 1, item);
    next(assistant);
    click(assistant, "buttonFinished");
    QVERIFY2(prompter_.told.isEmpty(), qPrintable(prompter_.told.join("\n")));
    QCOMPARE(assistant.storedGroup(), int(qff::kFranchiseReport));
    int id = idNamed(season(), "Division Table");
    qff::ReportDefinition stored = definitionOf(season(), id);
    QCOMPARE(stored.type, int(qff::kFranchiseReport));
    QVERIFY(stored.rows == (qff::ReportRows{qff::kFranchisesOfDivision, {divisionId}, 0}));
    QCOMPARE(stored.sorts.size(), std::size_t(1));
    QCOMPARE(stored.sorts[0].code, first.codes.at(0));

    TformReportIO edit(season(), prompter_, TformReportIO::Mode::Edit);
    chooseEditReport(edit, id);
    QCOMPARE(child<QRadioButton>(edit, "radioAreaRows").text(), QString("Franchises to Include"));
    QCOMPARE(child<QRadioButton>(edit, "radioAreaColumns").text(), QString("Franchise Data"));
    check(edit, "radioAreaRows");
    next(edit);
    QVERIFY(child<QRadioButton>(edit, "radioTeamDivision").isChecked());
    QCOMPARE(child<QComboBox>(edit, "comboTeamDivision").currentData().toInt(), divisionId);
}

void ReportIOTest::cancelLeavesTheReportFileAsItWas_data() {
    QTest::addColumn<int>("nexts");
    QTest::addColumn<bool>("editing");
    QTest::newRow("type page") << 0 << false;
    QTest::newRow("name page") << 1 << false;
    QTest::newRow("players page") << 2 << false;
    QTest::newRow("columns page") << 3 << false;
    QTest::newRow("header page") << 5 << false;
    QTest::newRow("sort page") << 6 << false;
    QTest::newRow("conclusion") << 7 << false;
    QTest::newRow("edited header") << 0 << true;
}

// Every page on the way has something changed before the next one.
void ReportIOTest::cancelLeavesTheReportFileAsItWas() {
    QFETCH(int, nexts);
    QFETCH(bool, editing);
    int id = store(kickers());
    std::string before = reportBytes();
    QVERIFY(!before.empty());
    TformReportIO assistant(season(), prompter_,
                            editing ? TformReportIO::Mode::Edit : TformReportIO::Mode::New);
    if (editing) {
        chooseEditReport(assistant, id);
        check(assistant, "radioAreaName");
        next(assistant);
        setText(assistant, "editReportHeader", "Changed header");
    } else {
        check(assistant, "radioTypePlayer");
        for (int step = 0; step < nexts; ++step) {
            if (pageOf(assistant) == TformReportIO::kNamePage) {
                setText(assistant, "editReportName", "Cancelled");
                setText(assistant, "editReportHeader", "Never stored");
            } else if (pageOf(assistant) == TformReportIO::kColumnsPage) {
                addColumn(assistant, kName);
            } else if (pageOf(assistant) == TformReportIO::kPlayerRowsPage) {
                check(assistant, "radioUnitsAll");
            }
            next(assistant);
        }
        if (pageOf(assistant) == TformReportIO::kSortOrderPage) {
            chooseSort(assistant, 1, kName);
        }
    }
    QVERIFY2(prompter_.told.isEmpty(), qPrintable(prompter_.told.join("\n")));
    click(assistant, "buttonCancel");
    QCOMPARE(assistant.result(), int(QDialog::Rejected));
    QVERIFY(reportBytes() == before);
    QCOMPARE(idNamed(season(), "Cancelled"), 0);
}

void ReportIOTest::namePageRefusesWhatCannotBeStored_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("message");
    QTest::newRow("no name") << ""
                             << "A header" << qff::kReportNameMissingMessage;
    QTest::newRow("no header") << "A name"
                               << "" << qff::kReportNameMissingMessage;
    QTest::newRow("used name") << kKickersName << "A header" << qff::kReportNameUsedMessage;
    QTest::newRow("pasted slash") << "Kick/ers"
                                  << "A header" << qff::kReportNameIllegalMessage;
    QTest::newRow("pasted colon") << "Kick:ers"
                                  << "A header" << qff::kReportNameIllegalMessage;
}

void ReportIOTest::namePageRefusesWhatCannotBeStored() {
    QFETCH(QString, name);
    QFETCH(QString, header);
    QFETCH(QString, message);
    store(kickers());
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    startNew(assistant, "radioTypePlayer", name, header);
    next(assistant);
    QCOMPARE(prompter_.told, QStringList{message});
    QCOMPARE(pageOf(assistant), TformReportIO::kNamePage);
}

void ReportIOTest::nameFieldDropsKeysANameCannotHold() {
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    next(assistant);
    auto& name = child<QLineEdit>(assistant, "editReportName");
    QTest::keyClicks(&name, "Kick/ers: 2_a-b?");
    QCOMPARE(name.text(), QString("Kickers 2_a-b"));
    QTest::keyClick(&name, Qt::Key_Backspace);
    QTest::keyClick(&name, Qt::Key_Home);
    QTest::keyClick(&name, Qt::Key_Delete);
    QCOMPARE(name.text(), QString("ickers 2_a-"));
    auto& title = child<QLineEdit>(assistant, "editSectionTitle");
    QTest::keyClicks(&title, "a<b>");
    QCOMPARE(title.text(), QString("ab"));
    QCOMPARE(child<QLineEdit>(assistant, "editReportName").maxLength(), 63);
    QCOMPARE(child<QLineEdit>(assistant, "editReportHeader").maxLength(), 63);
    QCOMPARE(title.maxLength(), 31);
    QCOMPARE(child<QLineEdit>(assistant, "editColumnHeader").maxLength(), 34);
}

void ReportIOTest::packAsksOnlyForAName() {
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    check(assistant, "radioTypePack");
    next(assistant);
    QVERIFY(child<QLineEdit>(assistant, "editReportHeader").isHidden());
    setText(assistant, "editReportName", "Pack");
    next(assistant);
    QVERIFY(prompter_.told.isEmpty());
    QCOMPARE(pageOf(assistant), TformReportIO::kReportPackPage);
    QCOMPARE(child<QLabel>(assistant, "labelTitle").text(), QString("Report Pack"));
}

void ReportIOTest::sixtyFourthColumnDisablesAdding() {
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    startNew(assistant, "radioTypePlayer", "Wide", "Every column");
    next(assistant);
    next(assistant);
    QCOMPARE(pageOf(assistant), TformReportIO::kColumnsPage);
    auto& add = child<QPushButton>(assistant, "btnColumnAdd");
    for (int i = 0; i < qff::kMaxReportColumns; ++i) {
        QVERIFY(add.isEnabled());
        addColumn(assistant, kPoints);
    }
    QCOMPARE(child<QListWidget>(assistant, "listSelectedColumns").count(), 64);
    QVERIFY(!add.isEnabled());
    QVERIFY(prompter_.told.isEmpty());
    auto& available = child<QListWidget>(assistant, "listAvailableItems");
    emit available.itemDoubleClicked(available.item(0));
    QCOMPARE(prompter_.told, QStringList{qff::kTooManyColumnsMessage});
    QCOMPARE(child<QListWidget>(assistant, "listSelectedColumns").count(), 64);
    child<QListWidget>(assistant, "listSelectedColumns").setCurrentRow(3);
    click(assistant, "btnColumnRemove");
    QVERIFY(add.isEnabled());
    QCOMPARE(child<QListWidget>(assistant, "listSelectedColumns").count(), 63);
}

void ReportIOTest::sectionSpansTheSelectedColumns() {
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    defineKickers(assistant);
    click(assistant, "buttonBack");
    click(assistant, "buttonBack");
    QCOMPARE(pageOf(assistant), TformReportIO::kHeaderPage);
    click(assistant, "btnSectionAdd");
    QCOMPARE(prompter_.told, QStringList{qff::kSectionNeedsColumnsMessage});
    click(assistant, "buttonBack");
    click(assistant, "buttonBack");
    addColumn(assistant, "Pass Points");
    addColumn(assistant, "Rush Points");
    next(assistant);
    next(assistant);
    auto& columns = child<QListWidget>(assistant, "listSectionColumns");
    QCOMPARE(columns.item(1)->text(), QString("2\tNFL Team"));
    columns.clearSelection();
    columns.item(1)->setSelected(true);
    columns.item(4)->setSelected(true);
    click(assistant, "btnSectionAdd");
    auto& sections = child<QListWidget>(assistant, "listSections");
    QCOMPARE(sections.currentItem()->text(), QString("2 - 5\tNeeds new header"));
    QCOMPARE(child<QLineEdit>(assistant, "editSectionTitle").text(), QString("Needs new header"));
    setText(assistant, "editSectionTitle", "Scoring");
    emit child<QLineEdit>(assistant, "editSectionTitle").editingFinished();
    QCOMPARE(sections.currentItem()->text(), QString("2 - 5\tScoring"));

    auto& headers = child<QListWidget>(assistant, "listHeaderColumns");
    headers.setCurrentRow(2);
    setText(assistant, "editColumnHeader", "Points");
    next(assistant);
    next(assistant);
    click(assistant, "buttonFinished");
    qff::ReportDefinition stored = definitionOf(season(), idNamed(season(), kKickersName));
    QVERIFY(std::ranges::find(stored.sections, qff::ReportSection{1, 4, "Scoring"}) !=
            stored.sections.end());
    QCOMPARE(stored.columns[2].header, std::string("Points"));
}

void ReportIOTest::sortLevelsArePackedToTheFront() {
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    defineKickers(assistant);
    click(assistant, "buttonBack");
    QCOMPARE(pageOf(assistant), TformReportIO::kSortOrderPage);
    QCOMPARE(child<QComboBox>(assistant, "comboSortLevel1").currentText(), QString(kPoints));
    QCOMPARE(child<QComboBox>(assistant, "comboSortOrder1").currentText(), QString("Descending"));
    QCOMPARE(child<QComboBox>(assistant, "comboSortLevel2").currentText(),
             QString(qff::kNoSortLevelEntry));
    chooseSort(assistant, 3, kName);
    next(assistant);
    click(assistant, "buttonFinished");
    qff::ReportDefinition stored = definitionOf(season(), idNamed(season(), kKickersName));
    QVERIFY(stored.sorts ==
            (std::vector<qff::ReportSortLevel>{{code(kPoints), true}, {code(kName), false}}));
}

void ReportIOTest::headerPreviewIsShownThenDeleted() {
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::New);
    defineKickers(assistant);
    click(assistant, "buttonBack");
    click(assistant, "buttonBack");
    QString shown;
    bool existed = false;
    whenModal<TformPreviewHeader>([&](TformPreviewHeader& preview) {
        shown = preview.windowTitle();
        existed = fs::exists(folder_->path() / qff::kHeaderPreviewFolder / qff::kHeaderPreviewFile);
        click(preview, "buttonClose");
    });
    click(assistant, "btnPreviewReport");
    QCOMPARE(shown, QString("Report Header Preview"));
    QVERIFY(existed);
    QVERIFY(!fs::exists(folder_->path() / qff::kHeaderPreviewFolder / qff::kHeaderPreviewFile));
    QVERIFY(prompter_.told.isEmpty());
}

void ReportIOTest::packThatWouldContainItselfIsRefused() {
    int report = store(kickers());
    int inner = store(qff::test::packDefinition("Inner Pack", {report}));
    store(qff::test::packDefinition("Outer Pack", {inner}));
    TformReportIO assistant(season(), prompter_, TformReportIO::Mode::Edit);
    chooseEditReport(assistant, inner);
    QCOMPARE(child<QRadioButton>(assistant, "radioAreaRows").text(), QString("Reports to Include"));
    QVERIFY(child<QRadioButton>(assistant, "radioAreaColumns").isHidden());
    check(assistant, "radioAreaRows");
    next(assistant);
    QCOMPARE(pageOf(assistant), TformReportIO::kReportPackPage);
    auto& available = child<QListWidget>(assistant, "listPackAvailable");
    QVERIFY(available.findItems("Inner Pack", Qt::MatchStartsWith).isEmpty());
    selectEntries(available, {"Outer Pack"});
    click(assistant, "btnPackAdd");
    QCOMPARE(prompter_.told,
             QStringList{"The report pack would contain itself through the report pack \"Outer "
                         "Pack\"."});
    QCOMPARE(child<QListWidget>(assistant, "listPackSelected").count(), 1);
    click(assistant, "buttonFinished");
    QVERIFY(definitionOf(season(), inner).members == std::vector<int>{report});
}

void ReportIOTest::newReportAppearsInTheReportTreeAtOnce() {
    folder_.reset();
    QTemporaryDir dir;
    {
        auto context = qff::apptest::createContext(dir.path().toStdString());
        qff::DemoReport report;
        std::string error;
        QVERIFY(context != nullptr && qff::createDemoSeason(*context, smallDemo(), report, error));
    }
    std::ofstream(fs::path(dir.path().toStdString()) / "CurYear.bin") << kYear << "\n";
    TformMain window(dir.path().toStdString(), prompter_);
    QString error;
    QVERIFY2(window.FormCreate(error), qPrintable(error));
    window.show();
    QCoreApplication::processEvents();
    whenModal<TformReportIO>([](TformReportIO& assistant) {
        defineKickers(assistant);
        click(assistant, "buttonFinished");
    });
    window.findChild<QAction*>("menuNewReport")->trigger();
    QVERIFY2(prompter_.told.isEmpty(), qPrintable(prompter_.told.join("\n")));
    auto* tree = window.findChild<QTreeWidget*>("treeReports");
    QVERIFY(tree != nullptr);
    bool found = false;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        found = found || (*it)->text(0) == kKickersName;
    }
    QVERIFY(found);
}

QTEST_MAIN(ReportIOTest)
#include "reportio_test.moc"
