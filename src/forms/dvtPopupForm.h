#pragma once

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <optional>

namespace dvt {

// The base of the calculator and calendar pop-ups: a small tool window owned by
// the control that opened it (its Qt parent), so it dies with that control, and
// deleted when it is closed.
//
// The owner: any widget that holds one value may open a pop-up. The window reads
// its starting value and place from the owner and writes the chosen value back:
// - an item view (a grid): the EditRole of its current cell, the cell's top-left
//   corner; the result is written with the type the cell held (a text cell gets
//   the text form);
// - any other widget: its USER property (TdvValue's Value, TdvDate's Date, the
//   text of a line edit such as an item view's cell editor) and its top-left
//   corner; the result is written with the property's type (a text property gets
//   the text form).
// A widget without either gives no starting value and takes nothing back.
//
// The window menu: the window's title bar belongs to the window manager, so a
// right click on the window's background, labels or buttons opens the menu,
// whose "&About..." shows the library's About box (TdvAboutForm).
class PopupForm : public QWidget
{
    Q_OBJECT

public:
    // The control the window serves; nullptr once it is destroyed (and the
    // window with it) or when there was none.
    QWidget *Owner() const { return m_owner; }

    // Puts the window at the owner's place, kept on the screen, shows it and
    // makes it the active window.
    void Popup();

protected:
    PopupForm(QWidget *owner, const QString &caption, Qt::WindowFlags extraFlags = {});

    // The owner's value; an invalid QVariant when it has none.
    QVariant OwnerValue() const;
    // Writes the value to the owner: the typed value, or text when the owner's
    // value is a text. Nothing when the owner has no value.
    void WriteOwner(const QVariant &value, const QString &text) const;

private:
    // The owner's top-left corner in global coordinates (its current cell's for
    // an item view); std::nullopt when there is no owner.
    std::optional<QPoint> OwnerCorner() const;

    QPointer<QWidget> m_owner;
};

} // namespace dvt
