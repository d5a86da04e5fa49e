#include "app/league/PropertyGrid.h"

#include "data02/league/Listhelp.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QValidator>
#include <algorithm>

#include "app/widgets/Prompter.h"

namespace {

constexpr int kCodeRole = Qt::UserRole;
constexpr int kMaxLengthRole = Qt::UserRole + 1;
constexpr int kValueColumn = 1;

bool refusedCharacter(QChar c) {
    char latin = c.toLatin1();
    return c.unicode() < 0x80 && (qff::kRefusedCharacters.find(latin) != std::string_view::npos ||
                                  qff::isControlCharacter(latin));
}

// Refuses a keystroke or a paste that would bring in a refused character.
class RefusingValidator : public QValidator {
  public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        return std::any_of(input.begin(), input.end(), refusedCharacter) ? Invalid : Acceptable;
    }
};

QString caption(const qff::PropertyRow& row) {
    return QString(row.required ? " * " : "    ") + row.label;
}

QTableWidgetItem* captionItem(const qff::PropertyRow& row) {
    auto* item = new QTableWidgetItem(caption(row));
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

QTableWidgetItem* valueItem(const qff::PropertyRow& row, const std::string& text, bool locked) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setData(kCodeRole, row.code);
    item->setData(kMaxLengthRole, row.maxLength);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    item->setFlags(locked ? flags : flags | Qt::ItemIsEditable);
    return item;
}

std::string valueOf(std::span<const qff::FieldText> values, int code) {
    auto found = std::find_if(values.begin(), values.end(),
                              [code](const qff::FieldText& field) { return field.code == code; });
    return found == values.end() ? std::string() : found->text;
}

// An open editor hands its text to the cell when the current cell changes.
void commitOpenEditor(QTableWidget& grid) {
    QModelIndex current = grid.currentIndex();
    if (grid.indexWidget(current) != nullptr) {
        grid.setCurrentIndex(QModelIndex());
        grid.setCurrentIndex(current);
    }
}

}  // namespace

QWidget* PropertyDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setMaxLength(index.data(kMaxLengthRole).toInt());
    editor->setValidator(new RefusingValidator(editor));
    return editor;
}

namespace propertygrid {

void setUp(QTableWidget& grid) {
    grid.setColumnCount(2);
    grid.horizontalHeader()->hide();
    grid.verticalHeader()->hide();
    grid.verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid.horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    grid.horizontalHeader()->setStretchLastSection(true);
    grid.setItemDelegateForColumn(kValueColumn, new PropertyDelegate(&grid));
}

void show(QTableWidget& grid, qff::StructureKind kind, std::span<const qff::FieldText> values,
          int lockedCode) {
    std::span<const qff::PropertyRow> rows = qff::propertyRows(kind);
    grid.setRowCount(0);
    grid.setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < grid.rowCount(); ++r) {
        const qff::PropertyRow& row = rows[r];
        grid.setItem(r, 0, captionItem(row));
        grid.setItem(r, kValueColumn,
                     valueItem(row, valueOf(values, row.code), row.code == lockedCode));
    }
    grid.setCurrentCell(0, kValueColumn);
}

std::vector<qff::FieldText> cells(QTableWidget& grid) {
    commitOpenEditor(grid);
    std::vector<qff::FieldText> fields;
    for (int r = 0; r < grid.rowCount(); ++r) {
        const QTableWidgetItem* item = grid.item(r, kValueColumn);
        fields.push_back({item->data(kCodeRole).toInt(), item->text().toStdString()});
    }
    return fields;
}

QString cellText(const QTableWidget& grid, int code) {
    for (int r = 0; r < grid.rowCount(); ++r) {
        const QTableWidgetItem* item = grid.item(r, kValueColumn);
        if (item->data(kCodeRole).toInt() == code) {
            return item->text();
        }
    }
    return {};
}

void tellOutcome(Prompter& prompter, QWidget* parent, const qff::GridSave& grid) {
    for (const qff::StructureResult& refusal : grid.refusals) {
        Prompter::Icon icon = refusal.error == qff::StructureError::BlankRequired
                                  ? Prompter::Icon::Information
                                  : Prompter::Icon::Error;
        prompter.tell(parent, icon, QString::fromStdString(refusal.message));
    }
    if (!grid.saved.ok()) {
        prompter.tell(parent, Prompter::Icon::Error, QString::fromStdString(grid.saved.message));
    }
}

}  // namespace propertygrid
