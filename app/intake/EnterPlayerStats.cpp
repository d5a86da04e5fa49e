#include "app/intake/EnterPlayerStats.h"

// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/model/Mapfact.h"
#include "data02/model/Player.h"
#include "data02/scoring/Point_sum.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"
#include "data02/storage/Statblock.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <algorithm>
#include <array>

#include "app/widgets/ListHelp.h"
#include "app/widgets/Prompter.h"
#include "ui_EnterPlayerStats.h"

namespace {

constexpr const char* kNotFound = "OOOPS! Player not found -OR- too many players found.";
constexpr const char* kCodeProperty = "code";
constexpr std::array<int, 2> kPlayerColumns = {qff::kPlayerName, qff::kPlayerId};

// The first code of each page's fields, which tells whether a position has it.
constexpr int kFirstOffenseCode = 9;
constexpr int kFirstDefenseCode = 72;
constexpr int kFirstSpecialTeamsCode = 61;

}  // namespace

TformEnterPlayerStats::TformEnterPlayerStats(qff::Singleton& season, Prompter& prompter,
                                             QWidget* parent)
    : QDialog(parent), ui(new Ui::TformEnterPlayerStats), season_(season), prompter_(prompter) {
    ui->setupUi(this);
    // Digits and minus signs only; a minus sign after the digits is ignored.
    auto* typed = new QRegularExpressionValidator(QRegularExpression("[0-9-]*"), this);
    for (QLineEdit* field : findChildren<QLineEdit*>()) {
        if (field->property(kCodeProperty).isValid()) {
            field->setValidator(typed);
            fields_.append(field);
        }
    }
    ui->listPlayers->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->listPlayers->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    fillCombo(ComboKind::Weeks, *ui->comboWeek, season_);
    fillCombo(ComboKind::NflTeams, *ui->comboNFLTeam, season_);
    qff::EntryChoice remembered = qff::rememberedEntryChoice(season_);
    if (int team = ui->comboNFLTeam->findData(remembered.nflTeam); team >= 0) {
        ui->comboNFLTeam->setCurrentIndex(team);
    }
    shownTeamIndex_ = ui->comboNFLTeam->currentIndex();
    connect(ui->comboNFLTeam, &QComboBox::activated, this,
            &TformEnterPlayerStats::comboNFLTeamChange);
    connect(ui->comboWeek, &QComboBox::activated, this, &TformEnterPlayerStats::comboWeekChange);
    connect(ui->listPlayers, &QTreeWidget::currentItemChanged, this,
            &TformEnterPlayerStats::listPlayersChange);
    connect(ui->btnClose, &QPushButton::clicked, this, &TformEnterPlayerStats::accept);
    fillPlayers(remembered.playerId);
    loadSelected();
}

TformEnterPlayerStats::~TformEnterPlayerStats() = default;

// Every way of closing keeps what was typed; there is nothing to cancel.
void TformEnterPlayerStats::done(int result) {
    if (!storeShown()) {
        return;
    }
    qff::EntryResult remembered =
        qff::rememberEntryChoice(season_, {ui->comboNFLTeam->currentData().toInt(), loadedPlayer_});
    if (!remembered.ok()) {
        prompter_.tell(this, Prompter::Icon::Error, QString::fromStdString(remembered.message));
    }
    QDialog::done(result);
}

void TformEnterPlayerStats::comboNFLTeamChange(int index) {
    if (!storeShown()) {
        QSignalBlocker quiet(ui->comboNFLTeam);
        ui->comboNFLTeam->setCurrentIndex(shownTeamIndex_);
        return;
    }
    shownTeamIndex_ = index;
    storeChoice(qff::kCurrentNflTeam, ui->comboNFLTeam->itemData(index).toInt());
    fillPlayers(0);
    loadSelected();
}

void TformEnterPlayerStats::comboWeekChange(int index) {
    if (!storeShown()) {
        QSignalBlocker quiet(ui->comboWeek);
        ui->comboWeek->setCurrentIndex(ui->comboWeek->findData(loadedWeek_));
        return;
    }
    storeChoice(qff::kCurrentWeek, ui->comboWeek->itemData(index).toInt());
    loadSelected();
}

void TformEnterPlayerStats::listPlayersChange(QTreeWidgetItem* current) {
    if (current == nullptr || playerIdOf(current) == loadedPlayer_) {
        return;
    }
    if (!storeShown()) {
        selectLoadedPlayer();
        return;
    }
    loadSelected();
}

// The players of the chosen NFL team, on `selectId` when it is one of them.
void TformEnterPlayerStats::fillPlayers(int selectId) {
    QSignalBlocker quiet(ui->listPlayers);
    qff::PlyrList players = qff::entryPlayers(season_, ui->comboNFLTeam->currentData().toInt());
    fillPlayerList(players, kPlayerColumns, 0, *ui->listPlayers);
    QTreeWidgetItem* select = ui->listPlayers->topLevelItem(0);
    for (int row = 0; row < ui->listPlayers->topLevelItemCount(); ++row) {
        if (playerIdOf(ui->listPlayers->topLevelItem(row)) == selectId) {
            select = ui->listPlayers->topLevelItem(row);
        }
    }
    ui->listPlayers->setCurrentItem(select);
    if (select != nullptr) {
        ui->listPlayers->scrollToItem(select);
    }
}

void TformEnterPlayerStats::loadSelected() {
    QTreeWidgetItem* row = ui->listPlayers->currentItem();
    if (row == nullptr) {
        forgetLoaded();
        return;
    }
    int week = ui->comboWeek->currentData().toInt();
    qff::StatValues values;
    if (!qff::readPlayerWeek(season_, playerIdOf(row), week, values).ok()) {
        forgetLoaded();
        prompter_.tell(this, Prompter::Icon::Error, kNotFound);
        return;
    }
    loadedPlayer_ = playerIdOf(row);
    loadedWeek_ = week;
    loadedCodes_.clear();
    for (const auto& [code, value] : values) {
        loadedCodes_.append(code);
    }
    const qff::Player* player =
        season_.mapFactory().players().findFirst(qff::kPlayerId, loadedPlayer_);
    ui->lblPlayer->setText(QString::fromStdString(player->text(qff::kPlayerComboTeamPos)));
    ui->tabsStats->setEnabled(true);
    showPages(values);
    showValues(values);
}

void TformEnterPlayerStats::forgetLoaded() {
    loadedPlayer_ = 0;
    loadedCodes_.clear();
    ui->lblPlayer->clear();
    ui->tabsStats->setEnabled(false);
    showValues({});
}

// An empty length field is an empty slot, so only lengths that hold a score show.
void TformEnterPlayerStats::showValues(const qff::StatValues& values) {
    for (QLineEdit* field : fields_) {
        int code = field->property(kCodeProperty).toInt();
        auto found = values.find(code);
        bool blank = found == values.end() || (found->second == 0 && qff::isSlotCode(code));
        field->setText(blank ? QString() : QString::number(found->second));
    }
}

void TformEnterPlayerStats::showPages(const qff::StatValues& values) {
    QTabWidget& tabs = *ui->tabsStats;
    const std::pair<QWidget*, bool> pages[] = {
        {ui->pageOffense, values.contains(kFirstOffenseCode)},
        {ui->pageDefense, values.contains(kFirstDefenseCode)},
        {ui->pageSpecialTeams, values.contains(kFirstSpecialTeamsCode)},
        {ui->pageBonus, true},
    };
    // A page the next player has too stays in front, so a run of players of
    // one kind is entered on the same page.
    QWidget* front = tabs.currentWidget();
    auto kept =
        std::ranges::find_if(pages, [front](const auto& page) { return page.first == front; });
    for (const auto& [page, shown] : pages) {
        tabs.setTabVisible(tabs.indexOf(page), shown);
    }
    auto first = std::ranges::find_if(pages, [](const auto& page) { return page.second; });
    tabs.setCurrentWidget(kept != std::end(pages) && kept->second ? front : first->first);
}

// Hands what is on show to the data layer; false, telling why, when it is
// not stored, so the caller stays where it is.
bool TformEnterPlayerStats::storeShown() {
    if (loadedPlayer_ == 0) {
        return true;
    }
    qff::StatValues values;
    for (int code : loadedCodes_) {
        values[code] = qff::readWholeNumber(fieldOf(code)->text().toStdString());
    }
    qff::EntryResult stored = qff::enterPlayerWeek(season_, loadedPlayer_, loadedWeek_, values);
    if (!stored.ok()) {
        showRefusal(stored);
    }
    return stored.ok();
}

// A refused value is left to correct on its field; after a failed write the
// fields show what the file holds.
void TformEnterPlayerStats::showRefusal(const qff::EntryResult& result) {
    QLineEdit* field = result.status == qff::kBadValue ? fieldOf(result.code) : nullptr;
    prompter_.tell(this, field != nullptr ? Prompter::Icon::Warning : Prompter::Icon::Error,
                   QString::fromStdString(result.message));
    if (field != nullptr) {
        for (QWidget* page = field->parentWidget(); page != nullptr; page = page->parentWidget()) {
            if (ui->tabsStats->indexOf(page) >= 0) {
                ui->tabsStats->setCurrentWidget(page);
            }
        }
        field->setFocus();
        field->selectAll();
        return;
    }
    qff::StatValues stored;
    if (qff::readPlayerWeek(season_, loadedPlayer_, loadedWeek_, stored).ok()) {
        showValues(stored);
    } else {
        forgetLoaded();
    }
}

void TformEnterPlayerStats::selectLoadedPlayer() {
    QSignalBlocker quiet(ui->listPlayers);
    for (int row = 0; row < ui->listPlayers->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = ui->listPlayers->topLevelItem(row);
        if (playerIdOf(item) == loadedPlayer_) {
            ui->listPlayers->setCurrentItem(item);
        }
    }
}

void TformEnterPlayerStats::storeChoice(int id, int value) {
    qff::SeasonState& state = season_.seasonState();
    if (state.set(id, value) != qff::kOk) {
        prompter_.tell(this, Prompter::Icon::Error, QString::fromStdString(state.lastError()));
    }
}

QLineEdit* TformEnterPlayerStats::fieldOf(int code) const {
    for (QLineEdit* field : fields_) {
        if (field->property(kCodeProperty).toInt() == code) {
            return field;
        }
    }
    return nullptr;
}
