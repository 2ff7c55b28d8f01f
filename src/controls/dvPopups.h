#pragma once

#include <functional>

class QWidget;

// The one way by which a control opens a pop-up tool window: the value edit (and
// numeric grid cells) open the calculator, the date edit (and date grid cells)
// the calendar. The windows themselves live in a higher layer, which registers
// an opener for each at start-up; the controls only ask for an opening here.
//
// Every request is counted and its owner remembered, whether or not an opener is
// registered, so that an application (or a test) can see that a trigger
// character or a right click asked for a pop-up.
namespace dvPopups {

enum TPopup { Calculator, Calendar };

// Creates and shows the pop-up with the control as its owner, without blocking:
// the window reads its starting value from the owner and writes the chosen value
// back into it.
using TPopupOpener = std::function<void(QWidget *owner)>;

// Registers the opener of a pop-up; an empty function removes it.
void SetOpener(TPopup popup, TPopupOpener opener);
void SetCalculatorOpener(TPopupOpener opener);
void SetCalendarOpener(TPopupOpener opener);

// Asks for the pop-up with the control as its owner: counts the request, then
// calls the registered opener, if any. A control in design mode asks for nothing.
void Open(TPopup popup, QWidget *owner);
void OpenCalculator(QWidget *owner);
void OpenCalendar(QWidget *owner);

// The number of requests since start-up (or the last reset), and the owner of the
// latest one (nullptr once that control is destroyed).
int OpenRequests(TPopup popup);
QWidget *LastOwner(TPopup popup);
void ResetOpenRequests();

} // namespace dvPopups
