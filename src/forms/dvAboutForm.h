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
};
