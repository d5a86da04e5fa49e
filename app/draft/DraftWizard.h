#pragma once

// TformDraftWizard: the draft-day assistant. Five pages: the options of the
// draft (league, rounds, pick clock), the things to do before it, the
// franchises of a round with what each has drafted, the players a franchise
// may still draft, and the summary once the last round is done. Every pick
// is written as it is made, so the assistant opened again goes on where the
// draft stands; closing it makes the drafted players the week-1 rosters.

#include <QDialog>
#include <memory>
#include <utility>
#include <vector>

#include "data02/league/Draftorder.h"
#include "data02/league/Draftpool.h"

namespace Ui {
class TformDraftWizard;
}

namespace qff {
class Singleton;
class League;
class TrackDraft;
}  // namespace qff

class DraftBoard;
class PickClock;
class Prompter;
class QCheckBox;
class QKeyEvent;
class QLineEdit;
class QtSoundPlayer;
class QTreeWidgetItem;
class SoundPlayer;

class TformDraftWizard : public QDialog {
    Q_OBJECT

  public:
    enum Page { kOptionsPage, kInstructionsPage, kFranchisePage, kPlayerPage, kFinishedPage };

    // Sounds play through the platform's media player.
    TformDraftWizard(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    // Sounds play through `sounds`, which must outlive the wizard.
    TformDraftWizard(qff::Singleton& season, Prompter& prompter, SoundPlayer& sounds,
                     QWidget* parent = nullptr);
    ~TformDraftWizard() override;

    PickClock& pickClock() { return *clock_; }
    // The draw of a draft order generated from the assistant.
    void setDraftRandom(qff::DraftRandom random) { random_ = std::move(random); }
    // The board opened with "Draft Board"; null before.
    DraftBoard* draftBoard() const { return board_.get(); }

    int round() const { return round_; }
    // The franchise choosing now; 0 while none is.
    int pickingFranchise() const { return franchise_; }

    // Closing, however it is asked for, writes the rosters first.
    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void setUp();
    void setUpFilters();
    void connectControls();
    void connectFranchisePage();
    void connectPlayerPage();

    // The options page.
    void fillLeagues();
    void comboLeagueChange();
    void showRounds();
    void showTimerSettings();
    bool storeOptions();
    void connectSounds();
    void playSound(const QLineEdit& name);
    void browseSound(QLineEdit& name, QCheckBox& use);
    void fillTasks();
    void listTasksChange();
    void btnRosterOptionsClick();

    // Moving between the pages.
    void showPage(Page page);
    void btnNextClick();
    void btnBackClick();
    void enterDraft();
    void offerDraftOrder();

    // The franchise page.
    void showRound(int round, int selectFranchise);
    void fillFranchises(int selectFranchise);
    void fillDraftedThisRound();
    void showNowDrafting();
    void btnSelectPlayerClick();
    void btnDeletePlayersClick();
    void deleteFranchisePicks(int franchise);
    QString deleteQuestion(const qff::TrackDraft& pick, const QString& franchise) const;
    void deleteCheckedPicks();
    void deletePicks(const std::vector<int>& picks);
    void btnUndoLastPickClick();
    void btnNextRoundClick();
    void btnPrevRoundClick();
    void btnTradePlayersClick();
    void btnDraftOrderClick();
    void btnDraftBoardClick();
    void refreshBoard();
    // Shows the round afresh after the draft changed, the franchise on the
    // clock selected when it picks in this round.
    void draftChanged();
    // The franchise on the clock when its pick is of the round, else 0.
    int onTheClockIn(int round) const;

    // The player page.
    void showPlayerPage();
    void fillPlayers();
    void quickSearch();
    void btnAssignPlayerClick();
    void btnSelectNewOwnerClick();
    void filterChanged();

    void showSummary();
    void closeDraftRosters();

    const qff::League* league() const;
    int rounds() const;
    int selectedFranchise() const;
    bool tell(const std::string& message);

    std::unique_ptr<Ui::TformDraftWizard> ui_;
    qff::Singleton& season_;
    Prompter& prompter_;
    std::unique_ptr<QtSoundPlayer> ownSounds_;
    SoundPlayer& sounds_;
    // Declared after the sounds: it stops them when it goes.
    std::unique_ptr<PickClock> clock_;
    std::unique_ptr<DraftBoard> board_;
    qff::DraftRandom random_;
    bool useTimer_ = false;
    int league_ = 0;
    int round_ = 1;
    int franchise_ = 0;
    std::vector<QCheckBox*> filterBoxes_;
    bool filtersChanged_ = false;
    qff::PlyrList available_;
    bool searchKeyTyped_ = false;
    bool closed_ = false;
};
