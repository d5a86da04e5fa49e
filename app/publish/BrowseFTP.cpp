#include "app/publish/BrowseFTP.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/season/Single.h"

#include <QPushButton>
#include <QStyle>
#include <array>
#include <vector>

#include "app/publish/EnterStr.h"
#include "app/widgets/BusyCursor.h"
#include "app/widgets/Prompter.h"
#include "qff/platform/curl_ftp_client.h"
#include "ui_BrowseFTP.h"

namespace {

using qff::platform::FirewallType;

constexpr int kFolderRole = Qt::UserRole;
constexpr int kListedRole = Qt::UserRole + 1;

const char* const kNewFolderTitle = "New FTP Directory";
const char* const kNewFolderPrompt = "Name of the new folder:";
const char* const kCreateFailed = "The FTP Directory could not be created.\n\nReason - %1";
const char* const kDeleteFailed = "The FTP Directory could not be deleted.\n\nReason - %1";
const char* const kDeleteQuestion =
    "Are you sure you want to delete the following directory from your web site?\n\n%1";
const char* const kLocationTooLong =
    "The location of this folder is longer than the %1 characters the preferences can keep. "
    "Please choose a folder nearer the top.";

// The league's firewall types in their stored order, as the FTP client knows
// them; none for a gateway convention it has no name for.
constexpr std::array<std::optional<FirewallType>, qff::kFirewallTypes.size()> kClientFirewalls{
    FirewallType::none, FirewallType::socks4, FirewallType::socks5, FirewallType::userAtHost,
    FirewallType::site, std::nullopt,         FirewallType::open,   std::nullopt,
};

// The client's settings for the site; none, with the reason, for a firewall
// the client cannot pass.
std::optional<qff::platform::FtpSettings> clientSettings(const qff::FtpSite& site, QString& error) {
    const qff::InternetSettings& logon = site.logon;
    auto type = static_cast<std::size_t>(logon.firewallType);
    std::optional<FirewallType> firewall =
        type < kClientFirewalls.size() ? kClientFirewalls[type] : std::nullopt;
    if (!firewall) {
        error = QString("cannot connect: the firewall type '%1' is not supported")
                    .arg(type < kClientFirewalls.size() ? qff::kFirewallTypes[type] : "?");
        return std::nullopt;
    }
    qff::platform::FtpSettings settings;
    settings.host = site.host;
    settings.port = logon.ftpPort;
    settings.user = logon.ftpUser;
    settings.password = logon.ftpPassword;
    settings.passive = !logon.passiveOff;
    settings.firewallType = *firewall;
    settings.proxyHost = logon.firewallHost;
    settings.proxyPort = logon.firewallPort;
    settings.proxyUser = logon.firewallUser;
    settings.proxyPassword = logon.firewallPassword;
    return settings;
}

QString folderOf(const QTreeWidgetItem* node) {
    return node->data(0, kFolderRole).toString();
}

bool isListed(const QTreeWidgetItem* node) {
    return node->data(0, kListedRole).toBool();
}

// Where a folder of that name goes among its sorted siblings.
int sortedPosition(const QTreeWidgetItem* parent, const QString& name) {
    int at = 0;
    while (at < parent->childCount() &&
           QString::compare(parent->child(at)->text(0), name, Qt::CaseInsensitive) < 0) {
        ++at;
    }
    return at;
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& name) {
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == name) {
            return parent->child(i);
        }
    }
    return nullptr;
}

}  // namespace

TformBrowseFTP::TformBrowseFTP(qff::Singleton& season, Prompter& prompter, QWidget* parent,
                               std::unique_ptr<qff::platform::FtpClient> client)
    : QDialog(parent),
      ui(new Ui::TformBrowseFTP),
      season_(season),
      prompter_(prompter),
      client_(client ? std::move(client) : std::make_unique<qff::platform::CurlFtpClient>()) {
    ui->setupUi(this);
    connect(ui->treeDirectories, &QTreeWidget::itemExpanded, this, &TformBrowseFTP::nodeExpanded);
    connect(ui->treeDirectories, &QTreeWidget::currentItemChanged, this,
            &TformBrowseFTP::nodeChosen);
    connect(ui->btnCreateDir, &QPushButton::clicked, this, &TformBrowseFTP::createFolder);
    connect(ui->btnDeleteDir, &QPushButton::clicked, this, &TformBrowseFTP::deleteFolder);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &TformBrowseFTP::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &TformBrowseFTP::reject);
    updateButtons();
}

TformBrowseFTP::~TformBrowseFTP() {
    disconnectSite();
}

bool TformBrowseFTP::connectSite(qff::FtpLocationField field) {
    std::optional<qff::FtpSite> site = qff::currentLeagueSite(season_, field);
    if (!site) {
        chosen_.clear();
        connectError_ = tr("the season has no current league");
        return false;
    }
    return connectTo(*site);
}

bool TformBrowseFTP::connectTo(const qff::FtpSite& site) {
    chosen_.clear();
    ui->treeDirectories->clear();
    site_.reset();
    std::optional<qff::platform::FtpSettings> settings = clientSettings(site, connectError_);
    if (!settings) {
        return false;
    }
    BusyCursor busy;
    if (!client_->connect(*settings)) {
        connectError_ = QString::fromStdString(client_->lastReply());
        return false;
    }
    site_ = site;
    startFolder_ = client_->currentDir();
    connectError_.clear();
    return true;
}

void TformBrowseFTP::disconnectSite() {
    if (client_->isConnected()) {
        client_->disconnect();
    }
}

void TformBrowseFTP::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        showFolders();
    }
}

// The tree starts at the folder the server puts the user in after logon.
void TformBrowseFTP::showFolders() {
    if (!site_) {
        return;
    }
    auto* root = new QTreeWidgetItem(ui->treeDirectories);
    root->setText(0, QString::fromStdString(qff::ftpLocationOf(site_->host, startFolder_)));
    root->setData(0, kFolderRole, QString::fromStdString(startFolder_));
    root->setIcon(0, style()->standardIcon(QStyle::SP_DriveNetIcon));
    listFolder(root);
    ui->treeDirectories->expandItem(root);
    ui->treeDirectories->setCurrentItem(preselected(root));
}

QTreeWidgetItem* TformBrowseFTP::addFolder(QTreeWidgetItem* parent, const QString& name,
                                           bool listed) {
    auto* node = new QTreeWidgetItem;
    parent->insertChild(sortedPosition(parent, name), node);
    node->setText(0, name);
    node->setData(0, kFolderRole,
                  QString::fromStdString(
                      qff::ftpChildFolder(folderOf(parent).toStdString(), name.toStdString())));
    node->setData(0, kListedRole, listed);
    node->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
    // A folder not listed yet may hold others, so it shows that it opens.
    node->setChildIndicatorPolicy(listed ? QTreeWidgetItem::DontShowIndicatorWhenChildless
                                         : QTreeWidgetItem::ShowIndicator);
    return node;
}

// A folder whose listing fails simply shows no folders inside.
void TformBrowseFTP::listFolder(QTreeWidgetItem* node) {
    BusyCursor busy;
    std::vector<QString> names;
    client_->list(folderOf(node).toStdString(), [&names](const qff::platform::FtpItem& item) {
        if (item.isDirectory) {
            names.push_back(QString::fromStdString(item.name));
        }
    });
    for (const QString& name : names) {
        addFolder(node, name, false);
    }
    node->setData(0, kListedRole, true);
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

// Listing changes the tree, whose signals would otherwise come back here.
void TformBrowseFTP::listUnlisted(QTreeWidgetItem* node) {
    if (busy_ || isListed(node)) {
        return;
    }
    busy_ = true;
    listFolder(node);
    busy_ = false;
}

// The stored location, when it is one of the first folders listed.
QTreeWidgetItem* TformBrowseFTP::preselected(QTreeWidgetItem* root) const {
    for (int i = 0; i < root->childCount(); ++i) {
        if (qff::sameFtpLocation(locationOf(root->child(i)).toStdString(), site_->location)) {
            return root->child(i);
        }
    }
    return root;
}

void TformBrowseFTP::nodeExpanded(QTreeWidgetItem* node) {
    listUnlisted(node);
}

void TformBrowseFTP::nodeChosen(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (busy_) {
        return;
    }
    QTreeWidgetItem* root = ui->treeDirectories->topLevelItem(0);
    if (previous != nullptr && previous != root) {
        previous->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
    }
    if (current != nullptr && current != root) {
        current->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
        listUnlisted(current);
    }
    updateButtons();
}

// Only an empty folder can go, and never the folder the logon starts in.
void TformBrowseFTP::updateButtons() {
    QTreeWidgetItem* current = ui->treeDirectories->currentItem();
    bool onFolder = site_.has_value() && current != nullptr;
    ui->btnCreateDir->setEnabled(onFolder);
    ui->btnDeleteDir->setEnabled(onFolder && current->parent() != nullptr &&
                                 current->childCount() == 0);
}

void TformBrowseFTP::createFolder() {
    QTreeWidgetItem* parent = ui->treeDirectories->currentItem();
    std::optional<QString> name =
        parent != nullptr ? TformEnterStr::ask(this, tr(kNewFolderTitle), tr(kNewFolderPrompt))
                          : std::nullopt;
    if (!name) {
        return;
    }
    std::string problem = qff::ftpFolderNameProblem(name->toStdString());
    if (!problem.empty()) {
        prompter_.tell(this, Prompter::Icon::Information, QString::fromStdString(problem));
        return;
    }
    BusyCursor busy;
    if (!client_->createDir(
            qff::ftpChildFolder(folderOf(parent).toStdString(), name->toStdString()))) {
        prompter_.tell(this, Prompter::Icon::Error,
                       tr(kCreateFailed).arg(QString::fromStdString(client_->lastReply())));
        return;
    }
    // An unlisted parent shows the new folder among the others once listed.
    listUnlisted(parent);
    QTreeWidgetItem* child = childNamed(parent, *name);
    if (child == nullptr) {
        child = addFolder(parent, *name, true);
    }
    ui->treeDirectories->expandItem(parent);
    ui->treeDirectories->setCurrentItem(child);
}

void TformBrowseFTP::deleteFolder() {
    QTreeWidgetItem* node = ui->treeDirectories->currentItem();
    if (node == nullptr || node->parent() == nullptr ||
        !prompter_.ask(this, tr(kDeleteQuestion).arg(locationOf(node)))) {
        return;
    }
    BusyCursor busy;
    if (!client_->deleteDir(folderOf(node).toStdString())) {
        prompter_.tell(this, Prompter::Icon::Error,
                       tr(kDeleteFailed).arg(QString::fromStdString(client_->lastReply())));
        return;
    }
    // Choosing the parent first keeps the tree from choosing, and listing, a sibling.
    ui->treeDirectories->setCurrentItem(node->parent());
    delete node;
}

QString TformBrowseFTP::locationOf(const QTreeWidgetItem* node) const {
    return QString::fromStdString(qff::ftpLocationOf(site_->host, folderOf(node).toStdString()));
}

void TformBrowseFTP::accept() {
    QTreeWidgetItem* current = ui->treeDirectories->currentItem();
    QString location = site_ && current != nullptr ? locationOf(current) : QString();
    if (location.size() > static_cast<qsizetype>(qff::kMaxFtpLocation)) {
        prompter_.tell(this, Prompter::Icon::Information,
                       tr(kLocationTooLong).arg(qff::kMaxFtpLocation));
        return;
    }
    chosen_ = location;
    QDialog::accept();
}
