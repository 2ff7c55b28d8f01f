#include <QClipboard>
#include <QDate>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>

#include <climits>

#include "dvDate.h"
#include "dvPopups.h"
#include "dvtException.h"
#include "dvtFormatSettings.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// A form with a date edit and a plain edit after it.
struct DateForm : EditForm<TdvDate>
{
    DateForm() : EditForm(u"Born"_s) {}
};

QString today(const QString &pattern = u"m/d/yyyy"_s)
{
    return dvt::FormatDateTime(pattern, dvt::Date());
}

QString usDate(int year, int month, int day)
{
    return u"%1/%2/%3"_s.arg(month).arg(day).arg(year, 4, 10, QChar(u'0'));
}

using Move = void (TdvDate::*)();

const QHash<QString, Move> moveOperations = {
    {u"BeginOfMonth"_s, &TdvDate::SetBeginOfMonth}, {u"EndOfMonth"_s, &TdvDate::SetEndOfMonth},
    {u"BeginOfYear"_s, &TdvDate::SetBeginOfYear},   {u"EndOfYear"_s, &TdvDate::SetEndOfYear},
    {u"BeginOfWeek"_s, &TdvDate::SetBeginOfWeek},   {u"EndOfWeek"_s, &TdvDate::SetEndOfWeek},
};

} // namespace

class tst_dvDate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() { ResetEditGlobals(); }

    void defaults()
    {
        dvt::FormatSettings().ShortDateFormat = u"dd/mm/yyyy"_s;
        TdvDate date;
        dvt::FormatSettings().ShortDateFormat = u"yyyy-mm-dd"_s;
        QCOMPARE(date.FormatStr(), u"dd/mm/yyyy"_s); // taken at construction
        QCOMPARE(date.Trigger(), u"?"_s);
        QVERIFY(!date.DefaultNow());
        QCOMPARE(date.Alignment(), dvt::taLeftJustify);
        QVERIFY(date.setProperty("DefaultNow", true));
        QVERIFY(date.DefaultNow());
        QVERIFY(date.setProperty("FormatStr", u"yyyy/mm/dd"_s));
        QCOMPARE(date.FormatStr(), u"yyyy/mm/dd"_s);
        QVERIFY(date.setProperty("Trigger", u"#"_s));
        QCOMPARE(date.Trigger(), u"#"_s);
    }

    void typing_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("opens");
        QTest::newRow("a date") << u"12/31/1999"_s << u"12/31/1999"_s << 0;
        QTest::newRow("letters and points dropped") << u"1a2.3x4"_s << u"1234"_s << 0;
        QTest::newRow("minus on no date") << u"12-3"_s << u"123"_s << 0;
        QTest::newRow("blank dropped") << u"1 2"_s << u"12"_s << 0;
        QTest::newRow("trigger") << u"12?"_s << u"12"_s << 1;
    }
    void typing()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, opens);
        DateForm f;
        QVERIFY(f.show());
        f.form.type(keys);
        QCOMPARE(f.edit->text(), text);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calendar), opens);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calculator), 0);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("shortDate");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("shown");
        const QString year = QString::number(QDate::currentDate().year());
        const QString us = u"m/d/yyyy"_s;
        const QString slash = u"/"_s;
        const QString left = u"left as it was"_s;
        QTest::newRow("month first") << us << slash << u"12/31/1999"_s << true << u"12/31/1999"_s;
        QTest::newRow("year first") << us << slash << u"1999/12/31"_s << true << u"12/31/1999"_s;
        QTest::newRow("current year") << us << slash << u"12/31"_s << true << u"12/31/"_s + year;
        QTest::newRow("two-digit year") << us << slash << u"1/2/03"_s << true << u"1/2/2003"_s;
        QTest::newRow("two-digit year, last century")
            << us << slash << u"1/2/99"_s << true << u"1/2/1999"_s;
        QTest::newRow("leading zeros") << us << slash << u"01/02/2003"_s << true << u"1/2/2003"_s;
        QTest::newRow("noise dropped")
            << us << slash << u"x12/31/1999y"_s << true << u"12/31/1999"_s;
        QTest::newRow("blanks") << us << slash << u" 12 / 31 / 1999 "_s << true << u"12/31/1999"_s;
        QTest::newRow("last day") << us << slash << u"9999/12/31"_s << true << u"12/31/9999"_s;
        QTest::newRow("one number") << us << slash << u"15"_s << false << left;
        QTest::newRow("day first in a month-first locale")
            << us << slash << u"15/3"_s << false << left;
        QTest::newRow("30 February") << us << slash << u"02/30/2001"_s << false << left;
        QTest::newRow("29 February, no leap year")
            << us << slash << u"2/29/2001"_s << false << left;
        QTest::newRow("month 13") << us << slash << u"13/13/2000"_s << false << left;
        QTest::newRow("zeros") << us << slash << u"0/0/0"_s << false << left;
        QTest::newRow("dashes") << us << slash << u"12-31-1999"_s << false << left;
        QTest::newRow("empty") << us << slash << QString() << false << left;
        QTest::newRow("year 10000") << us << slash << u"10000/1/1"_s << false << left;
        QTest::newRow("huge number") << us << slash << QString(30, u'9') << false << left;
        QTest::newRow("10,000 characters") << us << slash << QString(10'000, u'/') << false << left;
        const QString uk = u"dd/mm/yyyy"_s;
        QTest::newRow("day first") << uk << slash << u"31/12/1999"_s << true << u"31/12/1999"_s;
        QTest::newRow("day first, year first")
            << uk << slash << u"1999/12/31"_s << true << u"31/12/1999"_s;
        QTest::newRow("day first, current year")
            << uk << slash << u"15/3"_s << true << u"15/03/"_s + year;
        QTest::newRow("day first, month first") << uk << slash << u"12/31/1999"_s << false << left;
        const QString de = u"dd/mm/yyyy"_s;
        const QString point = u"."_s;
        QTest::newRow("point") << de << point << u"31.12.1999"_s << true << u"31.12.1999"_s;
        QTest::newRow("point, typed slashes")
            << de << point << u"31/12/1999"_s << true << u"31.12.1999"_s;
        QTest::newRow("point, year first")
            << de << point << u"1999.12.31"_s << true << u"31.12.1999"_s;
    }
    void parse()
    {
        QFETCH(QString, shortDate);
        QFETCH(QString, separator);
        QFETCH(QString, input);
        QFETCH(bool, read);
        QFETCH(QString, shown);

        dvt::FormatSettings().ShortDateFormat = shortDate;
        dvt::FormatSettings().DateSeparator = separator.at(0);
        TdvDate date;
        date.setText(u"left as it was"_s);
        QCOMPARE(date.SetDate(input), read);
        QCOMPARE(date.text(), shown);
    }

    void failedReadingWithDefaultNowShowsToday()
    {
        TdvDate date;
        date.SetDefaultNow(true);
        QVERIFY(!date.SetDate(u"02/30/2001"_s));
        QCOMPARE(date.text(), today());
    }

    void typedDateIsReadWhenTheFocusLeaves_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("year first") << u"1999/12/31"_s << u"12/31/1999"_s;
        QTest::newRow("impossible date stays") << u"02/30/2001"_s << u"02/30/2001"_s;
    }
    void typedDateIsReadWhenTheFocusLeaves()
    {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        DateForm f;
        QVERIFY(f.show());
        QCOMPARE(f.typeAndLeave(keys, Qt::Key_Tab), shown);
        QCOMPARE(f.edit->text(), shown);
    }

    void enterReadsTheDateBeforeMovingOn()
    {
        DateForm f;
        f.edit->SetEnterAsTab(true);
        QVERIFY(f.show());
        QCOMPARE(f.typeAndLeave(u"1999/12/31"_s, Qt::Key_Return), u"12/31/1999"_s);
    }

    void plusAndMinusKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("shown");
        const int keypad = Qt::KeypadModifier;
        const int shift = Qt::ShiftModifier;
        QTest::newRow("keypad plus") << int(Qt::Key_Plus) << keypad << u"1/1/2000"_s;
        QTest::newRow("shifted plus") << int(Qt::Key_Plus) << shift << u"1/1/2000"_s;
        QTest::newRow("equals") << int(Qt::Key_Equal) << 0 << u"12/31/1999"_s;
        QTest::newRow("keypad minus") << int(Qt::Key_Minus) << keypad << u"12/30/1999"_s;
        QTest::newRow("minus") << int(Qt::Key_Minus) << 0 << u"12/30/1999"_s;
        QTest::newRow("underscore") << int(Qt::Key_Underscore) << shift << u"12/31/1999"_s;
    }
    void plusAndMinusKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, shown);
        DateForm f;
        QVERIFY(f.show());
        f.edit->setText(u"12/31/1999"_s);
        f.form.key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.edit->text(), shown);
    }

    void adjust_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("months");
        QTest::addColumn<int>("years");
        QTest::addColumn<int>("weeks");
        QTest::addColumn<QString>("shown");
        QTest::newRow("month to a shorter one")
            << usDate(2000, 1, 31) << 0 << 1 << 0 << 0 << usDate(2000, 2, 29);
        QTest::newRow("day back over a month")
            << usDate(2000, 3, 1) << -1 << 0 << 0 << 0 << usDate(2000, 2, 29);
        QTest::newRow("day on over a year")
            << usDate(1999, 12, 31) << 1 << 0 << 0 << 0 << usDate(2000, 1, 1);
        QTest::newRow("months before days")
            << usDate(2000, 1, 31) << 1 << 1 << 0 << 0 << usDate(2000, 3, 1);
        QTest::newRow("month back, leap year")
            << usDate(2000, 3, 31) << 0 << -1 << 0 << 0 << usDate(2000, 2, 29);
        QTest::newRow("month back")
            << usDate(2001, 3, 31) << 0 << -1 << 0 << 0 << usDate(2001, 2, 28);
        QTest::newRow("year from 29 February")
            << usDate(2000, 2, 29) << 0 << 0 << 1 << 0 << usDate(2001, 2, 28);
        QTest::newRow("weeks") << usDate(2000, 1, 15) << 0 << 0 << 0 << 2 << usDate(2000, 1, 29);
        QTest::newRow("13 months back")
            << usDate(2000, 1, 15) << 0 << -13 << 0 << 0 << usDate(1998, 12, 15);
        QTest::newRow("a leap year of days")
            << usDate(2000, 1, 1) << 366 << 0 << 0 << 0 << usDate(2001, 1, 1);
        QTest::newRow("all four") << usDate(2000, 5, 10) << 1 << 2 << -1 << -1
                                  << usDate(1999, 7, 4);
        QTest::newRow("nothing normalises")
            << u"01/02/2003"_s << 0 << 0 << 0 << 0 << usDate(2003, 1, 2);
        QTest::newRow("after the last day")
            << usDate(9999, 12, 31) << 1 << 0 << 0 << 0 << usDate(9999, 12, 31);
        QTest::newRow("before the first day")
            << usDate(1, 1, 1) << -1 << 0 << 0 << 0 << usDate(1, 1, 1);
        QTest::newRow("huge months")
            << usDate(2000, 1, 1) << 0 << INT_MAX << INT_MAX << 0 << usDate(2000, 1, 1);
        QTest::newRow("huge days")
            << usDate(2000, 1, 1) << INT_MIN << 0 << 0 << INT_MIN << usDate(2000, 1, 1);
        QTest::newRow("no date") << QString() << 1 << 1 << 1 << 1 << QString();
        QTest::newRow("unreadable") << u"02/30/2001"_s << 1 << 0 << 0 << 0 << u"02/30/2001"_s;
    }
    void adjust()
    {
        QFETCH(QString, start);
        QFETCH(int, days);
        QFETCH(int, months);
        QFETCH(int, years);
        QFETCH(int, weeks);
        QFETCH(QString, shown);
        TdvDate date;
        date.setText(start);
        date.Adjust(days, months, years, weeks);
        QCOMPARE(date.text(), shown);
    }

    void moves_data()
    {
        QTest::addColumn<QString>("move");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("shown");
        QTest::newRow("begin of month")
            << u"BeginOfMonth"_s << usDate(2000, 2, 15) << usDate(2000, 2, 1);
        QTest::newRow("end of February, leap year")
            << u"EndOfMonth"_s << usDate(2000, 2, 15) << usDate(2000, 2, 29);
        QTest::newRow("end of February 1900")
            << u"EndOfMonth"_s << usDate(1900, 2, 1) << usDate(1900, 2, 28);
        QTest::newRow("end of April")
            << u"EndOfMonth"_s << usDate(2000, 4, 10) << usDate(2000, 4, 30);
        QTest::newRow("begin of year")
            << u"BeginOfYear"_s << usDate(2000, 7, 4) << usDate(2000, 1, 1);
        QTest::newRow("end of year")
            << u"EndOfYear"_s << usDate(2000, 7, 4) << usDate(2000, 12, 31);
        QTest::newRow("begin of week on a Sunday")
            << u"BeginOfWeek"_s << usDate(2000, 1, 2) << usDate(2000, 1, 2);
        QTest::newRow("begin of week on a Wednesday")
            << u"BeginOfWeek"_s << usDate(2000, 1, 5) << usDate(2000, 1, 2);
        QTest::newRow("end of week on a Wednesday")
            << u"EndOfWeek"_s << usDate(2000, 1, 5) << usDate(2000, 1, 8);
        QTest::newRow("end of week on a Saturday")
            << u"EndOfWeek"_s << usDate(2000, 1, 8) << usDate(2000, 1, 8);
        QTest::newRow("end of week over a year")
            << u"EndOfWeek"_s << usDate(1999, 12, 30) << usDate(2000, 1, 1);
        QTest::newRow("year-first text")
            << u"EndOfMonth"_s << u"1999/12/5"_s << usDate(1999, 12, 31);
        QTest::newRow("begin of the first week")
            << u"BeginOfWeek"_s << usDate(1, 1, 1) << usDate(1, 1, 1);
        QTest::newRow("end of the last week")
            << u"EndOfWeek"_s << usDate(9999, 12, 31) << usDate(9999, 12, 31);
        for (auto it = moveOperations.cbegin(); it != moveOperations.cend(); ++it)
            QTest::addRow("%s, no date", qPrintable(it.key())) << it.key() << u"abc"_s << u"abc"_s;
    }
    void moves()
    {
        QFETCH(QString, move);
        QFETCH(QString, start);
        QFETCH(QString, shown);
        TdvDate date;
        date.setText(start);
        (date.*moveOperations.value(move))();
        QCOMPARE(date.text(), shown);
    }

    void compare_data()
    {
        QTest::addColumn<QString>("mine");
        QTest::addColumn<QString>("theirs");
        QTest::addColumn<bool>("greater");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<bool>("smaller");
        QTest::addColumn<int>("interval");
        QTest::newRow("day before")
            << usDate(1999, 12, 31) << usDate(2000, 1, 1) << false << false << true << -1;
        QTest::newRow("day after")
            << usDate(2000, 1, 1) << usDate(1999, 12, 31) << true << false << false << 1;
        QTest::newRow("same day") << usDate(2000, 1, 1) << u"01/01/2000"_s << false << true << false
                                  << 0;
        QTest::newRow("same text")
            << usDate(2000, 1, 1) << usDate(2000, 1, 1) << false << true << false << 0;
        QTest::newRow("a century")
            << usDate(1900, 1, 1) << usDate(2000, 1, 1) << false << false << true << -36524;
        QTest::newRow("no date against a date")
            << QString() << usDate(2000, 1, 1) << false << false << true << 0;
        QTest::newRow("a date against no date")
            << usDate(2000, 1, 1) << u"x"_s << true << false << false << 0;
        QTest::newRow("both without a date")
            << QString() << u"02/30/2001"_s << false << true << false << 0;
    }
    void compare()
    {
        QFETCH(QString, mine);
        QFETCH(QString, theirs);
        QFETCH(bool, greater);
        QFETCH(bool, equal);
        QFETCH(bool, smaller);
        QFETCH(int, interval);
        TdvDate a;
        TdvDate b;
        a.setText(mine);
        b.setText(theirs);
        QCOMPARE(a.Greater(b), greater);
        QCOMPARE(a.Equal(b), equal);
        QCOMPARE(a.Smaller(b), smaller);
        QCOMPARE(a.GetInterval(b), interval);
    }

    void getters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("ymd");
        QTest::addColumn<QList<int>>("ymdw");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("monthWords");
        QTest::addColumn<QString>("weekWords");
        QTest::newRow("a Monday") << usDate(2000, 1, 31) << u"\"01/31/2000\""_s << u"2000/01/31"_s
                                  << QList<int>{2000, 1, 31, 2} << u"Monday, January 31, 2000"_s
                                  << u"January"_s << u"Monday"_s;
        QTest::newRow("Christmas") << usDate(2023, 12, 25) << u"\"12/25/2023\""_s << u"2023/12/25"_s
                                   << QList<int>{2023, 12, 25, 2} << u"Monday, December 25, 2023"_s
                                   << u"December"_s << u"Monday"_s;
        QTest::newRow("a Saturday") << usDate(2000, 1, 1) << u"\"01/01/2000\""_s << u"2000/01/01"_s
                                    << QList<int>{2000, 1, 1, 7} << u"Saturday, January 1, 2000"_s
                                    << u"January"_s << u"Saturday"_s;
        const QString blanks(10, u' ');
        QTest::newRow("empty") << QString() << u"null"_s << blanks << QList<int>{0, 1, 1, 1}
                               << QString() << u"January"_s << u"Sunday"_s;
        QTest::newRow("year first is no date")
            << u"2000/1/31"_s << u"null"_s << blanks << QList<int>{0, 1, 1, 1} << QString()
            << u"January"_s << u"Sunday"_s;
    }
    void getters()
    {
        QFETCH(QString, text);
        QFETCH(QString, sql);
        QFETCH(QString, ymd);
        QFETCH(QList<int>, ymdw);
        QFETCH(QString, words);
        QFETCH(QString, monthWords);
        QFETCH(QString, weekWords);
        TdvDate date;
        date.setText(text);
        QCOMPARE(date.GetSQL(), sql);
        QCOMPARE(date.GetYMD(), ymd);
        QCOMPARE((QList<int>{date.GetYear(), date.GetMonth(), date.GetDay(), date.GetDayOfWeek()}),
                 ymdw);
        QCOMPARE(date.GetWords(), words);
        QCOMPARE(date.GetMonthWords(), monthWords);
        QCOMPARE(date.GetWeekWords(), weekWords);
        QCOMPARE(date.text(), text); // reading changes nothing
    }

    void sqlUsesTheLocaleSeparator()
    {
        dvt::FormatSettings().ShortDateFormat = u"dd.mm.yyyy"_s;
        dvt::FormatSettings().DateSeparator = u'.';
        TdvDate date;
        QVERIFY(date.SetDate(1970, 1, 31));
        QCOMPARE(date.text(), u"31.01.1970"_s);
        QCOMPARE(date.GetSQL(), u"\"01.31.1970\""_s);
    }

    void getDateTime()
    {
        TdvDate date;
        date.setText(usDate(1970, 1, 31));
        QCOMPARE(date.GetDateTime(), dvt::EncodeDate(1970, 1, 31));
        for (const QString &text : {QString(), u"abc"_s, u"1970/1/31"_s}) {
            date.setText(text);
            QVERIFY_THROWS_EXCEPTION(dvt::EConvertError, date.GetDateTime());
        }
    }

    void setDate()
    {
        TdvDate date;
        QVERIFY(date.SetDate(dvt::EncodeDate(2000, 2, 29) + 0.75));
        QCOMPARE(date.text(), usDate(2000, 2, 29));
        QVERIFY(!date.SetDate(2001, 2, 29));
        QVERIFY(!date.SetDate(0, 1, 1));
        QVERIFY(!date.SetDate(10000, 1, 1));
        QVERIFY(!date.SetDate(dvt::EncodeDate(1, 1, 1) - 1));
        QCOMPARE(date.text(), usDate(2000, 2, 29));
        date.SetFormatStr(u"yyyy 'year"_s); // unterminated quote
        QVERIFY(!date.SetDate(dvt::EncodeDate(2001, 1, 1)));
        QCOMPARE(date.text(), usDate(2000, 2, 29));
        date.Adjust(1);
        QCOMPARE(date.text(), usDate(2000, 2, 29));
    }

    void valid_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("notNull");
        QTest::addColumn<bool>("valid");
        QTest::newRow("date") << usDate(2000, 1, 1) << true << true;
        QTest::newRow("empty") << QString() << false << true;
        QTest::newRow("empty, NotNull") << QString() << true << false;
        QTest::newRow("impossible date, NotNull") << u"02/30/2001"_s << true << false;
        QTest::newRow("year first, NotNull") << u"2001/1/1"_s << true << false;
    }
    void valid()
    {
        QFETCH(QString, text);
        QFETCH(bool, notNull);
        QFETCH(bool, valid);
        TdvDate date;
        date.setText(text);
        date.SetNotNull(notNull);
        bool asked = false;
        date.OnValidation = [&](QObject *, const QString &, bool &) { asked = true; };
        QCOMPARE(date.Valid(), valid);
        QVERIFY(!asked);
        QCOMPARE(date.text(), text);
    }

    void defaultNowOnLoading()
    {
        DateForm f;
        f.edit->SetDefaultNow(true);
        f.edit->SetKeepValue(true);
        dvt::WriteKeptValue(f.edit, usDate(1999, 1, 1));
        QVERIFY(f.show());
        QCOMPARE(f.edit->text(), today());
    }

    void defaultNowFillsAnEmptyDateWhenTabbedThrough()
    {
        DateForm f;
        auto *later = f.form.add<TdvDate>(u"Later"_s);
        later->SetDefaultNow(true);
        QVERIFY(f.show());
        later->clear();
        f.form.key(Qt::Key_Tab);
        f.form.key(Qt::Key_Tab);
        QVERIFY(later->hasFocus());
        QCOMPARE(later->text(), today());
    }

    void calendarByTriggerAndRightClick()
    {
        DateForm f;
        QVERIFY(f.show());
        QList<double> started;
        dvPopups::SetCalendarOpener([&](QWidget *owner) {
            auto *date = qobject_cast<TdvDate *>(owner);
            QVERIFY(date);
            try {
                started << date->GetDateTime();
            } catch (const dvt::EConvertError &) {
                started << dvt::Date(); // as the calendar does for no date
            }
            date->SetDate(dvt::EncodeDate(2001, 9, 11));
        });
        f.edit->setText(usDate(2000, 1, 1));
        f.form.type(u"?"_s);
        QCOMPARE(f.edit->text(), usDate(2001, 9, 11));
        f.form.click(f.edit, Qt::RightButton);
        QVERIFY(!QApplication::activePopupWidget());
        f.form.click(f.edit, Qt::RightButton, Qt::ControlModifier);
        QVERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
        QApplication::activePopupWidget()->close();
        QCOMPARE(started,
                 (QList<double>{dvt::EncodeDate(2000, 1, 1), dvt::EncodeDate(2001, 9, 11)}));
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calendar), 2);
        QCOMPARE(dvPopups::LastOwner(dvPopups::Calendar), f.edit);
    }

    void pastedTextIsRefused()
    {
        DateForm f;
        f.edit->SetNotNull(true);
        QVERIFY(f.show());
        const QString pasted = QString(10'000, u'7') + u"\x01/\x02"_s;
        QGuiApplication::clipboard()->setText(pasted);
        f.form.key(Qt::Key_V, Qt::ControlModifier);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.edit->text(), pasted);
        QCOMPARE(f.edit->GetSQL(), u"null"_s);
        QVERIFY(!f.edit->Valid());
    }
};

QTEST_MAIN(tst_dvDate)
#include "tst_dvDate.moc"
