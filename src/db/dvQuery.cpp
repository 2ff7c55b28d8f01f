#include "dvQuery.h"

#include <algorithm>
#include <limits>

#include "dvtCursor_p.h"
#include "dvtDatabase.h"

TdvQuery::TdvQuery(QObject *owner) : QObject(owner), m_cursor(std::make_unique<dvt::fb::Cursor>())
{}

TdvQuery::~TdvQuery() = default;

QString TdvQuery::Joined(const QStringList &items)
{
    QString text;
    for (const QString &item : items) {
        text += item;
        text += QLatin1Char(' ');
    }
    return text;
}

bool TdvQuery::Fail(const QString &message)
{
    m_error = message;
    return false;
}

dvt::fb::Session *TdvQuery::Begin(const QString &statement)
{
    m_error.clear();
    m_sql = statement;
    Close();
    dvt::TDatabase *database = dvt::TDatabase::Find(m_databaseName);
    m_database = database;
    if (!database) {
        Fail(QStringLiteral("No database connection is named \"%1\"").arg(m_databaseName));
        return nullptr;
    }
    dvt::fb::Session *session = database->session();
    if (!session)
        Refuse(*database, statement, database->LastError());
    return session;
}

bool TdvQuery::Refuse(dvt::TDatabase &database, const QString &statement, const QString &error)
{
    // Logged all the same: the application sees what was not sent, and why.
    database.reportStatement(statement, false, 0, error);
    return Fail(error);
}

bool TdvQuery::Report(const dvt::fb::Status &status)
{
    if (!status.failed())
        return true;
    m_error = status.message();
    if (status.connectionLost() && m_database) {
        m_database->connectionLost(m_error);
        m_error = m_database->LastError(); // says whether a transaction went with it
    }
    return false;
}

bool TdvQuery::TransactionLost() const
{
    const dvt::TDatabase *database = dvt::TDatabase::Find(m_databaseName);
    return database && database->TransactionLost();
}

bool TdvQuery::Execute(const QString &statement)
{
    dvt::fb::Session *session = Begin(statement);
    if (!session)
        return false;
    dvt::fb::Status status;
    m_cursor->execute(*session, statement, status);
    return Report(status);
}

bool TdvQuery::Execute(const QStringList &items)
{
    return Execute(Joined(items));
}

bool TdvQuery::Select(const QString &statement)
{
    dvt::fb::Session *session = Begin(statement);
    if (!session)
        return false;
    dvt::fb::Status status;
    if (!m_cursor->open(*session, statement, !m_unidirectional, status))
        return Report(status);
    if (m_cursor->eof()) {
        Close();
        return false;
    }
    return true;
}

bool TdvQuery::Select(const QStringList &items)
{
    return Select(Joined(items));
}

bool TdvQuery::IsOpen() const
{
    return m_cursor->isOpen();
}

void TdvQuery::Close()
{
    m_cursor->close();
}

void TdvQuery::First()
{
    dvt::fb::Status status;
    m_cursor->first(status);
    Report(status);
}

void TdvQuery::Next()
{
    MoveBy(1);
}

int TdvQuery::MoveBy(int distance)
{
    dvt::fb::Status status;
    const int moved = m_cursor->moveBy(distance, status);
    Report(status);
    return moved;
}

bool TdvQuery::Eof() const
{
    return m_cursor->eof();
}

int TdvQuery::RecordCount()
{
    dvt::fb::Status status;
    const int count = m_cursor->recordCount(status);
    Report(status);
    return count;
}

int TdvQuery::FieldCount() const
{
    return static_cast<int>(m_cursor->fieldDefs().size());
}

const QList<dvt::TFieldDef> &TdvQuery::FieldDefs() const
{
    return m_cursor->fieldDefs();
}

int TdvQuery::FieldIndex(const QString &name) const
{
    return m_cursor->fieldIndex(name);
}

QVariant TdvQuery::GetFieldValue(const QString &name) const
{
    return Value(FieldIndex(name));
}

QVariant TdvQuery::Value(int field) const
{
    const dvt::fb::Column *column = m_cursor->column(field);
    return column ? dvt::fb::CellVariant(*column, m_cursor->cell(field)) : QVariant();
}

bool TdvQuery::IsNull(int field) const
{
    return m_cursor->cell(field).null;
}

QString TdvQuery::AsString(int field) const
{
    const dvt::fb::Column *column = m_cursor->column(field);
    return column ? dvt::fb::CellText(*column, m_cursor->cell(field)) : QString();
}

int TdvQuery::AsInteger(int field) const
{
    const qint64 value = AsLargeInt(field);
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

qint64 TdvQuery::AsLargeInt(int field) const
{
    const dvt::fb::Column *column = m_cursor->column(field);
    return column ? dvt::fb::CellInteger(*column, m_cursor->cell(field)) : 0;
}

double TdvQuery::AsFloat(int field) const
{
    const dvt::fb::Column *column = m_cursor->column(field);
    return column ? dvt::fb::CellFloat(*column, m_cursor->cell(field)) : 0;
}

dvt::TDateTime TdvQuery::AsDateTime(int field) const
{
    const dvt::fb::Column *column = m_cursor->column(field);
    return column ? dvt::fb::CellDateTime(*column, m_cursor->cell(field)) : 0;
}

bool TdvQuery::AsBoolean(int field) const
{
    const dvt::fb::Column *column = m_cursor->column(field);
    return column && dvt::fb::CellBoolean(*column, m_cursor->cell(field));
}

QByteArrayView TdvQuery::AsUtf8(int field) const
{
    const dvt::fb::Column *column = m_cursor->column(field);
    if (!column
        || (column->def.DataType != dvt::ftString && column->def.DataType != dvt::ftFixedChar
            && column->def.DataType != dvt::ftMemo))
        return {};
    const dvt::fb::Cell cell = m_cursor->cell(field);
    return QByteArrayView(cell.data, cell.length);
}

bool TdvQuery::Prepare(const QString &statement)
{
    dvt::fb::Session *session = Begin(statement);
    if (!session)
        return false;
    dvt::fb::Status status;
    m_cursor->prepare(*session, statement, status);
    return Report(status);
}

int TdvQuery::ParamCount() const
{
    return m_cursor->isPrepared() ? m_cursor->statement().paramCount() : 0;
}

bool TdvQuery::ValidParam(int index) const
{
    return index >= 0 && m_cursor->isPrepared() && index < m_cursor->statement().paramCount();
}

void TdvQuery::SetParamNull(int index)
{
    if (ValidParam(index))
        m_cursor->statement().setParamNull(index);
}

void TdvQuery::SetParamText(int index, const QString &text)
{
    if (ValidParam(index))
        m_cursor->statement().setParamText(index, text);
}

void TdvQuery::SetParamUtf8(int index, QByteArrayView text)
{
    if (ValidParam(index))
        m_cursor->statement().setParamUtf8(index, text);
}

void TdvQuery::SetParamInteger(int index, qint64 value, int scale)
{
    if (ValidParam(index))
        m_cursor->statement().setParamInteger(index, value, scale);
}

void TdvQuery::SetParamFloat(int index, double value)
{
    if (ValidParam(index))
        m_cursor->statement().setParamFloat(index, value);
}

bool TdvQuery::ExecutePrepared()
{
    m_error.clear();
    // The statement went with its connection; so did the transaction.
    if (!m_cursor->isPrepared() && m_database && m_database->TransactionLost())
        return Refuse(*m_database, m_sql, m_database->LostTransactionError());
    dvt::fb::Status status;
    m_cursor->executePrepared(status);
    return Report(status);
}
