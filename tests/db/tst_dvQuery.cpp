#include <QApplication>
#include <QDateTime>
#include <QProcess>
#include <QTest>

#include <cmath>
#include <memory>

#include "dvControlPanel.h"
#include "dvQuery.h"
#include "dvtDateTime.h"
#include "dvtTestDatabase.h"

using dvt::test::TestDatabase;
using Where = TestDatabase::Where;

namespace {

// The database, the panel that connects to it and a query on that connection;
// destroyed in reverse order, the query first.
struct Fixture
{
    explicit Fixture(Where where) : db(where) { db.configure(panel); }

    TestDatabase db;
    TdvControlPanel panel;
    TdvQuery query;
};

// One value from isql-fb: the statement's single result, without headings.
QString isqlValue(const TestDatabase &db, const QString &select)
{
    return db.isql(QStringLiteral("set heading off;\n") + select + QStringLiteral(";\n")).trimmed();
}

const char childArgument[] = "--insert-as-second-process";

// The second process of the multi-process cases: inserts one row through its
// own panel and prints the row count it then sees; then, when asked to, waits
// for a signal.
int runChild(const QString &target, bool wait)
{
    TdvControlPanel panel;
    panel.SetConnectionString(target);
    panel.SetAutoCreate(false);
    TdvQuery query;
    if (!query.Execute(QStringLiteral("insert into T (ID) values (2)"))
        || !query.Select(QStringLiteral("select count(*) from T"))) {
        fprintf(stderr, "%s\n", qPrintable(query.Error()));
        return 1;
    }
    printf("%d\n", query.AsInteger(0));
    fflush(stdout);
    return wait ? QCoreApplication::exec() : 0;
}

} // namespace

class tst_dvQuery : public QObject
{
    Q_OBJECT

public:
    explicit tst_dvQuery(Where where) : m_where(where) {}

private:
    Where m_where;
    // Each case's own fresh database (init), gone after it (cleanup).
    std::unique_ptr<Fixture> m_f;

    // Table T (ID integer primary key, NAME varchar(40), A integer, B integer)
    // holding the given number of rows: ID and B = 1..rows, A = 0, NAME =
    // "name <ID>". Made by isql-fb, independently of the query.
    void table(int rows)
    {
        QString script = QStringLiteral("create table T (ID integer not null primary key, "
                                        "NAME varchar(40), A integer, B integer);\ncommit;\n");
        for (int id = 1; id <= rows; ++id)
            script += QStringLiteral("insert into T values (%1, 'name %1', 0, %1);\n").arg(id);
        m_f->db.isql(script + QStringLiteral("commit;\n"));
    }

    QString isql(const QString &select) const { return isqlValue(m_f->db, select); }

    void startSecondProcess(QProcess &child, const QStringList &more = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("FIREBIRD")); // the child sets up its own engine
        environment.remove(QStringLiteral("FIREBIRD_LOCK"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    QStringList{QString::fromLatin1(childArgument), m_f->db.target()} + more);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (m_where == Where::Server && !TestDatabase::ServerConfigured())
            QSKIP(TestDatabase::ServerSkipReason());
    }

    void init()
    {
        m_f = std::make_unique<Fixture>(m_where);
        QVERIFY2(m_f->db.isValid(), qPrintable(m_f->db.error()));
    }
    void cleanup() { m_f.reset(); }

    void executeAndSelect()
    {
        table(0);
        TdvQuery &q = m_f->query;
        QVERIFY2(q.Execute(QStringLiteral("insert into T (ID, NAME) values (7, \"10:30:00\")")),
                 qPrintable(q.Error()));
        QVERIFY(q.Error().isEmpty());
        QVERIFY(!q.IsOpen());
        QCOMPARE(isql(QStringLiteral("select NAME from T where ID = 7")),
                 QStringLiteral("10:30:00"));

        // A quoted time is text, no parameter.
        QVERIFY2(
            q.Select(QStringLiteral("select ID, NAME as LABEL from T where NAME = \"10:30:00\"")),
            qPrintable(q.Error()));
        QVERIFY(q.IsOpen());
        QCOMPARE(q.FieldCount(), 2);
        QCOMPARE(q.FieldDefs().at(1).Name, QStringLiteral("LABEL"));
        QCOMPARE(q.GetFieldValue(QStringLiteral("id")), QVariant(7));
        QCOMPARE(q.GetFieldValue(QStringLiteral("Label")), QVariant(QStringLiteral("10:30:00")));
        QCOMPARE(q.FieldIndex(QStringLiteral("NAME")), -1);
        QVERIFY(!q.GetFieldValue(QStringLiteral("NAME")).isValid());
        q.Close();
        QVERIFY(!q.IsOpen());
        QVERIFY(!q.GetFieldValue(QStringLiteral("ID")).isValid());

        // A SELECT without rows answers false but is no error.
        QVERIFY(!q.Select(QStringLiteral("select * from T where ID > 100")));
        QVERIFY(q.Error().isEmpty());
        QVERIFY(!q.IsOpen());
        QCOMPARE(q.FieldCount(), 0);
    }

    void failures_data()
    {
        QTest::addColumn<bool>("select");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("message");
        QTest::newRow("syntax error")
            << true << QStringLiteral("selec * from T") << QStringLiteral("Token unknown");
        QTest::newRow("unknown table") << true << QStringLiteral("select * from NOPE")
                                       << QStringLiteral("Table unknown\nNOPE");
        QTest::newRow("statement without rows")
            << true << QStringLiteral("update T set A = 1") << QStringLiteral("returns no rows");
        QTest::newRow("duplicate key") << false << QStringLiteral("insert into T (ID) values (1)")
                                       << QStringLiteral("violation of PRIMARY or UNIQUE KEY");
        QTest::newRow("empty statement")
            << false << QString() << QStringLiteral("Unexpected end of command");
    }

    void failures()
    {
        QFETCH(bool, select);
        QFETCH(QString, statement);
        QFETCH(QString, message);
        table(2);
        TdvQuery &q = m_f->query;
        QVERIFY(!(select ? q.Select(statement) : q.Execute(statement)));
        QVERIFY2(q.Error().contains(message), qPrintable(q.Error()));
        QVERIFY(!q.IsOpen());
        QCOMPARE(q.SQL(), statement);
        // A failed statement changes nothing and the next one clears the error.
        QCOMPARE(isql(QStringLiteral("select count(*) || '/' || cast(sum(A) as integer) from T")),
                 QStringLiteral("2/0"));
        QVERIFY(q.Execute(QStringLiteral("update T set A = 5 where ID = 1")));
        QVERIFY(q.Error().isEmpty());
    }

    // Execute runs statements that return rows too; the rows are not read.
    void executeIgnoresResults()
    {
        table(1);
        TdvQuery &q = m_f->query;
        QVERIFY2(q.Execute(QStringLiteral("insert into T (ID) values (2) returning ID")),
                 qPrintable(q.Error()));
        QVERIFY(!q.IsOpen());
        QCOMPARE(isql(QStringLiteral("select count(*) from T")), QStringLiteral("2"));
    }

    void selectOfAProcedure()
    {
        table(1);
        TdvQuery &q = m_f->query;
        QVERIFY2(q.Select(QStringLiteral("insert into T (ID, NAME) values (5, \"five\") "
                                         "returning ID, NAME")),
                 qPrintable(q.Error()));
        QCOMPARE(q.RecordCount(), 1);
        QCOMPARE(q.AsString(1), QStringLiteral("five"));
        q.Close(); // commits
        QCOMPARE(isql(QStringLiteral("select NAME from T where ID = 5")), QStringLiteral("five"));
    }

    void joinedText_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        QTest::newRow("three items")
            << QStringList{QStringLiteral("update T set"), QStringLiteral("A=1"),
                           QStringLiteral("where B=2")}
            << QStringLiteral("update T set A=1 where B=2 ");
        QTest::newRow("no items") << QStringList() << QString();
    }

    void joinedText()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        table(3);
        TdvQuery &q = m_f->query;
        const bool ran = !items.isEmpty();
        QCOMPARE(q.Execute(items), ran);
        QCOMPARE(q.SQL(), text);
        QCOMPARE(q.Error().isEmpty(), ran);
        QCOMPARE(isql(QStringLiteral("select cast(sum(A) as integer) from T")),
                 QString::number(int(ran)));

        QVERIFY2(q.Select({QStringLiteral("select count(ID) as num"), QStringLiteral("from T"),
                           QStringLiteral("where B > 1")}),
                 qPrintable(q.Error()));
        QCOMPARE(q.SQL(), QStringLiteral("select count(ID) as num from T where B > 1 "));
        QCOMPARE(q.GetFieldValue(QStringLiteral("NUM")), QVariant(2));
    }

    void navigationOverKeptRows()
    {
        table(10);
        TdvQuery &q = m_f->query;
        QVERIFY(q.Select(QStringLiteral("select ID from T order by ID")));
        QCOMPARE(q.RecordCount(), 10);
        QCOMPARE(q.AsInteger(0), 1); // counting does not move
        QCOMPARE(q.MoveBy(3), 3);
        QCOMPARE(q.MoveBy(-2), -2);
        QCOMPARE(q.AsInteger(0), 2);
        QCOMPARE(q.MoveBy(100), 8);
        QVERIFY(q.Eof());
        QCOMPARE(q.AsInteger(0), 10); // the last row stays current at Eof
        QCOMPARE(q.MoveBy(-100), -9);
        QVERIFY(!q.Eof());
        // How the grid reaches row r: First, then MoveBy(r - 1).
        for (int row = 11; row >= 1; --row) {
            q.First();
            q.MoveBy(row - 1);
            QCOMPARE(q.Eof(), row > 10);
            if (row <= 10)
                QCOMPARE(q.AsInteger(0), row);
        }
    }

    void navigationUnidirectional()
    {
        table(10);
        TdvQuery &q = m_f->query;
        q.SetUnidirectional(true);
        QVERIFY(q.Select(QStringLiteral("select ID from T order by ID")));
        QCOMPARE(q.RecordCount(), -1);
        QCOMPARE(q.MoveBy(3), 3);
        QCOMPARE(q.MoveBy(-2), -2); // runs the statement again
        QCOMPARE(q.AsInteger(0), 2);
        int seen = 0;
        for (q.First(); !q.Eof(); q.Next())
            QCOMPARE(q.AsInteger(0), ++seen);
        QCOMPARE(seen, 10);
        QVERIFY(q.IsNull(0)); // no row is current past the end
        QVERIFY(q.Error().isEmpty());
    }

    void typeMapping_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<int>("fieldType");
        QTest::addColumn<int>("size");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");

        const auto row = [](const char *type, const QString &literal, dvt::TFieldType fieldType,
                            int size, const QVariant &value, const QString &text) {
            QTest::newRow(type) << QString::fromUtf8(type) << literal << int(fieldType) << size
                                << value << text;
        };
        row("varchar(20)", QStringLiteral("' abc '"), dvt::ftString, 20, QStringLiteral(" abc "),
            QStringLiteral(" abc "));
        row("char(3)", QStringLiteral("'жё'"), dvt::ftFixedChar, 3, QStringLiteral("жё "),
            QStringLiteral("жё "));
        row("smallint", QStringLiteral("-32768"), dvt::ftSmallint, 0, QVariant(-32768),
            QStringLiteral("-32768"));
        row("numeric(4,1)", QStringLiteral("-123.4"), dvt::ftFloat, 0, QVariant(-123.4),
            QStringLiteral("-123.4"));
        row("numeric(15,2)", QStringLiteral("-12345678901.25"), dvt::ftFloat, 0,
            QVariant(-12345678901.25), QStringLiteral("-12345678901.25"));
        row("double precision", QStringLiteral("1.5e300"), dvt::ftFloat, 0, QVariant(1.5e300),
            QStringLiteral("1.5e+300"));
        // Dialect 1: DATE is a timestamp.
        row("date", QStringLiteral("'12/31/1999 14:30:15'"), dvt::ftDateTime, 0,
            QVariant(QDateTime(QDate(1999, 12, 31), QTime(14, 30, 15), Qt::UTC)),
            QStringLiteral("1999-12-31 14:30:15"));
        row("boolean", QStringLiteral("true"), dvt::ftBoolean, 0, QVariant(true),
            QStringLiteral("True"));
        row("blob sub_type text", QStringLiteral("'line 1' || ascii_char(10) || 'Zeile ü'"),
            dvt::ftMemo, 0, QVariant(QStringLiteral("line 1\nZeile ü")),
            QStringLiteral("line 1\nZeile ü"));
        row("blob sub_type 0", QStringLiteral("x'00FF41'"), dvt::ftBlob, 0,
            QVariant(QByteArray("\x00\xff\x41", 3)),
            QString::fromUtf8("\x00\xef\xbf\xbd"
                              "A",
                              5));
        row("char(3) character set octets", QStringLiteral("x'414200'"), dvt::ftBytes, 3,
            QVariant(QByteArray("AB\x00", 3)), QString::fromUtf8("AB\x00", 3));
    }

    // Values written by isql-fb, read by the query; the second row holds NULL.
    void typeMapping()
    {
        QFETCH(QString, type);
        QFETCH(QString, literal);
        QFETCH(int, fieldType);
        QFETCH(int, size);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        const QString output = m_f->db.isql(
            QStringLiteral("create table V (N integer, X %1);\ncommit;\n"
                           "insert into V values (1, %2);\ninsert into V values (2, null);\n"
                           "commit;\n")
                .arg(type, literal));
        QVERIFY2(!output.contains(QStringLiteral("Statement failed")), qPrintable(output));

        TdvQuery &q = m_f->query;
        QVERIFY2(q.Select(QStringLiteral("select N, X from V order by N")), qPrintable(q.Error()));
        const dvt::TFieldDef def = q.FieldDefs().at(1);
        QCOMPARE(def.Name, QStringLiteral("X"));
        QCOMPARE(int(def.DataType), fieldType);
        QCOMPARE(def.Size, size);
        QVERIFY(!q.IsNull(1));
        QCOMPARE(q.GetFieldValue(QStringLiteral("x")), value);
        QCOMPARE(q.Value(1), value);
        QCOMPARE(q.AsString(1), text);

        q.Next();
        QVERIFY(!q.Eof());
        QVERIFY(q.IsNull(1));
        QVERIFY(!q.GetFieldValue(QStringLiteral("X")).isValid());
        QVERIFY(q.AsString(1).isEmpty());
        QCOMPARE(q.AsFloat(1), 0.0);
        QCOMPARE(q.AsLargeInt(1), qint64(0));
        QVERIFY(!q.IsNull(0));
    }

    void typedAccessors_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<qlonglong>("integer");
        QTest::addColumn<double>("number");
        QTest::addColumn<bool>("boolean");
        QTest::newRow("numeric rounds")
            << QStringLiteral("cast(2.5 as numeric(9,2))") << 3LL << 2.5 << true;
        QTest::newRow("text is parsed")
            << QStringLiteral("cast(' 42 ' as varchar(10))") << 42LL << 42.0 << true;
        QTest::newRow("unreadable text")
            << QStringLiteral("cast('x' as varchar(10))") << 0LL << 0.0 << false;
        QTest::newRow("date as number")
            << QStringLiteral("cast('01/02/1900 12:00' as date)") << 0LL << 3.5 << false;
    }

    void typedAccessors()
    {
        QFETCH(QString, expression);
        QFETCH(qlonglong, integer);
        QFETCH(double, number);
        QFETCH(bool, boolean);
        TdvQuery &q = m_f->query;
        QVERIFY2(q.Select(QStringLiteral("select %1 from rdb$database").arg(expression)),
                 qPrintable(q.Error()));
        QCOMPARE(q.AsLargeInt(0), integer);
        QCOMPARE(q.AsInteger(0), int(integer));
        QCOMPARE(q.AsFloat(0), number);
        QCOMPARE(q.AsBoolean(0), boolean);
        // Out of range reads nothing.
        QCOMPARE(q.AsLargeInt(5), qint64(0));
        QVERIFY(q.IsNull(-1));
    }

    void dateTimeValues_data()
    {
        QTest::addColumn<QString>("literal");
        QTest::addColumn<double>("expected");
        QTest::newRow("before day zero")
            << QStringLiteral("12/29/1899 06:00") << -1.25; // the time stays a positive fraction
        QTest::newRow("long ago") << QStringLiteral("01/01/0100 18:00")
                                  << dvt::EncodeDate(100, 1, 1) - 0.75;
    }

    void dateTimeValues()
    {
        QFETCH(QString, literal);
        QFETCH(double, expected);
        TdvQuery &q = m_f->query;
        QVERIFY2(
            q.Select(QStringLiteral("select cast(\"%1\" as date) from rdb$database").arg(literal)),
            qPrintable(q.Error()));
        QVERIFY2(std::abs(q.AsDateTime(0) - expected) < 1e-9,
                 qPrintable(QString::number(q.AsDateTime(0), 'g', 17)));
    }

    // A dialect-3 database seen through dialect 1: DATE, TIME and BIGINT keep
    // their own types.
    void dialect3Columns()
    {
        if (m_where == Where::Server)
            QSKIP("the embedded case covers the types; the server adds nothing here");
        const QString target = m_f->db.target() + QStringLiteral(".d3");
        QProcess isql;
        isql.setProcessChannelMode(QProcess::MergedChannels);
        isql.start(QStringLiteral("isql-fb"),
                   {QStringLiteral("-q"), QStringLiteral("-sql_dialect"), QStringLiteral("3")});
        isql.write(QStringLiteral("create database '%1' default character set utf8;\n"
                                  "create table T (D date, T time, B bigint, N numeric(18,2));\n"
                                  "insert into T values ('2020-01-02', '10:30:15', "
                                  "12345678901, -123.45);\ncommit;\n")
                       .arg(target)
                       .toUtf8());
        isql.closeWriteChannel();
        QVERIFY(isql.waitForFinished(60000));
        const QByteArray output = isql.readAll();
        QVERIFY2(!output.contains("failed"), output.constData());

        m_f->panel.SetConnectionString(target);
        TdvQuery &q = m_f->query;
        QVERIFY2(q.Select(QStringLiteral("select D, T, B, N from T")), qPrintable(q.Error()));
        QCOMPARE(int(q.FieldDefs().at(0).DataType), int(dvt::ftDate));
        QCOMPARE(int(q.FieldDefs().at(1).DataType), int(dvt::ftTime));
        QCOMPARE(int(q.FieldDefs().at(2).DataType), int(dvt::ftLargeint));
        QCOMPARE(int(q.FieldDefs().at(3).DataType), int(dvt::ftFloat));
        QCOMPARE(q.Value(0), QVariant(QDate(2020, 1, 2)));
        QCOMPARE(q.Value(1), QVariant(QTime(10, 30, 15)));
        QCOMPARE(q.Value(2), QVariant(12345678901LL));
        QCOMPARE(q.Value(3), QVariant(-123.45));
        QCOMPARE(q.AsDateTime(0), dvt::EncodeDate(2020, 1, 2));
        QCOMPARE(q.AsDateTime(1), dvt::EncodeTime(10, 30, 15));
    }

    void unicodeRoundTrip()
    {
        const QString text = QStringLiteral("O'Brien Kommünïkation 日本語 😀 𝄞");
        table(0);
        TdvQuery &q = m_f->query;
        QVERIFY2(q.Execute(QStringLiteral("insert into T (ID, NAME) values (1, \"%1\")").arg(text)),
                 qPrintable(q.Error()));
        QVERIFY(q.Prepare(QStringLiteral("insert into T (ID, NAME) values (2, ?)")));
        q.SetParamText(0, text);
        QVERIFY2(q.ExecutePrepared(), qPrintable(q.Error()));

        // What was stored, seen by another client.
        QCOMPARE(isql(QStringLiteral("select count(*) from T where NAME = '%1'")
                          .arg(QString(text).replace(QLatin1Char('\''), QStringLiteral("''")))),
                 QStringLiteral("2"));
        QVERIFY(q.Select(QStringLiteral("select NAME from T order by ID")));
        QCOMPARE(q.AsString(0), text);
        q.Next();
        QCOMPARE(q.GetFieldValue(QStringLiteral("NAME")).toString(), text);
        // CONTAINING ignores case, not accents.
        QVERIFY(q.Select(QStringLiteral("select ID from T where NAME containing \"ÜNÏ\"")));
        QVERIFY(!q.Select(QStringLiteral("select ID from T where NAME containing \"UNI\"")));
        QVERIFY(q.Error().isEmpty());
    }

    void preparedStatements()
    {
        TdvQuery &q = m_f->query;
        QVERIFY(q.Execute(QStringLiteral("create table P (ID integer, NAME varchar(20), "
                                         "AMOUNT numeric(15,2), D date, M blob sub_type text)")));
        QVERIFY(!q.ExecutePrepared());
        QCOMPARE(q.Error(), QStringLiteral("No statement is prepared"));
        QVERIFY2(q.Prepare(QStringLiteral("insert into P values (?, ?, ?, ?, ?)")),
                 qPrintable(q.Error()));
        QCOMPARE(q.ParamCount(), 5);

        const QString longMemo = QString(40000, QLatin1Char('m')) + QStringLiteral("ü");
        q.SetParamInteger(0, 1);
        q.SetParamText(1, QStringLiteral("text"));
        q.SetParamFloat(2, 12.5);
        q.SetParamText(3, QStringLiteral("12/31/1999"));
        q.SetParamText(4, longMemo);
        QVERIFY2(q.ExecutePrepared(), qPrintable(q.Error()));
        // Texts are converted by the database; unset and NULL parameters are NULL.
        q.SetParamText(0, QStringLiteral("2"));
        q.SetParamNull(1);
        q.SetParamText(2, QStringLiteral("-0.25"));
        q.SetParamNull(3);
        q.SetParamNull(4);
        q.SetParamText(9, QStringLiteral("ignored")); // no such parameter
        QVERIFY2(q.ExecutePrepared(), qPrintable(q.Error()));
        q.SetParamText(0, QStringLiteral("not a number"));
        QVERIFY(!q.ExecutePrepared());
        QVERIFY2(q.Error().contains(QStringLiteral("conversion error")), qPrintable(q.Error()));

        QCOMPARE(isql(QStringLiteral(
                     "select count(*) || '|' || cast(sum(AMOUNT) * 100 as integer) || '|' || "
                     "max(extract(year from D)) || '|' || "
                     "max(char_length(M)) || '|' || count(NAME) from P")),
                 QStringLiteral("2|1225|1999|40001|1"));
        QVERIFY(q.Select(QStringLiteral("select M from P where ID = 1")));
        QCOMPARE(q.AsString(0), longMemo);
    }

    void transactions()
    {
        table(1);
        TdvQuery &q = m_f->query;
        TdvControlPanel &panel = m_f->panel;
        QVERIFY(!panel.Commit());
        QVERIFY(!panel.LastError().isEmpty());

        // Rolled back: gone for everyone.
        QVERIFY2(panel.StartTransaction(), qPrintable(panel.LastError()));
        QVERIFY(panel.InTransaction());
        QVERIFY(!panel.StartTransaction());
        QVERIFY(q.Execute(QStringLiteral("insert into T (ID) values (2)")));
        QVERIFY(q.Select(QStringLiteral("select count(*) from T")));
        QCOMPARE(q.AsInteger(0), 2); // the transaction sees its own row
        QCOMPARE(isql(QStringLiteral("select count(*) from T")), QStringLiteral("1"));
        QVERIFY(panel.Rollback());
        QVERIFY(!panel.InTransaction());
        QVERIFY(!q.IsOpen()); // its result belonged to the transaction

        // Committed: there for everyone.
        QVERIFY(panel.StartTransaction());
        TdvQuery other;
        QVERIFY(other.Execute(QStringLiteral("insert into T (ID) values (3)")));
        QVERIFY(q.Select(QStringLiteral("select ID from T order by ID")));
        QVERIFY(panel.Commit());
        QVERIFY(!q.IsOpen());
        QCOMPARE(isql(QStringLiteral("select count(*) from T")), QStringLiteral("2"));

        // Outside a transaction each statement commits at once.
        QVERIFY(q.Execute(QStringLiteral("delete from T where ID = 3")));
        QCOMPARE(isql(QStringLiteral("select count(*) from T")), QStringLiteral("1"));
    }

    void noConnection()
    {
        m_f.reset();
        TdvQuery q;
        QVERIFY(!q.Execute(QStringLiteral("delete from T")));
        QCOMPARE(q.Error(), QStringLiteral("No database connection is named \"dvTools\""));
        QVERIFY(!q.Select(QStringLiteral("select * from T")));
        QVERIFY(!q.Prepare(QStringLiteral("delete from T")));
        QCOMPARE(q.RecordCount(), 0);
        QCOMPARE(q.MoveBy(1), 0);
        QVERIFY(q.Eof());
        QVERIFY(!q.Value(0).isValid());
    }

    void connectionClosedUnderOpenQuery()
    {
        table(3);
        TdvQuery &q = m_f->query;
        QVERIFY(q.Select(QStringLiteral("select ID from T order by ID")));
        m_f->panel.Close();
        QVERIFY(!q.IsOpen());
        QVERIFY(!q.Value(0).isValid());
        QCOMPARE(q.MoveBy(1), 0);
        // The next statement connects again.
        QVERIFY2(q.Select(QStringLiteral("select count(*) from T")), qPrintable(q.Error()));
        QCOMPARE(q.AsInteger(0), 3);
        QVERIFY(m_f->panel.Connected());
    }

    // Another attachment ends this one, as an administrator or a server
    // shutdown would: the query reports it and the next statement reconnects.
    void lostConnection()
    {
        table(3);
        TdvQuery &q = m_f->query;
        QVERIFY(q.Select(QStringLiteral("select ID from T order by ID")));
        {
            dvt::TDatabase admin;
            admin.SetDatabaseName(QStringLiteral("Admin"));
            m_f->db.configure(admin);
            TdvQuery killer;
            killer.SetDatabaseName(QStringLiteral("Admin"));
            QVERIFY2(killer.Execute(QStringLiteral("delete from mon$attachments where "
                                                   "mon$attachment_id <> current_connection")),
                     qPrintable(killer.Error()));
        }
        QVERIFY(!q.Execute(QStringLiteral("update T set A = 1")));
        // "connection shutdown" embedded, a failed network write on a server.
        QVERIFY(!q.Error().isEmpty());
        QVERIFY(!m_f->panel.Connected());
        QVERIFY2(q.Execute(QStringLiteral("update T set A = 1")), qPrintable(q.Error()));
        QVERIFY(m_f->panel.Connected());
        QCOMPARE(isql(QStringLiteral("select cast(sum(A) as integer) from T")),
                 QStringLiteral("3"));
    }

    void panelDestroyedUnderOpenQuery()
    {
        TdvQuery q;
        QVERIFY2(q.Select(QStringLiteral("select 1 from rdb$database")), qPrintable(q.Error()));
        m_f.reset();
        QVERIFY(!q.IsOpen());
        QVERIFY(!q.Select(QStringLiteral("select 1 from rdb$database")));
        QCOMPARE(q.Error(), QStringLiteral("No database connection is named \"dvTools\""));
    }

    void otherDatabaseName()
    {
        dvt::TDatabase connection;
        connection.SetDatabaseName(QStringLiteral("Archive"));
        m_f->db.configure(connection);
        TdvQuery q;
        q.SetDatabaseName(QStringLiteral("ARCHIVE"));
        QVERIFY2(q.Select(QStringLiteral("select 1 from rdb$database")), qPrintable(q.Error()));
        QCOMPARE(dvt::TDatabase::Find(QStringLiteral("archive")), &connection);
    }

    void twoProcessesShareTheEmbeddedFile()
    {
        if (m_where == Where::Server)
            QSKIP("a server serves any number of processes; this concerns the embedded engine");
        table(1);
        // This process keeps the file open, with a result open too.
        QVERIFY(m_f->query.Select(QStringLiteral("select ID from T")));

        QProcess child;
        startSecondProcess(child);
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("2"));

        TdvQuery q;
        QVERIFY(q.Select(QStringLiteral("select count(*) from T")));
        QCOMPARE(q.AsInteger(0), 2);
    }

    void terminationEndsTheProcess()
    {
        // The client library installs SIGTERM and SIGINT handlers that keep the
        // program running; the application's default must win.
        table(1);
        QProcess child;
        startSecondProcess(child, {QStringLiteral("wait")});
        QVERIFY(child.waitForReadyRead(60000));
        child.terminate();
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    }
};

// With --server first, the cases run against the test server instead of an
// embedded file (a test of its own in CTest, so that each stays short).
int main(int argc, char **argv)
{
    const bool server = argc > 1 && qstrcmp(argv[1], "--server") == 0;
    if (server) {
        argv[1] = argv[0];
        ++argv;
        --argc;
    }
    QApplication app(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], childArgument) == 0)
        return runChild(QString::fromLocal8Bit(argv[2]), argc > 3);
    tst_dvQuery test(server ? Where::Server : Where::Embedded);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dvQuery.moc"
