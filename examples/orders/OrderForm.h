#pragma once

#include <QList>
#include <QWidget>

#include <functional>

class QLabel;
class TdvCheckBox;
class TdvCheckListBox;
class TdvComboBox;
class TdvControlPanel;
class TdvDate;
class TdvEdit;
class TdvKey;
class TdvMemo;
class TdvRadioButton;
class TdvTime;
class TdvValue;

// The order-entry window. Each control that edits a column of ORDERS is named
// after that column, so one call of the record routines stores, loads or clears
// the whole order. The shipping method (radio buttons) and the extras (a check
// list) have no value the routines store; the form stores them itself, in the
// same transaction.
class OrderForm : public QWidget
{
    Q_OBJECT

public:
    explicit OrderForm(QWidget *parent = nullptr);

    // The application's connection and the settings of its controls.
    TdvControlPanel *ControlPanel() const { return m_panel; }

    // Shows the most recent order, or an empty one when there is none.
    void ShowLatestOrder();

private:
    // The controls of the order's columns, without the order number (the key).
    QList<QObject *> Fields() const;
    QString OrderCondition() const;
    // Whether the order in ORDERNO is stored; says so when it is not.
    bool OrderExists();

    void InsertOrder();
    void UpdateOrder();
    void DeleteOrder();
    void LoadOrder();
    void ClearOrder();

    // Runs store, then stores the shipping method and the extras, all in one
    // transaction; a failure of either undoes both.
    bool StoreInTransaction(const std::function<bool()> &store);
    bool StoreChoices();
    void LoadChoices();
    void ClearChoices();

    void LookUpPrice();
    void UpdateTotal();
    void ShowStatus(const QString &text);

    TdvControlPanel *m_panel;
    TdvValue *m_orderNo;
    TdvKey *m_customer;
    TdvEdit *m_reference;
    TdvDate *m_orderDate;
    TdvTime *m_delivery;
    TdvComboBox *m_product;
    TdvValue *m_quantity;
    TdvValue *m_price;
    QLabel *m_total;
    TdvComboBox *m_payment;
    TdvCheckBox *m_paid;
    QList<TdvRadioButton *> m_shipping;
    TdvCheckListBox *m_extras;
    TdvMemo *m_notes;
    QLabel *m_status;
};
