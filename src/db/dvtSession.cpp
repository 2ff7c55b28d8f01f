#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include "dvtSession_p.h"

namespace dvt::fb {

namespace {

// A file path made absolute, so that the engine never depends on the current
// folder; server paths are the server's business.
ConnectParams resolved(const ConnectParams &params)
{
    ConnectParams result = params;
    if (IsEmbeddedTarget(params.target) && !params.target.isEmpty())
        result.target = QFileInfo(params.target).absoluteFilePath();
    return result;
}

} // namespace

std::unique_ptr<Session> Session::open(const ConnectParams &params, bool autoCreate, Status &status)
{
    const ConnectParams target = resolved(params);
    if (autoCreate && IsEmbeddedTarget(target.target) && !target.target.isEmpty()
        && !QFileInfo::exists(target.target)) {
        if (auto session = create(target, status))
            return session;
        // Another process may have created it meanwhile; attaching tells.
        if (!QFileInfo::exists(target.target))
            return nullptr;
        status.clear();
    }
    std::unique_ptr<Session> session(new Session);
    if (!session->m_attachment.attach(target, status))
        return nullptr;
    return session;
}

std::unique_ptr<Session> Session::create(const ConnectParams &params, Status &status)
{
    const ConnectParams target = resolved(params);
    if (IsEmbeddedTarget(target.target) && !target.target.isEmpty())
        QDir().mkpath(QFileInfo(target.target).absolutePath());
    std::unique_ptr<Session> session(new Session);
    if (!session->m_attachment.create(target, status))
        return nullptr;
    return session;
}

Session::~Session()
{
    const std::vector<SessionUser *> users = m_users;
    for (SessionUser *user : users)
        user->sessionClosing();
    m_transaction.reset(); // rolls back
    m_attachment.detach();
}

void Session::abandonTransaction()
{
    if (m_transaction)
        m_transaction->abandon();
}

Transaction *Session::explicitTransaction()
{
    if (m_transaction && !m_transaction->isActive())
        m_transaction.reset(); // a COMMIT statement ended it
    return m_transaction.get();
}

bool Session::startTransaction(Status &status)
{
    if (explicitTransaction()) {
        status.fail(QStringLiteral("A transaction is already active"));
        return false;
    }
    auto transaction = std::make_unique<Transaction>();
    if (!transaction->start(m_attachment, Transaction::Mode::ReadWrite, status))
        return false;
    m_transaction = std::move(transaction);
    return true;
}

bool Session::commit(Status &status)
{
    if (!explicitTransaction()) {
        status.fail(QStringLiteral("No transaction is active"));
        return false;
    }
    endTransaction();
    if (!m_transaction->commit(status))
        return false; // still active: the caller may roll back
    m_transaction.reset();
    return true;
}

bool Session::rollback(Status &status)
{
    if (!explicitTransaction()) {
        status.fail(QStringLiteral("No transaction is active"));
        return false;
    }
    endTransaction();
    const bool done = m_transaction->rollback(status);
    m_transaction.reset(); // a failed rollback leaves nothing to retry
    return done;
}

void Session::endTransaction()
{
    const std::vector<SessionUser *> users = m_users;
    for (SessionUser *user : users)
        user->transactionEnding();
}

void Session::add(SessionUser *user)
{
    if (std::find(m_users.begin(), m_users.end(), user) == m_users.end())
        m_users.push_back(user);
}

void Session::remove(SessionUser *user)
{
    m_users.erase(std::remove(m_users.begin(), m_users.end(), user), m_users.end());
}

} // namespace dvt::fb
