#pragma once

// The baselines of the benchmarks: the same work written directly against the
// Firebird client's C API, without the library, as a careful programmer would.

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ibase.h>
#include <memory>
#include <vector>

#include "dvtBenchSupport.h"

namespace dvt::bench::raw {

inline void Check(ISC_STATUS *status, const char *what)
{
    if (status[0] == 1 && status[1] != 0) {
        char text[512];
        const ISC_STATUS *p = status;
        fb_interpret(text, sizeof text, &p);
        BenchDatabase::Fail(QStringLiteral("%1: %2").arg(QLatin1String(what), QLatin1String(text)));
    }
}

struct FreeSqlda
{
    void operator()(XSQLDA *sqlda) const { std::free(sqlda); }
};
using Sqlda = std::unique_ptr<XSQLDA, FreeSqlda>;

inline Sqlda AllocSqlda(int count)
{
    Sqlda sqlda(static_cast<XSQLDA *>(std::calloc(1, XSQLDA_LENGTH(count))));
    sqlda->version = SQLDA_VERSION1;
    sqlda->sqln = static_cast<ISC_SHORT>(count);
    return sqlda;
}

// An attachment with UTF8 text and one transaction on it, committed by Commit.
class Connection
{
public:
    explicit Connection(const QString &database)
    {
        const QByteArray name = database.toUtf8();
        const char dpb[] = {isc_dpb_version1, isc_dpb_lc_ctype, 4, 'U', 'T', 'F', '8'};
        isc_attach_database(status, 0, name.constData(), &db, sizeof dpb, dpb);
        Check(status, "attach");
        static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                                   isc_tpb_rec_version, isc_tpb_wait};
        isc_start_transaction(status, &tr, 1, &db, short(sizeof tpb), tpb);
        Check(status, "start transaction");
    }
    ~Connection()
    {
        if (tr)
            isc_rollback_transaction(status, &tr);
        isc_detach_database(status, &db);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    isc_stmt_handle Prepare(const char *sql, XSQLDA *out)
    {
        isc_stmt_handle statement = 0;
        isc_dsql_allocate_statement(status, &db, &statement);
        Check(status, "allocate");
        isc_dsql_prepare(status, &tr, &statement, 0, sql, 1, out);
        Check(status, sql);
        return statement;
    }

    void Commit()
    {
        isc_commit_transaction(status, &tr);
        Check(status, "commit");
    }

    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
};

// Inserts the rows into the table (of TableColumns) with one prepared INSERT
// whose parameters take the values in their native types, the date as its
// "mm/dd/yyyy" text and the memo as its text, which the engine writes into a
// blob itself (cheaper than a blob written through the API for each row, and
// how the library binds a memo); one transaction.
inline void Insert(const QString &database, const QString &table, const std::vector<Row> &rows)
{
    Connection c(database);
    const QByteArray sql = QStringLiteral("insert into %1 (CODE, NAME, KIND, AMOUNT, ISSUED, NOTE) "
                                          "values (?, ?, ?, ?, ?, ?)")
                               .arg(table)
                               .toUtf8();
    isc_stmt_handle statement = c.Prepare(sql.constData(), nullptr);
    Sqlda in = AllocSqlda(6);
    isc_dsql_describe_bind(c.status, &statement, 1, in.get());
    Check(c.status, "describe bind");
    ISC_LONG code = 0;
    double amount = 0;
    short indicators[6] = {};
    QByteArray name, kind, issued, noteText;
    const auto text = [&](int i, const QByteArray &bytes) {
        in->sqlvar[i].sqltype = SQL_TEXT | 1;
        in->sqlvar[i].sqllen = static_cast<ISC_SHORT>(bytes.size());
        in->sqlvar[i].sqldata = const_cast<char *>(bytes.constData());
    };
    for (int i = 0; i < 6; ++i)
        in->sqlvar[i].sqlind = &indicators[i];
    in->sqlvar[0].sqltype = SQL_LONG | 1;
    in->sqlvar[0].sqldata = reinterpret_cast<char *>(&code);
    in->sqlvar[3].sqltype = SQL_DOUBLE | 1;
    in->sqlvar[3].sqldata = reinterpret_cast<char *>(&amount);
    in->sqlvar[5].sqlsubtype = 0; // the memo's bytes in no character set, as a blob's are
    for (const Row &row : rows) {
        code = row.code;
        name = row.name.toUtf8();
        kind = row.kind.toUtf8();
        issued = row.issued.toUtf8();
        noteText = row.note.toUtf8();
        text(1, name);
        text(2, kind);
        text(4, issued);
        text(5, noteText);
        amount = row.amount;
        indicators[1] = row.name.isEmpty() ? -1 : 0;
        indicators[3] = row.amountNull ? -1 : 0;
        indicators[5] = row.note.isEmpty() ? -1 : 0;
        isc_dsql_execute(c.status, &c.tr, &statement, 1, in.get());
        Check(c.status, "insert");
    }
    isc_dsql_free_statement(c.status, &statement, DSQL_drop);
    c.Commit();
}

// Reads every row of "select * from TABLE" into memory: each row's values as
// their bytes, the text of memos read from their blobs. Answers the row count.
inline qint64 FetchAll(const QString &database, const QString &table)
{
    Connection c(database);
    Sqlda out = AllocSqlda(16);
    const QByteArray sql = ("select * from " + table).toUtf8();
    isc_stmt_handle statement = c.Prepare(sql.constData(), out.get());
    const int count = out->sqld;
    std::vector<std::vector<char>> buffers(static_cast<size_t>(count));
    std::vector<short> indicators(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        XSQLVAR &var = out->sqlvar[i];
        buffers[size_t(i)].resize(size_t(var.sqllen) + 2);
        var.sqldata = buffers[size_t(i)].data();
        var.sqlind = &indicators[size_t(i)];
    }
    isc_dsql_execute(c.status, &c.tr, &statement, 1, nullptr);
    Check(c.status, "execute");
    std::vector<char> memory;
    memory.reserve(size_t(1) << 26);
    qint64 rows = 0;
    while (isc_dsql_fetch(c.status, &statement, 1, out.get()) == 0) {
        ++rows;
        for (int i = 0; i < count; ++i) {
            const XSQLVAR &var = out->sqlvar[i];
            if (indicators[size_t(i)] < 0)
                continue;
            const short type = var.sqltype & ~1;
            if (type == SQL_BLOB) {
                // Read up to the length asked for first: finding the end by one
                // more call costs an exception inside the engine.
                isc_blob_handle blob = 0;
                ISC_QUAD id;
                std::memcpy(&id, var.sqldata, sizeof id);
                isc_open_blob2(c.status, &c.db, &c.tr, &blob, &id, 0, nullptr);
                static const char item[] = {isc_info_blob_total_length};
                char info[16];
                isc_blob_info(c.status, &blob, sizeof item, item, sizeof info, info);
                Check(c.status, "blob");
                const auto total =
                    size_t(isc_vax_integer(info + 3, short(isc_vax_integer(info + 1, 2))));
                const size_t start = memory.size();
                memory.resize(start + total);
                for (size_t at = 0; at < total;) {
                    unsigned short length = 0;
                    isc_get_segment(
                        c.status, &blob, &length,
                        static_cast<unsigned short>(std::min<size_t>(total - at, 32768)),
                        memory.data() + start + at);
                    at += length;
                }
                isc_close_blob(c.status, &blob);
            } else {
                const int length =
                    type == SQL_VARYING ? 2 + *reinterpret_cast<short *>(var.sqldata) : var.sqllen;
                memory.insert(memory.end(), var.sqldata, var.sqldata + length);
            }
        }
    }
    isc_dsql_free_statement(c.status, &statement, DSQL_drop);
    c.Commit();
    return rows;
}

} // namespace dvt::bench::raw
