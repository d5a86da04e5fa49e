#pragma once

// TformDraftOrder: the current league's draft order, one round at a time.
// Franchises go into a round from the available list and out of it again,
// by the buttons, by dragging between the two lists or by a double-click;
// picks move up and down within the round. Every change is stored at once
// by the data layer, which also keeps the round numbered 1, 2, 3 ...

#include <QDialog>
#include <memory>
#include <vector>

#include "app/widgets/DragDrop.h"

namespace Ui {
class TformDraftOrder;
}

namespace qff {
class Singleton;
struct DraftChange;
}  // namespace qff

class Prompter;
class QListWidgetItem;
class QTreeWidgetItem;

class TformDraftOrder : public QDialog {
    Q_OBJECT

  public:
    TformDraftOrder(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformDraftOrder() override;

  private:
    void connectControls();
    void fillRounds();
    void showOncePerRound();
    int round() const;
    void refreshLists();
    void fillOrder();
    void fillAvailable();
    void updateButtons();

    void btnAddToOrderClick();
    void btnRemoveFromOrderClick();
    void moveClick(bool up);
    void btnGenerateClick();
    void btnAboutClick();
    void checkOncePerRoundClick(bool checked);
    void availableDoubleClick(QListWidgetItem* item);
    void orderDoubleClick(QTreeWidgetItem* item);
    void listsDragDrop(const HdlDragDrop::DropInfo& info);

    void addFranchises(const std::vector<int>& franchises);
    void removePicks(const std::vector<int>& picks);
    // The picks of the checked rows; the selected row's when none is checked.
    std::vector<int> picksToRemove() const;
    // Tells what the data layer refused; true when the change went through.
    bool stored(const qff::DraftChange& change);

    qff::Singleton& season_;
    Prompter& prompter_;
    int league_ = 0;
    HdlDragDrop dragDrop_;
    std::unique_ptr<Ui::TformDraftOrder> ui;
};
