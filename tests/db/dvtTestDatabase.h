#pragma once

// A fresh, empty database for one test case, and an independent client (isql-fb)
// to look at it.
//
// Embedded: a file in a temporary folder that goes away with the object.
// Server: a file on the Firebird server named by the environment
//   DVTOOLS_TEST_SERVER      "host/port", e.g. 127.0.0.1/3050
//   DVTOOLS_TEST_USER        e.g. SYSDBA
//   DVTOOLS_TEST_PASSWORD
//   DVTOOLS_TEST_SERVER_DIR  a folder the server may write (default
//                            /var/lib/firebird/3.0/data)
// dropped again by the destructor. Without DVTOOLS_TEST_SERVER, server cases
// skip.

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUuid>

#include "dvtDatabase.h"

namespace dvt::test {

class TestDatabase
{
public:
    enum class Where { Embedded, Server };

    explicit TestDatabase(Where where = Where::Embedded) : m_where(where)
    {
        const QString name =
            QStringLiteral("dvtools-test-%1.fdb").arg(QUuid::createUuid().toString(QUuid::Id128));
        if (where == Where::Server) {
            const QString folder = qEnvironmentVariable(
                "DVTOOLS_TEST_SERVER_DIR", QStringLiteral("/var/lib/firebird/3.0/data"));
            m_target = qEnvironmentVariable("DVTOOLS_TEST_SERVER") + QLatin1Char(':') + folder
                       + QLatin1Char('/') + name;
            m_user = qEnvironmentVariable("DVTOOLS_TEST_USER");
            m_password = qEnvironmentVariable("DVTOOLS_TEST_PASSWORD");
            m_created = TDatabase::CreateDatabase(m_target, m_user, m_password, &m_error);
        } else {
            // A copy of one empty database per process: creating a file costs the
            // engine a few synchronous writes, copying it does not.
            m_target = m_folder.filePath(name);
            static const Template empty;
            m_error = empty.error;
            m_created = m_error.isEmpty() && QFile::copy(empty.path, m_target)
                        && QFile::setPermissions(m_target, QFile::ReadOwner | QFile::WriteOwner);
            if (m_error.isEmpty() && !m_created)
                m_error = QStringLiteral("Cannot copy %1 to %2").arg(empty.path, m_target);
        }
    }

    ~TestDatabase()
    {
        if (m_created && m_where == Where::Server)
            TDatabase::DropDatabase(m_target, m_user, m_password);
    }

    bool isValid() const { return m_created; }
    QString error() const { return m_error; }
    QString target() const { return m_target; }

    // Points a connection at this database.
    void configure(TDatabase &database) const
    {
        database.SetConnectionString(m_target);
        database.SetUserName(m_user);
        database.SetPassword(m_password);
    }

    // Runs a script through isql-fb in dialect 1 with the UTF8 character set and
    // answers its output (standard output and errors merged). The engine's
    // environment of this process is inherited, so isql-fb shares the file with
    // it as a second process would.
    QString isql(const QString &script) const
    {
        QStringList arguments{QStringLiteral("-sql_dialect"), QStringLiteral("1"),
                              QStringLiteral("-ch"), QStringLiteral("UTF8")};
        if (!m_user.isEmpty())
            arguments << QStringLiteral("-user") << m_user;
        if (!m_password.isEmpty())
            arguments << QStringLiteral("-password") << m_password;
        return Isql(arguments << m_target, script);
    }

    // isql-fb's output of a script, run quietly with the given arguments.
    static QString Isql(const QStringList &arguments, const QString &script)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("isql-fb"), QStringList{QStringLiteral("-q")} + arguments);
        process.write(script.toUtf8());
        process.closeWriteChannel();
        process.waitForFinished(60000);
        return QString::fromUtf8(process.readAll());
    }

private:
    struct Template
    {
        Template() { TDatabase::CreateDatabase(path, {}, {}, &error); }
        QTemporaryDir folder;
        QString path = folder.filePath(QStringLiteral("empty.fdb"));
        QString error;
    };

    Where m_where;
    QTemporaryDir m_folder;
    QString m_target;
    QString m_user;
    QString m_password;
    QString m_error;
    bool m_created = false;
};

} // namespace dvt::test
