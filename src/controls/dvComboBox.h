#pragma once

#include <QComboBox>

#include "dvtColor.h"
#include "dvtComponent.h"
#include "dvtContract.h"
#include "dvtKeys.h"

// A combo box for data-entry forms whose list can come from the database.
//
// - Select: a SELECT whose first column fills the list (Reload). Loaded() runs it,
//   in design mode too, and then chooses the first item when none is chosen.
// - KeepValue: the position of the chosen item (not its text) is written to the
//   kept-values file at every focus loss, -1 when none is chosen, and chosen
//   again when the form is loaded at run time. A missing value means the first
//   item; a position beyond the list leaves the box without a choice.
// - EnterAsTab, CloseOnEsc: Enter moves to the next control, Esc closes the
//   active form, each when the control's own flag or the control panel's is set.
//   While the list is dropped down, Enter and Esc act on the list as usual.
// - Highlight: the background colour while focused (the panel's wins when it is
//   not clWindow). A box that is not editable, which most styles paint as a
//   button, shows its background colour (dvt::Color) on the button face.
class TdvComboBox : public QComboBox, public dvt::TKeyHandler, public dvt::Loadable
{
    Q_OBJECT
    Q_PROPERTY(bool EnterAsTab READ EnterAsTab WRITE SetEnterAsTab)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE SetCloseOnEsc)
    Q_PROPERTY(bool KeepValue READ KeepValue WRITE SetKeepValue)
    Q_PROPERTY(QColor Highlight READ HighlightProperty WRITE SetHighlightProperty)
    Q_PROPERTY(QString Select READ Select WRITE SetSelect)

public:
    explicit TdvComboBox(QWidget *parent = nullptr);

    bool EnterAsTab() const { return m_enterAsTab; }
    void SetEnterAsTab(bool enterAsTab) { m_enterAsTab = enterAsTab; }

    bool CloseOnEsc() const { return m_closeOnEsc; }
    void SetCloseOnEsc(bool closeOnEsc) { m_closeOnEsc = closeOnEsc; }

    bool KeepValue() const { return m_keepValue; }
    void SetKeepValue(bool keepValue) { m_keepValue = keepValue; }

    dvt::TColor Highlight() const { return m_highlight; }
    void SetHighlight(dvt::TColor highlight) { m_highlight = highlight; }

    QString Select() const { return m_select; }
    void SetSelect(const QString &select) { m_select = select; }

    // Refills the list from Select on the "dvTools" connection: one item per row,
    // the first column as text (NULL as an empty text). An empty Select, a
    // statement that fails or one that returns no rows leaves the list as it is.
    void Reload();

    // The chosen item's text without double-quote characters, blanks kept; empty
    // when no item is chosen.
    QString GetSQL() const;

    void Loaded() override;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void initStyleOption(QStyleOptionComboBox *option) const override;
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;

private:
    QColor HighlightProperty() const { return dvt::ToPropertyColor(m_highlight); }
    void SetHighlightProperty(const QColor &color) { m_highlight = dvt::FromPropertyColor(color); }

    bool m_enterAsTab = false;
    bool m_closeOnEsc = false;
    bool m_keepValue = false;
    dvt::TColor m_highlight = dvt::clWindow;
    QString m_select;
    dvt::FocusHighlight m_focusHighlight;
};
