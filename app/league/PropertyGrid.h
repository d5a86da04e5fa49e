#pragma once

// The data headers come first, before Qt's keyword macros.
#include "data02/league/Structure.h"

#include <QStyledItemDelegate>
#include <span>
#include <vector>

class Prompter;
class QTableWidget;

// The property grid of the league editors: one row per field of a structure
// object, the caption in the first column (" * " before a required one) and
// the value, typed in place, in the second.
namespace propertygrid {

// Gives the grid its columns and the editor that keeps each row's limits.
void setUp(QTableWidget& grid);
// Shows the values of the kind's rows; a locked row cannot be typed in.
void show(QTableWidget& grid, qff::StructureKind kind, std::span<const qff::FieldText> values,
          int lockedCode = 0);
// The cells as typed, an edit still open included.
std::vector<qff::FieldText> cells(QTableWidget& grid);
// The value shown in the row of the code.
QString cellText(const QTableWidget& grid, int code);
// Tells what a save kept back and why it failed, if it did.
void tellOutcome(Prompter& prompter, QWidget* parent, const qff::GridSave& grid);

}  // namespace propertygrid

// Edits a value cell within the row's length limit and refuses, as they are
// typed or pasted, the characters the data layer would refuse on saving.
class PropertyDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};
