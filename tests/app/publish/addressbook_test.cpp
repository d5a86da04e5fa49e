// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Structure.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/publish/Mail.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <map>
#include <memory>

#include "app/league/EditTeam.h"
#include "app/publish/AddressBook.h"
#include "tests/app/support/AppFixture.h"
#include "tests/app/support/PropertyGrid.h"

using qff::apptest::child;
using qff::apptest::click;
using qff::apptest::RecordingPrompter;
using qff::apptest::SeasonFolder;
using qff::apptest::whenModal;

namespace {

constexpr const char* kLists[] = {"listTeams", "listTo", "listCC", "listBCC"};

QStringList rowsOf(QWidget& dialog, const char* list) {
    QStringList rows;
    auto& tree = child<QTreeWidget>(dialog, list);
    for (int row = 0; row < tree.topLevelItemCount(); ++row) {
        rows << tree.topLevelItem(row)->text(0);
    }
    return rows;
}

void select(QWidget& dialog, const char* list, const QStringList& rows) {
    auto& tree = child<QTreeWidget>(dialog, list);
    tree.clearSelection();
    for (int row = 0; row < tree.topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = tree.topLevelItem(row);
        if (rows.contains(item->text(0))) {
            item->setSelected(true);
            tree.setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        }
    }
}

void doubleClick(QWidget& dialog, const char* list, const QString& row) {
    auto& tree = child<QTreeWidget>(dialog, list);
    select(dialog, list, {row});
    for (int index = 0; index < tree.topLevelItemCount(); ++index) {
        if (tree.topLevelItem(index)->text(0) == row) {
            emit tree.itemDoubleClicked(tree.topLevelItem(index), 0);
            return;
        }
    }
    QFAIL(qPrintable("no row " + row));
}

void drop(QWidget& dialog, const char* from, const QString& row, const char* to) {
    auto& source = child<QTreeWidget>(dialog, from);
    HdlDragDrop::DropInfo info;
    info.sourceKind = HdlDragDrop::Kind::ListView;
    info.source = &source;
    info.targetKind = HdlDragDrop::Kind::ListView;
    info.target = &child<QTreeWidget>(dialog, to);
    for (int index = 0; index < source.topLevelItemCount(); ++index) {
        if (source.topLevelItem(index)->text(0) == row) {
            info.sourceItem = source.topLevelItem(index);
        }
    }
    QVERIFY2(info.sourceItem != nullptr, qPrintable(row));
    emit dialog.findChild<HdlDragDrop*>()->dropped(info);
}

}  // namespace

class AddressBookTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void rowsShowTheAddressOrItsAbsence();
    void reopensWithTheCallersRecipients();
    void movesKeepOneRowPerFranchise_data();
    void movesKeepOneRowPerFranchise();
    void doubleClickOnTeamsGoesToTheDefaultList_data();
    void doubleClickOnTeamsGoesToTheDefaultList();
    void okRebuildsTheMapInListOrder();
    void cancelLeavesTheMapAlone();
    void editedFranchiseShowsItsNewAddress();
    void theSelectedLeagueComesBack();

  private:
    int franchise(int index) const { return franchises_.at(index)->id(); }
    QString row(int index) const;

    std::unique_ptr<SeasonFolder> season_;
    qff::TeamList franchises_;
    RecordingPrompter prompter_;
};

void AddressBookTest::init() {
    season_ = std::make_unique<SeasonFolder>(qff::apptest::smallDemo());
    QVERIFY(season_->opened());
    int league = season_->context().seasonState().peek(qff::kCurrentLeague);
    franchises_ = season_->context().teamQuery().leagueFranchises(league);
    QCOMPARE(franchises_.size(), std::size_t{4});
    prompter_ = RecordingPrompter();
}

void AddressBookTest::cleanup() {
    franchises_.clear();
    season_.reset();
}

QString AddressBookTest::row(int index) const {
    const qff::Team& team = *franchises_.at(index);
    return QString::fromStdString(team.text(qff::kFranchiseName) + " < " +
                                  team.text(qff::kOwnerEmail) + " >");
}

void AddressBookTest::rowsShowTheAddressOrItsAbsence() {
    qff::StructureResult cleared =
        qff::saveProperties(season_->context(), {qff::StructureKind::Franchise, franchise(2)},
                            {{{qff::kOwnerEmail, ""}}});
    QVERIFY(cleared.ok());
    qff::MailRecipients recipients;
    TformAddressBook dialog(season_->context(), prompter_);
    dialog.setRecipients(recipients);
    QString noAddress =
        QString::fromStdString(franchises_[2]->text(qff::kFranchiseName)) + " < No EMail Address >";
    QCOMPARE(rowsOf(dialog, "listTeams"), QStringList({row(0), row(1), noAddress, row(3)}));

    select(dialog, "listTeams", {noAddress});
    click(dialog, "btnTo");
    QCOMPARE(rowsOf(dialog, "listTo"), QStringList({noAddress}));
    click(dialog, "btnOK");
    QCOMPARE(recipients, (qff::MailRecipients{{qff::kMailTo, franchise(2)}}));
}

void AddressBookTest::reopensWithTheCallersRecipients() {
    qff::MailRecipients recipients{
        {qff::kMailCc, franchise(3)}, {qff::kMailCc, franchise(1)}, {qff::kMailBcc, franchise(0)}};
    TformAddressBook dialog(season_->context(), prompter_);
    dialog.setRecipients(recipients);
    QCOMPARE(rowsOf(dialog, "listCC"), QStringList({row(3), row(1)}));
    QCOMPARE(rowsOf(dialog, "listBCC"), QStringList({row(0)}));
    QCOMPARE(rowsOf(dialog, "listTo"), QStringList());
    QCOMPARE(rowsOf(dialog, "listTeams"), QStringList({row(2)}));
}

// Each step moves one franchise by one of the ways the user has: a button,
// a double-click or a drop; the column names the list it starts in.
void AddressBookTest::movesKeepOneRowPerFranchise_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("buttons and back") << QStringList{"btnTo 0",  "btnCC 1",      "dbl listTo 0",
                                                     "btnBCC 0", "dbl listCC 1", "dbl listBCC 0"};
    QTest::newRow("drops around") << QStringList{
        "drop listTeams listTo 0", "drop listTo listCC 0", "drop listCC listBCC 0",
        "drop listBCC listTeams 0", "drop listTeams listCC 3"};
    QTest::newRow("mixed") << QStringList{"btnTo 2",       "drop listTo listBCC 2", "btnTo 0",
                                          "dbl listBCC 2", "drop listTo listCC 0",  "btnTo 2"};
}

void AddressBookTest::movesKeepOneRowPerFranchise() {
    QFETCH(QStringList, steps);
    qff::MailRecipients recipients;
    TformAddressBook dialog(season_->context(), prompter_);
    dialog.setRecipients(recipients);
    for (const QString& step : steps) {
        QStringList words = step.split(' ');
        QString moved = row(words.last().toInt());
        if (words[0] == "dbl") {
            doubleClick(dialog, qPrintable(words[1]), moved);
        } else if (words[0] == "drop") {
            drop(dialog, qPrintable(words[1]), moved, qPrintable(words[2]));
        } else {
            select(dialog, "listTeams", {moved});
            click(dialog, qPrintable(words[0]));
        }
        QStringList all;
        for (const char* list : kLists) {
            all << rowsOf(dialog, list);
        }
        all.sort();
        QCOMPARE(all, QStringList({row(0), row(1), row(2), row(3)}));
    }
}

void AddressBookTest::doubleClickOnTeamsGoesToTheDefaultList_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("defaultButton");
    QTest::newRow("To") << int(qff::kMailTo) << QString("listTo") << QString("btnTo");
    QTest::newRow("CC") << int(qff::kMailCc) << QString("listCC") << QString("btnCC");
    QTest::newRow("BCC") << int(qff::kMailBcc) << QString("listBCC") << QString("btnBCC");
    QTest::newRow("OK") << 7 << QString("listTo") << QString("btnOK");
}

void AddressBookTest::doubleClickOnTeamsGoesToTheDefaultList() {
    QFETCH(int, kind);
    QFETCH(QString, list);
    QFETCH(QString, defaultButton);
    qff::MailRecipients recipients;
    TformAddressBook dialog(season_->context(), prompter_);
    dialog.setRecipients(recipients);
    dialog.setDefaultButton(kind);
    QVERIFY(child<QPushButton>(dialog, qPrintable(defaultButton)).isDefault());
    doubleClick(dialog, "listTeams", row(1));
    QCOMPARE(rowsOf(dialog, qPrintable(list)), QStringList({row(1)}));
}

void AddressBookTest::okRebuildsTheMapInListOrder() {
    qff::MailRecipients recipients{{qff::kMailBcc, franchise(0)}};
    TformAddressBook dialog(season_->context(), prompter_);
    dialog.setRecipients(recipients);
    select(dialog, "listTeams", {row(3)});
    click(dialog, "btnCC");
    select(dialog, "listTeams", {row(2), row(1)});
    click(dialog, "btnTo");
    click(dialog, "btnOK");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    qff::MailRecipients expected{{qff::kMailTo, franchise(1)},
                                 {qff::kMailTo, franchise(2)},
                                 {qff::kMailCc, franchise(3)},
                                 {qff::kMailBcc, franchise(0)}};
    QCOMPARE(recipients, expected);
}

void AddressBookTest::cancelLeavesTheMapAlone() {
    const qff::MailRecipients before{{qff::kMailCc, franchise(2)}, {qff::kMailTo, franchise(0)}};
    qff::MailRecipients recipients = before;
    TformAddressBook dialog(season_->context(), prompter_);
    dialog.setRecipients(recipients);
    select(dialog, "listTeams", {row(1), row(3)});
    click(dialog, "btnBCC");
    doubleClick(dialog, "listCC", row(2));
    click(dialog, "btnCancel");
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(recipients, before);
}

void AddressBookTest::editedFranchiseShowsItsNewAddress() {
    qff::MailRecipients recipients;
    TformAddressBook dialog(season_->context(), prompter_);
    dialog.setRecipients(recipients);
    select(dialog, "listTeams", {row(1)});
    whenModal<TformEditTeam>([](TformEditTeam& edit) {
        auto& grid = child<QTableWidget>(edit, "gridProperties");
        qff::apptest::typeInto(grid, "EMail Address", "owner.two@example.net");
        click(edit, "btnOk");
    });
    click(dialog, "btnEditTeam");
    QString name = QString::fromStdString(franchises_[1]->text(qff::kFranchiseName));
    QCOMPARE(rowsOf(dialog, "listTeams")[1], name + " < owner.two@example.net >");
    QCOMPARE(franchises_[1]->text(qff::kOwnerEmail), std::string("owner.two@example.net"));
}

void AddressBookTest::theSelectedLeagueComesBack() {
    qff::SeasonState& state = season_->context().seasonState();
    int league = state.peek(qff::kCurrentLeague);
    {
        TformAddressBook dialog(season_->context(), prompter_);
        state.set(qff::kCurrentLeague, league + 100);
    }
    QCOMPARE(state.peek(qff::kCurrentLeague), league);
}

QTEST_MAIN(AddressBookTest)
#include "addressbook_test.moc"
