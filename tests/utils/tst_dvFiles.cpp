#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <limits>
#include <memory>

#include "dvFiles.h"
#include "dvtException.h"
#include "dvtFolders.h"

using namespace Qt::StringLiterals;
using namespace dvFileAttribute;

class tst_dvFiles : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    // The desktop's URL handler during the tests of dvExecute.
    void openUrl(const QUrl &url) { m_openedUrls.append(url); }

private Q_SLOTS:
    void init();
    void cleanup();

    void fileSize_data();
    void fileSize();
    void hasAttribute_data();
    void hasAttribute();
    void copyDirect();
    void copyDesktop();
    void moveDirect();
    void moveDesktop();
    void rename();
    void deleteDirect();
    void deleteToTrash();
    void fileDateTime();
    void programNameAndFolder();
    void userAndComputer();
    void tempFile_data();
    void tempFile();
    void executeProgram();
    void executeDocument();
    void delayWaitsAndHandlesEvents();
    void delayHandlesEventsAtLeastOnce();
    void hourGlassAndArrow();

private:
    QString path(const QString &relative) const { return m_dir->filePath(relative); }
    void write(const QString &relative, const QByteArray &content) const;
    QByteArray read(const QString &relative) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousCurrent;
    QList<QUrl> m_openedUrls;
};

void tst_dvFiles::init()
{
    // Inside the home folder, so that the trash is on the same file system.
    m_dir = std::make_unique<QTemporaryDir>(QDir::homePath() + u"/files-XXXXXX"_s);
    QVERIFY(m_dir->isValid());
    m_previousCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
}

void tst_dvFiles::cleanup()
{
    QDir::setCurrent(m_previousCurrent);
    // Read-only entries must become writable again before the folder can go.
    QDirIterator it(m_dir->path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile::setPermissions(it.next(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
    m_openedUrls.clear();
}

void tst_dvFiles::write(const QString &relative, const QByteArray &content) const
{
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    QFile file(path(relative));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray tst_dvFiles::read(const QString &relative) const
{
    QFile file(path(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void tst_dvFiles::fileSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::newRow("missing") << u"nothing.dat"_s << -1;
    QTest::newRow("empty file") << u"empty.dat"_s << 0;
    QTest::newRow("ten bytes, relative") << u"data/x.dat"_s << 10;
    QTest::newRow("backslashes") << u"data\\x.dat"_s << 10;
    QTest::newRow("star, first in name order") << u"data/*.dat"_s << 2;
    QTest::newRow("question mark") << u"data/?.dat"_s << 10;
    QTest::newRow("star dot star matches without extension") << u"plain/*.*"_s << 4;
    QTest::newRow("wildcard without match") << u"data/*.txt"_s << -1;
    QTest::newRow("brackets are no wildcards") << u"data/[x].dat"_s << 2;
}

void tst_dvFiles::fileSize()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    write(u"empty.dat"_s, {});
    write(u"data/x.dat"_s, "0123456789");
    write(u"data/[x].dat"_s, "[]");
    write(u"plain/README"_s, "text");
    QCOMPARE(dvFileSize(name), size);
    if (!name.isEmpty() && !name.startsWith(u'/'))
        QCOMPARE(dvFileSize(path(name)), size);
}

void tst_dvFiles::hasAttribute_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("expected");
    QTest::newRow("missing") << u"missing.txt"_s << int(ReadOnly) << false;
    QTest::newRow("read-only") << u"locked.txt"_s << int(ReadOnly) << true;
    QTest::newRow("read-only is not hidden") << u"locked.txt"_s << int(ReadOnly | Hidden) << false;
    QTest::newRow("read-only and hidden") << u".locked"_s << int(ReadOnly | Hidden) << true;
    QTest::newRow("normal") << u"plain.txt"_s << int(Normal) << true;
    QTest::newRow("folder") << u"folder"_s << int(Directory) << true;
    QTest::newRow("hidden folder, backslash")
        << u"folder\\.inner"_s << int(Directory | Hidden) << true;
    QTest::newRow("link to a folder") << u"folder-link"_s << int(Directory | SymLink) << true;
    QTest::newRow("dangling link exists") << u"dangling"_s << int(SymLink) << true;
    QTest::newRow("system is never set") << u"plain.txt"_s << int(System) << false;
    QTest::newRow("current folder is not hidden") << u"."_s << int(Hidden) << false;
}

void tst_dvFiles::hasAttribute()
{
    QFETCH(QString, name);
    QFETCH(int, mask);
    QFETCH(bool, expected);
    write(u"plain.txt"_s, "x");
    write(u"locked.txt"_s, "x");
    write(u".locked"_s, "x");
    QVERIFY(QDir().mkpath(path(u"folder/.inner"_s)));
    QVERIFY(QFile::link(path(u"folder"_s), path(u"folder-link"_s)));
    QVERIFY(QFile::link(path(u"nowhere"_s), path(u"dangling"_s)));
    for (const QString &locked : {u"locked.txt"_s, u".locked"_s})
        QVERIFY(QFile::setPermissions(path(locked), QFile::ReadOwner | QFile::ReadGroup));
    QCOMPARE(dvFileHasAttribute(name, quint16(mask)), expected);
}

void tst_dvFiles::copyDirect()
{
    write(u"source.txt"_s, "new");
    write(u"target.txt"_s, "old content");
    QVERIFY(dvFileCopy(path(u"source.txt"_s), path(u"target.txt"_s), true));
    QCOMPARE(read(u"target.txt"_s), "new");
    QCOMPARE(read(u"source.txt"_s), "new");
    QVERIFY(!dvFileCopy(u"missing.txt"_s, u"copy2.txt"_s, true));
    // The plain call creates no folders, copies no folders and not onto itself.
    QVERIFY(!dvFileCopy(u"source.txt"_s, u"new/folder/copy.txt"_s, true));
    QVERIFY(QDir().mkdir(path(u"folder"_s)));
    QVERIFY(!dvFileCopy(u"folder"_s, u"folder2"_s, true));
    QVERIFY(!dvFileCopy(u"source.txt"_s, u"source.txt"_s, true));
    QCOMPARE(read(u"source.txt"_s), "new");
}

void tst_dvFiles::copyDesktop()
{
    write(u"source.txt"_s, "new");
    write(u"target.txt"_s, "old content");
    QVERIFY(dvFileCopy(u"source.txt"_s, u"target.txt"_s, false));
    QCOMPARE(read(u"target.txt"_s), "new");

    // Missing folders are created; backslashes separate them too.
    QVERIFY(dvFileCopy(u"source.txt"_s, u"a\\b/c.txt"_s, false));
    QCOMPARE(read(u"a/b/c.txt"_s), "new");
    // A folder as target receives the file.
    QVERIFY(dvFileCopy(u"source.txt"_s, u"a"_s, false));
    QCOMPARE(read(u"a/source.txt"_s), "new");
    // A folder is copied with its contents, merging into an existing one.
    write(u"tree/sub/leaf.txt"_s, "leaf");
    write(u"copy/keep.txt"_s, "keep");
    QVERIFY(dvFileCopy(u"tree"_s, u"copy/tree"_s, false));
    QCOMPARE(read(u"copy/tree/sub/leaf.txt"_s), "leaf");
    QCOMPARE(read(u"copy/keep.txt"_s), "keep");
    QCOMPARE(read(u"tree/sub/leaf.txt"_s), "leaf");
    // Never into itself, never onto itself, never from nothing.
    QVERIFY(!dvFileCopy(u"tree"_s, u"tree/sub/again"_s, false));
    QVERIFY(!QFileInfo::exists(path(u"tree/sub/again"_s)));
    QVERIFY(!dvFileCopy(u"source.txt"_s, u"source.txt"_s, false));
    QVERIFY(!dvFileCopy(u"missing.txt"_s, u"x/y.txt"_s, false));
    QVERIFY(!QFileInfo::exists(path(u"x"_s)));
}

void tst_dvFiles::moveDirect()
{
    write(u"source.txt"_s, "moving");
    write(u"existing.txt"_s, "stays");
    QVERIFY(!dvFileMove(u"source.txt"_s, u"existing.txt"_s, true));
    QCOMPARE(read(u"existing.txt"_s), "stays");
    QCOMPARE(read(u"source.txt"_s), "moving");

    QVERIFY(dvFileMove(u"source.txt"_s, u"moved.txt"_s, true));
    QVERIFY(!QFile::exists(path(u"source.txt"_s)));
    QCOMPARE(read(u"moved.txt"_s), "moving");
    // No target folders are created.
    QVERIFY(!dvFileMove(u"moved.txt"_s, u"no/such/folder.txt"_s, true));
    QVERIFY(!dvFileMove(u"missing.txt"_s, u"anything.txt"_s, true));
}

void tst_dvFiles::moveDesktop()
{
    write(u"source.txt"_s, "moving");
    write(u"existing.txt"_s, "replaced");
    QVERIFY(dvFileMove(u"source.txt"_s, u"existing.txt"_s, false));
    QCOMPARE(read(u"existing.txt"_s), "moving");
    QVERIFY(!QFile::exists(path(u"source.txt"_s)));

    QVERIFY(dvFileMove(u"existing.txt"_s, u"new\\folder\\moved.txt"_s, false));
    QCOMPARE(read(u"new/folder/moved.txt"_s), "moving");
    QVERIFY(dvFileMove(u"new/folder/moved.txt"_s, u"new"_s, false));
    QCOMPARE(read(u"new/moved.txt"_s), "moving");
    // A folder onto an existing folder of the same name merges into it.
    write(u"tree/a.txt"_s, "a");
    write(u"target/tree/b.txt"_s, "b");
    QVERIFY(dvFileMove(u"tree"_s, u"target"_s, false));
    QCOMPARE(read(u"target/tree/a.txt"_s), "a");
    QCOMPARE(read(u"target/tree/b.txt"_s), "b");
    QVERIFY(!QFileInfo::exists(path(u"tree"_s)));
    QVERIFY(!dvFileMove(u"target"_s, u"target/tree"_s, false));
    QVERIFY(!dvFileMove(u"missing.txt"_s, u"x.txt"_s, false));
}

void tst_dvFiles::rename()
{
    write(u"old.txt"_s, "old");
    write(u"taken.txt"_s, "taken");
    // Only the desktop way replaces an existing file.
    QVERIFY(!dvFileRename(u"old.txt"_s, u"taken.txt"_s, true));
    QCOMPARE(read(u"taken.txt"_s), "taken");
    QVERIFY(dvFileRename(u"old.txt"_s, u"taken.txt"_s, false));
    QCOMPARE(read(u"taken.txt"_s), "old");
    QVERIFY(!QFile::exists(path(u"old.txt"_s)));
    // A rename creates no folders.
    QVERIFY(!dvFileRename(u"taken.txt"_s, u"sub/taken.txt"_s, false));
    QCOMPARE(read(u"taken.txt"_s), "old");
    QVERIFY(!dvFileRename(u"missing.txt"_s, u"x.txt"_s, false));
}

void tst_dvFiles::deleteDirect()
{
    write(u"doomed.txt"_s, "x");
    QVERIFY(dvFileDelete(path(u"doomed.txt"_s).replace(u'/', u'\\'), true));
    QVERIFY(!QFile::exists(path(u"doomed.txt"_s)));
    QVERIFY(!dvFileDelete(u"doomed.txt"_s, true));
    QVERIFY(QDir().mkdir(path(u"folder"_s)));
    QVERIFY(!dvFileDelete(u"folder"_s, true));
    QVERIFY(QFileInfo(path(u"folder"_s)).isDir());
}

void tst_dvFiles::deleteToTrash()
{
    write(u"trashed.txt"_s, "recoverable");
    QVERIFY(dvFileDelete(u"trashed.txt"_s, false));
    QVERIFY(!QFile::exists(path(u"trashed.txt"_s)));
    QVERIFY(!dvFileDelete(u"trashed.txt"_s, false));

    // The file and a record of where it came from are in the user's trash.
    const QString trash =
        qEnvironmentVariable("XDG_DATA_HOME", QDir::homePath() + u"/.local/share"_s) + u"/Trash"_s;
    const QString origin = u"Path="_s + path(u"trashed.txt"_s);
    QString trashedName;
    const QStringList infos = QDir(trash + u"/info"_s).entryList({u"*.trashinfo"_s}, QDir::Files);
    for (const QString &info : infos) {
        QFile file(trash + u"/info/"_s + info);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (QString::fromUtf8(file.readAll()).split(u'\n').contains(origin))
            trashedName = info.chopped(int(qstrlen(".trashinfo")));
    }
    QVERIFY2(!trashedName.isEmpty(), qPrintable(origin));
    QFile trashed(trash + u"/files/"_s + trashedName);
    QVERIFY(trashed.open(QIODevice::ReadOnly));
    QCOMPARE(trashed.readAll(), "recoverable");
}

void tst_dvFiles::fileDateTime()
{
    write(u"stamped.txt"_s, "x");
    QFile file(path(u"stamped.txt"_s));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6, 789)),
                             QFileDevice::FileModificationTime));
    file.close();
    const dvt::TDateTime expected = dvt::EncodeDate(2001, 2, 3) + dvt::EncodeTime(4, 5, 6, 789);
    QCOMPARE(dvFileDateTime(u"stamped.txt"_s), expected);
    QCOMPARE(dvFileDateTime(path(u"stamped.txt"_s).replace(u'/', u'\\')), expected);
}

void tst_dvFiles::programNameAndFolder()
{
    QCOMPARE(dvEXEName(), u"tst_dvfiles"_s);
    // The folder keeps its case, so the program is found in it by its real name.
    const QString folder = dvEXEDir();
    QVERIFY(folder.endsWith(u'/'));
    QVERIFY(!folder.endsWith(u"//"_s));
    QVERIFY(QFileInfo(folder + u"tst_dvFiles"_s).isExecutable());
    QCOMPARE(folder, QCoreApplication::applicationDirPath() + u'/');
}

void tst_dvFiles::userAndComputer()
{
    QProcess id;
    id.start(u"id"_s, {u"-un"_s});
    QVERIFY(id.waitForFinished());
    QCOMPARE(dvUserName(), QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed());

    QFile hostname(u"/proc/sys/kernel/hostname"_s);
    QVERIFY(hostname.open(QIODevice::ReadOnly));
    QCOMPARE(dvComputerName(), QString::fromLocal8Bit(hostname.readAll()).trimmed());
}

void tst_dvFiles::tempFile_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("plain") << u"txt"_s << u".txt"_s;
    QTest::newRow("dots removed") << u"..log"_s << u".log"_s;
    QTest::newRow("inner dots removed") << u"t.a.r"_s << u".tar"_s;
    QTest::newRow("empty") << QString() << u"."_s;
}

void tst_dvFiles::tempFile()
{
    QFETCH(QString, extension);
    QFETCH(QString, suffix);
    // The temporary folder is created again when it has gone.
    QVERIFY(QDir(dvt::UserFolder() + u"Temp/"_s).removeRecursively());
    const QString before = dvt::FormatDateTime(u"yyyymmddhhnnss"_s, dvt::Now());
    const QString name = dvTempFile(extension);
    const QString after = dvt::FormatDateTime(u"yyyymmddhhnnss"_s, dvt::Now());

    const QString folder = dvWindowsTemp();
    QCOMPARE(folder, dvt::UserFolder() + u"Temp/"_s);
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(name.startsWith(folder));
    QVERIFY(name.endsWith(suffix));
    const QString stamp = name.mid(folder.size(), 14);
    QVERIFY(QRegularExpression(u"^\\d{14}$"_s).match(stamp).hasMatch());
    QCOMPARE(name.size(), folder.size() + 14 + suffix.size());
    QVERIFY(before <= stamp && stamp <= after);
    QVERIFY(!QFile::exists(name));
}

void tst_dvFiles::executeProgram()
{
    // A program gets its parameters and starts in the given folder.
    write(u"bin/report.sh"_s, "#!/bin/sh\n"
                              "{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > result.tmp\n"
                              "mv result.tmp result.txt\n");
    QVERIFY(QFile::setPermissions(path(u"bin/report.sh"_s),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(QDir().mkdir(path(u"work"_s)));
    dvExecute(path(u"bin/report.sh"_s).replace(u'/', u'\\'), u"alpha \"beta gamma\""_s,
              path(u"work"_s));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(u"work/result.txt"_s)), 20000);
    QCOMPARE(read(u"work/result.txt"_s),
             (path(u"work"_s) + u"\n[alpha]\n[beta gamma]\n"_s).toLocal8Bit());

    // A program found on the PATH, started in the current folder.
    dvExecute(u"sh"_s, u"-c \"echo found > found.txt\""_s, QString());
    QTRY_COMPARE_WITH_TIMEOUT(read(u"found.txt"_s), "found\n", 20000);
    QVERIFY(m_openedUrls.isEmpty());
}

void tst_dvFiles::executeDocument()
{
    QDesktopServices::setUrlHandler(u"file"_s, this, "openUrl");
    QDesktopServices::setUrlHandler(u"https"_s, this, "openUrl");
    const auto unset = qScopeGuard([] {
        QDesktopServices::unsetUrlHandler(u"file"_s);
        QDesktopServices::unsetUrlHandler(u"https"_s);
    });
    write(u"docs/letter.txt"_s, "Dear reader");
    dvExecute(u"docs\\letter.txt"_s, u"ignored"_s, QString());
    dvExecute(u"https://example.org/page"_s, QString(), QString());
    dvExecute(u"docs/missing.txt"_s, QString(), QString());
    dvExecute(QString(), QString(), QString());
    const QList<QUrl> expected{QUrl::fromLocalFile(path(u"docs/letter.txt"_s)),
                               QUrl(u"https://example.org/page"_s)};
    QCOMPARE(m_openedUrls, expected);
}

void tst_dvFiles::delayWaitsAndHandlesEvents()
{
    bool fired = false;
    QTimer::singleShot(10, this, [&] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    dvDelay(150);
    QVERIFY(clock.elapsed() >= 150);
    QVERIFY(fired);
}

void tst_dvFiles::delayHandlesEventsAtLeastOnce()
{
    for (const int milliseconds : {0, std::numeric_limits<int>::min()}) {
        bool handled = false;
        QMetaObject::invokeMethod(
            this, [&] { handled = true; }, Qt::QueuedConnection);
        dvDelay(milliseconds);
        QVERIFY(handled);
    }
}

void tst_dvFiles::hourGlassAndArrow()
{
    QVERIFY(!QGuiApplication::overrideCursor());
    dvHourGlass();
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    dvHourGlass();
    dvArrow();
    QVERIFY(!QGuiApplication::overrideCursor());
    dvArrow();
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(tst_dvFiles)
#include "tst_dvFiles.moc"
