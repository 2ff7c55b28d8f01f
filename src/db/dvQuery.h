#pragma once

#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

#include "dvtDateTime.h"
#include "dvtFieldDef.h"

namespace dvt {
class TDatabase;
namespace fb {
class Cursor;
class Session;
class Status;
} // namespace fb
} // namespace dvt

// The library's statement runner. Execute runs a statement that returns no
// rows, Select one that does; both answer with a Boolean and never raise. The
// database's message of the last failure is kept in Error. Statements run on
// the connection registered under DatabaseName ("dvTools", the control panel's)
// in SQL dialect 1, so "text" is a string literal; the text is sent as it is,
// never scanned for parameters (a quoted time such as "10:30:00" is fine).
//
// After a Select that answered true the query is open on the first row. Rows
// are fetched from the database as they are reached. A new query is
// Unidirectional: only the current row is kept, RecordCount answers -1, and
// going back runs the statement again. A reader that moves back and forth (a
// grid) turns Unidirectional off: then every fetched row is kept, so First and
// MoveBy go anywhere and RecordCount is exact (it fetches the rest).
//
// Values: GetFieldValue (by name, letter case ignored) and Value (by position)
// answer a QVariant, invalid for NULL: QString for text and memo columns,
// QByteArray for binary ones, int for SMALLINT and INTEGER, qlonglong for
// BIGINT, double for FLOAT, DOUBLE PRECISION and scaled NUMERIC, bool, QDate and
// QTime for dialect-3 DATE and TIME, and QDateTime for timestamps (dialect-1
// DATE), holding the stored wall-clock time marked as Qt::UTC so that no time
// zone shifts it (local time would skip or repeat an hour at DST changes). The typed accessors
// (IsNull, AsString, AsInteger, AsLargeInt, AsFloat, AsDateTime, AsBoolean) read by position
// without a QVariant; NULL reads as 0, false or an empty text. dvtFieldDef.h lists how the
// database's types map onto field types.
//
// Prepare, the SetParam... setters and ExecutePrepared run one statement with
// "?" parameters many times, each execution with the values last set (a parameter
// never set is NULL). A text parameter is converted by the database to the
// column's type, so "12/31/1999" suits a DATE and "12.5" a NUMERIC. After
// Prepare, FieldDefs describe the statement's result columns (none for an
// INSERT), so "select * from T" prepared names T's columns even when T is empty.
//
// Outside a transaction of the connection, every Execute and ExecutePrepared
// commits at once; a Select reads in a transaction that ends when the query
// closes (dvtDatabase.h tells more).
class TdvQuery : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE SetDatabaseName)
    Q_PROPERTY(bool Unidirectional READ Unidirectional WRITE SetUnidirectional)

public:
    explicit TdvQuery(QObject *owner = nullptr);
    ~TdvQuery() override;

    // The joined forms run the items, each followed by one blank, as one text:
    // {"update T set", "A=1", "where B=2"} runs "update T set A=1 where B=2 ".
    bool Execute(const QString &statement);
    bool Execute(const QStringList &items);
    // True when the result is open and has at least one row. False means an
    // error, with its text in Error, or an empty result, with an empty Error;
    // the query is then closed.
    bool Select(const QString &statement);
    bool Select(const QStringList &items);
    QString Error() const { return m_error; }
    // The last statement given.
    QString SQL() const { return m_sql; }
    // The connection named DatabaseName was lost with a transaction open: every
    // statement fails until the transaction is rolled back (dvtDatabase.h).
    bool TransactionLost() const;

    QString DatabaseName() const { return m_databaseName; }
    void SetDatabaseName(const QString &name) { m_databaseName = name; }
    bool Unidirectional() const { return m_unidirectional; }
    void SetUnidirectional(bool on) { m_unidirectional = on; }

    // The result set.
    bool IsOpen() const;
    void Close();
    void First();
    // Moves to the next row; at the last row Eof becomes true and the row stays.
    void Next();
    // Moves by distance rows (back when negative) and answers how many rows it
    // moved; moving forward past the last row stops there with Eof true.
    int MoveBy(int distance);
    // True when the result is empty or a move went past the last row.
    bool Eof() const;
    int RecordCount();

    int FieldCount() const;
    const QList<dvt::TFieldDef> &FieldDefs() const;
    // The position of the field with that name, ignoring letter case; -1 if none.
    int FieldIndex(const QString &name) const;
    // The value in the current row; invalid for NULL, an unknown name or no row.
    QVariant GetFieldValue(const QString &name) const;
    QVariant Value(int field) const;

    bool IsNull(int field) const;
    // Numbers as the shortest decimal text, timestamps as "yyyy-MM-dd HH:mm:ss".
    QString AsString(int field) const;
    int AsInteger(int field) const; // floats rounded; text parsed, else 0
    qint64 AsLargeInt(int field) const;
    double AsFloat(int field) const; // dates as their TDateTime
    dvt::TDateTime AsDateTime(int field) const;
    bool AsBoolean(int field) const;
    // A text or memo value as the database's UTF-8 bytes, CHAR without its
    // trailing blanks, for readers of many rows that spare the conversion to
    // QString; valid until the query moves. Null (isNull()) for NULL, empty for
    // other types.
    QByteArrayView AsUtf8(int field) const;

    // Prepared statements.
    bool Prepare(const QString &statement);
    int ParamCount() const;
    void SetParamNull(int index);
    void SetParamText(int index, const QString &text);
    // A text given as its UTF-8 bytes, for writers of many rows that have them
    // already; copied, so the bytes may change afterwards.
    void SetParamUtf8(int index, QByteArrayView text);
    // value × 10^scale, an exact decimal: (1250, -2) is 12.50, as the literal
    // 12.50 is to the database.
    void SetParamInteger(int index, qint64 value, int scale = 0);
    void SetParamFloat(int index, double value);
    bool ExecutePrepared();

private:
    static QString Joined(const QStringList &items);
    bool Fail(const QString &message);
    // Fails a statement that no connection would take.
    bool Refuse(dvt::TDatabase &database, const QString &statement, const QString &error);
    // Starts a new statement: clears Error, keeps the text, closes the result,
    // and answers the session of the connection named DatabaseName, connecting
    // on demand; nullptr with the reason in Error.
    dvt::fb::Session *Begin(const QString &statement);
    // Keeps a failure's message in Error and drops a connection found lost.
    bool Report(const dvt::fb::Status &status);
    bool ValidParam(int index) const;

    QString m_databaseName = QStringLiteral("dvTools");
    bool m_unidirectional = true;
    QString m_error;
    QString m_sql;
    QPointer<dvt::TDatabase> m_database; // where the cursor runs
    std::unique_ptr<dvt::fb::Cursor> m_cursor;
};
