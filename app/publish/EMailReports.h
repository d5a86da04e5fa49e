#pragma once

// TformEMailReports: the "EMail Reports to Owners" activity. The
// commissioner writes a plain-text mail to owners of a league's
// franchises, attaches report pages and other files, packed into one ZIP
// file when a name is given, and sends it. The data layer checks the mail
// and composes it; the sending dialog sends it.

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/publish/Mail.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/widgets/SeasonForm.h"

namespace Ui {
class TformEMailReports;
}

class QListWidgetItem;

class TformEMailReports : public SeasonForm {
    Q_OBJECT

  public:
    using TransportFactory = std::function<std::unique_ptr<qff::MailTransport>()>;

    TformEMailReports(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformEMailReports() override;

    void reload() override;
    // Mail goes through the platform's SMTP client unless told otherwise.
    void setTransportFactory(TransportFactory factory);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void connectControls();
    void fillLeagues();
    int league() const;
    void showSender();
    void showRecipients();
    void showAttachments();

    void btnNewMailClick();
    void comboLeagueChange();
    void chooseRecipients(int defaultKind);
    void btnAttachReportClick();
    void btnAttachFileClick();
    void btnBrowseZipFileClick();
    void btnSendMailClick();
    void btnEMailOptionsClick();
    void attachmentDoubleClick(QListWidgetItem* item);
    void removeSelectedAttachments();
    void attach(const std::vector<std::filesystem::path>& files);
    // Runs the checks, asking about recipients without address; true when
    // the mail may go.
    bool mailChecked();
    // False when there was no recipient to drop.
    bool dropUnaddressed();

    std::unique_ptr<Ui::TformEMailReports> ui;
    TransportFactory transportFactory_;
    qff::MailRecipients recipients_;
    std::vector<std::filesystem::path> attachments_;
};
