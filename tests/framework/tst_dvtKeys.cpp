#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "dvtKeys.h"
#include "dvtTestKeys.h"

using namespace Qt::StringLiterals;

namespace {

// A line edit with the two-step key handling and configurable reactions.
class KeyedEdit : public QLineEdit, public dvt::TKeyHandler
{
public:
    explicit KeyedEdit(QWidget *parent) : QLineEdit(parent), dvt::TKeyHandler(this) {}

    quint16 consumeKey = 0; // KeyDown sets this key to 0
    QChar consumeChar;      // KeyPress replaces this character by the null one
    QChar replaceFrom, replaceTo;
    QList<quint16> keysDown;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        RouteKeyEvent(event, [this](QKeyEvent *e) { QLineEdit::keyPressEvent(e); });
    }
    void KeyDown(quint16 &key, dvt::TShiftState shift) override
    {
        keysDown << key;
        if (key == consumeKey)
            key = 0;
        TKeyHandler::KeyDown(key, shift);
    }
    void KeyPress(QChar &key) override
    {
        if (!consumeChar.isNull() && key == consumeChar)
            key = QChar();
        else if (!replaceFrom.isNull() && key == replaceFrom)
            key = replaceTo;
        TKeyHandler::KeyPress(key);
    }
};

struct Form
{
    QWidget window;
    KeyedEdit *first = new KeyedEdit(&window);
    KeyedEdit *second = new KeyedEdit(&window);

    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        window.show();
        window.activateWindow();
        first->setFocus();
    }
};

} // namespace

class tst_dvtKeys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void virtualKey_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("expected");
        const int keypad = Qt::KeypadModifier;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 13;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << keypad << 13;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << 27;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << 9;
        QTest::newRow("Backtab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 9;
        QTest::newRow("Space") << int(Qt::Key_Space) << 0 << 0x20;
        QTest::newRow("Y") << int(Qt::Key_Y) << 0 << 0x59;
        QTest::newRow("N shifted") << int(Qt::Key_N) << int(Qt::ShiftModifier) << 0x4E;
        QTest::newRow("keypad plus") << int(Qt::Key_Plus) << keypad << 107;
        QTest::newRow("keypad minus") << int(Qt::Key_Minus) << keypad << 109;
        QTest::newRow("main plus") << int(Qt::Key_Plus) << int(Qt::ShiftModifier) << 187;
        QTest::newRow("main equal") << int(Qt::Key_Equal) << 0 << 187;
        QTest::newRow("main minus") << int(Qt::Key_Minus) << 0 << 189;
        QTest::newRow("Right") << int(Qt::Key_Right) << 0 << 0x27;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << 46;
        QTest::newRow("digit 0") << int(Qt::Key_0) << 0 << 0x30;
        QTest::newRow("digit 9") << int(Qt::Key_9) << 0 << 0x39;
        QTest::newRow("keypad 7") << int(Qt::Key_7) << keypad << 0x67;
        QTest::newRow("comma") << int(Qt::Key_Comma) << 0 << 0xBC;
        QTest::newRow("keypad decimal") << int(Qt::Key_Period) << keypad << 0x6E;
        QTest::newRow("F2") << int(Qt::Key_F2) << 0 << 0x71;
        QTest::newRow("no code") << int(Qt::Key_MediaPlay) << 0 << 0;
    }
    void virtualKey()
    {
        QFETCH(int, qtKey);
        QFETCH(int, modifiers);
        QFETCH(int, expected);
        const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(int(dvt::VirtualKey(event)), expected);
    }

    void keysTakeBothStepsUnlessConsumed_data()
    {
        QTest::addColumn<int>("consumeKey");
        QTest::addColumn<QString>("consumeChar");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hookSaw");
        QTest::newRow("plain") << 0 << QString() << u"ab1"_s << u"ab1"_s << u"ab1"_s;
        QTest::newRow("key down consumes") << 0x31 << QString() << u"a1b"_s << u"ab"_s << u"ab"_s;
        QTest::newRow("key press consumes") << 0 << u"b"_s << u"abc"_s << u"ac"_s << u"a_c"_s;
    }
    void keysTakeBothStepsUnlessConsumed()
    {
        QFETCH(int, consumeKey);
        QFETCH(QString, consumeChar);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, hookSaw);
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.first->consumeKey = quint16(consumeKey);
        form.first->consumeChar = consumeChar.isEmpty() ? QChar() : consumeChar.at(0);
        QString seen;
        form.first->OnKeyPress = [&](QObject *sender, QChar &key) {
            QCOMPARE(sender, form.first);
            seen += key.isNull() ? QChar(u'_') : key;
        };
        dvt::test::typeText(form.window.windowHandle(), typed);
        QCOMPARE(form.first->text(), text);
        QCOMPARE(seen, hookSaw);
    }

    void applicationHookSeesZeroedKey()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.first->consumeKey = 13;
        QList<quint16> seen;
        dvt::TShiftState lastShift;
        form.first->OnKeyDown = [&](QObject *, quint16 &key, dvt::TShiftState shift) {
            seen << key;
            lastShift = shift;
        };
        // The Ctrl key itself arrives first, as its own key down.
        QTest::keyClick(form.window.windowHandle(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(form.first->keysDown, (QList<quint16>{dvt::vk::Control, dvt::vk::Return}));
        QCOMPARE(seen, (QList<quint16>{dvt::vk::Control, 0}));
        QCOMPARE(lastShift, dvt::TShiftState(dvt::ssCtrl));
    }

    void replacedCharacterIsTyped()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.first->replaceFrom = u',';
        form.first->replaceTo = u'.';
        dvt::test::typeText(form.window.windowHandle(), u"1,5"_s);
        QCOMPARE(form.first->text(), u"1.5"_s);
    }

    void injectedTabMovesFocus()
    {
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        QVERIFY(form.first->hasFocus());
        dvt::InjectKey(dvt::vk::Tab);
        QTRY_VERIFY(form.second->hasFocus());
        dvt::InjectKey(dvt::vk::Tab, dvt::ssShift);
        QTRY_VERIFY(form.first->hasFocus());
    }

    void injectedKeysType_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("text");
        QTest::newRow("digit") << 0x37 << 0 << u"x7"_s;
        QTest::newRow("keypad digit") << 0x63 << 0 << u"x3"_s;
        QTest::newRow("letter") << 0x41 << 0 << u"xa"_s;
        QTest::newRow("shifted letter") << 0x41 << int(dvt::ssShift) << u"xA"_s;
        QTest::newRow("keypad plus") << 107 << 0 << u"x+"_s;
        QTest::newRow("right arrow moves the cursor only") << 0x27 << 0 << u"x"_s;
        QTest::newRow("backspace") << 8 << 0 << QString();
    }
    void injectedKeysType()
    {
        QFETCH(int, key);
        QFETCH(int, shift);
        QFETCH(QString, text);
        Form form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.first->setText(u"x"_s);
        dvt::InjectKey(quint16(key), dvt::TShiftState(shift));
        QCoreApplication::processEvents();
        QCOMPARE(form.first->text(), text);
        QCOMPARE(form.first->keysDown, QList<quint16>{quint16(key)});
    }
};

QTEST_MAIN(tst_dvtKeys)
#include "tst_dvtKeys.moc"
