#include "app/widgets/DragDrop.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTreeWidget>
#include <algorithm>

namespace {

// Only drags this handler started carry it, so text or files dragged in from
// elsewhere are never taken for an entry.
constexpr const char* kMimeType = "application/x-quillmar-entry";

QWidget* viewportOf(QWidget* control) {
    auto* view = qobject_cast<QAbstractItemView*>(control);
    return view != nullptr ? view->viewport() : control;
}

}  // namespace

HdlDragDrop::HdlDragDrop(QObject* parent) : QObject(parent) {}

void HdlDragDrop::reset() {
    endDrags();
    for (const auto& [viewport, control] : viewports_) {
        viewport->removeEventFilter(this);
        disconnect(control, nullptr, this, nullptr);
    }
    viewports_.clear();
    sources_.clear();
}

void HdlDragDrop::registerPair(QWidget* source, Kind sourceKind, QWidget* target, Kind targetKind) {
    auto [found, created] = sources_.try_emplace(source, Source{sourceKind, {}, false, {}});
    Source& record = found->second;
    if (partnerOf(source, target) == nullptr &&
        static_cast<int>(record.partners.size()) < kMaxPartners) {
        record.partners.push_back({target, targetKind});
    }
    watch(source);
    watch(target);
    viewportOf(target)->setAcceptDrops(true);
}

QString HdlDragDrop::entryText(QWidget* control, Kind kind, QPoint position) const {
    return entryAt(control, kind, position).text;
}

void HdlDragDrop::endDrags() {
    if (dragging_ != nullptr) {
        QDrag::cancel();
    }
    for (auto& [control, source] : sources_) {
        source.pressing = false;
    }
}

HdlDragDrop::Entry HdlDragDrop::entryAt(QWidget* control, Kind kind, QPoint position) {
    Entry entry;
    switch (kind) {
        case Kind::ListBox:
            if (auto* list = qobject_cast<QListWidget*>(control)) {
                if (QListWidgetItem* item = list->itemAt(position)) {
                    entry.index = list->row(item);
                    entry.text = item->text();
                }
            }
            break;
        case Kind::Grid:
            if (auto* grid = qobject_cast<QTableWidget*>(control)) {
                QModelIndex cell = grid->indexAt(position);
                if (cell.isValid()) {
                    entry.column = cell.column();
                    entry.row = cell.row();
                    entry.text = cell.data().toString();
                }
            }
            break;
        case Kind::ListView:
        case Kind::TreeView:
            if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
                if (QTreeWidgetItem* item = tree->itemAt(position)) {
                    entry.item = item;
                    entry.text = item->text(0);
                }
            }
            break;
    }
    return entry;
}

bool HdlDragDrop::isGridCell(QWidget* grid, QPoint position) {
    auto* table = qobject_cast<QTableWidget*>(grid);
    return table != nullptr && table->indexAt(position).isValid();
}

const HdlDragDrop::Partner* HdlDragDrop::partnerOf(QWidget* source, QWidget* target) const {
    auto found = sources_.find(source);
    if (found == sources_.end()) {
        return nullptr;
    }
    const std::vector<Partner>& partners = found->second.partners;
    auto partner = std::find_if(partners.begin(), partners.end(),
                                [target](const Partner& p) { return p.control == target; });
    return partner != partners.end() ? &*partner : nullptr;
}

bool HdlDragDrop::pressOn(QWidget* source, QPoint position) {
    auto found = sources_.find(source);
    if (found == sources_.end()) {
        return false;
    }
    Source& record = found->second;
    record.pressed = position;
    Entry entry = entryAt(source, record.kind, position);
    // A grid cell without text holds nothing to move.
    record.pressing = entry.exists() && (record.kind != Kind::Grid || !entry.text.isEmpty());
    return record.pressing;
}

bool HdlDragDrop::accepts(QWidget* target, QWidget* source, QPoint position) const {
    const Partner* partner = partnerOf(source, target);
    if (partner == nullptr) {
        return false;
    }
    return partner->kind != Kind::Grid || isGridCell(target, position);
}

bool HdlDragDrop::dropOn(QWidget* target, QWidget* source, QPoint position) {
    if (!accepts(target, source, position)) {
        return false;
    }
    const Source& record = sources_.at(source);
    Kind targetKind = partnerOf(source, target)->kind;
    Entry from = entryAt(source, record.kind, record.pressed);
    Entry to = entryAt(target, targetKind, position);
    DropInfo info;
    info.sourceKind = record.kind;
    info.source = source;
    info.sourceIndex = from.index;
    info.sourceColumn = from.column;
    info.sourceRow = from.row;
    info.sourceItem = from.item;
    info.targetKind = targetKind;
    info.target = target;
    info.targetIndex = to.index;
    info.targetColumn = to.column;
    info.targetRow = to.row;
    info.targetItem = to.item;
    emit dropped(info);
    return true;
}

void HdlDragDrop::watch(QWidget* control) {
    QWidget* viewport = viewportOf(control);
    if (viewports_.contains(viewport)) {
        return;
    }
    viewports_[viewport] = control;
    viewport->installEventFilter(this);
    connect(control, &QObject::destroyed, this, &HdlDragDrop::forget);
}

void HdlDragDrop::forget(QObject* control) {
    std::erase_if(viewports_, [control](const auto& pair) { return pair.second == control; });
    sources_.erase(static_cast<QWidget*>(control));
    for (auto& [key, source] : sources_) {
        std::erase_if(source.partners,
                      [control](const Partner& partner) { return partner.control == control; });
    }
}

QWidget* HdlDragDrop::controlOf(QObject* viewport) const {
    auto found = viewports_.find(viewport);
    return found != viewports_.end() ? found->second : nullptr;
}

bool HdlDragDrop::eventFilter(QObject* watched, QEvent* event) {
    QWidget* control = controlOf(watched);
    if (control == nullptr) {
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            return mouseEvent(control, event);
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return dragEvent(control, event);
        default:
            return false;
    }
}

bool HdlDragDrop::mouseEvent(QWidget* control, QEvent* event) {
    auto found = sources_.find(control);
    if (found == sources_.end()) {
        return false;
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    QPoint position = mouse->position().toPoint();
    Source& record = found->second;
    if (event->type() == QEvent::MouseButtonPress) {
        // The press still selects the entry; the drag only starts once the mouse moves.
        if (mouse->button() == Qt::LeftButton) {
            pressOn(control, position);
        }
        return false;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        record.pressing = false;
        return false;
    }
    bool farEnough =
        (position - record.pressed).manhattanLength() >= QApplication::startDragDistance();
    if (!record.pressing || !(mouse->buttons() & Qt::LeftButton) || !farEnough) {
        return false;
    }
    record.pressing = false;
    startDrag(control);
    return true;
}

bool HdlDragDrop::dragEvent(QWidget* control, QEvent* event) {
    auto* drag = static_cast<QDropEvent*>(event);
    QPoint position = drag->position().toPoint();
    bool ours = drag->mimeData()->hasFormat(kMimeType) && dragging_ != nullptr;
    bool accepted = ours && accepts(control, dragging_, position);
    if (event->type() == QEvent::Drop && accepted) {
        dropOn(control, dragging_, position);
    }
    if (accepted) {
        drag->setDropAction(Qt::MoveAction);
        drag->accept();
    } else {
        drag->ignore();
    }
    return true;
}

void HdlDragDrop::startDrag(QWidget* source) {
    auto* drag = new QDrag(source);
    auto* data = new QMimeData;
    data->setData(kMimeType, {});
    drag->setMimeData(data);
    dragging_ = source;
    drag->exec(Qt::MoveAction);
    dragging_ = nullptr;
}
