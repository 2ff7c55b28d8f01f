#pragma once

#include <QFocusEvent>
#include <QKeyEvent>
#include <QWidget>

#include "dvtColor.h"
#include "dvtComponent.h"
#include "dvtContract.h"
#include "dvtDataControl.h"
#include "dvtFocusMarking.h"
#include "dvtKeys.h"
#include "dvtQtSetter.h"

namespace dvt {

// What check boxes and radio buttons share, over the Qt button class they extend:
//
// - EnterAsTab, CloseOnEsc: Enter moves to the next control, Esc closes the active
//   form, each when the control's own flag or the control panel's is set. The
//   derived control handles its own keys after these two.
// - Highlight: any colour other than clWindow, its own or the panel's, makes the
//   caption bold while the control has the focus. The colour itself is never
//   painted. Focus loss returns the caption to its style from before the focus.
// - KeepValue: the checked state is written to the kept-values file as "Yes" or
//   "No" at every focus loss and read back in Loaded(), in design mode too; only
//   "Yes", in exactly that case, reads as checked.
// - The value is the inherited USER property checked, with toggled().
//
// The derived class declares the key signals (see TKeyHandler) and hands itself
// to the constructor, so that they are emitted.
template<class Button>
class TCheckableControl : public Button, public TKeyHandler, public Loadable, public DataControl
{
public:
    bool EnterAsTab() const { return m_enterAsTab; }
    void SetEnterAsTab(bool enterAsTab) { m_enterAsTab = enterAsTab; }

    bool CloseOnEsc() const { return m_closeOnEsc; }
    void SetCloseOnEsc(bool closeOnEsc) { m_closeOnEsc = closeOnEsc; }

    bool KeepValue() const { return m_keepValue; }
    void SetKeepValue(bool keepValue) { m_keepValue = keepValue; }

    TColor Highlight() const { return m_highlight; }
    void SetHighlight(TColor highlight) { m_highlight = highlight; }

    // The setters Qt Designer and uic call.
    DVT_QT_SETTER(EnterAsTab, bool)
    DVT_QT_SETTER(CloseOnEsc, bool)
    DVT_QT_SETTER(KeepValue, bool)
    void setHighlight(const QColor &color) { m_highlight = FromPropertyColor(color); }

    void Loaded() override
    {
        if (m_keepValue)
            restoreKeptValue(ReadKeptValue(this, QStringLiteral("No")));
    }

    // The contract: nothing to validate; the kept value is "Yes" or "No".
    bool isValid() const override { return true; }
    QString keptValue() const override
    {
        return Button::isChecked() ? QStringLiteral("Yes") : QStringLiteral("No");
    }
    void restoreKeptValue(const QString &text) override { Button::setChecked(text == u"Yes"); }

protected:
    template<class Control>
    TCheckableControl(Control *self, QWidget *parent) : Button(parent), TKeyHandler(self)
    {
        LoadOnFirstShow(this);
    }

    void focusInEvent(QFocusEvent *event) override
    {
        Button::focusInEvent(event);
        if (!IsRealFocusChange(event))
            return;
        m_focusBold.save(this);
        if (EffectiveHighlight(m_highlight) != clWindow)
            m_focusBold.mark(this);
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        Button::focusOutEvent(event);
        if (!IsRealFocusChange(event))
            return;
        m_focusBold.restore(this);
        if (m_keepValue)
            WriteKeptValue(this, keptValue());
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        RouteKeyEvent(event, [this](QKeyEvent *e) { Button::keyPressEvent(e); });
    }

    // The Highlight property as Qt Designer edits it.
    QColor HighlightProperty() const { return ToPropertyColor(m_highlight); }

private:
    bool m_enterAsTab = false;
    bool m_closeOnEsc = false;
    bool m_keepValue = false;
    TColor m_highlight = clWindow;
    FocusBold m_focusBold;
};

} // namespace dvt
