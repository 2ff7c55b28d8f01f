#include "dvtKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <array>

namespace dvt {

namespace {

// One key: its virtual-key code, the Qt key (with or without the keypad
// modifier) and the character it types, unshifted and shifted.
struct KeyMap
{
    quint16 vk;
    int qtKey;
    bool keypad;
    char16_t text;
    char16_t shiftedText;
};

constexpr std::array keyMaps{
    KeyMap{vk::Back, Qt::Key_Backspace, false, u'\b', u'\b'},
    KeyMap{vk::Tab, Qt::Key_Tab, false, u'\t', u'\t'},
    KeyMap{vk::Return, Qt::Key_Return, false, u'\r', u'\r'},
    KeyMap{vk::Return, Qt::Key_Enter, true, u'\r', u'\r'},
    KeyMap{vk::Escape, Qt::Key_Escape, false, u'\x1b', u'\x1b'},
    KeyMap{vk::Space, Qt::Key_Space, false, u' ', u' '},
    KeyMap{vk::Prior, Qt::Key_PageUp, false, 0, 0},
    KeyMap{vk::Next, Qt::Key_PageDown, false, 0, 0},
    KeyMap{vk::End, Qt::Key_End, false, 0, 0},
    KeyMap{vk::Home, Qt::Key_Home, false, 0, 0},
    KeyMap{vk::Left, Qt::Key_Left, false, 0, 0},
    KeyMap{vk::Up, Qt::Key_Up, false, 0, 0},
    KeyMap{vk::Right, Qt::Key_Right, false, 0, 0},
    KeyMap{vk::Down, Qt::Key_Down, false, 0, 0},
    KeyMap{vk::Insert, Qt::Key_Insert, false, 0, 0},
    KeyMap{vk::Delete, Qt::Key_Delete, false, 0, 0},
    KeyMap{vk::Shift, Qt::Key_Shift, false, 0, 0},
    KeyMap{vk::Control, Qt::Key_Control, false, 0, 0},
    KeyMap{vk::Menu, Qt::Key_Alt, false, 0, 0},
    KeyMap{vk::Multiply, Qt::Key_Asterisk, true, u'*', u'*'},
    KeyMap{vk::Add, Qt::Key_Plus, true, u'+', u'+'},
    KeyMap{vk::Subtract, Qt::Key_Minus, true, u'-', u'-'},
    KeyMap{vk::Decimal, Qt::Key_Period, true, u'.', u'.'},
    KeyMap{vk::Decimal, Qt::Key_Comma, true, u',', u','},
    KeyMap{vk::Divide, Qt::Key_Slash, true, u'/', u'/'},
    KeyMap{vk::OemPlus, Qt::Key_Equal, false, u'=', u'+'},
    KeyMap{vk::OemPlus, Qt::Key_Plus, false, u'=', u'+'},
    KeyMap{vk::OemComma, Qt::Key_Comma, false, u',', u'<'},
    KeyMap{vk::OemComma, Qt::Key_Less, false, u',', u'<'},
    KeyMap{vk::OemMinus, Qt::Key_Minus, false, u'-', u'_'},
    KeyMap{vk::OemMinus, Qt::Key_Underscore, false, u'-', u'_'},
    KeyMap{vk::OemPeriod, Qt::Key_Period, false, u'.', u'>'},
    KeyMap{vk::OemPeriod, Qt::Key_Greater, false, u'.', u'>'},
    KeyMap{0xBA, Qt::Key_Semicolon, false, u';', u':'},
    KeyMap{0xBA, Qt::Key_Colon, false, u';', u':'},
    KeyMap{0xBF, Qt::Key_Slash, false, u'/', u'?'},
    KeyMap{0xBF, Qt::Key_Question, false, u'/', u'?'},
    KeyMap{0xC0, Qt::Key_QuoteLeft, false, u'`', u'~'},
    KeyMap{0xC0, Qt::Key_AsciiTilde, false, u'`', u'~'},
    KeyMap{0xDB, Qt::Key_BracketLeft, false, u'[', u'{'},
    KeyMap{0xDC, Qt::Key_Backslash, false, u'\\', u'|'},
    KeyMap{0xDD, Qt::Key_BracketRight, false, u']', u'}'},
    KeyMap{0xDE, Qt::Key_Apostrophe, false, u'\'', u'"'},
    KeyMap{0xDE, Qt::Key_QuoteDbl, false, u'\'', u'"'},
};

constexpr char16_t shiftedDigits[] = u")!@#$%^&*(";

} // namespace

quint16 VirtualKey(const QKeyEvent &event)
{
    const int key = event.key();
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return quint16((keypad ? vk::Numpad0 : 0x30) + (key - Qt::Key_0));
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return quint16(0x41 + (key - Qt::Key_A));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return quint16(vk::F1 + (key - Qt::Key_F1));
    if (key == Qt::Key_Backtab)
        return vk::Tab;
    // A keypad key is looked up among the keypad entries first, then among all.
    for (const KeyMap &map : keyMaps) {
        if (map.qtKey == key && map.keypad == keypad)
            return map.vk;
    }
    for (const KeyMap &map : keyMaps) {
        if (map.qtKey == key)
            return map.vk;
    }
    return 0;
}

TShiftState ShiftState(const QKeyEvent &event)
{
    TShiftState shift;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    return shift;
}

void InjectKey(quint16 virtualKey, TShiftState shift)
{
    QWidget *target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (!target)
        return;

    const bool shifted = shift.testFlag(ssShift);
    Qt::KeyboardModifiers modifiers;
    if (shifted)
        modifiers |= Qt::ShiftModifier;
    if (shift.testFlag(ssAlt))
        modifiers |= Qt::AltModifier;
    if (shift.testFlag(ssCtrl))
        modifiers |= Qt::ControlModifier;

    int qtKey = 0;
    QString text;
    if (virtualKey >= 0x30 && virtualKey <= 0x39) {
        qtKey = Qt::Key_0 + (virtualKey - 0x30);
        text =
            shifted ? QString(QChar(shiftedDigits[virtualKey - 0x30])) : QString(QChar(virtualKey));
    } else if (virtualKey >= 0x41 && virtualKey <= 0x5A) {
        qtKey = Qt::Key_A + (virtualKey - 0x41);
        const QChar letter(virtualKey);
        text = shifted ? QString(letter) : QString(letter.toLower());
    } else if (virtualKey >= vk::Numpad0 && virtualKey <= vk::Numpad0 + 9) {
        qtKey = Qt::Key_0 + (virtualKey - vk::Numpad0);
        modifiers |= Qt::KeypadModifier;
        text = QString(QChar(u'0' + (virtualKey - vk::Numpad0)));
    } else if (virtualKey >= vk::F1 && virtualKey <= vk::F1 + 23) {
        qtKey = Qt::Key_F1 + (virtualKey - vk::F1);
    } else {
        for (const KeyMap &map : keyMaps) {
            if (map.vk == virtualKey) {
                qtKey = map.qtKey;
                if (map.keypad)
                    modifiers |= Qt::KeypadModifier;
                if (const char16_t c = shifted ? map.shiftedText : map.text)
                    text = QString(QChar(c));
                break;
            }
        }
    }
    if (qtKey == Qt::Key_Tab && shifted)
        qtKey = Qt::Key_Backtab;
    if (qtKey == 0)
        return;
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier))
        text.clear();
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, qtKey, modifiers, text));
}

void TKeyHandler::KeyDown(quint16 &key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(m_self, key, shift);
    if (m_emitKeyDown)
        m_emitKeyDown(key, shift);
}

void TKeyHandler::KeyPress(QChar &key)
{
    if (OnKeyPress)
        OnKeyPress(m_self, key);
    if (m_emitKeyPress)
        m_emitKeyPress(key);
}

bool TKeyHandler::RouteKeyEvent(QKeyEvent *event, const std::function<void(QKeyEvent *)> &base)
{
    quint16 key = VirtualKey(*event);
    if (key != 0) {
        KeyDown(key, ShiftState(*event));
        if (key == 0) {
            event->accept();
            return false;
        }
    }
    const QString text = event->text();
    if (text.isEmpty()) {
        base(event);
        return true;
    }
    QChar character = text.at(0);
    KeyPress(character);
    if (character.isNull()) {
        event->accept();
        return false;
    }
    if (character == text.at(0)) {
        base(event);
        return true;
    }
    // A replaced character travels in an event of its own; its key is the one that
    // types it where there is one, so that the base class sees a consistent event.
    const char16_t upper = character.toUpper().unicode();
    QKeyEvent replaced(event->type(), upper < 0x80 ? upper : 0, event->modifiers(),
                       QString(character), event->isAutoRepeat(), ushort(event->count()));
    base(&replaced);
    event->setAccepted(replaced.isAccepted());
    return true;
}

} // namespace dvt
