#include "app/shell/Loading.h"

#include <QCloseEvent>

#include "app/widgets/Prompter.h"
#include "ui_Loading.h"

namespace {

// Steps follow each other as soon as the previous one has been shown: each
// step returns to the event loop, so the dialog repaints and stays
// responsive, while a season still opens well within a second.
constexpr int kStepMilliseconds = 0;
// The dialog's colour as the season files have always named it: 0x00BBGGRR.
constexpr unsigned kBackgroundBgr = 0x71B730;

QColor colourOfBgr(unsigned bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

}  // namespace

TformLoading::TformLoading(qff::Singleton& context, int year, Prompter& prompter, QWidget* parent)
    : QDialog(parent), ui(new Ui::TformLoading), loader_(context, year), prompter_(prompter) {
    ui->setupUi(this);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colourOfBgr(kBackgroundBgr));
    setPalette(colours);
    setAutoFillBackground(true);
    ui->progressLoading->setRange(0, loader_.stepCount());
    timer_.setSingleShot(true);
    timer_.setInterval(kStepMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &TformLoading::runNextStep);
}

TformLoading::~TformLoading() = default;

void TformLoading::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!finished_ && !timer_.isActive()) {
        timer_.start();
    }
}

// The timer is single-shot and restarted only after a step has been shown, so
// a message box that is up never sees the next step begin underneath it.
void TformLoading::runNextStep() {
    if (loader_.done()) {
        finished_ = true;
        accept();
        return;
    }
    for (const qff::SeasonMessage& message : loader_.runStep()) {
        present(message);
    }
    ui->progressLoading->setValue(loader_.stepsDone());
    emit stepDone(loader_.stepsDone());
    timer_.start();
}

void TformLoading::present(const qff::SeasonMessage& message) {
    if (message.type == qff::SeasonMessage::Type::Status) {
        ui->lblStatus->setText(QString::fromStdString(message.text));
        return;
    }
    prompter_.tell(this, Prompter::Icon::None, QString::fromStdString(message.text),
                   QString::fromStdString(message.detail));
}

void TformLoading::reject() {
    if (finished_) {
        QDialog::reject();
    }
}

void TformLoading::closeEvent(QCloseEvent* event) {
    if (finished_) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}
