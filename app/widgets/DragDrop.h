#pragma once

// HdlDragDrop lets the user drag entries between list-like controls of a
// dialog. The dialog registers which control may drop onto which; the
// handler starts a drag only over an entry, accepts it only over a partner
// (over a grid only on its cells, never on its headers) and on a drop tells
// the dialog which entry went where through `dropped`. The dialog moves the
// entry itself. Positions are in the coordinates of the control's viewport,
// as Qt's item views take them in itemAt and indexAt.

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <map>
#include <vector>

class QTreeWidgetItem;
class QWidget;

class HdlDragDrop : public QObject {
    Q_OBJECT

  public:
    // QListWidget, QTableWidget, QTreeWidget as a list, QTreeWidget as a tree.
    enum class Kind { ListBox = 1, Grid = 2, ListView = 3, TreeView = 4 };
    struct DropInfo {
        Kind sourceKind{};
        QWidget* source = nullptr;
        int sourceIndex = -1;
        int sourceColumn = -1;
        int sourceRow = -1;
        QTreeWidgetItem* sourceItem = nullptr;
        Kind targetKind{};
        QWidget* target = nullptr;
        int targetIndex = -1;
        int targetColumn = -1;
        int targetRow = -1;
        QTreeWidgetItem* targetItem = nullptr;
    };
    static constexpr int kMaxPartners = 100;

    explicit HdlDragDrop(QObject* parent = nullptr);

    // Forgets every registration; dialogs call it when they open.
    void reset();
    // Entries of `source` may from now on be dropped on `target`. A source
    // keeps its first kMaxPartners partners.
    void registerPair(QWidget* source, Kind sourceKind, QWidget* target, Kind targetKind);
    // The caption of the entry under `position`; empty when there is none.
    QString entryText(QWidget* control, Kind kind, QPoint position) const;
    // Cancels a drag still in progress.
    void endDrags();

  signals:
    void dropped(const HdlDragDrop::DropInfo& info);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The steps of a drag, each what a mouse or drag event on the control's
    // viewport does. A left press on a source remembers its position and
    // tells whether an entry lies there to drag.
    bool pressOn(QWidget* source, QPoint position);
    bool accepts(QWidget* target, QWidget* source, QPoint position) const;
    // Emits `dropped` for the entry last pressed on `source`; false, and
    // nothing emitted, when `target` takes no drops from it.
    bool dropOn(QWidget* target, QWidget* source, QPoint position);

  private:
    struct Partner {
        QWidget* control;
        Kind kind;
    };
    struct Source {
        Kind kind;
        QPoint pressed;
        bool pressing = false;
        std::vector<Partner> partners;
    };
    struct Entry {
        int index = -1;
        int column = -1;
        int row = -1;
        QTreeWidgetItem* item = nullptr;
        QString text;
        bool exists() const { return index >= 0 || row >= 0 || item != nullptr; }
    };

    static Entry entryAt(QWidget* control, Kind kind, QPoint position);
    static bool isGridCell(QWidget* grid, QPoint position);
    const Partner* partnerOf(QWidget* source, QWidget* target) const;
    QWidget* controlOf(QObject* viewport) const;
    void watch(QWidget* control);
    void forget(QObject* control);
    bool mouseEvent(QWidget* control, QEvent* event);
    bool dragEvent(QWidget* control, QEvent* event);
    void startDrag(QWidget* source);

    std::map<QWidget*, Source> sources_;
    std::map<QObject*, QWidget*> viewports_;
    QWidget* dragging_ = nullptr;
};
