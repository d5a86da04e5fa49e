#include "app/reports/Rpt_tree.h"

#include <QGuiApplication>
#include <QStyle>

#include "data02/model/Player.h"
#include "data02/reports/Rpt_output.h"
#include "data02/reports/Rpt_tree_groups.h"
#include "data02/season/Single.h"
#include "data02/season/State.h"

#include "app/widgets/BusyCursor.h"
#include "app/widgets/ListHelp.h"

namespace {

bool isFolderImage(int image) {
    return image == qff::kTreeFolderImage || image == qff::kTreeOpenFolderImage;
}

bool isBelow(const QTreeWidgetItem* item, const QTreeWidgetItem* root) {
    for (; item != nullptr; item = item->parent()) {
        if (item == root) {
            return true;
        }
    }
    return false;
}

QString pathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

ReportTree::ReportTree(QWidget* parent)
    : QTreeWidget(parent),
      fileIcon_(style()->standardIcon(QStyle::SP_FileIcon)),
      folderIcon_(style()->standardIcon(QStyle::SP_DirClosedIcon)),
      openFolderIcon_(style()->standardIcon(QStyle::SP_DirOpenIcon)) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemActivated, this, &ReportTree::activate);
    connect(this, &QTreeWidget::itemExpanded, this, &ReportTree::showFolderState);
    connect(this, &QTreeWidget::itemCollapsed, this, &ReportTree::showFolderState);
}

void ReportTree::setSeason(qff::Singleton* context) {
    context_ = context;
    if (context_ == nullptr) {
        clear();
        return;
    }
    build();
}

int ReportTree::kindOf(const QTreeWidgetItem* item) {
    return item->data(0, KindRole).toInt();
}

int ReportTree::idOf(const QTreeWidgetItem* item) {
    return item->data(0, IdRole).toInt();
}

int ReportTree::imageOf(const QTreeWidgetItem* item) {
    return item->data(0, ImageRole).toInt();
}

bool ReportTree::isPageNode(const QTreeWidgetItem* item) {
    return item != nullptr && imageOf(item) > qff::kTreeOpenFolderImage;
}

bool ReportTree::isSiteMapNode(const QTreeWidgetItem* item) {
    return isPageNode(item) && kindOf(item) == qff::kSiteMapGroup;
}

ReportTree::NodeKey ReportTree::keyOf(const QTreeWidgetItem* item) {
    return {kindOf(item), idOf(item)};
}

QTreeWidgetItem* ReportTree::groupItem(int group) const {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (keyOf(item) == NodeKey{kGroupFolder, group}) {
            return item;
        }
    }
    return nullptr;
}

QIcon ReportTree::iconOf(int kind, int image) const {
    if (kind == qff::kPlayerOverviewGroup) {
        return positionIcon(image - qff::playerNodeImage(qff::kQB));
    }
    return isFolderImage(image) ? folderIcon_ : fileIcon_;
}

QTreeWidgetItem* ReportTree::addNode(QTreeWidgetItem* parent, const QString& caption, int kind,
                                     int id, int image) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, caption);
    item->setData(0, KindRole, kind);
    item->setData(0, IdRole, id);
    item->setData(0, ImageRole, image);
    // A narrow tree cuts long captions short; the tooltip shows them whole.
    item->setToolTip(0, caption);
    item->setIcon(0, iconOf(kind, image));
    return item;
}

void ReportTree::build() {
    clear();
    if (context_ == nullptr) {
        return;
    }
    QTreeWidgetItem* siteMap =
        addNode(nullptr, QString::fromStdString(qff::reportGroupCaption(qff::kSiteMapGroup)),
                qff::kSiteMapGroup, 0, qff::kTreePageImage);
    for (int group = 1; group < qff::kReportGroupCount; ++group) {
        QTreeWidgetItem* root =
            addNode(nullptr, QString::fromStdString(qff::reportGroupCaption(group)), kGroupFolder,
                    group, qff::kTreeFolderImage);
        fillGroup(root, group);
    }
    setCurrentItem(siteMap);
}

void ReportTree::refreshGroup(int group) {
    QTreeWidgetItem* root = groupItem(group);
    if (root == nullptr || context_ == nullptr) {
        return;
    }
    std::set<NodeKey> expanded = expandedBelow(root);
    QTreeWidgetItem* current = currentItem();
    bool selectedInside = isBelow(current, root) && current != root;
    NodeKey selected = selectedInside ? keyOf(current) : NodeKey{};
    if (selectedInside) {
        setCurrentItem(root);
    }
    qDeleteAll(root->takeChildren());
    fillGroup(root, group);
    restoreExpanded(root, expanded);
    if (selectedInside) {
        QTreeWidgetItem* again = findBelow(root, selected);
        setCurrentItem(again != nullptr ? again : root);
    }
}

void ReportTree::fillGroup(QTreeWidgetItem* root, int group) {
    int league = context_->seasonState().peek(qff::kCurrentLeague);
    switch (group) {
        case qff::kFranchiseOverviewGroup:
            for (const qff::TreeObject& franchise :
                 qff::franchiseOverviewNodes(*context_, league)) {
                addNode(root, QString::fromStdString(franchise.caption), group, franchise.id,
                        franchise.image);
            }
            break;
        case qff::kPlayerOverviewGroup:
            fillPlayerGroup(root);
            break;
        case qff::kNflOverviewGroup:
            for (const qff::TreeObject& team : qff::nflTeamNodes(*context_)) {
                addNode(root, QString::fromStdString(team.caption), group, team.id, team.image);
            }
            break;
        default:
            for (const qff::TreeReport& report : qff::treeReports(*context_, league)) {
                if (report.group == group) {
                    addNode(root, QString::fromStdString(report.name), group, report.id,
                            qff::kTreePageImage);
                }
            }
            break;
    }
}

void ReportTree::fillPlayerGroup(QTreeWidgetItem* root) {
    for (const qff::TreeObject& team : qff::nflTeamNodes(*context_)) {
        QTreeWidgetItem* folder = addNode(root, QString::fromStdString(team.caption),
                                          kNflTeamFolder, team.id, qff::kTreeFolderImage);
        for (const qff::TreeObject& player : qff::nflTeamPlayerNodes(*context_, team.id)) {
            addNode(folder, QString::fromStdString(player.caption), qff::kPlayerOverviewGroup,
                    player.id, player.image);
        }
    }
}

std::set<ReportTree::NodeKey> ReportTree::expandedBelow(QTreeWidgetItem* root) const {
    std::set<NodeKey> expanded;
    if (root->isExpanded()) {
        expanded.insert(keyOf(root));
    }
    for (int i = 0; i < root->childCount(); ++i) {
        expanded.merge(expandedBelow(root->child(i)));
    }
    return expanded;
}

void ReportTree::restoreExpanded(QTreeWidgetItem* root, const std::set<NodeKey>& expanded) {
    root->setExpanded(expanded.contains(keyOf(root)));
    for (int i = 0; i < root->childCount(); ++i) {
        restoreExpanded(root->child(i), expanded);
    }
}

QTreeWidgetItem* ReportTree::findBelow(QTreeWidgetItem* root, NodeKey key) const {
    if (keyOf(root) == key) {
        return root;
    }
    for (int i = 0; i < root->childCount(); ++i) {
        if (QTreeWidgetItem* found = findBelow(root->child(i), key)) {
            return found;
        }
    }
    return nullptr;
}

void ReportTree::activate(QTreeWidgetItem* item) {
    if (isPageNode(item)) {
        emit reportActivated(item);
    }
}

void ReportTree::showFolderState(QTreeWidgetItem* item) {
    if (!isFolderImage(imageOf(item))) {
        return;
    }
    bool open = item->isExpanded();
    item->setData(0, ImageRole, open ? qff::kTreeOpenFolderImage : qff::kTreeFolderImage);
    item->setIcon(0, open ? openFolderIcon_ : folderIcon_);
}

QString ReportTree::runNode(QTreeWidgetItem* item, int firstWeek, int lastWeek) {
    if (context_ == nullptr || !isPageNode(item)) {
        return {};
    }
    if (isSiteMapNode(item)) {
        return buildSiteMap();
    }
    qff::ReportRunResult result;
    {
        BusyCursor busy;
        result = qff::runTreeNode(*context_, kindOf(item), idOf(item), firstWeek, lastWeek);
    }
    if (qff::reportPageWritten(result)) {
        return pathText(*result.page);
    }
    if (!result.message.empty()) {
        showFailure(result.message);
    }
    return {};
}

QString ReportTree::buildSiteMap() {
    if (context_ == nullptr) {
        return {};
    }
    BusyCursor busy;
    qff::ReportRunResult result = qff::writeReportSiteMap(*context_);
    return result.page ? pathText(*result.page) : QString();
}

void ReportTree::showFailure(const std::string& message) {
    prompter_->tell(this, Prompter::Icon::Error, QString::fromStdString(message));
}
