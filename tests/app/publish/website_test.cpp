// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/publish/Website.h"
#include "data02/model/Legqry.h"
#include "data02/season/State.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/publish/DoWebSite.h"
#include "app/publish/WebSite.h"
#include "app/reports/ReportPane.h"
#include "app/shell/Main.h"
#include "app/shell/Options.h"
#include "app/widgets/PageView.h"
#include "tests/app/support/AppFixture.h"

namespace fs = std::filesystem;

namespace {

using qff::apptest::child;
using qff::apptest::chooseIndex;
using qff::apptest::click;
using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;
using qff::apptest::smallDemo;
using qff::apptest::whenModal;

constexpr int kYear = 2003;
const QString kFailure = "The Web Site content could not be published.\n\nReason: ";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

QString qPath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// The shipped sample template, as a commissioner starts from it.
fs::path sampleTemplate() {
    return fs::path(QFF_SUPPORT_DIR) / "HomePage.htm";
}

// What the progress dialog logged, once it closed.
struct ProgressWatch {
    ProgressWatch() {
        whenModal<TformDoWebSite>([this](TformDoWebSite& dialog) {
            seen = true;
            QObject::connect(&dialog, &QDialog::finished, [this, &dialog] {
                log = child<QPlainTextEdit>(dialog, "memoStatus").toPlainText();
                int visible = 0;
                for (int step = 1; step <= TformDoWebSite::kSteps; ++step) {
                    QLabel& image =
                        child<QLabel>(dialog, qPrintable(QString("imgStep%1").arg(step)));
                    visible += image.isVisibleTo(&dialog) ? 1 : 0;
                    shownImage = image.isVisibleTo(&dialog) ? step : shownImage;
                }
                visibleImages = visible;
                shownStep = dialog.shownStep();
            });
        });
    }
    bool seen = false;
    QString log;
    int visibleImages = 0;
    int shownImage = 0;
    int shownStep = 0;
};

QString successLog(const QString& source, const fs::path& page) {
    return QStringList{">>> Starting generation of Home Page Template", "    Source = " + source,
                       "    Dest = " + qPath(page), "<<< Finished generation of Home Page Template",
                       " "}
        .join('\n');
}

}  // namespace

class WebSiteTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<SeasonFolder> season_;
    std::unique_ptr<RecordingPrompter> prompter_;
    std::unique_ptr<TformWebSite> form_;

    qff::Singleton& context() { return season_->context(); }
    qff::League& league() {
        return *context().leagueQuery().findOne(qff::kLeagueId,
                                                context().seasonState().peek(qff::kCurrentLeague));
    }
    fs::path scratch() const { return season_->path() / qff::kScratchDirectory; }
    fs::path page() const { return scratch() / qff::kHomePageFile; }
    std::string leagueFileBytes() { return readFile(context().leagueFile().pathFor(kYear)); }
    QLineEdit& edit(const char* name) { return child<QLineEdit>(*form_, name); }

  private slots:
    void init() {
        season_ = std::make_unique<SeasonFolder>(smallDemo());
        QVERIFY(season_->opened());
        prompter_ = std::make_unique<RecordingPrompter>();
        form_ = std::make_unique<TformWebSite>(context(), *prompter_);
    }

    void cleanup() {
        form_.reset();
        season_.reset();
    }

    void opensOnTheCurrentLeagueWithTheNamesItKeeps() {
        league().setText(qff::kLeagueHomePage, "/templates/home.htm");
        league().setText(qff::kLeagueOwnerPage, "/templates/owner.htm");
        QCOMPARE(league().save(), qff::kOk);
        context().seasonState().set(qff::kCurrentWeek, 4);
        form_ = std::make_unique<TformWebSite>(context(), *prompter_);
        auto& leagues = child<QComboBox>(*form_, "comboLeague");
        QCOMPARE(leagues.currentData().toInt(), league().getValue(qff::kLeagueId));
        QCOMPARE(leagues.currentText(), QString::fromStdString(league().text(qff::kLeagueName)));
        QCOMPARE(child<QComboBox>(*form_, "comboWeek").currentText(), QString("5"));
        QCOMPARE(edit("editHomePage").text(), QString("/templates/home.htm"));
        QCOMPARE(edit("editOwnerPage").text(), QString("/templates/owner.htm"));
    }

    void choosingALeagueMakesItCurrentAndShowsItsNames() {
        form_.reset();
        qff::DemoOptions options = smallDemo();
        options.leagues = 2;
        season_ = std::make_unique<SeasonFolder>(options);
        QVERIFY(season_->opened());
        auto leagues = context().leagueQuery().allLeagues();
        QVERIFY(leagues.size() >= 2);
        leagues[1]->setText(qff::kLeagueHomePage, "/second/home.htm");
        leagues[1]->setText(qff::kLeagueOwnerPage, "/second/owner.htm");
        QCOMPARE(leagues[1]->save(), qff::kOk);
        context().seasonState().set(qff::kCurrentLeague, leagues[0]->getValue(qff::kLeagueId));
        form_ = std::make_unique<TformWebSite>(context(), *prompter_);
        QCOMPARE(edit("editHomePage").text(), QString());

        int second = leagues[1]->getValue(qff::kLeagueId);
        qff::apptest::chooseData(child<QComboBox>(*form_, "comboLeague"), second);
        QCOMPARE(context().seasonState().peek(qff::kCurrentLeague), second);
        QCOMPARE(edit("editHomePage").text(), QString("/second/home.htm"));
        QCOMPARE(edit("editOwnerPage").text(), QString("/second/owner.htm"));
    }

    void publishingMakesTheDataLayersPageAndOffersIt() {
        QSignalSpy published(form_.get(), &TformWebSite::pagePublished);
        QString source = qPath(sampleTemplate());
        edit("editHomePage").setText(source);
        edit("editOwnerPage").setText("/templates/owner.htm");
        ProgressWatch progress;
        click(*form_, "btnPublishWebSite");

        QVERIFY(progress.seen);
        QCOMPARE(progress.log, successLog(source, page()));
        QCOMPARE(prompter_->told, QStringList());
        QCOMPARE(published.count(), 1);
        QCOMPARE(published.at(0).at(0).toString(), qPath(page()));
        std::string shown = readFile(page());
        QVERIFY(shown.find("Welcome, owners!") != std::string::npos);
        QVERIFY(shown.find("NAME_OF_YOUR_LEAGUE") == std::string::npos);

        qff::PublishRequest request;
        request.league = league().getValue(qff::kLeagueId);
        qff::PublishResult direct = qff::publishWebSite(context(), request);
        QVERIFY(direct.ok);
        QCOMPARE(readFile(page()), shown);
    }

    void aTemplateThatCannotBeUsedIsReportedAndNoPageWritten_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("too large") << "large";
    }

    void aTemplateThatCannotBeUsedIsReportedAndNoPageWritten() {
        QFETCH(QString, kind);
        fs::path name = season_->path() / "missing.htm";
        QString reason = "Could not open source file: " + qPath(name) + ".";
        bool refusedFirst = kind != "missing";
        if (kind == "folder") {
            name = season_->path();
            reason = qPath(name) + " is not a regular file.";
        } else if (kind == "large") {
            name = season_->path() / "large.htm";
            writeFile(name, std::string(qff::kMaxTemplateBytes + 1, 'x'));
            reason = qPath(name) + " is larger than 1 MiB; a template is at most 1 MiB.";
        }
        std::string before = leagueFileBytes();
        QSignalSpy published(form_.get(), &TformWebSite::pagePublished);
        edit("editHomePage").setText(qPath(name));
        std::unique_ptr<ProgressWatch> progress;
        if (!refusedFirst) {
            progress = std::make_unique<ProgressWatch>();
        }
        click(*form_, "btnPublishWebSite");

        QCOMPARE(prompter_->told, QStringList{kFailure + reason});
        QCOMPARE(published.count(), 0);
        QVERIFY(!fs::exists(page()));
        if (refusedFirst) {
            QVERIFY(leagueFileBytes() == before);
            QVERIFY(!fs::exists(scratch()));
        } else {
            QVERIFY(progress->log.contains("    ERROR - Could not open source file"));
            QCOMPARE(QString::fromStdString(league().text(qff::kLeagueHomePage)), qPath(name));
        }
    }

    void theNamesAreStoredOnlyWhenPublishing() {
        std::string before = leagueFileBytes();
        QString source = qPath(sampleTemplate());
        chooseIndex(child<QComboBox>(*form_, "comboLeague"), 0);
        chooseIndex(child<QComboBox>(*form_, "comboWeek"), 2);
        edit("editHomePage").setText(source);
        edit("editOwnerPage").setText("/templates/owner.htm");
        whenModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
        click(*form_, "btnBrowseOwnerPage");
        QVERIFY(leagueFileBytes() == before);
        QCOMPARE(league().text(qff::kLeagueHomePage), std::string());

        ProgressWatch progress;
        click(*form_, "btnPublishWebSite");
        QVERIFY(leagueFileBytes() != before);
        QVERIFY(qff::openSeason(context(), kYear).opened);
        QCOMPARE(QString::fromStdString(league().text(qff::kLeagueHomePage)), source);
        QCOMPARE(league().text(qff::kLeagueOwnerPage), std::string("/templates/owner.htm"));
    }

    void aRelativeNameIsTakenFromTheWorkingFolder() {
        fs::create_directory(season_->path() / "templates");
        writeFile(season_->path() / "templates" / "home.htm", "Hello NAME_OF_YOUR_LEAGUE\n");
        edit("editHomePage").setText("templates/home.htm");
        ProgressWatch progress;
        click(*form_, "btnPublishWebSite");
        QString full = qPath(season_->path() / "templates" / "home.htm");
        QCOMPARE(QString::fromStdString(league().text(qff::kLeagueHomePage)), full);
        QCOMPARE(edit("editHomePage").text(), full);
        QCOMPARE(readFile(page()), std::string("Hello "));
    }

    void optionsOpenOnTheFtpSettingsAndKeepWhatWasTyped() {
        edit("editHomePage").setText("/templates/typed.htm");
        QString shownTab;
        whenModal<TformOptions>([&shownTab](TformOptions& options) {
            shownTab = child<QTabWidget>(options, "tabsInternet").currentWidget()->objectName();
            options.reject();
        });
        click(*form_, "btnOptions");
        QCOMPARE(shownTab, QString("tabFtp"));
        QCOMPARE(edit("editHomePage").text(), QString("/templates/typed.htm"));
        QCOMPARE(prompter_->told, QStringList());
    }

    void choosingAWeekMakesItTheCurrentAndViewedWeek() {
        QSignalSpy chosen(form_.get(), &TformWebSite::weekChosen);
        context().seasonState().set(qff::kViewWeek, qff::kAllWeeks);
        chooseIndex(child<QComboBox>(*form_, "comboWeek"), 3);
        QCOMPARE(context().seasonState().peek(qff::kCurrentWeek), 3);
        QCOMPARE(context().seasonState().peek(qff::kViewWeek), 3);
        QCOMPARE(chosen.count(), 1);
    }

    void browsingOffersTemplatesAndFillsTheField_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::newRow("home page") << "btnBrowseHomePage"
                                   << "editHomePage";
        QTest::newRow("owner page") << "btnBrowseOwnerPage"
                                    << "editOwnerPage";
    }

    void browsingOffersTemplatesAndFillsTheField() {
        QFETCH(QString, button);
        QFETCH(QString, field);
        fs::path chosen = season_->path() / "league.htm";
        writeFile(chosen, "<HTML></HTML>\n");
        QStringList filters;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        whenModal<QFileDialog>([&](QFileDialog& dialog) {
            filters = dialog.nameFilters();
            mode = dialog.fileMode();
            // Typed as a user does: choosing a file leaves the name field
            // alone while it has the focus.
            child<QLineEdit>(dialog, "fileNameEdit").setText(qPath(chosen));
            if (dialog.selectedFiles() == QStringList{qPath(chosen)}) {
                static_cast<QDialog&>(dialog).accept();
            } else {
                dialog.reject();
            }
        });
        click(*form_, qPrintable(button));
        QCOMPARE(filters, (QStringList{"HTML Document (*.htm)", "All Files (*.*)"}));
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QCOMPARE(edit(qPrintable(field)).text(), qPath(chosen));
    }

    void withoutAHomePageTemplateNothingIsMadeAndTheUserIsTold() {
        QSignalSpy published(form_.get(), &TformWebSite::pagePublished);
        fs::create_directory(scratch());
        writeFile(scratch() / "earlier.htm", "earlier");
        edit("editHomePage").clear();
        ProgressWatch progress;
        click(*form_, "btnPublishWebSite");
        QVERIFY(progress.seen);
        QCOMPARE(progress.log, QString());
        QCOMPARE(published.count(), 0);
        QVERIFY(fs::is_empty(scratch()));
        QCOMPARE(prompter_->told.size(), 1);
        QVERIFY(prompter_->told.at(0).startsWith("No home page template is named"));
    }

    void theProgressShowsOneStepImageAtATime() {
        edit("editHomePage").setText(qPath(sampleTemplate()));
        ProgressWatch progress;
        click(*form_, "btnPublishWebSite");
        QCOMPARE(progress.visibleImages, 1);
        QCOMPARE(progress.shownImage, progress.shownStep);
    }

    // Cancelled before its timers ever ran, the dialog has made no page.
    void cancellingAtOnceMakesNoPage() {
        qff::PublishRequest request;
        request.league = league().getValue(qff::kLeagueId);
        request.homePageTemplate = sampleTemplate().string();
        qff::PreparedSite run = qff::prepareWebSite(context(), request);
        QVERIFY(run.result.ok);
        TformDoWebSite dialog(run);
        QCOMPARE(dialog.windowTitle(), QString("Creating Web Site"));
        dialog.show();
        click(dialog, "btnCancel");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QTest::qWait(3 * TformDoWebSite::kWorkMilliseconds);
        QVERIFY(run.result.log.empty());
        QVERIFY(!fs::exists(page()));
        QCOMPARE(child<QPlainTextEdit>(dialog, "memoStatus").toPlainText(), QString());
    }
};

// The main window offers the page through its command and shows what it made.
class WebSiteWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void theCommandShowsThePageAndTheViewerThePublishedPage() {
        QTemporaryDir dir;
        fs::path workdir = dir.path().toStdString();
        std::ofstream(workdir / "CurYear.bin") << kYear << "\n";
        {
            std::string error;
            auto context = qff::apptest::createContext(workdir);
            qff::DemoReport report;
            QVERIFY(qff::createDemoSeason(*context, smallDemo(), report, error));
        }
        RecordingPrompter prompter;
        TformMain window(workdir, prompter);
        QString error;
        QVERIFY2(window.FormCreate(error), qPrintable(error));
        window.show();
        QCoreApplication::processEvents();
        QVERIFY(window.seasonIsOpen());

        auto* command = window.findChild<QAction*>("menuGenerateWebSite");
        QVERIFY(command->isVisible());
        command->trigger();
        auto* form = qobject_cast<TformWebSite*>(window.hostedForm());
        QVERIFY(form != nullptr);
        QCOMPARE(window.currentActivity(), 12);

        chooseIndex(child<QComboBox>(*form, "comboWeek"), 5);
        for (QComboBox* weeks : window.findChildren<QComboBox*>("comboWeek")) {
            QCOMPARE(weeks->currentIndex(), 5);
        }

        child<QLineEdit>(*form, "editHomePage").setText(qPath(sampleTemplate()));
        ProgressWatch progress;
        click(*form, "btnPublishWebSite");
        auto& pane = child<ReportPane>(window, "paneReport");
        fs::path page = workdir / qff::kScratchDirectory / qff::kHomePageFile;
        // A bound only a machine far too busy reaches; the page comes on the next turns.
        constexpr int kPatienceMilliseconds = 30000;
        QVERIFY(QTest::qWaitFor([&] { return pane.view()->currentPath() == qPath(page); },
                                kPatienceMilliseconds));
        QCOMPARE(window.currentSection(), 3);
        QCOMPARE(prompter.told, QStringList());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failed = 0;
    {
        WebSiteTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    {
        WebSiteWindowTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    return failed;
}

#include "website_test.moc"
