#pragma once

#include <QPlainTextEdit>

#include "dvtColor.h"
#include "dvtComponent.h"
#include "dvtContract.h"
#include "dvtDataControl.h"
#include "dvtKeys.h"
#include "dvtQtSetter.h"

// A multi-line text control for data-entry forms.
//
// - While focused, its background takes the control panel's Highlight, or its
//   own when the panel asks for none (clWindow means no marking).
// - Esc closes the active form when CloseOnEsc (its own or the panel's) is set.
//   Enter always inserts a line break, and Tab moves to the next control.
// - Text typed at design time is cleared when the form is loaded at run time.
// - Valid() answers false for a blank text when NotNull is set.
//
// The scroll bar is vertical only: lines wrap at the control's width. The value
// is the text (the inherited USER property plainText, with textChanged()).
class TdvMemo : public QPlainTextEdit,
                public dvt::TKeyHandler,
                public dvt::Loadable,
                public dvt::DataControl
{
    Q_OBJECT
    Q_INTERFACES(dvt::DataControl)
    Q_PROPERTY(bool NotNull READ NotNull WRITE setNotNull)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE setCloseOnEsc)
    Q_PROPERTY(QColor Highlight READ HighlightProperty WRITE setHighlight)

public:
    explicit TdvMemo(QWidget *parent = nullptr);

    bool NotNull() const { return m_notNull; }
    void SetNotNull(bool notNull) { m_notNull = notNull; }

    bool CloseOnEsc() const { return m_closeOnEsc; }
    void SetCloseOnEsc(bool closeOnEsc) { m_closeOnEsc = closeOnEsc; }

    dvt::TColor Highlight() const { return m_highlight; }
    void SetHighlight(dvt::TColor highlight) { m_highlight = highlight; }

    // The setters Qt Designer and uic call.
    DVT_QT_SETTER(NotNull, bool)
    DVT_QT_SETTER(CloseOnEsc, bool)
    void setHighlight(const QColor &color) { m_highlight = dvt::FromPropertyColor(color); }

    // False exactly when NotNull is set and the text is empty once leading and
    // trailing blanks, line breaks and other control characters are removed.
    bool Valid() const;

    void Loaded() override;

    // The contract: Valid(); the literal is the whole text, line breaks included,
    // in double quotes and without double-quote characters.
    bool isValid() const override { return Valid(); }
    std::optional<QString> sqlLiteral(const QString &table) const override;
    void loadText(const QString &text) override { setPlainText(text); }
    void clearValue() override { clear(); }
    QString keptValue() const override { return toPlainText(); }
    void restoreKeptValue(const QString &text) override { setPlainText(text); }

Q_SIGNALS:
    // Emitted after OnKeyDown and OnKeyPress: a slot may change or consume the key.
    void keyDown(quint16 *key, dvt::TShiftState shift);
    void keyPress(QChar *key);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;

private:
    QColor HighlightProperty() const { return dvt::ToPropertyColor(m_highlight); }

    bool m_notNull = false;
    bool m_closeOnEsc = false;
    dvt::TColor m_highlight = dvt::clWindow;
    dvt::FocusHighlight m_focusHighlight;
};
