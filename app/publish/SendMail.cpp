#include "app/publish/SendMail.h"

#include "data02/publish/Mail.h"
#include "qff/mailer/smtp_transport.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_SendMail.h"

namespace {

constexpr int kImageSize = 20;

// An envelope, the same in every step place: the places light up one after
// the other, so the user sees the mail on its way.
QPixmap envelope() {
    QPixmap image(kImageSize, kImageSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF body(1.5, 4.5, kImageSize - 3, kImageSize - 9);
    painter.setPen(QPen(QColor(40, 70, 130), 1.2));
    painter.setBrush(QColor(250, 245, 225));
    painter.drawRect(body);
    painter.drawLine(body.topLeft(), body.center());
    painter.drawLine(body.topRight(), body.center());
    return image;
}

}  // namespace

TformSendMail::TformSendMail(qff::MailDraft draft, std::unique_ptr<qff::MailTransport> transport,
                             Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      ui(std::make_unique<Ui::TformSendMail>()),
      prompter_(prompter),
      transport_(std::move(transport)) {
    ui->setupUi(this);
    run_ = std::make_unique<qff::MailRun>(std::move(draft), *transport_,
                                          [this] { return askZipExists(); });
    run_->setLogListener([this](const std::string& line) { appendLog(line); });
    images_ = {ui->imgStep1, ui->imgStep2, ui->imgStep3, ui->imgStep4, ui->imgStep5,
               ui->imgStep6, ui->imgStep7, ui->imgStep8, ui->imgStep9};
    const QPixmap image = envelope();
    for (QLabel* place : images_) {
        place->setPixmap(image);
        QSizePolicy policy = place->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        place->setSizePolicy(policy);
        place->hide();
    }
    images_.front()->show();
    stepTimer_.setInterval(kStepMs);
    animationTimer_.setInterval(kAnimationMs);
    connect(&stepTimer_, &QTimer::timeout, this, &TformSendMail::stepTimerTick);
    connect(&animationTimer_, &QTimer::timeout, this, &TformSendMail::animationTimerTick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TformSendMail::btnCancelClick);
}

TformSendMail::~TformSendMail() = default;

std::unique_ptr<qff::MailTransport> TformSendMail::smtpTransport() {
    return std::make_unique<qff::mailer::SmtpMailTransport>();
}

void TformSendMail::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        stepTimer_.start();
        animationTimer_.start();
    }
}

// A question asked inside a step lets the timer tick again; that tick
// leaves the run alone.
void TformSendMail::stepTimerTick() {
    if (stepping_ || run_->done()) {
        return;
    }
    stepping_ = true;
    run_->runStep();
    stepping_ = false;
    if (closing_) {
        run_->cancel();
    } else if (run_->done()) {
        showFinished();
    }
}

void TformSendMail::animationTimerTick() {
    if (shownImage_ + 1 >= static_cast<int>(images_.size())) {
        return;
    }
    images_[shownImage_]->hide();
    ++shownImage_;
    images_[shownImage_]->show();
}

void TformSendMail::showFinished() {
    stepTimer_.stop();
    animationTimer_.stop();
    for (QLabel* place : images_) {
        place->hide();
    }
    ui->btnCancel->setText("Ok");
}

void TformSendMail::btnCancelClick() {
    reject();
}

// Closing the window any way stops the sending where it is.
void TformSendMail::reject() {
    stepTimer_.stop();
    animationTimer_.stop();
    // Inside a step the run is told once the step is over.
    closing_ = true;
    if (!stepping_) {
        run_->cancel();
    }
    QDialog::reject();
}

qff::MailAnswer TformSendMail::askZipExists() {
    switch (prompter_.askYesNoCancel(this, qff::kZipExistsQuestion)) {
        case Prompter::Answer::Yes:
            return qff::MailAnswer::Yes;
        case Prompter::Answer::No:
            return qff::MailAnswer::No;
        case Prompter::Answer::Cancel:
            break;
    }
    return qff::MailAnswer::Cancel;
}

void TformSendMail::appendLog(const std::string& line) {
    ui->memoStatus->appendPlainText(qText(line));
}
