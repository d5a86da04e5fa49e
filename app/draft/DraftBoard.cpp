#include "app/draft/DraftBoard.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>
#include <QTimer>
#include <algorithm>

#include "app/widgets/PageView.h"
#include "data02/reports/Rpt_board.h"
#include "ui_DraftBoard.h"

namespace {

constexpr int kTextSizeStep = 2;
// Room left around the latest round when it is brought into view, in pixels.
constexpr int kMargin = 8;

// Where a round stands on the page, in page coordinates: its caption and
// the table of its picks that follows it.
QRectF roundArea(QTextDocument& page, const QTextCursor& caption) {
    QAbstractTextDocumentLayout& layout = *page.documentLayout();
    QRectF area = layout.blockBoundingRect(caption.block());
    QTextTable* table = QTextCursor(caption.block().next()).currentTable();
    if (table != nullptr && table != caption.currentTable()) {
        // Laid out through its last row before its frame is measured.
        area |= layout.blockBoundingRect(page.findBlock(table->lastPosition()));
        area |= layout.frameBoundingRect(table);
    }
    return area.adjusted(-kMargin, -kMargin, kMargin, kMargin);
}

// The caption goes to the top, unless the table would then run past the
// bottom: its latest pick is what the room looks for.
int topOf(const QRectF& area, int height) {
    return static_cast<int>(area.height() > height ? area.bottom() - height : area.top());
}

// As little sideways as shows the whole round, else its left edge.
int leftOf(const QRectF& area, int width, int left) {
    if (area.width() > width || area.left() < left) {
        return static_cast<int>(area.left());
    }
    return static_cast<int>(std::max<qreal>(left, area.right() - width));
}

}  // namespace

DraftBoard::DraftBoard(qff::Singleton& season, int league, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ui(std::make_unique<Ui::DraftBoard>()),
      season_(season),
      league_(league) {
    ui->setupUi(this);
    // Names and numbers of a pick read badly when wrapped.
    ui->pageBoard->keepTableCellsOnOneLine();
    // A scroll bar that comes and goes would have every new page laid out
    // twice, once for each width.
    ui->pageBoard->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(ui->btnSmaller, &QPushButton::clicked, this, &DraftBoard::btnSmallerClick);
    connect(ui->btnLarger, &QPushButton::clicked, this, &DraftBoard::btnLargerClick);
    connect(ui->btnRefresh, &QPushButton::clicked, this, &DraftBoard::refresh);
    connect(ui->btnFullScreen, &QPushButton::toggled, this, &DraftBoard::btnFullScreenToggled);
    setTextSize(kDefaultTextSize);
    refresh();
}

DraftBoard::~DraftBoard() = default;

PageView* DraftBoard::view() const {
    return ui->pageBoard;
}

void DraftBoard::refresh() {
    qff::DraftBoardPage board = qff::draftBoardPage(season_, league_);
    setWindowTitle(QString::fromStdString(board.title));
    latestRound_ = QString::fromStdString(board.latestRound);
    ui->pageBoard->setHtml(QString::fromStdString(board.html));
    keepLatestRoundInView();
}

void DraftBoard::setTextSize(int points) {
    textSize_ = std::clamp(points, kSmallestTextSize, kLargestTextSize);
    QFont font = ui->pageBoard->document()->defaultFont();
    font.setPointSize(textSize_);
    ui->pageBoard->document()->setDefaultFont(font);
    ui->btnSmaller->setEnabled(textSize_ > kSmallestTextSize);
    ui->btnLarger->setEnabled(textSize_ < kLargestTextSize);
    keepLatestRoundInView();
}

void DraftBoard::btnSmallerClick() {
    setTextSize(textSize_ - kTextSizeStep);
}

void DraftBoard::btnLargerClick() {
    setTextSize(textSize_ + kTextSizeStep);
}

void DraftBoard::btnFullScreenToggled(bool on) {
    setWindowState(on ? windowState() | Qt::WindowFullScreen
                      : windowState() & ~Qt::WindowFullScreen);
}

void DraftBoard::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    keepLatestRoundInViewSoon();
}

void DraftBoard::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    keepLatestRoundInViewSoon();
}

// The window manager may end full screen on its own.
void DraftBoard::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        QSignalBlocker quiet(ui->btnFullScreen);
        ui->btnFullScreen->setChecked(isFullScreen());
    }
}

// The page is laid out again for the new width first.
void DraftBoard::keepLatestRoundInViewSoon() {
    QTimer::singleShot(0, this, &DraftBoard::keepLatestRoundInView);
}

void DraftBoard::keepLatestRoundInView() {
    PageView& view = *ui->pageBoard;
    QScrollBar& down = *view.verticalScrollBar();
    QScrollBar& across = *view.horizontalScrollBar();
    QTextDocument& page = *view.document();
    QTextCursor caption =
        latestRound_.isEmpty()
            ? QTextCursor()
            : page.find(latestRound_, page.characterCount(),
                        QTextDocument::FindBackward | QTextDocument::FindCaseSensitively |
                            QTextDocument::FindWholeWords);
    if (caption.isNull()) {
        down.setValue(latestRound_.isEmpty() ? down.minimum() : down.maximum());
        across.setValue(across.minimum());
        return;
    }
    QRectF area = roundArea(page, caption);
    down.setValue(topOf(area, view.viewport()->height()));
    across.setValue(leftOf(area, view.viewport()->width(), across.value()));
}
