#pragma once

// Internal: a thin RAII layer over the Firebird client API (ibase.h). Every
// statement is prepared in SQL dialect 1 and every attachment uses the UTF8
// character set. Nothing here raises; failures come back as a Status.

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstdlib>
#include <ibase.h>
#include <memory>
#include <vector>

#include "dvtFieldDef.h"

namespace dvt::fb {

inline constexpr unsigned short Dialect = 1;

// A status vector and the database's message text for it.
class Status
{
public:
    ISC_STATUS *vector() { return m_vector; }
    bool failed() const { return m_vector[0] == 1 && m_vector[1] != 0; }
    // The message lines of fb_interpret, joined with line feeds; or the text set
    // with fail() for failures found on this side of the API.
    QString message() const;
    // The error says the connection to the database is gone for good.
    bool connectionLost() const;
    // Records a failure that has no status vector of its own.
    void fail(const QString &message);
    void clear();

private:
    ISC_STATUS_ARRAY m_vector = {};
    QString m_message;
};

// Where and how to connect.
struct ConnectParams
{
    QString target; // file path, "host:path" or "host/port:path"
    QString user;
    QString password;
};

// Whether a connection string names a file for the embedded engine.
bool IsEmbeddedTarget(const QString &target);

class Attachment
{
public:
    Attachment() = default;
    Attachment(const Attachment &) = delete;
    Attachment &operator=(const Attachment &) = delete;
    ~Attachment(); // detaches; a failure there is of no further use

    bool attach(const ConnectParams &params, Status &status);
    bool create(const ConnectParams &params, Status &status);
    // Detaches and deletes the database.
    bool drop(Status &status);
    void detach();

    isc_db_handle *handle() { return &m_handle; }
    bool isAttached() const { return m_handle != 0; }

private:
    bool open(const ConnectParams &params, const QByteArray &dpb, bool create, Status &status);

    isc_db_handle m_handle = 0;
};

class Transaction
{
public:
    enum class Mode {
        ReadOnly,  // read committed, no waiting needed: reads take no locks
        ReadWrite, // read committed, waits a bounded time for locked rows
    };

    Transaction() = default;
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    ~Transaction(); // rolls back when still active

    bool start(Attachment &attachment, Mode mode, Status &status);
    bool commit(Status &status);
    bool rollback(Status &status);
    // Forgets a transaction whose connection is lost, without a word to the
    // server, which rolls it back itself: a rollback sent over a connection the
    // server has shut down can wait for an answer that never comes.
    void abandon() { m_handle = 0; }

    isc_tr_handle *handle() { return &m_handle; }
    // A statement such as COMMIT can end the transaction behind our back; the
    // handle is then 0.
    bool isActive() const { return m_handle != 0; }

private:
    isc_tr_handle m_handle = 0;
};

// One result column, with its place in the statement's output buffer.
struct Column
{
    QString name;
    short sqlType = 0; // without the nullable bit
    short subType = 0; // blob subtype, or the character set of text
    short scale = 0;
    short length = 0; // bytes in the message
    TFieldDef def;
    XSQLVAR *var = nullptr;
};

// One value of a row as raw bytes: text without its length prefix (and CHAR
// without its padding), numbers and dates in the engine's own layout, blobs as
// their 8-byte id.
struct Cell
{
    const char *data = nullptr;
    int length = 0;
    bool null = true;
};

// How the columns of a row are laid out when rows are kept (RowStore).
enum class Storage { Fixed, Variable };
Storage StorageOf(const Column &column);

// Value conversions shared by every reader of cells. Blob columns need the
// engine and are read by Statement::readBlob instead.
QString CellText(const Column &column, const Cell &cell);
qint64 CellInteger(const Column &column, const Cell &cell);
double CellFloat(const Column &column, const Cell &cell);
double CellDateTime(const Column &column, const Cell &cell); // days since 1899-12-30
bool CellBoolean(const Column &column, const Cell &cell);
QVariant CellVariant(const Column &column, const Cell &cell);

// Fixed-point numbers, dates and times as one exact integer, for readers that
// keep many values compactly: a number's unscaled value, the ticks (1/10000 s)
// since the engine's day 0 of a date, time or timestamp.
// ExactFloat(column, CellExact(column, cell)) equals CellFloat(column, cell).
bool HasExactValue(const Column &column);
qint64 CellExact(const Column &column, const Cell &cell);
double ExactFloat(const Column &column, qint64 value);

// A prepared statement with its result columns and its parameters.
class Statement
{
public:
    enum class Kind { Select, Procedure, Other };
    enum class Fetch { Row, End, Failed };

    Statement() = default;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement(); // frees the handle

    bool prepare(Attachment &attachment, Transaction &transaction, const QString &sql,
                 Status &status);
    void free();
    bool isPrepared() const { return m_handle != 0; }
    Kind kind() const { return m_kind; }

    const std::vector<Column> &columns() const { return m_columns; }
    // The value of a column in the row last fetched (or returned by a procedure).
    Cell cell(int column) const;

    // Runs the statement with the parameters set. A Select opens its cursor; a
    // Procedure fills the row buffer once.
    bool execute(Transaction &transaction, Status &status);
    Fetch fetch(Status &status);
    void closeCursor();

    int paramCount() const { return m_params ? m_params->sqld : 0; }
    void setParamNull(int index);
    void setParamText(int index, const QString &text);
    void setParamUtf8(int index, QByteArrayView text);
    void setParamInteger(int index, qint64 value, int scale = 0); // value × 10^scale
    void setParamFloat(int index, double value);

    // The text of a text blob, or the bytes of any other, into bytes (whose
    // capacity is reused).
    static bool readBlob(Attachment &attachment, Transaction &transaction, const ISC_QUAD &id,
                         QByteArray &bytes, Status &status);

private:
    // A parameter value; the XSQLVAR is pointed at it just before each execution.
    struct Param
    {
        enum class Kind { Null, Text, Integer, Float };
        Kind kind = Kind::Null;
        short describedType = 0;
        short describedSubType = 0;
        QByteArray text;
        ISC_INT64 integer = 0;
        short scale = 0;
        double number = 0;
        ISC_QUAD blob = {};
        short indicator = -1;
    };

    bool describe(Status &status);
    bool bindParams(Attachment &attachment, Transaction &transaction, Status &status);

    isc_stmt_handle m_handle = 0;
    Attachment *m_attachment = nullptr;
    Kind m_kind = Kind::Other;
    bool m_cursorOpen = false;
    struct FreeSqlda
    {
        void operator()(XSQLDA *sqlda) const { std::free(sqlda); }
    };
    std::unique_ptr<XSQLDA, FreeSqlda> m_out;
    std::unique_ptr<XSQLDA, FreeSqlda> m_params;
    std::vector<char> m_buffer; // output values, allocated once per statement
    std::vector<short> m_indicators;
    std::vector<Column> m_columns;
    std::vector<Param> m_paramValues;
};

} // namespace dvt::fb
