#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <cmath>

#include "dvAboutForm.h"
#include "dvCalculatorForm.h"
#include "dvCalendarForm.h"
#include "dvDate.h"
#include "dvGrid.h"
#include "dvPopups.h"
#include "dvStrings.h"
#include "dvValue.h"
#include "dvtAddingMachine.h"
#include "dvtFormatSettings.h"
#include "dvtMessageDlg.h"
#include "dvtTestForm.h"
#include "dvtTestTables.h"

using namespace Qt::StringLiterals;

namespace {

// Keys as a user types them: one click each, to the window, so that they take
// its focus routing. Enter is "\r", Esc "\x1b" and backspace "\b".
void Type(QWidget *window, const QString &keys)
{
    dvt::test::typeText(window->windowHandle(), keys);
}

void Click(QWidget *control, Qt::MouseButton button = Qt::LeftButton)
{
    QWidget *window = control->window();
    QTest::mouseClick(window->windowHandle(), button, {},
                      control->mapTo(window, control->rect().center()));
}

// A calculator window as an opener shows it: placed, shown and active.
struct Calculator
{
    explicit Calculator(QWidget *owner = nullptr) : form(new TdvCalculatorForm(owner)) {}
    ~Calculator() { delete form; }

    bool show()
    {
        form->Popup();
        return QTest::qWaitForWindowActive(form);
    }
    void type(const QString &keys) { Type(form, keys); }
    void click(const QString &panel) { Click(form->findChild<QPushButton *>(panel)); }
    QString label(const QString &name) const { return form->findChild<QLabel *>(name)->text(); }
    // The lines of the tape as the window shows them.
    QStringList tape() const
    {
        const QString text = form->findChild<QPlainTextEdit *>(u"TapeMemo"_s)->toPlainText();
        return text.isEmpty() ? QStringList() : text.split(u'\n');
    }
    // The lines printed since the window was shown, after the blank line that
    // its activation put at the end of the tape.
    QStringList printed() const { return tape().mid(1); }

    QPointer<TdvCalculatorForm> form;
};

QString Nines(int count)
{
    return QString(count, u'9');
}

// The calculator or the calendar, unshown.
dvt::PopupForm *NewPopup(bool calculator, QWidget *owner = nullptr)
{
    if (calculator)
        return new TdvCalculatorForm(owner);
    return new TdvCalendarForm(owner);
}

// A calendar opened on the owner, once active.
QPointer<TdvCalendarForm> OpenCalendar(QWidget *owner)
{
    QPointer<TdvCalendarForm> calendar = new TdvCalendarForm(owner);
    calendar->Popup();
    return QTest::qWaitForWindowActive(calendar) ? calendar : nullptr;
}

// A date edit on a shown form, loaded and so emptied, set to date.
TdvDate *DateOwner(TestForm<> &form, QDate date)
{
    auto *owner = form.add<TdvDate>(u"OrderDate"_s);
    if (!form.showForm())
        return nullptr;
    owner->setDate(date);
    return owner;
}

// start (the owner's number; none when empty), keys, display, operator sign,
// accumulator, lines printed, messages shown
using Sequence = std::tuple<QString, QString, QString, QString, double, QStringList, int>;

// the panel's name, its top left corner, caption colour and boldness
using PanelLook = std::tuple<QString, QPoint, QColor, bool>;
// the owner's date, the key, with Ctrl, the date shown in words afterwards
using CalendarKey = std::tuple<QDate, Qt::Key, bool, QString>;
using CalendarResult = std::tuple<QString, QDate, bool>;
// opens the calculator (else the calendar), by a right click (else the trigger),
// keys, the owner destroyed with the pop-up open, the owner's text afterwards
// ("today": today's date), else the tape's last line
using Trigger = std::tuple<bool, bool, QString, bool, QString>;
// owner, keys, display on opening, the owner's value afterwards
using CalculatorOwner = std::tuple<QString, QString, QString, QVariant>;
// owner, its value as a text, its value afterwards (empty: the day after today);
// the calendar starts on the date of the text, else on today
using CalendarOwner = std::tuple<QString, QString, QString>;

QStringList FileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeLast();
    return lines;
}

} // namespace

class tst_dvPopupForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void sequences_data();
    void sequences();
    void clicksMatchKeys_data();
    void clicksMatchKeys();
    void memoryAndTapeClearing();
    void calculatorLooks_data();
    void calculatorLooks();
    void decimalComma();
    void calculatorOwners_data();
    void calculatorOwners();
    void tapeFileRoundTrip();
    void tapeFileFailures();

    void calendarKeys_data();
    void calendarKeys();
    void calendarResults_data();
    void calendarResults();
    void calendarOwners_data();
    void calendarOwners();

    void triggersOpenPopups_data();
    void triggersOpenPopups();
    void placement_data();
    void placement();
    void aboutBox_data();
    void aboutBox();

private:
    int m_messages = 0;
    dvt::ScopedMessageHandler m_handler{[this](const dvt::TMessageRequest &) {
        ++m_messages;
        return dvt::mrOk;
    }};
};

void tst_dvPopupForms::initTestCase()
{
    // The calendar's names come from QLocale, the library's texts from its settings.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void tst_dvPopupForms::init()
{
    dvt::FormatSettings() = dvt::TFormatSettings();
    QFile::remove(TdvCalculatorForm::TapeFile());
    m_messages = 0;
}

void tst_dvPopupForms::sequences_data()
{
    const auto row = RowColumn<Sequence>();
    const QString none;
    row("a digit replaces the owner's number", {"12.5", "3", "3", none, 0, {}, 0});
    row("an operator takes the owner's number", {"12.5", "+", "0", "+", 12.5, {"12.5 +  "}, 0});
    row("adding", {none, "5+3=", "8", none, 0, {"5 +  ", "3 +  ", "8 =  ", " "}, 0});
    row("the first number is added",
        {none, "5*3=", "15", none, 0, {"5 +  ", "3 x  ", "15 =  ", " "}, 0});
    row("= without a second number prints the total",
        {none, "5+=", "0", none, 0, {"5 +  ", "5 =  ", " "}, 0});
    row("a number alone is not totalled", {none, "7=", "7", none, 0, {}, 0});
    row("a new number after =", {none, "5+3=2", "2", none, 0, {"5 +  ", "3 +  ", "8 =  ", " "}, 0});
    row("per cent added",
        {none, "200+10%", "220", none, 0, {"200 +  ", "10 %+ ", "20 ·  ", "220 =  ", " "}, 0});
    row("per cent taken off",
        {none, "200-10p", "180", none, 0, {"200 +  ", "10 %- ", "20 ·  ", "180 =  ", " "}, 0});
    row("per cent times",
        {none, "200*10P", "4000", none, 0, {"200 +  ", "10 %x ", "20 ·  ", "4000 =  ", " "}, 0});
    row("per cent divided",
        {none, "200/10%", "10", none, 0, {"200 +  ", "10 %÷ ", "20 ·  ", "10 =  ", " "}, 0});
    row("digits after a per cent extend it",
        {none, "200+10%5", "2205", none, 0, {"200 +  ", "10 %+ ", "20 ·  ", "220 =  ", " "}, 0});
    row("per cent dividing by a zero share stops",
        {none, "8/0%", "0", "÷", 8, {"8 +  ", "0 %÷ ", "0 ·  "}, 0});
    row("variation", {none, "80+100v", "0", none, 0, {"80 +  ", "100 v% ", "25 %= ", " "}, 0});
    row("variation without a base stops", {none, "5V", "5", none, 0, {"5 v% "}, 0});
    row("per cent of total",
        {none, "50+20t", "0", none, 0, {"50 +  ", "20 %t ", "40 %= ", " "}, 0});
    row("per cent of no total stops", {none, "20T", "20", none, 0, {"20 %t "}, 0});
    row("square root", {none, "16s", "0", none, 0, {"16 V  ", "4 =  ", " "}, 0});
    row("square root of a negative number is refused",
        {none, "5iS", "-5", none, 0, {"-5 ±  ", "-5 V  "}, 1});
    row("sign change", {none, "5+2I", "-2", "+", 5, {"5 +  ", "-2 ±  "}, 0});
    row("decimals typed on", {none, "1.50", "1.50", none, 0, {}, 0});
    row("a decimal point typed on", {none, "12.", "12.", none, 0, {}, 0});
    row("the comma types the separator", {none, "1,5", "1.5", none, 0, {}, 0});
    row("backspace empties to 0", {none, "7\b", "0", none, 0, {}, 0});
    row("backspace leaves a lone minus: 0", {none, "5i\b", "0", none, 0, {"-5 ±  "}, 0});
    row("C on a cleared calculator prints nothing", {none, "c", "0", none, 0, {}, 0});
    row("C", {none, "5+3C", "0", none, 0, {"5 +  ", "C  "}, 0});
    row("E keeps the calculation",
        {none, "9+5e3=", "12", none, 0, {"9 +  ", "E  ", "3 +  ", "12 =  ", " "}, 0});
    row("division by zero is skipped", {none, "8/0+", "0", "+", 8, {"8 +  ", "0 ÷  "}, 0});
    row("an overflow is skipped", {none,
                                   Nines(17) + u'*' + Nines(17) + u'+',
                                   "1E169",
                                   "+",
                                   1e169,
                                   {"1E169 +  ", "1E169 x  "},
                                   0});
    row("a display beyond any number reads 0", {none, Nines(18), "0", none, 0, {}, 0});
}

void tst_dvPopupForms::sequences()
{
    const auto &[start, keys, display, sign, accumulator, tape, messages] = Row<Sequence>();
    TdvValue owner;
    if (!start.isEmpty())
        owner.SetValue(start.toDouble());
    Calculator calculator(start.isEmpty() ? nullptr : &owner);
    QVERIFY(calculator.show());
    QCOMPARE(calculator.tape(), QStringList{u" "_s});

    calculator.type(keys);

    QCOMPARE(calculator.label(u"Display"_s), display);
    QCOMPARE(calculator.label(u"Operator"_s), sign);
    QCOMPARE(calculator.form->Machine().Accumulator(), accumulator);
    QCOMPARE(calculator.form->Machine().Entry(), display.toDouble()); // the number shown
    QCOMPARE(calculator.printed(), tape);
    QCOMPARE(m_messages, messages);
}

void tst_dvPopupForms::clicksMatchKeys_data()
{
    QTest::addColumn<QStringList>("panels");
    QTest::addColumn<QString>("keys");

    QTest::newRow("digits, decimal, + and =")
        << QStringList{"One", "Dot", "Five", "Plus", "Two", "Zero", "Equals"} << "1.5+20=";
    QTest::newRow("x, -, ÷ and %")
        << QStringList{"Nine", "Times", "Three", "Minus", "Four", "Divide", "Two", "Percent"}
        << "9*3-4/2%";
    QTest::newRow("V%, %T, E and C")
        << QStringList{"Eight", "Plus",           "Six",   "Variation",  "Seven", "Plus",
                       "Four",  "PercentOfTotal", "Three", "ClearValue", "Six",   "Plus",
                       "Clear"}
        << "8+6v7+4t3e6+c";
    QTest::newRow("± and √") << QStringList{"Four", "Invert", "Invert", "Sqrt"} << "4iis";
}

void tst_dvPopupForms::clicksMatchKeys()
{
    QFETCH(QStringList, panels);
    QFETCH(QString, keys);
    Calculator typed;
    QVERIFY(typed.show());
    typed.type(keys);
    Calculator clicked;
    QVERIFY(clicked.show());
    for (const QString &panel : panels)
        clicked.click(panel);

    QCOMPARE(clicked.label(u"Display"_s), typed.label(u"Display"_s));
    QCOMPARE(clicked.label(u"Operator"_s), typed.label(u"Operator"_s));
    QCOMPARE(clicked.form->Machine().Accumulator(), typed.form->Machine().Accumulator());
    QCOMPARE(clicked.printed(), typed.printed());
    QVERIFY(!typed.printed().isEmpty());
}

void tst_dvPopupForms::memoryAndTapeClearing()
{
    Calculator calculator;
    QVERIFY(calculator.show());
    calculator.type(u"5"_s);
    calculator.click(u"MemPlus"_s);
    calculator.click(u"MemPlus"_s);
    calculator.type(u"+3"_s);
    calculator.click(u"MemMinus"_s);
    calculator.type(u"ce"_s); // the memory survives C and E
    QCOMPARE(calculator.printed(), (QStringList{"5 +  ", "C  ", "E  "}));
    calculator.click(u"MemRetrieve"_s);
    QCOMPARE(calculator.label(u"Display"_s), u"7"_s);
    QCOMPARE(calculator.form->Machine().Accumulator(), 0.0);

    calculator.type(u"+"_s);
    calculator.click(u"ClearTape"_s);
    QCOMPARE(calculator.tape(), QStringList{u"C  "_s}); // the clearing starts the new tape
    calculator.click(u"ClearTape"_s);
    QCOMPARE(calculator.tape(), QStringList());

    calculator.click(u"MemClear"_s);
    calculator.click(u"MemRetrieve"_s);
    QCOMPARE(calculator.label(u"Display"_s), u"0"_s);

    calculator.type(u"9"_s);
    QTest::keyClick(calculator.form->windowHandle(), Qt::Key_Delete); // C
    QCOMPARE(calculator.tape(), QStringList{u"C  "_s});
    QCOMPARE(calculator.label(u"Display"_s), u"0"_s);
}

void tst_dvPopupForms::calculatorLooks_data()
{
    const auto row = RowColumn<PanelLook>();
    const QColor red(Qt::red), blue(Qt::blue);
    row("mC", {"MemClear", QPoint(4, 248), red, false});
    row("m -", {"MemMinus", QPoint(105, 248), red, false});
    row("cT", {"ClearTape", QPoint(72, 274), red, false});
    row("7", {"Seven", QPoint(4, 300), blue, false});
    row("√", {"Sqrt", QPoint(139, 300), red, false});
    row("6", {"Six", QPoint(72, 326), blue, false});
    row("-", {"Minus", QPoint(105, 352), red, true});
    row("0", {"Zero", QPoint(4, 378), blue, false});
    row(".", {"Dot", QPoint(38, 378), red, true});
    row("%", {"Percent", QPoint(139, 378), red, false});
}

void tst_dvPopupForms::calculatorLooks()
{
    const auto &[panel, corner, colour, bold] = Row<PanelLook>();
    Calculator calculator;
    QVERIFY(calculator.show());
    QCOMPARE(calculator.form->windowTitle(), u"Calculator"_s);
    QCOMPARE(calculator.form->size(), QSize(172, 403));
    const auto *button = calculator.form->findChild<QPushButton *>(panel);
    QVERIFY(button);
    QCOMPARE(button->pos(), corner);
    QCOMPARE(button->size(), QSize(29, 21));
    QCOMPARE(button->palette().color(QPalette::ButtonText), colour);
    QCOMPARE(ShowsBold(button), bold);
    QCOMPARE(button->focusPolicy(), Qt::NoFocus); // the keys go to the window

    const auto *tape = calculator.form->findChild<QPlainTextEdit *>(u"TapeMemo"_s);
    QVERIFY(QFontInfo(tape->font()).fixedPitch());
    QVERIFY(tape->document()->defaultTextOption().alignment().testFlag(Qt::AlignRight));
    const auto *display = calculator.form->findChild<QLabel *>(u"Display"_s);
    QVERIFY(ShowsBold(display));
    QCOMPARE(display->palette().color(QPalette::WindowText), QColor(Qt::red));
}

void tst_dvPopupForms::decimalComma()
{
    dvt::FormatSettings().DecimalSeparator = u',';
    dvt::FormatSettings().ThousandSeparator = u'.';
    Calculator calculator;
    QVERIFY(calculator.show());
    QCOMPARE(calculator.form->findChild<QPushButton *>(u"Dot"_s)->text(), u","_s);
    calculator.type(u"1.5+2,25="_s);
    calculator.click(u"Two"_s);
    calculator.click(u"Dot"_s);
    calculator.click(u"Five"_s);
    QCOMPARE(calculator.label(u"Display"_s), u"2,5"_s);
    QCOMPARE(calculator.printed(), (QStringList{"1,5 +  ", "2,25 +  ", "3,75 =  ", " "}));
}

void tst_dvPopupForms::calculatorOwners_data()
{
    QTest::addColumn<CalculatorOwner>("row");
    for (const char *owner :
         {"value edit", "line edit", "text cell", "number cell", "data grid", "spin box"}) {
        QTest::addRow("%s, Enter", owner) << CalculatorOwner{owner, "+3\r", "12.5", 15.5};
        QTest::addRow("%s, Esc", owner) << CalculatorOwner{owner, "+3\x1b", "12.5", 12.5};
    }
    QTest::newRow("value edit, unreadable text")
        << CalculatorOwner{"value edit text", "2\r", "0", 2.0};
    QTest::newRow("plain widget") << CalculatorOwner{"plain widget", "2\r", "", QVariant()};
}

void tst_dvPopupForms::calculatorOwners()
{
    const auto &[owner, keys, display, result] = Row<CalculatorOwner>();
    TestForm<> form;
    QWidget *control = nullptr;
    QStandardItemModel model(1, 1);
    std::function<QVariant()> value;
    std::function<void()> fill = [] {}; // after loading, which empties the edits
    if (owner.startsWith(u"value edit"_s)) {
        auto *edit = form.add<TdvValue>(u"Amount"_s);
        fill = [edit, owner] {
            if (owner == u"value edit text"_s)
                edit->setText(u"12..5"_s);
            else
                edit->SetValue(12.5);
        };
        value = [edit] { return QVariant(edit->GetFValue()); };
        control = edit;
    } else if (owner == u"line edit"_s) {
        auto *edit = form.add<QLineEdit>(u"Editor"_s);
        edit->setText(u"12.5"_s);
        value = [edit] { return QVariant(edit->text().toDouble()); };
        control = edit;
    } else if (owner.endsWith(u"cell"_s)) {
        auto *view = form.add<QTableView>(u"Grid"_s);
        view->setModel(&model);
        model.setData(model.index(0, 0),
                      owner == u"text cell"_s ? QVariant(u"12.5"_s) : QVariant(12.5));
        view->setCurrentIndex(model.index(0, 0));
        value = [&model, owner] {
            const QVariant cell = model.index(0, 0).data(Qt::EditRole);
            // The cell keeps its type: a text stays a text.
            const bool text = cell.metaType().id() == QMetaType::QString;
            return text == (owner == u"text cell"_s) ? QVariant(cell.toDouble()) : QVariant();
        };
        control = view;
    } else if (owner == u"data grid"_s) {
        // The grid's current cell, in its own formatting.
        auto *grid = form.add<TdvGrid>(u"Grid"_s);
        grid->SetColCount(2);
        grid->SetRowCount(3);
        fill = [grid] {
            grid->SetCells(1, 2, u"$12.50"_s);
            grid->SetCol(1);
            grid->SetRow(2);
        };
        value = [grid] { return QVariant(dvStrToFloat(grid->Cells(1, 2))); };
        control = grid;
    } else if (owner == u"spin box"_s) {
        auto *spin = form.add<QDoubleSpinBox>(u"Spin"_s);
        spin->setValue(12.5);
        value = [spin] { return QVariant(spin->value()); };
        control = spin;
    } else {
        control = form.add<QWidget>(u"Plain"_s);
        value = [] { return QVariant(); };
    }
    QVERIFY(form.showForm());
    fill();
    Calculator calculator(control);
    QVERIFY(calculator.show());
    QCOMPARE(calculator.label(u"Display"_s), display);

    calculator.type(keys);
    QTRY_VERIFY(!calculator.form); // closed and gone
    QCOMPARE(value(), result);
}

void tst_dvPopupForms::tapeFileRoundTrip()
{
    const QString file = TdvCalculatorForm::TapeFile();
    {
        QFile earlier(file); // as another system writes it
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("7 +  \r\n \r\n");
    }
    {
        Calculator first;
        QVERIFY(first.show());
        first.type(u"8/2=5i\x1b"_s);
        QTRY_VERIFY(!first.form);
    }
    const QStringList saved{"7 +  ", " ", "8 +  ", "2 ÷  ", "4 =  ", " ", "-5 ±  "};
    QCOMPARE(FileLines(file), saved);

    Calculator second;
    QVERIFY(second.show());
    QCOMPARE(second.tape(), saved + QStringList{u" "_s}); // activation ends it with a blank
    second.type(u"1+"_s);
    QCOMPARE(second.tape().constLast(), u"1 +  "_s);
}

void tst_dvPopupForms::tapeFileFailures()
{
    // A folder where the file should be: it can be neither read nor replaced.
    const QString file = TdvCalculatorForm::TapeFile();
    QVERIFY(QDir().mkpath(file));
    for (int opening = 0; opening < 2; ++opening) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"tape .* cannot be read"_s));
        Calculator calculator;
        QVERIFY(calculator.show());
        calculator.type(u"5+3="_s);
        QCOMPARE(calculator.label(u"Display"_s), u"8"_s); // it works all the same
        calculator.type(u"\x1b"_s);
        QTRY_VERIFY(!calculator.form);
        QCOMPARE(m_messages, 1); // told once
    }
    QVERIFY(QDir(file).removeRecursively());
    {
        Calculator calculator;
        QVERIFY(calculator.show());
        calculator.type(u"\x1b"_s);
        QTRY_VERIFY(!calculator.form);
    }
    QVERIFY(QFile::exists(file));
    QVERIFY(QFile::remove(file));
    QVERIFY(QDir().mkpath(file));
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"tape .* cannot be read"_s));
        Calculator calculator; // a failure after a success is told again
        QVERIFY(calculator.show());
        calculator.type(u"\x1b"_s);
        QTRY_VERIFY(!calculator.form);
    }
    QCOMPARE(m_messages, 2);
    QVERIFY(QDir(file).removeRecursively());
}

void tst_dvPopupForms::calendarKeys_data()
{
    const auto row = RowColumn<CalendarKey>();
    using enum Qt::Key;
    row("down crosses a month", {QDate(2000, 1, 28), Key_Down, false, "Friday, February 4, 2000"});
    row("up crosses a month", {QDate(2000, 3, 3), Key_Up, false, "Friday, February 25, 2000"});
    row("left crosses a year", {QDate(2000, 1, 1), Key_Left, false, "Friday, December 31, 1999"});
    row("right to a leap day",
        {QDate(2000, 2, 28), Key_Right, false, "Tuesday, February 29, 2000"});
    row("page down keeps to the month",
        {QDate(2000, 1, 31), Key_PageDown, false, "Tuesday, February 29, 2000"});
    row("page up crosses a year",
        {QDate(2000, 1, 15), Key_PageUp, false, "Wednesday, December 15, 1999"});
    row("ctrl page up: a year back",
        {QDate(2000, 2, 29), Key_PageUp, true, "Sunday, February 28, 1999"});
    row("ctrl page down: a year on",
        {QDate(1999, 6, 30), Key_PageDown, true, "Friday, June 30, 2000"});
}

void tst_dvPopupForms::calendarKeys()
{
    const auto &[start, key, ctrl, words] = Row<CalendarKey>();
    const QDate date = QDate::fromString(words, u"dddd, MMMM d, yyyy"_s);
    QVERIFY(date.isValid());
    TestForm<> form;
    TdvDate *owner = DateOwner(form, start);
    QVERIFY(owner);
    const QPointer<TdvCalendarForm> calendar = OpenCalendar(owner);
    QVERIFY(calendar);
    QCOMPARE(calendar->date(), start);

    QTest::keyClick(calendar->windowHandle(), key, ctrl ? Qt::ControlModifier : Qt::NoModifier);

    QCOMPARE(calendar->date(), date);
    QCOMPARE(calendar->findChild<QLabel *>(u"Words"_s)->text(), words);
    const auto *grid = calendar->findChild<QCalendarWidget *>(u"Calendar"_s);
    QCOMPARE(grid->monthShown(), date.month());
    QCOMPARE(grid->yearShown(), date.year());
    QCOMPARE(owner->date(), start); // nothing is returned yet
    delete calendar;
}

void tst_dvPopupForms::calendarResults_data()
{
    const auto row = RowColumn<CalendarResult>(); // action, the owner's date, open afterwards
    row("Enter", {"enter", QDate(2000, 1, 29), false});
    row("double click", {"double click", QDate(2000, 1, 29), false});
    row("Esc", {"escape", QDate(2000, 1, 28), false});
    row("Esc on the today button", {"button escape", QDate(2000, 1, 28), false});
    row("today button", {"today", QDate(2000, 1, 28), true});
}

void tst_dvPopupForms::calendarResults()
{
    const auto &[action, ownerDate, open] = Row<CalendarResult>();
    TestForm<> form;
    TdvDate *owner = DateOwner(form, QDate(2000, 1, 28));
    QVERIFY(owner);
    QSignalSpy changes(owner, &TdvDate::dateChanged);
    const QPointer<TdvCalendarForm> calendar = OpenCalendar(owner);
    QVERIFY(calendar);
    QSignalSpy chosen(calendar.data(), &TdvCalendarForm::dateChosen);
    QSignalSpy moved(calendar.data(), &TdvCalendarForm::dateChanged);
    QTest::keyClick(calendar->windowHandle(), Qt::Key_Right);
    QCOMPARE(moved.size(), 1);

    if (action == u"enter"_s) {
        QTest::keyClick(calendar->windowHandle(), Qt::Key_Return);
    } else if (action.endsWith(u"escape"_s)) {
        if (action.startsWith(u"button"_s))
            calendar->findChild<QPushButton *>(u"TodayBtn"_s)->setFocus();
        QTest::keyClick(calendar->windowHandle(), Qt::Key_Escape);
    } else if (action == u"today"_s) {
        auto *today = calendar->findChild<QPushButton *>(u"TodayBtn"_s);
        QCOMPARE(today->text(), u"Today: "_s + QDate::currentDate().toString(u"M/d/yyyy"_s));
        Click(today);
        QCOMPARE(calendar->date(), QDate::currentDate());
    } else {
        auto *grid = calendar->findChild<QCalendarWidget *>()->findChild<QAbstractItemView *>();
        const QPoint cell = grid->visualRect(grid->currentIndex()).center();
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
    }

    QCOMPARE(owner->date(), ownerDate);
    QCOMPARE(changes.size(), owner->date() == QDate(2000, 1, 28) ? 0 : 1);
    QCOMPARE(chosen.size(), changes.size());
    if (open)
        QVERIFY(calendar->isVisible());
    else
        QTRY_VERIFY(!calendar);
    delete calendar;
}

void tst_dvPopupForms::calendarOwners_data()
{
    const auto row = RowColumn<CalendarOwner>();
    row("empty date edit", {"date edit", "", ""});
    row("date edit", {"date edit", "1/31/2000", "2/1/2000"});
    row("line edit", {"line edit", " 1/31/2000 ", "2/1/2000"});
    row("line edit without a date", {"line edit", "soon", ""});
    row("text cell", {"text cell", "2/28/2000", "2/29/2000"});
    row("date cell", {"date cell", "2/28/2000", "2000-02-29"});
    row("data grid", {"data grid", "2/28/2000", "2/29/2000"});
    row("qt date edit", {"qt date edit", "12/31/1999", "2000-01-01"});
}

void tst_dvPopupForms::calendarOwners()
{
    const auto &[owner, text, expected] = Row<CalendarOwner>();
    QString result = expected;
    const QDate textDate = QDate::fromString(text.trimmed(), u"M/d/yyyy"_s);
    TestForm<> form;
    QStandardItemModel model(1, 1);
    QWidget *control = nullptr;
    std::function<QString()> value;
    std::function<void()> fill = [] {}; // after loading, which empties the edits
    if (owner == u"date edit"_s) {
        auto *edit = form.add<TdvDate>(u"OrderDate"_s);
        fill = [edit, text] { edit->setText(text); };
        value = [edit] { return edit->text(); };
        control = edit;
    } else if (owner == u"line edit"_s) {
        auto *edit = form.add<QLineEdit>(u"Editor"_s);
        edit->setText(text);
        value = [edit] { return edit->text(); };
        control = edit;
    } else if (owner == u"qt date edit"_s) {
        auto *edit = form.add<QDateEdit>(u"Qt"_s);
        edit->setDate(textDate);
        value = [edit] { return edit->date().toString(Qt::ISODate); };
        control = edit;
    } else if (owner == u"data grid"_s) {
        auto *grid = form.add<TdvGrid>(u"Grid"_s);
        grid->SetColCount(2);
        grid->SetRowCount(2);
        fill = [grid, text] {
            grid->SetCells(1, 1, text);
            grid->SetCol(1);
            grid->SetRow(1);
        };
        value = [grid] { return grid->Cells(1, 1); };
        control = grid;
    } else {
        auto *view = form.add<QTableView>(u"Grid"_s);
        view->setModel(&model);
        model.setData(model.index(0, 0),
                      owner == u"text cell"_s ? QVariant(text) : QVariant(textDate));
        view->setCurrentIndex(model.index(0, 0));
        value = [&model] {
            const QVariant cell = model.index(0, 0).data(Qt::EditRole);
            return cell.metaType().id() == QMetaType::QDate ? cell.toDate().toString(Qt::ISODate)
                                                            : cell.toString();
        };
        control = view;
    }
    QVERIFY(form.showForm());
    fill();
    const QPointer<TdvCalendarForm> calendar = OpenCalendar(control);
    QVERIFY(calendar);
    QCOMPARE(calendar->date(), textDate.isValid() ? textDate : QDate::currentDate());

    QTest::keyClick(calendar->windowHandle(), Qt::Key_Right);
    QTest::keyClick(calendar->windowHandle(), Qt::Key_Return);
    QTRY_VERIFY(!calendar);
    if (result.isEmpty()) // from today: the day after it, in the short form
        result = QDate::currentDate().addDays(1).toString(u"M/d/yyyy"_s);
    QCOMPARE(value(), result);
}

void tst_dvPopupForms::triggersOpenPopups_data()
{
    const auto row = RowColumn<Trigger>();
    row("value edit, trigger", {true, false, "2+3\r", false, "$5.00"});
    row("value edit, right click", {true, true, "7\r", false, "$7.00"});
    // An empty date edit: the calendar starts on today.
    row("date edit, trigger", {false, false, "\r", false, "today"});
    row("date edit, right click", {false, true, "\x1b", false, ""});
    // The pop-up goes with its owner; the calculator's tape is kept all the same.
    row("value edit destroyed", {true, false, "5+", true, "5 +  "});
    row("date edit destroyed", {false, false, "", true, ""});
}

void tst_dvPopupForms::triggersOpenPopups()
{
    const auto &[calculator, rightClick, keys, destroyed, expected] = Row<Trigger>();
    TestForm<> form;
    TdvEdit *owner = calculator ? static_cast<TdvEdit *>(form.add<TdvValue>(u"Amount"_s))
                                : form.add<TdvDate>(u"OrderDate"_s);
    QVERIFY(form.showForm());
    owner->setFocus();
    dvPopups::ResetOpenRequests();

    if (rightClick)
        Click(owner, Qt::RightButton);
    else
        Type(&form, u"?"_s);
    const QPointer<dvt::PopupForm> popup =
        calculator ? static_cast<dvt::PopupForm *>(owner->findChild<TdvCalculatorForm *>())
                   : owner->findChild<TdvCalendarForm *>();
    QVERIFY(popup);
    QVERIFY(QTest::qWaitForWindowActive(popup));
    QCOMPARE(dvPopups::OpenRequests(calculator ? dvPopups::Calculator : dvPopups::Calendar), 1);

    Type(popup, keys);
    if (destroyed) {
        delete owner;
        QVERIFY(!popup);
        QCoreApplication::processEvents();
        if (calculator)
            QCOMPARE(FileLines(TdvCalculatorForm::TapeFile()), (QStringList{u" "_s, expected}));
        return;
    }
    QTRY_VERIFY(!popup);
    QCOMPARE(owner->text(),
             expected == u"today"_s ? QDate::currentDate().toString(u"M/d/yyyy"_s) : expected);
}

void tst_dvPopupForms::placement_data()
{
    QTest::addColumn<bool>("calculator");
    QTest::addColumn<bool>("nearTheEdge");

    for (const bool calculator : {true, false}) {
        const char *name = calculator ? "calculator" : "calendar";
        QTest::addRow("%s at its owner", name) << calculator << false;
        QTest::addRow("%s near the screen's corner", name) << calculator << true;
    }
}

void tst_dvPopupForms::placement()
{
    QFETCH(bool, calculator);
    QFETCH(bool, nearTheEdge);
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    TdvEdit owner;
    owner.resize(80, 20);
    owner.move(nearTheEdge ? desktop.bottomRight() - QPoint(90, 30)
                           : desktop.topLeft() + QPoint(40, 50));
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    dvt::PopupForm *popup = NewPopup(calculator, &owner);
    popup->Popup();
    QVERIFY(QTest::qWaitForWindowExposed(popup));

    const QRect frame = popup->frameGeometry();
    QVERIFY2(
        desktop.contains(frame),
        qPrintable(
            u"%1,%2 %3x%4"_s.arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())));
    if (nearTheEdge) {
        QCOMPARE(frame.right(), desktop.right());
        QCOMPARE(frame.bottom(), desktop.bottom());
    } else {
        QCOMPARE(frame.topLeft(), owner.mapToGlobal(QPoint(0, 0)));
    }
}

void tst_dvPopupForms::aboutBox_data()
{
    dvt::test::BoolRows("calculator", "calendar", "calculator");
}

void tst_dvPopupForms::aboutBox()
{
    QFETCH(bool, calculator);
    const std::unique_ptr<dvt::PopupForm> owned(NewPopup(calculator));
    dvt::PopupForm *popup = owned.get();
    popup->Popup();
    QVERIFY(QTest::qWaitForWindowActive(popup));

    // The window menu: a right click on the window's labels opens it.
    QString entry;
    QTimer::singleShot(0, this, [&entry] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        entry = menu->actions().value(0)->text();
        menu->actions().value(0)->trigger();
        menu->close();
    });
    Click(popup->findChild<QLabel *>(calculator ? u"Display"_s : u"Words"_s), Qt::RightButton);
    QCOMPARE(entry, u"&About..."_s);

    auto *about = popup->findChild<TdvAboutForm *>();
    QVERIFY(about);
    QTRY_VERIFY(about->isVisible());
    QVERIFY(about->isModal());
    const QString text = about->findChild<QLabel *>(u"Text"_s)->text();
    QVERIFY(text.contains(u"dvTools"_s));
    QVERIFY(text.contains(u"Version " DVTOOLS_VERSION ""_s));
    const QPointer<TdvAboutForm> box(about);
    Click(about->findChild<QPushButton *>(u"OK"_s));
    QTRY_VERIFY(!box);
    QVERIFY(popup->isVisible());
}

QTEST_MAIN(tst_dvPopupForms)
#include "tst_dvPopupForms.moc"
