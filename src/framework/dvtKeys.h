#pragma once

#include <QChar>
#include <QFlags>

#include <functional>

class QKeyEvent;
class QObject;

// The library's controls handle keys in two steps, each of which may consume the key:
//   KeyDown(key, shift)  with the key's virtual-key code (Enter 13, Esc 27, ...);
//                        setting it to 0 consumes the key (another code
//                        counts as the original key);
//   KeyPress(character)  only for keys that produce a character (Enter '\r',
//                        Esc '\x1b', Backspace '\b' and Tab '\t' included);
//                        setting it to the null character consumes the key, any
//                        other character replaces the typed one.
// A consumed key is accepted and goes no further.
namespace dvt {

enum TShiftStateFlag {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};
Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

// Virtual-key codes used by the library.
namespace vk {
inline constexpr quint16 Back = 0x08;
inline constexpr quint16 Tab = 0x09;
inline constexpr quint16 Return = 0x0D;
inline constexpr quint16 Shift = 0x10;
inline constexpr quint16 Control = 0x11;
inline constexpr quint16 Menu = 0x12; // Alt
inline constexpr quint16 Escape = 0x1B;
inline constexpr quint16 Space = 0x20;
inline constexpr quint16 Prior = 0x21; // Page Up
inline constexpr quint16 Next = 0x22;  // Page Down
inline constexpr quint16 End = 0x23;
inline constexpr quint16 Home = 0x24;
inline constexpr quint16 Left = 0x25;
inline constexpr quint16 Up = 0x26;
inline constexpr quint16 Right = 0x27;
inline constexpr quint16 Down = 0x28;
inline constexpr quint16 Insert = 0x2D;
inline constexpr quint16 Delete = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A, as their characters.
inline constexpr quint16 Numpad0 = 0x60; // to Numpad9 = 0x69
inline constexpr quint16 Multiply = 0x6A;
inline constexpr quint16 Add = 0x6B;      // keypad plus
inline constexpr quint16 Subtract = 0x6D; // keypad minus
inline constexpr quint16 Decimal = 0x6E;  // keypad decimal point
inline constexpr quint16 Divide = 0x6F;
inline constexpr quint16 F1 = 0x70;      // to F12 = 0x7B
inline constexpr quint16 OemPlus = 0xBB; // "=" and "+" of the main keyboard
inline constexpr quint16 OemComma = 0xBC;
inline constexpr quint16 OemMinus = 0xBD; // "-" and "_" of the main keyboard
inline constexpr quint16 OemPeriod = 0xBE;
} // namespace vk

// The virtual-key code of a key event (0 when the key has none).
quint16 VirtualKey(const QKeyEvent &event);

// The shift state of a key event: Shift, Alt and Ctrl.
TShiftState ShiftState(const QKeyEvent &event);

// Posts a key press of the virtual key to the widget that has the focus, exactly
// as if the user had pressed it: the event arrives when the event loop next runs
// and takes the same way as a typed key (so an injected Tab moves the focus).
// Keys that carry a character (digits, Tab, Enter, ...) carry it here too.
void InjectKey(quint16 virtualKey, TShiftState shift = {});

// The two-step key handling for a control, mixed into the control's class:
//
//   class TdvEdit : public QLineEdit, public dvt::TKeyHandler {
//       void keyPressEvent(QKeyEvent *e) override {
//           RouteKeyEvent(e, [this](QKeyEvent *k) { QLineEdit::keyPressEvent(k); });
//       }
//       void KeyDown(quint16 &key, dvt::TShiftState shift) override; // own reaction,
//   };                                  // then TKeyHandler::KeyDown(key, shift)
//
// A control class that declares the signals keyDown(quint16 *key, TShiftState)
// and keyPress(QChar *key) has them emitted by the default steps, after the
// application's handlers; a slot may change the key as a handler does.
class TKeyHandler
{
public:
    // The application's handlers; each is called by the default step with the key
    // as the control left it (0 or the null character when the control consumed it).
    std::function<void(QObject *sender, quint16 &key, TShiftState shift)> OnKeyDown;
    std::function<void(QObject *sender, QChar &key)> OnKeyPress;

protected:
    explicit TKeyHandler(QObject *self) : m_self(self) {}
    template<class Control>
    requires requires(Control *c, quint16 *key, QChar *character)
    {
        c->keyDown(key, TShiftState());
        c->keyPress(character);
    }
    explicit TKeyHandler(Control *self)
        : m_self(self)
        , m_emitKeyDown(
              [self](quint16 &key, TShiftState shift) { Q_EMIT self->keyDown(&key, shift); })
        , m_emitKeyPress([self](QChar &key) { Q_EMIT self->keyPress(&key); })
    {}
    virtual ~TKeyHandler() = default;

    // The default steps: they call the application's handlers, then emit the signals.
    virtual void KeyDown(quint16 &key, TShiftState shift);
    virtual void KeyPress(QChar &key);

    // Runs KeyDown, then (when the key was not consumed and carries a character)
    // KeyPress, and hands what remains to base, the Qt class's own handling, with
    // the character as KeyPress left it. Answers whether base ran.
    bool RouteKeyEvent(QKeyEvent *event, const std::function<void(QKeyEvent *)> &base);

private:
    QObject *m_self;
    std::function<void(quint16 &key, TShiftState shift)> m_emitKeyDown;
    std::function<void(QChar &key)> m_emitKeyPress;
};

} // namespace dvt
