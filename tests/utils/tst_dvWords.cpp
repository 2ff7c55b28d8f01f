#include <QTest>

#include <limits>

#include "dvWords.h"
#include "dvtFormatSettings.h"

using namespace Qt::StringLiterals;

class tst_dvWords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_settings = dvt::FormatSettings(); }
    void cleanup() { dvt::FormatSettings() = m_settings; }

    void withCurrency_data();
    void withCurrency();
    void withoutCurrency_data();
    void withoutCurrency();
    void outsideTheLayout_data();
    void outsideTheLayout();
    void otherLocales_data();
    void otherLocales();

private:
    dvt::TFormatSettings m_settings;
};

void tst_dvWords::withCurrency_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");
    // Zero and below one: no currency word, the cents get a trailing blank.
    QTest::newRow("0") << 0.0 << u"Zero"_s;
    QTest::newRow("0.5") << 0.5 << u"Fifty Cents "_s;
    QTest::newRow("0.001 rounds to nothing") << 0.001 << u" "_s;
    QTest::newRow("0.999 rounds to one, still below one") << 0.999 << u"One "_s;
    // One and two.
    QTest::newRow("1") << 1.0 << u"One Dollar "_s;
    QTest::newRow("1.01") << 1.01 << u"One Dollar and One Cent"_s;
    QTest::newRow("1.999 rounds to two, still below two") << 1.999 << u"Two Dollar "_s;
    QTest::newRow("2") << 2.0 << u"Two Dollars "_s;
    // Within one group: the hundreds, " and " before teens, ", " before tens.
    QTest::newRow("13 Tirteen") << 13.0 << u"Tirteen Dollars "_s;
    QTest::newRow("40 Fourty") << 40.0 << u"Fourty Dollars "_s;
    QTest::newRow("100") << 100.0 << u" One Hundred Dollars "_s;
    QTest::newRow("110") << 110.0 << u"One Hundred and Ten Dollars "_s;
    QTest::newRow("120") << 120.0 << u"One Hundred, Twenty Dollars "_s;
    // Thousands and units: " and " when the units are below ten or whole hundreds.
    QTest::newRow("1001") << 1001.0 << u"One Thousand and One Dollars "_s;
    QTest::newRow("1100") << 1100.0 << u"One Thousand and One Hundred Dollars "_s;
    QTest::newRow("1234.56")
        << 1234.56 << u"One Thousand, Two Hundred, Tirty Four Dollars and Fifty Six Cents"_s;
    QTest::newRow("100000") << 100000.0 << u" One Hundred Thousand Dollars "_s;
    // Millions: plural scale word, no currency word without a units group.
    QTest::newRow("1000000") << 1000000.0 << u"One Million Dollars "_s;
    QTest::newRow("1000000.5") << 1000000.5 << u"One Million and Fifty Cents"_s;
    // Billions.
    QTest::newRow("2000000") << 2000000.0 << u"Two Millions "_s;
    QTest::newRow("1002003004") << 1002003004.0
                                << u"One Billion, Two Millions, Three Thousand and Four Dollars "_s;
    QTest::newRow("largest")
        << 999999999999.99
        << u"Nine Hundred, Ninety Nine Billions, Nine Hundred, Ninety Nine "
           u"Millions, Nine Hundred, Ninety Nine Thousand, Nine Hundred, Ninety "
           u"Nine Dollars and Ninety Nine Cents"_s;
    // Negative amounts: the magnitude's words after "Minus".
    QTest::newRow("-1234.56") << -1234.56
                              << u"Minus One Thousand, Two Hundred, Tirty Four Dollars and Fifty "
                                 u"Six Cents"_s;
    QTest::newRow("-0.5") << -0.5 << u"Minus Fifty Cents "_s;
    QTest::newRow("-0 is zero") << -0.0 << u"Zero"_s;
}

void tst_dvWords::withCurrency()
{
    QFETCH(double, amount);
    QFETCH(QString, expected);
    QCOMPARE(dvNumToWords(amount, true), expected);
}

void tst_dvWords::withoutCurrency_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0.0 << u"Zero"_s;
    QTest::newRow("1.01 keeps the joining blank") << 1.01 << u"One "_s;
    QTest::newRow("0.5") << 0.5 << QString();
    QTest::newRow("1234.56") << 1234.56 << u"One Thousand, Two Hundred, Tirty Four "_s;
    QTest::newRow("1001000") << 1001000.0 << u"One Million, One Thousand"_s;
    QTest::newRow("-42") << -42.0 << u"Minus Fourty Two"_s;
    QTest::newRow("-0.5 has no words") << -0.5 << QString();
}

void tst_dvWords::withoutCurrency()
{
    QFETCH(double, amount);
    QFETCH(QString, expected);
    QCOMPARE(dvNumToWords(amount, false), expected);
}

void tst_dvWords::outsideTheLayout_data()
{
    QTest::addColumn<double>("amount");
    QTest::newRow("a trillion") << 1e12;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
}

void tst_dvWords::outsideTheLayout()
{
    QFETCH(double, amount);
    QCOMPARE(dvNumToWords(amount, true), QString());
    QCOMPARE(dvNumToWords(amount, false), QString());
}

void tst_dvWords::otherLocales_data()
{
    QTest::addColumn<QString>("currency");
    QTest::addColumn<int>("currencyFormat");
    QTest::addColumn<QChar>("thousands");
    QTest::addColumn<QChar>("decimal");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");
    const QString words = u"One Thousand, Two Hundred, Tirty Four Dollars and Fifty Six Cents"_s;
    QTest::newRow("symbol after, blank, comma decimal")
        << u"€"_s << 3 << QChar(u'.') << QChar(u',') << 2 << 1234.56 << words;
    QTest::newRow("symbol with a full stop")
        << u"Fr."_s << 2 << QChar(u'\'') << QChar(u'.') << 2 << 1234.56 << words;
    QTest::newRow("no currency decimals")
        << u"$"_s << 0 << QChar(u',') << QChar(u'.') << 0 << 1234.56
        << u"One Thousand, Two Hundred, Tirty Five Dollars "_s;
    QTest::newRow("three currency decimals")
        << u"$"_s << 0 << QChar(u',') << QChar(u'.') << 3 << 1234.56 << QString();
}

void tst_dvWords::otherLocales()
{
    QFETCH(QString, currency);
    QFETCH(int, currencyFormat);
    QFETCH(QChar, thousands);
    QFETCH(QChar, decimal);
    QFETCH(int, decimals);
    QFETCH(double, amount);
    QFETCH(QString, expected);
    dvt::TFormatSettings &fs = dvt::FormatSettings();
    fs.CurrencyString = currency;
    fs.CurrencyFormat = currencyFormat;
    fs.ThousandSeparator = thousands;
    fs.DecimalSeparator = decimal;
    fs.CurrencyDecimals = decimals;
    QCOMPARE(dvNumToWords(amount, true), expected);
}

QTEST_GUILESS_MAIN(tst_dvWords)
#include "tst_dvWords.moc"
