#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "dvtApplication.h"
#include "dvtComponent.h"
#include "dvtControl.h"
#include "dvtIniFile.h"
#include "dvtKeys.h"
#include "dvtMessageDlg.h"
#include "dvtTestKeys.h"
#include "dvtTestTables.h"

using namespace Qt::StringLiterals;

namespace {

// key the control consumes (0: none), a character replaced and its
// replacement (none: consumed), typed, text, what the hook saw ("_": nothing)
using ConsumedKeys = std::tuple<int, QString, QString, QString, QString>;
using DialogAnswer = std::tuple<dvt::TMsgDlgType, dvt::TMsgDlgBtn, dvt::TModalResult, QString>;

// A form whose close event can refuse, like a form asking to save first.
struct ClosingForm : QWidget
{
    bool allowClose = false;
    void closeEvent(QCloseEvent *event) override { event->setAccepted(allowClose); }
};

QWidget *named(QWidget *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

// A plain container and a nested owner, which keeps its components to itself.
struct OwnerForm
{
    QWidget form;
    QWidget *panel = named(new QWidget(&form), u"Panel"_s);
    QWidget *street = named(new QLineEdit(panel), u"Street"_s);
    QWidget *frame = named(new QWidget(&form), u"AddressFrame"_s);
    QWidget *zip = named(new QLineEdit(frame), u"Zip"_s);
    QWidget *customer = named(new QLineEdit(&form), u"CustomerName"_s);

    OwnerForm()
    {
        dvt::SetOwnerMark(frame);
        new QLineEdit(&form); // unnamed: not a component
        (new QVBoxLayout(&form))->setObjectName(u"verticalLayout"_s);
    }
};

// Records the order in which its Loaded() calls arrive.
struct Probe : QObject, dvt::Loadable
{
    static inline QStringList log;
    Probe(const QString &name, QObject *parent) : QObject(parent) { setObjectName(name); }
    void Loaded() override { log << objectName(); }
};

// A line edit with the two-step key handling: KeyDown zeroes consumeKey, KeyPress turns
// charFrom into charTo (the null character consumes it).
struct KeyedEdit : QLineEdit, dvt::TKeyHandler
{
    explicit KeyedEdit(QWidget *parent) : QLineEdit(parent), dvt::TKeyHandler(this) {}
    quint16 consumeKey = 0;
    QChar charFrom, charTo;

    void keyPressEvent(QKeyEvent *event) override
    {
        RouteKeyEvent(event, [this](QKeyEvent *e) { QLineEdit::keyPressEvent(e); });
    }
    void KeyDown(quint16 &key, dvt::TShiftState shift) override
    {
        if (key == consumeKey)
            key = 0;
        TKeyHandler::KeyDown(key, shift);
    }
    void KeyPress(QChar &key) override
    {
        if (key == charFrom)
            key = charTo;
        TKeyHandler::KeyPress(key);
    }
};

struct KeyForm
{
    QWidget window;
    KeyedEdit *first = new KeyedEdit(&window);
    KeyedEdit *second = new KeyedEdit(&window);
    KeyForm()
    {
        window.show();
        window.activateWindow();
        first->setFocus();
    }
};

} // namespace

class tst_dvtFramework : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // Runs first: the default main form depends on the windows shown before.
    void mainForm()
    {
        QCOMPARE(dvt::MainForm(), nullptr);
        QMessageBox box; // message boxes never become the main form
        box.show();
        QDialog second;
        auto *first = new QWidget; // created later, shown earlier
        first->show();
        second.show();
        QCOMPARE(dvt::MainForm(), first);
        first->hide();
        QCOMPARE(dvt::MainForm(), first); // hidden is not gone
        auto *chosen = new QWidget;
        dvt::SetMainForm(chosen);
        QCOMPARE(dvt::MainForm(), chosen);
        delete chosen;
        QCOMPARE(dvt::MainForm(), first);
        delete first;
        QCOMPARE(dvt::MainForm(), &second);
    }

    void closeActiveForm()
    {
        QCOMPARE(dvt::ActiveForm(), nullptr);
        QVERIFY(!dvt::CloseActiveForm());
        ClosingForm form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(dvt::ActiveForm(), &form);
        QVERIFY(!dvt::CloseActiveForm());
        QVERIFY(form.isVisible());
        form.allowClose = true;
        QVERIFY(dvt::CloseActiveForm());
        QVERIFY(!form.isVisible());
    }

    void componentsOwnersAndFindComponent()
    {
        OwnerForm f;
        QCOMPARE(dvt::Components(&f.form),
                 (QList<QObject *>{f.panel, f.street, f.frame, f.customer}));
        QCOMPARE(dvt::Components(f.frame), QList<QObject *>{f.zip});
        QCOMPARE(dvt::Owner(f.street), &f.form);
        QCOMPARE(dvt::Owner(f.zip), f.frame);
        QCOMPARE(dvt::Owner(f.frame), &f.form);
        QCOMPARE(dvt::Owner(&f.form), nullptr);
        QCOMPARE(dvt::FindComponent(&f.form, u"CUSTOMERname"_s), f.customer);
        QCOMPARE(dvt::FindComponent(&f.form, u"street"_s), f.street); // inside a container
        QCOMPARE(dvt::FindComponent(&f.form, u"Customer"_s), nullptr);
        QCOMPARE(dvt::FindComponent(&f.form, QString()), nullptr);
        QCOMPARE(dvt::FindComponent(&f.form, u"zip"_s), nullptr); // kept by the nested owner
        QCOMPARE(dvt::FindComponent(&f.form, u"verticalLayout"_s), nullptr);
    }

    void loadFormDeliversOnceInOrder()
    {
        OwnerForm f;
        new Probe(u"InPanel"_s, f.panel);
        new Probe(u"InFrame"_s, f.frame);
        new Probe(u"Last"_s, &f.form);
        dvt::LoadForm(&f.form);
        QCOMPARE(Probe::log, QStringList({u"InPanel"_s, u"InFrame"_s, u"Last"_s}));
        new Probe(u"Added"_s, &f.form);
        dvt::LoadForm(&f.form);
        QCOMPARE(Probe::log, QStringList({u"InPanel"_s, u"InFrame"_s, u"Last"_s, u"Added"_s}));
    }

    void virtualKey_data()
    {
        const auto row = RowColumn<std::tuple<int, int, int>>(); // Qt key, modifiers, code
        const int keypad = Qt::KeypadModifier, shift = Qt::ShiftModifier;
        row("Enter", {Qt::Key_Return, 0, 13});
        row("keypad Enter", {Qt::Key_Enter, keypad, 13});
        row("Esc", {Qt::Key_Escape, 0, 27});
        row("Tab", {Qt::Key_Tab, 0, 9});
        row("Backtab", {Qt::Key_Backtab, shift, 9});
        row("Space", {Qt::Key_Space, 0, 0x20});
        row("Y", {Qt::Key_Y, 0, 0x59});
        row("N shifted", {Qt::Key_N, shift, 0x4E});
        row("keypad plus", {Qt::Key_Plus, keypad, 107});
        row("keypad minus", {Qt::Key_Minus, keypad, 109});
        row("main plus", {Qt::Key_Plus, shift, 187});
        row("main minus", {Qt::Key_Minus, 0, 189});
        row("Right", {Qt::Key_Right, 0, 0x27});
        row("Delete", {Qt::Key_Delete, 0, 46});
        row("digit", {Qt::Key_9, 0, 0x39});
        row("comma", {Qt::Key_Comma, 0, 0xBC});
        row("keypad decimal", {Qt::Key_Period, keypad, 0x6E});
        row("no code", {Qt::Key_MediaPlay, 0, 0});
    }
    void virtualKey()
    {
        const auto &[qtKey, modifiers, expected] = Row<std::tuple<int, int, int>>();
        const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(int(dvt::VirtualKey(event)), expected);
    }

    void keysTakeBothStepsUnlessConsumed_data()
    {
        const auto row = RowColumn<ConsumedKeys>();
        row("key down consumes", {0x31, QString(), u"a1b"_s, u"ab"_s, u"ab"_s});
        row("key press consumes", {0, u"b"_s, u"abc"_s, u"ac"_s, u"a_c"_s});
        row("key press replaces", {0, u",."_s, u"1,5"_s, u"1.5"_s, u"1.5"_s});
    }
    void keysTakeBothStepsUnlessConsumed()
    {
        const auto &[consumeKey, fromTo, typed, text, hookSaw] = Row<ConsumedKeys>();
        KeyForm form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.first->consumeKey = quint16(consumeKey);
        const QString charFromTo = fromTo.leftJustified(2, QChar()); // no character or consumed
        form.first->charFrom = charFromTo.at(0);
        form.first->charTo = charFromTo.at(1);
        QString seen;
        form.first->OnKeyPress = [&](QObject *sender, QChar &key) {
            QCOMPARE(sender, form.first);
            seen += key.isNull() ? QChar(u'_') : key;
        };
        dvt::test::typeText(form.window.windowHandle(), typed);
        QCOMPARE(form.first->text(), text);
        QCOMPARE(seen, hookSaw);
    }

    void injectedKeysTypeAndMoveFocus()
    {
        KeyForm form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.first->setText(u"x"_s);
        QList<quint16> seen;
        dvt::TShiftState lastShift;
        form.first->OnKeyDown = [&](QObject *, quint16 &key, dvt::TShiftState shift) {
            seen << key;
            lastShift = shift;
        };
        using namespace dvt::vk;
        const QList<std::pair<quint16, dvt::TShiftState>> keys{
            {Numpad0 + 3, {}}, {0x41, {}}, {0x41, dvt::ssShift}, {Add, {}},
            {Left, {}},        {Back, {}}, {Right, {}},          {Numpad0 + 3, {}}};
        QList<quint16> injected;
        for (const auto &[key, shift] : keys) {
            dvt::InjectKey(key, shift);
            injected << key;
        }
        QTRY_COMPARE(form.first->text(), u"x3a+3"_s); // the arrows only move the cursor
        QCOMPARE(seen, injected);
        // A key the control zeroes reaches the application hook as 0; Ctrl comes as a key itself.
        form.first->consumeKey = Return;
        QTest::keyClick(form.window.windowHandle(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(seen.mid(injected.size()), (QList<quint16>{Control, 0}));
        QCOMPARE(lastShift, dvt::TShiftState(dvt::ssCtrl));
        dvt::InjectKey(Tab);
        QTRY_VERIFY(form.second->hasFocus());
        dvt::InjectKey(Tab, dvt::ssShift);
        QTRY_VERIFY(form.first->hasFocus());
    }

    void colors()
    {
        const dvt::TColor bgr(0x123456);
        const QColor rgb(0x56, 0x34, 0x12);
        QCOMPARE(bgr.toQColor(), rgb);
        QCOMPARE(dvt::FromPropertyColor(dvt::ToPropertyColor(bgr)), bgr);
        QCOMPARE(dvt::clWindow.value(), 0x80000005u);
        QVERIFY(!dvt::ToPropertyColor(dvt::clWindow).isValid());
        QCOMPARE(dvt::FromPropertyColor(QColor()), dvt::clWindow);
        QPalette palette;
        palette.setColor(QPalette::Base, rgb);
        QCOMPARE(dvt::clWindow.toQColor(palette), rgb);

        QLineEdit edit;
        const QColor standard = edit.palette().color(QPalette::Base);
        dvt::SetColor(&edit, dvt::clYellow);
        QCOMPARE(dvt::Color(&edit), dvt::clYellow);
        QCOMPARE(edit.palette().color(QPalette::Inactive, QPalette::Base), QColor(Qt::yellow));
        dvt::SetColor(&edit, dvt::clWindow);
        QCOMPARE(dvt::Color(&edit), dvt::clWindow);
        QCOMPARE(edit.palette().color(QPalette::Base), standard);
        QLineEdit other; // a palette set by other code counts too, even after SetColor()
        other.setPalette(palette);
        QCOMPARE(dvt::Color(&other), bgr);
        dvt::SetColor(&edit, dvt::clYellow);
        edit.setPalette(palette);
        QCOMPARE(dvt::Color(&edit), bgr);
    }

    void iniWriteKeepsKeysVerbatimAndTheRestOfTheFile()
    {
        const QString name = m_dir.filePath(u"orders.values.ini"_s), values = u"ComponentsValues"_s;
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("; comment\n[A]\nk=1\nother=x\n\n[B]\nk=2\n");
        file.close();
        dvt::TIniFile ini(name);
        QVERIFY(ini.WriteString(u"a"_s, u"K"_s, u"new"_s));
        QVERIFY(ini.WriteString(u"A"_s, u"added"_s, u"3"_s));
        QVERIFY(ini.WriteInteger(u"C"_s, u"n"_s, -42));
        QVERIFY(ini.WriteString(values, u"OrderForm/CustomerName"_s, u"Smith & Co"_s));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()),
                 u"; comment\n[A]\nK=new\nother=x\nadded=3\n\n[B]\nk=2\n\n[C]\nn=-42\n\n"
                 u"[ComponentsValues]\nOrderForm/CustomerName=Smith & Co\n"_s);
        QCOMPARE(ini.ReadString(values, u"OrderForm/CustomerName"_s, u"-"_s), u"Smith & Co"_s);
        QCOMPARE(ini.ReadString(values, u"OrderForm/Street"_s, u"-"_s), u"-"_s);
        QCOMPARE(ini.ReadInteger(u"C"_s, u"n"_s, 0), -42);
        QCOMPARE(ini.ReadInteger(u"A"_s, u"K"_s, 7), 7); // not a number
    }

    void iniRead()
    {
        QFile file(m_dir.filePath(u"read.ini"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("k=0\n[A]\r\nk=1\r\n\r\n[B]\nk = 2 \nempty=\nwith=equals=sign\n"
                   "path=C:\\Temp\\new\n");
        file.close();
        const dvt::TIniFile ini(file.fileName());
        const auto read = [&ini](const QString &section, const QString &key) {
            return ini.ReadString(section, key, u"default"_s);
        };
        QCOMPARE(read(u"A"_s, u"k"_s), u"1"_s);   // CRLF lines, a key before any section ignored
        QCOMPARE(read(u"B"_s, u"k"_s), u" 2 "_s); // blanks kept
        QCOMPARE(read(u"b"_s, u"K"_s), u" 2 "_s);
        QCOMPARE(read(u"B"_s, u"empty"_s), QString());
        QCOMPARE(read(u"B"_s, u"with"_s), u"equals=sign"_s);
        QCOMPARE(read(u"B"_s, u"path"_s), u"C:\\Temp\\new"_s); // as written by hand
        QCOMPARE(read(u"A"_s, u"none"_s), u"default"_s);
        QCOMPARE(read(u"C"_s, u"k"_s), u"default"_s);
        QCOMPARE(dvt::TIniFile(u"/nonexistent/x.ini"_s).ReadString(u"A"_s, u"k"_s, u"-"_s), u"-"_s);
    }

    // Values are kept verbatim, one line each, among neighbours they leave intact;
    // a value that would take more than one line is refused and the old one stays.
    void iniValues_data()
    {
        const auto row = RowColumn<std::tuple<QString, bool>>(); // value, written
        row("blanks", {u"  padded  "_s, true});
        row("backslashes", {u"C:\\Temp\\new"_s, true});
        row("escape-like text", {u"a\\\\b\\r\\n"_s, true});
        row("a section and a key inside", {u"[A]=b"_s, true});
        row("other scripts", {u"Ünïcødé ελληνικά 日本"_s, true});
        row("empty", {QString(), true});
        row("line feed", {u"one\ntwo"_s, false});
        row("carriage return and line feed", {u"one\r\ntwo"_s, false});
        row("trailing carriage return", {u"one\r"_s, false});
    }
    void iniValues()
    {
        const auto &[value, written] = Row<std::tuple<QString, bool>>();
        QFile file(m_dir.filePath(u"values.ini"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[S]\nbefore=1\nk=old\nafter=2\n");
        file.close();
        dvt::TIniFile ini(file.fileName());
        QCOMPARE(ini.WriteString(u"S"_s, u"k"_s, value), written);
        const QString kept = written ? value : u"old"_s;
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()),
                 u"[S]\nbefore=1\nk="_s + kept + u"\nafter=2\n"_s);
        QCOMPARE(ini.ReadString(u"S"_s, u"k"_s, u"default"_s), kept);
    }

    void messageHandlersNestAndReceiveTheRequest()
    {
        using namespace dvt;
        TMessageRequest seen;
        ScopedMessageHandler outer([](const TMessageRequest &) { return mrAbort; });
        {
            ScopedMessageHandler inner([&seen](const TMessageRequest &request) {
                seen = request;
                return mrNo;
            });
            QCOMPARE(MessageDlg(u"Sure?"_s, TMsgDlgType::mtConfirmation, mbYes | mbNo, mbNo), mrNo);
        }
        QCOMPARE(seen.Message, u"Sure?"_s);
        QCOMPARE(seen.Type, TMsgDlgType::mtConfirmation);
        QCOMPARE(seen.Buttons, mbYes | mbNo);
        QCOMPARE(seen.DefaultButton, mbNo);
        QCOMPARE(MessageDlg(u"Oops"_s, TMsgDlgType::mtError, mbOK, mbOK), mrAbort);
    }

    void standardDialogAnswersEnterWithTheDefault_data()
    {
        const auto row = RowColumn<DialogAnswer>(); // type, default button, answer, caption
        using namespace dvt;
        using enum TMsgDlgType;
        row("Yes", {mtConfirmation, mbYes, mrYes, u"Confirm"_s});
        row("No", {mtConfirmation, mbNo, mrNo, u"Confirm"_s});
        row("warning", {mtWarning, mbOK, mrOk, u"Warning"_s});
        row("error", {mtError, mbOK, mrOk, u"Error"_s});
        row("information", {mtInformation, mbOK, mrOk, u"Information"_s});
    }
    void standardDialogAnswersEnterWithTheDefault()
    {
        const auto &[type, defaultButton, expected, caption] = Row<DialogAnswer>();
        QString shown;
        QTimer::singleShot(0, qApp, [&shown] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shown = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Return);
        });
        const dvt::TMsgDlgButtons buttons = dvt::mbYes | dvt::mbNo | dvt::mbOK;
        QCOMPARE(dvt::MessageDlg(u"Text"_s, type, buttons, defaultButton), expected);
        QCOMPARE(shown, caption);
    }
};

QTEST_MAIN(tst_dvtFramework)
#include "tst_dvtFramework.moc"
