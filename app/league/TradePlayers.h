#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TformTradePlayers;
}

namespace qff {
class Singleton;
}

class Prompter;
class QComboBox;
class QTreeWidget;

// The draft-day trade: one drafted player of a franchise of the current
// league for one of another. Each franchise keeps its picks and receives the
// other's player; rosters follow when the draft closes. The dialog ends with
// Accepted once a trade went through, so its opener refreshes the draft.
class TformTradePlayers : public QDialog {
    Q_OBJECT

  public:
    TformTradePlayers(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformTradePlayers() override;

    void reject() override;

  private slots:
    void btnTradeClick();

  private:
    void fillFranchises(QComboBox& changed, QComboBox& other);
    void fillLeagueFranchises(QComboBox& combo);
    void refreshLists();
    void refreshList(const QComboBox& franchise, QTreeWidget& list);
    void updateTradeButton();

    qff::Singleton& season_;
    Prompter& prompter_;
    int league_ = 0;
    bool traded_ = false;
    std::unique_ptr<Ui::TformTradePlayers> ui;
};
