#pragma once

#include <QComboBox>

#include "dvtColor.h"
#include "dvtComponent.h"
#include "dvtContract.h"
#include "dvtDataControl.h"
#include "dvtKeys.h"
#include "dvtQtSetter.h"

// A combo box for data-entry forms whose list can come from the database.
//
// - Select: a SELECT whose first column fills the list (Reload). Loaded() runs it,
//   and then chooses the first item when none is chosen; in design mode it runs
//   it only when the connection is open already, as a form designer never opens
//   one.
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
// - The value is the inherited USER property currentText, with
//   currentTextChanged() and currentIndexChanged().
class TdvComboBox : public QComboBox,
                    public dvt::TKeyHandler,
                    public dvt::Loadable,
                    public dvt::DataControl
{
    Q_OBJECT
    Q_INTERFACES(dvt::DataControl)
    Q_PROPERTY(bool EnterAsTab READ EnterAsTab WRITE setEnterAsTab)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE setCloseOnEsc)
    Q_PROPERTY(bool KeepValue READ KeepValue WRITE setKeepValue)
    Q_PROPERTY(QColor Highlight READ HighlightProperty WRITE setHighlight)
    Q_PROPERTY(QString Select READ Select WRITE setSelect)

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

    // The setters Qt Designer and uic call.
    DVT_QT_SETTER(EnterAsTab, bool)
    DVT_QT_SETTER(CloseOnEsc, bool)
    DVT_QT_SETTER(KeepValue, bool)
    DVT_QT_SETTER(Select, const QString &)
    void setHighlight(const QColor &color) { m_highlight = dvt::FromPropertyColor(color); }

    // Refills the list from Select on the "dvTools" connection: one item per row,
    // the first column as text (NULL as an empty text). An empty Select, a
    // statement that fails or one that returns no rows leaves the list as it is.
    void Reload();

    // The chosen item's text without double-quote characters, blanks kept; empty
    // when no item is chosen.
    QString GetSQL() const;

    void Loaded() override;

    // The contract. The literal asks the database for the type of the table's
    // column named as the box: a CHAR or VARCHAR column gets the chosen item's
    // text in double quotes, unchanged, any other the item's position, bare (-1:
    // none). Loading reloads the list (Reload) and chooses the first item that
    // equals the text, both trimmed and ignoring letter case, or else the item at
    // the position the text gives (none when it is out of range). Clearing
    // chooses the first item, then reloads. The kept value is the position.
    bool isValid() const override { return true; }
    std::optional<QString> sqlLiteral(const QString &table) const override;
    void loadText(const QString &text) override;
    void clearValue() override;
    QString keptValue() const override { return QString::number(currentIndex()); }
    void restoreKeptValue(const QString &text) override;

Q_SIGNALS:
    // Emitted after OnKeyDown and OnKeyPress: a slot may change or consume the key.
    void keyDown(quint16 *key, dvt::TShiftState shift);
    void keyPress(QChar *key);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void initStyleOption(QStyleOptionComboBox *option) const override;
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;

private:
    QColor HighlightProperty() const { return dvt::ToPropertyColor(m_highlight); }

    bool m_enterAsTab = false;
    bool m_closeOnEsc = false;
    bool m_keepValue = false;
    dvt::TColor m_highlight = dvt::clWindow;
    QString m_select;
    dvt::FocusHighlight m_focusHighlight;
};
