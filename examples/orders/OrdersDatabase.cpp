#include "OrdersDatabase.h"

#include <QStringList>

#include "dvQuery.h"
#include "dvSQL.h"
#include "dvtDatabase.h"
#include "dvtDateTime.h"
#include "dvtFolders.h"

using namespace Qt::StringLiterals;

namespace {

// The tables in SQL dialect 1: DATE holds a date and a time of day, and there
// is no TIME type, so the delivery time is kept as "hh:nn:ss" text. Each column
// of ORDERS is named after the control that edits it (CUSTOMER holds the
// customer's ID); SHIPPING and EXTRAS hold the radio buttons' choice and the
// checked extras, which the form stores itself.
const QStringList schema = {
    u"create table CUSTOMERS (ID integer not null primary key, NAME varchar(60) not null, "
    u"CITY varchar(40))"_s,
    u"create table PRODUCTS (ID integer not null primary key, NAME varchar(60) not null, "
    u"PRICE numeric(15,2) not null)"_s,
    u"create table ORDERS (ORDERNO integer not null primary key, "
    u"CUSTOMER integer not null references CUSTOMERS, REFERENCE varchar(30), PRODUCT varchar(60) "
    u"not null, "
    u"QUANTITY integer not null, PRICE numeric(15,2) not null, ORDERDATE date not null, "
    u"DELIVERY char(8), PAYMENT smallint, PAID char(1), NOTES blob sub_type text, "
    u"SHIPPING varchar(10), EXTRAS varchar(100))"_s,
    u"create generator ORDER_NO"_s,
};

struct Customer
{
    const char16_t *name;
    const char16_t *city;
};
const Customer customers[] = {
    {u"Acme Supplies", u"Boston"},
    {u"Blue Harbor Café", u"Seattle"},
    {u"Carver & Sons", u"Denver"},
    {u"Delta Office Goods", u"Atlanta"},
    {u"Evergreen Books", u"Portland"},
    {u"Fairview Clinic", u"Austin"},
    {u"Golden Gate Bakery", u"San Francisco"},
    {u"Hudson Print Shop", u"Albany"},
};

struct Product
{
    const char16_t *name;
    double price;
};
const Product products[] = {
    {u"Copy paper, box of 5 reams", 24.90},
    {u"Ink cartridge, black", 31.50},
    {u"Desk lamp", 45.00},
    {u"Office chair", 189.00},
    {u"Stapler", 12.75},
    {u"Whiteboard 90 x 60", 79.00},
    {u"Ballpoint pens, pack of 50", 9.95},
    {u"Filing cabinet", 219.00},
};

struct Order
{
    int customer;
    int product;
    int quantity;
    int daysAgo;
    const char16_t *delivery;
    int payment; // the index of Cash, Card, Invoice
    bool paid;
    const char16_t *reference;
    const char16_t *notes;
    const char16_t *shipping;
    const char16_t *extras;
};
const Order orders[] = {
    {0, 0, 10, 6, u"09:30:00", 2, true, u"PO-4471", u"Deliver to the loading dock.\nCall ahead.",
     u"Courier", u"Insurance"},
    {6, 3, 2, 2, u"14:00:00", 1, true, u"", u"", u"Pickup", u"Gift wrap"},
    {2, 7, 1, 0, u"", 2, false, u"Site 7", u"Second floor, no lift.", u"Post",
     u"Insurance,Express handling"},
};

// The first order number the generator hands out.
constexpr int firstOrderNo = 1001;

QStringList sampleRows()
{
    QStringList rows;
    int id = 0;
    for (const Customer &customer : customers) {
        rows << u"insert into CUSTOMERS (ID, NAME, CITY) values (%1, %2, %3)"_s.arg(
            dvSQLInteger(++id), dvSQLString(QString::fromUtf16(customer.name)),
            dvSQLString(QString::fromUtf16(customer.city)));
    }
    id = 0;
    for (const Product &product : products) {
        rows << u"insert into PRODUCTS (ID, NAME, PRICE) values (%1, %2, %3)"_s.arg(
            dvSQLInteger(++id), dvSQLString(QString::fromUtf16(product.name)),
            dvSQLFloat(product.price));
    }
    int orderNo = firstOrderNo;
    for (const Order &order : orders) {
        const Product &product = products[order.product];
        rows << u"insert into ORDERS (ORDERNO, CUSTOMER, REFERENCE, PRODUCT, QUANTITY, PRICE, "
                u"ORDERDATE, DELIVERY, PAYMENT, PAID, NOTES, SHIPPING, EXTRAS) values "
                u"(%1, %2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12, %13)"_s.arg(
                    dvSQLInteger(orderNo++), dvSQLInteger(order.customer + 1),
                    dvSQLString(QString::fromUtf16(order.reference)),
                    dvSQLString(QString::fromUtf16(product.name)), dvSQLInteger(order.quantity),
                    dvSQLFloat(product.price), dvSQLDate(dvt::Date() - order.daysAgo),
                    dvSQLString(QString::fromUtf16(order.delivery)), dvSQLInteger(order.payment),
                    dvSQLBoolean(order.paid), dvSQLString(QString::fromUtf16(order.notes)),
                    dvSQLString(QString::fromUtf16(order.shipping)),
                    dvSQLString(QString::fromUtf16(order.extras)));
    }
    rows << u"set generator ORDER_NO to "_s + dvSQLInteger(orderNo - 1);
    return rows;
}

// Runs the statements in one transaction of the "dvTools" connection.
bool runInTransaction(const QStringList &statements, QString *error)
{
    dvt::TDatabase *database = dvt::TDatabase::Find(u"dvTools"_s);
    if (!database || !database->StartTransaction()) {
        *error = database ? database->LastError() : u"No connection named dvTools."_s;
        return false;
    }
    TdvQuery query;
    for (const QString &statement : statements) {
        if (!query.Execute(statement)) {
            *error = query.Error();
            database->Rollback();
            return false;
        }
    }
    if (database->Commit())
        return true;
    *error = database->LastError();
    return false;
}

bool exists(const QString &select)
{
    TdvQuery query;
    return query.Select(select);
}

} // namespace

QString OrdersDatabaseFile()
{
    return dvt::UserFolder() + u"orders.fdb"_s;
}

bool PrepareOrdersDatabase(QString *error)
{
    if (!exists(u"select 1 from rdb$relations where rdb$relation_name = \"ORDERS\""_s)
        && !runInTransaction(schema, error))
        return false;
    if (!exists(u"select first 1 1 from CUSTOMERS"_s) && !runInTransaction(sampleRows(), error))
        return false;
    return true;
}
