// The phase list that keeps one phase selected.
#include "phase_list_box.h"

#include <QMouseEvent>

void PhaseListBox::mousePressEvent(QMouseEvent* event) {
    // Only the left button clicks an item; other buttons leave the selection alone.
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool wasSelected = index.isValid() && selectionModel()->isSelected(index);
    QListWidget::mousePressEvent(event);
    if (wasSelected && selectionModel()->isSelected(index) && OnPressSelected) OnPressSelected();
}

QItemSelectionModel::SelectionFlags PhaseListBox::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    if (command & QItemSelectionModel::Deselect)
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return command;
}
