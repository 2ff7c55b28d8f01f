#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QStringEncoder>
#include <QStringList>
#include <QTime>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <signal.h>

#include "dvtEngineConfig_p.h"
#include "dvtFirebird_p.h"

namespace dvt::fb {

namespace {

// Days from the engine's day 0 (1858-11-17) to 1899-12-30, the day 0 of TDateTime.
constexpr int DateOffset = 15018;
constexpr double TicksPerDay = 86400.0 * ISC_TIME_SECONDS_PRECISION;

// The engine refuses longer text parameters; longer texts go into blobs.
constexpr int MaxTextParam = 32765;
// The character set NONE: bytes taken as they are.
constexpr short NoCharacterSet = 0;
constexpr unsigned short BlobSegment = 32768;

template<typename T>
T load(const char *data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

XSQLDA *allocSqlda(int count)
{
    auto *sqlda = static_cast<XSQLDA *>(std::calloc(1, XSQLDA_LENGTH(count)));
    sqlda->version = SQLDA_VERSION1;
    sqlda->sqln = static_cast<ISC_SHORT>(count);
    return sqlda;
}

int bytesPerCharacter(short charset)
{
    switch (charset & 0xFF) {
    case 3: // UNICODE_FSS
        return 3;
    case 4:  // UTF8
    case 69: // GB18030
        return 4;
    case 5:  // SJIS_0208
    case 6:  // EUCJ_0208
    case 44: // KSC_5601
    case 56: // BIG_5
    case 57: // GB_2312
    case 67: // GBK
    case 68: // CP943C
        return 2;
    default:
        return 1;
    }
}

bool isOctets(const Column &column)
{
    return (column.subType & 0xFF) == 1;
}

TFieldDef defineField(const XSQLVAR &var, short type)
{
    TFieldDef def;
    def.Name = QString::fromUtf8(var.aliasname, var.aliasname_length);
    const bool octets = (var.sqlsubtype & 0xFF) == 1;
    switch (type) {
    case SQL_TEXT:
        def.DataType = octets ? ftBytes : ftFixedChar;
        def.Size = var.sqllen / bytesPerCharacter(var.sqlsubtype);
        break;
    case SQL_VARYING:
        def.DataType = octets ? ftVarBytes : ftString;
        def.Size = var.sqllen / bytesPerCharacter(var.sqlsubtype);
        break;
    case SQL_SHORT:
        def.DataType = var.sqlscale < 0 ? ftFloat : ftSmallint;
        break;
    case SQL_LONG:
        def.DataType = var.sqlscale < 0 ? ftFloat : ftInteger;
        break;
    case SQL_INT64:
        def.DataType = var.sqlscale < 0 ? ftFloat : ftLargeint;
        break;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        def.DataType = ftFloat;
        break;
    case SQL_TIMESTAMP:
        def.DataType = ftDateTime;
        break;
    case SQL_TYPE_DATE:
        def.DataType = ftDate;
        break;
    case SQL_TYPE_TIME:
        def.DataType = ftTime;
        break;
    case SQL_BOOLEAN:
        def.DataType = ftBoolean;
        break;
    case SQL_BLOB:
        def.DataType = var.sqlsubtype == 1 ? ftMemo : ftBlob;
        break;
    default:
        def.DataType = ftUnknown;
        break;
    }
    return def;
}

// The engine's date (days since 1858-11-17) and time (1/10000 s) as TDateTime,
// whose negative values keep the time of day as a positive fraction after the sign.
double toDateTime(ISC_DATE date, ISC_TIME time)
{
    const double day = static_cast<double>(date) - DateOffset;
    const double fraction = static_cast<double>(time) / TicksPerDay;
    return day < 0 ? day - fraction : day + fraction;
}

QDate toQDate(ISC_DATE date)
{
    // The Julian day of 1858-11-17 is 2400001.
    return QDate::fromJulianDay(static_cast<qint64>(date) + 2400001);
}

QTime toQTime(ISC_TIME time)
{
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(time / 10));
}

qint64 scaledInteger(const Column &column, const Cell &cell)
{
    switch (column.sqlType) {
    case SQL_SHORT:
        return load<ISC_SHORT>(cell.data);
    case SQL_LONG:
        return load<ISC_LONG>(cell.data);
    case SQL_INT64:
        return load<ISC_INT64>(cell.data);
    default:
        return 0;
    }
}

double descale(qint64 value, short scale)
{
    // Division by an exact power of ten gives the double nearest to the decimal.
    return scale < 0 ? static_cast<double>(value) / std::pow(10.0, -scale)
                     : static_cast<double>(value);
}

// A status vector entry, walking its (type, value...) pairs.
bool containsCode(const ISC_STATUS *vector, std::initializer_list<ISC_STATUS> codes)
{
    for (int i = 0; i < ISC_STATUS_LENGTH - 1 && vector[i] != isc_arg_end;) {
        const ISC_STATUS type = vector[i];
        if (type == isc_arg_gds || type == isc_arg_warning) {
            for (ISC_STATUS code : codes) {
                if (vector[i + 1] == code)
                    return true;
            }
        }
        i += type == isc_arg_cstring ? 3 : 2;
    }
    return false;
}

void appendItem(QByteArray &dpb, char item, const QByteArray &value)
{
    dpb.append(item);
    dpb.append(static_cast<char>(value.size()));
    dpb.append(value);
}

void appendNumber(QByteArray &dpb, char item, quint32 value)
{
    dpb.append(item);
    dpb.append(char(4));
    for (int i = 0; i < 4; ++i)
        dpb.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

QByteArray connectBlock(const ConnectParams &params)
{
    QByteArray dpb(1, char(isc_dpb_version1));
    if (!params.user.isEmpty())
        appendItem(dpb, isc_dpb_user_name, params.user.toUtf8());
    if (!params.password.isEmpty())
        appendItem(dpb, isc_dpb_password, params.password.toUtf8());
    appendItem(dpb, isc_dpb_lc_ctype, QByteArrayLiteral("UTF8"));
    dpb.append(char(isc_dpb_utf8_filename));
    dpb.append(char(0));
    return dpb;
}

} // namespace

// --- Status ---------------------------------------------------------------------

QString Status::message() const
{
    if (!m_message.isEmpty())
        return m_message;
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS *p = m_vector;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines.append(QString::fromUtf8(buffer));
    return lines.join(QLatin1Char('\n'));
}

bool Status::connectionLost() const
{
    return failed()
           && containsCode(m_vector,
                           {isc_network_error, isc_net_read_err, isc_net_write_err,
                            isc_lost_db_connection, isc_conn_lost, isc_att_shutdown, isc_shutdown});
}

void Status::fail(const QString &message)
{
    clear();
    m_vector[0] = isc_arg_gds;
    m_vector[1] = isc_random; // "<message>": a failure described by text only
    m_message = message;
}

void Status::clear()
{
    std::memset(m_vector, 0, sizeof m_vector);
    m_message.clear();
}

// --- Client environment -----------------------------------------------------------

namespace {

std::atomic<int> liveAttachments{0};

// Stops the client's and the embedded engine's threads while the program is
// still in main(). Left to the library's exit-time destructors, they stop
// while other exit handlers run, and the engine may still be writing. An
// attachment still open at this point keeps the engine up: shutting it down
// would make that attachment's later detach wait forever.
void shutDownClient()
{
    if (liveAttachments.load() == 0)
        fb_shutdown(10000, fb_shutrsn_app_stopped);
}

// The client installs its own SIGINT and SIGTERM handlers when it loads a
// provider. They close the attachments but leave the process running, so Ctrl+C
// in a terminal or the end of a desktop session would no longer end the program.
// Around each call that can load a provider, the application's handlers (by
// default: terminate) are put back.
class ApplicationSignalHandlers
{
public:
    ApplicationSignalHandlers()
    {
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            sigaction(Signals[i], nullptr, &m_saved[i]);
    }
    ~ApplicationSignalHandlers()
    {
        for (std::size_t i = 0; i < std::size(Signals); ++i)
            sigaction(Signals[i], &m_saved[i], nullptr);
    }
    ApplicationSignalHandlers(const ApplicationSignalHandlers &) = delete;
    ApplicationSignalHandlers &operator=(const ApplicationSignalHandlers &) = delete;

private:
    static constexpr int Signals[] = {SIGINT, SIGTERM};
    struct sigaction m_saved[std::size(Signals)];
};

} // namespace

bool IsEmbeddedTarget(const QString &target)
{
    // "host:path" and "host/port:path" name a server; an absolute or relative
    // file path has no colon before its first separator.
    return !target.contains(QLatin1Char(':')) || target.startsWith(QLatin1Char('/'))
           || target.startsWith(QLatin1Char('.'));
}

// --- Attachment -----------------------------------------------------------------

Attachment::~Attachment()
{
    detach();
}

bool Attachment::attach(const ConnectParams &params, Status &status)
{
    return open(params, connectBlock(params), false, status);
}

bool Attachment::create(const ConnectParams &params, Status &status)
{
    QByteArray dpb = connectBlock(params);
    appendNumber(dpb, isc_dpb_sql_dialect, Dialect);
    appendItem(dpb, isc_dpb_set_db_charset, QByteArrayLiteral("UTF8"));
    return open(params, dpb, true, status);
}

bool Attachment::open(const ConnectParams &params, const QByteArray &dpb, bool create,
                      Status &status)
{
    static std::once_flag once;
    std::call_once(once, [] { qAddPostRoutine(shutDownClient); });
    detach();
    if (!PrepareEngineConfiguration(status)
        || (IsEmbeddedTarget(params.target) && !MayShareEmbeddedFile(params.target, status)))
        return false;
    const QByteArray target = params.target.toUtf8();
    const auto length = static_cast<short>(dpb.size());
    const ApplicationSignalHandlers keep;
    const ISC_STATUS failed = create ? isc_create_database(status.vector(), 0, target.constData(),
                                                           &m_handle, length, dpb.constData(), 0)
                                     : isc_attach_database(status.vector(), 0, target.constData(),
                                                           &m_handle, length, dpb.constData());
    if (failed) {
        m_handle = 0;
        return false;
    }
    ++liveAttachments;
    return true;
}

bool Attachment::drop(Status &status)
{
    if (isc_drop_database(status.vector(), &m_handle))
        return false;
    m_handle = 0;
    --liveAttachments;
    return true;
}

void Attachment::detach()
{
    if (!m_handle)
        return;
    ISC_STATUS_ARRAY ignored;
    isc_detach_database(ignored, &m_handle);
    m_handle = 0;
    --liveAttachments;
}

// --- Transaction ----------------------------------------------------------------

Transaction::~Transaction()
{
    if (m_handle) {
        ISC_STATUS_ARRAY ignored;
        isc_rollback_transaction(ignored, &m_handle);
    }
}

bool Transaction::start(Attachment &attachment, Mode mode, Status &status)
{
    // Read committed with record versions: readers never wait for writers. Writers
    // wait for a locked row, but not forever: the user is waiting too.
    static const char readOnly[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                    isc_tpb_rec_version, isc_tpb_nowait};
    static const char readWrite[] = {isc_tpb_version3,
                                     isc_tpb_write,
                                     isc_tpb_read_committed,
                                     isc_tpb_rec_version,
                                     isc_tpb_wait,
                                     isc_tpb_lock_timeout,
                                     1,
                                     10};
    const char *tpb = mode == Mode::ReadOnly ? readOnly : readWrite;
    const short length = mode == Mode::ReadOnly ? sizeof readOnly : sizeof readWrite;
    if (isc_start_transaction(status.vector(), &m_handle, 1, attachment.handle(), length, tpb)) {
        m_handle = 0;
        return false;
    }
    return true;
}

bool Transaction::commit(Status &status)
{
    if (!m_handle)
        return true;
    return isc_commit_transaction(status.vector(), &m_handle) == 0;
}

bool Transaction::rollback(Status &status)
{
    if (!m_handle)
        return true;
    return isc_rollback_transaction(status.vector(), &m_handle) == 0;
}

// --- Cells ------------------------------------------------------------------------

Storage StorageOf(const Column &column)
{
    return column.sqlType == SQL_TEXT || column.sqlType == SQL_VARYING ? Storage::Variable
                                                                       : Storage::Fixed;
}

QString CellText(const Column &column, const Cell &cell)
{
    if (cell.null)
        return {};
    switch (column.sqlType) {
    case SQL_TEXT: {
        QString text = QString::fromUtf8(cell.data, cell.length);
        // Cells carry CHAR values without their padding; the value has it.
        if (column.def.DataType == ftFixedChar && text.size() < column.def.Size) {
            qsizetype characters = text.size();
            for (QChar c : std::as_const(text)) {
                if (c.isLowSurrogate())
                    --characters;
            }
            if (characters < column.def.Size)
                text.append(QString(column.def.Size - characters, QLatin1Char(' ')));
        }
        return text;
    }
    case SQL_VARYING:
    case SQL_BLOB:
        return QString::fromUtf8(cell.data, cell.length);
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (column.scale < 0)
            return QString::number(CellFloat(column, cell), 'g', 15);
        return QString::number(scaledInteger(column, cell));
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return QString::number(CellFloat(column, cell), 'g', 15);
    case SQL_BOOLEAN:
        return CellBoolean(column, cell) ? QStringLiteral("True") : QStringLiteral("False");
    case SQL_TIMESTAMP:
        return CellVariant(column, cell)
            .toDateTime()
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case SQL_TYPE_DATE:
        return CellVariant(column, cell).toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case SQL_TYPE_TIME:
        return CellVariant(column, cell).toTime().toString(QStringLiteral("HH:mm:ss"));
    default:
        return {};
    }
}

qint64 CellInteger(const Column &column, const Cell &cell)
{
    if (cell.null)
        return 0;
    switch (column.sqlType) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (column.scale < 0)
            return std::llround(CellFloat(column, cell));
        return scaledInteger(column, cell);
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return std::llround(CellFloat(column, cell));
    case SQL_BOOLEAN:
        return CellBoolean(column, cell) ? 1 : 0;
    case SQL_TEXT:
    case SQL_VARYING:
        return CellText(column, cell).trimmed().toLongLong();
    default:
        return 0;
    }
}

double CellFloat(const Column &column, const Cell &cell)
{
    if (cell.null)
        return 0;
    switch (column.sqlType) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return descale(scaledInteger(column, cell), column.scale);
    case SQL_FLOAT:
        return load<float>(cell.data);
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return load<double>(cell.data);
    case SQL_BOOLEAN:
        return CellBoolean(column, cell) ? 1 : 0;
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return CellDateTime(column, cell);
    case SQL_TEXT:
    case SQL_VARYING:
        return CellText(column, cell).trimmed().toDouble();
    default:
        return 0;
    }
}

double CellDateTime(const Column &column, const Cell &cell)
{
    if (cell.null)
        return 0;
    switch (column.sqlType) {
    case SQL_TIMESTAMP: {
        const auto stamp = load<ISC_TIMESTAMP>(cell.data);
        return toDateTime(stamp.timestamp_date, stamp.timestamp_time);
    }
    case SQL_TYPE_DATE:
        return toDateTime(load<ISC_DATE>(cell.data), 0);
    case SQL_TYPE_TIME:
        return static_cast<double>(load<ISC_TIME>(cell.data)) / TicksPerDay;
    default:
        return 0;
    }
}

bool HasExactValue(const Column &column)
{
    switch (column.sqlType) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return true;
    default:
        return false;
    }
}

qint64 CellExact(const Column &column, const Cell &cell)
{
    if (cell.null)
        return 0;
    constexpr auto ticks = qint64(TicksPerDay);
    switch (column.sqlType) {
    case SQL_TIMESTAMP: {
        const auto stamp = load<ISC_TIMESTAMP>(cell.data);
        return stamp.timestamp_date * ticks + stamp.timestamp_time;
    }
    case SQL_TYPE_DATE:
        return load<ISC_DATE>(cell.data) * ticks;
    case SQL_TYPE_TIME:
        return load<ISC_TIME>(cell.data);
    default:
        return scaledInteger(column, cell);
    }
}

double ExactFloat(const Column &column, qint64 value)
{
    constexpr auto ticks = qint64(TicksPerDay);
    switch (column.sqlType) {
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE: {
        const qint64 date = value / ticks - (value % ticks < 0 ? 1 : 0); // rounded down
        return toDateTime(ISC_DATE(date), ISC_TIME(value - date * ticks));
    }
    case SQL_TYPE_TIME:
        return static_cast<double>(value) / TicksPerDay;
    default:
        return descale(value, column.scale);
    }
}

bool CellBoolean(const Column &column, const Cell &cell)
{
    if (cell.null)
        return false;
    if (column.sqlType == SQL_BOOLEAN)
        return load<FB_BOOLEAN>(cell.data) != 0;
    return CellInteger(column, cell) != 0;
}

QVariant CellVariant(const Column &column, const Cell &cell)
{
    if (cell.null)
        return {};
    switch (column.def.DataType) {
    case ftString:
    case ftFixedChar:
    case ftMemo:
        return CellText(column, cell);
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
        return QByteArray(cell.data, cell.length);
    case ftSmallint:
    case ftInteger:
        return static_cast<int>(scaledInteger(column, cell));
    case ftLargeint:
        return static_cast<qlonglong>(scaledInteger(column, cell));
    case ftFloat:
        return CellFloat(column, cell);
    case ftBoolean:
        return CellBoolean(column, cell);
    case ftDateTime: {
        // The stored wall-clock value unchanged: UTC has no gaps or repeated hours.
        const auto stamp = load<ISC_TIMESTAMP>(cell.data);
        return QDateTime(toQDate(stamp.timestamp_date), toQTime(stamp.timestamp_time), Qt::UTC);
    }
    case ftDate:
        return toQDate(load<ISC_DATE>(cell.data));
    case ftTime:
        return toQTime(load<ISC_TIME>(cell.data));
    default:
        return {};
    }
}

// --- Statement ------------------------------------------------------------------

Statement::~Statement()
{
    free();
}

void Statement::free()
{
    if (m_handle) {
        ISC_STATUS_ARRAY ignored;
        isc_dsql_free_statement(ignored, &m_handle, DSQL_drop);
        m_handle = 0;
    }
    m_cursorOpen = false;
    m_kind = Kind::Other;
    m_out.reset();
    m_params.reset();
    m_columns.clear();
    m_paramValues.clear();
    m_buffer.clear();
    m_indicators.clear();
    m_attachment = nullptr;
}

bool Statement::prepare(Attachment &attachment, Transaction &transaction, const QString &sql,
                        Status &status)
{
    free();
    m_attachment = &attachment;
    if (isc_dsql_allocate_statement(status.vector(), attachment.handle(), &m_handle)) {
        m_handle = 0;
        return false;
    }
    m_out.reset(allocSqlda(16));
    const QByteArray text = sql.toUtf8(); // null-terminated: length 0 says so
    if (isc_dsql_prepare(status.vector(), transaction.handle(), &m_handle, 0, text.constData(),
                         Dialect, m_out.get())
        || !describe(status)) {
        free();
        return false;
    }
    return true;
}

bool Statement::describe(Status &status)
{
    static const char typeItem[] = {isc_info_sql_stmt_type};
    char info[16];
    if (isc_dsql_sql_info(status.vector(), &m_handle, sizeof typeItem, typeItem, sizeof info, info))
        return false;
    if (info[0] == isc_info_sql_stmt_type) {
        const short length = static_cast<short>(isc_vax_integer(info + 1, 2));
        switch (isc_vax_integer(info + 3, length)) {
        case isc_info_sql_stmt_select:
        case isc_info_sql_stmt_select_for_upd:
            m_kind = Kind::Select;
            break;
        case isc_info_sql_stmt_exec_procedure:
            m_kind = Kind::Procedure;
            break;
        default:
            m_kind = Kind::Other;
            break;
        }
    }

    if (m_out->sqld > m_out->sqln) {
        m_out.reset(allocSqlda(m_out->sqld));
        if (isc_dsql_describe(status.vector(), &m_handle, Dialect, m_out.get()))
            return false;
    }
    const int count = m_out->sqld;
    std::vector<size_t> offsets(count);
    size_t size = 0;
    for (int i = 0; i < count; ++i) {
        const XSQLVAR &var = m_out->sqlvar[i];
        offsets[i] = size;
        const size_t length = (var.sqltype & ~1) == SQL_VARYING ? var.sqllen + 2 : var.sqllen;
        size += (std::max<size_t>(length, 1) + 7) & ~size_t(7);
    }
    m_buffer.assign(size, 0);
    m_indicators.assign(count, 0);
    m_columns.resize(count);
    for (int i = 0; i < count; ++i) {
        XSQLVAR &var = m_out->sqlvar[i];
        var.sqldata = m_buffer.data() + offsets[i];
        var.sqlind = &m_indicators[i];
        Column &column = m_columns[i];
        column.sqlType = static_cast<short>(var.sqltype & ~1);
        column.subType = var.sqlsubtype;
        column.scale = var.sqlscale;
        column.length = var.sqllen;
        column.def = defineField(var, column.sqlType);
        column.var = &var;
    }

    m_params.reset(allocSqlda(8));
    if (isc_dsql_describe_bind(status.vector(), &m_handle, Dialect, m_params.get()))
        return false;
    if (m_params->sqld > m_params->sqln) {
        m_params.reset(allocSqlda(m_params->sqld));
        if (isc_dsql_describe_bind(status.vector(), &m_handle, Dialect, m_params.get()))
            return false;
    }
    m_paramValues.assign(m_params->sqld, Param());
    for (int i = 0; i < m_params->sqld; ++i) {
        m_paramValues[i].describedType = static_cast<short>(m_params->sqlvar[i].sqltype & ~1);
        m_paramValues[i].describedSubType = m_params->sqlvar[i].sqlsubtype;
    }
    return true;
}

Cell Statement::cell(int index) const
{
    const Column &column = m_columns[index];
    const XSQLVAR &var = *column.var;
    Cell cell;
    if (((var.sqltype & 1) && *var.sqlind < 0) || column.sqlType == SQL_NULL)
        return cell;
    cell.null = false;
    switch (column.sqlType) {
    case SQL_VARYING:
        cell.length = load<ISC_USHORT>(var.sqldata);
        cell.data = var.sqldata + 2;
        break;
    case SQL_TEXT:
        cell.data = var.sqldata;
        cell.length = var.sqllen;
        if (!isOctets(column)) {
            // A CHAR in UTF-8 is padded to four bytes a character: eight blanks
            // at a time first.
            constexpr char Blanks[] = "        ";
            while (cell.length >= 8 && std::memcmp(cell.data + cell.length - 8, Blanks, 8) == 0)
                cell.length -= 8;
            while (cell.length > 0 && cell.data[cell.length - 1] == ' ')
                --cell.length;
        }
        break;
    default:
        cell.data = var.sqldata;
        cell.length = var.sqllen;
        break;
    }
    return cell;
}

bool Statement::bindParams(Attachment &attachment, Transaction &transaction, Status &status)
{
    for (int i = 0; i < paramCount(); ++i) {
        XSQLVAR &var = m_params->sqlvar[i];
        Param &param = m_paramValues[i];
        var.sqlind = &param.indicator;
        var.sqlscale = 0;
        var.sqlsubtype = param.describedSubType;
        param.indicator = param.kind == Param::Kind::Null ? -1 : 0;
        switch (param.kind) {
        case Param::Kind::Null:
            var.sqltype = SQL_TEXT | 1;
            var.sqllen = 0;
            var.sqldata = param.text.data();
            break;
        case Param::Kind::Text:
            if (param.describedType == SQL_BLOB && param.text.size() > MaxTextParam) {
                // A blob is written for each execution; the engine keeps it only
                // when the statement stores it.
                isc_blob_handle blob = 0;
                param.blob = {};
                if (isc_create_blob2(status.vector(), attachment.handle(), transaction.handle(),
                                     &blob, &param.blob, 0, nullptr))
                    return false;
                for (qsizetype at = 0; at < param.text.size(); at += BlobSegment) {
                    const auto length = static_cast<unsigned short>(
                        std::min<qsizetype>(BlobSegment, param.text.size() - at));
                    if (isc_put_segment(status.vector(), &blob, length,
                                        param.text.constData() + at)) {
                        ISC_STATUS_ARRAY ignored;
                        isc_cancel_blob(ignored, &blob);
                        return false;
                    }
                }
                if (isc_close_blob(status.vector(), &blob))
                    return false;
                var.sqltype = SQL_BLOB | 1;
                var.sqllen = sizeof(ISC_QUAD);
                var.sqldata = reinterpret_cast<char *>(&param.blob);
            } else {
                if (param.text.size() > MaxTextParam) {
                    status.fail(QStringLiteral("Parameter %1 is longer than %2 bytes")
                                    .arg(i + 1)
                                    .arg(MaxTextParam));
                    return false;
                }
                var.sqltype = SQL_TEXT | 1;
                var.sqllen = static_cast<ISC_SHORT>(param.text.size());
                var.sqldata = param.text.data();
                // A text that fits a parameter the engine writes into a blob
                // itself, which spares the calls (and the round trips to a
                // server) of a blob per execution. Its bytes are declared in no
                // character set, as those of a blob written here are.
                if (param.describedType == SQL_BLOB)
                    var.sqlsubtype = NoCharacterSet;
            }
            break;
        case Param::Kind::Integer:
            var.sqltype = SQL_INT64 | 1;
            var.sqlscale = param.scale;
            var.sqllen = sizeof(ISC_INT64);
            var.sqldata = reinterpret_cast<char *>(&param.integer);
            break;
        case Param::Kind::Float:
            var.sqltype = SQL_DOUBLE | 1;
            var.sqllen = sizeof(double);
            var.sqldata = reinterpret_cast<char *>(&param.number);
            break;
        }
    }
    return true;
}

void Statement::setParamNull(int index)
{
    m_paramValues[index].kind = Param::Kind::Null;
}

void Statement::setParamText(int index, const QString &text)
{
    Param &param = m_paramValues[index];
    param.kind = Param::Kind::Text;
    // Into the buffer of the value before: no allocation per execution. A lone
    // surrogate is written as QString writes it.
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    param.text.resize(encoder.requiredSpace(text.size()));
    const char *end = encoder.appendToBuffer(param.text.data(), text);
    if (encoder.hasError())
        param.text = text.toUtf8();
    else
        param.text.truncate(end - param.text.constData());
}

void Statement::setParamUtf8(int index, QByteArrayView text)
{
    Param &param = m_paramValues[index];
    param.kind = Param::Kind::Text;
    param.text.resize(text.size()); // within the capacity of the value before
    std::copy(text.begin(), text.end(), param.text.begin());
}

void Statement::setParamInteger(int index, qint64 value, int scale)
{
    Param &param = m_paramValues[index];
    param.kind = Param::Kind::Integer;
    param.integer = value;
    param.scale = static_cast<short>(scale);
}

void Statement::setParamFloat(int index, double value)
{
    Param &param = m_paramValues[index];
    param.kind = Param::Kind::Float;
    param.number = value;
}

bool Statement::execute(Transaction &transaction, Status &status)
{
    closeCursor();
    if (!bindParams(*m_attachment, transaction, status))
        return false;
    const XSQLDA *in = paramCount() > 0 ? m_params.get() : nullptr;
    if (m_kind == Kind::Procedure && !m_columns.empty()) {
        for (short &indicator : m_indicators)
            indicator = 0;
        return isc_dsql_execute2(status.vector(), transaction.handle(), &m_handle, Dialect, in,
                                 m_out.get())
               == 0;
    }
    if (isc_dsql_execute(status.vector(), transaction.handle(), &m_handle, Dialect, in))
        return false;
    m_cursorOpen = m_kind == Kind::Select;
    return true;
}

Statement::Fetch Statement::fetch(Status &status)
{
    const ISC_STATUS result = isc_dsql_fetch(status.vector(), &m_handle, Dialect, m_out.get());
    if (result == 0)
        return Fetch::Row;
    if (result == 100)
        return Fetch::End;
    return Fetch::Failed;
}

void Statement::closeCursor()
{
    if (!m_cursorOpen)
        return;
    m_cursorOpen = false;
    ISC_STATUS_ARRAY ignored;
    isc_dsql_free_statement(ignored, &m_handle, DSQL_close);
}

bool Statement::readBlob(Attachment &attachment, Transaction &transaction, const ISC_QUAD &id,
                         QByteArray &bytes, Status &status)
{
    bytes.resize(0);
    isc_blob_handle blob = 0;
    ISC_QUAD blobId = id;
    if (isc_open_blob2(status.vector(), attachment.handle(), transaction.handle(), &blob, &blobId,
                       0, nullptr))
        return false;
    // Read up to the blob's length, known beforehand: the engine reports the end
    // of a blob by raising an exception inside, which costs as much as the rest
    // of reading a short blob.
    static const char lengthItem[] = {isc_info_blob_total_length};
    char info[16];
    qint64 total = -1;
    if (isc_blob_info(status.vector(), &blob, sizeof lengthItem, lengthItem, sizeof info, info) == 0
        && info[0] == isc_info_blob_total_length) {
        const short length = static_cast<short>(isc_vax_integer(info + 1, 2));
        total = isc_vax_integer(info + 3, length);
    }
    status.clear();
    bytes.resize(total >= 0 ? total : BlobSegment);
    qint64 at = 0;
    while (total < 0 || at < total) {
        if (at == bytes.size()) // the length unknown
            bytes.resize(at + BlobSegment);
        unsigned short length = 0;
        const auto room =
            static_cast<unsigned short>(std::min<qint64>(BlobSegment, bytes.size() - at));
        const ISC_STATUS result =
            isc_get_segment(status.vector(), &blob, &length, room, bytes.data() + at);
        if (result == 0 || result == isc_segment) {
            at += length;
            continue;
        }
        if (result == isc_segstr_eof)
            status.clear();
        break;
    }
    bytes.truncate(at);
    ISC_STATUS_ARRAY ignored;
    isc_close_blob(ignored, &blob);
    return !status.failed();
}

} // namespace dvt::fb
