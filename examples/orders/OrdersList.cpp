#include "OrdersList.h"

#include <QVBoxLayout>

#include "dvMessages.h"
#include "dvQuery.h"
#include "dvSQL.h"
#include "dvStrings.h"

using namespace Qt::StringLiterals;

OrdersList::OrdersList()
{
    setObjectName(u"OrdersList"_s);
    setWindowTitle(tr("dvTools demo: all orders"));
    auto *layout = new QVBoxLayout(this);

    m_grid->setObjectName(u"OrdersGrid"_s);
    m_grid->SetHeaders(u"No.,Date,Customer,Product,Qty,Price,Paid?"_s);
    m_grid->SetFormats(u",dd mmm yyyy,,,%d,%m,"_s);
    m_grid->SetHighlight(dvt::TColor(0xA0F0FFu));
    m_grid->SetNoSelectCells(0);
    m_grid->OnExitChangedRow = [this](QObject *, int row) { StoreRow(row); };
    // The Yes/No keys change a cell without making the row an edited one: a
    // changed Paid flag is stored at once.
    connect(m_grid, &TdvGrid::cellEdited, this, [this](int col, int row) {
        if (dvStringItem(m_grid->Cells(col, 0), 1, u'|') == u"Paid")
            StoreRow(row);
    });
    layout->addWidget(m_grid);

    m_status->setText(
        tr("Shift+click a caption to sort; edit a cell and leave the row to store it."));
    m_status->setObjectName(u"Status"_s);
    layout->addWidget(m_status);
    resize(760, 360);
}

void OrdersList::Reload()
{
    m_grid->SetSelect(u"select ORDERNO, ORDERDATE, (select NAME from CUSTOMERS where "
                      u"ID = ORDERS.CUSTOMER) as CUSTOMER, PRODUCT, QUANTITY, PRICE, PAID "
                      u"from ORDERS order by ORDERNO"_s);
    m_grid->Load();
    m_grid->setColumnWidth(0, 60);
    m_grid->setColumnWidth(1, 110);
    m_grid->setColumnWidth(2, 170);
    m_grid->setColumnWidth(3, 190);
    m_grid->setColumnWidth(4, 50);
    m_grid->setColumnWidth(5, 90);
    m_grid->setColumnWidth(6, 50);
}

void OrdersList::StoreRow(int row)
{
    const QString orderNo = m_grid->Value(u"ORDERNO"_s, row);
    TdvQuery query;
    const bool stored = query.Execute(
        // The list shows the customer's name; a name that is no customer's is
        // refused by the column's NOT NULL.
        u"update ORDERS set CUSTOMER=(select ID from CUSTOMERS where NAME="_s
        + dvSQLString(m_grid->Value(u"CUSTOMER"_s, row)) + u')' + u", QUANTITY="_s
        + dvSQLInteger(dvStrToInt(m_grid->Value(u"QUANTITY"_s, row))) + u", PRICE="_s
        + dvSQLFloat(dvStrToFloat(m_grid->Value(u"PRICE"_s, row))) + u", PAID="_s
        + dvSQLBoolean(m_grid->Value(u"PAID"_s, row) == u"Yes") + u" where ORDERNO="_s
        + dvSQLInteger(dvStrToInt(orderNo)));
    if (stored)
        m_status->setText(tr("Order %1 stored.").arg(orderNo));
    else
        dvErrorMsg(u"It was not possible to store order %1!\r\r%2"_s.arg(orderNo, query.Error()));
}
