#include "dvtFocusMarking.h"

#include <QApplication>
#include <QFocusEvent>

#include "dvtControl.h"

namespace dvt {

bool IsRealFocusChange(const QFocusEvent *event)
{
    return event->reason() != Qt::PopupFocusReason && !QApplication::activePopupWidget();
}

void FocusBold::save(const QWidget *control)
{
    m_savedBold = IsBold(control);
}

void FocusBold::mark(QWidget *control)
{
    SetBold(control, true);
}

void FocusBold::restore(QWidget *control)
{
    SetBold(control, m_savedBold);
}

} // namespace dvt
