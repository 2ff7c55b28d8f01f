// The demo application as a person uses it: the first start fills the database,
// an order typed with the keyboard is inserted, changed, loaded and deleted with
// the form's buttons, and a separate client (isql-fb) sees every step.

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>

#include "OrderForm.h"
#include "OrdersDatabase.h"
#include "dvControlPanel.h"
#include "dvtApplication.h"
#include "dvtComponent.h"
#include "dvtRecordsTestSupport.h"
#include "dvtTestKeys.h"

using namespace Qt::StringLiterals;
using dvt::test::IsqlValues;

class tst_ordersDemo : public QObject
{
    Q_OBJECT

    std::unique_ptr<OrderForm> m_form;
    // No dialog may wait for an answer nobody gives: every message lands here.
    dvt::test::MessageLog m_messages;

    template<class Control = QWidget>
    Control *control(const QString &name) const
    {
        auto *found = qobject_cast<Control *>(dvt::FindComponent(m_form.get(), name));
        return found ? found : (qFatal("The demo has no control %s", qPrintable(name)), nullptr);
    }
    QString text(const QString &name) const { return dvt::test::State(control(name)); }
    QString isql(const QString &sql) const { return IsqlValues(OrdersDatabaseFile(), sql); }

    void type(const QString &keys) { dvt::test::typeText(m_form->windowHandle(), keys); }
    void press(Qt::Key key) { QTest::keyClick(m_form->windowHandle(), key); }
    void click(const QString &button) { QTest::mouseClick(control(button), Qt::LeftButton); }

private Q_SLOTS:
    void initTestCase()
    {
        // A first start: the test's own per-user folder holds no database yet.
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(OrdersDatabaseFile());
        m_form = std::make_unique<OrderForm>();
        m_form->ControlPanel()->SetConnectionString(OrdersDatabaseFile());
        QVERIFY(m_form->ControlPanel()->Open());
        QString error;
        QVERIFY2(PrepareOrdersDatabase(&error), qPrintable(error));
        dvt::SetMainForm(m_form.get());
        dvt::LoadForm(m_form.get());
        m_form->ShowLatestOrder();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void cleanup() { QCOMPARE(m_messages.texts, QStringList()); }

    void firstStart()
    {
        QCOMPARE(isql(u"select count(*) from CUSTOMERS"_s), u"8"_s);
        QCOMPARE(isql(u"select count(*) from ORDERS"_s), u"3"_s);
        // A second start finds everything in place and adds nothing.
        QString error;
        QVERIFY(PrepareOrdersDatabase(&error));
        QCOMPARE(isql(u"select count(*) from ORDERS"_s), u"3"_s);
        // The form shows the latest order.
        QCOMPARE(text(u"ORDERNO"_s), u"1003"_s);
        QCOMPARE(text(u"CUSTOMER"_s), u"3 Carver & Sons | Denver"_s);
        QCOMPARE(control<QComboBox>(u"PAYMENT"_s)->currentText(), u"Invoice"_s);
        QCOMPARE(text(u"Extras"_s), u"Insurance,Express handling"_s);
        QCOMPARE(text(u"TotalLabel"_s), u"Total: $219.00"_s);
    }

    // Clear, then type an order: Enter moves from control to control.
    void typingAnOrderAndInsertingIt()
    {
        click(u"ClearButton"_s);
        QCOMPARE(QApplication::focusWidget(), control(u"CUSTOMER"_s));
        // Clearing kept the customer; a new number replaces it, shown with its
        // name and city.
        QTest::keyClick(m_form->windowHandle(), Qt::Key_A, Qt::ControlModifier);
        type(u"07"_s);
        press(Qt::Key_Return);
        QCOMPARE(text(u"CUSTOMER"_s), u"7 Golden Gate Bakery | San Francisco"_s);
        QCOMPARE(QApplication::focusWidget(), control(u"REFERENCE"_s));
        type(u"PO-77"_s);
        press(Qt::Key_Return);
        type(u"10:30pm"_s);
        press(Qt::Key_Return);
        QCOMPARE(text(u"DELIVERY"_s), u"10:30 PM"_s);
        auto *product = control<QComboBox>(u"PRODUCT"_s);
        QCOMPARE(QApplication::focusWidget(), product);
        product->setCurrentIndex(product->findText(u"Stapler"_s));
        Q_EMIT product->activated(product->currentIndex());
        QCOMPARE(text(u"PRICE"_s), u"$12.75"_s);
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), control(u"QUANTITY"_s));
        press(Qt::Key_Backspace);
        type(u"4"_s);
        press(Qt::Key_Return);
        QCOMPARE(text(u"TotalLabel"_s), u"Total: $51.00"_s);
        control<QAbstractButton>(u"PAID"_s)->setChecked(true);
        control<QAbstractButton>(u"Courier"_s)->setChecked(true);
        control<QListWidget>(u"Extras"_s)->item(0)->setCheckState(Qt::Checked);
        control<QPlainTextEdit>(u"NOTES"_s)->setPlainText(u"Ring twice."_s);

        click(u"InsertButton"_s);
        QCOMPARE(text(u"ORDERNO"_s), u"1004"_s);
        QCOMPARE(
            isql(u"select CUSTOMER, REFERENCE, PRODUCT, QUANTITY, PRICE, trim(DELIVERY), PAYMENT, "
                 u"trim(PAID), cast(NOTES as varchar(200)), SHIPPING, EXTRAS from ORDERS where "
                 u"ORDERNO=1004"_s),
            u"7|PO-77|Stapler|4|12.75|22:30:00|0|Y|Ring twice.|Courier|Gift "
            u"wrap"_s);
    }

    // A quantity of 0 stops Insert: the focus goes to the quantity, nothing is stored.
    void validationStopsTheInsert()
    {
        auto *quantity = control<QLineEdit>(u"QUANTITY"_s);
        quantity->setText(u"0"_s);
        click(u"InsertButton"_s);
        QCOMPARE(QApplication::focusWidget(), quantity);
        QCOMPARE(isql(u"select count(*) from ORDERS"_s), u"4"_s);
        QCOMPARE(text(u"StatusLabel"_s), u"An order needs a quantity of at least 1."_s);
        quantity->setText(u"4"_s);
    }

    void updatingTheOrder()
    {
        control<QLineEdit>(u"REFERENCE"_s)->setText(u"PO-78"_s);
        control<QAbstractButton>(u"Pickup"_s)->setChecked(true);
        click(u"UpdateButton"_s);
        QCOMPARE(isql(u"select REFERENCE, SHIPPING, (select count(*) from ORDERS) from ORDERS "
                      u"where ORDERNO=1004"_s),
                 u"PO-78|Pickup|4"_s);
    }

    void loadingAnOrderByNumber()
    {
        click(u"ClearButton"_s);
        control<QLineEdit>(u"CUSTOMER"_s)->clear(); // Clear keeps the customer
        auto *orderNo = control<QLineEdit>(u"ORDERNO"_s);
        orderNo->setFocus();
        orderNo->selectAll();
        type(u"1004"_s);
        click(u"LoadButton"_s);
        QCOMPARE(text(u"CUSTOMER"_s), u"7 Golden Gate Bakery | San Francisco"_s);
        QCOMPARE(text(u"REFERENCE"_s), u"PO-78"_s);
        QCOMPARE(text(u"DELIVERY"_s), u"10:30 PM"_s);
        QCOMPARE(text(u"Pickup"_s), u"checked"_s);
        QCOMPARE(text(u"Extras"_s), u"Gift wrap"_s);
    }

    // Delete asks first; No keeps the order, Yes removes it.
    void deletingTheOrder()
    {
        QStringList questions;
        dvt::TModalResult answer = dvt::mrNo;
        dvt::ScopedMessageHandler handler([&](const dvt::TMessageRequest &request) {
            questions << request.Message;
            return answer;
        });
        click(u"DeleteButton"_s);
        QCOMPARE(questions, QStringList{u"Are you sure?"_s});
        QCOMPARE(isql(u"select count(*) from ORDERS"_s), u"4"_s);
        answer = dvt::mrYes;
        click(u"DeleteButton"_s);
        QCOMPARE(isql(u"select count(*) from ORDERS"_s), u"3"_s);
        QCOMPARE(text(u"StatusLabel"_s), u"Order 1004 deleted."_s);
    }
};

QTEST_MAIN(tst_ordersDemo)
#include "tst_ordersDemo.moc"
