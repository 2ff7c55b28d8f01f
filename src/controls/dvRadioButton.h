#pragma once

#include <QRadioButton>

#include "dvtCheckableControl.h"

// A radio button for data-entry forms (see dvt::TCheckableControl for EnterAsTab,
// CloseOnEsc, KeepValue and the bold focus marking that Highlight switches on).
//
// Space, after Enter and Esc, is consumed and moves the focus and the check to the
// next radio button of the group, wrapping round from the last to the first. The
// group is the button's QButtonGroup or, for auto-exclusive buttons, the radio
// buttons with the same parent, in creation order; hidden and disabled ones are
// passed over.
//
// With KeepValue, a button that its group unchecks writes "No" at once, so that
// the kept-values file never holds two checked buttons of one group.
//
// Every button is a tab stop: Tab (and Enter as Tab) visits each button of a
// group, not only the checked one as in Qt's own exclusive groups.
class TdvRadioButton : public dvt::TCheckableControl<QRadioButton>
{
    Q_OBJECT
    Q_INTERFACES(dvt::DataControl)
    Q_PROPERTY(bool EnterAsTab READ EnterAsTab WRITE setEnterAsTab)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE setCloseOnEsc)
    Q_PROPERTY(bool KeepValue READ KeepValue WRITE setKeepValue)
    Q_PROPERTY(QColor Highlight READ HighlightProperty WRITE setHighlight)

public:
    explicit TdvRadioButton(QWidget *parent = nullptr);
    explicit TdvRadioButton(const QString &text, QWidget *parent = nullptr);

    // The contract: a radio button has no column value of its own (the choice
    // belongs to its group, which no one control stands for), so the record
    // routines refuse it, and loading and clearing leave it as it is.
    std::optional<QString> sqlLiteral(const QString &) const override { return std::nullopt; }
    void loadText(const QString &) override {}
    void clearValue() override {}

Q_SIGNALS:
    // Emitted after OnKeyDown and OnKeyPress: a slot may change or consume the key.
    void keyDown(quint16 *key, dvt::TShiftState shift);
    void keyPress(QChar *key);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;

private:
    void MoveToNextInGroup();
};
