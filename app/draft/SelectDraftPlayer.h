#pragma once

#include <QDialog>
#include <QList>
#include <memory>
#include <vector>

namespace Ui {
class TformSelectDraftPlayer;
}

namespace qff {
class Player;
using PlyrList = std::vector<Player*>;
}  // namespace qff

// Asks which of the players a franchise drafted in one round are to come off
// the draft: each is checked in the list, and "OK" is offered once one is.
class TformSelectDraftPlayer : public QDialog {
    Q_OBJECT

  public:
    TformSelectDraftPlayer(const QString& franchiseName, const qff::PlyrList& players,
                           QWidget* parent = nullptr);
    ~TformSelectDraftPlayer() override;

    QList<int> checkedPlayers() const;

  private:
    void updateOk();

    std::unique_ptr<Ui::TformSelectDraftPlayer> ui_;
};
