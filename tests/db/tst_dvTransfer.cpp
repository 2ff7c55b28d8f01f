#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <memory>

#include "dvControlPanel.h"
#include "dvCrypt.h"
#include "dvQuery.h"
#include "dvTransfer.h"
#include "dvTransfer_p.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"
#include "dvtTestDatabase.h"

using dvt::test::TestDatabase;
using dvt::transfer::ImportCounts;
using dvt::transfer::Statements;
using Where = TestDatabase::Where;
using namespace Qt::StringLiterals;

namespace {

const QString CR = QStringLiteral("\r");
const QString LF = QStringLiteral("\n");
const QString CRLF = QStringLiteral("\r\n");
const QChar ae = u'\u00E6';

// A text as an SQL literal for isql-fb: single quotes doubled, CR and LF as
// ascii_char, so that the script stays one line per statement.
QString sqlText(const QString &text)
{
    QString literal = QStringLiteral("'");
    for (const QChar c : text) {
        if (c == u'\'')
            literal += QStringLiteral("''");
        else if (c == u'\r' || c == u'\n')
            literal += QStringLiteral("' || ascii_char(%1) || '").arg(c.unicode());
        else
            literal += c;
    }
    return literal + u'\'';
}

QString readText(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool writeText(const QString &fileName, const QString &text)
{
    QFile file(fileName);
    const QByteArray bytes = text.toUtf8();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The lines of a data file; every line must end with CR LF.
QStringList readLines(const QString &fileName)
{
    const QString text = readText(fileName);
    if (!text.endsWith(CRLF))
        return {};
    QStringList lines = text.split(CRLF);
    lines.removeLast();
    return lines;
}

// The database, the panel that connects to it, and a folder for data files.
struct Fixture
{
    explicit Fixture(Where where) : db(where) { db.configure(panel); }

    QString file(const QString &name) const { return folder.filePath(name); }

    // isql-fb's output of the statements, headings off: the independent view of
    // what is stored.
    QString isql(const QString &statements) const
    {
        return db.isql(QStringLiteral("set heading off;\n") + statements + u'\n');
    }
    QString isqlValue(const QString &select) const { return isql(select + u';').trimmed(); }

    TestDatabase db;
    TdvControlPanel panel;
    QTemporaryDir folder;
};

// A file of a dialect-3 database, made by isql-fb: BIGINT, TIME and a DATE
// without time exist only there. The connection still speaks dialect 1.
QString createDialect3Database(const QTemporaryDir &folder)
{
    const QString path = folder.filePath(QStringLiteral("dialect3.fdb"));
    QProcess isql;
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q")});
    isql.write(
        QStringLiteral("set sql dialect 3;\ncreate database '%1' default character set UTF8;\n")
            .arg(path)
            .toUtf8());
    isql.closeWriteChannel();
    isql.waitForFinished(60000);
    return QFile::exists(path) ? path : QString();
}

// isql-fb's output of the statements on an embedded database file, in its own
// dialect, headings off.
QString isqlAt(const QString &path, const QString &statements)
{
    QProcess isql;
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-q"), QStringLiteral("-ch"), QStringLiteral("UTF8"), path});
    isql.write((QStringLiteral("set heading off;\n") + statements + u'\n').toUtf8());
    isql.closeWriteChannel();
    isql.waitForFinished(60000);
    return QString::fromUtf8(isql.readAll());
}

// The query of a table's rows, in the order of the first column.
QString selectAll(const QString &columns, const QString &table)
{
    return QStringLiteral("select %1 from %2 order by 1;").arg(columns, table);
}

} // namespace

class tst_dvTransfer : public QObject
{
    Q_OBJECT

public:
    explicit tst_dvTransfer(Where where) : m_where(where) {}

private:
    Where m_where;

    std::unique_ptr<Fixture> fixture(const QString &script = {})
    {
        auto f = std::make_unique<Fixture>(m_where);
        if (f->db.isValid() && !script.isEmpty())
            f->db.isql(script + QStringLiteral("\ncommit;\n"));
        return f;
    }

    void skipOnServer(const char *reason)
    {
        if (m_where == Where::Server)
            QSKIP(reason);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (m_where == Where::Server && !TestDatabase::ServerConfigured())
            QSKIP(TestDatabase::ServerSkipReason());
    }

    void cleanup() { dvt::FormatSettings() = dvt::TFormatSettings(); }

    // --- The file format, value by value ----------------------------------------

    void exportValue_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value"); // as isql-fb inserts it
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("line"); // the data line written

        const auto row = [](const char *name, const char *type, const QString &value,
                            QChar separator, const QString &line) {
            QTest::newRow(name) << QString::fromLatin1(type) << value << separator << line;
        };
        const QString crlf = QStringLiteral(" || ascii_char(13) || ascii_char(10) || ");
        const QString cr = QStringLiteral(" || ascii_char(13) || ");
        const QString lf = QStringLiteral(" || ascii_char(10) || ");

        row("text trimmed, quotes deleted, apostrophes kept", "varchar(40)",
            QStringLiteral("'  O''Brien \"Jr\"  '"), u'|', QStringLiteral("\"O'Brien Jr\"|"));
        row("text: control characters trimmed", "varchar(40)",
            QStringLiteral("ascii_char(9) || 'x y'") + lf + QStringLiteral("''"), u';',
            QStringLiteral("\"x y\";"));
        row("char without its padding", "char(8)", QStringLiteral("'ab'"), u';',
            QStringLiteral("\"ab\";"));
        row("empty text", "varchar(10)", QStringLiteral("''"), u';', QStringLiteral("\"\";"));
        row("text null", "varchar(10)", QStringLiteral("null"), u';', QStringLiteral("null;"));
        row("text with the separator", "varchar(10)", QStringLiteral("'a;b'"), u';',
            QStringLiteral("\"a") + ae + QStringLiteral("b\";"));
        row("text with line breaks", "varchar(20)",
            QStringLiteral("'a'") + crlf + QStringLiteral("'b'") + lf + QStringLiteral("'c'"), u';',
            QStringLiteral("\"a||b||c\";"));
        row("text not Latin", "varchar(40)", QStringLiteral("'Ωμέγα Łódź 日本 😀'"), u';',
            QStringLiteral("\"Ωμέγα Łódź 日本 😀\";"));
        row("memo of two lines", "blob sub_type text",
            QStringLiteral("'one'") + crlf + QStringLiteral("'two'"), u';',
            QStringLiteral("\"one||two\";"));
        row("memo: LF and CR alone", "blob sub_type text",
            QStringLiteral("'a'") + lf + QStringLiteral("'b'") + cr + QStringLiteral("'c'"), u';',
            QStringLiteral("\"a||b||c\";"));
        row("memo: CR before CR LF", "blob sub_type text",
            QStringLiteral("'a'") + cr + QStringLiteral("ascii_char(13) || ascii_char(10) || 'b'"),
            u';', QStringLiteral("\"a||||b\";"));
        row("memo untrimmed, quotes deleted", "blob sub_type text", QStringLiteral("'  \"q\"  '"),
            u';', QStringLiteral("\"  q  \";"));
        row("memo with the separator", "blob sub_type text", QStringLiteral("'a;b'"), u';',
            QStringLiteral("\"a") + ae + QStringLiteral("b\";"));
        row("memo: line break with the bar as separator", "blob sub_type text",
            QStringLiteral("'a'") + crlf + QStringLiteral("'b|c'"), u'|',
            QStringLiteral("\"a") + ae + ae + QStringLiteral("b") + ae + QStringLiteral("c\"|"));
        row("memo null", "blob sub_type text", QStringLiteral("null"), u';',
            QStringLiteral("null;"));
        row("integer", "integer", QStringLiteral("-42"), u';', QStringLiteral("-42;"));
        row("integer limit", "integer", QStringLiteral("-2147483648"), u';',
            QStringLiteral("-2147483648;"));
        row("integer null is 0", "integer", QStringLiteral("null"), u';', QStringLiteral("0;"));
        row("smallint", "smallint", QStringLiteral("7"), u';', QStringLiteral("7;"));
        row("integer with the separator", "integer", QStringLiteral("-42"), u'-',
            QString(ae) + QStringLiteral("42-"));
        row("double", "double precision", QStringLiteral("1234.5"), u';',
            QStringLiteral("1234.5;"));
        row("double negative", "double precision", QStringLiteral("-0.25"), u';',
            QStringLiteral("-0.25;"));
        row("double whole", "double precision", QStringLiteral("2"), u';', QStringLiteral("2;"));
        row("double small", "double precision", QStringLiteral("0.000001"), u';',
            QStringLiteral("1E-6;"));
        row("double large", "double precision", QStringLiteral("1e20"), u';',
            QStringLiteral("1E20;"));
        row("double 15 digits", "double precision", QStringLiteral("0.1e0 + 0.2e0"), u';',
            QStringLiteral("0.3;"));
        row("double null is 0", "double precision", QStringLiteral("null"), u';',
            QStringLiteral("0;"));
        row("double with the separator", "double precision", QStringLiteral("1.5"), u'.',
            QStringLiteral("1") + ae + QStringLiteral("5."));
        row("float", "float", QStringLiteral("0.5"), u';', QStringLiteral("0.5;"));
        row("numeric(9,2)", "numeric(9,2)", QStringLiteral("12.5"), u';', QStringLiteral("12.5;"));
        row("numeric(15,2)", "numeric(15,2)", QStringLiteral("1234567.89"), u';',
            QStringLiteral("1234567.89;"));
        row("date without its time", "date", QStringLiteral("'1999-12-31 14:30:00'"), u';',
            QStringLiteral("\"12/31/1999\";"));
        row("date null", "date", QStringLiteral("null"), u';', QStringLiteral("null;"));
        row("date with the separator", "date", QStringLiteral("'2001-02-03'"), u'/',
            QStringLiteral("\"02") + ae + QStringLiteral("03") + ae + QStringLiteral("2001\"/"));
        row("boolean true", "boolean", QStringLiteral("true"), u';', QStringLiteral("Y;"));
        row("boolean false", "boolean", QStringLiteral("false"), u';', QStringLiteral("N;"));
        row("boolean null", "boolean", QStringLiteral("null"), u';', QStringLiteral("null;"));
        row("binary blob", "blob sub_type 0", QStringLiteral("'xyz'"), u';',
            QStringLiteral("null;"));
        row("octets", "char(3) character set octets", QStringLiteral("'abc'"), u';',
            QStringLiteral("null;"));
        row("null with the separator", "varchar(10)", QStringLiteral("null"), u'l',
            QStringLiteral("nu") + ae + ae + u'l');
    }

    void exportValue()
    {
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(QChar, separator);
        QFETCH(QString, line);
        auto f = fixture(QStringLiteral("create table T (V %1);\ncommit;\n"
                                        "insert into T values (%2);")
                             .arg(type, value));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString file = f->file(QStringLiteral("T.dat"));
        dvExport(QStringLiteral("T"), file, separator, false);
        QCOMPARE(readLines(file), (QStringList{QStringLiteral("V") + separator, line}));
    }

    void exportDialect3Values()
    {
        skipOnServer("a dialect-3 database is made as an embedded file");
        Fixture f(m_where);
        QVERIFY2(f.db.isValid(), qPrintable(f.db.error())); // sets up the engine
        const QString path = createDialect3Database(f.folder);
        QVERIFY(!path.isEmpty());
        f.panel.SetConnectionString(path);
        isqlAt(path, QStringLiteral("create table T (B bigint, TM time, D date, "
                                    "N numeric(18,4), B2 bigint, TM2 time);\ncommit;"));
        TdvQuery q;
        QVERIFY2(q.Execute(QStringLiteral("insert into T values (9007199254740993, "
                                          "\"14:30:05\", \"12/31/1999\", 12345.6789, "
                                          "\"-9223372036854775808\", null)")),
                 qPrintable(q.Error()));
        const QString file = f.file(QStringLiteral("T.dat"));
        dvExport(QStringLiteral("T"), file, u';', false);
        QCOMPARE(readLines(file),
                 (QStringList{QStringLiteral("B;TM;D;N;B2;TM2;"),
                              QStringLiteral("9007199254740993;\"14:30:05\";\"12/31/1999\";"
                                             "12345.6789;-9223372036854775808;null;")}));
    }

    void exportFollowsTheLocale()
    {
        auto f = fixture(QStringLiteral("create table T (D date, F double precision);\ncommit;\n"
                                        "insert into T values ('1999-12-31', 1.5);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        dvt::FormatSettings().DateSeparator = u'-';
        dvt::FormatSettings().DecimalSeparator = u',';
        const QString file = f->file(QStringLiteral("T.dat"));
        dvExport(QStringLiteral("T"), file, u';', false);
        QCOMPARE(readLines(file).value(1), QStringLiteral("\"12-31-1999\";1,5;"));
    }

    // --- Export as a whole ----------------------------------------------------

    void exportHeaderAndRows()
    {
        auto f = fixture(QStringLiteral(
            "create table T (ID integer, NAME varchar(10), QTY integer);\ncommit;\n"
            "insert into T values (1, 'one', 10);\ninsert into T values (2, 'two', 20);\n"
            "insert into T values (3, 'three', 30);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString file = f->file(QStringLiteral("T.dat"));
        dvExport(QStringLiteral("T order by ID desc"), file, u'|', false);
        QCOMPARE(readLines(file),
                 (QStringList{QStringLiteral("ID|NAME|QTY|"), QStringLiteral("3|\"three\"|30|"),
                              QStringLiteral("2|\"two\"|20|"), QStringLiteral("1|\"one\"|10|")}));
    }

    void exportScrambled()
    {
        auto f = fixture(QStringLiteral(
            "create table T (ID integer, NAME varchar(30));\ncommit;\n"
            "insert into T values (1, 'Hello, World ção');\ninsert into T values (2, null);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString plain = f->file(QStringLiteral("plain.dat"));
        const QString scrambled = f->file(QStringLiteral("scrambled.dat"));
        dvExport(QStringLiteral("T"), plain, u';', false);
        dvExport(QStringLiteral("T"), scrambled, u';', true);
        const QStringList lines = readLines(plain);
        QCOMPARE(lines.size(), 3);
        QStringList expected;
        for (const QString &line : lines)
            expected << dvEnCrypt(line, 0);
        QCOMPARE(readLines(scrambled), expected);
        QVERIFY(expected.at(0) != lines.at(0));
    }

    void exportWritesNothingForNoRows_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("empty table") << QStringLiteral("T");
        QTest::newRow("missing table") << QStringLiteral("MISSING");
        QTest::newRow("bad statement") << QStringLiteral("T where");
    }

    void exportWritesNothingForNoRows()
    {
        QFETCH(QString, table);
        auto f = fixture(QStringLiteral("create table T (ID integer);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString created = f->file(QStringLiteral("new.dat"));
        dvExport(table, created, u';', false);
        QVERIFY(!QFile::exists(created));

        const QString existing = f->file(QStringLiteral("old.dat"));
        QVERIFY(writeText(existing, QStringLiteral("old content\r\n")));
        dvExport(table, existing, u';', false);
        QCOMPARE(readText(existing), QStringLiteral("old content\r\n"));
    }

    void exportDefaultFileNameAndOverwrite()
    {
        auto f = fixture(QStringLiteral("create table T (ID integer);\ncommit;\n"
                                        "insert into T values (5);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f->folder.path()));
        QVERIFY(writeText(f->file(QStringLiteral("T.dat")),
                          QStringLiteral("a much longer old content\r\n")));
        dvExport(QStringLiteral("T"), QString(), u';', false);
        QDir::setCurrent(previous);
        QCOMPARE(readLines(f->file(QStringLiteral("T.dat"))),
                 (QStringList{QStringLiteral("ID;"), QStringLiteral("5;")}));
    }

    void exportToAFileThatCannotBeCreated()
    {
        auto f = fixture(QStringLiteral("create table T (ID integer);\ncommit;\n"
                                        "insert into T values (5);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString file = f->file(QStringLiteral("no folder/T.dat"));
        try {
            dvExport(QStringLiteral("T"), file, u';', false);
            QFAIL("no error raised");
        } catch (const dvt::EInOutError &error) {
            QVERIFY2(error.Message().contains(file), qPrintable(error.Message()));
        }
        QVERIFY(!QFile::exists(file));
    }

    // --- Export, then import: every value comes back -----------------------------

    void roundTrip_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<bool>("scrambled");
        QTest::newRow("semicolon") << QChar(u';') << false;
        QTest::newRow("semicolon, scrambled") << QChar(u';') << true;
        QTest::newRow("bar") << QChar(u'|') << false;
        QTest::newRow("comma, scrambled") << QChar(u',') << true;
        QTest::newRow("tab") << QChar(u'\t') << false;
        QTest::newRow("full stop") << QChar(u'.') << false;
        QTest::newRow("blank, scrambled") << QChar(u' ') << true;
    }

    void roundTrip()
    {
        QFETCH(QChar, separator);
        QFETCH(bool, scrambled);
        const QString layout = QStringLiteral(
            "(ID integer not null primary key, VC varchar(60), CH char(10), MEMO blob sub_type "
            "text, SI smallint, IT integer, NU numeric(9,2), DP double precision, FL float, "
            "DT date, BO boolean)");
        // Each row: the values stored, then the values expected back after the
        // transformations of the format.
        struct Row
        {
            QString stored;
            QString expected;
        };
        // With the bar as separator a memo's "||" is written "ææ" and reads back
        // as "||", not as a line break; CHAR and VARCHAR line breaks likewise.
        const QString lineBreak = separator == u'|' ? QStringLiteral("||") : CRLF;
        const QString s = QString(separator);
        const QList<Row> rows = {
            {QStringLiteral("1, 'plain', 'abc', 'memo', 1, 2, 3.25, 0.5, 0.25, '1999-12-31', true"),
             QStringLiteral(
                 "1, 'plain', 'abc', 'memo', 1, 2, 3.25, 0.5, 0.25, '1999-12-31', true")},
            {QStringLiteral("2, null, null, null, null, null, null, null, null, null, null"),
             QStringLiteral("2, null, null, null, 0, 0, 0, 0, 0, null, null")},
            {QStringLiteral("3, 'say \"hi\"', 'it''s', '\"q\" ''a''', -32768, -2147483648, "
                            "-1234567.89, -1.5e-10, -3.5, '2024-02-29 13:14:15', false"),
             QStringLiteral("3, 'say hi', 'it''s', 'q ''a''', -32768, -2147483648, -1234567.89, "
                            "-1.5e-10, -3.5, '2024-02-29', false")},
            {QStringLiteral("4, %1, %1, %2, 4, 4, 4, 4, 4, '2000-01-01', true")
                 .arg(sqlText(u"a"_s + s + u"b"_s), sqlText(s + u"x"_s + s + s + u"y"_s + s)),
             QStringLiteral("4, %1, %1, %2, 4, 4, 4, 4, 4, '2000-01-01', true")
                 .arg(sqlText(u"a"_s + s + u"b"_s), sqlText(s + u"x"_s + s + s + u"y"_s + s))},
            {QStringLiteral("5, %1, %2, %3, 5, 5, 5, 5, 5, '2000-01-01', true")
                 .arg(sqlText(u"a"_s + CRLF + u"b"_s + LF + u"c"_s), sqlText(u"x"_s + CR + u"y"_s),
                      sqlText(u"one"_s + CRLF + u"two"_s + CRLF + CRLF)),
             QStringLiteral("5, %1, %2, %3, 5, 5, 5, 5, 5, '2000-01-01', true")
                 .arg(sqlText(u"a"_s + lineBreak + u"b"_s + lineBreak + u"c"_s),
                      sqlText(u"x"_s + lineBreak + u"y"_s),
                      sqlText(u"one"_s + lineBreak + u"two"_s + lineBreak + lineBreak))},
            {QStringLiteral("6, 'Ωμέγα Łódź 日本 😀', 'ÄÖÜß', 'Привет, мир 🚀 ç', 6, 6, 6, 6, 6, "
                            "'1900-03-01', true"),
             QStringLiteral("6, 'Ωμέγα Łódź 日本 😀', 'ÄÖÜß', 'Привет, мир 🚀 ç', 6, 6, 6, 6, 6, "
                            "'1900-03-01', true")},
            {QStringLiteral("7, '  padded  ', ' x ', '  kept  ', 7, 7, 0.01, "
                            "123456789012345, 1e20, '9999-12-31', false"),
             QStringLiteral("7, 'padded', 'x', '  kept  ', 7, 7, 0.01, 123456789012345, 1e20, "
                            "'9999-12-31', false")},
        };
        QString script = QStringLiteral("create table SRC %1;\ncreate table DST %1;\n"
                                        "create table EXPECTED %1;\ncommit;\n")
                             .arg(layout);
        for (const Row &row : rows) {
            script += QStringLiteral("insert into SRC values (%1);\n").arg(row.stored);
            script += QStringLiteral("insert into EXPECTED values (%1);\n").arg(row.expected);
        }
        auto f = fixture(script);
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString columns =
            QStringLiteral("ID, VC, CH, cast(MEMO as varchar(200)), SI, IT, NU, DP, FL, DT, BO");
        QCOMPARE(f->isqlValue(QStringLiteral("select count(*) from EXPECTED")),
                 QString::number(rows.size()));
        const QString expected = f->isql(selectAll(columns, QStringLiteral("EXPECTED")));

        const QString file = f->file(QStringLiteral("SRC.dat"));
        dvExport(QStringLiteral("SRC"), file, separator, scrambled);
        QCOMPARE(readLines(file).size(), rows.size() + 1);
        const ImportCounts counts = dvt::transfer::Import(QStringLiteral("DST"), file, separator,
                                                          scrambled, Statements::Prepared);
        QCOMPARE(counts.failed, 0);
        // Rows 3 and 7 hold numbers with exponents, which go as statement text.
        QCOMPARE(counts.text, 2);
        QCOMPARE(counts.prepared, rows.size() - 2);
        QCOMPARE(f->isql(selectAll(columns, QStringLiteral("DST"))), expected);
    }

    void roundTripDialect3Values()
    {
        skipOnServer("a dialect-3 database is made as an embedded file");
        Fixture f(m_where);
        QVERIFY2(f.db.isValid(), qPrintable(f.db.error()));
        const QString path = createDialect3Database(f.folder);
        QVERIFY(!path.isEmpty());
        f.panel.SetConnectionString(path);
        isqlAt(path, QStringLiteral("create table SRC (ID integer, B bigint, TM time, D date, "
                                    "N numeric(18,4));\n"
                                    "create table DST (ID integer, B bigint, TM time, D date, "
                                    "N numeric(18,4));\ncommit;"));
        TdvQuery q;
        for (const char *values :
             {"1, 9223372036854775807, \"23:59:59\", \"2024-02-29\", 99999999999999.9999",
              "2, -9007199254740993, \"00:00:00\", \"0001-01-01\", -0.0001",
              "3, null, null, null, null"}) {
            QVERIFY2(
                q.Execute(QStringLiteral("insert into SRC values (%1)").arg(QLatin1String(values))),
                qPrintable(q.Error()));
        }
        const QString file = f.file(QStringLiteral("SRC.dat"));
        dvExport(QStringLiteral("SRC"), file, u';', false);
        dvImport(QStringLiteral("DST"), file, u';', false);

        // The scaled numeric goes through a double with 15 significant digits.
        QCOMPARE(isqlAt(path, selectAll(QStringLiteral("ID, B, TM, D, N"), QStringLiteral("DST")))
                     .simplified(),
                 QStringLiteral("1 9223372036854775807 23:59:59.0000 2024-02-29 "
                                "100000000000000.0000 "
                                "2 -9007199254740993 00:00:00.0000 0001-01-01 -0.0001 "
                                "3 0 <null> <null> 0.0000"));
    }

    void roundTripLongMemo()
    {
        auto f = fixture(QStringLiteral("create table SRC (ID integer, M blob sub_type text);\n"
                                        "create table DST (ID integer, M blob sub_type text);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        // Longer than a literal of a statement may be.
        QString memo;
        for (int i = 0; memo.size() < 40000; ++i)
            memo += QStringLiteral("line %1 ÄÖÜ;\r\n").arg(i);
        TdvQuery q;
        QVERIFY(q.Prepare(QStringLiteral("insert into SRC values (1, ?)")));
        q.SetParamText(0, memo);
        QVERIFY2(q.ExecutePrepared(), qPrintable(q.Error()));

        const QString file = f->file(QStringLiteral("SRC.dat"));
        dvExport(QStringLiteral("SRC"), file, u';', false);
        dvImport(QStringLiteral("DST"), file, u';', false);
        const QString select = QStringLiteral("select ID, char_length(M), hash(M) from %1;");
        const QString stored = f->isql(select.arg(u"DST"_s)).simplified();
        QVERIFY(stored.startsWith(QStringLiteral("1 %1 ").arg(memo.size())));
        QCOMPARE(stored, f->isql(select.arg(u"SRC"_s)).simplified());
    }

    // --- Import ---------------------------------------------------------------------

    void importMatchesColumnsByName()
    {
        auto f = fixture(QStringLiteral(
            "create table T (ID integer, NAME varchar(20), QTY integer default 9);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        // "extra" is not a column of T; QTY is not in the file; letter case differs.
        const QString file = f->file(QStringLiteral("T.dat"));
        QVERIFY(writeText(file, QStringLiteral("name;EXTRA;id;\r\n\"a\";\"dropped\";1;\r\n"
                                               "\"b\";garbage(;2;\r\n")));
        dvImport(QStringLiteral("T"), file, u';', false);
        QCOMPARE(f->isql(QStringLiteral("select ID, NAME, QTY from T order by ID;")).simplified(),
                 QStringLiteral("1 a 9 2 b 9"));
    }

    void importWideFile()
    {
        auto f = fixture(QStringLiteral("create table T (ID integer, NAME varchar(20));"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        // Items 1 and 2 are columns; "001" and "002" must not be taken for
        // parts of the skipped items 1001 and 1002.
        QString header = QStringLiteral("ID;NAME;");
        QString line = QStringLiteral("1;\"a\";");
        for (int k = 3; k <= 1500; ++k) {
            header += QStringLiteral("X%1;").arg(k);
            line += QStringLiteral("%1;").arg(k);
        }
        const QString file = f->file(QStringLiteral("T.dat"));
        QVERIFY(writeText(file, header + CRLF + line + CRLF));
        const ImportCounts counts =
            dvt::transfer::Import(QStringLiteral("T"), file, u';', false, Statements::Prepared);
        QCOMPARE(counts.prepared, 1);
        QCOMPARE(f->isql(QStringLiteral("select ID, NAME from T;")).simplified(), u"1 a"_s);
    }

    void importSkipsTheRowsTheDatabaseRefuses_data()
    {
        QTest::addColumn<QString>("lines");  // after the header "ID;NAME;"
        QTest::addColumn<QString>("stored"); // isql-fb's view of ID, NAME

        QTest::newRow("duplicate key")
            << QStringLiteral("1;\"a\";\r\n1;\"b\";\r\n2;\"c\";\r\n") << QStringLiteral("1 a 2 c");
        QTest::newRow("empty line")
            << QStringLiteral("1;\"a\";\r\n\r\n2;\"b\";\r\n") << QStringLiteral("1 a 2 b");
        QTest::newRow("empty line at the end")
            << QStringLiteral("1;\"a\";\r\n\r\n") << QStringLiteral("1 a");
        QTest::newRow("too few items")
            << QStringLiteral("1;\r\n2;\"b\";\r\n") << QStringLiteral("2 b");
        QTest::newRow("too many items: the rest is ignored")
            << QStringLiteral("1;\"a\";x;y;\r\n") << QStringLiteral("1 a");
        QTest::newRow("bad value")
            << QStringLiteral("x;\"a\";\r\n2;\"too long for the column\";\r\n"
                              "3;\"c\";\r\n")
            << QStringLiteral("3 c");
        QTest::newRow("a second statement")
            << QStringLiteral("1;\"a\"); delete from T where (1=1;\r\n"
                              "2;\"b\";\r\n")
            << QStringLiteral("2 b");
        QTest::newRow("truncated last line")
            << QStringLiteral("1;\"a\";\r\n2;\"b") << QStringLiteral("1 a");
        QTest::newRow("line feeds alone, no end")
            << QStringLiteral("1;\"a\";\n2;\"b\";") << QStringLiteral("1 a 2 b");
        QTest::newRow("quoted separator is split")
            << QStringLiteral("1;\"a;b\";\r\n") << QStringLiteral("");
    }

    void importSkipsTheRowsTheDatabaseRefuses()
    {
        QFETCH(QString, lines);
        QFETCH(QString, stored);
        auto f = fixture(
            QStringLiteral("create table T (ID integer not null primary key, NAME varchar(10));"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString file = f->file(QStringLiteral("T.dat"));
        QVERIFY(writeText(file, QStringLiteral("ID;NAME;\r\n") + lines));
        dvImport(QStringLiteral("T"), file, u';', false);
        QCOMPARE(f->isql(QStringLiteral("select ID, NAME from T order by ID;")).simplified(),
                 stored);
    }

    void importStoresNothingFromAForeignFile_data()
    {
        QTest::addColumn<QChar>("writtenWith");
        QTest::addColumn<bool>("writtenScrambled");
        QTest::addColumn<QChar>("readWith");
        QTest::addColumn<bool>("readScrambled");
        QTest::newRow("wrong separator") << QChar(u';') << false << QChar(u',') << false;
        QTest::newRow("scrambled, read plain") << QChar(u';') << true << QChar(u';') << false;
        QTest::newRow("plain, read scrambled") << QChar(u';') << false << QChar(u';') << true;
    }

    void importStoresNothingFromAForeignFile()
    {
        QFETCH(QChar, writtenWith);
        QFETCH(bool, writtenScrambled);
        QFETCH(QChar, readWith);
        QFETCH(bool, readScrambled);
        auto f = fixture(QStringLiteral(
            "create table SRC (ID integer, NAME varchar(20));\ncommit;\n"
            "create table DST (ID integer, NAME varchar(20));\ncommit;\n"
            "insert into SRC values (1, 'one');\ninsert into SRC values (2, 'two');"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString file = f->file(QStringLiteral("SRC.dat"));
        dvExport(QStringLiteral("SRC"), file, writtenWith, writtenScrambled);
        const ImportCounts counts = dvt::transfer::Import(QStringLiteral("DST"), file, readWith,
                                                          readScrambled, Statements::Prepared);
        QCOMPARE(counts.failed, 2);
        QCOMPARE(f->isqlValue(QStringLiteral("select count(*) from DST")), QStringLiteral("0"));
    }

    void importGarbage()
    {
        auto f = fixture(QStringLiteral("create table T (ID integer, NAME varchar(20));"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        // A header of thousands of items, then random bytes: many separators, line
        // ends and invalid UTF-8.
        QRandomGenerator random(42);
        QByteArray bytes("ID;NAME");
        for (int i = 0; i < 20000; ++i)
            bytes += ";x";
        bytes += ";\r\n";
        for (int i = 0; i < 300000; ++i)
            bytes += char(random.bounded(256));
        const QString file = f->file(QStringLiteral("T.dat"));
        {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        }
        const ImportCounts counts =
            dvt::transfer::Import(QStringLiteral("T"), file, u';', false, Statements::Prepared);
        QVERIFY2(counts.failed > 100, qPrintable(QStringLiteral("%1 prepared, %2 text, %3 failed")
                                                     .arg(counts.prepared)
                                                     .arg(counts.text)
                                                     .arg(counts.failed)));
        QCOMPARE(f->isqlValue(QStringLiteral("select count(*) from T")),
                 QString::number(counts.prepared + counts.text));
    }

    void importFromAFileThatCannotBeOpened()
    {
        auto f = fixture(QStringLiteral("create table T (ID integer);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString file = f->file(QStringLiteral("missing.dat"));
        try {
            dvImport(QStringLiteral("T"), file, u';', false);
            QFAIL("no error raised");
        } catch (const dvt::EInOutError &error) {
            QVERIFY2(error.Message().contains(file), qPrintable(error.Message()));
        }
    }

    void importIntoAMissingTable()
    {
        auto f = fixture(QStringLiteral("create table T (ID integer);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString file = f->file(QStringLiteral("T.dat"));
        QVERIFY(writeText(file, QStringLiteral("ID;\r\n1;\r\n2;\r\n")));
        const ImportCounts counts = dvt::transfer::Import(QStringLiteral("MISSING"), file, u';',
                                                          false, Statements::Prepared);
        QCOMPARE(counts.failed, 2);
        QCOMPARE(counts.prepared + counts.text, 0);
    }

    void importDefaultFileName()
    {
        auto f = fixture(QStringLiteral("create table T (ID integer);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        QVERIFY(writeText(f->file(QStringLiteral("T.dat")), QStringLiteral("ID;\r\n7;\r\n")));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f->folder.path()));
        dvImport(QStringLiteral("T"), QString(), u';', false);
        QDir::setCurrent(previous);
        QCOMPARE(f->isqlValue(QStringLiteral("select ID from T")), QStringLiteral("7"));
    }

    void importReseedsTheGenerator_data()
    {
        QTest::addColumn<QString>("table"); // after "create table T "
        QTest::addColumn<QString>("lines"); // after the header "CODE;"
        QTest::addColumn<QString>("generator");

        QTest::newRow("highest code")
            << QStringLiteral("(CODE integer)") << QStringLiteral("12;\r\n57;\r\n3;\r\n")
            << QStringLiteral("57");
        QTest::newRow("no data lines: the table's rows count")
            << QStringLiteral("(CODE integer)") << QString() << QStringLiteral("40");
        QTest::newRow("text code") << QStringLiteral("(CODE varchar(10))")
                                   << QStringLiteral("\" 61 \";\r\n") << QStringLiteral("61");
        QTest::newRow("text code that is no number")
            << QStringLiteral("(CODE varchar(10))") << QStringLiteral("\"x\";\r\n")
            << QStringLiteral("1");
        QTest::newRow("no code column")
            << QStringLiteral("(ID integer)") << QStringLiteral("5;\r\n") << QStringLiteral("1");
    }

    void importReseedsTheGenerator()
    {
        QFETCH(QString, table);
        QFETCH(QString, lines);
        QFETCH(QString, generator);
        auto f = fixture(QStringLiteral("create table T %1;\ncreate generator T;\ncommit;\n"
                                        "set generator T to 1;\ncommit;\n")
                             .arg(table));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        if (lines.isEmpty())
            f->db.isql(QStringLiteral("insert into T values (40);\ncommit;\n"));
        const QString file = f->file(QStringLiteral("T.dat"));
        QVERIFY(
            writeText(file, (table.contains(QStringLiteral("CODE")) ? QStringLiteral("CODE;\r\n")
                                                                    : QStringLiteral("ID;\r\n"))
                                + lines));
        dvImport(QStringLiteral("T"), file, u';', false);
        QCOMPARE(f->isqlValue(QStringLiteral("select gen_id(T, 0) from rdb$database")), generator);
    }

    void importInsideATransaction()
    {
        auto f = fixture(QStringLiteral("create table T (ID integer);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        const QString file = f->file(QStringLiteral("T.dat"));
        QVERIFY(writeText(file, QStringLiteral("ID;\r\n1;\r\n2;\r\n3;\r\n")));

        QVERIFY(f->panel.StartTransaction());
        dvImport(QStringLiteral("T"), file, u';', false);
        QCOMPARE(f->isqlValue(QStringLiteral("select count(*) from T")), QStringLiteral("0"));
        QVERIFY(f->panel.Rollback());
        QCOMPARE(f->isqlValue(QStringLiteral("select count(*) from T")), QStringLiteral("0"));

        QVERIFY(f->panel.StartTransaction());
        dvImport(QStringLiteral("T"), file, u';', false);
        QVERIFY(f->panel.Commit());
        QCOMPARE(f->isqlValue(QStringLiteral("select count(*) from T")), QStringLiteral("3"));
    }

    // The prepared statement must store exactly what the statement text stores:
    // every kind of literal into every type of column, the refused ones included.
    void preparedStoresWhatTextStores_data()
    {
        QTest::addColumn<bool>("dialect3");
        QTest::newRow("dialect 1") << false;
        QTest::newRow("dialect-3 database") << true;
    }

    void preparedStoresWhatTextStores()
    {
        QFETCH(bool, dialect3);
        if (dialect3)
            skipOnServer("a dialect-3 database is made as an embedded file");
        Fixture f(m_where);
        QVERIFY2(f.db.isValid(), qPrintable(f.db.error()));
        QStringList columns = {QStringLiteral("VC varchar(12)"),
                               QStringLiteral("CH char(5)"),
                               QStringLiteral("MEMO blob sub_type text"),
                               QStringLiteral("SI smallint"),
                               QStringLiteral("IT integer"),
                               QStringLiteral("N4 numeric(4,2)"),
                               QStringLiteral("N9 numeric(9,2)"),
                               QStringLiteral("N15 numeric(15,2)"),
                               QStringLiteral("DP double precision"),
                               QStringLiteral("FL float"),
                               QStringLiteral("DT date"),
                               QStringLiteral("BO boolean")};
        if (dialect3) {
            const QString path = createDialect3Database(f.folder);
            QVERIFY(!path.isEmpty());
            f.panel.SetConnectionString(path);
            columns << QStringLiteral("BI bigint") << QStringLiteral("TM time")
                    << QStringLiteral("N18 numeric(18,4)");
        }
        // Tables of a dialect-3 database can only be made in dialect 3.
        QString script;
        for (const char *table : {"BYTEXT", "PREPARED"}) {
            script += QStringLiteral("create table %1 (LINE integer, %2);\n")
                          .arg(QLatin1String(table), columns.join(u", "));
        }
        script += QStringLiteral("commit;\n");
        if (dialect3)
            isqlAt(f.panel.ConnectionString(), script);
        else
            f.db.isql(script);

        // Literals as the file carries them.
        QStringList pool = {u"null"_s,
                            u"NULL"_s,
                            u"\"\""_s,
                            u"\"abc\""_s,
                            u"\"O'Brien\""_s,
                            u"\"  pad  \""_s,
                            u"\"Ωμέγα 日本\""_s,
                            u"\"a||b\""_s,
                            u"\"toolongforthecolumn\""_s,
                            u"\"12\""_s,
                            u"\" -7 \""_s,
                            u"\"3.255\""_s,
                            u"\"1e3\""_s,
                            u"\"12/31/1999\""_s,
                            u"\"1999-12-31 10:11:12\""_s,
                            u"\"31.12.1999\""_s,
                            u"\"13/45/2000\""_s,
                            u"\"14:30:00\""_s,
                            u"\"TRUE\""_s,
                            u"\"false\""_s,
                            u"\"Y\""_s,
                            u"Y"_s,
                            u"N"_s,
                            u"0"_s,
                            u"7"_s,
                            u"-7"_s,
                            u"007"_s,
                            u"-0"_s,
                            u"32767"_s,
                            u"32768"_s,
                            u"-32769"_s,
                            u"2147483647"_s,
                            u"2147483648"_s,
                            u"-2147483648"_s,
                            u"-2147483649"_s,
                            u"9007199254740993"_s,
                            u"123456789012345678"_s,
                            u"9223372036854775807"_s,
                            u"12345678901234567890"_s,
                            u"1.5"_s,
                            u"-0.25"_s,
                            u"0.1"_s,
                            u"0.3"_s,
                            u"1.005"_s,
                            u"2.345"_s,
                            u"-2.345"_s,
                            u"0.125"_s,
                            u"99.995"_s,
                            u"123.456"_s,
                            u"99999999.99"_s,
                            u"12345678901234.5"_s,
                            u"0.000000000000000001"_s,
                            u"0.0000123456789012345"_s,
                            u"0.00012345678901234"_s,
                            u"1234567.89012345"_s,
                            u"1234567890.12345678"_s,
                            u"-00.50"_s,
                            u"1E-6"_s,
                            u"1.5E20"_s,
                            u"-2.5E-10"_s,
                            u"1.79769313486232E308"_s,
                            u"1E280"_s,
                            u"-1E-280"_s,
                            u"1E400"_s,
                            u"4.94065645841247E-324"_s,
                            u"1.23456789012345E-300"_s,
                            u"5e0"_s,
                            u"1,5"_s,
                            u"5."_s,
                            u".5"_s,
                            u"+5"_s,
                            u"- 5"_s,
                            u"TRUE"_s,
                            u"true"_s,
                            u"x"_s,
                            u"\"unterminated"_s};
        // Numbers as the export writes them: mostly plain decimals, some with
        // exponents (below 0.00001, beyond 15 integer digits).
        QRandomGenerator random(20240229);
        for (int i = 0; i < 150; ++i) {
            const double mantissa = random.generateDouble() * 2 - 1;
            const int exponent = i % 5 == 0 ? random.bounded(-14, 22) : random.bounded(-4, 14);
            pool << dvt::FloatToStr(mantissa * std::pow(10.0, exponent));
        }

        const int columnCount = int(columns.size());
        QString header = QStringLiteral("LINE;");
        for (const QString &column : columns)
            header += column.section(u' ', 0, 0) + u';';
        QString text = header + CRLF;
        int line = 0;
        for (const QString &literal : std::as_const(pool)) {
            for (int c = 0; c < columnCount; ++c) {
                text += QString::number(++line) + u';';
                for (int k = 0; k < columnCount; ++k)
                    text += (k == c ? literal : u"null"_s) + u';';
                text += CRLF;
            }
        }
        const QString file = f.file(QStringLiteral("rows.dat"));
        QVERIFY(writeText(file, text));

        // In a transaction each, for speed: a refused row is undone on its own.
        const auto import = [&](const QString &table, Statements statements) {
            f.panel.StartTransaction();
            const ImportCounts counts = dvt::transfer::Import(table, file, u';', false, statements);
            f.panel.Commit();
            return counts;
        };
        const ImportCounts byText = import(QStringLiteral("BYTEXT"), Statements::TextOnly);
        const ImportCounts prepared = import(QStringLiteral("PREPARED"), Statements::Prepared);

        // Every value to the bit, row by row, naming the first line that differs.
        const auto describe = [&](int lineNumber) {
            return QStringLiteral("line %1: %2 into %3")
                .arg(lineNumber)
                .arg(pool.value((lineNumber - 1) / columnCount),
                     columns.value((lineNumber - 1) % columnCount));
        };
        TdvQuery a;
        TdvQuery b;
        a.Select(QStringLiteral("select * from BYTEXT order by LINE"));
        b.Select(QStringLiteral("select * from PREPARED order by LINE"));
        for (; !a.Eof() || !b.Eof(); a.Next(), b.Next()) {
            const int lineA = a.Eof() ? line + 1 : a.AsInteger(0);
            const int lineB = b.Eof() ? line + 1 : b.AsInteger(0);
            QVERIFY2(lineA == lineB,
                     qPrintable((lineA < lineB ? u"stored by the text only: "_s
                                               : u"stored by the prepared statement only: "_s)
                                + describe(std::min(lineA, lineB))));
            for (int i = 1; i < a.FieldCount(); ++i) {
                const QString where = describe(lineA) + QStringLiteral(", column %1").arg(i);
                QVERIFY2(a.IsNull(i) == b.IsNull(i), qPrintable(where));
                QVERIFY2(a.Value(i) == b.Value(i), qPrintable(where));
                const double x = a.AsFloat(i);
                const double y = b.AsFloat(i);
                QVERIFY2(std::memcmp(&x, &y, sizeof x) == 0, qPrintable(where));
            }
        }
        QCOMPARE(byText.prepared, 0);
        QCOMPARE(byText.text + byText.failed, line);
        QCOMPARE(prepared.prepared + prepared.text + prepared.failed, line);
        QCOMPARE(prepared.failed, byText.failed);
        // Most rows take the prepared way; those with items that are no plain
        // literals (numbers with exponents among them) take the text.
        QVERIFY2(prepared.text * 4 < prepared.prepared,
                 qPrintable(QStringLiteral("%1 prepared, %2 as text")
                                .arg(prepared.prepared)
                                .arg(prepared.text)));
        QVERIFY(byText.failed > 0 && byText.text > line / 3);

        // And isql-fb's view of both tables (the memo as text, not as a blob id).
        QString select = QStringLiteral("LINE");
        for (const QString &column : std::as_const(columns)) {
            const QString name = column.section(u' ', 0, 0);
            select += u", "_s + (name == u"MEMO" ? u"cast(MEMO as varchar(100))"_s : name);
        }
        const auto isqlRows = [&](const QString &table) {
            return dialect3 ? isqlAt(f.panel.ConnectionString(), selectAll(select, table))
                            : f.isql(selectAll(select, table));
        };
        const QString stored = isqlRows(QStringLiteral("BYTEXT"));
        QCOMPARE(isqlRows(QStringLiteral("PREPARED")), stored);
        QVERIFY(stored.count(u'\n') > line / 3);
    }

    // --- Failures part way ----------------------------------------------------------

    void lostConnectionDuringImport()
    {
        auto f = fixture(QStringLiteral("create table T (ID integer not null primary key);"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        QString text = QStringLiteral("ID;\r\n");
        for (int id = 1; id <= 50; ++id)
            text += QString::number(id) + QStringLiteral(";\r\n");
        const QString file = f->file(QStringLiteral("T.dat"));
        QVERIFY(writeText(file, text));

        // Once some rows are in, another process cuts this connection off.
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            TdvQuery count;
            if (!count.Select(QStringLiteral("select count(*) from T")) || count.AsInteger(0) < 5)
                return;
            timer.stop();
            f->db.isql(QStringLiteral(
                "delete from mon$attachments where mon$attachment_id <> current_connection;"));
        });
        timer.start(0);
        const ImportCounts counts =
            dvt::transfer::Import(QStringLiteral("T"), file, u';', false, Statements::Prepared);
        // The rest of the rows went through a new connection, none twice or half.
        QCOMPARE(counts.failed, 0);
        QVERIFY2(counts.text >= 1, "the row that met the lost connection went as text");
        QVERIFY2(counts.prepared >= 10, "the statement was prepared again");
        QCOMPARE(f->isqlValue(
                     QStringLiteral("select count(*) || ' ' || cast(sum(ID) as integer) from T")),
                 QStringLiteral("50 1275"));
    }

    void lostConnectionDuringExport()
    {
        auto f = fixture(QStringLiteral("create table T (ID integer, NAME varchar(20));"));
        QVERIFY2(f->db.isValid(), qPrintable(f->db.error()));
        {
            // Enough rows for the export to take longer than the interval at
            // which it handles events.
            TdvQuery q;
            QVERIFY(f->panel.StartTransaction());
            QVERIFY(q.Prepare(QStringLiteral("insert into T values (?, ?)")));
            for (int id = 1; id <= 20000; ++id) {
                q.SetParamInteger(0, id);
                q.SetParamText(1, QStringLiteral("name %1").arg(id));
                QVERIFY(q.ExecutePrepared());
            }
            QVERIFY(f->panel.Commit());
        }
        const QString file = f->file(QStringLiteral("T.dat"));
        QVERIFY(writeText(file, QStringLiteral("old content\r\n")));
        QTimer::singleShot(0, this, [&f] {
            f->db.isql(QStringLiteral(
                "delete from mon$attachments where mon$attachment_id <> current_connection;"));
        });
        dvExport(QStringLiteral("T"), file, u';', false);
        QCOMPARE(readText(file), QStringLiteral("old content\r\n"));
        QCOMPARE(QDir(f->folder.path()).entryList(QDir::Files), QStringList{u"T.dat"_s});
    }
};

// With --server first, the cases run against the test server instead of an
// embedded file (a test of its own in CTest).
int main(int argc, char **argv)
{
    const bool server = argc > 1 && qstrcmp(argv[1], "--server") == 0;
    if (server) {
        argv[1] = argv[0];
        ++argv;
        --argc;
    }
    QApplication app(argc, argv);
    tst_dvTransfer test(server ? Where::Server : Where::Embedded);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dvTransfer.moc"
