// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/publish/Backup.h"
#include "data02/league/Rosters.h"
#include "data02/league/Structure.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/storage/Db_file.h"
#include "qff/backupzip/zip_backup.h"
#include "qff/platform/zip_archiver.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/publish/BackupData.h"
#include "app/publish/DoBackup.h"
#include "app/shell/Main.h"
#include "tests/app/support/AppFixture.h"

namespace fs = std::filesystem;
using qff::apptest::child;
using qff::apptest::click;
using qff::apptest::RecordingPrompter;
using qff::apptest::whenModal;

namespace {

constexpr int kBackupSection = 2;
constexpr int kBackupActivity = 15;
// A backup of a small season takes a few timer steps of a quarter second.
constexpr int kBackupWaitMs = 60000;

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Every file below the folder with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(folder).generic_string()] =
                readBytes(entry.path());
        }
    }
    return files;
}

}  // namespace

class BackupTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void aSeasonBackedUpInTheWindowIsRestoredAsItWas();
    void cancellingMidBackupLeavesNoArchiveAndTheSeasonOpen();
    void answeringNoToTheRestoreQuestionReplacesNothing();
    void anArchiveThatIsNoBackupIsRefusedBeforeTheQuestion();
    void theFormShowsThePreferencesAndRefusesAnEmptyName();
    void aCalendarSeasonWithoutFilesIsReportedAndTheSeasonStaysOpen();

  private:
    fs::path dir() const { return dir_->path().toStdString(); }
    fs::path archive() const { return dir() / "Backup" / "round.zip"; }
    void createDemoSeason(bool withArchive);
    void openWindow();
    TformBackupData& showBackupForm();
    void startBackup();
    void restoreFrom(const fs::path& archive);
    qff::Team* firstFranchise();
    std::string nameOf(int franchise);

    std::unique_ptr<QTemporaryDir> dir_;
    RecordingPrompter prompter_;
    std::unique_ptr<TformMain> window_;
    qff::DemoOptions demo_ = qff::apptest::smallDemo();
};

void BackupTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    prompter_.told.clear();
    prompter_.asked.clear();
    prompter_.answer = false;
    QVERIFY(dir_->isValid());
    std::ofstream(dir() / "CurYear.bin") << demo_.year << "\n";
}

void BackupTest::cleanup() {
    window_.reset();
    dir_.reset();
}

// The season is made and closed before the window opens it, as a user would
// find it; the archive, when asked for, is made by the data layer alone.
void BackupTest::createDemoSeason(bool withArchive) {
    std::unique_ptr<qff::Singleton> context = qff::apptest::createContext(dir());
    QVERIFY(context);
    qff::DemoReport report;
    std::string error;
    QVERIFY2(qff::createDemoSeason(*context, demo_, report, error), error.c_str());
    QVERIFY(qff::openSeason(*context, demo_.year).opened);
    context->preferences().set(qff::kPrefOpenSeason, demo_.year);
    if (withArchive) {
        qff::backupzip::ZipBackupSink sink(dir(), "");
        qff::BackupRun run(context, qff::SeasonEnv{dir()}, {archive(), true, false}, sink);
        run.runToEnd();
        QVERIFY2(run.status() == qff::BackupRun::Status::Succeeded, run.error().c_str());
    }
    QVERIFY2(qff::closeSeason(context, error), error.c_str());
}

void BackupTest::openWindow() {
    window_ = std::make_unique<TformMain>(dir(), prompter_);
    QString error;
    QVERIFY2(window_->FormCreate(error), qPrintable(error));
    window_->show();
    QVERIFY(window_->seasonIsOpen());
}

TformBackupData& BackupTest::showBackupForm() {
    window_->DisplayActivity(kBackupSection, kBackupActivity);
    auto* form = qobject_cast<TformBackupData*>(window_->hostedForm());
    if (form == nullptr) {
        qFatal("the backup activity shows no backup form");
    }
    return *form;
}

void BackupTest::startBackup() {
    TformBackupData& form = showBackupForm();
    child<QLineEdit>(form, "editBackupFile").setText(QString::fromStdString(archive().string()));
    click(form, "btnBackup");
}

void BackupTest::restoreFrom(const fs::path& file) {
    whenModal<QFileDialog>([file](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(file.string()));
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    window_->findChild<QAction*>("menuRestore")->trigger();
}

qff::Team* BackupTest::firstFranchise() {
    qff::TeamList franchises = window_->context()->teamQuery().allFranchises();
    return franchises.empty() ? nullptr : franchises.front();
}

std::string BackupTest::nameOf(int franchise) {
    qff::Team* team = qff::findFranchise(*window_->context(), franchise);
    return team == nullptr ? std::string() : team->text(qff::kFranchiseName);
}

void BackupTest::aSeasonBackedUpInTheWindowIsRestoredAsItWas() {
    createDemoSeason(false);
    openWindow();
    int franchise = firstFranchise()->id();
    std::string name = firstFranchise()->text(qff::kFranchiseName);

    bool progressShown = false;
    bool closedDuringBackup = false;
    whenModal<TformDoBackup>([&](TformDoBackup& dialog) {
        progressShown = dialog.windowTitle() == "Performing Backup" &&
                        child<QProgressBar>(dialog, "progressBackup").maximum() ==
                            static_cast<int>(dialog.run().files().size());
        connect(&dialog, &TformDoBackup::stepDone, &dialog,
                [&] { closedDuringBackup = closedDuringBackup || window_->context() == nullptr; });
    });
    startBackup();
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(archive()) && window_->seasonIsOpen(), kBackupWaitMs);
    QVERIFY(progressShown);
    QVERIFY2(prompter_.told.isEmpty(), qPrintable(prompter_.told.join('\n')));
    QVERIFY(closedDuringBackup);
    QCOMPARE(window_->openSeason(), demo_.year);
    QVERIFY(qobject_cast<TformBackupData*>(window_->hostedForm()) != nullptr);

    fs::path franchiseFile = dir() / *qff::seasonFileName(qff::SeasonFile::Team, demo_.year);
    std::string backedUp = readBytes(franchiseFile);
    qff::StructureResult renamed =
        qff::rename(*window_->context(), {qff::StructureKind::Franchise, franchise}, "Renamed");
    QVERIFY(renamed.ok());
    QCOMPARE(nameOf(franchise), std::string("Renamed"));
    QVERIFY2(readBytes(franchiseFile) != backedUp, "the new name is in the franchise file");

    prompter_.answer = true;
    restoreFrom(archive());
    QCOMPARE(prompter_.asked.size(), 1);
    QVERIFY(prompter_.asked.front().contains("Do you want to restore the backup?"));
    QVERIFY2(prompter_.told.size() == 1 && prompter_.told.front().contains("were restored from"),
             qPrintable(prompter_.told.join('\n')));
    QVERIFY(window_->seasonIsOpen());
    QCOMPARE(window_->openSeason(), demo_.year);
    QCOMPARE(nameOf(franchise), name);
    QVERIFY(readBytes(franchiseFile) == backedUp);
    QVERIFY(fs::is_directory(dir() / "Backup" / "Replaced 1"));
}

void BackupTest::cancellingMidBackupLeavesNoArchiveAndTheSeasonOpen() {
    createDemoSeason(false);
    openWindow();
    bool closedDuringBackup = false;
    bool ended = false;
    whenModal<TformDoBackup>([&](TformDoBackup& dialog) {
        connect(&dialog, &TformDoBackup::stepDone, &dialog, [&] {
            if (dialog.run().filesAdded() == 1 && !dialog.run().done()) {
                closedDuringBackup = window_->context() == nullptr;
                click(dialog, "btnCancel");
            }
        });
        connect(&dialog, &QDialog::finished, &dialog, [&] { ended = true; });
    });
    startBackup();
    QTRY_VERIFY_WITH_TIMEOUT(ended && window_->seasonIsOpen(), kBackupWaitMs);
    QVERIFY(closedDuringBackup);
    QVERIFY(prompter_.told.isEmpty());
    QVERIFY(!fs::exists(archive()));
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir() / "Backup", ec)) {
        QFAIL(qPrintable("left behind: " + QString::fromStdString(entry.path().string())));
    }
    QCOMPARE(window_->openSeason(), demo_.year);
    QVERIFY(window_->context() != nullptr);
    QVERIFY(qobject_cast<TformBackupData*>(window_->hostedForm()) != nullptr);
}

void BackupTest::answeringNoToTheRestoreQuestionReplacesNothing() {
    createDemoSeason(true);
    openWindow();
    const std::map<std::string, std::string> before = snapshot(dir());
    prompter_.answer = false;
    restoreFrom(archive());
    QCOMPARE(prompter_.asked.size(), 1);
    QVERIFY(prompter_.asked.front().contains(
        QString("the data files of the %1 season").arg(demo_.year)));
    QVERIFY(prompter_.told.isEmpty());
    QVERIFY(snapshot(dir()) == before);
    QVERIFY(window_->seasonIsOpen());
}

void BackupTest::anArchiveThatIsNoBackupIsRefusedBeforeTheQuestion() {
    createDemoSeason(false);
    fs::path notes = dir() / "notes.txt";
    std::ofstream(notes) << "not a season\n";
    fs::path foreign = dir() / "foreign.zip";
    QVERIFY(qff::platform::ZipArchiver().packFlat(foreign, {notes}, "").ok);
    openWindow();
    const std::map<std::string, std::string> before = snapshot(dir());
    prompter_.answer = true;
    restoreFrom(foreign);
    QVERIFY(prompter_.asked.isEmpty());
    QCOMPARE(prompter_.told.size(), 1);
    QVERIFY(prompter_.told.front().contains("holds no season data files"));
    QVERIFY(snapshot(dir()) == before);
    QVERIFY(window_->seasonIsOpen());
}

void BackupTest::theFormShowsThePreferencesAndRefusesAnEmptyName() {
    createDemoSeason(false);
    openWindow();
    window_->context()->preferences().setText(qff::kPrefBackupPassword, "secret");
    window_->context()->preferences().set(qff::kPrefBackupViewedReports, 0);
    TformBackupData& form = showBackupForm();
    QCOMPARE(child<QLineEdit>(form, "editPassword").text(), QString("secret"));
    QCOMPARE(child<QLineEdit>(form, "editPassword").echoMode(), QLineEdit::Password);
    QVERIFY(!child<QCheckBox>(form, "chkIncludeReports").isChecked());
    QCOMPARE(child<QCheckBox>(form, "chkSeasonOnly").text(),
             QString("Only backup data associated to the %1 season").arg(demo_.year));
    QVERIFY(child<QCheckBox>(form, "chkSeasonOnly").isChecked());
    fs::path suggested = child<QLineEdit>(form, "editBackupFile").text().toStdString();
    QCOMPARE(suggested.parent_path(), qff::backupDirectory(*window_->context()));
    QVERIFY(suggested.filename().string().ends_with(".zip"));

    child<QLineEdit>(form, "editBackupFile").setText("  ");
    click(form, "btnBackup");
    QCoreApplication::processEvents();
    QCOMPARE(prompter_.told, QStringList{"Please enter a name for the backup file."});
    QVERIFY(window_->context() != nullptr);
}

// The calendar says 2004 while only the 2003 season has files.
void BackupTest::aCalendarSeasonWithoutFilesIsReportedAndTheSeasonStaysOpen() {
    createDemoSeason(false);
    std::ofstream(dir() / "CurYear.bin") << demo_.year + 1 << "\n";
    openWindow();
    bool ended = false;
    whenModal<TformDoBackup>([&](TformDoBackup& dialog) {
        connect(&dialog, &QDialog::finished, &dialog, [&] { ended = true; });
    });
    startBackup();
    QTRY_VERIFY_WITH_TIMEOUT(ended, kBackupWaitMs);
    QCOMPARE(prompter_.told,
             QStringList{
                 QString("There are no files of the %1 season to back up.").arg(demo_.year + 1)});
    QVERIFY(!fs::exists(archive()));
    QVERIFY(window_->seasonIsOpen());
    QCOMPARE(window_->openSeason(), demo_.year);
}

QTEST_MAIN(BackupTest)
#include "backup_test.moc"
