#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "dvtFolders.h"
#include "dvtIniFile.h"

using namespace Qt::StringLiterals;

class tst_dvtIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    static QString contents(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void keysWithSlashesAreKeptVerbatim()
    {
        dvt::TIniFile ini(path(u"orders.values.ini"_s));
        QVERIFY(
            ini.WriteString(u"ComponentsValues"_s, u"OrderForm/CustomerName"_s, u"Smith & Co"_s));
        QVERIFY(ini.WriteString(u"ComponentsValues"_s, u"OrderForm/Paid"_s, u"Yes"_s));
        QCOMPARE(contents(ini.FileName()),
                 u"[ComponentsValues]\nOrderForm/CustomerName=Smith & Co\nOrderForm/Paid=Yes\n"_s);
        QCOMPARE(ini.ReadString(u"ComponentsValues"_s, u"OrderForm/CustomerName"_s, u"-"_s),
                 u"Smith & Co"_s);
    }

    void read_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QString ini = u"[A]\nk=1\nx/y=slash\n\n[B]\nk = 2 \nempty=\nwith=equals=sign\n"_s;
        QTest::newRow("first section") << ini << u"A"_s << u"k"_s << u"1"_s;
        QTest::newRow("same key, other section") << ini << u"B"_s << u"k"_s << u" 2 "_s;
        QTest::newRow("section ignores case") << ini << u"b"_s << u"K"_s << u" 2 "_s;
        QTest::newRow("slash key") << ini << u"A"_s << u"x/y"_s << u"slash"_s;
        QTest::newRow("empty value") << ini << u"B"_s << u"empty"_s << QString();
        QTest::newRow("value with equals") << ini << u"B"_s << u"with"_s << u"equals=sign"_s;
        QTest::newRow("missing key") << ini << u"A"_s << u"none"_s << u"default"_s;
        QTest::newRow("missing section") << ini << u"C"_s << u"k"_s << u"default"_s;
        QTest::newRow("key outside sections")
            << u"k=0\n[A]\n"_s << u"A"_s << u"k"_s << u"default"_s;
        QTest::newRow("CRLF lines") << u"[A]\r\nk=v\r\n"_s << u"A"_s << u"k"_s << u"v"_s;
        QTest::newRow("no file") << QString() << u"A"_s << u"k"_s << u"default"_s;
    }
    void read()
    {
        QFETCH(QString, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QString name = path(QString::fromLatin1(QTest::currentDataTag()) + u".ini"_s);
        if (!file.isNull()) {
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file.toUtf8());
        }
        QCOMPARE(dvt::TIniFile(name).ReadString(section, key, u"default"_s), expected);
    }

    void writeReplacesOnlyItsKey()
    {
        const QString name = path(u"replace.ini"_s);
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("; comment\n[A]\nk=1\nother=x\n\n[B]\nk=2\n");
        f.close();
        dvt::TIniFile ini(name);
        QVERIFY(ini.WriteString(u"a"_s, u"K"_s, u"new"_s));
        QVERIFY(ini.WriteString(u"A"_s, u"added"_s, u"3"_s));
        QVERIFY(ini.WriteInteger(u"C"_s, u"n"_s, -42));
        QCOMPARE(contents(name),
                 u"; comment\n[A]\nK=new\nother=x\nadded=3\n\n[B]\nk=2\n\n[C]\nn=-42\n"_s);
        QCOMPARE(ini.ReadInteger(u"C"_s, u"n"_s, 0), -42);
        QCOMPARE(ini.ReadInteger(u"B"_s, u"k"_s, 0), 2);
        QCOMPARE(ini.ReadInteger(u"A"_s, u"K"_s, 7), 7); // not a number
    }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << u"abc"_s;
        QTest::newRow("blanks kept") << u"  padded  "_s;
        QTest::newRow("line breaks") << u"one\r\ntwo\nthree"_s;
        QTest::newRow("backslashes") << u"C:\\new\\r"_s;
        QTest::newRow("brackets and equals") << u"[A]=b"_s;
        QTest::newRow("non-Latin") << u"Ünïcødé ελληνικά 日本"_s;
        QTest::newRow("empty") << QString();
    }
    void valuesRoundTrip()
    {
        QFETCH(QString, value);
        dvt::TIniFile ini(path(u"roundtrip.ini"_s));
        QVERIFY(ini.WriteString(u"S"_s, u"k"_s, value));
        QVERIFY(ini.WriteString(u"S"_s, u"after"_s, u"x"_s));
        QCOMPARE(ini.ReadString(u"S"_s, u"k"_s, u"default"_s), value);
        QCOMPARE(ini.ReadString(u"S"_s, u"after"_s, QString()), u"x"_s);
    }

    void bareNameLivesInTheUserFolder()
    {
        dvt::TIniFile ini(u"bare.values.ini"_s);
        QCOMPARE(ini.FileName(), dvt::UserFolder() + u"bare.values.ini"_s);
        QVERIFY(ini.WriteString(u"S"_s, u"k"_s, u"v"_s));
        QVERIFY(QFile::exists(dvt::UserFolder() + u"bare.values.ini"_s));
        QVERIFY(QFile::remove(ini.FileName()));
    }
};

QTEST_MAIN(tst_dvtIniFile)
#include "tst_dvtIniFile.moc"
