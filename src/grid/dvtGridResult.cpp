#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <numeric>
#include <utility>

#include "dvtCursor_p.h"
#include "dvtDatabase_p.h"
#include "dvtGridResult_p.h"

namespace dvt {

namespace {

template<class T>
T Load(const char *values, size_t index)
{
    T value;
    std::memcpy(&value, values + index * sizeof(T), sizeof(T));
    return value;
}

template<class T>
void Store(std::vector<char> &values, T value)
{
    const size_t at = values.size();
    values.resize(at + sizeof(T));
    std::memcpy(values.data() + at, &value, sizeof(T));
}

constexpr size_t NullBytes = GridResult::PageRows / 8;

// The statement that counts the rows. The count does not depend on their
// order, so a last "order by" that ends the statement is left out and the
// server need not sort; one followed by anything that could limit the rows or
// close a subquery stays.
QString CountStatement(const QString &statement)
{
    static const QRegularExpression limits(
        QStringLiteral(R"([)'"]|\b(rows|offset|fetch|for|with)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const qsizetype at = statement.lastIndexOf(QStringLiteral("order by"), -1, Qt::CaseInsensitive);
    const bool unordered = at >= 0 && !statement.mid(at).contains(limits);
    return QStringLiteral("select count(*) from (%1)")
        .arg(unordered ? statement.left(at) : statement);
}

// 1 when the statement ends by ordering its rows by the field named key
// (or by its first field) ascending, -1 descending, else 0.
int KeyOrder(const QString &statement, const QString &key)
{
    static const QRegularExpression orderBy(
        QStringLiteral(R"(\border\s+by\s+(\w+)(\s+(asc|ascending|desc|descending))?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = orderBy.match(statement);
    if (!match.hasMatch()
        || (match.captured(1).compare(key, Qt::CaseInsensitive) != 0 && match.captured(1) != u"1"))
        return 0;
    return match.captured(3).startsWith(u'd', Qt::CaseInsensitive) ? -1 : 1;
}

// The bytes that hold numbers up to value.
quint8 WidthOf(quint64 value)
{
    quint8 width = 0;
    for (; value != 0; value >>= 8)
        ++width;
    return width;
}

} // namespace

// A page of rows in one allocation: per column its NULL bits when it has a
// NULL, then its values. Exact values (integers, fixed-point numbers, dates and
// times, Booleans) are kept as base + step × n, with n in the fewest bytes
// that hold the page's largest; doubles as they are; a text column keeps its
// values' UTF-8 bytes one after another, with their length once when every
// length is the same, else with their lengths as bytes when every length fits
// one, else with their end offsets.
struct GridResult::Page
{
    enum class Lengths : quint8 { Same, Bytes, Ends };
    // The bytes each text takes for its length.
    static size_t LengthBytes(Lengths lengths)
    {
        return lengths == Lengths::Same ? 0 : lengths == Lengths::Bytes ? 1 : sizeof(quint32);
    }

    struct Column
    {
        qint64 base = 0;
        quint64 step = 1;
        quint32 values = 0; // offsets into block
        quint32 bytes = 0;
        quint32 length = 0; // of every text, with Lengths::Same
        quint8 width = 0;   // of each exact value
        Lengths lengths = Lengths::Same;
        bool nulls = false; // NULL bits come before the values
    };

    int count = 0;
    std::unique_ptr<Column[]> columns;
    std::unique_ptr<char[]> block;
    size_t size = 0;

    bool isNull(size_t field, int row) const
    {
        const Column &column = columns[field];
        return column.nulls
               && (quint8(block[column.values - NullBytes + size_t(row) / 8]) >> (row % 8)) & 1;
    }
    const char *values(size_t field) const { return block.get() + columns[field].values; }
    qint64 exact(size_t field, int row) const
    {
        const Column &column = columns[field];
        const auto *at =
            reinterpret_cast<const quint8 *>(values(field)) + size_t(row) * column.width;
        quint64 n = 0;
        for (int byte = column.width - 1; byte >= 0; --byte)
            n = n << 8 | at[byte];
        // Unsigned, so that the sum wraps back as the difference from base did.
        return qint64(quint64(column.base) + n * column.step);
    }
    QString text(size_t field, int row) const
    {
        const Column &column = columns[field];
        const char *at = values(field);
        size_t begin = 0;
        size_t length = column.length;
        switch (column.lengths) {
        case Lengths::Same:
            begin = size_t(row) * length;
            break;
        case Lengths::Bytes:
            for (int i = 0; i < row; ++i)
                begin += quint8(at[i]);
            length = quint8(at[row]);
            break;
        case Lengths::Ends:
            begin = row > 0 ? Load<quint32>(at, size_t(row) - 1) : 0;
            length = Load<quint32>(at, size_t(row)) - begin;
            break;
        }
        return QString::fromUtf8(block.get() + column.bytes + begin, qsizetype(length));
    }
};

// The page being read: each column's values as they come.
struct GridResult::Builder
{
    struct Column
    {
        std::array<quint8, NullBytes> nulls = {};
        bool hasNull = false;
        std::vector<qint64> exact;
        std::vector<char> values;
        std::vector<quint32> lengths;
        std::vector<char> bytes;

        bool isNull(size_t row) const { return (nulls[row / 8] >> (row % 8)) & 1; }
    };

    int count = 0;
    std::vector<Column> columns;

    void reset(size_t fields)
    {
        count = 0;
        columns.resize(fields);
        for (Column &column : columns) {
            column.nulls = {};
            column.hasNull = false;
            column.exact.clear();
            column.values.clear();
            column.lengths.clear();
            column.bytes.clear();
        }
    }

    // How a column is laid out in its page, and the bytes of its values.
    static size_t shape(const Column &column, Page::Column &stored)
    {
        stored.nulls = column.hasNull;
        if (!column.exact.empty()) {
            // The least value, and the largest step all differences from it share.
            bool first = true;
            for (size_t row = 0; row < column.exact.size(); ++row) {
                if (!column.isNull(row) && (first || column.exact[row] < stored.base)) {
                    stored.base = column.exact[row];
                    first = false;
                }
            }
            quint64 step = 0;
            quint64 largest = 0;
            for (size_t row = 0; row < column.exact.size(); ++row) {
                const quint64 difference = quint64(column.exact[row]) - quint64(stored.base);
                if (!column.isNull(row)) {
                    step = std::gcd(step, difference);
                    largest = std::max(largest, difference);
                }
            }
            stored.step = step == 0 ? 1 : step;
            stored.width = WidthOf(largest / stored.step);
            return column.exact.size() * stored.width;
        }
        if (column.lengths.empty())
            return column.values.size();
        const auto [least, most] =
            std::minmax_element(column.lengths.begin(), column.lengths.end());
        stored.length = *least;
        stored.lengths = *least == *most ? Page::Lengths::Same
                         : *most <= 0xFF ? Page::Lengths::Bytes
                                         : Page::Lengths::Ends;
        return column.lengths.size() * Page::LengthBytes(stored.lengths) + column.bytes.size();
    }

    // Writes a column's values as shape() laid them out.
    static char *write(const Column &column, const Page::Column &stored, char *at)
    {
        if (!column.exact.empty()) {
            for (size_t row = 0; row < column.exact.size(); ++row) {
                quint64 n = column.isNull(row)
                                ? 0
                                : (quint64(column.exact[row]) - quint64(stored.base)) / stored.step;
                for (int byte = 0; byte < stored.width; ++byte, n >>= 8)
                    *at++ = char(n & 0xFF);
            }
            return at;
        }
        if (column.lengths.empty())
            return std::copy(column.values.begin(), column.values.end(), at);
        if (stored.lengths == Page::Lengths::Bytes) {
            for (quint32 length : column.lengths)
                *at++ = char(length);
        } else if (stored.lengths == Page::Lengths::Ends) {
            quint32 end = 0;
            for (quint32 length : column.lengths) {
                end += length;
                std::memcpy(at, &end, sizeof end);
                at += sizeof end;
            }
        }
        return std::copy(column.bytes.begin(), column.bytes.end(), at);
    }

    std::unique_ptr<Page> take() const
    {
        auto page = std::make_unique<Page>();
        page->count = count;
        page->columns = std::make_unique<Page::Column[]>(columns.size());
        size_t size = 0;
        for (size_t field = 0; field < columns.size(); ++field) {
            Page::Column &stored = page->columns[field];
            size += shape(columns[field], stored) + (stored.nulls ? NullBytes : 0);
        }
        page->block = std::make_unique<char[]>(size);
        page->size = size;
        char *at = page->block.get();
        for (size_t field = 0; field < columns.size(); ++field) {
            const Column &column = columns[field];
            Page::Column &stored = page->columns[field];
            if (stored.nulls)
                at = std::copy(column.nulls.begin(), column.nulls.end(), at);
            stored.values = quint32(at - page->block.get());
            stored.bytes =
                stored.values + quint32(column.lengths.size() * Page::LengthBytes(stored.lengths));
            at = write(column, stored, at);
        }
        return page;
    }
};

GridResult::Kind GridResult::KindOf(const fb::Column &column)
{
    const TFieldType type = column.def.DataType;
    if (type == ftString || type == ftFixedChar || type == ftWideString)
        return Kind::Text;
    if (fb::HasExactValue(column) || type == ftBoolean)
        return Kind::Exact;
    return type == ftFloat || type == ftCurrency ? Kind::Double : Kind::None;
}

GridResult::GridResult() : m_builder(std::make_unique<Builder>()) {}
GridResult::~GridResult() = default;

bool GridResult::open(const QString &databaseName, const QString &statement, QString *error)
{
    close();
    m_databaseName = databaseName;
    auto stream = std::make_unique<fb::Cursor>();
    if (!openCursor(*stream, statement, error))
        return false;
    m_open = true;
    m_statement = statement;
    m_defs = stream->fieldDefs();
    for (int field = 0; field < m_defs.size(); ++field) {
        fb::Column column = *stream->column(field);
        column.var = nullptr; // the statement's, gone with it
        m_kinds.push_back(KindOf(column));
        m_columns.push_back(std::move(column));
    }
    const TFieldType key = m_defs.isEmpty() ? ftUnknown : m_defs[0].DataType;
    if ((key == ftInteger || key == ftSmallint) && IsIdentifier(m_defs[0].Name))
        m_keyOrder = KeyOrder(statement, m_defs[0].Name);
    m_stream = std::move(stream);
    m_streamPage = 0;

    fb::Cursor count;
    if (openCursor(count, CountStatement(statement)) && !count.eof()) {
        m_rowCount = int(std::min<qint64>(fb::CellInteger(*count.column(0), count.cell(0)),
                                          std::numeric_limits<int>::max() - 1));
        m_pages.resize(size_t(m_rowCount) / PageRows + 1);
        return true;
    }
    // Counted by reading it all.
    streamTo(std::numeric_limits<int>::max());
    m_rowCount = int(m_fetchedRows);
    m_pages.resize(size_t(m_rowCount) / PageRows + 1);
    return true;
}

void GridResult::close()
{
    m_open = false;
    m_statement.clear();
    m_defs.clear();
    m_columns.clear();
    m_kinds.clear();
    m_rowCount = 0;
    m_fetchedRows = 0;
    m_stream.reset();
    m_streamPage = 0;
    m_window = Window::Untried;
    m_keyOrder = 0;
    m_keys = Keys::Untried;
    m_bookmarks.clear();
    m_pages.clear();
}

bool GridResult::IsIdentifier(const QString &name)
{
    static const QRegularExpression identifier(QStringLiteral(R"(^[A-Za-z][A-Za-z0-9_$]*$)"));
    return identifier.match(name).hasMatch();
}

void GridResult::appendRow(const fb::Cursor &cursor)
{
    Builder &page = *m_builder;
    const int row = page.count++;
    ++m_fetchedRows;
    for (size_t field = 0; field < m_kinds.size(); ++field) {
        Builder::Column &column = page.columns[field];
        const Kind kind = m_kinds[field];
        if (kind == Kind::None)
            continue;
        const fb::Cell cell = cursor.cell(int(field));
        if (cell.null) {
            column.nulls[size_t(row) / 8] |= quint8(1u << (row % 8));
            column.hasNull = true;
        }
        const fb::Column &type = m_columns[field];
        switch (kind) {
        case Kind::Exact:
            column.exact.push_back(m_defs[int(field)].DataType == ftBoolean
                                       ? qint64(fb::CellBoolean(type, cell))
                                       : fb::CellExact(type, cell));
            break;
        case Kind::Double:
            Store(column.values, fb::CellFloat(type, cell));
            break;
        case Kind::Text:
            column.lengths.push_back(cell.null ? 0 : quint32(cell.length));
            if (!cell.null)
                column.bytes.insert(column.bytes.end(), cell.data, cell.data + cell.length);
            break;
        case Kind::None:
            break;
        }
    }
}

void GridResult::readRows(fb::Cursor &cursor)
{
    m_builder->reset(m_kinds.size());
    fb::Status status;
    while (m_builder->count < PageRows && !cursor.eof()) {
        appendRow(cursor);
        cursor.moveBy(1, status);
    }
}

void GridResult::readPage(int index, fb::Cursor &cursor)
{
    if (size_t(index) >= m_pages.size())
        m_pages.resize(size_t(index) + 1);
    readRows(cursor);
    m_pages[size_t(index)] = m_builder->take();
}

bool GridResult::streamTo(int target)
{
    fb::Status status;
    while (m_streamPage <= target && m_stream && m_stream->isOpen() && !m_stream->eof()) {
        if (size_t(m_streamPage) < m_pages.size() && m_pages[size_t(m_streamPage)])
            m_stream->moveBy(PageRows, status); // read already, on its own
        else
            readPage(m_streamPage, *m_stream);
        ++m_streamPage;
    }
    if (m_stream && (!m_stream->isOpen() || m_stream->eof()))
        m_stream.reset(); // read to its end, or closed with a transaction
    return size_t(target) < m_pages.size() && m_pages[size_t(target)] != nullptr;
}

QString GridResult::windowStatement(Window form, int first, int last) const
{
    const QString pattern = form == Window::Appended
                                ? QStringLiteral("%1 rows %2 to %3")
                                : QStringLiteral("select * from (%1) rows %2 to %3");
    // One arg() for all, so that a "%2" in the statement's own text stays.
    return pattern.arg(m_statement, QString::number(first), QString::number(last));
}

bool GridResult::openCursor(fb::Cursor &cursor, const QString &statement, QString *error)
{
    TDatabase *database = TDatabase::Find(m_databaseName);
    fb::Session *session = database ? OpenSession(*database) : nullptr;
    if (!session) {
        if (error)
            *error =
                database
                    ? database->LastError()
                    : QStringLiteral("No database connection is named \"%1\"").arg(m_databaseName);
        return false;
    }
    fb::Status status; // the session's statement log sees the statement
    // Beside the stream, when it is open, so that no transaction is started.
    const bool opened = m_stream && m_stream->isOpen()
                            ? cursor.openBeside(*m_stream, statement, status)
                            : cursor.open(*session, statement, false, status);
    if (!opened && error)
        *error = status.message();
    return opened;
}

bool GridResult::readWindow(int index)
{
    const int first = index * PageRows + 1;
    for (Window form : {Window::Appended, Window::Derived}) {
        if (m_window != Window::Untried && m_window != form)
            continue;
        fb::Cursor cursor;
        if (!openCursor(cursor, windowStatement(form, first, first + PageRows - 1))
            || cursor.fieldDefs().size() != m_defs.size())
            continue;
        m_window = form;
        readPage(index, cursor);
        return true;
    }
    m_window = Window::None;
    return false;
}

void GridResult::readBookmarks()
{
    m_keys = Keys::None;
    fb::Cursor cursor;
    // The server passes the keys in a loop of its own and sends one row per
    // page: the page's first key, the key before it and the row's number.
    const QString statement =
        QStringLiteral("execute block returns (k integer, p integer, n integer) as begin n = 0; "
                       "for select %1 from (%2) into :k do begin n = n + 1; "
                       "if (mod(n - 1, %3) = 0) then suspend; p = k; end end");
    if (!openCursor(cursor, statement.arg(m_defs[0].Name.toLower(), m_statement,
                                          QString::number(PageRows))))
        return;
    std::vector<std::optional<qint64>> bookmarks(m_pages.size());
    fb::Status status;
    for (; !cursor.eof(); cursor.moveBy(1, status)) {
        const fb::Cell key = cursor.cell(0);
        const fb::Cell before = cursor.cell(1);
        const qint64 page = (fb::CellInteger(*cursor.column(2), cursor.cell(2)) - 1) / PageRows;
        if (page < 0 || size_t(page) >= bookmarks.size())
            break; // more rows than counted
        const qint64 value = fb::CellInteger(*cursor.column(0), key);
        // A page that starts among rows of the same key cannot be told by it.
        if (!key.null && (before.null || fb::CellInteger(*cursor.column(1), before) != value))
            bookmarks[size_t(page)] = value;
    }
    if (!cursor.isOpen()) // closed with its transaction
        return;
    m_bookmarks = std::move(bookmarks);
    m_keys = Keys::Read;
}

bool GridResult::readByKey(int index)
{
    if (m_keyOrder == 0)
        return false;
    if (m_keys == Keys::Untried)
        readBookmarks();
    if (m_keys != Keys::Read || size_t(index) >= m_bookmarks.size() || !m_bookmarks[size_t(index)])
        return false;
    const qint64 first = *m_bookmarks[size_t(index)];
    const QString key = m_defs[0].Name.toLower();
    QString range = QStringLiteral("%1 %2 %3")
                        .arg(key, m_keyOrder > 0 ? QStringLiteral(">=") : QStringLiteral("<="),
                             QString::number(first));
    if (size_t(index) + 1 < m_bookmarks.size() && m_bookmarks[size_t(index) + 1]) {
        range += QStringLiteral(" and %1 %2 %3")
                     .arg(key, m_keyOrder > 0 ? QStringLiteral("<") : QStringLiteral(">"),
                          QString::number(*m_bookmarks[size_t(index) + 1]));
    }
    fb::Cursor cursor;
    if (!openCursor(cursor, QStringLiteral("select * from (%1) where %2 rows %3")
                                .arg(m_statement, range, QString::number(PageRows + 1)))
        || cursor.fieldDefs().size() != m_defs.size()) {
        m_keys = Keys::None;
        return false;
    }
    readRows(cursor);
    // The page's rows, in order, or else rows that changed since the keys were
    // read: those pages are read by their place.
    const Builder::Column &keys = m_builder->columns[0];
    const int expected = std::min(PageRows, m_rowCount - index * PageRows);
    bool ordered = m_builder->count == expected && cursor.eof() && !keys.hasNull
                   && keys.exact.front() == first;
    for (size_t row = 1; ordered && row < keys.exact.size(); ++row)
        ordered = m_keyOrder > 0 ? keys.exact[row] > keys.exact[row - 1]
                                 : keys.exact[row] < keys.exact[row - 1];
    if (!ordered) {
        m_bookmarks[size_t(index)].reset();
        return false;
    }
    m_pages[size_t(index)] = m_builder->take();
    return true;
}

bool GridResult::fetch(int row)
{
    if (!m_open || row < 0 || row >= m_rowCount)
        return false;
    const int index = row / PageRows;
    if (!m_pages[size_t(index)]) {
        // Streaming on is cheaper than a statement of its own for a page close
        // ahead; a page behind the stream was read by its key or its place, if at all.
        constexpr int StreamReach = 4;
        const bool near = m_stream && index >= m_streamPage && index - m_streamPage < StreamReach;
        if (near || (!readByKey(index) && (m_window == Window::None || !readWindow(index)))) {
            if (m_stream && index >= m_streamPage)
                streamTo(index);
        }
    }
    const Page *page = m_pages[size_t(index)].get();
    return page && row % PageRows < page->count;
}

const GridResult::Page *GridResult::pageOf(int row) const
{
    if (row < 0 || row >= m_rowCount)
        return nullptr;
    const Page *page = m_pages[size_t(row / PageRows)].get();
    return page && row % PageRows < page->count ? page : nullptr;
}

bool GridResult::isNull(int row, int field) const
{
    const Page *page = pageOf(row);
    return !page || field < 0 || size_t(field) >= m_kinds.size()
           || m_kinds[size_t(field)] == Kind::None || page->isNull(size_t(field), row % PageRows);
}

qint64 GridResult::integer(int row, int field) const
{
    if (isNull(row, field) || m_kinds[size_t(field)] != Kind::Exact)
        return 0;
    return pageOf(row)->exact(size_t(field), row % PageRows);
}

double GridResult::number(int row, int field) const
{
    if (isNull(row, field))
        return 0;
    switch (m_kinds[size_t(field)]) {
    case Kind::Exact:
        return fb::ExactFloat(m_columns[size_t(field)], integer(row, field));
    case Kind::Double:
        return Load<double>(pageOf(row)->values(size_t(field)), size_t(row % PageRows));
    default:
        return 0;
    }
}

bool GridResult::boolean(int row, int field) const
{
    return integer(row, field) != 0;
}

QString GridResult::text(int row, int field) const
{
    if (isNull(row, field) || m_kinds[size_t(field)] != Kind::Text)
        return {};
    return pageOf(row)->text(size_t(field), row % PageRows);
}

qint64 GridResult::storedBytes() const
{
    qint64 bytes = qint64(m_pages.capacity() * sizeof(std::unique_ptr<Page>)
                          + m_bookmarks.capacity() * sizeof(std::optional<qint64>));
    for (const auto &page : m_pages) {
        if (page)
            bytes += qint64(sizeof(Page) + page->size + m_kinds.size() * sizeof(Page::Column));
    }
    return bytes;
}

} // namespace dvt
