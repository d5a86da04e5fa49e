#include <QHeaderView>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "app/widgets/DragDrop.h"

namespace {

// Opens the steps of a drag, which Qt's nested drag loop keeps from
// synthetic mouse events.
class StepHandler : public HdlDragDrop {
  public:
    using HdlDragDrop::accepts;
    using HdlDragDrop::dropOn;
    using HdlDragDrop::pressOn;
};

using Kind = HdlDragDrop::Kind;

QPoint centreOf(QListWidget& list, int row) {
    return list.visualItemRect(list.item(row)).center();
}

void fill(QListWidget& list, const QStringList& texts) {
    list.addItems(texts);
    list.resize(200, 300);
    list.show();
}

// Two shown lists, "Alpha" and "Beta" dragged from the first onto the empty second.
struct TwoLists {
    TwoLists() {
        fill(from, {"Alpha", "Beta"});
        fill(to, {});
        handler.registerPair(&from, Kind::ListBox, &to, Kind::ListBox);
    }
    QListWidget from;
    QListWidget to;
    StepHandler handler;
};

}  // namespace

class DragDropTest : public QObject {
    Q_OBJECT

  private slots:
    void dropBetweenRegisteredListsTellsBothEntries();
    void unregisteredPairIsRefused();
    void pressBelowTheLastEntryStartsNoDrag();
    void gridTakesDropsOnCellsOnly();
    void entryTextOfEveryKind();
    void aSourceKeepsAHundredPartners();
    void pressOnTheViewportIsRemembered();
};

void DragDropTest::dropBetweenRegisteredListsTellsBothEntries() {
    QListWidget from;
    QTreeWidget to;
    fill(from, {"Alpha", "Beta", "Gamma"});
    to.addTopLevelItems(
        {new QTreeWidgetItem(QStringList{"One"}), new QTreeWidgetItem(QStringList{"Two"})});
    to.show();
    StepHandler handler;
    handler.registerPair(&from, Kind::ListBox, &to, Kind::ListView);
    QSignalSpy spy(&handler, &HdlDragDrop::dropped);
    QVERIFY(handler.pressOn(&from, centreOf(from, 1)));
    QPoint onTwo = to.visualItemRect(to.topLevelItem(1)).center();
    QVERIFY(handler.dropOn(&to, &from, onTwo));
    QCOMPARE(spy.count(), 1);
    auto info = spy.at(0).at(0).value<HdlDragDrop::DropInfo>();
    QCOMPARE(info.sourceKind, Kind::ListBox);
    QCOMPARE(info.source, &from);
    QCOMPARE(info.sourceIndex, 1);
    QCOMPARE(info.targetKind, Kind::ListView);
    QCOMPARE(info.target, &to);
    QCOMPARE(info.targetItem, to.topLevelItem(1));
}

void DragDropTest::unregisteredPairIsRefused() {
    QListWidget a;
    QListWidget b;
    QListWidget c;
    fill(a, {"Alpha"});
    fill(b, {"Beta"});
    fill(c, {"Gamma"});
    StepHandler handler;
    handler.registerPair(&a, Kind::ListBox, &b, Kind::ListBox);
    QSignalSpy spy(&handler, &HdlDragDrop::dropped);
    QVERIFY(handler.pressOn(&a, centreOf(a, 0)));
    QVERIFY(!handler.accepts(&c, &a, centreOf(c, 0)));
    QVERIFY(!handler.dropOn(&c, &a, centreOf(c, 0)));
    QVERIFY(!handler.accepts(&a, &b, centreOf(a, 0)));
    QCOMPARE(spy.count(), 0);
    handler.reset();
    QVERIFY(!handler.accepts(&b, &a, centreOf(b, 0)));
}

void DragDropTest::pressBelowTheLastEntryStartsNoDrag() {
    TwoLists lists;
    QListWidget& from = lists.from;
    QListWidget& to = lists.to;
    StepHandler& handler = lists.handler;
    QPoint below = from.visualItemRect(from.item(1)).bottomLeft() + QPoint(5, 40);
    QVERIFY(!handler.pressOn(&from, below));
    QVERIFY(handler.pressOn(&from, centreOf(from, 0)));
    // An empty target still takes the entry, at no index.
    QSignalSpy spy(&handler, &HdlDragDrop::dropped);
    QVERIFY(handler.dropOn(&to, &from, QPoint(10, 10)));
    QCOMPARE(spy.at(0).at(0).value<HdlDragDrop::DropInfo>().targetIndex, -1);
}

void DragDropTest::gridTakesDropsOnCellsOnly() {
    QListWidget from;
    fill(from, {"Alpha"});
    QTableWidget grid(2, 2);
    grid.setItem(1, 1, new QTableWidgetItem("cell"));
    grid.resize(300, 200);
    grid.show();
    StepHandler handler;
    handler.registerPair(&from, Kind::ListBox, &grid, Kind::Grid);
    handler.registerPair(&grid, Kind::Grid, &from, Kind::ListBox);
    QVERIFY(handler.pressOn(&from, centreOf(from, 0)));
    QPoint header(grid.columnViewportPosition(1) + 5, -grid.horizontalHeader()->height() / 2);
    QVERIFY(!handler.accepts(&grid, &from, header));
    QPoint cell(grid.columnViewportPosition(1) + 5, grid.rowViewportPosition(1) + 5);
    QSignalSpy spy(&handler, &HdlDragDrop::dropped);
    QVERIFY(handler.dropOn(&grid, &from, cell));
    auto info = spy.at(0).at(0).value<HdlDragDrop::DropInfo>();
    QCOMPARE(info.targetColumn, 1);
    QCOMPARE(info.targetRow, 1);
    QPoint emptyCell(grid.columnViewportPosition(0) + 5, grid.rowViewportPosition(0) + 5);
    QVERIFY(!handler.pressOn(&grid, emptyCell));
    QVERIFY(handler.pressOn(&grid, cell));
}

void DragDropTest::entryTextOfEveryKind() {
    QListWidget list;
    fill(list, {"Alpha"});
    QTreeWidget tree;
    auto* parent = new QTreeWidgetItem(QStringList{"League"});
    parent->addChild(new QTreeWidgetItem(QStringList{"Franchise"}));
    tree.addTopLevelItem(parent);
    tree.expandAll();
    tree.show();
    HdlDragDrop handler;
    QCOMPARE(handler.entryText(&list, Kind::ListBox, centreOf(list, 0)), QString("Alpha"));
    QCOMPARE(handler.entryText(&list, Kind::ListBox, QPoint(5, 250)), QString());
    QPoint child = tree.visualItemRect(parent->child(0)).center();
    QCOMPARE(handler.entryText(&tree, Kind::TreeView, child), QString("Franchise"));
}

void DragDropTest::aSourceKeepsAHundredPartners() {
    QListWidget source;
    fill(source, {"Alpha"});
    std::vector<std::unique_ptr<QListWidget>> targets;
    for (int i = 0; i <= HdlDragDrop::kMaxPartners; ++i) {
        targets.push_back(std::make_unique<QListWidget>());
    }
    StepHandler handler;
    for (auto& target : targets) {
        handler.registerPair(&source, Kind::ListBox, target.get(), Kind::ListBox);
    }
    QVERIFY(handler.accepts(targets[HdlDragDrop::kMaxPartners - 1].get(), &source, {}));
    QVERIFY(!handler.accepts(targets[HdlDragDrop::kMaxPartners].get(), &source, {}));
}

void DragDropTest::pressOnTheViewportIsRemembered() {
    TwoLists lists;
    QListWidget& from = lists.from;
    QListWidget& to = lists.to;
    StepHandler& handler = lists.handler;
    QTest::mouseClick(from.viewport(), Qt::LeftButton, {}, centreOf(from, 1));
    QSignalSpy spy(&handler, &HdlDragDrop::dropped);
    QVERIFY(handler.dropOn(&to, &from, QPoint(5, 5)));
    QCOMPARE(spy.at(0).at(0).value<HdlDragDrop::DropInfo>().sourceIndex, 1);
}

QTEST_MAIN(DragDropTest)
#include "dragdrop_test.moc"
