// Export of a 1,000,000-row table against two baselines in the same run on the
// same database file: the client's C API fetching every row into memory, and
// isql-fb writing the rows to a file.
//
//   bench_export [ROWS [ROUNDS]]     defaults: 1000000 rows, best of 3 rounds

#include <QApplication>
#include <QFile>

#include <algorithm>

#include "dvTransfer.h"
#include "dvtBenchSupport.h"
#include "dvtRawClient.h"

using namespace dvt::bench;

namespace {

qint64 CountLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        BenchDatabase::Fail(QStringLiteral("no export file"));
    qint64 lines = 0;
    while (!file.atEnd()) {
        const QByteArray block = file.read(1 << 20);
        lines += block.count('\n');
    }
    return lines;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 1000000;
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    PrintMachine();
    BenchDatabase db;
    db.CreateTable(QStringLiteral("BENCH"));
    const Timing fill = Time([&] {
        constexpr int Batch = 100000;
        for (int first = 0; first < rows; first += Batch) {
            std::vector<Row> batch;
            for (int i = first; i < std::min(rows, first + Batch); ++i)
                batch.push_back(MakeRow(i));
            raw::Insert(db.File(), QStringLiteral("BENCH"), batch);
        }
    });
    PrintFigure("fill: C API prepared INSERT, one transaction", rows / fill.elapsed, "rows/s");

    const QString script = db.Path(QStringLiteral("select.sql"));
    {
        QFile file(script);
        if (!file.open(QIODevice::WriteOnly) || file.write("select * from BENCH;\n") < 0)
            BenchDatabase::Fail(QStringLiteral("cannot write the isql script"));
    }
    const QString isqlOutput = db.Path(QStringLiteral("isql.txt"));
    const QString exportFile = db.Path(QStringLiteral("BENCH.dat"));

    // Alternating rounds, the best of each: the machine may be busy with other work.
    Timing isqlBest{1e300, 1e300};
    Timing fetchBest{1e300, 1e300};
    Timing exportBest{1e300, 1e300};
    const auto keepBest = [](Timing &best, const Timing &t) {
        best.elapsed = std::min(best.elapsed, t.elapsed);
        best.cpu = std::min(best.cpu, t.cpu);
    };
    for (int round = 1; round <= rounds; ++round) {
        const Timing isql = TimeIsql(db.File(), script, isqlOutput);
        const Timing fetch = Time([&] {
            if (raw::FetchAll(db.File(), QStringLiteral("BENCH")) != rows)
                BenchDatabase::Fail(QStringLiteral("the fetch did not read every row"));
        });
        const Timing exported =
            Time([&] { dvExport(QStringLiteral("BENCH"), exportFile, u';', false); });
        std::printf("round %d: isql-fb %.2f s, C API fetch %.2f s, dvExport %.2f s (processor "
                    "%.2f s, %.2f s, %.2f s)\n",
                    round, isql.elapsed, fetch.elapsed, exported.elapsed, isql.cpu, fetch.cpu,
                    exported.cpu);
        keepBest(isqlBest, isql);
        keepBest(fetchBest, fetch);
        keepBest(exportBest, exported);
    }
    if (CountLines(exportFile) != qint64(rows) + 1)
        BenchDatabase::Fail(QStringLiteral("the export file does not hold every row"));
    const Timing scrambled =
        Time([&] { dvExport(QStringLiteral("BENCH"), exportFile, u';', true); });

    PrintFigure("isql-fb select * to a file", rows / isqlBest.elapsed, "rows/s");
    PrintFigure("C API fetch into memory", rows / fetchBest.elapsed, "rows/s");
    PrintFigure("dvExport", rows / exportBest.elapsed, "rows/s");
    PrintFigure("dvExport, scrambled", rows / scrambled.elapsed, "rows/s");
    PrintFigure("isql-fb processor time per row", isqlBest.cpu / rows * 1e6, "us");
    PrintFigure("C API fetch processor time per row", fetchBest.cpu / rows * 1e6, "us");
    PrintFigure("dvExport processor time per row", exportBest.cpu / rows * 1e6, "us");
    PrintFigure("isql-fb output", QFile(isqlOutput).size() / 1e6, "MB");
    PrintFigure("dvExport output", QFile(exportFile).size() / 1e6, "MB");
    PrintRatio("export_vs_c_api_fetch", fetchBest.elapsed / exportBest.elapsed, ">=0.9");
    PrintRatio("export_vs_isql", isqlBest.elapsed / exportBest.elapsed, ">=1.5");
    return 0;
}
