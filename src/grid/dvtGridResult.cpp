#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "dvtCursor_p.h"
#include "dvtDatabase_p.h"
#include "dvtGridResult_p.h"

namespace dvt {

namespace {

// The bytes one value of a kind takes in its page (texts: see Page).
template<class Kind>
constexpr size_t WidthOf(Kind kind)
{
    switch (kind) {
    case Kind::Int32:
        return 4;
    case Kind::Int64:
    case Kind::Double:
    case Kind::DateTime:
        return 8;
    case Kind::Bool:
        return 1;
    case Kind::Text:
    case Kind::None:
        break;
    }
    return 0;
}

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

// Copies the bytes to at and answers the end of the copy. An empty vector's
// data() may be null, which memcpy must not be given.
char *Append(char *at, const std::vector<char> &bytes)
{
    if (!bytes.empty())
        std::memcpy(at, bytes.data(), bytes.size());
    return at + bytes.size();
}

} // namespace

// A page of rows in one allocation: per column its NULL bits, then its values;
// a text column keeps its values' UTF-8 bytes one after another, with their
// lengths as bytes when every length fits one, else with their end offsets.
struct GridResult::Page
{
    struct Column
    {
        quint32 values = 0; // offsets into block; the NULL bits come first
        quint32 bytes = 0;
        bool ends = false;
    };

    int count = 0;
    std::unique_ptr<Column[]> columns;
    std::unique_ptr<char[]> block;
    size_t size = 0;

    bool isNull(size_t field, int row) const
    {
        const Column &column = columns[field];
        return (quint8(block[column.values - NullBytes + size_t(row) / 8]) >> (row % 8)) & 1;
    }
    const char *values(size_t field) const { return block.get() + columns[field].values; }
    QString text(size_t field, int row) const
    {
        const Column &column = columns[field];
        const char *at = values(field);
        size_t begin = 0;
        size_t length = 0;
        if (column.ends) {
            begin = row > 0 ? Load<quint32>(at, size_t(row) - 1) : 0;
            length = Load<quint32>(at, size_t(row)) - begin;
        } else {
            for (int i = 0; i < row; ++i)
                begin += quint8(at[i]);
            length = quint8(at[row]);
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
        std::vector<char> values;
        std::vector<quint32> lengths;
        std::vector<char> bytes;
    };

    int count = 0;
    std::vector<Column> columns;

    void reset(size_t fields)
    {
        count = 0;
        columns.resize(fields);
        for (Column &column : columns) {
            column.nulls = {};
            column.values.clear();
            column.lengths.clear();
            column.bytes.clear();
        }
    }

    std::unique_ptr<Page> take() const
    {
        auto page = std::make_unique<Page>();
        page->count = count;
        page->columns = std::make_unique<Page::Column[]>(columns.size());
        std::vector<char> ends; // of a text column that needs them
        const auto narrow = [this](const Column &column) {
            return std::all_of(column.lengths.begin(), column.lengths.begin() + count,
                               [](quint32 length) { return length <= 0xFF; });
        };
        size_t size = 0;
        for (const Column &column : columns) {
            size += NullBytes + column.values.size() + column.bytes.size();
            if (!column.lengths.empty())
                size += size_t(count) * (narrow(column) ? 1 : 4);
        }
        page->block = std::make_unique<char[]>(size);
        page->size = size;
        char *at = page->block.get();
        for (size_t field = 0; field < columns.size(); ++field) {
            const Column &column = columns[field];
            Page::Column &stored = page->columns[field];
            std::memcpy(at, column.nulls.data(), NullBytes);
            at += NullBytes;
            stored.values = quint32(at - page->block.get());
            if (column.lengths.empty()) {
                at = Append(at, column.values);
            } else if (narrow(column)) {
                for (int row = 0; row < count; ++row)
                    *at++ = char(column.lengths[size_t(row)]);
            } else {
                stored.ends = true;
                quint32 end = 0;
                for (int row = 0; row < count; ++row) {
                    end += column.lengths[size_t(row)];
                    std::memcpy(at, &end, sizeof end);
                    at += sizeof end;
                }
            }
            stored.bytes = quint32(at - page->block.get());
            at = Append(at, column.bytes);
        }
        return page;
    }
};

GridResult::GridResult() : m_builder(std::make_unique<Builder>()) {}
GridResult::~GridResult() = default;

bool GridResult::open(const QString &databaseName, const QString &statement, QString *error)
{
    close();
    TDatabase *database = TDatabase::Find(databaseName);
    fb::Session *session = database ? OpenSession(*database) : nullptr;
    if (!session) {
        *error = database
                     ? database->LastError()
                     : QStringLiteral("No database connection is named \"%1\"").arg(databaseName);
        return false;
    }
    fb::Status status;
    auto stream = std::make_unique<fb::Cursor>();
    if (!stream->open(*session, statement, false, status)) {
        *error = status.message();
        return false;
    }
    m_open = true;
    m_statement = statement;
    m_databaseName = databaseName;
    m_defs = stream->fieldDefs();
    for (const TFieldDef &def : std::as_const(m_defs)) {
        switch (def.DataType) {
        case ftString:
        case ftFixedChar:
        case ftWideString:
            m_kinds.push_back(Kind::Text);
            break;
        case ftSmallint:
        case ftInteger:
        case ftWord:
            m_kinds.push_back(Kind::Int32);
            break;
        case ftLargeint:
            m_kinds.push_back(Kind::Int64);
            break;
        case ftFloat:
        case ftCurrency:
            m_kinds.push_back(Kind::Double);
            break;
        case ftDate:
        case ftTime:
        case ftDateTime:
            m_kinds.push_back(Kind::DateTime);
            break;
        case ftBoolean:
            m_kinds.push_back(Kind::Bool);
            break;
        default:
            m_kinds.push_back(Kind::None);
            break;
        }
    }
    m_stream = std::move(stream);
    m_streamPage = 0;

    fb::Cursor count;
    fb::Status countStatus;
    if (count.open(*session, CountStatement(statement), false, countStatus) && !count.eof()) {
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
    m_kinds.clear();
    m_rowCount = 0;
    m_fetchedRows = 0;
    m_stream.reset();
    m_streamPage = 0;
    m_window = Window::Untried;
    m_pages.clear();
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
        if (cell.null)
            column.nulls[size_t(row) / 8] |= quint8(1u << (row % 8));
        const fb::Column &type = *cursor.column(int(field));
        switch (kind) {
        case Kind::Int32:
            Store(column.values, cell.null ? 0 : qint32(fb::CellInteger(type, cell)));
            break;
        case Kind::Int64:
            Store(column.values, cell.null ? 0 : qint64(fb::CellInteger(type, cell)));
            break;
        case Kind::Double:
            Store(column.values, cell.null ? 0.0 : fb::CellFloat(type, cell));
            break;
        case Kind::DateTime:
            Store(column.values, cell.null ? 0.0 : fb::CellDateTime(type, cell));
            break;
        case Kind::Bool:
            Store(column.values, quint8(!cell.null && fb::CellBoolean(type, cell)));
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

void GridResult::readPage(int index, fb::Cursor &cursor)
{
    if (size_t(index) >= m_pages.size())
        m_pages.resize(size_t(index) + 1);
    m_builder->reset(m_kinds.size());
    fb::Status status;
    while (m_builder->count < PageRows && !cursor.eof()) {
        appendRow(cursor);
        cursor.moveBy(1, status);
    }
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
    if (form == Window::Appended)
        return QStringLiteral("%1 rows %2 to %3").arg(m_statement).arg(first).arg(last);
    return QStringLiteral("select * from (%1) rows %2 to %3").arg(m_statement).arg(first).arg(last);
}

bool GridResult::readWindow(int index)
{
    TDatabase *database = TDatabase::Find(m_databaseName);
    fb::Session *session = database ? OpenSession(*database) : nullptr;
    if (!session)
        return false;
    const int first = index * PageRows + 1;
    for (Window form : {Window::Appended, Window::Derived}) {
        if (m_window != Window::Untried && m_window != form)
            continue;
        fb::Cursor cursor;
        fb::Status status;
        if (!cursor.open(*session, windowStatement(form, first, first + PageRows - 1), false,
                         status)
            || cursor.fieldDefs().size() != m_defs.size())
            continue;
        m_window = form;
        readPage(index, cursor);
        return true;
    }
    m_window = Window::None;
    return false;
}

bool GridResult::fetch(int row)
{
    if (!m_open || row < 0 || row >= m_rowCount)
        return false;
    const int index = row / PageRows;
    if (!m_pages[size_t(index)]) {
        // Streaming on is cheaper than a statement of its own for a page close
        // ahead; a page behind the stream was read by a window, if at all.
        constexpr int StreamReach = 4;
        const bool near = m_stream && index >= m_streamPage && index - m_streamPage < StreamReach;
        if (near || m_window == Window::None || !readWindow(index)) {
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
    if (isNull(row, field))
        return 0;
    const char *values = pageOf(row)->values(size_t(field));
    const size_t at = size_t(row % PageRows);
    switch (m_kinds[size_t(field)]) {
    case Kind::Int32:
        return Load<qint32>(values, at);
    case Kind::Int64:
        return Load<qint64>(values, at);
    default:
        return 0;
    }
}

double GridResult::number(int row, int field) const
{
    if (isNull(row, field))
        return 0;
    const Kind kind = m_kinds[size_t(field)];
    if (kind != Kind::Double && kind != Kind::DateTime)
        return double(integer(row, field));
    return Load<double>(pageOf(row)->values(size_t(field)), size_t(row % PageRows));
}

bool GridResult::boolean(int row, int field) const
{
    if (isNull(row, field) || m_kinds[size_t(field)] != Kind::Bool)
        return false;
    return Load<quint8>(pageOf(row)->values(size_t(field)), size_t(row % PageRows)) != 0;
}

QString GridResult::text(int row, int field) const
{
    if (isNull(row, field) || m_kinds[size_t(field)] != Kind::Text)
        return {};
    return pageOf(row)->text(size_t(field), row % PageRows);
}

qint64 GridResult::storedBytes() const
{
    qint64 bytes = qint64(m_pages.capacity() * sizeof(std::unique_ptr<Page>));
    for (const auto &page : m_pages) {
        if (page)
            bytes += qint64(sizeof(Page) + page->size + m_kinds.size() * sizeof(Page::Column));
    }
    return bytes;
}

} // namespace dvt
