#pragma once

// Internal: the rows of the grid's SELECT, read from the database in pages and
// kept column-wise in typed arrays.

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

#include "dvtFieldDef.h"

namespace dvt {

class TDatabase;
namespace fb {
class Cursor;
} // namespace fb

// The result of one SELECT with a known row count, read lazily.
//
// Opening runs "select count(*) from (statement)" for the count (one scan in
// the server, nothing transferred; a final "order by" is left out of it) and
// opens the statement itself as a forward-only cursor. Rows are then read a page (PageRows rows) at
// a time:
//   - the page right after the ones already streamed, or one a few pages
//     ahead, comes from that cursor, which reads on where it stopped;
//   - a page further away is read on its own by the statement limited to
//     that page ("... rows a to b"), so that reaching the last row of a large
//     result reads that page only.
// A statement that cannot be counted that way (a "with" query, say) is read
// to its end at once; one that cannot be limited is streamed up to the page.
//
// Values live per page in one allocation, per column in one array of their
// type: 32- or 64-bit integers, doubles (floats, and date-times as TDateTime
// days), Booleans as bytes, texts as their UTF-8 bytes with one byte of length
// each (end offsets when a text is longer); NULL is one bit. Columns of types
// the grid shows no text for (blobs, binary text) are not kept. A page, once
// read, stays until the result is closed.
class GridResult
{
public:
    static constexpr int PageRows = 256;

    GridResult();
    ~GridResult();
    GridResult(const GridResult &) = delete;
    GridResult &operator=(const GridResult &) = delete;

    // Opens the statement on the connection named databaseName. Answers false,
    // with the database's message in *error, when it cannot be opened; an empty
    // result opens.
    bool open(const QString &databaseName, const QString &statement, QString *error);
    void close();
    bool isOpen() const { return m_open; }
    const QString &statement() const { return m_statement; }

    const QList<TFieldDef> &fieldDefs() const { return m_defs; }
    int rowCount() const { return m_rowCount; }

    // Reads the page holding row (counted from 0) when it is not read yet.
    // False when the result has no such row (it shrank since it was counted).
    bool fetch(int row);

    // Values of a fetched row. Each reads the value as its column keeps it:
    // integer() for integer columns, number() for floats and date-times,
    // boolean() and text() for theirs.
    bool isNull(int row, int field) const;
    qint64 integer(int row, int field) const;
    double number(int row, int field) const;
    bool boolean(int row, int field) const;
    QString text(int row, int field) const;

    // Rows read from the database since open, and the bytes their values take
    // here: what tests and benchmarks look at.
    qint64 fetchedRows() const { return m_fetchedRows; }
    qint64 storedBytes() const;

private:
    struct Page;
    struct Builder;
    enum class Kind { None, Int32, Int64, Double, DateTime, Bool, Text };
    enum class Window { Untried, Appended, Derived, None };

    static Kind KindOf(TFieldType type);

    // Copies the cursor's current row into the page being read.
    void appendRow(const fb::Cursor &cursor);
    // Reads up to PageRows rows from the cursor into page index.
    void readPage(int index, fb::Cursor &cursor);
    bool streamTo(int page);
    bool readWindow(int page);
    QString windowStatement(Window form, int first, int last) const;
    // Opens a statement on the connection; *error tells why it could not.
    bool openCursor(fb::Cursor &cursor, const QString &statement, QString *error = nullptr);
    const Page *pageOf(int row) const;

    bool m_open = false;
    QString m_statement;
    QString m_databaseName;
    QList<TFieldDef> m_defs;
    std::vector<Kind> m_kinds;
    int m_rowCount = 0;
    qint64 m_fetchedRows = 0;
    std::unique_ptr<fb::Cursor> m_stream;
    int m_streamPage = 0; // the page the cursor's current row belongs to
    Window m_window = Window::Untried;
    std::vector<std::unique_ptr<Page>> m_pages;
    std::unique_ptr<Builder> m_builder; // reused for every page
};

} // namespace dvt
