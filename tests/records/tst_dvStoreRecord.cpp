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

// Runs the routine the current data tag starts with ("insert: ...") and answers
// its result and its failure sentence.
std::pair<bool, QString> runRoutine(const QString &table, const QString &where,
                                    const QList<QObject *> &controls)
{
    const QString routine = QString::fromLatin1(QTest::currentDataTag()).section(u':', 0, 0);
    if (routine == u"insert")
        return {dvInsertRecord(table, controls), insertFailure};
    if (routine == u"update")
        return {dvUpdateRecord(table, where, controls), updateFailure};
    return {dvDeleteRecord(table, where), deleteFailure};
}

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
                      u"AMOUNT numeric(15,2), BORN date, ARRIVAL char(8), PAYMENT varchar(20), "
                      u"PAYCODE integer)"_s}),
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
        QTest::newRow("TdvMemo") << u"TdvMemo NOTES=line 1\nline 2"_s
                                 << u"cast(NOTES as varchar(200)) as NOTES"_s
                                 << u"line 1\nline 2"_s;
        QTest::newRow("TdvValue negative")
            << u"TdvValue AMOUNT=(0.25)"_s << u"AMOUNT"_s << u"-0.25"_s;
        QTest::newRow("TdvDate") << u"TdvDate BORN=1/31/1970"_s
                                 << u"cast(BORN as varchar(30)) as BORN"_s << u"31-JAN-1970"_s;
        QTest::newRow("TdvDate unreadable")
            << u"TdvDate BORN=2/30/1970"_s << u"BORN"_s << u"<null>"_s;
        QTest::newRow("TdvTime") << u"TdvTime ARRIVAL=10:35:20 PM"_s
                                 << u"trim(ARRIVAL) as ARRIVAL"_s << u"22:35:20"_s;
        QTest::newRow("QComboBox on VARCHAR")
            << u"QComboBox PAYMENT=1"_s << u"PAYMENT"_s << u"Card"_s;
        QTest::newRow("TdvComboBox on INTEGER")
            << u"TdvComboBox PAYCODE=2"_s << u"PAYCODE"_s << u"2"_s;
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

    void updateAndDeleteTheSelectedRowsOnly()
    {
        QWidget form;
        QList<QList<QObject *>> rows;
        for (const QString &name : {u"first"_s, u"second"_s}) {
            rows << QList<QObject *>{newId(&form)}
                        + dvt::test::MakeControls(
                            {u"TdvEdit NAME="_s + name, u"TdvValue AMOUNT=2"_s}, &form);
            QVERIFY(dvInsertRecord(u"STORE"_s, rows.last(), false));
        }
        const QString first = u"ID="_s + dvt::test::State(rows[0][0]);
        const QString second = u"ID="_s + dvt::test::State(rows[1][0]);
        dvt::test::SetState(rows[0][1], u"changed"_s);
        dvt::test::SetState(rows[0][2], u"$1,000.25"_s);
        dvt::test::MessageLog log;
        QVERIFY(dvUpdateRecord(u"STORE"_s, first, {rows[0][1], rows[0][2]}));
        const QString select = u"select NAME, AMOUNT from STORE where "_s;
        const auto changed = m_database->isqlRow(select + first);
        QCOMPARE(changed.value(u"NAME"_s), u"changed"_s);
        QCOMPARE(changed.value(u"AMOUNT"_s), u"1000.25"_s);
        QCOMPARE(m_database->isqlRow(select + second).value(u"NAME"_s), u"second"_s);

        QVERIFY(dvDeleteRecord(u"STORE"_s, first));
        QCOMPARE(m_database->isqlCount(u"STORE"_s, first), 0);
        QCOMPARE(m_database->isqlCount(u"STORE"_s, second), 1);
        // A condition that selects nothing is no failure.
        QVERIFY(dvDeleteRecord(u"STORE"_s, first, false));
        QCOMPARE(log.messages().size(), 0);
    }

    // Statements the database refuses: the routine's sentence, the database's
    // message after two carriage returns, false, and the table as it was.
    void refusedStatements_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("controls");
        const auto row = [](const char *tag, const QString &table, const QString &where,
                            const QStringList &controls) {
            QTest::newRow(tag) << table << where << controls;
        };
        row("insert: no such table", u"NOWHERE"_s, {}, {u"TdvValue ID=900"_s});
        row("insert: NULL key", u"STORE"_s, {}, {u"TdvDate ID=not a date"_s, u"TdvEdit NAME=x"_s});
        row("insert: key taken", u"STORE"_s, {}, {u"TdvValue ID=1"_s, u"TdvEdit NAME=taken"_s});
        row("insert: no controls", u"STORE"_s, {}, {});
        row("insert: a double quote in a combo box's text", u"STORE"_s, {},
            {u"TdvValue ID=906"_s, u"QComboBox PAYMENT=1:Ca\"rd"_s});
        row("update: no such column", u"STORE"_s, u"ID=1"_s,
            {u"TdvEdit NAME=x"_s, u"TdvEdit NOSUCH=x"_s});
        row("update: a bad condition", u"STORE"_s, u"ID=="_s, {u"TdvEdit NAME=x"_s});
        row("update: no controls", u"STORE"_s, u"ID=1"_s, {});
        row("delete: no such table", u"NOWHERE"_s, u"ID=1"_s, {});
        row("delete: no condition", u"STORE"_s, {}, {});
    }
    void refusedStatements()
    {
        QFETCH(QString, table);
        QFETCH(QString, where);
        QFETCH(QStringList, controls);

        ensureRowOne();
        const auto before = snapshot();
        QVERIFY(before.value(u"N"_s).toInt() > 0);
        QWidget form;
        dvt::test::MessageLog log;
        const auto [stored, sentence] =
            runRoutine(table, where, dvt::test::MakeControls(controls, &form));
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
        QTest::addColumn<QStringList>("controls");
        QTest::addColumn<int>("nullAt"); // where a null entry goes, -1 for none
        QTest::addColumn<QString>("reason");

        QTest::newRow("insert: a radio button")
            << QStringList{u"TdvValue ID=904"_s, u"QRadioButton NAME=checked"_s,
                           u"TdvEdit PLAIN=x"_s}
            << -1 << u"The control NAME (QRadioButton) has no value to store."_s;
        QTest::newRow("update: a plain widget last")
            << QStringList{u"TdvEdit PLAIN=x"_s, u"QWidget CAPTION="_s} << -1
            << u"The control CAPTION (QWidget) has no value to store."_s;
        QTest::newRow("update: a null entry")
            << QStringList{u"TdvEdit PLAIN=x"_s, u"TdvEdit NAME=y"_s} << 1
            << u"The control array holds a null entry."_s;
    }
    void controlsWithoutValue()
    {
        QFETCH(QStringList, controls);
        QFETCH(int, nullAt);
        QFETCH(QString, reason);

        ensureRowOne();
        const auto before = snapshot();
        QWidget form;
        QList<QObject *> array = dvt::test::MakeControls(controls, &form);
        if (nullAt >= 0)
            array.insert(nullAt, nullptr);
        dvt::test::MessageLog log;
        const auto [stored, sentence] = runRoutine(u"STORE"_s, u"ID=1"_s, array);
        QVERIFY(!stored);
        QCOMPARE(log.errors(), QStringList{sentence + u"\r\r"_s + reason});
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
