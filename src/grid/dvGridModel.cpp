#include "dvGridModel.h"

#include <QHash>

#include <limits>

#include "dvStrings.h"
#include "dvtDateTime.h"
#include "dvtException.h"
#include "dvtFormat.h"
#include "dvtFormatSettings.h"
#include "dvtGridResult_p.h"

using namespace dvt;

namespace {

// What a header cell holds between Load and the first drawing of the header
// row: the three characters no caption or value ever is. Never shown.
const QString NotLoaded = QStringLiteral(u"\u00DF\u00E6\u0080");

// Converted rows beyond this many are dropped again, unless edited.
constexpr int KeptRows = 1024;

const QString Yes = QStringLiteral("Yes");
const QString No = QStringLiteral("No");

bool IsNumeric(TFieldType type)
{
    switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
        return true;
    default:
        return false;
    }
}

QString NamePart(const QString &tag)
{
    return tag == NotLoaded ? QString() : dvStringItem(tag, 1, u'|');
}

} // namespace

class TdvGridModel::Private
{
public:
    struct Row
    {
        QStringList cells;
        bool edited = false;
    };

    QString databaseName = QStringLiteral("dvTools");
    QString headers;
    QString formats;
    bool editable = true;
    QString error;
    std::unique_ptr<GridResult> result = std::make_unique<GridResult>();
    int colCount = 5;
    int rowCount = 2;
    QStringList headerCells = QStringList(5);
    bool headersPending = true;
    QHash<int, Row> rows; // loaded data rows, by grid row

    TdvGridModel *q = nullptr;

    const QString *cellAt(int column, int row) const;
    // The texts of a data row, converted now when it is not loaded. Answers
    // nullptr for a row that does not exist; a row whose first field has no
    // text comes back in *transient and stays not loaded.
    const Row *loadRow(int row, Row *transient);
    Row &pinnedRow(int row);
    void buildHeaders();
    bool convert(int field, int record, QString &text) const;
    void dropConvertedRows(int around);
    void adopt(std::unique_ptr<GridResult> opened);
};

const QString *TdvGridModel::Private::cellAt(int column, int row) const
{
    if (column < 0 || column >= colCount || row < 0 || row >= rowCount)
        return nullptr;
    if (row == 0)
        return &headerCells[column];
    const auto found = rows.constFind(row);
    return found == rows.constEnd() ? nullptr : &found->cells[column];
}

void TdvGridModel::Private::buildHeaders()
{
    if (!headersPending || headerCells.value(0) != NotLoaded)
        return;
    const QList<TFieldDef> &defs = result->fieldDefs();
    for (int c = 0; c < colCount && c < defs.size(); ++c) {
        const QString name = defs[c].Name.toLower();
        headerCells[c] = name.left(1).toUpper() + name.mid(1) + u'|' + QString::number(c);
    }
    headersPending = false;
}

bool TdvGridModel::Private::convert(int field, int record, QString &text) const
{
    const TFieldType type = q->FieldType(field);
    const QString fmt = q->FormatItem(field);
    const TFormatSettings &locale = FormatSettings();
    if (result->isNull(record, field)) {
        if (IsNumeric(type) || type == ftBoolean || type == ftDate || type == ftTime
            || type == ftDateTime || type == ftString || type == ftFixedChar
            || type == ftWideString)
            return false;
        text.clear(); // no text for this type
        return true;
    }
    try {
        switch (type) {
        case ftDateTime:
        case ftDate:
            text = FormatDateTime(fmt.isEmpty() ? locale.ShortDateFormat : fmt,
                                  result->number(record, field));
            break;
        case ftTime:
            text = FormatDateTime(fmt.isEmpty() ? locale.ShortTimeFormat : fmt,
                                  result->number(record, field));
            break;
        case ftCurrency:
            text =
                Format(fmt.isEmpty() ? QStringLiteral("%m") : fmt, {result->number(record, field)});
            break;
        case ftBoolean:
            text = result->boolean(record, field) ? Yes : No;
            break;
        case ftFixedChar:
        case ftString:
        case ftWideString:
            text = result->text(record, field);
            if (!fmt.isEmpty())
                text = Format(fmt, {text});
            break;
        case ftFloat:
            text = fmt.isEmpty() ? FloatToStr(result->number(record, field))
                                 : Format(fmt, {result->number(record, field)});
            break;
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftLargeint: {
            const qint64 value = result->integer(record, field);
            if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
                return false;
            text = fmt.isEmpty() ? IntToStr(value) : Format(fmt, {int(value)});
            break;
        }
        default:
            text.clear();
            break;
        }
    } catch (const Exception &) {
        return false;
    }
    text = Trim(text);
    return true;
}

const TdvGridModel::Private::Row *TdvGridModel::Private::loadRow(int row, Row *transient)
{
    if (row < 1 || row >= rowCount)
        return nullptr;
    const auto found = rows.constFind(row);
    if (found != rows.constEnd())
        return &*found;
    if (!result->isOpen()) { // nothing loaded: a string grid's empty row
        Row &empty = rows[row];
        empty.cells = QStringList(colCount);
        return &empty;
    }
    buildHeaders();
    Row converted;
    converted.cells = QStringList(colCount);
    bool keyConverted = false;
    if (result->fetch(row - 1)) {
        for (int c = 0; c < colCount; ++c) {
            const int field = q->FieldIndex(c);
            if (field < 0 || field >= result->fieldDefs().size())
                continue;
            const bool done = convert(field, row - 1, converted.cells[c]);
            keyConverted = keyConverted || (done && field == 0);
        }
    } else {
        keyConverted = true; // beyond the result's end: an empty row
    }
    if (!keyConverted) {
        *transient = std::move(converted);
        return transient;
    }
    dropConvertedRows(row);
    return &*rows.insert(row, std::move(converted));
}

TdvGridModel::Private::Row &TdvGridModel::Private::pinnedRow(int row)
{
    Row transient;
    if (!loadRow(row, &transient) || !rows.contains(row))
        rows.insert(row, std::move(transient));
    Row &pinned = rows[row];
    pinned.edited = true;
    return pinned;
}

void TdvGridModel::Private::dropConvertedRows(int around)
{
    if (rows.size() < KeptRows)
        return;
    for (auto it = rows.begin(); it != rows.end();) {
        if (!it->edited && qAbs(it.key() - around) > KeptRows / 4)
            it = rows.erase(it);
        else
            ++it;
    }
}

void TdvGridModel::Private::adopt(std::unique_ptr<GridResult> opened)
{
    q->beginResetModel();
    result = std::move(opened);
    rows.clear();
    headersPending = true;
    rowCount = std::max(result->rowCount() + 1, 2);
    colCount = int(result->fieldDefs().size());
    headerCells = QStringList(colCount, NotLoaded);
    q->endResetModel();
}

TdvGridModel::TdvGridModel(QObject *parent) : QAbstractTableModel(parent), d(new Private)
{
    d->q = this;
}

TdvGridModel::~TdvGridModel() = default;

QString TdvGridModel::DatabaseName() const
{
    return d->databaseName;
}

void TdvGridModel::SetDatabaseName(const QString &name)
{
    d->databaseName = name;
}

QString TdvGridModel::Headers() const
{
    return d->headers;
}

QString TdvGridModel::Formats() const
{
    return d->formats;
}

void TdvGridModel::SetItemLists(const QString &headers, const QString &formats)
{
    d->formats = formats;
    if (headers == d->headers)
        return;
    d->headers = headers;
    if (d->colCount > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, d->colCount - 1);
}

QString TdvGridModel::HeaderItem(int field) const
{
    return dvStringItem(d->headers, field + 1, u',');
}

QString TdvGridModel::FormatItem(int field) const
{
    QString item = dvStringItem(d->formats, field + 1, u',');
    item.remove(u'*');
    item.remove(u'\'');
    return item;
}

bool TdvGridModel::Load(const QString &statement)
{
    auto opened = std::make_unique<GridResult>();
    if (opened->open(d->databaseName, statement, &d->error)) {
        d->error.clear();
        d->adopt(std::move(opened));
        return true;
    }
    beginResetModel();
    d->result->close();
    d->rows.clear();
    d->rowCount = 2;
    endResetModel();
    return false;
}

bool TdvGridModel::LoadIfRows(const QString &statement)
{
    auto opened = std::make_unique<GridResult>();
    QString error;
    if (!opened->open(d->databaseName, statement, &error) || opened->rowCount() == 0)
        return false;
    d->error.clear();
    d->adopt(std::move(opened));
    return true;
}

bool TdvGridModel::IsOpen() const
{
    return d->result->isOpen();
}

QString TdvGridModel::Statement() const
{
    return d->result->statement();
}

QString TdvGridModel::Error() const
{
    return d->error;
}

const QList<TFieldDef> &TdvGridModel::FieldDefs() const
{
    return d->result->fieldDefs();
}

int TdvGridModel::ColCount() const
{
    return d->colCount;
}

int TdvGridModel::RowCount() const
{
    return d->rowCount;
}

void TdvGridModel::Reshape(int colCount, int rowCount)
{
    if (colCount < 1 || rowCount < 2 || (colCount == d->colCount && rowCount == d->rowCount))
        return;
    beginResetModel();
    d->colCount = colCount;
    d->rowCount = rowCount;
    d->headerCells.resize(colCount);
    d->rows.removeIf([rowCount](const auto &row) { return row.key() >= rowCount; });
    for (Private::Row &row : d->rows)
        row.cells.resize(colCount);
    endResetModel();
}

QString TdvGridModel::Cell(int column, int row) const
{
    const QString *cell = d->cellAt(column, row);
    return cell && *cell != NotLoaded ? *cell : QString();
}

void TdvGridModel::SetCell(int column, int row, const QString &text)
{
    if (column < 0 || column >= d->colCount || row < 0 || row >= d->rowCount)
        return;
    if (row == 0) {
        d->headerCells[column] = text;
        Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    QString &cell = d->pinnedRow(row).cells[column];
    if (cell == text)
        return;
    cell = text;
    const QModelIndex changed = index(row - 1, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

QString TdvGridModel::CellValue(int column, int row)
{
    if (column < 0 || column >= d->colCount)
        return {};
    if (row == 0) {
        d->buildHeaders();
        return Trim(Cell(column, 0));
    }
    Private::Row transient;
    const Private::Row *loaded = d->loadRow(row, &transient);
    return loaded ? Trim(loaded->cells[column]) : QString();
}

bool TdvGridModel::RowLoaded(int row) const
{
    if (row == 0)
        return d->headerCells.value(0) != NotLoaded;
    return d->rows.contains(row) || !d->result->isOpen();
}

void TdvGridModel::RefreshCell(int column, int row)
{
    if (row < 1 || !d->rows.contains(row) || column < 0 || column >= d->colCount)
        return;
    const int field = FieldIndex(column);
    const TFieldType type = FieldType(field);
    const QString fmt = FormatItem(field);
    const TFormatSettings &locale = FormatSettings();
    QString text = Cell(column, row);
    try {
        TDateTime value = 0;
        switch (type) {
        case ftDateTime:
        case ftDate:
            if (TryStrToDate(text, value))
                text = FormatDateTime(fmt.isEmpty() ? locale.ShortDateFormat : fmt, value);
            break;
        case ftTime:
            if (TryStrToTime(text, value))
                text = FormatDateTime(fmt.isEmpty() ? locale.ShortTimeFormat : fmt, value);
            break;
        case ftCurrency:
            if (TryStrToFloat(text, value))
                text = Format(fmt.isEmpty() ? QStringLiteral("%m") : fmt, {value});
            break;
        case ftFloat:
            if (!fmt.isEmpty() && TryStrToFloat(text, value))
                text = Format(fmt, {value});
            break;
        default:
            break;
        }
    } catch (const Exception &) {
        return; // the pattern does not fit: the text stays as typed
    }
    SetCell(column, row, text);
}

int TdvGridModel::FieldIndex(int column) const
{
    return dvStrToInt(dvStringItem(Cell(column, 0), 2, u'|'));
}

TFieldType TdvGridModel::FieldType(int field) const
{
    const QList<TFieldDef> &defs = d->result->fieldDefs();
    return field >= 0 && field < defs.size() ? defs[field].DataType : ftUnknown;
}

bool TdvGridModel::IsNumericColumn(int column) const
{
    const int field = FieldIndex(column);
    return field > 0 && IsNumeric(FieldType(field));
}

bool TdvGridModel::IsDateColumn(int column) const
{
    const int field = FieldIndex(column);
    const TFieldType type = FieldType(field);
    return field > 0 && (type == ftDate || type == ftTime || type == ftDateTime);
}

bool TdvGridModel::IsYesNoColumn(int column) const
{
    const int field = FieldIndex(column);
    return (field > 0 && FieldType(field) == ftBoolean) || Cell(column, 0).contains(u'?')
           || HeaderItem(field).contains(u'?');
}

QString TdvGridModel::Caption(int column)
{
    CellValue(column, 0); // the header row is built when it is drawn
    const QString item = Trim(HeaderItem(IsOpen() ? FieldIndex(column) : column));
    return item.isEmpty() ? NamePart(Cell(column, 0)) : item;
}

void TdvGridModel::SetEditable(bool editable)
{
    d->editable = editable;
}

qint64 TdvGridModel::FetchedRows() const
{
    return d->result->fetchedRows();
}

qint64 TdvGridModel::StoredBytes() const
{
    return d->result->storedBytes();
}

int TdvGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->rowCount - 1;
}

int TdvGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : d->colCount;
}

QVariant TdvGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int column = index.column();
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole: {
        // Drawing loads the row and writes the Yes/No word into the cell.
        auto *self = const_cast<TdvGridModel *>(this);
        QString text = self->CellValue(column, row);
        if (text.size() == 1 && IsYesNoColumn(column) && d->rows.contains(row)) {
            text = text == u"Y" || text == u"y" ? Yes : No;
            d->rows[row].cells[column] = text;
        }
        return text;
    }
    case Qt::EditRole:
        return Cell(column, row);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            Qt::Alignment(Qt::AlignVCenter)
            | (IsNumeric(FieldType(FieldIndex(column))) ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

bool TdvGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole
        || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    SetCell(index.column(), index.row() + 1, value.toString());
    return true;
}

QVariant TdvGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= d->colCount)
        return {};
    if (role == Qt::DisplayRole)
        return const_cast<TdvGridModel *>(this)->Caption(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

Qt::ItemFlags TdvGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable
           | (d->editable ? Qt::ItemIsEditable : Qt::NoItemFlags);
}
