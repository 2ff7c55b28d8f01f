#pragma once

#include <QPushButton>

#include "dvtComponent.h"
#include "dvtFocusMarking.h"
#include "dvtKeys.h"
#include "dvtQtSetter.h"

// A push button that can check its form and ask the user before it acts.
//
// Every activation (a mouse click, Space, Enter, its accelerator, a dialog's
// default-button Enter, click() from code) first runs the checks:
//   1. with Validate, Validation(): when a control is not acceptable the
//      activation ends there, with the focus on that control;
//   2. with Confirm, Confirmation(): the user is asked "Are you sure?" and the
//      activation ends unless the answer is Yes.
// Only an activation that passes emits clicked() (and released()), so handlers
// connected to clicked(), a dialog's accept() among them, run only then: a
// refused Save leaves its dialog open.
//
// Enter presses the focused button on any form, as it does in a dialog. Esc
// closes the active form when CloseOnEsc (its own or the control panel's) is set.
// When the control panel's Highlight is not clWindow, the caption turns bold while
// the mouse is over the button and while it has the focus; either one ending
// returns it to the style it had at construction or, at run time, at Loaded().
class TdvButton : public QPushButton, public dvt::TKeyHandler, public dvt::Loadable
{
    Q_OBJECT
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE setCloseOnEsc)
    Q_PROPERTY(bool Validate READ Validate WRITE setValidate)
    Q_PROPERTY(bool Confirm READ Confirm WRITE setConfirm)

public:
    explicit TdvButton(QWidget *parent = nullptr);
    explicit TdvButton(const QString &text, QWidget *parent = nullptr);

    bool CloseOnEsc() const { return m_closeOnEsc; }
    void SetCloseOnEsc(bool closeOnEsc) { m_closeOnEsc = closeOnEsc; }

    bool Validate() const { return m_validate; }
    void SetValidate(bool validate) { m_validate = validate; }

    bool Confirm() const { return m_confirm; }
    void SetConfirm(bool confirm) { m_confirm = confirm; }

    // The setters Qt Designer and uic call.
    DVT_QT_SETTER(CloseOnEsc, bool)
    DVT_QT_SETTER(Validate, bool)
    DVT_QT_SETTER(Confirm, bool)

    // Walks the components of the button's owner (its form) in creation order and
    // asks every TdvEdit except lookup key edits for its verdict (the contract's
    // isValid(): a value, time or date edit's own Valid() and then
    // TdvEdit::Valid(), so its OnValidation runs even when its own test failed).
    // At the first component that fails the walk stops: validationFailed() is
    // emitted, the component receives the focus, unless it is hidden or
    // disabled, and the answer is false. Other controls are not asked. Shows
    // nothing of its own.
    bool Validation();

    // Asks "Are you sure?" with Yes as the default answer; true only for Yes.
    bool Confirmation();

    void Loaded() override;

Q_SIGNALS:
    // Validation() found the control not acceptable; the activation ends.
    void validationFailed(QWidget *control);
    // Emitted after OnKeyDown and OnKeyPress: a slot may change or consume the key.
    void keyDown(quint16 *key, dvt::TShiftState shift);
    void keyPress(QChar *key);

protected:
    // Runs the checks before an activation goes on to emit its signals.
    void nextCheckState() override;

    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;

private:
    // A refused activation cannot be stopped before Qt emits its signals, so they
    // are withheld until control returns to the event loop or the next
    // activation begins, whichever comes first.
    void WithholdSignals();
    void ReleaseSignals();
    void MarkIfHighlighting();

    bool m_closeOnEsc = false;
    bool m_validate = false;
    bool m_confirm = false;
    dvt::FocusBold m_focusBold;
    bool m_withholding = false;
    bool m_signalsWereBlocked = false;
};
