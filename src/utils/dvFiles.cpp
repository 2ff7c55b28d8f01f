#include "dvFiles.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <filesystem>
#include <limits>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

#include "dvtApplication.h"
#include "dvtException.h"
#include "dvtFolders.h"

using namespace Qt::StringLiterals;

namespace fs = std::filesystem;

namespace {

// ---- Paths

QString localPath(const QString &name)
{
    QString path = name;
    return path.replace(u'\\', u'/');
}

fs::path fsPath(const QString &name)
{
    return fs::path(QFile::encodeName(localPath(name)).toStdString());
}

bool entryExists(const fs::path &path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

bool isDirectory(const fs::path &path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// Whether inner is outer itself or lies inside it.
bool isWithin(const fs::path &inner, const fs::path &outer)
{
    std::error_code ec;
    const fs::path in = fs::weakly_canonical(fs::absolute(inner, ec), ec);
    const fs::path out = fs::weakly_canonical(fs::absolute(outer, ec), ec);
    if (ec)
        return false;
    const auto [outEnd, inEnd] = std::mismatch(out.begin(), out.end(), in.begin(), in.end());
    return outEnd == out.end() || (std::next(outEnd) == out.end() && outEnd->empty());
}

// The target of a desktop copy or move: an existing folder receives the source.
fs::path desktopTarget(const fs::path &source, const fs::path &destination)
{
    return isDirectory(destination) ? destination / source.filename() : destination;
}

bool createParents(const fs::path &target)
{
    const fs::path parent = target.parent_path();
    std::error_code ec;
    if (!parent.empty())
        fs::create_directories(parent, ec);
    return !ec;
}

// Copies a file, or a folder with its contents into an existing one, replacing
// files of the same names.
bool copyEntry(const fs::path &from, const fs::path &to, fs::copy_options extra = {})
{
    std::error_code ec;
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing | extra,
             ec);
    return !ec;
}

// Renames; where a rename cannot do it (another file system, a non-empty folder
// in the way) copies and removes the original.
bool moveEntry(const fs::path &from, const fs::path &to)
{
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec)
        return true;
    if (ec != std::errc::cross_device_link && ec != std::errc::directory_not_empty
        && ec != std::errc::file_exists)
        return false;
    if (!copyEntry(from, to, fs::copy_options::copy_symlinks))
        return false;
    fs::remove_all(from, ec);
    return !ec;
}

bool directMove(const QString &source, const QString &destination)
{
    const fs::path from = fsPath(source);
    const fs::path to = fsPath(destination);
    return entryExists(from) && !entryExists(to) && moveEntry(from, to);
}

// ---- Sizes

bool hasWildcards(QStringView name)
{
    return name.contains(u'*') || name.contains(u'?');
}

// "*" matches any run of characters, "?" any one character; case counts.
bool wildcardMatch(QStringView name, QStringView pattern)
{
    qsizetype n = 0, p = 0;
    qsizetype starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

// As on Windows, a pattern ending in ".*" also matches names without an
// extension, so "*.*" matches every name.
bool matchesPattern(QStringView name, QStringView pattern)
{
    return wildcardMatch(name, pattern)
           || (pattern.endsWith(u".*") && wildcardMatch(name, pattern.chopped(2)));
}

int entrySize(const QFileInfo &entry)
{
    if (entry.isDir())
        return 0;
    return int(qMin<qint64>(entry.size(), std::numeric_limits<int>::max()));
}

// ---- Program

QString programFile()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                        : QFileInfo(u"/proc/self/exe"_s).canonicalFilePath();
}

// The program that the file names, or an empty text for a document.
QString programPath(const QString &file)
{
    const QFileInfo info(file);
    if (info.isFile() && info.isExecutable())
        return info.absoluteFilePath();
    if (!file.contains(u'/'))
        return QStandardPaths::findExecutable(file);
    return QString();
}

} // namespace

bool dvFileCopy(const QString &source, const QString &destination, bool direct)
{
    const fs::path from = fsPath(source);
    std::error_code ec;
    if (direct)
        return fs::copy_file(from, fsPath(destination), fs::copy_options::overwrite_existing, ec)
               && !ec;
    const fs::path to = desktopTarget(from, fsPath(destination));
    return entryExists(from) && !isWithin(to, from) && createParents(to) && copyEntry(from, to);
}

bool dvFileMove(const QString &source, const QString &destination, bool direct)
{
    if (direct)
        return directMove(source, destination);
    const fs::path from = fsPath(source);
    const fs::path to = desktopTarget(from, fsPath(destination));
    return entryExists(from) && !isWithin(to, from) && createParents(to) && moveEntry(from, to);
}

bool dvFileRename(const QString &oldName, const QString &newName, bool direct)
{
    if (direct)
        return directMove(oldName, newName);
    const fs::path from = fsPath(oldName);
    const fs::path to = fsPath(newName);
    return entryExists(from) && !isWithin(to, from) && moveEntry(from, to);
}

bool dvFileDelete(const QString &name, bool direct)
{
    if (!direct) {
        // The home trash lives in the user's data folder, which Qt will not create.
        QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        return QFile::moveToTrash(localPath(name));
    }
    const fs::path path = fsPath(name);
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(path, ec)))
        return false;
    return fs::remove(path, ec) && !ec;
}

bool dvFileHasAttribute(const QString &name, quint16 mask)
{
    const QFileInfo info(QDir::cleanPath(localPath(name)));
    if (!info.exists() && !info.isSymLink())
        return false;
    using namespace dvFileAttribute;
    quint16 attributes = 0;
    if (info.exists() && !info.permissions().testFlag(QFileDevice::WriteOwner))
        attributes |= ReadOnly;
    const QString fileName = info.fileName();
    if (fileName.startsWith(u'.') && fileName != u"." && fileName != u"..")
        attributes |= Hidden;
    if (info.isDir())
        attributes |= Directory;
    if (info.isSymLink())
        attributes |= SymLink;
    if (attributes == 0)
        attributes = Normal;
    return (attributes & mask) == mask;
}

dvt::TDateTime dvFileDateTime(const QString &name)
{
    QFile file(localPath(name));
    if (name.isEmpty() || !file.open(QIODevice::ReadOnly))
        throw dvt::EConvertError(u"'%1' has no valid time stamp"_s.arg(name));
    const QDateTime stamp = file.fileTime(QFileDevice::FileModificationTime).toLocalTime();
    const QDate d = stamp.date();
    const QTime t = stamp.time();
    const dvt::TDateTime date = dvt::EncodeDate(d.year(), d.month(), d.day());
    const dvt::TDateTime time = dvt::EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
    // Before the epoch the fraction still counts forward from the day's midnight.
    return date < 0 ? date - time : date + time;
}

int dvFileSize(const QString &name)
{
    const QString path = localPath(name);
    if (path.isEmpty())
        return -1;
    const QFileInfo full(QDir::current().absoluteFilePath(path));
    const QString pattern = full.fileName();
    if (!hasWildcards(pattern))
        return full.exists() || full.isSymLink() ? entrySize(full) : -1;
    const QFileInfoList entries =
        QDir(full.absolutePath())
            .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                           QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (matchesPattern(entry.fileName(), pattern))
            return entrySize(entry);
    }
    return -1;
}

QString dvComputerName()
{
    return QSysInfo::machineHostName();
}

QString dvUserName()
{
    if (const passwd *user = getpwuid(geteuid()))
        return QString::fromLocal8Bit(user->pw_name);
    // A user without an entry in the user database (containers): the login shell's word.
    for (const char *variable : {"USER", "LOGNAME"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty())
            return name;
    }
    return QString::number(geteuid());
}

QString dvEXEDir()
{
    QString folder = QFileInfo(programFile()).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

QString dvEXEName()
{
    return QFileInfo(programFile()).fileName().toLower();
}

QString dvWindowsTemp()
{
    const QString folder = dvt::UserFolder() + u"Temp/"_s;
    QDir().mkpath(folder);
    return folder;
}

QString dvTempFile(const QString &extension)
{
    return dvWindowsTemp() + dvt::FormatDateTime(u"yyyymmddhhnnss"_s, dvt::Now()) + u'.'
           + QString(extension).remove(u'.');
}

void dvExecute(const QString &file, const QString &parameters, const QString &directory)
{
    const QString target = localPath(file);
    if (target.isEmpty())
        return;
    if (const QString program = programPath(target); !program.isEmpty()) {
        QProcess::startDetached(program, QProcess::splitCommand(parameters), localPath(directory));
        return;
    }
    const QUrl url(target);
    // A one-letter scheme is a drive letter ("c:/x"), not a URL.
    if (url.scheme().size() > 1)
        QDesktopServices::openUrl(url);
    else if (QFileInfo::exists(target))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()));
}

void dvDelay(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    dvt::ProcessMessages();
    for (qint64 left = milliseconds - clock.elapsed(); left > 0;
         left = milliseconds - clock.elapsed()) {
        if (!QCoreApplication::instance()) {
            QThread::msleep(static_cast<unsigned long>(left));
            continue;
        }
        // Waits in an event loop rather than polling, so the wait costs no processor.
        QEventLoop loop;
        QTimer::singleShot(int(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void dvHourGlass()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void dvArrow()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}
