#include "OrderForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "dvButton.h"
#include "dvCheckBox.h"
#include "dvCheckListBox.h"
#include "dvComboBox.h"
#include "dvControlPanel.h"
#include "dvDate.h"
#include "dvEdit.h"
#include "dvKey.h"
#include "dvMemo.h"
#include "dvMessages.h"
#include "dvQuery.h"
#include "dvRadioButton.h"
#include "dvRecords.h"
#include "dvSQL.h"
#include "dvShortCut.h"
#include "dvStrings.h"
#include "dvTime.h"
#include "dvValue.h"
#include "dvtFormat.h"

using namespace Qt::StringLiterals;

namespace {

// The light yellow that marks the focused control (0x00BBGGRR).
constexpr dvt::TColor focusYellow{0xA0F0FFu};

// Every control gets an object name: it is how the record routines find a
// column's control and how dvt::LoadForm finds the components to load.
template<class Control>
Control *Named(Control *control, const QString &name)
{
    control->setObjectName(name);
    return control;
}

// A caption for a control; TdvShortCut gives it a key that moves to the control.
QLabel *Caption(const QString &text, QWidget *buddy)
{
    auto *label = Named(new QLabel(text, buddy->parentWidget()), buddy->objectName() + u"Label"_s);
    label->setBuddy(buddy);
    return label;
}

} // namespace

OrderForm::OrderForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"OrderForm"_s);
    setWindowTitle(tr("dvTools demo: orders"));

    // The control panel comes first: it connects before the combo boxes fill
    // their lists. Its settings apply to every control of the application.
    m_panel = Named(new TdvControlPanel(this), u"ControlPanel"_s);
    m_panel->SetHighlight(focusYellow);
    m_panel->SetEnterAsTab(true);
    Named(new TdvShortCut(this), u"ShortCut"_s);

    auto *order = Named(new QGroupBox(this), u"OrderBox"_s);
    auto *grid = new QGridLayout(order);
    // A captioned field: the caption in the given column, the control beside it.
    const auto field = [grid](int row, int column, const QString &caption, QWidget *control,
                              int columnSpan = 1) {
        grid->addWidget(Caption(caption, control), row, column);
        grid->addWidget(control, row, column + 1, 1, columnSpan);
    };

    m_orderNo = Named(new TdvValue(order), u"ORDERNO"_s);
    m_orderNo->SetFormatStr(u"%.0f"_s);
    m_orderNo->SetTrigger(QString());
    m_orderDate = Named(new TdvDate(order), u"ORDERDATE"_s);
    m_orderDate->SetNotNull(true);
    m_orderDate->SetDefaultNow(true);
    field(0, 0, tr("Order no."), m_orderNo);
    field(0, 2, tr("Date"), m_orderDate);

    // The customer's number, shown with the name and city; "?" or a right click
    // lists the customers whose name or city contains what was typed. Clearing
    // the form keeps the customer, for the next order of the same one.
    m_customer = Named(new TdvKey(order), u"CUSTOMER"_s);
    m_customer->SetKeyTable(u"CUSTOMERS"_s);
    m_customer->SetKeyField(u"ID"_s);
    m_customer->SetKeyDescription(u"NAME,CITY"_s);
    m_customer->SetKeyOrder(u"NAME"_s);
    m_customer->setPlaceholderText(tr("number, or ? to choose"));
    field(1, 0, tr("Customer"), m_customer, 3);

    m_reference = Named(new TdvEdit(order), u"REFERENCE"_s);
    m_reference->setPlaceholderText(tr("the customer's purchase order"));
    m_delivery = Named(new TdvTime(order), u"DELIVERY"_s);
    m_delivery->setPlaceholderText(tr("any time"));
    field(2, 0, tr("Reference"), m_reference);
    field(2, 2, tr("Delivery at"), m_delivery);

    m_product = Named(new TdvComboBox(order), u"PRODUCT"_s);
    m_product->SetSelect(u"select NAME from PRODUCTS order by NAME"_s);
    field(3, 0, tr("Product"), m_product, 3);

    m_quantity = Named(new TdvValue(order), u"QUANTITY"_s);
    m_quantity->SetFormatStr(u"%.0f"_s);
    m_quantity->SetNotNull(true);
    m_quantity->OnValidation = [this](QObject *, const QString &text, bool &valid) {
        if (valid && dvStrToFloat(text) < 1) {
            valid = false;
            ShowStatus(tr("An order needs a quantity of at least 1."));
        }
    };
    m_price = Named(new TdvValue(order), u"PRICE"_s);
    field(4, 0, tr("Quantity"), m_quantity);
    field(4, 2, tr("Unit price"), m_price);

    // The payment is stored as the position of the item (the column is a
    // number), the product as its text.
    m_payment = Named(new TdvComboBox(order), u"PAYMENT"_s);
    m_payment->addItems({tr("Cash"), tr("Card"), tr("Invoice")});
    m_paid = Named(new TdvCheckBox(tr("Paid in full"), order), u"PAID"_s);
    m_total = Named(new QLabel(order), u"TotalLabel"_s);
    m_total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field(5, 0, tr("Payment"), m_payment);
    grid->addWidget(m_paid, 5, 2);
    grid->addWidget(m_total, 5, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto *shipping = Named(new QGroupBox(tr("Shipping"), this), u"ShippingBox"_s);
    auto *shippingLayout = new QVBoxLayout(shipping);
    for (const auto &[name, caption] :
         {std::pair{u"Pickup"_s, tr("Pickup at the store")},
          std::pair{u"Courier"_s, tr("By courier")}, std::pair{u"Post"_s, tr("By post")}}) {
        auto *radio = Named(new TdvRadioButton(caption, shipping), name);
        shippingLayout->addWidget(radio);
        m_shipping << radio;
    }
    shippingLayout->addStretch();

    auto *extras = Named(new QGroupBox(tr("Extras"), this), u"ExtrasBox"_s);
    m_extras = Named(new TdvCheckListBox(extras), u"Extras"_s);
    m_extras->addItems(
        {tr("Gift wrap"), tr("Insurance"), tr("Express handling"), tr("Invoice by e-mail")});
    m_extras->setFixedHeight(m_extras->sizeHintForRow(0) * m_extras->count()
                             + 2 * m_extras->frameWidth());
    (new QVBoxLayout(extras))->addWidget(m_extras);

    auto *choices = new QHBoxLayout;
    choices->addWidget(shipping);
    choices->addWidget(extras, 1);

    auto *notes = Named(new QGroupBox(tr("Comments"), this), u"NotesBox"_s);
    m_notes = Named(new TdvMemo(notes), u"NOTES"_s);
    (new QVBoxLayout(notes))->addWidget(m_notes);

    // Insert and Update first check the edits (an empty date, a quantity below
    // 1); Delete asks before it acts.
    auto *buttons = new QHBoxLayout;
    const auto addButton = [&](const QString &name, const QString &caption, auto action) {
        auto *button = Named(new TdvButton(caption, this), name);
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
        return button;
    };
    addButton(u"InsertButton"_s, tr("Insert"), &OrderForm::InsertOrder)->SetValidate(true);
    addButton(u"UpdateButton"_s, tr("Update"), &OrderForm::UpdateOrder)->SetValidate(true);
    addButton(u"DeleteButton"_s, tr("Delete"), &OrderForm::DeleteOrder)->SetConfirm(true);
    addButton(u"LoadButton"_s, tr("Load"), &OrderForm::LoadOrder);
    addButton(u"ClearButton"_s, tr("Clear"), &OrderForm::ClearOrder);
    buttons->addStretch();
    addButton(u"CloseButton"_s, tr("Close"), &OrderForm::close);

    m_status = Named(new QLabel(this), u"StatusLabel"_s);
    m_status->setFrameShape(QFrame::StyledPanel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(order);
    layout->addLayout(choices);
    layout->addWidget(notes, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_status);

    connect(m_product, &QComboBox::activated, this, &OrderForm::LookUpPrice);
    connect(m_quantity, &QLineEdit::textChanged, this, &OrderForm::UpdateTotal);
    connect(m_price, &QLineEdit::textChanged, this, &OrderForm::UpdateTotal);
    resize(640, 600);
}

QList<QObject *> OrderForm::Fields() const
{
    return {m_customer,  m_reference, m_product, m_quantity, m_price,
            m_orderDate, m_delivery,  m_payment, m_paid,     m_notes};
}

QString OrderForm::OrderCondition() const
{
    return u"ORDERNO="_s + dvSQLInteger(qRound(m_orderNo->GetFValue()));
}

void OrderForm::ShowLatestOrder()
{
    TdvQuery query;
    if (query.Select(u"select max(ORDERNO) from ORDERS"_s) && !query.IsNull(0)) {
        m_orderNo->SetValue(double(query.AsInteger(0)));
        LoadOrder();
        ShowStatus(tr("Order %1 loaded. Type a new order over it and press Insert, or press "
                      "Clear to start afresh.")
                       .arg(m_orderNo->text()));
        m_customer->setFocus();
    } else {
        ClearOrder();
    }
}

bool OrderForm::OrderExists()
{
    TdvQuery query;
    if (query.Select(u"select ORDERNO from ORDERS where "_s + OrderCondition()))
        return true;
    if (query.Error().isEmpty())
        dvWarningMsg(tr("There is no order %1.").arg(m_orderNo->text()));
    else
        dvErrorMsg(tr("It was not possible to find the order!") + u"\r\r"_s + query.Error());
    return false;
}

void OrderForm::InsertOrder()
{
    const QString previous = m_orderNo->text();
    const bool stored = StoreInTransaction([this] {
        // The generator hands out each number once, even when the transaction is
        // rolled back: a number may be skipped, never given twice.
        TdvQuery query;
        if (!query.Select(u"select gen_id(ORDER_NO, 1) from rdb$database"_s)) {
            dvErrorMsg(tr("It was not possible to number the order!") + u"\r\r"_s + query.Error());
            return false;
        }
        m_orderNo->SetValue(double(query.AsInteger(0)));
        return dvInsertRecord(u"ORDERS"_s, QList<QObject *>{m_orderNo} + Fields());
    });
    if (stored) {
        ShowStatus(tr("Order %1 stored. Change it and press Insert for the next one, or "
                      "Clear to start afresh.")
                       .arg(m_orderNo->text()));
    } else {
        m_orderNo->setText(previous);
    }
}

void OrderForm::UpdateOrder()
{
    if (!OrderExists())
        return;
    const QString where = OrderCondition();
    if (StoreInTransaction([&] { return dvUpdateRecord(u"ORDERS"_s, where, Fields()); }))
        ShowStatus(tr("Order %1 updated.").arg(m_orderNo->text()));
}

void OrderForm::DeleteOrder()
{
    if (!OrderExists())
        return;
    const QString number = m_orderNo->text();
    if (!dvDeleteRecord(u"ORDERS"_s, OrderCondition()))
        return;
    ClearOrder();
    ShowStatus(tr("Order %1 deleted.").arg(number));
}

void OrderForm::LoadOrder()
{
    // The columns SHIPPING and EXTRAS have no control of their name: the load
    // passes them by, and LoadChoices() reads them.
    if (!dvLoadRecord(this, u"select * from ORDERS where "_s + OrderCondition()))
        return;
    LoadChoices();
    ShowStatus(tr("Order %1 loaded.").arg(m_orderNo->text()));
}

void OrderForm::ClearOrder()
{
    dvClearRecord(QList<QObject *>{m_orderNo} + Fields());
    ClearChoices();
    m_orderDate->Today();
    m_customer->setFocus();
    ShowStatus(tr("A new order: type it in and press Insert. To see an order, type its "
                  "number and press Load."));
}

bool OrderForm::StoreInTransaction(const std::function<bool()> &store)
{
    if (!m_panel->StartTransaction()) {
        dvErrorMsg(tr("It was not possible to store the order!") + u"\r\r"_s
                   + m_panel->LastError());
        return false;
    }
    if (store() && StoreChoices())
        return m_panel->Commit();
    m_panel->Rollback();
    return false;
}

bool OrderForm::StoreChoices()
{
    QString shipping;
    for (const TdvRadioButton *radio : std::as_const(m_shipping)) {
        if (radio->isChecked())
            shipping = radio->objectName();
    }
    QStringList extras;
    for (int row = 0; row < m_extras->count(); ++row) {
        if (m_extras->Checked(row))
            extras << m_extras->item(row)->text();
    }
    TdvQuery query;
    if (query.Execute(u"update ORDERS set SHIPPING="_s + dvSQLString(shipping) + u", EXTRAS="_s
                      + dvSQLString(extras.join(u',')) + u" where "_s + OrderCondition()))
        return true;
    dvErrorMsg(tr("It was not possible to store the shipping and the extras!") + u"\r\r"_s
               + query.Error());
    return false;
}

void OrderForm::LoadChoices()
{
    TdvQuery query;
    if (!query.Select(u"select SHIPPING, EXTRAS from ORDERS where "_s + OrderCondition()))
        return;
    const QString shipping = dvt::Trim(query.AsString(0));
    ClearChoices();
    for (TdvRadioButton *radio : std::as_const(m_shipping)) {
        if (radio->objectName() == shipping)
            radio->setChecked(true);
    }
    const QStringList extras = query.AsString(1).split(u',', Qt::SkipEmptyParts);
    for (int row = 0; row < m_extras->count(); ++row)
        m_extras->SetChecked(row, extras.contains(m_extras->item(row)->text()));
}

void OrderForm::ClearChoices()
{
    // Exclusive radio buttons cannot all be unchecked: the first is the default.
    m_shipping.constFirst()->setChecked(true);
    m_extras->UnselectAllClick();
}

void OrderForm::LookUpPrice()
{
    TdvQuery query;
    if (query.Select(u"select PRICE from PRODUCTS where NAME="_s
                     + dvSQLString(m_product->currentText())))
        m_price->SetValue(query.AsFloat(0));
}

void OrderForm::UpdateTotal()
{
    const double total = m_quantity->GetFValue() * m_price->GetFValue();
    m_total->setText(tr("Total: %1").arg(dvt::Format(u"%m"_s, {total})));
}

void OrderForm::ShowStatus(const QString &text)
{
    m_status->setText(text);
}
