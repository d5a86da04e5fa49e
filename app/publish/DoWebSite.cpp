#include "app/publish/DoWebSite.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/publish/Website.h"

#include <QPainter>
#include <QPixmap>
#include <QScopedValueRollback>

#include "app/widgets/QtText.h"
#include "ui_DoWebSite.h"

namespace {

constexpr int kFieldWidth = 200;
constexpr int kFieldHeight = 36;
constexpr int kYardLines = 10;
constexpr int kBallWidth = 18;
constexpr int kBallHeight = 11;

// A strip of field with the ball `step` of kSteps of the way down it.
QPixmap fieldImage(int step) {
    QPixmap image(kFieldWidth, kFieldHeight);
    image.fill(QColor(0x2e, 0x7d, 0x32));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    for (int line = 1; line < kYardLines; ++line) {
        int x = line * kFieldWidth / kYardLines;
        painter.drawLine(x, 2, x, kFieldHeight - 3);
    }
    int travel = kFieldWidth - kBallWidth - 8;
    int x = 4 + travel * (step - 1) / (TformDoWebSite::kSteps - 1);
    QRect ball(x, (kFieldHeight - kBallHeight) / 2, kBallWidth, kBallHeight);
    painter.setPen(QPen(QColor(0x3e, 0x27, 0x23), 1));
    painter.setBrush(QColor(0x8d, 0x4e, 0x24));
    painter.drawEllipse(ball);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawLine(ball.center().x() - 3, ball.center().y(), ball.center().x() + 3,
                     ball.center().y());
    return image;
}

}  // namespace

TformDoWebSite::TformDoWebSite(qff::PreparedSite& run, QWidget* parent)
    : QDialog(parent), ui(new Ui::TformDoWebSite), run_(run) {
    ui->setupUi(this);
    for (int step = 1; step <= kSteps; ++step) {
        stepImage(step)->setPixmap(fieldImage(step));
        stepImage(step)->setVisible(step == step_);
    }
    workTimer_.setInterval(kWorkMilliseconds);
    animationTimer_.setInterval(kAnimationMilliseconds);
    connect(&workTimer_, &QTimer::timeout, this, &TformDoWebSite::workTick);
    connect(&animationTimer_, &QTimer::timeout, this, &TformDoWebSite::animationTick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TformDoWebSite::reject);
}

TformDoWebSite::~TformDoWebSite() = default;

void TformDoWebSite::reject() {
    stopTimers();
    QDialog::reject();
}

void TformDoWebSite::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        workTimer_.start();
        animationTimer_.start();
    }
}

QLabel* TformDoWebSite::stepImage(int step) const {
    return findChild<QLabel*>(QString("imgStep%1").arg(step));
}

// The first tick lets the dialog be seen, the second generates the page and
// the third closes the dialog.
void TformDoWebSite::workTick() {
    if (working_) {
        return;
    }
    QScopedValueRollback<bool> working(working_, true);
    ++ticks_;
    if (ticks_ == 2) {
        qff::generateHomePage(run_);
        for (const std::string& line : run_.result.log) {
            ui->memoStatus->appendPlainText(qText(line));
        }
    } else if (ticks_ >= 3) {
        stopTimers();
        accept();
    }
}

void TformDoWebSite::animationTick() {
    if (step_ == kSteps) {
        return;
    }
    stepImage(step_)->hide();
    ++step_;
    stepImage(step_)->show();
}

void TformDoWebSite::stopTimers() {
    workTimer_.stop();
    animationTimer_.stop();
}
