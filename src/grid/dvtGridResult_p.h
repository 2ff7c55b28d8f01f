#pragma once

// Internal: the rows of the grid's SELECT, read from the database in pages and
// kept column-wise in typed arrays.

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "dvtFieldDef.h"
#include "dvtFirebird_p.h"

namespace dvt {

class TDatabase;
namespace fb {
class Cursor;
} // namespace fb

// The result of one SELECT with a known row count, read lazily.
//
// Opening runs "select count(*) from (statement)" for the count (one scan in
// the server, nothing transferred; a final "order by" is left out of it) and
// opens the statement itself as a forward-only cursor. Rows are then read a
// page (PageRows rows) at a time:
//   - the page right after the ones already streamed, or one a few pages
//     ahead, comes from that cursor, which reads on where it stopped;
//   - a page further away, when the statement ends by ordering its rows by its
//     first field, an integer (the grid's key), is read by the range of keys
//     it holds: "select * from (statement) where KEY >= a and KEY < b", which
//     the server answers from the key's index without passing the rows before
//     it. Before the first such page, the key at the start of every page is
//     read, once per result: an "execute block" loops over "select KEY from
//     (statement)" in the server, one pass over the rows in their order, and
//     sends one row per page (its first key, the key before it, its number).
//     A page that starts among rows of the same key or with a NULL key, or
//     whose range does not give back exactly its rows in order (the rows
//     changed since), is read as any other;
//   - any other page far away is read on its own by the statement limited to
//     that page ("... rows a to b"), which the server answers by passing the
//     rows before it, so that reaching the last row of a large result reads
//     that page only.
// A statement that cannot be counted that way (a "with" query, say) is read
// to its end at once; one that cannot be limited is streamed up to the page.
// While the stream is open, the other statements run in its transaction:
// starting one writes to the database file, which costs more than a page.
//
// Values live per page in one allocation, per column in one array: exact
// values (integers, fixed-point numbers, dates and times, Booleans) as base +
// step × n, n in the fewest bytes that hold the page's largest (sequential
// keys, and dates less than 256 days apart, take a byte each); doubles as they
// are; texts as their UTF-8 bytes, with their length once when all are equally
// long, else one byte of length each (end offsets when a text is longer); NULL
// is one bit, in columns that have one. Columns of types the grid shows no
// text for (blobs, binary text) are not kept. A page, once read, stays until
// the result is closed.
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
    enum class Kind { None, Exact, Double, Text };
    enum class Window { Untried, Appended, Derived, None };
    enum class Keys { Untried, Read, None };

    static Kind KindOf(const fb::Column &column);
    static bool IsIdentifier(const QString &name);

    // Copies the cursor's current row into the page being read.
    void appendRow(const fb::Cursor &cursor);
    // Reads up to PageRows rows from the cursor into the page being read.
    void readRows(fb::Cursor &cursor);
    // Reads up to PageRows rows from the cursor into page index.
    void readPage(int index, fb::Cursor &cursor);
    bool streamTo(int page);
    bool readWindow(int page);
    QString windowStatement(Window form, int first, int last) const;
    void readBookmarks();
    bool readByKey(int page);
    // Opens a statement on the connection; *error tells why it could not.
    bool openCursor(fb::Cursor &cursor, const QString &statement, QString *error = nullptr);
    const Page *pageOf(int row) const;

    bool m_open = false;
    QString m_statement;
    QString m_databaseName;
    QList<TFieldDef> m_defs;
    std::vector<fb::Column> m_columns; // the fields' types
    std::vector<Kind> m_kinds;
    int m_rowCount = 0;
    qint64 m_fetchedRows = 0;
    std::unique_ptr<fb::Cursor> m_stream;
    int m_streamPage = 0; // the page the cursor's current row belongs to
    Window m_window = Window::Untried;
    int m_keyOrder = 0; // 1, -1: ordered by the key ascending, descending
    Keys m_keys = Keys::Untried;
    std::vector<std::optional<qint64>> m_bookmarks; // the key of each page's first row
    std::vector<std::unique_ptr<Page>> m_pages;
    std::unique_ptr<Builder> m_builder; // reused for every page
};

} // namespace dvt
