// The import line reader and header matcher: the first byte chooses the
// separator, scrambling and the encoding the file is read in, the rest is the file.
// Each input is imported into a table of a database made once per process,
// inside a transaction that is rolled back.

#include <QFile>
#include <QTemporaryDir>

#include "dvControlPanel.h"
#include "dvQuery.h"
#include "dvTransfer.h"
#include "dvtFuzz.h"
#include "dvtTestDatabase.h"

using namespace Qt::StringLiterals;

namespace dvt::fuzz {

namespace {

// A table with a column of every kind the export writes, and its generator.
struct Database
{
    Database()
    {
        if (!db.isValid())
            throw Violation(db.error());
        db.configure(panel);
        TdvQuery query;
        for (const QString &statement :
             {u"create table T (CODE integer, NAME varchar(20), AMOUNT double precision, "
              "PRICE numeric(15,2), BORN date, FLAG boolean, NOTES blob sub_type text, "
              "TAG char(3))"_s,
              u"create generator T"_s}) {
            if (!query.Execute(statement))
                throw Violation(query.Error());
        }
    }

    test::TestDatabase db;
    TdvControlPanel panel;
    QTemporaryDir folder;
};

// The lines the file holds, ended by LF or by its end.
qsizetype lineCount(const QByteArray &bytes)
{
    return bytes.count('\n') + (bytes.isEmpty() || bytes.endsWith('\n') ? 0 : 1);
}

} // namespace

int fuzzImport(const uint8_t *data, size_t size)
{
    static Database database;
    Input input(data, size);
    const quint8 choice = input.Byte();
    const QChar separator = QStringView(u";,|\t")[choice & 3];
    const bool scrambled = choice & 4;
    constexpr TTextEncoding encodings[] = {TTextEncoding::Detect, TTextEncoding::Utf8,
                                           TTextEncoding::Windows1252, TTextEncoding::Detect};
    const TTextEncoding encoding = encodings[(choice >> 3) & 3];
    const QByteArray bytes = input.RestBytes();
    const QString fileName = database.folder.filePath(u"T.dat"_s);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw Violation(u"cannot write %1"_s.arg(fileName));
    file.close();

    if (!database.panel.StartTransaction())
        throw Violation(u"no transaction: %1"_s.arg(database.panel.LastError()));
    struct RollbackAtEnd
    {
        ~RollbackAtEnd() { panel.Rollback(); }
        TdvControlPanel &panel;
    } rollback{database.panel};

    TImportReport report;
    dvImport(u"T"_s, fileName, separator, scrambled, &report, encoding);
    // Every data line is stored or refused, unless the import stopped early.
    const qint64 lines = qMax(lineCount(bytes) - 1, qsizetype(0)); // after the header
    const qint64 counted = report.RowsStored + report.LinesRefused;
    if (report.Stopped ? counted > lines + 1 : counted != lines)
        throw Violation(u"%1 stored + %2 refused of %3 lines"_s.arg(report.RowsStored)
                            .arg(report.LinesRefused)
                            .arg(lines));
    if (report.Refused.size() != qMin(report.LinesRefused, qint64(TImportReport::MaxRefusals)))
        throw Violation(
            u"%1 refusals listed of %2"_s.arg(report.Refused.size()).arg(report.LinesRefused));
    TdvQuery query;
    if (!query.Select(u"select count(*) from T"_s) || query.AsLargeInt(0) != report.RowsStored)
        throw Violation(
            u"%1 rows stored, %2 reported"_s.arg(query.AsLargeInt(0)).arg(report.RowsStored));
    return 0;
}

} // namespace dvt::fuzz
