#pragma once

// Internal: an open connection with its explicit transaction, and the objects
// that hold engine handles on it.

#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "dvtFirebird_p.h"

namespace dvt::fb {

// Holds statement or transaction handles of a session (a query). The session
// tells it when those must go, so that no handle outlives its attachment.
class SessionUser
{
public:
    // The explicit transaction is about to be committed or rolled back.
    virtual void transactionEnding() = 0;
    // The session is about to close: release every handle now.
    virtual void sessionClosing() = 0;

protected:
    ~SessionUser() = default;
};

class Session
{
public:
    // Attaches; with autoCreate a missing embedded file is created first.
    static std::unique_ptr<Session> open(const ConnectParams &params, bool autoCreate,
                                         Status &status);
    // Creates an empty database and leaves it attached.
    static std::unique_ptr<Session> create(const ConnectParams &params, Status &status);

    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;
    // Releases the users' handles, rolls back the explicit transaction, detaches.
    ~Session();

    Attachment &attachment() { return m_attachment; }

    // The transaction that every statement joins, or nullptr for autocommit.
    Transaction *explicitTransaction();
    bool startTransaction(Status &status);
    bool commit(Status &status);
    bool rollback(Status &status);
    // The connection is lost: its transaction is forgotten, not rolled back.
    void abandonTransaction();

    void add(SessionUser *user);
    void remove(SessionUser *user);

    // Told of every statement sent on this session: its text, its outcome and
    // how long it took, in milliseconds; while `wanted` answers true, since
    // timing and reporting a statement nobody hears of costs a bulk insert more
    // than its parameters do.
    using StatementLog =
        std::function<void(const QString &sql, const Status &status, qint64 msecs)>;
    void setStatementLog(StatementLog log, std::function<bool()> wanted)
    {
        m_log = std::move(log);
        m_logWanted = std::move(wanted);
    }
    bool statementLogWanted() const { return m_log && (!m_logWanted || m_logWanted()); }
    void logStatement(const QString &sql, const Status &status, qint64 msecs) const
    {
        m_log(sql, status, msecs);
    }

private:
    Session() = default;
    void endTransaction();

    Attachment m_attachment;
    std::unique_ptr<Transaction> m_transaction;
    std::vector<SessionUser *> m_users;
    StatementLog m_log;
    std::function<bool()> m_logWanted;
};

} // namespace dvt::fb
