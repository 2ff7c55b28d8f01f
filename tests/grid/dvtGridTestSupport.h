#pragma once

// Mouse actions on a shown grid as a user makes them: clicks go to the window,
// at the cell's or the caption's place.

#include <QHeaderView>
#include <QTest>
#include <QWindow>

#include "dvGrid.h"
#include "dvGridModel.h"

namespace dvt::test {

// Where cell (col, row) of the grid is, in the coordinates of its window.
inline QPoint CellPoint(const TdvGrid *grid, int col, int row)
{
    const QModelIndex index =
        grid->Model()->index(row - 1, grid->horizontalHeader()->logicalIndex(col));
    return grid->viewport()->mapTo(grid->window(), grid->visualRect(index).center());
}

// Scrolls the cell into view first, as a user would.
inline void ClickCell(TdvGrid *grid, int col, int row, Qt::MouseButton button = Qt::LeftButton)
{
    grid->scrollTo(grid->Model()->index(row - 1, grid->horizontalHeader()->logicalIndex(col)));
    QTest::mouseClick(grid->window()->windowHandle(), button, {}, CellPoint(grid, col, row));
}

inline void ClickCaption(TdvGrid *grid, int col,
                         Qt::KeyboardModifiers modifiers = Qt::ShiftModifier)
{
    const QHeaderView *header = grid->horizontalHeader();
    const int logical = header->logicalIndex(col);
    const QPoint at(header->sectionViewportPosition(logical) + header->sectionSize(logical) / 2,
                    header->height() / 2);
    QTest::mouseClick(grid->window()->windowHandle(), Qt::LeftButton, modifiers,
                      header->viewport()->mapTo(grid->window(), at));
}

} // namespace dvt::test
