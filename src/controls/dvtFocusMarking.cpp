#include "dvtFocusMarking.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFont>
#include <QWidget>

#include "dvtComponent.h"
#include "dvtControl.h"

namespace dvt {

bool IsRealFocusChange(const QFocusEvent *event)
{
    return event->reason() != Qt::PopupFocusReason && !QApplication::activePopupWidget();
}

void FocusBold::save(const QWidget *control)
{
    const QFont font = control->font();
    m_savedBold = font.bold();
    m_savedItalic = font.italic();
    m_savedUnderline = font.underline();
    m_savedStrikeOut = font.strikeOut();
}

// A form being designed keeps the font it is given: neither marking nor
// restoring changes it.
void FocusBold::mark(QWidget *control)
{
    if (!IsDesigning(control))
        SetBold(control, true);
}

void FocusBold::restore(QWidget *control)
{
    if (IsDesigning(control))
        return;
    QFont font = control->font();
    font.setBold(m_savedBold);
    font.setItalic(m_savedItalic);
    font.setUnderline(m_savedUnderline);
    font.setStrikeOut(m_savedStrikeOut);
    control->setFont(font);
}

} // namespace dvt
