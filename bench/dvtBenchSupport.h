#pragma once

// What the benchmarks share: a private embedded database, the table they move,
// and the way they print what they measured.
//
// Every benchmark prints one line per figure and ends with one line per goal:
//   ratio NAME VALUE GOAL        e.g. "ratio export_vs_isql 1.92 >=1.5"
// so that a script can read the results.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <sys/resource.h>

#include "dvControlPanel.h"
#include "dvQuery.h"
#include "dvtDateTime.h"
#include "dvtFormat.h"

namespace dvt::bench {

// The six kinds of column of a typical data-entry table: an integer key, a
// varchar, a char, a double, a date and a memo.
inline const QString TableColumns =
    QStringLiteral("CODE integer not null primary key, NAME varchar(40), KIND char(8), "
                   "AMOUNT double precision, ISSUED date, NOTE blob sub_type text");

// The values of row i; some are NULL, some texts are not Latin, the memos have
// two lines.
struct Row
{
    int code = 0;
    QString name; // empty: NULL
    QString kind;
    double amount = 0;
    bool amountNull = false;
    QString issued; // "mm/dd/yyyy"
    QString note;   // empty: NULL
};

inline Row MakeRow(int i)
{
    static const QString names[] = {QStringLiteral("Smith & Sons, Ltd."),
                                    QStringLiteral("Łódź Żółw"), QStringLiteral("O'Brien"),
                                    QStringLiteral("Ωμέγα Ltd"), QStringLiteral("Miller")};
    Row row;
    row.code = i + 1;
    if (i % 10 != 9)
        row.name = names[i % 5] + QStringLiteral(" %1").arg(i);
    row.kind = QStringLiteral("K%1").arg(i % 1000, 3, 10, QLatin1Char('0'));
    row.amount = (i % 100000) * 1.25 + i / 7.0;
    row.amountNull = i % 13 == 12;
    row.issued = FormatDateTime(QStringLiteral("mm/dd/yyyy"), EncodeDate(1990, 1, 1) + i % 12000);
    if (i % 7 != 6)
        row.note = QStringLiteral("Note of row %1\r\nsecond line").arg(i);
    return row;
}

// A database file of its own in a temporary folder, and the panel that connects
// to it.
class BenchDatabase
{
public:
    BenchDatabase()
    {
        QString error;
        if (!TDatabase::CreateDatabase(File(), {}, {}, &error))
            Fail(QStringLiteral("cannot create the database: ") + error);
        panel.SetConnectionString(File());
    }

    QString File() const { return folder.filePath(QStringLiteral("bench.fdb")); }
    QString Path(const QString &name) const { return folder.filePath(name); }

    // Runs a statement that must succeed.
    void Run(const QString &statement)
    {
        TdvQuery query;
        if (!query.Execute(statement))
            Fail(statement + QStringLiteral(": ") + query.Error());
    }

    void CreateTable(const QString &table)
    {
        Run(QStringLiteral("create table %1 (%2)").arg(table, TableColumns));
        Run(QStringLiteral("create generator %1").arg(table));
    }

    void DropTable(const QString &table)
    {
        Run(QStringLiteral("drop table %1").arg(table));
        Run(QStringLiteral("drop generator %1").arg(table));
    }

    int Count(const QString &table)
    {
        TdvQuery query;
        if (!query.Select(QStringLiteral("select count(*) from ") + table))
            Fail(query.Error());
        return query.AsInteger(0);
    }

    [[noreturn]] static void Fail(const QString &message)
    {
        std::fprintf(stderr, "benchmark failed: %s\n", qPrintable(message));
        std::exit(1);
    }

    QTemporaryDir folder;
    TdvControlPanel panel;
};

// Processor time, user and system, of this process (all its threads) and of its
// finished children: a figure that other work on the machine disturbs less than
// the elapsed time.
inline double CpuSeconds(int who = RUSAGE_SELF)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Elapsed and processor seconds of one piece of work.
struct Timing
{
    double elapsed = 0;
    double cpu = 0;
};

template<typename Work>
Timing Time(Work &&work, int who = RUSAGE_SELF)
{
    QElapsedTimer timer;
    const double cpu = CpuSeconds(who);
    timer.start();
    work();
    return {timer.nsecsElapsed() / 1e9, CpuSeconds(who) - cpu};
}

// Runs isql-fb in dialect 1 with the UTF8 character set on the script, its
// output to the file, and times it (its processor time being that of the child).
// The process inherits this one's engine settings, so it shares the database file.
inline Timing TimeIsql(const QString &database, const QString &script, const QString &output)
{
    QFile::remove(output); // isql-fb appends to it
    return Time(
        [&] {
            QProcess isql;
            isql.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            isql.start(QStringLiteral("isql-fb"),
                       {QStringLiteral("-q"), QStringLiteral("-sql_dialect"), QStringLiteral("1"),
                        QStringLiteral("-ch"), QStringLiteral("UTF8"), QStringLiteral("-i"), script,
                        QStringLiteral("-o"), output, database});
            if (!isql.waitForFinished(-1) || isql.exitStatus() != QProcess::NormalExit)
                BenchDatabase::Fail(QStringLiteral("isql-fb did not run: ") + isql.errorString());
        },
        RUSAGE_CHILDREN);
}

inline void PrintMachine()
{
    QString cpu = QSysInfo::currentCpuArchitecture();
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : info.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                cpu = QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
        }
    }
    std::printf("machine: %s, %s, %d logical cores\n", qPrintable(QSysInfo::prettyProductName()),
                qPrintable(cpu), QThread::idealThreadCount());
}

inline void PrintFigure(const char *name, double value, const char *unit)
{
    std::printf("%-40s %12.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

// A goal: "ratio NAME VALUE GOAL".
// Three decimals: a value just below its goal must not round up to it.
inline void PrintRatio(const char *name, double value, const char *goal)
{
    std::printf("ratio %s %.3f %s\n", name, value, goal);
    std::fflush(stdout);
}

} // namespace dvt::bench
