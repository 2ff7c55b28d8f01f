#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QHash>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <limits>
#include <memory>
#include <utility>

#include "dvFiles.h"
#include "dvMessages.h"
#include "dvtFolders.h"
#include "dvtMessageDlg.h"
#include "dvtTestTables.h"

using namespace Qt::StringLiterals;
using namespace dvFileAttribute;
using Show = std::function<bool()>;
using FileOperation = std::function<bool(const QString &, const QString &, bool)>;

Q_DECLARE_METATYPE(Show)
Q_DECLARE_METATYPE(FileOperation)
Q_DECLARE_METATYPE(dvt::TMsgDlgType)
Q_DECLARE_METATYPE(dvt::TModalResult)
Q_DECLARE_METATYPE(dvt::TMsgDlgBtn)

class tst_dvDesktop : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousCurrent;
    QList<QUrl> m_openedUrls;

    QString path(const QString &relative) const { return m_dir->filePath(relative); }

    void write(const QString &relative, const QByteArray &content = "x") const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QByteArray read(const QString &relative) const
    {
        QFile file(path(relative));
        if (QFileInfo(file).isDir())
            return "<folder>";
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
    }

public Q_SLOTS:
    // The desktop's URL handler during the tests of dvExecute.
    void openUrl(const QUrl &url) { m_openedUrls.append(url); }

private Q_SLOTS:
    void init()
    {
        // Inside the home folder, so that the trash is on the same file system.
        m_dir = std::make_unique<QTemporaryDir>(QDir::homePath() + u"/files-XXXXXX"_s);
        QVERIFY(m_dir->isValid());
        m_previousCurrent = QDir::currentPath();
        QDir::setCurrent(m_dir->path());
    }

    void cleanup()
    {
        QDir::setCurrent(m_previousCurrent);
        // Read-only entries must become writable again before the folder can go.
        QDirIterator it(m_dir->path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            QFile::setPermissions(it.next(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_dir.reset();
        m_openedUrls.clear();
    }

    void fileSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::newRow("missing") << u"nothing.dat"_s << -1;
        QTest::newRow("empty file") << u"empty.dat"_s << 0;
        QTest::newRow("relative") << u"data/x.dat"_s << 10;
        QTest::newRow("backslashes") << u"data\\x.dat"_s << 10;
        QTest::newRow("star, first in name order") << u"data/*.dat"_s << 2;
        QTest::newRow("question mark") << u"data/?.dat"_s << 10;
        QTest::newRow("star dot star matches without extension") << u"plain/*.*"_s << 4;
        QTest::newRow("wildcard without match") << u"data/*.txt"_s << -1;
        QTest::newRow("brackets are no wildcards") << u"data/[x].dat"_s << 2;
    }

    void fileSize()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        write(u"empty.dat"_s, {});
        write(u"data/x.dat"_s, "0123456789");
        write(u"data/[x].dat"_s, "[]");
        write(u"plain/README"_s, "text");
        QCOMPARE(dvFileSize(name), size);
        QCOMPARE(dvFileSize(path(name)), size);
    }

    void hasAttribute_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mask");
        QTest::addColumn<bool>("expected");
        QTest::newRow("missing") << u"missing.txt"_s << int(ReadOnly) << false;
        QTest::newRow("read-only") << u"locked.txt"_s << int(ReadOnly) << true;
        QTest::newRow("every bit counts") << u"locked.txt"_s << int(ReadOnly | Hidden) << false;
        QTest::newRow("read-only and hidden") << u".locked"_s << int(ReadOnly | Hidden) << true;
        QTest::newRow("normal") << u"plain.txt"_s << int(Normal) << true;
        QTest::newRow("hidden folder, backslash")
            << u"folder\\.inner"_s << int(Directory | Hidden) << true;
        QTest::newRow("link to a folder") << u"folder-link"_s << int(Directory | SymLink) << true;
        QTest::newRow("dangling link exists") << u"dangling"_s << int(SymLink) << true;
        QTest::newRow("system is never set") << u"plain.txt"_s << int(System) << false;
        QTest::newRow("current folder is not hidden") << u"."_s << int(Hidden) << false;
    }

    void hasAttribute()
    {
        QFETCH(QString, name);
        QFETCH(int, mask);
        QFETCH(bool, expected);
        for (const QString &file : {u"plain.txt"_s, u"locked.txt"_s, u".locked"_s})
            write(file);
        QVERIFY(QDir().mkpath(path(u"folder/.inner"_s)));
        QVERIFY(QFile::link(path(u"folder"_s), path(u"folder-link"_s)));
        QVERIFY(QFile::link(path(u"nowhere"_s), path(u"dangling"_s)));
        for (const QString &locked : {u"locked.txt"_s, u".locked"_s})
            QVERIFY(QFile::setPermissions(path(locked), QFile::ReadOwner | QFile::ReadGroup));
        QCOMPARE(dvFileHasAttribute(name, quint16(mask)), expected);
    }

    // Each row starts from src.txt ("new"), old.txt ("old"), tree/sub/leaf.txt,
    // copy/keep.txt, copy/tree/other.txt and an empty folder; afterwards every
    // entry of `after` holds its content ("-" when it must not exist).
    void operations_data()
    {
        QTest::addColumn<FileOperation>("operation");
        QTest::addColumn<bool>("direct");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("after");
        const auto op = [](const char *kind, bool direct, const char *source, const char *target,
                           bool ok, const char *after) {
            static const QHash<QByteArray, FileOperation> routines{
                {"copy", dvFileCopy},
                {"move", dvFileMove},
                {"rename", dvFileRename},
                {"delete", [](const QString &name, const QString &, bool direct) {
                     return dvFileDelete(name, direct);
                 }}};
            QTest::addRow("%s%s %s to %s", kind, direct ? " direct" : "", source, target)
                << routines.value(kind) << direct << QString::fromUtf8(source)
                << QString::fromUtf8(target) << ok
                << QString::fromUtf8(after).split(u' ', Qt::SkipEmptyParts);
        };
        // The plain calls replace nothing (but a copy does), create no folders and
        // handle no folders.
        op("copy", true, "src.txt", "old.txt", true, "old.txt=new src.txt=new");
        op("copy", true, "src.txt", "a/b.txt", false, "a=-");
        op("copy", true, "tree", "tree2", false, "tree2=-");
        op("copy", true, "src.txt", "src.txt", false, "src.txt=new");
        op("copy", true, "missing.txt", "x.txt", false, "x.txt=-");
        op("move", true, "src.txt", "moved.txt", true, "moved.txt=new src.txt=-");
        op("move", true, "src.txt", "old.txt", false, "old.txt=old src.txt=new");
        op("move", true, "src.txt", "a/b.txt", false, "a=- src.txt=new");
        op("rename", true, "src.txt", "old.txt", false, "old.txt=old");
        op("delete", true, "tree\\sub\\leaf.txt", "", true, "tree/sub/leaf.txt=-");
        op("delete", true, "empty", "", false, "empty=<folder>");
        op("delete", true, "missing.txt", "", false, "");
        // The desktop way creates folders (backslashes separate them too), puts a file
        // into a target folder, merges folders, but never into or onto itself.
        op("copy", false, "src.txt", "a\\b/c.txt", true, "a/b/c.txt=new");
        op("copy", false, "src.txt", "empty", true, "empty/src.txt=new");
        op("copy", false, "tree", "copy", true,
           "copy/tree/sub/leaf.txt=leaf copy/tree/other.txt=other tree/sub/leaf.txt=leaf");
        op("copy", false, "tree", "tree/sub/again", false, "tree/sub/again=-");
        op("copy", false, "src.txt", "src.txt", false, "src.txt=new");
        op("copy", false, "missing.txt", "x/y.txt", false, "x=-");
        op("move", false, "src.txt", "old.txt", true, "old.txt=new src.txt=-");
        op("move", false, "src.txt", "a\\b\\c.txt", true, "a/b/c.txt=new");
        op("move", false, "src.txt", "empty", true, "empty/src.txt=new");
        op("move", false, "tree", "copy", true,
           "copy/tree/sub/leaf.txt=leaf copy/tree/other.txt=other tree=-");
        op("move", false, "copy", "copy/tree", false, "copy/keep.txt=keep");
        op("move", false, "missing.txt", "x.txt", false, "");
        op("rename", false, "src.txt", "old.txt", true, "old.txt=new src.txt=-");
        op("rename", false, "src.txt", "a/src.txt", false, "src.txt=new");
        op("delete", false, "missing.txt", "", false, "");
    }

    void operations()
    {
        QFETCH(FileOperation, operation);
        QFETCH(bool, direct);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, ok);
        QFETCH(QStringList, after);
        write(u"src.txt"_s, "new");
        write(u"old.txt"_s, "old");
        write(u"tree/sub/leaf.txt"_s, "leaf");
        write(u"copy/keep.txt"_s, "keep");
        write(u"copy/tree/other.txt"_s, "other");
        QVERIFY(QDir().mkdir(path(u"empty"_s)));
        QCOMPARE(operation(source, target, direct), ok);
        for (const QString &entry : after)
            QCOMPARE(read(entry.section(u'=', 0, 0)), entry.section(u'=', 1).toUtf8());
    }

    void moveToTrash()
    {
        write(u"trashed.txt"_s, "recoverable");
        QVERIFY(dvFileDelete(path(u"trashed.txt"_s), false));
        QVERIFY(!QFile::exists(path(u"trashed.txt"_s)));
        // The file and a record of where it came from are in the user's trash.
        const QString trash =
            qEnvironmentVariable("XDG_DATA_HOME", QDir::homePath() + u"/.local/share"_s)
            + u"/Trash/"_s;
        const QString origin = u"Path="_s + path(u"trashed.txt"_s);
        QString trashedName;
        for (const QString &info : QDir(trash + u"info"_s).entryList({u"*.trashinfo"_s})) {
            QFile file(trash + u"info/"_s + info);
            QVERIFY(file.open(QIODevice::ReadOnly));
            if (QString::fromUtf8(file.readAll()).split(u'\n').contains(origin))
                trashedName = info.chopped(int(qstrlen(".trashinfo")));
        }
        QVERIFY2(!trashedName.isEmpty(), qPrintable(origin));
        QFile trashed(trash + u"files/"_s + trashedName);
        QVERIFY(trashed.open(QIODevice::ReadOnly));
        QCOMPARE(trashed.readAll(), "recoverable");
    }

    void fileDateTime()
    {
        write(u"stamped.txt"_s);
        QFile file(path(u"stamped.txt"_s));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6, 789)),
                                 QFileDevice::FileModificationTime));
        file.close();
        const dvt::TDateTime expected = dvt::EncodeDate(2001, 2, 3) + dvt::EncodeTime(4, 5, 6, 789);
        QCOMPARE(dvFileDateTime(u"stamped.txt"_s), expected);
        QCOMPARE(dvFileDateTime(path(u"stamped.txt"_s).replace(u'/', u'\\')), expected);
    }

    void programUserAndComputer()
    {
        QCOMPARE(dvEXEName(), u"tst_dvdesktop"_s);
        // The folder keeps its case, so the program is found in it by its real name.
        QCOMPARE(dvEXEDir(), QCoreApplication::applicationDirPath() + u'/');
        QVERIFY(QFileInfo(dvEXEDir() + u"tst_dvDesktop"_s).isExecutable());
        QProcess id;
        id.start(u"id"_s, {u"-un"_s});
        QVERIFY(id.waitForFinished());
        QCOMPARE(dvUserName(), QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed());
        QFile hostname(u"/proc/sys/kernel/hostname"_s);
        QVERIFY(hostname.open(QIODevice::ReadOnly));
        QCOMPARE(dvComputerName(), QString::fromLocal8Bit(hostname.readAll()).trimmed());
    }

    void tempFile()
    {
        // The temporary folder is created again when it has gone.
        const QString folder = dvt::UserFolder() + u"Temp/"_s;
        QVERIFY(QDir(folder).removeRecursively());
        const QString before = dvt::FormatDateTime(u"yyyymmddhhnnss"_s, dvt::Now());
        const QString name = dvTempFile(u".t.a.r"_s); // every dot removed
        const QString after = dvt::FormatDateTime(u"yyyymmddhhnnss"_s, dvt::Now());
        QCOMPARE(dvWindowsTemp(), folder);
        QVERIFY(QFileInfo(folder).isDir());
        const auto stamp =
            QRegularExpression(u"^(\\d{14})\\.tar$"_s).match(name.mid(folder.size()));
        QVERIFY2(name.startsWith(folder) && stamp.hasMatch(), qPrintable(name));
        QVERIFY(before <= stamp.captured(1) && stamp.captured(1) <= after);
        QVERIFY(!QFile::exists(name));
        QVERIFY(QRegularExpression(u"/\\d{14}\\.$"_s).match(dvTempFile(QString())).hasMatch());
    }

    void execute()
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

        // Documents and addresses go to the desktop; missing files and nothing do not.
        QDesktopServices::setUrlHandler(u"file"_s, this, "openUrl");
        QDesktopServices::setUrlHandler(u"https"_s, this, "openUrl");
        const auto unset = qScopeGuard([] {
            QDesktopServices::unsetUrlHandler(u"file"_s);
            QDesktopServices::unsetUrlHandler(u"https"_s);
        });
        write(u"docs/letter.txt"_s);
        dvExecute(u"docs\\letter.txt"_s, u"ignored"_s, QString());
        dvExecute(u"https://example.org/page"_s, QString(), QString());
        dvExecute(u"docs/missing.txt"_s, QString(), QString());
        dvExecute(QString(), QString(), QString());
        const QList<QUrl> expected{QUrl::fromLocalFile(path(u"docs/letter.txt"_s)),
                                   QUrl(u"https://example.org/page"_s)};
        QCOMPARE(m_openedUrls, expected);
    }

    void delay()
    {
        bool fired = false;
        QTimer::singleShot(10, this, [&] { fired = true; });
        QElapsedTimer clock;
        clock.start();
        dvDelay(150);
        QVERIFY(clock.elapsed() >= 150 && fired);
        // No wait, but pending events are still handled once.
        fired = false;
        QTimer::singleShot(0, this, [&] { fired = true; });
        dvDelay(std::numeric_limits<int>::min());
        QVERIFY(fired);
    }

    void hourGlassAndArrow()
    {
        QVERIFY(!QGuiApplication::overrideCursor());
        dvHourGlass();
        dvHourGlass();
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        dvArrow();
        QVERIFY(!QGuiApplication::overrideCursor());
        dvArrow();
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void messages_data()
    {
        QTest::addColumn<Show>("show"); // answers what the routine answered
        QTest::addColumn<dvt::TModalResult>("answer");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<dvt::TMsgDlgType>("type");
        QTest::addColumn<dvt::TMsgDlgBtn>("defaultButton");
        const auto notice = [](const char *name, void (*routine)(const QString &),
                               dvt::TMsgDlgType type) {
            const Show show = [=] {
                routine(u"Not possible!\r\rdetail"_s);
                return true;
            };
            QTest::newRow(name) << show << dvt::mrOk << true << type << dvt::mbOK;
        };
        notice("error", dvErrorMsg, dvt::TMsgDlgType::mtError);
        notice("information", dvInfoMsg, dvt::TMsgDlgType::mtInformation);
        notice("warning", dvWarningMsg, dvt::TMsgDlgType::mtWarning);
        const auto confirm = [](const char *name, bool yesIsDefault, dvt::TModalResult answer,
                                bool expected) {
            const Show show = [=] {
                return dvConfirmMsg(u"Not possible!\r\rdetail"_s, yesIsDefault);
            };
            QTest::newRow(name) << show << answer << expected << dvt::TMsgDlgType::mtConfirmation
                                << (yesIsDefault ? dvt::mbYes : dvt::mbNo);
        };
        confirm("Yes, Yes default", true, dvt::mrYes, true);
        confirm("Yes, No default", false, dvt::mrYes, true);
        confirm("No", true, dvt::mrNo, false);
        confirm("closed", false, dvt::mrCancel, false);
    }

    void messages()
    {
        QFETCH(Show, show);
        QFETCH(dvt::TModalResult, answer);
        QFETCH(bool, expected);
        QFETCH(dvt::TMsgDlgType, type);
        QFETCH(dvt::TMsgDlgBtn, defaultButton);
        QList<dvt::TMessageRequest> requests;
        const dvt::ScopedMessageHandler handler([&](const dvt::TMessageRequest &request) {
            requests.append(request);
            return answer;
        });
        QCOMPARE(show(), expected);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].Message, u"Not possible!\r\rdetail"_s);
        QCOMPARE(requests[0].Type, type);
        QCOMPARE(requests[0].Buttons, type == dvt::TMsgDlgType::mtConfirmation
                                          ? dvt::mbYes | dvt::mbNo
                                          : dvt::TMsgDlgButtons(dvt::mbOK));
        QCOMPARE(requests[0].DefaultButton, defaultButton);
    }

    void confirmDialogKeys_data()
    {
        dvt::test::BoolRows("yesIsDefault", "Enter answers No", "Enter answers Yes");
    }

    // The real dialog: Enter presses the default button; Escape answers No,
    // whichever button is the default.
    void confirmDialogKeys()
    {
        QFETCH(bool, yesIsDefault);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            bool pressed = false;
            QTimer poll;
            poll.setInterval(20);
            connect(&poll, &QTimer::timeout, &poll, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (box && !std::exchange(pressed, true))
                    QTest::keyClick(box, key);
            });
            poll.start();
            QCOMPARE(dvConfirmMsg(u"Are you sure?"_s, yesIsDefault),
                     key == Qt::Key_Return && yesIsDefault);
        }
    }
};

QTEST_MAIN(tst_dvDesktop)
#include "tst_dvDesktop.moc"
