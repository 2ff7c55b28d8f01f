#pragma once

#include <QDialog>

// The library's About box, which the "&About..." entry of the pop-ups' window
// menu opens: the library's name, version and licence, closed by "&OK".
class TdvAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TdvAboutForm(QWidget *parent = nullptr);

    // The version of the library, as its build gives it ("0.1.0").
    static QString Version();
    // The licence under which the library is distributed.
    static QString Licence();

    // Gives the pop-up window the library's window menu: the window manager owns
    // the title bar, so a right click on the window (where its children leave
    // the click to it) opens a menu whose "&About..." shows the box, modal to
    // the window.
    static void AddWindowMenu(QWidget *window);
};
