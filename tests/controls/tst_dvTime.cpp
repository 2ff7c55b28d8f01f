#include <QClipboard>
#include <QTest>

#include <climits>

#include "dvPopups.h"
#include "dvTime.h"
#include "dvtFormatSettings.h"
#include "dvtTestForm.h"

using namespace Qt::StringLiterals;

namespace {

// A form with a time edit and a plain edit after it.
struct TimeForm : EditForm<TdvTime>
{
    TimeForm() : EditForm(u"Started"_s) {}
};

// Whether the text is the current time in the pattern (the clock may have moved
// on by a minute meanwhile).
bool isNow(const QString &text, const QString &pattern)
{
    const dvt::TDateTime now = dvt::Time();
    return text == dvt::FormatDateTime(pattern, now)
           || text == dvt::FormatDateTime(pattern, now - 1.0 / 1440);
}

} // namespace

class tst_dvTime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { ResetEditGlobals(); }

    void typing_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("x and point dropped") << u"1x0.3"_s << u"103"_s;
        QTest::newRow("pm") << u"1:30pm"_s << u"1:30pm"_s;
        QTest::newRow("other letters and signs") << u"bc-+/?"_s << QString();
    }
    void typing()
    {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        TimeForm f;
        QVERIFY(f.showEmpty());
        f.form.type(keys);
        QCOMPARE(f.edit->text(), text);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calculator), 0);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calendar), 0);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("shown");
        const QString clock = u"hh:nn:ss"_s;
        const QString left = u"left as it was"_s;
        QTest::newRow("seconds") << clock << u"10:35:20"_s << true << u"10:35:20"_s;
        QTest::newRow("pm") << clock << u"1:30 pm"_s << true << u"13:30:00"_s;
        QTest::newRow("midnight") << clock << u"12:00 am"_s << true << u"00:00:00"_s;
        QTest::newRow("short parts") << clock << u"1:2:3"_s << true << u"01:02:03"_s;
        QTest::newRow("locale's short format")
            << u"h:nn AMPM"_s << u"13:30"_s << true << u"1:30 PM"_s;
        QTest::newRow("25:61") << clock << u"25:61"_s << false << left;
        QTest::newRow("hour alone") << clock << u"10"_s << false << left;
        QTest::newRow("13 pm") << clock << u"13:00 pm"_s << false << left;
        QTest::newRow("10,000 characters") << clock << QString(10'000, u'1') << false << left;
    }
    void parse()
    {
        QFETCH(QString, format);
        QFETCH(QString, input);
        QFETCH(bool, read);
        QFETCH(QString, shown);
        TdvTime time;
        time.SetFormatStr(format);
        time.setText(u"left as it was"_s);
        QCOMPARE(time.SetTime(input), read);
        QCOMPARE(time.text(), shown);
    }

    void otherSeparator()
    {
        dvt::FormatSettings().TimeSeparator = u'.';
        TdvTime time;
        time.SetFormatStr(u"hh:nn"_s);
        QVERIFY(time.SetTime(u"10.35"_s));
        QCOMPARE(time.text(), u"10.35"_s);
        QCOMPARE(time.GetSQL(), u"10.35.00"_s);
        QCOMPARE(time.GetMin(), 35);
    }

    void setTimeFromNumbers()
    {
        TdvTime time;
        time.SetFormatStr(u"hh:nn:ss"_s);
        QVERIFY(time.SetTime(23, 59, 59));
        QCOMPARE(time.text(), u"23:59:59"_s);
        QVERIFY(!time.SetTime(24, 0, 0));
        QVERIFY(!time.SetTime(0, 0, 60));
        QCOMPARE(time.text(), u"23:59:59"_s);
    }

    void adjust_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<int>>("hms");
        QTest::addColumn<QString>("shown");
        QTest::newRow("over midnight") << u"23:59:30"_s << QList<int>{0, 0, 45} << u"00:00:15"_s;
        QTest::newRow("a day and an hour")
            << u"10:00:00"_s << QList<int>{25, 0, 0} << u"11:00:00"_s;
        QTest::newRow("mixed signs") << u"10:00:00"_s << QList<int>{-1, 61, -1} << u"10:00:59"_s;
        QTest::newRow("most seconds")
            << u"00:00:00"_s << QList<int>{0, 0, INT_MAX} << u"03:14:07"_s;
        QTest::newRow("no time counts as midnight")
            << QString() << QList<int>{1, 2, 3} << u"01:02:03"_s;
    }
    void adjust()
    {
        QFETCH(QString, start);
        QFETCH(QList<int>, hms);
        QFETCH(QString, shown);
        TdvTime time;
        time.SetFormatStr(u"hh:nn:ss"_s);
        time.setText(start);
        time.Adjust(hms[0], hms[1], hms[2]);
        QCOMPARE(time.text(), shown);
    }

    void adjustPacked_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<double>("packed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("hours, minutes, seconds") << u"00:00:00"_s << 1.3015 << u"01:30:15"_s;
        QTest::newRow("sign of the hours only") << u"05:00:00"_s << -2.45 << u"03:45:00"_s;
        QTest::newRow("sixty minutes") << u"10:00:00"_s << 0.6 << u"11:00:00"_s;
        QTest::newRow("not a number") << u"10:00:00"_s << qQNaN() << u"10:00:00"_s;
    }
    void adjustPacked()
    {
        QFETCH(QString, start);
        QFETCH(double, packed);
        QFETCH(QString, shown);
        TdvTime time;
        time.SetFormatStr(u"hh:nn:ss"_s);
        time.setText(start);
        time.Adjust(packed);
        QCOMPARE(time.text(), shown);
    }

    void setTimeFromPacked()
    {
        TdvTime time;
        time.SetFormatStr(u"hh:nn:ss"_s);
        time.setText(u"22:22:22"_s);
        QVERIFY(time.SetTime(1.3015));
        QCOMPARE(time.text(), u"01:30:15"_s);
        time.SetFormatStr(u"hh 'o"_s); // unterminated quote
        QVERIFY(!time.SetTime(2.0));
        QCOMPARE(time.text(), u"01:30:15"_s);
    }

    void getters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QList<int>>("hms");
        QTest::addColumn<double>("decimal");
        QTest::newRow("seconds") << u"10:35:20"_s << u"10:35:20"_s << QList<int>{10, 35, 20}
                                 << 10 + 35 / 60.0 + 20 / 6000.0;
        QTest::newRow("empty") << QString() << QString() << QList<int>{0, 0, 0} << 0.0;
    }
    void getters()
    {
        QFETCH(QString, text);
        QFETCH(QString, sql);
        QFETCH(QList<int>, hms);
        QFETCH(double, decimal);
        TdvTime time;
        time.setText(text);
        QCOMPARE(time.GetSQL(), sql);
        QCOMPARE((QList<int>{time.GetHour(), time.GetMin(), time.GetSec()}), hms);
        QCOMPARE(time.GetDecimal(), decimal);
        QCOMPARE(time.text(), text);
    }

    void compare_data()
    {
        QTest::addColumn<QString>("mine");
        QTest::addColumn<QString>("theirs");
        QTest::addColumn<bool>("equal");
        QTest::addColumn<bool>("greater");
        QTest::addColumn<bool>("smaller");
        QTest::addColumn<double>("interval");
        QTest::newRow("2.5 hours to even")
            << u"10:30:00"_s << u"08:00:00"_s << false << true << false << 2.0;
        QTest::newRow("earlier") << u"08:00:00"_s << u"10:40:00"_s << false << false << true
                                 << -3.0;
        QTest::newRow("same") << u"8:00 AM"_s << u"08:00:00"_s << true << false << false << 0.0;
        QTest::newRow("a second before a minute")
            << u"10:00:59"_s << u"10:01:00"_s << false << false << true << 0.0;
        QTest::newRow("empty") << QString() << u"10:00:00"_s << false << true << true << 0.0;
        QTest::newRow("no time, not empty")
            << u"25:61"_s << u"00:00:00"_s << true << false << false << 0.0;
    }
    void compare()
    {
        QFETCH(QString, mine);
        QFETCH(QString, theirs);
        QFETCH(bool, equal);
        QFETCH(bool, greater);
        QFETCH(bool, smaller);
        QFETCH(double, interval);
        TdvTime a;
        TdvTime b;
        a.setText(mine);
        b.setText(theirs);
        QCOMPARE(a.Equal(b), equal);
        QCOMPARE(a.Greater(b), greater);
        QCOMPARE(a.Smaller(b), smaller);
        QCOMPARE(a.GetInterval(b), interval);
    }

    void valid_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("notNull");
        QTest::addColumn<bool>("defaultNow");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("shown"); // with DefaultNow: the current time
        QTest::newRow("a time, normalised") << u"13:05"_s << true << false << true << u"1:05 PM"_s;
        QTest::newRow("no time, NotNull") << u"abc"_s << true << false << false << u"abc"_s;
        QTest::newRow("no time, NotNull, DefaultNow")
            << u"abc"_s << true << true << false << QString();
    }
    void valid()
    {
        QFETCH(QString, text);
        QFETCH(bool, notNull);
        QFETCH(bool, defaultNow);
        QFETCH(bool, valid);
        QFETCH(QString, shown);
        TdvTime time;
        time.setText(text);
        time.SetNotNull(notNull);
        time.SetDefaultNow(defaultNow);
        bool asked = false;
        time.OnValidation = [&](QObject *, const QString &, bool &) { asked = true; };
        QCOMPARE(time.Valid(), valid);
        QVERIFY(!asked);
        if (defaultNow)
            QVERIFY2(isNow(time.text(), time.FormatStr()), qPrintable(time.text()));
        else
            QCOMPARE(time.text(), shown);
    }

    void typedTimeIsReadWhenTheFocusLeaves_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("enter");
        QTest::addColumn<QString>("shown");
        QTest::newRow("pm") << u"9:5pm"_s << false << u"9:05 PM"_s;
        QTest::newRow("Enter as Tab reads first") << u"13:30"_s << true << u"1:30 PM"_s;
        QTest::newRow("25:61 stays") << u"25:61"_s << false << u"25:61"_s;
    }
    void typedTimeIsReadWhenTheFocusLeaves()
    {
        QFETCH(QString, keys);
        QFETCH(bool, enter);
        QFETCH(QString, shown);
        TimeForm f;
        f.edit->SetEnterAsTab(enter);
        QVERIFY(f.showEmpty());
        QCOMPARE(f.typeAndLeave(keys, enter ? Qt::Key_Return : Qt::Key_Tab), shown);
        QCOMPARE(f.edit->text(), shown);
    }

    void defaultNowFillsAnEmptyTime()
    {
        TimeForm f;
        f.edit->SetDefaultNow(true);
        QVERIFY(f.form.showForm());
        QVERIFY(isNow(f.edit->text(), f.edit->FormatStr()));
        f.edit->setText(u"7:15 AM"_s);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.edit->text(), u"7:15 AM"_s); // a readable time stays
        f.edit->clear();
        f.form.key(Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(f.edit->hasFocus());
        QVERIFY(isNow(f.edit->text(), f.edit->FormatStr()));
    }

    void pastedTextIsRefused()
    {
        TimeForm f;
        QVERIFY(f.showEmpty());
        const QString pasted = QString(10'000, u'9') + u":\x01"_s;
        QGuiApplication::clipboard()->setText(pasted);
        f.form.key(Qt::Key_V, Qt::ControlModifier);
        f.form.key(Qt::Key_Tab);
        QCOMPARE(f.edit->text(), pasted);
        QCOMPARE(f.edit->GetSQL(), QString());
    }
};

QTEST_MAIN(tst_dvTime)
#include "tst_dvTime.moc"
