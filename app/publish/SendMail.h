#pragma once

// TformSendMail: one sending, shown as it goes. A step timer drives the
// data layer's sending run one step per tick, so the window stays alive
// while the mail server is reached; every step and every report of the
// server lands in the status memo. When the run ends "Cancel" becomes "Ok"
// and the dialog waits for it.

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/publish/Mail.h"

#include <QDialog>
#include <QTimer>
#include <memory>

namespace Ui {
class TformSendMail;
}

class Prompter;
class QLabel;

class TformSendMail : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kStepMs = 250;
    static constexpr int kAnimationMs = 500;

    TformSendMail(qff::MailDraft draft, std::unique_ptr<qff::MailTransport> transport,
                  Prompter& prompter, QWidget* parent = nullptr);
    ~TformSendMail() override;

    // The platform's SMTP client and ZIP archiver, the transport of every
    // mail the user sends.
    static std::unique_ptr<qff::MailTransport> smtpTransport();

    const qff::MailRun& run() const { return *run_; }

  public slots:
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void stepTimerTick();
    void animationTimerTick();
    void showFinished();
    void btnCancelClick();
    qff::MailAnswer askZipExists();
    void appendLog(const std::string& line);

    std::unique_ptr<Ui::TformSendMail> ui;
    Prompter& prompter_;
    std::unique_ptr<qff::MailTransport> transport_;
    std::unique_ptr<qff::MailRun> run_;
    QTimer stepTimer_;
    QTimer animationTimer_;
    std::vector<QLabel*> images_;
    int shownImage_ = 0;
    bool started_ = false;
    bool stepping_ = false;
    bool closing_ = false;
};
