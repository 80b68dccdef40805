#pragma once

#include <QStyledItemDelegate>

// Draws a list's cells as usual; a cell whose text its column is too narrow
// to show whole offers the whole text as its tooltip, so a long article
// name can be read without widening the column. A tooltip the model gives
// itself is shown as before.
class CutCellToolTip : public QStyledItemDelegate {
public:
    explicit CutCellToolTip(QObject* parent) : QStyledItemDelegate(parent) {}

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    // True when the cell's text is wider than the room its column leaves it.
    bool IsCut(const QStyleOptionViewItem& option, const QModelIndex& index, const QWidget* view) const;
};
