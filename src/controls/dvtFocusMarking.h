#pragma once

#include <QtGlobal>

class QFocusEvent;
class QWidget;

// Focus marking shared by the controls: when a focus event counts, and the bold
// caption that check boxes, radio buttons and buttons use as their marking.
namespace dvt {

// Whether a focus event is a real focus change. Opening a pop-up (a combo box's
// list, a context menu) takes the keyboard focus from the control only while the
// pop-up is open; the control stays the one the user works in, so it keeps its
// marking and stores no kept value then.
bool IsRealFocusChange(const QFocusEvent *event);

// Bold caption marking: remembers the caption's font style (bold, italic,
// underline, strike-out), makes it bold, and returns it to the whole remembered
// style, so that a style the application set meanwhile goes too.
class FocusBold
{
public:
    void save(const QWidget *control);
    void mark(QWidget *control);
    void restore(QWidget *control);

private:
    bool m_savedBold = false;
    bool m_savedItalic = false;
    bool m_savedUnderline = false;
    bool m_savedStrikeOut = false;
};

} // namespace dvt
