#include <QTest>

#include "dvAddress.h"

using namespace Qt::StringLiterals;

class tst_dvAddress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void soundex_data();
    void soundex();
    void validState_data();
    void validState();
    void validUSZip_data();
    void validUSZip();
};

void tst_dvAddress::soundex_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");
    // Empty names and dropped first letters.
    QTest::newRow("control characters") << u"\t\r\n"_s << QString();
    QTest::newRow("lone A dropped") << u"A"_s << QString();
    QTest::newRow("lone X as S") << u"X"_s << u"S"_s;
    QTest::newRow("KN") << u"KNIGHT"_s << u"NKT"_s;
    QTest::newRow("WR") << u"WRIGHT"_s << u"RKT"_s;
    QTest::newRow("initial X") << u"XAVIER"_s << u"SFR"_s;
    // Vowels count only first; case and surrounding blanks do not matter.
    QTest::newRow("first vowel") << u"EDGE"_s << u"EJ"_s;
    QTest::newRow("lower case, blanks") << u"  smith\t"_s << u"SMO"_s;
    QTest::newRow("accented letter adds nothing") << u"JOSÉ"_s << u"JS"_s;
    QTest::newRow("MB at the end") << u"LAMB"_s << u"LM"_s;
    QTest::newRow("SCI silent C") << u"SCIENCE"_s << u"SNS"_s;
    QTest::newRow("CIA") << u"CIA"_s << u"X"_s;
    QTest::newRow("SCH") << u"SCHMIDT"_s << u"SKMTT"_s;
    QTest::newRow("initial CH before vowel") << u"CHARLES"_s << u"XRLS"_s;
    QTest::newRow("inner CH") << u"MICHAEL"_s << u"MXL"_s;
    QTest::newRow("hard C, CK") << u"JACK"_s << u"JK"_s;
    QTest::newRow("DGE") << u"JUDGE"_s << u"JJ"_s;
    QTest::newRow("GE at the end") << u"GEORGE"_s << u"JR"_s;
    QTest::newRow("GH before consonant") << u"NIGHT"_s << u"NKT"_s;
    QTest::newRow("GNED") << u"SIGNED"_s << u"SNT"_s;
    QTest::newRow("H before consonant") << u"JOHN"_s << u"JN"_s;
    QTest::newRow("PH") << u"PHONE"_s << u"FN"_s;
    QTest::newRow("Q") << u"QUEEN"_s << u"KN"_s;
    QTest::newRow("SIO") << u"PASSION"_s << u"PSXN"_s;
    QTest::newRow("TH") << u"SMITH"_s << u"SMO"_s;
    QTest::newRow("initial THE") << u"THE"_s << u"O"_s;
    QTest::newRow("TCH") << u"MATCH"_s << u"MX"_s;
    QTest::newRow("X") << u"BOX"_s << u"BKS"_s;
    QTest::newRow("seven characters") << u"MAXXXX"_s << u"MKSKSKS"_s;
}

void tst_dvAddress::soundex()
{
    QFETCH(QString, name);
    QFETCH(QString, key);
    QCOMPARE(dvSoundex(name), key);
}

void tst_dvAddress::validState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("country");
    QTest::addColumn<bool>("valid");
    QTest::newRow("state, lower case") << u"ny"_s << u"usa"_s << true;
    QTest::newRow("country padded") << u"NY"_s << u"  United States "_s << true;
    QTest::newRow("territory needs US") << u"PR"_s << u"usa"_s << false;
    QTest::newRow("territory with us") << u"PR"_s << u"us"_s << false;
    QTest::newRow("unknown state") << u"XX"_s << u"US"_s << false;
    QTest::newRow("fragment passes") << u"L|A"_s << u"US"_s << true;
    QTest::newRow("other country") << u"XX"_s << u"Germany"_s << true;
    QTest::newRow("province") << u"on"_s << u"Canada"_s << true;
    QTest::newRow("province is no state") << u"ON"_s << u"USA"_s << false;
    QTest::newRow("GU in the US only with US") << u"GU"_s << u"USA"_s << false;
    QTest::newRow("country fragment, last list counts") << u"ON"_s << u"A"_s << true;
    QTest::newRow("country fragment, not Canadian") << u"NY"_s << u"A"_s << false;
}

void tst_dvAddress::validState()
{
    QFETCH(QString, state);
    QFETCH(QString, country);
    QFETCH(bool, valid);
    QCOMPARE(dvValidState(state, country), valid);
}

void tst_dvAddress::validUSZip_data()
{
    QTest::addColumn<QString>("zip");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("valid");
    QTest::newRow("in range") << u"10001"_s << u"NY"_s << true;
    QTest::newRow("below") << u"08999"_s << u"NY"_s << false;
    QTest::newRow("ZIP+4") << u"10001-1234"_s << u"NY"_s << true;
    QTest::newRow("state case counts") << u"12345"_s << u"ny"_s << false;
    QTest::newRow("state not trimmed") << u"12345"_s << u"NY "_s << false;
    QTest::newRow("unknown state") << u"12345"_s << u"XX"_s << false;
    QTest::newRow("no number") << u"ABCDE"_s << u"NY"_s << false;
    QTest::newRow("empty") << QString() << u"NY"_s << false;
    QTest::newRow("shared prefix") << u"96701"_s << u"AS"_s << true;
    // The exceptions, each beside its range.
    QTest::newRow("AR 755") << u"75501"_s << u"AR"_s << true;
    QTest::newRow("MA 055") << u"05501"_s << u"MA"_s << true;
    QTest::newRow("TX 885") << u"88501"_s << u"TX"_s << true;
    QTest::newRow("VA 201") << u"20101"_s << u"VA"_s << true;
    QTest::newRow("NY 004") << u"00401"_s << u"NY"_s << true;
    QTest::newRow("CT keeps 063") << u"06301"_s << u"CT"_s << true;
    QTest::newRow("FL 343 refused") << u"34301"_s << u"FL"_s << false;
    QTest::newRow("AA keeps 340") << u"34001"_s << u"AA"_s << true;
}

void tst_dvAddress::validUSZip()
{
    QFETCH(QString, zip);
    QFETCH(QString, state);
    QFETCH(bool, valid);
    QCOMPARE(dvValidUSZip(zip, state), valid);
}

QTEST_GUILESS_MAIN(tst_dvAddress)
#include "tst_dvAddress.moc"
