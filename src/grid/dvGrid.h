#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QTableView>

#include <functional>
#include <memory>

#include "dvtColor.h"
#include "dvtComponent.h"
#include "dvtKeys.h"
#include "dvtQtSetter.h"

class TdvGridModel;
class QPainter;

// The draw state of a data cell: gdFocused is the current cell of a grid that
// has the keyboard focus. (The header row is drawn by the view's header.)
enum TGridDrawStateFlag { gdSelected = 0x1, gdFocused = 0x2 };
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

// A rectangle of cells, in the grid's numbering.
struct TGridRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TGridRect &, const TGridRect &) = default;
};

// The row-change event: the user leaves row ARow, which was edited.
using TExitChangedRow = std::function<void(QObject *Sender, int ARow)>;
// The draw-cell event, called before the grid draws a data cell; Canvas()
// paints.
using TDrawCellEvent = std::function<void(QObject *Sender, int ACol, int ARow, const QRect &Rect,
                                          TGridDrawState State)>;
// The select-cell event: CanSelect may be changed to keep the current cell.
using TSelectCellEvent = std::function<void(QObject *Sender, int ACol, int ARow, bool &CanSelect)>;

// A grid that shows the result of one SELECT: set Select, call Load.
//
// It is a QTableView over its own TdvGridModel (Model()), with a string grid's
// vocabulary on top:
//   - Numbering: row 0 is the header row, shown by the horizontal header; data
//     row r is the r-th record. Column numbers are visual: after the user has
//     dragged a column, Cells(0, r) is the cell at the left edge. Header cell
//     (c, 0) holds the column's tag "Name|k" (k: the field's position), which
//     travels with a moved column. Load puts the columns back in field order.
//   - Loading: Load counts the records (RowCount = records + 1, at least 2)
//     and reads none; rows are read when drawn or read through Cells,
//     CellValue or Value, a page of 256 at a time: the next pages from one
//     forward cursor, a page far away by the statement limited to it, so that
//     Ctrl+End reads the last page only. Values are kept in typed arrays and
//     a row becomes text once (TdvGridModel, GridResult).
//   - Headers and Formats: comma-separated items, item k + 1 for field k. A
//     blank caption shows the field's name; a caption holding "?" makes the
//     column a Yes/No column (Y/y shows as "Yes", any other single letter as
//     "No"). Formats are Format patterns ("%.2f") or FormatDateTime patterns
//     for date and time fields; "*" and "'" are removed from them.
//   - Keys (also typed in the cell editor): Yes/No columns take Y, N and space
//     and nothing else but Enter; numeric columns take digits, signs, "*",
//     "/", "," and "." (C empties the cell, a Trigger character opens the
//     calculator); date columns take digits and "/" ("+" and "-" move the date
//     a day, a Trigger character opens the calendar). The column of the
//     result's first field is not filtered by type. Esc closes the form with
//     CloseOnEsc or the control panel's.
//   - Mouse: a right click on a numeric or date cell opens the calculator or
//     calendar (with goEditing); Shift+click on a header sorts by that column
//     through the database, ascending, then descending on the next click;
//     when the sorted statement fails or returns nothing, nothing changes.
//   - The current cell is drawn in the control panel's Highlight, else the
//     grid's, else the grid's colour as it was when loaded.
//   - OnExitChangedRow(row) tells that the user left an edited row: moving to
//     another row, or the focus leaving the grid. A row is edited when typing
//     in its cell editor changed a cell's trimmed text; the changes the grid
//     makes itself (Yes/No keys, date "+" and "-") do not count, but like
//     every change by the user they are signalled by cellEdited. Esc in the
//     cell editor puts the cell's text back.
// FixedCols is kept for forms; the view has no frozen columns, and
// NoSelectCells keeps leading columns out of the selection instead.
//
// Handlers and signals: each event is a std::function (OnExitChangedRow,
// OnDrawCell, OnSelectCell) and a signal emitted after it with the final
// values. Misuse (an out-of-range cell, a Load with no statement) is logged
// on the category "dvtools.grid".
class TdvGrid : public QTableView, public dvt::TKeyHandler, public dvt::Loadable
{
    Q_OBJECT
    Q_PROPERTY(QString Select READ Select WRITE setSelect NOTIFY selectChanged)
    Q_PROPERTY(QString Headers READ Headers WRITE setHeaders NOTIFY headersChanged)
    Q_PROPERTY(QString Formats READ Formats WRITE setFormats NOTIFY formatsChanged)
    Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE setDefaultRowHeight)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE setFixedCols)
    Q_PROPERTY(QColor Highlight READ HighlightProperty WRITE setHighlight NOTIFY highlightChanged)
    // Qt Designer saves the properties in this order, and uic sets them so:
    // NoSelectCells is kept only below ColCount, which therefore comes first.
    Q_PROPERTY(int ColCount READ ColCount WRITE setColCount NOTIFY reshaped)
    Q_PROPERTY(int RowCount READ RowCount WRITE setRowCount NOTIFY reshaped)
    Q_PROPERTY(int NoSelectCells READ NoSelectCells WRITE setNoSelectCells)
    Q_PROPERTY(bool CloseOnEsc READ CloseOnEsc WRITE setCloseOnEsc)
    Q_PROPERTY(QString Trigger READ Trigger WRITE setTrigger)
    Q_PROPERTY(TGridOptions Options READ Options WRITE setOptions)
    Q_PROPERTY(int Col READ Col WRITE SetCol NOTIFY cellMoved DESIGNABLE false STORED false)
    Q_PROPERTY(int Row READ Row WRITE SetRow NOTIFY cellMoved DESIGNABLE false STORED false)
    Q_PROPERTY(int FixedRows READ FixedRows STORED false)

public:
    enum TGridOption {
        goFixedVertLine = 1 << 0,
        goFixedHorzLine = 1 << 1,
        goVertLine = 1 << 2,
        goHorzLine = 1 << 3,
        goRangeSelect = 1 << 4,
        goColSizing = 1 << 5,
        goColMoving = 1 << 6,
        goEditing = 1 << 7,
    };
    Q_DECLARE_FLAGS(TGridOptions, TGridOption)
    Q_FLAG(TGridOptions)

    explicit TdvGrid(QWidget *parent = nullptr);
    ~TdvGrid() override;

    TdvGridModel *Model() const;

    // The statement, stored trimmed and lower-cased (quoted literals too).
    QString Select() const;
    void SetSelect(const QString &statement);
    QString Headers() const;
    void SetHeaders(const QString &headers);
    QString Formats() const;
    void SetFormats(const QString &formats);
    int DefaultRowHeight() const;
    void SetDefaultRowHeight(int height);
    int FixedCols() const;
    void SetFixedCols(int count);
    dvt::TColor Highlight() const;
    void SetHighlight(dvt::TColor color);
    QColor HighlightProperty() const;
    // Leading columns that cannot be selected; kept only when
    // 0 <= count < ColCount.
    int NoSelectCells() const;
    void SetNoSelectCells(int count);
    bool CloseOnEsc() const;
    void SetCloseOnEsc(bool close);
    // The characters that open the calculator or calendar in a cell ("?").
    QString Trigger() const;
    void SetTrigger(const QString &trigger);
    TGridOptions Options() const;
    void SetOptions(TGridOptions options);

    // The setters Qt Designer and uic call.
    DVT_QT_SETTER(Select, const QString &)
    DVT_QT_SETTER(Headers, const QString &)
    DVT_QT_SETTER(Formats, const QString &)
    DVT_QT_SETTER(DefaultRowHeight, int)
    DVT_QT_SETTER(FixedCols, int)
    DVT_QT_SETTER(NoSelectCells, int)
    DVT_QT_SETTER(CloseOnEsc, bool)
    DVT_QT_SETTER(Trigger, const QString &)
    DVT_QT_SETTER(Options, TGridOptions)
    DVT_QT_SETTER(ColCount, int)
    DVT_QT_SETTER(RowCount, int)
    void setHighlight(const QColor &color);

    // Runs Select and takes its shape; rows are read as they are drawn. A
    // statement that fails leaves two rows with an empty row 1, silently
    // (the reason is in the model's Error).
    void Load();
    // The cell trimmed, its row (or the header row) loaded first.
    QString CellValue(int ACol, int ARow);
    // The named field's text in row max(ARow, Row, 1); empty when no header
    // tag names it (before the header row is first drawn, none does).
    QString Value(const QString &FieldName, int ARow);
    // Re-formats an edited cell (dates, times, currency, formatted floats).
    void RefreshCell(int ACol, int ARow);

    QString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const QString &text);
    int Col() const;
    void SetCol(int col);
    int Row() const;
    void SetRow(int row);
    int ColCount() const;
    void SetColCount(int count);
    int RowCount() const;
    void SetRowCount(int count);
    int FixedRows() const { return 1; }
    int ColWidths(int ACol) const;
    void SetColWidths(int ACol, int width);
    TGridRect Selection() const;
    void SetSelection(const TGridRect &rect);
    // The cell editor while it is shown, else nullptr.
    QWidget *InplaceEditor() const;
    // The painter of the cell being drawn, for OnDrawCell.
    QPainter *Canvas() const;

    void Loaded() override;

    TExitChangedRow OnExitChangedRow;
    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;

Q_SIGNALS:
    void exitChangedRow(int row);
    // Emitted after OnKeyDown and OnKeyPress: a slot may change or consume the key.
    void keyDown(quint16 *key, dvt::TShiftState shift);
    void keyPress(QChar *key);
    void drawCell(int col, int row, const QRect &rect, TGridDrawState state);
    // Connect directly: a slot may set *canSelect to false.
    void selectCell(int col, int row, bool *canSelect);
    // A cell's text was changed by the user (typing, Yes/No keys, date keys).
    void cellEdited(int col, int row, const QString &text);
    void cellMoved(int col, int row);
    void reshaped();
    void loaded(bool ok);
    void selectChanged(const QString &statement);
    void headersChanged(const QString &headers);
    void formatsChanged(const QString &formats);
    void highlightChanged(const QColor &color);

protected:
    void KeyDown(quint16 &key, dvt::TShiftState shift) override;
    void KeyPress(QChar &key) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    friend class TdvGridDelegate;
    class Private;
    std::unique_ptr<Private> const d;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TdvGrid::TGridOptions)
