// The data headers come first: one of them has a member named like a Qt
// keyword macro.
#include "data02/league/Structure.h"
#include "data02/model/Divqry.h"
#include "data02/model/Legqry.h"
#include "data02/model/Team.h"
#include "data02/model/Teamqry.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "app/league/EditTeam.h"
#include "app/league/SetupLeague.h"
#include "app/widgets/DragDrop.h"
#include "app/widgets/ListHelp.h"
#include "tests/app/support/AppFixture.h"
#include "tests/app/support/PropertyGrid.h"

using qff::StructureKind;
using qff::StructureNode;
using qff::apptest::cell;
using qff::apptest::RecordingPrompter;
using qff::apptest::rowOf;
using qff::apptest::SeasonFolder;
using qff::apptest::typeInto;

namespace {

const QString kBlankMessage =
    "One or more required fields were left blank. They have been restored to their original "
    "value.";

// A setup form on an empty season, driven by its controls.
class SetupForm {
  public:
    explicit SetupForm(SeasonFolder& folder) : season(folder.context()) {
        form = std::make_unique<TformSetupLeague>(season, prompter);
        form->show();
        tree = form->findChild<QTreeWidget*>("treeLeague");
        grid = form->findChild<QTableWidget*>("gridProperties");
    }

    void click(const char* button) { form->findChild<QPushButton*>(button)->click(); }

    QTreeWidgetItem* itemOf(StructureNode node) const {
        for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
            std::optional<StructureNode> found = structureNodeOf(*it);
            if (found && found->kind == node.kind && found->id == node.id) {
                return *it;
            }
        }
        return nullptr;
    }
    void select(StructureNode node) { tree->setCurrentItem(itemOf(node)); }
    std::optional<StructureNode> selected() const { return structureNodeOf(tree->currentItem()); }

    // Creates with the button and returns the new node, which the tree selects.
    StructureNode create(const char* button) {
        click(button);
        return selected().value_or(StructureNode{});
    }

    // Builds "North" with two divisions of two franchises each by the controls.
    void buildNorth() {
        north = create("btnNewLeague");
        typeInto(*grid, "League Name", "North");
        click("btnSaveProperties");
        for (int d = 0; d < 2; ++d) {
            select(north);
            divisions[d] = create("btnNewDivision");
            franchises[2 * d] = create("btnNewFranchise");
            select(divisions[d]);
            franchises[2 * d + 1] = create("btnNewFranchise");
        }
    }

    qff::Team* team(int id) const { return season.teamQuery().findOne(qff::kFranchiseId, id); }
    std::string franchiseName(int id) const { return team(id)->text(qff::kFranchiseName); }

    qff::Singleton& season;
    RecordingPrompter prompter;
    std::unique_ptr<TformSetupLeague> form;
    QTreeWidget* tree = nullptr;
    QTableWidget* grid = nullptr;
    StructureNode north;
    StructureNode divisions[2];
    StructureNode franchises[4];
};

}  // namespace

class SetupLeagueTest : public QObject {
    Q_OBJECT

  private slots:
    void buildsALeagueWithDivisionsAndFranchisesByTheControls();
    void aDuplicateNameIsRestoredWithTheMessage();
    void refusedCharactersCannotBeTypedAndBlankNamesComeBack();
    void leavingTheGridSavesAndTellsOnce();
    void theDefaultLeagueKeepsItsNameAndCannotBeDeleted();
    void deletingADivisionTakesItsFranchisesAfterYes();
    void enterAnswersTheDeleteQuestionWithNo();
    void droppingAFranchiseOnItsLeagueTakesItOutOfItsDivision();
    void wrongDropsAreRefusedWithTheirMessages_data();
    void wrongDropsAreRefusedWithTheirMessages();
    void editTeamStoresTheOwnersDetails();
};

void SetupLeagueTest::buildsALeagueWithDivisionsAndFranchisesByTheControls() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    SetupForm setup(folder);
    QSignalSpy changed(setup.form.get(), &SeasonForm::seasonChanged);
    setup.buildNorth();

    const qff::League* north = setup.season.leagueQuery().findOne(qff::kLeagueId, setup.north.id);
    QVERIFY(north != nullptr);
    QCOMPARE(north->text(qff::kLeagueName), std::string("North"));
    QCOMPARE(setup.itemOf(setup.north)->text(0), QString("North"));
    QCOMPARE(setup.season.divisionQuery().leagueDivisions(setup.north.id).size(), 2u);
    for (int f = 0; f < 4; ++f) {
        const qff::Team* team = setup.team(setup.franchises[f].id);
        QVERIFY(team != nullptr);
        QCOMPARE(team->getValue(qff::kFranchiseLeague, qff::kAllWeeks), setup.north.id);
        QCOMPARE(team->getValue(qff::kFranchiseDivision, qff::kAllWeeks),
                 setup.divisions[f / 2].id);
        QCOMPARE(setup.itemOf(setup.franchises[f])->parent(), setup.itemOf(setup.divisions[f / 2]));
    }
    QVERIFY(changed.count() >= 7);
    QVERIFY(setup.prompter.told.isEmpty());
    // The grid shows the selected franchise, and the season state follows the tree.
    setup.select(setup.franchises[3]);
    QCOMPARE(setup.form->findChild<QLabel*>("labelProperties")->text(),
             QString("Franchise Information"));
    QCOMPARE(cell(*setup.grid, "Team Name"),
             QString::fromStdString(setup.franchiseName(setup.franchises[3].id)));
    QCOMPARE(setup.season.seasonState().get(qff::kCurrentFranchise), setup.franchises[3].id);
}

void SetupLeagueTest::aDuplicateNameIsRestoredWithTheMessage() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    SetupForm setup(folder);
    setup.buildNorth();
    int first = setup.franchises[0].id;
    std::string original = setup.franchiseName(first);
    setup.select(setup.franchises[0]);
    typeInto(*setup.grid, "Team Name",
             QString::fromStdString(setup.franchiseName(setup.franchises[3].id)));
    typeInto(*setup.grid, "City", "Salem");
    setup.click("btnSaveProperties");
    QCOMPARE(setup.prompter.told,
             QStringList({"A franchise with that name already exists. The original name has been "
                          "restored."}));
    QCOMPARE(cell(*setup.grid, "Team Name"), QString::fromStdString(original));
    QCOMPARE(setup.itemOf(setup.franchises[0])->text(0), QString::fromStdString(original));
    QCOMPARE(setup.franchiseName(first), original);
    QCOMPARE(setup.team(first)->text(qff::kOwnerCity), std::string("Salem"));
}

void SetupLeagueTest::refusedCharactersCannotBeTypedAndBlankNamesComeBack() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    SetupForm setup(folder);
    int id = setup.create("btnNewFranchise").id;
    typeInto(*setup.grid, "Team Name", "Night: Owls?");
    typeInto(*setup.grid, "Address", "1 Main St: Apt 2");
    setup.click("btnSaveProperties");
    QCOMPARE(setup.franchiseName(id), std::string("Night Owls"));
    QCOMPARE(setup.team(id)->text(qff::kOwnerAddress), std::string("1 Main St Apt 2"));
    QCOMPARE(setup.itemOf({StructureKind::Franchise, id})->text(0), QString("Night Owls"));

    typeInto(*setup.grid, "Team Name", "");
    setup.click("btnSaveProperties");
    QCOMPARE(setup.prompter.told, QStringList({kBlankMessage}));
    QCOMPARE(cell(*setup.grid, "Team Name"), QString("Night Owls"));
    QCOMPARE(setup.franchiseName(id), std::string("Night Owls"));
}

void SetupLeagueTest::leavingTheGridSavesAndTellsOnce() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    SetupForm setup(folder);
    setup.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(setup.form.get()));
    StructureNode owls = setup.create("btnNewFranchise");
    std::string name = setup.franchiseName(owls.id);
    setup.grid->setFocus();
    typeInto(*setup.grid, "Owner Name", "Pat");
    typeInto(*setup.grid, "Team Name", "");
    setup.tree->setFocus();
    QCOMPARE(setup.prompter.told, QStringList({kBlankMessage}));
    QCOMPARE(setup.team(owls.id)->text(qff::kOwnerName), std::string("Pat"));
    QCOMPARE(cell(*setup.grid, "Team Name"), QString::fromStdString(name));
    setup.select({StructureKind::League, qff::kDefaultLeagueId});
    QCOMPARE(setup.prompter.told.size(), 1);
}

void SetupLeagueTest::theDefaultLeagueKeepsItsNameAndCannotBeDeleted() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    SetupForm setup(folder);
    setup.select({StructureKind::League, qff::kDefaultLeagueId});
    int nameRow = rowOf(*setup.grid, "League Name");
    QVERIFY(!(setup.grid->item(nameRow, 1)->flags() & Qt::ItemIsEditable));
    QVERIFY(!setup.form->findChild<QPushButton*>("btnDelete")->isEnabled());
    QVERIFY(!setup.form->findChild<QAction*>("menuDelete")->isEnabled());
    typeInto(*setup.grid, "Your Phone", "555-0100");
    setup.click("btnSaveProperties");
    QCOMPARE(setup.season.leagueQuery()
                 .findOne(qff::kLeagueId, qff::kDefaultLeagueId)
                 ->text(qff::kLeaguePhone),
             std::string("555-0100"));
    setup.create("btnNewLeague");
    QVERIFY(setup.form->findChild<QPushButton*>("btnDelete")->isEnabled());
}

void SetupLeagueTest::deletingADivisionTakesItsFranchisesAfterYes() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    SetupForm setup(folder);
    setup.buildNorth();
    setup.select(setup.divisions[0]);
    QString name = setup.tree->currentItem()->text(0);
    setup.click("btnDelete");
    QString question = "Are you sure you want to delete " + name +
                       "?\n\nAnswering YES will result in the destruction of all associated "
                       "franchises.";
    QCOMPARE(setup.prompter.asked, QStringList({question}));
    QVERIFY(setup.itemOf(setup.divisions[0]) != nullptr);
    QVERIFY(setup.team(setup.franchises[0].id) != nullptr);

    setup.prompter.answer = true;
    setup.select(setup.divisions[0]);
    setup.click("btnDelete");
    QCOMPARE(setup.season.divisionQuery().leagueDivisions(setup.north.id).size(), 1u);
    QVERIFY(setup.team(setup.franchises[0].id) == nullptr);
    QVERIFY(setup.team(setup.franchises[1].id) == nullptr);
    QVERIFY(setup.team(setup.franchises[2].id) != nullptr);
    QVERIFY(setup.team(setup.franchises[3].id) != nullptr);
    QVERIFY(setup.itemOf(setup.divisions[0]) == nullptr);
    QVERIFY(setup.itemOf(setup.franchises[0]) == nullptr);
    QVERIFY(setup.prompter.told.isEmpty());

    setup.select(setup.franchises[2]);
    name = setup.tree->currentItem()->text(0);
    setup.click("btnDelete");
    QCOMPARE(setup.prompter.asked.last(),
             "Are you sure you want to delete " + name +
                 "?\n\nAnswering YES will result in the destruction of the franchise.");
    QVERIFY(setup.team(setup.franchises[2].id) == nullptr);
}

void SetupLeagueTest::enterAnswersTheDeleteQuestionWithNo() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    qff::Singleton& season = folder.context();
    int id = qff::createFranchise(season, {StructureKind::League, 0}, "Hawks").id;
    Prompter screen;
    TformSetupLeague form(season, screen);
    form.show();
    QString asked;
    QTimer::singleShot(0, [&asked] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box != nullptr);
        asked = box->findChild<QLabel*>("qt_msgbox_label")->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    form.findChild<QPushButton*>("btnDelete")->click();
    QVERIFY(asked.startsWith("Are you sure you want to delete Hawks?"));
    QVERIFY(season.teamQuery().findOne(qff::kFranchiseId, id) != nullptr);
}

void SetupLeagueTest::droppingAFranchiseOnItsLeagueTakesItOutOfItsDivision() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    SetupForm setup(folder);
    setup.buildNorth();
    auto* handler = setup.form->findChild<HdlDragDrop*>();
    QVERIFY(handler != nullptr);
    HdlDragDrop::DropInfo info;
    info.sourceKind = info.targetKind = HdlDragDrop::Kind::TreeView;
    info.source = info.target = setup.tree;
    info.sourceItem = setup.itemOf(setup.franchises[1]);
    info.targetItem = setup.itemOf(setup.north);
    emit handler->dropped(info);

    const qff::Team* moved = setup.team(setup.franchises[1].id);
    QCOMPARE(moved->getValue(qff::kFranchiseDivision, qff::kAllWeeks), qff::kNoDivision);
    QCOMPARE(moved->getValue(qff::kFranchiseLeague, qff::kAllWeeks), setup.north.id);
    QCOMPARE(setup.itemOf(setup.franchises[1])->parent(), setup.itemOf(setup.north));
    QCOMPARE(setup.selected()->id, setup.franchises[1].id);
    QVERIFY(setup.prompter.told.isEmpty());
    QVERIFY(setup.prompter.asked.isEmpty());
}

void SetupLeagueTest::wrongDropsAreRefusedWithTheirMessages_data() {
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("message");
    // 0 the league, 1 a division, 2 a franchise of it, 3 the Default League.
    QTest::newRow("league on league") << 0 << 3 << "??? Dragging from a league ???";
    QTest::newRow("league on division") << 0 << 1 << "??? Dragging from a division/league ???";
    QTest::newRow("division on division") << 1 << 1 << "";
    QTest::newRow("franchise on franchise") << 2 << 2 << "";
    QTest::newRow("division on franchise") << 1 << 2 << "??? Dropping on to a franchise ???";
}

void SetupLeagueTest::wrongDropsAreRefusedWithTheirMessages() {
    QFETCH(int, source);
    QFETCH(int, target);
    QFETCH(QString, message);
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    SetupForm setup(folder);
    setup.buildNorth();
    const StructureNode nodes[] = {setup.north,
                                   setup.divisions[0],
                                   setup.franchises[3],
                                   {StructureKind::League, qff::kDefaultLeagueId}};
    HdlDragDrop::DropInfo info;
    info.sourceKind = info.targetKind = HdlDragDrop::Kind::TreeView;
    info.source = info.target = setup.tree;
    info.sourceItem = setup.itemOf(nodes[source]);
    info.targetItem = setup.itemOf(nodes[target]);
    emit setup.form->findChild<HdlDragDrop*>()->dropped(info);
    QCOMPARE(setup.prompter.told, message.isEmpty() ? QStringList() : QStringList({message}));
    QCOMPARE(setup.season.divisionQuery().leagueDivisions(setup.north.id).size(), 2u);
    QCOMPARE(setup.team(setup.franchises[3].id)->getValue(qff::kFranchiseDivision, qff::kAllWeeks),
             setup.divisions[1].id);
}

void SetupLeagueTest::editTeamStoresTheOwnersDetails() {
    SeasonFolder folder(2003);
    QVERIFY(folder.opened());
    qff::Singleton& season = folder.context();
    int id = qff::createFranchise(season, {StructureKind::League, 0}, "Hawks").id;
    RecordingPrompter prompter;
    TformEditTeam dialog(season, id, prompter);
    dialog.show();
    auto* grid = dialog.findChild<QTableWidget*>("gridProperties");
    QCOMPARE(dialog.windowTitle(), QString("Edit Team Information"));
    QCOMPARE(cell(*grid, "Team Name"), QString("Hawks"));
    const std::pair<const char*, int> typed[] = {
        {"Owner Name", qff::kOwnerName},
        {"Address", qff::kOwnerAddress},
        {"City", qff::kOwnerCity},
        {"State", qff::kOwnerState},
        {"Zip", qff::kOwnerZip},
        {"EMail Address", qff::kOwnerEmail},
        {"Home Phone", qff::kOwnerHomePhone},
        {"Work Phone", qff::kOwnerWorkPhone},
    };
    const QString values[] = {"Pat Quinn", "12 Elm Street",   "Salem",    "ORE",
                              "973011",    "pat@example.com", "555-0100", "555-0199"};
    for (std::size_t i = 0; i < std::size(typed); ++i) {
        typeInto(*grid, typed[i].first, values[i]);
    }
    typeInto(*grid, "Team Name", "");
    dialog.findChild<QPushButton*>("btnOk")->click();
    QCOMPARE(dialog.result(), int{QDialog::Accepted});
    QCOMPARE(prompter.told, QStringList({kBlankMessage}));
    const qff::Team* team = season.teamQuery().findOne(qff::kFranchiseId, id);
    QCOMPARE(team->text(qff::kFranchiseName), std::string("Hawks"));
    // The editor stops at each row's length: "ORE" and "973011" arrive cut.
    const std::string stored[] = {"Pat Quinn", "12 Elm Street",   "Salem",    "OR",
                                  "97301",     "pat@example.com", "555-0100", "555-0199"};
    for (std::size_t i = 0; i < std::size(typed); ++i) {
        QCOMPARE(team->text(typed[i].second), stored[i]);
    }
}

QTEST_MAIN(SetupLeagueTest)
#include "setupleague_test.moc"
