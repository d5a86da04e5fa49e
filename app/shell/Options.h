#pragma once

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

#include "data02/intake/StatsServer.h"
#include "qff/platform/mail_client.h"

// The rules and storage behind the dialog live in the data library's Optstore.h.
namespace qff {
class Singleton;
struct OptionSettings;
struct ApplicationSettings;
struct FranchiseSettings;
struct InternetSettings;
struct BackupSettings;
struct OptionsView;
enum class OptionsPage;
enum class FtpLocationField;
}  // namespace qff

namespace Ui {
class TformOptions;
}

class Prompter;
class QComboBox;
class QLineEdit;
class QThread;

// The preferences dialog: report appearance, schedule and roster rules, the mail and FTP
// settings of a league, backups and the statistics server. OK stores everything (the dialog stays
// open and says why when a write fails); Cancel stores nothing.
//
//     TformOptions dialog(context, requestedPage, parent);
//     dialog.exec();
//
// requestedPage chooses where it opens: 7 or 8 Franchise, 10 the "HTH Schedule" tab, 12 the
// "FTP Settings" tab, 14 the "EMail Settings" tab, 15 Backup, anything else (-1) the
// "Report Options" tab; the dialog turns to it when first shown. Callers re-read the
// preferences after OK. Choosing a league in the dialog makes it the season's current league
// at once.
class TformOptions : public QDialog {
    Q_OBJECT

  public:
    using MailClientFactory = std::function<std::unique_ptr<qff::platform::MailClient>()>;

    TformOptions(qff::Singleton& context, int requestedPage, Prompter& prompter,
                 QWidget* parent = nullptr);
    ~TformOptions() override;

    // The SMTP connection test uses the platform's mail client unless told otherwise.
    void setMailClientFactory(MailClientFactory factory);
    bool isTestingSmtp() const { return smtpTest_ != nullptr; }

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void setUpControls();
    void connectControls();
    void showPage(qff::OptionsPage page);
    void showView(qff::OptionsView view);

    void showOptions(const qff::OptionSettings& options);
    void showApplication(const qff::ApplicationSettings& a);
    void showFranchise(const qff::FranchiseSettings& f);
    void showLeagueSettings(const qff::InternetSettings& o);
    void showBackup(const qff::BackupSettings& b);
    void showStatsServer();
    void showStatsServerPage();
    std::optional<qff::StatsServerSettings> shownStatsServer();
    bool storeStatsServer(const qff::StatsServerSettings& settings);
    void fillLeagues(std::optional<int> current);
    std::optional<qff::OptionSettings> shownOptions();
    std::optional<int> shownPort(QLineEdit* edit);
    std::optional<int> chosenLeague() const;

    void chooseLeague(QComboBox* selector, int index);
    void updateColourRows();
    void updateRosterLimits();
    void browseBackgroundImage();
    void browseBackupDirectory();
    void browseFtpSite(qff::FtpLocationField field, QLineEdit* location);
    void testSmtpConnection();
    void finishSmtpTest(bool connected);
    void setTestingSmtp(bool testing);

    std::unique_ptr<Ui::TformOptions> ui_;
    qff::Singleton& context_;
    Prompter& prompter_;
    MailClientFactory mailClientFactory_;
    int requestedPage_;
    bool activated_ = false;
    QThread* smtpTest_ = nullptr;
    // The stored statistics server; none while its file is damaged, which
    // the dialog then leaves alone.
    std::optional<qff::StatsServerSettings> statsServer_;
    bool filling_ = false;
};
