#include <QApplication>
#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
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

// The second process of twoProcessesShareTheEmbeddedFile: inserts one row into
// the file through its own panel and prints the row count it then sees.
int runChild(const QString &target)
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
    return 0;
}

} // namespace

class tst_dvQuery : public QObject
{
    Q_OBJECT

public:
    explicit tst_dvQuery(Where where) : m_where(where) {}

private:
    Where m_where;

    // A fixture with table T (ID integer primary key, NAME varchar(40), A integer,
    // B integer) holding the given number of rows: ID and B = 1..rows, A = 0,
    // NAME = "name <ID>". Rows are added by isql-fb, independently of the query.
    std::unique_ptr<Fixture> withTable(int rows = 0)
    {
        auto f = std::make_unique<Fixture>(m_where);
        if (!f->db.isValid())
            return f;
        QString script = QStringLiteral("create table T (ID integer not null primary key, "
                                        "NAME varchar(40), A integer, B integer);\ncommit;\n");
        for (int id = 1; id <= rows; ++id)
            script += QStringLiteral("insert into T values (%1, 'name %1', 0, %1);\n").arg(id);
        script += QStringLiteral("commit;\n");
        f->db.isql(script);
        return f;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (m_where == Where::Server && !TestDatabase::ServerConfigured())
            QSKIP(TestDatabase::ServerSkipReason());
    }

    void executeAndSelect()
    {
        auto f = withTable();
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QVERIFY2(q.Execute(QStringLiteral("insert into T (ID, NAME) values (7, \"seven\")")),
                 qPrintable(q.Error()));
        QVERIFY(q.Error().isEmpty());
        QVERIFY(!q.IsOpen());
        QCOMPARE(isqlValue(f->db, QStringLiteral("select NAME from T where ID = 7")),
                 QStringLiteral("seven"));

        QVERIFY2(q.Select(QStringLiteral("select ID, NAME as LABEL from T")),
                 qPrintable(q.Error()));
        QVERIFY(q.IsOpen());
        QVERIFY(!q.Eof());
        QCOMPARE(q.FieldCount(), 2);
        QCOMPARE(q.FieldDefs().at(0).Name, QStringLiteral("ID"));
        QCOMPARE(q.FieldDefs().at(1).Name, QStringLiteral("LABEL"));
        QCOMPARE(q.GetFieldValue(QStringLiteral("id")), QVariant(7));
        QCOMPARE(q.GetFieldValue(QStringLiteral("Label")), QVariant(QStringLiteral("seven")));
        QCOMPARE(q.FieldIndex(QStringLiteral("label")), 1);
        QCOMPARE(q.FieldIndex(QStringLiteral("NAME")), -1);
        QVERIFY(!q.GetFieldValue(QStringLiteral("NAME")).isValid());
        QCOMPARE(q.SQL(), QStringLiteral("select ID, NAME as LABEL from T"));
        q.Close();
        QVERIFY(!q.IsOpen());
        QVERIFY(!q.GetFieldValue(QStringLiteral("ID")).isValid());
    }

    void emptySelect()
    {
        auto f = withTable(3);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
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
        QTest::newRow("null into not null")
            << false << QStringLiteral("insert into T (NAME) values (\"x\")")
            << QStringLiteral("validation error for column");
        QTest::newRow("text into integer")
            << false << QStringLiteral("update T set A = \"abc\"")
            << QStringLiteral("conversion error from string \"abc\"");
        QTest::newRow("empty statement")
            << false << QString() << QStringLiteral("Unexpected end of command");
    }

    void failures()
    {
        QFETCH(bool, select);
        QFETCH(QString, statement);
        QFETCH(QString, message);
        auto f = withTable(2);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        const bool result = select ? q.Select(statement) : q.Execute(statement);
        QVERIFY(!result);
        QVERIFY2(q.Error().contains(message), qPrintable(q.Error()));
        QVERIFY(!q.IsOpen());
        QCOMPARE(q.SQL(), statement);
        // A failed statement changes nothing and the next one clears the error.
        QCOMPARE(isqlValue(f->db, QStringLiteral(
                                      "select count(*) || '/' || cast(sum(A) as integer) from T")),
                 QStringLiteral("2/0"));
        QVERIFY(q.Execute(QStringLiteral("update T set A = 5 where ID = 1")));
        QVERIFY(q.Error().isEmpty());
    }

    void executeIgnoresResults_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("rows");
        QTest::newRow("select") << QStringLiteral("select * from T") << QStringLiteral("1");
        QTest::newRow("procedure with output")
            << QStringLiteral("execute block returns (X integer) as begin X = 1; suspend; end")
            << QStringLiteral("1");
        QTest::newRow("insert returning")
            << QStringLiteral("insert into T (ID) values (2) returning ID") << QStringLiteral("2");
    }

    // Execute runs statements that return rows too; the rows are not read.
    void executeIgnoresResults()
    {
        QFETCH(QString, statement);
        QFETCH(QString, rows);
        auto f = withTable(1);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QVERIFY2(q.Execute(statement), qPrintable(q.Error()));
        QVERIFY(!q.IsOpen());
        QCOMPARE(isqlValue(f->db, QStringLiteral("select count(*) from T")), rows);
    }

    void selectOfAProcedure()
    {
        auto f = withTable(1);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QVERIFY2(q.Select(QStringLiteral("insert into T (ID, NAME) values (5, \"five\") "
                                         "returning ID, NAME")),
                 qPrintable(q.Error()));
        QCOMPARE(q.RecordCount(), 1);
        QCOMPARE(q.AsInteger(0), 5);
        QCOMPARE(q.AsString(1), QStringLiteral("five"));
        q.Next();
        QVERIFY(q.Eof());
        q.Close(); // commits
        QCOMPARE(isqlValue(f->db, QStringLiteral("select NAME from T where ID = 5")),
                 QStringLiteral("five"));
    }

    void joinedText_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ran");
        QTest::newRow("three items")
            << QStringList{QStringLiteral("update T set"), QStringLiteral("A=1"),
                           QStringLiteral("where B=2")}
            << QStringLiteral("update T set A=1 where B=2 ") << true;
        QTest::newRow("one item") << QStringList{QStringLiteral("update T set A=1")}
                                  << QStringLiteral("update T set A=1 ") << true;
        QTest::newRow("no items") << QStringList() << QString() << false;
    }

    void joinedText()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        QFETCH(bool, ran);
        auto f = withTable(3);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QCOMPARE(q.Execute(items), ran);
        QCOMPARE(q.SQL(), text);
        QCOMPARE(q.Error().isEmpty(), ran);
        const QString expected = !ran                ? QStringLiteral("0")
                                 : items.size() == 3 ? QStringLiteral("1")
                                                     : QStringLiteral("3");
        QCOMPARE(isqlValue(f->db, QStringLiteral("select cast(sum(A) as integer) from T")),
                 expected);
    }

    void joinedSelect()
    {
        auto f = withTable(5);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QVERIFY2(q.Select({QStringLiteral("select count(ID) as num"), QStringLiteral("from T"),
                           QStringLiteral("where B > 2")}),
                 qPrintable(q.Error()));
        QCOMPARE(q.SQL(), QStringLiteral("select count(ID) as num from T where B > 2 "));
        QCOMPARE(q.GetFieldValue(QStringLiteral("NUM")), QVariant(3));
    }

    void quotedTimeNeedsNoParameter()
    {
        auto f = withTable();
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QVERIFY2(q.Execute(QStringLiteral("insert into T (ID, NAME) values (1, \"10:30:00\")")),
                 qPrintable(q.Error()));
        QCOMPARE(isqlValue(f->db, QStringLiteral("select NAME from T")),
                 QStringLiteral("10:30:00"));
        QVERIFY2(q.Select(QStringLiteral("select ID from T where NAME = \"10:30:00\"")),
                 qPrintable(q.Error()));
        QCOMPARE(q.AsInteger(0), 1);
    }

    void navigationOverKeptRows()
    {
        auto f = withTable(10);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QVERIFY(q.Select(QStringLiteral("select ID from T order by ID")));
        QCOMPARE(q.RecordCount(), 10);
        QCOMPARE(q.AsInteger(0), 1); // counting does not move
        QCOMPARE(q.MoveBy(3), 3);
        QCOMPARE(q.AsInteger(0), 4);
        QCOMPARE(q.MoveBy(-2), -2);
        QCOMPARE(q.AsInteger(0), 2);
        QCOMPARE(q.MoveBy(100), 8);
        QVERIFY(q.Eof());
        QCOMPARE(q.AsInteger(0), 10);
        QCOMPARE(q.MoveBy(-100), -9);
        QVERIFY(!q.Eof());
        QCOMPARE(q.AsInteger(0), 1);
        int seen = 0;
        for (q.First(); !q.Eof(); q.Next())
            QCOMPARE(q.AsInteger(0), ++seen);
        QCOMPARE(seen, 10);
        QCOMPARE(q.AsInteger(0), 10); // the last row stays current at Eof
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
        auto f = withTable(10);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        q.SetUnidirectional(true);
        QVERIFY(q.Select(QStringLiteral("select ID from T order by ID")));
        QCOMPARE(q.RecordCount(), -1);
        QCOMPARE(q.MoveBy(3), 3);
        QCOMPARE(q.AsInteger(0), 4);
        QCOMPARE(q.MoveBy(-2), -2); // runs the statement again
        QCOMPARE(q.AsInteger(0), 2);
        q.First();
        QCOMPARE(q.AsInteger(0), 1);
        int seen = 0;
        for (; !q.Eof(); q.Next())
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

        const auto row = [](const char *name, const char *type, const QString &literal,
                            dvt::TFieldType fieldType, int size, const QVariant &value,
                            const QString &text) {
            QTest::newRow(name) << QString::fromUtf8(type) << literal << int(fieldType) << size
                                << value << text;
        };
        row("varchar", "varchar(20)", QStringLiteral("' abc '"), dvt::ftString, 20,
            QStringLiteral(" abc "), QStringLiteral(" abc "));
        row("char", "char(5)", QStringLiteral("'ab'"), dvt::ftFixedChar, 5, QStringLiteral("ab   "),
            QStringLiteral("ab   "));
        row("char non-Latin", "char(3)", QStringLiteral("'жё'"), dvt::ftFixedChar, 3,
            QStringLiteral("жё "), QStringLiteral("жё "));
        row("smallint", "smallint", QStringLiteral("-32768"), dvt::ftSmallint, 0, QVariant(-32768),
            QStringLiteral("-32768"));
        row("integer", "integer", QStringLiteral("2147483647"), dvt::ftInteger, 0,
            QVariant(2147483647), QStringLiteral("2147483647"));
        row("numeric(4,1)", "numeric(4,1)", QStringLiteral("-123.4"), dvt::ftFloat, 0,
            QVariant(-123.4), QStringLiteral("-123.4"));
        row("numeric(9,2)", "numeric(9,2)", QStringLiteral("1234567.89"), dvt::ftFloat, 0,
            QVariant(1234567.89), QStringLiteral("1234567.89"));
        row("numeric(15,2)", "numeric(15,2)", QStringLiteral("-12345678901.25"), dvt::ftFloat, 0,
            QVariant(-12345678901.25), QStringLiteral("-12345678901.25"));
        row("double precision", "double precision", QStringLiteral("1.5e300"), dvt::ftFloat, 0,
            QVariant(1.5e300), QStringLiteral("1.5e+300"));
        row("float", "float", QStringLiteral("0.5"), dvt::ftFloat, 0, QVariant(0.5),
            QStringLiteral("0.5"));
        row("date is a timestamp", "date", QStringLiteral("'12/31/1999 14:30:15'"), dvt::ftDateTime,
            0, QVariant(QDateTime(QDate(1999, 12, 31), QTime(14, 30, 15), Qt::UTC)),
            QStringLiteral("1999-12-31 14:30:15"));
        row("timestamp", "timestamp", QStringLiteral("'1850-02-03 06:00'"), dvt::ftDateTime, 0,
            QVariant(QDateTime(QDate(1850, 2, 3), QTime(6, 0), Qt::UTC)),
            QStringLiteral("1850-02-03 06:00:00"));
        row("boolean", "boolean", QStringLiteral("true"), dvt::ftBoolean, 0, QVariant(true),
            QStringLiteral("True"));
        row("memo", "blob sub_type text", QStringLiteral("'line 1' || ascii_char(10) || 'Zeile ü'"),
            dvt::ftMemo, 0, QVariant(QStringLiteral("line 1\nZeile ü")),
            QStringLiteral("line 1\nZeile ü"));
        row("binary blob", "blob sub_type 0", QStringLiteral("x'00FF41'"), dvt::ftBlob, 0,
            QVariant(QByteArray("\x00\xff\x41", 3)),
            QString::fromUtf8("\x00\xef\xbf\xbd"
                              "A",
                              5));
        row("char octets", "char(3) character set octets", QStringLiteral("x'414200'"),
            dvt::ftBytes, 3, QVariant(QByteArray("AB\x00", 3)), QString::fromUtf8("AB\x00", 3));
        row("varchar octets", "varchar(8) character set octets", QStringLiteral("x'4142'"),
            dvt::ftVarBytes, 8, QVariant(QByteArray("AB")), QStringLiteral("AB"));
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
        Fixture f(m_where);
        QVERIFY2(f.db.isValid(), qPrintable(f.db.error()));
        const QString output = f.db.isql(
            QStringLiteral("create table V (N integer, X %1);\ncommit;\n"
                           "insert into V values (1, %2);\ninsert into V values (2, null);\n"
                           "commit;\n")
                .arg(type, literal));
        QVERIFY2(!output.contains(QStringLiteral("Statement failed")), qPrintable(output));

        TdvQuery &q = f.query;
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
        QTest::newRow("integer") << QStringLiteral("cast(-7 as integer)") << -7LL << -7.0 << true;
        QTest::newRow("numeric rounds")
            << QStringLiteral("cast(2.5 as numeric(9,2))") << 3LL << 2.5 << true;
        QTest::newRow("double rounds")
            << QStringLiteral("cast(-2.4 as double precision)") << -2LL << -2.4 << true;
        QTest::newRow("text is parsed")
            << QStringLiteral("cast(' 42 ' as varchar(10))") << 42LL << 42.0 << true;
        QTest::newRow("unreadable text")
            << QStringLiteral("cast('x' as varchar(10))") << 0LL << 0.0 << false;
        QTest::newRow("false") << QStringLiteral("false") << 0LL << 0.0 << false;
        QTest::newRow("date as number")
            << QStringLiteral("cast('01/02/1900 12:00' as date)") << 0LL << 3.5 << false;
    }

    void typedAccessors()
    {
        QFETCH(QString, expression);
        QFETCH(qlonglong, integer);
        QFETCH(double, number);
        QFETCH(bool, boolean);
        Fixture f(m_where);
        QVERIFY2(f.db.isValid(), qPrintable(f.db.error()));
        TdvQuery &q = f.query;
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
        QTest::newRow("day zero") << QStringLiteral("12/30/1899") << 0.0;
        QTest::newRow("millennium eve")
            << QStringLiteral("12/31/1999 14:30")
            << dvt::EncodeDate(1999, 12, 31) + dvt::EncodeTime(14, 30, 0);
        QTest::newRow("before day zero")
            << QStringLiteral("12/29/1899 06:00") << -1.25; // the time stays a positive fraction
        QTest::newRow("long ago") << QStringLiteral("01/01/0100 18:00")
                                  << dvt::EncodeDate(100, 1, 1) - 0.75;
    }

    void dateTimeValues()
    {
        QFETCH(QString, literal);
        QFETCH(double, expected);
        Fixture f(m_where);
        QVERIFY2(f.db.isValid(), qPrintable(f.db.error()));
        TdvQuery &q = f.query;
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
        Fixture f(m_where);
        QVERIFY2(f.db.isValid(), qPrintable(f.db.error()));
        const QString target = f.db.target() + QStringLiteral(".d3");
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

        f.panel.SetConnectionString(target);
        TdvQuery &q = f.query;
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
        QCOMPARE(q.AsLargeInt(2), 12345678901LL);
    }

    void bigintFromTheCatalogue()
    {
        Fixture f(m_where);
        QVERIFY2(f.db.isValid(), qPrintable(f.db.error()));
        TdvQuery &q = f.query;
        QVERIFY2(q.Select(QStringLiteral("select mon$attachment_id, current_connection from "
                                         "mon$attachments where mon$attachment_id = "
                                         "current_connection")),
                 qPrintable(q.Error()));
        QCOMPARE(int(q.FieldDefs().at(0).DataType), int(dvt::ftLargeint));
        QVERIFY(q.AsLargeInt(0) > 0);
        QCOMPARE(q.AsLargeInt(0), q.AsLargeInt(1));
    }

    void unicodeRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("Latin accents") << QStringLiteral("Ærøskøbing Ünïcödé àéîõü");
        QTest::newRow("Greek and Cyrillic") << QStringLiteral("Ελληνικά кириллица");
        QTest::newRow("CJK") << QStringLiteral("日本語のテキスト 中文");
        QTest::newRow("outside the BMP") << QStringLiteral("emoji 😀 and 𝄞");
        QTest::newRow("apostrophe") << QStringLiteral("O'Brien");
    }

    void unicodeRoundTrip()
    {
        QFETCH(QString, text);
        auto f = withTable();
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QVERIFY2(q.Execute(QStringLiteral("insert into T (ID, NAME) values (1, \"%1\")").arg(text)),
                 qPrintable(q.Error()));
        QVERIFY(q.Prepare(QStringLiteral("insert into T (ID, NAME) values (2, ?)")));
        q.SetParamText(0, text);
        QVERIFY2(q.ExecutePrepared(), qPrintable(q.Error()));

        // What was stored, seen by another client.
        QCOMPARE(isqlValue(f->db, QStringLiteral("select count(*) from T where NAME = '%1'")
                                      .arg(QString(text).replace(QLatin1Char('\''),
                                                                 QStringLiteral("''")))),
                 QStringLiteral("2"));
        QVERIFY(q.Select(QStringLiteral("select NAME from T order by ID")));
        QCOMPARE(q.AsString(0), text);
        q.Next();
        QCOMPARE(q.GetFieldValue(QStringLiteral("NAME")).toString(), text);
    }

    void containingIgnoresCase_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("found");
        QTest::newRow("upper-case accents") << QStringLiteral("ÜNÏ") << true;
        QTest::newRow("same case") << QStringLiteral("ünï") << true;
        QTest::newRow("mixed case part") << QStringLiteral("Nï") << true;
        QTest::newRow("accents matter") << QStringLiteral("UNI") << false;
    }

    void containingIgnoresCase()
    {
        QFETCH(QString, search);
        QFETCH(bool, found);
        auto f = withTable();
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QVERIFY(
            q.Execute(QStringLiteral("insert into T (ID, NAME) values (1, \"Kommünïkation\")")));
        QCOMPARE(
            q.Select(QStringLiteral("select ID from T where NAME containing \"%1\"").arg(search)),
            found);
        QVERIFY(q.Error().isEmpty());
    }

    void preparedStatements()
    {
        Fixture f(m_where);
        QVERIFY2(f.db.isValid(), qPrintable(f.db.error()));
        TdvQuery &q = f.query;
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

        QCOMPARE(
            isqlValue(f.db,
                      QStringLiteral(
                          "select count(*) || '|' || cast(sum(AMOUNT) * 100 as integer) || '|' || "
                          "max(extract(year from D)) || '|' || "
                          "max(char_length(M)) || '|' || count(NAME) from P")),
            QStringLiteral("2|1225|1999|40001|1"));
        QVERIFY(q.Select(QStringLiteral("select M from P where ID = 1")));
        QCOMPARE(q.AsString(0), longMemo);
    }

    void preparedRunsManyTimes()
    {
        Fixture f(m_where);
        QVERIFY2(f.db.isValid(), qPrintable(f.db.error()));
        TdvQuery &q = f.query;
        QVERIFY(q.Execute(QStringLiteral("create table P (ID integer, NAME varchar(20))")));
        QVERIFY(f.panel.StartTransaction());
        QVERIFY(q.Prepare(QStringLiteral("insert into P values (?, ?)")));
        for (int id = 1; id <= 2000; ++id) {
            q.SetParamInteger(0, id);
            q.SetParamText(1, QStringLiteral("row %1").arg(id));
            QVERIFY2(q.ExecutePrepared(), qPrintable(q.Error()));
        }
        QVERIFY(f.panel.Commit());
        QCOMPARE(isqlValue(f.db, QStringLiteral(
                                     "select count(*) || '|' || cast(sum(ID) as integer) || '|' || "
                                     "max(NAME) from P")),
                 QStringLiteral("2000|2001000|row 999"));
    }

    void transactions()
    {
        auto f = withTable(1);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        TdvControlPanel &panel = f->panel;
        QVERIFY(!panel.InTransaction());
        QVERIFY(!panel.Commit());
        QVERIFY(!panel.LastError().isEmpty());

        // Rolled back: gone for everyone.
        QVERIFY2(panel.StartTransaction(), qPrintable(panel.LastError()));
        QVERIFY(panel.InTransaction());
        QVERIFY(!panel.StartTransaction());
        QVERIFY(q.Execute(QStringLiteral("insert into T (ID) values (2)")));
        QVERIFY(q.Select(QStringLiteral("select count(*) from T")));
        QCOMPARE(q.AsInteger(0), 2); // the transaction sees its own row
        QCOMPARE(isqlValue(f->db, QStringLiteral("select count(*) from T")), QStringLiteral("1"));
        QVERIFY(panel.Rollback());
        QVERIFY(!panel.InTransaction());
        QVERIFY(!q.IsOpen()); // its result belonged to the transaction
        QVERIFY(q.Select(QStringLiteral("select count(*) from T")));
        QCOMPARE(q.AsInteger(0), 1);

        // Committed: there for everyone.
        QVERIFY(panel.StartTransaction());
        TdvQuery other;
        QVERIFY(other.Execute(QStringLiteral("insert into T (ID) values (3)")));
        QVERIFY(q.Select(QStringLiteral("select ID from T order by ID")));
        QVERIFY(panel.Commit());
        QVERIFY(!q.IsOpen());
        QCOMPARE(isqlValue(f->db, QStringLiteral("select count(*) from T")), QStringLiteral("2"));

        // Outside a transaction each statement commits at once.
        QVERIFY(q.Execute(QStringLiteral("delete from T where ID = 3")));
        QCOMPARE(isqlValue(f->db, QStringLiteral("select count(*) from T")), QStringLiteral("1"));
    }

    void noConnection()
    {
        TdvQuery q;
        QVERIFY(!q.Execute(QStringLiteral("delete from T")));
        QCOMPARE(q.Error(), QStringLiteral("No database connection is named \"dvTools\""));
        QVERIFY(!q.Select(QStringLiteral("select * from T")));
        QCOMPARE(q.Error(), QStringLiteral("No database connection is named \"dvTools\""));
        QVERIFY(!q.Prepare(QStringLiteral("delete from T")));
        QVERIFY(!q.IsOpen());
        QCOMPARE(q.RecordCount(), 0);
        QCOMPARE(q.MoveBy(1), 0);
        QVERIFY(q.Eof());
        QVERIFY(!q.Value(0).isValid());
    }

    void unreachableDatabase()
    {
        TestDatabase db(m_where); // for the server's location and user
        QVERIFY2(db.isValid(), qPrintable(db.error()));
        TdvControlPanel panel;
        db.configure(panel);
        panel.SetConnectionString(db.target() + QStringLiteral(".missing"));
        panel.SetAutoCreate(false);
        panel.Loaded(); // silent
        QVERIFY(!panel.Connected());
        QVERIFY(!panel.LastError().isEmpty());
        TdvQuery q;
        QVERIFY(!q.Execute(QStringLiteral("delete from T")));
        QVERIFY2(q.Error().contains(QStringLiteral(".missing")), qPrintable(q.Error()));
        QCOMPARE(q.Error(), panel.LastError());
    }

    void connectionClosedUnderOpenQuery()
    {
        auto f = withTable(3);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QVERIFY(q.Select(QStringLiteral("select ID from T order by ID")));
        f->panel.Close();
        QVERIFY(!q.IsOpen());
        QVERIFY(!q.Value(0).isValid());
        QCOMPARE(q.MoveBy(1), 0);
        // The next statement connects again.
        QVERIFY2(q.Select(QStringLiteral("select count(*) from T")), qPrintable(q.Error()));
        QCOMPARE(q.AsInteger(0), 3);
        QVERIFY(f->panel.Connected());
    }

    // Another attachment ends this one, as an administrator or a server
    // shutdown would: the query reports it and the next statement reconnects.
    void lostConnection()
    {
        auto f = withTable(3);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        TdvQuery &q = f->query;
        QVERIFY(q.Select(QStringLiteral("select ID from T order by ID")));
        {
            dvt::TDatabase admin;
            admin.SetDatabaseName(QStringLiteral("Admin"));
            f->db.configure(admin);
            TdvQuery killer;
            killer.SetDatabaseName(QStringLiteral("Admin"));
            QVERIFY2(killer.Execute(QStringLiteral("delete from mon$attachments where "
                                                   "mon$attachment_id <> current_connection")),
                     qPrintable(killer.Error()));
        }
        QVERIFY(!q.Execute(QStringLiteral("update T set A = 1")));
        // "connection shutdown" embedded, a failed network write on a server.
        QVERIFY(!q.Error().isEmpty());
        QVERIFY(!f->panel.Connected());
        QVERIFY2(q.Execute(QStringLiteral("update T set A = 1")), qPrintable(q.Error()));
        QVERIFY(f->panel.Connected());
        QCOMPARE(isqlValue(f->db, QStringLiteral("select cast(sum(A) as integer) from T")),
                 QStringLiteral("3"));
    }

    void panelDestroyedUnderOpenQuery()
    {
        TestDatabase db(m_where);
        QVERIFY2(db.isValid(), qPrintable(db.error()));
        TdvQuery q;
        {
            TdvControlPanel panel;
            db.configure(panel);
            QVERIFY2(q.Select(QStringLiteral("select 1 from rdb$database")), qPrintable(q.Error()));
        }
        QVERIFY(!q.IsOpen());
        QVERIFY(!q.Select(QStringLiteral("select 1 from rdb$database")));
        QCOMPARE(q.Error(), QStringLiteral("No database connection is named \"dvTools\""));
    }

    void otherDatabaseName()
    {
        TestDatabase db(m_where);
        QVERIFY2(db.isValid(), qPrintable(db.error()));
        dvt::TDatabase connection;
        connection.SetDatabaseName(QStringLiteral("Archive"));
        db.configure(connection);
        TdvQuery q;
        QCOMPARE(q.DatabaseName(), QStringLiteral("dvTools"));
        q.SetDatabaseName(QStringLiteral("ARCHIVE"));
        QVERIFY2(q.Select(QStringLiteral("select 1 from rdb$database")), qPrintable(q.Error()));
        QCOMPARE(dvt::TDatabase::Find(QStringLiteral("archive")), &connection);
        QCOMPARE(dvt::TDatabase::Find(QStringLiteral("dvTools")), nullptr);
    }

    void twoProcessesShareTheEmbeddedFile()
    {
        if (m_where == Where::Server)
            QSKIP("a server serves any number of processes; this concerns the embedded engine");
        auto f = withTable(1);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        // This process keeps the file open, with a result open too.
        QVERIFY(f->query.Select(QStringLiteral("select ID from T")));

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("FIREBIRD")); // the child sets up its own engine
        environment.remove(QStringLiteral("FIREBIRD_LOCK"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(childArgument), f->db.target()});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("2"));

        TdvQuery q;
        QVERIFY(q.Select(QStringLiteral("select count(*) from T")));
        QCOMPARE(q.AsInteger(0), 2);
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
    if (argc == 3 && qstrcmp(argv[1], childArgument) == 0)
        return runChild(QString::fromLocal8Bit(argv[2]));
    tst_dvQuery test(server ? Where::Server : Where::Embedded);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dvQuery.moc"
