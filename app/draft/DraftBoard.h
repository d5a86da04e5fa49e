#pragma once

// DraftBoard: the picks of a league's draft round by round, in a window of
// its own that the commissioner can move to a projector or a second screen.
//
//   refresh()          makes the board afresh from the league's picks (after
//                      every pick) and brings the round of the latest pick
//                      into view.
//   setTextSize(pt)    the size of the board's text, so the room can read it
//                      from afar; Smaller and Larger (Ctrl+- and Ctrl++) step
//                      it. Full Screen (F11) fills the screen the window is
//                      on, Refresh (F5) shows the picks afresh.

#include <QString>
#include <QWidget>
#include <memory>

namespace qff {
class Singleton;
}
namespace Ui {
class DraftBoard;
}
class PageView;

class DraftBoard : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kDefaultTextSize = 16;
    static constexpr int kSmallestTextSize = 8;
    static constexpr int kLargestTextSize = 48;

    DraftBoard(qff::Singleton& season, int league, QWidget* parent = nullptr);
    ~DraftBoard() override;

    int league() const { return league_; }
    int textSize() const { return textSize_; }
    PageView* view() const;

  public slots:
    void refresh();
    void setTextSize(int points);

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private slots:
    void btnSmallerClick();
    void btnLargerClick();
    void btnFullScreenToggled(bool on);
    void keepLatestRoundInView();

  private:
    void keepLatestRoundInViewSoon();

    std::unique_ptr<Ui::DraftBoard> ui;
    qff::Singleton& season_;
    int league_;
    QString latestRound_;
    int textSize_ = kDefaultTextSize;
};
