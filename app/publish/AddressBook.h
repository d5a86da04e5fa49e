#pragma once

// TformAddressBook: picks the recipients of a mailing among the franchises
// of the selected league, as To, CC or BCC, by the buttons, by dragging
// between any two lists or by a double-click. The caller's recipient map is
// rewritten only on "OK". A franchise's contact details can be corrected on
// the way, and its row shows the saved address at once.

#include "data02/publish/Mail.h"

#include <QDialog>
#include <memory>

#include "app/widgets/DragDrop.h"

namespace Ui {
class TformAddressBook;
}

namespace qff {
class Singleton;
}  // namespace qff

class Prompter;
class QTreeWidget;
class QTreeWidgetItem;
class QPushButton;

class TformAddressBook : public QDialog {
    Q_OBJECT

  public:
    TformAddressBook(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    // Gives the season its selected league back, whatever editing a
    // franchise did to it.
    ~TformAddressBook() override;

    // The map stays the caller's; "OK" refills it from the three lists.
    void setRecipients(qff::MailRecipients& recipients);
    // 0 "&To", 1 "&CC", 2 "&BCC", any other kind "OK".
    void setDefaultButton(int kind);

  private:
    void connectControls();
    void refreshLists();
    void moveListItems(QTreeWidget& source, QTreeWidget& target);
    QTreeWidget& listOf(int kind) const;
    QPushButton& buttonOf(int kind) const;
    void addRow(QTreeWidget& list, int franchise);

    void btnOKClick();
    void btnEditTeamClick();
    void listTeamsDblClick();
    void listsDragDrop(const HdlDragDrop::DropInfo& info);

    qff::Singleton& season_;
    Prompter& prompter_;
    int selectedLeague_ = 0;
    int defaultKind_ = -1;
    qff::MailRecipients* recipients_ = nullptr;
    HdlDragDrop dragDrop_;
    std::unique_ptr<Ui::TformAddressBook> ui;
};
