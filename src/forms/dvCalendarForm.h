#pragma once

#include <QDate>

#include "dvtPopupForm.h"

class QCalendarWidget;
class QLabel;

// The calendar pop-up: a month grid (a QCalendarWidget named Calendar, weeks
// from Sunday), the highlighted date spelled out above it in the locale's long
// date format (the label Words), and a button TodayBtn, "Today: " and today's
// date in the locale's short format, that moves the grid to today. The date
// edit opens it from a trigger character or a right click (dvPopups); it starts
// on the owner's date (today when the owner has none) and stays on top without
// blocking.
//
// Keys in the grid: the arrows move a day (left, right) or a week (up, down),
// Page Up and Page Down a month, with Ctrl a year, across month and year ends.
// Enter or a double click emits dateChosen() with the highlighted date, which
// the owner takes (see dvt::PopupForm), and closes; Esc closes without a
// result, wherever the focus is.
class TdvCalendarForm : public dvt::PopupForm
{
    Q_OBJECT
    Q_PROPERTY(QDate Date READ date WRITE setDate NOTIFY dateChanged USER true)

public:
    explicit TdvCalendarForm(QWidget *owner = nullptr);

    // The highlighted date.
    QDate date() const;
    void setDate(QDate date);

Q_SIGNALS:
    // The highlighted date changed: moved by a key, a click or setDate().
    void dateChanged(QDate date);
    // Enter or a double click: the highlighted date.
    void dateChosen(QDate date);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Esc closes the window wherever the focus is.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Choose();
    void ShowWords();

    QLabel *m_words;
    QCalendarWidget *m_calendar;
};
