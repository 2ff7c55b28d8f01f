#pragma once

#include <QListWidget>

#include "dvtColor.h"
#include "dvtComponent.h"
#include "dvtContract.h"
#include "dvtKeys.h"

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
class TdvCheckListBox : public QListWidget, public dvt::TKeyHandler, public dvt::Loadable
{
    Q_OBJECT
    Q_PROPERTY(bool EnterAsTab READ EnterAsTab WRITE SetEnterAsTab)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE SetCloseOnEsc)
    Q_PROPERTY(QColor Highlight READ HighlightProperty WRITE SetHighlightProperty)

public:
    explicit TdvCheckListBox(QWidget *parent = nullptr);

    bool EnterAsTab() const { return m_enterAsTab; }
    void SetEnterAsTab(bool enterAsTab) { m_enterAsTab = enterAsTab; }

    bool CloseOnEsc() const { return m_closeOnEsc; }
    void SetCloseOnEsc(bool closeOnEsc) { m_closeOnEsc = closeOnEsc; }

    dvt::TColor Highlight() const { return m_highlight; }
    void SetHighlight(dvt::TColor highlight) { m_highlight = highlight; }

    // The check mark of the item at the row; false for a row that does not exist.
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);

    // Nothing beyond the list's own loading.
    void Loaded() override {}

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
    void SetHighlightProperty(const QColor &color) { m_highlight = dvt::FromPropertyColor(color); }

    void MakeCheckable(int first, int last);
    // Gives every item the check mark that mark answers for its current one.
    void SetAllChecked(const std::function<bool(bool)> &mark);

    bool m_enterAsTab = false;
    bool m_closeOnEsc = false;
    dvt::TColor m_highlight = dvt::clWindow;
    dvt::FocusHighlight m_focusHighlight;
    QMenu *m_popupMenu;
};
