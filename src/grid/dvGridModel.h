#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <memory>

#include "dvtFieldDef.h"

// The cells of a TdvGrid: the result of one SELECT as a table of texts.
//
// Numbering. The grid counts rows as a string grid does: row 0 is the header
// row, data row r (r >= 1) shows the r-th record. Here row 0 is the horizontal
// header (headerData), and model row i is the grid's row i + 1; columns are the
// model's own (logical) columns, in the order of the result's fields after a
// Load. The grid translates its visual column numbers into these.
//
// Header cells. Once built, the header cell of column c holds the column's tag
// "Name|k": the name of field k with its first letter in capitals, "|", and
// k, the field's position in the result. A column's field index is read back
// from its tag, so that a moved column keeps showing its field. Load marks the
// header row for rebuilding; it is built when first drawn, or before the first
// data row is converted, so that no row is ever read with stale tags.
//
// Rows and texts. Load counts the records and reads none. A data row is read
// (by GridResult, in pages, from typed arrays) and converted to text the first
// time it is drawn (data()) or read (CellValue); its texts then stay, so that a
// row is converted once per Load. A row the user has edited keeps its texts
// until the next Load; the texts of other rows are dropped again when many rows
// have been converted (they are converted afresh when needed), so memory stays
// bounded by the rows in use, not by the result.
//
// Value to text, by the field's type, with the field's Formats item as fmt:
//   date-time, date   FormatDateTime(fmt or the short date format)
//   time              FormatDateTime(fmt or the short time format)
//   currency          Format(fmt or "%m", value)
//   Boolean           "Yes" / "No"
//   texts             the text, or Format(fmt, text)
//   float             FloatToStr(value), or Format(fmt, value)
//   integers          the value as a 32-bit integer, or Format(fmt, value)
//   any other type    empty text
// A NULL, a pattern that does not fit, or an integer beyond 32 bits leaves the
// cell unwritten. A row whose first field gives no text stays not loaded: it is
// converted again whenever it is needed.
class TdvGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TdvGridModel(QObject *parent = nullptr);
    ~TdvGridModel() override;

    // The connection the statements run on ("dvTools", the control panel's).
    QString DatabaseName() const;
    void SetDatabaseName(const QString &name);

    // Comma-separated items, one per field: captions and display formats.
    QString Headers() const;
    QString Formats() const;
    void SetItemLists(const QString &headers, const QString &formats);
    // Item field + 1 of Headers, and of Formats with every "*" and "'" removed.
    QString HeaderItem(int field) const;
    QString FormatItem(int field) const;

    // Runs the statement and takes the result's shape: ColCount fields and
    // RowCount records + 1 (at least 2), every row not loaded. When the
    // statement fails: RowCount 2 with an empty row 1, the columns and header
    // cells kept; answers false, the reason in Error.
    bool Load(const QString &statement);
    // Runs the statement and takes its result as Load does, but only when it
    // opens with at least one record; otherwise changes nothing and answers
    // false.
    bool LoadIfRows(const QString &statement);
    bool IsOpen() const;
    // The statement of the open result; empty when none is open.
    QString Statement() const;
    QString Error() const;
    const QList<dvt::TFieldDef> &FieldDefs() const;

    // The shape in the grid's numbering: RowCount includes the header row
    // (at least 2). Cells beyond a smaller shape are dropped.
    int ColCount() const;
    int RowCount() const;
    void Reshape(int colCount, int rowCount);

    // The text of a cell as it is, without reading a row that is not loaded
    // yet (its cells are empty). Row 0 holds the header tags.
    QString Cell(int column, int row) const;
    // Sets a cell's text; a data row not loaded yet is loaded first, and keeps
    // its texts until the next Load.
    void SetCell(int column, int row, const QString &text);
    // Loads the row (row 0: builds the header tags) when it is not loaded and
    // answers the cell's text, trimmed.
    QString CellValue(int column, int row);
    bool RowLoaded(int row) const;
    // Re-formats an edited cell by its field's type (dates, times, currency,
    // and floats that have a format); text that does not parse stays as typed.
    void RefreshCell(int column, int row);

    // The field a column shows: the index in its header tag, 0 without one.
    int FieldIndex(int column) const;
    // The type of a field; ftUnknown for none.
    dvt::TFieldType FieldType(int field) const;
    // Numeric, date and Yes/No columns by their field (a column showing field
    // 0 has no type); a Yes/No column is also one whose header cell or Headers
    // item holds "?".
    bool IsNumericColumn(int column) const;
    bool IsDateColumn(int column) const;
    bool IsYesNoColumn(int column) const;
    // The caption drawn in a column's header.
    QString Caption(int column);

    // Cells may be edited (the grid's goEditing).
    void SetEditable(bool editable);

    // Records read from the database since the last Load, and the bytes their
    // values take here.
    qint64 FetchedRows() const;
    qint64 StoredBytes() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole: the cell as drawn (loading its row; a one-letter text in a
    // Yes/No column becomes "Yes" for Y or y, "No" otherwise, in the cell too);
    // EditRole: the cell's text; TextAlignmentRole: right for numeric fields.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    class Private;
    std::unique_ptr<Private> const d;
};
