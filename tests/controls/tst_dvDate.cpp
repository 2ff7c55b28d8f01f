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

    void typing_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("opens");
        QTest::newRow("letters and points dropped") << u"1a2.3x4"_s << u"1234"_s << 0;
        QTest::newRow("minus on no date") << u"12-3"_s << u"123"_s << 0;
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
        QTest::newRow("noise dropped")
            << us << slash << u"x12/31/1999y"_s << true << u"12/31/1999"_s;
        QTest::newRow("day first in a month-first locale")
            << us << slash << u"15/3"_s << false << left;
        QTest::newRow("30 February") << us << slash << u"02/30/2001"_s << false << left;
        QTest::newRow("year 10000") << us << slash << u"10000/1/1"_s << false << left;
        QTest::newRow("10,000 characters") << us << slash << QString(10'000, u'/') << false << left;
        const QString uk = u"dd/mm/yyyy"_s;
        QTest::newRow("day first, current year")
            << uk << slash << u"15/3"_s << true << u"15/03/"_s + year;
        QTest::newRow("day first, month first") << uk << slash << u"12/31/1999"_s << false << left;
        const QString point = u"."_s;
        QTest::newRow("point") << uk << point << u"31.12.1999"_s << true << u"31.12.1999"_s;
        QTest::newRow("point, typed slashes")
            << uk << point << u"31/12/1999"_s << true << u"31.12.1999"_s;
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
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QString>("shown");
        QTest::newRow("year first") << u"1999/12/31"_s << false << u"12/31/1999"_s;
        QTest::newRow("Enter as Tab reads first") << u"1999/12/31"_s << true << u"12/31/1999"_s;
        QTest::newRow("impossible date stays") << u"02/30/2001"_s << false << u"02/30/2001"_s;
    }
    void typedDateIsReadWhenTheFocusLeaves()
    {
        QFETCH(QString, keys);
        QFETCH(bool, enter);
        QFETCH(QString, shown);
        DateForm f;
        f.edit->SetEnterAsTab(enter);
        QVERIFY(f.show());
        QCOMPARE(f.typeAndLeave(keys, enter ? Qt::Key_Return : Qt::Key_Tab), shown);
        QCOMPARE(f.edit->text(), shown);
    }

    // Plus and minus move a day, by the keypad or the main keyboard; "=" is no
    // date character.
    void plusAndMinusKeys()
    {
        DateForm f;
        QVERIFY(f.show());
        f.edit->setText(u"12/31/1999"_s);
        f.form.key(Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(f.edit->text(), u"1/1/2000"_s);
        f.form.key(Qt::Key_Plus, Qt::ShiftModifier);
        QCOMPARE(f.edit->text(), u"1/2/2000"_s);
        f.form.key(Qt::Key_Minus);
        f.form.key(Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(f.edit->text(), u"12/31/1999"_s);
        f.form.key(Qt::Key_Equal);
        QCOMPARE(f.edit->text(), u"12/31/1999"_s);
    }

    void adjust_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<int>>("dmyw"); // days, months, years, weeks
        QTest::addColumn<QString>("shown");
        QTest::newRow("month to a shorter one")
            << usDate(2000, 1, 31) << QList<int>{0, 1, 0, 0} << usDate(2000, 2, 29);
        QTest::newRow("months before days")
            << usDate(2000, 1, 31) << QList<int>{1, 1, 0, 0} << usDate(2000, 3, 1);
        QTest::newRow("year from 29 February")
            << usDate(2000, 2, 29) << QList<int>{0, 0, 1, 0} << usDate(2001, 2, 28);
        QTest::newRow("weeks") << usDate(2000, 1, 15) << QList<int>{0, 0, 0, 2}
                               << usDate(2000, 1, 29);
        QTest::newRow("after the last day")
            << usDate(9999, 12, 31) << QList<int>{1, 0, 0, 0} << usDate(9999, 12, 31);
        QTest::newRow("huge months")
            << usDate(2000, 1, 1) << QList<int>{0, INT_MAX, INT_MAX, 0} << usDate(2000, 1, 1);
        QTest::newRow("huge days")
            << usDate(2000, 1, 1) << QList<int>{INT_MIN, 0, 0, INT_MIN} << usDate(2000, 1, 1);
        QTest::newRow("no date") << QString() << QList<int>{1, 1, 1, 1} << QString();
        QTest::newRow("unreadable") << u"02/30/2001"_s << QList<int>{1, 0, 0, 0} << u"02/30/2001"_s;
    }
    void adjust()
    {
        QFETCH(QString, start);
        QFETCH(QList<int>, dmyw);
        QFETCH(QString, shown);
        TdvDate date;
        date.setText(start);
        date.Adjust(dmyw[0], dmyw[1], dmyw[2], dmyw[3]);
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
        QTest::newRow("end of year")
            << u"EndOfYear"_s << usDate(2000, 7, 4) << usDate(2000, 12, 31);
        QTest::newRow("begin of week on a Wednesday")
            << u"BeginOfWeek"_s << usDate(2000, 1, 5) << usDate(2000, 1, 2);
        QTest::newRow("end of week over a year")
            << u"EndOfWeek"_s << usDate(1999, 12, 30) << usDate(2000, 1, 1);
        QTest::newRow("year-first text")
            << u"EndOfMonth"_s << u"1999/12/5"_s << usDate(1999, 12, 31);
        QTest::newRow("end of the last week")
            << u"EndOfWeek"_s << usDate(9999, 12, 31) << usDate(9999, 12, 31);
        QTest::newRow("no date") << u"EndOfWeek"_s << u"abc"_s << u"abc"_s;
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
        QTest::newRow("same day") << usDate(2000, 1, 1) << u"01/01/2000"_s << false << true << false
                                  << 0;
        QTest::newRow("a century")
            << usDate(1900, 1, 1) << usDate(2000, 1, 1) << false << false << true << -36524;
        QTest::newRow("no date against a date")
            << QString() << usDate(2000, 1, 1) << false << false << true << 0;
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

    void getters()
    {
        TdvDate date;
        const auto parts = [&] {
            return QList<int>{date.GetYear(), date.GetMonth(), date.GetDay(), date.GetDayOfWeek()};
        };
        date.setText(usDate(2000, 1, 31));
        QCOMPARE(date.GetSQL(), u"\"01/31/2000\""_s);
        QCOMPARE(date.GetYMD(), u"2000/01/31"_s);
        QCOMPARE(parts(), (QList<int>{2000, 1, 31, 2}));
        QCOMPARE(date.GetWords(), u"Monday, January 31, 2000"_s);
        QCOMPARE(date.GetMonthWords(), u"January"_s);
        QCOMPARE(date.GetWeekWords(), u"Monday"_s);
        QCOMPARE(date.text(), usDate(2000, 1, 31)); // reading changes nothing
        date.setText(u"2000/1/31"_s);               // year first is no date
        QCOMPARE(date.GetSQL(), u"null"_s);
        QCOMPARE(date.GetYMD(), QString(10, u' '));
        QCOMPARE(parts(), (QList<int>{0, 1, 1, 1}));
        QCOMPARE(date.GetWords(), QString());
        QCOMPARE(date.GetMonthWords(), u"January"_s);
        QCOMPARE(date.GetWeekWords(), u"Sunday"_s);
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
