#include <QElapsedTimer>

#include <algorithm>
#include <cstring>

#include "dvtCursor_p.h"

namespace dvt::fb {

namespace {

constexpr size_t BlockSize = size_t(1) << 20;

const QString statementReturnsNoRows =
    QStringLiteral("The statement returns no rows; run it with Execute");

// Every statement sent to the engine passes here, timed, to the session's log.
template<typename Send>
bool logged(const Session &session, const QString &sql, Status &status, Send &&send)
{
    if (!session.statementLogWanted())
        return send();
    QElapsedTimer timer;
    timer.start();
    const bool done = send();
    session.logStatement(sql, status, timer.elapsed());
    return done;
}

} // namespace

// --- RowStore -------------------------------------------------------------------

void RowStore::clear()
{
    m_blocks.clear();
    m_rows.clear();
    m_free = 0;
    m_next = nullptr;
}

char *RowStore::reserve(size_t size)
{
    if (size > m_free) {
        const size_t block = std::max(size, BlockSize);
        m_blocks.push_back(std::make_unique<char[]>(block));
        m_next = m_blocks.back().get();
        m_free = block;
    }
    char *at = m_next;
    m_next += size;
    m_free -= size;
    return at;
}

void RowStore::append(const Statement &statement)
{
    const std::vector<Column> &columns = statement.columns();
    const int count = static_cast<int>(columns.size());
    size_t size = 0;
    for (int i = 0; i < count; ++i) {
        const Cell cell = statement.cell(i);
        size += 1;
        if (!cell.null)
            size += (StorageOf(columns[i]) == Storage::Variable ? sizeof(quint32) : 0)
                    + static_cast<size_t>(cell.length);
    }
    char *at = reserve(size);
    m_rows.push_back(at);
    for (int i = 0; i < count; ++i) {
        const Cell cell = statement.cell(i);
        *at++ = cell.null ? 0 : 1;
        if (cell.null)
            continue;
        if (StorageOf(columns[i]) == Storage::Variable) {
            const auto length = static_cast<quint32>(cell.length);
            std::memcpy(at, &length, sizeof length);
            at += sizeof length;
        }
        std::memcpy(at, cell.data, static_cast<size_t>(cell.length));
        at += cell.length;
    }
}

void RowStore::unpack(int row, const std::vector<Column> &columns, std::vector<Cell> &cells) const
{
    const char *at = m_rows[static_cast<size_t>(row)];
    cells.resize(columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        Cell &cell = cells[i];
        cell.null = *at++ == 0;
        if (cell.null) {
            cell.data = nullptr;
            cell.length = 0;
            continue;
        }
        if (StorageOf(columns[i]) == Storage::Variable) {
            quint32 length;
            std::memcpy(&length, at, sizeof length);
            at += sizeof length;
            cell.length = static_cast<int>(length);
        } else {
            cell.length = columns[i].length;
        }
        cell.data = at;
        at += cell.length;
    }
}

// --- Cursor -----------------------------------------------------------------------

Cursor::~Cursor()
{
    close();
}

void Cursor::attach(Session &session)
{
    m_session = &session;
    session.add(this);
}

void Cursor::close()
{
    m_statement.free();
    if (m_ownTransaction) {
        Status ignored; // a read-only or finished transaction: nothing to lose
        m_ownTransaction->commit(ignored);
        m_ownTransaction.reset();
    }
    if (m_session)
        m_session->remove(this);
    m_session = nullptr;
    m_sql.clear();
    m_transaction = nullptr;
    m_defs.clear();
    m_open = false;
    m_exhausted = false;
    m_procedureRow = false;
    m_eof = true;
    m_current = -1;
    m_rows.clear();
    m_cells.clear();
    m_blobs.clear();
    m_blobRead.clear();
}

bool Cursor::execute(Session &session, const QString &sql, Status &status)
{
    close();
    return logged(session, sql, status, [&] { return executeNow(session, sql, status); });
}

bool Cursor::executeNow(Session &session, const QString &sql, Status &status)
{
    Transaction *transaction = session.explicitTransaction();
    Transaction own;
    if (!transaction) {
        if (!own.start(session.attachment(), Transaction::Mode::ReadWrite, status))
            return false;
        transaction = &own;
    }
    // Prepared rather than run immediately: a SELECT or a procedure with output
    // values runs as well, its result left unread.
    Statement statement;
    if (!statement.prepare(session.attachment(), *transaction, sql, status)
        || !statement.execute(*transaction, status))
        return false; // the own transaction rolls back
    statement.free();
    return transaction != &own || own.commit(status);
}

bool Cursor::open(Session &session, const QString &sql, bool keepRows, Status &status)
{
    close();
    return logged(session, sql, status, [&] { return openNow(session, sql, keepRows, status); });
}

bool Cursor::openBeside(const Cursor &reader, const QString &sql, Status &status)
{
    close();
    if (!reader.m_open || !reader.m_session) {
        status.fail(QStringLiteral("The cursor to read beside is not open"));
        return false;
    }
    Session &session = *reader.m_session;
    return logged(session, sql, status,
                  [&] { return openNow(session, sql, false, status, reader.m_transaction); });
}

bool Cursor::openNow(Session &session, const QString &sql, bool keepRows, Status &status,
                     Transaction *transaction)
{
    attach(session);
    m_sql = sql;
    m_transaction = transaction ? transaction : session.explicitTransaction();
    if (!m_transaction) {
        m_ownTransaction = std::make_unique<Transaction>();
        if (!m_ownTransaction->start(session.attachment(), Transaction::Mode::ReadOnly, status)) {
            close();
            return false;
        }
        m_transaction = m_ownTransaction.get();
    }
    if (!m_statement.prepare(session.attachment(), *m_transaction, sql, status)) {
        close();
        return false;
    }
    if (m_statement.kind() == Statement::Kind::Other || m_statement.columns().empty()) {
        status.fail(statementReturnsNoRows);
        close();
        return false;
    }
    if (m_statement.kind() == Statement::Kind::Procedure && m_ownTransaction) {
        // A procedure may change data: it needs a transaction that can write.
        auto writer = std::make_unique<Transaction>();
        if (!m_ownTransaction->commit(status)
            || !writer->start(session.attachment(), Transaction::Mode::ReadWrite, status)) {
            close();
            return false;
        }
        m_ownTransaction = std::move(writer);
        m_transaction = m_ownTransaction.get();
    }
    for (const Column &column : m_statement.columns())
        m_defs.append(column.def);
    m_keepRows = keepRows;
    m_blobs.assign(m_statement.columns().size(), QByteArray());
    m_blobRead.assign(m_statement.columns().size(), false);
    m_open = true;
    if (!restart(status)) {
        close();
        return false;
    }
    return true;
}

bool Cursor::rerun(Status &status)
{
    return logged(*m_session, m_sql, status, [&] { return restart(status); });
}

// Executes the prepared statement again and moves to its first row.
bool Cursor::restart(Status &status)
{
    m_rows.clear();
    m_exhausted = false;
    m_current = -1;
    m_eof = true;
    if (!m_statement.execute(*m_transaction, status))
        return false;
    m_procedureRow = m_statement.kind() == Statement::Kind::Procedure;
    if (fetchRow(status))
        setCurrent(0);
    return !status.failed();
}

bool Cursor::fetchRow(Status &status)
{
    if (m_exhausted)
        return false;
    if (m_statement.kind() == Statement::Kind::Procedure) {
        if (!m_procedureRow) {
            m_exhausted = true;
            return false;
        }
        m_procedureRow = false;
    } else {
        switch (m_statement.fetch(status)) {
        case Statement::Fetch::Row:
            break;
        case Statement::Fetch::End:
        case Statement::Fetch::Failed:
            m_exhausted = true;
            m_statement.closeCursor(); // the engine's resources go now, the rows stay
            return false;
        }
    }
    if (m_keepRows)
        m_rows.append(m_statement);
    return true;
}

void Cursor::setCurrent(int row)
{
    m_current = row;
    m_eof = false;
    if (m_keepRows)
        m_rows.unpack(row, m_statement.columns(), m_cells);
    std::fill(m_blobRead.begin(), m_blobRead.end(), false);
}

void Cursor::first(Status &status)
{
    if (!m_open)
        return;
    if (m_keepRows) {
        if (m_rows.count() > 0)
            setCurrent(0);
        return;
    }
    if (m_current != 0 || m_eof)
        rerun(status);
}

int Cursor::moveBy(int distance, Status &status)
{
    if (!m_open || m_current < 0 || distance == 0)
        return 0;
    const int from = m_current;
    if (distance < 0) {
        const int target = std::max(0, from + distance);
        if (m_keepRows) {
            setCurrent(target);
        } else {
            rerun(status);
            if (m_current == 0)
                moveBy(target, status);
        }
        return m_current < 0 ? 0 : m_current - from;
    }
    if (m_keepRows) {
        const qint64 target = qint64(from) + distance;
        while (m_rows.count() <= target && fetchRow(status)) {
        }
        if (target < m_rows.count()) {
            setCurrent(static_cast<int>(target));
        } else {
            setCurrent(m_rows.count() - 1);
            m_eof = true;
        }
        return m_current - from;
    }
    int moved = 0;
    for (; moved < distance; ++moved) {
        if (!fetchRow(status)) {
            m_eof = true; // no row is current any more: the buffer is the engine's
            break;
        }
        setCurrent(m_current + 1);
    }
    return moved;
}

int Cursor::recordCount(Status &status)
{
    if (!m_open)
        return 0;
    if (!m_keepRows)
        return -1;
    while (fetchRow(status)) {
    }
    return m_rows.count();
}

int Cursor::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_defs.size(); ++i) {
        if (m_defs[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const Column *Cursor::column(int field) const
{
    if (field < 0 || field >= m_defs.size())
        return nullptr;
    return &m_statement.columns()[static_cast<size_t>(field)];
}

Cell Cursor::cell(int field) const
{
    if (!m_open || m_current < 0 || field < 0 || field >= m_defs.size() || (m_eof && !m_keepRows))
        return {};
    Cell cell = m_keepRows ? m_cells[static_cast<size_t>(field)] : m_statement.cell(field);
    const Column &col = m_statement.columns()[static_cast<size_t>(field)];
    if (cell.null || col.sqlType != SQL_BLOB)
        return cell;
    const auto index = static_cast<size_t>(field);
    if (!m_blobRead[index]) {
        ISC_QUAD id;
        std::memcpy(&id, cell.data, sizeof id);
        Status status;
        m_blobRead[index] = Statement::readBlob(m_session->attachment(), *m_transaction, id,
                                                m_blobs[index], status);
        if (!m_blobRead[index]) {
            m_blobs[index].resize(0); // unreadable: read as NULL
            return {};
        }
    }
    cell.data = m_blobs[index].constData();
    cell.length = static_cast<int>(m_blobs[index].size());
    return cell;
}

bool Cursor::prepare(Session &session, const QString &sql, Status &status)
{
    close();
    return logged(session, sql, status, [&] { return prepareNow(session, sql, status); });
}

bool Cursor::prepareNow(Session &session, const QString &sql, Status &status)
{
    attach(session);
    m_sql = sql;
    Transaction *transaction = session.explicitTransaction();
    Transaction own; // preparing only reads the catalogue
    if (!transaction) {
        if (!own.start(session.attachment(), Transaction::Mode::ReadOnly, status)) {
            close();
            return false;
        }
        transaction = &own;
    }
    if (!m_statement.prepare(session.attachment(), *transaction, sql, status)) {
        close();
        return false;
    }
    for (const Column &column : m_statement.columns())
        m_defs.append(column.def);
    return true;
}

bool Cursor::executePrepared(Status &status)
{
    if (!isPrepared() || !m_session) {
        status.fail(QStringLiteral("No statement is prepared"));
        return false;
    }
    return logged(*m_session, m_sql, status, [&] { return executePreparedNow(status); });
}

bool Cursor::executePreparedNow(Status &status)
{
    Transaction *transaction = m_session->explicitTransaction();
    Transaction own;
    if (!transaction) {
        if (!own.start(m_session->attachment(), Transaction::Mode::ReadWrite, status))
            return false;
        transaction = &own;
    }
    const bool done = m_statement.execute(*transaction, status);
    m_statement.closeCursor(); // a SELECT run this way only runs
    if (!done)
        return false;
    return transaction != &own || own.commit(status);
}

void Cursor::transactionEnding()
{
    // A result read in the explicit transaction cannot outlive it; a prepared
    // statement belongs to the attachment and stays.
    if (m_open && !m_ownTransaction)
        close();
}

void Cursor::sessionClosing()
{
    close();
}

} // namespace dvt::fb
