#include "app/publish/WebSite.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Legqry.h"
#include "data02/model/Pro.h"
#include "data02/publish/Website.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/shell/Desk.h"
#include "data02/shell/Support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "app/publish/DoWebSite.h"
#include "app/shell/Options.h"
#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_WebSite.h"

namespace {

// The options dialog's Internet page, on its "FTP Settings" tab.
constexpr int kInternetOptionsPage = 12;

constexpr const char* kSampleTemplate = "HomePage.htm";

constexpr const char* kNoHomePageTemplate =
    "No home page template is named for this league, so no home page was made.\n\nName the "
    "template under \"Home Page Template\" and publish again.";

// Where the sample home page template is, which is where a first choice
// starts; the working folder when the sample is missing.
QString firstBrowseFolder(const qff::Singleton& season) {
    std::filesystem::path sample = qff::supportFilePath(
        season.workdir(), QCoreApplication::applicationDirPath().toStdString(), kSampleTemplate);
    QString folder = QString::fromStdString(sample.parent_path().string());
    return QFileInfo(folder).isDir() ? folder : QString::fromStdString(season.workdir().string());
}

}  // namespace

TformWebSite::TformWebSite(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : SeasonForm(season, prompter, parent), ui(new Ui::TformWebSite) {
    ui->setupUi(this);
    connect(ui->comboLeague, &QComboBox::activated, this, &TformWebSite::comboLeagueChange);
    connect(ui->comboWeek, &QComboBox::activated, this, &TformWebSite::comboWeekChange);
    connect(ui->btnBrowseHomePage, &QPushButton::clicked, this,
            [this] { browse(*ui->editHomePage, tr("Home Page Template")); });
    connect(ui->btnBrowseOwnerPage, &QPushButton::clicked, this,
            [this] { browse(*ui->editOwnerPage, tr("Owner Page Template")); });
    connect(ui->btnOptions, &QPushButton::clicked, this, &TformWebSite::btnOptionsClick);
    connect(ui->btnPublishWebSite, &QPushButton::clicked, this,
            &TformWebSite::btnPublishWebSiteClick);
    reload();
}

TformWebSite::~TformWebSite() = default;

void TformWebSite::reload() {
    QVariant shown = ui->comboLeague->currentData();
    fillCombo(ComboKind::Leagues, *ui->comboLeague, season());
    fillCombo(ComboKind::Weeks, *ui->comboWeek, season());
    if (ui->comboLeague->currentData() != shown) {
        showTemplateNames();
    }
}

void TformWebSite::comboLeagueChange(int index) {
    storeCurrentLeague(ui->comboLeague->itemData(index).toInt());
    showTemplateNames();
}

void TformWebSite::comboWeekChange(int index) {
    qff::storeWeekChoice(season().seasonState(), ui->comboWeek->itemData(index).toInt(),
                         season().pro().weeks());
    emit weekChosen();
}

// The names the league keeps, replacing whatever was typed.
void TformWebSite::showTemplateNames() {
    const qff::League* league =
        season().leagueQuery().findOne(qff::kLeagueId, ui->comboLeague->currentData().toInt());
    ui->editHomePage->setText(league ? qText(league->text(qff::kLeagueHomePage)) : QString());
    ui->editOwnerPage->setText(league ? qText(league->text(qff::kLeagueOwnerPage)) : QString());
}

void TformWebSite::browse(QLineEdit& edit, const QString& title) {
    QString name = edit.text();
    QString start = name.isEmpty() ? firstBrowseFolder(season()) : QFileInfo(name).absolutePath();
    QFileDialog dialog(this, title, start);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({tr("HTML Document (*.htm)"), tr("All Files (*.*)")});
    dialog.setDefaultSuffix("htm");
    if (!name.isEmpty()) {
        dialog.selectFile(name);
    }
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        edit.setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
    }
}

// The dialog may make another league the current one, even when cancelled.
void TformWebSite::btnOptionsClick() {
    TformOptions options(season(), kInternetOptionsPage, prompter(), this);
    if (options.exec() == QDialog::Accepted) {
        emit seasonChanged();
    }
    reload();
}

void TformWebSite::btnPublishWebSiteClick() {
    if (ui->comboLeague->currentIndex() < 0) {
        return;
    }
    qff::PublishRequest request;
    request.league = ui->comboLeague->currentData().toInt();
    request.homePageTemplate = typedTemplateName(*ui->editHomePage);
    request.ownerPageTemplate = typedTemplateName(*ui->editOwnerPage);
    qff::PreparedSite run = qff::prepareWebSite(season(), request);
    if (!run.result.ok) {
        prompter().tell(this, Prompter::Icon::Error, qText(qff::publishFailureMessage(run.result)));
        return;
    }
    showTemplateNames();
    TformDoWebSite progress(run, this);
    if (progress.exec() != QDialog::Accepted) {
        return;
    }
    if (!run.result.ok) {
        prompter().tell(this, Prompter::Icon::Error, qText(qff::publishFailureMessage(run.result)));
    } else if (run.result.page) {
        emit pagePublished(QString::fromStdString(run.result.page->string()));
    } else {
        prompter().tell(this, Prompter::Icon::Information, kNoHomePageTemplate);
    }
}

std::string TformWebSite::typedTemplateName(const QLineEdit& edit) const {
    return qff::fullTemplateName(edit.text().toStdString(), season().workdir());
}

void TformWebSite::storeCurrentLeague(int league) {
    qff::SeasonState& state = season().seasonState();
    if (state.set(qff::kCurrentLeague, league) != qff::kOk) {
        prompter().tell(this, Prompter::Icon::Error, qText(state.lastError()));
    }
}
