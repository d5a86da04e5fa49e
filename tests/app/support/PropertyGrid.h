#pragma once

#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

namespace qff::apptest {

// The row of a property grid whose caption is `label` (required rows carry
// "* " before it); -1 when the grid has none.
inline int rowOf(QTableWidget& grid, const QString& label) {
    for (int row = 0; row < grid.rowCount(); ++row) {
        QString shown = grid.item(row, 0)->text().trimmed();
        if (shown == "* " + label || shown == label) {
            return row;
        }
    }
    return -1;
}

inline QString cell(QTableWidget& grid, const QString& label) {
    int row = rowOf(grid, label);
    return row < 0 ? QString() : grid.item(row, 1)->text();
}

// Types over a cell's value as the user does: open the editor, replace its
// text key by key and press Enter.
inline void typeInto(QTableWidget& grid, const QString& label, const QString& text) {
    int row = rowOf(grid, label);
    QVERIFY2(row >= 0, qPrintable(label));
    grid.setCurrentCell(row, 1);
    grid.editItem(grid.item(row, 1));
    auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(grid.currentIndex()));
    QVERIFY2(editor != nullptr, qPrintable(label));
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

}  // namespace qff::apptest
