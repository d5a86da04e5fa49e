#include "app/publish/AddressBook.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/publish/Mail.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QPushButton>
#include <QTreeWidget>
#include <array>

#include "app/league/EditTeam.h"
#include "app/widgets/Prompter.h"
#include "app/widgets/QtText.h"
#include "ui_AddressBook.h"

namespace {

constexpr std::array kKinds = {qff::kMailTo, qff::kMailCc, qff::kMailBcc};

int franchiseOf(const QTreeWidgetItem& row) {
    return row.data(0, Qt::UserRole).toInt();
}

}  // namespace

TformAddressBook::TformAddressBook(qff::Singleton& season, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      season_(season),
      prompter_(prompter),
      selectedLeague_(season.seasonState().peek(qff::kCurrentLeague)),
      dragDrop_(this),
      ui(std::make_unique<Ui::TformAddressBook>()) {
    ui->setupUi(this);
    using Kind = HdlDragDrop::Kind;
    const std::array<QTreeWidget*, 4> lists = {ui->listTeams, ui->listTo, ui->listCC, ui->listBCC};
    for (QTreeWidget* source : lists) {
        for (QTreeWidget* target : lists) {
            if (source != target) {
                dragDrop_.registerPair(source, Kind::ListView, target, Kind::ListView);
            }
        }
    }
    connectControls();
    setDefaultButton(qff::kMailTo);
    refreshLists();
}

TformAddressBook::~TformAddressBook() {
    if (season_.seasonState().peek(qff::kCurrentLeague) != selectedLeague_) {
        season_.seasonState().set(qff::kCurrentLeague, selectedLeague_);
    }
}

void TformAddressBook::connectControls() {
    for (int kind : kKinds) {
        connect(&buttonOf(kind), &QPushButton::clicked, this,
                [this, kind] { moveListItems(*ui->listTeams, listOf(kind)); });
        connect(&listOf(kind), &QTreeWidget::itemDoubleClicked, this,
                [this, kind] { moveListItems(listOf(kind), *ui->listTeams); });
    }
    connect(ui->listTeams, &QTreeWidget::itemDoubleClicked, this,
            &TformAddressBook::listTeamsDblClick);
    connect(ui->btnOK, &QPushButton::clicked, this, &TformAddressBook::btnOKClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TformAddressBook::reject);
    connect(ui->btnEditTeam, &QPushButton::clicked, this, &TformAddressBook::btnEditTeamClick);
    connect(&dragDrop_, &HdlDragDrop::dropped, this, &TformAddressBook::listsDragDrop);
}

void TformAddressBook::setRecipients(qff::MailRecipients& recipients) {
    recipients_ = &recipients;
    refreshLists();
}

void TformAddressBook::setDefaultButton(int kind) {
    defaultKind_ = kind;
    for (QPushButton* button : {ui->btnTo, ui->btnCC, ui->btnBCC, ui->btnOK}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    bool known = std::ranges::find(kKinds, kind) != kKinds.end();
    (known ? buttonOf(kind) : *ui->btnOK).setDefault(true);
}

QTreeWidget& TformAddressBook::listOf(int kind) const {
    switch (kind) {
        case qff::kMailCc:
            return *ui->listCC;
        case qff::kMailBcc:
            return *ui->listBCC;
        default:
            return *ui->listTo;
    }
}

QPushButton& TformAddressBook::buttonOf(int kind) const {
    switch (kind) {
        case qff::kMailCc:
            return *ui->btnCC;
        case qff::kMailBcc:
            return *ui->btnBCC;
        default:
            return *ui->btnTo;
    }
}

// Every row is built from the franchise as stored now, so an address just
// corrected shows wherever the franchise sits.
void TformAddressBook::addRow(QTreeWidget& list, int franchise) {
    const qff::Team* team = season_.teamQuery().findOne(qff::kFranchiseId, franchise);
    if (team == nullptr) {
        return;
    }
    auto* row = new QTreeWidgetItem(&list);
    row->setText(0, qText(qff::franchiseMailText(*team)));
    row->setData(0, Qt::UserRole, franchise);
}

void TformAddressBook::refreshLists() {
    for (QTreeWidget* list : {ui->listTeams, ui->listTo, ui->listCC, ui->listBCC}) {
        list->clear();
    }
    const qff::MailRecipients none;
    const qff::MailRecipients& chosen = recipients_ != nullptr ? *recipients_ : none;
    int league = season_.seasonState().peek(qff::kCurrentLeague);
    for (int franchise : qff::leagueFranchiseIds(season_, league)) {
        bool isChosen = std::ranges::any_of(
            chosen, [franchise](const auto& entry) { return entry.second == franchise; });
        if (!isChosen) {
            addRow(*ui->listTeams, franchise);
        }
    }
    for (const auto& [kind, franchise] : chosen) {
        addRow(listOf(kind), franchise);
    }
}

void TformAddressBook::moveListItems(QTreeWidget& source, QTreeWidget& target) {
    const QList<QTreeWidgetItem*> selected = source.selectedItems();
    for (int row = 0; row < source.topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = source.topLevelItem(row);
        if (item->isSelected()) {
            addRow(target, franchiseOf(*item));
        }
    }
    qDeleteAll(selected);
}

void TformAddressBook::listTeamsDblClick() {
    moveListItems(*ui->listTeams, listOf(defaultKind_));
}

// A drag takes the selection along when it starts on a selected row, else
// only the row it starts on.
void TformAddressBook::listsDragDrop(const HdlDragDrop::DropInfo& info) {
    auto* source = qobject_cast<QTreeWidget*>(info.source);
    auto* target = qobject_cast<QTreeWidget*>(info.target);
    if (source == nullptr || target == nullptr || info.sourceItem == nullptr) {
        return;
    }
    if (!info.sourceItem->isSelected()) {
        source->clearSelection();
        info.sourceItem->setSelected(true);
    }
    moveListItems(*source, *target);
}

void TformAddressBook::btnOKClick() {
    if (recipients_ != nullptr) {
        recipients_->clear();
        for (int kind : kKinds) {
            const QTreeWidget& list = listOf(kind);
            for (int row = 0; row < list.topLevelItemCount(); ++row) {
                recipients_->emplace(kind, franchiseOf(*list.topLevelItem(row)));
            }
        }
    }
    accept();
}

void TformAddressBook::btnEditTeamClick() {
    QTreeWidgetItem* row = ui->listTeams->currentItem();
    if (row == nullptr || !row->isSelected()) {
        return;
    }
    int franchise = franchiseOf(*row);
    TformEditTeam edit(season_, franchise, prompter_, this);
    if (edit.exec() != QDialog::Accepted) {
        return;
    }
    if (const qff::Team* team = season_.teamQuery().findOne(qff::kFranchiseId, franchise)) {
        row->setText(0, qText(qff::franchiseMailText(*team)));
    }
}
