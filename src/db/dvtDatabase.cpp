#include "dvtDatabase.h"

#include <QHash>
#include <QMetaMethod>

#include <vector>

#include "dvtDatabase_p.h"
#include "dvtFolders.h"
#include "dvtLogging.h"
#include "dvtSession_p.h"

namespace dvt {

namespace {

std::vector<TDatabase *> &registry()
{
    static std::vector<TDatabase *> databases;
    return databases;
}

// Keys are upper-cased: aliases, like database names, ignore letter case.
QHash<QString, QString> &aliases()
{
    static QHash<QString, QString> table;
    return table;
}

const QString localAlias = QStringLiteral("IBLOCAL");

} // namespace

TDatabase::TDatabase(QObject *owner) : QObject(owner)
{
    registry().push_back(this);
}

TDatabase::~TDatabase()
{
    m_session.reset(); // rolls back; no signal from a half-destroyed object
    auto &databases = registry();
    databases.erase(std::remove(databases.begin(), databases.end(), this), databases.end());
}

TDatabase *TDatabase::Find(const QString &databaseName)
{
    for (TDatabase *database : registry()) {
        if (database->m_databaseName.compare(databaseName, Qt::CaseInsensitive) == 0)
            return database;
    }
    return nullptr;
}

void TDatabase::DefineAlias(const QString &alias, const QString &connectionString)
{
    if (connectionString.isEmpty())
        aliases().remove(alias.toUpper());
    else
        aliases().insert(alias.toUpper(), connectionString);
}

QString TDatabase::AliasConnectionString(const QString &alias)
{
    const QString key = alias.toUpper();
    const auto found = aliases().constFind(key);
    if (found != aliases().constEnd())
        return found.value();
    if (key == localAlias)
        return UserFolder() + QStringLiteral("dvTools.fdb");
    return {};
}

QString TDatabase::Target() const
{
    return m_connectionString.isEmpty() ? AliasConnectionString(m_aliasName) : m_connectionString;
}

bool TDatabase::Connected() const
{
    return m_session != nullptr;
}

bool TDatabase::Open()
{
    if (m_session)
        return true;
    if (TransactionLost()) {
        m_lastError = LostTransactionError(); // signalled when it was lost
        return false;
    }
    const QString target = Target();
    if (target.isEmpty()) {
        SetLastError(
            m_aliasName.isEmpty()
                ? QStringLiteral("No database is given: set a connection string or an alias")
                : QStringLiteral("Unknown database alias \"%1\"").arg(m_aliasName));
        return false;
    }
    fb::Status status;
    m_session = fb::Session::open({target, m_userName, m_password}, m_autoCreate, status);
    if (!m_session) {
        SetLastError(status.message());
        return false;
    }
    m_lastError.clear();
    m_session->setStatementLog(
        [this](const QString &sql, const fb::Status &result, qint64 msecs) {
            reportStatement(sql, !result.failed(), msecs,
                            result.failed() ? result.message() : QString());
        },
        [this] {
            static const QMetaMethod executed =
                QMetaMethod::fromSignal(&TDatabase::statementExecuted);
            return lcSql().isDebugEnabled() || isSignalConnected(executed);
        });
    qCDebug(lcDb) << objectName() << "connected to" << target;
    Q_EMIT connectedChanged(true);
    return true;
}

void TDatabase::Close()
{
    m_lostTransaction.clear(); // closing ends a lost transaction as well
    if (!m_session)
        return;
    m_session.reset();
    qCDebug(lcDb) << objectName() << "disconnected";
    Q_EMIT connectedChanged(false);
}

void TDatabase::SetConnected(bool connected)
{
    if (connected)
        Open();
    else
        Close();
}

bool TDatabase::StartTransaction()
{
    fb::Session *open = session();
    if (!open)
        return false;
    fb::Status status;
    if (!open->startTransaction(status)) {
        SetLastError(status.message());
        return false;
    }
    m_lastError.clear();
    return true;
}

bool TDatabase::Commit()
{
    return EndTransaction(true);
}

bool TDatabase::Rollback()
{
    return EndTransaction(false);
}

bool TDatabase::EndTransaction(bool commit)
{
    const bool lostBefore = TransactionLost();
    if (!lostBefore) {
        fb::Status status;
        if (m_session && (commit ? m_session->commit(status) : m_session->rollback(status))) {
            m_lastError.clear();
            return true;
        }
        if (!status.connectionLost()) {
            SetLastError(m_session ? status.message()
                                   : QStringLiteral("The database is not connected"));
            return false;
        }
        connectionLost(status.message());
    }
    // The engine has rolled the lost transaction back: a rollback ends it here
    // too, and a commit cannot store what is gone.
    if (!commit) {
        m_lostTransaction.clear();
        m_lastError.clear();
        return true;
    }
    // A commit whose answer was lost may have been carried out.
    SetLastError((lostBefore ? QStringLiteral("The transaction was lost with the connection to the "
                                              "database, and none of its changes were stored: %1")
                             : QStringLiteral("The connection to the database was lost at the "
                                              "commit: whether the transaction was stored is "
                                              "unknown: %1"))
                     .arg(m_lostTransaction));
    return false;
}

bool TDatabase::InTransaction() const
{
    return TransactionLost() || (m_session && m_session->explicitTransaction());
}

bool TDatabase::CreateDatabase(const QString &target, const QString &user, const QString &password,
                               QString *error)
{
    fb::Status status;
    const bool created = fb::Session::create({target, user, password}, status) != nullptr;
    if (error)
        *error = created ? QString() : status.message();
    return created;
}

bool TDatabase::DropDatabase(const QString &target, const QString &user, const QString &password,
                             QString *error)
{
    fb::Status status;
    fb::Attachment attachment;
    const bool dropped =
        attachment.attach({target, user, password}, status) && attachment.drop(status);
    if (error)
        *error = dropped ? QString() : status.message();
    return dropped;
}

fb::Session *TDatabase::session()
{
    Open();
    return m_session.get();
}

fb::Session *OpenSession(TDatabase &database)
{
    return database.session();
}

void TDatabase::connectionLost(const QString &reason)
{
    const bool inTransaction = m_session && m_session->explicitTransaction();
    qCWarning(lcDb).noquote() << objectName()
                              << (inTransaction ? "lost its connection and its open transaction:"
                                                : "lost its connection:")
                              << reason;
    if (m_session)
        m_session->abandonTransaction();
    Close();
    if (inTransaction)
        m_lostTransaction = reason;
    SetLastError(inTransaction ? LostTransactionError() : reason);
}

QString TDatabase::LostTransactionError() const
{
    return QStringLiteral("The connection to the database was lost with a transaction open, and "
                          "the transaction with it; roll it back to go on: %1")
        .arg(m_lostTransaction);
}

void TDatabase::SetLastError(const QString &error)
{
    m_lastError = error;
    if (!error.isEmpty())
        Q_EMIT errorOccurred(error);
}

void TDatabase::reportStatement(const QString &statement, bool ok, qint64 msecs,
                                const QString &error)
{
    if (ok)
        qCDebug(lcSql).noquote().nospace() << "ok " << msecs << " ms: " << statement;
    else
        qCDebug(lcSql).noquote().nospace()
            << "failed " << msecs << " ms: " << statement << "\n  " << error;
    Q_EMIT statementExecuted(statement, ok, msecs, error);
}

} // namespace dvt
