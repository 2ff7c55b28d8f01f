#pragma once

// Internal: what a TdvQuery runs on a session: immediate statements, result sets
// with their navigation, and prepared statements.

#include <QList>

#include <memory>
#include <vector>

#include "dvtSession_p.h"

namespace dvt::fb {

// The fetched rows of a result, packed: per column a null flag, then the value's
// bytes (text with a 32-bit length in front). Blocks are never moved, so a
// row's cells stay valid while the store lives.
class RowStore
{
public:
    void clear();
    int count() const { return static_cast<int>(m_rows.size()); }
    // Packs the row the statement holds now.
    void append(const Statement &statement);
    void unpack(int row, const std::vector<Column> &columns, std::vector<Cell> &cells) const;

private:
    char *reserve(size_t size);

    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_free = 0;
    char *m_next = nullptr;
    std::vector<const char *> m_rows;
};

class Cursor final : public SessionUser
{
public:
    Cursor() = default;
    Cursor(const Cursor &) = delete;
    Cursor &operator=(const Cursor &) = delete;
    ~Cursor();

    // Runs a statement that returns no rows, committing it unless the session
    // has an explicit transaction.
    bool execute(Session &session, const QString &sql, Status &status);

    // Opens a result and moves to its first row. An empty result is open with
    // eof() true. keepRows keeps every fetched row, so that the cursor can move
    // back; without it only the current row exists.
    bool open(Session &session, const QString &sql, bool keepRows, Status &status);
    // Opens a result as open() does without keeping rows, in the transaction
    // the open cursor reader reads in: no transaction of its own to start (a
    // write to the database file each), the same view of the data. reader must
    // stay open while this cursor is.
    bool openBeside(const Cursor &reader, const QString &sql, Status &status);
    bool isOpen() const { return m_open; }
    void close();

    bool prepare(Session &session, const QString &sql, Status &status);
    bool isPrepared() const { return !m_open && m_statement.isPrepared(); }
    Statement &statement() { return m_statement; }
    bool executePrepared(Status &status);

    void first(Status &status);
    int moveBy(int distance, Status &status);
    bool eof() const { return m_eof; }
    // -1 when rows are not kept.
    int recordCount(Status &status);

    const QList<TFieldDef> &fieldDefs() const { return m_defs; }
    int fieldIndex(const QString &name) const;
    const Column *column(int field) const;
    // The current row's value; a blob cell holds the blob's bytes.
    Cell cell(int field) const;

    void transactionEnding() override;
    void sessionClosing() override;

private:
    // What the public operations of the same names send, each timed and logged.
    bool executeNow(Session &session, const QString &sql, Status &status);
    // In the given transaction; without one, in the session's explicit
    // transaction or one of its own.
    bool openNow(Session &session, const QString &sql, bool keepRows, Status &status,
                 Transaction *transaction = nullptr);
    bool prepareNow(Session &session, const QString &sql, Status &status);
    bool executePreparedNow(Status &status);
    bool fetchRow(Status &status);
    bool restart(Status &status);
    // Runs the open statement again from its first row, as a new statement sent.
    bool rerun(Status &status);
    void setCurrent(int row);
    void attach(Session &session);

    Session *m_session = nullptr;
    QString m_sql; // of the open or prepared statement
    Statement m_statement;
    std::unique_ptr<Transaction> m_ownTransaction;
    Transaction *m_transaction = nullptr;
    QList<TFieldDef> m_defs;

    bool m_open = false;
    bool m_keepRows = true;
    bool m_exhausted = false;
    bool m_procedureRow = false; // an executed procedure's one row not yet taken
    bool m_eof = true;
    int m_current = -1;
    RowStore m_rows;
    std::vector<Cell> m_cells; // the current row, when rows are kept

    // Blob values of the current row, read when first asked for.
    mutable std::vector<QByteArray> m_blobs;
    mutable std::vector<bool> m_blobRead;
};

} // namespace dvt::fb
