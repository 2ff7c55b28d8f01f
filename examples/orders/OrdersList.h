#pragma once

#include <QLabel>
#include <QWidget>

#include "dvGrid.h"

// The second window of the demo: every order in a grid. Shift+click on a
// caption sorts by that column (again: descending); Price, Quantity and
// Customer can be edited in place, Paid is a Yes/No column (Y, N or space),
// and leaving an edited row stores it (a changed Paid flag at once).
class OrdersList : public QWidget
{
    Q_OBJECT

public:
    OrdersList(); // a window of its own

    TdvGrid *Grid() const { return m_grid; }
    // Reads the orders again, by order number.
    void Reload();

private:
    // Stores the row the user left: its customer, quantity, price and paid flag.
    void StoreRow(int row);

    TdvGrid *m_grid = new TdvGrid(this);
    QLabel *m_status = new QLabel(this);
};
