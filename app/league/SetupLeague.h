#pragma once

// The data headers come first, before Qt's keyword macros.
#include "data02/league/Structure.h"

#include <memory>
#include <optional>

#include "app/widgets/DragDrop.h"
#include "app/widgets/SeasonForm.h"

namespace Ui {
class TformSetupLeague;
}

class QTreeWidgetItem;

// Where the commissioner builds the season's leagues, divisions and
// franchises: the tree shows them, the grid edits the selected one, the
// buttons and the tree's menu create and delete, and dragging moves a
// division or franchise. The rules are the data layer's (Structure.h).
class TformSetupLeague : public SeasonForm {
    Q_OBJECT

  public:
    TformSetupLeague(qff::Singleton& season, Prompter& prompter, QWidget* parent = nullptr);
    ~TformSetupLeague() override;

    void reload() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    enum class Telling { Messages, Quiet };

    void connectControls();
    void fillLeagueTree(std::optional<qff::StructureNode> select = std::nullopt);
    void showSelected();
    void initializePropertyGrid(std::optional<qff::StructureNode> node);
    void treeLeagueChange();
    void gridPropertiesExit(QWidget* old, QWidget* now);
    void btnNewClick(qff::StructureKind kind);
    void btnDeleteClick();
    void btnSavePropertiesClick();
    void btnRestorePropertiesClick();
    void treeLeagueDropped(const HdlDragDrop::DropInfo& info);
    void savePropereties(Telling telling);
    void renameNode(qff::StructureNode node, const QString& name);
    QTreeWidgetItem* itemOf(qff::StructureNode node) const;
    qff::StructureNode locateParentNode(qff::StructureKind kind) const;
    bool dropRefused(qff::StructureNode object, qff::StructureNode target);
    bool moveConfirmed(const qff::MovePlan& plan, const QString& name);
    void tellFailure(const qff::StructureResult& result);
    void structureChanged(std::optional<qff::StructureNode> select);

    std::unique_ptr<Ui::TformSetupLeague> ui;
    HdlDragDrop* dragDrop_;
    // The object whose properties the grid shows, and the values it showed.
    std::optional<qff::StructureNode> shown_;
    std::vector<qff::FieldText> loaded_;
    // Set while something else runs that moves the tree's selection or the focus.
    bool busy_ = false;
};
