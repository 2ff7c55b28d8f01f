// The demo application as a person uses it: the first start fills the database,
// an order typed with the keyboard is inserted, changed, loaded and deleted with
// the form's buttons, and a separate client (isql-fb) sees every step.

#include <QFile>

#include "OrderForm.h"
#include "OrdersDatabase.h"
#include "dvButton.h"
#include "dvtComponent.h"
#include "dvtRecordsTestSupport.h"
#include "dvtTestKeys.h"

using namespace Qt::StringLiterals;

class tst_ordersDemo : public QObject
{
    Q_OBJECT

    std::unique_ptr<OrderForm> m_form;
    // No dialog may wait for an answer nobody gives: every message lands here.
    std::unique_ptr<dvt::test::MessageLog> m_messages;

    template<class Control = QWidget>
    Control *control(const QString &name) const
    {
        auto *found = qobject_cast<Control *>(dvt::FindComponent(m_form.get(), name));
        if (!found)
            qFatal("The demo has no %s named %s", Control::staticMetaObject.className(),
                   qPrintable(name));
        return found;
    }

    QMap<QString, QString> orderRow(const QString &orderNo) const
    {
        return dvt::test::IsqlRow(
            OrdersDatabaseFile(),
            u"select CUSTOMER, REFERENCE, PRODUCT, QUANTITY, PRICE, "
            u"cast(ORDERDATE as varchar(30)) as ORDERDATE, trim(DELIVERY) as DELIVERY, "
            u"PAYMENT, trim(PAID) as PAID, cast(NOTES as varchar(200)) as NOTES, SHIPPING, "
            u"EXTRAS from ORDERS where ORDERNO="_s
                + orderNo);
    }

    int count(const QString &table) const
    {
        return dvt::test::IsqlRow(OrdersDatabaseFile(), u"select count(*) as N from "_s + table)
            .value(u"N"_s, u"-1"_s)
            .toInt();
    }

    void type(const QString &text) { dvt::test::typeText(m_form->windowHandle(), text); }
    void press(Qt::Key key) { QTest::keyClick(m_form->windowHandle(), key); }
    void click(const QString &button) { QTest::mouseClick(control(button), Qt::LeftButton); }

private Q_SLOTS:
    void initTestCase()
    {
        // A first start: the test's own per-user folder holds no database yet.
        QStandardPaths::setTestModeEnabled(true);
        m_messages = std::make_unique<dvt::test::MessageLog>();
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
    void cleanup() { QCOMPARE(m_messages->messages().size(), 0); }
    void cleanupTestCase()
    {
        dvt::SetMainForm(nullptr);
        m_form.reset();
        m_messages.reset();
    }

    void firstStartFillsTheDatabase()
    {
        QCOMPARE(count(u"CUSTOMERS"_s), 8);
        QCOMPARE(count(u"ORDERS"_s), 3);
        // A second start finds everything in place and adds nothing.
        QString error;
        QVERIFY(PrepareOrdersDatabase(&error));
        QCOMPARE(count(u"ORDERS"_s), 3);
    }

    void startsOnTheLatestOrder()
    {
        QCOMPARE(control<QLineEdit>(u"ORDERNO"_s)->text(), u"1003"_s);
        QCOMPARE(control<QComboBox>(u"CUSTOMER"_s)->currentText(), u"Carver & Sons"_s);
        QCOMPARE(control<QComboBox>(u"PAYMENT"_s)->currentText(), u"Invoice"_s);
        QCOMPARE(dvt::test::State(control(u"Extras"_s)), u"Insurance,Express handling"_s);
        QCOMPARE(control<QLabel>(u"TotalLabel"_s)->text(), u"Total: $219.00"_s);
    }

    // Clear, then type an order: Enter moves from control to control.
    void typingAnOrderAndInsertingIt()
    {
        click(u"ClearButton"_s);
        QCOMPARE(QApplication::focusWidget(), control(u"CUSTOMER"_s));
        type(u"G"_s); // the combo box goes to Golden Gate Bakery
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), control(u"REFERENCE"_s));
        type(u"PO-77"_s);
        press(Qt::Key_Return);
        type(u"10:30pm"_s);
        press(Qt::Key_Return);
        QCOMPARE(control<QLineEdit>(u"DELIVERY"_s)->text(), u"10:30 PM"_s);
        auto *product = control<QComboBox>(u"PRODUCT"_s);
        QCOMPARE(QApplication::focusWidget(), product);
        product->setCurrentIndex(product->findText(u"Stapler"_s));
        Q_EMIT product->activated(product->currentIndex());
        QCOMPARE(control<QLineEdit>(u"PRICE"_s)->text(), u"$12.75"_s);
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), control(u"QUANTITY"_s));
        press(Qt::Key_Backspace);
        type(u"4"_s);
        press(Qt::Key_Return);
        QCOMPARE(control<QLabel>(u"TotalLabel"_s)->text(), u"Total: $51.00"_s);
        control<QAbstractButton>(u"PAID"_s)->setChecked(true);
        control<QAbstractButton>(u"Courier"_s)->setChecked(true);
        control<QListWidget>(u"Extras"_s)->item(0)->setCheckState(Qt::Checked);
        control<QPlainTextEdit>(u"NOTES"_s)->setPlainText(u"Ring twice."_s);

        dvt::test::MessageLog log;
        click(u"InsertButton"_s);
        QCOMPARE(log.messages().size(), 0);
        QCOMPARE(control<QLineEdit>(u"ORDERNO"_s)->text(), u"1004"_s);
        const auto row = orderRow(u"1004"_s);
        QCOMPARE(row.value(u"CUSTOMER"_s), u"Golden Gate Bakery"_s);
        QCOMPARE(row.value(u"PRODUCT"_s), u"Stapler"_s);
        QCOMPARE(row.value(u"QUANTITY"_s), u"4"_s);
        QCOMPARE(row.value(u"PRICE"_s), u"12.75"_s);
        QVERIFY(!row.value(u"ORDERDATE"_s).isEmpty());
        QCOMPARE(row.value(u"DELIVERY"_s), u"22:30:00"_s);
        QCOMPARE(row.value(u"PAYMENT"_s), u"0"_s);
        QCOMPARE(row.value(u"PAID"_s), u"Y"_s);
        QCOMPARE(row.value(u"NOTES"_s), u"Ring twice."_s);
        QCOMPARE(row.value(u"SHIPPING"_s), u"Courier"_s);
        QCOMPARE(row.value(u"EXTRAS"_s), u"Gift wrap"_s);
    }

    // A quantity of 0 stops Insert: the focus goes to the quantity, nothing is stored.
    void validationStopsTheInsert()
    {
        auto *quantity = control<QLineEdit>(u"QUANTITY"_s);
        quantity->setText(u"0"_s);
        click(u"InsertButton"_s);
        QCOMPARE(QApplication::focusWidget(), quantity);
        QCOMPARE(count(u"ORDERS"_s), 4);
        QCOMPARE(control<QLabel>(u"StatusLabel"_s)->text(),
                 u"An order needs a quantity of at least 1."_s);
        quantity->setText(u"4"_s);
    }

    void updatingTheOrder()
    {
        control<QLineEdit>(u"REFERENCE"_s)->setText(u"PO-78"_s);
        control<QAbstractButton>(u"Pickup"_s)->setChecked(true);
        click(u"UpdateButton"_s);
        const auto row = orderRow(u"1004"_s);
        QCOMPARE(row.value(u"REFERENCE"_s), u"PO-78"_s);
        QCOMPARE(row.value(u"SHIPPING"_s), u"Pickup"_s);
        QCOMPARE(count(u"ORDERS"_s), 4);
    }

    void loadingAnOrderByNumber()
    {
        click(u"ClearButton"_s);
        auto *orderNo = control<QLineEdit>(u"ORDERNO"_s);
        orderNo->setFocus();
        orderNo->selectAll();
        type(u"1004"_s);
        click(u"LoadButton"_s);
        QCOMPARE(control<QLineEdit>(u"REFERENCE"_s)->text(), u"PO-78"_s);
        QCOMPARE(control<QLineEdit>(u"DELIVERY"_s)->text(), u"10:30 PM"_s);
        QVERIFY(control<QAbstractButton>(u"Pickup"_s)->isChecked());
        QCOMPARE(dvt::test::State(control(u"Extras"_s)), u"Gift wrap"_s);
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
        QCOMPARE(count(u"ORDERS"_s), 4);
        answer = dvt::mrYes;
        click(u"DeleteButton"_s);
        QCOMPARE(count(u"ORDERS"_s), 3);
        QCOMPARE(control<QLabel>(u"StatusLabel"_s)->text(), u"Order 1004 deleted."_s);
    }
};

QTEST_MAIN(tst_ordersDemo)
#include "tst_ordersDemo.moc"
