#pragma once

#include <QCheckBox>

#include "dvtCheckableControl.h"

// A check box for data-entry forms (see dvt::TCheckableControl for EnterAsTab,
// CloseOnEsc, KeepValue and the bold focus marking that Highlight switches on).
//
// Keys, after Enter and Esc: Y checks the box, N unchecks it, and Space inverts it
// once per press. Each of them is consumed, so the application's OnKeyDown sees 0.
//
// For a model column holding "Y" and "N", map the YesNo property
// (QDataWidgetMapper::addMapping(box, column, "YesNo")): the USER property checked
// would read any non-empty text, "N" included, as true.
class TdvCheckBox : public dvt::TCheckableControl<QCheckBox>
{
    Q_OBJECT
    Q_INTERFACES(dvt::DataControl)
    Q_PROPERTY(bool EnterAsTab READ EnterAsTab WRITE setEnterAsTab)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE setCloseOnEsc)
    Q_PROPERTY(bool KeepValue READ KeepValue WRITE setKeepValue)
    Q_PROPERTY(QColor Highlight READ HighlightProperty WRITE setHighlight)
    Q_PROPERTY(QString YesNo READ GetSQL WRITE loadText DESIGNABLE false STORED false)

public:
    explicit TdvCheckBox(QWidget *parent = nullptr);
    explicit TdvCheckBox(const QString &text, QWidget *parent = nullptr);

    // The statement value: "Y" when checked, "N" when not, without quotes.
    QString GetSQL() const;

    // The contract: the literal is "Y" or "N" in double quotes; a loaded text
    // checks the box when it holds a Y, upper or lower case; clearing unchecks it.
    std::optional<QString> sqlLiteral(const QString &table) const override;
    void loadText(const QString &text) override;
    void clearValue() override { setChecked(false); }

Q_SIGNALS:
    // Emitted after OnKeyDown and OnKeyPress: a slot may change or consume the key.
    void keyDown(quint16 *key, dvt::TShiftState shift);
    void keyPress(QChar *key);

protected:
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;
};
