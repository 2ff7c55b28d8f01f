#include "dvtDatabase.h"

#include <QHash>

#include <vector>

#include "dvtDatabase_p.h"
#include "dvtFolders.h"
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
    Close();
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
    const QString target = Target();
    if (target.isEmpty()) {
        m_lastError =
            m_aliasName.isEmpty()
                ? QStringLiteral("No database is given: set a connection string or an alias")
                : QStringLiteral("Unknown database alias \"%1\"").arg(m_aliasName);
        return false;
    }
    fb::Status status;
    m_session = fb::Session::open({target, m_userName, m_password}, m_autoCreate, status);
    m_lastError = m_session ? QString() : status.message();
    return m_session != nullptr;
}

void TDatabase::Close()
{
    m_session.reset();
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
    const bool started = open->startTransaction(status);
    m_lastError = started ? QString() : status.message();
    return started;
}

bool TDatabase::Commit()
{
    return EndTransaction(&fb::Session::commit);
}

bool TDatabase::Rollback()
{
    return EndTransaction(&fb::Session::rollback);
}

bool TDatabase::EndTransaction(bool (fb::Session::*end)(fb::Status &))
{
    fb::Status status;
    const bool done = m_session && (m_session.get()->*end)(status);
    m_lastError = done        ? QString()
                  : m_session ? status.message()
                              : QStringLiteral("The database is not connected");
    if (status.connectionLost())
        connectionLost();
    return done;
}

bool TDatabase::InTransaction() const
{
    return m_session && m_session->explicitTransaction();
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

void TDatabase::connectionLost()
{
    Close();
}

} // namespace dvt
