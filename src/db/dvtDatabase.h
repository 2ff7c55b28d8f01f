#pragma once

#include <QObject>
#include <QString>

#include <memory>

class TdvQuery;

namespace dvt {

namespace fb {
class Session;
class Status;
} // namespace fb

// A connection to one Firebird database, in SQL dialect 1 with the UTF8
// character set. Queries find their connection by its DatabaseName.
//
// Where it connects: ConnectionString when set, else what the alias AliasName
// stands for (DefineAlias). A connection string is a plain file path, opened by
// the embedded engine with no server, or "host:path" / "host/port:path" for a
// Firebird server. With AutoCreate (the default) a missing embedded file is
// created as an empty dialect-1 UTF8 database, parent folders included.
//
// Transactions: outside StartTransaction every statement commits on its own (a
// SELECT reads in a read-only read-committed transaction that lives while its
// query is open). Between StartTransaction and Commit or Rollback every
// statement of every query on this connection runs in that one transaction;
// ending it closes the queries whose result sets are open in it.
//
// Failures never raise: the operations answer false and keep the database's
// message in LastError.
class TDatabase : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString AliasName READ AliasName WRITE SetAliasName)
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE SetDatabaseName)
    Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE SetConnectionString)
    Q_PROPERTY(QString UserName READ UserName WRITE SetUserName)
    Q_PROPERTY(QString Password READ Password WRITE SetPassword)
    Q_PROPERTY(bool AutoCreate READ AutoCreate WRITE SetAutoCreate)
    Q_PROPERTY(bool Connected READ Connected WRITE SetConnected STORED false)

public:
    explicit TDatabase(QObject *owner = nullptr);
    ~TDatabase() override;

    // The first living connection whose DatabaseName matches, ignoring letter
    // case; nullptr when there is none.
    static TDatabase *Find(const QString &databaseName);

    // The alias table. "IBLocal" stands for the file "dvTools.fdb" in the
    // per-user folder unless redefined. An empty connection string removes an
    // alias; an unknown alias stands for nothing.
    static void DefineAlias(const QString &alias, const QString &connectionString);
    static QString AliasConnectionString(const QString &alias);

    QString AliasName() const { return m_aliasName; }
    void SetAliasName(const QString &alias) { m_aliasName = alias; }
    QString DatabaseName() const { return m_databaseName; }
    void SetDatabaseName(const QString &name) { m_databaseName = name; }
    QString ConnectionString() const { return m_connectionString; }
    void SetConnectionString(const QString &target) { m_connectionString = target; }
    QString UserName() const { return m_userName; }
    void SetUserName(const QString &user) { m_userName = user; }
    QString Password() const { return m_password; }
    void SetPassword(const QString &password) { m_password = password; }
    bool AutoCreate() const { return m_autoCreate; }
    void SetAutoCreate(bool create) { m_autoCreate = create; }

    // The connection string in effect: ConnectionString, else the alias's.
    QString Target() const;

    bool Connected() const;
    // Opening answers whether the connection is open afterwards; changing the
    // settings of an open connection takes effect at the next Open.
    bool Open();
    void Close();
    void SetConnected(bool connected);
    QString LastError() const { return m_lastError; }

    bool StartTransaction();
    bool Commit();
    bool Rollback();
    bool InTransaction() const;

    // Creates an empty dialect-1 database with the UTF8 default character set;
    // an embedded file gets its parent folders too. Answers false, with the
    // reason in *error when given, if it cannot.
    static bool CreateDatabase(const QString &target, const QString &user = {},
                               const QString &password = {}, QString *error = nullptr);
    // Deletes a database that no connection has open.
    static bool DropDatabase(const QString &target, const QString &user = {},
                             const QString &password = {}, QString *error = nullptr);

private:
    friend class ::TdvQuery;
    friend fb::Session *OpenSession(TDatabase &database);
    // The open session, connecting on demand; nullptr, with LastError, when the
    // connection cannot be made.
    fb::Session *session();
    // Called by queries when a statement found the connection gone.
    void connectionLost();
    bool EndTransaction(bool (fb::Session::*end)(fb::Status &));

    QString m_aliasName;
    QString m_databaseName;
    QString m_connectionString;
    QString m_userName;
    QString m_password;
    bool m_autoCreate = true;
    QString m_lastError;
    std::unique_ptr<fb::Session> m_session;
};

} // namespace dvt
