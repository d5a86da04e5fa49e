// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/intake/StatsServer.h"
#include "tests/app/support/AppFixture.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "app/shell/Options.h"

namespace fs = std::filesystem;
using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;

namespace {

constexpr int kYear = 2010;

template <class T>
T& control(QWidget& dialog, const char* name) {
    auto* found = dialog.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control named %s", name);
    }
    return *found;
}

qff::StatsServerSettings storedSettings() {
    qff::StatsServerSettings settings;
    settings.host = "stats.example.org";
    settings.port = 2121;
    settings.user = "quill";
    settings.password = "login-secret";
    settings.folder = "/weekly";
    settings.archivePassword = "zip-secret";
    return settings;
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

// The Statistics Server page of the preferences.
class OptionsStatsTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void thePageShowsTheSettingsButNeverThePasswords();
    void okStoresWhatWasTyped_data();
    void okStoresWhatWasTyped();
    void refusedSettingsKeepTheDialogOpen_data();
    void refusedSettingsKeepTheDialogOpen();
    void aDamagedFileIsShownAndLeftAlone();
    void untouchedSettingsWriteNothing();

  private:
    qff::StatsServerSettings stored() {
        qff::StatsServerLoad load = qff::loadStatsServer(folder_->path());
        if (!load.ok) {
            qFatal("%s", load.error.c_str());
        }
        return load.settings;
    }
    TformOptions& openPage();
    QLineEdit& edit(const char* name) { return control<QLineEdit>(*dialog_, name); }
    void pressOk() {
        QTest::mouseClick(
            control<QDialogButtonBox>(*dialog_, "buttonBox").button(QDialogButtonBox::Ok),
            Qt::LeftButton);
    }

    std::unique_ptr<SeasonFolder> folder_;
    std::unique_ptr<TformOptions> dialog_;
    RecordingPrompter prompter_;
};

void OptionsStatsTest::init() {
    folder_ = std::make_unique<SeasonFolder>(kYear);
    QVERIFY(folder_->opened());
    std::string error;
    QVERIFY2(qff::saveStatsServer(folder_->path(), storedSettings(), error), error.c_str());
    prompter_ = RecordingPrompter();
}

void OptionsStatsTest::cleanup() {
    dialog_.reset();
    folder_.reset();
}

TformOptions& OptionsStatsTest::openPage() {
    dialog_ = std::make_unique<TformOptions>(folder_->context(), -1, prompter_);
    dialog_->show();
    QTest::mouseClick(&control<QToolButton>(*dialog_, "btnStatsServer"), Qt::LeftButton);
    return *dialog_;
}

void OptionsStatsTest::thePageShowsTheSettingsButNeverThePasswords() {
    openPage();
    QCOMPARE(control<QStackedWidget>(*dialog_, "stackPages").currentWidget()->objectName(),
             QString("pageStatsServer"));
    QCOMPARE(edit("editStatsHost").text(), QString("stats.example.org"));
    QCOMPARE(edit("editStatsPort").text(), QString("2121"));
    QCOMPARE(edit("editStatsUser").text(), QString("quill"));
    QCOMPARE(edit("editStatsFolder").text(), QString("/weekly"));
    for (const char* name : {"editStatsPassword", "editArchivePassword"}) {
        QVERIFY(edit(name).text().isEmpty());
        QCOMPARE(edit(name).placeholderText(), QString("unchanged"));
        QCOMPARE(edit(name).echoMode(), QLineEdit::Password);
    }
    QVERIFY(control<QLabel>(*dialog_, "labelStatsServerProblem").isHidden());
}

void OptionsStatsTest::okStoresWhatWasTyped_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("clear");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("archivePassword");
    QTest::newRow("host only") << "editStatsHost"
                               << "other.example.org"
                               << ""
                               << "login-secret"
                               << "zip-secret";
    QTest::newRow("new password") << "editStatsPassword"
                                  << "new-login"
                                  << ""
                                  << "new-login"
                                  << "zip-secret";
    QTest::newRow("new archive password") << "editArchivePassword"
                                          << "new-zip"
                                          << ""
                                          << "login-secret"
                                          << "new-zip";
    QTest::newRow("cleared archive password") << ""
                                              << ""
                                              << "checkClearArchivePassword"
                                              << "login-secret"
                                              << "";
    QTest::newRow("cleared password") << ""
                                      << ""
                                      << "checkClearStatsPassword"
                                      << ""
                                      << "zip-secret";
}

void OptionsStatsTest::okStoresWhatWasTyped() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, clear);
    QFETCH(QString, password);
    QFETCH(QString, archivePassword);
    openPage();
    if (!field.isEmpty()) {
        QLineEdit& target = edit(field.toUtf8().constData());
        target.clear();
        QTest::keyClicks(&target, typed);
    }
    if (!clear.isEmpty()) {
        QTest::mouseClick(&control<QCheckBox>(*dialog_, clear.toUtf8().constData()),
                          Qt::LeftButton);
    }
    pressOk();
    QVERIFY(prompter_.told.isEmpty());
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    qff::StatsServerSettings expected = storedSettings();
    if (field == "editStatsHost") {
        expected.host = typed.toStdString();
    }
    expected.password = password.toStdString();
    expected.archivePassword = archivePassword.toStdString();
    QCOMPARE(stored(), expected);
}

void OptionsStatsTest::refusedSettingsKeepTheDialogOpen_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("port 0") << "editStatsPort"
                            << "0"
                            << "The port must be a number from 1 to 65535.";
    QTest::newRow("port too large") << "editStatsPort"
                                    << "70000"
                                    << "The port must be a number from 1 to 65535.";
    QTest::newRow("empty folder") << "editStatsFolder"
                                  << ""
                                  << "The download folder cannot be empty.";
}

void OptionsStatsTest::refusedSettingsKeepTheDialogOpen() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    openPage();
    control<QToolButton>(*dialog_, "btnApplication").click();
    QLineEdit& target = edit(field.toUtf8().constData());
    target.clear();
    QTest::keyClicks(&target, typed);
    pressOk();
    QCOMPARE(prompter_.told, QStringList{message});
    QVERIFY(dialog_->isVisible());
    QCOMPARE(control<QStackedWidget>(*dialog_, "stackPages").currentWidget()->objectName(),
             QString("pageStatsServer"));
    QCOMPARE(stored(), storedSettings());
}

void OptionsStatsTest::aDamagedFileIsShownAndLeftAlone() {
    fs::path file = qff::statsServerPath(folder_->path());
    std::ofstream(file, std::ios::trunc) << "host=a\nport\n";
    openPage();
    QVERIFY(!control<QGroupBox>(*dialog_, "groupStatsServer").isEnabled());
    QCOMPARE(control<QLabel>(*dialog_, "labelStatsServerProblem").text(),
             QString("The statistics server settings file StatsServer.cfg is damaged: line 2 has "
                     "no \"=\". Correct or remove it; until then these settings cannot be "
                     "changed here."));
    pressOk();
    QVERIFY(prompter_.told.isEmpty());
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(bytesOf(file), std::string("host=a\nport\n"));
}

void OptionsStatsTest::untouchedSettingsWriteNothing() {
    fs::path file = qff::statsServerPath(folder_->path());
    fs::remove(file);
    openPage();
    pressOk();
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QVERIFY(!fs::exists(file));
}

QTEST_MAIN(OptionsStatsTest)
#include "options_stats_test.moc"
