#include "OrderForm.h"

#include "dvControlPanel.h"
#include "dvMessages.h"
#include "dvQuery.h"
#include "dvRecords.h"
#include "dvSQL.h"
#include "dvShortCut.h"
#include "dvStrings.h"
#include "dvtFormat.h"
#include "ui_OrderForm.h"

using namespace Qt::StringLiterals;

namespace {

// The light yellow that marks the focused control (0x00BBGGRR).
constexpr dvt::TColor focusYellow{0xA0F0FFu};

} // namespace

OrderForm::OrderForm(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::OrderForm>())
{
    // The non-visual components are made in code (the form's .ui file holds
    // widgets only), before the controls: the control panel connects before the
    // combo boxes fill their lists, and its settings apply to every control of
    // the application. Object names are how dvt::LoadForm finds the components.
    m_panel = new TdvControlPanel(this);
    m_panel->setObjectName(u"ControlPanel"_s);
    m_panel->SetHighlight(focusYellow);
    m_panel->SetEnterAsTab(true);
    (new TdvShortCut(this))->setObjectName(u"ShortCut"_s);

    m_ui->setupUi(this);
    m_shipping = {m_ui->Pickup, m_ui->Courier, m_ui->Post};

    m_ui->QUANTITY->OnValidation = [this](QObject *, const QString &text, bool &valid) {
        if (valid && dvStrToFloat(text) < 1) {
            valid = false;
            ShowStatus(tr("An order needs a quantity of at least 1."));
        }
    };
    m_ui->Extras->setFixedHeight(m_ui->Extras->sizeHintForRow(0) * m_ui->Extras->count()
                                 + 2 * m_ui->Extras->frameWidth());

    // Insert and Update first check the edits (an empty date, a quantity below
    // 1); Delete asks before it acts.
    connect(m_ui->InsertButton, &QPushButton::clicked, this, &OrderForm::InsertOrder);
    connect(m_ui->UpdateButton, &QPushButton::clicked, this, &OrderForm::UpdateOrder);
    connect(m_ui->DeleteButton, &QPushButton::clicked, this, &OrderForm::DeleteOrder);
    connect(m_ui->LoadButton, &QPushButton::clicked, this, &OrderForm::LoadOrder);
    connect(m_ui->ClearButton, &QPushButton::clicked, this, &OrderForm::ClearOrder);

    connect(m_ui->PRODUCT, &QComboBox::activated, this, &OrderForm::LookUpPrice);
    connect(m_ui->QUANTITY, &QLineEdit::textChanged, this, &OrderForm::UpdateTotal);
    connect(m_ui->PRICE, &QLineEdit::textChanged, this, &OrderForm::UpdateTotal);
}

OrderForm::~OrderForm() = default;

QList<QObject *> OrderForm::Fields() const
{
    return {m_ui->CUSTOMER,  m_ui->REFERENCE, m_ui->PRODUCT, m_ui->QUANTITY, m_ui->PRICE,
            m_ui->ORDERDATE, m_ui->DELIVERY,  m_ui->PAYMENT, m_ui->PAID,     m_ui->NOTES};
}

QString OrderForm::OrderCondition() const
{
    return u"ORDERNO="_s + dvSQLInteger(qRound(m_ui->ORDERNO->GetFValue()));
}

void OrderForm::ShowLatestOrder()
{
    TdvQuery query;
    if (query.Select(u"select max(ORDERNO) from ORDERS"_s) && !query.IsNull(0)) {
        m_ui->ORDERNO->SetValue(double(query.AsInteger(0)));
        LoadOrder();
        ShowStatus(tr("Order %1 loaded. Type a new order over it and press Insert, or press "
                      "Clear to start afresh.")
                       .arg(m_ui->ORDERNO->text()));
        m_ui->CUSTOMER->setFocus();
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
        dvWarningMsg(tr("There is no order %1.").arg(m_ui->ORDERNO->text()));
    else
        dvErrorMsg(tr("It was not possible to find the order!") + u"\r\r"_s + query.Error());
    return false;
}

void OrderForm::InsertOrder()
{
    const QString previous = m_ui->ORDERNO->text();
    const bool stored = StoreInTransaction([this] {
        // The generator hands out each number once, even when the transaction is
        // rolled back: a number may be skipped, never given twice.
        TdvQuery query;
        if (!query.Select(u"select gen_id(ORDER_NO, 1) from rdb$database"_s)) {
            dvErrorMsg(tr("It was not possible to number the order!") + u"\r\r"_s + query.Error());
            return false;
        }
        m_ui->ORDERNO->SetValue(double(query.AsInteger(0)));
        return dvInsertRecord(u"ORDERS"_s, QList<QObject *>{m_ui->ORDERNO} + Fields());
    });
    if (stored) {
        ShowStatus(tr("Order %1 stored. Change it and press Insert for the next one, or "
                      "Clear to start afresh.")
                       .arg(m_ui->ORDERNO->text()));
    } else {
        m_ui->ORDERNO->setText(previous);
    }
}

void OrderForm::UpdateOrder()
{
    if (!OrderExists())
        return;
    const QString where = OrderCondition();
    if (StoreInTransaction([&] { return dvUpdateRecord(u"ORDERS"_s, where, Fields()); }))
        ShowStatus(tr("Order %1 updated.").arg(m_ui->ORDERNO->text()));
}

void OrderForm::DeleteOrder()
{
    if (!OrderExists())
        return;
    const QString number = m_ui->ORDERNO->text();
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
    ShowStatus(tr("Order %1 loaded.").arg(m_ui->ORDERNO->text()));
}

void OrderForm::ClearOrder()
{
    dvClearRecord(QList<QObject *>{m_ui->ORDERNO} + Fields());
    ClearChoices();
    m_ui->ORDERDATE->Today();
    m_ui->CUSTOMER->setFocus();
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
    for (int row = 0; row < m_ui->Extras->count(); ++row) {
        if (m_ui->Extras->Checked(row))
            extras << m_ui->Extras->item(row)->text();
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
    for (int row = 0; row < m_ui->Extras->count(); ++row)
        m_ui->Extras->SetChecked(row, extras.contains(m_ui->Extras->item(row)->text()));
}

void OrderForm::ClearChoices()
{
    // Exclusive radio buttons cannot all be unchecked: the first is the default.
    m_shipping.constFirst()->setChecked(true);
    m_ui->Extras->UnselectAllClick();
}

void OrderForm::LookUpPrice()
{
    TdvQuery query;
    if (query.Select(u"select PRICE from PRODUCTS where NAME="_s
                     + dvSQLString(m_ui->PRODUCT->currentText())))
        m_ui->PRICE->SetValue(query.AsFloat(0));
}

void OrderForm::UpdateTotal()
{
    const double total = m_ui->QUANTITY->GetFValue() * m_ui->PRICE->GetFValue();
    m_ui->TotalLabel->setText(tr("Total: %1").arg(dvt::Format(u"%m"_s, {total})));
}

void OrderForm::ShowStatus(const QString &text)
{
    m_ui->StatusLabel->setText(text);
}
