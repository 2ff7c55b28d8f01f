#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QDate>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include <climits>

#include "dvButton.h"
#include "dvCheckBox.h"
#include "dvCheckListBox.h"
#include "dvComboBox.h"
#include "dvDate.h"
#include "dvMemo.h"
#include "dvPopups.h"
#include "dvRadioButton.h"
#include "dvShortCut.h"
#include "dvTime.h"
#include "dvValue.h"
#include "dvtException.h"
#include "dvtFolders.h"
#include "dvtFormatSettings.h"
#include "dvtKeys.h"
#include "dvtMessageDlg.h"
#include "dvtTestForm.h"
#include "dvtTestTables.h"

using namespace Qt::StringLiterals;

// Stands in for the lookup key edit of a higher layer: the button knows that
// class by its name.
class TdvKey : public TdvEdit
{
    Q_OBJECT

public:
    using TdvEdit::TdvEdit;
};

namespace {

template<class Control>
Control *make(QWidget *parent, const QString &name, const QString &caption = QString())
{
    auto *control = new Control(parent);
    control->setObjectName(name);
    if (!caption.isNull())
        control->setProperty("text", caption);
    if (parent->layout())
        parent->layout()->addWidget(control);
    return control;
}

struct KindForm : ControlForm<QWidget>
{
    explicit KindForm(const QString &kind)
        : ControlForm([&](TestForm<> &form) { return AddControl(&form, kind); })
    {}
};

struct EditForm : ControlForm<TdvEdit>
{
    explicit EditForm(const QString &kind)
        : ControlForm(
            [&](TestForm<> &form) { return qobject_cast<TdvEdit *>(AddControl(&form, kind)); })
    {}
};

// Calls GetSQL or Valid of the edit's own class: they are not virtual.
template<class Call>
auto asKind(TdvEdit *edit, Call call)
{
    if (auto *value = qobject_cast<TdvValue *>(edit))
        return call(value);
    if (auto *date = qobject_cast<TdvDate *>(edit))
        return call(date);
    if (auto *time = qobject_cast<TdvTime *>(edit))
        return call(time);
    return call(edit);
}

QString usDate(int year, int month, int day)
{
    return u"%1/%2/%3"_s.arg(month).arg(day).arg(year, 4, 10, QChar(u'0'));
}

// Whether the text is the current date or time in the edit's pattern (the clock
// may have moved on by a minute meanwhile).
bool isNow(const TdvEdit *edit)
{
    const QString pattern = edit->property("FormatStr").toString();
    const dvt::TDateTime now = dvt::Now();
    return edit->text() == dvt::FormatDateTime(pattern, now)
           || edit->text() == dvt::FormatDateTime(pattern, now - 1.0 / 1440);
}

// Greater, Equal, Smaller and GetInterval of two edits of a kind, as a list.
template<class Edit>
QVariantList compared(const QString &mine, const QString &theirs)
{
    Edit a;
    Edit b;
    a.setText(mine);
    b.setText(theirs);
    return {a.Greater(b), a.Equal(b), a.Smaller(b), double(a.GetInterval(b))};
}

// Counts the changes of the control's value: a click, a choice, a check mark, text.
void countChanges(QWidget *control, int &changes)
{
    const auto count = [&changes] { ++changes; };
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        QObject::connect(button, &QAbstractButton::clicked, count);
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        QObject::connect(combo, &QComboBox::currentIndexChanged, count);
    else if (auto *list = qobject_cast<QListWidget *>(control))
        QObject::connect(list, &QListWidget::itemChanged, count);
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        QObject::connect(edit, &QLineEdit::textChanged, count);
    else
        QObject::connect(qobject_cast<QPlainTextEdit *>(control), &QPlainTextEdit::textChanged,
                         count);
}

// Opens the control's own pop-up (a check list's menu, a combo box's list), which
// takes the keyboard for a while; false for a control without one.
bool openOwnPopup(QWidget *control)
{
    if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->showPopup();
    else if (auto *list = qobject_cast<QListWidget *>(control))
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    else
        return false;
    return QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; });
}

// The check marks as "1" and "0", first item first.
QString marks(const TdvCheckListBox *list)
{
    QString result;
    for (int row = 0; row < list->count(); ++row)
        result += list->Checked(row) ? u'1' : u'0';
    return result;
}

// The caption's font style beside bold ("italic underline strike-out", in this
// order, each when set), and its setting.
QString styleOf(const QWidget *control)
{
    const QFont font = control->font();
    QStringList style;
    if (font.italic())
        style << u"italic"_s;
    if (font.underline())
        style << u"underline"_s;
    if (font.strikeOut())
        style << u"strike-out"_s;
    return style.join(u' ');
}
void addStyle(QWidget *control, const QString &style)
{
    QFont font = control->font();
    font.setItalic(font.italic() || style.contains(u"italic"));
    font.setUnderline(font.underline() || style.contains(u"underline"));
    font.setStrikeOut(font.strikeOut() || style.contains(u"strike-out"));
    control->setFont(font);
}

// A form with a required edit and a Save button that counts its clicks.
struct SaveForm
{
    TestForm<> form;
    TdvEdit *name = form.add<TdvEdit>(u"Name"_s);
    TdvButton *save = make<TdvButton>(&form, u"Save"_s, u"&Save"_s);
    int clicks = 0;

    SaveForm()
    {
        name->SetNotNull(true);
        QObject::connect(save, &QPushButton::clicked, save, [this] { ++clicks; });
    }
};

// The rows of the tables, their fields named where they are read.
using S = QString;
using ContractKey = std::tuple<S, int, int, bool, bool>;
using Marking = std::tuple<S, S, QColor, dvt::TColor, S>;
using Loading = std::tuple<S, S, bool, bool, S, S>;
using CheckBoxKeys = std::tuple<bool, QList<int>, bool>;
using RadioSpace = std::tuple<int, int, bool, int>;
using MenuCommand = std::tuple<S, bool, S>;
using Validation = std::tuple<QStringList, bool, int, bool>;
using Press = std::tuple<S, bool, bool, int, bool, bool>;
using InsertKey = std::tuple<S, QStringList, QStringList>;
using Typing = std::tuple<S, S, S, S, int, int, int>;
using Leaving = std::tuple<S, S, S, bool, S>;
using KindAndTexts = std::tuple<S, S, S, S>;
using ValidTyped = std::tuple<S, S, bool, S>;
using KindAndText = std::tuple<S, S>;
using EditSQL = std::tuple<S, bool, bool, S>;
using EditValid = std::tuple<S, bool, int, bool, bool>;
using Words = std::tuple<S, bool, S>;
using Reading = std::tuple<S, S, S, bool, S>;
using DateOp = std::tuple<S, std::function<void(TdvDate &)>, S>;
using Compare = std::tuple<S, S, S, QVariantList>;
using TimeOp = std::tuple<S, std::function<void(TdvTime &)>, S>;
using Restyle = std::tuple<S, S, S, S, S>;
using Gesture = std::tuple<S, S, std::function<void(EditForm &)>>;
using TabOrder = std::tuple<bool, S>;

} // namespace

class tst_dvControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        dvt::FormatSettings() = dvt::TFormatSettings();
        dvPopups::ResetOpenRequests();
        dvPopups::SetCalculatorOpener({});
        dvPopups::SetCalendarOpener({});
        QFile::remove(dvt::UserFolder() + dvt::KeptValuesFileName());
    }

    // Each kind keeps the characters it can use; the application's handler sees
    // each key, a swallowed one as the null character. A trigger opens the pop-up.
    void typing_data()
    {
        const auto row = RowColumn<Typing>();
        const S value = u"value"_s, date = u"date"_s, time = u"time"_s, q = u"?"_s;
        row("edit takes all", {u"edit"_s, q, u"1a$?-"_s, u"1a$?-"_s, 0, 0, 0});
        row("value, not checked per key", {value, q, u"1-2..3-"_s, u"1-2..3-"_s, 0, 0, 0});
        row("value, symbols and letters dropped", {value, q, u"$ (x)%e+*/="_s, S(), 11, 0, 0});
        row("value, C empties", {value, q, u"12C34"_s, u"34"_s, 1, 0, 0});
        row("value, trigger", {value, q, u"1?2"_s, u"12"_s, 1, 1, 0});
        row("value, triggers", {value, u"#="_s, u"5=#?"_s, u"5"_s, 3, 2, 0});
        row("value, trigger before C", {value, u"c"_s, u"5c"_s, u"5"_s, 1, 1, 0});
        row("date", {date, q, u"1a2.3-x4"_s, u"1234"_s, 4, 0, 0});
        row("date, trigger", {date, q, u"12?"_s, u"12"_s, 1, 0, 1});
        row("time", {time, q, u"1x0.3:5pm"_s, u"103:5pm"_s, 2, 0, 0});
        row("time, signs", {time, q, u"bc-+/?"_s, S(), 6, 0, 0});
    }
    void typing()
    {
        const auto &[kind, trigger, keys, text, swallowed, calculator, calendar] = Row<Typing>();
        EditForm f(kind);
        f.control->setProperty("Trigger", trigger);
        QList<QChar> seen;
        f.control->OnKeyPress = [&](QObject *, QChar &key) { seen << key; };
        QVERIFY(f.show());
        f.control->clear();
        f.form.type(keys);
        QCOMPARE(f.control->text(), text);
        QCOMPARE(seen.size(), keys.size());
        QCOMPARE(seen.count(QChar()), swallowed);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calculator), calculator);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calendar), calendar);
    }

    // The trigger and a plain right click open the pop-up, handed the edit, and
    // show no menu; Ctrl with the right click shows the edit's own menu.
    void popups()
    {
        for (const S &kind : {u"value"_s, u"date"_s}) {
            const bool value = kind == u"value";
            const auto popup = value ? dvPopups::Calculator : dvPopups::Calendar;
            QList<QWidget *> owners;
            const auto opener = [&](QWidget *owner) { owners << owner; };
            value ? dvPopups::SetCalculatorOpener(opener) : dvPopups::SetCalendarOpener(opener);
            EditForm f(kind);
            QVERIFY(f.show());
            f.form.type(u"?"_s);
            f.form.click(f.control, Qt::RightButton);
            QVERIFY(!QApplication::activePopupWidget());
            f.form.click(f.control, Qt::LeftButton);
            f.form.click(f.control, Qt::RightButton, Qt::ControlModifier);
            QVERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
            QApplication::activePopupWidget()->close();
            QCOMPARE(owners, (QList<QWidget *>{f.control, f.control}));
            QCOMPARE(dvPopups::OpenRequests(popup), 2);
            QCOMPARE(dvPopups::LastOwner(popup), f.control);
        }
    }

    // The text is read and shown anew as the focus leaves, before Enter moves on;
    // text that does not read stays.
    void leaving_data()
    {
        const auto row = RowColumn<Leaving>();
        const S value = u"value"_s, date = u"date"_s, time = u"time"_s;
        row("value", {value, S(), u"1234.5"_s, false, u"$1,234.50"_s});
        row("value, Enter", {value, S(), u"1234.5"_s, true, u"$1,234.50"_s});
        row("value, negative", {value, S(), u"(12)"_s, false, u"($12.00)"_s});
        row("value, letters", {value, S(), u"abc"_s, false, u"$0.00"_s});
        row("value, too large for a double", {value, S(), S(400, u'9'), false, u"$0.00"_s});
        row("value, three decimals", {value, u"%.3f"_s, u"2.5"_s, false, u"2.500"_s});
        row("value, integer pattern fails", {value, u"%d"_s, u"2.5"_s, false, u"2.5"_s});
        row("date", {date, S(), u"1999/12/31"_s, true, u"12/31/1999"_s});
        row("date, impossible", {date, S(), u"02/30/2001"_s, false, u"02/30/2001"_s});
        row("time", {time, S(), u"9:5pm"_s, true, u"9:05 PM"_s});
        row("time, 25:61", {time, S(), u"25:61"_s, false, u"25:61"_s});
        row("time, an hour alone", {time, S(), u"10"_s, false, u"10"_s});
        row("time, an hour with a marker", {time, S(), u"10pm"_s, false, u"10pm"_s});
    }
    void leaving()
    {
        const auto &[kind, format, text, enter, shown] = Row<Leaving>();
        EditForm f(kind);
        if (!format.isEmpty())
            f.control->setProperty("FormatStr", format);
        f.control->SetEnterAsTab(enter);
        QVERIFY(f.show());
        S whenLeaving = u"(focus stayed)"_s;
        connect(qApp, &QApplication::focusChanged, &f.form, [&](QWidget *old, QWidget *) {
            if (old == f.control)
                whenLeaving = f.control->text();
        });
        f.control->setText(text);
        f.form.key(enter ? Qt::Key_Return : Qt::Key_Tab);
        QTRY_VERIFY(f.after->hasFocus());
        QCOMPARE(whenLeaving, shown);
        QCOMPARE(f.control->text(), shown);
    }

    // Bad input by the clipboard: taken whole, never a crash. Editing commands
    // are no text.
    void pasting_data()
    {
        const auto row =
            RowColumn<KindAndTexts>(); // kind, pasted, shown when the focus has left, SQL
        const S many(10'000, u'1');
        const S odd = many + u"\"\x01/:\x02"_s;
        row("edit", {u"edit"_s, odd, odd, many + u"\x01/:\x02"_s});
        row("value", {u"value"_s, u"$ 1,000"_s, u"$1,000.00"_s, u"1000"_s});
        row("value, 10,000 digits", {u"value"_s, many, u"$0.00"_s, u"0"_s});
        row("date", {u"date"_s, odd, odd, u"null"_s});
        row("time", {u"time"_s, odd, odd, S()});
    }
    void pasting()
    {
        const auto &[kind, pasted, shown, sql] = Row<KindAndTexts>();
        EditForm f(kind);
        QVERIFY(f.show());
        f.control->clear();
        QGuiApplication::clipboard()->setText(pasted);
        f.form.key(Qt::Key_V, Qt::ControlModifier);
        f.form.key(Qt::Key_A, Qt::ControlModifier); // and Ctrl+C copies, not C clearing
        f.form.key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), pasted);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.control->text(), shown);
        QCOMPARE(asKind(f.control, [](auto *edit) { return edit->GetSQL(); }), sql);
    }

    // The typed edits' own tests of a required edit; OnValidation is not asked.
    void validTyped_data()
    {
        const auto row = RowColumn<ValidTyped>(); // kind, text, valid, shown afterwards
        row("value", {u"value"_s, u"$1.50"_s, true, u"$1.50"_s});
        row("value, empty", {u"value"_s, S(), false, S()});
        row("value, two signs", {u"value"_s, u"1-2"_s, false, u"1-2"_s});
        row("date, year first", {u"date"_s, u"2001/1/1"_s, false, u"2001/1/1"_s});
        row("time, normalised", {u"time"_s, u"13:05"_s, true, u"1:05 PM"_s});
        row("time, no time", {u"time"_s, u"abc"_s, false, u"abc"_s});
    }
    void validTyped()
    {
        const auto &[kind, text, valid, shown] = Row<ValidTyped>();
        TestForm<> form;
        auto *edit = qobject_cast<TdvEdit *>(AddControl(&form, kind));
        edit->setText(text);
        edit->SetNotNull(true);
        bool asked = false;
        edit->OnValidation = [&](QObject *, const QString &, bool &) { asked = true; };
        QCOMPARE(asKind(edit, [](auto *edit) { return edit->Valid(); }), valid);
        QVERIFY(!asked);
        QCOMPARE(edit->text(), shown);
    }

    // DefaultNow fills an empty date or time as the focus comes and goes; a
    // readable one stays. Loading puts today in a date edit over its kept value,
    // while a readable time that is loaded stays.
    void defaultNow_data()
    {
        const auto row = RowColumn<KindAndText>(); // kind, a readable text
        row("date", {u"date"_s, usDate(1999, 1, 1)});
        row("time", {u"time"_s, u"7:15 AM"_s});
    }
    void defaultNow()
    {
        const auto &[kind, readable] = Row<KindAndText>();
        EditForm f(kind);
        f.control->setProperty("DefaultNow", true);
        f.control->SetKeepValue(true);
        dvt::WriteKeptValue(f.control, readable);
        QVERIFY(f.show());
        QCOMPARE(f.control->text() == readable, kind == u"time");
        f.control->clear();
        f.form.key(Qt::Key_Tab);
        f.form.key(Qt::Key_Tab);
        QVERIFY2(isNow(f.control), qPrintable(f.control->text()));
        f.control->setText(readable);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.control->text(), readable);
    }

    // What the user leaves in a control with KeepValue is kept, in a file named
    // after the program, and comes back in the next instance of the form.
    void keptValueSurvivesTheForm_data()
    {
        const auto row = RowColumn<KindAndTexts>(); // kind, typed, kept, shown next time
        row("edit", {u"edit"_s, u"Smith & Co"_s, u"Smith & Co"_s, u"Smith & Co"_s});
        row("value: as typed", {u"value"_s, u"1234.5"_s, u"1234.5"_s, u"$1,234.50"_s});
        row("check box", {u"check box"_s, u" "_s, u"Yes"_s, u"true"_s});
    }
    void keptValueSurvivesTheForm()
    {
        const auto &[kind, typed, kept, shown] = Row<KindAndTexts>();
        const char *value = kind == u"check box" ? "checked" : "text";
        for (const bool again : {false, true}) {
            KindForm f(kind);
            f.control->setProperty("KeepValue", true);
            f.control->setProperty(value, u"designed"_s);
            QVERIFY(f.show());
            if (again) {
                QCOMPARE(f.control->property(value).toString(), shown);
                break;
            }
            f.control->setProperty(value, S());
            f.form.type(typed);
            QCOMPARE(dvt::ReadKeptValue(f.control, u"none"_s), u"none"_s); // at focus loss
            f.form.key(Qt::Key_Tab);
            QCOMPARE(dvt::ReadKeptValue(f.control), kept);
        }
        const S file =
            dvt::UserFolder() + QCoreApplication::applicationName().toLower() + u".values.ini"_s;
        QVERIFY2(QFile::exists(file), qPrintable(file));
    }

    void editGetSQL_data()
    {
        const auto row = RowColumn<EditSQL>(); // text, own AutoTrimText, the panel's, SQL
        row("quotes removed", {u"say \"hi\""_s, false, false, u"say hi"_s});
        row("panel trims", {u" \"x\" "_s, false, true, u"x"_s});
        row("own trims control characters", {u"\t x\x01"_s, true, false, u"x"_s});
    }
    void editGetSQL()
    {
        const auto &[text, ownTrim, panelTrim, sql] = Row<EditSQL>();
        EditForm f(u"edit"_s);
        QVERIFY(f.show());
        f.form.addPanel()->SetAutoTrimText(panelTrim);
        f.control->SetAutoTrimText(ownTrim);
        f.control->setText(text);
        QCOMPARE(f.control->GetSQL(), sql);
    }

    // OnValidation has the last word, seeing the edit's own verdict.
    void editValid_data()
    {
        const auto row = RowColumn<EditValid>(); // text, NotNull, handler (0 none, 1 accepts, -1
                                                 // refuses), the verdict it sees, valid
        row("control characters", {u"\t\r\n"_s, true, 0, false, false});
        row("handler accepts blanks", {u"   "_s, true, 1, false, true});
        row("handler refuses text", {u"abc"_s, false, -1, true, false});
    }
    void editValid()
    {
        const auto &[text, notNull, handler, handlerSees, valid] = Row<EditValid>();
        TdvEdit edit;
        edit.setText(text);
        edit.SetNotNull(notNull);
        QList<QVariant> seen;
        if (handler != 0) {
            edit.OnValidation = [&](QObject *s, const QString &t, bool &v) {
                seen << QVariant::fromValue(s) << t << v;
                v = handler > 0;
            };
        }
        QCOMPARE(edit.Valid(), valid);
        if (handler != 0)
            QCOMPARE(seen,
                     (QVariantList{QVariant::fromValue<QObject *>(&edit), text, handlerSees}));
    }

    // Drawn right-aligned while idle, left-aligned while the active control
    // (what is set meanwhile has no lasting effect).
    void editRightAlignmentIsDrawn()
    {
        EditForm f(u"edit"_s);
        f.after->SetAlignment(dvt::taRightJustify);
        QVERIFY(f.show());
        f.after->setText(u"8888"_s);
        const int width = f.after->width();
        // The inset is the text margin less one, plus the frame and the glyphs' own
        // side bearing.
        const int right = width - 1 - (f.after->CalcTextMargin() - 1) - 2;
        const auto checkIdle = [&] {
            const int last = InkColumns(f.after).second;
            QVERIFY2(last <= right && last >= right - 4, qPrintable(u"%1"_s.arg(last)));
        };
        checkIdle();
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.after->Alignment(), dvt::taLeftJustify);
        f.after->SetAlignment(dvt::taCenter);
        f.form.key(Qt::Key_End); // Tab selected the text: draw it unselected
        const auto [first, last] = InkColumns(f.after);
        QVERIFY2(first <= 8 && last < width / 2, qPrintable(u"%1..%2"_s.arg(first).arg(last)));
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.after->Alignment(), dvt::taRightJustify);
        checkIdle();
    }

    void valueSetAndRead()
    {
        TdvValue value;
        value.SetValue(u"1 234.5"_s);
        QCOMPARE(value.text(), u"$1,234.50"_s);
        QCOMPARE(value.GetFValue(), 1234.5);
        QCOMPARE(value.GetSQL(), u"1234.5"_s);
        value.SetValue(-0.5);
        QCOMPARE(value.text(), u"($0.50)"_s);
        // "%m" wants a floating argument.
        QVERIFY_THROWS_EXCEPTION(dvt::EConvertError, value.SetValue(7));
        QCOMPARE(value.text(), u"($0.50)"_s);
        value.SetValue(1e300);
        QVERIFY(value.text().startsWith(u"$1,000,000,000,000,00"_s));
        QCOMPARE(value.GetSQL(), u"1E300"_s);
        value.setText(u"0.000001"_s);
        QCOMPARE(value.GetSQL(), u"1E-6"_s);
        value.setText(u"1-2"_s);
        QCOMPARE(value.GetFValue(), 0.0);
        value.SetFormatStr(u"%d"_s);
        value.SetValue(7);
        QCOMPARE(value.text(), u"7"_s);
    }

    void valueGetWords_data()
    {
        const auto row = RowColumn<Words>(); // text, currency, words
        row("money", {u"$1,234.56"_s, true,
                      u"One Thousand, Two Hundred, Tirty Four Dollars and "
                      u"Fifty Six Cents"_s});
        row("whole only", {u"$1.01"_s, false, u"One "_s});
        row("empty", {S(), true, u"Zero"_s});
    }
    void valueGetWords()
    {
        const auto &[text, currency, words] = Row<Words>();
        TdvValue edit;
        edit.setText(text);
        QCOMPARE(edit.GetWords(currency), words);
    }

    void valueOtherLocale()
    {
        dvt::TFormatSettings &settings = dvt::FormatSettings();
        settings.CurrencyString = u"€"_s;
        settings.CurrencyFormat = 3; // "1 €"
        settings.NegCurrFormat = 8;  // "-1 €"
        settings.ThousandSeparator = u'.';
        settings.DecimalSeparator = u',';
        EditForm f(u"value"_s);
        QVERIFY(f.show());
        f.control->clear();
        f.form.type(u"-1.234,5"_s);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.control->text(), u"-1.234,50 €"_s);
        QCOMPARE(qobject_cast<TdvValue *>(f.control)->GetSQL(), u"-1234,5"_s);
    }

    // Dates have two readings: the locale's order, and year first. Where neither
    // reads, or the time does not, the text stays, or with DefaultNow the current
    // date or time is shown.
    void reading_data()
    {
        const auto row = RowColumn<Reading>(); // kind, pattern, input, read, shown
        const S year = S::number(QDate::currentDate().year());
        const S us = u"m/d/yyyy"_s, uk = u"dd/mm/yyyy"_s, dotted = u"dd.mm.yyyy"_s;
        const S date = u"date"_s, time = u"time"_s, clock = u"hh:nn:ss"_s, left = u"left"_s;
        row("month first", {date, us, u"12/31/1999"_s, true, u"12/31/1999"_s});
        row("year first", {date, us, u"1999/12/31"_s, true, u"12/31/1999"_s});
        row("current year", {date, us, u"12/31"_s, true, u"12/31/"_s + year});
        row("two-digit year", {date, us, u"1/2/03"_s, true, u"1/2/2003"_s});
        row("noise dropped", {date, us, u"x12/31/1999y"_s, true, u"12/31/1999"_s});
        row("day first", {date, us, u"15/3"_s, false, left});
        row("30 February", {date, us, u"02/30/2001"_s, false, left});
        row("year 10000", {date, us, u"10000/1/1"_s, false, left});
        row("10,000 characters", {date, us, S(10'000, u'/'), false, left});
        row("day first locale", {date, uk, u"15/3"_s, true, u"15/03/"_s + year});
        row("day first, month first", {date, uk, u"12/31/1999"_s, false, left});
        row("point", {date, dotted, u"31/12/1999"_s, true, u"31.12.1999"_s});
        row("seconds", {time, clock, u"10:35:20"_s, true, u"10:35:20"_s});
        row("pm", {time, clock, u"1:30 pm"_s, true, u"13:30:00"_s});
        row("midnight", {time, clock, u"12:00 am"_s, true, u"00:00:00"_s});
        row("short parts", {time, clock, u"1:2:3"_s, true, u"01:02:03"_s});
        row("short format", {time, u"h:nn AMPM"_s, u"13:30"_s, true, u"1:30 PM"_s});
        row("25:61", {time, clock, u"25:61"_s, false, left});
        row("hour alone", {time, clock, u"10"_s, false, left});
        row("13 pm", {time, clock, u"13:00 pm"_s, false, left});
        row("10,000 digits", {time, clock, S(10'000, u'1'), false, left});
    }
    void reading()
    {
        const auto &[kind, pattern, input, read, shown] = Row<Reading>();
        // A date pattern with points stands for the locale's "/" shown as a point.
        dvt::FormatSettings().ShortDateFormat = S(pattern).replace(u'.', u'/');
        dvt::FormatSettings().DateSeparator = pattern.contains(u'.') ? u'.' : u'/';
        TestForm<> form;
        auto *edit = qobject_cast<TdvEdit *>(AddControl(&form, kind));
        if (kind == u"time")
            edit->setProperty("FormatStr", pattern);
        edit->setText(u"left"_s);
        const auto set = [&] {
            auto *date = qobject_cast<TdvDate *>(edit);
            return date ? date->SetDate(input) : qobject_cast<TdvTime *>(edit)->SetTime(input);
        };
        QCOMPARE(set(), read);
        QCOMPARE(edit->text(), shown);
        edit->setProperty("DefaultNow", true);
        if (!read)
            QVERIFY(!set() && isNow(edit));
    }

    // A read-only edit keeps its value: the keys that would change it, its
    // trigger and a right click do nothing, and no pop-up opens.
    void readOnlyKeepsItsValue_data()
    {
        const auto row = RowColumn<Gesture>(); // kind, text, gesture
        const auto keys = [](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            return [=](EditForm &f) { f.form.key(key, modifiers); };
        };
        const auto type = [](const S &text) { return [=](EditForm &f) { f.form.type(text); }; };
        const auto rightClick = [](EditForm &f) {
            f.form.click(f.control, Qt::RightButton);
            if (QWidget *menu = QApplication::activePopupWidget())
                menu->close();
        };
        const S value = u"value"_s, date = u"date"_s, amount = u"$12.00"_s, day = u"12/31/1999"_s;
        row("value, C", {value, amount, type(u"C"_s)});
        row("value, c", {value, amount, type(u"c"_s)});
        row("value, trigger", {value, amount, type(u"?"_s)});
        row("value, right click", {value, amount, rightClick});
        row("date, keypad plus", {date, day, keys(Qt::Key_Plus, Qt::KeypadModifier)});
        row("date, main plus", {date, day, keys(Qt::Key_Plus, Qt::ShiftModifier)});
        row("date, keypad minus", {date, day, keys(Qt::Key_Minus, Qt::KeypadModifier)});
        row("date, main minus", {date, day, keys(Qt::Key_Minus, Qt::NoModifier)});
        row("date, trigger", {date, day, type(u"?"_s)});
        row("date, right click", {date, day, rightClick});
    }
    void readOnlyKeepsItsValue()
    {
        const auto &[kind, text, gesture] = Row<Gesture>();
        EditForm f(kind);
        QVERIFY(f.show());
        f.control->setText(text);
        f.control->setReadOnly(true);
        gesture(f);
        QCOMPARE(f.control->text(), text);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calculator), 0);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calendar), 0);
    }

    // Plus and minus move a day, by the keypad or the main keyboard; "=" is no
    // date character.
    void datePlusAndMinusKeys()
    {
        EditForm f(u"date"_s);
        QVERIFY(f.show());
        f.control->setText(u"12/31/1999"_s);
        f.form.key(Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(f.control->text(), u"1/1/2000"_s);
        f.form.key(Qt::Key_Plus, Qt::ShiftModifier);
        QCOMPARE(f.control->text(), u"1/2/2000"_s);
        f.form.key(Qt::Key_Minus);
        f.form.key(Qt::Key_Minus, Qt::KeypadModifier);
        f.form.key(Qt::Key_Equal);
        QCOMPARE(f.control->text(), u"12/31/1999"_s);
    }

    void dateOperations_data()
    {
        const auto row = RowColumn<DateOp>(); // start, operation, shown
        const auto adjust = [](int days, int months, int years, int weeks) {
            return [=](TdvDate &d) { d.Adjust(days, months, years, weeks); };
        };
        const S first = usDate(2000, 1, 1), last = usDate(9999, 12, 31);
        row("a month, to a shorter one",
            {usDate(2000, 1, 31), adjust(0, 1, 0, 0), usDate(2000, 2, 29)});
        row("months before days", {usDate(2000, 1, 31), adjust(1, 1, 0, 0), usDate(2000, 3, 1)});
        row("a year from 29 February",
            {usDate(2000, 2, 29), adjust(0, 0, 1, 0), usDate(2001, 2, 28)});
        row("weeks", {usDate(2000, 1, 15), adjust(0, 0, 0, 2), usDate(2000, 1, 29)});
        row("after the last day", {last, adjust(1, 0, 0, 0), last});
        row("huge months", {first, adjust(0, INT_MAX, INT_MAX, 0), first});
        row("huge days", {first, adjust(INT_MIN, 0, 0, INT_MIN), first});
        row("unreadable", {u"02/30/2001"_s, adjust(1, 0, 0, 0), u"02/30/2001"_s});
        row("end of February, leap year",
            {usDate(2000, 2, 15), &TdvDate::SetEndOfMonth, usDate(2000, 2, 29)});
        row("begin of month", {usDate(2000, 2, 15), &TdvDate::SetBeginOfMonth, usDate(2000, 2, 1)});
        row("begin of year", {usDate(2000, 7, 4), &TdvDate::SetBeginOfYear, usDate(2000, 1, 1)});
        row("end of year", {usDate(2000, 7, 4), &TdvDate::SetEndOfYear, usDate(2000, 12, 31)});
        row("begin of week on a Wednesday",
            {usDate(2000, 1, 5), &TdvDate::SetBeginOfWeek, usDate(2000, 1, 2)});
        row("end of week over a year",
            {usDate(1999, 12, 30), &TdvDate::SetEndOfWeek, usDate(2000, 1, 1)});
        row("year-first text", {u"1999/12/5"_s, &TdvDate::SetEndOfMonth, usDate(1999, 12, 31)});
        row("end of the last week", {last, &TdvDate::SetEndOfWeek, last});
        row("no date", {u"abc"_s, &TdvDate::SetEndOfWeek, u"abc"_s});
    }
    void dateOperations()
    {
        const auto &[start, operation, shown] = Row<DateOp>();
        TdvDate date;
        date.setText(start);
        operation(date);
        QCOMPARE(date.text(), shown);
    }

    // What the getters read, joined by "|"; reading changes nothing.
    void dateGetters()
    {
        TdvDate date;
        const auto read = [&](const S &text) {
            date.setText(text);
            const QList<int> parts{date.GetYear(), date.GetMonth(), date.GetDay(),
                                   date.GetDayOfWeek()};
            QStringList all{date.GetSQL(), date.GetYMD(), date.GetWords(), date.GetMonthWords(),
                            date.GetWeekWords()};
            for (int part : parts)
                all << S::number(part);
            return date.text() == text ? all.join(u'|') : u"changed"_s;
        };
        QCOMPARE(
            read(usDate(2000, 1, 31)),
            u"\"01/31/2000\"|2000/01/31|Monday, January 31, 2000|January|Monday|2000|1|31|2"_s);
        QCOMPARE(date.GetDateTime(), dvt::EncodeDate(2000, 1, 31));
        QCOMPARE(read(u"2000/1/31"_s), u"null|          ||January|Sunday|0|1|1|1"_s); // no date
        QVERIFY_THROWS_EXCEPTION(dvt::EConvertError, date.GetDateTime());
        // The SQL text is month first, with the locale's separator.
        dvt::FormatSettings().ShortDateFormat = u"dd.mm.yyyy"_s;
        dvt::FormatSettings().DateSeparator = u'.';
        TdvDate dotted;
        QVERIFY(dotted.SetDate(1970, 1, 31));
        QCOMPARE(dotted.text(), u"31.01.1970"_s);
        QCOMPARE(dotted.GetSQL(), u"\"01.31.1970\""_s);
    }

    void dateSetDate()
    {
        TdvDate date;
        QVERIFY(date.SetDate(dvt::EncodeDate(2000, 2, 29) + 0.75));
        QCOMPARE(date.text(), usDate(2000, 2, 29));
        QVERIFY(!date.SetDate(2001, 2, 29) && !date.SetDate(10000, 1, 1));
        QVERIFY(!date.SetDate(dvt::EncodeDate(1, 1, 1) - 1));
        date.SetFormatStr(u"yyyy 'year"_s); // unterminated quote
        QVERIFY(!date.SetDate(dvt::EncodeDate(2001, 1, 1)));
        date.Adjust(1);
        QCOMPARE(date.text(), usDate(2000, 2, 29));
    }

    void timeSetAndRead()
    {
        TdvTime time;
        time.SetFormatStr(u"hh:nn:ss"_s);
        QVERIFY(time.SetTime(10, 35, 20));
        QVERIFY(!time.SetTime(24, 0, 0) && !time.SetTime(0, 0, 60));
        QCOMPARE(time.GetSQL(), u"10:35:20"_s);
        QCOMPARE(QList({time.GetHour(), time.GetMin(), time.GetSec()}), QList({10, 35, 20}));
        QCOMPARE(time.GetDecimal(), 10 + 35 / 60.0 + 20 / 6000.0);
        QVERIFY(time.SetTime(1.3015)); // packed: hours, minutes, seconds
        QCOMPARE(time.text(), u"01:30:15"_s);
        time.SetFormatStr(u"hh 'o"_s); // unterminated quote
        QVERIFY(!time.SetTime(2.0));
        QCOMPARE(time.text(), u"01:30:15"_s);
        dvt::FormatSettings().TimeSeparator = u'.';
        time.SetFormatStr(u"hh:nn"_s);
        QVERIFY(time.SetTime(u"10.35"_s));
        QCOMPARE(time.text() + time.GetSQL(), u"10.3510.35.00"_s);
    }

    // By hours, minutes and seconds, or by a packed number (hours, then two
    // digits each of minutes and seconds), round the clock.
    void timeAdjust_data()
    {
        const auto row = RowColumn<TimeOp>(); // start, operation, shown
        const auto by = [](int h, int m, int s) { return [=](TdvTime &t) { t.Adjust(h, m, s); }; };
        const auto packed = [](double by) { return [=](TdvTime &t) { t.Adjust(by); }; };
        const S ten = u"10:00:00"_s, midnight = u"00:00:00"_s;
        row("over midnight", {u"23:59:30"_s, by(0, 0, 45), u"00:00:15"_s});
        row("a day and an hour", {ten, by(25, 0, 0), u"11:00:00"_s});
        row("mixed signs", {ten, by(-1, 61, -1), u"10:00:59"_s});
        row("most seconds", {midnight, by(0, 0, INT_MAX), u"03:14:07"_s});
        row("no time counts as midnight", {S(), by(1, 2, 3), u"01:02:03"_s});
        row("packed", {midnight, packed(1.3015), u"01:30:15"_s});
        row("packed, sign of the hours only", {u"05:00:00"_s, packed(-2.45), u"03:45:00"_s});
        row("packed, sixty minutes", {ten, packed(0.6), u"11:00:00"_s});
        row("packed, not a number", {ten, packed(qQNaN()), ten});
    }
    void timeAdjust()
    {
        const auto &[start, operation, shown] = Row<TimeOp>();
        TdvTime time;
        time.SetFormatStr(u"hh:nn:ss"_s);
        time.setText(start);
        operation(time);
        QCOMPARE(time.text(), shown);
    }

    void compare_data()
    {
        const auto row = RowColumn<Compare>(); // kind, mine, theirs, expected
        const S date = u"date"_s, time = u"time"_s, first = usDate(2000, 1, 1);
        row("date, a century before",
            {date, usDate(1900, 1, 1), first, {false, false, true, -36524.0}});
        row("date, same day", {date, first, u"01/01/2000"_s, {false, true, false, 0.0}});
        row("date, none against one", {date, S(), first, {false, false, true, 0.0}});
        row("date, none", {date, S(), u"02/30/2001"_s, {false, true, false, 0.0}});
        row("time, 2.5 hours to even",
            {time, u"10:30:00"_s, u"08:00:00"_s, {true, false, false, 2.0}});
        row("time, same", {time, u"8:00 AM"_s, u"08:00:00"_s, {false, true, false, 0.0}});
        row("time, a second before a minute",
            {time, u"10:00:59"_s, u"10:01:00"_s, {false, false, true, 0.0}});
        row("time, empty", {time, S(), u"10:00:00"_s, {true, false, true, 0.0}});
        row("time, none but not empty",
            {time, u"25:61"_s, u"00:00:00"_s, {false, true, false, 0.0}});
    }
    void compare()
    {
        const auto &[kind, mine, theirs, expected] = Row<Compare>();
        QCOMPARE(kind == u"date" ? compared<TdvDate>(mine, theirs)
                                 : compared<TdvTime>(mine, theirs),
                 expected);
    }

    // Enter moves to the next control (Enter as Tab) and Esc closes the active
    // form (Close on Esc), each when the control's own flag for it or the control
    // panel's is set. A memo breaks the line on Enter and a button is pressed by
    // it (enterBreaksTheMemoLine, buttonPress): Esc only for them.
    void contractKeys_data()
    {
        const auto row = RowColumn<ContractKey>(); // kind, key, modifiers, own, panel's
        for (const S &kind : {u"edit"_s, u"check box"_s, u"radio button"_s, u"combo box"_s,
                              u"check list"_s, u"memo"_s, u"button"_s}) {
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
                if (key == Qt::Key_Return && (kind == u"memo" || kind == u"button"))
                    continue;
                const char *name = key == Qt::Key_Escape ? "Esc" : "Enter";
                for (const auto &[flags, own, panel] : {std::tuple{"own", true, false},
                                                        {"panel's", false, true},
                                                        {"none", false, false}})
                    QTest::addRow("%s, %s, %s", qPrintable(kind), name, flags)
                        << ContractKey{kind, key, 0, own, panel};
            }
        }
        // Modifiers make no other key of it: Enter still moves on.
        row("edit, Shift+Enter, own", {u"edit"_s, Qt::Key_Return, Qt::ShiftModifier, true, false});
        row("edit, Ctrl+Enter, panel's",
            {u"edit"_s, Qt::Key_Return, Qt::ControlModifier, false, true});
    }
    void contractKeys()
    {
        const auto &[kind, key, modifiers, own, panel] = Row<ContractKey>();
        const bool esc = key == Qt::Key_Escape;
        const bool acts = own || panel;
        KindForm f(kind);
        // The flags of the other key are set, so that a key answers to its own only.
        f.control->setProperty("EnterAsTab", esc || own);
        f.control->setProperty("CloseOnEsc", !esc || own);
        // The application's handler sees a consumed key as the null key.
        QList<quint16> seen;
        dynamic_cast<dvt::TKeyHandler *>(f.control)->OnKeyDown =
            [&](QObject *, quint16 &key, dvt::TShiftState) { seen << key; };
        QVERIFY(f.show());
        int changes = 0;
        countChanges(f.control, changes);
        TdvControlPanel *settings = f.form.addPanel();
        settings->SetEnterAsTab(esc || panel);
        settings->SetCloseOnEsc(!esc || panel);
        f.form.key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.form.isVisible(), !(esc && acts));
        if (!(esc && acts))
            QTRY_COMPARE(QApplication::focusWidget(), acts ? f.after : f.control);
        QCOMPARE(seen.value(seen.size() - 1, 0xFFFF), acts  ? 0
                                                      : esc ? dvt::vk::Escape
                                                            : dvt::vk::Return);
        QCOMPARE(changes, 0);
    }

    // Focus marking, by Tab into the control and on: a colour painted, or a bold
    // caption for controls that never paint the colour. The look the control had
    // before (a colour or "bold") comes back when the focus leaves.
    void focusMarking_data()
    {
        const auto row = RowColumn<Marking>(); // kind, designed, own, panel's, marked
        const QColor aqua(Qt::cyan);
        const QColor none;
        using dvt::clWindow, dvt::clYellow;
        row("edit, own", {u"edit"_s, S(), aqua, clWindow, u"cyan"_s});
        row("edit, panel's wins", {u"edit"_s, S(), aqua, clYellow, u"yellow"_s});
        row("memo, coloured", {u"memo"_s, u"lime"_s, none, clYellow, u"yellow"_s});
        row("check list", {u"check list"_s, S(), aqua, clWindow, u"cyan"_s});
        row("combo box", {u"combo box"_s, S(), aqua, clWindow, u"cyan"_s});
        row("combo box, editable", {u"combo box editable"_s, S(), none, clYellow, u"yellow"_s});
        row("check box", {u"check box"_s, S(), aqua, clWindow, u"bold"_s});
        row("check box, unasked", {u"check box"_s, S(), none, clWindow, S()});
        row("check box, bold already", {u"check box"_s, u"bold"_s, none, clWindow, u"bold"_s});
        row("radio button", {u"radio button"_s, S(), none, clYellow, u"bold"_s});
        row("button", {u"button"_s, S(), none, clYellow, u"bold"_s});
    }
    void focusMarking()
    {
        const auto &[kind, designed, own, panel, marked] = Row<Marking>();
        KindForm f(kind);
        f.control->setProperty("Highlight", own);
        if (designed == u"bold")
            dvt::SetBold(f.control, true);
        else if (!designed.isEmpty())
            dvt::SetColor(f.control, dvt::FromPropertyColor(QColor(designed)));
        QVERIFY(f.show());
        f.form.addPanel()->SetHighlight(panel);
        f.after->setFocus();
        QWidget *surface = f.control;
        if (auto *area = qobject_cast<QAbstractScrollArea *>(f.control))
            surface = area->viewport();
        else if (auto *combo = qobject_cast<QComboBox *>(f.control); combo && combo->isEditable())
            surface = combo->lineEdit();
        const QColor unfocused = BackgroundPixel(surface);
        if (!designed.isEmpty() && designed != u"bold")
            QCOMPARE(unfocused, QColor(designed));

        const QColor colour = marked == u"bold" ? QColor() : QColor(marked);
        const auto checkMarked = [&] {
            QCOMPARE(ShowsBold(f.control), marked == u"bold");
            // Nothing painted; a style draws a focused push button lighter, though.
            if (!colour.isValid() && !qobject_cast<QPushButton *>(f.control))
                QCOMPARE(BackgroundPixel(surface), unfocused);
            else if (qobject_cast<QComboBox *>(f.control)) // shaded by the style
                QVERIFY2(LooksLike(BackgroundPixel(surface), colour),
                         qPrintable(BackgroundPixel(surface).name()));
            else if (colour.isValid())
                QCOMPARE(BackgroundPixel(surface), colour);
        };
        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.control);
        checkMarked();
        if (openOwnPopup(f.control)) {
            checkMarked();
            QApplication::activePopupWidget()->close();
            QTRY_VERIFY(!QApplication::activePopupWidget());
            f.form.activateWindow(); // offscreen leaves the closed pop-up active
            QVERIFY(QTest::qWaitForWindowActive(&f.form));
            QCOMPARE(QApplication::focusWidget(), f.control);
            checkMarked();
        }
        // Tab leaves a memo rather than typing a tab character.
        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.after);
        QCOMPARE(ShowsBold(f.control), designed == u"bold");
        QCOMPARE(BackgroundPixel(surface), unfocused);
    }

    // The caption returns to its whole style, not only to its weight, when the
    // marking ends: check boxes and radio buttons to the style they had when they
    // took the focus, buttons to the style they had when they were loaded.
    void focusMarkingRestoresTheWholeStyle_data()
    {
        // kind, designed, set before the focus, set while focused, afterwards
        const auto row = RowColumn<Restyle>();
        const S check = u"check box"_s, radio = u"radio button"_s, button = u"button"_s;
        const S italic = u"italic"_s, underline = u"underline"_s, strike = u"strike-out"_s;
        row("check box, underline set", {check, S(), S(), underline, S()});
        row("check box, kept from before the focus",
            {check, strike, italic, underline, u"italic strike-out"_s});
        row("radio button, italic set", {radio, S(), S(), italic, S()});
        row("radio button, strike-out set", {radio, underline, S(), strike, underline});
        row("button, underline set", {button, strike, S(), underline, strike});
        row("button, not saved again on entering", {button, S(), italic, S(), S()});
    }
    void focusMarkingRestoresTheWholeStyle()
    {
        const auto &[kind, designed, before, during, after] = Row<Restyle>();
        KindForm f(kind);
        f.control->setProperty("Highlight", QColor(Qt::cyan));
        addStyle(f.control, designed);
        QVERIFY(f.show());
        f.form.addPanel()->SetHighlight(dvt::clYellow); // the button's marking
        f.after->setFocus();
        addStyle(f.control, before);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.control);
        QVERIFY(ShowsBold(f.control));
        addStyle(f.control, during);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.after);
        QVERIFY(!ShowsBold(f.control));
        QCOMPARE(styleOf(f.control), after);
    }

    // Loading empties a text control's design text, but in the designer. A kept
    // value wins over the designed one: a check box reads it in the designer
    // too, where only "Yes" exactly is checked.
    void loading_data()
    {
        // kind, kept value (null: none), designing, KeepValue, designed, afterwards
        const auto row = RowColumn<Loading>();
        const S kept = u"kept"_s, design = u"design"_s, check = u"check box"_s, yes = u"true"_s;
        row("edit", {u"edit"_s, kept, false, false, design, S()});
        row("memo", {u"memo"_s, kept, false, false, design, S()});
        row("memo, designer", {u"memo"_s, kept, true, false, design, design});
        row("check box, Yes in the designer", {check, u"Yes"_s, true, true, yes, yes});
        row("check box, yes", {check, u"yes"_s, false, true, yes, u"false"_s});
        row("check box, missing", {check, S(), false, true, yes, u"false"_s});
    }
    void loading()
    {
        const auto &[kind, kept, designing, keepValue, designed, after] = Row<Loading>();
        TestForm<> form;
        QWidget *control = AddControl(&form, kind);
        if (!kept.isNull())
            dvt::WriteKeptValue(control, kept);
        control->setProperty("KeepValue", keepValue);
        const char *state = kind == u"memo"        ? "plainText"
                            : kind == u"check box" ? "checked"
                                                   : "text";
        control->setProperty(state, designed);
        dvt::SetDesigning(&form, designing);
        dvt::LoadForm(&form);
        QCOMPARE(control->property(state).toString(), after);
    }

    // Enter breaks the line; a required memo wants more than blanks.
    void memo()
    {
        KindForm f(u"memo"_s);
        QVERIFY(f.show());
        f.form.addPanel()->SetEnterAsTab(true);
        f.form.type(u"ab"_s);
        f.form.key(Qt::Key_Return);
        f.form.type(u"c"_s);
        auto *memo = qobject_cast<TdvMemo *>(f.control);
        QCOMPARE(memo->toPlainText(), u"ab\nc"_s);
        QCOMPARE(QApplication::focusWidget(), memo);
        memo->SetNotNull(true);
        QVERIFY(memo->Valid());
        memo->setPlainText(u"  \n \t\n "_s); // blanks and line breaks only
        QVERIFY(!memo->Valid());
    }

    void checkBoxKeys_data()
    {
        const auto row = RowColumn<CheckBoxKeys>(); // checked before, keys, checked after
        const int y = Qt::Key_Y, n = Qt::Key_N, space = Qt::Key_Space;
        row("Y checks", {false, {n, y}, true});
        row("N unchecks", {true, {y, n}, false});
        row("Space toggles once", {false, {space}, true});
        row("N then Space", {true, {n, space}, true});
    }
    void checkBoxKeys()
    {
        const auto &[checked, keys, result] = Row<CheckBoxKeys>();
        KindForm f(u"check box"_s);
        auto *box = qobject_cast<TdvCheckBox *>(f.control);
        box->setChecked(checked);
        QList<int> seen;
        box->OnKeyDown = [&](QObject *, quint16 &key, dvt::TShiftState) { seen << key; };
        QVERIFY(f.show());
        for (int key : keys)
            f.form.key(Qt::Key(key));
        QCOMPARE(box->isChecked(), result);
        QCOMPARE(box->GetSQL(), result ? u"Y"_s : u"N"_s);
        QCOMPARE(seen, QList<int>(keys.size(), 0));
        QCOMPARE(QApplication::focusWidget(), box);
    }

    // The buttons are stacked in a column, where Qt's own Right arrow finds no
    // neighbour: the move follows the group's order, wrapping round, within a
    // QButtonGroup when there is one. A button alone stays, unchecked.
    void radioSpaceMovesToTheNextOfTheGroup_data()
    {
        const auto row = RowColumn<RadioSpace>(); // start, disabled, Card alone, next (-1: none)
        row("first to second", {0, -1, false, 1});
        row("last wraps round", {2, -1, false, 0});
        row("disabled one passed over", {0, 1, false, 2});
        row("button group", {0, -1, true, 2});
        row("alone", {1, -1, true, -1});
    }
    void radioSpaceMovesToTheNextOfTheGroup()
    {
        const auto &[start, disabled, cardAlone, next] = Row<RadioSpace>();
        TestForm<> form;
        QList<TdvRadioButton *> radios;
        for (const S &name : {u"Cash"_s, u"Card"_s, u"Cheque"_s})
            radios << make<TdvRadioButton>(&form, name, name);
        QButtonGroup cashOrCheque;
        QButtonGroup card;
        if (cardAlone) {
            cashOrCheque.addButton(radios.at(0));
            cashOrCheque.addButton(radios.at(2));
            card.addButton(radios.at(1));
        }
        if (disabled >= 0)
            radios.at(disabled)->setEnabled(false);
        QList<int> seen;
        radios.at(start)->OnKeyDown = [&](QObject *, quint16 &key, dvt::TShiftState) {
            seen << key;
        };
        QVERIFY(form.showForm());
        radios.at(start)->setFocus();
        form.key(Qt::Key_Space);
        const int moved = next < 0 ? start : next;
        QCOMPARE(QApplication::focusWidget(), radios.at(moved));
        QCOMPARE(radios.at(moved)->isChecked(), next >= 0);
        QCOMPARE(seen, QList<int>{0});
    }

    // Each radio button of a group is a tab stop, the checked one or not: in a
    // QButtonGroup, among its siblings, or in a box below them (which Qt counts
    // among the siblings' group when it takes buttons out of the Tab chain).
    // Enter as Tab goes the same way.
    void radioButtonsAreTabStops_data()
    {
        const auto row = RowColumn<TabOrder>(); // Enter as Tab, the buttons after the first
        row("Tab", {false, u"siblings"_s});
        row("Enter as Tab", {true, u"siblings"_s});
        row("Tab, button group", {false, u"button group"_s});
        row("Tab, in a box", {false, u"box"_s});
    }
    void radioButtonsAreTabStops()
    {
        const auto &[enterAsTab, others] = Row<TabOrder>();
        TestForm<> form;
        QWidget *parent = &form;
        QButtonGroup group;
        QList<QWidget *> order;
        for (const S &name : {u"Cash"_s, u"Card"_s, u"Cheque"_s}) {
            auto *radio = make<TdvRadioButton>(parent, name, name);
            radio->SetEnterAsTab(enterAsTab);
            if (others == u"button group")
                group.addButton(radio);
            else if (others == u"box" && parent == &form) {
                parent = form.add<QGroupBox>(u"Box"_s);
                new QVBoxLayout(parent);
            }
            order << radio;
        }
        qobject_cast<TdvRadioButton *>(order.at(1))->setChecked(true);
        order << form.add<TdvEdit>(u"After"_s);
        QVERIFY(form.showForm());
        order.first()->setFocus();
        for (qsizetype next = 1; next < order.size(); ++next) {
            form.key(enterAsTab ? Qt::Key_Return : Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget(), order.at(next));
        }
    }

    // The next form comes up with the choice, whatever the order in which its
    // buttons read their kept values: the last one's "Yes" is overwritten.
    void radioKeptChoiceSurvivesASecondInstance()
    {
        for (const bool second : {false, true}) {
            TestForm<> form;
            QList<TdvRadioButton *> radios;
            for (const S &name : {u"Cash"_s, u"Card"_s, u"Cheque"_s}) {
                radios << make<TdvRadioButton>(&form, name, name);
                radios.last()->SetKeepValue(true);
            }
            auto *after = form.add<QLineEdit>(u"After"_s);
            QVERIFY(form.showForm());
            if (second) {
                QVERIFY(radios.at(0)->isChecked() && !radios.at(2)->isChecked());
                break;
            }
            radios.at(2)->setChecked(true);
            radios.at(2)->setFocus();
            after->setFocus();
            radios.at(2)->setFocus();
            form.key(Qt::Key_Space);
            QCOMPARE(QApplication::focusWidget(), radios.at(0));
            for (QWidget *next : QList<QWidget *>{radios.at(1), radios.at(2), after}) {
                form.key(Qt::Key_Tab); // each button is a tab stop
                QCOMPARE(QApplication::focusWidget(), next);
            }
        }
    }

    void checkListItemsAreCheckable()
    {
        TdvCheckListBox list;
        list.addItem(u"Plain"_s);
        auto *checked = new QListWidgetItem(u"Checked"_s);
        checked->setCheckState(Qt::Checked);
        list.addItem(checked);
        list.insertItem(0, u"Inserted"_s);
        for (int row = 0; row < list.count(); ++row)
            QVERIFY(list.item(row)->flags() & Qt::ItemIsUserCheckable);
        QCOMPARE(marks(&list), u"001"_s);
        QVERIFY(!list.Checked(7));
        list.SetChecked(7, true); // no such row: nothing happens
    }

    // Space toggles the current item. A right click near a corner opens the menu
    // centred on the control, and no other menu; its commands keep the selection.
    void checkListMenu_data()
    {
        const auto row = RowColumn<MenuCommand>(); // caption, chosen by its key, marks after
        row("select all", {u"Select &All"_s, false, u"11111"_s});
        row("invert", {u"&Invert Selection"_s, false, u"01001"_s});
        row("unselect all, key U", {u"&Unselect All"_s, true, u"00000"_s});
    }
    void checkListMenu()
    {
        const auto &[caption, byKey, after] = Row<MenuCommand>();
        KindForm f(u"check list"_s);
        auto *list = qobject_cast<TdvCheckListBox *>(f.control);
        bool otherMenu = false;
        f.form.setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(&f.form, &QWidget::customContextMenuRequested, [&] { otherMenu = true; });
        f.form.move(0, 0);
        QVERIFY(f.show());
        list->SetChecked(0, true);
        list->SetChecked(3, true);
        list->setCurrentRow(2);
        f.form.key(Qt::Key_Space);
        QCOMPARE(marks(list), u"10110"_s);
        auto *menu = list->findChild<QMenu *>();
        QVERIFY(menu);
        QStringList captions;
        for (const QAction *action : menu->actions())
            captions << action->text();
        QCOMPARE(captions,
                 QStringList({u"Select &All"_s, u"&Unselect All"_s, u"&Invert Selection"_s}));

        QWidget *viewport = list->viewport();
        const QPoint corner(5, viewport->height() - 5);
        QTest::mouseClick(viewport, Qt::RightButton, {}, corner);
        QTRY_VERIFY(menu->isVisible());
        QContextMenuEvent event(QContextMenuEvent::Mouse, corner, viewport->mapToGlobal(corner));
        QApplication::sendEvent(viewport, &event);
        QVERIFY(!otherMenu);
        QCOMPARE(menu->pos(), list->mapToGlobal(list->contentsRect().topLeft())
                                  + QPoint(list->width() / 2, list->height() / 2));
        const QList<QListWidgetItem *> selection = list->selectedItems();
        if (byKey) {
            const QChar accelerator = caption.at(caption.indexOf(u'&') + 1);
            QTest::keyClick(menu->windowHandle(), accelerator.toLower().toLatin1());
        }
        for (QAction *action : menu->actions()) {
            if (!byKey && action->text() == caption)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        }
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(marks(list), after);
        QCOMPARE(list->selectedItems(), selection);
    }

    // Required edits are checked in creation order, whatever the tab order; the
    // first that fails takes the focus. A hidden one takes none, now or later.
    void buttonValidation_data()
    {
        const auto row = RowColumn<Validation>(); // kinds, reverse tab order, focused, valid
        row("all acceptable", {{u"ok"_s, u"ok"_s}, false, -1, true});
        row("first created", {{u"ok"_s, u"blank"_s, u"blank"_s}, true, 1, false});
        row("value edit", {{u"ok"_s, u"value"_s}, false, 1, false});
        row("date edit", {{u"date"_s, u"blank"_s}, false, 0, false});
        row("lookup key edit not asked", {{u"key"_s}, false, -1, true});
        row("memo not asked", {{u"memo"_s}, false, -1, true});
        row("hidden: no focus, walk ends", {{u"hidden"_s, u"blank"_s}, false, -1, false});
    }
    void buttonValidation()
    {
        const auto &[kinds, reverseTabOrder, focused, valid] = Row<Validation>();
        TestForm<> form;
        QList<QWidget *> controls;
        for (const S &kind : kinds) {
            const S name = u"Control%1"_s.arg(controls.size());
            if (kind == u"key")
                controls << form.add<TdvKey>(name);
            else if (kind == u"value" || kind == u"date" || kind == u"memo")
                controls << AddControl(&form, kind);
            else
                controls << form.add<TdvEdit>(name);
            controls.last()->setObjectName(name);
            controls.last()->setProperty("NotNull", true);
            controls.last()->setVisible(kind != u"hidden");
        }
        auto *button = form.add<TdvButton>(u"Save"_s);
        QVERIFY(form.showForm());
        for (int i = 0; i < controls.size(); ++i) {
            if (auto *edit = qobject_cast<TdvEdit *>(controls.at(i)))
                edit->setText(kinds.at(i) == u"ok"      ? u"x"_s
                              : kinds.at(i) == u"value" ? u"abc"_s
                              : kinds.at(i) == u"date"  ? u"99/99/9999"_s
                                                        : u"  "_s);
            if (reverseTabOrder && i > 0)
                QWidget::setTabOrder(controls.at(i), controls.at(i - 1));
        }
        button->setFocus();
        QCOMPARE(button->Validation(), valid);
        QWidget *const focus = focused < 0 ? button : controls.at(focused);
        QCOMPARE(QApplication::focusWidget(), focus);
        for (QWidget *control : controls)
            control->show();
        QCOMPARE(QApplication::focusWidget(), focus);
    }

    // Every way of pressing the button goes through the checks, then asks "Are
    // you sure?" when it confirms.
    void buttonPress_data()
    {
        const auto row =
            RowColumn<Press>(); // how, validate, filled, answer (0: no), asked, clicked
        for (const S &how : {u"mouse"_s, u"Space"_s, u"Enter"_s, u"accelerator"_s})
            QTest::addRow("%s, refused", qPrintable(how))
                << Press{how, true, false, 0, false, false};
        row("accelerator, passed", {u"accelerator"_s, true, true, 0, false, true});
        row("confirmed", {u"Space"_s, true, true, dvt::mrYes, true, true});
        row("not confirmed", {u"Space"_s, true, true, dvt::mrNo, true, false});
        row("refused: not asked", {u"Space"_s, true, false, dvt::mrYes, false, false});
        row("no validation: asked", {u"Space"_s, false, false, dvt::mrYes, true, true});
    }
    void buttonPress()
    {
        const auto &[how, validate, filled, answer, asked, clicked] = Row<Press>();
        SaveForm f;
        f.save->SetValidate(validate);
        f.save->SetConfirm(answer != 0);
        QList<dvt::TMessageRequest> requests;
        dvt::ScopedMessageHandler handler([&](const dvt::TMessageRequest &request) {
            requests << request;
            return dvt::TModalResult(answer);
        });
        QVERIFY(f.form.showForm());
        f.form.addPanel()->SetEnterAsTab(true); // not the button's: Enter presses it
        if (filled)
            f.name->setText(u"Smith"_s);
        f.save->setFocus();
        if (how == u"mouse")
            QTest::mouseClick(f.save, Qt::LeftButton);
        else if (how == u"accelerator")
            f.form.key(Qt::Key_S, Qt::AltModifier);
        else
            f.form.key(how == u"Enter" ? Qt::Key_Return : Qt::Key_Space);
        QTRY_COMPARE(f.clicks, clicked ? 1 : 0);
        QTest::qWait(150); // an accelerator's click comes after a short animation
        QCOMPARE(f.clicks, clicked ? 1 : 0);
        QCOMPARE(QApplication::focusWidget(),
                 filled || !validate ? f.save : static_cast<QWidget *>(f.name));
        QCOMPARE(requests.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(requests.constFirst().Message, u"Are you sure?"_s);
            QCOMPARE(requests.constFirst().Type, dvt::TMsgDlgType::mtConfirmation);
            QCOMPARE(requests.constFirst().Buttons, dvt::mbYes | dvt::mbNo);
            QCOMPARE(requests.constFirst().DefaultButton, dvt::mbYes);
        }
    }

    void buttonRefusedClickDoesNotSilenceTheNext()
    {
        SaveForm f;
        f.save->SetValidate(true);
        int released = 0;
        QObject::connect(f.save, &QPushButton::released, [&] { ++released; });
        QVERIFY(f.form.showForm());
        f.save->click();
        QCOMPARE(released, 0);
        f.name->setText(u"Smith"_s);
        f.save->click(); // at once, before any event is processed
        QCOMPARE(f.clicks, 1);
        QCOMPARE(released, 1);
        f.name->clear();
        f.save->click();
        QCoreApplication::processEvents();
        QVERIFY(!f.save->signalsBlocked());
        QCOMPARE(f.clicks, 1);
    }

    // Enter in an edit without the flags presses the dialog's default button,
    // which checks the edits first.
    void buttonDialogDefault()
    {
        TestForm<QDialog> dialog;
        auto *name = dialog.add<TdvEdit>(u"Name"_s);
        auto *ok = dialog.add<TdvButton>(u"OK"_s);
        name->SetNotNull(true);
        ok->SetValidate(true);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        QVERIFY(dialog.showForm());
        dialog.key(Qt::Key_Return);
        QVERIFY(dialog.isVisible() && name->hasFocus());
        name->setText(u"Smith"_s);
        dialog.key(Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // Besides the focus (focusMarking), hovering marks the button.
    void buttonHoverMarking()
    {
        SaveForm f;
        QVERIFY(f.form.showForm());
        f.form.addPanel()->SetHighlight(dvt::clYellow);
        f.name->setFocus();
        QTest::mouseMove(f.save);
        QTRY_VERIFY(ShowsBold(f.save));
        f.save->setFocus();
        QTest::mouseMove(f.name); // leaving ends the marking, focus or not
        QTRY_VERIFY(!ShowsBold(f.save));
        QTest::mouseMove(f.save);
        QTRY_VERIFY(ShowsBold(f.save));
        f.name->setFocus(); // so does losing the focus, hovered or not
        QVERIFY(!ShowsBold(f.save));
    }

    // Captions given their keys in turn, sharing the key sets.
    void shortCutInsertKey_data()
    {
        const auto row = RowColumn<InsertKey>(); // spare keys, captions, with their keys
        const S all = u"1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s;
        row("designed marker replaced", {all, {u"E&xit"_s, u"Exit"_s}, {u"&Exit"_s, u"E&xit"_s}});
        row("literal ampersand kept", {all, {u"Fish && Chips"_s}, {u"&Fish && Chips"_s}});
        row("taken digit skipped among spares", {all,
                                                 {u"1st"_s, u"Ok"_s, u"Kilo"_s, u"OK"_s},
                                                 {u"&1st"_s, u"&Ok"_s, u"&Kilo"_s, u"OK (&2)"_s}});
        row("punctuation and blanks never", {all, {u"? !"_s}, {u"? ! (&1)"_s}});
        row("blank caption unchanged", {all, {u"   "_s, u"Go"_s}, {u"   "_s, u"&Go"_s}});
        row("spare keys run out", {u"1"_s, {u"1"_s, u"1"_s}, {u"&1"_s, u"1"_s}});
    }
    void shortCutInsertKey()
    {
        const auto &[spareKeys, captions, expected] = Row<InsertKey>();
        S spare = spareKeys;
        S used = u"!@#$%^&**()_-+={[}]:;\"'<,>.?/~` "_s;
        QStringList result;
        for (const S &caption : captions) {
            QPushButton button(caption);
            TdvShortCut::InsertKey(&button, spare, used);
            result << button.text();
        }
        QCOMPARE(result, expected);
    }

    // Buttons first, then labels with a buddy, then the rest, in creation order;
    // value controls, labels without a buddy and status bars stay as they are. A
    // nested owner gets a run of its own; each tab page starts from the keys that
    // the form's controls left free. Refreshing again changes nothing; nothing
    // changes in the designer.
    void shortCutAssignment_data() { dvt::test::BoolRows("designing", "run time", "designer"); }
    void shortCutAssignment()
    {
        QFETCH(bool, designing);
        TestForm<> form;
        auto *nameLabel = make<QLabel>(&form, u"NameLabel"_s, u"Name"_s);
        auto *name = make<QLineEdit>(&form, u"CustName"_s, u"N&ame"_s);
        nameLabel->setBuddy(name);
        auto *note = make<QLabel>(&form, u"Note"_s, u"N&ote && more"_s);
        auto *nice = make<QCheckBox>(&form, u"Nice"_s, u"Nice"_s);
        auto *combo = form.add<QComboBox>(u"Kind"_s);
        combo->addItem(u"N&ew"_s);
        auto *next = make<TdvButton>(&form, u"Next"_s, u"Next"_s);
        auto *group = form.add<QGroupBox>(u"Group"_s);
        group->setTitle(u"Notes"_s);
        auto *status = new QStatusBar(&form);
        status->setObjectName(u"Status"_s);
        status->showMessage(u"Nothing"_s);
        auto *frame = form.add<QFrame>(u"AddressFrame"_s);
        dvt::SetOwnerMark(frame);
        auto *inner = make<QPushButton>(frame, u"Next"_s, u"Next"_s);
        auto *tabs = form.add<QTabWidget>(u"Pages"_s);
        auto *general = make<QWidget>(tabs, u"General"_s);
        auto *zoom = make<QCheckBox>(general, u"Zoom"_s, u"Zoom"_s);
        tabs->addTab(general, u"General"_s);
        auto *page = make<QWidget>(tabs, u"ZapPage"_s);
        auto *box = make<QGroupBox>(page, u"Box"_s); // served with the form's keys
        auto *zero = make<QCheckBox>(box, u"Zero"_s, u"Zero"_s);
        tabs->addTab(page, u"Zap"_s);
        auto *shortCut = new TdvShortCut(&form);
        dvt::SetDesigning(&form, designing);
        dvt::LoadForm(&form);
        shortCut->Refresh(&form);

        const S designed =
            u"Next|Name|Nice|Notes|N&ote && more|N&ame|N&ew|Next|Zoom|General|Zap|Zero"_s;
        const S assigned =
            u"&Next|N&ame|N&ice|N&otes|N&ote && more|N&ame|N&ew|&Next|Zoo&m|&General|&Zap|Z&ero"_s;
        QCOMPARE((QStringList{next->text(), nameLabel->text(), nice->text(), group->title(),
                              note->text(), name->text(), combo->itemText(0), inner->text(),
                              zoom->text(), tabs->tabText(0), tabs->tabText(1), zero->text()}),
                 (designing ? designed : assigned).split(u'|'));
        QCOMPARE(status->currentMessage(), u"Nothing"_s);
    }
};

QTEST_MAIN(tst_dvControls)
#include "tst_dvControls.moc"
