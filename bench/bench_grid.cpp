// The grid over a million rows against what a Qt developer would pick instead:
// a QTableView over QSqlQueryModel with Qt's own Firebird driver.
//
// The parent process makes the rows once (a dialect-1 database for the grid, a
// dialect-3 copy of the same rows for Qt's driver, which speaks dialect 3),
// times a raw fetch of all rows into memory, then runs each side in a child
// process of its own, so that each side's peak memory is its own. Each child
// shows its view offscreen at the same size and prints "figure NAME VALUE"
// lines:
//   first_screen   from Load / setQuery to the first painted screen
//   row_1000       then: reaching and painting a screen at row 1,000
//   last_row       then: Ctrl+End and painting the last screen; the Qt side
//                  first fetches everything (fetchMore until canFetchMore is
//                  false), which is what reaching its last row takes
//   row_900000     then: reaching and painting a screen at row 900,000
//   memory         peak resident memory from Load / setQuery until every row
//                  is read, less the resident memory before Load / setQuery
//   repaint_at_1000, repaint_at_900000
//                  painting a screen again there, its rows read already
// Times are in milliseconds, memory in bytes. The embedded engine runs inside
// each process: before measuring memory, each side has it read the whole table
// once (a count), so that its page cache is full on both sides and the figure
// is what the view and its model hold.

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>

#include <cstdio>
#include <map>
#include <unistd.h>

#include "dvGrid.h"
#include "dvGridModel.h"
#include "dvtBenchSupport.h"

using namespace dvt::bench;

namespace {

constexpr int Rows = 1000000;
const QString Statement =
    QStringLiteral("select ID, CUSTOMER, CITY, AMOUNT, ISSUED, PAID from ORDERS order by ID");
const QSize ViewSize(800, 600);

// The rows, made by the engine itself; the same values in either dialect.
QString FillScript(int rows)
{
    return QStringLiteral(
               "create table ORDERS (ID integer not null primary key, CUSTOMER varchar(30), "
               "CITY varchar(20), AMOUNT numeric(15,2), ISSUED date, PAID char(1));\n"
               "set term ^ ;\n"
               "execute block as declare i integer = 1; begin while (i <= %1) do begin "
               "insert into ORDERS values (:i, 'Customer ' || :i, 'City ' || mod(:i, 997), "
               "mod(:i * 37, 100000) * 0.01, cast('01/01/2000' as date) + mod(:i, 9000), "
               "iif(mod(:i, 3) = 0, 'N', 'Y')); i = i + 1; end end ^\n"
               "set term ; ^\n"
               "commit;\n")
        .arg(rows);
}

QString RunIsql(const QStringList &arguments, const QString &script)
{
    QProcess isql;
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral("isql-fb"), QStringList{QStringLiteral("-q")} + arguments);
    isql.write(script.toUtf8());
    isql.closeWriteChannel();
    isql.waitForFinished(-1);
    return QString::fromUtf8(isql.readAll()).trimmed();
}

qint64 ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// The process's peak resident memory counts from here on: the warm-up before
// the measured work may have used more for a moment, and that peak is not the
// view's or its model's.
void ResetPeakResidentBytes()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        BenchDatabase::Fail(QStringLiteral("cannot reset the peak resident memory"));
}

qint64 PeakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

void Figure(const char *name, double value)
{
    std::printf("figure %s %.3f\n", name, value);
    std::fflush(stdout);
}

double Milliseconds(const std::function<void()> &work)
{
    return Time(work).elapsed * 1000;
}

void Paint(QTableView &view)
{
    view.viewport()->repaint();
}

void ShowAt(QTableView &view, int row)
{
    view.scrollTo(view.model()->index(row - 1, 0), QAbstractItemView::PositionAtTop);
    Paint(view);
}

void PressCtrlEnd(QTableView &view)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(&view, &press);
    Paint(view);
}

// The mean time of painting a screen at the row again.
double Repaint(QTableView &view, int row)
{
    ShowAt(view, row);
    constexpr int Times = 10;
    return Milliseconds([&] {
               for (int i = 0; i < Times; ++i)
                   Paint(view);
           })
           / Times;
}

void Prepare(QTableView &view)
{
    view.resize(ViewSize);
    view.show();
    QApplication::processEvents();
}

int GridSide(const QString &database)
{
    TdvControlPanel panel;
    panel.SetConnectionString(database);
    if (!panel.Open())
        BenchDatabase::Fail(panel.LastError());
    TdvQuery warmUp;
    for (const QString &statement : {QStringLiteral("select count(*) from ORDERS"), Statement}) {
        if (!warmUp.Select(statement))
            BenchDatabase::Fail(warmUp.Error());
    }
    warmUp.Close();
    TdvGrid grid;
    Prepare(grid);
    ResetPeakResidentBytes();
    const qint64 before = ResidentBytes();
    Figure("first_screen", Milliseconds([&] {
               grid.SetSelect(Statement);
               grid.Load();
               Paint(grid);
           }));
    Figure("first_screen_rows_read", double(grid.Model()->FetchedRows()));
    Figure("resident_after_load", double(ResidentBytes() - before));
    Figure("row_1000", Milliseconds([&] { ShowAt(grid, 1000); }));
    Figure("last_row", Milliseconds([&] { PressCtrlEnd(grid); }));
    if (grid.Row() != Rows || grid.Cells(0, Rows) != QString::number(Rows))
        BenchDatabase::Fail(QStringLiteral("the grid did not reach its last row"));
    Figure("row_900000", Milliseconds([&] { ShowAt(grid, 900000); }));
    Figure("rows_read_before_walk", double(grid.Model()->FetchedRows()));
    Figure("resident_before_walk", double(ResidentBytes() - before));
    // Every row read, as a user scrolling through it all makes the grid do.
    for (int row = 1; row <= Rows; row += 20)
        grid.CellValue(0, row);
    Figure("resident_after_walk", double(ResidentBytes() - before));
    Figure("memory", double(PeakResidentBytes() - before));
    Figure("repaint_at_1000", Repaint(grid, 1000));
    Figure("repaint_at_900000", Repaint(grid, 900000));
    Figure("rows_read", double(grid.Model()->FetchedRows()));
    Figure("stored_bytes", double(grid.Model()->StoredBytes()));
    return 0;
}

int QtSide(const QString &database)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"));
    db.setDatabaseName(database);
    db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=UTF8"));
    if (!db.open())
        BenchDatabase::Fail(db.lastError().text());
    for (const QString &statement : {QStringLiteral("select count(*) from ORDERS"), Statement}) {
        QSqlQuery warmUp(statement, db);
        if (!warmUp.next())
            BenchDatabase::Fail(warmUp.lastError().text());
    }
    QSqlQueryModel model;
    QTableView view;
    view.setModel(&model);
    Prepare(view);
    ResetPeakResidentBytes();
    const qint64 before = ResidentBytes();
    Figure("first_screen", Milliseconds([&] {
               model.setQuery(Statement, db);
               Paint(view);
           }));
    Figure("row_1000", Milliseconds([&] {
               while (model.rowCount() < 1000 && model.canFetchMore())
                   model.fetchMore();
               ShowAt(view, 1000);
           }));
    view.setCurrentIndex(model.index(0, 0)); // where a click or the focus puts it
    Figure("last_row", Milliseconds([&] {
               while (model.canFetchMore())
                   model.fetchMore();
               PressCtrlEnd(view);
           }));
    if (view.currentIndex().row() != Rows - 1)
        BenchDatabase::Fail(QStringLiteral("the view reached row %1 of %2")
                                .arg(view.currentIndex().row() + 1)
                                .arg(model.rowCount()));
    Figure("row_900000", Milliseconds([&] { ShowAt(view, 900000); }));
    Figure("memory", double(PeakResidentBytes() - before));
    Figure("repaint_at_1000", Repaint(view, 1000));
    Figure("repaint_at_900000", Repaint(view, 900000));
    return 0;
}

// Runs one side in a child process and collects its figures.
std::map<QString, double> RunSide(const QString &side, const QString &database)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {side, database});
    child.waitForFinished(-1);
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        BenchDatabase::Fail(side + QStringLiteral(" side failed"));
    std::map<QString, double> figures;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3 && parts[0] == "figure") {
            figures[QString::fromLatin1(parts[1])] = parts[2].toDouble();
            std::printf("%s %s %s\n", qPrintable(side), parts[1].constData(), parts[2].constData());
        }
    }
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("grid"))
        return GridSide(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == QStringLiteral("qt"))
        return QtSide(arguments[2]);

    BenchDatabase bench; // dialect 1, the grid's
    if (!bench.panel.Open())
        BenchDatabase::Fail(bench.panel.LastError());
    bench.panel.Close(); // isql-fb fills it
    const QString qtFile = bench.Path(QStringLiteral("dialect3.fdb"));
    const Timing made = Time([&] {
        const QString one = RunIsql({QStringLiteral("-sql_dialect"), QStringLiteral("1"),
                                     QStringLiteral("-ch"), QStringLiteral("UTF8"), bench.File()},
                                    FillScript(Rows));
        const QString three =
            RunIsql({QStringLiteral("-sql_dialect"), QStringLiteral("3"), QStringLiteral("-ch"),
                     QStringLiteral("UTF8")},
                    QStringLiteral("create database '%1' default character set UTF8;\n").arg(qtFile)
                        + FillScript(Rows));
        // Dialect 1 warns that DATE is now called TIMESTAMP; failures say "Statement failed".
        if (one.contains(QStringLiteral("failed")) || three.contains(QStringLiteral("failed")))
            BenchDatabase::Fail(one + three);
    });
    std::printf("made %d rows twice in %.1f s\n", Rows, made.elapsed);

    if (!bench.panel.Open())
        BenchDatabase::Fail(bench.panel.LastError());
    TdvQuery query;
    query.SetUnidirectional(false);
    qint64 textBytes = 0;
    if (!query.Select(QStringLiteral("select sum(char_length(CUSTOMER) + char_length(CITY)) "
                                     "from ORDERS")))
        BenchDatabase::Fail(query.Error());
    textBytes = query.AsLargeInt(0);
    // integer 4, two texts, NUMERIC(15,2) as a double 8, timestamp 8, CHAR(1) 1
    const double rawBytes = double(textBytes) + Rows * (4.0 + 8 + 8 + 1);
    int fetched = 0;
    const Timing raw = Time([&] {
        if (!query.Select(Statement))
            BenchDatabase::Fail(query.Error());
        fetched = query.RecordCount();
    });
    query.Close();
    bench.panel.Close();
    if (fetched != Rows)
        BenchDatabase::Fail(QStringLiteral("raw fetch read %1 rows").arg(fetched));
    std::printf("raw fetch of all rows into memory %.0f ms, raw size of the values %.0f bytes\n",
                raw.elapsed * 1000, rawBytes);

    auto grid = RunSide(QStringLiteral("grid"), bench.File());
    auto qt = RunSide(QStringLiteral("qt"), qtFile);

    std::printf("repainting a screen at row 900,000 vs at row 1,000, rows read already: %.2f\n",
                grid["repaint_at_900000"] / grid["repaint_at_1000"]);
    std::printf("the grid's arrays vs the raw size of the values: %.3f\n",
                grid["stored_bytes"] / rawBytes);
    std::printf("ratio first_screen_vs_raw_fetch %.3f <=0.3\n",
                grid["first_screen"] / (raw.elapsed * 1000));
    std::printf("ratio last_row_vs_qt %.3f <=0.8\n", grid["last_row"] / qt["last_row"]);
    std::printf("ratio memory_vs_raw %.3f <=1.2\n", grid["memory"] / rawBytes);
    std::printf("ratio memory_vs_qt %.3f <=1.0\n", grid["memory"] / qt["memory"]);
    std::printf("ratio row900000_vs_row1000 %.3f <=2\n", grid["row_900000"] / grid["row_1000"]);
    return 0;
}
