#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "../db/dvtPanelDatabase.h"
#include "dvControlPanel.h"
#include "dvGrid.h"
#include "dvGridModel.h"
#include "dvPopups.h"
#include "dvQuery.h"
#include "dvtApplication.h"
#include "dvtFormatSettings.h"
#include "dvtGridTestSupport.h"
#include "dvtTestForm.h"
#include "dvtTestTables.h"

using namespace Qt::StringLiterals;

namespace {

// A form holding one grid, loaded with a statement and shown with the focus on
// the grid.
struct GridForm
{
    TestForm<> form;
    TdvGrid *grid = form.add<TdvGrid>(u"Grid"_s);

    bool show(const QString &select, const QString &headers = {}, const QString &formats = {})
    {
        grid->SetSelect(select);
        grid->SetHeaders(headers);
        grid->SetFormats(formats);
        grid->Load();
        form.resize(700, 300);
        if (!form.showForm())
            return false;
        grid->setFocus();
        grid->grab(); // drawn once: the header tags and the visible rows exist
        return grid->hasFocus();
    }

    void clickCell(int col, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        dvt::test::ClickCell(grid, col, row, button);
    }
    void shiftClickHeader(int col) { dvt::test::ClickCaption(grid, col); }
    // Columns of dark pixels in the drawn cell: where its text starts and ends,
    // relative to the cell's left and right edges.
    QPair<int, int> inkMargins(int col, int row) const
    {
        const QModelIndex index =
            grid->Model()->index(row - 1, grid->horizontalHeader()->logicalIndex(col));
        const QRect rect = grid->visualRect(index);
        const QImage image = grid->viewport()->grab(rect).toImage();
        int first = -1;
        int last = -1;
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                if (qGray(image.pixel(x, y)) < 100) {
                    first = first < 0 ? x : first;
                    last = x;
                    break;
                }
            }
        }
        return {first, image.width() - 1 - last};
    }
};

// Records the engine has read on this connection so far, and the number of
// the transaction that asks (transactions are numbered as they start).
std::pair<qint64, qint64> EngineCounters()
{
    TdvQuery query;
    if (!query.Select(u"select s.mon$record_seq_reads + s.mon$record_idx_reads, "
                      u"current_transaction from mon$attachments a join mon$record_stats s "
                      u"on s.mon$stat_id = a.mon$stat_id "
                      u"where a.mon$attachment_id = current_connection"_s))
        return {-1, -1};
    return {query.AsLargeInt(0), query.AsLargeInt(1)};
}

const QString AllColumns = u"select code, name, flag, amount, born, note from t order by code"_s;

} // namespace

class tst_dvGrid : public QObject
{
    Q_OBJECT

    dvt::test::PanelDatabase m_db;
    TdvControlPanel *m_panel = m_db.panel;

    static bool run(const QString &statement) { return dvt::test::PanelDatabase::run(statement); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_db.open(u"grid.fdb"_s));
        QVERIFY(run(u"create table T (CODE integer not null primary key, NAME varchar(20), "
                    u"FLAG char(1), AMOUNT double precision, BORN date, NOTE blob sub_type text, "
                    u"ACTIVE boolean)"_s));
        QVERIFY(run(u"insert into T values (1, 'Smith', 'Y', 2.5, '12/31/1999', 'memo', true)"_s));
        QVERIFY(
            run(u"insert into T values (2, 'Jones', 'N', 1234.5, '01/15/2000', null, false)"_s));
        QVERIFY(run(u"insert into T values (3, 'Brown', 'T', null, null, null, null)"_s));
        QVERIFY(run(u"insert into T values (4, 'Green', '1', 7, '02/29/2000', null, true)"_s));
        QVERIFY(run(u"insert into T values (5, 'White', 'Y', -3, '03/01/2000', null, false)"_s));
        // Many rows; the same with NULL keys first, and with runs of 300 equal keys.
        QVERIFY(m_db.createBig(200000));
        QVERIFY(run(u"create table NULLKEY (K integer, LABEL varchar(20))"_s));
        QVERIFY(run(u"insert into NULLKEY select iif(ID <= 10000, null, ID), LABEL from BIG"_s));
        QVERIFY(run(u"create index NULLKEY_K on NULLKEY (K)"_s));
        QVERIFY(run(u"create table SAMEKEY (K integer)"_s));
        QVERIFY(run(u"insert into SAMEKEY select ID - mod(ID, 300) from BIG"_s));
    }

    void init()
    {
        dvt::FormatSettings() = dvt::TFormatSettings();
        dvPopups::ResetOpenRequests();
        m_panel->SetHighlight(dvt::clWindow);
        m_panel->SetCloseOnEsc(false);
    }

    void cleanup() { dvt::SetMainForm(&m_db.mainForm); }

    void selectIsStoredTrimmedAndLowerCased()
    {
        TdvGrid grid;
        QSignalSpy changed(&grid, &TdvGrid::selectChanged);
        grid.SetSelect(u"  SELECT Name FROM T where NAME = 'Ab'\r\n"_s);
        QCOMPARE(grid.Select(), u"select name from t where name = 'ab'"_s);
        grid.SetSelect(u"select name from t where name = 'ab'"_s);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(grid.RowCount(), 2);
        QCOMPARE(grid.ColCount(), 5);
    }

    void misuseIsLogged()
    {
        TdvGrid grid;
        grid.setObjectName(u"Orders"_s);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Orders.*has no cell 9 1"_s));
        grid.SetCells(9, 1, u"x"_s);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"Orders.*without a Select"_s));
        grid.Load();
        QCOMPARE(grid.RowCount(), 2);
    }

    void statementsReachTheLog()
    {
        QSignalSpy log(m_panel, &TdvControlPanel::statementExecuted);
        TdvGrid grid;
        grid.SetSelect(u"select id, label from big order by id"_s);
        grid.Load();
        QCOMPARE(grid.CellValue(1, 150000), u"row 150000"_s);
        QCOMPARE(grid.CellValue(1, 100000), u"row 100000"_s);
        QStringList statements;
        for (const QList<QVariant> &entry : std::as_const(log)) {
            QVERIFY(entry.at(1).toBool());
            statements << entry.at(0).toString();
        }
        // The statement, its count, the keys of the pages once, then each far page by its keys.
        QCOMPARE(statements.size(), 5);
        QCOMPARE(statements.at(0), grid.Select());
        QCOMPARE(statements.at(1), u"select count(*) from (select id, label from big )"_s);
        QVERIFY(statements.at(2).startsWith(u"execute block"_s));
        QCOMPARE(statements.at(3), u"select * from (select id, label from big order by id) "
                                   u"where id >= 149761 and id < 150017 rows 257"_s);
    }

    void loadShape_data()
    {
        const auto row = RowColumn<std::tuple<QString, int, int, QString>>();
        // statement, RowCount, ColCount, header tags after the first draw
        row("records + 1",
            {u"select code, name from t where code <= 3"_s, 4, 2, u"Code|0,Name|1"_s});
        row("empty result: one blank row",
            {u"select code, name from t where code < 0"_s, 2, 2, u"Code|0,Name|1"_s});
        row("all columns", {AllColumns, 6, 6, u"Code|0,Name|1,Flag|2,Amount|3,Born|4,Note|5"_s});
        row("failing statement: two rows, shape kept",
            {u"select nothing from nowhere"_s, 2, 5, u",,,,"_s});
        row("a statement that returns no rows",
            {u"delete from t where code < 0"_s, 2, 5, u",,,,"_s});
    }
    void loadShape()
    {
        const auto &[select, rows, cols, tags] = Row<std::tuple<QString, int, int, QString>>();
        GridForm f;
        QSignalSpy loaded(f.grid, &TdvGrid::loaded);
        QVERIFY(f.show(select));
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(f.grid->RowCount(), rows);
        QCOMPARE(f.grid->ColCount(), cols);
        QCOMPARE(f.grid->FixedRows(), 1);
        QStringList seen;
        for (int c = 0; c < cols; ++c)
            seen << f.grid->Cells(c, 0);
        QCOMPARE(seen.join(u','), tags);
        if (rows == 2) {
            for (int c = 0; c < cols; ++c)
                QCOMPARE(f.grid->Cells(c, 1), QString());
        }
    }

    void cellsAndCaptions_data()
    {
        const auto row = RowColumn<std::tuple<QString, QString, QString, int, QString, QString>>();
        // Headers, Formats, locale short date, column, rows 1..5 as drawn (joined
        // by ";"), caption
        const QString names = u"Smith;Jones;Brown;Green;White"_s;
        row("integer", {{}, {}, {}, 0, u"1;2;3;4;5"_s, u"Code"_s});
        row("text, caption from Headers", {u"Id,  Customer "_s, {}, {}, 1, names, u"Customer"_s});
        row("blank caption: the field's name", {u"Id,,Active?"_s, {}, {}, 1, names, u"Name"_s});
        row("Yes/No column by '?'",
            {u"Id,,Active?"_s, {}, {}, 2, u"Yes;No;No;No;Yes"_s, u"Active?"_s});
        row("a one-letter text elsewhere stays", {{}, {}, {}, 2, u"Y;N;T;1;Y"_s, u"Flag"_s});
        row("float default, NULL left empty", {{}, {}, {}, 3, u"2.5;1234.5;;7;-3"_s, u"Amount"_s});
        row("float with a quoted format",
            {{}, u",,,'%.2f'"_s, {}, 3, u"2.50;1234.50;;7.00;-3.00"_s, u"Amount"_s});
        row("money format",
            {{}, u",,,%m"_s, {}, 3, u"$2.50;$1,234.50;;$7.00;($3.00)"_s, u"Amount"_s});
        row("a format that does not fit: empty", {{}, u",,,%d"_s, {}, 3, u";;;;"_s, u"Amount"_s});
        row("date, the locale's short date",
            {{}, {}, {}, 4, u"12/31/1999;1/15/2000;;2/29/2000;3/1/2000"_s, u"Born"_s});
        const QString dmy = u"31/12/1999;15/01/2000;;29/02/2000;01/03/2000"_s;
        row("date with a format", {{}, u",,,,dd/mm/yyyy"_s, {}, 4, dmy, u"Born"_s});
        row("date in another locale",
            {{}, {}, u"d.m.yyyy"_s, 4, u"31.12.1999;15.1.2000;;29.2.2000;1.3.2000"_s, u"Born"_s});
        row("memo: no text", {{}, {}, {}, 5, u";;;;"_s, u"Note"_s});
        const QString padded = u"Smith   |;Jones   |;Brown   |;Green   |;White   |"_s;
        row("text with a format", {{}, u",%-8s|"_s, {}, 1, padded, u"Name"_s});
    }
    void cellsAndCaptions()
    {
        const auto &[headers, formats, shortDate, col, cells, caption] =
            Row<std::tuple<QString, QString, QString, int, QString, QString>>();
        if (!shortDate.isEmpty()) {
            dvt::FormatSettings().ShortDateFormat = shortDate;
            dvt::FormatSettings().DateSeparator = u'.';
        }
        GridForm f;
        QVERIFY(f.show(AllColumns, headers, formats));
        QStringList seen;
        for (int row = 1; row < f.grid->RowCount(); ++row)
            seen << f.grid->Cells(col, row);
        QCOMPARE(seen.join(u';'), cells);
        QCOMPARE(f.grid->Model()
                     ->headerData(f.grid->horizontalHeader()->logicalIndex(col), Qt::Horizontal)
                     .toString(),
                 caption);
    }

    void booleanField_data()
    {
        QTest::addColumn<QString>("formats");
        QTest::newRow("no format") << QString();
        QTest::newRow("a format is ignored") << u"%d,%d"_s;
    }
    void booleanField()
    {
        QFETCH(QString, formats);
        GridForm f;
        QVERIFY(f.show(u"select code, active from t order by code"_s, {}, formats));
        QStringList seen;
        for (int row = 1; row < f.grid->RowCount(); ++row)
            seen << f.grid->Cells(1, row);
        QCOMPARE(seen, (QStringList{u"Yes"_s, u"No"_s, {}, u"Yes"_s, u"No"_s}));
    }

    void alignment_data()
    {
        const auto row = RowColumn<std::tuple<int, bool>>();
        // column, drawn right-aligned
        row("integer: right", {0, true});
        row("text: left", {1, false});
        row("float: right", {3, true});
        row("date: left", {4, false});
    }
    void alignment()
    {
        const auto &[col, right] = Row<std::tuple<int, bool>>();
        GridForm f;
        QVERIFY(f.show(AllColumns));
        f.clickCell(5, 2); // the current cell elsewhere: row 1 is drawn plain
        const auto [left, rightMargin] = f.inkMargins(col, 1);
        QVERIFY2(left >= 0, "no text drawn");
        QVERIFY2(right ? rightMargin <= 4 && left > 10 : left <= 4,
                 qPrintable(u"margins %1, %2"_s.arg(left).arg(rightMargin)));
    }

    void longAndShortTexts()
    {
        // A page keeps one-byte lengths while every text fits them, else end offsets.
        TdvGrid grid;
        grid.SetSelect(u"select code, rpad(name, 300, '.') as wide, name from t order by code"_s);
        grid.Load();
        for (int row = 1; row <= 5; ++row) {
            const QString name = grid.CellValue(2, row);
            QCOMPARE(grid.CellValue(1, row), name.leftJustified(300, u'.'));
        }
        QCOMPARE(grid.CellValue(2, 5), u"White"_s);
    }

    void keyAndNullRows()
    {
        // A NULL in the first field leaves the row not loaded; the marker is
        // never shown and the other cells are still drawn.
        GridForm f;
        QVERIFY(f.show(u"select cast(null as integer) as k, name from t order by code"_s));
        QCOMPARE(f.grid->Cells(0, 1), QString());
        QCOMPARE(f.grid->CellValue(1, 1), u"Smith"_s);
        QVERIFY(!f.grid->Model()->RowLoaded(1));
        QCOMPARE(f.grid->Model()->data(f.grid->Model()->index(0, 0)).toString(), QString());
    }

    void shrunkResult()
    {
        // Rows deleted after Load: a page read afterwards shows them empty.
        QVERIFY(run(u"create table SHRINK (ID integer)"_s));
        QVERIFY(run(u"insert into SHRINK select ID from BIG where ID <= 3000"_s));
        TdvGrid grid;
        grid.SetSelect(u"select id from shrink order by id"_s);
        grid.Load();
        QCOMPARE(grid.RowCount(), 3001);
        QVERIFY(run(u"delete from SHRINK where ID > 1000"_s));
        QCOMPARE(grid.CellValue(0, 2), u"2"_s);
        QCOMPARE(grid.CellValue(0, 2500), QString());
        QCOMPARE(grid.CellValue(0, 1000), u"1000"_s);
    }

    void value_data()
    {
        const auto row = RowColumn<std::tuple<int, QString>>(); // row asked, value
        row("0 reads the current row", {0, u"Green"_s});
        row("a row above reads the current row", {2, u"Green"_s});
        row("a row below", {5, u"White"_s});
    }
    void value()
    {
        const auto &[asked, expected] = Row<std::tuple<int, QString>>();
        GridForm f;
        QVERIFY(f.show(AllColumns));
        f.grid->SetRow(4);
        QCOMPARE(f.grid->Value(u"NAME"_s, asked), expected);
        QCOMPARE(f.grid->Value(u"nothing"_s, asked), QString());
    }

    void refreshCell_data()
    {
        const auto row = RowColumn<std::tuple<QString, int, QString, QString>>();
        // Formats, column, typed text, text after leaving the cell
        row("float with a format", {u",,,%.1f"_s, 3, u"3.14159"_s, u"3.1"_s});
        row("float without a format stays", {{}, 3, u"3.14159"_s, u"3.14159"_s});
        row("integer stays", {{}, 0, u"0042"_s, u"0042"_s});
        row("date re-formatted", {{}, 4, u"1/2/03"_s, u"1/2/2003"_s});
        row("no date: stays as typed", {{}, 4, u"13/45/2000"_s, u"13/45/2000"_s});
    }
    void refreshCell()
    {
        const auto &[formats, col, typed, after] =
            Row<std::tuple<QString, int, QString, QString>>();
        GridForm f;
        QVERIFY(f.show(AllColumns, {}, formats));
        f.grid->SetCells(col, 1, typed);
        f.grid->RefreshCell(col, 1);
        QCOMPARE(f.grid->Cells(col, 1), after);
    }

    void typing_data()
    {
        const auto row = RowColumn<std::tuple<QString, int, QString, QString, int, int>>();
        // Headers, column, keys, cell text after Enter, calculator and calendar requests
        row("Yes/No: y", {u",,ok?"_s, 2, u"y"_s, u"Yes"_s, 0, 0});
        row("Yes/No: n", {u",,ok?"_s, 2, u"n"_s, u"No"_s, 0, 0});
        row("Yes/No: space toggles", {u",,ok?"_s, 2, u" "_s, u"No"_s, 0, 0});
        row("Yes/No: space twice", {u",,ok?"_s, 2, u"  "_s, u"Yes"_s, 0, 0});
        row("Yes/No: letters and digits swallowed", {u",,ok?"_s, 2, u"q7"_s, u"Yes"_s, 0, 0});
        row("numeric: digits and signs typed", {{}, 3, u"12.5*2"_s, u"12.5*2"_s, 0, 0});
        row("numeric: letters swallowed", {{}, 3, u"1x2"_s, u"12"_s, 0, 0});
        row("numeric: C empties", {{}, 3, u"C"_s, QString(), 0, 0});
        row("numeric: C in the editor empties it", {{}, 3, u"12c3"_s, u"3"_s, 0, 0});
        row("numeric: trigger opens the calculator", {{}, 3, u"?"_s, u"2.5"_s, 1, 0});
        row("first field: no filter, no pop-up", {{}, 0, u"?a"_s, u"?a"_s, 0, 0});
        row("date: plus", {{}, 4, u"+"_s, u"1/1/2000"_s, 0, 0});
        row("date: minus", {{}, 4, u"-"_s, u"12/30/1999"_s, 0, 0});
        row("date: trigger opens the calendar", {{}, 4, u"?"_s, u"12/31/1999"_s, 0, 1});
        row("date: letters swallowed in the editor", {{}, 4, u"1a/2"_s, u"1/2"_s, 0, 0});
        row("text: anything typed", {{}, 1, u"a?+"_s, u"a?+"_s, 0, 0});
        row("Esc in the editor puts the text back", {{}, 1, u"abc\x1b"_s, u"Smith"_s, 0, 0});
    }
    void typing()
    {
        const auto &[headers, col, keys, after, calculators, calendars] =
            Row<std::tuple<QString, int, QString, QString, int, int>>();
        GridForm f;
        QVERIFY(f.show(AllColumns, headers));
        f.grid->SetCol(col);
        QCOMPARE(f.grid->Col(), col);
        f.form.type(keys);
        f.form.key(Qt::Key_Return);
        QCOMPARE(f.grid->Cells(col, 1), after);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calculator), calculators);
        QCOMPARE(dvPopups::OpenRequests(dvPopups::Calendar), calendars);
    }

    void popupsWithoutEditing_data()
    {
        const auto row = RowColumn<std::tuple<int, bool>>(); // column, goEditing
        row("numeric, editing", {3, true});
        row("numeric, no editing", {3, false});
        row("date, editing", {4, true});
        row("date, no editing", {4, false});
    }
    void popupsWithoutEditing()
    {
        const auto &[col, editing] = Row<std::tuple<int, bool>>();
        GridForm f;
        if (!editing)
            f.grid->SetOptions(f.grid->Options() & ~TdvGrid::goEditing);
        QVERIFY(f.show(AllColumns));
        const auto popup = col == 3 ? dvPopups::Calculator : dvPopups::Calendar;
        f.clickCell(col, 2, Qt::RightButton);
        QCOMPARE(dvPopups::OpenRequests(popup), editing ? 1 : 0);
        if (editing) {
            QCOMPARE(dvPopups::LastOwner(popup), f.grid);
            QCOMPARE(f.grid->Row(), 2);
        }
        f.form.type(u"?x"_s);
        QCOMPARE(dvPopups::OpenRequests(popup), editing ? 2 : 0);
    }

    void sortByHeader()
    {
        GridForm f;
        QVERIFY(f.show(u"select code, name from t where code <= 3 order by code"_s));
        f.shiftClickHeader(1);
        QCOMPARE(f.grid->Select(), u"select code, name from t where code <= 3  order by Name"_s);
        QCOMPARE(f.grid->Model()->Statement(), f.grid->Select()); // the statement run
        f.grid->grab();
        QCOMPARE(f.grid->Cells(1, 1), u"Brown"_s);
        f.shiftClickHeader(1);
        QVERIFY(f.grid->Select().endsWith(u" order by Name descending"_s));
        f.grid->grab();
        QCOMPARE(f.grid->Cells(1, 1), u"Smith"_s);
        f.shiftClickHeader(0);
        QVERIFY(f.grid->Select().endsWith(u" order by Code"_s));
        // A plain click does not sort.
        const QString sorted = f.grid->Select();
        dvt::test::ClickCaption(f.grid, 1, Qt::NoModifier);
        QCOMPARE(f.grid->Select(), sorted);
    }

    void sortThatFailsChangesNothing_data()
    {
        QTest::addColumn<QString>("select");
        QTest::newRow("no rows") << u"select code, name from t where code < 0"_s;
        QTest::newRow("cannot take order by")
            << u"select first 2 code, name from t union select 9, 'x' from rdb$database"_s;
    }
    void sortThatFailsChangesNothing()
    {
        QFETCH(QString, select);
        GridForm f;
        QVERIFY(f.show(u"select code, name from t order by code"_s));
        f.grid->SetSelect(select);
        f.grid->Load();
        f.grid->grab();
        const QString before = f.grid->Cells(1, 1);
        const int rows = f.grid->RowCount();
        f.shiftClickHeader(1);
        QCOMPARE(f.grid->Select(), select);
        QCOMPARE(f.grid->Model()->Statement(), select);
        QCOMPARE(f.grid->RowCount(), rows);
        QCOMPARE(f.grid->Cells(1, 1), before);
    }

    void movedColumn()
    {
        // Public column numbers are visual; the tag travels with its column.
        GridForm f;
        QVERIFY(f.show(AllColumns));
        f.grid->horizontalHeader()->moveSection(1, 0);
        QCOMPARE(f.grid->Cells(0, 0), u"Name|1"_s);
        QCOMPARE(f.grid->Cells(0, 2), u"Jones"_s);
        QCOMPARE(f.grid->Value(u"code"_s, 2), u"2"_s);
        f.grid->SetCol(0);
        f.form.type(u"Z"_s);
        f.form.key(Qt::Key_Return);
        QCOMPARE(f.grid->Cells(0, 1), u"Z"_s);
        f.grid->Load();
        QCOMPARE(f.grid->horizontalHeader()->logicalIndex(0), 0);
    }

    void exitChangedRow_data()
    {
        using Keys = QList<Qt::Key>;
        const auto row = RowColumn<std::tuple<QString, Keys, QList<int>, QList<int>>>();
        // typed into row 3, keys pressed then, rows reported, and after one more Down
        row("edit then down", {u"x"_s, {Qt::Key_Down}, {3}, {3}});
        row("edit then up", {u"x"_s, {Qt::Key_Up}, {3}, {3}});
        row("edit, Enter, then down", {u"x"_s, {Qt::Key_Return, Qt::Key_Down}, {3}, {3}});
        row("edit then right: same row", {u"x"_s, {Qt::Key_Return, Qt::Key_Right}, {}, {3}});
        row("a trailing blank is no change", {u" "_s, {Qt::Key_Down}, {}, {}});
        row("nothing typed", {QString(), {Qt::Key_Down}, {}, {}});
    }
    void exitChangedRow()
    {
        const auto &[typed, keys, reported, afterDown] =
            Row<std::tuple<QString, QList<Qt::Key>, QList<int>, QList<int>>>();
        GridForm f;
        QVERIFY(f.show(AllColumns));
        QList<int> calls;
        f.grid->OnExitChangedRow = [&](QObject *sender, int row) {
            QCOMPARE(sender, f.grid);
            calls << row;
        };
        QSignalSpy signal(f.grid, &TdvGrid::exitChangedRow);
        f.clickCell(1, 3);
        QTest::keyClick(f.form.windowHandle(), Qt::Key_F2); // edit, keeping the text
        f.form.key(Qt::Key_End);
        f.form.type(typed);
        for (const Qt::Key key : keys)
            f.form.key(key);
        QCOMPARE(calls, reported);
        QCOMPARE(signal.count(), reported.size());
        // The flag goes with the call: one more move reports only what was left.
        f.form.key(Qt::Key_Down);
        QCOMPARE(calls, afterDown);
    }

    void exitChangedRowOnFocusLoss()
    {
        GridForm f;
        auto *other = f.form.add<QLineEdit>(u"Other"_s);
        QVERIFY(f.show(AllColumns));
        QList<int> calls;
        f.grid->OnExitChangedRow = [&](QObject *, int row) { calls << row; };
        f.clickCell(1, 2);
        f.form.type(u"Kim"_s);
        f.form.key(Qt::Key_Return);
        QCOMPARE(calls, QList<int>());
        other->setFocus();
        QTRY_COMPARE(calls, QList<int>{2});
        QCOMPARE(f.grid->Cells(1, 2), u"Kim"_s);
    }

    void noSelectCells()
    {
        GridForm f;
        auto *other = f.form.add<QLineEdit>(u"Other"_s);
        QVERIFY(f.show(AllColumns));
        f.grid->SetNoSelectCells(7); // more than ColCount: ignored
        QCOMPARE(f.grid->NoSelectCells(), 0);
        f.grid->SetNoSelectCells(1);
        other->setFocus();
        QVERIFY(other->hasFocus());
        f.clickCell(0, 3); // column 0 is not selectable: the focus comes, the cell stays
        QCOMPARE(f.grid->Row(), 1);
        QCOMPARE(f.grid->Col(), 1);
        QCOMPARE(f.grid->Selection(), (TGridRect{1, 1, 1, 1}));
        f.clickCell(2, 3);
        QCOMPARE(f.grid->Col(), 2);
        f.form.key(Qt::Key_Left);
        f.form.key(Qt::Key_Left);
        QCOMPARE(f.grid->Col(), 1);
    }

    void selectCellHandlerVetoes()
    {
        GridForm f;
        QVERIFY(f.show(AllColumns));
        f.grid->OnSelectCell = [](QObject *, int, int row, bool &canSelect) {
            canSelect = row != 4;
        };
        f.form.key(Qt::Key_Down);
        f.form.key(Qt::Key_Down);
        f.form.key(Qt::Key_Down);
        QCOMPARE(f.grid->Row(), 3);
    }

    void highlight_data()
    {
        const auto row = RowColumn<std::tuple<quint32, quint32, QColor>>();
        // panel's Highlight, grid's Highlight, colour of the focused cell
        row("panel wins", {dvt::clYellow.value(), dvt::clAqua.value(), Qt::yellow});
        row("grid's own", {dvt::clWindow.value(), dvt::clAqua.value(), Qt::cyan});
        row("neither: the grid's colour as loaded",
            {dvt::clWindow.value(), dvt::clWindow.value(), Qt::magenta});
    }
    void highlight()
    {
        const auto &[panel, own, expected] = Row<std::tuple<quint32, quint32, QColor>>();
        GridForm f;
        dvt::SetColor(f.grid, dvt::clFuchsia);
        f.grid->SetHighlight(dvt::TColor(own));
        QVERIFY(f.show(AllColumns));
        dvt::SetMainForm(&m_db.mainForm); // where the panel is
        m_panel->SetHighlight(dvt::TColor(panel));
        f.clickCell(1, 2);
        const QModelIndex index = f.grid->currentIndex();
        const QImage image = f.grid->viewport()->grab(f.grid->visualRect(index)).toImage();
        QCOMPARE(image.pixelColor(image.width() - 3, image.height() - 3), expected);
    }

    void escape_data()
    {
        const auto row = RowColumn<std::tuple<bool, bool, bool>>();
        row("neither", {false, false, true});
        row("the grid's", {true, false, false});
        row("the panel's", {false, true, false});
    }
    void escape()
    {
        const auto &[own, panel, stillOpen] = Row<std::tuple<bool, bool, bool>>();
        GridForm f;
        f.grid->SetCloseOnEsc(own);
        QVERIFY(f.show(AllColumns));
        dvt::SetMainForm(&m_db.mainForm);
        m_panel->SetCloseOnEsc(panel);
        f.form.key(Qt::Key_Escape);
        QCOMPARE(f.form.isVisible(), stillOpen);
    }

    void modelTester()
    {
        TdvGrid grid;
        grid.SetSelect(u"select id, label from big where id <= 300 order by id"_s);
        grid.Load();
        QAbstractItemModelTester tester(grid.Model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(grid.Model()->rowCount(), 300);
        QCOMPARE(grid.CellValue(1, 300), u"row 300"_s);
        grid.Model()->setData(grid.Model()->index(5, 1), u"edited"_s);
        QCOMPARE(grid.Cells(1, 6), u"edited"_s);
        grid.SetSelect(u"select id from big where id <= 20"_s);
        grid.Load();
        QCOMPARE(grid.Model()->rowCount(), 20);
    }

    void largeResultFetchesWhatIsDrawn()
    {
        GridForm f;
        QVERIFY(f.show(u"select id, label from big order by id"_s));
        QCOMPARE(f.grid->RowCount(), 200001);
        const qint64 opened = f.grid->Model()->FetchedRows();
        QVERIFY2(opened > 0 && opened <= 256, qPrintable(QString::number(opened)));
        f.form.key(Qt::Key_End, Qt::ControlModifier);
        f.grid->grab();
        QCOMPARE(f.grid->Row(), 200000);
        QCOMPARE(f.grid->Cells(1, 200000), u"row 200000"_s);
        const qint64 atEnd = f.grid->Model()->FetchedRows();
        QVERIFY2(atEnd <= 2 * 256, qPrintable(QString::number(atEnd)));
        // Rows in the middle, reached by value, cost a page each.
        QCOMPARE(f.grid->CellValue(0, 100000), u"100000"_s);
        QVERIFY(f.grid->Model()->FetchedRows() <= 3 * 256);
    }

    void farPages_data()
    {
        const auto row = RowColumn<std::tuple<QString, QList<int>, QStringList, bool>>();
        // statement; rows read in this order; their first two cells; whether a far page
        // costs the engine a page's records once the first one was read
        const QList<int> rows{150000, 3000, 199999, 120000};
        const auto cells = [](const QList<int> &keys, const QString &label) {
            QStringList texts;
            for (int key : keys)
                texts << QString::number(key) << label.arg(key);
            return texts;
        };
        row("ascending by the key",
            {u"select id, label from big order by id"_s, rows, cells(rows, u"row %1"_s), true});
        row("descending by the key", {u"select id, label from big order by id descending"_s, rows,
                                      cells({50001, 197001, 2, 80001}, u"row %1"_s), true});
        row("by its first column", {u"select id, label from big order by 1 desc"_s, rows,
                                    cells({50001, 197001, 2, 80001}, u"row %1"_s), true});
        row("a join", {u"select b.id, c.label from big b join big c on c.id = b.id order by 1"_s,
                       rows, cells(rows, u"row %1"_s), true});
        row("NULL keys first", {u"select k, label from nullkey order by k"_s,
                                {150000, 10001, 20000},
                                cells({150000, 10001, 20000}, u"row %1"_s),
                                true});
        row("runs of equal keys",
            {u"select k, k + 1 as next from samekey order by k"_s,
             {150000, 3000, 120301},
             {u"150000"_s, u"150001"_s, u"3000"_s, u"3001"_s, u"120300"_s, u"120301"_s},
             false});
        row("ordered by another column",
            {u"select id, 0 - id as down from big where label not like '%2%x' order by down"_s,
             rows, cells({50001, 197001, 2, 80001}, u"-%1"_s), false});
        row("a common table expression",
            {u"with b2 as (select id, label from big) select id, label from b2 order by id"_s, rows,
             cells(rows, u"row %1"_s), false});
    }
    void farPages()
    {
        const auto &[select, rows, cells, byKey] =
            Row<std::tuple<QString, QList<int>, QStringList, bool>>();
        TdvGrid grid;
        grid.SetSelect(select);
        grid.Load();
        QCOMPARE(grid.RowCount(), 200001);
        QStringList seen;
        std::pair<qint64, qint64> before;
        qint64 fetched = 0;
        for (int row : rows) {
            before = EngineCounters();
            fetched = grid.Model()->FetchedRows();
            seen << grid.CellValue(0, row) << grid.CellValue(1, row);
        }
        QCOMPARE(seen, cells);
        if (byKey) {
            // The last page, far from the others, by its keys: a page of records,
            // and no transaction started besides the one asking.
            const auto [records, transaction] = EngineCounters();
            QVERIFY2(records - before.first < 1000, qPrintable(QString::number(records)));
            QCOMPARE(transaction - before.second, 1);
            QCOMPARE(grid.Model()->FetchedRows() - fetched, 256);
        }
    }

    void exactValues_data()
    {
        const auto row = RowColumn<std::tuple<QString, QString, QString, QString>>();
        // column type, values in one page (SQL), format, texts; the lists joined by ";"
        row("integers over their whole range", {u"integer"_s, u"-2147483648;2147483647;null;0;-1"_s,
                                                QString(), u"-2147483648;2147483647;;0;-1"_s});
        row("one value throughout", {u"smallint"_s, u"-7;-7;-7"_s, {}, u"-7;-7;-7"_s});
        row("fixed-point numbers", {u"numeric(9,2)"_s, u"-9999999.99;9999999.99;null;12.30"_s,
                                    QString(), u"-9999999.99;9999999.99;;12.3"_s});
        row("dates and times around the engine's first day",
            {u"date"_s,
             u"'11/16/1858 23:59:59';'11/17/1858';null;'12/31/1999 12:30:00';'01/01/1600'"_s,
             u",yyyy-mm-dd hh:nn:ss"_s,
             u"1858-11-16 23:59:59;1858-11-17 00:00:00;;1999-12-31 12:30:00;1600-01-01 00:00:00"_s});
        row("Booleans", {u"boolean"_s, u"true;false;null;true"_s, {}, u"Yes;No;;Yes"_s});
        row("texts of one length", {u"char(2)"_s, u"'ab';'cd';'ef'"_s, {}, u"ab;cd;ef"_s});
    }
    void exactValues()
    {
        const auto &[type, valueList, formats, texts] =
            Row<std::tuple<QString, QString, QString, QString>>();
        const QStringList values = valueList.split(u';');
        QVERIFY(run(u"recreate table EXACT (ID integer, V %1)"_s.arg(type)));
        for (int i = 0; i < values.size(); ++i)
            QVERIFY(run(u"insert into EXACT values (%1, %2)"_s.arg(i).arg(values[i])));
        TdvGrid grid;
        grid.SetSelect(u"select id, v from exact order by id"_s);
        grid.SetFormats(formats);
        grid.Load();
        QStringList seen;
        for (int row = 1; row < grid.RowCount(); ++row)
            seen << grid.CellValue(1, row);
        QCOMPARE(seen.join(u';'), texts);
    }
};

QTEST_MAIN(tst_dvGrid)
#include "tst_dvGrid.moc"
