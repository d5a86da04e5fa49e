// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Player.h"

#include "app/draft/SelectDraftPlayer.h"

#include <QPushButton>
#include <array>

#include "app/widgets/ListHelp.h"
#include "ui_SelectDraftPlayer.h"

namespace {

constexpr std::array<int, 3> kColumns = {qff::kPlayerName, qff::kPlayerTeam, qff::kPlayerPosition};

}  // namespace

TformSelectDraftPlayer::TformSelectDraftPlayer(const QString& franchiseName,
                                               const qff::PlyrList& players, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TformSelectDraftPlayer>()) {
    ui_->setupUi(this);
    ui_->labelFranchise->setText("Franchise: " + franchiseName);
    fillPlayerList(players, kColumns, 0, *ui_->listPlayers);
    for (int row = 0; row < ui_->listPlayers->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = ui_->listPlayers->topLevelItem(row);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    ui_->listPlayers->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(ui_->listPlayers, &QTreeWidget::itemChanged, this, &TformSelectDraftPlayer::updateOk);
    connect(ui_->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateOk();
}

TformSelectDraftPlayer::~TformSelectDraftPlayer() = default;

QList<int> TformSelectDraftPlayer::checkedPlayers() const {
    QList<int> ids;
    for (int row = 0; row < ui_->listPlayers->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = ui_->listPlayers->topLevelItem(row);
        if (item->checkState(0) == Qt::Checked) {
            ids.append(playerIdOf(item));
        }
    }
    return ids;
}

void TformSelectDraftPlayer::updateOk() {
    ui_->buttons->button(QDialogButtonBox::Ok)->setEnabled(!checkedPlayers().isEmpty());
}
