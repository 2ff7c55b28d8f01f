#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <limits>

#include "dvCrypt.h"

using namespace Qt::StringLiterals;

namespace {

const QString Alphabet =
    u" abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ~!@#$%^&*()-_=+/?.>,<0123456789"
    u"áÁéÉíÍóÓúÚãÃõÕñÑàÀèÈìÌòÒùÙ"_s;

// Characters that the scrambling leaves alone.
const QString Outsiders = u"\"';:[]{}\\|`\t\r\n\x01çÇüÜ€ß"_s;

} // namespace

class tst_dvCrypt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void knownTexts_data();
    void knownTexts();
    void outsidersPassThrough();
    void eachPositionIsAPermutation();
    void rotationPeriod();
    void roundTrip_data();
    void roundTrip();
};

void tst_dvCrypt::knownTexts_data()
{
    // Scrambled files must stay readable across versions: these pin the alphabet.
    // The key is accepted and ignored.
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("scrambled");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("greeting") << u"Hello, World!"_s << u"I?!OéÑ?W+2èO*"_s;
    QTest::newRow("mixed with outsiders") << u"Ação; \"x\" [1]"_s << u"2çt-;ú\"3\"#[_]"_s;
}

void tst_dvCrypt::knownTexts()
{
    QFETCH(QString, plain);
    QFETCH(QString, scrambled);
    QCOMPARE(dvEnCrypt(plain, 0), scrambled);
    QCOMPARE(dvEnCrypt(plain, 123456), scrambled);
    QCOMPARE(dvDeCrypt(scrambled, std::numeric_limits<int>::min()), plain);
}

void tst_dvCrypt::outsidersPassThrough()
{
    const QString text = Outsiders + Outsiders;
    QCOMPARE(dvEnCrypt(text, 7), text);
    QCOMPARE(dvDeCrypt(text, 7), text);

    // Between scrambled characters they keep their places.
    const QString mixed = u"a\"b;c\\d"_s;
    const QString scrambled = dvEnCrypt(mixed, 0);
    QCOMPARE(scrambled.size(), mixed.size());
    for (const qsizetype i : {1, 3, 5})
        QCOMPARE(scrambled.at(i), mixed.at(i));
    for (const qsizetype i : {0, 2, 4, 6})
        QVERIFY(Alphabet.contains(scrambled.at(i)));
}

void tst_dvCrypt::eachPositionIsAPermutation()
{
    // At any position the alphabet maps onto itself, every character once.
    for (const int position : {1, 110, 111, 250}) {
        QSet<QChar> images;
        const QString prefix(position - 1, u' ');
        for (const QChar c : Alphabet) {
            const QChar image = dvEnCrypt(prefix + c, 0).back();
            QVERIFY(Alphabet.contains(image));
            images.insert(image);
        }
        QCOMPARE(images.size(), Alphabet.size());
    }
}

void tst_dvCrypt::rotationPeriod()
{
    // One character repeated: positions 1 to 109 all differ; 110 and 111 repeat
    // position 1; from 111 on the pattern repeats every 110 positions.
    const QString scrambled = dvEnCrypt(QString(400, u'a'), 0);
    const auto at = [&](int position) { return scrambled.at(position - 1); };
    QSet<QChar> first;
    for (int p = 1; p <= 109; ++p)
        first.insert(at(p));
    QCOMPARE(first.size(), 109);
    QCOMPARE(at(110), at(1));
    QCOMPARE(at(111), at(1));
    QCOMPARE(at(112), at(2));
    QVERIFY(at(112) != at(111));
    for (int p = 111; p + 110 <= 400; ++p)
        QCOMPARE(at(p + 110), at(p));
}

void tst_dvCrypt::roundTrip_data()
{
    QTest::addColumn<int>("length");
    for (const int length : {0, 1, 109, 110, 111, 221, 1000})
        QTest::addRow("%d", length) << length;
}

void tst_dvCrypt::roundTrip()
{
    QFETCH(int, length);
    // Random texts over the alphabet, the outsiders and any other UTF-16 unit.
    QRandomGenerator random(quint32(length) * 2654435761u + 1);
    const QString pool = Alphabet + Outsiders;
    for (int sample = 0; sample < 20; ++sample) {
        QString text;
        for (int i = 0; i < length; ++i) {
            if (random.bounded(10) == 0)
                text += QChar(char16_t(random.bounded(0x10000)));
            else
                text += pool.at(random.bounded(int(pool.size())));
        }
        const int key = int(random.generate());
        const QString scrambled = dvEnCrypt(text, key);
        QCOMPARE(scrambled.size(), text.size());
        QCOMPARE(dvDeCrypt(scrambled, ~key), text);
        // Decoding is a bijection too, so scrambling undoes it.
        QCOMPARE(dvEnCrypt(dvDeCrypt(text, key), key), text);
        if (length >= 20)
            QVERIFY(scrambled != text);
    }
}

QTEST_GUILESS_MAIN(tst_dvCrypt)
#include "tst_dvCrypt.moc"
