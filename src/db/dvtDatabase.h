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
// ending it closes the queries whose result sets are open in it. Closing the
// connection rolls it back.
//
// A connection found lost (a network failure, a server shut down, an
// administrator ending the attachment) is closed. Outside a transaction the next
// statement opens it again. A transaction open at that moment is gone with it,
// and never continues on a new connection: until Rollback (or Close) every
// statement fails with the loss in its Error and Commit answers false.
//
// Failures never raise: the operations answer false and keep the database's
// message in LastError.
//
// Signals: connectedChanged, errorOccurred for failures of the connection
// itself, and statementExecuted for every statement sent (also logged on the
// category "dvtools.sql", so QT_LOGGING_RULES="dvtools.sql.debug=true" shows
// them without code).
class TDatabase : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString AliasName READ AliasName WRITE SetAliasName)
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE SetDatabaseName)
    Q_PROPERTY(QString ConnectionString READ ConnectionString WRITE SetConnectionString)
    Q_PROPERTY(QString UserName READ UserName WRITE SetUserName)
    Q_PROPERTY(QString Password READ Password WRITE SetPassword)
    Q_PROPERTY(bool AutoCreate READ AutoCreate WRITE SetAutoCreate)
    Q_PROPERTY(
        bool Connected READ Connected WRITE SetConnected NOTIFY connectedChanged STORED false)

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
    // False for a transaction lost with its connection; Rollback then ends it.
    bool Commit();
    bool Rollback();
    // True from StartTransaction until Commit or Rollback ends the transaction,
    // a lost one included.
    bool InTransaction() const;
    // The connection was lost while a transaction was open, and Rollback has not
    // ended that transaction yet.
    bool TransactionLost() const { return !m_lostTransaction.isEmpty(); }

    // Creates an empty dialect-1 database with the UTF8 default character set;
    // an embedded file gets its parent folders too. Answers false, with the
    // reason in *error when given, if it cannot.
    static bool CreateDatabase(const QString &target, const QString &user = {},
                               const QString &password = {}, QString *error = nullptr);
    // Deletes a database that no connection has open.
    static bool DropDatabase(const QString &target, const QString &user = {},
                             const QString &password = {}, QString *error = nullptr);

Q_SIGNALS:
    // The connection was opened or closed, including when it was found lost and
    // when a statement opened it again.
    void connectedChanged(bool connected);
    // A failure of the connection itself (it cannot be opened, a transaction
    // cannot be started or ended, it was lost), with the text of LastError.
    void errorOccurred(const QString &message);
    // Each statement sent on this connection by any query of the library (record
    // routines, combo boxes, export and import included), or refused for want of
    // a connection: its text, whether it succeeded, how long it took and the
    // database's message when it failed.
    void statementExecuted(const QString &statement, bool ok, qint64 msecs, const QString &error);

private:
    friend class ::TdvQuery;
    friend fb::Session *OpenSession(TDatabase &database);
    // The open session, connecting on demand; nullptr, with LastError, when the
    // connection cannot be made or its transaction was lost.
    fb::Session *session();
    // Called by queries when a statement found the connection gone.
    void connectionLost(const QString &reason);
    void reportStatement(const QString &statement, bool ok, qint64 msecs, const QString &error);
    bool EndTransaction(bool commit);
    void SetLastError(const QString &error);
    QString LostTransactionError() const;

    QString m_aliasName;
    QString m_databaseName;
    QString m_connectionString;
    QString m_userName;
    QString m_password;
    bool m_autoCreate = true;
    QString m_lastError;
    QString m_lostTransaction; // why the open transaction was lost
    std::unique_ptr<fb::Session> m_session;
};

} // namespace dvt
