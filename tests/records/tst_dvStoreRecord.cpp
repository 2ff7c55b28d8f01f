// Storing records: the values that reach the database, read back by a separate
// client (isql-fb), and the failures, each reported with the routine's sentence
// and the database's message and leaving the table as it was.

#include "dvRecords.h"
#include "dvtRecordsTestSupport.h"

using namespace Qt::StringLiterals;

namespace {

const QString insertFailure = u"It was not possible to insert the record!"_s;
const QString updateFailure = u"It was not possible to update the record!"_s;
const QString deleteFailure = u"It was not possible to delete the record!"_s;

// Every row of STORE, as isql-fb reads it: how the tests see that a failed
// statement stored nothing.
const QString snapshotQuery =
    u"select count(*) as N, cast(list(ID || ':' || coalesce(NAME, '-') || ':' || "
    u"coalesce(cast(AMOUNT as varchar(30)), '-') || ':' || coalesce(PAYMENT, '-'), '|') as "
    u"varchar(4000)) as ALLROWS "
    u"from STORE"_s;

} // namespace

class tst_dvStoreRecord : public QObject
{
    Q_OBJECT

    std::unique_ptr<dvt::test::RecordsDatabase> m_database;
    int m_nextId = 1;

    // An ID control holding a number not used before.
    QObject *newId(QWidget *form)
    {
        QWidget *id = dvt::test::MakeControl(u"TdvValue"_s, u"ID"_s, form);
        dvt::test::SetState(id, QString::number(m_nextId++));
        return id;
    }

    QMap<QString, QString> snapshot() const { return m_database->isqlRow(snapshotQuery); }

    // Row 1 exists, so that keys collide and updates have a row to spoil.
    void ensureRowOne()
    {
        if (m_database->isqlCount(u"STORE"_s, u"ID=1"_s) > 0)
            return;
        QWidget form;
        QVERIFY(dvInsertRecord(
            u"STORE"_s, dvt::test::MakeControls({u"TdvValue ID=1"_s, u"TdvEdit NAME=one"_s,
                                                 u"TdvValue AMOUNT=1"_s, u"QComboBox PAYMENT=0"_s},
                                                &form)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!QStandardPaths::findExecutable(u"isql-fb"_s).isEmpty(),
                 "isql-fb (package firebird3.0-utils) reads the stored values back");
        QStandardPaths::setTestModeEnabled(true);
        m_database = std::make_unique<dvt::test::RecordsDatabase>();
        QVERIFY(m_database->open());
        QCOMPARE(dvt::test::RecordsDatabase::execute(
                     {u"create table STORE (ID integer not null primary key, NAME varchar(40), "
                      u"PLAIN varchar(40), CAPTION varchar(40), NOTES blob sub_type text, "
                      u"PLAINMEMO varchar(200), AMOUNT numeric(15,2), BORN date, "
                      u"ARRIVAL char(8), ACTIVE char(1), PLAINCHECK char(1), "
                      u"PAYMENT varchar(20), PAYCODE integer, SHORTCODE char(10))"_s}),
                 QString());
    }
    void cleanupTestCase() { m_database.reset(); }

    // One control of each class in the insert, and how the database holds its value.
    void insertStoresTheValue_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<QString>("stored");

        QTest::newRow("TdvEdit") << uR"(TdvEdit NAME= Say "hi" )"_s << u"NAME"_s << u" Say hi "_s;
        QTest::newRow("QLineEdit")
            << uR"(QLineEdit PLAIN=Ünïcode "x")"_s << u"PLAIN"_s << u"Ünïcode x"_s;
        QTest::newRow("QLabel") << u"QLabel CAPTION=Total: 7"_s << u"CAPTION"_s << u"Total: 7"_s;
        QTest::newRow("TdvMemo") << u"TdvMemo NOTES=line 1\nline 2"_s
                                 << u"cast(NOTES as varchar(200)) as NOTES"_s
                                 << u"line 1\nline 2"_s;
        QTest::newRow("QPlainTextEdit")
            << u"QPlainTextEdit PLAINMEMO=  a\n\nb  "_s
            << u"replace(PLAINMEMO, ascii_char(10), '/') as PLAINMEMO"_s << u"  a//b  "_s;
        QTest::newRow("TdvValue") << u"TdvValue AMOUNT=$1,234.50"_s << u"AMOUNT"_s << u"1234.50"_s;
        QTest::newRow("TdvValue negative")
            << u"TdvValue AMOUNT=(0.25)"_s << u"AMOUNT"_s << u"-0.25"_s;
        QTest::newRow("TdvDate") << u"TdvDate BORN=1/31/1970"_s
                                 << u"cast(BORN as varchar(30)) as BORN"_s << u"31-JAN-1970"_s;
        QTest::newRow("TdvDate unreadable")
            << u"TdvDate BORN=2/30/1970"_s << u"BORN"_s << u"<null>"_s;
        QTest::newRow("TdvTime") << u"TdvTime ARRIVAL=10:35:20 PM"_s
                                 << u"trim(ARRIVAL) as ARRIVAL"_s << u"22:35:20"_s;
        QTest::newRow("TdvTime unreadable")
            << u"TdvTime ARRIVAL=late"_s << u"'[' || trim(ARRIVAL) || ']' as ARRIVAL"_s << u"[]"_s;
        QTest::newRow("TdvCheckBox")
            << u"TdvCheckBox ACTIVE=checked"_s << u"trim(ACTIVE) as ACTIVE"_s << u"Y"_s;
        QTest::newRow("QCheckBox")
            << u"QCheckBox PLAINCHECK=unchecked"_s << u"trim(PLAINCHECK) as PLAINCHECK"_s << u"N"_s;
        QTest::newRow("QComboBox on VARCHAR")
            << u"QComboBox PAYMENT=1"_s << u"PAYMENT"_s << u"Card"_s;
        QTest::newRow("TdvComboBox on CHAR")
            << u"TdvComboBox ShortCode=2"_s << u"trim(SHORTCODE) as SHORTCODE"_s << u"Invoice"_s;
        QTest::newRow("TdvComboBox on INTEGER")
            << u"TdvComboBox PAYCODE=2"_s << u"PAYCODE"_s << u"2"_s;
        QTest::newRow("QComboBox on INTEGER, no choice")
            << u"QComboBox PAYCODE=-1"_s << u"PAYCODE"_s << u"-1"_s;
    }
    void insertStoresTheValue()
    {
        QFETCH(QString, control);
        QFETCH(QString, readBack);
        QFETCH(QString, stored);

        QWidget form;
        QObject *id = newId(&form);
        const QList<QObject *> controls =
            QList<QObject *>{id} + dvt::test::MakeControls({control}, &form);
        dvt::test::MessageLog log;
        QVERIFY(dvInsertRecord(u"STORE"_s, controls));
        QCOMPARE(log.messages().size(), 0);
        const QString column = control.section(u' ', 1).section(u'=', 0, 0).toUpper();
        const auto row = m_database->isqlRow(u"select "_s + readBack + u" from STORE where ID="_s
                                             + dvt::test::State(id));
        QCOMPARE(row.value(column), stored);
    }

    void updateChangesTheSelectedRowOnly()
    {
        QWidget form;
        const QList<QObject *> first =
            QList<QObject *>{newId(&form)}
            + dvt::test::MakeControls({u"TdvEdit NAME=first"_s, u"TdvValue AMOUNT=1"_s}, &form);
        QWidget otherForm;
        const QList<QObject *> second =
            QList<QObject *>{newId(&otherForm)}
            + dvt::test::MakeControls({u"TdvEdit NAME=second"_s, u"TdvValue AMOUNT=2"_s},
                                      &otherForm);
        QVERIFY(dvInsertRecord(u"STORE"_s, first));
        QVERIFY(dvInsertRecord(u"STORE"_s, second, false));

        dvt::test::SetState(first[1], u"changed"_s);
        dvt::test::SetState(first[2], u"$1,000.25"_s);
        dvt::test::MessageLog log;
        QVERIFY(dvUpdateRecord(u"STORE"_s, u"ID="_s + dvt::test::State(first[0]),
                               {first[1], first[2]}));
        QCOMPARE(log.messages().size(), 0);

        const QString select = u"select NAME, AMOUNT from STORE where ID="_s;
        const auto changed = m_database->isqlRow(select + dvt::test::State(first[0]));
        QCOMPARE(changed.value(u"NAME"_s), u"changed"_s);
        QCOMPARE(changed.value(u"AMOUNT"_s), u"1000.25"_s);
        const auto untouched = m_database->isqlRow(select + dvt::test::State(second[0]));
        QCOMPARE(untouched.value(u"NAME"_s), u"second"_s);
        QCOMPARE(untouched.value(u"AMOUNT"_s), u"2.00"_s);
    }

    void deleteRemovesTheSelectedRows()
    {
        QWidget form;
        const int from = m_nextId;
        for (int row = 0; row < 3; ++row) {
            QWidget *name = dvt::test::MakeControl(u"TdvEdit"_s, u"NAME"_s, &form);
            dvt::test::SetState(name, u"doomed"_s);
            QVERIFY(dvInsertRecord(u"STORE"_s, {newId(&form), name}));
        }
        const QString where = u"ID>="_s + QString::number(from + 1);
        QCOMPARE(m_database->isqlCount(u"STORE"_s, u"NAME='doomed'"_s), 3);
        dvt::test::MessageLog log;
        QVERIFY(dvDeleteRecord(u"STORE"_s, where));
        QCOMPARE(log.messages().size(), 0);
        QCOMPARE(m_database->isqlCount(u"STORE"_s, u"NAME='doomed'"_s), 1);
        // A condition that selects nothing is no failure.
        QVERIFY(dvDeleteRecord(u"STORE"_s, where, false));
        QCOMPARE(m_database->isqlCount(u"STORE"_s, u"NAME='doomed'"_s), 1);
    }

    // Statements the database refuses: the routine's sentence, the database's
    // message after two carriage returns, false, and the table as it was.
    void refusedStatements_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("controls");
        QTest::addColumn<QString>("sentence");

        const QStringList valid = {u"TdvValue ID=1"_s, u"TdvEdit NAME=taken"_s};
        QTest::newRow("insert: no such table")
            << u"insert"_s << u"NOWHERE"_s << QString() << QStringList{u"TdvValue ID=900"_s}
            << insertFailure;
        QTest::newRow("insert: no such column")
            << u"insert"_s << u"STORE"_s << QString()
            << QStringList{u"TdvValue ID=901"_s, u"TdvEdit NOSUCH=x"_s} << insertFailure;
        QTest::newRow("insert: NULL key")
            << u"insert"_s << u"STORE"_s << QString()
            << QStringList{u"TdvDate ID=not a date"_s, u"TdvEdit NAME=x"_s} << insertFailure;
        QTest::newRow("insert: key taken")
            << u"insert"_s << u"STORE"_s << QString() << valid << insertFailure;
        QTest::newRow("insert: text too long")
            << u"insert"_s << u"STORE"_s << QString()
            << QStringList{u"TdvValue ID=902"_s, u"TdvEdit NAME="_s + QString(41, u'x')}
            << insertFailure;
        QTest::newRow("insert: not a number")
            << u"insert"_s << u"STORE"_s << QString()
            << QStringList{u"TdvValue ID=903"_s, u"TdvEdit AMOUNT=twelve"_s} << insertFailure;
        QTest::newRow("insert: no controls")
            << u"insert"_s << u"STORE"_s << QString() << QStringList() << insertFailure;
        QTest::newRow("insert: a double quote in a combo box's text")
            << u"insert"_s << u"STORE"_s << QString()
            << QStringList{u"TdvValue ID=906"_s, u"QComboBox PAYMENT=1:Ca\"rd"_s} << insertFailure;
        QTest::newRow("update: no such table") << u"update"_s << u"NOWHERE"_s << u"ID=1"_s
                                               << QStringList{u"TdvEdit NAME=x"_s} << updateFailure;
        QTest::newRow("update: no such column")
            << u"update"_s << u"STORE"_s << u"ID=1"_s
            << QStringList{u"TdvEdit NAME=x"_s, u"TdvEdit NOSUCH=x"_s} << updateFailure;
        QTest::newRow("update: NULL key")
            << u"update"_s << u"STORE"_s << u"ID=1"_s
            << QStringList{u"TdvEdit NAME=x"_s, u"TdvDate ID=-"_s} << updateFailure;
        QTest::newRow("update: a bad condition")
            << u"update"_s << u"STORE"_s << u"ID=="_s << QStringList{u"TdvEdit NAME=x"_s}
            << updateFailure;
        QTest::newRow("update: no controls")
            << u"update"_s << u"STORE"_s << u"ID=1"_s << QStringList() << updateFailure;
        QTest::newRow("delete: no such table")
            << u"delete"_s << u"NOWHERE"_s << u"ID=1"_s << QStringList() << deleteFailure;
        QTest::newRow("delete: a bad condition")
            << u"delete"_s << u"STORE"_s << u"NOSUCH=1"_s << QStringList() << deleteFailure;
        QTest::newRow("delete: no condition")
            << u"delete"_s << u"STORE"_s << QString() << QStringList() << deleteFailure;
    }
    void refusedStatements()
    {
        QFETCH(QString, routine);
        QFETCH(QString, table);
        QFETCH(QString, where);
        QFETCH(QStringList, controls);
        QFETCH(QString, sentence);

        ensureRowOne();
        const auto before = snapshot();
        QVERIFY(before.value(u"N"_s).toInt() > 0);

        QWidget form;
        const QList<QObject *> array = dvt::test::MakeControls(controls, &form);
        dvt::test::MessageLog log;
        bool stored = true;
        if (routine == u"insert")
            stored = dvInsertRecord(table, array);
        else if (routine == u"update")
            stored = dvUpdateRecord(table, where, array);
        else
            stored = dvDeleteRecord(table, where);

        QVERIFY(!stored);
        QCOMPARE(log.errors().size(), 1);
        QCOMPARE(log.messages().size(), 1);
        const QString message = log.errors().constFirst();
        QVERIFY2(message.startsWith(sentence + u"\r\r"_s), qPrintable(message));
        QVERIFY(message.size() > sentence.size() + 2);
        QVERIFY(!message.contains(u'\n' + sentence));
        QCOMPARE(snapshot(), before);
    }

    // A control without a value would leave the statement malformed, and the
    // database may even take it ("set NAME= PLAIN="x"" stores the comparison's
    // result in NAME): nothing is sent, and the message names the control.
    void controlsWithoutValue_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<QStringList>("controls");
        QTest::addColumn<int>("nullAt"); // where a null entry goes, -1 for none
        QTest::addColumn<QString>("message");

        QTest::newRow("insert: a radio button")
            << u"insert"_s
            << QStringList{u"TdvValue ID=904"_s, u"QRadioButton NAME=checked"_s,
                           u"TdvEdit PLAIN=x"_s}
            << -1
            << insertFailure + u"\r\rThe control NAME (QRadioButton) has no value to store."_s;
        QTest::newRow("insert: a check list box last")
            << u"insert"_s << QStringList{u"TdvValue ID=905"_s, u"TdvCheckListBox NAME=a"_s} << -1
            << insertFailure + u"\r\rThe control NAME (TdvCheckListBox) has no value to store."_s;
        QTest::newRow("update: a radio button first")
            << u"update"_s << QStringList{u"TdvRadioButton NAME=checked"_s, u"TdvEdit PLAIN=x"_s}
            << -1
            << updateFailure + u"\r\rThe control NAME (TdvRadioButton) has no value to store."_s;
        QTest::newRow("update: a plain widget last")
            << u"update"_s << QStringList{u"TdvEdit PLAIN=x"_s, u"QWidget CAPTION="_s} << -1
            << updateFailure + u"\r\rThe control CAPTION (QWidget) has no value to store."_s;
        QTest::newRow("update: a null entry")
            << u"update"_s << QStringList{u"TdvEdit PLAIN=x"_s, u"TdvEdit NAME=y"_s} << 1
            << updateFailure + u"\r\rThe control array holds a null entry."_s;
    }
    void controlsWithoutValue()
    {
        QFETCH(QString, routine);
        QFETCH(QStringList, controls);
        QFETCH(int, nullAt);
        QFETCH(QString, message);

        ensureRowOne();
        const auto before = snapshot();
        QWidget form;
        QList<QObject *> array = dvt::test::MakeControls(controls, &form);
        if (nullAt >= 0)
            array.insert(nullAt, nullptr);
        dvt::test::MessageLog log;
        if (routine == u"insert")
            QVERIFY(!dvInsertRecord(u"STORE"_s, array));
        else
            QVERIFY(!dvUpdateRecord(u"STORE"_s, u"ID=1"_s, array));
        QCOMPARE(log.errors(), QStringList{message});
        QCOMPARE(snapshot(), before);
    }

    // Without a connection every routine fails with its own sentence and the
    // reason the connection could not be made.
    void noConnection()
    {
        TdvControlPanel *panel = m_database->panel();
        const QString database = panel->ConnectionString();
        panel->Close();
        panel->SetConnectionString(QDir::temp().filePath(u"no/such/folder/x.fdb"_s));
        panel->SetAutoCreate(false);

        QWidget form;
        const QList<QObject *> array =
            dvt::test::MakeControls({u"TdvValue ID=1000"_s, u"QComboBox PAYMENT=1"_s}, &form);
        dvt::test::MessageLog log;
        QVERIFY(!dvInsertRecord(u"STORE"_s, array));
        QVERIFY(!dvUpdateRecord(u"STORE"_s, u"ID=1"_s, array));
        QVERIFY(!dvDeleteRecord(u"STORE"_s, u"ID=1"_s));
        const QStringList errors = log.errors();
        QCOMPARE(errors.size(), 3);
        QVERIFY(errors[0].startsWith(insertFailure + u"\r\r"_s));
        QVERIFY(errors[1].startsWith(updateFailure + u"\r\r"_s));
        QVERIFY(errors[2].startsWith(deleteFailure + u"\r\r"_s));

        panel->SetAutoCreate(true);
        panel->SetConnectionString(database);
        QVERIFY(panel->Open());
        QCOMPARE(m_database->isqlCount(u"STORE"_s, u"ID=1000"_s), 0);
    }
};

QTEST_MAIN(tst_dvStoreRecord)
#include "tst_dvStoreRecord.moc"
