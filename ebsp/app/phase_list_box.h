// The phase list: one phase stays selected once chosen.  Qt lets Ctrl with a click (or
// Ctrl+Space) deselect in single selection, which would leave both views without a crystal
// set; such a press selects the item again instead.
#pragma once

#include <functional>

#include <QListWidget>

class PhaseListBox : public QListWidget {
  public:
    using QListWidget::QListWidget;

    // A press on the item that is already selected (and stays so): a click that changes
    // no selection but still selects that phase again.
    std::function<void()> OnPressSelected;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
};
