#pragma once

// ReportTree: the report tree of the View Reports section. Each node keeps
// what it stands for in its item data (never found again by caption):
// ReportTree::kindOf(item) is the group it was added under (0 for the site
// map, 2 franchise, 4 player, 5 NFL team, else a report group; a folder
// node has none), idOf(item) the report id, franchise id, player id or NFL
// team index, imageOf(item) the node's image number.
//
//   setSeason(context)       the open season (not owned); null empties the tree.
//   build()                  the site map node and the nine groups, each
//                            filled; the site map node is selected.
//   refreshGroup(g)          refills group g (1 to 9) for the current league,
//                            keeping which nodes were expanded and selected.
//   runNode(item, first, last)
//                            writes the node's page for weeks first to last
//                            (0-based) with the busy cursor and returns its
//                            path; empty when nothing was written (the reason
//                            is shown in a message box).
//   buildSiteMap()           writes "Report Site Map.htm" and returns its path.
// Signal: reportActivated(item) on a double click or Enter on a node that
// stands for a page (the site map node too: isSiteMapNode tells it apart).

#include <QIcon>
#include <QString>
#include <QTreeWidget>
#include <set>
#include <utility>

#include "app/widgets/Prompter.h"

namespace qff {
class Singleton;
}

class ReportTree : public QTreeWidget {
    Q_OBJECT

  public:
    // Item data roles.
    enum Role { KindRole = Qt::UserRole, IdRole, ImageRole };
    // The kind of the nodes that stand for no page.
    enum FolderKind { kGroupFolder = -1, kNflTeamFolder = -2 };

    explicit ReportTree(QWidget* parent = nullptr);

    void setSeason(qff::Singleton* context);
    // Who tells the user that a page failed; message boxes until set.
    void setPrompter(Prompter& prompter) { prompter_ = &prompter; }

    QTreeWidgetItem* groupItem(int group) const;
    static int kindOf(const QTreeWidgetItem* item);
    static int idOf(const QTreeWidgetItem* item);
    static int imageOf(const QTreeWidgetItem* item);
    static bool isPageNode(const QTreeWidgetItem* item);
    static bool isSiteMapNode(const QTreeWidgetItem* item);

    QString runNode(QTreeWidgetItem* item, int firstWeek, int lastWeek);
    QString buildSiteMap();

  public slots:
    void build();
    void refreshGroup(int group);

  signals:
    void reportActivated(QTreeWidgetItem* item);

  private slots:
    void activate(QTreeWidgetItem* item);
    void showFolderState(QTreeWidgetItem* item);

  private:
    using NodeKey = std::pair<int, int>;

    static NodeKey keyOf(const QTreeWidgetItem* item);
    QIcon iconOf(int kind, int image) const;
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& caption, int kind, int id,
                             int image);
    void fillGroup(QTreeWidgetItem* root, int group);
    void fillPlayerGroup(QTreeWidgetItem* root);
    std::set<NodeKey> expandedBelow(QTreeWidgetItem* root) const;
    void restoreExpanded(QTreeWidgetItem* root, const std::set<NodeKey>& expanded);
    QTreeWidgetItem* findBelow(QTreeWidgetItem* root, NodeKey key) const;
    void showFailure(const std::string& message);

    qff::Singleton* context_ = nullptr;
    Prompter* prompter_ = &screenPrompter();
    // Made once: a season lists a couple of thousand players, and every
    // standard icon asked of the style decodes its images again.
    QIcon fileIcon_;
    QIcon folderIcon_;
    QIcon openFolderIcon_;
};
