#include "app/shell/HelpPane.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStyle>

#include "app/widgets/PageView.h"
#include "data02/shell/Support.h"
#include "ui_HelpPane.h"

HelpPane::HelpPane(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::HelpPane>()) {
    ui_->setupUi(this);
    ui_->btnHelpReload->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    ui_->btnHelpPrint->setIcon(QIcon::fromTheme("document-print"));
    ui_->btnHelpReload->setEnabled(false);
    connect(ui_->btnHelpReload, &QToolButton::clicked, this, &HelpPane::reloadPair);
    connect(ui_->btnHelpPrint, &QToolButton::clicked, ui_->helpBrowser, &PageView::printWithDialog);
    connect(ui_->helpBrowser, &PageView::pageCompleted, this, &HelpPane::pageCompleted);
}

HelpPane::~HelpPane() = default;

PageView* HelpPane::view() const {
    return ui_->helpBrowser;
}

QString HelpPane::helpPagePath(const QString& workdir, int section, int activity) {
    std::filesystem::path page = qff::supportFilePath(
        workdir.toStdString(), QCoreApplication::applicationDirPath().toStdString(),
        qff::helpPageFor(section, activity));
    return QString::fromStdString(page.string());
}

void HelpPane::showPair(int section, int activity) {
    section_ = section;
    activity_ = activity;
    ui_->btnHelpReload->setEnabled(false);
    ui_->helpBrowser->load(helpPagePath(workdir_, section, activity));
}

void HelpPane::reloadPair() {
    showPair(section_, activity_);
}

void HelpPane::pageCompleted(const QString& path) {
    QString pairPage = QString::fromStdString(qff::helpPageFor(section_, activity_)).toLower();
    if (!path.toLower().contains(pairPage)) {
        ui_->btnHelpReload->setEnabled(true);
    }
}
