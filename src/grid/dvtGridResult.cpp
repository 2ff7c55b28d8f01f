#include <array>
#include <cstring>
#include <limits>

#include "dvtCursor_p.h"
#include "dvtDatabase_p.h"
#include "dvtGridResult_p.h"

namespace dvt {

namespace {

// The bytes one value of a kind takes in its page's array (a text's end offset
// while the page fills).
template<class Kind>
constexpr size_t WidthOf(Kind kind)
{
    switch (kind) {
    case Kind::Int32:
    case Kind::Text:
        return 4;
    case Kind::Int64:
    case Kind::Double:
    case Kind::DateTime:
        return 8;
    case Kind::Bool:
        return 1;
    case Kind::None:
        break;
    }
    return 0;
}

template<class T>
T Load(const std::vector<char> &values, size_t index)
{
    T value;
    std::memcpy(&value, values.data() + index * sizeof(T), sizeof(T));
    return value;
}

template<class T>
void Store(std::vector<char> &values, T value)
{
    const size_t at = values.size();
    values.resize(at + sizeof(T));
    std::memcpy(values.data() + at, &value, sizeof(T));
}

} // namespace

struct GridResult::Page
{
    struct Column
    {
        std::array<quint64, PageRows / 64> nulls = {};
        // The values, WidthOf(kind) bytes each; for texts their end offsets in
        // bytes, as 16-bit numbers once the page is complete when they fit.
        std::vector<char> values;
        QByteArray bytes;
        bool narrowEnds = false;

        bool isNull(int row) const { return (nulls[size_t(row) / 64] >> (row % 64)) & 1; }
        int textEnd(int row) const
        {
            return row < 0      ? 0
                   : narrowEnds ? Load<quint16>(values, size_t(row))
                                : int(Load<quint32>(values, size_t(row)));
        }
    };

    int count = 0;
    std::vector<Column> columns;

    // Gives the arrays their final size once no row is added any more.
    void finish()
    {
        for (Column &column : columns) {
            if (column.bytes.size() > 0 && column.bytes.size() <= 0xFFFF) {
                std::vector<char> narrow;
                narrow.reserve(size_t(count) * 2);
                for (int row = 0; row < count; ++row)
                    Store(narrow, quint16(column.textEnd(row)));
                column.values.swap(narrow);
                column.narrowEnds = true;
            }
            column.values.shrink_to_fit();
            column.bytes.squeeze();
        }
    }
};

GridResult::GridResult() = default;
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
    if (count.open(*session, QStringLiteral("select count(*) from (%1)").arg(statement), false,
                   countStatus)
        && !count.eof()) {
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

GridResult::Page *GridResult::newPage(int index)
{
    auto page = std::make_unique<Page>();
    page->columns.resize(m_kinds.size());
    for (size_t field = 0; field < m_kinds.size(); ++field)
        page->columns[field].values.reserve(PageRows * WidthOf(m_kinds[field]));
    m_pages[size_t(index)] = std::move(page);
    return m_pages[size_t(index)].get();
}

void GridResult::appendRow(Page &page, const fb::Cursor &cursor)
{
    const int row = page.count++;
    ++m_fetchedRows;
    for (size_t field = 0; field < m_kinds.size(); ++field) {
        Page::Column &column = page.columns[field];
        const Kind kind = m_kinds[field];
        if (kind == Kind::None)
            continue;
        const fb::Cell cell = cursor.cell(int(field));
        if (cell.null)
            column.nulls[size_t(row) / 64] |= quint64(1) << (row % 64);
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
            if (!cell.null)
                column.bytes.append(cell.data, cell.length);
            Store(column.values, quint32(column.bytes.size()));
            break;
        case Kind::None:
            break;
        }
    }
}

bool GridResult::streamTo(int target)
{
    fb::Status status;
    while (m_streamPage <= target && m_stream && m_stream->isOpen() && !m_stream->eof()) {
        if (size_t(m_streamPage) >= m_pages.size())
            m_pages.resize(size_t(m_streamPage) + 1);
        if (m_pages[size_t(m_streamPage)]) {
            m_stream->moveBy(PageRows, status); // read already, on its own
        } else {
            Page *page = newPage(m_streamPage);
            while (page->count < PageRows && !m_stream->eof()) {
                appendRow(*page, *m_stream);
                m_stream->moveBy(1, status);
            }
            page->finish();
        }
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
    fb::Cursor cursor;
    for (Window form : {Window::Appended, Window::Derived}) {
        if (m_window != Window::Untried && m_window != form)
            continue;
        fb::Status status;
        if (!cursor.open(*session, windowStatement(form, first, first + PageRows - 1), false,
                         status)
            || cursor.fieldDefs().size() != m_defs.size()) {
            cursor.close();
            continue;
        }
        m_window = form;
        Page *page = newPage(index);
        while (!cursor.eof() && page->count < PageRows) {
            appendRow(*page, cursor);
            cursor.moveBy(1, status);
        }
        page->finish();
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
           || m_kinds[size_t(field)] == Kind::None
           || page->columns[size_t(field)].isNull(row % PageRows);
}

qint64 GridResult::integer(int row, int field) const
{
    if (isNull(row, field))
        return 0;
    const Page::Column &column = pageOf(row)->columns[size_t(field)];
    const size_t at = size_t(row % PageRows);
    switch (m_kinds[size_t(field)]) {
    case Kind::Int32:
        return Load<qint32>(column.values, at);
    case Kind::Int64:
        return Load<qint64>(column.values, at);
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
    return Load<double>(pageOf(row)->columns[size_t(field)].values, size_t(row % PageRows));
}

bool GridResult::boolean(int row, int field) const
{
    if (isNull(row, field) || m_kinds[size_t(field)] != Kind::Bool)
        return false;
    return Load<quint8>(pageOf(row)->columns[size_t(field)].values, size_t(row % PageRows)) != 0;
}

QString GridResult::text(int row, int field) const
{
    if (isNull(row, field) || m_kinds[size_t(field)] != Kind::Text)
        return {};
    const Page::Column &column = pageOf(row)->columns[size_t(field)];
    const int at = row % PageRows;
    const int begin = column.textEnd(at - 1);
    return QString::fromUtf8(column.bytes.constData() + begin, column.textEnd(at) - begin);
}

qint64 GridResult::storedBytes() const
{
    qint64 bytes = 0;
    for (const auto &page : m_pages) {
        if (!page)
            continue;
        for (const Page::Column &column : page->columns)
            bytes += qint64(sizeof column + column.values.capacity()) + column.bytes.capacity();
    }
    return bytes;
}

} // namespace dvt
