#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dvtEngineConfig_p.h"
#include "dvtFirebird_p.h"

namespace dvt::fb {

namespace {

const QByteArray Settings = "# Written by dvTools: lets several processes share a database file.\n"
                            "ServerMode = SuperClassic\n";
const char *const LinkedEntries[] = {"plugins", "intl", "firebird.msg"};

// Each check answers why the path cannot be given to the engine, or nothing.

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString failure(const QString &what, const QString &path)
{
    return QStringLiteral("%1 %2: %3").arg(what, path, qt_error_string(errno));
}

bool ownedByThisAccount(const struct stat &st)
{
    return st.st_uid == geteuid();
}

bool writableByOthers(const struct stat &st)
{
    return (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

// The folder and every folder above it, links followed: each belongs to this
// account or to root, and no other account may write in it, except where the
// sticky bit keeps each entry to its owner (as in /tmp).
QString unsafeChain(const QString &path)
{
    char *resolved = ::realpath(native(path).constData(), nullptr);
    if (!resolved)
        return failure(QStringLiteral("Cannot resolve"), path);
    const QString canonical = QFile::decodeName(resolved);
    std::free(resolved);
    for (QString at = canonical;; at = QFileInfo(at).path()) {
        struct stat st;
        if (::lstat(native(at).constData(), &st) != 0)
            return failure(QStringLiteral("Cannot read"), at);
        if (!ownedByThisAccount(st) && st.st_uid != 0)
            return QStringLiteral("%1 belongs to another account").arg(at);
        if (writableByOthers(st) && !(st.st_mode & S_ISVTX))
            return QStringLiteral("%1 is writable by other accounts").arg(at);
        if (at == QLatin1String("/"))
            return {};
    }
}

// An entry of this account's own, of the kind expected (S_IFDIR or S_IFREG; a
// link to one is not one), that no other account may write.
QString unsafeEntry(const QString &path, const struct stat &st, mode_t kind)
{
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("%1 is a link").arg(path);
    if ((st.st_mode & S_IFMT) != kind)
        return (kind == S_IFDIR ? QStringLiteral("%1 is not a folder")
                                : QStringLiteral("%1 is not a file"))
            .arg(path);
    if (!ownedByThisAccount(st))
        return QStringLiteral("%1 belongs to another account").arg(path);
    if (writableByOthers(st))
        return QStringLiteral("%1 is writable by other accounts").arg(path);
    return {};
}

// A folder of the account's own in a safe chain.
QString unsafeFolder(const QString &path)
{
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0)
        return failure(QStringLiteral("Cannot read"), path);
    const QString problem = unsafeEntry(path, st, S_IFDIR);
    return problem.isEmpty() ? unsafeChain(QFileInfo(path).path()) : problem;
}

// A link of this account's own to exactly the target, which is safe itself.
QString unsafeLink(const QString &path, const QString &target)
{
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0)
        return failure(QStringLiteral("Cannot read"), path);
    if (!S_ISLNK(st.st_mode))
        return QStringLiteral("%1 is not a link").arg(path);
    if (!ownedByThisAccount(st))
        return QStringLiteral("%1 belongs to another account").arg(path);
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(native(path).constData(), buffer, sizeof buffer);
    if (length < 0)
        return failure(QStringLiteral("Cannot read"), path);
    const QString points = QFile::decodeName(QByteArray(buffer, length));
    if (points != target)
        return QStringLiteral("%1 links to %2 instead of %3").arg(path, points, target);
    return unsafeChain(target);
}

// Created with missing folders above it, each private.
bool makePrivatePath(const QString &path)
{
    if (QFileInfo::exists(path))
        return true;
    const QString parent = QFileInfo(path).path();
    return (parent == path || makePrivatePath(parent))
           && (::mkdir(native(path).constData(), 0700) == 0 || errno == EEXIST);
}

// The per-user runtime folder when the session has one, else the data folder.
QString configurationFolder(QString &problem)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        struct stat st;
        if (!QDir::isAbsolutePath(runtime) || ::lstat(native(runtime).constData(), &st) != 0
            || !S_ISDIR(st.st_mode) || !ownedByThisAccount(st) || (st.st_mode & 07777) != 0700) {
            problem = QStringLiteral("the runtime folder %1 (XDG_RUNTIME_DIR) is no folder of "
                                     "this account's own with mode 0700")
                          .arg(runtime);
            return {};
        }
        return runtime + QStringLiteral("/dvtools-firebird");
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!makePrivatePath(data)) {
        problem = failure(QStringLiteral("Cannot create"), data);
        return {};
    }
    return data + QStringLiteral("/dvtools-firebird");
}

// Makes what is missing and checks all of it: the folder, firebird.conf and the
// links to the system's engine files.
QString unsafeConfiguration(const QString &root, const QString &system)
{
    if (::mkdir(native(root).constData(), 0700) != 0 && errno != EEXIST)
        return failure(QStringLiteral("Cannot create"), root);
    if (QString problem = unsafeFolder(root); !problem.isEmpty())
        return problem;
    for (const char *entry : LinkedEntries) {
        const QString name = QLatin1Char('/') + QLatin1String(entry);
        const QString path = root + name, target = system + name;
        if (::symlink(native(target).constData(), native(path).constData()) != 0 && errno != EEXIST)
            return failure(QStringLiteral("Cannot create"), path);
        if (QString problem = unsafeLink(path, target); !problem.isEmpty())
            return problem;
    }
    const QString path = root + QStringLiteral("/firebird.conf");
    struct stat st;
    if (::lstat(native(path).constData(), &st) == 0) {
        if (QString problem = unsafeEntry(path, st, S_IFREG); !problem.isEmpty())
            return problem;
        QFile current(path);
        if (current.open(QIODevice::ReadOnly) && current.readAll() == Settings)
            return {};
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Settings) != Settings.size()
        || !file.commit() || ::chmod(native(path).constData(), 0600) != 0)
        return failure(QStringLiteral("Cannot write"), path);
    return {};
}

// The account's own lock folder, in its home folder as the account database
// names it: every process of the account must find the same one, whatever its
// environment says (a desktop session has XDG_RUNTIME_DIR, a cron job has not;
// tests move HOME), or two of them would each believe they were alone with a
// file.
QString ownLockFolder(QString &problem)
{
    const passwd *account = ::getpwuid(geteuid());
    if (!account || !account->pw_dir || !QDir::isAbsolutePath(QFile::decodeName(account->pw_dir))) {
        problem = QStringLiteral("this account has no home folder for its lock files");
        return {};
    }
    const QString lock =
        QFile::decodeName(account->pw_dir) + QStringLiteral("/.local/state/dvtools-firebird-lock");
    if (!makePrivatePath(lock))
        problem = failure(QStringLiteral("Cannot create"), lock);
    return lock;
}

// A lock folder the environment names (FIREBIRD_LOCK) may be shared with other
// accounts on purpose. Being writable by them, it must then carry the sticky
// bit, so that no other account can remove this account's lock files.
QString unsafeSharedLockFolder(const QString &lock)
{
    struct stat st;
    if (::lstat(native(lock).constData(), &st) != 0)
        return failure(QStringLiteral("Cannot read"), lock);
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("%1 is a link").arg(lock);
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("%1 is not a folder").arg(lock);
    if (writableByOthers(st) && !(st.st_mode & S_ISVTX))
        return QStringLiteral("%1 is writable by other accounts without the sticky bit: they "
                              "could remove this account's lock files")
            .arg(lock);
    if (::access(native(lock).constData(), R_OK | W_OK | X_OK) != 0)
        return failure(QStringLiteral("Cannot use"), lock);
    return unsafeChain(QFileInfo(lock).path());
}

// Set once the engine has been pointed at the private configuration: then its
// lock folder is this account's alone.
std::atomic_bool lockFolderIsPrivate = false;

} // namespace

bool PrepareEngineConfiguration(Status &status)
{
    static std::mutex mutex;
    const std::lock_guard guard(mutex);
    // Read before this function sets the variables itself.
    static const bool chosenByEnvironment = qEnvironmentVariableIsSet("FIREBIRD");
    static const QString sharedLock = qEnvironmentVariable("FIREBIRD_LOCK");
    static QString root, lock; // once the engine has been pointed at them
    const QString system = QStringLiteral(DVTOOLS_FIREBIRD_ROOT);
    if (chosenByEnvironment || !QFileInfo::exists(system + QStringLiteral("/firebird.msg")))
        return true;

    QString problem;
    const QString folder = root.isEmpty() ? configurationFolder(problem) : root;
    if (problem.isEmpty())
        problem = unsafeConfiguration(folder, system);
    QString lockFolder = lock;
    if (problem.isEmpty() && lockFolder.isEmpty())
        lockFolder = sharedLock.isEmpty() ? ownLockFolder(problem) : sharedLock;
    if (problem.isEmpty())
        problem =
            sharedLock.isEmpty() ? unsafeFolder(lockFolder) : unsafeSharedLockFolder(lockFolder);
    if (!problem.isEmpty()) {
        status.fail(QStringLiteral("The database engine's configuration is not safe to use, so "
                                   "no connection is made: %1")
                        .arg(problem));
        return false;
    }
    if (root.isEmpty()) {
        root = folder;
        lock = lockFolder;
        lockFolderIsPrivate = sharedLock.isEmpty();
        qputenv("FIREBIRD_LOCK", native(lock));
        qputenv("FIREBIRD", native(root));
    }
    return true;
}

bool MayShareEmbeddedFile(const QString &path, Status &status)
{
    struct stat st;
    if (!lockFolderIsPrivate || ::stat(native(path).constData(), &st) != 0
        || ownedByThisAccount(st))
        return true;
    status.fail(QStringLiteral("The database file %1 belongs to another account, so no "
                               "connection is made: processes share a file through the embedded "
                               "engine only within the account that owns it. Open it through a "
                               "Firebird server.")
                    .arg(path));
    return false;
}

} // namespace dvt::fb
