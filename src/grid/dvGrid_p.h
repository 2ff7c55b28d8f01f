#pragma once

// Internal: the grid's cell delegate, which draws the cells and runs the cell
// editor's keys through the grid's key handling.

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

class TdvGrid;

class TdvGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit TdvGridDelegate(TdvGrid *grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

protected:
    // Typed characters pass the grid's key handling before the editor (and the
    // base class's Enter, Tab and Esc handling) sees them.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TdvGrid *m_grid;
    // The cell being edited and its text before: Esc in the editor puts it back.
    mutable QPersistentModelIndex m_editing;
    mutable QString m_original;
};
