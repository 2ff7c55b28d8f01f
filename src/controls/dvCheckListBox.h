#pragma once

#include <QListWidget>

#include "dvtColor.h"
#include "dvtComponent.h"
#include "dvtContract.h"
#include "dvtDataControl.h"
#include "dvtKeys.h"
#include "dvtQtSetter.h"

class QMenu;

// A list whose items all carry a check box, for data-entry forms.
//
// - Every item added, by code or from a .ui file, is checkable and starts
//   unchecked unless it was given a check state; Space toggles the current item.
// - A right click anywhere in the list opens a menu centred on the control:
//   "Select &All", "&Unselect All" and "&Invert Selection" check, uncheck or invert
//   every item. The selection (the highlight bar) is left as it is.
// - EnterAsTab, CloseOnEsc: Enter moves to the next control, Esc closes the
//   active form, each when the control's own flag or the control panel's is set.
// - Highlight: the background colour while focused (the panel's wins when it is
//   not clWindow).
// - The value is the texts of the checked items, in list order: the USER
//   property CheckedItems, with checkedItemsChanged() at every check mark's
//   change.
class TdvCheckListBox : public QListWidget,
                        public dvt::TKeyHandler,
                        public dvt::Loadable,
                        public dvt::DataControl
{
    Q_OBJECT
    Q_INTERFACES(dvt::DataControl)
    Q_PROPERTY(bool EnterAsTab READ EnterAsTab WRITE setEnterAsTab)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE setCloseOnEsc)
    Q_PROPERTY(QColor Highlight READ HighlightProperty WRITE setHighlight)
    Q_PROPERTY(QStringList CheckedItems READ CheckedItems WRITE SetCheckedItems NOTIFY
                   checkedItemsChanged USER true DESIGNABLE false STORED false)

public:
    explicit TdvCheckListBox(QWidget *parent = nullptr);

    bool EnterAsTab() const { return m_enterAsTab; }
    void SetEnterAsTab(bool enterAsTab) { m_enterAsTab = enterAsTab; }

    bool CloseOnEsc() const { return m_closeOnEsc; }
    void SetCloseOnEsc(bool closeOnEsc) { m_closeOnEsc = closeOnEsc; }

    dvt::TColor Highlight() const { return m_highlight; }
    void SetHighlight(dvt::TColor highlight) { m_highlight = highlight; }

    // The setters Qt Designer and uic call.
    DVT_QT_SETTER(EnterAsTab, bool)
    DVT_QT_SETTER(CloseOnEsc, bool)
    void setHighlight(const QColor &color) { m_highlight = dvt::FromPropertyColor(color); }

    // The check mark of the item at the row; false for a row that does not exist.
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);

    // The texts of the checked items; setting checks exactly the items whose
    // text is in the list.
    QStringList CheckedItems() const;
    void SetCheckedItems(const QStringList &texts);

    // Nothing beyond the list's own loading.
    void Loaded() override {}

    // The contract: no column value, so the record routines refuse the control,
    // and loading and clearing leave it as it is; the kept value is the checked
    // rows, "0,2".
    bool isValid() const override { return true; }
    std::optional<QString> sqlLiteral(const QString &) const override { return std::nullopt; }
    void loadText(const QString &) override {}
    void clearValue() override {}
    QString keptValue() const override;
    void restoreKeptValue(const QString &text) override;

Q_SIGNALS:
    void checkedItemsChanged(const QStringList &items);
    // Emitted after OnKeyDown and OnKeyPress: a slot may change or consume the key.
    void keyDown(quint16 *key, dvt::TShiftState shift);
    void keyPress(QChar *key);

public Q_SLOTS:
    // The menu's commands.
    void SelectAllClick();
    void UnselectAllClick();
    void InvertSelectionClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;

private:
    QColor HighlightProperty() const { return dvt::ToPropertyColor(m_highlight); }

    void MakeCheckable(int first, int last);
    void EmitIfCheckedItemsChanged();
    // Gives every item the check mark that mark answers for its row and current one.
    void SetAllChecked(const std::function<bool(int row, bool checked)> &mark);

    bool m_enterAsTab = false;
    bool m_closeOnEsc = false;
    dvt::TColor m_highlight = dvt::clWindow;
    dvt::FocusHighlight m_focusHighlight;
    QMenu *m_popupMenu;
    QStringList m_lastCheckedItems;
};
