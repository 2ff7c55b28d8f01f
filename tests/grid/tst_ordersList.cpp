// The demo's list of orders as a person uses it: captions and formats, sorting
// with Shift+click, and an edited row stored when the user leaves it, which a
// separate client (isql-fb) sees.

#include <QFile>
#include <QStandardPaths>

#include "OrdersDatabase.h"
#include "OrdersList.h"
#include "dvControlPanel.h"
#include "dvtApplication.h"
#include "dvtComponent.h"
#include "dvtDateTime.h"
#include "dvtGridTestSupport.h"
#include "dvtRecordsTestSupport.h"
#include "dvtTestKeys.h"

using namespace Qt::StringLiterals;

class tst_ordersList : public QObject
{
    Q_OBJECT

    QWidget m_mainForm;
    TdvControlPanel *m_panel = new TdvControlPanel(&m_mainForm);
    std::unique_ptr<OrdersList> m_list;
    dvt::test::MessageLog m_messages;

    TdvGrid *grid() const { return m_list->Grid(); }
    QString isql(const QString &sql) const
    {
        return dvt::test::IsqlValues(OrdersDatabaseFile(), sql);
    }
    QStringList column(int col) const
    {
        QStringList cells;
        for (int row = 1; row < grid()->RowCount(); ++row)
            cells << grid()->CellValue(col, row);
        return cells;
    }
    void type(const QString &keys) { dvt::test::typeText(m_list->windowHandle(), keys); }
    void press(Qt::Key key) { QTest::keyClick(m_list->windowHandle(), key); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(OrdersDatabaseFile());
        m_panel->SetConnectionString(OrdersDatabaseFile());
        QVERIFY(m_panel->Open());
        QString error;
        QVERIFY2(PrepareOrdersDatabase(&error), qPrintable(error));
        dvt::SetMainForm(&m_mainForm);
        m_list = std::make_unique<OrdersList>();
        dvt::LoadForm(m_list.get());
        m_list->show();
        QVERIFY(QTest::qWaitForWindowActive(m_list.get()));
    }
    void init()
    {
        m_list->Reload();
        grid()->setFocus();
    }
    void cleanup() { QCOMPARE(m_messages.texts, QStringList()); }

    void captionsAndFormats()
    {
        QStringList captions;
        for (int col = 0; col < grid()->ColCount(); ++col)
            captions << grid()->Model()->headerData(col, Qt::Horizontal).toString();
        QCOMPARE(captions, (QStringList{u"No."_s, u"Date"_s, u"Customer"_s, u"Product"_s, u"Qty"_s,
                                        u"Price"_s, u"Paid?"_s}));
        grid()->grab();
        QCOMPARE(column(0), (QStringList{u"1001"_s, u"1002"_s, u"1003"_s}));
        QCOMPARE(grid()->Cells(1, 1), dvt::FormatDateTime(u"dd mmm yyyy"_s, dvt::Date() - 6));
        QCOMPARE(column(5), (QStringList{u"$24.90"_s, u"$189.00"_s, u"$219.00"_s}));
        QCOMPARE(column(6), (QStringList{u"Yes"_s, u"Yes"_s, u"No"_s}));
    }

    void shiftClickSorts()
    {
        dvt::test::ClickCaption(grid(), 2);
        grid()->grab();
        QCOMPARE(column(2),
                 (QStringList{u"Acme Supplies"_s, u"Carver & Sons"_s, u"Golden Gate Bakery"_s}));
        dvt::test::ClickCaption(grid(), 2);
        grid()->grab();
        QCOMPARE(column(0), (QStringList{u"1002"_s, u"1003"_s, u"1001"_s}));
    }

    void leavingAnEditedRowStoresIt()
    {
        dvt::test::ClickCell(grid(), 6, 3);
        type(u"y"_s);
        press(Qt::Key_Up);
        QCOMPARE(isql(u"select trim(PAID) from ORDERS where ORDERNO = 1003"_s), u"Y"_s);
        dvt::test::ClickCell(grid(), 5, 1);
        type(u"19.5"_s);
        press(Qt::Key_Return);
        QCOMPARE(isql(u"select cast(PRICE * 100 as integer) from ORDERS where ORDERNO = 1001"_s),
                 u"2490"_s);
        press(Qt::Key_Down);
        QCOMPARE(isql(u"select cast(PRICE * 100 as integer) from ORDERS where ORDERNO = 1001"_s),
                 u"1950"_s);
        // Moving on without a change stores nothing more.
        QCOMPARE(isql(u"select trim(PAID) from ORDERS where ORDERNO = 1002"_s), u"Y"_s);
    }
};

QTEST_MAIN(tst_ordersList)
#include "tst_ordersList.moc"
