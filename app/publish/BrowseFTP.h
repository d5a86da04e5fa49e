#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "data02/publish/Ftpsite.h"
#include "qff/platform/ftp_client.h"

class Prompter;
class QTreeWidgetItem;

namespace qff {
class Singleton;
}

namespace Ui {
class TformBrowseFTP;
}

// Picks a folder on the league's web host with the league's FTP settings: the
// folders show as a tree that is listed as it is opened, folders can be
// created and deleted, and OK hands back the chosen location (host, then the
// folder's absolute path). Every server call blocks behind the wait cursor.
//
//     TformBrowseFTP browser(season, prompter, this);
//     if (!browser.connectSite(qff::FtpLocationField::WebSite)) { ...browser.connectError()... }
//     else if (browser.exec() == QDialog::Accepted) { ...browser.chosenLocation()... }
//
// The session ends with disconnectSite() or with the dialog.
class TformBrowseFTP : public QDialog {
    Q_OBJECT

  public:
    // Without a client the platform's FTP client is used.
    TformBrowseFTP(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr,
                   std::unique_ptr<qff::platform::FtpClient> client = nullptr);
    ~TformBrowseFTP() override;

    // Logs on to the host of the current league's location `field` names;
    // false when the season has no current league or the logon fails.
    bool connectSite(qff::FtpLocationField field);
    bool connectTo(const qff::FtpSite& site);
    void disconnectSite();
    // Why the last logon failed.
    const QString& connectError() const { return connectError_; }
    // The location OK chose; empty until then.
    const QString& chosenLocation() const { return chosen_; }

  public slots:
    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void showFolders();
    QTreeWidgetItem* addFolder(QTreeWidgetItem* parent, const QString& name, bool listed);
    void listFolder(QTreeWidgetItem* node);
    void listUnlisted(QTreeWidgetItem* node);
    QTreeWidgetItem* preselected(QTreeWidgetItem* root) const;
    void nodeExpanded(QTreeWidgetItem* node);
    void nodeChosen(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void updateButtons();
    void createFolder();
    void deleteFolder();
    QString locationOf(const QTreeWidgetItem* node) const;

    std::unique_ptr<Ui::TformBrowseFTP> ui;
    qff::Singleton& season_;
    Prompter& prompter_;
    std::unique_ptr<qff::platform::FtpClient> client_;
    std::optional<qff::FtpSite> site_;
    std::string startFolder_;
    QString connectError_;
    QString chosen_;
    bool activated_ = false;
    bool busy_ = false;
};
