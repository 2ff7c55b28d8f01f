// Import of a 100,000-row data file inside one transaction of the panel, against
// the client's C API inserting the same rows with one prepared INSERT in one
// transaction, in the same run; with the rate of the default commit-as-you-go
// mode for comparison.
//
//   bench_import [ROWS [ROUNDS [AUTOCOMMIT_ROWS]]]   defaults: 100000, 5, 3000

#include <QApplication>
#include <QFile>

#include <algorithm>
#include <functional>

#include "dvTransfer.h"
#include "dvtBenchSupport.h"
#include "dvtRawClient.h"

using namespace dvt::bench;

namespace {

const QString Table = QStringLiteral("BENCH");

// The first lines of a data file, its header and count data lines, as a new file.
void CopyHead(const QString &from, const QString &to, int count)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        BenchDatabase::Fail(QStringLiteral("cannot copy the data file"));
    for (int line = 0; line <= count && !in.atEnd(); ++line)
        out.write(in.readLine());
}

// Times one way of filling an empty BENCH table with the expected rows; the
// table is dropped again afterwards.
Timing TimeFill(BenchDatabase &db, int expected, const std::function<void()> &fill)
{
    db.CreateTable(Table);
    const Timing timing = Time(fill);
    const int stored = db.Count(Table);
    if (stored != expected)
        BenchDatabase::Fail(
            QStringLiteral("%1 rows stored instead of %2").arg(stored).arg(expected));
    db.DropTable(Table);
    return timing;
}

void Import(const QString &file, int expected)
{
    dvt::TImportReport report;
    dvImport(Table, file, u';', false, &report);
    if (report.RowsStored != expected || report.LinesRefused != 0)
        BenchDatabase::Fail(QStringLiteral("import: %1 stored, %2 refused")
                                .arg(report.RowsStored)
                                .arg(report.LinesRefused));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    const int autocommitRows = argc > 3 ? std::max(1, atoi(argv[3])) : 3000;

    PrintMachine();
    BenchDatabase db;
    std::vector<Row> values;
    values.reserve(size_t(rows));
    for (int i = 0; i < rows; ++i)
        values.push_back(MakeRow(i));

    // The data file: the rows exported from a table of the same layout.
    const QString file = db.Path(QStringLiteral("rows.dat"));
    db.CreateTable(QStringLiteral("SOURCE"));
    raw::Insert(db.File(), QStringLiteral("SOURCE"), values);
    dvExport(QStringLiteral("SOURCE"), file, u';', false);

    // Alternating rounds, the best of each: the machine may be busy with other work.
    Timing loopBest{1e300, 1e300};
    Timing importBest{1e300, 1e300};
    const auto keepBest = [](Timing &best, const Timing &t) {
        best.elapsed = std::min(best.elapsed, t.elapsed);
        best.cpu = std::min(best.cpu, t.cpu);
    };
    for (int round = 1; round <= rounds; ++round) {
        const Timing loop = TimeFill(db, rows, [&] { raw::Insert(db.File(), Table, values); });
        const Timing import = TimeFill(db, rows, [&] {
            db.panel.StartTransaction();
            Import(file, rows);
            if (!db.panel.Commit())
                BenchDatabase::Fail(db.panel.LastError());
        });
        std::printf("round %d: C API prepared loop %.2f s, dvImport %.2f s\n", round, loop.elapsed,
                    import.elapsed);
        keepBest(loopBest, loop);
        keepBest(importBest, import);
    }

    const QString head = db.Path(QStringLiteral("head.dat"));
    CopyHead(file, head, autocommitRows);
    const Timing autocommit = TimeFill(db, autocommitRows, [&] { Import(head, autocommitRows); });

    PrintFigure("C API prepared INSERT loop", rows / loopBest.elapsed, "rows/s");
    PrintFigure("dvImport in one transaction", rows / importBest.elapsed, "rows/s");
    PrintFigure("dvImport committing every row", autocommitRows / autocommit.elapsed, "rows/s");
    PrintFigure("C API loop processor time per row", loopBest.cpu / rows * 1e6, "us");
    PrintFigure("dvImport processor time per row", importBest.cpu / rows * 1e6, "us");
    PrintRatio("import_vs_c_api_loop", loopBest.elapsed / importBest.elapsed, ">=0.95");
    return 0;
}
