#pragma once

#include <QCheckBox>

#include "dvtCheckableControl.h"

// A check box for data-entry forms (see dvt::TCheckableControl for EnterAsTab,
// CloseOnEsc, KeepValue and the bold focus marking that Highlight switches on).
//
// Keys, after Enter and Esc: Y checks the box, N unchecks it, and Space inverts it
// once per press. Each of them is consumed, so the application's OnKeyDown sees 0.
class TdvCheckBox : public dvt::TCheckableControl<QCheckBox>
{
    Q_OBJECT
    Q_PROPERTY(bool EnterAsTab READ EnterAsTab WRITE SetEnterAsTab)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE SetCloseOnEsc)
    Q_PROPERTY(bool KeepValue READ KeepValue WRITE SetKeepValue)
    Q_PROPERTY(QColor Highlight READ HighlightProperty WRITE SetHighlightProperty)

public:
    explicit TdvCheckBox(QWidget *parent = nullptr);
    explicit TdvCheckBox(const QString &text, QWidget *parent = nullptr);

    // The statement value: "Y" when checked, "N" when not, without quotes.
    QString GetSQL() const;

protected:
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;
};
