#pragma once

#include <QLineEdit>

#include <functional>

#include "dvtColor.h"
#include "dvtComponent.h"
#include "dvtContract.h"
#include "dvtControl.h"
#include "dvtDataControl.h"
#include "dvtKeys.h"
#include "dvtQtSetter.h"

// Lets the application overrule a control's verdict: Text is the control's text
// as it stands (not trimmed), Valid the verdict so far, which the handler may change.
using TEditValidation = std::function<void(QObject *Sender, const QString &Text, bool &Valid)>;

// The single-line edit of the library and the base of the value, date, time and
// lookup-key edits. It gives a data-entry form a uniform feel:
//
// - Enter moves the focus to the next control (EnterAsTab) and Esc closes the
//   active form (CloseOnEsc), when the control's flag or the control panel's is
//   set. Shift and Ctrl do not matter. This holds on QDialog forms too: the
//   consumed key never reaches the dialog. With both flags off the keys take
//   their usual way: on a QDialog, Enter presses the default button and Esc
//   rejects the dialog; on a plain window they do nothing.
// - While the control has the keyboard focus its background takes the highlight
//   colour: the control panel's Highlight when it is not clWindow, else the
//   control's own (clWindow: no marking). Losing the focus restores the colour
//   the control had when it gained it.
// - While the control is not its form's active control, its text is drawn
//   right-aligned or centred (Alignment); while it is, the text is left-aligned
//   for editing. A window that takes the focus away (a pop-up, another
//   application) does not change the form's active control, so the control
//   keeps its editing alignment; another control of the form that takes the
//   focus does.
// - With KeepValue the text is written to the kept-values file at every focus
//   loss and read back in Loaded(), so it survives to the next run.
// - Valid() tells whether the content is acceptable, GetSQL() gives the text it
//   contributes to a statement. Both are virtual: through a TdvEdit* (or the
//   dvt::DataControl contract) a value, date, time or key edit gives its own.
// - A read-only edit (QLineEdit::setReadOnly) keeps its value: no key, trigger
//   character or right click of its own changes it or opens a pop-up that would.
//
// Signals beside the handlers: validating() with OnValidation, keyDown() and
// keyPress() with OnKeyDown and OnKeyPress; the value's changes are QLineEdit's
// textChanged (any change), textEdited (typed) and editingFinished.
//
// Loaded() (delivered by dvt::LoadForm) empties the text typed at design time,
// once, at run time.
class TdvEdit : public QLineEdit,
                public dvt::TKeyHandler,
                public dvt::Loadable,
                public dvt::DataControl
{
    Q_OBJECT
    Q_INTERFACES(dvt::DataControl)
    Q_PROPERTY(bool NotNull READ NotNull WRITE setNotNull)
    Q_PROPERTY(bool AutoTrimText READ AutoTrimText WRITE setAutoTrimText)
    Q_PROPERTY(bool EnterAsTab READ EnterAsTab WRITE setEnterAsTab)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE setCloseOnEsc)
    Q_PROPERTY(bool KeepValue READ KeepValue WRITE setKeepValue)
    Q_PROPERTY(QColor Highlight READ HighlightPropertyColor WRITE setHighlight)
    Q_PROPERTY(dvt::TAlignment Alignment READ Alignment WRITE setAlignment)

public:
    // The alignments by their short names, as uic writes them: TdvEdit::taCenter.
    using enum dvt::TAlignment;

    explicit TdvEdit(QWidget *parent = nullptr);
    ~TdvEdit() override;

    // An empty (all blank) text is not valid.
    bool NotNull() const { return m_notNull; }
    void SetNotNull(bool on) { m_notNull = on; }
    // GetSQL() removes leading and trailing blanks and control characters.
    bool AutoTrimText() const { return m_autoTrimText; }
    void SetAutoTrimText(bool on) { m_autoTrimText = on; }
    bool EnterAsTab() const { return m_enterAsTab; }
    void SetEnterAsTab(bool on) { m_enterAsTab = on; }
    bool CloseOnEsc() const { return m_closeOnEsc; }
    void SetCloseOnEsc(bool on) { m_closeOnEsc = on; }
    bool KeepValue() const { return m_keepValue; }
    void SetKeepValue(bool on) { m_keepValue = on; }
    // The background colour while focused; clWindow (the default) asks for none.
    dvt::TColor Highlight() const { return m_highlight; }
    void SetHighlight(dvt::TColor color) { m_highlight = color; }

    // How the text is shown while the control is not its form's active control.
    // While it is, the alignment reads taLeftJustify and setting it has no lasting
    // effect: leaving the control restores the alignment it had on entry.
    dvt::TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(dvt::TAlignment alignment);

    // The setters of the properties that Qt Designer and uic call. The line
    // edit's own setAlignment(Qt::Alignment) stays beside the one of Alignment.
    DVT_QT_SETTER(NotNull, bool)
    DVT_QT_SETTER(AutoTrimText, bool)
    DVT_QT_SETTER(EnterAsTab, bool)
    DVT_QT_SETTER(CloseOnEsc, bool)
    DVT_QT_SETTER(KeepValue, bool)
    DVT_QT_SETTER(Alignment, dvt::TAlignment)
    using QLineEdit::setAlignment;
    void setHighlight(const QColor &color) { m_highlight = dvt::FromPropertyColor(color); }

    // Lets the application overrule Valid().
    TEditValidation OnValidation;

    // The text without double-quote characters, trimmed when AutoTrimText (own or
    // the panel's) is set; the caller adds the quotes.
    virtual QString GetSQL() const;

    // False when NotNull is set and the text is blank; then OnValidation (and
    // validating()) may change the verdict. Shows nothing.
    virtual bool Valid() const;

    // The control contract: isValid() runs Valid() and, for a descendant with a
    // test of its own, the common test above as well; the literal is the text in
    // double quotes, without double-quote characters and not trimmed.
    bool isValid() const override;
    std::optional<QString> sqlLiteral(const QString &table) const override;
    void loadText(const QString &text) override;
    void clearValue() override;
    QString keptValue() const override;
    void restoreKeptValue(const QString &text) override;

    // Inset of the text in the custom paint, in pixels: a quarter of the smaller
    // of the application font's and the control's font's height, as they are at
    // construction.
    int CalcTextMargin() const;

    // Empties the design-time text (once, at run time), restores the kept value
    // when KeepValue is set, then, at run time, normalises the text.
    void Loaded() override;

Q_SIGNALS:
    // Emitted by Valid() after OnValidation, with its verdict: a slot may change
    // *valid. Connect it directly (the default within one thread).
    void validating(const QString &text, bool *valid);
    // Emitted after OnKeyDown and OnKeyPress: a slot may change or consume the key.
    void keyDown(quint16 *key, dvt::TShiftState shift);
    void keyPress(QChar *key);

protected:
    // The reactions of the control, in the order the events deliver them.
    // Focus gained and lost, including to and from other windows; a context
    // menu that takes the focus while it is open does not count.
    virtual void AfterEnter();
    virtual void BeforeExit();
    // Became and stopped being the form's active control.
    virtual void CMEnter();
    virtual void CMExit();
    // Enter (after normalising the text) and Esc.
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;

    // Rewrites the text in the control's canonical form; the typed edits
    // override it. Called on Enter (before Enter as Tab), after AfterEnter() and
    // BeforeExit(), and at the end of Loaded() at run time. A dvt::EConvertError
    // it raises (a FormatStr that does not fit) leaves the text as it is.
    virtual void Normalise() {}

    // The control's pop-up window (calculator, calendar, selection list), opened
    // by a plain right click (no Shift, Ctrl or other button), which then shows
    // no context menu, and by HandleTrigger(); neither opens it while the control
    // is read-only. Answers false when the control has none, as the plain edit.
    virtual bool OpenPopup() { return false; }

    // The trigger convention, for KeyPress(): a typed character that occurs in
    // trigger (compared exactly) is replaced by the null character, so it never
    // reaches the text, and opens the pop-up unless the control is read-only.
    // Answers whether the character was a trigger.
    bool HandleTrigger(QChar &key, const QString &trigger);

    // The character filter of the typed edits, for KeyPress(): a character that
    // the line edit would type and that is not in accepted becomes the null
    // character. Editing commands and control characters pass.
    void FilterCharacter(QChar &key, QStringView accepted) const;

    // Shows a text that replaces the current one; a selection of the whole text
    // stays a selection of the whole new text.
    void ReplaceText(const QString &text);

    // For the typed edits: emits changed(value) whenever the value that read()
    // finds in the text changes, so a reformatting that keeps it emits nothing.
    template<class Control, class Value>
    void NotifyValueChanges(Value (Control::*read)() const, void (Control::*changed)(Value))
    {
        auto *control = static_cast<Control *>(this);
        connect(this, &QLineEdit::textChanged, this,
                [control, read, changed, last = (control->*read)()]() mutable {
                    const Value current = (control->*read)();
                    if (current == last)
                        return;
                    last = current;
                    Q_EMIT(control->*changed)(current);
                });
    }

    // For descendants whose Valid() is a test of their own (value, date, time):
    // their isValid() runs it and then the common test of TdvEdit::Valid().
    bool OwnAndCommonValid() const;

    // Whether the key being handled is an editing command held with Ctrl (copy,
    // paste, select all) rather than a typed character. Character filters and
    // triggers let such keys and control characters (Enter, Esc, Tab) pass: the
    // line edit never types them, and a dialog still sees Enter and Esc. Pasted
    // text is not filtered; normalisation reads it like typed text.
    bool IsCommandKey() const { return m_commandKey; }

    // The text margin computed at construction.
    int TextMargin() const { return m_textMargin; }

    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor HighlightPropertyColor() const { return dvt::ToPropertyColor(m_highlight); }

    // Runs Normalise(); a FormatStr that the formatter rejects leaves the text.
    void NormaliseText();
    void ExitIfNoLongerActive();

    bool m_notNull = false;
    bool m_autoTrimText = false;
    bool m_enterAsTab = false;
    bool m_closeOnEsc = false;
    bool m_keepValue = false;
    dvt::TColor m_highlight = dvt::clWindow;
    dvt::FocusHighlight m_focusHighlight;
    bool m_clearedOnce = false;
    dvt::TAlignment m_alignment = dvt::taLeftJustify;
    dvt::TAlignment m_savedAlignment = dvt::taLeftJustify;
    bool m_activeControl = false;
    bool m_commandKey = false;
    bool m_popupByClick = false;
    int m_textMargin = 0;
    QMetaObject::Connection m_focusChanges;
};
