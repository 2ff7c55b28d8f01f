#pragma once

#include <QList>
#include <QWidget>

#include <functional>
#include <memory>

class TdvControlPanel;
class TdvRadioButton;

namespace Ui {
class OrderForm;
}

// The order-entry window; its controls are laid out in OrderForm.ui. Each
// control that edits a column of ORDERS is named after that column, so one call
// of the record routines stores, loads or clears the whole order. The customer
// is a key edit that shows the number with the name and city; the payment is
// stored as the position of the item (the column is a number), the product as
// its text. The shipping method (radio buttons) and the extras (a check list)
// have no value the routines store; the form stores them itself, in the same
// transaction.
class OrderForm : public QWidget
{
    Q_OBJECT

public:
    explicit OrderForm(QWidget *parent = nullptr);
    ~OrderForm() override;

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
    std::unique_ptr<Ui::OrderForm> m_ui;
    QList<TdvRadioButton *> m_shipping;
};
