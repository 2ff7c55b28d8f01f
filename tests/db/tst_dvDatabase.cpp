#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLoggingCategory>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dvControlPanel.h"
#include "dvCrypt.h"
#include "dvQuery.h"
#include "dvTransfer.h"
#include "dvTransfer_p.h"
#include "dvtApplication.h"
#include "dvtDateTime.h"
#include "dvtException.h"
#include "dvtFolders.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"
#include "dvtTestDatabase.h"
#include "dvtTestTables.h"

using dvt::test::TestDatabase;
using Where = TestDatabase::Where;
using namespace Qt::StringLiterals;

namespace {

const QString CRLF = u"\r\n"_s;

// A text as an isql-fb literal: quotes doubled, CR and LF as ascii_char, so
// that each statement stays on one line.
QString sqlText(QString text)
{
    text.replace(u'\'', u"''"_s).replace(u'\r', u"' || ascii_char(13) || '"_s);
    return u'\'' + text.replace(u'\n', u"' || ascii_char(10) || '"_s) + u'\'';
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The lines of a data file; every line must end with CR LF.
QStringList readLines(const QString &fileName)
{
    QFile file(fileName);
    QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    return text.endsWith(CRLF) ? text.chopped(2).split(CRLF) : QStringList();
}

// A case's fresh database, the panel connected to it, a query on that
// connection and a folder for data files; after useDialect3, a dialect-3
// database file in that folder instead. Destroyed in reverse order.
struct Fixture
{
    explicit Fixture(Where where) : db(where) { db.configure(panel); }

    QString file(const QString &name) const { return folder.filePath(name); }

    // isql-fb's output, headings off: the independent view of what is stored.
    QString isql(const QString &statements) const
    {
        const QString script = u"set heading off;\n"_s + statements + u'\n';
        return dialect3.isEmpty() ? db.isql(script)
                                  : TestDatabase::Isql({u"-ch"_s, u"UTF8"_s, dialect3}, script);
    }
    // Runs the statements and commits; false if one failed.
    bool create(const QString &script) const
    {
        return !isql(script + u"\ncommit;"_s).contains(u"Statement failed"_s);
    }
    // The single result of a SELECT.
    QString value(const QString &select) const { return isql(select + u';').trimmed(); }
    QString rows(const QString &columns, const QString &table) const
    {
        return isql(u"select %1 from %2 order by 1;"_s.arg(columns, table));
    }
    // BIGINT, TIME and a DATE without time exist only in dialect 3; the
    // connection still speaks dialect 1. Tables there are made in dialect 3.
    bool useDialect3(const QString &script)
    {
        dialect3 = file(u"dialect3.fdb"_s);
        const QString output = TestDatabase::Isql(
            {}, u"set sql dialect 3;\ncreate database '%1' default character set UTF8;\n%2\n"
                "commit;\n"_s.arg(dialect3, script));
        panel.SetConnectionString(dialect3);
        return !output.contains(u"Statement failed"_s) && QFile::exists(dialect3);
    }

    TestDatabase db;
    TdvControlPanel panel;
    QTemporaryDir folder;
    QString dialect3;
    TdvQuery query;
};

enum Placement { NoMainForm, OnMainForm, InContainerOfMainForm, InNestedOwner, OnSecondaryForm };

// What a case of the statement log does.
enum LogAction { Execute, FailedSelect, PreparedTwice, GoingBack, NoConnection, Export };

// What another account could have planted in a process's engine configuration.
enum Planted {
    Nothing,
    NoRuntimeFolder,
    RuntimeFolderOpen,
    FolderAboveOpen,
    FolderOpen,
    FolderLink,
    FolderOfAnotherAccount,
    SettingsOpen,
    SettingsLink,
    IntlElsewhere,
    LockFolderOpen,
    FileOfAnotherAccount,
};

// The permission bits of a file or folder.
int mode(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

QString settings(bool trim, bool esc, bool enter, dvt::TColor highlight)
{
    return u"trim=%1 esc=%2 enter=%3 highlight=%4"_s.arg(trim).arg(esc).arg(enter).arg(
        highlight.value(), 8, 16, QLatin1Char('0'));
}

// What the four lookups answer.
QString lookedUp()
{
    return settings(dvControlPanelAutoTrimText(), dvControlPanelCloseOnEsc(),
                    dvControlPanelEnterAsTab(), dvControlPanelHighlight());
}

const QString noPanel = settings(false, false, false, dvt::clWindow);

const char childArgument[] = "--insert-as-second-process";

// The second process of the multi-process cases: inserts one row through its
// own panel and prints the row count it then sees; then, when asked to, waits
// for a signal.
int runChild(const QString &target, bool wait)
{
    TdvControlPanel panel;
    panel.SetConnectionString(target);
    panel.SetUserName(qEnvironmentVariable("DVTOOLS_TEST_USER")); // for a server's database
    panel.SetPassword(qEnvironmentVariable("DVTOOLS_TEST_PASSWORD"));
    panel.SetAutoCreate(false);
    TdvQuery query;
    if (!query.Execute(u"insert into T (ID) values (2)"_s)
        || !query.Select(u"select count(*) from T"_s)) {
        fprintf(stderr, "%s\n", qPrintable(query.Error()));
        return 1;
    }
    printf("%d\n", query.AsInteger(0));
    fflush(stdout);
    return wait ? QCoreApplication::exec() : 0;
}

} // namespace

class tst_dvDatabase : public QObject
{
    Q_OBJECT

public:
    explicit tst_dvDatabase(Where where) : m_where(where) {}

private:
    Where m_where;
    std::unique_ptr<Fixture> m_f; // each case's own fresh database

    // Table T (ID integer primary key, NAME varchar(40), A integer, B integer)
    // holding the given number of rows: ID and B = 1..rows, A = 0, NAME =
    // "name <ID>". Made by isql-fb, independently of the query it answers.
    TdvQuery &table(int rows)
    {
        QString script = u"create table T (ID integer not null primary key, NAME varchar(40), "
                         "A integer, B integer);\ncommit;\n"_s;
        for (int id = 1; id <= rows; ++id)
            script += u"insert into T values (%1, 'name %1', 0, %1);\n"_s.arg(id);
        m_f->create(script);
        return m_f->query;
    }

    // What an administrator does to the attachments of this process.
    void cutOtherConnections() const
    {
        m_f->isql(u"delete from mon$attachments where mon$attachment_id <> current_connection;"_s);
    }

    // This process's environment without its engine's: the child sets up its own.
    static QProcessEnvironment childEnvironment()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"FIREBIRD"_s);
        environment.remove(u"FIREBIRD_LOCK"_s);
        return environment;
    }

    void startSecondProcess(QProcess &child, const QStringList &more = {},
                            const QProcessEnvironment &environment = childEnvironment())
    {
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    QStringList{QString::fromLatin1(childArgument), m_f->db.target()} + more);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        if (m_where == Where::Server && !qEnvironmentVariableIsSet("DVTOOLS_TEST_SERVER"))
            QSKIP("DVTOOLS_TEST_SERVER is not set: no Firebird server to test against "
                  "(scripts/firebird-server start sets one up)");
    }

    void init()
    {
        m_f = std::make_unique<Fixture>(m_where);
        QVERIFY2(m_f->db.isValid(), qPrintable(m_f->db.error()));
    }

    void cleanup()
    {
        m_f.reset();
        dvt::SetMainForm(nullptr);
        QCOMPARE(TdvControlPanel::ObjCount(), 0);
        dvt::FormatSettings() = dvt::TFormatSettings();
    }

    void executeAndSelect()
    {
        TdvQuery &q = table(1);
        QVERIFY2(q.Execute(u"insert into T (ID, NAME) values (7, \"10:30:00\")"_s),
                 qPrintable(q.Error()));
        // Execute runs statements that return rows too; the rows are not read.
        QVERIFY2(q.Execute(u"insert into T (ID) values (2) returning ID"_s), qPrintable(q.Error()));
        QCOMPARE((QList<bool>{q.Error().isEmpty(), q.IsOpen()}), (QList<bool>{true, false}));
        QCOMPARE(m_f->value(u"select count(*) || ' ' || max(NAME) from T where ID > 1"_s),
                 u"2 10:30:00"_s);

        // A quoted time is text, no parameter.
        QVERIFY2(q.Select(u"select ID, NAME as LABEL from T where NAME = \"10:30:00\""_s),
                 qPrintable(q.Error()));
        QCOMPARE((QVariantList{q.IsOpen(), q.FieldCount(), q.FieldDefs().at(1).Name,
                               q.GetFieldValue(u"id"_s), q.GetFieldValue(u"Label"_s),
                               q.FieldIndex(u"NAME"_s), q.GetFieldValue(u"NAME"_s)}),
                 (QVariantList{true, 2, u"LABEL"_s, 7, u"10:30:00"_s, -1, QVariant()}));
        q.Close();
        QCOMPARE((QVariantList{q.IsOpen(), q.GetFieldValue(u"ID"_s)}),
                 (QVariantList{false, QVariant()}));
        // A SELECT without rows answers false but is no error.
        QVERIFY(!q.Select(u"select * from T where ID > 100"_s));
        QCOMPARE((QVariantList{q.Error(), q.IsOpen(), q.FieldCount()}),
                 (QVariantList{QString(), false, 0}));

        // Select runs a statement that returns rows; Close commits it.
        QVERIFY2(q.Select(u"insert into T (ID, NAME) values (5, \"five\") returning ID, NAME"_s),
                 qPrintable(q.Error()));
        QCOMPARE(q.AsString(1), u"five"_s);
        q.Next();
        QVERIFY(q.Eof()); // one row
        q.Close();
        QCOMPARE(m_f->value(u"select NAME from T where ID = 5"_s), u"five"_s);

        // Items are joined with blanks; no items, no statement.
        QVERIFY(!q.Execute(QStringList()));
        QCOMPARE((QList<bool>{q.SQL().isEmpty(), q.Error().isEmpty()}), (QList<bool>{true, false}));
        QVERIFY(q.Execute({u"update T set"_s, u"A=1"_s, u"where B=1"_s}));
        QVERIFY(q.Select({u"select count(ID) as num"_s, u"from T"_s, u"where A = 1"_s}));
        QCOMPARE((QVariantList{q.SQL(), q.GetFieldValue(u"NUM"_s)}),
                 (QVariantList{u"select count(ID) as num from T where A = 1 "_s, 1}));
    }

    void failures_data()
    {
        QTest::addColumn<bool>("select");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("message");
        QTest::newRow("syntax error") << true << u"selec * from T"_s << u"Token unknown"_s;
        QTest::newRow("unknown table")
            << true << u"select * from NOPE"_s << u"Table unknown\nNOPE"_s;
        QTest::newRow("no rows") << true << u"update T set A = 1"_s << u"returns no rows"_s;
        QTest::newRow("duplicate key") << false << u"insert into T (ID) values (1)"_s
                                       << u"violation of PRIMARY or UNIQUE KEY"_s;
        QTest::newRow("empty statement") << false << QString() << u"Unexpected end of command"_s;
    }

    void failures()
    {
        QFETCH(bool, select);
        QFETCH(QString, statement);
        QFETCH(QString, message);
        TdvQuery &q = table(2);
        QVERIFY(!(select ? q.Select(statement) : q.Execute(statement)));
        QVERIFY2(q.Error().contains(message), qPrintable(q.Error()));
        QCOMPARE((QVariantList{q.IsOpen(), q.SQL()}), (QVariantList{false, statement}));
        // A failed statement changes nothing and the next one clears the error.
        QCOMPARE(m_f->value(u"select count(*) || '/' || cast(sum(A) as integer) from T"_s),
                 u"2/0"_s);
        QVERIFY(q.Execute(u"update T set A = 5 where ID = 1"_s));
        QVERIFY(q.Error().isEmpty());
    }

    void navigationOverKeptRows()
    {
        TdvQuery &q = table(10);
        q.SetUnidirectional(false);
        QVERIFY(q.Select(u"select ID from T order by ID"_s));
        // Counting does not move; at Eof the last row stays current.
        QCOMPARE(
            (QList<int>{q.RecordCount(), q.AsInteger(0), q.MoveBy(3), q.MoveBy(-2), q.AsInteger(0),
                        q.MoveBy(100), q.Eof(), q.AsInteger(0), q.MoveBy(-100), q.Eof()}),
            (QList<int>{10, 1, 3, -2, 2, 8, true, 10, -9, false}));
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
        TdvQuery &q = table(10); // unidirectional, as every new query
        QVERIFY(q.Select(u"select ID from T order by ID"_s));
        // Going back runs the statement again.
        QCOMPARE((QList<int>{q.RecordCount(), q.MoveBy(3), q.MoveBy(-2), q.AsInteger(0)}),
                 (QList<int>{-1, 3, -2, 2}));
        int seen = 0;
        for (q.First(); !q.Eof(); q.Next())
            QCOMPARE(q.AsInteger(0), ++seen);
        QCOMPARE(seen, 10);
        // No row is current past the end.
        QCOMPARE((QList<bool>{q.IsNull(0), q.Error().isEmpty()}), (QList<bool>{true, true}));
    }

    void typeMapping_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<int>("fieldType");
        QTest::addColumn<int>("size");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("dialect3");
        const auto row = [](const char *type, const char *literal, dvt::TFieldType fieldType,
                            int size, const QVariant &value, const QString &text,
                            bool dialect3 = false) {
            QTest::addRow("%s%s", type, dialect3 ? ", dialect 3" : "")
                << QString::fromUtf8(type) << QString::fromUtf8(literal) << int(fieldType) << size
                << value << text << dialect3;
        };
        row("varchar(20)", "' abc '", dvt::ftString, 20, u" abc "_s, u" abc "_s);
        row("char(3)", "'жё'", dvt::ftFixedChar, 3, u"жё "_s, u"жё "_s);
        row("smallint", "-32768", dvt::ftSmallint, 0, -32768, u"-32768"_s);
        row("numeric(4,1)", "-123.4", dvt::ftFloat, 0, -123.4, u"-123.4"_s);
        row("numeric(15,2)", "-12345678901.25", dvt::ftFloat, 0, -12345678901.25,
            u"-12345678901.25"_s);
        row("double precision", "1.5e300", dvt::ftFloat, 0, 1.5e300, u"1.5e+300"_s);
        // Dialect 1: DATE is a timestamp.
        row("date", "'12/31/1999 14:30:15'", dvt::ftDateTime, 0,
            QDateTime(QDate(1999, 12, 31), QTime(14, 30, 15), Qt::UTC), u"1999-12-31 14:30:15"_s);
        row("boolean", "true", dvt::ftBoolean, 0, true, u"True"_s);
        row("blob sub_type text", "'line 1' || ascii_char(10) || 'Zeile ü'", dvt::ftMemo, 0,
            u"line 1\nZeile ü"_s, u"line 1\nZeile ü"_s);
        row("blob sub_type 0", "x'00FF41'", dvt::ftBlob, 0, QByteArray("\x00\xff\x41", 3),
            u"\0\uFFFDA"_s);
        row("char(3) character set octets", "x'414200'", dvt::ftBytes, 3, QByteArray("AB\x00", 3),
            u"AB\0"_s);
        // Through dialect 1, the types of a dialect-3 database: DATE, TIME, BIGINT.
        row("date", "'2020-01-02'", dvt::ftDate, 0, QDate(2020, 1, 2), u"2020-01-02"_s, true);
        row("time", "'10:30:15'", dvt::ftTime, 0, QTime(10, 30, 15), u"10:30:15"_s, true);
        row("bigint", "12345678901", dvt::ftLargeint, 0, 12345678901LL, u"12345678901"_s, true);
        row("numeric(18,2)", "-123.45", dvt::ftFloat, 0, -123.45, u"-123.45"_s, true);
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
        QFETCH(bool, dialect3);
        if (dialect3 && m_where == Where::Server)
            QSKIP("a dialect-3 database is made as an embedded file");
        const QString script =
            u"create table V (N integer, X %1);\ncommit;\n"
            "insert into V values (1, %2);\ninsert into V values (2, null);"_s.arg(type, literal);
        QVERIFY(dialect3 ? m_f->useDialect3(script) : m_f->create(script));
        TdvQuery &q = m_f->query;
        QVERIFY2(q.Select(u"select N, X from V order by N"_s), qPrintable(q.Error()));
        const dvt::TFieldDef def = q.FieldDefs().at(1);
        QCOMPARE((QVariantList{def.Name, int(def.DataType), def.Size, q.IsNull(1),
                               q.GetFieldValue(u"x"_s), q.Value(1), q.AsString(1)}),
                 (QVariantList{u"X"_s, fieldType, size, false, value, value, text}));
        q.Next();
        QCOMPARE((QVariantList{q.Eof(), q.IsNull(1), q.GetFieldValue(u"X"_s), q.AsString(1),
                               q.AsFloat(1), q.AsLargeInt(1), q.IsNull(0)}),
                 (QVariantList{false, true, QVariant(), QString(), 0.0, qint64(0), false}));
    }

    // Typed reads convert: numerics round, texts are parsed, a date before day
    // zero keeps a positive time fraction; out of range reads nothing.
    void typedAccessors()
    {
        TdvQuery &q = m_f->query;
        QVERIFY2(q.Select(u"select cast(2.5 as numeric(9,2)), cast(' 42 ' as varchar(10)), "
                          "cast('x' as varchar(10)), cast('12/29/1899 06:00' as date) "
                          "from rdb$database"_s),
                 qPrintable(q.Error()));
        QCOMPARE((QVariantList{q.AsInteger(0), q.AsFloat(0), q.AsBoolean(0), q.AsLargeInt(1),
                               q.AsFloat(1), q.AsBoolean(1), q.AsInteger(2), q.AsFloat(2),
                               q.AsBoolean(2), q.AsDateTime(3), q.AsFloat(3), q.AsLargeInt(3),
                               q.AsBoolean(3), q.AsLargeInt(5), q.IsNull(-1)}),
                 (QVariantList{3, 2.5, true, 42LL, 42.0, true, 0, 0.0, false, -1.25, -1.25, 0LL,
                               false, 0LL, true}));
        QVERIFY(q.Select(u"select cast(\"01/01/0100 18:00\" as date) from rdb$database"_s));
        QCOMPARE(q.AsDateTime(0), dvt::EncodeDate(100, 1, 1) - 0.75);
    }

    void preparedStatements()
    {
        TdvQuery &q = m_f->query;
        QVERIFY(q.Execute(u"create table P (ID integer, NAME varchar(20), AMOUNT numeric(15,2), "
                          "D date)"_s));
        QVERIFY(!q.ExecutePrepared());
        QCOMPARE(q.Error(), u"No statement is prepared"_s);
        QVERIFY2(q.Prepare(u"insert into P values (?, ?, ?, ?)"_s), qPrintable(q.Error()));
        QCOMPARE(q.ParamCount(), 4);
        q.SetParamInteger(0, 1);
        q.SetParamText(1, u"O'Brien 日本 😀"_s);
        q.SetParamFloat(2, 12.5);
        q.SetParamText(3, u"12/31/1999"_s);
        QVERIFY2(q.ExecutePrepared(), qPrintable(q.Error()));
        // Texts are converted by the database; unset and NULL parameters are NULL.
        q.SetParamText(0, u"2"_s);
        q.SetParamNull(1);
        q.SetParamText(2, u"-0.25"_s);
        q.SetParamNull(3);
        q.SetParamText(9, u"ignored"_s); // no such parameter
        QVERIFY2(q.ExecutePrepared(), qPrintable(q.Error()));
        q.SetParamText(0, u"not a number"_s);
        QVERIFY(!q.ExecutePrepared());
        QVERIFY2(q.Error().contains(u"conversion error"_s), qPrintable(q.Error()));
        QCOMPARE(
            m_f->value(u"select count(*) || '|' || cast(sum(AMOUNT) * 100 as integer) || '|' || "
                       "max(extract(year from D)) || '|' || count(NAME) || '|' || max(NAME) "
                       "from P"_s),
            u"2|1225|1999|1|O'Brien 日本 😀"_s);
    }

    // A text bound to a memo is stored as its bytes, or refused where the memo's
    // character set cannot hold it, alike whether it fits a parameter or is too
    // long for one.
    void memoParameters_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("stored");
        for (const char *charset : {"UTF8", "UNICODE_FSS", "NONE", "ASCII"}) {
            for (int copies : {1, 3000}) {
                QTest::addRow("%s, %d copies", charset, copies)
                    << QString::fromLatin1(charset) << copies << (charset[0] != 'A');
            }
        }
    }

    void memoParameters()
    {
        QFETCH(QString, charset);
        QFETCH(int, copies);
        QFETCH(bool, stored);
        TdvQuery &q = m_f->query;
        QVERIFY(
            q.Execute(u"create table M (MEMO blob sub_type text character set %1)"_s.arg(charset)));
        const QByteArray text = u"Łódź 日本 😀\r\n"_s.repeated(copies).toUtf8();
        QVERIFY(q.Prepare(u"insert into M values (?)"_s));
        q.SetParamText(0, QString::fromUtf8(text));
        QCOMPARE(q.ExecutePrepared(), stored);
        if (!stored) {
            QVERIFY2(q.Error().contains(u"transliterate"_s), qPrintable(q.Error()));
            return;
        }
        QVERIFY(q.Select(u"select MEMO from M"_s));
        QCOMPARE(q.AsUtf8(0), text);
    }

    void transactions()
    {
        TdvQuery &q = table(1);
        TdvControlPanel &panel = m_f->panel;
        QCOMPARE((QList<bool>{panel.Commit(), panel.LastError().isEmpty()}),
                 (QList<bool>{false, false}));

        // Rolled back: gone for everyone.
        QVERIFY2(panel.StartTransaction(), qPrintable(panel.LastError()));
        QCOMPARE((QList<bool>{panel.InTransaction(), panel.StartTransaction()}),
                 (QList<bool>{true, false}));
        QVERIFY(q.Execute(u"insert into T (ID) values (2)"_s));
        QVERIFY(q.Select(u"select count(*) from T"_s));
        QCOMPARE(q.AsInteger(0), 2); // the transaction sees its own row
        QCOMPARE(m_f->value(u"select count(*) from T"_s), u"1"_s);
        QVERIFY(panel.Rollback());
        // Its result belonged to the transaction.
        QCOMPARE((QList<bool>{panel.InTransaction(), q.IsOpen()}), (QList<bool>{false, false}));

        // Committed: there for everyone.
        QVERIFY(panel.StartTransaction());
        QVERIFY(TdvQuery().Execute(u"insert into T (ID) values (3)"_s));
        QVERIFY(q.Select(u"select ID from T order by ID"_s));
        QVERIFY(panel.Commit());
        QVERIFY(!q.IsOpen());
        QCOMPARE(m_f->value(u"select count(*) from T"_s), u"2"_s);

        // Outside a transaction each statement commits at once.
        QVERIFY(q.Execute(u"delete from T where ID = 3"_s));
        QCOMPARE(m_f->value(u"select count(*) from T"_s), u"1"_s);
    }

    // The panel closes the connection, then another attachment ends it, as an
    // administrator or a server shutdown would: the open result goes, the
    // failure is reported, and the next statement connects again.
    void lostConnection()
    {
        TdvQuery &q = table(3);
        QVERIFY(q.Select(u"select ID from T order by ID"_s));
        m_f->panel.Close();
        QCOMPARE((QVariantList{q.IsOpen(), q.Value(0), q.MoveBy(1)}),
                 (QVariantList{false, QVariant(), 0}));
        QVERIFY2(q.Select(u"select count(*) from T"_s), qPrintable(q.Error()));
        QCOMPARE((QVariantList{q.AsInteger(0), m_f->panel.Connected()}), (QVariantList{3, true}));
        cutOtherConnections();
        QVERIFY(!q.Execute(u"update T set A = 1"_s));
        // "connection shutdown" embedded, a failed network write on a server.
        QCOMPARE((QList<bool>{q.Error().isEmpty(), m_f->panel.Connected()}),
                 (QList<bool>{false, false}));
        QVERIFY2(q.Execute(u"update T set A = 1"_s), qPrintable(q.Error()));
        QVERIFY(m_f->panel.Connected());
        QCOMPARE(m_f->value(u"select cast(sum(A) as integer) from T"_s), u"3"_s);
    }

    // Closing the connection with a transaction open discards the transaction's
    // changes: another connection still sees the old rows.
    void closingRollsTheTransactionBack()
    {
        TdvQuery &q = table(2);
        TdvControlPanel &panel = m_f->panel;
        QVERIFY2(panel.StartTransaction(), qPrintable(panel.LastError()));
        QVERIFY(q.Execute(u"insert into T (ID, NAME) values (3, 'three')"_s));
        QVERIFY(q.Execute(u"update T set NAME = 'changed' where ID = 1"_s));
        QVERIFY(q.Execute(u"delete from T where ID = 2"_s));
        panel.Close();
        QCOMPARE((QList<bool>{panel.Connected(), panel.InTransaction()}),
                 (QList<bool>{false, false}));
        const QString old = u"1 name 1 2 name 2"_s;
        QCOMPARE(m_f->rows(u"ID, NAME"_s, u"T"_s).simplified(), old);
        // The next statement connects again, outside any transaction.
        QVERIFY2(q.Execute(u"update T set A = 1 where ID = 2"_s), qPrintable(q.Error()));
        QCOMPARE(m_f->rows(u"ID, NAME, A"_s, u"T"_s).simplified(), u"1 name 1 0 2 name 2 1"_s);
    }

    void lostConnectionLosesTheWholeTransaction_data()
    {
        dvt::test::BoolRows("import", "between two statements", "in the middle of an import");
    }

    // Another attachment ends this one in the middle of a transaction, as an
    // administrator or a network failure would: nothing of the transaction is
    // stored, and nothing after it runs alone on a new connection. Every later
    // statement fails with the loss, Commit says so, and only Rollback lets the
    // connection open again.
    void lostConnectionLosesTheWholeTransaction()
    {
        QFETCH(bool, import);
        TdvQuery &q = table(1);
        TdvControlPanel &panel = m_f->panel;
        QVERIFY2(panel.Open(), qPrintable(panel.LastError()));
        QSignalSpy connected(&panel, &dvt::TDatabase::connectedChanged);
        QSignalSpy errors(&panel, &dvt::TDatabase::errorOccurred);
        QVERIFY(panel.StartTransaction());
        QVERIFY(q.Execute(u"insert into T (ID) values (2)"_s));
        if (import) {
            QByteArray text = "ID;\r\n";
            for (int id = 3; id <= 20000; ++id)
                text += QByteArray::number(id) + ";\r\n";
            const QString file = m_f->file(u"T.dat"_s);
            QVERIFY(writeFile(file, text));
            // The import handles events as it goes: the attachment ends at the first round.
            QTimer::singleShot(0, this, [this] { cutOtherConnections(); });
            dvt::TImportReport report;
            dvImport(u"T"_s, file, u';', false, &report);
            // It stopped at the row that met the loss, and said why.
            QVERIFY(report.Stopped);
            QCOMPARE(report.LinesRefused, 1);
            QVERIFY2(report.RowsStored < 19997,
                     qPrintable(u"%1 rows stored"_s.arg(report.RowsStored)));
        } else {
            cutOtherConnections();
            QVERIFY(!q.Execute(u"insert into T (ID) values (3)"_s));
            QVERIFY2(q.Error().contains(u"transaction"_s), qPrintable(q.Error()));
        }
        QCOMPARE((QList<bool>{panel.Connected(), panel.InTransaction(), q.TransactionLost()}),
                 (QList<bool>{false, true, true}));
        // Nothing runs on a new connection while the transaction is not ended.
        QVERIFY(!q.Execute(u"insert into T (ID) values (4)"_s));
        QVERIFY2(q.Error().contains(u"roll it back"_s), qPrintable(q.Error()));
        QVERIFY(!q.Prepare(u"insert into T (ID) values (?)"_s));
        QVERIFY(!q.ExecutePrepared());
        QVERIFY2(q.Error().contains(u"roll it back"_s), qPrintable(q.Error()));
        QVERIFY(!panel.StartTransaction());
        QVERIFY(!panel.Commit());
        QVERIFY2(panel.LastError().contains(u"none of its changes were stored"_s),
                 qPrintable(panel.LastError()));
        QCOMPARE(panel.Connected(), false);
        QCOMPARE(m_f->value(u"select count(*) from T"_s), u"1"_s);

        QVERIFY(panel.Rollback());
        QCOMPARE((QList<bool>{panel.InTransaction(), q.TransactionLost(), panel.Connected()}),
                 (QList<bool>{false, false, false}));
        // A key the lost transaction never wrote: the server undoes that transaction
        // on its own time, and a key it wrote would wait for that.
        QVERIFY2(q.Execute(u"insert into T (ID) values (50000)"_s), qPrintable(q.Error()));
        QCOMPARE(m_f->value(u"select count(*) || ' ' || max(ID) from T"_s), u"2 50000"_s);
        // The panel said when it lost the connection and when it opened it again.
        QCOMPARE(connected.size(), 2);
        QCOMPARE((QList<bool>{connected.at(0).at(0).toBool(), connected.at(1).at(0).toBool()}),
                 (QList<bool>{false, true}));
        QCOMPARE(errors.size(), 2); // the loss, then the refused commit
        QVERIFY2(errors.at(0).at(0).toString().contains(u"roll it back"_s),
                 qPrintable(errors.at(0).at(0).toString()));
    }

    // Every statement sent reaches the panel's statement log and the category
    // "dvtools.sql", in order, with its outcome.
    void statementLog_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("log"); // "ok STATEMENT" or "failed STATEMENT"
        const QString insert = u"insert into T (ID) values (?)"_s;
        const QString select = u"select ID from T order by ID"_s;
        QTest::newRow("execute") << int(Execute) << QStringList{u"ok update T set A = 1"_s};
        QTest::newRow("failed select")
            << int(FailedSelect) << QStringList{u"failed select * from NOPE"_s};
        QTest::newRow("prepared, run twice")
            << int(PreparedTwice)
            << QStringList{u"ok "_s + insert, u"ok "_s + insert, u"failed "_s + insert};
        QTest::newRow("going back runs the select again")
            << int(GoingBack) << QStringList{u"ok "_s + select, u"ok "_s + select};
        QTest::newRow("refused: no connection can be made")
            << int(NoConnection) << QStringList{u"failed select 1 from rdb$database"_s};
        QTest::newRow("export") << int(Export) << QStringList{u"ok select * from T"_s};
    }

    void statementLog()
    {
        QFETCH(int, action);
        QFETCH(QStringList, log);
        TdvQuery &q = table(2);
        QSignalSpy spy(&m_f->panel, &dvt::TDatabase::statementExecuted);
        QLoggingCategory::setFilterRules(u"dvtools.sql.debug=true"_s);
        for (const QString &entry : std::as_const(log))
            QTest::ignoreMessage(
                QtDebugMsg,
                QRegularExpression(u"^"_s + entry.section(u' ', 0, 0) + u" \\d+ ms: "_s
                                   + QRegularExpression::escape(entry.section(u' ', 1))));
        switch (LogAction(action)) {
        case Execute:
            q.Execute(u"update T set A = 1"_s);
            break;
        case FailedSelect:
            q.Select(u"select * from NOPE"_s);
            break;
        case PreparedTwice:
            q.Prepare(u"insert into T (ID) values (?)"_s);
            q.SetParamInteger(0, 3);
            q.ExecutePrepared();
            q.ExecutePrepared(); // the key exists now
            break;
        case GoingBack:
            q.Select(u"select ID from T order by ID"_s);
            q.Next();
            q.First();
            break;
        case NoConnection:
            m_f->panel.SetConnectionString(m_f->file(u"missing.fdb"_s));
            m_f->panel.SetAutoCreate(false);
            q.Select(u"select 1 from rdb$database"_s);
            break;
        case Export:
            dvExport(u"T"_s, m_f->file(u"T.dat"_s), u';', false);
            break;
        }
        QLoggingCategory::setFilterRules(u"dvtools.sql.debug=false"_s);
        QStringList seen;
        for (const QList<QVariant> &arguments : std::as_const(spy)) {
            const bool ok = arguments.at(1).toBool();
            // A failure carries the database's message, a success none.
            QCOMPARE(arguments.at(3).toString().isEmpty(), ok);
            QVERIFY(arguments.at(2).toLongLong() >= 0);
            seen << (ok ? u"ok "_s : u"failed "_s) + arguments.at(0).toString();
        }
        QCOMPARE(seen, log);
    }

    // Without its panel a query is closed and reads nothing.
    void panelDestroyedUnderOpenQuery()
    {
        TdvQuery q;
        QVERIFY2(q.Select(u"select 1 from rdb$database"_s), qPrintable(q.Error()));
        m_f.reset();
        QVERIFY(!q.IsOpen());
        QVERIFY(!q.Select(u"select 1 from rdb$database"_s));
        QCOMPARE(q.Error(), u"No database connection is named \"dvTools\""_s);
        QCOMPARE((QVariantList{q.Execute(u"delete from T"_s), q.Prepare(u"delete from T"_s),
                               q.RecordCount(), q.MoveBy(1), q.Eof(), q.Value(0)}),
                 (QVariantList{false, false, 0, 0, true, QVariant()}));
    }

    void oneInstanceAtATime()
    {
        QCOMPARE(dvt::TDatabase::Find(u"DVTOOLS"_s), &m_f->panel);
        QWidget form;
        try {
            new TdvControlPanel(&form);
            QFAIL("a second panel was constructed");
        } catch (const dvt::Exception &e) {
            QCOMPARE(e.Message(), u"Only one instance allowed!"_s);
        }
        // Nothing half-built is left.
        QCOMPARE((QList<qsizetype>{TdvControlPanel::ObjCount(), form.children().size()}),
                 (QList<qsizetype>{1, 0}));
        m_f.reset();
        QCOMPARE(dvt::TDatabase::Find(u"dvTools"_s), nullptr);
        TdvControlPanel again;
        QCOMPARE(TdvControlPanel::ObjCount(), 1);
        QCOMPARE(again.Target(), dvt::UserFolder() + u"dvTools.fdb"_s);
    }

    void lookups_data()
    {
        QTest::addColumn<int>("placement");
        QTest::addColumn<bool>("found");
        QTest::newRow("no main form") << int(NoMainForm) << false;
        QTest::newRow("on the main form") << int(OnMainForm) << true;
        QTest::newRow("in a container of the main form") << int(InContainerOfMainForm) << true;
        QTest::newRow("in a nested owner") << int(InNestedOwner) << false;
        QTest::newRow("on a secondary form") << int(OnSecondaryForm) << false;
    }

    // The lookups read the panel of the main form at every call.
    void lookups()
    {
        QFETCH(int, placement);
        QFETCH(bool, found);
        m_f.reset(); // the panel is made here
        QWidget mainForm, secondary;
        auto *container = new QFrame(&mainForm);
        if (placement == InNestedOwner)
            dvt::SetOwnerMark(container);
        if (placement != NoMainForm)
            dvt::SetMainForm(&mainForm);
        QObject *const owners[] = {nullptr, &mainForm, container, container, &secondary};
        auto *panel = new TdvControlPanel(owners[placement]);
        QCOMPARE(lookedUp(), noPanel);
        // Through the properties, as the form designer sets them.
        for (const char *property : {"AutoTrimText", "CloseOnEsc", "EnterAsTab"})
            QVERIFY(panel->setProperty(property, true));
        QVERIFY(panel->setProperty("Highlight", dvt::clYellow.toQColor()));
        QCOMPARE(lookedUp(), found ? settings(true, true, true, dvt::clYellow) : noPanel);
        // A cleared highlight is the window colour.
        QVERIFY(panel->setProperty("Highlight", QColor()));
        QCOMPARE(lookedUp(), found ? settings(true, true, true, dvt::clWindow) : noPanel);
        delete panel;
        QCOMPARE(lookedUp(), noPanel);
    }

    // Loaded connects at run time, silently, and never in the designer; the
    // default alias is a database file in the per-user folder, created when
    // missing (as every test database: dialect 1, UTF8).
    void loaded()
    {
        m_f.reset(); // the panels are made here, on forms
        const QString file = dvt::UserFolder() + u"dvTools.fdb"_s;
        QFile::remove(file);
        for (const bool designing : {true, false}) {
            QWidget form;
            dvt::SetDesigning(&form, designing);
            auto *panel = new TdvControlPanel(&form);
            dvt::LoadForm(&form);
            QCOMPARE(panel->Connected(), !designing);
            QCOMPARE(QFile::exists(file), !designing);
        }
        QVERIFY(QFile::remove(file));
        // Unreachable: the reason surfaces as the error of the first query.
        QWidget form;
        auto *panel = new TdvControlPanel(&form);
        panel->SetConnectionString(file);
        panel->SetAutoCreate(false);
        dvt::LoadForm(&form);
        QCOMPARE((QList<bool>{panel->Connected(), panel->LastError().isEmpty()}),
                 (QList<bool>{false, false}));
        TdvQuery query;
        QVERIFY(!query.Select(u"select 1 from rdb$database"_s));
        QCOMPARE(query.Error(), panel->LastError());
    }

    // Other aliases are defined; a connection string wins.
    void aliases()
    {
        TdvControlPanel &panel = m_f->panel;
        dvt::TDatabase::DefineAlias(u"Archive"_s, m_f->db.target());
        panel.SetConnectionString(QString());
        panel.SetAliasName(u"ARCHIVE"_s);
        QCOMPARE(panel.Target(), m_f->db.target());
        QVERIFY2(panel.Open(), qPrintable(panel.LastError()));
        panel.Close();
        panel.SetConnectionString(m_f->db.target() + u".other"_s);
        QCOMPARE(panel.Target(), m_f->db.target() + u".other"_s);
        panel.SetConnectionString(QString());
        dvt::TDatabase::DefineAlias(u"archive"_s, QString());
        QCOMPARE((QVariantList{panel.Target(), panel.Open()}), (QVariantList{QString(), false}));
        QCOMPARE(panel.LastError(), u"Unknown database alias \"ARCHIVE\""_s);
    }

    void exportValue_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value"); // as isql-fb inserts it
        QTest::addColumn<QString>("line");  // the data line written, ending with the separator
        const auto row = [](const char *name, const char *type, const QString &value,
                            const char *line) {
            QTest::newRow(name) << QString::fromLatin1(type) << value << QString::fromUtf8(line);
        };
        const char *text = "varchar(40)";
        const char *memo = "blob sub_type text";
        row("text trimmed, unquoted", text, u"'  O''Brien \"Jr\"  '"_s, "\"O'Brien Jr\"|");
        row("text: control characters trimmed", text, sqlText(u"\tx y\n"_s), "\"x y\";");
        row("char without its padding", "char(8)", u"'ab'"_s, "\"ab\";");
        row("empty text", text, u"''"_s, "\"\";");
        row("text null", text, u"null"_s, "null;");
        row("text with the separator", text, u"'a;b'"_s, "\"aæb\";");
        row("text with a two-byte separator", text, u"'aßb ä'"_s, "\"aæb ä\"ß");
        row("text with line breaks", text, sqlText(u"a\r\nb\nc"_s), "\"a||b||c\";");
        row("memo: CR LF, LF, CR", memo, sqlText(u"a\r\nb\nc\rd"_s), "\"a||b||c||d\";");
        row("memo: CR before CR LF", memo, sqlText(u"a\r\r\nb"_s), "\"a||||b\";");
        row("memo untrimmed, unquoted", memo, u"'  \"q\"  '"_s, "\"  q  \";");
        row("empty memo", memo, u"''"_s, "\"\";");
        row("memo null", memo, u"null"_s, "null;");
        row("memo: bar as separator", memo, sqlText(u"a\r\nb|c"_s), "\"aææbæc\"|");
        // Beyond the first eight bytes, which are looked at together.
        row("memo: long", memo, sqlText(u"abcdefghij;klmnopqrstuvw\r\nxyz\"q\"0123456789;"_s),
            "\"abcdefghijæklmnopqrstuvw||xyzq0123456789æ\";");
        row("integer null is 0", "integer", u"null"_s, "0;");
        row("integer with the separator", "integer", u"-42"_s, "æ42-");
        row("double small", "double precision", u"0.000001"_s, "1E-6;");
        row("double large", "double precision", u"1e20"_s, "1E20;");
        row("double 15 digits", "double precision", u"0.1e0 + 0.2e0"_s, "0.3;");
        row("date without its time", "date", u"'1999-12-31 14:30:00'"_s, "\"12/31/1999\";");
        row("date with the separator", "date", u"'2001-02-03'"_s, "\"02æ03æ2001\"/");
        row("boolean true", "boolean", u"true"_s, "Y;");
        row("boolean false", "boolean", u"false"_s, "N;");
        row("binary blob", "blob sub_type 0", u"'xyz'"_s, "null;");
        row("octets", "char(3) character set octets", u"'abc'"_s, "null;");
        row("null with the separator", text, u"null"_s, "nuææl");
    }

    void exportValue()
    {
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(QString, line);
        QVERIFY(m_f->create(
            u"create table T (V %1);\ncommit;\ninsert into T values (%2);"_s.arg(type, value)));
        const QString file = m_f->file(u"T.dat"_s);
        dvExport(u"T"_s, file, line.back(), false);
        QCOMPARE(readLines(file), (QStringList{u"V"_s + line.back(), line}));
    }

    // The rows in the order asked for, in the locale's formats; scrambled line by line.
    void exportTable()
    {
        QVERIFY(m_f->create(
            u"create table T (ID integer, NAME varchar(30), D date, F double precision);\n"
            "commit;\ninsert into T values (2, null, null, null);\n"
            "insert into T values (1, 'Hello, World ção', '1999-12-31', 1.5);"_s));
        dvt::FormatSettings().DateSeparator = u'-';
        dvt::FormatSettings().DecimalSeparator = u',';
        const QString plain = m_f->file(u"plain.dat"_s), scrambled = m_f->file(u"x.dat"_s);
        dvExport(u"T"_s, plain, u'|', false);
        dvExport(u"T"_s, scrambled, u'|', true);
        const QStringList lines = readLines(plain);
        QCOMPARE(lines, (QStringList{u"ID|NAME|D|F|"_s, u"2|null|null|0|"_s,
                                     u"1|\"Hello, World ção\"|\"12-31-1999\"|1,5|"_s}));
        QStringList expected;
        for (const QString &line : lines)
            expected << dvEnCrypt(line, 0);
        QVERIFY(expected != lines);
        QCOMPARE(readLines(scrambled), expected);
    }

    void nothingWritten_data()
    {
        QTest::addColumn<bool>("exporting");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("name");  // of the file, in the case's folder
        QTest::addColumn<QString>("error"); // the start of the error raised, if any
        const auto row = [](const char *name, bool exporting, const QString &table,
                            const QString &file, const QString &error) {
            QTest::newRow(name) << exporting << table << file << error;
        };
        row("export of no rows over a file", true, u"EMPTY"_s, u"T.dat"_s, {});
        row("export of a missing table", true, u"MISSING"_s, u"new.dat"_s, {});
        row("export into a missing folder", true, u"T"_s, u"no/T.dat"_s, u"Cannot create"_s);
        row("import of a missing file", false, u"T"_s, u"no/T.dat"_s, u"Cannot open"_s);
        // Table names are identifiers, never statement parts.
        const QString derived = u"(select ID from T)"_s;
        const QString invalid = u"'%1' is not a valid table name"_s;
        row("export of a derived table", true, derived, u"new.dat"_s, invalid.arg(derived));
        row("export with a condition", true, u"T where 1=1"_s, u"new.dat"_s,
            invalid.arg(u"T where 1=1"_s));
        row("export of an empty name", true, QString(), u"new.dat"_s, invalid.arg(QString()));
        row("import into a derived table", false, derived, u"T.dat"_s, invalid.arg(derived));
        row("import with a quote not doubled", false, u"\"T\"x\""_s, u"T.dat"_s,
            invalid.arg(u"\"T\"x\""_s));
    }

    // An export of no rows leaves the file as it was and makes none; a file that
    // cannot be opened raises the I/O error naming it; a table name that is no
    // identifier raises before anything is touched.
    void nothingWritten()
    {
        QFETCH(bool, exporting);
        QFETCH(QString, table);
        QFETCH(QString, name);
        QFETCH(QString, error);
        QVERIFY(m_f->create(u"create table T (ID integer);\ncreate table EMPTY (ID integer);\n"
                            "commit;\ninsert into T values (5);"_s));
        QVERIFY(writeFile(m_f->file(u"T.dat"_s), "ID;\r\n6;\r\n"));
        const QString file = m_f->file(name);
        QString raised;
        try {
            exporting ? dvExport(table, file, u';', false) : dvImport(table, file, u';', false);
        } catch (const dvt::EInOutError &e) {
            raised = e.Message();
            QVERIFY2(raised.contains(file), qPrintable(raised));
        } catch (const dvt::EConvertError &e) {
            raised = e.Message();
        }
        QCOMPARE(raised.left(error.size()), error);
        QCOMPARE(raised.isEmpty(), error.isEmpty());
        QCOMPARE(readLines(m_f->file(u"T.dat"_s)), (QStringList{u"ID;"_s, u"6;"_s}));
        QCOMPARE(QDir(m_f->folder.path()).entryList(QDir::Files), QStringList{u"T.dat"_s});
        QCOMPARE(m_f->value(u"select count(*) from T"_s), u"1"_s);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<bool>("scrambled");
        QTest::newRow("semicolon") << QChar(u';') << false;
        QTest::newRow("bar") << QChar(u'|') << false;
        QTest::newRow("full stop") << QChar(u'.') << false;
        QTest::newRow("blank, scrambled") << QChar(u' ') << true;
    }

    // Export, then import: isql-fb reads back every value, as far as the format
    // keeps it.
    void roundTrip()
    {
        QFETCH(QChar, separator);
        QFETCH(bool, scrambled);
        // With the bar as separator a line break is written "||" and reads back
        // as that; otherwise as CR LF.
        const QString br = separator == u'|' ? u"||"_s : CRLF;
        const QString s(separator);
        const QString five = u"5, %1, %2, %3, 5, 5, 5, 5, 5, '2000-01-01', true"_s;
        // The values stored, then, where the format changes them, those read back.
        const QList<QStringList> rows = {
            {u"1, 'Ωμέγα Łódź 日本 😀', 'ÄÖÜß', 'Привет, мир 🚀 ç', 1, 2, 3.25, 0.5, 0.25, "
             "'1999-12-31', true"_s},
            {u"2, null, null, null, null, null, null, null, null, null, null"_s,
             u"2, null, null, null, 0, 0, 0, 0, 0, null, null"_s},
            {u"3, 'say \"hi\"', 'it''s', '\"q\" ''a''', -32768, -2147483648, -1234567.89, "
             "-1.5e-10, -3.5, '2024-02-29 13:14:15', false"_s,
             u"3, 'say hi', 'it''s', 'q ''a''', -32768, -2147483648, -1234567.89, -1.5e-10, "
             "-3.5, '2024-02-29', false"_s},
            {u"4, %1, %1, %2, 4, 4, 4, 4, 4, '2000-01-01', true"_s.arg(
                sqlText(u"a"_s + s + u"b"_s), sqlText(s + u"x"_s + s + s + u"y"_s + s))},
            {five.arg(sqlText(u"a\r\nb\nc"_s), sqlText(u"x\ry"_s),
                      sqlText(u"one\r\ntwo\r\n\r\n"_s)),
             five.arg(sqlText(u"a%1b%1c"_s.arg(br)), sqlText(u"x%1y"_s.arg(br)),
                      sqlText(u"one%1two%1%1"_s.arg(br)))},
            {u"7, '  padded  ', ' x ', '  kept  ', 7, 7, 0.01, 123456789012345, 1e20, "
             "'9999-12-31', false"_s,
             u"7, 'padded', 'x', '  kept  ', 7, 7, 0.01, 123456789012345, 1e20, '9999-12-31', "
             "false"_s},
        };
        QString script = u"create table SRC %1;\ncreate table DST %1;\ncreate table EXPECTED %1;\n"
                         "commit;\n"_s.arg(u"(ID integer not null primary key, VC varchar(60), "
                                           "CH char(10), MEMO blob sub_type text, SI smallint, "
                                           "IT integer, NU numeric(9,2), DP double precision, "
                                           "FL float, DT date, BO boolean)"_s);
        for (const QStringList &row : rows)
            script += u"insert into SRC values (%1);\ninsert into EXPECTED values (%2);\n"_s.arg(
                row.first(), row.last());
        QVERIFY(m_f->create(script));
        // A memo longer than a literal of a statement may be.
        TdvQuery q;
        QVERIFY(q.Prepare(
            u"insert into SRC values (8, 'x', 'x', ?, 8, 8, 8, 8, 8, '2000-01-01', true)"_s));
        q.SetParamText(0, u"Länger als ein Literal sein darf. "_s.repeated(1200));
        QVERIFY2(q.ExecutePrepared(), qPrintable(q.Error()));
        QVERIFY(q.Execute(u"insert into EXPECTED select * from SRC where ID = 8"_s));

        const QString file = m_f->file(u"SRC.dat"_s);
        dvExport(u"SRC"_s, file, separator, scrambled);
        QCOMPARE(readLines(file).size(), rows.size() + 2);
        dvt::TImportReport report;
        dvImport(u"DST"_s, file, separator, scrambled, &report);
        QCOMPARE((QList<qint64>{report.RowsStored, report.LinesRefused}),
                 (QList<qint64>{rows.size() + 1, 0}));
        const QString columns =
            u"ID, VC, CH, substring(MEMO from 1 for 100), char_length(MEMO), hash(MEMO), SI, IT, "
            "NU, DP, FL, DT, BO"_s;
        QCOMPARE(m_f->rows(columns, u"DST"_s), m_f->rows(columns, u"EXPECTED"_s));
    }

    void importReadsBackTheExtremes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");    // as isql-fb inserts it
        QTest::addColumn<QString>("readBack"); // as isql-fb shows it; empty: as stored
        const auto row = [](const char *name, const char *type, const char *value,
                            const char *readBack) {
            QTest::newRow(name) << QString::fromLatin1(type) << QString::fromUtf8(value)
                                << QString::fromUtf8(readBack);
        };
        const char *dp = "double precision";
        row("largest double", dp, "1.7976931348623157e308", "1.797693134862316e+308");
        row("lowest double", dp, "-1.7976931348623157e308", "-1.797693134862316e+308");
        // Beyond what a literal of the database takes, so made by products.
        row("smallest subnormal", dp, "4.9406564584124654e-162 * 1e-162", "");
        row("tiny", dp, "1.23456789012345e-150 * 1e-150", "");
        // Read by the database's own reading of the literal, one unit lower.
        row("rounded correctly", dp, "-6.96994054520728E-11", "-6.969940545207280e-11");
        row("15 digits kept", dp, "123456789012345678", "1.234567890123460e+17");
        row("largest integer", "integer", "2147483647", "2147483647");
        row("lowest integer", "integer", "-2147483648", "-2147483648");
        row("lowest smallint", "smallint", "-32768", "-32768");
        row("numeric", "numeric(15,2)", "-9999999999999.99", "-9999999999999.990");
        row("first day", "date", "'0001-01-01'", "01-JAN-0001");
        row("last day", "date", "'9999-12-31 23:59:59'", "31-DEC-9999");
        row("quotes and separators", "varchar(20)", "'a;\"b\"|''c'''", "a;b|'c'");
        row("not Latin", "varchar(20)", "'Ωμέγα 日本 😀'", "Ωμέγα 日本 😀");
    }

    // What the export writes, the import reads back.
    void importReadsBackTheExtremes()
    {
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(QString, readBack);
        QVERIFY(m_f->create(u"create table SRC (V %1);\ncreate table DST (V %1);\ncommit;\n"
                            "insert into SRC values (%2);"_s.arg(type, value)));
        const QString file = m_f->file(u"SRC.dat"_s);
        dvExport(u"SRC"_s, file, u';', false);
        dvt::TImportReport report;
        dvImport(u"DST"_s, file, u';', false, &report);
        QCOMPARE((QList<qint64>{report.RowsStored, report.LinesRefused}), (QList<qint64>{1, 0}));
        QCOMPARE(m_f->value(u"select V from DST"_s),
                 readBack.isEmpty() ? m_f->value(u"select V from SRC"_s) : readBack);
    }

    // The types of a dialect-3 database, exported and imported back; the scaled
    // numeric goes through a double with 15 significant digits.
    void dialect3RoundTrip()
    {
        if (m_where == Where::Server)
            QSKIP("a dialect-3 database is made as an embedded file");
        const QString layout = u"(ID integer, B bigint, TM time, D date, N numeric(18,4));"_s;
        QVERIFY(m_f->useDialect3(
            u"create table SRC %1\ncreate table DST %1\ncommit;\n"
            "insert into SRC values (1, 9007199254740993, '14:30:05', '1999-12-31', 12345.6789);\n"
            "insert into SRC values (2, -9007199254740993, '00:00:00', '0001-01-01', -0.0001);\n"
            "insert into SRC values (3, null, null, null, null);\n"
            "insert into SRC values (4, 9223372036854775807, '23:59:59', '2024-02-29', "
            "99999999999999.9999);"_s.arg(layout)));
        const QString file = m_f->file(u"SRC.dat"_s);
        dvExport(u"SRC"_s, file, u';', false);
        QCOMPARE(readLines(file).join(u'|'),
                 u"ID;B;TM;D;N;|1;9007199254740993;\"14:30:05\";\"12/31/1999\";12345.6789;|"
                 "2;-9007199254740993;\"00:00:00\";\"01/01/0001\";-0.0001;|3;0;null;null;0;|"
                 "4;9223372036854775807;\"23:59:59\";\"02/29/2024\";100000000000000;"_s);
        dvImport(u"DST"_s, file, u';', false);
        QCOMPARE(m_f->rows(u"ID, B, TM, D, N"_s, u"DST"_s).simplified(),
                 u"1 9007199254740993 14:30:05.0000 1999-12-31 12345.6789 "
                 "2 -9007199254740993 00:00:00.0000 0001-01-01 -0.0001 "
                 "3 0 <null> <null> 0.0000 "
                 "4 9223372036854775807 23:59:59.0000 2024-02-29 100000000000000.0000"_s);
    }

    void importReportsTheRefusedLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("stored");  // isql-fb's view of ID, NAME, QTY
        QTest::addColumn<QString>("refused"); // line numbers
        QTest::addColumn<QString>("reason");  // part of the first refusal's reason
        const auto row = [](const char *name, const QByteArray &file, const char *stored,
                            const char *refused, const char *reason) {
            QTest::newRow(name) << file << QString::fromLatin1(stored)
                                << QString::fromLatin1(refused) << QString::fromLatin1(reason);
        };
        const QByteArray h = "ID;NAME;\r\n";
        row("duplicate key", h + "1;\"a\";\r\n1;\"b\";\r\n2;\"c\";\r\n", "1 a 9 2 c 9", "3",
            "violation of PRIMARY or UNIQUE KEY");
        row("empty line", h + "1;\"a\";\r\n\r\n2;\"b\";\r\n", "1 a 9 2 b 9", "3",
            "The line has 1 items, the header 2");
        row("too few items", h + "1;\r\n2;\"b\";\r\n", "2 b 9", "2",
            "Item 2 (NAME) is not a value");
        row("too many items: the rest is ignored", h + "1;\"a\";x;y;\r\n", "1 a 9", "", "");
        row("text too long", h + "2;\"too long for the column\";\r\n3;\"c\";\r\n", "3 c 9", "2",
            "string right truncation");
        row("number too large", h + "2147483648;\"a\";\r\n3;\"c\";\r\n", "3 c 9", "2", "overflow");
        row("number with an exponent too large", h + "1E400;\"a\";\r\n", "", "2",
            "Item 1 (ID) is not a value: 1E400");
        row("an expression", h + "1;(select count(*) from rdb$relations);\r\n2;\"b\";\r\n", "2 b 9",
            "2", "Item 2 (NAME) is not a value: (select count(*) from rdb$relations)");
        row("a function call", h + "1;upper(\"a\");\r\n", "", "2", "Item 2 (NAME) is not a value");
        row("an operation", h + "1+1;\"a\";\r\n", "", "2", "Item 1 (ID) is not a value: 1+1");
        row("a column name", h + "ID;\"a\";\r\n", "", "2", "Item 1 (ID) is not a value: ID");
        row("a second statement", h + "1;\"a\"); delete from T where (1=1;\r\n2;\"b\";\r\n",
            "2 b 9", "2", "Item 2 (NAME) is not a value");
        row("a quote inside a text", h + "1;\"a\" || \"b\";\r\n", "", "2", "not a value");
        row("single quotes", h + "1;'a';\r\n", "", "2", "not a value");
        row("truncated last line", h + "1;\"a\";\r\n2;\"b", "1 a 9", "3", "not a value: \"b");
        row("line feeds alone, no end", h + "1;\"a\";\n2;\"b\";", "1 a 9 2 b 9", "", "");
        row("quoted separator is split", h + "1;\"a;b\";\r\n", "", "2", "not a value: \"a");
        row("blanks around the items", h + " 1 ; \" a \" ;\r\n", "1 a 9", "", "");
        row("other spaces around the items",
            h
                + "\xC2\xA0"
                  "1\xE3\x80\x80;\t\xE2\x80\x83\"a\"\xC2\x85;\r\n",
            "1 a 9", "", "");
        // Columns by name in any letter case; other items skipped whatever they
        // hold; QTY, not in the file, keeps its default.
        row("columns by name", "name;EXTRA;id;\r\n\"a\";\"x\";1;\r\n\"b\";garbage(;2;\r\n",
            "1 a 9 2 b 9", "", "");
        // Items 1 and 2 are columns; "001" and "002" must not be taken for parts
        // of the skipped items 1001 and 1002.
        QByteArray header = "ID;NAME;";
        QByteArray line = "1;\"a\";";
        for (int k = 3; k <= 1500; ++k) {
            header += "X" + QByteArray::number(k) + ';';
            line += QByteArray::number(k) + ';';
        }
        row("wide file", header + "\r\n" + line + "\r\n", "1 a 9", "", "");
    }

    // Every line is stored or reported with its number and the reason.
    void importReportsTheRefusedLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, stored);
        QFETCH(QString, refused);
        QFETCH(QString, reason);
        QVERIFY(m_f->create(u"create table T (ID integer not null primary key, NAME varchar(10), "
                            "QTY integer default 9);"_s));
        QVERIFY(writeFile(m_f->file(u"T.dat"_s), file));
        dvt::TImportReport report;
        dvImport(u"T"_s, m_f->file(u"T.dat"_s), u';', false, &report);
        const QString rows = m_f->rows(u"ID, NAME, QTY"_s, u"T"_s).simplified();
        QCOMPARE(rows, stored);
        QStringList lines;
        for (const dvt::TImportReport::TRefusal &refusal : std::as_const(report.Refused))
            lines << QString::number(refusal.Line);
        QCOMPARE(lines.join(u' '), refused);
        QCOMPARE(report.LinesRefused, lines.size());
        QCOMPARE(report.RowsStored, rows.isEmpty() ? 0 : rows.count(u' ') / 3 + 1);
        QVERIFY(!report.Stopped);
        if (!reason.isEmpty())
            QVERIFY2(report.Refused.first().Reason.contains(reason),
                     qPrintable(report.Refused.first().Reason));
    }

    void importReadsTheFileEncoding_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("encoding");   // dvt::TTextEncoding
        QTest::addColumn<QString>("stored"); // isql-fb's view of NAME by ID
        QTest::addColumn<QString>("refused");
        const auto row = [](const char *name, const QByteArray &file, dvt::TTextEncoding encoding,
                            const QString &stored, const char *refused) {
            QTest::newRow(name) << file << int(encoding) << stored << QString::fromLatin1(refused);
        };
        using E = dvt::TTextEncoding;
        const QByteArray header = "ID;NAME;\r\n";
        const QByteArray bom = "\xEF\xBB\xBF";
        const QByteArray utf8 = "1;\"caf\xC3\xA9 \xE2\x82\xAC\";\r\n";
        const QByteArray legacy = "2;\"caf\xE9 \x80 \x93\x81\";\r\n";
        row("UTF-8", header + utf8, E::Detect, u"café €"_s, "");
        row("UTF-8 with a byte-order mark", bom + header + utf8, E::Detect, u"café €"_s, "");
        row("joined from two files with marks", bom + header + utf8 + bom + "3;\"b\";", E::Utf8,
            u"café € b"_s, "");
        row("Windows-1252", header + legacy, E::Detect, u"café € “\u0081"_s, "");
        // One stray byte makes the whole file Windows-1252.
        row("mixed: read as Windows-1252", header + utf8 + legacy, E::Detect,
            u"cafÃ© â‚¬ café € “\u0081"_s, "");
        row("UTF-8 asked for, a line is not", header + utf8 + legacy, E::Utf8, u"café €"_s, "3");
        row("Windows-1252 asked for", header + utf8, E::Windows1252, u"cafÃ© â‚¬"_s, "");
        row("a character cut at the end", header + "1;\"a\";\r\n\xC3", E::Detect, u"a"_s, "3");
    }

    // A file that is not UTF-8 keeps its characters; nothing becomes U+FFFD.
    void importReadsTheFileEncoding()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, encoding);
        QFETCH(QString, stored);
        QFETCH(QString, refused);
        QVERIFY(m_f->create(u"create table T (ID integer, NAME varchar(20));"_s));
        QVERIFY(writeFile(m_f->file(u"T.dat"_s), file));
        dvt::TImportReport report;
        dvImport(u"T"_s, m_f->file(u"T.dat"_s), u';', false, &report, dvt::TTextEncoding(encoding));
        QStringList lines;
        for (const dvt::TImportReport::TRefusal &refusal : std::as_const(report.Refused))
            lines << QString::number(refusal.Line);
        QCOMPARE(lines.join(u' '), refused);
        QCOMPARE(
            m_f->isql(
                   u"select cast(list(NAME, ' ') as varchar(99)) from (select NAME from T order by ID);"_s)
                .trimmed(),
            stored);
    }

    void lineReaderDetectsTheEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<dvt::TTextEncoding>("encoding");
        using E = dvt::TTextEncoding;
        // The file is read in blocks of 1 MiB: this one ends inside a character.
        const QByteArray block(1024 * 1024 - 1, 'x');
        QTest::newRow("empty") << QByteArray() << E::Utf8;
        QTest::newRow("a character across two blocks") << block + "\xC3\xA9" << E::Utf8;
        QTest::newRow("a stray byte in the second block") << block + "x\xE9" << E::Windows1252;
        QTest::newRow("a character cut by the end") << block + "\xC3" << E::Windows1252;
        QTest::newRow("an encoded surrogate") << QByteArray("\xED\xA0\x80") << E::Windows1252;
    }

    void lineReaderDetectsTheEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(dvt::TTextEncoding, encoding);
        const QString file = m_f->file(u"T.dat"_s);
        QVERIFY(writeFile(file, bytes));
        QCOMPARE(dvt::transfer::LineReader(file, dvt::TTextEncoding::Detect).Encoding(), encoding);
    }

    // Detection checks the file as it was when opened; what is written to it
    // afterwards is checked line by line.
    void lineReaderChecksWhatGrewAfterDetection()
    {
        const QString name = m_f->file(u"T.dat"_s);
        QVERIFY(writeFile(name, "ID;\r\n1;\r\n"));
        dvt::transfer::LineReader reader(name, dvt::TTextEncoding::Detect);
        QFile file(name);
        QVERIFY(file.open(QIODevice::Append));
        QCOMPARE(file.write("2\xE9;\r\n3;\r\n"), 9);
        file.close();
        QStringList lines;
        QByteArrayView line;
        bool decoded = false;
        while (reader.Next(line, decoded))
            lines << (decoded ? QString::fromUtf8(line) : u"?"_s);
        QCOMPARE(lines, (QStringList{u"ID;"_s, u"1;"_s, u"?"_s, u"3;"_s}));
    }

    void importStoresNothingFromAForeignFile_data()
    {
        QTest::addColumn<bool>("writtenScrambled"); // with ';'
        QTest::addColumn<QChar>("readWith");
        QTest::addColumn<bool>("readScrambled");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("reason");
        const QString noColumn = u"The header names no column of "_s;
        QTest::newRow("wrong separator")
            << false << QChar(u',') << false << u"DST"_s << noColumn + u"DST"_s;
        QTest::newRow("scrambled, read plain")
            << true << QChar(u';') << false << u"DST"_s << noColumn + u"DST"_s;
        QTest::newRow("plain, read scrambled")
            << false << QChar(u';') << true << u"DST"_s << noColumn + u"DST"_s;
        QTest::newRow("missing table")
            << false << QChar(u';') << false << u"MISSING"_s << u"Table unknown"_s;
    }

    // The header decides: the import stops at line 1 and says why.
    void importStoresNothingFromAForeignFile()
    {
        QFETCH(bool, writtenScrambled);
        QFETCH(QChar, readWith);
        QFETCH(bool, readScrambled);
        QFETCH(QString, table);
        QFETCH(QString, reason);
        QVERIFY(m_f->create(
            u"create table SRC (ID integer, NAME varchar(20));\n"
            "create table DST (ID integer, NAME varchar(20));\ncommit;\n"
            "insert into SRC values (1, 'one');\ninsert into SRC values (2, 'two');"_s));
        const QString file = m_f->file(u"SRC.dat"_s);
        dvExport(u"SRC"_s, file, u';', writtenScrambled);
        dvt::TImportReport report;
        dvImport(table, file, readWith, readScrambled, &report);
        QCOMPARE((QList<qint64>{report.RowsStored, report.LinesRefused, report.Stopped}),
                 (QList<qint64>{0, 1, true}));
        QCOMPARE(report.Refused.first().Line, 1);
        QVERIFY2(report.Refused.first().Reason.contains(reason),
                 qPrintable(report.Refused.first().Reason));
        QCOMPARE(m_f->value(u"select count(*) from DST"_s), u"0"_s);
    }

    void importGarbage()
    {
        QVERIFY(m_f->create(u"create table T (ID integer, NAME varchar(20));"_s));
        // A header of thousands of items, then random bytes: many separators, line
        // ends and invalid UTF-8.
        QRandomGenerator random(42);
        QByteArray bytes = "ID;NAME" + QByteArray(";x").repeated(20000) + ";\r\n";
        for (int i = 0; i < 600000; ++i)
            bytes += char(random.bounded(256));
        const QString file = m_f->file(u"T.dat"_s);
        QVERIFY(writeFile(file, bytes));
        dvt::TImportReport report;
        dvImport(u"T"_s, file, u';', false, &report);
        QVERIFY2(report.LinesRefused > 100, qPrintable(QString::number(report.LinesRefused)));
        QCOMPARE(report.Refused.size(), dvt::TImportReport::MaxRefusals);
        QCOMPARE(m_f->value(u"select count(*) from T"_s), QString::number(report.RowsStored));
    }

    // An import joins the panel's transaction: rolled back, nothing stays.
    void importInsideATransaction()
    {
        QVERIFY(m_f->create(u"create table T (ID integer);"_s));
        const QString file = m_f->file(u"T.dat"_s);
        QVERIFY(writeFile(file, "ID;\r\n1;\r\n2;\r\n3;\r\n"));
        for (const bool commit : {false, true}) {
            QVERIFY(m_f->panel.StartTransaction());
            dvImport(u"T"_s, file, u';', false);
            QCOMPARE(m_f->value(u"select count(*) from T"_s), u"0"_s); // not yet visible
            QVERIFY(commit ? m_f->panel.Commit() : m_f->panel.Rollback());
            QCOMPARE(m_f->value(u"select count(*) from T"_s), commit ? u"3"_s : u"0"_s);
        }
    }

    // Another process cuts the connection off once some rows are in: outside a
    // transaction the rest go through a new connection, none twice or half.
    void lostConnectionDuringImport()
    {
        QVERIFY(m_f->create(u"create table T (ID integer not null primary key);"_s));
        QByteArray text = "ID;\r\n";
        for (int id = 1; id <= 50; ++id)
            text += QByteArray::number(id) + ";\r\n";
        const QString file = m_f->file(u"T.dat"_s);
        QVERIFY(writeFile(file, text));
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            TdvQuery count;
            if (!count.Select(u"select count(*) from T"_s) || count.AsInteger(0) < 5)
                return;
            timer.stop();
            cutOtherConnections();
        });
        timer.start(0);
        dvt::TImportReport report;
        dvImport(u"T"_s, file, u';', false, &report);
        QCOMPARE((QList<qint64>{report.RowsStored, report.LinesRefused}), (QList<qint64>{50, 0}));
        QCOMPARE(m_f->value(u"select count(*) || ' ' || cast(sum(ID) as integer) from T"_s),
                 u"50 1275"_s);
    }

    // An export cut off halfway leaves the old file as it was, and no other.
    void lostConnectionDuringExport()
    {
        QVERIFY(m_f->create(u"create table T (ID integer, NAME varchar(20));"_s));
        // Enough rows for the export to outlast the interval at which it handles events.
        TdvQuery &q = m_f->query;
        QVERIFY(m_f->panel.StartTransaction());
        QVERIFY(q.Prepare(u"insert into T values (?, ?)"_s));
        for (int id = 1; id <= 20000; ++id) {
            q.SetParamInteger(0, id);
            q.SetParamText(1, u"name %1"_s.arg(id));
            QVERIFY(q.ExecutePrepared());
        }
        QVERIFY(m_f->panel.Commit());
        const QString file = m_f->file(u"T.dat"_s);
        QVERIFY(writeFile(file, "old content\r\n"));
        QTimer::singleShot(0, this, [this] { cutOtherConnections(); });
        dvExport(u"T"_s, file, u';', false);
        QCOMPARE(readLines(file), QStringList{u"old content"_s});
        QCOMPARE(QDir(m_f->folder.path()).entryList(QDir::Files), QStringList{u"T.dat"_s});
    }

    void importReseedsTheGenerator_data()
    {
        QTest::addColumn<QString>("table"); // statements making table T
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("generator");
        const auto row = [](const char *name, const char *table, const char *file,
                            const char *generator) {
            QTest::newRow(name) << QString::fromLatin1(table) << QByteArray(file)
                                << QString::fromLatin1(generator);
        };
        const char *code = "create table T (CODE integer);";
        const char *text = "create table T (CODE varchar(10));";
        row("highest code", code, "CODE;\r\n12;\r\n57;\r\n3;\r\n", "57");
        row("no data lines: the table's rows count",
            "create table T (CODE integer);\ncommit;\ninsert into T values (40);", "CODE;\r\n",
            "40");
        row("text code", text, "CODE;\r\n\" 61 \";\r\n", "61");
        row("text codes are ordered as texts", text, "CODE;\r\n\"10\";\r\n\"9\";\r\n", "9");
        row("empty table: unchanged", code, "CODE;\r\n", "1");
        row("only NULL codes: read as 0", code, "CODE;\r\nnull;\r\nnull;\r\n", "0");
        row("no code column", "create table T (ID integer);", "ID;\r\n5;\r\n", "1");
        row("a higher code in the table",
            "create table T (CODE integer);\ncommit;\ninsert into T values (90);",
            "CODE;\r\n12;\r\n57;\r\n", "90");
        row("codes lowered by a trigger",
            "create table T (CODE numeric(9,2));\ncommit;\nset term ^;\ncreate trigger TB for T "
            "before insert as begin new.CODE = new.CODE - 100; end^\nset term ;^",
            "CODE;\r\n12.5;\r\n57;\r\n", "-43");
    }

    void importReseedsTheGenerator()
    {
        QFETCH(QString, table);
        QFETCH(QByteArray, file);
        QFETCH(QString, generator);
        QVERIFY(m_f->create(u"create generator T;\ncommit;\nset generator T to 1;\n"_s + table));
        QVERIFY(writeFile(m_f->file(u"T.dat"_s), file));
        dvImport(u"T"_s, m_f->file(u"T.dat"_s), u';', false);
        QCOMPARE(m_f->value(u"select gen_id(T, 0) from rdb$database"_s), generator);
    }

    void importStoresWhatTheLiteralStores_data()
    {
        dvt::test::BoolRows("dialect3", "dialect 1", "dialect-3 database");
    }

    // The import binds each value to a prepared INSERT: it must store exactly what
    // the value as a literal in the statement text stores, every kind of value
    // into every type of column, the refused ones included.
    void importStoresWhatTheLiteralStores()
    {
        QFETCH(bool, dialect3);
        if (dialect3 && m_where == Where::Server)
            QSKIP("a dialect-3 database is made as an embedded file");
        QStringList columns = u"VC varchar(12), CH char(5), MEMO blob sub_type text, SI smallint, "
                              "IT integer, N4 numeric(4,2), N9 numeric(9,2), N15 numeric(15,2), "
                              "DP double precision, FL float, DT date, BO boolean"_s.split(u", "_s);
        if (dialect3)
            columns << u"BI bigint"_s << u"TM time"_s << u"N18 numeric(18,4)"_s;
        const QString script = u"create table BYTEXT %1 create table IMPORTED %1"_s.arg(
            u"(LINE integer, "_s + columns.join(u", ") + u");\n"_s);
        QVERIFY(dialect3 ? m_f->useDialect3(script) : m_f->create(script));

        // Values as the file carries them, then numbers as the export writes
        // them without exponents. (With one, the database's own reading of the
        // literal may be a unit lower than the nearest double the import binds;
        // importReadsBackTheExtremes has such a number.)
        QStringList pool =
            u"null NULL \"\" \"abc\" \"O'Brien\" \"a||b\" \"toolongforthecolumn\" \"12\" \"3.255\" "
            "\"1e3\" \"12/31/1999\" \"31.12.1999\" \"13/45/2000\" \"14:30:00\" \"TRUE\" \"false\" "
            "\"Y\" Y N TRUE false 0 7 -7 007 -0 32767 32768 -32769 2147483647 2147483648 "
            "-2147483648 -2147483649 9007199254740993 123456789012345678 9223372036854775807 "
            "12345678901234567890 1.5 -0.25 0.1 0.3 1.005 2.345 -2.345 0.125 99.995 123.456 "
            "99999999.99 12345678901234.5 0.000000000000000001 0.0000123456789012345 "
            "0.00012345678901234 1234567.89012345 1234567890.12345678 -00.50 1E-6 1.5E20 -2.5E-10 "
            "1E280 -1E-280 1E400 5e0 5. .5"_s.split(u' ');
        pool << u"\"  pad  \""_s << u"\"Ωμέγα 日本\""_s << u"\" -7 \""_s
             << u"\"1999-12-31 10:11:12\""_s;
        QRandomGenerator random(20240229);
        for (int i = 0; i < 150; ++i) {
            const double mantissa = random.generateDouble() * 2 - 1;
            const int exponent = random.bounded(-4, 14);
            pool << dvt::FloatToStr(mantissa * std::pow(10.0, exponent));
        }

        // One line per value and column, the value in that column only; the
        // same row as a statement, the Booleans Y and N written as TRUE and FALSE.
        const int columnCount = int(columns.size());
        QString text = u"LINE;"_s;
        QString names = u"LINE"_s;
        for (const QString &column : std::as_const(columns)) {
            text += column.section(u' ', 0, 0) + u';';
            names += u',' + column.section(u' ', 0, 0);
        }
        QVERIFY(m_f->panel.StartTransaction()); // for speed; a refused row is undone alone
        int line = 0;
        int refusedByText = 0;
        for (const QString &value : std::as_const(pool)) {
            const QString literal = value == u"Y"   ? u"TRUE"_s
                                    : value == u"N" ? u"FALSE"_s
                                                    : QString(value).replace(u"||"_s, CRLF);
            for (int c = 0; c < columnCount; ++c) {
                text += CRLF + QString::number(++line) + u';';
                QString values = QString::number(line);
                for (int k = 0; k < columnCount; ++k) {
                    text += (k == c ? value : u"null"_s) + u';';
                    values += u',' + (k == c ? literal : u"null"_s);
                }
                if (!m_f->query.Execute(
                        u"insert into BYTEXT (%1) values (%2)"_s.arg(names, values)))
                    ++refusedByText;
            }
        }
        const QString file = m_f->file(u"rows.dat"_s);
        QVERIFY(writeFile(file, (text + CRLF).toUtf8()));
        dvt::TImportReport report;
        dvImport(u"IMPORTED"_s, file, u';', false, &report);
        QVERIFY(m_f->panel.Commit());

        // Every value to the bit, each row named by its line, value and column.
        const auto stored = [&](const QString &table) {
            QStringList rows;
            TdvQuery q;
            for (q.Select(u"select * from %1 order by LINE"_s.arg(table)); !q.Eof(); q.Next()) {
                const int n = q.AsInteger(0) - 1;
                QString row = u"line %1: %2 into %3"_s.arg(n + 1).arg(
                    pool.value(n / columnCount), columns.value(n % columnCount));
                // 17 digits tell every double apart.
                for (int i = 1; i < q.FieldCount(); ++i)
                    row += u" | %1 %2"_s.arg(q.IsNull(i) ? u"null"_s : q.Value(i).toString(),
                                             QString::number(q.AsFloat(i), 'g', 17));
                rows << row;
            }
            return rows;
        };
        const QStringList expected = stored(u"BYTEXT"_s);
        const QStringList actual = stored(u"IMPORTED"_s);
        for (qsizetype i = 0; i < qMax(expected.size(), actual.size()); ++i)
            QCOMPARE(actual.value(i), expected.value(i));
        QCOMPARE((QList<qint64>{report.RowsStored, report.LinesRefused}),
                 (QList<qint64>{line - refusedByText, refusedByText}));
        QVERIFY(refusedByText > 0 && refusedByText < line / 2);
    }

    void twoProcessesShareTheEmbeddedFile()
    {
        if (m_where == Where::Server)
            QSKIP("a server serves any number of processes; this concerns the embedded engine");
        table(1);
        // This process keeps the file open, with a result open too.
        QVERIFY(m_f->query.Select(u"select ID from T"_s));

        QProcess child;
        startSecondProcess(child);
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("2"));

        QVERIFY(m_f->query.Select(u"select count(*) from T"_s));
        QCOMPARE(m_f->query.AsInteger(0), 2);
    }

    void privateEngineConfiguration_data()
    {
        QTest::addColumn<int>("planted");
        QTest::addColumn<QString>("refusal"); // part of the error; empty: connected
        const auto row = [](const char *name, Planted planted, const char *refusal) {
            QTest::newRow(name) << int(planted) << QString::fromLatin1(refusal);
        };
        row("nothing: the runtime folder", Nothing, "");
        row("no runtime folder: the data folder", NoRuntimeFolder, "");
        row("runtime folder open to others", RuntimeFolderOpen, "XDG_RUNTIME_DIR");
        row("a folder above writable by others", FolderAboveOpen, "is writable by other accounts");
        row("folder writable by others", FolderOpen, "dvtools-firebird is writable by other");
        row("folder is a link", FolderLink, "dvtools-firebird is a link");
        row("folder of another account", FolderOfAnotherAccount, "belongs to another account");
        row("settings writable by others", SettingsOpen, "firebird.conf is writable by other");
        row("settings are a link", SettingsLink, "firebird.conf is a link");
        row("libraries linked elsewhere", IntlElsewhere, "intl links to");
        row("lock folder without the sticky bit", LockFolderOpen, "without the sticky bit");
        row("database file of another account", FileOfAnotherAccount,
            ".fdb belongs to another account");
    }

    // A process finds its engine configuration planted by another account, or
    // changed so that one could: it refuses to connect, to a file or to a server
    // alike, saying why. A second process stands for the application, with a
    // runtime folder of its own.
    void privateEngineConfiguration()
    {
        QFETCH(int, planted);
        QFETCH(QString, refusal);
        if ((planted == FolderOfAnotherAccount || planted == FileOfAnotherAccount)
            && geteuid() != 0)
            QSKIP("only root can give a file to another account");
        if (planted == FileOfAnotherAccount && m_where == Where::Server)
            QSKIP("a server opens its files as its own account");
        table(1);
        QTemporaryDir home;
        const QString run = home.filePath(u"run"_s), data = home.filePath(u"data"_s);
        const QString root = run + u"/dvtools-firebird"_s;
        QVERIFY(QDir().mkpath(run) && QDir().mkpath(home.filePath(u"elsewhere/intl"_s)));
        QVERIFY(::chmod(QFile::encodeName(run).constData(), 0700) == 0);
        QProcessEnvironment environment = childEnvironment();
        environment.insert(u"HOME"_s, home.path());
        environment.insert(u"XDG_RUNTIME_DIR"_s, run);
        environment.insert(u"XDG_DATA_HOME"_s, data);
        const auto plantFolder = [&](mode_t mode) {
            return QDir().mkpath(root) && ::chmod(QFile::encodeName(root).constData(), mode) == 0;
        };
        const auto plantSettings = [&](mode_t mode) {
            const QString path = root + u"/firebird.conf"_s;
            return plantFolder(0700) && writeFile(path, "ServerMode = SuperClassic\n")
                   && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
        };
        switch (Planted(planted)) {
        case Nothing:
            break;
        case NoRuntimeFolder:
            environment.remove(u"XDG_RUNTIME_DIR"_s);
            break;
        case RuntimeFolderOpen:
            QVERIFY(::chmod(QFile::encodeName(run).constData(), 0777) == 0);
            break;
        case FolderAboveOpen:
            environment.remove(u"XDG_RUNTIME_DIR"_s);
            environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u"open/data"_s));
            QVERIFY(QDir().mkpath(home.filePath(u"open/data"_s)));
            QVERIFY(::chmod(QFile::encodeName(home.filePath(u"open"_s)).constData(), 0777) == 0);
            break;
        case FolderOpen:
            QVERIFY(plantFolder(0777));
            break;
        case FolderLink:
            QVERIFY(::chmod(QFile::encodeName(home.filePath(u"elsewhere"_s)).constData(), 0700)
                    == 0);
            QVERIFY(QFile::link(home.filePath(u"elsewhere"_s), root));
            break;
        case FolderOfAnotherAccount: {
            const passwd *nobody = getpwnam("nobody");
            QVERIFY(nobody && plantFolder(0700));
            QVERIFY(::chown(QFile::encodeName(root).constData(), nobody->pw_uid, nobody->pw_gid)
                    == 0);
            break;
        }
        case SettingsOpen:
            QVERIFY(plantSettings(0666));
            break;
        case SettingsLink:
            QVERIFY(plantFolder(0700) && writeFile(home.filePath(u"planted.conf"_s), ""));
            QVERIFY(QFile::link(home.filePath(u"planted.conf"_s), root + u"/firebird.conf"_s));
            break;
        case IntlElsewhere:
            QVERIFY(plantFolder(0700));
            QVERIFY(QFile::link(home.filePath(u"elsewhere/intl"_s), root + u"/intl"_s));
            break;
        case LockFolderOpen:
            QVERIFY(QDir().mkpath(home.filePath(u"lock"_s)));
            QVERIFY(::chmod(QFile::encodeName(home.filePath(u"lock"_s)).constData(), 0777) == 0);
            environment.insert(u"FIREBIRD_LOCK"_s, home.filePath(u"lock"_s));
            break;
        case FileOfAnotherAccount: {
            // Its owner's processes would lock it in their own lock folder.
            const passwd *nobody = getpwnam("nobody");
            QVERIFY(nobody);
            QVERIFY(::chown(QFile::encodeName(m_f->db.target()).constData(), nobody->pw_uid,
                            nobody->pw_gid)
                    == 0);
            break;
        }
        }
        QProcess child;
        startSecondProcess(child, {}, environment);
        QVERIFY(child.waitForFinished(60000));
        const QString error = QString::fromUtf8(child.readAllStandardError());
        if (!refusal.isEmpty()) {
            QCOMPARE(child.exitCode(), 1);
            QVERIFY2(error.contains(refusal) && error.contains(u"no connection is made"_s),
                     qPrintable(error));
            QCOMPARE(m_f->value(u"select count(*) from T"_s), u"1"_s);
            return;
        }
        QVERIFY2(child.exitCode() == 0, qPrintable(error));
        QCOMPARE(m_f->value(u"select count(*) from T"_s), u"2"_s);
        // What the engine was given: the account's alone.
        const QString made = (planted == NoRuntimeFolder ? data : run) + u"/dvtools-firebird"_s;
        // The lock folder is the account's, wherever HOME points.
        const QString lock = QFile::decodeName(getpwuid(geteuid())->pw_dir)
                             + u"/.local/state/dvtools-firebird-lock"_s;
        QCOMPARE((QList<int>{mode(made), mode(made + u"/firebird.conf"_s), mode(lock)}),
                 (QList<int>{0700, 0600, 0700}));
        QVERIFY(QFileInfo(QFileInfo(made + u"/intl"_s).symLinkTarget()).isDir());
    }

    void terminationEndsTheProcess()
    {
        // The client library installs SIGTERM and SIGINT handlers that keep the
        // program running; the application's default must win.
        table(1);
        QProcess child;
        startSecondProcess(child, {u"wait"_s});
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
    tst_dvDatabase test(server ? Where::Server : Where::Embedded);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dvDatabase.moc"
